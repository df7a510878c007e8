#include "toolkit/XMLDoc.h"

#include "platform/ui/QtText.h"

#include <QByteArray>
#include <QDomDocument>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace ovrel::toolkit {

using ui::FromQString;
using ui::ToQString;

namespace {

// Deeper trees are refused before they are built: freeing and writing them recurse.
constexpr int MaxDepth = 256;
// The largest document file read; metadata documents are far smaller.
constexpr std::streamoff MaxFileSize = 256LL * 1024 * 1024;
// The parsers compare each attribute of an element with all the others, so the count is capped before they
// run; the program writes at most four.
constexpr int MaxAttributes = 64;
// An image's metadata, with the image layer's caps on its directories, exports as far fewer elements.
constexpr int MaxElements = 250'000;
constexpr std::size_t ReadChunkSize = 64 * 1024;
constexpr int IndentWidth = 2;

std::string NodeNameOf(TNodeType type)
{
    switch (type) {
    case TNodeType::ntText: return "#text";
    case TNodeType::ntCData: return "#cdata-section";
    case TNodeType::ntComment: return "#comment";
    default: return {};
    }
}

bool IsXMLChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool IsNameChar(char32_t c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7; }

bool IsXMLName(std::string_view name)
{
    if (name.empty() || !IsValidUtf8(name))
        return false;
    std::size_t pos = 0;
    bool first = true;
    while (pos < name.size()) {
        const char32_t c = NextUtf8CodePoint(name, pos);
        if (first ? !IsNameStart(c) : !IsNameChar(c))
            return false;
        first = false;
    }
    return true;
}

void CheckName(std::string_view name)
{
    if (!IsXMLName(name))
        throw EXMLDocError("Invalid XML name \"" + ToDisplayText(name) + "\"");
}

void CheckText(std::string_view text)
{
    if (!IsXMLText(text))
        throw EXMLDocError("Text holds characters that cannot be written to an XML document");
}

// A look at the markup before any parser sees it, fed piece by piece as a file is read. It refuses a document
// type (its entities expand without bound, and an external one would silently read as nothing) and the
// counts of attributes and elements that would make parsing slow or large. It follows only the shape of
// the markup (tags, quoted values, comments, CDATA, instructions); well-formedness is left to the parser.
class TMarkupScan {
public:
    void Feed(std::string_view bytes)
    {
        for (const char c : bytes)
            Step(c);
    }

private:
    enum class TState { Text, Open, Declaration, Comment, CData, Instruction, EndTag, StartTag, Quoted };

    void Step(char c)
    {
        switch (FState) {
        case TState::Text:
            if (c == '<')
                FState = TState::Open;
            break;
        case TState::Open:
            if (c == '!') {
                FState = TState::Declaration;
                FDeclaration.clear();
            } else if (c == '?') {
                FState = TState::Instruction;
                FRun = 0;
            } else if (c == '/') {
                FState = TState::EndTag;
            } else {
                if (++FElements > MaxElements)
                    throw EXMLDocError("XML document with more than " + std::to_string(MaxElements) + " elements");
                FAttributes = 0;
                FState = TState::StartTag;
                Step(c);
            }
            break;
        case TState::Declaration: Declaration(c); break;
        case TState::Comment:  // ends at "-->"
            if (c == '>' && FRun >= 2)
                FState = TState::Text;
            FRun = c == '-' ? FRun + 1 : 0;
            break;
        case TState::CData:  // ends at "]]>"
            if (c == '>' && FRun >= 2)
                FState = TState::Text;
            FRun = c == ']' ? FRun + 1 : 0;
            break;
        case TState::Instruction:  // ends at "?>"
            if (c == '>' && FRun >= 1)
                FState = TState::Text;
            FRun = c == '?' ? 1 : 0;
            break;
        case TState::EndTag:
            if (c == '>')
                FState = TState::Text;
            break;
        case TState::StartTag:
            if (c == '"' || c == '\'') {
                FQuote = c;
                FState = TState::Quoted;
            } else if (c == '=' && ++FAttributes > MaxAttributes) {
                throw EXMLDocError("XML element with more than " + std::to_string(MaxAttributes) + " attributes");
            } else if (c == '>') {
                FState = TState::Text;
            }
            break;
        case TState::Quoted:
            if (c == FQuote)
                FState = TState::StartTag;
            break;
        }
    }

    // After "<!": a comment, a CDATA section or a document type; anything else is the parser's to refuse.
    void Declaration(char c)
    {
        static constexpr std::string_view Comment = "--";
        static constexpr std::string_view CData = "[CDATA[";
        static constexpr std::string_view DocType = "DOCTYPE";
        FDeclaration += c;
        const std::string_view seen = FDeclaration;
        FRun = 0;
        if (seen == Comment)
            FState = TState::Comment;
        else if (seen == CData)
            FState = TState::CData;
        else if (seen == DocType)
            throw EXMLDocError("XML documents with a document type (<!DOCTYPE) are not accepted");
        else if (!Comment.starts_with(seen) && !CData.starts_with(seen) && !DocType.starts_with(seen))
            FState = TState::Text;
    }

    TState FState = TState::Text;
    std::string FDeclaration;  // what followed "<!" so far, at most seven characters
    int FRun = 0;  // closing characters met in a row
    char FQuote = 0;
    int FAttributes = 0;  // of the element being read
    int FElements = 0;
};

// Well-formedness and depth, checked by a streaming pass before the DOM builds anything.
void CheckStructure(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > MaxDepth)
            throw EXMLDocError("XML document nested too deeply");
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    if (reader.hasError())
        throw EXMLDocError("Malformed XML document (line " + std::to_string(reader.lineNumber()) + ", column " +
                           std::to_string(reader.columnNumber()) + "): " + FromQString(reader.errorString()));
}

void CopyChildren(const QDomNode& from, TXMLNode& to);

std::unique_ptr<TXMLNode> CopyNode(const QDomNode& node)
{
    switch (node.nodeType()) {
    case QDomNode::ElementNode: {
        auto element = std::make_unique<TXMLNode>(TNodeType::ntElement, FromQString(node.nodeName()));
        const QDomNamedNodeMap attributes = node.attributes();
        for (int i = 0; i < attributes.count(); ++i) {
            const QDomAttr attribute = attributes.item(i).toAttr();
            element->SetAttribute(FromQString(attribute.name()), FromQString(attribute.value()));
        }
        CopyChildren(node, *element);
        return element;
    }
    case QDomNode::TextNode:
        return std::make_unique<TXMLNode>(TNodeType::ntText, "#text", FromQString(node.nodeValue()));
    case QDomNode::CDATASectionNode:
        return std::make_unique<TXMLNode>(TNodeType::ntCData, "#cdata-section", FromQString(node.nodeValue()));
    case QDomNode::CommentNode:
        return std::make_unique<TXMLNode>(TNodeType::ntComment, "#comment", FromQString(node.nodeValue()));
    case QDomNode::ProcessingInstructionNode:
        return std::make_unique<TXMLNode>(TNodeType::ntProcessingInstr, FromQString(node.nodeName()),
                                          FromQString(node.nodeValue()));
    default: return nullptr;  // document types and entity references carry nothing we keep
    }
}

// The writer leaves carriage returns as they are, and a reader turns them into line feeds: so they go out
// as character references.
void WriteCharacters(QXmlStreamWriter& writer, std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', start)) {
        writer.writeCharacters(ToQString(text.substr(start, cr - start)));
        writer.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
    writer.writeCharacters(ToQString(text.substr(start)));
}

void WriteNode(QXmlStreamWriter& writer, const TXMLNode& node)
{
    switch (node.GetNodeType()) {
    case TNodeType::ntElement: {
        CheckName(node.GetNodeName());
        writer.writeStartElement(ToQString(node.GetNodeName()));
        for (const auto& [name, value] : node.GetAttributeList()) {
            CheckName(name);
            CheckText(value);
            writer.writeAttribute(ToQString(name), ToQString(value));
        }
        const TXMLNodeList& children = node.GetChildNodes();
        for (int i = 0; i < children.Count(); ++i)
            WriteNode(writer, *children[i]);
        writer.writeEndElement();
        break;
    }
    case TNodeType::ntText:
        CheckText(node.GetText());
        WriteCharacters(writer, node.GetText());
        break;
    case TNodeType::ntCData:
        CheckText(node.GetText());
        writer.writeCDATA(ToQString(node.GetText()));
        break;
    case TNodeType::ntComment: {
        const std::string text = node.GetText();
        CheckText(text);
        if (text.find("--") != std::string::npos || (!text.empty() && text.back() == '-'))
            throw EXMLDocError("A comment cannot hold \"--\" or end with \"-\"");
        writer.writeComment(ToQString(text));
        break;
    }
    case TNodeType::ntProcessingInstr: {
        const std::string text = node.GetText();
        CheckName(node.GetNodeName());
        CheckText(text);
        if (text.find("?>") != std::string::npos)
            throw EXMLDocError("A processing instruction cannot hold \"?>\"");
        writer.writeProcessingInstruction(ToQString(node.GetNodeName()), ToQString(text));
        break;
    }
    }
}

}  // namespace

bool IsXMLText(std::string_view text)
{
    if (!IsValidUtf8(text))
        return false;
    std::size_t pos = 0;
    while (pos < text.size())
        if (!IsXMLChar(NextUtf8CodePoint(text, pos)))
            return false;
    return true;
}

// ---- TXMLNodeList ------------------------------------------------------------------------------------------

TXMLNode* TXMLNodeList::Get(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FNodes[static_cast<std::size_t>(index)].get();
}

TXMLNode* TXMLNodeList::FindNode(std::string_view name) const noexcept
{
    for (const auto& node : FNodes)
        if (node->GetNodeType() == TNodeType::ntElement && node->GetNodeName() == name)
            return node.get();
    return nullptr;
}

namespace {

void CopyChildren(const QDomNode& from, TXMLNode& to)
{
    for (QDomNode child = from.firstChild(); !child.isNull(); child = child.nextSibling())
        if (auto node = CopyNode(child))
            to.AppendChild(std::move(node));
}

}  // namespace

// ---- TXMLNode ----------------------------------------------------------------------------------------------

TXMLNode::TXMLNode(TNodeType type, std::string name, std::string value)
    : FType(type), FName(name.empty() ? NodeNameOf(type) : std::move(name)), FValue(std::move(value))
{}

TXMLNode::~TXMLNode() = default;

TXMLNode* TXMLNode::AddChild(std::string_view name)
{
    if (FType != TNodeType::ntElement)
        throw EXMLDocError("Only an element can have child elements");
    CheckName(name);
    FChildren.FNodes.push_back(std::make_unique<TXMLNode>(TNodeType::ntElement, std::string(name)));
    return FChildren.FNodes.back().get();
}

TXMLNode* TXMLNode::AppendChild(std::unique_ptr<TXMLNode> node)
{
    if (FType != TNodeType::ntElement)
        throw EXMLDocError("Only an element can have child nodes");
    FChildren.FNodes.push_back(std::move(node));
    return FChildren.FNodes.back().get();
}

std::optional<std::string> TXMLNode::GetAttribute(std::string_view name) const
{
    for (const auto& [key, value] : FAttributes)
        if (key == name)
            return value;
    return std::nullopt;
}

bool TXMLNode::HasAttribute(std::string_view name) const noexcept
{
    for (const auto& attribute : FAttributes)
        if (attribute.first == name)
            return true;
    return false;
}

void TXMLNode::SetAttribute(std::string_view name, std::string_view value)
{
    if (FType != TNodeType::ntElement)
        throw EXMLDocError("Only an element can have attributes");
    CheckName(name);
    for (auto& attribute : FAttributes)
        if (attribute.first == name) {
            attribute.second = value;
            return;
        }
    FAttributes.emplace_back(name, value);
}

bool TXMLNode::IsTextElement() const noexcept
{
    if (FType != TNodeType::ntElement)
        return false;
    for (const auto& child : FChildren.FNodes)
        if (child->FType != TNodeType::ntText && child->FType != TNodeType::ntCData)
            return false;
    return true;
}

std::optional<std::string> TXMLNode::GetNodeValue() const
{
    if (FType != TNodeType::ntElement)
        return FValue;
    if (!HasChildNodes())
        return std::nullopt;
    if (!IsTextElement())
        throw EXMLDocError("Element \"" + FName + "\" does not hold only text");
    std::string text;
    for (const auto& child : FChildren.FNodes)
        text += child->FValue;
    return text;
}

std::string TXMLNode::GetText() const { return GetNodeValue().value_or(std::string()); }

void TXMLNode::SetText(std::string_view text)
{
    if (FType != TNodeType::ntElement) {
        FValue = text;
        return;
    }
    auto& nodes = FChildren.FNodes;
    std::erase_if(nodes, [](const std::unique_ptr<TXMLNode>& child) {
        return child->FType == TNodeType::ntText || child->FType == TNodeType::ntCData;
    });
    nodes.push_back(std::make_unique<TXMLNode>(TNodeType::ntText, "#text", std::string(text)));
}

// ---- TXMLDocument ------------------------------------------------------------------------------------------

TXMLDocument::TXMLDocument() = default;

TXMLDocument::~TXMLDocument() = default;

void TXMLDocument::SetActive(bool active)
{
    if (!active)
        FNodes.FNodes.clear();
    FActive = active;
}

void TXMLDocument::SetEncoding(std::string_view encoding)
{
    if (!SameText(encoding, "UTF-8"))
        throw EXMLDocError("Unsupported XML encoding \"" + ToDisplayText(encoding) + "\"");
    FEncoding = "UTF-8";
}

void TXMLDocument::SetVersion(std::string_view version)
{
    if (version != "1.0")
        throw EXMLDocError("Unsupported XML version \"" + ToDisplayText(version) + "\"");
    FVersion = version;
}

TXMLNodeList& TXMLDocument::GetChildNodes()
{
    FActive = true;
    return FNodes;
}

TXMLNode* TXMLDocument::GetDocumentElement() const noexcept
{
    for (const auto& node : FNodes.FNodes)
        if (node->GetNodeType() == TNodeType::ntElement)
            return node.get();
    return nullptr;
}

TXMLNode* TXMLDocument::AddChild(std::string_view name)
{
    if (GetDocumentElement())
        throw EXMLDocError("A document has only one top-level element");
    CheckName(name);
    FActive = true;
    FNodes.FNodes.push_back(std::make_unique<TXMLNode>(TNodeType::ntElement, std::string(name)));
    return FNodes.FNodes.back().get();
}

void TXMLDocument::LoadFromFile(const std::string& fileName)
{
    SetActive(false);
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in)
        throw EXMLDocError("Cannot open XML file \"" + ToDisplayText(fileName) + "\"");
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MaxFileSize)
        throw EXMLDocError("XML file \"" + ToDisplayText(fileName) + "\" is too large");
    in.seekg(0);
    // Scanned as it is read, so a refused document is not held in memory first.
    TMarkupScan scan;
    std::string bytes;
    std::array<char, ReadChunkSize> chunk;
    while (static_cast<std::streamoff>(bytes.size()) < size) {
        const auto wanted = std::min<std::streamoff>(size - static_cast<std::streamoff>(bytes.size()), chunk.size());
        if (!in.read(chunk.data(), wanted))
            throw EXMLDocError("Cannot read XML file \"" + ToDisplayText(fileName) + "\"");
        const std::string_view piece(chunk.data(), static_cast<std::size_t>(wanted));
        scan.Feed(piece);
        bytes += piece;
    }
    Parse(bytes);
}

void TXMLDocument::LoadFromXML(std::string_view xml)
{
    SetActive(false);
    TMarkupScan().Feed(xml);
    Parse(xml);
}

void TXMLDocument::Parse(std::string_view xml)
{
    const QByteArray bytes(xml.data(), static_cast<qsizetype>(xml.size()));
    CheckStructure(bytes);
    QDomDocument dom;
    QString message;
    int line = 0;
    int column = 0;
    if (!dom.setContent(bytes, false, &message, &line, &column))
        throw EXMLDocError("Malformed XML document (line " + std::to_string(line) + ", column " +
                           std::to_string(column) + "): " + FromQString(message));
    TXMLNode top(TNodeType::ntElement, "document");  // a holder for the top-level nodes
    CopyChildren(dom, top);
    FNodes.FNodes = std::move(top.FChildren.FNodes);
    FEncoding = "UTF-8";
    FVersion = "1.0";
    FActive = true;
}

std::string TXMLDocument::SaveToXML() const
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(FAutoIndent);
    writer.setAutoFormattingIndent(IndentWidth);
    writer.writeStartDocument(ToQString(FVersion));
    for (const auto& node : FNodes.FNodes)
        WriteNode(writer, *node);
    writer.writeEndDocument();
    if (writer.hasError())
        throw EXMLDocError("The XML document could not be written");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TXMLDocument::SaveToFile(const std::string& fileName) const
{
    const std::string xml = SaveToXML();
    std::string temporary = fileName + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw EXMLDocError("Cannot create XML file \"" + ToDisplayText(fileName) + "\": " + std::strerror(errno));
    bool ok = ::fchmod(fd, 0644) == 0;
    std::size_t written = 0;
    while (ok && written < xml.size()) {
        const ssize_t n = ::write(fd, xml.data() + written, xml.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    const int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(temporary.c_str(), fileName.c_str()) == 0)
        return;
    const int failure = ok ? errno : error;
    ::unlink(temporary.c_str());
    throw EXMLDocError("Cannot write XML file \"" + ToDisplayText(fileName) + "\": " + std::strerror(failure));
}

}  // namespace ovrel::toolkit
