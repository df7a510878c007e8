#pragma once
// Toolbars: the dockable window that shows an item tree through a toolbar view. It hosts controls as control
// items, shrinks in a dock by wrapping or by hiding items behind a chevron, snaps its floating frame to the
// sizes of its wrapped layouts, and can be the form's menu bar: Alt and Alt+letter open it from the keyboard,
// and its shortcuts run while its menus are closed.

#include "toolbars/DockableWindow.h"
#include "toolbars/FloatingGeometry.h"
#include "toolbars/Items.h"
#include "toolbars/View.h"
#include "toolbars/Viewers.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ovrel::toolbars {

class TTBCustomToolbar;

/// The item of a toolbar's chevron: its pop-up shows the items the toolbar had no room for.
class TTBChevronItem : public TTBCustomItem {
public:
    /// Owned by toolbar.
    explicit TTBChevronItem(TTBCustomToolbar* toolbar);

    [[nodiscard]] TTBCustomToolbar* GetToolbar() const { return FToolbar; }
    /// The toolbar's view, whose overflowing items the pop-up shows.
    [[nodiscard]] TTBView* GetChevronParentView() const override;
    [[nodiscard]] TTBItemViewerClass GetItemViewerClass(TTBView* view) const override;

private:
    TTBCustomToolbar* FToolbar;
};

/// The chevron's button: a raised or sunken edge around a double arrow pointing along the toolbar.
class TTBChevronItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;

    void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
               bool emboss) override;
};

/// The view of a toolbar: it lays out for the toolbar's place (the row it shares in a dock, a full-size
/// row) and gives the toolbar the size it needs.
class TTBToolbarView : public TTBView {
public:
    /// window is the toolbar.
    TTBToolbarView(toolkit::TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem,
                   toolkit::TWinControl* window, bool isToolbar, bool customizing, bool usePriorityList);

    [[nodiscard]] TTBCustomToolbar* GetToolbar() const { return FToolbar; }
    /// The shared menu font with SystemFont, else the toolbar's own.
    [[nodiscard]] toolkit::TFont* GetFont() const override;
    [[nodiscard]] TTBCustomItem* GetChevronItem() const override;
    void InvalidatePositions() override;
    /// The left, top, right and bottom margins of a floating layout.
    [[nodiscard]] toolkit::TRect GetFloatingMargins() const;

protected:
    /// The toolbar takes the base size and, unless it is computing its size itself, the size of the layout.
    void AutoSize(int width, int height) override;
    void DoUpdatePositions(toolkit::TPoint& size) override;

private:
    TTBCustomToolbar* FToolbar;
};

using TTBChevronItemClass = toolkit::TClassOf<TTBChevronItem, TTBCustomToolbar*>;
using TTBToolbarRootItemClass = toolkit::TClassOf<TTBCustomItem, toolkit::TComponent*>;

/// A toolbar or menu bar. Its items, chevron item and view are made on first use from the classes its
/// descendants choose, and freed with it.
class TTBCustomToolbar : public TTBCustomDockableWindow, public IItemsProvider {
public:
    explicit TTBCustomToolbar(toolkit::TComponent* owner);
    ~TTBCustomToolbar() override;

    /// The root item; its children are the toolbar's items.
    [[nodiscard]] TTBCustomItem* GetItems() override;
    [[nodiscard]] TTBChevronItem* GetChevronItem();
    [[nodiscard]] TTBToolbarView* GetView();

    // -- Properties of the root item -------------------------------------------------------------------------
    [[nodiscard]] toolkit::TCustomImageList* GetImages() { return GetItems()->GetImages(); }
    void SetImages(toolkit::TCustomImageList* value) { GetItems()->SetImages(value); }
    [[nodiscard]] TTBCustomItem* GetLinkSubitems() { return GetItems()->GetLinkSubitems(); }
    void SetLinkSubitems(TTBCustomItem* value) { GetItems()->SetLinkSubitems(value); }
    [[nodiscard]] TTBItemOptions GetOptions() { return GetItems()->GetOptions(); }
    void SetOptions(TTBItemOptions value) { GetItems()->SetOptions(value); }

    // -- Settings --------------------------------------------------------------------------------------------
    /// Items hidden behind the chevron show in its pop-up, the least used first to go.
    [[nodiscard]] bool GetChevronMoveItems() const { return FChevronMoveItems; }
    void SetChevronMoveItems(bool value);
    /// The chevron's hint ("More Buttons|"); its caption follows.
    [[nodiscard]] std::string GetChevronHint();
    void SetChevronHint(const std::string& value);
    [[nodiscard]] bool GetUpdateActions() const { return FUpdateActions; }
    void SetUpdateActions(bool value) { FUpdateActions = value; }
    [[nodiscard]] TTBShrinkMode GetShrinkMode() const { return FShrinkMode; }
    void SetShrinkMode(TTBShrinkMode value);
    /// The items draw with the system's menu font; otherwise with the toolbar's Font.
    [[nodiscard]] bool GetSystemFont() const { return FSystemFont; }
    void SetSystemFont(bool value);
    /// The form's menu bar: full size, wrapping, no close button, its shortcuts run, Alt opens it.
    [[nodiscard]] bool GetMenuBar() const { return FMenuBar; }
    void SetMenuBar(bool value);
    /// The shortcuts of the items run from the form's keys while the menus are closed.
    [[nodiscard]] bool GetProcessShortCuts() const { return FProcessShortCuts; }
    void SetProcessShortCuts(bool value);
    /// The wrap width while floating; 0 for none.
    [[nodiscard]] int GetFloatingWidth() const { return FFloatingWidth; }
    void SetFloatingWidth(int value);
    /// The lines of the last layout computed for a place.
    [[nodiscard]] int GetLastWrappedLines() const { return FLastWrappedLines; }
    /// The view's base size of its last layout.
    [[nodiscard]] toolkit::TPoint GetBaseSize() const { return FBaseSize; }

    /// Counts up the view's updates: no layout until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // -- The dockable window's questions ---------------------------------------------------------------------
    [[nodiscard]] toolkit::TSize ComputeSize(bool apply, TTBDockType dockType, TTBDock* dock, bool floating) override;
    [[nodiscard]] toolkit::TSize GetNaturalSize() override;
    [[nodiscard]] int GetMinimumLength() override;
    [[nodiscard]] TTBShrinkMode ShrinkModeOf() override { return FShrinkMode; }
    /// A child control there, or an item that does not let clicks pass, keeps a press from dragging.
    [[nodiscard]] bool PointBlocksDrag(toolkit::TPoint point) override;
    void ReadPositionData(const TTBReadPositionData& data) override;
    void WritePositionData(const TTBWritePositionData& data) override;
    /// The floating sizes at which the wrapped line count changes, widest (no wrap) first, for the frame to
    /// snap to; computed without changing the floating width.
    [[nodiscard]] std::vector<toolkit::TSize> BuildFloatingSizes();

    void InitiateAction() override;
    void GetTabOrderList(std::vector<toolkit::TWinControl*>& list) override;
    void GetChildren(const TGetChildProc& proc, toolkit::TComponent* root) override;
    void SetChildOrder(toolkit::TComponent* child, int order) override;

    /// A key the toolbar may take as one of its shortcuts before its items are searched; handled stops it.
    toolkit::TShortCutEvent OnShortCut;

protected:
    [[nodiscard]] virtual TTBChevronItemClass GetChevronItemClass() const;
    [[nodiscard]] virtual TTBToolbarRootItemClass GetRootItemClass() const;
    [[nodiscard]] virtual TTBViewClass GetViewClass() const;

    /// Opens the toolbar from the keyboard: ch 0 selects the first item, else its accelerator (only explicit
    /// ones with requirePrimary); whether a loop ran.
    bool KeyboardOpen(char32_t ch, bool requirePrimary);

    void Loaded() override;
    void BeforeDestruction() override;
    void AlignControls(toolkit::TControl* control, ui::RECT& rect) override;
    void Paint() override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void DoContextPopup(ui::POINT mousePos, bool& handled) override;
    void ResizeBegin(int edge) override;
    void ResizeTrack(toolkit::TRect& rect, const toolkit::TRect& origRect) override;
    void ResizeAccept() override;
    void ResizeEnd() override;

    void Dispatch(toolkit::TMessage& message) override;
    void WMSetCursor(toolkit::TMessage& message) override;
    void WMNCMouseMove(toolkit::TMessage& message) override;
    void CMColorChanged(toolkit::TMessage& message) override;
    void CMFontChanged(toolkit::TMessage& message) override;
    void CMHintShow(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    void CMShowHintChanged(toolkit::TMessage& message) override;
    void CMDialogKey(toolkit::TMessage& message) override;
    void CMDialogChar(toolkit::TMessage& message) override;
    void CMWinIniChange(toolkit::TMessage& message) override;
    /// SC_KEYMENU opens a menu bar from the keyboard.
    virtual void WMSysCommand(toolkit::TMessage& message);
    virtual void WMMouseLeave(toolkit::TMessage& message);
    virtual void WMGetObject(toolkit::TMessage& message);
    virtual void CMControlChange(toolkit::TMessage& message);
    virtual void CMControlListChange(toolkit::TMessage& message);

private:
    friend class TTBToolbarView;
    class TMainWindowHook;

    /// Makes the root item, the chevron item and the view, once.
    void Build();
    /// Puts the orientation, chevron and wrap settings for a place into the view.
    void SetViewOffsets(TTBDockType dockType, TTBDock* dock);
    struct TOffsets {
        TTBViewOrientation Orientation = tbvoHorizontal;
        int ChevronOffset = 0;
        int WrapOffset = 0;
    };
    [[nodiscard]] TOffsets OffsetsFor(TTBDockType dockType, TTBDock* dock);
    /// The size the layout starts from: the row shared in the dock across, a full-size row along.
    [[nodiscard]] toolkit::TPoint StartSize(TTBDockType dockType, TTBDock* dock, int wrapOffset);
    /// The docked frame along the dock.
    [[nodiscard]] int FrameAlong(const TTBDock* dock) const;
    /// Wraps control in a control item at index of the items.
    void WrapControl(toolkit::TControl* control, int index);
    [[nodiscard]] bool HoldsControl(const toolkit::TControl* control);
    void ClearSelectionUnlessCaptured();
    [[nodiscard]] bool IsDesigning() const { return GetComponentState().Contains(toolkit::csDesigning); }
    void UpdateMainWindowHook();
    static void MenuBarHookProc(THookProcCode code, ui::HWND window, ui::WPARAM wParam, ui::LPARAM lParam);

    TTBCustomItem* FItems = nullptr;  // owned
    TTBChevronItem* FChevronItem = nullptr;  // owned
    TTBToolbarView* FView = nullptr;  // owned
    bool FBuilding = false;
    bool FChevronMoveItems = true;
    bool FUpdateActions = true;
    TTBShrinkMode FShrinkMode = tbsmChevron;
    bool FSystemFont = true;
    bool FMenuBar = false;
    bool FProcessShortCuts = false;
    int FFloatingWidth = 0;
    bool FMenuBarHooked = false;
    bool FMainWindowHooked = false;
    int FIgnoreMouseLeave = 0;
    int FDisableAlign = 0;
    int FComputingSize = 0;
    int FLastWrappedLines = 1;
    toolkit::TPoint FBaseSize{0, 0};
    toolkit::TSize FLayoutSize{0, 0};
    std::unique_ptr<TFloatingResizeSnap> FResizeSnap;
};

/// A toolbar with nothing of its own beyond its base; forms place this one.
class TTBToolbar : public TTBCustomToolbar {
public:
    using TTBCustomToolbar::TTBCustomToolbar;
};

}  // namespace ovrel::toolbars
