#include "app/XmlExchange.h"

#include "core/CoreTestSupport.h"
#include "imaging/Builders.h"
#include "support/AllocationWatch.h"
#include "support/Unprivileged.h"
#include "toolkit/XMLDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

using namespace ovrel;
using core::test::Ascii;
using core::test::Bytes;
using core::test::MakeInfo;
using core::test::TTempFolder;
using core::test::U16;
namespace fx = imaging::fixtures;

std::string ReadText(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes ItemBytes(const core::TVekImageInfo& info, int index)
{
    const auto span = info.GetMetadata().GetItem(index).Bytes();
    return {span.begin(), span.end()};
}

TEST(XmlExport, WritesTheDocumentOfTheItems)
{
    TTempFolder folder;
    auto info = MakeInfo({{271, 2, Ascii("Maker")}, {274, 3, U16(1)}, {0xFFFF, 7, {}}, {0x9286, 2, Bytes{'a', 0, 0}}},
                         "/photos/a.jpg");
    const std::string file = folder.File("a.xml");
    app::ExportXml(*info, file);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ExifExport ver=\"1.0\" program=\"Exif Ovrel\" Firm=\"Quillmere\" ProgramVersion=\"1.60\">\n"
        "  <FileInfo>\n"
        "    <FilePath>/photos/a.jpg</FilePath>\n"
        "  </FileInfo>\n"
        "  <ExifInfo>\n"
        "    <property Tag=\"271\">\n"
        "      <name>" +
        info->GetPropertyCaption(271) +
        "</name>\n"
        "      <length>6</length>\n"
        "      <type>2</type>\n"
        "      <Value>Maker</Value>\n"
        "    </property>\n"
        "    <property Tag=\"274\">\n"
        "      <name>" +
        info->GetPropertyCaption(274) +
        "</name>\n"
        "      <length>2</length>\n"
        "      <type>3</type>\n"
        "      <Value>0100</Value>\n"
        "    </property>\n"
        "    <property>PropertyTagInvalid</property>\n"
        "    <property Tag=\"37510\">\n"
        "      <name>" +
        info->GetPropertyCaption(0x9286) +
        "</name>\n"
        "      <length>3</length>\n"
        "      <type>2</type>\n"
        "      <Value encoding=\"hex\">610000</Value>\n"
        "    </property>\n"
        "  </ExifInfo>\n"
        "</ExifExport>\n";
    EXPECT_EQ(ReadText(file), expected);
    EXPECT_FALSE(info->GetPropertyCaption(271).empty());
}

TEST(XmlExport, AnImageWithoutMetadataGivesAnEmptyExifInfo)
{
    TTempFolder folder;
    auto info = MakeInfo({});
    const std::string file = folder.File("empty.xml");
    app::ExportXml(*info, file);
    toolkit::TXMLDocument doc;
    doc.LoadFromFile(file);
    const auto* exifInfo = doc.GetDocumentElement()->GetChildNodes().FindNode("ExifInfo");
    ASSERT_NE(exifInfo, nullptr);
    EXPECT_FALSE(exifInfo->HasChildNodes());
}

Bytes SampleJpeg()
{
    const Bytes exif = fx::TiffBytes()
                           .Ascii(fx::Dir::Ifd0, core::TagMake, "Maker")
                           .Ascii(fx::Dir::Ifd0, core::TagModel, "Model One")
                           .Short(fx::Dir::Ifd0, 274, {1})
                           .Rational(fx::Dir::Exif, core::TagFocalLength, {{50, 1}})
                           .Build();
    return fx::JpegBytes().Exif(exif).Frame(16, 16).Build();
}

TEST(XmlExchange, RoundTripOnAJpegKeepsIdsOrderAndBytes)
{
    TTempFolder folder;
    const std::string image = folder.Write("photo.jpg", SampleJpeg());
    core::TVekImageInfo info(image);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    // Odd values: text that needs hex, and text with markup and line breaks.
    info.SetPropertyItem(0x010E, 2, 4, "\xFF\x01\x02\x00");
    info.SetPropertyText(0x0131, "a < b & \"c\"\r\nnext");
    const int count = info.GetMetadata().Count();
    std::vector<std::pair<std::uint32_t, Bytes>> before;
    for (int i = 0; i < count; ++i)
        before.emplace_back(info.GetMetadata().GetItem(i).id, ItemBytes(info, i));

    const std::string xml = folder.File("photo.xml");
    app::ExportXml(info, xml);
    info.SetPropertyText(core::TagMake, "Changed");
    app::ImportXml(xml, info);

    ASSERT_EQ(info.GetMetadata().Count(), count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(info.GetMetadata().GetItem(i).id, before[i].first);
        EXPECT_EQ(ItemBytes(info, i), before[i].second);
    }
    // The file lists its items in its own order, with derived ones among them.
    core::TVekImageInfo reread(image);
    for (const auto& [id, bytes] : before) {
        SCOPED_TRACE(id);
        const core::TPropertyItem* item = reread.GetMetadata().Find(id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(Bytes(item->Bytes().begin(), item->Bytes().end()), bytes);
    }
}

// A document with one property, and the image that it is imported into.
std::string Document(const std::string& properties)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ExifExport><FileInfo/><ExifInfo>" + properties +
           "</ExifInfo></ExifExport>";
}

std::string Property(const std::string& tag, const std::string& type, const std::string& length,
                     const std::string& value)
{
    return "<property" + tag + "><name/><type>" + type + "</type><length>" + length + "</length>" + value +
           "</property>";
}

TEST(XmlImport, ReadsValuesAndSkipsWhatExportWritesForNoItem)
{
    TTempFolder folder;
    const std::string image = folder.Write("photo.jpg", SampleJpeg());
    core::TVekImageInfo info(image);
    const std::string xml = folder.WriteText(
        "in.xml", Document("<property>PropertyTagInvalid</property>"
                           "<property Tag=\"5\"><name/>Exception - broken</property>" +
                           Property(" Tag=\"274\"", "3", "2", "<Value>0a0B</Value>") +
                           Property(" Tag=\"700\"", "7", "2", "<Value>0102030405</Value>") +
                           Property(" Tag=\"701\"", "7", "4", "<Value>FF</Value>") +
                           Property(" Tag=\"702\"", "7", "4", "<Value/>") +
                           Property(" Tag=\"271\"", "2", "99", "<Value>Text</Value>") +
                           Property(" Tag=\"272\"", "2", "1", "<Value></Value>") +
                           Property(" Tag=\"305\"", "2", "3", "<Value encoding=\"hex\">610000</Value>")));
    app::ImportXml(xml, info);
    const auto& metadata = info.GetMetadata();
    ASSERT_EQ(metadata.Count(), 5);
    const std::pair<std::uint32_t, Bytes> expected[] = {
        {274, {0x0A, 0x0B}}, {700, {1, 2}}, {701, {0xFF, 0, 0, 0}}, {271, Ascii("Text")}, {305, {'a', 0, 0}}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(metadata.GetItem(i).id, expected[i].first);
        EXPECT_EQ(ItemBytes(info, i), expected[i].second);
    }
}

TEST(XmlImport, ABadDocumentLeavesTheImageAndItsFileUntouched)
{
    struct Row {
        const char* Name;
        std::string Xml;
    };
    const std::string good = Property(" Tag=\"274\"", "3", "2", "<Value>0100</Value>");
    const Row rows[] = {
        {"Malformed", "<ExifExport><ExifInfo>"},
        {"NoRoot", "<Other><ExifInfo/></Other>"},
        {"NoExifInfo", "<ExifExport><FileInfo/></ExifExport>"},
        {"NoTag", Document(good + Property("", "3", "2", "<Value>0100</Value>"))},
        {"TextTag", Document(good + Property(" Tag=\"x1\"", "3", "2", "<Value>0100</Value>"))},
        {"NoType", Document(good + "<property Tag=\"1\"><length>2</length><Value>0100</Value></property>")},
        {"NoLength", Document(good + "<property Tag=\"1\"><type>3</type><Value>0100</Value></property>")},
        {"NoValue", Document(good + Property(" Tag=\"1\"", "3", "2", ""))},
        {"TextLength", Document(good + Property(" Tag=\"1\"", "3", "two", "<Value>0100</Value>"))},
        {"NegativeLength", Document(good + Property(" Tag=\"1\"", "3", "-1", "<Value>0100</Value>"))},
        {"HugeLength", Document(good + Property(" Tag=\"1\"", "7", "16777217", "<Value>00</Value>"))},
        {"TypeOutOfRange", Document(good + Property(" Tag=\"1\"", "70000", "2", "<Value>0100</Value>"))},
        {"NonHex", Document(good + Property(" Tag=\"1\"", "7", "2", "<Value>01G0</Value>"))},
        {"OddHex", Document(good + Property(" Tag=\"1\"", "7", "2", "<Value>010</Value>"))},
        {"UnknownEncoding", Document(good + Property(" Tag=\"1\"", "2", "2", "<Value encoding=\"b64\">YQ==</Value>"))},
        {"ValueWithElements", Document(good + Property(" Tag=\"1\"", "7", "1", "<Value><x/></Value>"))},
        // An external entity would read as nothing: its property would be dropped and the rest imported.
        {"DocumentType", "<?xml version=\"1.0\"?><!DOCTYPE ExifExport [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>"
                         "<ExifExport><ExifInfo>" +
                             good + Property(" Tag=\"271\"", "2", "1", "<Value>&e;</Value>") +
                             "</ExifInfo></ExifExport>"},
        {"ValuesOver16MiB", Document(Property(" Tag=\"1\"", "7", "8388608", "<Value>00</Value>") +
                                     Property(" Tag=\"2\"", "7", "8388609", "<Value>00</Value>"))},
    };
    TTempFolder folder;
    const Bytes jpeg = SampleJpeg();
    const std::string image = folder.Write("photo.jpg", jpeg);
    core::TVekImageInfo info(image);
    const int count = info.GetMetadata().Count();
    ASSERT_GT(count, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string xml = folder.WriteText("bad.xml", row.Xml);
        EXPECT_THROW(app::ImportXml(xml, info), toolkit::Exception);
        EXPECT_EQ(info.GetMetadata().Count(), count);
        EXPECT_EQ(info.GetMetadata().GetItem(0).id, core::TagMake);
        EXPECT_EQ(ReadText(image), std::string(jpeg.begin(), jpeg.end()));
    }
    EXPECT_THROW(app::ImportXml(folder.File("missing.xml"), info), toolkit::EXMLDocError);
}

TEST(XmlImport, ARepeatedTagTakesTheLaterValueInTheEarlierPlace)
{
    TTempFolder folder;
    core::TVekImageInfo info(folder.Write("photo.jpg", SampleJpeg()));
    const std::string xml =
        folder.WriteText("in.xml", Document(Property(" Tag=\"274\"", "3", "2", "<Value>0100</Value>") +
                                            Property(" Tag=\"271\"", "2", "1", "<Value>Maker</Value>") +
                                            Property(" Tag=\"274\"", "3", "2", "<Value>0600</Value>")));
    app::ImportXml(xml, info);
    const auto& metadata = info.GetMetadata();
    ASSERT_EQ(metadata.Count(), 2);
    EXPECT_EQ(metadata.GetItem(0).id, 274u);
    EXPECT_EQ(ItemBytes(info, 0), (Bytes{6, 0}));
    EXPECT_EQ(metadata.GetItem(1).id, core::TagMake);
}

// The message of the import's error, or nothing when it succeeded.
std::optional<std::string> ImportError(const std::string& xml, core::TVekImageInfo& info)
{
    try {
        app::ImportXml(xml, info);
    } catch (const toolkit::Exception& error) {
        return error.Message();
    }
    return std::nullopt;
}

TEST(XmlImport, TheValuesOfADocumentHoldAtMost16MiBTogether)
{
    struct Row {
        const char* Name;
        int Count;  // properties of one length, each with a one-byte value
        const char* Length;
        bool Refused;
    };
    const Row rows[] = {
        {"JustFits", 2, "8388608", false},
        {"OneByteOver", 1, "16777217", true},  // past the cap of a single value too
        {"FourHundredFull", 400, "16777216", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TTempFolder folder;
        auto info = MakeInfo({{271, 2, Ascii("Kept")}}, folder.File("gone.jpg"));
        std::string properties;
        for (int i = 0; i < row.Count; ++i)
            properties += Property(" Tag=\"" + std::to_string(700 + i) + "\"", "7", row.Length, "<Value>00</Value>");
        const std::string xml = folder.WriteText("in.xml", Document(properties));
        std::optional<std::string> error;
        std::size_t requested = 0;
        {
            const test::TAllocationWatch watch;
            error = ImportError(xml, *info);
            requested = watch.RequestedBytes();
        }
        ASSERT_TRUE(error.has_value()) << "the image file does not exist, so nothing imports";
        EXPECT_EQ(error->find("could not be rewritten") == std::string::npos, row.Refused) << *error;
        if (row.Refused) {
            EXPECT_LT(requested, 4u * 1024 * 1024) << "refused before the values are allocated";
        }
        ASSERT_EQ(info->GetMetadata().Count(), 1);
        EXPECT_EQ(ItemBytes(*info, 0), Ascii("Kept"));
    }
}

TEST(XmlImport, RunningOutOfMemoryLeavesTheImageAsItWas)
{
    // A value of a size nothing else asks for: each request for it is one step of reading, applying or
    // saving the document, and each is made to fail in turn.
    constexpr std::size_t MarkerSize = 777;
    TTempFolder folder;
    const Bytes jpeg = SampleJpeg();
    const std::string image = folder.Write("photo.jpg", jpeg);
    const std::string xml = folder.WriteText(
        "in.xml", Document(Property(" Tag=\"274\"", "3", "2", "<Value>0600</Value>") +
                           Property(" Tag=\"700\"", "7", std::to_string(MarkerSize), "<Value>AB</Value>") +
                           Property(" Tag=\"305\"", "2", "1", "<Value>Imported</Value>")));
    core::TVekImageInfo info(image);
    ASSERT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
    std::vector<std::pair<std::uint32_t, Bytes>> before;
    for (int i = 0; i < info.GetMetadata().Count(); ++i)
        before.emplace_back(info.GetMetadata().GetItem(i).id, ItemBytes(info, i));

    int failures = 0;
    for (int occurrence = 1; occurrence <= 20; ++occurrence) {
        SCOPED_TRACE(occurrence);
        bool failed = false;
        bool threw = false;
        {
            test::TAllocationWatch watch;
            watch.FailRequest(MarkerSize, occurrence);
            try {
                app::ImportXml(xml, info);
            } catch (...) {
                threw = true;
            }
            failed = watch.Failed();
        }
        if (!threw) {
            // Imported, though a request may have failed on the way (a look at the new file, say).
            const core::TVekImageInfo reread(image);
            for (const core::TVekImageInfo* result : {static_cast<const core::TVekImageInfo*>(&info), &reread}) {
                const core::TPropertyItem* marker = result->GetMetadata().Find(700);
                ASSERT_NE(marker, nullptr);
                EXPECT_EQ(marker->length, MarkerSize);
                EXPECT_EQ(marker->value[0], 0xAB);
            }
            EXPECT_EQ(info.GetMetadata().Count(), 3);
            break;
        }
        ASSERT_TRUE(failed) << "only the failed request may end the import";
        ++failures;
        ASSERT_EQ(info.GetMetadata().Count(), static_cast<int>(before.size()));
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(info.GetMetadata().GetItem(static_cast<int>(i)).id, before[i].first);
            EXPECT_EQ(ItemBytes(info, static_cast<int>(i)), before[i].second);
        }
        EXPECT_EQ(ReadText(image), std::string(jpeg.begin(), jpeg.end()));
    }
    EXPECT_GE(failures, 2) << "reading and applying the document each asked for the value";
    EXPECT_LT(failures, 20) << "the import never got through";
}

TEST(XmlImport, AReadOnlyImageFileIsRefusedWithTheReasonAndLeftAsItWas)
{
    TTempFolder folder;
    const Bytes jpeg = SampleJpeg();
    const std::string image = folder.Write("photo.jpg", jpeg);
    const std::string xml =
        folder.WriteText("in.xml", Document(Property(" Tag=\"274\"", "3", "2", "<Value>0100</Value>")));
    std::filesystem::permissions(image, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const std::string result = testsupport::AsUnprivilegedUser({folder.Path(), image, xml}, [&] {
        core::TVekImageInfo info(image);
        const int count = info.GetMetadata().Count();
        try {
            app::ImportXml(xml, info);
            return std::string("imported");
        } catch (const app::EXmlImportError& error) {
            // The metadata in memory is the image's own again.
            const bool restored =
                info.GetMetadata().Count() == count && info.GetMetadata().GetItem(0).id == core::TagMake;
            return error.Message() + (restored ? "" : " (metadata not restored)");
        }
    });
    EXPECT_EQ(result, "The image file \"" + image + "\" could not be rewritten: Access denied");
    EXPECT_EQ(ReadText(image), std::string(jpeg.begin(), jpeg.end()));
}

TEST(XmlImport, AFailedSaveRestoresTheMetadata)
{
    TTempFolder folder;
    auto info = MakeInfo({{271, 2, Ascii("Kept")}}, folder.File("gone.jpg"));
    const std::string xml =
        folder.WriteText("in.xml", Document(Property(" Tag=\"274\"", "3", "2", "<Value>0100</Value>")));
    EXPECT_THROW(app::ImportXml(xml, *info), app::EXmlImportError);
    ASSERT_EQ(info->GetMetadata().Count(), 1);
    EXPECT_EQ(ItemBytes(*info, 0), Ascii("Kept"));
}

}  // namespace
