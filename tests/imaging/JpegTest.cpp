#include "imaging/Builders.h"
#include "imaging/TestSupport.h"
#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Structure_p.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ovrel::imaging {
namespace {

using namespace fixtures;

constexpr std::string_view XmpPacket = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";

Bytes CameraJpeg(bool bigEndian = false, std::size_t makerNoteSize = 40)
{
    return JpegBytes()
        .Jfif(1, 300, 300)
        .Exif(CameraExif(bigEndian, makerNoteSize).Build())
        .Xmp(XmpPacket)
        .Comment("a comment")
        .Frame(32, 16)
        .Build();
}

// The bytes after the Exif segment: the other segments, the scan and EOI.
Bytes AfterExif(const Bytes& file)
{
    const std::size_t xmp = Find(file, Bytes{'h', 't', 't', 'p', ':', '/', '/', 'n', 's'}) - 4;
    return Bytes(file.begin() + static_cast<std::ptrdiff_t>(xmp), file.end());
}

TEST(JpegReader, ListsExifItemsThenTheQuantisationTablesLast)
{
    const auto image = Image::FromMemory(CameraJpeg());
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    const auto& items = image->GetAllPropertyItems();
    std::vector<PropertyItem> block;
    ASSERT_EQ(detail::ReadExifBlock(CameraExif(false).Build(), block), Status::Ok);
    ASSERT_EQ(items.size(), block.size() + 2);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), items.begin()));

    std::vector<std::uint16_t> luminance, chrominance;
    for (std::uint16_t i = 0; i < 64; ++i) {
        luminance.push_back(static_cast<std::uint16_t>(i + 1));
        chrominance.push_back(static_cast<std::uint16_t>(64 - i));
    }
    const auto& lum = items[items.size() - 2];
    const auto& chrom = items.back();
    EXPECT_EQ(lum.Id, PropertyTagLuminanceTable);
    EXPECT_EQ(lum.Type, PropertyTagTypeShort);
    EXPECT_EQ(lum.Length(), 128u);
    EXPECT_EQ(std::memcmp(lum.Value.data(), luminance.data(), 128), 0);
    EXPECT_EQ(chrom.Id, PropertyTagChrominanceTable);
    EXPECT_EQ(std::memcmp(chrom.Value.data(), chrominance.data(), 128), 0);

    std::uint32_t size = 0;
    for (const auto& item : items)
        size += 16 + item.Length();
    EXPECT_EQ(image->GetPropertySize(), size);
    EXPECT_EQ(image->GetPropertyCount(), items.size());
}

TEST(JpegReader, AGreyJpegWithoutMetadataHasOnlyTheLuminanceTable)
{
    const auto image = Image::FromMemory(JpegBytes().Frame(8, 8, 1).Build());
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(Ids(image->GetAllPropertyItems()), std::vector<std::uint32_t>{PropertyTagLuminanceTable});
}

struct JpegFacts {
    const char* name;
    Bytes file;
    std::uint32_t width, height;
    PixelFormat format;
    std::uint32_t flags;
    float dpiX, dpiY;
};

class JpegFactsTest : public ::testing::TestWithParam<JpegFacts> {};

TEST_P(JpegFactsTest, ReportsSizeFormatColourSpaceAndResolution)
{
    const auto& row = GetParam();
    const auto image = Image::FromMemory(row.file);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->GetRawFormat(), ImageFormatJPEG);
    EXPECT_EQ(image->GetWidth(), row.width);
    EXPECT_EQ(image->GetHeight(), row.height);
    EXPECT_EQ(image->GetPixelFormat(), row.format);
    EXPECT_EQ(image->GetFlags(), row.flags);
    EXPECT_FLOAT_EQ(image->GetHorizontalResolution(), row.dpiX);
    EXPECT_FLOAT_EQ(image->GetVerticalResolution(), row.dpiY);
}

constexpr std::uint32_t Base = ImageFlagsReadOnly | ImageFlagsHasRealPixelSize;

INSTANTIATE_TEST_SUITE_P(
    Rows, JpegFactsTest,
    ::testing::Values(JpegFacts{"CameraJfifWins", CameraJpeg(), 32, 16, PixelFormat24bppRGB,
                                Base | ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI, 300, 300},
                      JpegFacts{"ExifResolution", JpegBytes().Exif(CameraExif(true).Build()).Frame(17, 9).Build(), 17,
                                9, PixelFormat24bppRGB, Base | ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI, 72,
                                72},
                      JpegFacts{"ExifInCentimetres",
                                JpegBytes()
                                    .Exif(TiffBytes()
                                              .Rational(Dir::Ifd0, 0x011A, {{100, 1}})
                                              .Rational(Dir::Ifd0, 0x011B, {{50, 1}})
                                              .Short(Dir::Ifd0, 0x0128, {3})
                                              .Build())
                                    .Frame(8, 8)
                                    .Build(),
                                8, 8, PixelFormat24bppRGB, Base | ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI, 254,
                                127},
                      JpegFacts{"JfifPerCentimetre", JpegBytes().Jfif(2, 100, 200).Frame(8, 8).Build(), 8, 8,
                                PixelFormat24bppRGB, Base | ImageFlagsColorSpaceYCBCR | ImageFlagsHasRealDPI, 254, 508},
                      JpegFacts{"JfifAspectOnly", JpegBytes().Jfif(0, 1, 1).Frame(8, 8).Build(), 8, 8,
                                PixelFormat24bppRGB, Base | ImageFlagsColorSpaceYCBCR, 96, 96},
                      JpegFacts{"Grey", JpegBytes().Frame(640, 480, 1).Build(), 640, 480, PixelFormat8bppIndexed,
                                Base | ImageFlagsColorSpaceGRAY, 96, 96},
                      JpegFacts{"Progressive", JpegBytes().Frame(20, 12, 3, true).Build(), 20, 12, PixelFormat24bppRGB,
                                Base | ImageFlagsColorSpaceYCBCR, 96, 96},
                      JpegFacts{"AdobeRgb", JpegBytes().Adobe(0).Frame(8, 8).Build(), 8, 8, PixelFormat24bppRGB,
                                Base | ImageFlagsColorSpaceRGB, 96, 96},
                      JpegFacts{"Cmyk", JpegBytes().Adobe(0).Frame(8, 8, 4).Build(), 8, 8, PixelFormat32bppCMYK,
                                Base | ImageFlagsColorSpaceCMYK, 96, 96},
                      JpegFacts{"Ycck", JpegBytes().Adobe(2).Frame(8, 8, 4).Build(), 8, 8, PixelFormat32bppCMYK,
                                Base | ImageFlagsColorSpaceYCCK, 96, 96}),
    [](const auto& row) { return std::string(row.param.name); });

struct DamagedJpeg {
    const char* name;
    Bytes bytes;
    bool opens;
    std::size_t exifItems;  // when it opens: items before the quantisation tables
};

class JpegDamaged : public ::testing::TestWithParam<DamagedJpeg> {};

TEST_P(JpegDamaged, GivesAStatusOrFewerItems)
{
    const auto image = Image::FromMemory(GetParam().bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetLastStatus() == Status::Ok, GetParam().opens);
    if (GetParam().opens) {
        EXPECT_EQ(image->GetPropertyCount(), GetParam().exifItems + 2);
    } else {
        EXPECT_EQ(image->GetPropertyCount(), 0u);
        EXPECT_EQ(image->GetWidth(), 0u);
    }
}

Bytes Cut(Bytes b, std::size_t size)
{
    b.resize(std::min(size, b.size()));
    return b;
}

Bytes Patched(Bytes b, std::size_t at, std::initializer_list<std::uint8_t> bytes)
{
    for (auto v : bytes)
        b[at++] = v;
    return b;
}

// The camera JPEG's Exif segment starts right after SOI and the 18-byte JFIF segment.
constexpr std::size_t ExifSegmentAt = 2 + 18;
constexpr std::size_t ExifBlockAt = ExifSegmentAt + 4 + 6;

INSTANTIATE_TEST_SUITE_P(
    Rows, JpegDamaged,
    ::testing::Values(
        DamagedJpeg{"SoiOnly", {0xFF, 0xD8, 0xFF}, false, 0}, DamagedJpeg{"CutInJfif", Cut(CameraJpeg(), 10), false, 0},
        DamagedJpeg{"CutInExif", Cut(CameraJpeg(), 200), false, 0},
        DamagedJpeg{"CutBeforeScan", Cut(CameraJpeg(), Find(CameraJpeg(), {0xFF, 0xDA})), false, 0},
        DamagedJpeg{"NoFrame", Bytes{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9}, false, 0},
        DamagedJpeg{"EoiBeforeScan", Bytes{0xFF, 0xD8, 0xFF, 0xD9}, false, 0},
        DamagedJpeg{"SegmentLengthPastEnd", Patched(CameraJpeg(), ExifSegmentAt + 2, {0xFF, 0xF0}), false, 0},
        DamagedJpeg{"SegmentLengthBelowTwo", Patched(CameraJpeg(), ExifSegmentAt + 2, {0x00, 0x01}), false, 0},
        DamagedJpeg{"GarbageBetweenSegments", Patched(CameraJpeg(), ExifSegmentAt, {0x00}), false, 0},
        DamagedJpeg{
            "ZeroWidth",
            Patched(JpegBytes().Frame(8, 8).Build(), Find(JpegBytes().Frame(8, 8).Build(), {0xFF, 0xC0}) + 7, {0, 0}),
            false, 0},
        DamagedJpeg{"ExifHeaderBroken", Patched(CameraJpeg(), ExifBlockAt, {'X', 'X'}), true, 0},
        DamagedJpeg{"ExifIfd0CountHuge", Patched(CameraJpeg(), ExifBlockAt + 8, {0xFF, 0xFF}), true, 0},
        // An Exif segment whose length field says it is shorter than its own identifier.
        DamagedJpeg{"ExifSegmentShorterThanItsIdentifier",
                    {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x02, 'E', 'x', 'i', 'f', 0, 0, 0xFF, 0xD9},
                    false,
                    0}),
    [](const auto& row) { return std::string(row.param.name); });

// Files whose headers end at, before and after the points where opening a file reads in steps: a first 4 KB,
// a buffer of 64 KB, a limit of 1 MB beyond which the whole file is mapped.
struct JpegOnDisk {
    const char* name;
    Bytes file;
};

// Where the scan's header (three components) ends: after the last SOS marker, as maker notes may hold its bytes.
std::size_t ScanHeaderEnd(const Bytes& file)
{
    const Bytes sos{0xFF, 0xDA, 0x00, 12};
    return static_cast<std::size_t>(std::find_end(file.begin(), file.end(), sos.begin(), sos.end()) - file.begin()) +
           2 + 12;
}

Bytes WithPadding(std::size_t scanHeaderEnd)
{
    // A comment segment sized so that the scan's header ends at scanHeaderEnd.
    const Bytes bare = JpegBytes().Comment("").Frame(8, 8).Build();
    return JpegBytes().Comment(std::string(scanHeaderEnd - ScanHeaderEnd(bare), 'c')).Frame(8, 8).Build();
}

Bytes ManySegments(std::size_t count)
{
    JpegBytes jpeg;
    jpeg.Exif(CameraExif(false, 20000).Build());
    for (std::size_t i = 0; i < count; ++i)
        jpeg.Segment(0xE2, Bytes(60000, static_cast<std::uint8_t>(i)));
    return jpeg.Frame(16, 8).Build();
}

TEST(JpegHeaderLength, SaysHowFarTheHeadersReachOrHowMuchMoreTheyNeed)
{
    const Bytes file = CameraJpeg(false, 3000);
    const std::size_t headers = ScanHeaderEnd(file);
    const std::size_t exifEnd = ExifSegmentAt + 2 + ((file[ExifSegmentAt + 2] << 8) | file[ExifSegmentAt + 3]);
    const auto length = [&](std::size_t size) { return detail::JpegHeaderLength(Cut(file, size)); };
    const struct {
        const char* name;
        std::size_t size;
        std::optional<std::size_t> expected;
    } rows[] = {
        {"WholeFile", file.size(), headers},
        {"EndsWithTheScanHeader", headers, headers},
        {"CutInTheScanHeader", headers - 1, headers},
        {"CutInTheExifSegment", ExifSegmentAt + 100, exifEnd},
        {"CutInTheExifLength", ExifSegmentAt + 3, ExifSegmentAt + 4},
        {"CutAfterTheExifMarker", ExifSegmentAt + 2, ExifSegmentAt + 4},
        {"CutAtASegment", ExifSegmentAt, ExifSegmentAt + 4},
        {"CutInTheStart", 1, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(length(row.size), row.expected);
    }
    EXPECT_EQ(detail::JpegHeaderLength(Patched(file, ExifSegmentAt, {0x00})), std::nullopt);  // no marker
    EXPECT_EQ(detail::JpegHeaderLength(Patched(file, ExifSegmentAt + 2, {0x00, 0x01})), std::nullopt);  // length 1
    EXPECT_EQ(detail::JpegHeaderLength(Bytes{'G', 'I', 'F', '8', '9', 'a'}), std::nullopt);
}

class JpegFromFile : public ::testing::TestWithParam<JpegOnDisk> {};

TEST_P(JpegFromFile, ReadsWhatTheWholeFileInMemoryGives)
{
    TempDir dir;
    const std::string name = dir.File("photo.jpg");
    WriteFile(name, GetParam().file);
    const auto fromFile = Image::FromFile(name);
    const auto fromMemory = Image::FromMemory(GetParam().file);
    ASSERT_EQ(fromFile->GetLastStatus(), fromMemory->GetLastStatus());
    EXPECT_EQ(fromFile->GetWidth(), fromMemory->GetWidth());
    EXPECT_EQ(fromFile->GetHeight(), fromMemory->GetHeight());
    EXPECT_EQ(fromFile->GetAllPropertyItems(), fromMemory->GetAllPropertyItems());
}

INSTANTIATE_TEST_SUITE_P(Rows, JpegFromFile,
                         ::testing::Values(JpegOnDisk{"Small", CameraJpeg()},
                                           JpegOnDisk{"ExifPastTheFirstStep", CameraJpeg(false, 30000)},
                                           JpegOnDisk{"HeadersEndWithTheFirstStep", WithPadding(4096)},
                                           JpegOnDisk{"HeadersEndOneByteLater", WithPadding(4097)},
                                           JpegOnDisk{"EndsWithTheScanHeader", Cut(WithPadding(5000), 5000)},
                                           JpegOnDisk{"HeadersPastTheBuffer", ManySegments(2)},
                                           JpegOnDisk{"HeadersPastTheLimit", ManySegments(20)},
                                           JpegOnDisk{"CutInTheExifSegment", Cut(CameraJpeg(false, 30000), 9000)},
                                           JpegOnDisk{"CutInASegmentPastTheBuffer", Cut(ManySegments(3), 100000)}),
                         [](const auto& row) { return std::string(row.param.name); });

class JpegSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        FOriginal = CameraJpeg(true, 500);
        FName = FDir.File("photo.jpg");
        WriteFile(FName, FOriginal);
    }
    TempDir FDir;
    Bytes FOriginal;
    std::string FName;
};

TEST_F(JpegSave, ChangingOneItemLeavesEverythingElseByteIdentical)
{
    auto image = Image::FromFile(FName);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    const auto before = image->GetAllPropertyItems();
    ASSERT_EQ(image->SetPropertyItem(Ascii(0x0110, "Model X with a longer name")), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(FName, CodecJPEG), Status::Ok);
    EXPECT_EQ(FDir.Names(), std::vector<std::string>{"photo.jpg"});

    const Bytes saved = ReadFile(FName);
    EXPECT_TRUE(std::equal(FOriginal.begin(), FOriginal.begin() + ExifSegmentAt, saved.begin()));  // SOI, JFIF
    EXPECT_EQ(AfterExif(saved), AfterExif(FOriginal));  // XMP, comment, tables, frame, scan, EOI
    // The maker note keeps its offset inside the block, so its own offsets stay valid.
    TiffBytes builder = CameraExif(true, 500);
    builder.Build();
    const std::size_t noteAt = ExifBlockAt + builder.ValueOffset(Dir::Exif, 0x927C);
    EXPECT_TRUE(std::equal(FOriginal.begin() + noteAt, FOriginal.begin() + noteAt + 500, saved.begin() + noteAt));
    EXPECT_EQ(saved[ExifBlockAt], 'M');

    const auto back = Image::FromFile(FName);
    ASSERT_EQ(back->GetLastStatus(), Status::Ok);
    auto expected = before;
    for (auto& item : expected)
        if (item.Id == 0x0110)
            item = Ascii(0x0110, "Model X with a longer name");
    const auto& got = back->GetAllPropertyItems();
    ASSERT_EQ(Ids(got), Ids(expected));
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(got[i].Id);
        if (got[i].Id != 0x8769 && got[i].Id != 0x8825 && got[i].Id != 0xA005) {  // offsets may move
            EXPECT_EQ(got[i], expected[i]);
        }
    }
}

TEST_F(JpegSave, RemovingAllButDerivedItemsLeavesAValidFileWithoutExif)
{
    auto image = Image::FromFile(FName);
    const auto ids = Ids(image->GetAllPropertyItems());
    // As a clear does it: every item but the last two listed.
    for (std::size_t i = 0; i + 2 < ids.size(); ++i)
        (void)image->RemovePropertyItem(ids[i]);
    ASSERT_EQ(image->SaveReplacing(FName, CodecJPEG), Status::Ok);
    const Bytes saved = ReadFile(FName);
    EXPECT_EQ(Find(saved, Bytes{'E', 'x', 'i', 'f', 0, 0}), saved.size());
    const std::size_t exifSegmentSize = FOriginal.size() - ExifSegmentAt - AfterExif(FOriginal).size();
    EXPECT_EQ(saved.size(), FOriginal.size() - exifSegmentSize);
    EXPECT_EQ(AfterExif(saved), AfterExif(FOriginal));
    const auto back = Image::FromFile(FName);
    ASSERT_EQ(back->GetLastStatus(), Status::Ok);
    EXPECT_EQ(Ids(back->GetAllPropertyItems()),
              (std::vector<std::uint32_t>{PropertyTagLuminanceTable, PropertyTagChrominanceTable}));
    RgbaImage pixels;
    EXPECT_EQ(back->Decode(pixels), Status::Ok);
    EXPECT_EQ(pixels.Width, 32u);
}

TEST_F(JpegSave, AddsAnExifSegmentAfterJfifToAFileWithoutOne)
{
    const Bytes plain = JpegBytes().Jfif(1, 72, 72).Comment("c").Frame(16, 16).Build();
    WriteFile(FName, plain);
    auto image = Image::FromFile(FName);
    ASSERT_EQ(image->SetPropertyItem(Ascii(0x010E, "A description")), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(FName, CodecJPEG), Status::Ok);
    const Bytes saved = ReadFile(FName);
    EXPECT_EQ(Find(saved, Bytes{0xFF, 0xE1}), 20u);  // SOI + 18-byte JFIF segment
    const auto back = Image::FromFile(FName);
    EXPECT_EQ(Ids(back->GetAllPropertyItems()),
              (std::vector<std::uint32_t>{0x010E, PropertyTagLuminanceTable, PropertyTagChrominanceTable}));
    EXPECT_TRUE(
        std::equal(plain.begin() + 20, plain.end(), saved.end() - static_cast<std::ptrdiff_t>(plain.size() - 20)));
}

TEST_F(JpegSave, RefusesABlockOverOneSegmentAndLeavesTheFile)
{
    auto image = Image::FromFile(FName);
    ASSERT_EQ(image->SetPropertyItem({0x9286, PropertyTagTypeUndefined, Bytes(70000, 'x')}), Status::Ok);
    EXPECT_EQ(image->SaveReplacing(FName, CodecJPEG), Status::ValueOverflow);
    EXPECT_EQ(ReadFile(FName), FOriginal);
    EXPECT_EQ(FDir.Names(), std::vector<std::string>{"photo.jpg"});
}

TEST_F(JpegSave, ABlockThatJustFitsIsWritten)
{
    auto plainName = FDir.File("plain.jpg");
    WriteFile(plainName, JpegBytes().Frame(8, 8).Build());
    auto image = Image::FromFile(plainName);
    // Header 8, IFD0 with one entry 18, the Exif IFD with one entry 18, value: 65,533 - 6 - 44.
    ASSERT_EQ(image->SetPropertyItem({0x9286, PropertyTagTypeUndefined, Bytes(65533 - 6 - 44, 'x')}), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(plainName, CodecJPEG), Status::Ok);
    ASSERT_EQ(image->SetPropertyItem({0x9286, PropertyTagTypeUndefined, Bytes(65533 - 6 - 43, 'x')}), Status::Ok);
    EXPECT_EQ(image->SaveReplacing(plainName, CodecJPEG), Status::WrongState);  // the file changed meanwhile
    auto reopened = Image::FromFile(plainName);
    ASSERT_EQ(reopened->GetPropertyCount(), 4u);
    ASSERT_EQ(reopened->SetPropertyItem({0x9286, PropertyTagTypeUndefined, Bytes(65533 - 6 - 43, 'x')}), Status::Ok);
    EXPECT_EQ(reopened->SaveReplacing(plainName, CodecJPEG), Status::ValueOverflow);
}

}  // namespace
}  // namespace ovrel::imaging
