#pragma once
// Dockable panels and the multi-dock: a tool panel that holds ordinary controls, floats in a themed frame or
// docks with a themed caption strip, is resized by its outer edge and keeps separate docked, floating and split
// sizes; and a dock that stacks such panels along its length so that together they always fill it.

#include "platform/ui/Types.h"
#include "themes/ThemeInterface.h"
#include "themes/ThemedDocks.h"
#include "toolbars/Dock.h"
#include "toolbars/DockableWindow.h"
#include "toolbars/FloatingGeometry.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

#include <cstdint>

namespace ovrel::themes {

enum TDPCaptionRotation : std::uint8_t { dpcrAuto, dpcrAlwaysHorz, dpcrAlwaysVert };
enum TDockKind : std::uint8_t { dkStandardDock, dkMultiDock };
using TDockKinds = toolkit::TSet<TDockKind>;
enum TTBXResizingStage : std::uint8_t { rsBeginResizing, rsResizing, rsEndResizing };
/// Vertical: the height is resized. newSize (the panel's outer size) may be changed; clearing allowResize
/// refuses the step (at rsEndResizing: the whole resize).
using TTBXDockedResizing = toolkit::TEvent<toolkit::TObject*, bool, int&, TTBXResizingStage, bool&>;

/// Hit codes of a docked panel's split edges, inside a multi-dock: left, right, top, bottom.
inline constexpr ui::LRESULT HT_TBX_SPLITLEFT = 86;
inline constexpr ui::LRESULT HT_TBX_SPLITRIGHT = 87;
inline constexpr ui::LRESULT HT_TBX_SPLITTOP = 88;
inline constexpr ui::LRESULT HT_TBX_SPLITBOTTOM = 89;

/// A tool panel in a dock or a multi-dock, or floating. Sizes are client sizes unless said otherwise.
class TTBXDockablePanel : public toolbars::TTBCustomDockableWindow {
public:
    explicit TTBXDockablePanel(toolkit::TComponent* owner);
    ~TTBXDockablePanel() override;

    // -- Settings --------------------------------------------------------------------------------------------
    /// Inset of the client area on every side.
    [[nodiscard]] int GetBorderSize() const { return FBorderSize; }
    void SetBorderSize(int value);
    [[nodiscard]] TDPCaptionRotation GetCaptionRotation() const { return FCaptionRotation; }
    void SetCaptionRotation(TDPCaptionRotation value);
    /// At least the client minimum; in a left or right dock the panel takes it at once.
    [[nodiscard]] int GetDockedWidth() const { return FDockedWidth; }
    void SetDockedWidth(int value);
    /// At least the client minimum; in a top or bottom dock the panel takes it at once.
    [[nodiscard]] int GetDockedHeight() const { return FDockedHeight; }
    void SetDockedHeight(int value);
    /// 0: the docked size when the panel first floats; never negative; a floating panel takes it at once.
    [[nodiscard]] int GetFloatingWidth() const { return FFloatingWidth; }
    void SetFloatingWidth(int value);
    [[nodiscard]] int GetFloatingHeight() const { return FFloatingHeight; }
    void SetFloatingHeight(int value);
    /// At least 8.
    [[nodiscard]] int GetMinClientWidth() const { return FMinClientWidth; }
    void SetMinClientWidth(int value);
    [[nodiscard]] int GetMinClientHeight() const { return FMinClientHeight; }
    void SetMinClientHeight(int value);
    /// 0 (or less): no limit.
    [[nodiscard]] int GetMaxClientWidth() const { return FMaxClientWidth; }
    void SetMaxClientWidth(int value);
    [[nodiscard]] int GetMaxClientHeight() const { return FMaxClientHeight; }
    void SetMaxClientHeight(int value);
    /// The caption strip (with the close button) of the docked frame.
    [[nodiscard]] bool GetShowCaptionWhenDocked() const { return FShowCaptionWhenDocked; }
    void SetShowCaptionWhenDocked(bool value);
    /// The panel follows the mouse while its docked edge or a split is dragged; without it a line is drawn and
    /// the size applied at the end.
    [[nodiscard]] bool GetSmoothDockedResize() const { return FSmoothDockedResize; }
    void SetSmoothDockedResize(bool value) { FSmoothDockedResize = value; }
    /// Edge snapping of the floating frame; never negative.
    [[nodiscard]] int GetSnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value);
    /// The share asked for along a multi-dock that stacks in that direction; never negative.
    [[nodiscard]] int GetSplitWidth() const { return FSplitWidth; }
    void SetSplitWidth(int value);
    [[nodiscard]] int GetSplitHeight() const { return FSplitHeight; }
    void SetSplitHeight(int value);
    [[nodiscard]] TDockKinds GetSupportedDocks() const { return FSupportedDocks; }
    void SetSupportedDocks(TDockKinds value) { FSupportedDocks = value; }

    // -- State -----------------------------------------------------------------------------------------------
    /// Color, or the theme's colour for the panel when Color is clNone.
    [[nodiscard]] toolkit::TColor GetEffectiveColor() const;
    /// 0x4001 docked or on a form, 0x4801 floating; 0x400 more when Resizable.
    [[nodiscard]] int GetViewType() const;
    /// The docked edge is being dragged.
    [[nodiscard]] bool GetResizing() const { return FResizing; }
    /// A split edge is being dragged.
    [[nodiscard]] bool GetSplitting() const { return FSplitting; }
    /// The caption strip runs down the left side: always with dpcrAlwaysVert, in a top or bottom dock with
    /// dpcrAuto; never while not docked.
    [[nodiscard]] virtual bool IsVerticalCaption() const;
    /// The frame as the theme paints it.
    virtual void GetFrameInfo(TFramePaintInfo& info);
    /// The outer size limits that apply now: Constraints narrowed by the client limits plus the docked frame.
    [[nodiscard]] toolbars::TResizeLimits GetConstrainedLimits();

    // -- Resizing while docked -------------------------------------------------------------------------------
    /// Drags the docked edge of the sizing hit code (HTLEFT ... HTBOTTOM) with the mouse; returns when a button
    /// or Escape ends it (the last size is kept) or the capture is lost.
    void RunDockedResize(int hitCode);
    /// Drags the split edge of the hit code (HT_TBX_SPLITLEFT ... HT_TBX_SPLITBOTTOM) between this panel and
    /// its neighbour in a multi-dock.
    void RunSplitDrag(int hitCode);
    /// Each returns whether the step is allowed; newSize is the panel's outer width (height when vertical).
    virtual bool BeginDockedResizing(bool vertical, int& newSize);
    /// Keeps newSize below the room the form has for it and within the client limits, then asks OnDockedResizing.
    virtual bool DockedResizing(bool vertical, int& newSize);
    virtual bool EndDockedResizing(bool vertical, int& newSize);

    // -- Dockable window -------------------------------------------------------------------------------------
    [[nodiscard]] toolkit::TPoint GetDockedFrameSize(const toolbars::TTBDock* dock) const override;
    [[nodiscard]] bool AcceptsDock(toolbars::TTBDock* dock) override;
    [[nodiscard]] toolkit::TSize ComputeSize(bool apply, toolbars::TTBDockType dockType, toolbars::TTBDock* dock,
                                             bool floating) override;
    [[nodiscard]] toolkit::TSize GetNaturalSize() override;
    [[nodiscard]] toolkit::TRect DockedCloseButtonRect(bool vertical) override;
    [[nodiscard]] toolbars::TResizeLimits GetSizeLimits() override;
    [[nodiscard]] toolkit::TSize FloatingBorderSize() override;
    void SetParent(toolkit::TWinControl* value) override;

    TTBXDockedResizing OnDockedResizing;

protected:
    void PaintDockedFrame(bool drawToDC, ui::HDC dc, ui::HRGN clip) override;
    void BeforeSizeChange(int newWidth, int newHeight) override;
    [[nodiscard]] toolbars::TTBFloatingWindowParentClass GetFloatingParentClass() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override;
    void AdjustClientRect(ui::RECT& rect) override;
    /// Fires OnDockedResizing.
    virtual bool DoDockedResizing(bool vertical, int& newSize, TTBXResizingStage stage);
    void Dispatch(toolkit::TMessage& message) override;

    void WMNCCalcSize(toolkit::TMessage& message) override;
    void WMNCHitTest(toolkit::TMessage& message) override;
    void WMSetCursor(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMNCLButtonDown(toolkit::TMessage& message) override;
    void WMWindowPosChanged(toolkit::TMessage& message) override;
    void CMColorChanged(toolkit::TMessage& message) override;
    void CMTextChanged(toolkit::TMessage& message) override;
    virtual void WMTBXThemeChanged(toolkit::TMessage& message);
    virtual void CMControlChange(toolkit::TMessage& message);

private:
    class TDockedResizeLoop;
    class TSplitDragLoop;
    /// Counts the panel's own size changes, which BeforeSizeChange does not record.
    class TOwnSizeChange {
    public:
        explicit TOwnSizeChange(TTBXDockablePanel& panel) : FPanel(panel) { ++FPanel.FOwnSizeChanges; }
        ~TOwnSizeChange() { --FPanel.FOwnSizeChanges; }
        TOwnSizeChange(const TOwnSizeChange&) = delete;
        TOwnSizeChange& operator=(const TOwnSizeChange&) = delete;

    private:
        TTBXDockablePanel& FPanel;
    };

    /// The caption strip runs down the left side in that dock.
    [[nodiscard]] bool IsVerticalCaptionIn(const toolbars::TTBDock* dock) const;
    [[nodiscard]] bool IsDockedIn(bool verticalDock) const;
    /// The docked frame was set up again: the non-client area is recomputed and the dock re-arranges.
    void DockedFrameChanged();
    /// Stores a docked size as the setters do, without resizing.
    void StoreDockedWidth(int value);
    void StoreDockedHeight(int value);
    /// The outer width (vertical: height) that the panel takes now in its dock, through its docked size.
    void ApplyDockedSize(bool vertical, int outerSize);
    /// The other panels of a multi-dock keep the thickness this one was resized to as their docked size.
    void ShareDockedSize(bool vertical);
    /// Color changes for the children: the effective colour, as the panel's own Color may be clNone.
    void BroadcastEffectiveColor();
    /// Re-frames a docked or unplaced panel keeping its client size, a floating one's frame the same way.
    void Reframe();
    [[nodiscard]] ui::LRESULT DockedHitTest(toolkit::TPoint point, ui::LRESULT standard);

    int FBorderSize = 0;
    TDPCaptionRotation FCaptionRotation = dpcrAuto;
    int FDockedWidth = 128;
    int FDockedHeight = 128;
    int FFloatingWidth = 0;
    int FFloatingHeight = 0;
    int FMinClientWidth = 32;
    int FMinClientHeight = 32;
    int FMaxClientWidth = 0;
    int FMaxClientHeight = 0;
    bool FShowCaptionWhenDocked = true;
    bool FSmoothDockedResize = true;
    int FSnapDistance = 0;
    int FSplitWidth = 0;
    int FSplitHeight = 0;
    TDockKinds FSupportedDocks{dkStandardDock, dkMultiDock};
    bool FResizing = false;
    bool FSplitting = false;
    int FOwnSizeChanges = 0;
};

/// A dock that stacks dockable panels along its length (downwards in a left or right dock) and shares the
/// length among them by their split sizes and limits, so that they fill it exactly. It takes nothing but panels.
class TTBXMultiDock : public TTBXDock {
public:
    explicit TTBXMultiDock(toolkit::TComponent* owner);

    [[nodiscard]] bool AcceptsDockableWindow(toolbars::TTBCustomDockableWindow* window) override;
    void ArrangeDockedWindows() override;
    /// The visible panels along the dock, in the order of the last arrangement.
    [[nodiscard]] std::vector<TTBXDockablePanel*> GetStackedPanels() const;

protected:
    void Dispatch(toolkit::TMessage& message) override;

private:
    /// The arrangement inside the dock's suspension: returns the outer thickness to take.
    [[nodiscard]] int Arrange();
};

}  // namespace ovrel::themes
