#pragma once
// Docks and floating frames with the theme's look: a dock that takes its colour from its parent or the theme
// and can show the parent's or the theme's background, and a floating frame that the theme paints, with a hot
// close button and edges that snap to the work area.

#include "platform/ui/Types.h"
#include "toolbars/Dock.h"
#include "toolbars/FloatingWindow.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

namespace ovrel::themes {

/// A dock painted by the theme. Its Color starts as clNone: it shows its parent's colour. Registered for theme
/// changes while it lives.
class TTBXDock : public toolbars::TTBDock {
public:
    explicit TTBXDock(toolkit::TComponent* owner);
    ~TTBXDock() override;

    /// The dock shows its parent's background instead of its own; a change repaints the dock and its windows.
    [[nodiscard]] bool GetUseParentBackground() const { return FUseParentBackground; }
    void SetUseParentBackground(bool value);
    /// Whether the theme paints the dock: no Background, Color clNone and a theme that paints docks.
    [[nodiscard]] virtual bool UsesThemeBackground();
    /// Whether the dock is handling its own resize at the moment (its windows skip repainting meanwhile).
    [[nodiscard]] bool GetSizing() const { return FSizing; }

    [[nodiscard]] bool UsingBackground() override;
    void DrawBackground(ui::HDC dc, const toolkit::TRect& rect) override;

protected:
    void Dispatch(toolkit::TMessage& message) override;
    void Resize() override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMMove(toolkit::TMessage& message) override;
    void WMSize(toolkit::TMessage& message) override;
    void CMColorChanged(toolkit::TMessage& message) override;
    /// Holds the arrangement from the first step of a theme change to the last, then invalidates.
    virtual void WMTBXThemeChanged(toolkit::TMessage& message);

private:
    bool FUseParentBackground = false;
    bool FThemeUpdating = false;
    bool FMoving = false;
    bool FSizing = false;
};

/// The floating frame of a themed dockable window: the theme paints its border, caption and close button.
class TTBXFloatingWindowParent : public toolbars::TTBFloatingWindowParent {
public:
    explicit TTBXFloatingWindowParent(toolkit::TComponent* owner);

    [[nodiscard]] bool GetCloseButtonHover() const { return FCloseButtonHover; }
    /// A move that keeps the frame's size lands on each edge of the work area it comes this close to; 0 or less
    /// snaps nothing.
    [[nodiscard]] int GetSnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value) { FSnapDistance = value; }

protected:
    void PaintFloatingFrame(bool drawToDC, ui::HDC dc, unsigned what, ui::HRGN clip) override;
    void Dispatch(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    virtual void WMNCMouseMove(toolkit::TMessage& message);
    virtual void WMNCMouseLeave(toolkit::TMessage& message);
    virtual void WMWindowPosChanging(toolkit::TMessage& message);

private:
    void SetCloseButtonHover(bool value);

    bool FCloseButtonHover = false;
    int FSnapDistance = 0;
};

}  // namespace ovrel::themes
