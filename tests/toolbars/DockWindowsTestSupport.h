#pragma once
// Dockable windows with a fixed content size on a form built in code with a dock on each edge, for the tests
// of docks, dockable windows, floating frames and the drag and resize loops. Input is scripted through the
// queue: everything a loop reads is posted before the loop starts.

#include "platform/ui/Window.h"
#include "support/ScriptedInput.h"
#include "toolbars/Dock.h"
#include "toolbars/DockableWindow.h"
#include "toolbars/FloatingWindow.h"
#include "toolbars/TestDockableWindow.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

/// A shown form of 640 x 480 at (100, 100) with a dock on each edge, the application active.
class DockFormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::ClearMessageQueue();
        ui::SetApplicationActive(true);
        Form = new toolkit::TForm(nullptr);
        Form->SetName("Form");
        Form->SetBounds(100, 100, 640, 480);
        Top = AddDock(dpTop, "Top");
        Bottom = AddDock(dpBottom, "Bottom");
        Left = AddDock(dpLeft, "Left");
        Right = AddDock(dpRight, "Right");
        Form->Show();
        Pump();
    }
    void TearDown() override
    {
        if (ui::GetCapture() != nullptr)
            ui::ReleaseCapture();
        delete Form;
        Pump();
        ui::ClearMessageQueue();
        ui::SetApplicationActive(false);
    }

    TTBDock* AddDock(TTBDockPosition position, const std::string& name)
    {
        auto* dock = new TTBDock(Form);
        dock->SetName(name);
        dock->SetPosition(position);
        dock->SetParent(Form);
        return dock;
    }
    /// A window owned by the form, docked at row and pos.
    TTestWindow* AddWindow(TTBDock* dock, const std::string& name, toolkit::TSize natural = {60, 22}, int row = 0,
                           int pos = 0)
    {
        auto* window = new TTestWindow(Form);
        window->SetName(name);
        window->Natural = natural;
        window->SetDockRow(row);
        window->SetDockPos(pos);
        window->SetParent(dock);
        Pump();
        return window;
    }

    static void Pump() { test::PumpQueue(); }
    static toolkit::TPoint OnWindow(toolkit::TWinControl* control, int x, int y)
    {
        return test::OnWindow(control, x, y);
    }
    static void PostMouse(ui::UINT message, toolkit::TPoint screen, ui::UINT modifiers = 0)
    {
        ui::PostMouseInput(message, screen, modifiers);
    }
    static void PostSeparator() { test::PostSeparator(); }
    static void PostDrag(toolkit::TPoint from, const std::vector<toolkit::TPoint>& moves, bool release = true,
                         ui::UINT modifiers = 0)
    {
        test::PostDrag(from, moves, release, modifiers);
    }
    static toolkit::TRect Bounds(toolkit::TControl* control) { return control->GetBoundsRect(); }

    toolkit::TForm* Form = nullptr;
    TTBDock* Top = nullptr;
    TTBDock* Bottom = nullptr;
    TTBDock* Left = nullptr;
    TTBDock* Right = nullptr;
};

}  // namespace ovrel::toolbars::testing
