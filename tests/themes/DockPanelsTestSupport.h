#pragma once
// Themed docks, multi-docks and dockable panels on a shown form under a theme runtime whose theme records the
// frames it paints, on a screen of known size; mouse input for the panels' loops is scripted through the queue.

#include "ThemeTestSupport.h"
#include "support/ScriptedInput.h"

#include "themes/DefaultTheme.h"
#include "themes/DockablePanels.h"
#include "themes/Nexus.h"
#include "themes/ThemedCommon.h"
#include "themes/ThemedDocks.h"

#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ovrel::themes::testing {

/// The default look, keeping a copy of every docked-panel frame, floating frame and dock it paints (with the
/// caption, which the records only borrow). Its floating border and whether it paints docks can be set.
class PanelRecordingTheme : public TTBXDefaultTheme {
public:
    using TTBXDefaultTheme::TTBXDefaultTheme;

    struct PanelFrame {
        TFramePaintInfo Info;
        std::string Caption;
        toolkit::TRect Rect;
    };
    struct FloatingFrame {
        TFloatingWindowInfo Info;
        std::string Caption;
        toolkit::TRect Rect;
    };
    struct DockPaint {
        toolkit::TRect ClientRect;
        toolkit::TRect DockRect;
        int Position = 0;
    };

    [[nodiscard]] toolkit::TPoint GetViewBorder(int viewType) const override
    {
        if (FloatingBorder && (viewType & VT_FLOATING) != 0)
            return *FloatingBorder;
        return TTBXDefaultTheme::GetViewBorder(viewType);
    }
    [[nodiscard]] bool GetBooleanMetric(int index) const override
    {
        return index == 5 ? PaintsDocks : TTBXDefaultTheme::GetBooleanMetric(index);
    }
    void PaintDockPanelNCArea(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                              const TFramePaintInfo& info) const override
    {
        PanelFrames.push_back({info, std::string(info.CaptionText), rect});
        PanelFrames.back().Info.CaptionText = {};
        TTBXDefaultTheme::PaintDockPanelNCArea(canvas, rect, info);
    }
    void PaintFloatingBorder(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                             const TFloatingWindowInfo& info) const override
    {
        FloatingFrames.push_back({info, std::string(info.CaptionText), rect});
        FloatingFrames.back().Info.CaptionText = {};
        TTBXDefaultTheme::PaintFloatingBorder(canvas, rect, info);
    }
    void PaintDock(toolkit::TCanvas& canvas, const toolkit::TRect& clientRect, const toolkit::TRect& dockRect,
                   int dockPosition) const override
    {
        Docks.push_back({clientRect, dockRect, dockPosition});
        TTBXDefaultTheme::PaintDock(canvas, clientRect, dockRect, dockPosition);
    }

    std::optional<toolkit::TPoint> FloatingBorder;
    bool PaintsDocks = false;
    mutable std::vector<PanelFrame> PanelFrames;
    mutable std::vector<FloatingFrame> FloatingFrames;
    mutable std::vector<DockPaint> Docks;
};

/// A shown form of 640 x 480 at (100, 100) on one 1024 x 768 screen whose work area ends at 740, under a theme
/// runtime whose current theme is a PanelRecordingTheme; the application is active.
class PanelFormTest : public ThemeRuntimeTest {
protected:
    void SetUp() override
    {
        ThemeRuntimeTest::SetUp();
        // The nexus is made again around the recording theme before any control registers with it.
        RegisterTheme("PanelRecording",
                      [](const std::string& name) { return std::make_unique<PanelRecordingTheme>(name); });
        StopNexus();
        StartNexus("PanelRecording");
        ui::ClearMessageQueue();
        Form = new toolkit::TForm(nullptr);
        Form->SetName("Form");
        Form->SetBounds(100, 100, 640, 480);
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
        ThemeRuntimeTest::TearDown();
    }

    PanelRecordingTheme& Recorder() { return dynamic_cast<PanelRecordingTheme&>(*CurrentTheme()); }

    template <class Dock = TTBXDock> Dock* AddDock(toolbars::TTBDockPosition position, const std::string& name)
    {
        auto* dock = new Dock(Form);
        dock->SetName(name);
        dock->SetPosition(position);
        dock->SetParent(Form);
        return dock;
    }
    TTBXMultiDock* AddMultiDock(toolbars::TTBDockPosition position, const std::string& name)
    {
        return AddDock<TTBXMultiDock>(position, name);
    }
    /// A panel owned by the form, docked in dock (or left on the form without one).
    TTBXDockablePanel* AddPanel(toolbars::TTBDock* dock, const std::string& name)
    {
        auto* panel = new TTBXDockablePanel(Form);
        panel->SetName(name);
        panel->SetCaption(name);
        if (dock != nullptr)
            panel->SetParent(dock);
        else
            panel->SetParent(Form);
        Pump();
        return panel;
    }
    /// A client-aligned panel that takes what the docks leave of the form.
    toolkit::TWinControl* AddClient()
    {
        auto* client = new toolkit::TPanel(Form);
        client->SetName("Client");
        client->SetAlign(toolkit::alClient);
        client->SetParent(Form);
        Pump();
        return client;
    }

    static void Pump() { test::PumpQueue(); }
    static toolkit::TPoint OnWindow(toolkit::TWinControl* control, int x, int y)
    {
        return test::OnWindow(control, x, y);
    }
    /// The hit code of a point of the control's window.
    static ui::LRESULT HitAt(toolkit::TWinControl* control, int x, int y)
    {
        const toolkit::TPoint p = OnWindow(control, x, y);
        return ui::SendMessage(control->GetHandle(), ui::WM_NCHITTEST, 0, ui::MAKELPARAM(p.x, p.y));
    }
    static toolkit::TRect Bounds(const toolkit::TControl* control) { return control->GetBoundsRect(); }
    static toolkit::TRect ScreenRect(toolkit::TWinControl* control)
    {
        toolkit::TRect r{};
        ui::GetWindowRect(control->GetHandle(), &r);
        return r;
    }

    ui::FixedScreens Screens{{ui::MonitorRects{ui::RECT{0, 0, 1024, 768}, ui::RECT{0, 0, 1024, 740}, true}}};
    ui::ScopedService<ui::IScreens> ScreensInstalled{ui::SetScreens, Screens};
    toolkit::TForm* Form = nullptr;
};

}  // namespace ovrel::themes::testing
