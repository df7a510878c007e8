#include "toolkit/Controls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls_p.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

namespace ovrel::toolkit {

using namespace ovrel::ui;

namespace controls_detail {

std::unordered_map<HWND, TWinControl*>& WindowControls()
{
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

TControl* gMouseControl = nullptr;
TControl* gCaptureControl = nullptr;

// Focus walks in progress; a control freed during a walk's handlers is blanked out of them.
std::vector<std::vector<TControl*>*>& ActiveWalks()
{
    static std::vector<std::vector<TControl*>*> walks;
    return walks;
}

class ScopedWalk {
public:
    explicit ScopedWalk(std::vector<TControl*>& list) : FList(list) { ActiveWalks().push_back(&FList); }
    ~ScopedWalk() { std::erase(ActiveWalks(), &FList); }
    ScopedWalk(const ScopedWalk&) = delete;
    ScopedWalk& operator=(const ScopedWalk&) = delete;

private:
    std::vector<TControl*>& FList;
};

void ForgetControl(TControl* control)
{
    for (auto* walk : ActiveWalks())
        std::replace(walk->begin(), walk->end(), control, static_cast<TControl*>(nullptr));
    if (gMouseControl == control)
        gMouseControl = nullptr;
    if (gCaptureControl == control)
        gCaptureControl = nullptr;
}

bool IsAncestorOrSelf(const TControl* ancestor, const TControl* control)
{
    for (const TControl* c = control; c != nullptr; c = c->GetParent())
        if (c == ancestor)
            return true;
    return false;
}

bool InDestroyedTree(const TControl* control)
{
    for (const TControl* c = control; c != nullptr; c = c->GetParent())
        if (c->GetComponentState().Contains(csDestroying))
            return true;
    return false;
}

TWinControl* RootOf(TControl* control)
{
    TWinControl* root = control->GetParent();
    if (root == nullptr)
        return dynamic_cast<TWinControl*>(control);
    while (root->GetParent() != nullptr)
        root = root->GetParent();
    return root;
}

// The control each root window (a form or a parentless control) last handed the focus to.
std::unordered_map<const TWinControl*, TWinControl*>& RootFocus()
{
    static std::unordered_map<const TWinControl*, TWinControl*> map;
    return map;
}

// Paint draws through canvas into dc; the canvas lets go of dc however it ends.
template <class F> void PaintThrough(TControlCanvas& canvas, HDC dc, F paint)
{
    canvas.FreeHandle();
    canvas.SetHandle(dc);
    try {
        paint();
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

bool PointIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

POINT PointFromLParam(std::intptr_t lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Moves the focus bookkeeping of root to newFocus: CM_EXIT up from the old control to the common ancestor,
// then CM_ENTER down to the new one. Stops when a handler moves the focus elsewhere.
void FocusChanged(TWinControl* newFocus)
{
    TWinControl* root = RootOf(newFocus);
    TWinControl*& slot = RootFocus()[root];
    TWinControl* old = slot;
    if (old == newFocus)
        return;
    slot = newFocus;

    std::vector<TControl*> exits;
    for (TControl* c = old; c != nullptr && !IsAncestorOrSelf(c, newFocus); c = c->GetParent())
        exits.push_back(c);
    std::vector<TControl*> enters;
    for (TControl* c = newFocus; c != nullptr && (old == nullptr || !IsAncestorOrSelf(c, old)); c = c->GetParent())
        enters.push_back(c);
    std::reverse(enters.begin(), enters.end());

    ScopedWalk exitGuard(exits);
    ScopedWalk enterGuard(enters);
    for (TControl* c : exits) {
        if (c != nullptr)
            c->Perform(CM_EXIT, 0, 0);
        if (RootFocus()[root] != newFocus)
            return;
    }
    for (TControl* c : enters) {
        if (c != nullptr)
            c->Perform(CM_ENTER, 0, 0);
        if (RootFocus()[root] != newFocus)
            return;
    }
    root->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<std::intptr_t>(newFocus));
}

void DeliverMouseEnterLeave(TControl* target)
{
    TControl* capture = gCaptureControl;
    if (gMouseControl == target)
        return;
    TControl* old = gMouseControl;
    gMouseControl = target;
    // While a control holds the mouse, only it hears about the pointer coming and going.
    if (old != nullptr && (capture == nullptr || old == capture))
        old->Perform(CM_MOUSELEAVE, 0, 0);
    if (gMouseControl == target && target != nullptr && (capture == nullptr || target == capture))
        target->Perform(CM_MOUSEENTER, 0, 0);
}

}  // namespace controls_detail

using namespace controls_detail;

// ---------------------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner)
    : TComponent(owner), FConstraints(std::make_unique<TSizeConstraints>(this)), FColor(clWindow),
      FFont(std::make_unique<TFont>()), FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks}
{
    FWindowProc = TWndMethod(this, &TControl::WndProc);
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
    FConstraints->OnChange = TNotifyEvent(this, &TControl::ConstraintsChanged);
}

TControl::~TControl()
{
    ForgetControl(this);
    for (auto& [root, focus] : RootFocus())
        if (focus == this)
            focus = nullptr;
    if (FParent != nullptr)
        FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* value)
{
    if (FParent == value)
        return;
    if (value == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    // Moved from one parent straight to another, a windowed control keeps its window, its children's windows,
    // the focus and the mouse (a docked window floats off in the middle of a drag).
    auto* win = dynamic_cast<TWinControl*>(this);
    struct KeepWindow {
        TWinControl* Control;
        ~KeepWindow()
        {
            if (Control != nullptr)
                Control->FKeepWindow = false;
        }
    } keep{win != nullptr && FParent != nullptr && value != nullptr && win->HandleAllocated() ? win : nullptr};
    if (keep.Control != nullptr)
        keep.Control->FKeepWindow = true;
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    if (value != nullptr)
        value->InsertControl(this);
}

void TControl::SetVisible(bool value)
{
    if (FVisible == value)
        return;
    VisibleChanging();
    FVisible = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::VisibleChanging() {}

void TControl::Show() { SetVisible(true); }

void TControl::Hide() { SetVisible(false); }

bool TControl::GetShowing() const { return FVisible && (FParent == nullptr || FParent->GetShowing()); }

void TControl::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor value)
{
    if (FColor != value) {
        FColor = value;
        FParentColor = false;
        Perform(CM_COLORCHANGED, 0, 0);
        return;
    }
    FParentColor = false;
}

void TControl::SetParentColor(bool value) { SetParentFlag(FParentColor, value, CM_PARENTCOLORCHANGED); }

void TControl::SetParentFlag(bool& field, bool value, std::uint32_t msg)
{
    if (field == value)
        return;
    field = value;
    // Following the parent again takes its value at once.
    if (value && FParent != nullptr)
        Perform(msg, 0, 0);
}

void TControl::SetFont(const TFont* value) { FFont->Assign(value); }

void TControl::FontChanged(TObject*)
{
    if (!FApplyingParentFont)
        FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) { SetParentFlag(FParentFont, value, CM_PARENTFONTCHANGED); }

void TControl::SetCursor(TCursor value)
{
    if (FCursor == value)
        return;
    FCursor = value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetHint(const std::string& value) { FHint = value; }

void TControl::SetShowHint(bool value)
{
    FParentShowHint = false;
    if (FShowHint == value)
        return;
    FShowHint = value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) { SetParentFlag(FParentShowHint, value, CM_PARENTSHOWHINTCHANGED); }

void TControl::SetPopupMenu(TPopupMenu* value)
{
    if (FPopupMenu == value)
        return;
    if (FPopupMenu != nullptr)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

std::string TControl::GetText() const { return GetTextValue(); }

void TControl::SetText(const std::string& value)
{
    if (GetTextValue() == value)
        return;
    SetTextValue(value);
    Perform(CM_TEXTCHANGED, 0, 0);
}

std::string TControl::GetTextValue() const { return FText; }

void TControl::SetTextValue(const std::string& value) { FText = value; }

bool TControl::GetMouseCapture() const { return gCaptureControl == this; }

void TControl::SetMouseCapture(bool value)
{
    if (GetMouseCapture() == value)
        return;
    SetCaptureControl(value ? this : nullptr);
}

void TControl::InitiateAction()
{
    if (FActionLink != nullptr)
        FActionLink->Update();
}

TBasicAction* TControl::GetAction() const { return FActionLink != nullptr ? FActionLink->GetAction() : nullptr; }

void TControl::SetAction(TBasicAction* value)
{
    if (value == GetAction())
        return;
    if (TBasicAction* old = GetAction())
        old->RemoveFreeNotification(this);
    if (value == nullptr) {
        FActionLink.reset();
        FControlStyle.Exclude(csActionClient);
        return;
    }
    if (FActionLink == nullptr)
        FActionLink = std::make_unique<TControlActionLink>(this);
    FActionLink->SetAction(value);
    FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
    FControlStyle.Include(csActionClient);
    value->FreeNotification(this);
    ActionChange(value, GetComponentState().Contains(csLoading));
}

void TControl::DoActionChange(TObject* sender)
{
    // The link's setters already copied what is linked; a full copy here would undo values set by hand.
    if (FActionLink != nullptr && sender == FActionLink->GetAction())
        ActionChange(sender, true);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr)
        return;
    if (!checkDefaults || GetCaption().empty() || GetCaption() == GetName())
        SetCaption(action->GetCaption());
    if (!checkDefaults || GetEnabled())
        SetEnabled(action->GetEnabled());
    if (!checkDefaults || GetHint().empty())
        SetHint(action->GetHint());
    if (!checkDefaults || GetVisible())
        SetVisible(action->GetVisible());
    if (!checkDefaults || !OnClick)
        OnClick = action->OnExecute;
}

void TControl::SetWindowProc(const TWndMethod& value)
{
    FWindowProc = value ? value : TWndMethod(this, &TControl::WndProc);
}

std::intptr_t TControl::Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    FWindowProc(message);
    return message.Result;
}

void TControl::Click()
{
    // A click runs the action unless the control was given a handler of its own.
    if (FActionLink != nullptr && FActionLink->GetAction() != nullptr && (!OnClick || FActionLink->IsOnExecuteLinked()))
        FActionLink->Execute(this);
    else
        OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }

void TControl::Resize() { OnResize(this); }

void TControl::ChangeScale(int multiplier, int divider)
{
    if (multiplier == divider || divider == 0)
        return;
    SetBounds(MulDiv(FLeft, multiplier, divider), MulDiv(FTop, multiplier, divider),
              MulDiv(FWidth, multiplier, divider), MulDiv(FHeight, multiplier, divider));
}

void TControl::DoContextPopup(POINT mousePos, bool& handled) { OnContextPopup(this, mousePos, handled); }

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu)
        FPopupMenu = nullptr;
    if (operation == opRemove && FActionLink != nullptr && component == FActionLink->GetAction())
        SetAction(nullptr);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::RequestAlign()
{
    // This control is the one that moved: it goes first among aligned controls at the same place.
    if (FParent != nullptr)
        FParent->AlignFor(this);
}

void TControl::Invalidate()
{
    if (FParent == nullptr || !FParent->HandleAllocated() || !GetVisible())
        return;
    const RECT r = GetBoundsRect();
    InvalidateRect(FParent->GetHandle(), &r, !FControlStyle.Contains(csOpaque));
}

void TControl::Update()
{
    if (FParent != nullptr)
        FParent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

TCustomForm* TControl::GetParentForm() const
{
    const TControl* c = this;
    while (c->GetParent() != nullptr)
        c = c->GetParent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TWinControl* TControl::GetWindowedSelf()
{
    if (auto* self = dynamic_cast<TWinControl*>(this))
        return self;
    return FParent;
}

const TPropertyTable& TControl::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TComponent::ClassProperties())
            .String("Caption", &TControl::GetCaption, &TControl::SetCaption)
            .String("Text", &TControl::GetText, &TControl::SetText)
            .String("Hint", &TControl::GetHint, &TControl::SetHint)
            .Integer("Left", &TControl::GetLeft, &TControl::SetLeft)
            .Integer("Top", &TControl::GetTop, &TControl::SetTop)
            .Integer("Width", &TControl::GetWidth, &TControl::SetWidth)
            .Integer("Height", &TControl::GetHeight, &TControl::SetHeight)
            .Integer("Color", &TControl::GetColor, &TControl::SetColor)
            .Enumeration("Visible", &TControl::GetVisible, &TControl::SetVisible, {"False", "True"})
            .Enumeration("Enabled", &TControl::GetEnabled, &TControl::SetEnabled, {"False", "True"})
            .Enumeration("Align", &TControl::GetAlign, &TControl::SetAlign,
                         {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return table;
}

const TPropertyTable& TControl::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    // The parent's RemoveControl, called from ~TControl, no longer sees a windowed control.
    if (FParent != nullptr)
        std::erase(FParent->FTabList, this);
    // A parent frees the controls placed on it, the last first; each leaves its owner as it goes.
    while (!FControls.empty())
        delete FControls.back();
    if (FHandle != nullptr)
        DestroyHandle();
    RootFocus().erase(this);
}

TControl* TWinControl::GetControl(int index) const
{
    if (index < 0 || index >= GetControlCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FControls[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    return control != nullptr && control != this && IsAncestorOrSelf(this, control);
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls, bool allLevels) const
{
    auto hit = [&](TControl* c) {
        return c->GetVisible() && (allowDisabled || c->GetEnabled()) && PointIn(c->GetBoundsRect(), pos);
    };
    // Windowed children lie above the windowless ones, which are painted on this control's surface.
    if (allowWinControls || allLevels) {
        for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
            auto* win = dynamic_cast<TWinControl*>(*it);
            if (win == nullptr || !hit(win))
                continue;
            if (allLevels) {
                const POINT client = win->ScreenToClient(ClientToScreen(pos));
                if (TControl* deeper = win->ControlAtPos(client, allowDisabled, true, true))
                    return deeper;
            }
            return win;
        }
    }
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (dynamic_cast<TWinControl*>(*it) == nullptr && hit(*it))
            return *it;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message)
{
    std::vector<TControl*> controls = FControls;
    ScopedWalk guard(controls);
    for (TControl* c : controls) {
        if (c == nullptr)
            continue;
        c->GetWindowProc()(message);
        if (message.Result != 0)
            return;
    }
}

void TWinControl::InsertControl(TControl* control)
{
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<std::uintptr_t>(control), 1);
    control->FParent = this;
    FControls.push_back(control);
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        FTabList.push_back(win);
        if (win->HandleAllocated()) {
            // A window kept across the move needs a window to go into; this control makes one if it can.
            if (win->FKeepWindow && !HandleAllocated() && CanMakeHandle())
                HandleNeeded();
            if (HandleAllocated()) {
                ui::SetParent(win->FHandle, FHandle);
                if (win->FKeepWindow)
                    KeepFocusIn(win);
            } else {
                win->DestroyHandle();
            }
        }
    }
    if (!control->GetComponentState().Contains(csLoading)) {
        control->UpdateAnchorRules();
    }
    control->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    control->Perform(CM_PARENTFONTCHANGED, 0, 0);
    control->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        // A kept window shows or hides with its new parent; a new one waits until the parents show.
        if (win->FKeepWindow && win->HandleAllocated())
            win->UpdateShowing();
        else
            win->UpdateControlState();
    } else {
        control->Invalidate();
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<std::uintptr_t>(control), 1);
    Realign();
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end())
        return;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<std::uintptr_t>(control), 0);
    control->Invalidate();
    // The focus bookkeeping of the root falls back to this control when the focus sat inside the removed one.
    TWinControl* root = RootOf(this);
    auto focus = RootFocus().find(root);
    if (focus != RootFocus().end() && focus->second != nullptr && IsAncestorOrSelf(control, focus->second))
        focus->second = this;
    auto* win = dynamic_cast<TWinControl*>(control);
    const bool keep = win != nullptr && win->FKeepWindow;
    if (gMouseControl != nullptr && IsAncestorOrSelf(control, gMouseControl))
        gMouseControl = nullptr;
    if (!keep && gCaptureControl != nullptr && IsAncestorOrSelf(control, gCaptureControl))
        SetCaptureControl(nullptr);
    FControls.erase(std::find(FControls.begin(), FControls.end(), control));
    if (win != nullptr) {
        std::erase(FTabList, win);
        if (!keep && win->HandleAllocated() && win->FParentWindow == nullptr)
            win->DestroyHandle();
    }
    control->FParent = nullptr;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<std::uintptr_t>(control), 0);
    Realign();
}

bool TWinControl::CanMakeHandle() const
{
    const TWinControl* root = this;
    for (; root->GetParent() != nullptr; root = root->GetParent())
        if (root->HandleAllocated())
            return true;
    return root->HandleAllocated() || root->CanShowAsRoot();
}

void TWinControl::KeepFocusIn(TWinControl* moved)
{
    // The layer's focus did not move; the new root's bookkeeping learns where it is, without enter or exit.
    TWinControl* focus = FindControl(ui::GetFocus());
    if (focus != nullptr && IsAncestorOrSelf(moved, focus))
        RootFocus()[RootOf(this)] = focus;
}

TWinControl* TWinControl::FindControl(HWND handle)
{
    if (handle == nullptr)
        return nullptr;
    auto it = WindowControls().find(handle);
    return it == WindowControls().end() ? nullptr : it->second;
}

HWND TWinControl::GetHandle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle != nullptr)
        return;
    if (FParent != nullptr)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = FText;
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (FTabStop)
        params.Style |= WS_TABSTOP;
    if (!GetEnabled())
        params.Style |= WS_DISABLED;
    params.ExStyle = 0;
    params.X = GetLeft();
    params.Y = GetTop();
    params.Width = GetWidth();
    params.Height = GetHeight();
    params.WndParent = GetParent() != nullptr ? GetParent()->GetHandle() : FParentWindow;
    params.ClassStyle = CS_VREDRAW | CS_HREDRAW;
    if (GetControlStyle().Contains(csDoubleClicks))
        params.ClassStyle |= CS_DBLCLKS;
    params.WinClassName = ClassNameOf(*this);
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) != 0 && params.WndParent == nullptr)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    CreateWindowHandle(params);
    if (FHandle == nullptr)
        throw EInvalidOperation("Error creating window");
}

void TWinControl::CreateWindowHandle(const TCreateParams& params)
{
    WNDCLASS windowClass;
    if (!GetClassInfo(params.WinClassName, windowClass)) {
        windowClass.lpszClassName = params.WinClassName;
        windowClass.style = params.ClassStyle;
        RegisterClass(windowClass);
    }
    FDefWndProc = windowClass.lpfnWndProc;
    CreateWindowInfo info;
    info.ExStyle = params.ExStyle;
    info.ClassName = params.WinClassName;
    info.WindowName = params.Caption;
    info.Style = params.Style;
    info.X = params.X;
    info.Y = params.Y;
    info.Width = params.Width;
    info.Height = params.Height;
    info.Parent = params.WndParent;
    info.WindowProc = [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        return MainWndProc(window, msg, wParam, lParam);
    };
    HWND handle = CreateWindowEx(info);
    if (handle != nullptr) {
        FHandle = handle;
        WindowControls()[handle] = this;
        // Class styles are per window here, so a control's own CreateParams decide them.
        SetClassStyle(handle, params.ClassStyle);
    }
}

void TWinControl::CreateHandle()
{
    if (FHandle != nullptr)
        return;
    CreateWnd();
    // Children that already had windows were made before this one existed; none can, so only z-order
    // and alignment need doing now that the client size is known.
    Realign();
}

void TWinControl::DestroyHandle()
{
    if (FHandle == nullptr)
        return;
    for (TControl* c : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(c))
            win->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    FText = ui::GetWindowText(FHandle);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    FControlState.Include(csDestroyingHandle);
    HWND handle = FHandle;
    if (gCaptureControl != nullptr && gCaptureControl->GetWindowedSelf() == this)
        gCaptureControl = nullptr;
    DestroyWindow(handle);
    WindowControls().erase(handle);
    FHandle = nullptr;
    FShowing = false;
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd()
{
    if (FHandle == nullptr)
        return;
    DestroyHandle();
    UpdateControlState();
}

void TWinControl::SetParentWindow(HWND value)
{
    if (FParentWindow == value)
        return;
    FParentWindow = value;
    if (GetParent() == nullptr) {
        if (FHandle != nullptr)
            DestroyHandle();
        UpdateControlState();
    }
}

bool TWinControl::CanShowAsRoot() const { return FParentWindow != nullptr; }

void TWinControl::UpdateControlState()
{
    for (TWinControl* c = GetParent(); c != nullptr; c = c->GetParent())
        if (!c->FShowing)
            return;
    if (GetParent() == nullptr && !CanShowAsRoot())
        return;
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    const bool show = GetVisible() && (GetParent() != nullptr ? GetParent()->FShowing : CanShowAsRoot());
    if (show) {
        if (FHandle == nullptr)
            CreateHandle();
        SetShowing(true);
        std::vector<TControl*> children = FControls;
        for (TControl* c : children)
            if (auto* win = dynamic_cast<TWinControl*>(c))
                win->UpdateShowing();
    } else {
        std::vector<TControl*> children = FControls;
        for (TControl* c : children)
            if (auto* win = dynamic_cast<TWinControl*>(c))
                win->UpdateShowing();
        SetShowing(false);
    }
}

void TWinControl::SetShowing(bool value)
{
    if (FHandle == nullptr || FShowing == value)
        return;
    FShowing = value;
    try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
        FShowing = !value;
        throw;
    }
}

bool TWinControl::GetShowing() const { return FShowing; }

void TWinControl::SetEnabled(bool value) { TControl::SetEnabled(value); }

void TWinControl::Invalidate()
{
    if (FHandle != nullptr)
        InvalidateRect(FHandle, nullptr, !GetControlStyle().Contains(csOpaque));
}

void TWinControl::Update()
{
    if (FHandle != nullptr)
        UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first)
{
    auto it = first != nullptr ? std::find(FControls.begin(), FControls.end(), first) : FControls.begin();
    std::vector<TControl*> controls(it, FControls.end());
    ScopedWalk guard(controls);
    for (TControl* c : controls) {
        if (c == nullptr || dynamic_cast<TWinControl*>(c) != nullptr || !c->GetVisible())
            continue;
        const RECT bounds = c->GetBoundsRect();
        if (!RectVisible(dc, &bounds))
            continue;
        const int saved = SaveDC(dc);
        OffsetWindowOrgEx(dc, -c->GetLeft(), -c->GetTop(), nullptr);
        IntersectClipRect(dc, 0, 0, c->GetWidth(), c->GetHeight());
        try {
            c->Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(dc), 0);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& message)
{
    PAINTSTRUCT paint;
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const bool own = dc == nullptr;
    if (own)
        dc = BeginPaint(FHandle, &paint);
    try {
        const int saved = SaveDC(dc);
        // Opaque windowless children paint their own area; the window's paint leaves it out.
        for (TControl* c : FControls)
            if (dynamic_cast<TWinControl*>(c) == nullptr && c->GetVisible() &&
                c->GetControlStyle().Contains(csOpaque)) {
                const RECT r = c->GetBoundsRect();
                ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            }
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (own)
            EndPaint(FHandle, &paint);
        throw;
    }
    if (own)
        EndPaint(FHandle, &paint);
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    const int saved = SaveDC(dc);
    OffsetWindowOrgEx(dc, -x, -y, nullptr);
    IntersectClipRect(dc, 0, 0, GetWidth(), GetHeight());
    Perform(WM_ERASEBKGND, reinterpret_cast<std::uintptr_t>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<std::uintptr_t>(dc), 0);
    RestoreDC(dc, saved);
}

std::string TWinControl::GetTextValue() const { return FHandle != nullptr ? ui::GetWindowText(FHandle) : FText; }

void TWinControl::SetTextValue(const std::string& value)
{
    FText = value;
    if (FHandle != nullptr)
        SetWindowText(FHandle, value);
}

void TWinControl::Notification(TComponent* component, TOperation operation)
{
    TControl::Notification(component, operation);
}

LRESULT TWinControl::MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (FHandle == nullptr) {
        FHandle = window;
        WindowControls()[window] = this;
    }
    TMessage message{msg, wParam, lParam, 0};
    try {
        GetWindowProc()(message);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
    return message.Result;
}

void TWinControl::NotifyChildren(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::vector<TControl*> children = FControls;
    ScopedWalk guard(children);
    for (TControl* c : children)
        if (c != nullptr)
            c->Perform(msg, wParam, lParam);
}

const TPropertyTable& TWinControl::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TControl::ClassProperties())
            .Integer("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder)
            .Enumeration("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop, {"False", "True"});
    return table;
}

const TPropertyTable& TWinControl::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TControlActionLink

const TCustomAction* TControlActionLink::Action() const { return dynamic_cast<const TCustomAction*>(FAction); }

bool TControlActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && FClient->GetCaption() == Action()->GetCaption();
}

bool TControlActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && FClient->GetEnabled() == Action()->GetEnabled();
}

bool TControlActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && FClient->GetHint() == Action()->GetHint();
}

bool TControlActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && FClient->GetVisible() == Action()->GetVisible();
}

bool TControlActionLink::IsOnExecuteLinked() const
{
    return TActionLink::IsOnExecuteLinked() && FAction != nullptr && FClient->OnClick == FAction->OnExecute;
}

void TControlActionLink::SetCaption(const std::string& value)
{
    if (IsCaptionLinked())
        FClient->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value)
{
    if (IsEnabledLinked())
        FClient->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::string& value)
{
    if (IsHintLinked())
        FClient->SetHint(value);
}

void TControlActionLink::SetVisible(bool value)
{
    if (IsVisibleLinked())
        FClient->SetVisible(value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& value)
{
    if (IsOnExecuteLinked())
        FClient->OnClick = value;
}

// ---------------------------------------------------------------------------------------------------------
// TCustomControl and TGraphicControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(
        this, [this]() { return GetDC(GetHandle()); }, [this](HDC dc) { ReleaseDC(GetHandle(), dc); });
}

TCustomControl::~TCustomControl() { FCanvas->FreeHandle(); }

TCanvas* TCustomControl::GetCanvas() const { return FCanvas.get(); }

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC dc)
{
    PaintThrough(*FCanvas, dc, [this] { Paint(); });
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(std::make_unique<TControlCanvas>())
{
    // Outside a paint the canvas draws through a DC of the parent, moved to this control's corner.
    FCanvas->SetControl(
        this,
        [this]() -> HDC {
            if (GetParent() == nullptr)
                throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
            HDC dc = GetDC(GetParent()->GetHandle());
            SetWindowOrgEx(dc, -GetLeft(), -GetTop(), nullptr);
            IntersectClipRect(dc, 0, 0, GetWidth(), GetHeight());
            return dc;
        },
        [this](HDC dc) {
            if (GetParent() != nullptr)
                ReleaseDC(GetParent()->GetHandle(), dc);
        });
}

TGraphicControl::~TGraphicControl() { FCanvas->FreeHandle(); }

TCanvas* TGraphicControl::GetCanvas() const { return FCanvas.get(); }

void TGraphicControl::Paint() {}

void TGraphicControl::WMPaint(TMessage& message)
{
    if (message.WParam == 0)
        TControl::WMPaint(message);
    else
        PaintThrough(*FCanvas, reinterpret_cast<HDC>(message.WParam), [this] { Paint(); });
}

// ---------------------------------------------------------------------------------------------------------
// Message-only windows

HWND AllocateHWnd(const TWndMethod& method)
{
    // The method takes over once the window exists: it cannot know the handle during creation, and a method
    // that leaves WM_NCCREATE unanswered would refuse the window.
    auto created = std::make_shared<bool>(false);
    CreateWindowInfo info;
    info.ClassName = "TPUtilWindow";
    info.Parent = HWND_MESSAGE;
    info.WindowProc = [method, created](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (!*created || !method)
            return DefWindowProc(window, msg, wParam, lParam);
        TMessage message{msg, wParam, lParam, 0};
        try {
            method(message);
        } catch (...) {
            ReportException(std::current_exception());
            return 0;
        }
        return message.Result;
    };
    HWND window = CreateWindowEx(info);
    *created = true;
    return window;
}

void DeallocateHWnd(HWND window)
{
    if (window != nullptr)
        DestroyWindow(window);
}

// ---------------------------------------------------------------------------------------------------------
// TFormBuilder

TFormBuilder::TFormBuilder(TComponent& root) : FRoot(&root) { BeginLoading(root); }

TFormBuilder::~TFormBuilder()
{
    if (FFinished)
        return;
    try {
        Finish();
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void TFormBuilder::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    EndLoading(*FRoot);
    // A form's OnCreate sees the whole tree loaded, as after a stream load.
    if (auto* form = dynamic_cast<TCustomForm*>(FRoot))
        form->DoCreate();
}

}  // namespace ovrel::toolkit
