#include "app/XmlExchange.h"

#include "toolkit/XMLDoc.h"

#include <cstdint>
#include <optional>
#include <string_view>
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

struct TImportedItem {
    std::uint32_t Id = 0;
    std::uint16_t Type = 0;
    std::vector<std::uint8_t> Value;
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
    if (hex.size() % 2 != 0)
        Fail("A hexadecimal value has an odd number of digits");
    std::vector<std::uint8_t> bytes(length, 0);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            Fail("A hexadecimal value holds a character that is not a hexadecimal digit");
        if (i / 2 < length)
            bytes[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
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
    const auto length =
        static_cast<std::uint32_t>(ParseNumber(Child(property, "length").GetNodeValue(), "length", 0, MaxValueLength));
    const TXMLNode& valueNode = Child(property, "Value");
    const std::string value = valueNode.GetText();
    const std::optional<std::string> encoding = valueNode.GetAttribute("encoding");
    if (encoding && *encoding != "hex")
        Fail("Unknown value encoding \"" + toolkit::ToDisplayText(*encoding) + "\"");
    if (value.empty())
        return std::nullopt;
    if (item.Type == TypeAscii && !encoding) {
        item.Value.assign(value.begin(), value.end());
        item.Value.push_back(0);
    } else {
        item.Value = DecodeHex(value, length);
    }
    return item;
}

std::vector<TImportedItem> ReadDocument(const std::string& fileName)
{
    TXMLDocument doc;
    doc.LoadFromFile(fileName);
    const TXMLNode* root = doc.GetChildNodes().FindNode("ExifExport");
    if (!root)
        Fail("Missing element \"ExifExport\"");
    const TXMLNode& exifInfo = Child(*root, "ExifInfo");
    std::vector<TImportedItem> items;
    const auto& properties = exifInfo.GetChildNodes();
    for (int i = 0; i < properties.Count(); ++i) {
        if (properties[i]->GetNodeType() != toolkit::TNodeType::ntElement)
            continue;
        try {
            if (auto item = ReadProperty(*properties[i]))
                items.push_back(std::move(*item));
        } catch (const toolkit::Exception& error) {
            Fail("Property " + std::to_string(i + 1) + ": " + error.Message());
        }
    }
    return items;
}

void SetItems(core::TVekImageInfo& info, const std::vector<TImportedItem>& items)
{
    info.ClearProperties();
    for (const TImportedItem& item : items)
        info.SetPropertyItem(item.Id, item.Type, static_cast<std::uint32_t>(item.Value.size()), item.Value.data());
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
    const std::vector<TImportedItem> items = ReadDocument(fileName);

    std::vector<TImportedItem> previous;
    const core::TVekImageMetadata& metadata = info.GetMetadata();
    for (int i = 0; i < metadata.Count(); ++i) {
        const core::TPropertyItem& item = metadata.GetItem(i);
        previous.push_back({item.id, item.type, {item.Bytes().begin(), item.Bytes().end()}});
    }
    SetItems(info, items);
    if (!info.SaveToFile()) {
        SetItems(info, previous);
        Fail("The image file \"" + toolkit::ToDisplayText(info.GetFileName()) + "\" could not be rewritten");
    }
}

}  // namespace ovrel::app
