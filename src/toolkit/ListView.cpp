#include "toolkit/ListView.h"

#include "platform/ui/Messages.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

namespace ovrel::toolkit {

using namespace ovrel::ui;

namespace {

inline constexpr const char* kListViewClass = "OvrelListView";

Qt::Alignment QtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

// ---- The model over our item list ----------------------------------------------------------------------

class TListViewModel : public QAbstractTableModel {
public:
    explicit TListViewModel(TListView* owner) : FOwner(owner) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : FOwner->FItems->GetCount(); }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : std::max(1, FOwner->FColumns->GetCount());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= FOwner->FItems->GetCount())
            return {};
        if (role == Qt::DisplayRole) {
            const TListItem* item = FOwner->FItems->FItems[static_cast<std::size_t>(index.row())].get();
            if (index.column() == 0)
                return ToQString(item->FCaption);
            const int sub = index.column() - 1;
            TStrings* subItems = item->GetSubItems();
            return sub < subItems->GetCount() ? ToQString(subItems->Get(sub)) : QString();
        }
        if (role == Qt::TextAlignmentRole && index.column() < FOwner->FColumns->GetCount())
            return QVariant::fromValue(QtAlignment(FOwner->FColumns->GetItem(index.column())->GetAlignment()));
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section >= FOwner->FColumns->GetCount())
            return {};
        const TListColumn* column = FOwner->FColumns->GetItem(section);
        if (role == Qt::DisplayRole)
            return ToQString(column->GetCaption());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(QtAlignment(column->GetAlignment()));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsert(int row) { beginInsertRows({}, row, row); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int row) { beginRemoveRows({}, row, row); }
    void EndRemove() { endRemoveRows(); }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, columnCount({}) - 1)); }
    void HeaderChanged() { emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount({}) - 1)); }

private:
    TListView* FOwner;
};

// ---- Columns --------------------------------------------------------------------------------------------

void TListColumn::SetCaption(const std::string& value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    FOwner->GetColumns()->Changed();
}

void TListColumn::SetWidth(int value)
{
    if (FWidth == value)
        return;
    FWidth = value;
    FOwner->GetColumns()->Changed();
}

void TListColumn::SetAlignment(TAlignment value)
{
    if (FAlignment == value)
        return;
    FAlignment = value;
    FOwner->GetColumns()->Changed();
}

void TListColumn::SetAutoSize(bool value)
{
    if (FAutoSize == value)
        return;
    FAutoSize = value;
    FOwner->GetColumns()->Changed();
}

TListColumn* TListColumns::Add()
{
    auto column = std::unique_ptr<TListColumn>(new TListColumn(FOwner));
    column->FIndex = GetCount();
    FItems.push_back(std::move(column));
    Changed();
    return FItems.back().get();
}

void TListColumns::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

TListColumn* TListColumns::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)].get();
}

void TListColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FPending)
        Changed();
}

void TListColumns::Changed()
{
    if (FUpdateCount > 0) {
        FPending = true;
        return;
    }
    FPending = false;
    FOwner->ColumnsChanged();
}

// ---- Items ----------------------------------------------------------------------------------------------

class TListItem::TSubItems : public TStringList {
public:
    explicit TSubItems(TListItem* item) : FItem(item) {}

protected:
    void Changed() override
    {
        TStringList::Changed();
        FItem->FOwner->ItemChanged(FItem);
    }

private:
    TListItem* FItem;
};

TListItem::TListItem(TListView* owner) : FOwner(owner), FSubItems(std::make_unique<TSubItems>(this)) {}

TListItem::~TListItem() = default;

TStrings* TListItem::GetSubItems() const { return FSubItems.get(); }

void TListItem::SetCaption(const std::string& value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    FOwner->ItemChanged(this);
}

void TListItem::SetSelected(bool value) { FOwner->ChangeSelection(this, value, true); }

bool TListItem::GetFocused() const { return FOwner->FFocused == this; }

void TListItem::SetFocused(bool value)
{
    if (value)
        FOwner->SetItemFocused(this);
    else if (GetFocused())
        FOwner->SetItemFocused(nullptr);
}

TListItems::~TListItems() = default;

TListItem* TListItems::Add()
{
    const int row = GetCount();
    const bool live = FUpdateCount == 0 && FOwner->FModel != nullptr;
    if (live)
        FOwner->FModel->BeginInsert(row);
    auto item = std::unique_ptr<TListItem>(new TListItem(FOwner));
    item->FIndex = row;
    FItems.push_back(std::move(item));
    if (live)
        FOwner->FModel->EndInsert();
    return FItems.back().get();
}

void TListItems::Delete(int index)
{
    TListItem* item = GetItem(index);
    if (item->FSelected)
        FOwner->ChangeSelection(item, false, true);
    if (FOwner->FFocused == item)
        FOwner->FFocused = nullptr;
    const bool live = FUpdateCount == 0 && FOwner->FModel != nullptr;
    if (live)
        FOwner->FModel->BeginRemove(index);
    FItems.erase(FItems.begin() + index);
    FOwner->Renumber(index);
    if (live)
        FOwner->FModel->EndRemove();
}

void TListItems::Clear()
{
    if (FItems.empty())
        return;
    const bool live = FUpdateCount == 0 && FOwner->FModel != nullptr;
    if (live)
        FOwner->FModel->BeginReset();
    FItems.clear();
    FOwner->FFocused = nullptr;
    FOwner->FSelCount = 0;
    if (live)
        FOwner->FModel->EndReset();
}

TListItem* TListItems::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)].get();
}

void TListItems::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FOwner->FModel != nullptr) {
        FOwner->FModel->BeginReset();
        FResetting = true;
    }
}

void TListItems::EndUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0)
        return;
    // The window may have been made (or remade) during the update: end only the reset that was begun.
    if (FResetting && FOwner->FModel != nullptr) {
        FOwner->FModel->EndReset();
        // Columns added during the update got the header's default size from the reset.
        FOwner->PushColumnWidths();
    }
    FResetting = false;
    if (FOwner->FModel != nullptr) {
        FOwner->PushSelection();
        FOwner->PushFocus();
    }
}

// ---- The list view --------------------------------------------------------------------------------------

TListView::TListView(TComponent* owner)
    : TWinControl(owner), FColumns(std::make_unique<TListColumns>(this)), FItems(std::make_unique<TListItems>(this))
{
    TControlStyle style = GetControlStyle();
    style.Include(csDoubleClicks);
    style.Include(csCaptureMouse);
    SetControlStyle(style);
    SetBounds(GetLeft(), GetTop(), 250, 150);
    SetTabStop(true);
}

TListView::~TListView()
{
    // The window's widget goes with the base class; it must not outlive the model it shows.
    if (QTreeView* view = View())
        view->setModel(nullptr);
    FItems->FItems.clear();
}

QTreeView* TListView::View() const
{
    if (!HandleAllocated())
        return nullptr;
    return qobject_cast<QTreeView*>(GetWindowWidget(const_cast<TListView*>(this)->GetHandle()));
}

void TListView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = kListViewClass;
}

void TListView::CreateWindowHandle(const TCreateParams& params)
{
    WNDCLASS windowClass;
    if (!GetClassInfo(params.WinClassName, windowClass)) {
        windowClass.lpszClassName = params.WinClassName;
        windowClass.style = params.ClassStyle;
        windowClass.widgetFactory = [] { return new QTreeView; };
        RegisterClass(windowClass);
    }
    TWinControl::CreateWindowHandle(params);
    QTreeView* view = View();
    if (view == nullptr)
        return;
    FModel = std::make_unique<TListViewModel>(this);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setModel(FModel.get());
    view->header()->setSectionsClickable(true);
    view->header()->setSectionsMovable(false);
    view->header()->setContextMenuPolicy(Qt::CustomContextMenu);

    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [this] { ViewSelectionChanged(); });
    QObject::connect(
        view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
        [this](const QModelIndex& current) { ViewCurrentChanged(current.isValid() ? current.row() : -1); });
    QObject::connect(view->header(), &QHeaderView::sectionClicked, view,
                     [this](int section) { ColumnClicked(section); });
    QObject::connect(view->header(), &QHeaderView::sectionResized, view,
                     [this](int section, int, int width) { SectionResized(section, width); });
    QObject::connect(view->header(), &QHeaderView::customContextMenuRequested, view, [this, view](const QPoint& pos) {
        const QPoint p = view->header()->mapTo(view, pos);
        FRightClickSection = view->header()->logicalIndexAt(pos);
        ColumnRightClicked(POINT{p.x(), p.y()});
    });
    ColumnsChanged();
    ApplyViewOptions();
    PushSelection();
    PushFocus();
}

void TListView::DestroyWindowHandle()
{
    if (QTreeView* view = View()) {
        QObject::disconnect(view->selectionModel(), nullptr, view, nullptr);
        view->setModel(nullptr);
    }
    FModel.reset();
    FItems->FResetting = false;
    TWinControl::DestroyWindowHandle();
}

void TListView::ApplyViewOptions()
{
    QTreeView* view = View();
    if (view == nullptr)
        return;
    view->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    // The grid lines are drawn by the style sheet: a cell border keeps the model free of painting. An item rule
    // takes the selection's colours away too, so they are given again: the highlight while the view has the
    // focus, and without it the button face when the selection stays visible, nothing when it hides.
    QString sheet = QStringLiteral("QTreeView::item:selected:active { background: palette(highlight);"
                                   " color: palette(highlighted-text); }");
    sheet += FHideSelection ? QStringLiteral("QTreeView::item:selected:!active { background: transparent;"
                                             " color: palette(text); }")
                            : QStringLiteral("QTreeView::item:selected:!active { background: palette(button);"
                                             " color: palette(button-text); }");
    if (FGridLines)
        sheet += QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }");
    view->setStyleSheet(sheet);
}

void TListView::SetMultiSelect(bool value)
{
    if (FMultiSelect == value)
        return;
    FMultiSelect = value;
    if (!value) {
        // One selected item at most: keep the first.
        TListItem* first = GetSelected();
        for (auto& item : FItems->FItems)
            if (item.get() != first && item->FSelected)
                ChangeSelection(item.get(), false, true);
    }
    ApplyViewOptions();
}

void TListView::SetRowSelect(bool value) { FRowSelect = value; }

void TListView::SetHideSelection(bool value)
{
    if (FHideSelection == value)
        return;
    FHideSelection = value;
    ApplyViewOptions();
}

void TListView::SetGridLines(bool value)
{
    if (FGridLines == value)
        return;
    FGridLines = value;
    ApplyViewOptions();
}

void TListView::ColumnsChanged()
{
    for (int i = 0; i < FColumns->GetCount(); ++i)
        FColumns->GetItem(i)->FIndex = i;
    QTreeView* view = View();
    if (view == nullptr || FModel == nullptr)
        return;
    if (FItems->FUpdateCount == 0) {
        FModel->BeginReset();
        FModel->EndReset();
        PushSelection();
        PushFocus();
    }
    PushColumnWidths();
}

void TListView::PushColumnWidths()
{
    QTreeView* view = View();
    if (view == nullptr)
        return;
    // First: ending the stretch gives the last section back an old size, which would replace the column's.
    view->header()->setStretchLastSection(false);
    for (int i = 0; i < FColumns->GetCount(); ++i) {
        const TListColumn* column = FColumns->GetItem(i);
        if (column->GetAutoSize())
            view->resizeColumnToContents(i);
        else
            view->setColumnWidth(i, column->GetWidth());
    }
}

void TListView::ItemChanged(TListItem* item)
{
    if (FModel != nullptr && FItems->FUpdateCount == 0 && item->FIndex < FItems->GetCount() &&
        FItems->FItems[static_cast<std::size_t>(item->FIndex)].get() == item)
        FModel->RowChanged(item->FIndex);
}

void TListView::ChangeSelection(TListItem* item, bool selected, bool notify)
{
    if (item->FSelected == selected)
        return;
    if (selected && !FMultiSelect) {
        for (auto& other : FItems->FItems)
            if (other->FSelected) {
                other->FSelected = false;
                --FSelCount;
                if (notify)
                    OnSelectItem(this, other.get(), false);
            }
    }
    item->FSelected = selected;
    FSelCount += selected ? 1 : -1;
    if (!FPushing)
        PushSelection();
    if (notify)
        OnSelectItem(this, item, selected);
}

void TListView::PushSelection()
{
    QTreeView* view = View();
    if (view == nullptr || view->selectionModel() == nullptr || FItems->FUpdateCount > 0)
        return;
    QItemSelection selection;
    const int count = FItems->GetCount();
    const int lastColumn = FModel->columnCount({}) - 1;
    for (int row = 0; row < count;) {
        if (!FItems->FItems[static_cast<std::size_t>(row)]->FSelected) {
            ++row;
            continue;
        }
        int end = row;
        while (end + 1 < count && FItems->FItems[static_cast<std::size_t>(end + 1)]->FSelected)
            ++end;
        selection.select(FModel->index(row, 0), FModel->index(end, lastColumn));
        row = end + 1;
    }
    const bool saved = FPushing;
    FPushing = true;
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    FPushing = saved;
}

void TListView::PushFocus()
{
    QTreeView* view = View();
    if (view == nullptr || view->selectionModel() == nullptr || FItems->FUpdateCount > 0)
        return;
    const bool saved = FPushing;
    FPushing = true;
    view->selectionModel()->setCurrentIndex(FFocused != nullptr ? FModel->index(FFocused->FIndex, 0) : QModelIndex(),
                                            QItemSelectionModel::NoUpdate);
    FPushing = saved;
}

void TListView::ViewSelectionChanged()
{
    if (FPushing)
        return;
    QTreeView* view = View();
    // The user's change: compare each item with the view and tell of those that changed, in list order.
    std::vector<TListItem*> changed;
    for (auto& item : FItems->FItems) {
        const bool selected = view->selectionModel()->isRowSelected(item->FIndex, {});
        if (selected != item->FSelected) {
            item->FSelected = selected;
            FSelCount += selected ? 1 : -1;
            changed.push_back(item.get());
        }
    }
    // A handler may free the list view: stop telling as soon as it is gone.
    const TLifeToken::TObserver life = FLife.Observe();
    for (TListItem* item : changed) {
        if (life.Expired())
            return;
        try {
            OnSelectItem(this, item, item->FSelected);
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
}

void TListView::ViewCurrentChanged(int row)
{
    if (FPushing)
        return;
    FFocused = row >= 0 && row < FItems->GetCount() ? FItems->FItems[static_cast<std::size_t>(row)].get() : nullptr;
}

void TListView::ColumnClicked(int section)
{
    if (section < 0 || section >= FColumns->GetCount())
        return;
    try {
        OnColumnClick(this, FColumns->GetItem(section));
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void TListView::SectionResized(int section, int width)
{
    // Kept without a change notice: the view shows the width already.
    if (section >= 0 && section < FColumns->GetCount())
        FColumns->GetItem(section)->FWidth = width;
}

void TListView::ColumnRightClicked(POINT point)
{
    if (FRightClickSection < 0 || FRightClickSection >= FColumns->GetCount())
        return;
    try {
        OnColumnRightClick(this, FColumns->GetItem(FRightClickSection), point);
    } catch (...) {
        ReportException(std::current_exception());
    }
}

TListItem* TListView::GetSelected() const
{
    if (FSelCount == 0)
        return nullptr;
    for (const auto& item : FItems->FItems)
        if (item->FSelected)
            return item.get();
    return nullptr;
}

void TListView::SetSelected(TListItem* item)
{
    for (auto& other : FItems->FItems)
        if (other.get() != item && other->FSelected)
            ChangeSelection(other.get(), false, true);
    if (item != nullptr)
        ChangeSelection(item, true, true);
}

void TListView::SetItemFocused(TListItem* item)
{
    if (FFocused == item)
        return;
    FFocused = item;
    PushFocus();
}

int TListView::GetItemIndex() const
{
    const TListItem* item = GetSelected();
    return item != nullptr ? item->FIndex : -1;
}

void TListView::SetItemIndex(int index)
{
    SetSelected(index >= 0 && index < FItems->GetCount() ? FItems->GetItem(index) : nullptr);
}

TListItem* TListView::GetNextItem(TListItem* start, TSearchDirection, TItemStates states) const
{
    const int count = FItems->GetCount();
    for (int row = start != nullptr ? start->FIndex + 1 : 0; row < count; ++row) {
        TListItem* item = FItems->FItems[static_cast<std::size_t>(row)].get();
        if ((states & isSelected) != 0 && !item->FSelected)
            continue;
        if ((states & isFocused) != 0 && item != FFocused)
            continue;
        return item;
    }
    return nullptr;
}

std::vector<TListItem*> TListView::SelectedItems() const
{
    std::vector<TListItem*> result;
    result.reserve(static_cast<std::size_t>(FSelCount));
    for (const auto& item : FItems->FItems)
        if (item->FSelected)
            result.push_back(item.get());
    return result;
}

bool TListView::CustomSort(const TLVCompare& compare, std::intptr_t data)
{
    if (!compare)
        return false;
    auto& items = FItems->FItems;
    std::stable_sort(items.begin(), items.end(),
                     [&](const auto& a, const auto& b) { return compare(a.get(), b.get(), data) < 0; });
    Renumber(0);
    if (FModel != nullptr && FItems->FUpdateCount == 0) {
        FModel->BeginReset();
        FModel->EndReset();
        PushSelection();
        PushFocus();
    }
    return true;
}

void TListView::Renumber(int from)
{
    for (int row = from; row < FItems->GetCount(); ++row)
        FItems->FItems[static_cast<std::size_t>(row)]->FIndex = row;
}

void TListView::Repaint()
{
    if (QTreeView* view = View())
        view->viewport()->update();
    TWinControl::Repaint();
}

}  // namespace ovrel::toolkit
