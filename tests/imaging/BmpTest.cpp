#include "imaging/PixelBuilders.h"
#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <gtest/gtest.h>

using namespace ovrel::imaging;
using namespace ovrel::imaging::pixelfixtures;
using detail::ImageData;

namespace {

// 2x2, 24 bits, bottom-up: the first stored row is the bottom one. Rows pad to 8 bytes.
BmpSpec Rgb24()
{
    BmpSpec bmp;
    bmp.Pixels = {0xFF, 0, 0,    /* blue */ 0xFF, 0xFF, 0xFF, /* white */ 0, 0,
                  0,    0, 0xFF, /* red */ 0,     0xFF, 0,    /* green */ 0, 0};
    bmp.PelsPerMeter = 2835;
    return bmp;
}

BmpSpec Indexed8()
{
    BmpSpec bmp;
    bmp.Bits = 8;
    bmp.Palette = {0xFF0000, 0x00FF00, 0x0000FF};
    bmp.Pixels = {2, 2, 0, 0, 0, 1, 0, 0};  // bottom: blue blue; top: red green
    return bmp;
}

std::uint32_t PixelAt(const RgbaImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.Pixels.data() + (static_cast<std::size_t>(y) * image.Width + x) * 4;
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

}  // namespace

TEST(BmpReader, ReportsTheFactsOfEachHeaderKind)
{
    struct Row {
        const char* name;
        BmpSpec bmp;
        PixelFormat format;
        float dpi;
        bool alpha;
    };
    BmpSpec core = Indexed8();
    core.HeaderSize = 12;
    BmpSpec topDown1 = Indexed8();
    topDown1.Bits = 1;
    topDown1.Height = -2;
    topDown1.Pixels = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
    BmpSpec rgb565;
    rgb565.Bits = 16;
    rgb565.Compression = 3;
    rgb565.Masks = {0xF800, 0x07E0, 0x001F};
    rgb565.Pixels = Bytes(8, 0);
    BmpSpec argb;
    argb.Bits = 32;
    argb.Compression = 3;
    argb.HeaderSize = 108;
    argb.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    argb.Pixels = Bytes(16, 0);
    const Row rows[] = {
        {"Rgb24WithDensity", Rgb24(), PixelFormat24bppRGB, 72.009f, false},
        {"Indexed8", Indexed8(), PixelFormat8bppIndexed, 96.0f, false},
        {"CoreHeader", core, PixelFormat8bppIndexed, 96.0f, false},
        {"TopDown1Bit", topDown1, PixelFormat1bppIndexed, 96.0f, false},
        {"BitFields565", rgb565, PixelFormat16bppRGB565, 96.0f, false},
        {"Version4Alpha", argb, PixelFormat32bppARGB, 96.0f, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ImageData data;
        ASSERT_EQ(detail::ReadBmp(MakeBmp(row.bmp), data), Status::Ok);
        EXPECT_EQ(data.RawFormat, ImageFormatBMP);
        EXPECT_EQ(data.Width, 2u);
        EXPECT_EQ(data.Height, 2u);
        EXPECT_EQ(data.Format, row.format);
        EXPECT_NEAR(data.DpiX, row.dpi, 0.01);
        EXPECT_NEAR(data.DpiY, row.dpi, 0.01);
        EXPECT_EQ(data.Flags & 0xFF0u, ImageFlagsColorSpaceRGB);
        EXPECT_EQ((data.Flags & ImageFlagsHasAlpha) != 0, row.alpha);
        EXPECT_EQ((data.Flags & ImageFlagsHasRealDPI) != 0, row.dpi != 96.0f);
        EXPECT_TRUE(data.Items.empty());  // a BMP holds no metadata
    }
}

TEST(BmpImage, OpensByContentWhateverTheName)
{
    const Bytes bytes = MakeBmp(Rgb24());
    auto image = Image::FromMemory(bytes);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->GetRawFormat(), ImageFormatBMP);
    EXPECT_EQ(image->GetPropertyCount(), 0u);
}

struct DamagedBmp {
    const char* name;
    Bytes bytes;
};

class BmpReaderDamaged : public ::testing::TestWithParam<DamagedBmp> {};

TEST_P(BmpReaderDamaged, OpensWithAFailureStatus)
{
    ImageData data;
    EXPECT_NE(detail::ReadBmp(GetParam().bytes, data), Status::Ok);
    RgbaImage pixels;
    EXPECT_NE(detail::DecodeBmp(GetParam().bytes, pixels), Status::Ok);
}

BmpSpec With(BmpSpec bmp, const std::function<void(BmpSpec&)>& change)
{
    change(bmp);
    return bmp;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BmpReaderDamaged,
    ::testing::Values(DamagedBmp{"CutInTheFileHeader", Cut(MakeBmp(Rgb24()), 10)},
                      DamagedBmp{"CutInTheInfoHeader", Cut(MakeBmp(Rgb24()), 30)},
                      DamagedBmp{"PixelRowsMissing", Cut(MakeBmp(Rgb24()), MakeBmp(Rgb24()).size() - 1)},
                      DamagedBmp{"PaletteCut", Cut(MakeBmp(Indexed8()), 14 + 40 + 6)},
                      DamagedBmp{"ZeroWidth", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Width = 0; }))},
                      DamagedBmp{"NegativeWidth", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Width = -2; }))},
                      DamagedBmp{"ZeroHeight", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Height = 0; }))},
                      DamagedBmp{"TwoPlanes", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Planes = 2; }))},
                      DamagedBmp{"SevenBits", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Bits = 7; }))},
                      DamagedBmp{"UnknownHeaderSize", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.HeaderSize = 20; }))},
                      DamagedBmp{"EmbeddedJpeg", MakeBmp(With(Rgb24(), [](BmpSpec& s) { s.Compression = 4; }))},
                      DamagedBmp{"RunLengthTopDown", MakeBmp(With(Indexed8(),
                                                                  [](BmpSpec& s) {
                                                                      s.Compression = 1;
                                                                      s.Height = -2;
                                                                  }))},
                      DamagedBmp{"RowsWouldNotFitAnyFile", MakeBmp(With(Rgb24(),
                                                                        [](BmpSpec& s) {
                                                                            s.Width = 0x7FFFFFFF;
                                                                            s.Height = 0x7FFFFFFF;
                                                                        }))}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BmpDecoder, DecodesEveryDepthTheRightWayUp)
{
    struct Row {
        const char* name;
        BmpSpec bmp;
        std::uint32_t topLeft, topRight, bottomLeft;
    };
    BmpSpec topDown = Rgb24();
    topDown.Height = -2;  // the same bytes, now the first row is the top
    BmpSpec four = Indexed8();
    four.Bits = 4;
    four.Pixels = {0x22, 0, 0, 0, 0x01, 0, 0, 0};
    BmpSpec one = Indexed8();
    one.Bits = 1;
    one.Palette = {0x000000, 0xFFFFFF};
    one.Pixels = {0x00, 0, 0, 0, 0x40, 0, 0, 0};  // top row: black, white
    BmpSpec rgb555;
    rgb555.Bits = 16;
    rgb555.Pixels = {0x1F, 0x00, 0x00, 0x7C, /* top */ 0xE0, 0x03, 0xFF, 0x7F};  // blue red / green white
    BmpSpec rgb565 = rgb555;
    rgb565.Compression = 3;
    rgb565.Masks = {0xF800, 0x07E0, 0x001F};
    rgb565.Pixels = {0x1F, 0x00, 0x00, 0xF8, 0xE0, 0x07, 0xFF, 0xFF};
    BmpSpec xrgb;
    xrgb.Bits = 32;
    xrgb.Pixels = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0, /* top */ 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0};
    BmpSpec argb = xrgb;
    argb.Compression = 3;
    argb.HeaderSize = 56;
    argb.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    argb.Pixels = {0xFF, 0, 0, 0x80, 0, 0, 0xFF, 0xFF, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x40};
    BmpSpec core = Indexed8();
    core.HeaderSize = 12;
    const Row rows[] = {
        {"Rgb24BottomUp", Rgb24(), 0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {"Rgb24TopDown", topDown, 0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000},
        {"Indexed8", Indexed8(), 0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {"Indexed8CoreHeader", core, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {"Indexed4", four, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {"Indexed1", one, 0xFF000000, 0xFFFFFFFF, 0xFF000000},
        {"Rgb555", rgb555, 0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF},
        {"Rgb565", rgb565, 0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF},
        {"Rgb32WithoutAlpha", xrgb, 0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF},
        {"Argb32", argb, 0xFF00FF00, 0x40FFFFFF, 0x800000FF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RgbaImage image;
        ASSERT_EQ(detail::DecodeBmp(MakeBmp(row.bmp), image), Status::Ok);
        ASSERT_EQ(image.Width, 2u);
        ASSERT_EQ(image.Height, 2u);
        EXPECT_EQ(PixelAt(image, 0, 0), row.topLeft);
        EXPECT_EQ(PixelAt(image, 1, 0), row.topRight);
        EXPECT_EQ(PixelAt(image, 0, 1), row.bottomLeft);
    }
}

TEST(BmpDecoder, IndexPastThePaletteIsBlackNotARead)
{
    BmpSpec bmp = Indexed8();
    bmp.Pixels = {200, 200, 0, 0, 200, 1, 0, 0};
    RgbaImage image;
    ASSERT_EQ(detail::DecodeBmp(MakeBmp(bmp), image), Status::Ok);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(image, 1, 0), 0xFF00FF00u);
}

TEST(BmpDecoder, DecodesRunLengthData)
{
    struct Row {
        const char* name;
        std::uint32_t compression;
        std::uint16_t bits;
        Bytes data;
        Status status;
        std::vector<std::uint32_t> pixels;  // 4x2, top row first; 0 = not painted
    };
    constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF;
    const Row rows[] = {
        {"Rle8RunsAndLiteral",
         1,
         8,
         {4, 2, 0, 0, /* literal */ 0, 3, 0, 1, 0, 0, /* end */ 0, 1},
         Status::Ok,
         {R, G, R, 0, B, B, B, B}},
        {"Rle8Delta", 1, 8, {0, 2, 2, 1, 2, 1, 0, 1}, Status::Ok, {0, 0, G, G, 0, 0, 0, 0}},
        {"Rle4Alternating", 2, 4, {4, 0x21, 0, 0, 3, 0x00, 0, 1}, Status::Ok, {R, R, R, 0, B, G, B, G}},
        {"Rle8WithoutEnd", 1, 8, {4, 2}, Status::GenericError, {}},
        {"Rle8LiteralPastTheData", 1, 8, {0, 200, 1, 1}, Status::GenericError, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BmpSpec bmp;
        bmp.Width = 4;
        bmp.Bits = row.bits;
        bmp.Compression = row.compression;
        bmp.Palette = {0xFF0000, 0x00FF00, 0x0000FF};
        bmp.Pixels = row.data;
        RgbaImage image;
        ASSERT_EQ(detail::DecodeBmp(MakeBmp(bmp), image), row.status);
        if (row.status != Status::Ok)
            continue;
        for (std::uint32_t i = 0; i < 8; ++i)
            EXPECT_EQ(PixelAt(image, i % 4, i / 4), row.pixels[i]) << "pixel " << i;
    }
}

TEST(BmpDecoder, RefusesAHugeRunLengthImageBeforeAllocating)
{
    BmpSpec bmp = Indexed8();
    bmp.Compression = 1;
    bmp.Width = 30000;
    bmp.Height = 30000;
    bmp.Pixels = {0, 1};
    RgbaImage image;
    EXPECT_EQ(detail::DecodeBmp(MakeBmp(bmp), image), Status::OutOfMemory);
}
