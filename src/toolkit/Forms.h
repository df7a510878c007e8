#pragma once
// Forms: the top-level control, the application object with its message loop and exception handler, and the
// screen object that lists the forms.

#include "toolkit/Controls.h"

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {

class TStrings;
class TStringList;

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
/// Results of a modal form: 0 keeps it open.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

/// A key message (WM_KEYDOWN or WM_SYSKEYDOWN) the form may take as a shortcut; handled drops the key.
using TShortCutEvent = TEvent<TMessage&, bool&>;
/// An observer of the application's main-window messages (CM_APPKEYDOWN, CM_APPSYSCOMMAND); handled means the
/// message was used.
using TWindowHook = TEvent<TMessage&, bool&>;

/// The frame of a form's window.
enum TFormBorderStyle : std::uint8_t { bsNone, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
/// Where a form goes when shown: poDesigned keeps its bounds, the others place it on a work area.
enum TPosition : std::uint8_t { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };

/// A top-level window holding controls. Forms are built in code (see TFormBuilder).
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    /// Whether the form sees keys before its focused control does.
    [[nodiscard]] bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    /// The control that has (or will get, when the form is next active) the focus; none for the form itself.
    [[nodiscard]] TWinControl* GetActiveControl() const;
    /// Moves the focus to value, which must be a focusable control on this form (EInvalidOperation otherwise).
    void SetActiveControl(TWinControl* value);

    /// Shows the form; Close runs OnClose and then hides (caHide) or frees it later (caFree).
    void Show();
    void Hide();
    void Close();
    /// Frees the form once the message being handled returns.
    void Release();
    /// Shows the form with the program's other forms disabled and runs the loop until ModalResult is set
    /// (Close sets mrCancel) or the application ends; returns the result and hides the form.
    /// EInvalidOperation for a form that is already shown or modal.
    TModalResult ShowModal();
    [[nodiscard]] TModalResult GetModalResult() const { return FModalResult; }
    /// On a modal form, also wakes its loop, which may be waiting for input that is not coming.
    void SetModalResult(TModalResult value);
    [[nodiscard]] bool GetModal() const { return FModal; }

    /// Whether the key message is a shortcut of the form (OnShortCut); the shortcut then ran.
    virtual bool IsShortCut(TMessage& message);

    /// Frame and icons become window styles; a change remakes a window already made.
    [[nodiscard]] TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    [[nodiscard]] TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    /// Applied each time Show takes the form from hidden to shown.
    [[nodiscard]] TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    /// The window's own state while shown (the user may have changed it); the requested one otherwise.
    [[nodiscard]] TWindowState GetWindowState() const;
    void SetWindowState(TWindowState value);

    /// Fires OnCreate the first time only; TFormBuilder calls it once everything on the form is loaded.
    void DoCreate();

    /// Fired once, when the form has been built (TFormBuilder), after Loaded of everything on it.
    TNotifyEvent OnCreate;

    /// Fired as the form's window becomes active and stops being active.
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    /// Fired while the form is still whole, before anything it owns is freed.
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& params) override;
    [[nodiscard]] bool CanShowAsRoot() const override { return true; }
    void Dispatch(TMessage& message) override;
    void BeforeDestruction() override;

    // -- Message handlers (as in TControl) -------------------------------------------------------------------
    /// Fires OnActivate and OnDeactivate; coming back, the focus returns to ActiveControl.
    virtual void WMActivate(TMessage& message);
    /// Close, not the default's destruction of the window.
    virtual void WMClose(TMessage& message);
    virtual void WMSysCommand(TMessage& message);
    /// Frees the form (posted by Release).
    virtual void CMRelease(TMessage& message);
    /// The system's colours and settings changed: the controls hear it as CM_SYSCOLORCHANGE and
    /// CM_WININICHANGE (WParam the setting), then the default handling runs.
    virtual void WMSysColorChange(TMessage& message);
    virtual void WMSettingChange(TMessage& message);
    /// The controls first, then Tab and Shift+Tab walk the tab order.
    void CMDialogKey(TMessage& message) override;
    /// OnShow before the window shows, OnHide after it is hidden.
    void CMShowingChanged(TMessage& message) override;

private:
    /// Moves the form as its Position asks, onto the work area of the screen it belongs to.
    void ApplyPosition();
    void ApplyWindowState();

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FCreated = false;
    bool FKeyPreview = false;
    bool FModal = false;
    bool FPlacing = false;  // Show placed the form: it is placed again if OnShow sizes it
    TModalResult FModalResult = mrNone;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

using TExceptionEvent = TEvent<TObject*, std::exception_ptr>;
/// Idle handlers set done to false to be called again before the loop waits.
using TIdleEvent = TEvent<TObject*, bool&>;

/// The application: its message loop and the place every exception that reaches the loop ends up.
class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    /// The program's own set-up before its forms are made; the base does nothing.
    virtual void Initialize() {}
    /// Makes a form owned by the application with make; the first form made becomes the main form. A
    /// subclass may make nothing and return null (when the program is not interactive).
    virtual TCustomForm* CreateForm(const std::function<TCustomForm*(TComponent* owner)>& make);
    template <class F> void CreateForm(F*& reference)
    {
        reference = dynamic_cast<F*>(CreateForm([](TComponent* owner) -> TCustomForm* { return new F(owner); }));
    }

    /// The switch for hints over the whole program; turning it off hides a hint that shows.
    [[nodiscard]] bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool value);

    /// Shows text at a screen point, or hides the hint when text is empty. Tests put a recorder here.
    using THintDisplay = std::function<void(const std::string& text, ui::POINT screenPos)>;
    /// Null restores the default (the toolkit's tool tip).
    void SetHintDisplay(THintDisplay display);
    /// Hides a hint that shows and stops a pending one; another comes once the pointer leaves the part of the
    /// control the last answer covered (the whole control when none was asked yet).
    void CancelHint();
    /// The long hint of the control under the mouse (for a status bar); OnHint runs when it changes.
    [[nodiscard]] const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value);
    /// Whether hints name the shortcut of what they describe; on by default.
    [[nodiscard]] bool GetHintShortCuts() const { return FHintShortCuts; }
    void SetHintShortCuts(bool value) { FHintShortCuts = value; }
    /// Whether a hint shows now, and over which control.
    [[nodiscard]] bool GetHintShowing() const { return FHintShowing; }
    [[nodiscard]] TControl* GetHintControl() const { return FHintControl; }
    /// Feeds the hint machinery a mouse message of control (LParam in its client coordinates), for a loop
    /// that pumps its own messages: the hint follows the pointer there as it would from the application's loop.
    void HintMouseMessage(TControl* control, TMessage& message);

    /// Handles every queued message, then returns without waiting.
    void ProcessMessages();
    /// Handles one message, waiting for it; runs the idle work first when the queue is empty.
    void HandleMessage();
    /// Runs the loop until Terminate (or a quit message).
    void Run();
    void Terminate();
    /// The work done whenever the queue runs empty: action updates of the showing controls, the check of
    /// the control under the mouse, then OnIdle.
    void Idle();
    [[nodiscard]] bool GetTerminated() const { return FTerminated; }
    /// Hands the exception to OnException when assigned, else to the layer's exception handler.
    void HandleException(std::exception_ptr exception);

    /// Observers of CM_APPKEYDOWN and CM_APPSYSCOMMAND, called newest last until one handles the message.
    void HookMainWindow(const TWindowHook& hook);
    void UnhookMainWindow(const TWindowHook& hook);
    /// True when a hook handled the message.
    bool CallMainWindowHooks(TMessage& message);

    [[nodiscard]] TCustomForm* GetMainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* value);

    /// The program's name for the user; the executable's name without its extension until set.
    [[nodiscard]] std::string GetTitle() const;
    void SetTitle(const std::string& value);
    /// The full path of the running program.
    [[nodiscard]] std::string GetExeName() const;
    /// The hidden window that stands for the application, made on first use.
    [[nodiscard]] ui::HWND GetHandle();
    /// Whether one of the program's windows is the active one.
    [[nodiscard]] bool GetActive() const;
    /// Whether the program is minimised: its main form's window is.
    [[nodiscard]] bool GetMinimized() const;

    [[nodiscard]] const std::string& GetHelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& value) { FHelpFile = value; }
    /// Hands the request with the help file to the help service; false without a help file or when the
    /// service failed.
    bool HelpCommand(ui::UINT command, std::uintptr_t data);
    bool HelpContext(int context);

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool ProcessMessage(ui::MSG& msg);
    /// The form's shortcuts, the pop-up menus of the focused control and its parents, then the hooks.
    bool IsKeyMsg(const ui::MSG& msg);

    void HandleProc(TMessage& message);
    /// Follows the control under the mouse: starts, moves or hides the hint; leaving the cursor rectangle of
    /// the last answer inside the same control asks the control again after a pause.
    void HintMouseCheck(TControl* control, ui::POINT screenPos);
    void SetHintControl(TControl* control);
    void HintTimerFired();
    void HideHint();

    std::string FHint;
    THintDisplay FHintDisplay;
    TControl* FHintControl = nullptr;
    ui::RECT FHintCursorRect{};  // screen coordinates of the last answer's cursor rectangle, once asked
    bool FHintShowing = false;
    bool FHintAsked = false;  // the control answered for the cursor rectangle; not again while inside it

    std::vector<TWindowHook> FHooks;
    std::string FTitle;
    std::string FHelpFile;
    ui::HWND FHandle = nullptr;

    struct Impl;
    std::unique_ptr<Impl> FImpl;
    bool FTerminated = false;
    bool FShowHint = true;
    bool FHintShortCuts = true;
    TCustomForm* FMainForm = nullptr;

    friend TApplication* SetApplication(TApplication* application);
};

/// The forms of the program, top of the z-order first, and the screen's size.
class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* owner);
    ~TScreen() override;

    [[nodiscard]] int GetFormCount() const;
    [[nodiscard]] TCustomForm* GetForm(int index) const;
    /// The form whose window is active, if it is one of ours.
    [[nodiscard]] TCustomForm* GetActiveForm() const;
    [[nodiscard]] TWinControl* GetActiveControl() const;
    [[nodiscard]] int GetWidth() const;
    [[nodiscard]] int GetHeight() const;
    [[nodiscard]] int GetPixelsPerInch() const { return 96; }

    /// The cursor shown over every window of the program while not crDefault (an hourglass while busy).
    [[nodiscard]] TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor value);
    /// The cursor of an identifier: the standard ones, then those registered; the arrow for unknown ones,
    /// none for crNone. Registered cursors stay the caller's to destroy.
    [[nodiscard]] ui::HCURSOR GetCursors(TCursor id) const;
    void SetCursors(TCursor id, ui::HCURSOR cursor);
    /// The desktop's font families, sorted; owned by the screen, read on first use.
    [[nodiscard]] TStrings* GetFonts() const;

private:
    [[nodiscard]] std::vector<TCustomForm*> Forms() const;

    TCursor FCursor = crDefault;
    std::map<TCursor, ui::HCURSOR> FCursors;
    mutable std::unique_ptr<TStringList> FFonts;
};

/// The pointer: its screen position and the window that holds it.
class TMouse {
public:
    [[nodiscard]] ui::POINT GetCursorPos() const;
    void SetCursorPos(ui::POINT value);
    [[nodiscard]] ui::HWND GetCapture() const { return ui::GetCapture(); }
    void SetCapture(ui::HWND value);
};

/// The program's application, screen and mouse objects, made on first use.
TApplication* Application();
/// Installs application (the program's own subclass, made with new) in place of the current one, which is
/// freed with the forms it owns; Application() returns it from then on, and it is freed at exit.
TApplication* SetApplication(TApplication* application);
TScreen* Screen();
TMouse* Mouse();

}  // namespace ovrel::toolkit
