// Writes the seed files of the fuzz targets into a folder: small files of every format the image layer reads,
// made with the tests' byte builders and codecs, each with the structures its reader and writer walk (Exif
// directories, a maker note, a thumbnail, text and density chunks, palettes, several frames).
//   FuzzSeeds <folder>

#include "imaging/TestSupport.h"
#include "imaging/PixelBuilders.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ovrel::imaging::fixtures;
namespace px = ovrel::imaging::pixelfixtures;

std::uint32_t Gradient(std::uint32_t x, std::uint32_t y) { return (x * 40) << 16 | (y * 40) << 8 | 0x80; }

Bytes ExifSegmentPayload(const Bytes& block)
{
    Bytes payload{'E', 'x', 'i', 'f', 0, 0};
    payload.insert(payload.end(), block.begin(), block.end());
    return payload;
}

std::vector<std::pair<std::string, Bytes>> Seeds()
{
    TiffBytes tiff = RgbTiff(4, 3, false);
    tiff.Ascii(Dir::Ifd0, 0x010F, "Ovrel")
        .Rational(Dir::Ifd0, 0x011A, {{72, 1}})
        .Rational(Dir::Exif, 0x829A, {{1, 60}})
        .Undefined(Dir::Exif, 0x927C, MakerNote(64))
        .Ascii(Dir::Gps, 0x0001, "N");
    return {
        {"camera-little.jpg",
         JpegBytes().Jfif(1, 72, 72).Exif(CameraExif(false, 300).Build()).Comment("c").Frame(32, 16).Build()},
        {"camera-big.jpg", JpegBytes().Exif(CameraExif(true).Build()).Adobe(1).Frame(16, 16, 3, true).Build()},
        {"encoded.jpg", px::EncodeJpeg(24, 16, Gradient, 3, ExifSegmentPayload(CameraExif(false).Build()))},
        {"grey.jpg", px::EncodeJpeg(
                         8, 8, [](std::uint32_t x, std::uint32_t) { return x * 30; }, 1)},
        {"cmyk.jpg", px::EncodeJpeg(
                         8, 8, [](std::uint32_t x, std::uint32_t y) { return x << 24 | y << 8; }, 4)},
        {"rgb-little.tif", tiff.Build()},
        {"rgb-big.tif", RgbTiff(3, 5, true).Ascii(Dir::Ifd0, 0x0110, "Model").Build()},
        {"text.png", px::SmallRgbPng()
                         .Gamma(45455)
                         .TextChunk("Title", "Dusk")
                         .CompressedText("Author", "Someone")
                         .InternationalText("Description", "\xC3\xBC", true)
                         .Density(2835, 2835)
                         .Chunk("eXIf", CameraExif(false).Build())
                         .Pixels(px::SmallRgbPixels(), 6)
                         .End()
                         .Build()},
        {"plain.png", px::SmallRgbPng().Pixels(px::SmallRgbPixels(), 6).End().Build()},
        {"rgb.bmp", px::MakeBmp(px::BmpSpec{2, 2, 24, 0, 40, {}, {}, 2835, 1, Bytes(16, 0x7F)})},
        {"palette.bmp",
         px::MakeBmp(px::BmpSpec{2, -2, 8, 0, 40, {0xFF0000, 0x00FF00}, {}, 0, 1, {0, 1, 0, 0, 1, 0, 0, 0}})},
        {"frames.gif", px::GifBytes(4, 4, {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF})
                           .Loop(0)
                           .Control(10, 1)
                           .Frame(0, 0, 4, 4, Bytes{0, 1, 2, 3, 1, 2, 3, 0, 2, 3, 0, 1, 3, 0, 1, 2})
                           .Comment("c")
                           .Frame(1, 1, 2, 2, Bytes{1, 1, 1, 1})
                           .Trailer()
                           .Build()},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : Seeds()) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
