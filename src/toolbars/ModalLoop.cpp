// The menu loop: the modal handler that holds the capture, and the pump that routes the thread's messages
// to the open views while a menu or a toolbar is tracked.
#include "toolbars/Popup.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/View_p.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

#include <vector>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::HasStyle;

namespace {

TPoint MessagePosition()
{
    const DWORD position = GetMessagePos();
    return TPoint{static_cast<short>(position & 0xFFFF), static_cast<short>((position >> 16) & 0xFFFF)};
}

bool IsPress(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONDBLCLK;
}

bool IsLeftPress(UINT message) { return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK; }

// The views of the open chain, from the root down.
std::vector<TTBView*> OpenChain(TTBView* root)
{
    std::vector<TTBView*> chain;
    for (TTBView* view = root; view != nullptr; view = view->GetOpenViewerView())
        chain.push_back(view);
    return chain;
}

TTBView* Deepest(TTBView* root)
{
    TTBView* view = root;
    while (view->GetOpenViewerView() != nullptr)
        view = view->GetOpenViewerView();
    return view;
}

// The loop of the toolbar views: the handler on the view's window.
class TMenuLoop final : public ITBModalLoop {
public:
    void Run(TTBView& view, TTBEnterToolbarLoopOptions options) override
    {
        TWinControl* window = view.GetWindow();
        TTBModalHandler handler(window != nullptr ? window->GetHandle() : nullptr);
        handler.Loop(&view, (options & tbetMouseDown) != 0, (options & tbetExecuteSelected) != 0,
                     (options & tbetKeepPriority) != 0, false);
    }
};

}  // namespace

ITBModalLoop& detail::DefaultModalLoop()
{
    static TMenuLoop loop;
    return loop;
}

// ---------------------------------------------------------------------------------------------------------
// TTBModalHandler

TTBModalHandler::TTBModalHandler(HWND window)
{
    LastMousePos() = MessagePosition();
    if (window != nullptr) {
        FWindow = window;
    } else {
        CreateWindowInfo info;
        info.ClassName = "TTBModalHandlerWindow";
        info.ExStyle = WS_EX_TOOLWINDOW;
        info.Style = WS_POPUP;
        FWindow = CreateWindowEx(info);
        FOwnWindow = true;
    }
    SetCapture(FWindow);
    ui::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ui::NotifyWinEvent(EVENT_SYSTEM_MENUSTART, FWindow, OBJID_CLIENT, CHILDID_SELF);
}

TTBModalHandler::~TTBModalHandler()
{
    if (GetCapture() == FWindow)
        ReleaseCapture();
    ui::NotifyWinEvent(EVENT_SYSTEM_MENUEND, FWindow, OBJID_CLIENT, CHILDID_SELF);
    if (FOwnWindow)
        DestroyWindow(FWindow);
}

// One run of the loop over a root view.
class TTBModalHandler::TLoop {
public:
    TLoop(HWND window, TTBView* root, bool trackRightButton)
        : FWindow(window), FRoot(root), FTrackRightButton(trackRightButton)
    {}
    TLoop(const TLoop&) = delete;
    TLoop& operator=(const TLoop&) = delete;

    // Whatever ends the loop, the root lets go of the mouse and the characters typed meanwhile go.
    ~TLoop()
    {
        FRoot->CancelCapture();
        FRoot->SetCaptureWindow(nullptr);
        Application()->SetHint(std::string());
        RemovePendingMessages(WM_CHAR, WM_DEADCHAR);
        RemovePendingMessages(WM_SYSCHAR, WM_SYSDEADCHAR);
        RemovePendingMessages(WM_KEYF1, WM_KEYF1);
    }

    void Run(bool startedByMouse, bool executeSelectedFirst, bool keepPriority)
    {
        FRoot->SetDoneAction(TMenuDoneAction{});
        FRoot->EnsureLayout();
        FRoot->SetCaptureWindow(FWindow);
        if (startedByMouse) {
            if (TTBItemViewer* selected = FRoot->GetSelected()) {
                const TPoint p = selected->ScreenToViewer(MessagePosition());
                selected->MouseDown(TShiftState{}, p.x, p.y, FMouseDownOnMenu);
            }
        } else if (executeSelectedFirst) {
            FRoot->ExecuteSelected(!keepPriority);
        }
        if (Done())
            return;

        bool handled = true;
        while (GetCapture() == FWindow) {
            if (!handled)
                WaitMessage();
            handled = false;
            MSG msg;
            while (GetCapture() == FWindow && PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                handled = true;
                if (!Take(msg))
                    return;
                Handle(msg);
                if (Done())
                    return;
                AfterMessage();
            }
        }
    }

private:
    [[nodiscard]] bool Done() const { return FRoot->GetDoneAction().Action != tbdaNone; }

    // Looks at the waiting message and removes it; false when it ends the loop where it is, for its target.
    bool Take(MSG& msg)
    {
        // The quit of the application ends the menu and stays for the loop that waits for it.
        if (msg.message == WM_QUIT)
            return false;
        if (IsPress(msg.message)) {
            TControl* target = FindDragTarget(msg.pt, true);
            if (!IsInMenu(target, msg.pt))
                return false;
            if (IsLeftPress(msg.message) && FRoot->IsToolbar() && target == FRoot->GetWindow()) {
                TrackAll(&msg.pt, true);
                const TTBItemViewer* selected = FRoot->GetSelected();
                if (selected == nullptr || !FRoot->GetMouseOverSelected() ||
                    HasStyle(selected->GetItem(), itsPassClicks))
                    return false;
            }
        }
        // Should tracking have queued messages ahead of the press, they come first and the press is looked
        // at again.
        PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
        return true;
    }

    // A press on one of the menu's own pop-ups, or in the client area of the toolbar whose loop this is.
    [[nodiscard]] bool IsInMenu(TControl* target, TPoint screen) const
    {
        if (const auto* popup = dynamic_cast<const ITBPopupWindow*>(target)) {
            if (popup->GetView() != nullptr && FRoot->IsAncestorOf(popup->GetView()))
                return true;
        }
        if (FRoot->IsToolbar() && target != nullptr && target == FRoot->GetWindow()) {
            const TWinControl* window = FRoot->GetWindow();
            const TRect client = window->GetClientRect();
            return PtInRect(&client, window->ScreenToClient(screen)) != FALSE;
        }
        return false;
    }

    void Handle(const MSG& msg)
    {
        switch (msg.message) {
        case WM_KEYF1:
        case WM_CONTEXTMENU:
        case WM_SYSTIMER: return;
        default: break;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            HandleKey(msg);
        } else if (msg.message == WM_TIMER) {
            HandleTimer(msg);
        } else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
            HandleMouse(msg);
        } else {
            DispatchMessage(&msg);
        }
    }

    [[nodiscard]] bool ButtonHeld() const
    {
        return GetKeyState(VK_LBUTTON) < 0 || (FTrackRightButton && GetKeyState(VK_RBUTTON) < 0);
    }

    void HandleKey(const MSG& msg)
    {
        Application()->CancelHint();
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            auto key = static_cast<std::uint16_t>(msg.wParam);
            if (ButtonHeld() && key != VK_F1)
                return;
            const TShiftState shift = KeyDataToShiftState(msg.lParam);
            TTBView* view = Deepest(FRoot);
            if (TTBItemViewer* selected = view->GetSelected()) {
                selected->KeyDown(key, shift);
                if (Done())
                    return;
            }
            // The viewer may have closed pop-ups, the deepest view among them.
            if (key != 0)
                Deepest(FRoot)->KeyDown(key, shift);
            if (Done())
                return;
            if (key != 0)
                TranslateMessage(&msg);
            return;
        }
        case WM_CHAR:
        case WM_SYSCHAR: {
            if (ButtonHeld())
                return;
            const auto ch = static_cast<char32_t>(msg.wParam);
            TTBView* view = Deepest(FRoot);
            bool unique = false;
            if (TTBItemViewer* match = view->FindAccelerator(view->GetSelected(), ch, false, unique)) {
                view->SelectAndScroll(match);
                if (unique)
                    view->ExecuteSelected(true);
                return;
            }
            HWND active = GetActiveWindow();
            if ((ch == U' ' || ch == U'-') && view == FRoot && FRoot->IsToolbar() && active != nullptr)
                FRoot->EndModalWithSystemKey(active, ch);
            else
                MessageBeep(0);
            return;
        }
        default: return;
        }
    }

    void HandleTimer(const MSG& msg)
    {
        auto* popup = dynamic_cast<ITBPopupWindow*>(TWinControl::FindControl(msg.hwnd));
        if (popup == nullptr || msg.wParam < ViewTimerBaseId || msg.wParam > ViewTimerBaseId + tiScrollDown) {
            DispatchMessage(&msg);
            return;
        }
        if (TTBView* view = popup->GetView())
            view->HandleTimer(static_cast<TViewTimer>(msg.wParam - ViewTimerBaseId));
    }

    // The view and viewer a mouse message is for: the view holding the mouse, else the one whose selection
    // the mouse is over; the search stops without a viewer at the first view the mouse is in.
    struct TTarget {
        TTBView* View = nullptr;
        TTBItemViewer* Viewer = nullptr;
    };
    [[nodiscard]] TTarget FindTarget() const
    {
        for (TTBView* view = FRoot; view != nullptr; view = view->GetOpenViewerView()) {
            if (view->GetCapture())
                return TTarget{view, view->GetSelected()};
        }
        for (TTBView* view = FRoot; view != nullptr; view = view->GetOpenViewerView()) {
            if (view->GetSelected() != nullptr && view->GetMouseOverSelected())
                return TTarget{view, view->GetSelected()};
            if ((view->GetState() & ViewStateMouseInView) != 0)
                return TTarget{view, nullptr};
        }
        return TTarget{};
    }

    void HandleMouse(const MSG& msg)
    {
        TPoint screen = msg.pt;
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            if (screen.x != LastMousePos().x || screen.y != LastMousePos().y) {
                LastMousePos() = screen;
                UpdateCursorAndHint();
            }
            if (TTBItemViewer* viewer = FindTarget().Viewer) {
                const TPoint p = viewer->ScreenToViewer(screen);
                viewer->MouseMove(p.x, p.y);
            }
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            if (!IsLeftPress(msg.message) && !FTrackRightButton)
                return;
            Application()->CancelHint();
            FMouseDownOnMenu = false;
            FRoot->SetState(static_cast<TTBViewState>(FRoot->GetState() & ~ViewStateIgnoreNextMouseUp));
            TrackAll(&screen, true);
            if (TTBItemViewer* viewer = FindTarget().Viewer) {
                const bool twice = msg.message == WM_LBUTTONDBLCLK || msg.message == WM_RBUTTONDBLCLK;
                const TPoint p = viewer->ScreenToViewer(screen);
                viewer->MouseDown(twice ? TShiftState{ssDouble} : TShiftState{}, p.x, p.y, FMouseDownOnMenu);
            }
            LastMousePos() = MessagePosition();
            return;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            if (msg.message == WM_RBUTTONUP && !FTrackRightButton)
                return;
            TrackAll(&screen, false);
            const TTarget target = FindTarget();
            if (target.Viewer != nullptr) {
                const TPoint p = target.Viewer->ScreenToViewer(screen);
                target.Viewer->MouseUp(p.x, p.y, FMouseDownOnMenu);
            } else if (target.View == nullptr || (target.View == FRoot && FRoot->IsToolbar())) {
                if ((FRoot->GetState() & ViewStateIgnoreNextMouseUp) != 0)
                    FRoot->SetState(static_cast<TTBViewState>(FRoot->GetState() & ~ViewStateIgnoreNextMouseUp));
                else
                    FRoot->EndModal();
            }
            return;
        }
        case WM_MOUSEWHEEL: {
            if (TTBItemViewer* viewer = FindTarget().Viewer) {
                const TPoint p = viewer->ScreenToViewer(screen);
                viewer->MouseWheel(static_cast<short>(HIWORD(msg.wParam)), p.x, p.y);
            }
            return;
        }
        default: return;
        }
    }

    // From the deepest view up; only the view holding the mouse when one does.
    void TrackAll(const TPoint* screen, bool allowNewSelection)
    {
        const std::vector<TTBView*> chain = OpenChain(FRoot);
        for (TTBView* view : chain) {
            if (view->GetCapture()) {
                view->TrackMouse(screen, allowNewSelection);
                return;
            }
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            (*it)->TrackMouse(screen, allowNewSelection);
    }

    void UpdateCursorAndHint()
    {
        TPoint position = LastMousePos();
        TrackAll(&position, true);
        TTBView* view = Deepest(FRoot);
        HCURSOR cursor = nullptr;
        TTBItemViewer* selected = view->GetSelected();
        TWinControl* window = view->GetWindow();
        if (selected != nullptr && window != nullptr) {
            const bool hints = (view->GetStyle() & ViewStyleShowHints) != 0 ||
                               selected->GetItem()->GetEffectiveOptions().Contains(tboShowHint);
            if (hints && !view->GetCapture()) {
                window->Update();
                FeedHint(window, position);
            } else {
                Application()->CancelHint();
            }
            selected->GetCursor(selected->ScreenToViewer(position), cursor);
        }
        ui::SetCursor(cursor != nullptr ? cursor : LoadCursor(nullptr, IDC_ARROW));
    }

    // The hint follows the pointer over the menu's windows as it would from the application's own loop.
    static void FeedHint(TWinControl* window, TPoint screen)
    {
        const TPoint client = window->ScreenToClient(screen);
        TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), 0};
        Application()->HintMouseMessage(window, move);
    }

    void AfterMessage()
    {
        if (LastMousePos().x == LastMousePosUnknown) {
            LastMousePos() = MessagePosition();
            UpdateCursorAndHint();
        }
        std::string hint;
        for (TTBView* view = FRoot; view != nullptr; view = view->GetOpenViewerView()) {
            if (view->GetSelected() != nullptr)
                hint = GetLongHint(view->GetSelected()->GetItem()->GetHint());
        }
        Application()->SetHint(hint);
    }

    HWND FWindow;
    TTBView* FRoot;
    bool FTrackRightButton;
    bool FMouseDownOnMenu = false;
};

void TTBModalHandler::Loop(TTBView* rootView, bool startedByMouse, bool executeSelectedFirst, bool keepPriority,
                           bool trackRightButton)
{
    TLoop loop(FWindow, rootView, trackRightButton);
    loop.Run(startedByMouse, executeSelectedFirst, keepPriority);
}

}  // namespace ovrel::toolbars
