#pragma once
// Pop-up menus and the menu loop. A pop-up window is a top-level window that hosts one pop-up view; it
// starts hidden, may animate as it shows, and announces its showing with WM_TB_POPUPSHOWING, on which a
// themed pop-up adds its shadows. While a menu or a toolbar is tracked, one modal handler owns the mouse and
// the keyboard: it pumps the thread's messages itself, keys to the deepest open view, the mouse to the viewer
// under it and the view timers to their views, until the root view has a done action or loses the capture.

#include "toolbars/Items.h"
#include "toolbars/View.h"

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

#include <cstdint>

namespace ovrel::toolbars {

/// Sent to a pop-up window as it shows; WParam one of the tbps values, LParam 0.
inline constexpr ui::UINT WM_TB_POPUPSHOWING = 0x62A;
inline constexpr ui::WPARAM tbpsAnimationAllowed = 1;  // asked (sent): 0 lets the pop-up animate
inline constexpr ui::WPARAM tbpsAnimationEnded = 2;  // told once the animation shows the final image
inline constexpr ui::WPARAM tbpsShown = 3;  // told when it showed without animation

/// How long a pop-up takes to fade or slide in, in milliseconds.
inline constexpr int PopupAnimationTime = 150;

// ---- The modal handler ------------------------------------------------------------------------------------

/// Owns the mouse for one menu loop: takes the capture on a window (its own hidden window when given none)
/// and gives it back, with the accessibility events of the menu's start and end. Lives for one loop.
class TTBModalHandler {
public:
    explicit TTBModalHandler(ui::HWND window);
    ~TTBModalHandler();
    TTBModalHandler(const TTBModalHandler&) = delete;
    TTBModalHandler& operator=(const TTBModalHandler&) = delete;

    [[nodiscard]] ui::HWND GetWindow() const { return FWindow; }
    /// Tracks the menu of rootView until it has a done action or the capture is lost. startedByMouse: the
    /// press on the root view's selection is replayed first; executeSelectedFirst: the selection runs (with
    /// priority unless keepPriority) before anything is read; trackRightButton: the right button counts as
    /// the left one does.
    void Loop(TTBView* rootView, bool startedByMouse, bool executeSelectedFirst, bool keepPriority,
              bool trackRightButton);

private:
    class TLoop;

    ui::HWND FWindow = nullptr;
    bool FOwnWindow = false;
};

// ---- The pop-up window ------------------------------------------------------------------------------------

/// Shows one pop-up view: a top-level window owned by the application's hidden window, with a 3-pixel frame
/// and the scroll bands of a tall menu. It owns its view and frees it with itself.
class TTBPopupWindow : public toolkit::TCustomControl, public ITBPopupWindow {
public:
    /// Made through CreatePopupWindow, which adds the view once the whole window exists.
    TTBPopupWindow(toolkit::TComponent* owner, TTBView* parentView, TTBCustomItem* item, bool customizing);
    ~TTBPopupWindow() override;

    /// A hidden pop-up window of windowClass showing item's children, opened from parentView (none for a
    /// context menu), with its view in the menu loop.
    static TTBPopupWindow* CreatePopupWindow(const TTBPopupWindowClass& windowClass, toolkit::TComponent* owner,
                                             TTBView* parentView, TTBCustomItem* item, bool customizing);

    [[nodiscard]] TTBView* GetView() const override { return FView; }
    [[nodiscard]] toolkit::TPoint GetNCSize() const override;
    /// The tbad bits of where the pop-up lies from its parent item; the slide animation moves that way.
    [[nodiscard]] std::uint8_t GetAnimationDirection() const { return FAnimationDirection; }
    void SetAnimationDirection(std::uint8_t value) { FAnimationDirection = value; }

protected:
    [[nodiscard]] virtual TTBViewClass GetViewClass() const;
    void CreateParams(toolkit::TCreateParams& params) override;
    void CreateWnd() override;
    /// Ends the window's animation, stops its view's timers and tells of the pop-up's end first.
    void DestroyWindowHandle() override;
    /// Closes the view's pop-ups, destroys the window and frees the view while the whole window exists.
    void BeforeDestruction() override;
    void Paint() override;
    virtual void PaintScrollArrows();
    /// Paints the frame into dc, whose origin is the window's top-left.
    virtual void PaintFrame(ui::HDC dc);

    void Dispatch(toolkit::TMessage& message) override;
    /// Shows without activation (animated when the system asks for it), then tells WM_TB_POPUPSHOWING.
    void CMShowingChanged(toolkit::TMessage& message) override;
    void CMHintShow(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMPaint(toolkit::TMessage& message) override;
    void WMNCCalcSize(toolkit::TMessage& message) override;
    /// Ignored: a menu closes through its loop, never by itself.
    virtual void WMClose(toolkit::TMessage& message);
    virtual void WMNCPaint(toolkit::TMessage& message);
    virtual void WMPrint(toolkit::TMessage& message);
    virtual void WMPrintClient(toolkit::TMessage& message);
    virtual void WMGetObject(toolkit::TMessage& message);
    /// WM_TB_POPUPSHOWING; nothing here (themed pop-ups add their shadows).
    virtual void WMTBPopupShowing(toolkit::TMessage& message);

private:
    void CreateView();

    TTBView* FView = nullptr;  // owned
    TTBView* FParentView;
    TTBCustomItem* FItem;
    bool FCustomizing;
    bool FAccelsInitialized = false;
    std::uint8_t FAnimationDirection = 0;
};

// ---- Sounds -----------------------------------------------------------------------------------------------

/// Whether the process has played its first "MenuPopup" sound: that one plays once the pop-up is painted,
/// later ones before it shows. Tests set it back.
[[nodiscard]] bool GetPopupSoundPlayed();
void SetPopupSoundPlayed(bool value);

}  // namespace ovrel::toolbars
