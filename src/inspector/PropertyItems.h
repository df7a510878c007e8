#pragma once
// The grid's rows: the item base class, the ordered lists of items that make the tree, the walks that give
// every item its absolute index, level, indent and row position, and the change reports that carry every
// visible change of an item up to the grid.

#include "inspector/ItemDisplay.h"

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::inspector {

class TCellEditor;
class TComboBoxEditor;
class TCustomPropertyItem;
class TPropertyItems;

using TCellEditorClass = toolkit::TClassOf<TCellEditor, toolkit::TComponent*>;
using TPropertyItemClass = toolkit::TClassOf<TCustomPropertyItem, toolkit::TComponent*>;

/// The kinds of change an item reports to the grid, with what the grid does about them.
enum TItemChangeKind : std::uint8_t {
    icRow = 0,  // Caption, Font, ImageIndex, ValueFont, Color: repaint the row
    icCollapsed = 1,  // Expanded set to False: OnExpand, repaint all
    icDestroying = 2,  // the item is being freed: forget every reference to it
    icEnabled = 3,  // repaint the row, hide the editors
    icExpanded = 4,  // Expanded set to True: OnExpand, repaint all
    icValueCell = 5,  // repaint the value cell (no sender here)
    icValueLook = 6,  // ReadOnly, ShowPreview, ShowSuffix, EmptyValue, ValueFont, Color and look properties
    icValue = 7,  // every value change: OnChange, the open editor, ItemValueChanged
    icCheckLook = 8,  // look of check-box and radio items
    icSuffixValue = 9,  // OnSuffixEdit
    icToolbarText = 10,  // ShowText of toolbar items
    icButtonClick = 11,  // a toolbar button's check or click (Index = button): OnToolbarClick
    icButton = 12,  // a toolbar button's look or state (Index = button)
    icValueCellOther = 13,  // repaint the value cell (no sender here)
    icVisible = 14,  // hide an editor of the item, refit, repaint all
};

/// (Sender = the top list, Item, Index: a toolbar button or -1, Kind).
using TItemChangeEvent = toolkit::TEvent<toolkit::TObject*, TCustomPropertyItem*, int, std::uint8_t>;

/// What the items need of the grid that shows them. The grid implements it; the owner of the top list that
/// implements it is the items' view, and without one the items have no grid.
class IPropertiesView {
public:
    virtual ~IPropertiesView() = default;
    [[nodiscard]] virtual int GetRowHeight() const = 0;
    /// The distance between row tops: RowHeight, plus 1 with grid lines.
    [[nodiscard]] virtual int GetRowPitch() const = 0;
    /// The vertical scroll position, in rows.
    [[nodiscard]] virtual int GetTopRow() const = 0;
    [[nodiscard]] virtual int GetSplitterPosition() const = 0;
    [[nodiscard]] virtual int GetSuffixWidth() const = 0;
    /// The width of the rows: the grid's client width.
    [[nodiscard]] virtual int GetRowWidth() const = 0;
    /// What a new row takes: the grid's Color and Font.
    [[nodiscard]] virtual toolkit::TColor GetItemsColor() const = 0;
    [[nodiscard]] virtual const toolkit::TFont* GetItemsFont() const = 0;
    /// The position of item among the rows shown (-1: not shown), for a view that keeps an index of them;
    /// false when it keeps none, and the item walks the tree itself.
    [[nodiscard]] virtual bool FindShownRow(const TCustomPropertyItem* item, int& row) const;
    /// The component whose published properties the rows bind to; none in the base.
    [[nodiscard]] virtual toolkit::TComponent* GetAssociate() const;
};

enum TItemStateItem : std::uint8_t { isHot, isLoading };
using TItemState = toolkit::TSet<TItemStateItem>;

enum TSuffixStyle : std::uint8_t { ssDropDown, ssDropDownList };

/// The parts of a row that GetCellRect gives; the grid repaints parts by the same numbers.
enum TItemPart : std::uint8_t {
    ipRow = 0,
    ipRightOfMargin = 2,  // the caption cell of a row
    ipMarginAndIndent = 3,
    ipPreviewBox = 5,
    ipSplitLine = 6,
    ipSuffixCell = 7,
    ipValueText = 8,
    ipValueCell = 9,
};

/// One row of the grid. Its lifetime belongs to the list that holds it: items are no component's owned
/// components. The display, the value editor and the suffix editor are the item's own, made on first use.
class TCustomPropertyItem : public toolkit::TComponent {
public:
    /// owner: the list the item joins the end of, which owns it from then on (or none, for an item linked in
    /// later with AddItem).
    explicit TCustomPropertyItem(toolkit::TComponent* owner);
    ~TCustomPropertyItem() override;

    /// From another item: Caption, EmptyValue, Enabled, Expanded, Font, ImageIndex, ReadOnly, Suffixes,
    /// SuffixValue, Value and ValueFont, each through its writer.
    void Assign(const toolkit::TPersistent* source) override;

    // -- Tree ---------------------------------------------------------------------------------------------
    /// The list that holds the item.
    [[nodiscard]] TPropertyItems* GetOwningList() const { return FOwningList; }
    [[nodiscard]] TCustomPropertyItem* GetParentItem() const;
    /// The list of the item's top-level ancestor: the grid's Categories when the item is in a grid.
    [[nodiscard]] const TPropertyItems* GetTopList() const;
    /// The grid, or none.
    [[nodiscard]] IPropertiesView* GetView() const;
    /// The children; owned.
    [[nodiscard]] TPropertyItems* GetItems() const { return FItems.get(); }
    [[nodiscard]] int GetCount() const;
    /// Position in the owning list; -1 when in none.
    [[nodiscard]] int GetIndex() const;
    /// 0 for a top-level (category) row, one more per parent.
    [[nodiscard]] int GetLevel() const;
    /// (Level − 1) × 14 pixels from level 2 on, else 0.
    [[nodiscard]] int GetIndent() const;
    /// The position in the pre-order walk of the whole tree; -1 when the item is in no tree.
    [[nodiscard]] int GetAbsoluteIndex() const;
    /// The parent's AbsoluteIndex, -1 for a top-level item: what a stream records to link the item again.
    [[nodiscard]] int GetParentIndex() const;
    /// The y of the row in the grid's client area; -1 when the row is not shown (no grid, hidden, or under a
    /// collapsed parent).
    [[nodiscard]] int GetRowTop() const;
    /// True without a parent, else when the parent is expanded and its ancestors are.
    [[nodiscard]] bool AncestorsExpanded() const;
    /// A rectangle of the row (TItemPart); empty without a grid, for a row not shown, and where the kind
    /// does not apply.
    [[nodiscard]] toolkit::TRect GetCellRect(int part) const;
    /// Reports a change to the grid; dropped without a grid and while the item is read from a stream.
    void Changed(std::uint8_t kind, int index = -1);

    // -- Properties ---------------------------------------------------------------------------------------
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    [[nodiscard]] toolkit::TColor GetColor() const { return FColor; }
    void SetColor(toolkit::TColor value);
    [[nodiscard]] const std::string& GetEmptyValue() const { return FEmptyValue; }
    void SetEmptyValue(const std::string& value);
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    [[nodiscard]] bool GetExpanded() const { return FExpanded; }
    /// Nothing while ExpandLock is set or when unchanged.
    void SetExpanded(bool value);
    [[nodiscard]] bool GetExpandLock() const { return FExpandLock; }
    void SetExpandLock(bool value) { FExpandLock = value; }
    /// The caption font; owned. Its changes report icRow.
    [[nodiscard]] toolkit::TFont* GetFont() const { return FFont.get(); }
    void SetFont(const toolkit::TFont* value);
    [[nodiscard]] int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int value) { FHelpContext = value; }
    [[nodiscard]] int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    [[nodiscard]] const std::string& GetMapProperty() const { return FMapProperty; }
    void SetMapProperty(const std::string& value);
    [[nodiscard]] const std::string& GetMapXML() const { return FMapXML; }
    void SetMapXML(const std::string& value) { FMapXML = value; }
    [[nodiscard]] bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    [[nodiscard]] bool GetShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool value);
    [[nodiscard]] bool GetShowSuffix() const { return FShowSuffix; }
    void SetShowSuffix(bool value);
    /// The suffix editor's choices; owned.
    [[nodiscard]] toolkit::TStringList* GetSuffixes() const { return FSuffixes.get(); }
    void SetSuffixes(const toolkit::TStrings& value);
    [[nodiscard]] TSuffixStyle GetSuffixStyle() const { return FSuffixStyle; }
    void SetSuffixStyle(TSuffixStyle value) { FSuffixStyle = value; }
    [[nodiscard]] const std::string& GetSuffixValue() const { return FSuffixValue; }
    void SetSuffixValue(const std::string& value);
    [[nodiscard]] const std::string& GetTagString() const { return FTagString; }
    void SetTagString(const std::string& value) { FTagString = value; }
    /// The value font of the value cell and the editors; owned. Its changes report icRow.
    [[nodiscard]] toolkit::TFont* GetValueFont() const { return FValueFont.get(); }
    void SetValueFont(const toolkit::TFont* value);
    [[nodiscard]] bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    [[nodiscard]] TItemState GetState() const { return FState; }
    void SetState(TItemState value) { FState = value; }
    /// The value followed directly by SuffixValue.
    [[nodiscard]] std::string GetFullText() const;

    /// The display, the value editor (none for classes without one) and the suffix editor, made on first use.
    [[nodiscard]] TItemDisplay* GetDisplay() const;
    [[nodiscard]] TCellEditor* GetEditor() const;
    [[nodiscard]] TComboBoxEditor* GetSuffixEditor() const;

    // -- The value and the editors, by class --------------------------------------------------------------
    [[nodiscard]] virtual bool GetAsBoolean() const;
    [[nodiscard]] virtual double GetAsFloat() const;
    [[nodiscard]] virtual int GetAsInteger() const;
    [[nodiscard]] virtual std::string GetAsString() const;
    [[nodiscard]] virtual TItemDisplayClass GetDisplayClass() const;
    /// The class of the value editor; an empty reference for none.
    [[nodiscard]] virtual TCellEditorClass GetEditorClass() const;
    [[nodiscard]] virtual std::string GetValue() const;
    [[nodiscard]] virtual bool HasPreview() const;
    // The base of each setter reports icValue and saves to the bound property; descendants store first.
    virtual void SetAsBoolean(bool value);
    virtual void SetAsFloat(double value);
    virtual void SetAsInteger(int value);
    virtual void SetAsString(const std::string& value);
    virtual void SetValue(const std::string& value);
    /// Whether the grid may open the value editor; not in the base.
    [[nodiscard]] virtual bool CanEdit() const;
    virtual void ShowEditor();
    virtual void ShowSuffixEditor();
    virtual void HideEditor();
    virtual void HideSuffixEditor();

    // -- Binding to the grid's associate --------------------------------------------------------------------
    /// Takes the bound property's value (nothing is written back meanwhile); an item without a caption
    /// takes the property's name, bound or not.
    void LoadFromAssociate();
    /// Writes the value into the bound property; nothing while loading. Conversion errors reach the caller.
    void SaveToAssociate();
    /// Walks a path of names joined by "." down the object properties: instance becomes the object that
    /// holds the last name (none when a step names no object), name that last name.
    static void ResolvePropertyPath(toolkit::TPersistent*& instance, std::string& name);
    /// Called by the grid when its associate changes.
    void AssociateChanged();

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

    // -- Streaming -------------------------------------------------------------------------------------------
    /// Read only into a grid: the properties, then the item joins the grid's Categories or the children of
    /// the item at its ParentIndex. EReadError for an index that names no item; read into anything else,
    /// the properties are passed over.
    void ReadState(toolkit::TReader& reader) override;
    [[nodiscard]] bool HasParent() const override { return true; }
    /// The parent item, or the grid for a top-level item; none while the item is in no list.
    [[nodiscard]] toolkit::TComponent* GetParentComponent() const override;

protected:
    /// Reports icDestroying while the whole item exists, then frees the children (each reporting first).
    void BeforeDestruction() override;
    /// "ParentIndex": the parent's AbsoluteIndex, -1 for a top-level item.
    void DefineProperties(toolkit::TFiler& filer) override;

private:
    friend class TPropertyItems;
    void FontChanged(toolkit::TObject* sender);
    /// The row's top before scrolling, when the row is shown.
    [[nodiscard]] bool ShownRowOffset(int& offset) const;

    std::string FCaption;
    toolkit::TColor FColor = toolkit::clWindow;
    mutable std::unique_ptr<TItemDisplay> FDisplay;
    mutable TCellEditor* FEditor = nullptr;  // owned as a component
    mutable bool FEditorMade = false;
    std::string FEmptyValue;
    bool FEnabled = true;
    bool FExpanded = true;
    bool FExpandLock = false;
    std::unique_ptr<toolkit::TFont> FFont;
    int FHelpContext = 0;
    int FImageIndex = -1;
    std::unique_ptr<TPropertyItems> FItems;
    TItemState FState;
    std::string FMapProperty;
    std::string FMapXML;
    std::string FTagString;
    int FParentIndex = -1;  // as read from a stream
    TPropertyItems* FOwningList = nullptr;
    bool FReadOnly = false;
    bool FShowPreview = false;
    bool FShowSuffix = false;
    mutable TComboBoxEditor* FSuffixEditor = nullptr;  // owned as a component
    std::unique_ptr<toolkit::TStringList> FSuffixes;
    TSuffixStyle FSuffixStyle = ssDropDown;
    std::string FSuffixValue;
    std::unique_ptr<toolkit::TFont> FValueFont;
    bool FVisible = true;
};

/// The items of one level, in display order; the list owns and frees them. The grid holds the top list
/// (its Categories) and sets its two callbacks; lists of children pass every report up to the parent's list.
class TPropertyItems : public toolkit::TComponent {
public:
    /// owner: the grid for the top list, else the parent item. Not owned in the component sense: whoever
    /// made the list frees it.
    explicit TPropertyItems(toolkit::TComponent* owner);
    /// Clears, depth first.
    ~TPropertyItems() override;

    [[nodiscard]] toolkit::TComponent* GetOwner() const override { return FOwner; }
    /// The parent item, when the owner is one.
    [[nodiscard]] TCustomPropertyItem* GetOwnerItem() const;

    /// A new item of itemClass with caption and, when value is not empty, that value; the defaults come from
    /// the grid, and a top-level row is a read-only category row with a bold grey caption.
    TCustomPropertyItem* Add(const TPropertyItemClass& itemClass, const std::string& caption, const std::string& value);
    /// Appends an item made elsewhere and makes this list its owning list; no report.
    void AddItem(TCustomPropertyItem* item);
    [[nodiscard]] int GetCount() const { return static_cast<int>(FItems.size()); }
    /// EListError outside 0..Count-1.
    [[nodiscard]] TCustomPropertyItem* GetItem(int index) const;
    [[nodiscard]] int IndexOf(const TCustomPropertyItem* item) const;
    /// Frees every item in order, each after its children, then reports the change.
    void Clear();

    /// The items of this list and of all levels below it, hidden and collapsed ones included.
    [[nodiscard]] int GetAbsoluteCount() const;
    /// The item at that position of the pre-order walk; none when out of range.
    [[nodiscard]] TCustomPropertyItem* GetAbsoluteItem(int index) const;

    /// A number that changes whenever any tree changes which rows it shows: items added or removed,
    /// shown or hidden, expanded or collapsed. An index of the rows is good while it stays the same.
    [[nodiscard]] static std::uint64_t GetShapeVersion() { return FShapeVersion; }

    toolkit::TNotifyEvent OnChange;
    TItemChangeEvent OnItemChange;

protected:
    /// Raises OnChange, then passes the change to the parent item's list.
    virtual void Changed();
    /// Raises OnItemChange, then passes the report to the parent item's list; nothing while item is read
    /// from a stream.
    virtual void ItemChanged(TCustomPropertyItem* item, int index, std::uint8_t kind);

private:
    friend class TCustomPropertyItem;
    void Append(TCustomPropertyItem* item);
    void Remove(TCustomPropertyItem* item);

    static void ShapeChanged() { ++FShapeVersion; }

    static inline std::uint64_t FShapeVersion = 0;
    toolkit::TComponent* FOwner;
    std::vector<TCustomPropertyItem*> FItems;  // a slot is null while Clear frees its item
    std::size_t FClearing = 0;  // the slot Clear is freeing, plus one; 0 when not clearing
};

/// Visits the items of list and of all levels below it in pre-order (an item, then its children, whether or
/// not shown) until visit returns false; false when it stopped early.
template <class F> bool WalkItems(const TPropertyItems* list, F&& visit)
{
    if (list == nullptr)
        return true;
    for (int i = 0; i < list->GetCount(); ++i) {
        TCustomPropertyItem* item = list->GetItem(i);
        if (item != nullptr && (!visit(item) || !WalkItems(item->GetItems(), visit)))
            return false;
    }
    return true;
}

/// Visits the rows a grid shows, top to bottom: visible items, descending only into expanded ones.
template <class F> bool WalkRows(const TPropertyItems* list, F&& visit)
{
    if (list == nullptr)
        return true;
    for (int i = 0; i < list->GetCount(); ++i) {
        TCustomPropertyItem* item = list->GetItem(i);
        if (item == nullptr || !item->GetVisible())
            continue;
        if (!visit(item) || (item->GetExpanded() && !WalkRows(item->GetItems(), visit)))
            return false;
    }
    return true;
}

/// The number of rows a grid shows for list.
[[nodiscard]] int VisibleRowCount(const TPropertyItems* list);
/// The shown row whose band [top, top + pitch) holds y, the first row's top being −(topRow × pitch); none
/// below the last row.
[[nodiscard]] TCustomPropertyItem* RowAt(const TPropertyItems* list, int y, int pitch, int topRow);
/// The row shown directly below item, or above it; none at the end. Hidden rows and rows under a collapsed
/// parent are passed over.
[[nodiscard]] TCustomPropertyItem* NextRow(const TCustomPropertyItem* item);
[[nodiscard]] TCustomPropertyItem* PreviousRow(const TCustomPropertyItem* item);

}  // namespace ovrel::inspector
