// The edit dialog: shown over 1,000 selected images, and its OK writing one value into 100 images, beside 100
// plain copies of the same files.
#include "app/AppTestSupport.h"
#include "app/EditProperties.h"
#include "core/ImageInfo.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ovrel;
using namespace ovrel::toolkit;
using app::TEditProperties;
using imaging::fixtures::Dir;

constexpr std::uint32_t TagTitle = 800;

std::vector<std::unique_ptr<core::TVekImageInfo>> Images(const std::vector<std::string>& files)
{
    std::vector<std::unique_ptr<core::TVekImageInfo>> images;
    for (const std::string& file : files)
        images.push_back(std::make_unique<core::TVekImageInfo>(file));
    return images;
}

std::vector<core::TVekImageInfo*> Borrowed(const std::vector<std::unique_ptr<core::TVekImageInfo>>& images)
{
    std::vector<core::TVekImageInfo*> list;
    for (const auto& image : images)
        list.push_back(image.get());
    return list;
}

void BM_EditDialogShowWith1000Images(benchmark::State& state)
{
    TApplication application(nullptr);
    app::test::TTempFolder folder;
    const std::string file =
        folder.Write("a.jpg", app::test::JpegWith({{Dir::Ifd0, 315, "Ann"}, {Dir::Ifd0, TagTitle, "Sea"}}));
    const auto images = Images(std::vector<std::string>(1000, file));
    TEditProperties dialog(nullptr);
    dialog.SetImages(Borrowed(images));
    for (auto _ : state) {
        dialog.Show();
        application.ProcessMessages();
        dialog.Hide();
    }
}
BENCHMARK(BM_EditDialogShowWith1000Images)->Unit(benchmark::kMillisecond);

// The files of one round: 100 copies of a camera-sized JPEG, made afresh outside the timing.
struct TRound {
    app::test::TTempFolder Folder;
    std::vector<std::string> Files;
    explicit TRound(const app::test::Bytes& bytes)
    {
        for (int i = 0; i < 100; ++i) {
            std::string name = std::to_string(i);
            name.append(".jpg");
            Files.push_back(Folder.Write(name, bytes));
        }
    }
};

app::test::Bytes CameraSizedJpeg()
{
    imaging::fixtures::TiffBytes block;
    block.Ascii(Dir::Ifd0, 315, "Ann").Ascii(Dir::Ifd0, TagTitle, "Sea");
    app::test::Bytes bytes = imaging::fixtures::JpegBytes().Exif(block.Build()).Frame(8, 8).Build();
    // About 3 MB of entropy-coded data, which a save copies as it stands.
    bytes.insert(bytes.end() - 2, 3 * 1024 * 1024, 0x55);
    return bytes;
}

void BM_EditDialogOkWritesATitleInto100Images(benchmark::State& state)
{
    TApplication application(nullptr);
    const app::test::Bytes bytes = CameraSizedJpeg();
    TEditProperties dialog(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        TRound round(bytes);
        const auto images = Images(round.Files);
        dialog.SetImages(Borrowed(images));
        dialog.Show();
        application.ProcessMessages();
        const int row = dialog.GetModel().IndexOfId(TagTitle);
        dialog.GetRows()[static_cast<std::size_t>(row)].Edit->SetText("Coast");
        state.ResumeTiming();
        dialog.Button1Click(&dialog);
        state.PauseTiming();
        dialog.Hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditDialogOkWritesATitleInto100Images)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Copy100CameraSizedFiles(benchmark::State& state)
{
    const app::test::Bytes bytes = CameraSizedJpeg();
    for (auto _ : state) {
        state.PauseTiming();
        TRound round(bytes);
        state.ResumeTiming();
        for (const std::string& file : round.Files)
            std::filesystem::copy_file(file, std::filesystem::path(file).replace_extension(".copy"));
    }
}
BENCHMARK(BM_Copy100CameraSizedFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
