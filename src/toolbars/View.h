#pragma once
// Views: the arrangement of the viewers of one item's children in one window (a toolbar, a menu bar, a
// pop-up menu or a chevron's pop-up). A view keeps its viewers in step with the item tree, lays them out
// on demand (wrapping, chevron overflow, same-width items, right alignment, scrolling of tall pop-ups),
// paints them, and during menu tracking holds the selection, the open child pop-up, the view timers and
// the result of the menu loop. The pop-up windows and the loop itself come in through two seams:
// ITBPopupFactory (Items.h) makes the pop-ups, ITBModalLoop runs the loop.

#include "toolbars/Items.h"
#include "toolbars/Viewers.h"

#include "platform/ui/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {

class TTBViewAccObject;

// ---- Bits and constants -----------------------------------------------------------------------------------

using TTBViewState = std::uint8_t;
inline constexpr TTBViewState ViewStateModal = 0x01;  // in the menu loop
inline constexpr TTBViewState ViewStateMouseInView = 0x02;
inline constexpr TTBViewState ViewStateDrawInOrder = 0x04;  // the selected viewer is not painted last
inline constexpr TTBViewState ViewStateOpenedLeftwards = 0x08;  // placed to the left of its parent item
inline constexpr TTBViewState ViewStateIgnoreNextMouseUp = 0x10;  // the release of the opening press
inline constexpr TTBViewState ViewStateAccelsShown = 0x20;
inline constexpr TTBViewState ViewStateDropDownMode = 0x40;  // selecting opens the pop-up at once
inline constexpr TTBViewState ViewStateNoAnimation = 0x80;

using TTBViewStyle = std::uint8_t;
inline constexpr TTBViewStyle ViewStyleMenuBar = 0x01;
inline constexpr TTBViewStyle ViewStyleAccelsFollowSystem = 0x02;
inline constexpr TTBViewStyle ViewStyleShowHints = 0x04;

/// Floating is horizontal with the margins of a floating toolbar.
enum TTBViewOrientation : std::uint8_t { tbvoHorizontal, tbvoVertical, tbvoFloating };

/// The timers of a pop-up view, set on its window with the id ViewTimerBaseId + n.
enum TViewTimer : std::uint8_t {
    tiOpen,  // opens the selected submenu
    tiClose,  // closes the open submenu
    tiScrollUp,
    tiScrollDown,
};
inline constexpr ui::UINT_PTR ViewTimerBaseId = 9000;

/// How EnterToolbarLoop starts the loop.
using TTBEnterToolbarLoopOptions = std::uint8_t;
inline constexpr TTBEnterToolbarLoopOptions tbetMouseDown = 0x01;  // started by a press on the selection
inline constexpr TTBEnterToolbarLoopOptions tbetExecuteSelected = 0x02;  // executes the selection first
inline constexpr TTBEnterToolbarLoopOptions tbetKeepPriority = 0x04;  // ... without giving it priority

/// The height of the scroll bands of a tall pop-up.
inline constexpr int ScrollBandHeight = 19;

/// The screen position the menu loop last handled, shared by every view. X = LastMousePosUnknown forces a
/// cursor and hint update.
inline constexpr int LastMousePosUnknown = static_cast<int>(0x80000000u);
[[nodiscard]] toolkit::TPoint& LastMousePos();

// ---- Seams ------------------------------------------------------------------------------------------------

/// What a view needs of the pop-up window that shows it; the pop-up window class implements it. A view
/// whose window is one (with a handle) runs the view timers on it.
class ITBPopupWindow {
public:
    [[nodiscard]] virtual TTBView* GetView() const = 0;
    /// The frame around the client area, on each side.
    [[nodiscard]] virtual toolkit::TPoint GetNCSize() const = 0;

protected:
    ~ITBPopupWindow() = default;
};

/// Runs the menu loop of a view until its root view has a done action or loses the mouse capture: keys
/// to the deepest open view, mouse input to the viewer under it, view timers to their views.
class ITBModalLoop {
public:
    virtual ~ITBModalLoop() = default;
    virtual void Run(TTBView& view, TTBEnterToolbarLoopOptions options) = 0;
};

/// The loop in place; by default one that returns at once.
[[nodiscard]] ITBModalLoop& ModalLoop();
/// Puts loop in place (borrowed; must outlive its use); null restores the default. Returns the previous one.
ITBModalLoop* SetModalLoop(ITBModalLoop* loop);

// ---- Views ------------------------------------------------------------------------------------------------

using TTBViewClass =
    toolkit::TClassOf<TTBView, toolkit::TComponent*, TTBView*, TTBCustomItem*, toolkit::TWinControl*, bool, bool, bool>;

/// The viewers of one item's children in one window. Owned by the window that shows it.
class TTBView : public toolkit::TComponent, public ITBPopupParentView {
public:
    /// Made through CreateView, which builds the viewers once the whole object exists.
    TTBView(toolkit::TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem, toolkit::TWinControl* window,
            bool isToolbar, bool customizing, bool usePriorityList);
    ~TTBView() override;

    /// A view of viewClass with its viewers, those of its class's chevron item among them.
    static TTBView* CreateView(const TTBViewClass& viewClass, toolkit::TComponent* owner, TTBView* parentView,
                               TTBCustomItem* parentItem, toolkit::TWinControl* window, bool isToolbar,
                               bool customizing, bool usePriorityList);

    // -- What the view shows ---------------------------------------------------------------------------------
    [[nodiscard]] TTBView* GetParentView() const { return FParentView; }
    /// The item whose children are shown; none once it was freed.
    [[nodiscard]] TTBCustomItem* GetParentItem() const { return FParentItem; }
    /// The parent item, or the item it links to.
    [[nodiscard]] TTBCustomItem* GetCurParentItem() const { return FCurParentItem; }
    [[nodiscard]] toolkit::TWinControl* GetWindow() const { return FWindow; }
    [[nodiscard]] int GetViewerCount() const { return static_cast<int>(FViewers.size()); }
    [[nodiscard]] TTBItemViewer* GetViewer(int index) const;
    /// The first viewer of item; ETBItemError when it has none.
    [[nodiscard]] TTBItemViewer* FindViewerOfItem(const TTBCustomItem* item) const;
    /// -1 for none or a viewer of another view.
    [[nodiscard]] int IndexOfViewer(const TTBItemViewer* viewer) const;
    /// The viewers in the order they keep their place when room is short; empty when none is kept.
    [[nodiscard]] const std::vector<TTBItemViewer*>& GetPriorityList() const { return FPriorityList; }
    [[nodiscard]] bool GetUsePriorityList() const { return FUsePriorityList; }
    /// Rebuilds the viewers when it changes.
    void SetUsePriorityList(bool value);
    [[nodiscard]] int GetInternalViewersAtFront() const { return FInternalViewersAtFront; }
    [[nodiscard]] int GetInternalViewersAtEnd() const { return FInternalViewersAtEnd; }
    /// Rebuilds every viewer from the item tree.
    void RecreateAllViewers();
    /// Empty when the viewers match the item tree (inline groups, levels, internal viewers, priority list,
    /// selection); else what differs. For tests, after each step.
    [[nodiscard]] std::string SelfCheck() const;

    // -- Kind, state and geometry ----------------------------------------------------------------------------
    [[nodiscard]] bool IsToolbar() const { return FIsToolbar; }
    [[nodiscard]] bool IsPopup() const { return !FIsToolbar; }
    /// A chevron's pop-up view lays out as a toolbar.
    void SetIsToolbar(bool value);
    [[nodiscard]] bool GetCustomizing() const { return FCustomizing; }
    [[nodiscard]] TTBViewState GetState() const { return FState; }
    void SetState(TTBViewState value) { FState = value; }
    [[nodiscard]] TTBViewStyle GetStyle() const { return FStyle; }
    void SetStyle(TTBViewStyle value) { FStyle = value; }
    [[nodiscard]] TTBViewOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TTBViewOrientation value);
    /// For a chevron's pop-up: the toolbar view whose overflowing items it shows. Cleared when it is freed.
    [[nodiscard]] TTBView* GetChevronParentView() const { return FChevronParentView; }
    void SetChevronParentView(TTBView* value);
    /// Line length at which lines wrap; 0: none.
    [[nodiscard]] int GetWrapOffset() const { return FWrapOffset; }
    void SetWrapOffset(int value);
    /// Length available before the chevron; 0: no chevron handling.
    [[nodiscard]] int GetChevronOffset() const { return FChevronOffset; }
    void SetChevronOffset(int value);
    [[nodiscard]] int GetChevronSize() const { return FChevronSize; }
    void SetChevronSize(int value);
    /// Height limit of a pop-up; taller ones scroll. 0: none.
    [[nodiscard]] int GetMaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int value);
    [[nodiscard]] int GetScrollOffset() const { return FScrollOffset; }
    [[nodiscard]] bool GetShowUpArrow() const { return FShowUpArrow; }
    [[nodiscard]] bool GetShowDownArrow() const { return FShowDownArrow; }
    /// The monitor the pop-up was placed on; its submenus stay on it.
    [[nodiscard]] const toolkit::TRect& GetMonitorRect() const { return FMonitorRect; }
    void SetMonitorRect(const toolkit::TRect& value) { FMonitorRect = value; }
    [[nodiscard]] toolkit::TColor GetBackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(toolkit::TColor value) { FBackgroundColor = value; }
    /// The viewers' length along the orientation and their largest cross size, from the last layout.
    [[nodiscard]] toolkit::TPoint GetBaseSize() const { return FBaseSize; }
    [[nodiscard]] bool IsAncestorOf(const TTBView* view) const;
    [[nodiscard]] TTBView* GetRootView();
    /// This view or the nearest parent view that is a toolbar view; none.
    [[nodiscard]] TTBView* GetToolbarView();
    /// The window controls of the control items that overflowed.
    void GetOverflowedWinControls(std::vector<toolkit::TWinControl*>& list) const;
    [[nodiscard]] virtual toolkit::TFont* GetFont() const;
    [[nodiscard]] virtual TTBCustomItem* GetChevronItem() const { return nullptr; }

    // -- Layout ----------------------------------------------------------------------------------------------
    void BeginUpdate();
    /// The last end lays the view out when it needs it.
    void EndUpdate();
    [[nodiscard]] bool GetValidated() const { return FValidated; }
    virtual void InvalidatePositions();
    void EnsureLayout();
    /// EnsureLayout unless updating or while the items load.
    void TryEnsureLayout();
    void Relayout();
    /// Lays the viewers out for the given settings. With canMoveControls the viewers and the control items'
    /// controls take the result (and the result says whether any viewer changed); without, nothing changes.
    /// totalSize comes in as the least size wanted and leaves as the size needed.
    bool ComputeLayout(bool canMoveControls, TTBViewOrientation orientation, int wrapOffset, int chevronOffset,
                       int chevronSize, toolkit::TPoint& baseSize, toolkit::TPoint& totalSize, int& lineCount);
    /// The first placed viewer at a client point; none.
    [[nodiscard]] TTBItemViewer* ViewerFromPoint(toolkit::TPoint point);
    /// The first placed non-separator by priority.
    [[nodiscard]] TTBItemViewer* HighestPriorityViewer();
    /// Puts viewer first in the priority list (and the parent view's open viewer first in its own).
    void GivePriority(TTBItemViewer* viewer);

    // -- Painting --------------------------------------------------------------------------------------------
    /// Every viewer, the selected one last unless ViewStateDrawInOrder (which this clears).
    void PaintViewers(toolkit::TCanvas* canvas);
    void PaintViewer(TTBItemViewer* viewer, toolkit::TCanvas* canvas, bool offscreen);
    /// Repaints one viewer off-screen on the next paint.
    void InvalidateViewer(TTBItemViewer* viewer);

    // -- Selection -------------------------------------------------------------------------------------------
    [[nodiscard]] TTBItemViewer* GetSelected() const { return FSelected; }
    [[nodiscard]] bool GetSelectedViaMouse() const { return FSelectedViaMouse; }
    /// The mouse is over the selection (over its button part while it holds the mouse).
    [[nodiscard]] bool GetMouseOverSelected() const { return FMouseOverSelected; }
    void Select(TTBItemViewer* viewer) { SetSelected(viewer, false); }
    void SetSelected(TTBItemViewer* viewer, bool viaMouse);
    /// Follows the mouse at a screen point (none: it is elsewhere); a new viewer is taken only when
    /// allowNewSelection or something is selected.
    void TrackMouse(const toolkit::TPoint* screenPoint, bool allowNewSelection);
    [[nodiscard]] TTBItemViewer* FirstSelectable();
    /// The next selectable viewer after from (none: from the start, or the last one backwards), wrapping.
    [[nodiscard]] TTBItemViewer* NextSelectable(const TTBItemViewer* from, bool forward);
    /// The viewer whose accelerator (else first letter) is ch, searching on from from; unique tells whether
    /// the match can run at once.
    [[nodiscard]] TTBItemViewer* FindAccelerator(const TTBItemViewer* from, char32_t ch, bool explicitOnly,
                                                 bool& unique);
    /// Selects viewer (when there is one) and scrolls it into view.
    void SelectAndScroll(TTBItemViewer* viewer);

    // -- Child pop-ups ---------------------------------------------------------------------------------------
    [[nodiscard]] TTBItemViewer* GetOpenViewer() const { return FOpenViewer; }
    [[nodiscard]] TTBView* GetOpenViewerView() const { return FOpenViewerView; }
    [[nodiscard]] toolkit::TWinControl* GetOpenViewerWindow() const { return FOpenViewerWindow; }
    /// Opens the selected viewer's pop-up unless it is open; whether one is open.
    bool OpenChildPopup(bool selectFirstItem);
    /// Frees the open pop-up and those it opened.
    void CloseChildPopups();
    /// Also ends the drop-down mode of a toolbar view.
    void CancelChildPopups();
    /// Called by the pop-up factory once window (showing view) opened from viewer of this view: the view
    /// keeps it as its open pop-up until it closes it or the window is freed.
    void PopupOpened(toolkit::TWinControl* window, TTBView* view, TTBItemViewer* viewer);

    // -- Timers and scrolling --------------------------------------------------------------------------------
    void StartTimer(TViewTimer timer, int milliseconds);
    void StopTimer(TViewTimer timer);
    void StopAllTimers();
    [[nodiscard]] bool IsTimerRunning(TViewTimer timer) const;
    /// What the menu loop does with the view timer ViewTimerBaseId + timer of this view's window.
    void HandleTimer(TViewTimer timer);
    void ScrollByItem(bool down);
    void ScrollSelectedIntoView();

    // -- The menu loop ---------------------------------------------------------------------------------------
    [[nodiscard]] bool GetCapture() const { return FCapture; }
    /// The selected viewer holds the mouse (a button was pressed on it).
    void BeginCapture() { FCapture = true; }
    void CancelCapture();
    [[nodiscard]] ui::HWND GetCaptureWindow() const { return FCaptureWindow; }
    void SetCaptureWindow(ui::HWND value) { FCaptureWindow = value; }
    /// Kept in the root view: what happens once the loop has ended.
    [[nodiscard]] const TMenuDoneAction& GetDoneAction() const { return FDoneAction; }
    void SetDoneAction(const TMenuDoneAction& value) { FDoneAction = value; }
    void EndModal();
    void EndModalWithExecute(TTBItemViewer* viewer);
    void EndModalWithHelp(int helpContext);
    void EndModalWithSystemKey(ui::HWND window, char32_t ch);
    /// Opens or executes the selection; ends the loop when there is nothing to do.
    void ExecuteSelected(bool givePriority);
    /// The menu keys; a key it uses becomes 0.
    virtual void KeyDown(std::uint16_t& key, toolkit::TShiftState shift);
    void SetAccelsVisibility(bool show);
    /// Announces the selected viewer to assistive technology.
    void NotifyFocus();
    /// This view's accessibility object, made on first request; the view keeps its own reference.
    [[nodiscard]] TTBViewAccObject* GetAccObject();
    /// WM_GETOBJECT: whether the view answered it. Only an accessibility library could take the object to a
    /// client, and none is bound, so the window's default answers.
    bool HandleGetObject(toolkit::TMessage& message);
    /// Runs the menu loop of a toolbar view, then carries out its done action.
    void EnterToolbarLoop(TTBEnterToolbarLoopOptions options);

    // -- ITBPopupParentView ----------------------------------------------------------------------------------
    [[nodiscard]] bool IsVertical() const override { return FOrientation == tbvoVertical; }
    [[nodiscard]] toolkit::TPoint GetClientOriginOnScreen() const override;
    void ForEachShownViewer(const std::function<void(const toolkit::TRect&)>& visit) const override;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    /// Sizes the window to the layout; the base does nothing.
    virtual void AutoSize(int width, int height);
    /// Lays out with the view's own settings and repaints what changed; size is as for ComputeLayout.
    virtual void DoUpdatePositions(toolkit::TPoint& size);
    /// Left, top, right and bottom margins for an orientation.
    virtual void GetMargins(TTBViewOrientation orientation, toolkit::TRect& margins) const;

private:
    friend class TTBItemViewer;

    // Viewer list
    void BuildViewers();
    int InsertItemViewers(int index, TTBCustomItem* item, int groupLevel, bool usePriority, bool newGetsTopPriority);
    void RemoveViewer(int index);
    void RecreateViewer(int index);
    void ForgetViewer(TTBItemViewer* viewer);
    void UpdateCurParentItem();
    void ItemNotification(TTBCustomItem* ancestor, bool relayed, TTBItemChange kind, int index, TTBCustomItem* item);
    void ParentItemNotification(TTBCustomItem* ancestor, bool relayed, TTBItemChange kind, int index,
                                TTBCustomItem* item);
    void ItemInserted(TTBCustomItem* ancestor, int index, TTBCustomItem* item);
    void ItemDeleting(TTBCustomItem* item);
    void InvalidatePositionsAll();
    [[nodiscard]] TTBItemChangeProc ItemProc() { return TTBItemChangeProc(this, &TTBView::ItemNotification); }
    [[nodiscard]] TTBItemChangeProc ParentItemProc()
    {
        return TTBItemChangeProc(this, &TTBView::ParentItemNotification);
    }

    /// Relayout after the scroll offset alone changed: the viewers keep the sizes they were measured at.
    void RelayoutScrolled();

    // Painting
    void RepaintWindowOffscreen();

    // Tracking
    [[nodiscard]] ui::HWND TimerWindow() const;
    [[nodiscard]] bool ComputeMouseOver(const TTBItemViewer* viewer);
    void TrackScrollBands(const toolkit::TPoint* screenPoint);

    std::uint8_t FActiveTimers = 0;
    toolkit::TColor FBackgroundColor = toolkit::clDefault;
    toolkit::TPoint FBaseSize{0, 0};
    bool FCapture = false;
    ui::HWND FCaptureWindow = nullptr;
    int FChevronOffset = 0;
    TTBView* FChevronParentView = nullptr;
    int FChevronSize = 0;
    TTBCustomItem* FCurParentItem = nullptr;
    bool FCustomizing;
    TMenuDoneAction FDoneAction;
    int FInternalViewersAtEnd = 0;
    int FInternalViewersAtFront = 0;
    bool FIsToolbar;
    int FMaxHeight = 0;
    toolkit::TRect FMonitorRect{0, 0, 0, 0};
    bool FMouseOverSelected = false;
    TTBItemViewer* FOpenViewer = nullptr;
    TTBView* FOpenViewerView = nullptr;
    toolkit::TWinControl* FOpenViewerWindow = nullptr;
    TTBView* FParentView;
    TTBCustomItem* FParentItem;
    std::vector<TTBItemViewer*> FPriorityList;
    TTBViewOrientation FOrientation = tbvoHorizontal;
    int FScrollOffset = 0;
    TTBItemViewer* FSelected = nullptr;
    bool FSelectedViaMouse = false;
    bool FShowDownArrow = false;
    bool FShowUpArrow = false;
    TTBViewState FState = 0;
    TTBViewStyle FStyle = 0;
    int FUpdating = 0;
    bool FUsePriorityList;
    bool FValidated = false;
    std::vector<std::unique_ptr<TTBItemViewer>> FViewers;
    toolkit::TWinControl* FWindow;
    int FWrapOffset = 0;
    bool FBuilt = false;
    bool FReuseMeasurements = false;
    TTBViewAccObject* FAccObject = nullptr;  // one reference held
};

/// The view of a pop-up window: it sizes its window and draws with its window's font.
class TTBPopupView : public TTBView {
public:
    using TTBView::TTBView;

    [[nodiscard]] toolkit::TFont* GetFont() const override;

protected:
    /// The window becomes the layout's size plus its frame, at its current place.
    void AutoSize(int width, int height) override;
};

}  // namespace ovrel::toolbars
