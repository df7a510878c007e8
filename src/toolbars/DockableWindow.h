#pragma once
// Dockable windows: the base of every window that sits in a dock or floats in a small frame of its own (the
// toolbar, the themed toolbar and the dockable panel). It keeps its requested place in a dock, moves between
// hidden, docked and floating through one parent change that keeps its window, draws its docked frame (drag
// handle and close button), keeps a floating frame shown only while its form is, and runs the drag and
// resize loops with which the user moves and sizes it.

#include "platform/ui/Types.h"
#include "toolbars/Dock.h"
#include "toolbars/DockArrange.h"
#include "toolbars/DockTypes.h"
#include "toolbars/FloatingGeometry.h"
#include "toolbars/Hooks.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {

class TTBFloatingWindowParent;

enum TTBDragHandleStyle : std::uint8_t { dhDouble, dhNone, dhSingle };
using TTBDockableTo = toolkit::TSet<TTBDockPosition>;
/// fmOnTopOfParentForm: the floating frame stays above its form and hides with it; fmOnTopOfAllForms: above
/// every window while enabled.
enum TTBFloatingMode : std::uint8_t { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum TTBFloatingResizeOption : std::uint8_t { froEightCorners, froClipCursor };
using TTBFloatingResizeOptions = toolkit::TSet<TTBFloatingResizeOption>;

/// Floating: the window is about to float; dockingTo: the dock it goes to, or none.
using TTBDockChangingEvent = toolkit::TEvent<toolkit::TObject*, bool, TTBDock*>;
/// CanClose starts true.
using TTBCloseQueryEvent = toolkit::TEvent<toolkit::TObject*, bool&>;
using TTBFloatingWindowParentClass = toolkit::TClassOf<TTBFloatingWindowParent, toolkit::TComponent*>;

/// What a caller hands to ReadPositionData: a reader of an integer addressed by the window's name and a value
/// name, with the value to use when there is none. The caller's own data travels inside the function.
struct TTBReadPositionData {
    std::function<int(const std::string& windowName, const std::string& valueName, int defaultValue)> ReadInt;
};
struct TTBWritePositionData {
    std::function<void(const std::string& windowName, const std::string& valueName, int value)> WriteInt;
};

/// The width of the drag handle along the dock: 9, 0 and 6 for the three styles, 14 for each when the
/// close button shows there.
[[nodiscard]] int DragHandleWidth(TTBDragHandleStyle style, bool closeButtonWhenDocked);
/// Where the grip strips start inside the handle.
[[nodiscard]] int DragHandleGripOffset(TTBDragHandleStyle style, bool closeButtonWhenDocked);

/// Gives the activation to another visible, enabled top-level window of the program (not the application's
/// window), preferring those that are not tool windows; nothing when there is none.
void ActivateOtherTopLevel(ui::HWND leaving);

/// Tracks a press on a close button drawn in window's frame: the mouse is held, setPressed shows the pressed
/// look while the cursor is inside buttonInWindow (window coordinates); keys and other buttons are ignored.
/// Returns true when the left button was released inside.
[[nodiscard]] bool TrackCloseButton(ui::HWND window, const toolkit::TRect& buttonInWindow,
                                    const std::function<void(bool pressed)>& setPressed);

/// A window that can sit in a TTBDock or float in a TTBFloatingWindowParent.
class TTBCustomDockableWindow : public toolkit::TCustomControl {
public:
    explicit TTBCustomDockableWindow(toolkit::TComponent* owner);
    ~TTBCustomDockableWindow() override;

    // -- Place -----------------------------------------------------------------------------------------------
    /// The dock the window is in; none while floating or on its form. Setting it docks the window, or for
    /// none moves it onto its form (ignored while loading).
    [[nodiscard]] TTBDock* GetCurrentDock() const { return FCurrentDock; }
    void SetCurrentDock(TTBDock* value);
    [[nodiscard]] bool GetDocked() const { return FDocked; }
    [[nodiscard]] bool GetFloating() const { return FFloating; }
    /// Floats the window in its frame (made on the first call for each form), or moves it onto its form.
    /// EInvalidOperation when the window has no form.
    void SetFloating(bool value);
    /// The form the window belongs to: its frame's form while floating, else the form it is on.
    [[nodiscard]] toolkit::TCustomForm* GetOwningForm() const;
    /// The frame this window made; owned by the window.
    [[nodiscard]] TTBFloatingWindowParent* GetFloatParent() const { return FFloatParent; }
    /// Screen position of the floating frame's top-left.
    [[nodiscard]] toolkit::TPoint GetFloatingPosition() const { return FFloatingPosition; }
    void MoveFloatingTo(toolkit::TPoint position);
    /// Moves a floating frame inside the work area of its monitor; with onlyIfFullyOff only when none of it
    /// is on the work area.
    void MoveOnScreen(bool onlyIfFullyOff);

    /// The requested row and position; setting either re-arranges the dock the window is in.
    [[nodiscard]] int GetDockRow() const { return FDockRow; }
    void SetDockRow(int value);
    [[nodiscard]] int GetDockPos() const { return FDockPos; }
    void SetDockPos(int value);
    /// Where the dock's last arrangement put the window; row -1 until it was arranged.
    [[nodiscard]] int GetEffectiveRow() const { return FEffectiveRow; }
    [[nodiscard]] int GetEffectivePos() const { return FEffectivePos; }
    /// The thickness across the dock that the window needed in the last arrangement.
    [[nodiscard]] int GetLastRowThickness() const { return FLastRowThickness; }
    /// The length the dock imposed when shorter than the natural one; 0 when not shrunk.
    [[nodiscard]] int GetShrunkLength() const { return FShrunkLength; }
    /// Set by the drag loop for the one arrangement after a drop before a row.
    [[nodiscard]] bool GetStartsNewRow() const { return FStartsNewRow; }

    [[nodiscard]] TTBDock* GetDefaultDock() const { return FDefaultDock; }
    void SetDefaultDock(TTBDock* value);
    /// With UseLastDock, the dock a floating or hidden window returns to; the window stays in its list.
    [[nodiscard]] TTBDock* GetLastDock() const { return FLastDock; }
    void SetLastDock(TTBDock* value);
    [[nodiscard]] bool GetUseLastDock() const { return FUseLastDock; }
    void SetUseLastDock(bool value);

    /// Forms besides its own whose docks the window may be dragged into; a form leaves when freed.
    void AddDockForm(toolkit::TCustomForm* form);
    void RemoveDockForm(toolkit::TCustomForm* form);

    // -- Settings --------------------------------------------------------------------------------------------
    [[nodiscard]] bool GetAutoResize() const { return FAutoResize; }
    void SetAutoResize(bool value);
    [[nodiscard]] bool GetDblClickUndock() const { return FDblClickUndock; }
    void SetDblClickUndock(bool value) { FDblClickUndock = value; }
    [[nodiscard]] bool GetActivateParent() const { return FActivateParent; }
    void SetActivateParent(bool value) { FActivateParent = value; }
    [[nodiscard]] bool GetHideWhenInactive() const { return FHideWhenInactive; }
    void SetHideWhenInactive(bool value);
    /// The close button of the floating frame.
    [[nodiscard]] bool GetCloseButton() const { return FCloseButton; }
    void SetCloseButton(bool value);
    [[nodiscard]] bool GetCloseButtonWhenDocked() const { return FCloseButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool value);
    /// Takes a whole row of the dock.
    [[nodiscard]] bool GetFullSize() const { return FFullSize; }
    void SetFullSize(bool value);
    /// The floating frame can be resized.
    [[nodiscard]] bool GetResizable() const { return FResizable; }
    void SetResizable(bool value);
    [[nodiscard]] bool GetShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    /// Fills the room after it on its row.
    [[nodiscard]] bool GetStretch() const { return FStretch; }
    void SetStretch(bool value);
    [[nodiscard]] toolkit::TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(toolkit::TBorderStyle value);
    [[nodiscard]] TTBDockMode GetDockMode() const { return FDockMode; }
    void SetDockMode(TTBDockMode value) { FDockMode = value; }
    [[nodiscard]] TTBDragHandleStyle GetDragHandleStyle() const { return FDragHandleStyle; }
    void SetDragHandleStyle(TTBDragHandleStyle value);
    [[nodiscard]] TTBDockableTo GetDockableTo() const { return FDockableTo; }
    void SetDockableTo(TTBDockableTo value) { FDockableTo = value; }
    [[nodiscard]] TTBFloatingMode GetFloatingMode() const { return FFloatingMode; }
    void SetFloatingMode(TTBFloatingMode value);
    /// Moves live while dragged; without it an outline is drawn and the move applied on release.
    [[nodiscard]] bool GetSmoothDrag() const { return FSmoothDrag; }
    void SetSmoothDrag(bool value) { FSmoothDrag = value; }
    [[nodiscard]] TTBFloatingResizeOptions GetFloatingResizeOptions() const { return FFloatingResizeOptions; }
    void SetFloatingResizeOptions(TTBFloatingResizeOptions value) { FFloatingResizeOptions = value; }
    /// Read from a form description; a window saved at design time keeps its floating position relative to
    /// the form.
    [[nodiscard]] bool GetSavedAtRunTime() const { return FSavedAtRunTime; }
    void SetSavedAtRunTime(bool value) { FSavedAtRunTime = value; }

    // -- State -----------------------------------------------------------------------------------------------
    /// The floating caption is drawn inactive: floating, not HideWhenInactive, and the application inactive.
    [[nodiscard]] bool GetInactiveCaption() const { return FInactiveCaption; }
    /// A smooth drag is under way.
    [[nodiscard]] bool GetSmoothDragging() const { return FSmoothDragging; }
    [[nodiscard]] bool GetCloseButtonDown() const { return FCloseButtonDown; }
    [[nodiscard]] bool GetCloseButtonHover() const { return FCloseButtonHover; }

    // -- Operations ------------------------------------------------------------------------------------------
    /// Size recalculations asked for meanwhile run at the EndUpdate that ends the last BeginUpdate.
    void BeginUpdate() { ++FDisableArrange; }
    void EndUpdate();
    /// Lays the content out again and takes the size it needs (through the dock when docked).
    void RecalcSize();
    /// OnCloseQuery, then hides the window and fires OnClose.
    void Close();
    /// Undocks a docked window; docks a floating one into its last or default dock.
    void DoubleClick();
    /// Docked in a dock that allows dragging, or floating.
    [[nodiscard]] bool CanBeDragged() const;
    /// What the window is laid out for now.
    [[nodiscard]] TTBDockType GetDockType() const;
    /// The floating frame's geometry for this window.
    [[nodiscard]] TFloatingFrameMetrics GetFloatingFrameMetrics();

    /// Moves the window with the mouse from a press at (x, y), client coordinates; returns when the button
    /// is released (dropped), on Escape or another press (no drop) or when the capture is lost.
    void RunDragLoop(int x, int y);
    /// Resizes a floating window by one edge of its frame (0 left, 1 right, 2 top, 3 top-left, 4 top-right,
    /// 5 bottom, 6 bottom-left, 7 bottom-right).
    void RunResizeLoop(int edge);

    // -- Overridable sizes and answers -----------------------------------------------------------------------
    /// The docked frame in dock: x horizontal pixels, y vertical ones; (0, 0) for none.
    [[nodiscard]] virtual toolkit::TPoint GetDockedFrameSize(const TTBDock* dock) const;
    /// Whether the window goes into dock: its position is in DockableTo.
    [[nodiscard]] virtual bool AcceptsDock(TTBDock* dock);
    /// Whether a press at point (client coordinates) is kept from starting a drag: a visible child is there.
    [[nodiscard]] virtual bool PointBlocksDrag(toolkit::TPoint point);
    /// The content size for a kind of place; with apply the content is laid out for it too.
    [[nodiscard]] virtual toolkit::TSize ComputeSize(bool apply, TTBDockType dockType, TTBDock* dock,
                                                     bool floating) = 0;
    /// The content size for the current place, without the docked frame.
    [[nodiscard]] virtual toolkit::TSize GetNaturalSize() = 0;
    /// The close button in the docked frame, window coordinates.
    [[nodiscard]] virtual toolkit::TRect DockedCloseButtonRect(bool vertical);
    /// The shortest length along the dock; 0 in the base.
    [[nodiscard]] virtual int GetMinimumLength();
    /// The floating size limits; all 0 (none) in the base.
    [[nodiscard]] virtual TResizeLimits GetSizeLimits();
    [[nodiscard]] virtual TTBShrinkMode ShrinkModeOf();
    /// The floating frame's border: the sizing frame when Resizable, else the fixed frame.
    [[nodiscard]] virtual toolkit::TSize FloatingBorderSize();
    virtual void ReadPositionData(const TTBReadPositionData& data);
    virtual void WritePositionData(const TTBWritePositionData& data);

    /// The docking transition: to a dock, a floating frame, the form or no parent.
    void SetParent(toolkit::TWinControl* value) override;
    void SetBounds(int left, int top, int width, int height) override;
    [[nodiscard]] bool HasParent() const override;
    [[nodiscard]] toolkit::TComponent* GetParentComponent() const override;

    /// The window as its dock's arrangement sees it; it lives as long as the window.
    [[nodiscard]] ITBDockedWindow& GetDockedLink();
    [[nodiscard]] const ITBDockedWindow& GetDockedLink() const;
    /// The window behind a link that GetDockedLink gave.
    [[nodiscard]] static TTBCustomDockableWindow* FromDockedLink(const ITBDockedWindow* link);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

    toolkit::TNotifyEvent OnClose;
    toolkit::TNotifyEvent OnDockChanged;
    toolkit::TNotifyEvent OnMove;
    toolkit::TNotifyEvent OnRecreated;
    toolkit::TNotifyEvent OnRecreating;
    toolkit::TNotifyEvent OnVisibleChanged;
    TTBCloseQueryEvent OnCloseQuery;
    TTBDockChangingEvent OnDockChanging;
    /// Fired while the window is already hidden, before it changes its parent.
    TTBDockChangingEvent OnDockChangingHidden;

protected:
    /// Paints the docked frame into dc (window coordinates). Without drawToDC dc is the window's own, clipped
    /// here to the update region clip and outside the client area.
    virtual void PaintDockedFrame(bool drawToDC, ui::HDC dc, ui::HRGN clip);
    /// Called before a size change that the window was not given by its own layout.
    virtual void BeforeSizeChange(int newWidth, int newHeight);
    [[nodiscard]] virtual bool ChildIgnoredForDrag(toolkit::TControl* control);
    virtual void DoDockChangingHidden(bool floating, TTBDock* dockingTo);
    [[nodiscard]] virtual TTBFloatingWindowParentClass GetFloatingParentClass();
    virtual void AfterLoaded();
    // The resize loop's hooks: at its start, for each tracked rectangle, when a size is applied, at its end.
    virtual void ResizeBegin(int edge);
    virtual void ResizeTrack(toolkit::TRect& rect, const toolkit::TRect& origRect);
    virtual void ResizeAccept();
    virtual void ResizeEnd();

    /// The second half of RecalcSize, for content that has laid itself out already: a docked window has its dock
    /// arrange again; off a dock the window takes size (with AutoResize, or floating).
    void ApplyRecalculatedSize(toolkit::TSize size);
    /// Re-evaluates whether the window (and its floating frame) should show, and shows or hides it.
    void UpdateVisibility();
    [[nodiscard]] bool ShouldBeVisible() const;
    /// The drag handle's width for the current dock; 0 when the dock does not allow dragging.
    [[nodiscard]] int GetDragHandleSize() const;
    /// Repaints the docked frame now.
    void RedrawDockedFrame();
    void SetShrunkLength(int value) { FShrunkLength = value; }

    void Loaded() override;
    void BeforeDestruction() override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    void CreateParams(toolkit::TCreateParams& params) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void Dispatch(toolkit::TMessage& message) override;

    // -- Message handlers ------------------------------------------------------------------------------------
    void WMNCCalcSize(toolkit::TMessage& message) override;
    void WMNCHitTest(toolkit::TMessage& message) override;
    void WMSetCursor(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMContextMenu(toolkit::TMessage& message) override;
    virtual void WMNCPaint(toolkit::TMessage& message);
    virtual void WMNCMouseMove(toolkit::TMessage& message);
    virtual void WMNCMouseLeave(toolkit::TMessage& message);
    virtual void WMNCLButtonDown(toolkit::TMessage& message);
    virtual void WMNCLButtonDblClk(toolkit::TMessage& message);
    virtual void WMNCRButtonUp(toolkit::TMessage& message);
    virtual void WMMove(toolkit::TMessage& message);
    virtual void WMEnable(toolkit::TMessage& message);
    void CMShowingChanged(toolkit::TMessage& message) override;
    void CMVisibleChanged(toolkit::TMessage& message) override;
    void CMColorChanged(toolkit::TMessage& message) override;
    void CMTextChanged(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;

private:
    class TDockedLink;
    class TTransitionScope;
    class TDragLoop;
    class TResizeLoop;
    friend class TTBFloatingWindowParent;

    [[nodiscard]] bool IsDestroying() const;
    [[nodiscard]] bool IsLoading() const;
    /// CurrentDock, the docked and floating flags and the list of floating windows from the actual parent.
    void RefreshParentState();
    /// Places the window in its dock's client area for an arrangement.
    void PlaceInDock(const toolkit::TRect& bounds, bool recalculate);
    /// Asks the dock the window is in to arrange again.
    void ArrangeCurrentDock();
    /// Recomputes the docked frame (a setting of it changed) and lets the dock lay the window out again.
    void DockedFrameChanged();
    void SetCloseButtonHover(bool value);
    /// The frame's owner and z-order follow the form (or the application), its topmost state the mode.
    void SynchronizeFrameOwner();
    void SynchronizeFrameTopmost();
    /// The press point in window coordinates of a WM_NC* message's screen point.
    [[nodiscard]] toolkit::TPoint ScreenToWindow(toolkit::TPoint screen) const;
    /// Every floating window, for the hook callback.
    static std::vector<TTBCustomDockableWindow*>& FloatingWindows();
    static void HookCallback(THookProcCode code, ui::HWND window, ui::WPARAM wParam, ui::LPARAM lParam);

    std::unique_ptr<TDockedLink> FDockedLink;

    bool FAutoResize = true;
    bool FDblClickUndock = true;
    int FDockPos = -1;
    int FDockRow = 0;
    int FEffectivePos = 0;
    int FEffectiveRow = -1;
    bool FDocked = false;
    TTBDock* FCurrentDock = nullptr;
    TTBDock* FDefaultDock = nullptr;
    TTBDock* FLastDock = nullptr;
    int FShrunkLength = 0;
    bool FFloating = false;

    bool FActivateParent = true;
    bool FHideWhenInactive = true;
    bool FCloseButton = true;
    bool FCloseButtonWhenDocked = false;
    bool FFullSize = false;
    bool FResizable = true;
    bool FShowCaption = true;
    bool FStretch = false;
    bool FUseLastDock = true;
    toolkit::TBorderStyle FBorderStyle = toolkit::TBorderStyle::bsSingle;
    TTBDockMode FDockMode = dmCanFloat;
    TTBDragHandleStyle FDragHandleStyle = dhSingle;
    TTBDockableTo FDockableTo{dpTop, dpBottom, dpLeft, dpRight};
    TTBFloatingMode FFloatingMode = fmOnTopOfParentForm;
    bool FSmoothDrag = true;
    TTBFloatingResizeOptions FFloatingResizeOptions{froEightCorners, froClipCursor};

    int FLastRowThickness = 0;
    bool FStartsNewRow = false;
    int FUpdatingBounds = 0;
    int FDisableArrange = 0;
    int FDisableOnMove = 0;
    int FHidden = 0;
    bool FRecalcPending = false;
    bool FMoved = false;
    bool FInactiveCaption = false;
    toolkit::TPoint FFloatingPosition{};
    std::vector<toolkit::TCustomForm*> FDockForms;
    bool FSavedAtRunTime = false;
    bool FSmoothDragging = false;
    bool FCloseButtonDown = false;
    bool FCloseButtonHover = false;
    TTBFloatingWindowParent* FFloatParent = nullptr;
};

}  // namespace ovrel::toolbars
