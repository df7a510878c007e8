// Menus with real pop-up windows on the offscreen platform: opening a menu from its creation to its painted
// image, a tall menu that scrolls and one scroll step, the hover from one item to the next, the layout of a
// long toolbar with wrapping and a chevron, and a submenu built and cleared while a view listens.
#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "toolbars/Items.h"
#include "toolbars/Popup.h"
#include "toolbars/View.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace ovrel;
using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

void Pump()
{
    ui::MSG msg;
    while (ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE) != ui::FALSE)
        ui::DispatchMessage(&msg);
}

std::unique_ptr<TTBRootItem> MenuOf(int count)
{
    auto root = std::make_unique<TTBRootItem>(nullptr);
    for (int i = 0; i < count; ++i) {
        auto* item = new TTBCustomItem(nullptr);
        std::string caption = "Menu item &";
        caption += std::to_string(i);
        item->SetCaption(caption);
        if (i % 7 == 3)
            item->SetShortCut(ShortCut('A' + i % 26, TShiftState{ssCtrl}));
        root->Add(item);
    }
    return root;
}

TTBPopupWindow* Open(TTBCustomItem& root)
{
    return dynamic_cast<TTBPopupWindow*>(
        root.CreatePopup(nullptr, nullptr, false, false, false, TPoint{100, 50}, paLeft));
}

// Created, laid out, placed, shown and painted; closing it is not counted.
void BM_OpenMenu(benchmark::State& state)
{
    const auto root = MenuOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TTBPopupWindow* window = Open(*root);
        ui::UpdateWindow(window->GetHandle());
        benchmark::DoNotOptimize(ui::GetWindowImage(window->GetHandle()));
        state.PauseTiming();
        delete window;
        Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMenu)->Arg(30)->Arg(40)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 2,000-item menu taller than the screen scrolls by one item, repainted.
void BM_ScrollStep(benchmark::State& state)
{
    const auto root = MenuOf(2000);
    std::unique_ptr<TTBPopupWindow> window(Open(*root));
    TTBView* view = window->GetView();
    bool down = true;
    for (auto _ : state) {
        if (down ? !view->GetShowDownArrow() : !view->GetShowUpArrow())
            down = !down;
        view->ScrollByItem(down);
        ui::UpdateWindow(window->GetHandle());
    }
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The selection moves to the next item by the mouse; both items repaint through their pending paint.
void BM_HoverNextItem(benchmark::State& state)
{
    const auto root = MenuOf(30);
    std::unique_ptr<TTBPopupWindow> window(Open(*root));
    TTBView* view = window->GetView();
    int index = 0;
    for (auto _ : state) {
        index = (index + 1) % 30;
        view->SetSelected(view->GetViewer(index), true);
        ui::UpdateWindow(window->GetHandle());
    }
}
BENCHMARK(BM_HoverNextItem)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 200 buttons with separators, wrapped at 600 pixels, with a chevron after 400.
void BM_ToolbarLayout(benchmark::State& state)
{
    auto root = MenuOf(0);
    for (int i = 0; i < 200; ++i) {
        if (i % 10 == 9) {
            root->Add(new TTBSeparatorItem(nullptr));
            continue;
        }
        auto* item = new TTBCustomItem(nullptr);
        std::string caption(1, 'B');
        caption += std::to_string(i);
        item->SetCaption(caption);
        root->Add(item);
    }
    std::unique_ptr<TTBView> view(
        TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, root.get(), nullptr, true, false, true));
    for (auto _ : state) {
        TPoint base{0, 0};
        TPoint total{0, 0};
        int lines = 0;
        view->ComputeLayout(false, tbvoHorizontal, 600, 400, 12, base, total, lines);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ToolbarLayout)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 items added to a submenu and cleared again while a view of it listens.
void BM_BuildAndClearSubmenu(benchmark::State& state)
{
    TTBRootItem root(nullptr);
    std::unique_ptr<TTBView> view(
        TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, &root, nullptr, false, false, false));
    for (auto _ : state) {
        root.BeginUpdate();
        for (int i = 0; i < 1000; ++i) {
            auto* item = new TTBCustomItem(nullptr);
            item->SetCaption("Folder");
            root.Add(item);
        }
        root.EndUpdate();
        root.Clear();
    }
}
BENCHMARK(BM_BuildAndClearSubmenu)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
