// Decoding pixels through the image, scaling and thumbnails, for every format, damaged and oversized input.

#include "imaging/PixelBuilders.h"
#include "imaging/TestSupport.h"
#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace ovrel::imaging;
using fixtures::Dir;
using fixtures::JpegBytes;
using fixtures::TiffBytes;
using pixelfixtures::Bytes;

namespace {

constexpr std::uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

// 0xAARRGGBB of one pixel.
std::uint32_t PixelAt(const RgbaImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.Pixels.data() + (static_cast<std::size_t>(y) * image.Width + x) * 4;
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

// Every channel within tolerance: lossy codecs and scaling blur edges a little.
testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance)
            return testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
    }
    return testing::AssertionSuccess();
}

// Red, green / blue, white quadrants; the centre of each is far from any edge, so lossy coding keeps it.
std::uint32_t Quadrant(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height)
{
    static constexpr std::uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return colours[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)];
}

void ExpectQuadrants(const RgbaImage& image, int tolerance)
{
    const std::uint32_t w = image.Width, h = image.Height;
    EXPECT_TRUE(Near(PixelAt(image, w / 4, h / 4), Red, tolerance));
    EXPECT_TRUE(Near(PixelAt(image, 3 * w / 4, h / 4), Green, tolerance));
    EXPECT_TRUE(Near(PixelAt(image, w / 4, 3 * h / 4), Blue, tolerance));
    EXPECT_TRUE(Near(PixelAt(image, 3 * w / 4, 3 * h / 4), White, tolerance));
}

Bytes QuadrantJpeg(std::uint32_t width, std::uint32_t height, int components = 3, const Bytes& app1 = {})
{
    return pixelfixtures::EncodeJpeg(
        width, height,
        [&](std::uint32_t x, std::uint32_t y) {
            const std::uint32_t rgb = Quadrant(x, y, width, height);
            if (components == 1)
                return (rgb >> 8) & 0xFF;  // the green level: 0 or 255
            if (components == 4) {
                // Adobe's inverted CMYK: 255 is no ink.
                const std::uint32_t c = rgb >> 16, m = (rgb >> 8) & 0xFF, yy = rgb & 0xFF;
                return (c << 24) | (m << 16) | (yy << 8) | 0xFF;
            }
            return rgb;
        },
        components, app1);
}

// The same coefficients rewritten as a progressive JPEG (lossless), markers kept.
Bytes Progressive(const Bytes& baseline)
{
    jpeg_decompress_struct in{};
    jpeg_error_mgr inError{};
    in.err = jpeg_std_error(&inError);
    jpeg_create_decompress(&in);
    jpeg_mem_src(&in, baseline.data(), static_cast<unsigned long>(baseline.size()));
    jpeg_save_markers(&in, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&in, TRUE);
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&in);

    jpeg_compress_struct out{};
    jpeg_error_mgr outError{};
    out.err = jpeg_std_error(&outError);
    jpeg_create_compress(&out);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&out, &buffer, &size);
    jpeg_copy_critical_parameters(&in, &out);
    jpeg_simple_progression(&out);
    jpeg_write_coefficients(&out, coefficients);
    for (jpeg_saved_marker_ptr m = in.marker_list; m; m = m->next)
        jpeg_write_marker(&out, m->marker, m->data, m->data_length);
    jpeg_finish_compress(&out);
    Bytes result(buffer, buffer + size);
    jpeg_destroy_compress(&out);
    std::free(buffer);
    jpeg_finish_decompress(&in);
    jpeg_destroy_decompress(&in);
    return result;
}

Bytes ExifPayload(const Bytes& tiffBlock)
{
    Bytes payload{'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), tiffBlock.begin(), tiffBlock.end());
    return payload;
}

Bytes SolidJpeg(std::uint32_t width, std::uint32_t height, std::uint32_t rgb, const Bytes& app1 = {})
{
    return pixelfixtures::EncodeJpeg(
        width, height, [rgb](std::uint32_t, std::uint32_t) { return rgb; }, 3, app1);
}

RgbaImage DecodeOk(const Bytes& file, std::uint32_t boxWidth = 0, std::uint32_t boxHeight = 0)
{
    const auto image = Image::FromMemory(file);
    RgbaImage pixels;
    EXPECT_EQ(image->GetLastStatus(), Status::Ok);
    EXPECT_EQ(image->Decode(pixels, boxWidth, boxHeight), Status::Ok);
    EXPECT_EQ(pixels.Pixels.size(), static_cast<std::size_t>(pixels.Width) * pixels.Height * 4);
    return pixels;
}

// PNG samples: a 2x2 image per colour type, rows without filter bytes.
struct PngRow {
    const char* name;
    std::uint8_t depth;
    std::uint8_t colour;
    Bytes raw;
    std::size_t rowBytes;
    std::vector<std::pair<std::string, Bytes>> extra;  // chunks before IDAT
    std::uint32_t expected[4];
};

}  // namespace

TEST(ImageDecode, JpegOfEveryCodingDecodesToItsColours)
{
    struct Row {
        const char* name;
        Bytes file;
        bool grey;
    };
    const Row rows[] = {
        {"BaselineYCbCr", QuadrantJpeg(64, 48), false}, {"ProgressiveYCbCr", Progressive(QuadrantJpeg(64, 48)), false},
        {"Grey", QuadrantJpeg(64, 48, 1), true},        {"AdobeCmyk", QuadrantJpeg(64, 48, 4), false},
        {"OddSize", QuadrantJpeg(37, 21), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RgbaImage pixels = DecodeOk(row.file);
        const auto image = Image::FromMemory(row.file);
        ASSERT_EQ(pixels.Width, image->GetWidth());
        ASSERT_EQ(pixels.Height, image->GetHeight());
        if (row.grey) {
            // Only the green level was coded: black, white / black, white.
            EXPECT_TRUE(Near(PixelAt(pixels, pixels.Width / 4, pixels.Height / 4), 0xFF000000, 8));
            EXPECT_TRUE(Near(PixelAt(pixels, 3 * pixels.Width / 4, pixels.Height / 4), White, 8));
        } else {
            ExpectQuadrants(pixels, 24);
        }
    }
}

TEST(ImageDecode, ProgressiveDecodesToTheSamePixelsAsBaseline)
{
    const Bytes baseline = QuadrantJpeg(80, 56);
    const Bytes progressive = Progressive(baseline);
    ASSERT_NE(progressive, baseline);
    const auto opened = Image::FromMemory(progressive);
    EXPECT_EQ(opened->GetRawFormat(), ImageFormatJPEG);
    EXPECT_EQ(DecodeOk(progressive).Pixels, DecodeOk(baseline).Pixels);
    const RgbaImage small = DecodeOk(progressive, 20, 14);
    EXPECT_EQ(small.Width, 20u);
    EXPECT_EQ(small.Pixels, DecodeOk(baseline, 20, 14).Pixels);
}

TEST(ImageDecode, JpegBoxScalesByWholeFactorsNeverBelowTheBox)
{
    struct Row {
        std::uint32_t boxWidth, boxHeight, width, height;
    };
    const Row rows[] = {
        {0, 0, 64, 48},  // no box: full size
        {0, 10, 64, 48},  // half a box is no box
        {64, 48, 64, 48},  // the box is the image
        {32, 24, 32, 24},  // exactly half
        {31, 20, 32, 24},  // a little under half: still half
        {33, 20, 64, 48},  // over half in one direction: full size
        {8, 6, 8, 6},  // an eighth, the codec's smallest
        {1, 1, 8, 6},  // never below an eighth
        {500, 500, 64, 48},  // a box larger than the image does not enlarge
    };
    const Bytes file = QuadrantJpeg(64, 48);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.boxWidth) + "x" + std::to_string(row.boxHeight));
        const RgbaImage pixels = DecodeOk(file, row.boxWidth, row.boxHeight);
        EXPECT_EQ(pixels.Width, row.width);
        EXPECT_EQ(pixels.Height, row.height);
        ExpectQuadrants(pixels, 40);
    }
}

TEST(ImageDecode, PngOfEveryColourTypeGivesStraightRgba)
{
    using pixelfixtures::PngBytes;
    const PngRow rows[] = {
        {"Grey8", 8, 0, {0x00, 0x80, 0xFF, 0x40}, 2, {}, {0xFF000000, 0xFF808080, White, 0xFF404040}},
        {"Grey1", 1, 0, {0x80, 0x40}, 1, {}, {White, 0xFF000000, 0xFF000000, White}},
        {"Grey16",
         16,
         0,
         {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x12, 0x34},
         4,
         {},
         {White, 0xFF808080, 0xFF000000, 0xFF121212}},
        {"GreyAlpha",
         8,
         4,
         {0x80, 0xFF, 0x80, 0x00, 0x20, 0x80, 0xFF, 0x10},
         4,
         {},
         {0xFF808080, 0x00808080, 0x80202020, 0x10FFFFFF}},
        {"Rgb8", 8, 2, pixelfixtures::SmallRgbPixels(), 6, {}, {Red, Green, Blue, White}},
        {"Rgb16",
         16,
         2,
         {0xFF, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0},
         12,
         {},
         {Red, Green, Blue, White}},
        {"Rgba8",
         8,
         6,
         {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 255, 255, 255, 64},
         8,
         {},
         {Red, 0x8000FF00, 0x000000FF, 0x40FFFFFF}},
        {"PaletteWithTransparency",
         8,
         3,
         {0, 1, 2, 1},
         2,
         {{"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255}}, {"tRNS", {255, 0x80}}},
         {Red, 0x8000FF00, Blue, 0x8000FF00}},
        {"Palette2",
         2,
         3,
         {0x1B, 0xE4},  // indices 0 1 2 3 / 3 2 1 0, two pixels used per row
         1,
         {{"PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}}},
         {Red, Green, White, Blue}},
        {"RgbWithColourKey",
         8,
         2,
         pixelfixtures::SmallRgbPixels(),
         6,
         {{"tRNS", {0, 0, 0, 255, 0, 0}}},  // green is transparent
         {Red, 0x0000FF00, Blue, White}},
    };
    for (const PngRow& row : rows) {
        SCOPED_TRACE(row.name);
        PngBytes png;
        png.Header(2, 2, row.depth, row.colour);
        for (const auto& [type, data] : row.extra)
            png.Chunk(type, data);
        const Bytes file = png.Pixels(row.raw, row.rowBytes).End().Build();
        const RgbaImage pixels = DecodeOk(file);
        ASSERT_EQ(pixels.Width, 2u);
        ASSERT_EQ(pixels.Height, 2u);
        for (std::uint32_t i = 0; i < 4; ++i)
            EXPECT_EQ(PixelAt(pixels, i % 2, i / 2), row.expected[i]) << "pixel " << i;
    }
}

TEST(ImageDecode, InterlacedPngPutsEveryPassInPlace)
{
    // A 2x2 image in seven passes: (0,0) in the first, (1,0) in the sixth, the second row in the seventh.
    const Bytes passes{0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255};
    const Bytes file =
        pixelfixtures::PngBytes().Header(2, 2, 8, 2, 1).Chunk("IDAT", pixelfixtures::Deflate(passes)).End().Build();
    const RgbaImage pixels = DecodeOk(file);
    EXPECT_EQ(PixelAt(pixels, 0, 0), Red);
    EXPECT_EQ(PixelAt(pixels, 1, 0), Green);
    EXPECT_EQ(PixelAt(pixels, 0, 1), Blue);
    EXPECT_EQ(PixelAt(pixels, 1, 1), White);
}

TEST(ImageDecode, EveryFormatDecodesThroughTheImageFromFileAndMemory)
{
    pixelfixtures::BmpSpec bmp24;  // bottom-up: blue, white / red, green; rows padded to four bytes
    bmp24.Pixels = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    pixelfixtures::BmpSpec bmp8;
    bmp8.Bits = 8;
    bmp8.Height = -2;  // top-down
    bmp8.Palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    bmp8.Pixels = {0, 1, 0, 0, 2, 3, 0, 0};
    const std::vector<std::uint32_t> palette{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    // Grey tiles of 16x16 over a 20x10 image: the right tile and the lower rows are clipped.
    TiffBytes tiled(false);
    Bytes right(256, 0xFF);
    tiled.Short(Dir::Ifd0, 0x0100, {20})
        .Short(Dir::Ifd0, 0x0101, {10})
        .Short(Dir::Ifd0, 0x0102, {8})
        .Short(Dir::Ifd0, 0x0103, {1})
        .Short(Dir::Ifd0, 0x0106, {1})
        .Short(Dir::Ifd0, 0x0142, {16})
        .Short(Dir::Ifd0, 0x0143, {16})
        .Tiles({Bytes(256, 0x00), right});
    struct Row {
        const char* name;
        Bytes file;
        GUID format;
        std::uint32_t width, height;
        std::uint32_t topLeft, bottomRight;
    };
    const Row rows[] = {
        {"Png", pixelfixtures::SmallRgbPng().Pixels(pixelfixtures::SmallRgbPixels(), 6).End().Build(), ImageFormatPNG,
         2, 2, Red, White},
        {"Bmp24", pixelfixtures::MakeBmp(bmp24), ImageFormatBMP, 2, 2, Red, White},
        {"Bmp8TopDown", pixelfixtures::MakeBmp(bmp8), ImageFormatBMP, 2, 2, Red, White},
        {"Gif", pixelfixtures::GifBytes(2, 2, palette).Frame(0, 0, 2, 2, {0, 1, 2, 3}).Trailer().Build(),
         ImageFormatGIF, 2, 2, Red, White},
        // x * 16, y * 16, 128 per pixel
        {"TiffLittleEndian", fixtures::RgbTiff(4, 3, false).Build(), ImageFormatTIFF, 4, 3, 0xFF000080, 0xFF302080},
        {"TiffBigEndian", fixtures::RgbTiff(4, 3, true).Build(), ImageFormatTIFF, 4, 3, 0xFF000080, 0xFF302080},
        {"TiffTiles", tiled.Build(), ImageFormatTIFF, 20, 10, 0xFF000000, White},
        {"Jpeg", QuadrantJpeg(32, 32), ImageFormatJPEG, 32, 32, Red, White},
    };
    fixtures::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = dir.File(row.name);
        fixtures::WriteFile(name, row.file);
        const auto fromFile = Image::FromFile(name);
        ASSERT_EQ(fromFile->GetLastStatus(), Status::Ok);
        EXPECT_EQ(fromFile->GetRawFormat(), row.format);
        RgbaImage pixels;
        ASSERT_EQ(fromFile->Decode(pixels), Status::Ok);
        ASSERT_EQ(pixels.Width, row.width);
        ASSERT_EQ(pixels.Height, row.height);
        EXPECT_TRUE(Near(PixelAt(pixels, 0, 0), row.topLeft, 6));
        EXPECT_TRUE(Near(PixelAt(pixels, row.width - 1, row.height - 1), row.bottomRight, 6));
        EXPECT_EQ(DecodeOk(row.file).Pixels, pixels.Pixels);
    }
}

TEST(ImageDecode, DecodeOfAnImageThatDidNotOpenGivesItsStatus)
{
    const auto garbage = Image::FromMemory(pixelfixtures::Text("neither of the five formats"));
    RgbaImage pixels;
    EXPECT_NE(garbage->Decode(pixels), Status::Ok);
    EXPECT_EQ(garbage->Decode(pixels), garbage->GetLastStatus());

    // A file removed after opening: the decode reads it again and must say it could not.
    fixtures::TempDir dir;
    const std::string name = dir.File("gone.png");
    fixtures::WriteFile(name, pixelfixtures::SmallRgbPng().Pixels(pixelfixtures::SmallRgbPixels(), 6).End().Build());
    const auto image = Image::FromFile(name);
    ASSERT_EQ(image->GetLastStatus(), Status::Ok);
    std::filesystem::remove(name);
    EXPECT_NE(image->Decode(pixels), Status::Ok);
}

TEST(ImageDecode, DamagedPixelDataGivesAFailureStatus)
{
    const Bytes jpeg = QuadrantJpeg(64, 64);
    const Bytes progressive = Progressive(jpeg);
    const Bytes png = pixelfixtures::SmallRgbPng().Pixels(pixelfixtures::SmallRgbPixels(), 6).End().Build();
    Bytes pngBadCrc = pixelfixtures::SmallRgbPng().Pixels(pixelfixtures::SmallRgbPixels(), 6).End().Build();
    const std::size_t idat = fixtures::Find(pngBadCrc, pixelfixtures::Text("IDAT"));
    pngBadCrc[idat + 6] ^= 0x55;  // inside the compressed data: the chunk's CRC no longer matches
    const Bytes pngNotDeflate =
        pixelfixtures::SmallRgbPng().Chunk("IDAT", pixelfixtures::Text("not zlib")).End().Build();
    const Bytes pngShortRows = pixelfixtures::SmallRgbPng().Pixels(Bytes(6), 6).End().Build();  // one row of two
    const std::vector<std::uint32_t> palette{0xFF0000, 0x00FF00};
    Bytes gif = pixelfixtures::GifBytes(16, 16, palette).Frame(0, 0, 16, 16, Bytes(256, 1)).Trailer().Build();
    pixelfixtures::BmpSpec bmp;
    bmp.Width = 8;
    bmp.Height = 8;
    bmp.Pixels = Bytes(8 * 24, 0x40);
    const Bytes bmpFile = pixelfixtures::MakeBmp(bmp);
    const Bytes tiff = fixtures::RgbTiff(8, 8, true).Build();
    Bytes tiffBadCompression = tiff;
    // Compression 1 -> 5 (LZW) over raw samples: the codec meets codes that are not LZW.
    const Bytes compressionEntry{0x01, 0x03, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01};
    const std::size_t at = fixtures::Find(tiffBadCompression, compressionEntry);
    ASSERT_NE(at, std::string::npos);
    tiffBadCompression[at + 9] = 5;
    struct Row {
        const char* name;
        Bytes file;
    };
    const Row rows[] = {
        {"JpegCutInTheScan", pixelfixtures::Cut(jpeg, jpeg.size() / 2)},
        {"JpegCutAfterTheHeaders", pixelfixtures::Cut(jpeg, fixtures::Find(jpeg, {0xFF, 0xDA}) + 14)},
        {"ProgressiveCutInTheScans", pixelfixtures::Cut(progressive, progressive.size() / 2)},
        {"PngBadDataCrc", pngBadCrc},
        {"PngDataNotDeflate", pngNotDeflate},
        {"PngTooFewRows", pngShortRows},
        {"PngWithoutData", pixelfixtures::SmallRgbPng().End().Build()},
        {"GifCutInTheFrame", pixelfixtures::Cut(gif, gif.size() / 2)},
        {"BmpCutInThePixels", pixelfixtures::Cut(bmpFile, bmpFile.size() - 30)},
        {"TiffCutInTheStrips", pixelfixtures::Cut(tiff, tiff.size() - 20)},
        {"TiffStripsNotLzw", tiffBadCompression},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto image = Image::FromMemory(row.file);
        RgbaImage pixels;
        pixels.Width = 77;
        EXPECT_NE(image->Decode(pixels), Status::Ok);
        EXPECT_NE(image->Decode(pixels, 8, 8), Status::Ok);
        EXPECT_EQ(pixels.Width, 77u) << "a failed decode leaves the output alone";
        const auto thumbnail = image->GetThumbnailImage(4, 4);
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_NE(thumbnail->GetLastStatus(), Status::Ok);
    }
}

TEST(ImageDecode, RefusesMorePixelsThanTheLimitBeforeAllocating)
{
    // Each header claims over 2^28 pixels; the data behind it is tiny. Under the sanitizers an attempt to
    // allocate the raster would fail the test on its own.
    const Bytes png = pixelfixtures::PngBytes()
                          .Header(20000, 20000, 8, 2)
                          .Chunk("IDAT", pixelfixtures::Deflate(Bytes(64, 0)))
                          .End()
                          .Build();
    TiffBytes tiff(false);
    tiff.Long(Dir::Ifd0, 0x0100, {20000})
        .Long(Dir::Ifd0, 0x0101, {20000})
        .Short(Dir::Ifd0, 0x0102, {8})
        .Short(Dir::Ifd0, 0x0103, {1})
        .Short(Dir::Ifd0, 0x0106, {1})
        .Short(Dir::Ifd0, 0x0115, {1})
        .Long(Dir::Ifd0, 0x0116, {20000})
        .Strips({Bytes(64, 0)});
    pixelfixtures::BmpSpec bmp;
    bmp.Width = 20000;
    bmp.Height = 20000;
    bmp.Bits = 8;
    bmp.Palette = {0};
    bmp.Pixels = Bytes(64, 0);
    struct Row {
        const char* name;
        Bytes file;
    };
    const Row rows[] = {
        {"Jpeg", JpegBytes().Frame(65000, 65000).Build()},
        {"JpegJustOver", JpegBytes().Frame(16385, 16384).Build()},
        {"Png", png},
        {"Tiff", tiff.Build()},
        {"Bmp", pixelfixtures::MakeBmp(bmp)},
        {"Gif", pixelfixtures::GifBytes(65535, 65535, {0, 0xFFFFFF}).Frame(0, 0, 1, 1, {0}).Trailer().Build()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto image = Image::FromMemory(row.file);
        RgbaImage pixels;
        EXPECT_NE(image->Decode(pixels), Status::Ok);
        EXPECT_TRUE(pixels.Pixels.empty());
        // A small box does not lift the limit: the codec would still hold the whole image's rows.
        EXPECT_NE(image->Decode(pixels, 150, 100), Status::Ok);
        const auto thumbnail = image->GetThumbnailImage(150, 100);
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_NE(thumbnail->GetLastStatus(), Status::Ok);
    }
}

TEST(ScalePixels, ShrinksByAreaAndEnlargesByBlending)
{
    auto make = [](std::uint32_t width, std::uint32_t height, std::initializer_list<std::uint32_t> argb) {
        RgbaImage image;
        image.Width = width;
        image.Height = height;
        for (std::uint32_t c : argb)
            image.Pixels.insert(image.Pixels.end(),
                                {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                 static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)});
        return image;
    };
    struct Row {
        const char* name;
        RgbaImage source;
        std::uint32_t width, height;
        std::vector<std::uint32_t> expected;
    };
    const Row rows[] = {
        {"SameSizeCopies", make(2, 1, {Red, 0x80123456}), 2, 1, {Red, 0x80123456}},
        {"HalvesAverageTheirBlocks", make(4, 2, {Red, Red, Blue, Blue, Red, Red, Blue, Blue}), 2, 1, {Red, Blue}},
        {"AverageOfTwo", make(2, 1, {0xFF000000, White}), 1, 1, {0xFF808080}},
        {"ThreeToTwoSharesTheMiddle", make(3, 1, {0xFF000000, 0xFF606060, 0xFFC0C0C0}), 2, 1, {0xFF202020, 0xFFA0A0A0}},
        {"ShrinksBothAxes", make(2, 2, {0xFF000000, 0xFF000000, White, White}), 1, 1, {0xFF808080}},
        // A transparent pixel lends no colour: the blend stays blue, at half cover.
        {"TransparentLendsNoColour", make(2, 1, {0x00FF0000, Blue}), 1, 1, {0x800000FF}},
        {"EnlargesLinearly",
         make(2, 1, {0xFF000000, 0xFF808080}),
         4,
         1,
         {0xFF000000, 0xFF202020, 0xFF606060, 0xFF808080}},
        {"EnlargesOnePixelToAll", make(1, 1, {Green}), 3, 2, {Green, Green, Green, Green, Green, Green}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RgbaImage scaled = detail::ScalePixels(row.source, row.width, row.height);
        ASSERT_EQ(scaled.Width, row.width);
        ASSERT_EQ(scaled.Height, row.height);
        ASSERT_EQ(scaled.Pixels.size(), static_cast<std::size_t>(row.width) * row.height * 4);
        for (std::size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_TRUE(Near(
                PixelAt(scaled, static_cast<std::uint32_t>(i % row.width), static_cast<std::uint32_t>(i / row.width)),
                row.expected[i], 1))
                << "pixel " << i;
    }
}

TEST(ScalePixels, ASourceWithoutItsPixelsGivesClearPixelsNotARead)
{
    RgbaImage shortSource;
    shortSource.Width = 100;
    shortSource.Height = 100;
    shortSource.Pixels.assign(16, 255);
    const RgbaImage scaled = detail::ScalePixels(shortSource, 3, 3);
    EXPECT_EQ(scaled.Pixels, Bytes(36, 0));
    EXPECT_TRUE(detail::ScalePixels(shortSource, 0, 5).Pixels.empty());
    EXPECT_EQ(detail::ScalePixels(RgbaImage{}, 2, 2).Pixels, Bytes(16, 0));
}

TEST(Thumbnail, UsesTheEmbeddedThumbnailWhenItDecodes)
{
    // The main image is red, the embedded one blue.
    auto exifWith = [](Bytes thumbnail) {
        TiffBytes exif = fixtures::CameraExif(false);
        exif.Thumbnail(std::move(thumbnail));
        return ExifPayload(exif.Build());
    };
    const Bytes blueThumbnail = SolidJpeg(160, 120, 0x0000FF);
    const Bytes cutThumbnail = pixelfixtures::Cut(blueThumbnail, blueThumbnail.size() / 2);
    struct Row {
        const char* name;
        Bytes file;
        std::uint32_t colour;
    };
    const Row rows[] = {
        {"Embedded", SolidJpeg(320, 240, 0xFF0000, exifWith(blueThumbnail)), Blue},
        {"EmbeddedProgressive", SolidJpeg(320, 240, 0xFF0000, exifWith(Progressive(blueThumbnail))), Blue},
        // The main image's scan is not decodable: only the embedded thumbnail can give these pixels.
        {"EmbeddedOverAnUndecodableImage",
         JpegBytes()
             .Exif(fixtures::TiffBytes(fixtures::CameraExif(false)).Thumbnail(blueThumbnail).Build())
             .Frame(6000, 4000)
             .ScanData(Bytes(64, 0x11))
             .Build(),
         Blue},
        {"EmbeddedIsNotAJpeg", SolidJpeg(320, 240, 0xFF0000, exifWith(pixelfixtures::Text("no picture here"))), Red},
        {"EmbeddedIsCut", SolidJpeg(320, 240, 0xFF0000, exifWith(cutThumbnail)), Red},
        {"NoExif", SolidJpeg(320, 240, 0xFF0000), Red},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto image = Image::FromMemory(row.file);
        ASSERT_EQ(image->GetLastStatus(), Status::Ok);
        const auto thumbnail = image->GetThumbnailImage(40, 30);
        ASSERT_NE(thumbnail, nullptr);
        ASSERT_EQ(thumbnail->GetLastStatus(), Status::Ok);
        EXPECT_EQ(thumbnail->GetWidth(), 40u);
        EXPECT_EQ(thumbnail->GetHeight(), 30u);
        EXPECT_EQ(thumbnail->GetPixelFormat(), PixelFormat32bppARGB);
        RgbaImage pixels;
        ASSERT_EQ(thumbnail->Decode(pixels), Status::Ok);
        EXPECT_TRUE(Near(PixelAt(pixels, 20, 15), row.colour, 8));
        EXPECT_TRUE(Near(PixelAt(pixels, 0, 0), row.colour, 8));
    }
}

TEST(Thumbnail, GivesTheSizeAskedForWithTheContentInPlace)
{
    // A landscape image, left quarter red and the rest blue, scaled to fitted and to other sizes.
    const std::uint32_t width = 640, height = 480;
    const Bytes file = pixelfixtures::EncodeJpeg(
        width, height, [](std::uint32_t x, std::uint32_t) { return x < 160 ? 0xFF0000u : 0x0000FFu; });
    const auto png =
        Image::FromMemory(pixelfixtures::SmallRgbPng().Pixels(pixelfixtures::SmallRgbPixels(), 6).End().Build());
    const auto image = Image::FromMemory(file);
    struct Size {
        std::uint32_t width, height;
    };
    for (const Size size : {Size{150, 113}, Size{100, 150}, Size{1, 1}, Size{7, 3}, Size{640, 480}, Size{1280, 960}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const auto thumbnail = image->GetThumbnailImage(size.width, size.height);
        ASSERT_EQ(thumbnail->GetLastStatus(), Status::Ok);
        RgbaImage pixels;
        ASSERT_EQ(thumbnail->Decode(pixels), Status::Ok);
        ASSERT_EQ(pixels.Width, size.width);
        ASSERT_EQ(pixels.Height, size.height);
        if (size.width >= 7) {
            EXPECT_TRUE(Near(PixelAt(pixels, size.width / 10, size.height / 2), Red, 24));
            EXPECT_TRUE(Near(PixelAt(pixels, size.width * 9 / 10, size.height / 2), Blue, 24));
        }
        const auto fromPng = png->GetThumbnailImage(size.width, size.height);
        ASSERT_EQ(fromPng->GetLastStatus(), Status::Ok);
        EXPECT_EQ(fromPng->GetWidth(), size.width);
    }
    // A thumbnail's own thumbnail: an image made in memory scales too.
    const auto thumbnail = image->GetThumbnailImage(64, 48);
    const auto again = thumbnail->GetThumbnailImage(16, 12);
    ASSERT_EQ(again->GetLastStatus(), Status::Ok);
    EXPECT_EQ(again->GetWidth(), 16u);
}

TEST(Thumbnail, RefusesSizesItCannotMakeCleanly)
{
    const auto image = Image::FromMemory(QuadrantJpeg(32, 32));
    struct Size {
        std::uint32_t width, height;
    };
    for (const Size size : {Size{0, 0}, Size{0, 100}, Size{100, 0}, Size{65536, 65536}, Size{0xFFFFFFFF, 2},
                            Size{0xFFFFFFFF, 0xFFFFFFFF}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const auto thumbnail = image->GetThumbnailImage(size.width, size.height);
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_EQ(thumbnail->GetLastStatus(), Status::InvalidParameter);
        EXPECT_EQ(thumbnail->GetWidth(), 0u);
        RgbaImage pixels;
        EXPECT_NE(thumbnail->Decode(pixels), Status::Ok);
    }
    const auto unopened = Image::FromMemory(pixelfixtures::Text("GIF8"));
    const auto thumbnail = unopened->GetThumbnailImage(10, 10);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->GetLastStatus(), unopened->GetLastStatus());
}

TEST(JpegOpen, HeadersBeyondTheFirstBlockOfTheFileAreReadWhole)
{
    // Comments of 180 KB before the frame: the head the opener reads first ends inside them.
    const Bytes exif = ExifPayload(fixtures::CameraExif(true).Build());
    const Bytes plain = QuadrantJpeg(48, 32, 3, exif);
    struct Row {
        const char* name;
        std::size_t comments;
    };
    for (const Row row : {Row{"Short", 0}, Row{"LongerThanTheHead", 3}}) {
        SCOPED_TRACE(row.name);
        Bytes file(plain.begin(), plain.begin() + 2);
        for (std::size_t i = 0; i < row.comments; ++i) {
            file.insert(file.end(), {0xFF, 0xFE, 0xEA, 0x60});  // a length of 60000, itself included
            file.insert(file.end(), 59998, static_cast<std::uint8_t>('c'));
        }
        file.insert(file.end(), plain.begin() + 2, plain.end());
        fixtures::TempDir dir;
        const std::string name = dir.File("long.jpg");
        fixtures::WriteFile(name, file);
        const auto fromFile = Image::FromFile(name);
        const auto fromMemory = Image::FromMemory(file);
        ASSERT_EQ(fromFile->GetLastStatus(), Status::Ok);
        EXPECT_EQ(fromFile->GetAllPropertyItems(), fromMemory->GetAllPropertyItems());
        EXPECT_EQ(fromFile->GetWidth(), 48u);
        EXPECT_TRUE(fixtures::ItemOf(fromFile->GetAllPropertyItems(), 0x927C) != nullptr);
        RgbaImage pixels;
        ASSERT_EQ(fromFile->Decode(pixels), Status::Ok);
        ExpectQuadrants(pixels, 24);
        // The file facts kept for the save's check come from the whole file either way.
        auto changed = Image::FromFile(name);
        ASSERT_EQ(changed->SetPropertyItem(fixtures::Ascii(0x0110, "Model Z")), Status::Ok);
        ASSERT_EQ(changed->SaveReplacing(name, CodecJPEG), Status::Ok);
        const auto back = Image::FromFile(name);
        EXPECT_EQ(*fixtures::ItemOf(back->GetAllPropertyItems(), 0x0110), fixtures::Ascii(0x0110, "Model Z"));
    }
}
