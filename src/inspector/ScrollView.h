#pragma once
// The scrolling base of the grid and of the pop-ups: a model of each standard scroll bar that reaches its
// view only through the view's operations, a control with virtual pixel deltas for position changes, and the
// view with both bars, the scroll events and the origin mark of middle-button rolling.

#include "platform/ui/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"

#include <cstdint>

namespace ovrel::inspector {

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

/// (Sender, Position).
using TScrollEvent = toolkit::TEvent<toolkit::TObject*, int>;

/// Middle-button rolling: the pointer more than 5 pixels above the origin rolls up, more than 5 below down.
enum class TRollDirection : std::uint8_t { None, Up, Down };
/// dy: the pointer's y less the origin's.
[[nodiscard]] TRollDirection RollDirection(int dy);
/// The screen cursor while rolling in that direction (crRoll, crRollUp, crRollDown).
[[nodiscard]] toolkit::TCursor RollCursor(TRollDirection direction);
/// Milliseconds to the next line: max(1, 100 − |dy|), so the farther the pointer, the faster.
[[nodiscard]] unsigned RollInterval(int dy);

class TScrollView;

/// One standard scroll bar of a view. Position changes reach the view through Scrolled, the scroll deltas
/// and ScrollClientBy, so a view that moves no pixels can stand in for a real one.
class TControlScrollBar : public toolkit::TPersistent {
public:
    /// view: borrowed; it owns the bar.
    TControlScrollBar(TScrollView* view, TScrollBarKind kind);

    /// Another bar copies nothing; any other source raises as the base does.
    void Assign(const toolkit::TPersistent* source) override;

    [[nodiscard]] TScrollView* GetView() const { return FView; }
    [[nodiscard]] TScrollBarKind GetKind() const { return FKind; }
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    [[nodiscard]] int GetMin() const { return FMin; }
    [[nodiscard]] int GetMax() const { return FMax; }
    /// Max := value (negative: 0). A position past the new range is brought back into it, and then the
    /// view repaints whole instead of moving pixels.
    void SetRange(int value);
    [[nodiscard]] int GetPage() const { return FPage; }
    void SetPage(int value);
    [[nodiscard]] int GetPosition() const { return FPosition; }
    /// Clamped to [Min, Max]; the view hears Scrolled and, unless Max is 0, moves its client by the delta.
    void SetPosition(int value);
    [[nodiscard]] int GetOldPosition() const { return FOldPosition; }
    [[nodiscard]] int GetLineStep() const { return FLineStep; }
    void SetLineStep(int value) { FLineStep = value; }
    [[nodiscard]] int GetPageStep() const { return FPageStep; }
    void SetPageStep(int value) { FPageStep = value; }
    [[nodiscard]] bool GetVisible() const { return FVisible; }
    /// Shows or hides the window's bar of this kind.
    void SetVisible(bool value);

    // Send the view the scroll message of this kind; nothing while Max < 1.
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();

    /// Hands range, page, position and the arrows' state to the view's window, when it has one.
    virtual void Update();

private:
    void Send(std::uint16_t code);
    [[nodiscard]] int Bar() const;

    TScrollView* FView;
    bool FEnabled = true;
    TScrollBarKind FKind;
    int FPageStep = 1;
    int FMax = 100;
    int FMin = 0;
    int FOldPosition = 0;
    int FPage = 0;
    int FPosition = 0;
    int FLineStep = 1;
    bool FVisible = true;
};

/// A custom control whose scroll-position changes move pixels by virtual deltas.
class TCustomScrollView : public toolkit::TCustomControl {
public:
    explicit TCustomScrollView(toolkit::TComponent* owner);
    ~TCustomScrollView() override;

    /// The areas whose pixels may be moved by horizontal and by vertical scrolling (client coordinates).
    [[nodiscard]] const toolkit::TRect& GetHorzClipRect() const { return FHorzClipRect; }
    void SetHorzClipRect(const toolkit::TRect& value) { FHorzClipRect = value; }
    [[nodiscard]] const toolkit::TRect& GetVertClipRect() const { return FVertClipRect; }
    void SetVertClipRect(const toolkit::TRect& value) { FVertClipRect = value; }

    /// Pixels to move the client for a position change; 0 here (nothing is moved).
    [[nodiscard]] virtual int GetHorzScrollDelta(int oldPos, int newPos);
    [[nodiscard]] virtual int GetVertScrollDelta(int oldPos, int newPos);
    /// Moves the client pixels within the clip rectangle of the direction and invalidates what was uncovered.
    virtual void ScrollClientBy(int dx, int dy);

private:
    toolkit::TRect FHorzClipRect;
    toolkit::TRect FVertClipRect;
};

/// A borderless top-level window that floats above the others (the rolling mark).
class TFlyoutControl : public toolkit::TCustomControl {
public:
    explicit TFlyoutControl(toolkit::TComponent* owner);

protected:
    void CreateParams(toolkit::TCreateParams& params) override;
};

/// The shape of the rolling mark in window coordinates: an up arrow, a down arrow and a dot between them.
/// The caller owns the region.
[[nodiscard]] ui::HRGN RollMarkRegion();

/// The 32 × 32 mark shown at the origin of middle-button rolling, shaped by its window region.
class TRollShadow : public TFlyoutControl {
public:
    explicit TRollShadow(toolkit::TComponent* owner);

    /// Shapes the window and places it with the origin (screen coordinates) under the dot.
    void ShowAt(toolkit::TPoint screen);
    /// The screen point of the last ShowAt.
    [[nodiscard]] toolkit::TPoint GetShownAt() const { return FShownAt; }
    /// Gives the window its region again (made when needed).
    virtual void UpdateRegion();

protected:
    void Paint() override;

private:
    toolkit::TPoint FShownAt;
};

/// A scroll view with both bars, the scroll events and middle-button rolling.
class TScrollView : public TCustomScrollView {
public:
    explicit TScrollView(toolkit::TComponent* owner);
    ~TScrollView() override;

    [[nodiscard]] TControlScrollBar* GetHorzScrollBar() const { return FHorzScrollBar.get(); }
    [[nodiscard]] TControlScrollBar* GetVertScrollBar() const { return FVertScrollBar.get(); }
    /// Whether a middle press starts rolling; on from construction.
    [[nodiscard]] bool GetAutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value) { FAutoScroll = value; }
    [[nodiscard]] bool GetRolling() const { return FRolling; }
    [[nodiscard]] TRollShadow* GetRollShadow() const { return FRollShadow; }

    /// Told after every position change of a bar; the base does nothing.
    virtual void Scrolled(TScrollBarKind kind);

    void Dispatch(toolkit::TMessage& message) override;

    TScrollEvent OnHorizontalScroll;
    TScrollEvent OnVerticalScroll;

protected:
    void CreateParams(toolkit::TCreateParams& params) override;
    void CreateWnd() override;
    /// The rolling timer (disabled, 1 ms), made when first asked for: most views never roll.
    [[nodiscard]] toolkit::TTimer* GetRollTimer();
    /// Ends rolling: timer off, mark hidden, the screen cursor back to the controls' own, capture released.
    /// Nothing when not rolling, so an ordinary click leaves a busy cursor of the application alone.
    void StopRolling();

    /// Scroll codes to positions through the bar, then the bar's own Visible and the event.
    virtual void WMHScroll(toolkit::TMessage& message);
    virtual void WMVScroll(toolkit::TMessage& message);
    /// The arrow keys are the view's.
    virtual void WMGetDlgCode(toolkit::TMessage& message);
    /// The view paints every pixel itself.
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    /// Rolling lasts only while the view holds the mouse: a switch to another application or a modal
    /// window that takes the capture ends it.
    void WMCaptureChanged(toolkit::TMessage& message) override;

    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;

    toolkit::TPoint FOrigin;
    bool FRolling = false;
    TRollDirection FDirection = TRollDirection::None;

private:
    void ScrollMessage(TControlScrollBar& bar, const toolkit::TMessage& message);
    void RollTick(toolkit::TObject* sender);

    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    TRollShadow* FRollShadow = nullptr;  // owned as a component
    toolkit::TTimer* FRollTimer = nullptr;  // owned as a component
    bool FAutoScroll = true;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;
};

}  // namespace ovrel::inspector
