#pragma once
// A dockable window whose content has one fixed size, for the tests and benchmarks of docks, dockable
// windows, floating frames and the loops. It logs what happens to it.

#include "platform/ui/Window.h"
#include "toolbars/Dock.h"
#include "toolbars/DockableWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

/// A dockable window whose content is one size wherever it goes (turned across in a side dock). Its events
/// and the insertions and removals of docks given to Follow go into Log.
class TTestWindow : public TTBCustomDockableWindow {
public:
    explicit TTestWindow(toolkit::TComponent* owner) : TTBCustomDockableWindow(owner)
    {
        OnDockChanging = TTBDockChangingEvent(this, &TTestWindow::DockChanging);
        OnDockChangingHidden = TTBDockChangingEvent(this, &TTestWindow::DockChangingHidden);
        OnRecreating = toolkit::TNotifyEvent(this, &TTestWindow::Recreating);
        OnRecreated = toolkit::TNotifyEvent(this, &TTestWindow::Recreated);
        OnDockChanged = toolkit::TNotifyEvent(this, &TTestWindow::DockChanged);
        OnMove = toolkit::TNotifyEvent(this, &TTestWindow::Moved);
    }

    toolkit::TSize ComputeSize(bool apply, TTBDockType dockType, TTBDock*, bool) override
    {
        if (apply)
            ++Applied;
        return dockType == dtLeftRight ? toolkit::TSize{Natural.cy, Natural.cx} : Natural;
    }
    toolkit::TSize GetNaturalSize() override { return ComputeSize(false, GetDockType(), GetCurrentDock(), false); }
    TResizeLimits GetSizeLimits() override { return Limits; }
    TTBShrinkMode ShrinkModeOf() override { return Shrink; }
    int GetMinimumLength() override { return Minimum; }
    void ResizeBegin(int edge) override { Log.push_back("ResizeBegin " + std::to_string(edge)); }
    void ResizeAccept() override { Log.push_back("ResizeAccept"); }
    void ResizeEnd() override { Log.push_back("ResizeEnd"); }

    /// Logs the dock's insertions and removals as "Insert Top" and "Remove Top".
    void Follow(TTBDock* dock) { dock->OnInsertRemoveBar = TTBInsertRemoveEvent(this, &TTestWindow::InsertRemove); }

    toolkit::TSize Natural{60, 22};
    TResizeLimits Limits;
    TTBShrinkMode Shrink = tbsmNone;
    int Minimum = 0;
    /// Called after each OnMove, for tests that look at the window while a loop moves it.
    std::function<void()> Moving;
    int Applied = 0;
    std::vector<std::string> Log;

private:
    static std::string DockName(const TTBDock* dock) { return dock != nullptr ? dock->GetName() : "none"; }
    void DockChanging(toolkit::TObject*, bool floating, TTBDock* dock)
    {
        Log.push_back(std::string("DockChanging ") + (floating ? "floating" : DockName(dock)));
    }
    void DockChangingHidden(toolkit::TObject*, bool floating, TTBDock* dock)
    {
        Log.push_back(std::string("DockChangingHidden ") + (floating ? "floating" : DockName(dock)) +
                      (HandleAllocated() && ui::IsWindowVisible(GetHandle()) ? " visible" : " hidden"));
    }
    void Recreating(toolkit::TObject*) { Log.push_back("Recreating"); }
    void Recreated(toolkit::TObject*) { Log.push_back("Recreated"); }
    void DockChanged(toolkit::TObject*) { Log.push_back("DockChanged"); }
    void Moved(toolkit::TObject*)
    {
        Log.push_back("Move");
        if (Moving)
            Moving();
    }
    void InsertRemove(toolkit::TObject* sender, bool inserting, TTBCustomDockableWindow*)
    {
        Log.push_back(std::string(inserting ? "Insert " : "Remove ") + DockName(static_cast<TTBDock*>(sender)));
    }
};

}  // namespace ovrel::toolbars::testing
