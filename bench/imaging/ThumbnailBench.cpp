// A 150 x 100 thumbnail of a 6000 x 4000 camera JPEG: decoded and scaled from the image itself, and taken
// from the embedded Exif thumbnail. Each run opens the file, as the preview does.

#include "../../tests/imaging/PixelBuilders.h"
#include "../../tests/imaging/TestSupport.h"
#include "platform/imaging/Image.h"

#include <benchmark/benchmark.h>

namespace {

using namespace ovrel::imaging;
using namespace ovrel::imaging::fixtures;

constexpr std::uint32_t Width = 6000, Height = 4000;

// Smooth gradients with some texture, so the entropy-coded data is about the size a camera writes.
std::uint32_t Scenery(std::uint32_t x, std::uint32_t y)
{
    const std::uint32_t r = (x * 255 / Width) ^ ((x * y) & 0x0F);
    const std::uint32_t g = (y * 255 / Height) ^ ((x + y) & 0x07);
    const std::uint32_t b = ((x + y) * 255 / (Width + Height)) & 0xFF;
    return (r & 0xFF) << 16 | (g & 0xFF) << 8 | b;
}

struct CameraFiles {
    TempDir Dir;
    std::string Plain = Dir.File("plain.jpg");
    std::string WithThumbnail = Dir.File("thumbnail.jpg");
    CameraFiles()
    {
        WriteFile(Plain, pixelfixtures::EncodeJpeg(Width, Height, Scenery, 3, {}, 90));
        TiffBytes exif = CameraExif(false, 16 * 1024);
        exif.Thumbnail(pixelfixtures::EncodeJpeg(
            160, 120, [](std::uint32_t x, std::uint32_t y) { return Scenery(x * Width / 160, y * Height / 120); }));
        Bytes app1{'E', 'x', 'i', 'f', 0, 0};
        const Bytes block = exif.Build();
        app1.insert(app1.end(), block.begin(), block.end());
        WriteFile(WithThumbnail, pixelfixtures::EncodeJpeg(Width, Height, Scenery, 3, app1, 90));
    }
};

CameraFiles& Files()
{
    static CameraFiles files;
    return files;
}

void Thumbnail(benchmark::State& state, const std::string& name)
{
    for (auto _ : state) {
        const auto image = Image::FromFile(name);
        const auto thumbnail = image->GetThumbnailImage(150, 100);
        if (!thumbnail || thumbnail->GetLastStatus() != Status::Ok) {
            state.SkipWithError("no thumbnail");
            break;
        }
        benchmark::DoNotOptimize(thumbnail->GetWidth());
    }
}

void ThumbnailFromTheImage(benchmark::State& state) { Thumbnail(state, Files().Plain); }
BENCHMARK(ThumbnailFromTheImage)->Unit(benchmark::kMillisecond);

void ThumbnailFromExif(benchmark::State& state) { Thumbnail(state, Files().WithThumbnail); }
BENCHMARK(ThumbnailFromExif)->Unit(benchmark::kMillisecond);

}  // namespace
