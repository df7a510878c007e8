#include "imaging/Builders.h"
#include "imaging/TestSupport.h"
#include "platform/imaging/Image.h"

#include <gtest/gtest.h>

#include <string>

namespace ovrel::imaging {
namespace {

using namespace fixtures;

TiffBytes TaggedTiff(bool bigEndian)
{
    TiffBytes t = RgbTiff(4, 3, bigEndian);
    t.Ascii(Dir::Ifd0, 0x010F, "Scanner Co")  // Make
        .Rational(Dir::Ifd0, 0x011A, {{300, 1}})  // XResolution
        .Rational(Dir::Ifd0, 0x011B, {{150, 1}})  // YResolution
        .Short(Dir::Ifd0, 0x0128, {2})  // ResolutionUnit: inch
        .Ascii(Dir::Exif, 0x9003, "2020:01:02 03:04:05")  // DateTimeOriginal
        .Ascii(Dir::Gps, 0x0001, "S");  // GPSLatitudeRef
    return t;
}

TEST(TiffReader, ListsMetadataFirstAndTheStructureTagsAfterIt)
{
    for (bool big : {true, false}) {
        SCOPED_TRACE(big);
        const auto image = Image::FromMemory(TaggedTiff(big).Build());
        ASSERT_EQ(image->GetLastStatus(), Status::Ok);
        EXPECT_EQ(image->GetRawFormat(), ImageFormatTIFF);
        EXPECT_EQ(image->GetWidth(), 4u);
        EXPECT_EQ(image->GetHeight(), 3u);
        EXPECT_EQ(image->GetPixelFormat(), PixelFormat24bppRGB);
        EXPECT_EQ(image->GetFlags(),
                  ImageFlagsReadOnly | ImageFlagsHasRealPixelSize | ImageFlagsColorSpaceRGB | ImageFlagsHasRealDPI);
        EXPECT_FLOAT_EQ(image->GetHorizontalResolution(), 300);
        EXPECT_FLOAT_EQ(image->GetVerticalResolution(), 150);
        const auto& items = image->GetAllPropertyItems();
        const std::vector<std::uint32_t> ids = {0x010F, 0x011A, 0x011B, 0x0128, 0x8769, 0x8825, 0x9003, 0x0001, 0x0100,
                                                0x0101, 0x0102, 0x0103, 0x0106, 0x0111, 0x0115, 0x0116, 0x0117, 0x011C};
        EXPECT_EQ(Ids(items), ids);
        EXPECT_EQ(*ItemOf(items, 0x010F), Ascii(0x010F, "Scanner Co"));
        EXPECT_EQ(ItemOf(items, 0x011A)->Value, Native<std::uint32_t>({300, 1}));
        EXPECT_EQ(ItemOf(items, 0x0102)->Value, Native<std::uint16_t>({8, 8, 8}));
        EXPECT_EQ(ItemOf(items, 0x0117)->Value, Native<std::uint32_t>({24, 12}));  // two strips of 2 and 1 rows
    }
}

struct DamagedTiff {
    const char* name;
    Bytes bytes;
};

class TiffDamaged : public ::testing::TestWithParam<DamagedTiff> {};

TEST_P(TiffDamaged, EndsWithAStatusInsteadOfReadingPastTheEnd)
{
    const auto image = Image::FromMemory(GetParam().bytes);
    EXPECT_NE(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->GetPropertyCount(), 0u);
}

Bytes Cut(Bytes b, std::size_t size)
{
    b.resize(size);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TiffDamaged,
    ::testing::Values(
        DamagedTiff{"HeaderOnly", {'M', 'M', 0, 42}},
        DamagedTiff{"EntryCountPastEnd", RgbTiff(2, 2, true).Ifd0Count(500).Build()},
        DamagedTiff{"NoStrips", TiffBytes(true).Short(Dir::Ifd0, 0x0100, {2}).Short(Dir::Ifd0, 0x0101, {2}).Build()},
        DamagedTiff{"NoWidth", TiffBytes().Strips({Bytes(12)}).Short(Dir::Ifd0, 0x0101, {2}).Build()},
        DamagedTiff{"StripPastEnd", Cut(RgbTiff(4, 3, false).Build(), RgbTiff(4, 3, false).Build().size() - 1)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TiffReader, ReadsTiledFiles)
{
    TiffBytes t(true);
    t.Short(Dir::Ifd0, 0x0100, {16})
        .Short(Dir::Ifd0, 0x0101, {16})
        .Short(Dir::Ifd0, 0x0102, {8})
        .Short(Dir::Ifd0, 0x0106, {1})
        .Short(Dir::Ifd0, 0x0142, {16})
        .Short(Dir::Ifd0, 0x0143, {16})
        .Ascii(Dir::Ifd0, 0x010E, "tiles")
        .Tiles({Bytes(256, 7)});
    const auto image = Image::FromMemory(t.Build());
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->GetPixelFormat(), PixelFormat8bppIndexed);
    EXPECT_EQ(image->GetFlags() & 0xFF0, ImageFlagsColorSpaceGRAY);
    EXPECT_EQ(image->GetAllPropertyItems().front(), Ascii(0x010E, "tiles"));
}

class TiffSave : public ::testing::Test {
protected:
    TempDir FDir;
};

TEST_F(TiffSave, KeepsTheStripsAndRegeneratesTheStructure)
{
    for (bool big : {true, false}) {
        SCOPED_TRACE(big);
        const std::string name = FDir.File(big ? "big.tif" : "little.tif");
        const Bytes original = TaggedTiff(big).Build();
        WriteFile(name, original);
        auto image = Image::FromFile(name);
        ASSERT_EQ(image->GetLastStatus(), Status::Ok);
        const auto before = image->GetAllPropertyItems();
        RgbaImage pixelsBefore;
        ASSERT_EQ(image->Decode(pixelsBefore), Status::Ok);

        ASSERT_EQ(image->SetPropertyItem(Ascii(0x010F, "Another, longer scanner maker")), Status::Ok);
        // A changed or removed structure item must not reach the file.
        ASSERT_EQ(image->SetPropertyItem({0x0100, PropertyTagTypeShort, Native<std::uint16_t>({999})}), Status::Ok);
        ASSERT_EQ(image->RemovePropertyItem(0x0111), Status::Ok);
        ASSERT_EQ(image->SaveReplacing(name, CodecTIFF), Status::Ok);

        const Bytes saved = ReadFile(name);
        EXPECT_EQ(saved[0], big ? 'M' : 'I');
        const auto stripAt = Find(original, Bytes{0, 0, 128, 16, 0, 128});  // the first strip's first pixels
        ASSERT_LT(stripAt, original.size());
        ASSERT_GE(saved.size(), stripAt + 36);
        const auto from = static_cast<std::ptrdiff_t>(stripAt);
        EXPECT_TRUE(std::equal(original.begin() + from, original.begin() + from + 36, saved.begin() + from));
        const auto back = Image::FromFile(name);
        ASSERT_EQ(back->GetLastStatus(), Status::Ok);
        EXPECT_EQ(back->GetWidth(), 4u);
        EXPECT_EQ(*ItemOf(back->GetAllPropertyItems(), 0x010F), Ascii(0x010F, "Another, longer scanner maker"));
        EXPECT_EQ(*ItemOf(back->GetAllPropertyItems(), 0x0111), *ItemOf(before, 0x0111));
        RgbaImage pixelsAfter;
        ASSERT_EQ(back->Decode(pixelsAfter), Status::Ok);
        EXPECT_EQ(pixelsAfter.Pixels, pixelsBefore.Pixels);
    }
}

TEST_F(TiffSave, RemovingEveryItemLeavesADecodableFile)
{
    const std::string name = FDir.File("scan.tif");
    WriteFile(name, TaggedTiff(true).Build());
    auto image = Image::FromFile(name);
    while (image->GetPropertyCount() > 0)
        ASSERT_EQ(image->RemovePropertyItem(image->GetAllPropertyItems().front().Id), Status::Ok);
    ASSERT_EQ(image->SaveReplacing(name, CodecTIFF), Status::Ok);
    const auto back = Image::FromFile(name);
    ASSERT_EQ(back->GetLastStatus(), Status::Ok);
    EXPECT_EQ(Ids(back->GetAllPropertyItems()), (std::vector<std::uint32_t>{0x0100, 0x0101, 0x0102, 0x0103, 0x0106,
                                                                            0x0111, 0x0115, 0x0116, 0x0117, 0x011C}));
    const Bytes saved = ReadFile(name);
    EXPECT_EQ(Find(saved, AsciiValue("Scanner Co")), saved.size());
    RgbaImage pixels;
    EXPECT_EQ(back->Decode(pixels), Status::Ok);
    EXPECT_EQ(pixels.Width, 4u);
}

}  // namespace
}  // namespace ovrel::imaging
