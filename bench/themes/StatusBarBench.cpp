// The status bar: laying out 20 panels, and repainting the main window's bar into its window.

#include "themes/StatusBars.h"
#include "themes/StatusPanelLayout.h"
#include "themes/ThemeRuntime.h"

#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace ovrel::themes;
using namespace ovrel::toolkit;

inline constexpr int kPanels = 20;

// Twenty panels that overfill the bar a little: some give way, two stretch, one of those up to its maximum.
void Configure(int index, int& size, int& viewPriority, int& stretchPriority, int& maxSize)
{
    size = 40 + (index * 37) % 60;
    viewPriority = index % 5 == 0 ? 100 : 20 + (index * 13) % 80;
    stretchPriority = index == 3 ? 10 : index == 11 ? 20 : 0;
    maxSize = index == 11 ? 150 : 0;
}

void BM_ArrangePanels20(benchmark::State& state)
{
    std::vector<TStatusPanelLayout> panels(kPanels);
    for (int i = 0; i < kPanels; ++i)
        Configure(i, panels[i].Size, panels[i].ViewPriority, panels[i].StretchPriority, panels[i].MaxSize);
    for (auto _ : state) {
        ArrangePanels(panels, Rect(0, 0, 1024, 22));
        benchmark::DoNotOptimize(panels.data());
    }
}
BENCHMARK(BM_ArrangePanels20)->Unit(benchmark::kMicrosecond);

// A shown bar on a form of the width, painted by the program's theme.
struct ShownBar {
    explicit ShownBar(int width)
    {
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, width, 200);
        Bar = new TTBXStatusBar(Form.get());
        Bar->SetParent(Form.get());
        Form->Show();
    }
    TThemeRuntime Runtime;  // made first, freed last
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TTBXStatusBar* Bar = nullptr;
};

// The bar's own arrangement: the theme's margins, the 20 records in and out.
void BM_StatusBarArrangePanels20(benchmark::State& state)
{
    ShownBar shown(1024);
    for (int i = 0; i < kPanels; ++i) {
        TTBXStatusPanel* panel = shown.Bar->GetPanels()->Add();
        int size = 0, view = 0, stretch = 0, max = 0;
        Configure(i, size, view, stretch, max);
        panel->SetSize(size);
        panel->SetViewPriority(view);
        panel->SetStretchPriority(stretch);
        panel->SetMaxSize(max);
    }
    for (auto _ : state)
        shown.Bar->ArrangePanels();
}
BENCHMARK(BM_StatusBarArrangePanels20)->Unit(benchmark::kMicrosecond);

// The main window's bar: two unframed panels of 8 and 800 pixels, a hint text in the second, the size grip.
void BM_PaintMainWindowStatusBar(benchmark::State& state)
{
    ShownBar shown(800);
    TTBXStatusPanels* panels = shown.Bar->GetPanels();
    panels->Add()->SetSize(8);
    panels->Add()->SetSize(800);
    for (int i = 0; i < 2; ++i)
        panels->GetItem(i)->SetFramed(false);
    panels->GetItem(1)->SetCaption("Shows the properties of the selected images");
    ovrel::ui::HWND window = shown.Bar->GetHandle();
    for (auto _ : state) {
        shown.Bar->Invalidate();
        ovrel::ui::UpdateWindow(window);
    }
}
BENCHMARK(BM_PaintMainWindowStatusBar)->Unit(benchmark::kMicrosecond);

}  // namespace
