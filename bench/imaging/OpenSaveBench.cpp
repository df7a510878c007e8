// Opening a camera JPEG and listing its items, and saving a changed item against a plain copy.

#include "../../tests/imaging/TestSupport.h"
#include "platform/imaging/Image.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using namespace ovrel::imaging;
using namespace ovrel::imaging::fixtures;

constexpr std::size_t FileSize = 6 * 1024 * 1024;

// A 6 MB camera JPEG: about 20 KB of Exif with a maker note and a thumbnail, then scan data.
struct CameraFile {
    TempDir Dir;
    std::string Name = Dir.File("camera.jpg");
    CameraFile()
    {
        Bytes thumbnail = JpegBytes().Frame(160, 120).Build();
        TiffBytes exif = CameraExif(false, 16 * 1024);
        exif.Thumbnail(std::move(thumbnail));
        Bytes scan(FileSize);
        std::mt19937 random(7);
        for (auto& b : scan)
            b = static_cast<std::uint8_t>(random() % 255);  // no 0xFF: nothing to stuff
        const Bytes file =
            JpegBytes().Jfif(1, 72, 72).Exif(exif.Build()).Frame(6000, 4000).ScanData(std::move(scan)).Build();
        WriteFile(Name, file);
    }
};

CameraFile& Camera()
{
    static CameraFile file;
    return file;
}

void OpenAndListItems(benchmark::State& state)
{
    const std::string& name = Camera().Name;
    for (auto _ : state) {
        const auto image = Image::FromFile(name);
        std::uint64_t sum = 0;
        for (const auto& item : image->GetAllPropertyItems())
            sum += item.Id + item.Length() + (item.Value.empty() ? 0 : item.Value.front());
        benchmark::DoNotOptimize(sum);
    }
    state.counters["items"] = static_cast<double>(Image::FromFile(name)->GetPropertyCount());
}
BENCHMARK(OpenAndListItems)->Unit(benchmark::kMicrosecond);

void SaveChangedItem(benchmark::State& state)
{
    const std::string& name = Camera().Name;
    int n = 0;
    for (auto _ : state) {
        auto image = Image::FromFile(name);
        (void)image->SetPropertyItem(Ascii(0x0110, n++ % 2 ? "Model X" : "Model Y"));
        if (image->SaveReplacing(name, CodecJPEG) != Status::Ok)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(SaveChangedItem)->Unit(benchmark::kMillisecond);

// The baseline: the same bytes copied to another file and flushed, as a save flushes its file.
void PlainCopy(benchmark::State& state)
{
    const std::string& name = Camera().Name;
    const std::string copy = name + ".copy";
    for (auto _ : state) {
        std::filesystem::copy_file(name, copy, std::filesystem::copy_options::overwrite_existing);
        const int fd = ::open(copy.c_str(), O_WRONLY);
        if (state.range(0))
            ::fsync(fd);
        ::close(fd);
    }
}
BENCHMARK(PlainCopy)->Arg(0)->Arg(1)->ArgNames({"fsync"})->Unit(benchmark::kMillisecond);

}  // namespace
