// Reading a folder of camera JPEGs into the image list, and formatting and sorting a large list by a property.

#include "../../tests/imaging/TestSupport.h"
#include "core/ImageInfoList.h"
#include "core/PropertyCatalog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ovrel::core;
using namespace ovrel::imaging::fixtures;

constexpr int FolderImageCount = 2000;
constexpr int SortImageCount = 50000;

// One camera JPEG as cameras write them: 55 to 65 entries over IFD0, Exif, GPS, interoperability and the first
// IFD, a maker note of 5 to 30 KB, a thumbnail of 5 to 10 KB, an Exif segment of 20 to 60 KB, then the tables,
// a 6000 x 4000 frame and a file of 2 to 6 MB. The scan data is a hole of zeros: only the headers are read when
// a folder is listed, and 2,000 such files take no disk space.
struct CameraJpeg {
    Bytes Head;  // everything before the hole
    std::size_t FileSize = 0;
};

std::size_t Between(std::mt19937& random, std::size_t low, std::size_t high)
{
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
}

CameraJpeg MakeCameraJpeg(std::mt19937& random, int index)
{
    static const char* const Cameras[][2] = {
        {"Canon", "Canon EOS 5D Mark IV"},
        {"NIKON CORPORATION", "NIKON D850"},
        {"SONY", "ILCE-7M3"},
        {"FUJIFILM", "X-T4"},
        {"OLYMPUS CORPORATION", "E-M1MarkIII"},
        {"Panasonic", "DC-G9"},
    };
    const auto& camera = Cameras[index % std::size(Cameras)];
    char stamp[20];
    std::snprintf(stamp, sizeof stamp, "2023:%02d:%02d %02d:%02d:%02d", 1 + index % 12, 1 + index % 28, index % 24,
                  index % 60, index * 7 % 60);
    const std::size_t noteSize = Between(random, 5 * 1024, 30 * 1024);
    const std::size_t thumbnailSize = Between(random, 5 * 1024, 10 * 1024);

    TiffBytes t(index % 3 == 0);  // some cameras write big-endian blocks
    // 72 entries with the pointers the builder adds; between 7 and 16 of the optional ones are left out.
    std::vector<std::function<void()>> optional = {
        [&] { t.Ascii(Dir::Ifd0, 0x013B, "A. Photographer"); },  // Artist
        [&] { t.Ascii(Dir::Ifd0, 0x8298, "(c) 2023"); },  // Copyright
        [&] { t.Short(Dir::Exif, 0x8830, {2}); },  // SensitivityType
        [&] {
            t.Rational(Dir::Exif, 0x9102, {{4, 1}});
        },  // CompressedBitsPerPixel
        [&] { t.Ascii(Dir::Exif, 0x9290, "42"); },  // SubSecTime
        [&] { t.Ascii(Dir::Exif, 0x9291, "42"); },  // SubSecTimeOriginal
        [&] { t.Ascii(Dir::Exif, 0x9292, "42"); },  // SubSecTimeDigitized
        [&] { t.Short(Dir::Exif, 0xA401, {0}); },  // CustomRendered
        [&] {
            t.Rational(Dir::Exif, 0xA404, {{1, 1}});
        },  // DigitalZoomRatio
        [&] { t.Short(Dir::Exif, 0xA405, {50}); },  // FocalLengthIn35mmFilm
        [&] { t.Ascii(Dir::Exif, 0xA431, "0123456789"); },  // BodySerialNumber
        [&] { t.Ascii(Dir::Exif, 0xA434, "24-70mm F2.8"); },  // LensModel
        [&] { t.Short(Dir::Gps, 0x0005, {0}); },  // GPSAltitudeRef
        [&] {
            t.Rational(Dir::Gps, 0x0006, {{5120, 10}});
        },  // GPSAltitude
        [&] {
            t.Rational(Dir::Gps, 0x0007, {{10, 1}, {20, 1}, {30, 1}});
        },  // GPSTimeStamp
        [&] { t.Ascii(Dir::Gps, 0x001D, "2023:05:17"); },  // GPSDateStamp
    };
    std::shuffle(optional.begin(), optional.end(), random);
    optional.resize(optional.size() - Between(random, 7, 16));
    for (const auto& add : optional)
        add();

    t.Ascii(Dir::Ifd0, 0x010F, camera[0])  // Make
        .Ascii(Dir::Ifd0, 0x0110, camera[1])  // Model
        .Short(Dir::Ifd0, 0x0112, {1})  // Orientation
        .Rational(Dir::Ifd0, 0x011A, {{300, 1}})  // XResolution
        .Rational(Dir::Ifd0, 0x011B, {{300, 1}})  // YResolution
        .Short(Dir::Ifd0, 0x0128, {2})  // ResolutionUnit
        .Ascii(Dir::Ifd0, 0x0131, "Firmware 1.2.3")  // Software
        .Ascii(Dir::Ifd0, 0x0132, stamp)  // DateTime
        .Short(Dir::Ifd0, 0x0213, {2})  // YCbCrPositioning
        .Rational(Dir::Exif, 0x829A, {{1, 50 + static_cast<std::uint32_t>(index % 4000)}})  // ExposureTime
        .Rational(Dir::Exif, 0x829D, {{71, 10}})  // FNumber
        .Short(Dir::Exif, 0x8822, {3})  // ExposureProgram
        .Short(Dir::Exif, 0x8827, {static_cast<std::uint16_t>(100 << (index % 6))})  // ISO
        .Undefined(Dir::Exif, 0x9000, {'0', '2', '3', '1'})  // ExifVersion
        .Ascii(Dir::Exif, 0x9003, stamp)  // DateTimeOriginal
        .Ascii(Dir::Exif, 0x9004, stamp)  // DateTimeDigitized
        .Undefined(Dir::Exif, 0x9101, {1, 2, 3, 0})  // ComponentsConfiguration
        .Rational(Dir::Exif, 0x9201, {{6643856, 1000000}}, 10)  // ShutterSpeedValue
        .Rational(Dir::Exif, 0x9202, {{565625, 100000}})  // ApertureValue
        .Rational(Dir::Exif, 0x9204, {{0xFFFFFFFE, 3}}, 10)  // ExposureBiasValue
        .Rational(Dir::Exif, 0x9205, {{3, 1}})  // MaxApertureValue
        .Short(Dir::Exif, 0x9207, {5})  // MeteringMode
        .Short(Dir::Exif, 0x9208, {0})  // LightSource
        .Short(Dir::Exif, 0x9209, {16})  // Flash
        .Rational(Dir::Exif, 0x920A, {{35 + static_cast<std::uint32_t>(index % 50), 1}})  // FocalLength
        .Undefined(Dir::Exif, 0x927C, MakerNote(noteSize))  // MakerNote
        .Undefined(Dir::Exif, 0x9286,
                   [] {  // UserComment
                       Bytes comment(264, ' ');
                       std::copy_n("ASCII\0\0\0", 8, comment.begin());
                       return comment;
                   }())
        .Undefined(Dir::Exif, 0xA000, {'0', '1', '0', '0'})  // FlashpixVersion
        .Short(Dir::Exif, 0xA001, {1})  // ColorSpace
        .Long(Dir::Exif, 0xA002, {6000})  // PixelXDimension
        .Long(Dir::Exif, 0xA003, {4000})  // PixelYDimension
        .Rational(Dir::Exif, 0xA20E, {{6000000, 1439}})  // FocalPlaneXResolution
        .Rational(Dir::Exif, 0xA20F, {{4000000, 958}})  // FocalPlaneYResolution
        .Short(Dir::Exif, 0xA210, {3})  // FocalPlaneResolutionUnit
        .Short(Dir::Exif, 0xA217, {2})  // SensingMethod
        .Undefined(Dir::Exif, 0xA300, {3})  // FileSource
        .Undefined(Dir::Exif, 0xA301, {1})  // SceneType
        .Short(Dir::Exif, 0xA402, {0})  // ExposureMode
        .Short(Dir::Exif, 0xA403, {0})  // WhiteBalance
        .Short(Dir::Exif, 0xA406, {0})  // SceneCaptureType
        .Byte(Dir::Gps, 0x0000, {2, 3, 0, 0})  // GPSVersionID
        .Ascii(Dir::Gps, 0x0001, "N")  // GPSLatitudeRef
        .Rational(Dir::Gps, 0x0002, {{48, 1}, {51, 1}, {3012, 100}})  // GPSLatitude
        .Ascii(Dir::Gps, 0x0003, "E")  // GPSLongitudeRef
        .Rational(Dir::Gps, 0x0004, {{2, 1}, {21, 1}, {744, 100}})  // GPSLongitude
        .Ascii(Dir::Interop, 0x0001, "R98")  // InteroperabilityIndex
        .Undefined(Dir::Interop, 0x0002, {'0', '1', '0', '0'})  // InteroperabilityVersion
        .Short(Dir::First, 0x0103, {6})  // Compression: JPEG
        .Rational(Dir::First, 0x011A, {{72, 1}})  // XResolution
        .Rational(Dir::First, 0x011B, {{72, 1}})  // YResolution
        .Short(Dir::First, 0x0128, {2})  // ResolutionUnit
        .Thumbnail([&] {
            const Bytes frame = JpegBytes().Frame(160, 120).ScanData({}).Build();
            return JpegBytes().Frame(160, 120).ScanData(Bytes(thumbnailSize - frame.size(), 0x55)).Build();
        }());
    Bytes block = t.Build();
    // Cameras reserve room in the segment; what no entry points at is never read.
    const std::size_t segment = std::max(Between(random, 20 * 1024, 60 * 1024), block.size() + 10);
    block.resize(segment - 10, 0);

    Bytes app1{'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), block.begin(), block.end());
    CameraJpeg file;
    file.Head = JpegBytes().Segment(0xE1, app1).Frame(6000, 4000).ScanData(Bytes(4096, 0x55)).Build();
    file.FileSize = Between(random, 2 * 1024 * 1024, 6 * 1024 * 1024);
    return file;
}

// 2,000 camera JPEGs, each of its own shape; written once per run of the benchmarks.
struct CameraFolder {
    TempDir Dir;
    CameraFolder()
    {
        std::mt19937 random(2000);
        for (int i = 0; i < FolderImageCount; ++i) {
            const CameraJpeg file = MakeCameraJpeg(random, i);
            const std::string name = Dir.File("IMG_" + std::to_string(10000 + i) + ".JPG");
            WriteFile(name, file.Head);
            std::filesystem::resize_file(name, file.FileSize);  // a hole up to the end, no disk blocks
        }
    }
};

CameraFolder& Folder()
{
    static CameraFolder folder;
    return folder;
}

// Heap bytes in use, as the allocator counts them (its bookkeeping included).
std::int64_t HeapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// What a user waits for when a folder is chosen: every image read and all 47 catalogue texts of each formatted.
// Reports the heap each listed image keeps beyond the bytes of its metadata values.
void LoadFolderOfCameraJpegs(benchmark::State& state)
{
    const std::string path = Folder().Dir.Path().string();
    const std::vector<std::string> masks{"*.*"};
    TEXIFImageInfoList list;
    std::size_t texts = 0;
    const auto formatAll = [&] {
        for (int i = 0; i < list.GetCount(); ++i)
            for (const TEXIFPropertyInfo& row : EXIFProperties())
                texts += list.GetItem(i)->GetPropertyText(row.Id).size();
    };
    list.LoadFolder(path, masks, nullptr);  // warms the cache and the factor table
    formatAll();
    for (auto _ : state) {
        list.LoadFolder(path, masks, nullptr);
        formatAll();
        benchmark::DoNotOptimize(texts);
    }
    if (list.GetCount() != FolderImageCount) {
        state.SkipWithError("not every image was read");
        return;
    }
    state.SetItemsProcessed(state.iterations() * FolderImageCount);  // items/s = images per second

    list.Clear();
    const std::int64_t before = HeapInUse();
    list.LoadFolder(path, masks, nullptr);
    formatAll();
    const std::int64_t heap = HeapInUse() - before;
    std::int64_t values = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        const TVekImageMetadata& metadata = list.GetItem(i)->GetMetadata();
        for (int k = 0; k < metadata.Count(); ++k)
            values += metadata.GetItem(k).length;
    }
    state.counters["heap_per_image"] = static_cast<double>(heap) / FolderImageCount;
    state.counters["values_per_image"] = static_cast<double>(values) / FolderImageCount;
    state.counters["overhead_per_image"] = static_cast<double>(heap - values) / FolderImageCount;
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
