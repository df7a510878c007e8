#include "toolkit/StdLists.h"

#include "platform/ui/QtText.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QString>

#include <algorithm>
#include <utility>

namespace ovrel::toolkit {

using ui::ToQString;

namespace {

constexpr std::string_view IndexError = "List index out of bounds (%d)";

// Changes made by the program must not look like a user's selection to the control, so the widget's
// signals are held while the mirror works on it.
class ComboBoxView final : public IItemView {
public:
    explicit ComboBoxView(QComboBox& widget) : FWidget(widget) {}

    void ItemInserted(int index, const std::string& text, bool) override
    {
        const QSignalBlocker block(&FWidget);
        FWidget.insertItem(index, ToQString(text));
    }
    void ItemDeleted(int index) override
    {
        const QSignalBlocker block(&FWidget);
        const bool wasCurrent = FWidget.currentIndex() == index;
        FWidget.removeItem(index);
        // Qt would select a neighbour; a deleted selection leaves none.
        if (wasCurrent)
            FWidget.setCurrentIndex(-1);
    }
    void ItemTextChanged(int index, const std::string& text) override
    {
        const QSignalBlocker block(&FWidget);
        FWidget.setItemText(index, ToQString(text));
    }
    void ItemCheckChanged(int, bool) override {}
    void ItemMoved(int curIndex, int newIndex) override
    {
        const QSignalBlocker block(&FWidget);
        const int current = FWidget.currentIndex();
        const QString text = FWidget.itemText(curIndex);
        FWidget.removeItem(curIndex);
        FWidget.insertItem(newIndex, text);
        FWidget.setCurrentIndex(MovedIndex(current, curIndex, newIndex));
    }
    void ItemsCleared() override
    {
        const QSignalBlocker block(&FWidget);
        FWidget.clear();
    }

    // Where the current row ends up when the row at `from` moves to `to`.
    static int MovedIndex(int current, int from, int to)
    {
        if (current < 0)
            return current;
        if (current == from)
            return to;
        if (from < current && current <= to)
            return current - 1;
        if (to <= current && current < from)
            return current + 1;
        return current;
    }

private:
    QComboBox& FWidget;
};

class ListWidgetView final : public IItemView {
public:
    ListWidgetView(QListWidget& widget, bool checkable) : FWidget(widget), FCheckable(checkable) {}

    void ItemInserted(int index, const std::string& text, bool checked) override
    {
        const QSignalBlocker block(&FWidget);
        auto* item = new QListWidgetItem(ToQString(text));
        if (FCheckable) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
        FWidget.insertItem(index, item);
    }
    void ItemDeleted(int index) override
    {
        const QSignalBlocker block(&FWidget);
        const bool wasCurrent = FWidget.currentRow() == index;
        delete FWidget.takeItem(index);
        if (wasCurrent)
            FWidget.setCurrentRow(-1);
    }
    void ItemTextChanged(int index, const std::string& text) override
    {
        const QSignalBlocker block(&FWidget);
        FWidget.item(index)->setText(ToQString(text));
    }
    void ItemCheckChanged(int index, bool checked) override
    {
        if (!FCheckable)
            return;
        const QSignalBlocker block(&FWidget);
        FWidget.item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    void ItemMoved(int curIndex, int newIndex) override
    {
        const QSignalBlocker block(&FWidget);
        const int current = FWidget.currentRow();
        QListWidgetItem* item = FWidget.takeItem(curIndex);
        FWidget.insertItem(newIndex, item);
        FWidget.setCurrentRow(ComboBoxView::MovedIndex(current, curIndex, newIndex));
    }
    void ItemsCleared() override
    {
        const QSignalBlocker block(&FWidget);
        FWidget.clear();
    }

private:
    QListWidget& FWidget;
    bool FCheckable;
};

}  // namespace

TControlItems::~TControlItems() = default;

void TControlItems::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        Error(IndexError, index);
}

std::string TControlItems::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)].FText;
}

void TControlItems::Put(int index, const std::string& text)
{
    CheckIndex(index);
    auto& item = FItems[static_cast<std::size_t>(index)];
    if (item.FText == text)
        return;
    item.FText = text;
    if (FView)
        FView->ItemTextChanged(index, text);
}

TObject* TControlItems::GetObject(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)].FObject;
}

void TControlItems::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    FItems[static_cast<std::size_t>(index)].FObject = object;
}

void TControlItems::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TControlItems::InsertObject(int index, const std::string& text, TObject* object)
{
    if (index < 0 || index > GetCount())
        Error(IndexError, index);
    FItems.insert(FItems.begin() + index, TItem{text, object, false});
    if (FView)
        FView->ItemInserted(index, text, false);
}

void TControlItems::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
    if (FView)
        FView->ItemDeleted(index);
}

void TControlItems::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    if (FView)
        FView->ItemsCleared();
}

void TControlItems::Move(int curIndex, int newIndex)
{
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    TItem item = std::move(FItems[static_cast<std::size_t>(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
    if (FView)
        FView->ItemMoved(curIndex, newIndex);
}

void TControlItems::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    if (index1 == index2)
        return;
    const int low = std::min(index1, index2);
    const int high = std::max(index1, index2);
    // Two moves keep the view's own rows (and their selection) with their items.
    Move(high, low);
    Move(low + 1, high);
}

bool TControlItems::GetChecked(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)].FChecked;
}

void TControlItems::SetChecked(int index, bool value)
{
    CheckIndex(index);
    auto& item = FItems[static_cast<std::size_t>(index)];
    if (item.FChecked == value)
        return;
    item.FChecked = value;
    if (FView)
        FView->ItemCheckChanged(index, value);
}

void TControlItems::CheckToggledByView(int index, bool checked)
{
    CheckIndex(index);
    FItems[static_cast<std::size_t>(index)].FChecked = checked;
}

void TControlItems::SetView(IItemView* view)
{
    FView = view;
    if (!FView)
        return;
    FView->ItemsCleared();
    for (int i = 0; i < GetCount(); ++i) {
        const auto& item = FItems[static_cast<std::size_t>(i)];
        FView->ItemInserted(i, item.FText, item.FChecked);
    }
}

std::unique_ptr<IItemView> MakeComboBoxView(QComboBox& widget) { return std::make_unique<ComboBoxView>(widget); }

std::unique_ptr<IItemView> MakeListWidgetView(QListWidget& widget, bool checkable)
{
    return std::make_unique<ListWidgetView>(widget, checkable);
}

}  // namespace ovrel::toolkit

namespace ovrel::toolkit {

TItemsControl::TItemsControl(TComponent* owner) : TNativeControl(owner) {}

TItemsControl::~TItemsControl() { FItems.SetView(nullptr); }

void TItemsControl::AttachView(QWidget* widget, std::unique_ptr<IItemView> view)
{
    FView = std::move(view);
    FItems.SetView(FView.get());
    SetWidgetIndex(widget, FItemIndex < FItems.GetCount() ? FItemIndex : -1);
    // The window owns the widget: once it goes, the mirror must not touch it.
    QObject::connect(widget, &QObject::destroyed, Slot<>([this] {
                         FItems.SetView(nullptr);
                         FView.reset();
                     }));
}

int TItemsControl::GetItemIndex() const
{
    if (QWidget* widget = GetWidget(); widget && FView)
        return WidgetIndex(widget);
    return FItemIndex < FItems.GetCount() ? FItemIndex : -1;
}

void TItemsControl::SetItemIndex(int value)
{
    if (value < 0 || value >= FItems.GetCount())
        value = -1;
    FItemIndex = value;
    if (QWidget* widget = GetWidget(); widget && FView) {
        const QSignalBlocker block(widget);
        SetWidgetIndex(widget, value);
    }
}

void TItemsControl::UserSelected(int index)
{
    FItemIndex = index;
    Click();
}

TComboBox::TComboBox(TComponent* owner) : TItemsControl(owner) { SetBounds(GetLeft(), GetTop(), 145, 21); }

TComboBox::~TComboBox() = default;

QWidget* TComboBox::CreateWidget()
{
    auto* combo = new QComboBox;
    combo->setEditable(false);
    return combo;
}

void TComboBox::InitWidget(QWidget* widget)
{
    auto* combo = static_cast<QComboBox*>(widget);
    TNativeControl::InitWidget(widget);
    AttachView(widget, MakeComboBoxView(*combo));
    // activated fires for the user's picks only, not for program changes.
    QObject::connect(combo, &QComboBox::activated, combo,
                     Slot<int>(std::function<void(int)>([this](int index) { UserSelected(index); })));
}

int TComboBox::WidgetIndex(QWidget* widget) const { return static_cast<QComboBox*>(widget)->currentIndex(); }

void TComboBox::SetWidgetIndex(QWidget* widget, int index) { static_cast<QComboBox*>(widget)->setCurrentIndex(index); }

TListBox::TListBox(TComponent* owner) : TItemsControl(owner)
{
    SetBounds(GetLeft(), GetTop(), 121, 97);
    SetColor(clWindow);
}

TListBox::~TListBox() = default;

QWidget* TListBox::CreateWidget()
{
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void TListBox::InitWidget(QWidget* widget)
{
    auto* list = static_cast<QListWidget*>(widget);
    TNativeControl::InitWidget(widget);
    AttachView(widget, MakeListWidgetView(*list, Checkable()));
    QObject::connect(list, &QListWidget::itemClicked, list,
                     Slot<QListWidgetItem*>(std::function<void(QListWidgetItem*)>(
                         [this, list](QListWidgetItem* item) { UserSelected(list->row(item)); })));
}

int TListBox::WidgetIndex(QWidget* widget) const
{
    auto* list = static_cast<QListWidget*>(widget);
    const int row = list->currentRow();
    return row >= 0 && list->item(row)->isSelected() ? row : -1;
}

void TListBox::SetWidgetIndex(QWidget* widget, int index)
{
    auto* list = static_cast<QListWidget*>(widget);
    list->setCurrentRow(index);
    if (index < 0)
        list->clearSelection();
}

TCheckListBox::TCheckListBox(TComponent* owner) : TListBox(owner) {}

TCheckListBox::~TCheckListBox() = default;

void TCheckListBox::InitWidget(QWidget* widget)
{
    auto* list = static_cast<QListWidget*>(widget);
    TListBox::InitWidget(widget);
    // Program sets are mirrored with the signals held, so only the user's toggles arrive here.
    QObject::connect(list, &QListWidget::itemChanged, list,
                     Slot<QListWidgetItem*>(std::function<void(QListWidgetItem*)>([this, list](QListWidgetItem* item) {
                         const int row = list->row(item);
                         const bool checked = item->checkState() == Qt::Checked;
                         if (row < 0 || FItems.GetChecked(row) == checked)
                             return;
                         FItems.CheckToggledByView(row, checked);
                         OnClickCheck(this);
                     })));
}

TProgressBar::TProgressBar(TComponent* owner) : TNativeControl(owner) { SetBounds(GetLeft(), GetTop(), 150, 17); }

TProgressBar::~TProgressBar() = default;

void TProgressBar::SetMin(int value)
{
    FMin = value;
    FMax = std::max(FMax, FMin);
    ApplyRange();
}

void TProgressBar::SetMax(int value)
{
    FMax = value;
    FMin = std::min(FMin, FMax);
    ApplyRange();
}

void TProgressBar::SetPosition(int value)
{
    FPosition = value;
    ApplyRange();
}

void TProgressBar::SetSmooth(bool value) { FSmooth = value; }

void TProgressBar::ApplyRange()
{
    FPosition = std::clamp(FPosition, FMin, FMax);
    if (auto* bar = static_cast<QProgressBar*>(GetWidget())) {
        bar->setRange(FMin, FMax);
        bar->setValue(FPosition);
    }
}

QWidget* TProgressBar::CreateWidget()
{
    auto* bar = new QProgressBar;
    bar->setTextVisible(false);
    return bar;
}

void TProgressBar::InitWidget(QWidget* widget)
{
    TNativeControl::InitWidget(widget);
    ApplyRange();
}

}  // namespace ovrel::toolkit
