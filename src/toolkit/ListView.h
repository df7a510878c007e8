#pragma once
// The list view in report style: rows live in our own item list, a Qt table model exposes them to a tree view
// without one widget item per row, so filling and sorting tens of thousands of rows stays cheap.

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Lists.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTreeView;

namespace ovrel::toolkit {

class TListView;
class TListItem;
class TListViewModel;

enum TViewStyle : std::uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };

class TListColumn {
public:
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    /// The width on screen: what was set, or what the user dragged the header section to.
    [[nodiscard]] int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    [[nodiscard]] TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    [[nodiscard]] bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    [[nodiscard]] int GetIndex() const { return FIndex; }
    std::intptr_t Tag = 0;

private:
    friend class TListColumns;
    friend class TListView;
    explicit TListColumn(TListView* owner) : FOwner(owner) {}
    TListView* FOwner;
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    int FIndex = 0;
};

class TListColumns {
public:
    explicit TListColumns(TListView* owner) : FOwner(owner) {}
    TListColumn* Add();
    void Clear();
    [[nodiscard]] int GetCount() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TListColumn* GetItem(int index) const;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

private:
    friend class TListColumn;
    void Changed();
    TListView* FOwner;
    std::vector<std::unique_ptr<TListColumn>> FItems;
    int FUpdateCount = 0;
    bool FPending = false;
};

class TListItem {
public:
    ~TListItem();
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    /// The texts of the columns after the first; changes reach the view.
    [[nodiscard]] TStrings* GetSubItems() const;
    void* Data = nullptr;
    [[nodiscard]] bool GetSelected() const { return FSelected; }
    void SetSelected(bool value);
    [[nodiscard]] bool GetFocused() const;
    void SetFocused(bool value);
    [[nodiscard]] int GetIndex() const { return FIndex; }
    [[nodiscard]] TListView* GetListView() const { return FOwner; }

private:
    friend class TListItems;
    friend class TListView;
    friend class TListViewModel;
    explicit TListItem(TListView* owner);
    class TSubItems;
    TListView* FOwner;
    std::string FCaption;
    std::unique_ptr<TSubItems> FSubItems;
    int FIndex = 0;
    bool FSelected = false;
};

class TListItems {
public:
    explicit TListItems(TListView* owner) : FOwner(owner) {}
    ~TListItems();
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;
    TListItem* Add();
    void Delete(int index);
    void Clear();
    [[nodiscard]] int GetCount() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TListItem* GetItem(int index) const;
    TListItem* operator[](int index) const { return GetItem(index); }
    /// While updating, additions reach the view in one reset at the end.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TListView;
    friend class TListViewModel;
    TListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
    int FUpdateCount = 0;
    bool FResetting = false;
};

enum TSearchDirection : std::uint8_t { sdAll };
enum TItemStates : std::uint8_t { isNone = 0, isFocused = 1, isSelected = 2 };

/// Negative, zero or positive as item1 sorts before, with or after item2.
using TLVCompare = std::function<int(TListItem* item1, TListItem* item2, std::intptr_t data)>;
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
using TLVColumnRClickEvent = TEvent<TObject*, TListColumn*, ui::POINT>;

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    [[nodiscard]] TListColumns* GetColumns() const { return FColumns.get(); }
    [[nodiscard]] TListItems* GetItems() const { return FItems.get(); }

    [[nodiscard]] TViewStyle GetViewStyle() const { return vsReport; }
    void SetViewStyle(TViewStyle) {}  // report style only
    [[nodiscard]] bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    [[nodiscard]] bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    [[nodiscard]] bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool value);
    [[nodiscard]] bool GetHideSelection() const { return FHideSelection; }
    /// Off: the selection stays visible, in the button face, while the view has no focus.
    void SetHideSelection(bool value);
    [[nodiscard]] bool GetGridLines() const { return FGridLines; }
    void SetGridLines(bool value);

    /// The first selected item in list order, or null; setting it selects only that item.
    [[nodiscard]] TListItem* GetSelected() const;
    void SetSelected(TListItem* item);
    [[nodiscard]] TListItem* GetItemFocused() const { return FFocused; }
    void SetItemFocused(TListItem* item);
    [[nodiscard]] int GetItemIndex() const;
    void SetItemIndex(int index);
    [[nodiscard]] int GetSelCount() const { return FSelCount; }
    /// The next item after start (null: from the beginning) that has all of the states; null when none.
    [[nodiscard]] TListItem* GetNextItem(TListItem* start, TSearchDirection direction, TItemStates states) const;
    /// The selected items in list order.
    [[nodiscard]] std::vector<TListItem*> SelectedItems() const;

    /// Stable; selection and focus follow their items.
    bool CustomSort(const TLVCompare& compare, std::intptr_t data);

    void Repaint() override;

    /// The tree view while the window exists (tests script it), else null.
    [[nodiscard]] QTreeView* View() const;

    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVColumnRClickEvent OnColumnRightClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWindowHandle() override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;
    friend class TListViewModel;

    void ColumnsChanged();
    void PushColumnWidths();
    void ItemChanged(TListItem* item);
    void ChangeSelection(TListItem* item, bool selected, bool notify);
    void PushSelection();
    void PushFocus();
    void ApplyViewOptions();
    void ViewSelectionChanged();
    void ViewCurrentChanged(int row);
    void ColumnClicked(int section);
    void ColumnRightClicked(ui::POINT point);
    void SectionResized(int section, int width);
    void Renumber(int from);

    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
    std::unique_ptr<TListViewModel> FModel;
    TListItem* FFocused = nullptr;
    int FSelCount = 0;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FRowSelect = false;
    bool FHideSelection = true;
    bool FGridLines = false;
    bool FPushing = false;  // our own changes to the view's selection are not the user's
    int FRightClickSection = -1;
    TLifeToken FLife;
};

}  // namespace ovrel::toolkit
