// Themed menus and the main window's themed controls on the offscreen platform: opening a themed menu from its
// creation to its painted image, painting the menu bar, three docked panel frames and the status bar together,
// one theme change reaching 50 toolbars with their re-framing, the stacking arithmetic of multi-docks, and one
// live step of a docked resize and of a split drag on the main-window-like form.
#include "themes/DockablePanels.h"
#include "themes/PanelArrangement.h"
#include "themes/StatusBars.h"
#include "themes/ThemeManager.h"
#include "themes/ThemeRuntime.h"
#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "themes/ThemedToolbars.h"

#include "support/ScriptedInput.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ovrel;
using namespace ovrel::themes;
using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

void Pump()
{
    ui::MSG msg;
    while (ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE) != ui::FALSE)
        ui::DispatchMessage(&msg);
}

TTBXItem* AddItem(TTBCustomItem* parent, const std::string& caption)
{
    auto* item = new TTBXItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

// Created, laid out, placed, shown and painted through the theme; closing it is not counted.
void BM_OpenThemedMenu(benchmark::State& state)
{
    TThemeRuntime runtime;
    {
        TTBXRootItem root(nullptr);
        for (int i = 0; i < state.range(0); ++i) {
            TTBXItem* item = AddItem(&root, "Menu item &" + std::to_string(i));
            if (i % 7 == 3)
                item->SetShortCut(ShortCut('A' + i % 26, TShiftState{ssCtrl}));
        }
        for (auto _ : state) {
            TWinControl* window = root.CreatePopup(nullptr, nullptr, false, false, false, TPoint{100, 50}, paLeft);
            ui::UpdateWindow(window->GetHandle());
            benchmark::DoNotOptimize(ui::GetWindowImage(window->GetHandle()));
            state.PauseTiming();
            delete window;
            Pump();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_OpenThemedMenu)->Arg(30)->Unit(benchmark::kMillisecond)->UseRealTime();

// A form laid out as the main window: the menu bar in the top dock, a panel in a left multi-dock, two in a right
// one, and the status bar with its two panels.
struct MainWindowLike {
    MainWindowLike()
    {
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 800, 600);
        auto* top = new TTBXDock(Form.get());
        top->SetPosition(dpTop);
        top->SetParent(Form.get());
        MenuBar = new TTBXToolbar(Form.get());
        MenuBar->SetMenuBar(true);
        for (const char* caption : {"&File", "&Edit", "&View", "&Options", "&Help"}) {
            auto* submenu = new TTBXSubmenuItem(nullptr);
            submenu->SetCaption(caption);
            MenuBar->GetItems()->Add(submenu);
            AddItem(submenu, "&Command");
        }
        MenuBar->SetParent(top);
        StatusBar = new TTBXStatusBar(Form.get());
        StatusBar->SetParent(Form.get());
        StatusBar->GetPanels()->Add()->SetSize(8);
        StatusBar->GetPanels()->Add()->SetSize(800);
        for (int i = 0; i < 2; ++i)
            StatusBar->GetPanels()->GetItem(i)->SetFramed(false);
        auto* left = new TTBXMultiDock(Form.get());
        left->SetPosition(dpLeft);
        left->SetParent(Form.get());
        auto* right = new TTBXMultiDock(Form.get());
        right->SetPosition(dpRight);
        right->SetParent(Form.get());
        AddPanel(left, "Folders", 0);
        AddPanel(right, "Preview", 124);
        AddPanel(right, "Properties", 398);
        Form->Show();
        Pump();
    }
    void AddPanel(TTBXMultiDock* dock, const char* caption, int splitHeight)
    {
        auto* panel = new TTBXDockablePanel(Form.get());
        panel->SetCaption(caption);
        panel->SetDockedWidth(196);
        if (splitHeight > 0)
            panel->SetSplitHeight(splitHeight);
        panel->SetParent(dock);
        Panels.push_back(panel);
    }

    TThemeRuntime Runtime;  // made first, freed last
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TTBXToolbar* MenuBar = nullptr;
    TTBXStatusBar* StatusBar = nullptr;
    std::vector<TTBXDockablePanel*> Panels;
};

void Repaint(TWinControl* control, bool frame)
{
    ui::RedrawWindow(control->GetHandle(), nullptr, nullptr,
                     ui::RDW_INVALIDATE | ui::RDW_ERASE | ui::RDW_UPDATENOW | (frame ? ui::RDW_FRAME : 0));
}

// The menu bar (frame and items), the three docked panels' frames and the status bar, painted into their windows.
void BM_PaintMenuBarPanelFramesAndStatusBar(benchmark::State& state)
{
    MainWindowLike form;
    for (auto _ : state) {
        Repaint(form.MenuBar, true);
        for (TTBXDockablePanel* panel : form.Panels)
            ui::RedrawWindow(panel->GetHandle(), nullptr, nullptr,
                             ui::RDW_FRAME | ui::RDW_INVALIDATE | ui::RDW_UPDATENOW);
        Repaint(form.StatusBar, false);
    }
}
BENCHMARK(BM_PaintMenuBarPanelFramesAndStatusBar)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A change of the system colours broadcast to 50 docked toolbars, each laid out and re-framed again.
void BM_ThemeChangeTo50Toolbars(benchmark::State& state)
{
    TThemeRuntime runtime;
    {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 800, 600);
        auto* dock = new TTBXDock(form.get());
        dock->SetPosition(dpTop);
        dock->SetParent(form.get());
        for (int i = 0; i < 50; ++i) {
            auto* toolbar = new TTBXToolbar(form.get());
            for (int j = 0; j < 3; ++j)
                AddItem(toolbar->GetItems(), "Button " + std::to_string(j));
            toolbar->SetDockRow(i / 5);
            toolbar->SetParent(dock);
        }
        form->Show();
        Pump();
        const ui::HWND manager = GetThemeManager()->GetWindowHandle();
        for (auto _ : state) {
            ui::SendMessage(manager, ui::WM_SYSCOLORCHANGE, 0, 0);
            Pump();
        }
    }
}
BENCHMARK(BM_ThemeChangeTo50Toolbars)->Unit(benchmark::kMillisecond)->UseRealTime();

// The length of a multi-dock shared among 3 and 50 panels with mixed limits, in passes.
void BM_StackPanels(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    std::vector<TStackingRecord> records(static_cast<std::size_t>(count));
    for (auto _ : state) {
        for (int i = 0; i < count; ++i)
            records[static_cast<std::size_t>(i)] =
                TStackingRecord{32 + i % 3 * 8, i % 4 == 0 ? 150 : 0, 90 + i % 5 * 17};
        StackPanels(records, 301 + 97 * count);
        benchmark::DoNotOptimize(records.data());
    }
}
BENCHMARK(BM_StackPanels)->Arg(3)->Arg(50)->Unit(benchmark::kMicrosecond);

// The moves of one drag: back and forth by the travel, so that every step changes the size and the form's
// layout stays where it began.
std::vector<TPoint> BackAndForth(TPoint from, int steps, int dx, int dy)
{
    std::vector<TPoint> moves;
    for (int i = 1; i <= steps; ++i) {
        const int sign = i % 2 == 1 ? 1 : -1;
        moves.push_back(TPoint{from.x + (sign > 0 ? dx : 0), from.y + (sign > 0 ? dy : 0)});
    }
    return moves;
}

constexpr int kDragSteps = 20;

// One step of a live drag: the mouse move, the panel's new size, the multi-dock and the form laid out again and
// everything that moved repainted into the backing images. Each iteration is a whole drag of kDragSteps moves;
// the counter gives the time of one.
void RunDrags(benchmark::State& state, TWinControl* panel, TPoint edge, int dx, int dy)
{
    ui::SetApplicationActive(true);
    // A drag that ends one travel away must have changed the size, or the steps would measure nothing.
    const TSize before{panel->GetWidth(), panel->GetHeight()};
    test::PostDrag(edge, BackAndForth(edge, 1, dx, dy));
    test::PumpQueue();
    const TSize after{panel->GetWidth(), panel->GetHeight()};
    test::PostDrag(TPoint{edge.x + dx, edge.y + dy}, {edge});
    test::PumpQueue();
    if (after.cx == before.cx && after.cy == before.cy) {
        state.SkipWithError("the drag did not resize the panel");
        return;
    }
    for (auto _ : state) {
        test::PostDrag(edge, BackAndForth(edge, kDragSteps, dx, dy));
        test::PumpQueue();
        Pump();
    }
    benchmark::DoNotOptimize(panel->GetWidth());
    state.counters["step"] = benchmark::Counter(
        static_cast<double>(kDragSteps), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LiveDockedResizeStep(benchmark::State& state)
{
    MainWindowLike form;
    TTBXDockablePanel* folders = form.Panels[0];
    // The middle of the folder panel's right edge, which sizes the left multi-dock.
    RunDrags(state, folders, test::OnWindow(folders, folders->GetWidth() - 1, 60), 40, 0);
}
BENCHMARK(BM_LiveDockedResizeStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LiveSplitDragStep(benchmark::State& state)
{
    MainWindowLike form;
    TTBXDockablePanel* preview = form.Panels[1];
    // The bottom edge of the preview panel: the split between it and the properties panel below.
    RunDrags(state, preview, test::OnWindow(preview, 60, preview->GetHeight() - 1), 0, 40);
}
BENCHMARK(BM_LiveSplitDragStep)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
