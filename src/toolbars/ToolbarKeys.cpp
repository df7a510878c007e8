// Toolbars and the keyboard: the menu bar opened by Alt, F10 and Alt+letter, accelerators of plain toolbars,
// and the shortcuts of toolbars run from the keys of their form while their menus are closed.
#include "toolbars/Toolbar.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Dock.h"
#include "toolbars/Hooks.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <vector>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

// The application's main-window hook, shared by every toolbar that runs shortcuts.
class TTBCustomToolbar::TMainWindowHook {
public:
    static TMainWindowHook& Instance()
    {
        static TMainWindowHook hook;
        return hook;
    }
    [[nodiscard]] TWindowHook Method() { return TWindowHook(this, &TMainWindowHook::Hook); }

    std::vector<TTBCustomToolbar*> Toolbars;  // in the order they joined

private:
    void Hook(TMessage& message, bool& handled)
    {
        if (message.Msg == CM_APPKEYDOWN)
            handled = RunShortCut(message);
        else if (message.Msg == CM_APPSYSCOMMAND)
            handled = SendSysCommand(*reinterpret_cast<TMessage*>(message.LParam));
    }

    [[nodiscard]] bool Listed(const TTBCustomToolbar* toolbar) const
    {
        return std::find(Toolbars.begin(), Toolbars.end(), toolbar) != Toolbars.end();
    }

    // The active form's toolbars first, then the main form's; a disabled form (behind a modal one) runs none.
    bool RunShortCut(const TMessage& appKey)
    {
        TCustomForm* active = Screen()->GetActiveForm();
        TCustomForm* main = Application()->GetMainForm();
        for (TCustomForm* form : {active, main != active ? main : nullptr}) {
            if (form == nullptr || !form->GetEnabled() || !form->HandleAllocated() ||
                IsWindowEnabled(form->GetHandle()) == FALSE)
                continue;
            const std::vector<TTBCustomToolbar*> toolbars = Toolbars;
            for (TTBCustomToolbar* toolbar : toolbars) {
                if (!Listed(toolbar) || !toolbar->GetProcessShortCuts() || toolbar->GetOwningForm() != form)
                    continue;
                TMessage key{WM_KEYDOWN, appKey.WParam, appKey.LParam, 0};
                bool used = false;
                toolbar->OnShortCut(key, used);
                if (used || toolbar->GetItems()->IsShortCut(key))
                    return true;
            }
        }
        return false;
    }

    // Depth first through the shown containers of the active form, to its docks and menu bars.
    static bool SendSysCommand(TMessage& sysCommand)
    {
        TCustomForm* form = Screen()->GetActiveForm();
        return form != nullptr && SendSysCommandWithin(form, sysCommand);
    }
    static bool SendSysCommandWithin(TWinControl* container, TMessage& sysCommand)
    {
        std::vector<TControl*> children;
        for (int i = 0; i < container->GetControlCount(); ++i)
            children.push_back(container->GetControl(i));
        for (TControl* child : children) {
            auto* win = dynamic_cast<TWinControl*>(child);
            if (win == nullptr || !win->GetVisible() || !win->GetEnabled())
                continue;
            if (win->GetControlStyle().Contains(csMenuEvents) &&
                (dynamic_cast<TTBDock*>(win) != nullptr || dynamic_cast<TTBCustomToolbar*>(win) != nullptr)) {
                sysCommand.Result = win->Perform(WM_SYSCOMMAND, sysCommand.WParam, sysCommand.LParam);
                if (sysCommand.Result != 0)
                    return true;
            }
            if (SendSysCommandWithin(win, sysCommand))
                return true;
        }
        return false;
    }
};

void TTBCustomToolbar::UpdateMainWindowHook()
{
    const bool wanted =
        (FProcessShortCuts || FMenuBar) && !IsDesigning() && !GetComponentState().Contains(csDestroying);
    if (wanted == FMainWindowHooked)
        return;
    TMainWindowHook& hook = TMainWindowHook::Instance();
    if (wanted) {
        hook.Toolbars.push_back(this);
        if (hook.Toolbars.size() == 1)
            Application()->HookMainWindow(hook.Method());
    } else {
        std::erase(hook.Toolbars, this);
        if (hook.Toolbars.empty())
            Application()->UnhookMainWindow(hook.Method());
    }
    FMainWindowHooked = wanted;
}

void TTBCustomToolbar::MenuBarHookProc(THookProcCode, HWND, WPARAM, LPARAM)
{
    // The menu bar of a multiple-document form turns Alt keys of its client windows into menu keys; this
    // program has no such forms.
}

void TTBCustomToolbar::SetProcessShortCuts(bool value)
{
    if (value == FProcessShortCuts)
        return;
    FProcessShortCuts = value;
    UpdateMainWindowHook();
}

void TTBCustomToolbar::SetMenuBar(bool value)
{
    if (value == FMenuBar)
        return;
    FMenuBar = value;
    TControlStyle style = GetControlStyle();
    SetControlStyle(value ? style.Include(csMenuEvents) : style.Exclude(csMenuEvents));
    if (FView != nullptr) {
        const TTBViewStyle bits = ViewStyleMenuBar | ViewStyleAccelsFollowSystem;
        FView->SetStyle(static_cast<TTBViewStyle>(value ? FView->GetStyle() | bits : FView->GetStyle() & ~bits));
    }
    if (!GetComponentState().Contains(csLoading)) {
        SetFullSize(value);
        SetShrinkMode(value ? tbsmWrap : tbsmChevron);
        SetCloseButton(!value);
        SetProcessShortCuts(value);
    }
    if (value && !FMenuBarHooked) {
        RegisterHookProc(&TTBCustomToolbar::MenuBarHookProc, THookProcCodes{hcGetMessage}, IsDesigning());
        FMenuBarHooked = true;
    } else if (!value && FMenuBarHooked) {
        UnregisterHookProc(&TTBCustomToolbar::MenuBarHookProc);
        FMenuBarHooked = false;
    }
    UpdateMainWindowHook();
}

bool TTBCustomToolbar::KeyboardOpen(char32_t ch, bool requirePrimary)
{
    TTBToolbarView* view = GetView();
    view->SetAccelsVisibility(true);
    if (ch == 0) {
        TTBItemViewer* first = view->FirstSelectable();
        if (first == nullptr)
            return false;
        view->Select(first);
        view->EnterToolbarLoop(0);
        return true;
    }
    bool unique = false;
    TTBItemViewer* match = view->FindAccelerator(nullptr, ch, requirePrimary, unique);
    // Nothing found: the underlines stay, showing what can be typed.
    if (match == nullptr)
        return false;
    bool opened = false;
    if (match->GetItem()->GetEnabled()) {
        if (unique) {
            view->Select(match);
            view->EnterToolbarLoop(tbetExecuteSelected);
            opened = true;
        } else if (FMenuBar) {
            view->Select(match);
            view->EnterToolbarLoop(0);
            opened = true;
        }
    }
    view->SetAccelsVisibility(false);
    return opened;
}

void TTBCustomToolbar::WMSysCommand(TMessage& message)
{
    const auto ch = static_cast<char32_t>(message.LParam);
    if ((message.WParam & 0xFFF0) != SC_KEYMENU || !FMenuBar || !GetEnabled() || !GetShowing() || ch == U' ' ||
        ui::GetCapture() != nullptr) {
        DefaultHandler(message);
        return;
    }
    if (KeyboardOpen(ch, false)) {
        message.Result = 1;
        return;
    }
    // Alt+'-' is the system menu of a document window, which the default handling may still open.
    if (ch == U'-') {
        DefaultHandler(message);
        return;
    }
    MessageBeep(0);
    message.Result = 1;
}

void TTBCustomToolbar::CMDialogKey(TMessage& message)
{
    if (FMenuBar && message.WParam == VK_MENU)
        GetView()->SetAccelsVisibility(true);
    TTBCustomDockableWindow::CMDialogKey(message);
}

void TTBCustomToolbar::CMDialogChar(TMessage& message)
{
    if (!FMenuBar && GetEnabled() && GetShowing() && message.WParam != 0 &&
        KeyboardOpen(static_cast<char32_t>(message.WParam), true)) {
        message.Result = 1;
        return;
    }
    TTBCustomDockableWindow::CMDialogChar(message);
}

}  // namespace ovrel::toolbars
