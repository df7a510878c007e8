#include "toolkit/Forms.h"

#include "platform/ui/QtText.h"
#include "platform/ui/Services.h"
#include "toolkit/Lists.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

#include <QFontDatabase>
#include <QPoint>
#include <QString>
#include <QToolTip>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace ovrel::toolkit {

using namespace ovrel::ui;

namespace {

TApplication* gApplication = nullptr;

// Sends every exception the layer catches to the application, which may have an OnException.
class ApplicationExceptionHandler final : public IExceptionHandler {
public:
    explicit ApplicationExceptionHandler(TApplication& application) : FApplication(application) {}
    void Report(std::exception_ptr exception) noexcept override { FApplication.HandleException(exception); }

private:
    TApplication& FApplication;
};

void WriteToStandardError(std::exception_ptr exception) noexcept
{
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}

// Idle-time action updates for a showing control and everything showing on it.
void UpdateActions(TControl* control)
{
    control->InitiateAction();
    if (auto* win = dynamic_cast<TWinControl*>(control))
        for (int i = 0; i < win->GetControlCount(); ++i)
            if (TControl* child = win->GetControl(i); child->GetVisible())
                UpdateActions(child);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    // A form shows when asked to, never by being made.
    FVisible = false;
    SetControlStyle(GetControlStyle().Include(csAcceptsControls));
    SetBounds(0, 0, 320, 240);
}

TCustomForm::~TCustomForm() = default;

TWinControl* TCustomForm::GetActiveControl() const
{
    TWinControl* focus = GetRootFocus(this);
    return focus == this ? nullptr : focus;
}

void TCustomForm::SetActiveControl(TWinControl* value)
{
    if (value == nullptr || value == this) {
        if (HandleAllocated())
            ui::SetFocus(GetHandle());
        return;
    }
    if (value->GetParentForm() != this || !value->CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    value->SetFocus();
}

void TCustomForm::Show()
{
    const bool placing = !GetVisible();
    if (placing)
        ApplyPosition();
    const TRestore placingScope(FPlacing, placing);
    SetVisible(true);
    ApplyWindowState();
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::Close()
{
    if (FModal) {
        // A modal form closes by ending its loop, which hides it.
        TCloseAction action = caHide;
        OnClose(this, action);
        if (action != caNone)
            FModalResult = mrCancel;
        return;
    }
    TCloseAction action = caHide;
    OnClose(this, action);
    switch (action) {
    case caNone: return;
    case caHide: Hide(); break;
    case caFree: Release(); break;
    case caMinimize:
        if (HandleAllocated())
            ShowWindow(GetHandle(), SW_MINIMIZE);
        break;
    }
    if (gApplication != nullptr && gApplication->GetMainForm() == this)
        gApplication->Terminate();
}

TModalResult TCustomForm::ShowModal()
{
    if (GetVisible() || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    SendCancelMode();
    // The other forms stay disabled while this one runs, as a modal dialog needs.
    std::vector<HWND> disabled;
    for (HWND window : GetTopLevelWindows())
        if (IsWindowVisible(window) != FALSE && IsWindowEnabled(window) != FALSE) {
            EnableWindow(window, FALSE);
            disabled.push_back(window);
        }
    auto restore = [&disabled] {
        for (HWND window : disabled)
            if (IsWindow(window) != FALSE)
                EnableWindow(window, TRUE);
    };
    FModal = true;
    FModalResult = mrNone;
    TModalResult result = mrNone;
    try {
        Show();
        // Shown again, a dialog would stay beneath the (now disabled) form that was active since its last use.
        SetActiveWindow(GetHandle());
        // A dialog opens with its first control focused, so typing and Enter reach it at once.
        if (GetActiveControl() == nullptr)
            SelectFirst();
        TApplication* application = Application();
        while (FModalResult == mrNone) {
            application->HandleMessage();
            if (application->GetTerminated() && FModalResult == mrNone)
                FModalResult = mrCancel;
        }
        result = FModalResult;
    } catch (...) {
        FModal = false;
        restore();
        Hide();
        throw;
    }
    FModal = false;
    restore();
    Hide();
    return result;
}

void TCustomForm::SetModalResult(TModalResult value)
{
    FModalResult = value;
    // A result set by input Qt delivered inside the wait (not through the queue) would leave the loop asleep.
    if (FModal && value != mrNone && HandleAllocated())
        PostMessage(GetHandle(), WM_NULL, 0, 0);
}

void TCustomForm::Release() { PostMessage(GetHandle(), CM_RELEASE, 0, 0); }

bool TCustomForm::IsShortCut(TMessage& message)
{
    bool handled = false;
    OnShortCut(message, handled);
    return handled;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    if (FBorderIcons == value)
        return;
    FBorderIcons = value;
    if (HandleAllocated())
        RecreateWnd();
}

TWindowState TCustomForm::GetWindowState() const
{
    if (!HandleAllocated() || !GetShowing())
        return FWindowState;
    if (IsIconic(FHandle) != FALSE)
        return wsMinimized;
    return IsZoomed(FHandle) != FALSE ? wsMaximized : wsNormal;
}

void TCustomForm::SetWindowState(TWindowState value)
{
    FWindowState = value;
    if (GetShowing())
        ApplyWindowState();
}

void TCustomForm::ApplyWindowState()
{
    static constexpr int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    if (HandleAllocated() && GetWindowState() != FWindowState)
        ShowWindow(FHandle, commands[FWindowState]);
}

void TCustomForm::ApplyPosition()
{
    if (FPosition == poDesigned)
        return;
    const std::vector<MonitorRects> monitors = Screens().Monitors();
    const MonitorRects* screen = &monitors.front();
    // Centred on another form when it is there and shown, else on the screen.
    const TCustomForm* centre = nullptr;
    if (FPosition == poMainFormCenter && gApplication != nullptr)
        centre = gApplication->GetMainForm();
    else if (FPosition == poOwnerFormCenter)
        centre = dynamic_cast<const TCustomForm*>(GetOwner());
    if (centre == this || (centre != nullptr && !centre->GetShowing()))
        centre = nullptr;
    RECT around = screen->Work;
    if (centre != nullptr) {
        around = RECT{centre->GetLeft(), centre->GetTop(), centre->GetLeft() + centre->GetWidth(),
                      centre->GetTop() + centre->GetHeight()};
        // The form goes on the screen of the form it is centred on.
        const POINT middle{(around.left + around.right) / 2, (around.top + around.bottom) / 2};
        for (const MonitorRects& m : monitors)
            if (middle.x >= m.Monitor.left && middle.x < m.Monitor.right && middle.y >= m.Monitor.top &&
                middle.y < m.Monitor.bottom)
                screen = &m;
    }
    const RECT work = screen->Work;
    int left = work.left;
    int top = work.top;
    if (FPosition != poDefault) {
        left = (around.left + around.right - GetWidth()) / 2;
        top = (around.top + around.bottom - GetHeight()) / 2;
    }
    // Kept on the work area, the top-left first, so the caption can always be reached.
    left = std::max(work.left, std::min(left, work.right - GetWidth()));
    top = std::max(work.top, std::min(top, work.bottom - GetHeight()));
    SetBounds(left, top, GetWidth(), GetHeight());
}

void TCustomForm::DoCreate()
{
    if (FCreated)
        return;
    FCreated = true;
    OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    switch (FBorderStyle) {
    case bsNone: params.Style = WS_POPUP; break;
    case bsSizeable:
        params.Style = WS_CAPTION | WS_THICKFRAME;
        if (FBorderIcons.Contains(biMinimize))
            params.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons.Contains(biMaximize))
            params.Style |= WS_MAXIMIZEBOX;
        break;
    case bsDialog:
        params.Style = WS_POPUP | WS_CAPTION | WS_DLGFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style = WS_CAPTION;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    // A frameless window has no system menu; the help button shares the caption only with the close button.
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        if (FBorderIcons.Contains(biHelp) && (params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0)
            params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    params.Style |= WS_CLIPCHILDREN;
    if (!GetEnabled())
        params.Style |= WS_DISABLED;
    params.WndParent = GetParentWindow();
}

void TCustomForm::BeforeDestruction()
{
    // Freeing cannot be stopped half-way: a failing handler is reported, not thrown.
    try {
        OnDestroy(this);
    } catch (...) {
        ReportException(std::current_exception());
    }
    TWinControl::BeforeDestruction();
}

void TCustomForm::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_ACTIVATE: WMActivate(message); return;
    case WM_CLOSE: WMClose(message); return;
    case WM_SYSCOMMAND: WMSysCommand(message); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(message); return;
    case WM_SETTINGCHANGE: WMSettingChange(message); return;
    case CM_RELEASE: CMRelease(message); return;
    default: TWinControl::Dispatch(message);
    }
}

void TCustomForm::WMActivate(TMessage& message)
{
    if (LOWORD(message.WParam) == WA_INACTIVE) {
        DefaultHandler(message);
        OnDeactivate(this);
        return;
    }
    // Coming back, the focus returns to the control that had it, not to the form as the default would.
    TWinControl* active = GetActiveControl();
    if (active != nullptr && active->CanFocus()) {
        message.Result = 0;
        if (!active->Focused())
            active->SetFocus();
    } else {
        DefaultHandler(message);
    }
    OnActivate(this);
}

void TCustomForm::WMClose(TMessage& message)
{
    // The default would destroy the window under the control; closing is the form's decision.
    Close();
    message.Result = 0;
}

void TCustomForm::WMSysCommand(TMessage& message)
{
    // The keyboard's way into the menu bar is offered to the main-window hooks first.
    if ((message.WParam & 0xFFF0) == SC_KEYMENU && gApplication != nullptr) {
        TMessage forwarded{CM_APPSYSCOMMAND, 0, reinterpret_cast<std::intptr_t>(&message), 0};
        if (gApplication->CallMainWindowHooks(forwarded)) {
            message.Result = 0;
            return;
        }
    }
    DefaultHandler(message);
}

void TCustomForm::CMRelease(TMessage&) { delete this; }

void TCustomForm::WMSysColorChange(TMessage& message)
{
    Perform(CM_SYSCOLORCHANGE, 0, 0);
    DefaultHandler(message);
}

void TCustomForm::WMSettingChange(TMessage& message)
{
    Perform(CM_WININICHANGE, message.WParam, message.LParam);
    DefaultHandler(message);
}

void TCustomForm::CMDialogKey(TMessage& message)
{
    // The controls see the key first (default and cancel buttons); then Tab walks the tab order.
    TWinControl::CMDialogKey(message);
    if (message.Result == 0 && message.WParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        SelectNext(GetActiveControl(), GetKeyState(VK_SHIFT) >= 0, true);
        message.Result = 1;
    }
}

void TCustomForm::CMShowingChanged(TMessage& message)
{
    if (GetShowing()) {
        const int width = GetWidth();
        const int height = GetHeight();
        OnShow(this);
        // A form that sizes itself as it shows (a dialog fitting its rows) is placed on its final size, before
        // its window appears.
        if (FPlacing && (GetWidth() != width || GetHeight() != height))
            ApplyPosition();
    }
    TWinControl::CMShowingChanged(message);
    if (!GetShowing())
        OnHide(this);
}

// ---------------------------------------------------------------------------------------------------------
// TApplication

namespace {

inline constexpr UINT_PTR kHintTimer = 1;
inline constexpr UINT kHintPause = 500;  // ms the mouse rests before a hint shows
inline constexpr UINT kHintReshowPause = 50;  // ms from one control to the next while a hint shows
inline constexpr int kHintCursorOffset = 20;  // the hint shows below the pointer, clear of it

void ShowToolTip(const std::string& text, POINT screenPos)
{
    if (text.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(QPoint(screenPos.x, screenPos.y), ToQString(text));
}

// A rectangle in the control's client coordinates, on the screen.
RECT ClientRectToScreen(const TControl* control, const RECT& r)
{
    const POINT topLeft = control->ClientToScreen({r.left, r.top});
    const POINT bottomRight = control->ClientToScreen({r.right, r.bottom});
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool IsPressOrKey(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return true;
    default: return false;
    }
}

}  // namespace

struct TApplication::Impl {
    explicit Impl(TApplication& application) : Handler(application) {}
    ApplicationExceptionHandler Handler;
    IExceptionHandler* Previous = nullptr;
};

TApplication::TApplication(TComponent* owner)
    : TComponent(owner), FHintDisplay(ShowToolTip), FImpl(std::make_unique<Impl>(*this))
{
    FImpl->Previous = SetExceptionHandler(&FImpl->Handler);
    if (gApplication == nullptr)
        gApplication = this;
}

TApplication::~TApplication()
{
    HideHint();
    SetHintControl(nullptr);
    if (FHandle != nullptr)
        DeallocateHWnd(FHandle);
    if (&ExceptionHandler() == &FImpl->Handler)
        SetExceptionHandler(FImpl->Previous);
    if (gApplication == this)
        gApplication = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE)
        return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (IsPressOrKey(msg.message))
        CancelHint();
    try {
        if (IsKeyMsg(msg))
            return true;
    } catch (...) {
        HandleException(std::current_exception());
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (msg.message == WM_MOUSEMOVE) {
        POINT cursor{};
        if (GetCursorPos(&cursor) != FALSE)
            HintMouseCheck(GetMouseControl(), cursor);
    }
    return true;
}

bool TApplication::IsKeyMsg(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    TWinControl* target = nullptr;
    for (HWND w = msg.hwnd; w != nullptr && target == nullptr; w = ui::GetParent(w))
        target = TWinControl::FindControl(w);
    if (target == nullptr)
        return false;
    TMessage message{msg.message, msg.wParam, msg.lParam, 0};
    if (TCustomForm* form = target->GetParentForm(); form != nullptr && form->IsShortCut(message))
        return true;
    for (TControl* c = target; c != nullptr; c = c->GetParent())
        if (TPopupMenu* menu = c->GetPopupMenu(); menu != nullptr && menu->IsShortCut(message))
            return true;
    TMessage appKey{CM_APPKEYDOWN, msg.wParam, msg.lParam, 0};
    return CallMainWindowHooks(appKey);
}

void TApplication::HookMainWindow(const TWindowHook& hook) { FHooks.push_back(hook); }

void TApplication::UnhookMainWindow(const TWindowHook& hook)
{
    // One registration goes per call, so a hook added twice needs two removals.
    if (auto it = std::find(FHooks.begin(), FHooks.end(), hook); it != FHooks.end())
        FHooks.erase(it);
}

bool TApplication::CallMainWindowHooks(TMessage& message)
{
    // A hook may unhook itself or others while it runs: walk a copy and skip those gone.
    const std::vector<TWindowHook> hooks = FHooks;
    for (const TWindowHook& hook : hooks) {
        if (std::find(FHooks.begin(), FHooks.end(), hook) == FHooks.end())
            continue;
        bool handled = false;
        hook(message, handled);
        if (handled)
            return true;
    }
    return false;
}

void TApplication::ProcessMessages()
{
    MSG msg{};
    while (!FTerminated && ProcessMessage(msg)) {}
}

void TApplication::HandleMessage()
{
    MSG msg{};
    if (!ProcessMessage(msg)) {
        Idle();
        if (!FTerminated)
            WaitMessage();
    }
}

void TApplication::Run()
{
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::Idle()
{
    try {
        POINT cursor{};
        if (GetCursorPos(&cursor) != FALSE) {
            CheckMouseControl(cursor);
            HintMouseCheck(GetMouseControl(), cursor);
        }
        for (int i = 0; i < Screen()->GetFormCount(); ++i)
            if (TCustomForm* form = Screen()->GetForm(i); form->GetShowing())
                UpdateActions(form);
        bool done = true;
        OnIdle(this, done);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TApplication::HandleException(std::exception_ptr exception)
{
    if (OnException) {
        try {
            OnException(this, exception);
            return;
        } catch (...) {
            // A failing handler must not lose the report: it falls through with its own exception.
            exception = std::current_exception();
        }
    }
    if (FImpl->Previous != nullptr)
        FImpl->Previous->Report(exception);
    else
        WriteToStandardError(exception);
}

TCustomForm* TApplication::CreateForm(const std::function<TCustomForm*(TComponent* owner)>& make)
{
    TCustomForm* form = make(this);
    if (form != nullptr && FMainForm == nullptr)
        SetMainForm(form);
    return form;
}

void TApplication::SetMainForm(TCustomForm* value)
{
    if (FMainForm == value)
        return;
    if (FMainForm != nullptr)
        FMainForm->RemoveFreeNotification(this);
    FMainForm = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

std::string TApplication::GetTitle() const
{
    if (!FTitle.empty())
        return FTitle;
    return std::filesystem::path(GetExeName()).stem().string();
}

void TApplication::SetTitle(const std::string& value)
{
    FTitle = value;
    if (FHandle != nullptr)
        SetWindowText(FHandle, GetTitle());
}

std::string TApplication::GetExeName() const
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

HWND TApplication::GetHandle()
{
    if (FHandle == nullptr) {
        FHandle = AllocateHWnd(TWndMethod(this, &TApplication::HandleProc));
        SetWindowText(FHandle, GetTitle());
    }
    return FHandle;
}

void TApplication::HandleProc(TMessage& message)
{
    if (message.Msg == WM_TIMER && message.WParam == kHintTimer) {
        HintTimerFired();
        return;
    }
    message.Result = DefWindowProc(FHandle, static_cast<UINT>(message.Msg), message.WParam, message.LParam);
}

bool TApplication::GetActive() const { return IsApplicationActive() != FALSE; }

bool TApplication::GetMinimized() const
{
    return FMainForm != nullptr && FMainForm->HandleAllocated() && IsIconic(FMainForm->GetHandle()) != FALSE;
}

bool TApplication::HelpCommand(UINT command, std::uintptr_t data)
{
    if (FHelpFile.empty())
        return false;
    return Help().Show(FHelpFile, command, data);
}

bool TApplication::HelpContext(int context) { return HelpCommand(HELP_CONTEXT, static_cast<std::uintptr_t>(context)); }

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FMainForm)
        FMainForm = nullptr;
    if (operation == opRemove && component != nullptr && component == FHintControl) {
        if (FHandle != nullptr)
            KillTimer(FHandle, kHintTimer);
        HideHint();
        FHintControl = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Hints

void TApplication::SetShowHint(bool value)
{
    if (FShowHint == value)
        return;
    FShowHint = value;
    if (!value) {
        if (FHandle != nullptr)
            KillTimer(FHandle, kHintTimer);
        HideHint();
        SetHintControl(nullptr);
    }
}

void TApplication::SetHintDisplay(THintDisplay display)
{
    FHintDisplay = display ? std::move(display) : THintDisplay(ShowToolTip);
}

void TApplication::SetHint(const std::string& value)
{
    if (FHint == value)
        return;
    FHint = value;
    OnHint(this);
}

void TApplication::CancelHint()
{
    if (FHandle != nullptr)
        KillTimer(FHandle, kHintTimer);
    HideHint();
    // The mouse still rests where it was: it must leave the part of the control the last answer covered (or,
    // when none was asked yet, the control) before a hint comes again.
    if (FHintControl != nullptr && !FHintAsked)
        FHintCursorRect = ClientRectToScreen(FHintControl, FHintControl->GetClientRect());
    FHintAsked = true;
}

void TApplication::SetHintControl(TControl* control)
{
    if (FHintControl == control)
        return;
    if (FHintControl != nullptr)
        FHintControl->RemoveFreeNotification(this);
    FHintControl = control;
    FHintAsked = false;
    if (control != nullptr)
        control->FreeNotification(this);
}

void TApplication::HideHint()
{
    if (!FHintShowing)
        return;
    FHintShowing = false;
    FHintDisplay(std::string(), POINT{});
}

void TApplication::HintMouseCheck(TControl* control, POINT screenPos)
{
    SetHint(control != nullptr ? GetLongHint(control->GetHint()) : std::string());
    // A control without a short hint of its own is asked all the same: it may answer for a part of itself.
    TControl* hintable = control;
    if (!FShowHint || hintable == nullptr || !hintable->GetShowHint())
        hintable = nullptr;
    if (hintable != FHintControl) {
        const bool wasShowing = FHintShowing;
        if (FHandle != nullptr)
            KillTimer(FHandle, kHintTimer);
        HideHint();
        SetHintControl(hintable);
        if (hintable != nullptr)
            SetTimer(GetHandle(), kHintTimer, wasShowing ? kHintReshowPause : kHintPause);
        return;
    }
    // Leaving the part the last answer covered: another part may have a hint of its own.
    if (hintable != nullptr && FHintAsked && PtInRect(&FHintCursorRect, screenPos) == FALSE) {
        const bool wasShowing = FHintShowing;
        HideHint();
        FHintAsked = false;
        SetTimer(GetHandle(), kHintTimer, wasShowing ? kHintReshowPause : kHintPause);
    }
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message)
{
    if (control == nullptr)
        return;
    const POINT client{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    HintMouseCheck(control, control->ClientToScreen(client));
}

void TApplication::HintTimerFired()
{
    KillTimer(FHandle, kHintTimer);
    TControl* control = FHintControl;
    POINT cursor{};
    if (control == nullptr || FHintAsked || FHintShowing || !FShowHint || GetCursorPos(&cursor) == FALSE)
        return;
    FHintAsked = true;  // one question per rest in a cursor rectangle
    THintInfo info;
    info.HintControl = control;
    info.CursorPos = control->ScreenToClient(cursor);
    info.HintPos = {cursor.x, cursor.y + kHintCursorOffset};
    info.CursorRect = control->GetClientRect();
    info.HintStr = GetShortHint(control->GetHint());
    const std::intptr_t veto = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&info));
    // The handler may have freed the control or moved the hint elsewhere.
    if (FHintControl != control)
        return;
    FHintCursorRect = ClientRectToScreen(control, info.CursorRect);
    // A hint belongs to its cursor rectangle: an answer for a part the pointer is not over shows nothing.
    if (veto != 0 || info.HintStr.empty() || PtInRect(&FHintCursorRect, cursor) == FALSE)
        return;
    FHintShowing = true;
    FHintDisplay(info.HintStr, info.HintPos);
}

// ---------------------------------------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() = default;

std::vector<TCustomForm*> TScreen::Forms() const
{
    std::vector<TCustomForm*> forms;
    for (HWND window : GetTopLevelWindows())
        if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(window)))
            forms.push_back(form);
    return forms;
}

int TScreen::GetFormCount() const { return static_cast<int>(Forms().size()); }

TCustomForm* TScreen::GetForm(int index) const
{
    const auto forms = Forms();
    if (index < 0 || index >= static_cast<int>(forms.size()))
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return forms[static_cast<std::size_t>(index)];
}

TCustomForm* TScreen::GetActiveForm() const
{
    return dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
}

TWinControl* TScreen::GetActiveControl() const
{
    TCustomForm* form = GetActiveForm();
    return form != nullptr ? form->GetActiveControl() : nullptr;
}

int TScreen::GetWidth() const
{
    const RECT r = Screens().Monitors().front().Monitor;
    return r.right - r.left;
}

int TScreen::GetHeight() const
{
    const RECT r = Screens().Monitors().front().Monitor;
    return r.bottom - r.top;
}

TStrings* TScreen::GetFonts() const
{
    if (FFonts == nullptr) {
        auto fonts = std::make_unique<TStringList>();
        fonts->SetSorted(true);
        fonts->SetDuplicates(dupIgnore);
        // Private families are the desktop's own, not for the user to choose.
        for (const QString& family : QFontDatabase::families())
            if (!QFontDatabase::isPrivateFamily(family))
                fonts->Add(ui::FromQString(family));
        FFonts = std::move(fonts);
    }
    return FFonts.get();
}

void TScreen::SetCursor(TCursor value)
{
    if (FCursor == value)
        return;
    FCursor = value;
    if (value != crDefault) {
        ui::SetCursor(GetCursors(value));
        return;
    }
    // Back to the controls' own cursors: ask the window under the pointer again.
    POINT p{};
    ui::GetCursorPos(&p);
    if (HWND window = WindowFromPoint(p))
        ui::SendMessage(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

HCURSOR TScreen::GetCursors(TCursor id) const
{
    if (auto it = FCursors.find(id); it != FCursors.end())
        return it->second;
    struct Standard {
        TCursor Id;
        int Resource;
    };
    static constexpr Standard standard[] = {
        {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},
        {crIBeam, IDC_IBEAM},     {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE},
        {crSizeWE, IDC_SIZEWE},   {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT},  {crNo, IDC_NO},
        {crSizeAll, IDC_SIZEALL}, {crHandPoint, IDC_HAND},
        {crHSplit, IDC_HSPLIT},
    };
    if (id == crNone)
        return nullptr;
    for (const Standard& s : standard)
        if (s.Id == id)
            return LoadCursor(nullptr, s.Resource);
    return LoadCursor(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(TCursor id, HCURSOR cursor)
{
    if (cursor == nullptr)
        FCursors.erase(id);
    else
        FCursors[id] = cursor;
}

// ---------------------------------------------------------------------------------------------------------
// TMouse

POINT TMouse::GetCursorPos() const
{
    POINT p{};
    ui::GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(POINT value) { ui::SetCursorPos(value.x, value.y); }

void TMouse::SetCapture(HWND value)
{
    if (value == nullptr)
        ReleaseCapture();
    else
        ui::SetCapture(value);
}

// ---------------------------------------------------------------------------------------------------------

namespace {
/// The application made by Application() or installed by SetApplication.
std::unique_ptr<TApplication>& OwnedApplication()
{
    static std::unique_ptr<TApplication> owned;
    return owned;
}
}  // namespace

TApplication* Application()
{
    if (gApplication == nullptr)
        OwnedApplication() = std::make_unique<TApplication>(nullptr);
    return gApplication;
}

TApplication* SetApplication(TApplication* application)
{
    std::unique_ptr<TApplication>& owned = OwnedApplication();
    if (application == nullptr || owned.get() == application)
        return Application();
    std::unique_ptr<TApplication> previous = std::move(owned);
    if (previous != nullptr && application->FImpl->Previous == &previous->FImpl->Handler)
        // The new object took the exception handler from the one about to go: hand it the one before.
        application->FImpl->Previous = previous->FImpl->Previous;
    gApplication = application;
    owned.reset(application);
    previous.reset();
    return application;
}

TScreen* Screen()
{
    static TScreen screen(nullptr);
    return &screen;
}

TMouse* Mouse()
{
    static TMouse mouse;
    return &mouse;
}

}  // namespace ovrel::toolkit
