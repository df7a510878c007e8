#pragma once
// The property grid: the item tree shown as rows, one per shown item, each with a caption cell left of a
// split line and a value cell right of it. The grid lays out and paints the rows through the items'
// displays, tracks the selected, hot and pressed rows, scrolls by rows, hands keys and mouse input to the
// rows, and raises the grid events.

#include "inspector/ItemDisplay.h"
#include "inspector/PropertyItems.h"
#include "inspector/ScrollView.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ovrel::inspector {

enum TPropertyViewOption : std::uint8_t {
    poGrid,  // grid lines between the rows: the row pitch is RowHeight + 1
    poEnterSelectNext,  // Enter moves to the next row
    poImages,  // stored only: images are drawn whenever Images is set
    poUniformSelect,  // no selection by dragging over the rows
};
using TPropertyViewOptions = toolkit::TSet<TPropertyViewOption>;

/// (Sender, Item, Value).
using TChangeEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*, const std::string&>;
/// (Sender, Item, Value, Accept).
using TEditEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*, const std::string&, bool&>;
/// (Sender, Item).
using TItemNotifyEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*>;
/// (Sender, Item, Rect): the rectangle the row's display drew last.
using TItemRectEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*, const toolkit::TRect&>;
/// (Sender, Item, ButtonIndex).
using TToolbarClickEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*, int>;

/// The property grid. It owns its Categories (the top level of the item tree); the items know it as their view.
class TCustomPropertiesView : public TScrollView, public IPropertiesView {
public:
    explicit TCustomPropertiesView(toolkit::TComponent* owner);
    /// Clears the rows first, so that no item outlives the grid it reports to.
    ~TCustomPropertiesView() override;

    // -- What the items read ------------------------------------------------------------------------------
    [[nodiscard]] int GetRowHeight() const override { return FRowHeight; }
    [[nodiscard]] int GetRowPitch() const override;
    [[nodiscard]] int GetTopRow() const override;
    [[nodiscard]] int GetSplitterPosition() const override { return FSplitterPosition; }
    [[nodiscard]] int GetSuffixWidth() const override { return FSuffixWidth; }
    [[nodiscard]] int GetRowWidth() const override { return GetClientWidth(); }
    [[nodiscard]] toolkit::TColor GetItemsColor() const override { return GetColor(); }
    [[nodiscard]] const toolkit::TFont* GetItemsFont() const override { return GetFont(); }
    /// From the grid's index of the rows shown, made again after every change of the tree's shape.
    [[nodiscard]] bool FindShownRow(const TCustomPropertyItem* item, int& row) const override;

    // -- Properties ---------------------------------------------------------------------------------------
    /// The component whose published properties the rows bind to; not owned, forgotten when it is freed.
    [[nodiscard]] toolkit::TComponent* GetAssociate() const override { return FAssociate; }
    void SetAssociate(toolkit::TComponent* value);
    [[nodiscard]] toolkit::TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    /// Makes the window again with or without its edge.
    void SetBorderStyle(toolkit::TBorderStyle value);
    /// The rows of the top level; owned.
    [[nodiscard]] TPropertyItems* GetCategories() const { return FCategories.get(); }
    [[nodiscard]] toolkit::TColor GetCategoriesColor() const { return FCategoriesColor; }
    void SetCategoriesColor(toolkit::TColor value);
    [[nodiscard]] bool GetEnableVisualStyles() const { return FEnableVisualStyles; }
    void SetEnableVisualStyles(bool value);
    [[nodiscard]] toolkit::TColor GetGridColor() const { return FGridColor; }
    void SetGridColor(toolkit::TColor value);
    /// Not owned; forgotten when it is freed. Captions show their item's image while it is set.
    [[nodiscard]] toolkit::TCustomImageList* GetImages() const { return FImages; }
    void SetImages(toolkit::TCustomImageList* value);
    [[nodiscard]] toolkit::TColor GetMarginColor() const { return FMarginColor; }
    void SetMarginColor(toolkit::TColor value);
    [[nodiscard]] TPropertyViewOptions GetOptions() const { return FOptions; }
    void SetOptions(TPropertyViewOptions value);
    void SetRowHeight(int value);
    [[nodiscard]] toolkit::TColor GetSelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(toolkit::TColor value) { FSelectionColor = value; }
    /// A value below 15 becomes 14; the grid repaints only when the stored value changes. A position set
    /// before the window exists is kept when it is made.
    void SetSplitterPosition(int value);
    [[nodiscard]] TPropertiesStyle GetStyle() const { return FStyle; }
    void SetStyle(TPropertiesStyle value);
    void SetSuffixWidth(int value);

    // -- Rows ---------------------------------------------------------------------------------------------
    /// Every item of every level, hidden and collapsed ones included, in pre-order.
    [[nodiscard]] int GetAbsoluteCount() const;
    /// The item at that pre-order position; none when out of range.
    [[nodiscard]] TCustomPropertyItem* GetAbsoluteItem(int index) const;
    /// The rows shown: visible items, descending only into expanded ones.
    [[nodiscard]] int VisibleRowCount() const;
    /// The largest scroll position that still fills the client: rows shown less the rows that fit.
    [[nodiscard]] int MaxTopRow() const;
    /// The row under a client point, grid line included; none below the last row.
    [[nodiscard]] TCustomPropertyItem* ItemAtPoint(toolkit::TPoint point) const;
    /// The row shown below item: its first visible child when it is expanded, else the next visible item
    /// after it at its level or, at the end of a level, after its parent; none at the very end.
    [[nodiscard]] TCustomPropertyItem* NextVisibleItem(const TCustomPropertyItem* item) const;

    [[nodiscard]] TCustomPropertyItem* GetSelectedItem() const { return FSelectedItem; }
    [[nodiscard]] TCustomPropertyItem* GetHotItem() const { return FHotItem; }
    [[nodiscard]] TCustomPropertyItem* GetPressedItem() const { return FPressedItem; }
    /// The item whose value editor is open, and the one whose suffix editor is; none while closed.
    [[nodiscard]] TCustomPropertyItem* GetEditingItem() const { return FEditingItem; }
    [[nodiscard]] TCustomPropertyItem* GetSuffixEditingItem() const { return FSuffixEditingItem; }

    /// Selects item (none: no row) and opens its editors; nothing when it is selected already.
    void SelectItem(TCustomPropertyItem* item);
    /// With poEnterSelectNext, the row below the selected one.
    void SelectNextItem();
    void SetHotItem(TCustomPropertyItem* item);
    void SetPressedItem(TCustomPropertyItem* item);

    // -- Editors ------------------------------------------------------------------------------------------
    // Editors are open only on the selected row: one for the value, one for the suffix.
    /// Opens item's value editor over its value cell, with the focus, when the row may be edited; otherwise
    /// closes any open one and takes the focus back.
    virtual void ShowValueEditor(TCustomPropertyItem* item);
    /// Opens item's suffix editor over its suffix cell when the row shows one.
    virtual void ShowSuffixEditor(TCustomPropertyItem* item);
    /// Closes both editors and forgets their items.
    virtual void HideEditors();
    /// Takes the open editors' texts into their items, asking OnEdit when the value text differs; a refusal
    /// puts the item's value back into the editor and, with close, closes the editors. Without close the
    /// editor's text is selected.
    virtual void CommitEdit(bool close);
    /// Puts the open editors back over their row's cells.
    virtual void RefitEditor();

    // -- Repainting ---------------------------------------------------------------------------------------
    /// Invalidates a part of item's row: the row (0, and 1 and 3), the caption cell (2) or the value cell
    /// (9); nothing for none or a hidden item.
    void RepaintItemPart(const TCustomPropertyItem* item, int part);
    /// Invalidates a toolbar button of item (index); the value cell while no row has buttons.
    void RepaintButton(const TCustomPropertyItem* item, int index);

    /// What the grid does about each change an item reports (the top list's OnItemChange).
    void ItemChangeHandler(toolkit::TObject* list, TCustomPropertyItem* item, int index, std::uint8_t kind);

    /// The scroll position counts rows.
    [[nodiscard]] int GetVertScrollDelta(int oldPos, int newPos) override;

    void Invalidate() override;

    /// Streaming: the grid owns what is read into it, and its children are every item in pre-order.
    toolkit::TComponent* GetChildOwner() override { return this; }
    void GetChildren(const TGetChildProc& proc, toolkit::TComponent* root) override;

    TChangeEvent OnChange;
    TItemRectEvent OnAfterDrawItem;
    TEditEvent OnEdit;
    TItemNotifyEvent OnExecute;
    TItemNotifyEvent OnExpand;
    TItemNotifyEvent OnSelectItem;
    TChangeEvent OnSuffixEdit;
    TToolbarClickEvent OnToolbarClick;

protected:
    /// Paints one row through its display.
    virtual void DrawItem(TCustomPropertyItem* item);
    /// Registers the item classes for streaming.
    virtual void RegisterItemClasses();
    /// After every value change of an item; nothing here.
    virtual void ItemValueChanged(TCustomPropertyItem* item, const std::string& value);

    virtual void DoChange(TCustomPropertyItem* item, const std::string& value);
    virtual void DoAfterDrawItem(TCustomPropertyItem* item, const toolkit::TRect& rect);
    virtual void DoEdit(TCustomPropertyItem* item, const std::string& value, bool& accept);
    virtual void DoExecute(TCustomPropertyItem* item);
    virtual void DoExpand(TCustomPropertyItem* item);
    virtual void DoSelectItem(TCustomPropertyItem* item);
    virtual void DoSuffixEdit(TCustomPropertyItem* item, const std::string& value);
    virtual void DoToolbarClick(TCustomPropertyItem* item, int buttonIndex);

    void CreateParams(toolkit::TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool DoMouseWheelDown(toolkit::TShiftState shift, ui::POINT mousePos) override;
    bool DoMouseWheelUp(toolkit::TShiftState shift, ui::POINT mousePos) override;
    void DoEnter() override;
    void DoExit() override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

    void WMSize(toolkit::TMessage& message) override;
    /// Scrolling closes the editors first.
    void WMVScroll(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;

private:
    struct Cells;
    /// The cells of a row whose top is known.
    [[nodiscard]] Cells CellsOf(const TCustomPropertyItem* item, int top) const;
    /// The rows shown, top to bottom, with each row's position.
    struct ShownRows {
        std::uint64_t Version = ~std::uint64_t{0};
        std::vector<TCustomPropertyItem*> Rows;
        std::unordered_map<const TCustomPropertyItem*, int> Index;
    };
    [[nodiscard]] const ShownRows& GetShownRows() const;
    /// A property's writer: store, close the editors when the layout changes, repaint everything.
    template <class T> void Store(T& field, T value, bool closeEditors);
    [[nodiscard]] bool InSplitterZone(int x) const;
    /// The display of item set up for input in the value cell; none without an item.
    TItemDisplay* ValueDisplay(const TCustomPropertyItem* item, const toolkit::TRect& valueCell);
    void PrepareDisplay(TItemDisplay* display, const TCustomPropertyItem* item);
    /// Brings the bar's range to the rows shown; the bar shows exactly when there is something to scroll.
    void UpdateScrollRange();
    /// Scrolls until item's row is wholly shown.
    void ScrollIntoView(const TCustomPropertyItem* item);
    /// Selects a row the keyboard moved to, after the open editor's text went into its item.
    void SelectByKey(TCustomPropertyItem* item);
    /// The row shown directly above item; none at the top or for a row not shown.
    [[nodiscard]] TCustomPropertyItem* RowAbove(const TCustomPropertyItem* item) const;
    [[nodiscard]] TCustomPropertyItem* FirstRow() const;
    [[nodiscard]] TCustomPropertyItem* LastRow() const;
    void RowsChanged(toolkit::TObject* sender);
    /// Forgets every reference to an item being freed.
    void Forget(const TCustomPropertyItem* item);
    /// Typing in a value editor: the text goes into the editor's own item.
    void EditorChange(toolkit::TObject* sender);
    void SuffixEditorChange(toolkit::TObject* sender);
    /// Keys of the open editors: Enter commits, Escape closes, the grid's keys go to the grid.
    void EditorKeyDown(toolkit::TObject* sender, std::uint16_t& key, toolkit::TShiftState shift);
    /// Stores an editor's text into item; false when OnEdit refused it. Text that the item cannot take yet
    /// (a number half typed) leaves it as it was.
    bool StoreEdit(TCustomPropertyItem* item, const std::string& text, bool ask);
    /// The editor's text set by the grid (a refusal, a change from elsewhere): under the lock, no edit.
    void RefreshEditor(TCellEditor* editor, const std::string& value);
    /// An editor closed while it held the focus hands it back to the grid.
    void TakeFocusFrom(const TCellEditor* editor);
    /// Places a cell editor in a cell of its row, the row's height.
    void PlaceEditor(toolkit::TWinControl* editor, const toolkit::TRect& cell);

    toolkit::TComponent* FAssociate = nullptr;
    toolkit::TBorderStyle FBorderStyle = toolkit::TBorderStyle::bsSingle;
    std::unique_ptr<TPropertyItems> FCategories;
    toolkit::TColor FCategoriesColor = toolkit::clBtnFace;
    TCustomPropertyItem* FPressedItem = nullptr;
    TCustomPropertyItem* FEditingItem = nullptr;
    bool FEnableVisualStyles = false;
    toolkit::TColor FGridColor = toolkit::clBtnFace;
    TCustomPropertyItem* FHotItem = nullptr;
    bool FMouseDown = false;
    toolkit::TCustomImageList* FImages = nullptr;
    toolkit::TColor FMarginColor = toolkit::clBtnFace;
    int FLastClientWidth = 0;
    int FLastClientHeight = 0;
    TPropertyViewOptions FOptions{poGrid, poEnterSelectNext, poUniformSelect};
    int FRowHeight = 16;
    TCustomPropertyItem* FSelectedItem = nullptr;
    toolkit::TColor FSelectionColor = toolkit::clHighlight;
    int FSplitterPosition = 0;
    bool FSplitterSet = false;  // a position was given: window creation keeps it
    TPropertiesStyle FStyle = psDefault;
    TCustomPropertyItem* FSuffixEditingItem = nullptr;
    int FSuffixWidth = 60;
    bool FSplitterDrag = false;
    // The row whose display got the last press: only it hears the release.
    TCustomPropertyItem* FDownItem = nullptr;
    toolkit::TPoint FDownPoint;
    mutable ShownRows FShown;
    bool FWholeInvalid = false;  // the whole client waits for a paint: a row repaint adds nothing
    const TCustomPropertyItem* FStoring = nullptr;  // the item an editor's text is being written into
};

/// The grid with its published properties.
class TPropertiesView : public TCustomPropertiesView {
public:
    using TCustomPropertiesView::TCustomPropertiesView;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;
};

}  // namespace ovrel::inspector
