#pragma once
// The theme every themed control measures and paints itself through: the abstract theme with its operations,
// the paint-information records callers fill for it, the registry of named themes with reference-counted
// instances, and the geometry helpers themes place frame parts with.

#include "toolkit/Graphics.h"
#include "toolkit/System.h"

#include "platform/ui/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ovrel::themes {

// ---- Messages and view types ------------------------------------------------------------------------------

/// To theme objects and the nexus (not to windows). WParam 1, 2, 3: the steps of a system change, in that
/// order; 4 the application became active, 5 inactive. Also sent once to a theme on its first acquisition
/// with WParam = the application's active flag (1 or 0).
inline constexpr std::uint32_t WM_TBX_THEMENOTIFY = 0x538;
/// From the nexus to every registered themed control, with the WParam of the notification.
inline constexpr std::uint32_t WM_TBX_THEMECHANGED = 0x53A;
/// Answered by a window that shows a view: its view type.
inline constexpr std::uint32_t WM_TBX_GETVIEWTYPE = 0x4ED;
/// Answered with Result 1 and the colour in WParam by controls that have an effective colour.
inline constexpr std::uint32_t WM_TBX_GETEFFECTIVECOLOR = 0x4EE;

inline constexpr int VT_TOOLBAR = 0x1000;  // 0x1001 a toolbar, 0x1002 a menu bar
inline constexpr int VT_POPUP = 0x2000;  // 0x2001 a menu, 0x2002 and 0x2004 special pop-ups, 0x2008 a chevron
inline constexpr int VT_DOCKPANEL = 0x4000;  // 0x4001 docked, 0x4801 floating
inline constexpr int VT_FLOATING = 0x800;
inline constexpr int VT_RESIZABLE = 0x400;
inline constexpr int VT_OPAQUE = 0x200;  // items drawn opaque
inline constexpr int VT_TOOLBARVIEW = 0x1001;
inline constexpr int VT_MENUBAR = 0x1002;
inline constexpr int VT_POPUPMENU = 0x2001;
inline constexpr int VT_LISTBOXPOPUP = 0x2002;
inline constexpr int VT_TOOLBOXPOPUP = 0x2004;
inline constexpr int VT_CHEVRONPOPUP = 0x2008;

// ---- Paint information ------------------------------------------------------------------------------------

/// TItemPaintInfo.ItemOptions bits.
inline constexpr std::int32_t IO_TOOLBARSTYLE = 1;
inline constexpr std::int32_t IO_SUBMENUITEM = 4;
inline constexpr std::int32_t IO_COMBO = 8;
inline constexpr std::int32_t IO_DESIGNING = 16;
inline constexpr std::int32_t IO_APPACTIVE = 32;

/// TItemPaintInfo.HoverKind values.
inline constexpr std::uint8_t HK_NONE = 0;
inline constexpr std::uint8_t HK_DISABLED = 1;  // hot but disabled
inline constexpr std::uint8_t HK_HOT = 2;

/// TItemPaintInfo.SplitPart values.
inline constexpr std::uint8_t SP_PLAIN = 0;
inline constexpr std::uint8_t SP_DROPDOWN = 1;  // a drop-down item painted as one button with its arrow
inline constexpr std::uint8_t SP_BUTTON = 2;  // the button part of a split item
inline constexpr std::uint8_t SP_DROPPART = 3;  // the drop-down part of a split item

/// What the item viewer tells the theme about one item; every field zero unless set.
struct TItemPaintInfo {
    std::int32_t ViewType = 0;
    std::int32_t ItemOptions = 0;  // IO_ bits
    bool Enabled = false;  // true also while the view is customising
    bool Pushed = false;
    std::uint8_t HoverKind = HK_NONE;
    bool Checked = false;
    bool ImageShown = false;
    std::int32_t ImageWidth = 0;  // the image list's image size; 0 without a list
    std::int32_t ImageHeight = 0;
    bool IsVertical = false;  // the view is vertical and the item is not a split item
    std::uint8_t SplitPart = SP_PLAIN;
    bool IsPopupParent = false;  // the item's submenu is open (or opening) from this view
    std::int32_t PopupMargin = 0;  // width of the menu's image column
};

/// TFramePaintInfo.CloseButtonState bits.
inline constexpr std::int32_t CDBS_VISIBLE = 1;
inline constexpr std::int32_t CDBS_HOT = 2;
inline constexpr std::int32_t CDBS_PRESSED = 4;

/// The frame of a docked toolbar or panel. For a panel painting its non-client area it is also the dock-panel
/// information, with the caption.
struct TFramePaintInfo {
    ui::HWND WindowHandle = nullptr;
    std::int32_t ViewType = 0;
    bool IsVertical = false;  // a toolbar in a left or right dock; a panel whose caption is not vertical
    bool AllowDrag = false;  // the dock's AllowDrag
    std::uint8_t BorderStyle = 0;  // 1: a single border
    ui::POINT BorderSize;  // the theme's view border for the view type
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
    std::int32_t Handle = 0;  // a toolbar's drag-handle style (0 to 2); a panel's ShowCaptionWhenDocked (low byte)
    std::int32_t CloseButtonState = 0;  // CDBS_ bits
    std::string_view CaptionText;  // borrowed from the panel while it paints; empty otherwise
    std::int32_t Reserved1 = 0;
    std::int32_t Reserved2 = 0;
};

/// TFloatingWindowInfo.RedrawPart bits.
inline constexpr std::int32_t FWR_BORDER = 1;
inline constexpr std::int32_t FWR_CAPTION = 2;
inline constexpr std::int32_t FWR_CLOSEBUTTON = 4;

/// The frame of a floating window.
struct TFloatingWindowInfo {
    ui::HWND WindowHandle = nullptr;  // the floating frame
    ui::HWND DockableWindowHandle = nullptr;
    std::int32_t ViewType = 0;
    std::int32_t ClientWidth = 0;
    std::int32_t ClientHeight = 0;
    bool ShowCaption = false;
    ui::POINT FloatingBorderSize;
    std::int32_t CloseButtonState = 0;  // CDBS_ bits; shown only with a close button and a shown caption
    std::int32_t RedrawPart = 0;  // FWR_ bits
    std::string_view CaptionText;  // borrowed while the frame paints
    bool Active = false;
};

/// The border of a pop-up window.
struct TPopupInfo {
    ui::HWND WindowHandle = nullptr;
    std::int32_t ViewType = 0;
    ui::RECT ParentRect;  // the parent item in the pop-up's window coordinates, or empty
    ui::RECT WindowRect;  // the whole window in its own coordinates: (0, 0, width, height)
};

/// The field of an edit-style item: the widths of its buttons and their states.
struct TEditButtonInfo {
    std::int32_t ButtonType = 0;  // 1 a drop-down button, 2 a pair of spin buttons
    std::int32_t ButtonState = 0;  // 1 disabled, 2 hot, 4 pressed (spin: 4 upper, 8 lower half pressed)
};
struct TEditFrameInfo {
    std::int32_t LeftBtnWidth = 0;
    std::int32_t RightBtnWidth = 0;
    TEditButtonInfo LeftBtnInfo;
    TEditButtonInfo RightBtnInfo;
};

/// Margins of a cell (the theme's record order: left, right, top, bottom).
struct TTBXMargins {
    int LeftWidth = 0;
    int RightWidth = 0;
    int TopHeight = 0;
    int BottomHeight = 0;
};

/// GetMargins kinds.
inline constexpr int MID_TOOLBARITEM = 1;
inline constexpr int MID_MENUITEM = 2;
inline constexpr int MID_STATUSPANE = 3;

/// PaintStatusBar parts.
inline constexpr int SBP_BODY = 0;
inline constexpr int SBP_PANE = 1;
inline constexpr int SBP_LASTPANE = 2;
inline constexpr int SBP_GRIPPER = 3;

/// GetPopupShadowType answers.
inline constexpr int PST_NONE = 0;
inline constexpr int PST_WINDOWSXP = 1;  // the platform's drop shadow (class style)
inline constexpr int PST_OFFICEXP = 2;  // own shadows that also shade the parent item
inline constexpr int PST_WINDOWS2K = 3;  // own shadows

// ---- The theme --------------------------------------------------------------------------------------------

/// A look: measures and paints every themed control. A theme adds itself to the theme manager's notify list
/// when made and removes itself when freed, so it hears WM_TBX_THEMENOTIFY through Dispatch.
class TTBXTheme : public toolkit::TObject {
public:
    explicit TTBXTheme(std::string name);
    ~TTBXTheme() override;

    [[nodiscard]] const std::string& GetName() const { return FName; }

    /// Offset added to an item's image rectangle (the pressed look).
    [[nodiscard]] virtual toolkit::TPoint GetImageOffset(toolkit::TCanvas& canvas, const TItemPaintInfo& info,
                                                         const toolkit::TCustomImageList* imageList) const = 0;
    [[nodiscard]] virtual toolkit::TColor GetItemColor(const TItemPaintInfo& info) const = 0;
    [[nodiscard]] virtual toolkit::TColor GetItemTextColor(const TItemPaintInfo& info) const = 0;
    [[nodiscard]] virtual toolkit::TColor GetItemImageBackground(const TItemPaintInfo& info) const = 0;
    /// kind: MID_TOOLBARITEM, MID_MENUITEM or MID_STATUSPANE.
    virtual void GetMargins(int kind, TTBXMargins& margins) const = 0;
    /// PST_ value.
    [[nodiscard]] virtual int GetPopupShadowType() const = 0;
    /// Width and height of the non-client border of a view window.
    [[nodiscard]] virtual toolkit::TPoint GetViewBorder(int viewType) const = 0;
    [[nodiscard]] virtual toolkit::TColor GetViewColor(int viewType) const = 0;
    virtual void GetViewMargins(int viewType, TTBXMargins& margins) const = 0;
    /// Fills the part of rect inside clipRect with color unless transparent.
    virtual void PaintBackground(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TRect& clipRect,
                                 toolkit::TColor color, bool transparent, int viewType) const = 0;
    /// The face of a toolbar-style item, or of one part of a split item.
    virtual void PaintButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                             const TItemPaintInfo& info) const = 0;
    virtual void PaintCaption(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                              std::string_view caption, ui::UINT format, bool rotated) const = 0;
    /// The check mark of a checked menu item without an image.
    virtual void PaintCheckMark(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                const TItemPaintInfo& info) const = 0;
    virtual void PaintChevron(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                              const TItemPaintInfo& info) const = 0;
    virtual void PaintEditFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                                const TEditFrameInfo& editInfo) const = 0;
    virtual void PaintEditButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                                 const TEditButtonInfo& buttonInfo) const = 0;
    /// dockPosition: 1 top, 2 bottom, 3 left, 4 right.
    virtual void PaintDock(toolkit::TCanvas& canvas, const toolkit::TRect& clientRect, const toolkit::TRect& dockRect,
                           int dockPosition) const = 0;
    /// The caption strip and close button of a docked panel; info carries the caption.
    virtual void PaintDockPanelNCArea(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                      const TFramePaintInfo& info) const = 0;
    virtual void PaintDropDownArrow(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                    const TItemPaintInfo& info) const = 0;
    virtual void PaintFloatingBorder(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                     const TFloatingWindowInfo& info) const = 0;
    virtual void PaintFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const = 0;
    virtual void PaintImage(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                            const toolkit::TCustomImageList* imageList, int imageIndex) const = 0;
    /// buttonKind: DFCS_CAPTIONCLOSE ... DFCS_CAPTIONHELP.
    virtual void PaintCaptionButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                                    int buttonKind) const = 0;
    /// The background and selection of a menu item.
    virtual void PaintMenuItem(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                               const TItemPaintInfo& info) const = 0;
    virtual void PaintMenuItemFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                    const TItemPaintInfo& info) const = 0;
    /// direction: 1 up, 2 down, 3 left, 4 right.
    virtual void PaintArrowButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int direction,
                                  bool pressed) const = 0;
    virtual void PaintPopupNCArea(ui::HWND window, ui::HDC dc, const TPopupInfo& info) const = 0;
    virtual void PaintSeparator(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                                bool horizontal, bool lineSeparator) const = 0;
    /// The border, drag handle and close button of a docked toolbar.
    virtual void PaintToolbarNCArea(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                    const TFramePaintInfo& info) const = 0;
    /// kind: 1 check box, 2 radio button; state bits 1 checked, 2 mixed, 4 disabled, 8 hot, 16 pressed.
    virtual void PaintFrameControl(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int kind, int state) const = 0;
    /// part: SBP_ value.
    virtual void PaintStatusBar(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int part) const = 0;
    /// A size by index; -1 for an unknown index.
    [[nodiscard]] virtual int GetIntegerMetric(int index) const = 0;
    /// A switch by index; false for an unknown index.
    [[nodiscard]] virtual bool GetBooleanMetric(int index) const = 0;

private:
    std::string FName;
};

/// The virtual constructor of a theme class: makes an instance with the given name.
using TTBXThemeClass = std::function<std::unique_ptr<TTBXTheme>(const std::string& name)>;

// ---- Registry ---------------------------------------------------------------------------------------------

/// Exception "Cannot register theme" for an empty name or class, "Theme %s is already registered" for a name
/// present in any case.
void RegisterTheme(const std::string& name, TTBXThemeClass themeClass);
/// Acquires the theme of that name (case ignored), making it on first use; Exception "Unknown theme <name>".
[[nodiscard]] TTBXTheme* GetTheme(std::string_view name);
/// Gives one reference back; at the last the theme is freed and theme is set to null. Exception "Cannot
/// release theme" for an object that is no registered instance (null included), "Cannot release theme
/// <name>" for one whose count is already 0.
void ReleaseTheme(TTBXTheme*& theme);
/// The index of the name (case ignored), or -1.
[[nodiscard]] int FindTheme(std::string_view name);
/// Empties the registry; its instances must have been released. Called by the theme runtime.
void ClearThemeRegistry();

// ---- Geometry ---------------------------------------------------------------------------------------------

/// (0, 0, client width, SM_CYSMCAPTION - 1); its right edge pulled in by its height to leave out the close
/// button; offset by the floating border size with addBorder.
[[nodiscard]] toolkit::TRect GetCaptionRect(const TFloatingWindowInfo& info, bool addBorder, bool excludeCloseButton);
/// The square at the right end of the caption rectangle.
[[nodiscard]] toolkit::TRect GetCloseButtonRect(const TFloatingWindowInfo& info, bool addBorder);
/// The width of a docked toolbar's drag-handle strip: 0 without AllowDrag, 14 with a close button shown, else
/// 9, 0 or 6 by handle style 0, 1 or 2.
[[nodiscard]] int GetDragHandleSize(const TFramePaintInfo& info);
/// The close button of a docked toolbar: a square of side drag-handle size - 1, at the right end of a top strip
/// (IsVertical) or at the top of a left strip.
[[nodiscard]] toolkit::TRect GetToolbarCloseButtonRect(const TFramePaintInfo& info);

}  // namespace ovrel::themes
