// The main window with its real components on the offscreen platform: a folder of 2,000 camera-like JPEGs read
// from the tree's change to the painted list, 50,000 listed images refilled and re-sorted, the grid of 1,000
// selected images, and a new focus shown in grid and preview.
#include "app/Config.h"
#include "app/Framework.h"
#include "app/Localizer.h"
#include "app/MainForm.h"
#include "app/Model.h"
#include "imaging/Builders.h"
#include "inspector/PropertiesView.h"
#include "themes/ThemeRuntime.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ShellCtrls.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace ovrel;
using namespace ovrel::app;
using imaging::fixtures::Dir;

void Pump()
{
    toolkit::Application()->ProcessMessages();
    QApplication::processEvents();
}

// The program's forms and services as start-up makes them, without the loop; the main window shown.
class TProgram {
public:
    TProgram() : FFolder(std::filesystem::temp_directory_path() / ("ovrel-app-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(FFolder);
        ResetConfig();
        FApplication = new TVekApplication(nullptr);
        toolkit::SetApplication(FApplication);
        const std::string config = (FFolder / "bench.cfg").string();
        FApplication->InitializeModel(
            [config] {
                auto model = std::make_unique<TEXIFOvrelModel>();
                model->ConfigFile = config;
                return model;
            },
            []() -> std::unique_ptr<TVekLocalizer> { throw std::runtime_error("no languages"); });
        FThemes = std::make_unique<themes::TThemeRuntime>();
        FApplication->CreateForm(FForm);
        Model()->Start();
        FForm->Show();
        Pump();
    }
    ~TProgram()
    {
        FApplication->FreeFormsAndLocalizer();
        FThemes.reset();
        toolkit::SetApplication(new toolkit::TApplication(nullptr));
        std::filesystem::remove_all(FFolder);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    [[nodiscard]] TEXIFOvrelMainForm& Form() { return *FForm; }
    [[nodiscard]] const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
    TVekApplication* FApplication = nullptr;  // owned as the toolkit's application
    std::unique_ptr<themes::TThemeRuntime> FThemes;
    TEXIFOvrelMainForm* FForm = nullptr;  // owned by the application
};

// A small JPEG with the entries a camera writes.
imaging::fixtures::Bytes CameraJpeg(int index)
{
    imaging::fixtures::TiffBytes block;
    block.Ascii(Dir::Ifd0, 0x010F, "Ovrel Cameras")
        .Ascii(Dir::Ifd0, 0x0110, "Model One")
        .Ascii(Dir::Ifd0, 0x0132, "2024:03:07 09:05:01")
        .Ascii(Dir::Ifd0, 0x013B, "Artist " + std::to_string(index % 17))
        .Ascii(Dir::Exif, 0x9003, "2024:03:07 09:05:01")
        .Rational(Dir::Exif, 0x829A, {{1, 50 + static_cast<std::uint32_t>(index % 200)}})
        .Rational(Dir::Exif, 0x920A, {{35 + static_cast<std::uint32_t>(index % 50), 1}});
    return imaging::fixtures::JpegBytes().Exif(block.Build()).Frame(64, 48).Build();
}

void MakeFolder(const std::filesystem::path& folder, int count)
{
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const auto bytes = CameraJpeg(i);
        std::ofstream out(folder / ("IMG_" + std::to_string(10000 + i) + ".JPG"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void BM_ReadFolderOf2000ToThePaintedList(benchmark::State& state)
{
    TProgram program;
    // Two folders alike, chosen in turn, so that every choice is a change; the first read warms the cache.
    const std::filesystem::path a = program.Folder() / "a";
    const std::filesystem::path b = program.Folder() / "b";
    MakeFolder(a, 2000);
    MakeFolder(b, 2000);
    TEXIFOvrelMainForm& form = program.Form();
    form.ShellTreeView->SetPath(b.string());
    bool useA = true;
    for (auto _ : state) {
        form.ShellTreeView->SetPath((useA ? a : b).string());
        useA = !useA;
        Pump();
    }
    state.counters["rows"] = form.ListView->GetItems()->GetCount();
}
BENCHMARK(BM_ReadFolderOf2000ToThePaintedList)->Unit(benchmark::kMillisecond);

// 50,000 images known by their file facts only, as a read would have left them in the model.
void ListFiftyThousand(TProgram& program)
{
    core::TEXIFImageInfoList& images = dynamic_cast<TEXIFOvrelModel*>(Model())->GetImageList();
    images.Clear();
    for (int i = 0; i < 50000; ++i)
        images.Add(std::make_unique<core::TVekImageInfo>(
            (program.Folder() / ("IMG_" + std::to_string(100000 + (i * 7919) % 50000) + ".JPG")).string(),
            1000 + (i * 31) % 90000));
}

void BM_RefillFiftyThousandInFiveColumns(benchmark::State& state)
{
    TProgram program;
    ListFiftyThousand(program);
    TEXIFOvrelMainForm& form = program.Form();
    for (auto _ : state) {
        form.UpdateColumns();
        form.ListView->Repaint();
        Pump();
    }
    state.counters["columns"] = form.ListView->GetColumns()->GetCount();
}
BENCHMARK(BM_RefillFiftyThousandInFiveColumns)->Unit(benchmark::kMillisecond);

void BM_HeaderClickReSortsFiftyThousand(benchmark::State& state)
{
    TProgram program;
    ListFiftyThousand(program);
    TEXIFOvrelMainForm& form = program.Form();
    form.UpdateColumns();
    toolkit::TListColumn* sizeColumn = nullptr;
    for (int i = 0; i < form.ListView->GetColumns()->GetCount(); ++i)
        sizeColumn = form.ListView->GetColumns()->GetItem(i);  // the last of the five
    for (auto _ : state) {
        form.ListViewColumnClick(form.ListView, sizeColumn);
        form.ListView->Repaint();
        Pump();
    }
}
BENCHMARK(BM_HeaderClickReSortsFiftyThousand)->Unit(benchmark::kMillisecond);

void BM_GridOfAThousandSelected(benchmark::State& state)
{
    TProgram program;
    MakeFolder(program.Folder() / "thousand", 1000);
    TEXIFOvrelMainForm& form = program.Form();
    form.ShellTreeView->SetPath((program.Folder() / "thousand").string());
    Pump();
    form.ListView->OnSelectItem = {};
    for (int i = 0; i < form.ListView->GetItems()->GetCount(); ++i)
        form.ListView->GetItems()->GetItem(i)->SetSelected(true);
    for (auto _ : state) {
        form.ShowSelectedProperties();
        form.PropertiesView1->Repaint();
    }
}
BENCHMARK(BM_GridOfAThousandSelected)->Unit(benchmark::kMillisecond);

void BM_NewFocusShownInGridAndPreview(benchmark::State& state)
{
    TProgram program;
    MakeFolder(program.Folder() / "two", 2);
    TEXIFOvrelMainForm& form = program.Form();
    form.ShellTreeView->SetPath((program.Folder() / "two").string());
    Pump();
    int index = 0;
    for (auto _ : state) {
        index = 1 - index;
        toolkit::TListItem* item = form.ListView->GetItems()->GetItem(index);
        form.ListView->SetSelected(item);
        form.ListView->SetItemFocused(item);
        form.PreviewBackPanel->Repaint();
        form.PropertiesView1->Repaint();
    }
}
BENCHMARK(BM_NewFocusShownInGridAndPreview)->Unit(benchmark::kMicrosecond);

}  // namespace
