#include "themes/PanelObjects.h"

#include "themes/ThemeInterface.h"
#include "themes/ThemeUtils.h"
#include "themes/ThemedCommon.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

#include <memory>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

// A child's least height (vertical) or width in its container.
int MinimumOf(const TControl& control, bool vertical)
{
    if (control.GetAlign() != alClient)
        return vertical ? control.GetHeight() : control.GetWidth();
    if (const auto* panel = dynamic_cast<const TTBXPanelObject*>(&control))
        return vertical ? panel->GetMinHeight() : panel->GetMinWidth();
    return vertical ? control.GetConstraints()->GetMinHeight() : control.GetConstraints()->GetMinWidth();
}

// The margins of the axis, the children stacked at its ends and the least size of the client children.
int AlignedMinimum(const TWinControl& panel, const TTBXControlMargins& margins, bool vertical)
{
    int result = vertical ? margins.GetTop() + margins.GetBottom() : margins.GetLeft() + margins.GetRight();
    const TAlign nearEnd = vertical ? alTop : alLeft;
    const TAlign farEnd = vertical ? alBottom : alRight;
    for (int i = 0; i < panel.GetControlCount(); ++i) {
        const TControl& child = *panel.GetControl(i);
        if (!child.GetVisible())
            continue;
        if (child.GetAlign() == nearEnd || child.GetAlign() == farEnd || child.GetAlign() == alClient)
            result += MinimumOf(child, vertical);
    }
    return result;
}

}  // namespace

int GetMinHeight(const TControl& control) { return MinimumOf(control, true); }

int GetMinWidth(const TControl& control) { return MinimumOf(control, false); }

// ---------------------------------------------------------------------------------------------------------
// Hover tracking shared by all panel objects

namespace {

// Disabled controls count: a disabled object under the mouse is still where the mouse is.
TControl* ControlUnderCursor()
{
    POINT cursor{};
    ui::GetCursorPos(&cursor);
    return FindDragTarget(cursor, true);
}

}  // namespace

/// One timer for every panel object, pointed at the one that hovers; made with the first panel object and
/// freed with the last.
class THoverTracker : public TObject {
public:
    THoverTracker() : FTimer(std::make_unique<TTimer>(nullptr))
    {
        FTimer->SetEnabled(false);
        FTimer->SetInterval(125);
        FTimer->OnTimer = TNotifyEvent(this, &THoverTracker::Tick);
    }

    [[nodiscard]] TTBXPanelObject* GetHovered() const { return FHovered; }
    void Track(TTBXPanelObject* object)
    {
        FHovered = object;
        FTimer->SetEnabled(true);
    }
    void Stop()
    {
        FTimer->SetEnabled(false);
        FHovered = nullptr;
    }

    int LiveCount = 0;

private:
    // The pointer may have left through a gap no mouse move of the object saw.
    void Tick(TObject*)
    {
        TTBXPanelObject* hovered = FHovered;
        if (hovered == nullptr || ControlUnderCursor() == hovered)
            return;
        Stop();
        hovered->LeaveHover();
    }

    std::unique_ptr<TTimer> FTimer;
    TTBXPanelObject* FHovered = nullptr;
};

namespace {

std::unique_ptr<THoverTracker>& Tracker()
{
    static std::unique_ptr<THoverTracker> tracker;
    return tracker;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBXPanelObject

TTBXPanelObject::TTBXPanelObject(TComponent* owner) : TCustomControl(owner)
{
    if (Tracker() == nullptr)
        Tracker() = std::make_unique<THoverTracker>();
    ++Tracker()->LiveCount;
    SetControlStyle((GetControlStyle() + TControlStyle{csAcceptsControls, csClickEvents, csDoubleClicks}) -
                    TControlStyle{csOpaque});
    SetParentColor(true);
    AddThemeControl(this);
}

TTBXPanelObject::~TTBXPanelObject()
{
    RemoveThemeControl(this);
    THoverTracker& tracker = *Tracker();
    if (tracker.GetHovered() == this)
        tracker.Stop();
    if (--tracker.LiveCount == 0)
        Tracker().reset();
}

int TTBXPanelObject::GetMinHeight() const { return GetHeight(); }

int TTBXPanelObject::GetMinWidth() const { return GetWidth(); }

void TTBXPanelObject::MouseEntered() { OnMouseEnter(this); }

void TTBXPanelObject::MouseLeft() { OnMouseLeave(this); }

void TTBXPanelObject::EnterHover()
{
    if (!GetEnabled() || FHovering)
        return;
    FHovering = true;
    MouseEntered();
}

void TTBXPanelObject::LeaveHover()
{
    // Also when disabled meanwhile: an object disabled under the mouse must still stop hovering.
    if (!FHovering)
        return;
    FHovering = false;
    if (Tracker()->GetHovered() == this)
        Tracker()->Stop();
    MouseLeft();
    Invalidate();
}

void TTBXPanelObject::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    THoverTracker& tracker = *Tracker();
    TControl* under = ControlUnderCursor();
    if (under == this) {
        if (tracker.GetHovered() != this) {
            if (TTBXPanelObject* previous = tracker.GetHovered())
                previous->LeaveHover();
            tracker.Track(this);
            EnterHover();
        }
    } else if (GetMouseCapture() && FHovering) {
        LeaveHover();
    }
}

void TTBXPanelObject::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft) {
        FPressed = true;
        Invalidate();
    }
    if (GetEnabled())
        EnterHover();
    if (!FFocusOnClick || !CanFocus() || GetParent() == nullptr)
        return;
    const TCustomForm* form = GetParentForm();
    TWinControl* active = form != nullptr ? form->GetActiveControl() : nullptr;
    if (active == nullptr || !GetParent()->ContainsControl(active))
        return;
    // The focus comes from the mouse: the object is in view already.
    FFocusingByMouse = true;
    try {
        SetFocus();
    } catch (...) {
        FFocusingByMouse = false;
        throw;
    }
    FFocusingByMouse = false;
}

void TTBXPanelObject::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    FPressed = false;
    Invalidate();
}

void TTBXPanelObject::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (FPushOnSpace && key == VK_SPACE) {
        FPressed = true;
        Invalidate();
    }
}

void TTBXPanelObject::KeyUp(std::uint16_t& key, TShiftState shift)
{
    TCustomControl::KeyUp(key, shift);
    if (FPushOnSpace && key == VK_SPACE && FPressed) {
        FPressed = false;
        Click();
        Invalidate();
    }
}

void TTBXPanelObject::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTBXPanelObject::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_TBX_THEMECHANGED: WMTBXThemeChanged(message); return;
    default: TCustomControl::Dispatch(message);
    }
}

void TTBXPanelObject::WMEraseBkgnd(TMessage& message)
{
    // A double-buffered paint erases its own buffer, handing the same DC in both parameters.
    if (!GetDoubleBuffered() || message.WParam == static_cast<std::uintptr_t>(message.LParam))
        FillRectColorDC(reinterpret_cast<HDC>(message.WParam), GetClientRect(), GetColor());
    message.Result = 1;
}

// There is no scrolling container in the class library that would bring the object into view, so only the
// focused look remains to update.
void TTBXPanelObject::WMSetFocus(TMessage& message)
{
    TCustomControl::WMSetFocus(message);
    Invalidate();
}

void TTBXPanelObject::WMKillFocus(TMessage& message)
{
    DefaultHandler(message);
    FPressed = false;
    Invalidate();
}

void TTBXPanelObject::CMParentColorChanged(TMessage& message)
{
    // A parent without a colour of its own (a themed dock or panel) lends its effective colour.
    if (message.WParam == 0 && GetParent() != nullptr && (GetColor() == clNone || GetParent()->GetColor() == clNone)) {
        TMessage carried = message;
        carried.WParam = 1;
        carried.LParam = GetEffectiveColor(GetParent());
        TCustomControl::CMParentColorChanged(carried);
        message.Result = carried.Result;
        return;
    }
    TCustomControl::CMParentColorChanged(message);
}

void TTBXPanelObject::WMTBXThemeChanged(TMessage&) { Invalidate(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXControlMargins

void TTBXControlMargins::Store(int& field, int value)
{
    if (field == value)
        return;
    field = value;
    OnChange(this);
}

void TTBXControlMargins::SetLeft(int value) { Store(FLeft, value); }
void TTBXControlMargins::SetTop(int value) { Store(FTop, value); }
void TTBXControlMargins::SetRight(int value) { Store(FRight, value); }
void TTBXControlMargins::SetBottom(int value) { Store(FBottom, value); }

void TTBXControlMargins::Assign(const TPersistent* source)
{
    const auto* other = dynamic_cast<const TTBXControlMargins*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FLeft = other->FLeft;
    FTop = other->FTop;
    FRight = other->FRight;
    FBottom = other->FBottom;
    OnChange(this);
}

const TPropertyTable& TTBXControlMargins::ClassProperties()
{
    using M = TTBXControlMargins;
    static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                            .Integer("Left", &M::GetLeft, &M::SetLeft)
                                            .Integer("Top", &M::GetTop, &M::SetTop)
                                            .Integer("Right", &M::GetRight, &M::SetRight)
                                            .Integer("Bottom", &M::GetBottom, &M::SetBottom);
    return table;
}

const TPropertyTable& TTBXControlMargins::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXAlignmentPanel

TTBXAlignmentPanel::TTBXAlignmentPanel(TComponent* owner)
    : TTBXPanelObject(owner), FMargins(std::make_unique<TTBXControlMargins>())
{
    FMargins->OnChange = TNotifyEvent(this, &TTBXAlignmentPanel::MarginsChanged);
}

TTBXAlignmentPanel::~TTBXAlignmentPanel() = default;

void TTBXAlignmentPanel::SetMargins(const TTBXControlMargins* value) { FMargins->Assign(value); }

void TTBXAlignmentPanel::MarginsChanged(TObject*)
{
    Realign();
    Invalidate();
}

int TTBXAlignmentPanel::GetMinHeight() const { return AlignedMinimum(*this, *FMargins, true); }

int TTBXAlignmentPanel::GetMinWidth() const { return AlignedMinimum(*this, *FMargins, false); }

void TTBXAlignmentPanel::AdjustClientRect(RECT& rect)
{
    TTBXPanelObject::AdjustClientRect(rect);
    rect.left += FMargins->GetLeft();
    rect.top += FMargins->GetTop();
    rect.right -= FMargins->GetRight();
    rect.bottom -= FMargins->GetBottom();
}

void TTBXAlignmentPanel::Paint()
{
    if (!GetComponentState().Contains(csDesigning))
        return;
    TRect r = GetClientRect();
    FrameRectColor(*GetCanvas(), r, WeightedColor(clBtnFace, clBtnShadow, 128), false);
}

const TPropertyTable& TTBXAlignmentPanel::ClassProperties()
{
    using A = TTBXAlignmentPanel;
    static const TPropertyTable table =
        TPropertyTable(&TWinControl::ClassProperties())
            .Enumeration("AutoSize", &A::GetAutoSize, &A::SetAutoSize, {"False", "True"})
            .Object("Margins", &A::GetMargins, &A::SetMargins);
    return table;
}

const TPropertyTable& TTBXAlignmentPanel::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::themes
