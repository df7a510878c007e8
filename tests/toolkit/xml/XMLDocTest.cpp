#include "toolkit/XMLDoc.h"

#include "support/AllocationWatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

using ovrel::toolkit::EXMLDocError;
using ovrel::toolkit::IsXMLText;
using ovrel::toolkit::TNodeType;
using ovrel::toolkit::TXMLDocument;

TEST(XMLDocument, BuildsSavesAndLoadsATree)
{
    TXMLDocument doc;
    doc.SetAutoIndent(true);
    auto* root = doc.AddChild("Root");
    root->SetAttribute("b", "2");
    root->SetAttribute("a", "x<&\"y");
    root->AddChild("Empty");
    root->AddChild("Text")->SetText(" padded & <escaped> \xC3\xA9 ");
    const std::string xml = doc.SaveToXML();
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;
    EXPECT_NE(xml.find("\n  <Empty/>"), std::string::npos) << xml;
    EXPECT_LT(xml.find("b=\"2\""), xml.find("a=")) << "attributes keep their order";

    TXMLDocument loaded;
    loaded.LoadFromXML(xml);
    ASSERT_TRUE(loaded.GetActive());
    auto* element = loaded.GetDocumentElement();
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetNodeName(), "Root");
    EXPECT_EQ(element->GetAttribute("a"), "x<&\"y");
    EXPECT_FALSE(element->GetAttribute("missing").has_value());
    ASSERT_EQ(element->GetChildNodes().Count(), 2);
    EXPECT_FALSE(element->GetChildNodes()[0]->GetNodeValue().has_value()) << "an empty element has no value";
    EXPECT_EQ(element->GetChildNodes().FindNode("Text")->GetText(), " padded & <escaped> \xC3\xA9 ");
    EXPECT_EQ(element->GetChildNodes().FindNode("None"), nullptr);
    EXPECT_THROW((void)element->GetNodeValue(), EXMLDocError) << "an element with element children";
    EXPECT_THROW((void)element->GetChildNodes()[2], ovrel::toolkit::EListError);
}

TEST(XMLDocument, TextKeepsControlCharactersItMayHold)
{
    TXMLDocument doc;
    doc.AddChild("R")->SetText("a\r\nb\tc\rd");
    doc.GetDocumentElement()->SetAttribute("t", "1\r\n2\t3");
    TXMLDocument loaded;
    loaded.LoadFromXML(doc.SaveToXML());
    EXPECT_EQ(loaded.GetDocumentElement()->GetText(), "a\r\nb\tc\rd");
    EXPECT_EQ(loaded.GetDocumentElement()->GetAttribute("t"), "1\r\n2\t3");
}

TEST(XMLDocument, SetTextOnAnElementWithChildrenKeepsThem)
{
    TXMLDocument doc;
    auto* root = doc.AddChild("R");
    root->AddChild("C");
    root->SetText("first");
    root->SetText("second");
    ASSERT_EQ(root->GetChildNodes().Count(), 2);
    EXPECT_EQ(root->GetChildNodes()[0]->GetNodeName(), "C");
    EXPECT_EQ(root->GetChildNodes()[1]->GetNodeType(), TNodeType::ntText);
    EXPECT_EQ(root->GetChildNodes()[1]->GetText(), "second");
}

TEST(XMLDocument, RefusesWhatNoDocumentCanHold)
{
    TXMLDocument doc;
    auto* root = doc.AddChild("R");
    EXPECT_THROW(doc.AddChild("Second"), EXMLDocError);
    EXPECT_THROW(root->AddChild("1bad"), EXMLDocError);
    EXPECT_THROW(root->AddChild(""), EXMLDocError);
    EXPECT_THROW(root->SetAttribute("a b", "x"), EXMLDocError);
    EXPECT_THROW(doc.SetEncoding("ISO-8859-1"), EXMLDocError);
    EXPECT_NO_THROW(doc.SetEncoding("utf-8"));
    EXPECT_THROW(doc.SetVersion("1.1"), EXMLDocError);
    root->SetText(std::string("nul\0here", 8));
    EXPECT_THROW((void)doc.SaveToXML(), EXMLDocError);
    root->SetText("\xFF\xFE not UTF-8");
    EXPECT_THROW((void)doc.SaveToXML(), EXMLDocError);
}

TEST(XMLText, AcceptsOnlyValidUtf8OfXmlCharacters)
{
    struct Row {
        const char* Name;
        std::string Text;
        bool Expected;
    };
    const Row rows[] = {
        {"Empty", "", true},
        {"Ascii", "Camera 1", true},
        {"Controls", "\t\r\n", true},
        {"Accents", "\xC3\xA9\xE2\x82\xAC", true},
        {"Nul", std::string("a\0b", 3), false},
        {"Escape", "a\x1b", false},
        {"Latin1", "caf\xE9", false},
        {"NonCharacterFFFE", "\xEF\xBF\xBE", false},
        {"Astral", "\xF0\x9F\x98\x80", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(IsXMLText(row.Text), row.Expected);
    }
}

TEST(XMLDocument, MalformedOrHostileDocumentsRaise)
{
    struct Row {
        const char* Name;
        std::string Xml;
    };
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "<a>";
    const Row rows[] = {
        {"Empty", ""},
        {"Unclosed", "<a><b></a>"},
        {"TwoRoots", "<a/><b/>"},
        {"BadEntity", "<a>&nope;</a>"},
        {"Garbage", "not xml at all"},
        {"TooDeep", deep},
        {"EntityBomb", "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
                       "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
                       "<r>&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;</r>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TXMLDocument doc;
        doc.AddChild("Old");
        EXPECT_THROW(doc.LoadFromXML(row.Xml), EXMLDocError);
        EXPECT_FALSE(doc.GetActive());
        EXPECT_EQ(doc.GetDocumentElement(), nullptr);
    }
}

// The message of the EXMLDocError that loading raises, or nothing when the document loads.
std::optional<std::string> LoadError(const std::function<void(TXMLDocument&)>& load)
{
    TXMLDocument doc;
    try {
        load(doc);
    } catch (const EXMLDocError& error) {
        EXPECT_FALSE(doc.GetActive());
        return error.Message();
    }
    EXPECT_TRUE(doc.GetActive());
    return std::nullopt;
}

std::string Repeated(std::string_view text, int count)
{
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

std::string Attributes(int count, std::string_view value = "1")
{
    std::string result;
    for (int i = 0; i < count; ++i)
        result += " a" + std::to_string(i) + "=\"" + std::string(value) + "\"";
    return result;
}

// Refused documents never reach the parser: what they cost is bounded by what they are, not by what their
// markup would expand into.
constexpr std::size_t RefusalBudget = 16 * 1024;

TEST(XMLDocument, RefusesADocumentTypeBeforeParsing)
{
    struct Row {
        const char* Name;
        std::string Xml;
    };
    // Expanded, each document below would hold ten million characters.
    const std::string entity = "<!ENTITY e \"" + std::string(1000, 'x') + "\">";
    const Row rows[] = {
        {"EntityInText", "<!DOCTYPE r [" + entity + "]><r>" + Repeated("&e;", 10000) + "</r>"},
        {"EntityInAttribute", "<!DOCTYPE r [" + entity + "]><r a=\"" + Repeated("&e;", 10000) + "\"/>"},
        {"ExternalEntity", "<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/hostname\">]><r>&e;</r>"},
        {"NoInternalSubset", "<?xml version=\"1.0\"?><!-- first --><!DOCTYPE r SYSTEM \"r.dtd\"><r/>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const ovrel::test::TAllocationWatch watch;
        const auto error = LoadError([&](TXMLDocument& doc) { doc.LoadFromXML(row.Xml); });
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(error->find("document type"), std::string::npos) << *error;
        EXPECT_LT(watch.RequestedBytes(), RefusalBudget);
    }
}

TEST(XMLDocument, RefusesADocumentTypeBeforeReadingTheFile)
{
    const auto folder = std::filesystem::temp_directory_path() / ("ovrel-xml-type-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "typed.xml").string();
    {
        std::ofstream out(file, std::ios::binary);
        out << "<!DOCTYPE r><r>" << std::string(8 * 1024 * 1024, 'x') << "</r>";
    }
    const ovrel::test::TAllocationWatch watch;
    const auto error = LoadError([&](TXMLDocument& doc) { doc.LoadFromFile(file); });
    EXPECT_TRUE(error.has_value());
    EXPECT_LT(watch.RequestedBytes(), 256u * 1024) << "read no further than the first piece";
    std::filesystem::remove_all(folder);
}

TEST(XMLDocument, CapsAttributesAndElementsBeforeParsing)
{
    struct Row {
        const char* Name;
        std::string Xml;
        const char* Refusal;  // a part of the message; null when the document loads
    };
    const Row rows[] = {
        {"SixtyFourAttributes", "<r" + Attributes(64) + "/>", nullptr},
        {"SixtyFiveAttributes", "<r" + Attributes(65) + "/>", "more than 64 attributes"},
        {"TwentyThousandAttributes", "<r><s" + Attributes(20000) + "/></r>", "more than 64 attributes"},
        {"QuotedSignsOverTheCap", "<r" + Attributes(64, "=>'=") + " z='\"='/>", "more than 64 attributes"},
        {"QuotedSignsAtTheCap", "<r" + Attributes(63, "=>'=") + " z='\"='/>", nullptr},
        {"MarkupInCommentsAndTextIsNone",
         "<?pi" + Attributes(70) + "?><r><!--<x" + Attributes(70) + ">--><![CDATA[<x" + Attributes(70) + ">]]>&lt;x" +
             Attributes(70) + "&gt;</r>",
         nullptr},
        {"ElementsAtTheCap", "<r>" + Repeated("<a/>", 249'999) + "</r>", nullptr},
        {"OneElementOverTheCap", "<r>" + Repeated("<a/>", 250'000) + "</r>", "more than 250000 elements"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::size_t requested = 0;
        std::optional<std::string> error;
        {
            const ovrel::test::TAllocationWatch watch;
            error = LoadError([&](TXMLDocument& doc) { doc.LoadFromXML(row.Xml); });
            requested = watch.RequestedBytes();
        }
        if (!row.Refusal) {
            EXPECT_FALSE(error.has_value()) << *error;
            continue;
        }
        ASSERT_TRUE(error.has_value());
        EXPECT_NE(error->find(row.Refusal), std::string::npos) << *error;
        EXPECT_LT(requested, RefusalBudget);
    }
}

TEST(XMLDocument, FilesAreWrittenWholeAndErrorsAreReported)
{
    const auto folder = std::filesystem::temp_directory_path() / ("ovrel-xml-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "doc.xml").string();
    {
        std::ofstream old(file);
        old << std::string(4096, 'x');
    }
    TXMLDocument doc;
    doc.AddChild("R")->SetText("short");
    doc.SaveToFile(file);
    TXMLDocument loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.GetDocumentElement()->GetText(), "short");
    EXPECT_EQ(std::filesystem::file_size(file), doc.SaveToXML().size()) << "no stale tail";

    EXPECT_THROW(loaded.LoadFromFile((folder / "missing.xml").string()), EXMLDocError);
    EXPECT_THROW(doc.SaveToFile((folder / "no" / "such" / "dir.xml").string()), EXMLDocError);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left behind";
    std::filesystem::remove_all(folder);
}

}  // namespace
