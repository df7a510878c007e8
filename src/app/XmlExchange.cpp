#include "app/XmlExchange.h"

#include "toolkit/XMLDoc.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ovrel::app {

using toolkit::TXMLDocument;
using toolkit::TXMLNode;

namespace {

constexpr std::uint16_t TypeAscii = 2;
constexpr std::uint32_t MaxValueLength = 16u * 1024 * 1024;
constexpr std::string_view InvalidSlotText = "PropertyTagInvalid";
constexpr std::string_view FailedItemPrefix = "Exception - ";

std::string HexOf(std::span<const std::uint8_t> bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        hex.push_back(Digits[b >> 4]);
        hex.push_back(Digits[b & 0xF]);
    }
    return hex;
}

// An ASCII value goes out as text only when importing that text gives the same bytes back: text, then
// exactly one zero byte, the text writable and not blank (blank texts do not survive a reader).
bool WritableAsText(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || bytes.back() != 0)
        return false;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 1);
    return toolkit::IsXMLText(text) && text.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

void AddValue(TXMLNode& property, const core::TPropertyItem& item)
{
    TXMLNode* value = property.AddChild("Value");
    const std::span<const std::uint8_t> bytes = item.Bytes();
    if (item.type != TypeAscii) {
        value->SetText(HexOf(bytes));
    } else if (WritableAsText(bytes)) {
        value->SetText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 1));
    } else {
        value->SetAttribute("encoding", "hex");
        value->SetText(HexOf(bytes));
    }
}

void AddProperty(TXMLNode& exifInfo, const core::TVekImageInfo& info, int index)
{
    TXMLNode* property = exifInfo.AddChild("property");
    const std::uint32_t id = info.GetPropertyId(index);
    if (id == core::PropertyIdNone) {
        property->SetText(InvalidSlotText);
        return;
    }
    try {
        core::TPropertyItem item;
        info.GetPropertyItem(index, item);
        property->SetAttribute("Tag", std::to_string(item.id));
        property->AddChild("name")->SetText(info.GetPropertyCaption(item.id));
        property->AddChild("length")->SetText(std::to_string(item.length));
        property->AddChild("type")->SetText(std::to_string(item.type));
        AddValue(*property, item);
    } catch (const std::exception& error) {
        property->SetText(std::string(FailedItemPrefix) + error.what());
    }
}

// ---- import ----

// What the items of one document may hold together; checked before any value is allocated.
constexpr std::size_t MaxDocumentValueBytes = 16u * 1024 * 1024;

// A checked property, its value not yet decoded.
struct TImportedItem {
    std::uint32_t Id = 0;
    std::uint16_t Type = 0;
    std::uint32_t Length = 0;  // of a hexadecimal value
    bool IsText = false;  // an ASCII value given as text: its bytes are the text and one zero byte
    std::string Value;  // as the document holds it

    [[nodiscard]] std::size_t ValueSize() const { return IsText ? Value.size() + 1 : Length; }
};

[[noreturn]] void Fail(const std::string& message) { throw EXmlImportError(message); }

// A decimal number in [min, max]; anything else is an error naming the field.
long long ParseNumber(const std::optional<std::string>& text, std::string_view field, long long min, long long max)
{
    if (!text)
        Fail("Missing " + std::string(field));
    const std::string digits = toolkit::Trim(*text);
    long long value = 0;
    if (!toolkit::TryStrToInt64(digits, value) || digits.empty() ||
        digits.find_first_not_of("+-0123456789") != std::string::npos)
        Fail("The " + std::string(field) + " \"" + toolkit::ToDisplayText(*text) + "\" is not a number");
    if (value < min || value > max)
        Fail("The " + std::string(field) + " " + std::to_string(value) + " is out of range");
    return value;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Digit pairs into length bytes: extra digits are cut, missing ones leave zeros.
std::vector<std::uint8_t> DecodeHex(std::string_view hex, std::uint32_t length)
{
    std::vector<std::uint8_t> bytes(length, 0);
    for (std::size_t i = 0; i / 2 < length && i < hex.size(); i += 2)
        bytes[i / 2] = static_cast<std::uint8_t>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1]));
    return bytes;
}

// Checked here, before any value is decoded, so that a bad digit is found without allocating.
void CheckHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        Fail("A hexadecimal value has an odd number of digits");
    if (std::any_of(hex.begin(), hex.end(), [](char c) { return HexDigit(c) < 0; }))
        Fail("A hexadecimal value holds a character that is not a hexadecimal digit");
}

// The element's own texts, without those of its children.
std::string OwnText(const TXMLNode& node)
{
    std::string text;
    const auto& children = node.GetChildNodes();
    for (int i = 0; i < children.Count(); ++i)
        if (children[i]->GetNodeType() == toolkit::TNodeType::ntText ||
            children[i]->GetNodeType() == toolkit::TNodeType::ntCData)
            text += children[i]->GetText();
    return std::string(toolkit::Trim(text));
}

const TXMLNode& Child(const TXMLNode& node, std::string_view name)
{
    const TXMLNode* child = node.GetChildNodes().FindNode(name);
    if (!child)
        Fail("Missing element \"" + std::string(name) + "\"");
    return *child;
}

// Nothing for a property that adds no item.
std::optional<TImportedItem> ReadProperty(const TXMLNode& property)
{
    const std::string own = OwnText(property);
    if (own == InvalidSlotText || own.starts_with(FailedItemPrefix))
        return std::nullopt;  // what export writes for an empty slot or a failed item
    TImportedItem item;
    item.Id = static_cast<std::uint32_t>(ParseNumber(property.GetAttribute("Tag"), "tag", 0, UINT32_MAX));
    item.Type = static_cast<std::uint16_t>(ParseNumber(Child(property, "type").GetNodeValue(), "type", 0, UINT16_MAX));
    item.Length =
        static_cast<std::uint32_t>(ParseNumber(Child(property, "length").GetNodeValue(), "length", 0, MaxValueLength));
    const TXMLNode& valueNode = Child(property, "Value");
    item.Value = valueNode.GetText();
    const std::optional<std::string> encoding = valueNode.GetAttribute("encoding");
    if (encoding && *encoding != "hex")
        Fail("Unknown value encoding \"" + toolkit::ToDisplayText(*encoding) + "\"");
    if (item.Value.empty())
        return std::nullopt;
    item.IsText = item.Type == TypeAscii && !encoding;
    if (!item.IsText)
        CheckHex(item.Value);
    return item;
}

// Every property of the document, checked, with their values' total measured before any is decoded.
std::vector<TImportedItem> ReadDocument(const std::string& fileName)
{
    TXMLDocument doc;
    doc.LoadFromFile(fileName);
    const TXMLNode* root = doc.GetChildNodes().FindNode("ExifExport");
    if (!root)
        Fail("Missing element \"ExifExport\"");
    const TXMLNode& exifInfo = Child(*root, "ExifInfo");
    std::vector<TImportedItem> items;
    std::size_t total = 0;
    const auto& properties = exifInfo.GetChildNodes();
    for (int i = 0; i < properties.Count(); ++i) {
        if (properties[i]->GetNodeType() != toolkit::TNodeType::ntElement)
            continue;
        try {
            if (auto item = ReadProperty(*properties[i])) {
                total += item->ValueSize();
                items.push_back(std::move(*item));
            }
        } catch (const toolkit::Exception& error) {
            Fail("Property " + std::to_string(i + 1) + ": " + error.Message());
        }
        if (total > MaxDocumentValueBytes)
            Fail("The document is invalid: the values of its properties together exceed 16 MiB");
    }
    return items;
}

// The items as the image will hold them. A tag named twice keeps its first place and takes the later value,
// as setting the items one after the other would; looked up by id once, so a long document stays linear.
void BuildMetadata(const std::vector<TImportedItem>& items, core::TVekImageMetadata& metadata)
{
    std::vector<const TImportedItem*> chosen;
    std::unordered_map<std::uint32_t, std::size_t> place;
    for (const TImportedItem& item : items) {
        const auto [at, added] = place.try_emplace(item.Id, chosen.size());
        if (added)
            chosen.push_back(&item);
        else
            chosen[at->second] = &item;
    }
    for (const TImportedItem* item : chosen) {
        if (item->IsText) {
            std::vector<std::uint8_t> bytes(item->Value.begin(), item->Value.end());
            bytes.push_back(0);
            metadata.Append(item->Id, item->Type, bytes);
        } else {
            metadata.Append(item->Id, item->Type, DecodeHex(item->Value, item->Length));
        }
    }
}

}  // namespace

void ExportXml(const core::TVekImageInfo& info, const std::string& fileName)
{
    TXMLDocument doc;
    doc.SetActive(true);
    doc.SetAutoIndent(true);
    doc.SetEncoding("UTF-8");
    TXMLNode* root = doc.AddChild("ExifExport");
    root->SetAttribute("ver", "1.0");
    root->SetAttribute("program", "Exif Ovrel");
    root->SetAttribute("Firm", "Quillmere");
    root->SetAttribute("ProgramVersion", "1.60");
    root->AddChild("FileInfo")->AddChild("FilePath")->SetText(toolkit::ToDisplayText(info.GetFileName()));
    TXMLNode* exifInfo = root->AddChild("ExifInfo");
    for (int i = core::PseudoPropertyCount; i < info.GetPropertyCount(); ++i)
        AddProperty(*exifInfo, info, i);
    doc.SaveToFile(fileName);
}

void ImportXml(const std::string& fileName, core::TVekImageInfo& info)
{
    // Everything is read and built aside first: up to the exchange, a failure (memory included) leaves
    // the image as it was, and the exchange itself cannot fail.
    core::TVekImageMetadata items;
    BuildMetadata(ReadDocument(fileName), items);
    core::TVekImageMetadata& metadata = info.GetMetadata();
    metadata.Swap(items);
    bool saved = false;
    try {
        saved = info.SaveToFile();
    } catch (...) {
        metadata.Swap(items);
        throw;
    }
    if (!saved) {
        metadata.Swap(items);
        Fail("The image file \"" + toolkit::ToDisplayText(info.GetFileName()) +
             "\" could not be rewritten: " + imaging::StatusText(info.GetSaveStatus()));
    }
}

}  // namespace ovrel::app
