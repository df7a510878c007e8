#pragma once
// Controls: the windowless and windowed control classes of the class library, the control messages the
// library generates (CM_ and CN_), alignment, anchors and size constraints, focus enter and exit over a
// subtree, dialog keys, mouse enter/leave for every control, message-only windows with a method as their
// procedure, and the helper that builds a form in code as a load would.

#include "platform/ui/Messages.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/ActnList.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/System.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace ovrel::toolkit {

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TControlActionLink;

// ---------------------------------------------------------------------------------------------------------
// Control messages. 0xB009, 0xB013 and 0xB014 are fixed because subsystems compare with them; the rest only
// have to be unique in 0xB000-0xBFFF. CN_ messages are WM_ messages reflected to the child that caused them.

inline constexpr std::uint32_t CM_BASE = 0xB000;
inline constexpr std::uint32_t CM_PARENTCOLORCHANGED = 0xB009;  // WParam 1: LParam carries the colour
inline constexpr std::uint32_t CM_MOUSEENTER = 0xB013;
inline constexpr std::uint32_t CM_MOUSELEAVE = 0xB014;
inline constexpr std::uint32_t CM_ENTER = 0xB040;
inline constexpr std::uint32_t CM_EXIT = 0xB041;
inline constexpr std::uint32_t CM_DIALOGKEY = 0xB042;  // WParam key, LParam key data; Result != 0 = used
inline constexpr std::uint32_t CM_DIALOGCHAR = 0xB043;  // WParam character (a code point), LParam key data
inline constexpr std::uint32_t CM_COLORCHANGED = 0xB044;
inline constexpr std::uint32_t CM_FONTCHANGED = 0xB045;
inline constexpr std::uint32_t CM_TEXTCHANGED = 0xB046;
inline constexpr std::uint32_t CM_VISIBLECHANGED = 0xB047;  // WParam = the new Visible
inline constexpr std::uint32_t CM_ENABLEDCHANGED = 0xB048;
inline constexpr std::uint32_t CM_SHOWINGCHANGED = 0xB049;
inline constexpr std::uint32_t CM_PARENTFONTCHANGED = 0xB04A;
inline constexpr std::uint32_t CM_APPKEYDOWN = 0xB04B;  // WParam key, LParam key data; Result != 0 = used
inline constexpr std::uint32_t CM_APPSYSCOMMAND = 0xB04C;  // LParam: the TMessage of the WM_SYSCOMMAND
inline constexpr std::uint32_t CM_HINTSHOW = 0xB04D;  // LParam: THintInfo*; Result 0 = show
inline constexpr std::uint32_t CM_SHOWHINTCHANGED = 0xB04E;
inline constexpr std::uint32_t CM_PARENTSHOWHINTCHANGED = 0xB04F;
inline constexpr std::uint32_t CM_SYSCOLORCHANGE = 0xB050;
inline constexpr std::uint32_t CM_WININICHANGE = 0xB051;  // WParam = the SPI that changed
inline constexpr std::uint32_t CM_CONTROLCHANGE = 0xB052;  // WParam control, LParam inserting; after
inline constexpr std::uint32_t CM_CONTROLLISTCHANGE = 0xB053;  // the same, before the change
inline constexpr std::uint32_t CM_CURSORCHANGED = 0xB054;
inline constexpr std::uint32_t CM_FOCUSCHANGED = 0xB055;  // LParam: the control that got the focus
inline constexpr std::uint32_t CM_CANCELMODE = 0xB056;  // LParam: the control that asks for it
inline constexpr std::uint32_t CM_ACTIVATE = 0xB057;
inline constexpr std::uint32_t CM_DEACTIVATE = 0xB058;
inline constexpr std::uint32_t CM_RELEASE = 0xB059;  // posted by a form to free itself after the handler

inline constexpr std::uint32_t CN_BASE = 0xBC00;
inline constexpr std::uint32_t CN_COMMAND = CN_BASE + ui::WM_COMMAND;
inline constexpr std::uint32_t CN_NOTIFY = CN_BASE + ui::WM_NOTIFY;
inline constexpr std::uint32_t CN_KEYDOWN = CN_BASE + ui::WM_KEYDOWN;
inline constexpr std::uint32_t CN_CHAR = CN_BASE + ui::WM_CHAR;
inline constexpr std::uint32_t CN_HSCROLL = CN_BASE + ui::WM_HSCROLL;
inline constexpr std::uint32_t CN_VSCROLL = CN_BASE + ui::WM_VSCROLL;

/// What CM_HINTSHOW hands to the control (the hint machinery itself comes later).
struct THintInfo {
    TControl* HintControl = nullptr;
    ui::POINT HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = 0;
    ui::RECT CursorRect;
    ui::POINT CursorPos;
    std::string HintStr;
};

// ---------------------------------------------------------------------------------------------------------

/// A window procedure of the class library: a method taking the message by reference.
using TWndMethod = TEvent<TMessage&>;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

/// Cursor identifiers of the screen's cursor table (crDefault = the control's class cursor).
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crHSplit = -14;  // a splitter moved left and right
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crHandPoint = -21;

enum TControlStyleItem : std::uint8_t {
    csAcceptsControls,  // children may be placed on it
    csCaptureMouse,  // takes the mouse while a button is held
    csDesignInteractive,
    csClickEvents,  // a press and release on it is a Click
    csFramed,
    csSetCaption,  // the caption follows the name while it equals it
    csOpaque,  // paints its whole client area: no erase behind it
    csDoubleClicks,  // a second press is a double click
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,  // has an action link
    csMenuEvents,  // takes part in menu-key handling
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem : std::uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem>;

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, std::uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char32_t&>;
/// Handled starts false; a handler that sets it stops the default wheel scrolling.
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, ui::POINT, bool&>;
using TMouseWheelUpDownEvent = TEvent<TObject*, TShiftState, ui::POINT, bool&>;
using TContextPopupEvent = TEvent<TObject*, ui::POINT, bool&>;

/// The record a windowed control fills before its window is made.
struct TCreateParams {
    std::string Caption;
    ui::DWORD Style = 0;
    ui::DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    ui::HWND WndParent = nullptr;
    ui::UINT ClassStyle = 0;  // CS_ bits of the window class
    std::string WinClassName;
};

// ---------------------------------------------------------------------------------------------------------

/// Minimum and maximum sizes of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* control) : FControl(control) {}

    [[nodiscard]] int GetMaxHeight() const { return FMaxHeight; }
    [[nodiscard]] int GetMaxWidth() const { return FMaxWidth; }
    [[nodiscard]] int GetMinHeight() const { return FMinHeight; }
    [[nodiscard]] int GetMinWidth() const { return FMinWidth; }
    void SetMaxHeight(int value);
    void SetMaxWidth(int value);
    void SetMinHeight(int value);
    void SetMinWidth(int value);
    void Assign(const TPersistent* source) override;
    [[nodiscard]] TPersistent* GetOwner() const override;

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    void SetValue(int& field, int value);

    TControl* FControl;
    int FMaxHeight = 0;
    int FMaxWidth = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
};

// ---------------------------------------------------------------------------------------------------------

/// A control: something with bounds on a parent that paints and takes input. Windowless unless it is a
/// TWinControl; a windowless control paints on its parent's surface and gets its mouse input by hit test.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // -- Tree and geometry ---------------------------------------------------------------------------------
    [[nodiscard]] TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* value);
    [[nodiscard]] int GetLeft() const { return FLeft; }
    [[nodiscard]] int GetTop() const { return FTop; }
    [[nodiscard]] int GetWidth() const { return FWidth; }
    [[nodiscard]] int GetHeight() const { return FHeight; }
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);
    [[nodiscard]] ui::RECT GetBoundsRect() const;
    void SetBoundsRect(const ui::RECT& value);
    /// Moves and sizes the control; the constraints limit the size first.
    virtual void SetBounds(int left, int top, int width, int height);
    /// The client area in client coordinates; the whole control for a windowless one.
    [[nodiscard]] virtual ui::RECT GetClientRect() const;
    [[nodiscard]] int GetClientWidth() const;
    [[nodiscard]] int GetClientHeight() const;
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    /// The screen position of the client's (0,0).
    [[nodiscard]] virtual ui::POINT GetClientOrigin() const;
    [[nodiscard]] ui::POINT ClientToScreen(ui::POINT point) const;
    [[nodiscard]] ui::POINT ScreenToClient(ui::POINT point) const;
    /// Client coordinates of this control to client coordinates of its parent.
    [[nodiscard]] ui::POINT ClientToParent(ui::POINT point, const TWinControl* parent = nullptr) const;
    [[nodiscard]] ui::POINT ParentToClient(ui::POINT point, const TWinControl* parent = nullptr) const;

    [[nodiscard]] TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign value);
    [[nodiscard]] TAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TAnchors value);
    [[nodiscard]] TSizeConstraints* GetConstraints() const { return FConstraints.get(); }
    void SetConstraints(const TSizeConstraints* value);
    [[nodiscard]] bool GetAutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool value);
    void BringToFront();
    void SendToBack();

    // -- State and appearance --------------------------------------------------------------------------------
    [[nodiscard]] bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    void Show();
    void Hide();
    /// Visible with every parent, and for a windowed control with a window that shows.
    [[nodiscard]] virtual bool GetShowing() const;
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    [[nodiscard]] TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    [[nodiscard]] bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    /// The control's font; owned. Its changes reach the control (CM_FONTCHANGED).
    [[nodiscard]] TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont* value);
    [[nodiscard]] bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    [[nodiscard]] TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor value);
    [[nodiscard]] const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value);
    [[nodiscard]] bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    [[nodiscard]] bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool value);
    [[nodiscard]] TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value) { FBiDiMode = value; }
    /// Not owned; cleared when the menu is freed.
    [[nodiscard]] TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);
    /// Caption and Text are one string; an unchanged value sends nothing.
    [[nodiscard]] std::string GetText() const;
    void SetText(const std::string& value);
    [[nodiscard]] std::string GetCaption() const { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    [[nodiscard]] TControlStyle GetControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle value) { FControlStyle = value; }
    [[nodiscard]] TControlState GetControlState() const { return FControlState; }
    void SetControlState(TControlState value) { FControlState = value; }
    [[nodiscard]] bool GetMouseCapture() const;
    void SetMouseCapture(bool value);

    /// Lets the control's action update it; called at idle time for every showing control.
    virtual void InitiateAction();
    /// The action whose caption, enabled state, hint and visibility the control follows and which a click
    /// executes; not owned, cleared when it is freed.
    [[nodiscard]] TBasicAction* GetAction() const;
    void SetAction(TBasicAction* value);

    // -- Messages --------------------------------------------------------------------------------------------
    /// The procedure every message of this control goes through; replaceable, and saved and restored by
    /// whoever hooks it. The default is WndProc.
    [[nodiscard]] const TWndMethod& GetWindowProc() const { return FWindowProc; }
    void SetWindowProc(const TWndMethod& value);
    /// Sends a message straight to the window procedure and returns its result.
    std::intptr_t Perform(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    /// Hands the message to its handler (the WM and CM methods below); one without goes to DefaultHandler.
    void Dispatch(TMessage& message) override;

    // -- Painting --------------------------------------------------------------------------------------------
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    /// The parent form of a control, the control itself for a form; none when not on a form.
    [[nodiscard]] TCustomForm* GetParentForm() const;
    /// Nearest windowed ancestor or self.
    [[nodiscard]] TWinControl* GetWindowedSelf();

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;
    TNotifyEvent OnCanResize;

protected:
    /// The standard window procedure: mouse state and capture, then Dispatch.
    virtual void WndProc(TMessage& message);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    /// Asks the control how large it wants to be when AutoSize is on; false keeps the size.
    virtual bool CanAutoSize(int& newWidth, int& newHeight);
    virtual void AdjustSize();
    /// Lets a descendant narrow the limits before they apply (0 = no limit).
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    virtual void ChangeScale(int multiplier, int divider);
    virtual void DoContextPopup(ui::POINT mousePos, bool& handled);
    /// Copies the action's properties; with checkDefaults only into properties still at their defaults.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    [[nodiscard]] TControlActionLink* GetActionLink() const { return FActionLink.get(); }
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    /// Sent up from Visible, Align and bounds changes so the parent re-lays out its children.
    void RequestAlign();
    virtual void VisibleChanging();
    /// The text of a windowless control; a windowed one keeps it in its window.
    virtual std::string GetTextValue() const;
    virtual void SetTextValue(const std::string& value);
    /// Placed, sized and notified; used by SetBounds and by the parent's alignment.
    void UpdateBoundsRect(const ui::RECT& rect);
    void DoConstrainSize(int& width, int& height);
    /// Remembers the distances the anchors keep, against the parent's current client size.
    void UpdateAnchorRules();
    void SetZOrder(bool toTop);
    virtual void SetZOrderPosition(int position);
    [[nodiscard]] bool IsAligning() const;

    // -- Message handlers ------------------------------------------------------------------------------------
    // Dispatch hands each of these messages to its own method, so a descendant takes over one message by
    // overriding its method and calls the inherited one for the usual handling. A handler that has nothing
    // more to do passes the message on to DefaultHandler, as Dispatch does with messages that have none.
    // A descendant that handles a message with no method here gives it one the same way: a case in its own
    // Dispatch, which hands every other message to the inherited Dispatch.
    virtual void WMMouseMove(TMessage& message);
    virtual void WMLButtonDown(TMessage& message);
    virtual void WMLButtonDblClk(TMessage& message);
    /// A click handler may free the control: nothing of it is touched after Click then.
    virtual void WMLButtonUp(TMessage& message);
    virtual void WMRButtonDown(TMessage& message);
    virtual void WMRButtonDblClk(TMessage& message);
    virtual void WMRButtonUp(TMessage& message);
    virtual void WMMButtonDown(TMessage& message);
    virtual void WMMButtonDblClk(TMessage& message);
    virtual void WMMButtonUp(TMessage& message);
    /// OnContextPopup, then the PopupMenu when it pops up by itself; Result 1 when either took it.
    virtual void WMContextMenu(TMessage& message);
    virtual void WMCancelMode(TMessage& message);
    /// WParam: the DC to paint into, or none for a window's own paint.
    virtual void WMPaint(TMessage& message);
    virtual void CMVisibleChanged(TMessage& message);
    virtual void CMEnabledChanged(TMessage& message);
    virtual void CMColorChanged(TMessage& message);
    virtual void CMFontChanged(TMessage& message);
    virtual void CMTextChanged(TMessage& message);
    virtual void CMParentColorChanged(TMessage& message);
    virtual void CMParentFontChanged(TMessage& message);
    virtual void CMParentShowHintChanged(TMessage& message);
    virtual void CMHintShow(TMessage& message);
    virtual void CMMouseEnter(TMessage& message);
    virtual void CMMouseLeave(TMessage& message);

private:
    friend class TWinControl;
    friend class TCustomForm;
    void FontChanged(TObject* sender);
    void ConstraintsChanged(TObject* sender);
    void DoActionChange(TObject* sender);
    void SetParentFlag(bool& field, bool value, std::uint32_t msg);
    /// A press (twice: the second of a double click): capture and click state for the left button,
    /// MouseDown, DblClick for a left double click, then DefaultHandler.
    void DoMouseDown(TMessage& message, TMouseButton button, bool twice);
    void DoMouseUp(TMessage& message, TMouseButton button);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    // The anchor rule: bounds and parent client size when the control was last placed by hand.
    ui::RECT FAnchorBounds;
    ui::SIZE FAnchorParentSize;
    bool FAnchorRulesValid = false;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FApplyingParentFont = false;
    TCursor FCursor = crDefault;
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TPopupMenu* FPopupMenu = nullptr;
    TControlStyle FControlStyle;
    TControlState FControlState;
    TWndMethod FWindowProc;
    std::unique_ptr<TControlActionLink> FActionLink;
};

/// The link between a control and its action: a property is linked while the control's value still equals
/// the action's, so a value the control was given by hand is left alone.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* client) : TActionLink(client), FClient(client) {}

    [[nodiscard]] bool IsCaptionLinked() const override;
    [[nodiscard]] bool IsEnabledLinked() const override;
    [[nodiscard]] bool IsHintLinked() const override;
    [[nodiscard]] bool IsVisibleLinked() const override;
    [[nodiscard]] bool IsOnExecuteLinked() const override;
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetHint(const std::string& value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(const TNotifyEvent& value) override;

protected:
    [[nodiscard]] const TCustomAction* Action() const;

    TControl* FClient;
};

// ---------------------------------------------------------------------------------------------------------

/// A control with a window of the layer: it hosts other controls, takes the focus and keys.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // -- Children --------------------------------------------------------------------------------------------
    [[nodiscard]] int GetControlCount() const { return static_cast<int>(FControls.size()); }
    /// Children in z-order, the bottom one first. Raises EListError outside 0..ControlCount-1.
    [[nodiscard]] TControl* GetControl(int index) const;
    [[nodiscard]] bool ContainsControl(const TControl* control) const;
    /// The visible child at a client point, the topmost first; windowless and windowed children both, and
    /// disabled ones too when allowDisabled. allLevels descends into windowed children.
    [[nodiscard]] TControl* ControlAtPos(ui::POINT pos, bool allowDisabled, bool allowWinControls = false,
                                         bool allLevels = false) const;
    /// Sends the message to every child until one gives a non-zero result.
    void Broadcast(TMessage& message);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // -- Window ----------------------------------------------------------------------------------------------
    /// The window; made on first use (the parents' windows first).
    [[nodiscard]] ui::HWND GetHandle();
    [[nodiscard]] bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    /// Destroys and remakes the window, keeping the control's state.
    void RecreateWnd();
    /// A window of another kind that hosts this parentless control (floating frames, pop-ups).
    [[nodiscard]] ui::HWND GetParentWindow() const { return FParentWindow; }
    void SetParentWindow(ui::HWND value);
    /// The control whose window is handle, when it is one of the library's.
    static TWinControl* FindControl(ui::HWND handle);

    // -- Layout ----------------------------------------------------------------------------------------------
    void DisableAlign();
    void EnableAlign();
    void Realign();
    [[nodiscard]] bool AlignDisabled() const { return FAlignLevel > 0; }
    [[nodiscard]] int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    void ScaleBy(int multiplier, int divider);
    virtual void FlipChildren(bool allLevels);
    void SetBounds(int left, int top, int width, int height) override;
    ui::RECT GetClientRect() const override;
    ui::POINT GetClientOrigin() const override;

    // -- Focus and tab order ---------------------------------------------------------------------------------
    [[nodiscard]] virtual bool CanFocus() const;
    [[nodiscard]] bool Focused() const;
    virtual void SetFocus();
    [[nodiscard]] bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool value);
    [[nodiscard]] int GetTabOrder() const;
    void SetTabOrder(int value);
    /// Windowed descendants in tab order, depth first.
    virtual void GetTabOrderList(std::vector<TWinControl*>& list);
    /// The next (or previous) tab stop after current inside this control.
    [[nodiscard]] TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                               bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    void SelectFirst();

    // -- Painting --------------------------------------------------------------------------------------------
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    [[nodiscard]] bool GetDoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
    /// Paints the windowless children in z-order into dc (client coordinates), from first on (none = all).
    void PaintControls(ui::HDC dc, TControl* first);
    /// Paints the whole control into dc: erase, own paint, windowless children.
    void PaintTo(ui::HDC dc, int x, int y);

    [[nodiscard]] bool GetShowing() const override;
    void SetEnabled(bool value) override;
    void Dispatch(TMessage& message) override;
    /// The layer's default procedure for the window (or the saved procedure of a native control).
    void DefaultHandler(TMessage& message) override;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    void WndProc(TMessage& message) override;
    /// The window's own procedure as the layer calls it; exceptions go to the application's handler.
    ui::LRESULT MainWndProc(ui::HWND window, ui::UINT msg, ui::WPARAM wParam, ui::LPARAM lParam);
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void CreateHandle();
    virtual void DestroyHandle();
    /// Lays out the aligned and anchored children inside rect (the adjusted client rectangle).
    virtual void AlignControls(TControl* control, ui::RECT& rect);
    /// The area children are aligned in: the client rectangle less BorderWidth by default.
    virtual void AdjustClientRect(ui::RECT& rect);
    /// Paints the control's own surface into dc; the base does nothing.
    virtual void PaintWindow(ui::HDC dc);
    /// The WM_PAINT handler: paint into the message's DC or begin a paint, then the windowless children.
    void PaintHandler(TMessage& message);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(std::uint16_t& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    virtual void KeyUp(std::uint16_t& key, TShiftState shift);
    /// Runs the form's preview and OnKeyDown; true when the key was eaten.
    bool DoKeyDown(TMessage& message);
    bool DoKeyPress(TMessage& message);
    bool DoKeyUp(TMessage& message);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, ui::POINT mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, ui::POINT mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, ui::POINT mousePos);
    void ChangeScale(int multiplier, int divider) override;
    void SetZOrderPosition(int position) override;
    std::string GetTextValue() const override;
    void SetTextValue(const std::string& value) override;
    void Notification(TComponent* component, TOperation operation) override;
    /// Recomputes Showing for this control and its windowed children; makes windows as they first show.
    void UpdateShowing();
    void UpdateControlState();
    void SetShowing(bool value);
    /// Whether a parentless control may show: it needs a window to live in (a form always has one).
    [[nodiscard]] virtual bool CanShowAsRoot() const;
    void NotifyChildren(std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // -- Message handlers (as in TControl) -------------------------------------------------------------------
    void WMPaint(TMessage& message) override;
    /// Fills the client area with Color unless the control is csOpaque; Result 1.
    virtual void WMEraseBkgnd(TMessage& message);
    /// The default frame, then BorderWidth inside it.
    virtual void WMNCCalcSize(TMessage& message);
    virtual void WMNCHitTest(TMessage& message);
    virtual void WMWindowPosChanged(TMessage& message);
    virtual void WMSize(TMessage& message);
    /// The screen's cursor, else the cursor of the control under the pointer, for the client area.
    virtual void WMSetCursor(TMessage& message);
    virtual void WMSetFocus(TMessage& message);
    virtual void WMKeyDown(TMessage& message);
    /// A system key the control's key handling leaves (Alt, Alt with a key, F10) goes to the form as
    /// CM_DIALOGKEY, and to the default handling when nobody takes it.
    virtual void WMSysKeyDown(TMessage& message);
    virtual void WMKeyUp(TMessage& message);
    virtual void WMSysKeyUp(TMessage& message);
    virtual void WMChar(TMessage& message);
    virtual void WMSysChar(TMessage& message);
    virtual void WMMouseWheel(TMessage& message);
    /// Offered to the windowless child under the pointer first.
    void WMContextMenu(TMessage& message) override;
    /// A windowless child holding the mouse hears it first.
    void WMCancelMode(TMessage& message) override;
    /// A command from a child window goes back to the child's control as CN_COMMAND (an edit's EN_CHANGE
    /// reaches the edit); other commands go to the default procedure.
    virtual void WMCommand(TMessage& message);
    /// A command this control's window sent its parent (WParam and LParam as in WM_COMMAND); none by default.
    virtual void CNCommand(TMessage& message);
    virtual void WMCaptureChanged(TMessage& message);
    virtual void CMEnter(TMessage& message);
    virtual void CMExit(TMessage& message);
    virtual void CMDialogKey(TMessage& message);
    virtual void CMDialogChar(TMessage& message);
    virtual void CMShowingChanged(TMessage& message);
    void CMVisibleChanged(TMessage& message) override;
    void CMEnabledChanged(TMessage& message) override;
    void CMColorChanged(TMessage& message) override;
    void CMFontChanged(TMessage& message) override;
    virtual void CMShowHintChanged(TMessage& message);
    virtual void CMSysColorChange(TMessage& message);
    virtual void CMWinIniChange(TMessage& message);

private:
    friend class TControl;
    friend class TCustomForm;
    void AlignFor(TControl* control);
    void AlignChildren(TControl* control);
    void ApplyAnchors(TControl* control, const ui::SIZE& clientSize);
    void DoAlign(TAlign align, TControl* control, ui::RECT& rect);
    bool HandleDialogKey(TMessage& message);
    /// Offers a key to the form (or the root control) as CM_DIALOGKEY; true when it was used.
    bool OfferDialogKey(TMessage& message);
    /// Whether a window can be made for this control now: an ancestor has one, or the root may show.
    [[nodiscard]] bool CanMakeHandle() const;
    void KeepFocusIn(TWinControl* moved);
    /// The form sees the key first when its KeyPreview is on; true when it ate it.
    bool FormPreviews(TMessage& message, bool (TWinControl::*handler)(TMessage&));
    bool DoKeyStroke(TMessage& message, bool down);
    void UpdateBounds();
    // The window's bounds in its parent's client coordinates (the screen's for a top-level window).
    [[nodiscard]] TRect WindowBoundsInParent() const;

    ui::HWND FHandle = nullptr;
    ui::WNDPROC FDefWndProc;  // the class's procedure, for DefaultHandler
    ui::HWND FParentWindow = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FAligning = false;
    int FBorderWidth = 0;
    bool FTabStop = false;
    bool FShowing = false;
    bool FDoubleBuffered = false;
    bool FSettingBounds = false;
    bool FKeepWindow = false;  // moving to another parent: the window goes with the control
};

/// A windowed control that paints itself through a canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    /// Valid during Paint: draws into the paint DC.
    [[nodiscard]] TCanvas* GetCanvas() const;

protected:
    virtual void Paint();
    void PaintWindow(ui::HDC dc) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

/// A windowless control that paints on its parent's surface through a canvas.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    [[nodiscard]] TCanvas* GetCanvas() const;

protected:
    virtual void Paint();
    /// Paints into the DC of the parent's paint (WParam); Canvas draws there meanwhile.
    void WMPaint(TMessage& message) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------------------

/// A message-only window whose procedure is method; DeallocateHWnd frees it. The method runs for every
/// message, sent or dispatched; exceptions go to the application's handler.
ui::HWND AllocateHWnd(const TWndMethod& method);
void DeallocateHWnd(ui::HWND window);

/// The control under the mouse for enter/leave purposes, and the check that moves it: sends CM_MOUSELEAVE
/// to the old control and CM_MOUSEENTER to the new one when they differ. Called on mouse moves, at idle
/// time and when capture ends.
TControl* GetMouseControl();
void CheckMouseControl(ui::POINT screenPos);
/// The deepest enabled (or any, with allowDisabled) control of the library at a screen point.
TControl* FindDragTarget(ui::POINT screenPos, bool allowDisabled);
TControl* FindControlAtScreen(ui::POINT screenPos, bool allowDisabled);
/// The control that last took the focus inside the top-level control root (a form); none when none did.
TWinControl* GetRootFocus(const TWinControl* root);
/// The control that holds the mouse (windowless ones included); none when no control of ours has it.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
/// Before something modal starts: the window holding the mouse hears WM_CANCELMODE and lets it go, so that
/// no drag, press or roll runs on under the modal window.
void SendCancelMode();

/// Key-data helpers for the shift state of keyboard and mouse messages.
TShiftState MouseKeysToShiftState(std::uintptr_t keys);
TShiftState KeyboardStateToShiftState();

/// Builds a form (or any component tree) in code as a load would: while it lives, the root and every
/// component made with an owner in the tree are csLoading; Finish (or the destructor) runs Loaded depth-first.
class TFormBuilder {
public:
    explicit TFormBuilder(TComponent& root);
    ~TFormBuilder();
    TFormBuilder(const TFormBuilder&) = delete;
    TFormBuilder& operator=(const TFormBuilder&) = delete;

    /// Makes a component owned by owner (the root when none) and, for a control, parents it.
    template <class T> T* Add(TWinControl* parent = nullptr, TComponent* owner = nullptr)
    {
        T* component = new T(owner != nullptr ? owner : FRoot);
        if constexpr (std::is_base_of_v<TControl, T>) {
            if (parent != nullptr)
                component->SetParent(parent);
        }
        return component;
    }
    /// Ends the build and runs Loaded; afterwards the builder does nothing.
    void Finish();

private:
    TComponent* FRoot;
    bool FFinished = false;
};

}  // namespace ovrel::toolkit
