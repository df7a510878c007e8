#pragma once
// Small themed panel controls: the panel object with hover tracking, a pressed state and focus on click, and
// the alignment panel that lays its children out inside adjustable margins and reports the least size of its
// content.

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

#include <cstdint>
#include <memory>

namespace ovrel::themes {

/// The least height (width) a child needs in its container: its Height (Width) unless it fills the client
/// area; then a panel object's own minimum, or any other control's constraint.
[[nodiscard]] int GetMinHeight(const toolkit::TControl& control);
[[nodiscard]] int GetMinWidth(const toolkit::TControl& control);

/// The base of small themed panels. All panel objects share one 125 ms timer that ends the hover of the one
/// under the mouse once the pointer is elsewhere, even when it left through a gap no mouse move reached.
class TTBXPanelObject : public toolkit::TCustomControl {
public:
    explicit TTBXPanelObject(toolkit::TComponent* owner);
    ~TTBXPanelObject() override;

    [[nodiscard]] bool GetHovering() const { return FHovering; }
    [[nodiscard]] bool GetPressed() const { return FPressed; }

    /// The least size of the content; the control's own size in the base.
    [[nodiscard]] virtual int GetMinHeight() const;
    [[nodiscard]] virtual int GetMinWidth() const;

    toolkit::TNotifyEvent OnMouseEnter;
    toolkit::TNotifyEvent OnMouseLeave;

protected:
    virtual void MouseEntered();
    virtual void MouseLeft();

    /// Space presses the object and clicks it when released.
    [[nodiscard]] bool GetPushOnSpace() const { return FPushOnSpace; }
    void SetPushOnSpace(bool value) { FPushOnSpace = value; }
    /// A press takes the focus when the focus already lies within the object's parent.
    [[nodiscard]] bool GetFocusOnClick() const { return FFocusOnClick; }
    void SetFocusOnClick(bool value) { FFocusOnClick = value; }

    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    void KeyUp(std::uint16_t& key, toolkit::TShiftState shift) override;
    void CreateParams(toolkit::TCreateParams& params) override;
    void Dispatch(toolkit::TMessage& message) override;

    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMSetFocus(toolkit::TMessage& message) override;
    virtual void WMKillFocus(toolkit::TMessage& message);
    void CMParentColorChanged(toolkit::TMessage& message) override;
    virtual void WMTBXThemeChanged(toolkit::TMessage& message);

private:
    friend class THoverTracker;
    /// Starts hovering (when enabled); the enter step.
    void EnterHover();
    /// Ends hovering, enabled or not, and stops the shared timer when it tracks this object.
    void LeaveHover();

    bool FHovering = false;
    bool FPressed = false;
    bool FFocusingByMouse = false;
    bool FPushOnSpace = false;
    bool FFocusOnClick = false;
};

/// Left, top, right and bottom margins; OnChange fires after each change.
class TTBXControlMargins : public toolkit::TPersistent {
public:
    [[nodiscard]] int GetLeft() const { return FLeft; }
    void SetLeft(int value);
    [[nodiscard]] int GetTop() const { return FTop; }
    void SetTop(int value);
    [[nodiscard]] int GetRight() const { return FRight; }
    void SetRight(int value);
    [[nodiscard]] int GetBottom() const { return FBottom; }
    void SetBottom(int value);

    /// Another margins object: all four, then OnChange. Anything else as TPersistent does.
    void Assign(const toolkit::TPersistent* source) override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

    toolkit::TNotifyEvent OnChange;

private:
    void Store(int& field, int value);

    int FLeft = 0;
    int FTop = 0;
    int FRight = 0;
    int FBottom = 0;
};

/// A panel object that aligns its children inside its margins.
class TTBXAlignmentPanel : public TTBXPanelObject {
public:
    explicit TTBXAlignmentPanel(toolkit::TComponent* owner);
    ~TTBXAlignmentPanel() override;

    /// Owned; a change realigns and repaints the panel. Setting it copies the margins.
    [[nodiscard]] TTBXControlMargins* GetMargins() const { return FMargins.get(); }
    void SetMargins(const TTBXControlMargins* value);

    /// The margins plus the heights of the visible children aligned to the top or bottom plus the least
    /// heights of the visible children that fill the client area.
    [[nodiscard]] int GetMinHeight() const override;
    /// The same across: the children aligned to the left or right.
    [[nodiscard]] int GetMinWidth() const override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    void AdjustClientRect(ui::RECT& rect) override;
    void Paint() override;

private:
    void MarginsChanged(toolkit::TObject* sender);

    std::unique_ptr<TTBXControlMargins> FMargins;
};

}  // namespace ovrel::themes
