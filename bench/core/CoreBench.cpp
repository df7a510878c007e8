// Reading a folder of camera JPEGs into the image list, and formatting and sorting a large list by a property.

#include "../../tests/imaging/TestSupport.h"
#include "core/ImageInfoList.h"
#include "core/PropertyCatalog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ovrel::core;
using namespace ovrel::imaging::fixtures;

constexpr int FolderImageCount = 2000;
constexpr int SortImageCount = 50000;

// A folder of camera-like JPEGs: a full Exif block with a maker note and a thumbnail, a 6000 x 4000 frame,
// and a short stand-in for the scan data (only the metadata is read when a folder is listed).
struct CameraFolder {
    TempDir Dir;
    CameraFolder()
    {
        Bytes app1{'E', 'x', 'i', 'f', 0, 0};
        const Bytes exif = CameraExif(false, 2048).Build();
        app1.insert(app1.end(), exif.begin(), exif.end());
        const Bytes file = JpegBytes().Segment(0xE1, app1).Frame(6000, 4000).ScanData(Bytes(4096, 0x55)).Build();
        for (int i = 0; i < FolderImageCount; ++i)
            WriteFile(Dir.File("IMG_" + std::to_string(10000 + i) + ".JPG"), file);
    }
};

CameraFolder& Folder()
{
    static CameraFolder folder;
    return folder;
}

void LoadFolderOfCameraJpegs(benchmark::State& state)
{
    const std::string path = Folder().Dir.Path().string();
    const std::vector<std::string> masks{"*.*"};
    TEXIFImageInfoList list;
    list.LoadFolder(path, masks, nullptr);  // warms the cache
    for (auto _ : state) {
        list.LoadFolder(path, masks, nullptr);
        benchmark::DoNotOptimize(list.GetCount());
    }
    if (list.GetCount() != FolderImageCount)
        state.SkipWithError("not every image was read");
    state.SetItemsProcessed(state.iterations() * FolderImageCount);  // items/s = images per second
}
BENCHMARK(LoadFolderOfCameraJpegs)->Unit(benchmark::kMillisecond);

template <class T> std::vector<std::uint8_t> ValueBytes(std::initializer_list<T> values)
{
    std::vector<std::uint8_t> bytes(values.size() * sizeof(T));
    std::size_t at = 0;
    for (T value : values) {
        std::memcpy(bytes.data() + at, &value, sizeof(T));
        at += sizeof(T);
    }
    return bytes;
}

// Images with varied exposure times, models and sizes, in random order; every tenth lacks an exposure time.
struct LargeList {
    std::vector<std::unique_ptr<TVekImageInfo>> Infos;
    std::vector<const TVekImageInfo*> Order;
    LargeList()
    {
        std::mt19937 random(11);
        for (int i = 0; i < SortImageCount; ++i) {
            auto info =
                std::make_unique<TVekImageInfo>("/nonexistent/IMG_" + std::to_string(random() % 100000) + ".JPG");
            if (i % 10 != 0) {
                const auto exposure = ValueBytes<std::uint32_t>({1, 1 + static_cast<std::uint32_t>(random() % 4000)});
                info->SetPropertyItem(33434, 5, static_cast<std::uint32_t>(exposure.size()), exposure.data());
            }
            info->SetPropertyText(272, "Model " + std::to_string(random() % 50));
            const auto width = ValueBytes<std::uint32_t>({static_cast<std::uint32_t>(random())});
            info->SetPropertyItem(40962, 4, 4, width.data());
            Infos.push_back(std::move(info));
        }
        for (const auto& info : Infos)
            Order.push_back(info.get());
    }
};

LargeList& Large()
{
    static LargeList list;
    return list;
}

void FormatLargeList(benchmark::State& state)
{
    const auto id = static_cast<std::uint32_t>(state.range(0));
    TVekImageInfoFormat& format = ImageInfoFormat();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const TVekImageInfo* info : Large().Order)
            total += info->HasProperty(id) ? format.FormatValue(*info, id).size() : 0;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * SortImageCount);
}
BENCHMARK(FormatLargeList)->Arg(33434)->Arg(272)->Arg(0xFFFE)->Unit(benchmark::kMillisecond);

void SortLargeList(benchmark::State& state)
{
    const auto id = static_cast<std::uint32_t>(state.range(0));
    const bool descending = state.range(1) != 0;
    TVekImageInfoFormat& format = ImageInfoFormat();
    std::vector<const TVekImageInfo*> order;
    for (auto _ : state) {
        state.PauseTiming();
        order = Large().Order;
        state.ResumeTiming();
        std::sort(order.begin(), order.end(), [&](const TVekImageInfo* a, const TVekImageInfo* b) {
            return format.Compare(*a, *b, descending, id) < 0;
        });
        benchmark::DoNotOptimize(order.data());
    }
}
BENCHMARK(SortLargeList)
    ->Args({33434, 0})
    ->Args({33434, 1})
    ->Args({272, 0})
    ->Args({40962, 0})
    ->Args({0xFFFE, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
