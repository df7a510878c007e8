#pragma once
// The floating frame: a small tool window that hosts one floating dockable window. It draws the caption with
// its close button and the sizing borders, hands presses on them to the hosted window's loops, keeps the
// owning form looking active while the frame has the focus, and sends closing and Escape to that form.

#include "platform/ui/Types.h"
#include "toolbars/FloatingGeometry.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <cstdint>

namespace ovrel::toolbars {

class TTBCustomDockableWindow;

/// The parts of the frame that PaintFloatingFrame and RedrawFloatingFrame take, as bits.
inline constexpr unsigned ffpBorder = 1;
inline constexpr unsigned ffpCaption = 2;
inline constexpr unsigned ffpCloseButton = 4;
inline constexpr unsigned ffpAll = ffpBorder | ffpCaption | ffpCloseButton;

/// The frame of a floating dockable window. Made by the window's SetFloating, owned and freed by the window.
class TTBFloatingWindowParent : public toolkit::TCustomForm {
public:
    /// The owner is none: the frame is not part of any form.
    explicit TTBFloatingWindowParent(toolkit::TComponent* owner);
    ~TTBFloatingWindowParent() override;

    [[nodiscard]] TTBCustomDockableWindow* GetDockableWindow() const { return FDockableWindow; }
    void SetDockableWindow(TTBCustomDockableWindow* value) { FDockableWindow = value; }
    /// The form the frame belongs to; none once that form was freed with fmOnTopOfAllForms.
    [[nodiscard]] toolkit::TCustomForm* GetOwnerForm() const { return FOwnerForm; }
    void SetOwnerForm(toolkit::TCustomForm* value) { FOwnerForm = value; }
    /// Set by the hosted window: whether the frame may show at all.
    [[nodiscard]] bool GetShouldShow() const { return FShouldShow; }
    void SetShouldShow(bool value);
    [[nodiscard]] bool GetCloseButtonDown() const { return FCloseButtonDown; }
    /// Frees the frame; from inside one of its own message handlers, once the outermost has returned (the
    /// frame is hidden and forgets its window meanwhile).
    void Dispose();

    /// Repaints some parts of the frame now, when it has a window that shows.
    void RedrawFloatingFrame(unsigned what);
    /// The caption bar and its close button, window coordinates.
    [[nodiscard]] toolkit::TRect GetCaptionRect(bool excludeClose) const;
    [[nodiscard]] toolkit::TRect GetCloseButtonRect() const;

protected:
    /// Paints the parts in what. Without drawToDC the frame's own window DC is used, clipped to clip (the
    /// update region of WM_NCPAINT, in screen coordinates; none or 1 for all).
    virtual void PaintFloatingFrame(bool drawToDC, ui::HDC dc, unsigned what, ui::HRGN clip);
    /// The frame's geometry; the base when there is no hosted window.
    [[nodiscard]] TFloatingFrameMetrics Metrics() const;

    void CreateParams(toolkit::TCreateParams& params) override;
    /// Nothing to align: the hosted window places itself.
    void AlignControls(toolkit::TControl* control, ui::RECT& rect) override;
    void Dispatch(toolkit::TMessage& message) override;

    void WMNCCalcSize(toolkit::TMessage& message) override;
    void WMNCHitTest(toolkit::TMessage& message) override;
    void WMActivate(toolkit::TMessage& message) override;
    void WMClose(toolkit::TMessage& message) override;
    void CMDialogKey(toolkit::TMessage& message) override;
    void CMTextChanged(toolkit::TMessage& message) override;
    void CMShowingChanged(toolkit::TMessage& message) override;
    virtual void WMGetMinMaxInfo(toolkit::TMessage& message);
    virtual void WMNCPaint(toolkit::TMessage& message);
    virtual void WMNCLButtonDown(toolkit::TMessage& message);
    virtual void WMNCLButtonDblClk(toolkit::TMessage& message);
    virtual void WMNCRButtonUp(toolkit::TMessage& message);
    virtual void WMMouseActivate(toolkit::TMessage& message);
    virtual void WMMove(toolkit::TMessage& message);

private:
    /// The form that closing and Escape go to and that is kept looking active; none when it is gone.
    [[nodiscard]] toolkit::TCustomForm* TargetForm() const;

    void SetCloseButtonDown(bool value);

    TTBCustomDockableWindow* FDockableWindow = nullptr;
    int FDispatchDepth = 0;
    bool FFreePending = false;
    toolkit::TCustomForm* FOwnerForm = nullptr;
    bool FShouldShow = false;
    bool FCloseButtonDown = false;
};

}  // namespace ovrel::toolbars
