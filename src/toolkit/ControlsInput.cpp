// Input of controls: the mouse state shared by all controls, focus and the tab order, keys and the wheel.
#include "toolkit/Controls.h"

#include "platform/ui/Window.h"
#include "toolkit/Controls_p.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <vector>

namespace ovrel::toolkit {

using namespace ovrel::ui;
using namespace ovrel::toolkit::controls_detail;

// ---------------------------------------------------------------------------------------------------------
// Mouse state shared by all controls

TShiftState MouseKeysToShiftState(std::uintptr_t keys)
{
    TShiftState shift;
    if ((keys & MK_SHIFT) != 0)
        shift.Include(ssShift);
    if ((keys & MK_CONTROL) != 0)
        shift.Include(ssCtrl);
    if ((keys & MK_LBUTTON) != 0)
        shift.Include(ssLeft);
    if ((keys & MK_RBUTTON) != 0)
        shift.Include(ssRight);
    if ((keys & MK_MBUTTON) != 0)
        shift.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0)
        shift.Include(ssAlt);
    return shift;
}

TShiftState KeyboardStateToShiftState()
{
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0)
        shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        shift.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0)
        shift.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0)
        shift.Include(ssRight);
    return shift;
}

TControl* GetMouseControl() { return gMouseControl; }

TWinControl* GetRootFocus(const TWinControl* root)
{
    auto focus = RootFocus().find(root);
    return focus != RootFocus().end() ? focus->second : nullptr;
}

TControl* GetCaptureControl()
{
    // The layer may have given the capture to a window that is not ours (or to none) since.
    if (gCaptureControl != nullptr) {
        TWinControl* window = gCaptureControl->GetWindowedSelf();
        if (window == nullptr || !window->HandleAllocated() || ui::GetCapture() != window->GetHandle())
            gCaptureControl = nullptr;
    }
    if (gCaptureControl == nullptr)
        if (TWinControl* owner = TWinControl::FindControl(ui::GetCapture()))
            return owner;
    return gCaptureControl;
}

void SetCaptureControl(TControl* control)
{
    gCaptureControl = nullptr;
    if (control == nullptr) {
        ReleaseCapture();
        return;
    }
    TWinControl* window = control->GetWindowedSelf();
    if (window == nullptr)
        return;
    ui::SetCapture(window->GetHandle());
    gCaptureControl = control;
}

void SendCancelMode()
{
    if (HWND capture = ui::GetCapture())
        SendMessage(capture, WM_CANCELMODE, 0, 0);
}

TControl* FindControlAtScreen(POINT screenPos, bool allowDisabled)
{
    HWND window = WindowFromPointEx(screenPos, allowDisabled);
    TWinControl* control = nullptr;
    for (HWND w = window; w != nullptr && control == nullptr; w = ui::GetParent(w))
        control = TWinControl::FindControl(w);
    if (control == nullptr)
        return nullptr;
    if (TControl* child = control->ControlAtPos(control->ScreenToClient(screenPos), allowDisabled))
        return child;
    return control;
}

TControl* FindDragTarget(POINT screenPos, bool allowDisabled) { return FindControlAtScreen(screenPos, allowDisabled); }

void CheckMouseControl(POINT screenPos)
{
    TControl* target = nullptr;
    if (GetWindowUnderPointer() != nullptr || GetCapture() != nullptr)
        target = FindControlAtScreen(screenPos, true);
    DeliverMouseEnterLeave(target);
}

// ---------------------------------------------------------------------------------------------------------
// TWinControl focus and tab order

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c != nullptr; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled())
            return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle != nullptr && ui::GetFocus() == FHandle; }

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ui::SetFocus(GetHandle());
}

void TWinControl::SetTabStop(bool value)
{
    if (FTabStop == value)
        return;
    FTabStop = value;
    if (FHandle != nullptr) {
        LONG style = GetWindowLong(FHandle, GWL_STYLE);
        style = value ? (style | static_cast<LONG>(WS_TABSTOP)) : (style & ~static_cast<LONG>(WS_TABSTOP));
        SetWindowLong(FHandle, GWL_STYLE, style);
    }
}

int TWinControl::GetTabOrder() const
{
    if (GetParent() == nullptr)
        return -1;
    const auto& list = GetParent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value)
{
    if (GetParent() == nullptr)
        return;
    auto& list = GetParent()->FTabList;
    std::erase(list, this);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list)
{
    for (TWinControl* c : FTabList) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int count = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), current);
    int start = found == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i - 1 + count) % count;
        TWinControl* c = list[static_cast<std::size_t>(i)];
        if (c == current)
            break;
        if (c->CanFocus() && (!checkTabStop || c->GetTabStop()) && (!checkParent || c->GetParent() == this))
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
        next->SetFocus();
}

void TWinControl::SelectFirst()
{
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (first == nullptr)
        first = FindNextControl(nullptr, true, false, false);
    if (first != nullptr)
        first->SetFocus();
}
// ---------------------------------------------------------------------------------------------------------
// TWinControl keys and wheel

bool TWinControl::DoKeyDown(TMessage& message) { return DoKeyStroke(message, true); }

bool TWinControl::DoKeyUp(TMessage& message) { return DoKeyStroke(message, false); }

bool TWinControl::FormPreviews(TMessage& message, bool (TWinControl::*handler)(TMessage&))
{
    TCustomForm* form = GetParentForm();
    return form != nullptr && form != this && form->GetKeyPreview() &&
           (static_cast<TWinControl*>(form)->*handler)(message);
}

bool TWinControl::DoKeyStroke(TMessage& message, bool down)
{
    if (FormPreviews(message, down ? &TWinControl::DoKeyDown : &TWinControl::DoKeyUp))
        return true;
    const TShiftState shift = KeyDataToShiftState(message.LParam);
    auto key = static_cast<std::uint16_t>(message.WParam);
    if (down)
        KeyDown(key, shift);
    else
        KeyUp(key, shift);
    message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& message)
{
    if (FormPreviews(message, &TWinControl::DoKeyPress))
        return true;
    auto key = static_cast<char32_t>(message.WParam);
    KeyPress(key);
    message.WParam = key;
    return key == 0;
}

void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) { OnKeyDown(this, key, shift); }

void TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) { OnKeyUp(this, key, shift); }

void TWinControl::KeyPress(char32_t& key) { OnKeyPress(this, key); }

bool TWinControl::HandleDialogKey(TMessage& message)
{
    LRESULT mask = 0;
    switch (message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return false;
    }
    if ((Perform(WM_GETDLGCODE, 0, 0) & (mask | DLGC_WANTALLKEYS)) != 0)
        return false;
    return OfferDialogKey(message);
}

bool TWinControl::OfferDialogKey(TMessage& message)
{
    TControl* target = GetParentForm();
    if (target == nullptr)
        target = RootOf(this);
    return target->Perform(CM_DIALOGKEY, message.WParam, message.LParam) != 0;
}

bool TWinControl::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    bool handled = false;
    OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (!handled) {
        if (wheelDelta < 0)
            handled = DoMouseWheelDown(shift, mousePos);
        else if (wheelDelta > 0)
            handled = DoMouseWheelUp(shift, mousePos);
    }
    return handled;
}

bool TWinControl::DoMouseWheelDown(TShiftState shift, POINT mousePos)
{
    bool handled = false;
    OnMouseWheelDown(this, shift, mousePos, handled);
    return handled;
}

bool TWinControl::DoMouseWheelUp(TShiftState shift, POINT mousePos)
{
    bool handled = false;
    OnMouseWheelUp(this, shift, mousePos, handled);
    return handled;
}

void TWinControl::DoEnter() { OnEnter(this); }

void TWinControl::DoExit() { OnExit(this); }
}  // namespace ovrel::toolkit
