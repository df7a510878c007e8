// Opening the font drop-down over every installed font family, up to its first painted frame.

#include "inspector/PopupView.h"

#include "platform/ui/Window.h"
#include "toolkit/Forms.h"
#include "toolkit/Lists.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

// The benchmarks of this target share one application; whichever runs first makes it, for the program's life.
void NeedApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "inspector_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // never freed: widgets may outlive a static one at exit
}

// The list a font editor hands its pop-up: the screen's families, repeated up to count when count asks for more.
std::unique_ptr<TStringList> Families(int count)
{
    auto list = std::make_unique<TStringList>();
    TStrings* fonts = Screen()->GetFonts();
    list->Assign(*fonts);
    for (int i = 0; list->GetCount() < count; ++i)
        list->Add(fonts->Get(i % fonts->GetCount()) + " " + std::to_string(i));
    return list;
}

// Made, filled and sized as the font editor prepares it, opened, and painted once.
void OpenAndPaint(TFontPopup& popup, TStrings* items)
{
    popup.SetItems(items);
    popup.SetWidth(180);
    popup.SetClientHeight(std::min(8, items->GetCount()) * popup.GetItemHeight());
    popup.SetItemIndex(-1);
    popup.SetText("DejaVu Sans");
    popup.Popup(100, 100);
    ui::UpdateWindow(popup.GetHandle());
    ui::ProcessQtEvents();
}

void BM_OpenFontDropDownFirstTime(benchmark::State& state)
{
    NeedApplication();
    const std::unique_ptr<TStringList> items = Families(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto popup = std::make_unique<TFontPopup>(nullptr);
        OpenAndPaint(*popup, items.get());
        benchmark::DoNotOptimize(ui::GetWindowImage(popup->GetHandle()));
        state.PauseTiming();
        popup->ClosePopup();
        popup.reset();
        state.ResumeTiming();
    }
    state.counters["families"] = items->GetCount();
}
BENCHMARK(BM_OpenFontDropDownFirstTime)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenFontDropDownAgain(benchmark::State& state)
{
    NeedApplication();
    const std::unique_ptr<TStringList> items = Families(static_cast<int>(state.range(0)));
    auto popup = std::make_unique<TFontPopup>(nullptr);
    for (auto _ : state) {
        OpenAndPaint(*popup, items.get());
        state.PauseTiming();
        popup->ClosePopup();
        state.ResumeTiming();
    }
    state.counters["families"] = items->GetCount();
}
BENCHMARK(BM_OpenFontDropDownAgain)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
