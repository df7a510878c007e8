#pragma once
// A small XML document object: a tree of elements, texts and comments built in code or loaded from a file,
// saved as UTF-8. Qt XML stays behind the source file.

#include "toolkit/SysUtils.h"
#include "toolkit/System.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovrel::toolkit {

/// A document that cannot be parsed, loaded or saved, or an operation the node does not allow.
class EXMLDocError : public Exception {
public:
    using Exception::Exception;
};

enum class TNodeType { ntElement, ntText, ntCData, ntComment, ntProcessingInstr };

/// True when the text is valid UTF-8 of characters XML 1.0 allows (tab, line feed and carriage return
/// among the controls), so that it can be written into a document.
[[nodiscard]] bool IsXMLText(std::string_view text);

class TXMLNode;

/// The children of a node, in document order; the node owns them.
class TXMLNodeList {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(FNodes.size()); }
    /// Raises EListError when index is out of range.
    [[nodiscard]] TXMLNode* Get(int index) const;
    [[nodiscard]] TXMLNode* operator[](int index) const { return Get(index); }
    /// The first element child of that name, or null.
    [[nodiscard]] TXMLNode* FindNode(std::string_view name) const noexcept;

private:
    friend class TXMLNode;
    friend class TXMLDocument;
    std::vector<std::unique_ptr<TXMLNode>> FNodes;
};

/// One node of a document: an element with attributes and children, or a text, CDATA, comment or
/// processing instruction.
class TXMLNode : public TObject {
public:
    TXMLNode(TNodeType type, std::string name, std::string value = {});
    ~TXMLNode() override;

    [[nodiscard]] TNodeType GetNodeType() const noexcept { return FType; }
    /// The element's tag or the instruction's target; "#text", "#cdata-section", "#comment" otherwise.
    [[nodiscard]] const std::string& GetNodeName() const noexcept { return FName; }
    [[nodiscard]] TXMLNodeList& GetChildNodes() noexcept { return FChildren; }
    [[nodiscard]] const TXMLNodeList& GetChildNodes() const noexcept { return FChildren; }
    [[nodiscard]] bool HasChildNodes() const noexcept { return FChildren.Count() > 0; }

    /// Appends a new element child; raises EXMLDocError for a node that is not an element or a bad name.
    TXMLNode* AddChild(std::string_view name);
    /// Appends a node of any kind and takes it over; raises EXMLDocError for a node that is not an element.
    TXMLNode* AppendChild(std::unique_ptr<TXMLNode> node);

    /// The attribute's value, or nothing when the element lacks it.
    [[nodiscard]] std::optional<std::string> GetAttribute(std::string_view name) const;
    [[nodiscard]] bool HasAttribute(std::string_view name) const noexcept;
    /// Sets or adds the attribute; new attributes keep the order in which they were added.
    void SetAttribute(std::string_view name, std::string_view value);
    [[nodiscard]] const std::vector<std::pair<std::string, std::string>>& GetAttributeList() const noexcept
    {
        return FAttributes;
    }

    /// True for an element whose children are all texts (or that has none).
    [[nodiscard]] bool IsTextElement() const noexcept;
    /// For an element: nothing when it has no children, else the joined texts of a text element; raises
    /// EXMLDocError for an element with other children. For other nodes: their value.
    [[nodiscard]] std::optional<std::string> GetNodeValue() const;
    /// GetNodeValue with the empty text for nothing.
    [[nodiscard]] std::string GetText() const;
    /// For an element, replaces its texts by one text node and keeps its other children; for other nodes,
    /// sets their value.
    void SetText(std::string_view text);
    void SetNodeValue(std::string_view value) { SetText(value); }

private:
    friend class TXMLDocument;
    TNodeType FType;
    std::string FName;
    std::string FValue;
    std::vector<std::pair<std::string, std::string>> FAttributes;
    TXMLNodeList FChildren;
};

/// The document: top-level nodes with at most one element, the declaration's version and encoding.
class TXMLDocument : public TObject {
public:
    TXMLDocument();
    ~TXMLDocument() override;

    /// An active document has a tree (possibly empty); deactivating drops the tree.
    [[nodiscard]] bool GetActive() const noexcept { return FActive; }
    void SetActive(bool active);

    /// Indents nested elements on save; texts are never touched.
    [[nodiscard]] bool GetAutoIndent() const noexcept { return FAutoIndent; }
    void SetAutoIndent(bool autoIndent) noexcept { FAutoIndent = autoIndent; }

    [[nodiscard]] const std::string& GetEncoding() const noexcept { return FEncoding; }
    /// Only "UTF-8" (any case) is written; anything else raises EXMLDocError.
    void SetEncoding(std::string_view encoding);
    [[nodiscard]] const std::string& GetVersion() const noexcept { return FVersion; }
    /// Only "1.0"; anything else raises EXMLDocError.
    void SetVersion(std::string_view version);

    /// The top-level nodes; activates the document.
    [[nodiscard]] TXMLNodeList& GetChildNodes();
    /// The root element, or null.
    [[nodiscard]] TXMLNode* GetDocumentElement() const noexcept;
    /// Creates the root element; raises EXMLDocError when there is one already.
    TXMLNode* AddChild(std::string_view name);

    /// Replaces the tree by the file's; raises EXMLDocError when it cannot be read or parsed (the document
    /// is then left inactive). Refused before they are parsed: a document type (<!DOCTYPE), an element of
    /// more than 64 attributes, more than 250,000 elements, nesting deeper than 256 elements.
    void LoadFromFile(const std::string& fileName);
    /// As LoadFromFile, from the bytes of a document.
    void LoadFromXML(std::string_view xml);
    /// The document as UTF-8 bytes with its declaration; raises EXMLDocError for texts or names that no
    /// document can hold.
    [[nodiscard]] std::string SaveToXML() const;
    /// Writes SaveToXML to a temporary file renamed over fileName; raises EXMLDocError on failure, leaving
    /// an existing file as it was.
    void SaveToFile(const std::string& fileName) const;

private:
    /// Builds the tree from bytes the markup scan has passed.
    void Parse(std::string_view xml);

    bool FActive = false;
    bool FAutoIndent = false;
    std::string FEncoding = "UTF-8";
    std::string FVersion = "1.0";
    TXMLNodeList FNodes;
};

}  // namespace ovrel::toolkit
