// Themed menus and the main window's themed controls on the offscreen platform: opening a themed menu from its
// creation to its painted image, painting the menu bar, three docked panel frames and the status bar together,
// one theme change reaching 50 toolbars with their re-framing, and the stacking arithmetic of multi-docks.
#include "themes/DockablePanels.h"
#include "themes/PanelArrangement.h"
#include "themes/StatusBars.h"
#include "themes/ThemeManager.h"
#include "themes/ThemeRuntime.h"
#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "themes/ThemedToolbars.h"

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

}  // namespace
