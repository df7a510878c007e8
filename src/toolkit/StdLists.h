#pragma once
// The item list behind the combo box, list box and check list box. It is a plain TStrings to the program,
// and every change is handed to the control's widget as it happens, so the two never drift apart.

#include "toolkit/Lists.h"
#include "toolkit/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QProgressBar;

namespace ovrel::toolkit {

/// What a widget must do to follow an item list. Indexes are those of the list after the change.
class IItemView {
public:
    virtual ~IItemView() = default;
    virtual void ItemInserted(int index, const std::string& text, bool checked) = 0;
    virtual void ItemDeleted(int index) = 0;
    virtual void ItemTextChanged(int index, const std::string& text) = 0;
    virtual void ItemCheckChanged(int index, bool checked) = 0;
    virtual void ItemMoved(int curIndex, int newIndex) = 0;
    virtual void ItemsCleared() = 0;
};

/// Strings with objects (not owned) and check states, mirrored into a view when one is attached.
class TControlItems : public TStrings {
public:
    TControlItems() = default;
    ~TControlItems() override;

    int GetCount() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& text) override;
    void InsertObject(int index, const std::string& text, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    /// Text, object and check state travel together.
    void Move(int curIndex, int newIndex) override;
    void Exchange(int index1, int index2) override;

    bool GetChecked(int index) const;
    /// Setting an unchanged state tells the view nothing.
    void SetChecked(int index, bool value);

    /// The view is borrowed; attaching one fills it with the current items. nullptr detaches.
    void SetView(IItemView* view);
    IItemView* GetView() const { return FView; }

    /// Records a check toggled in the widget itself, without echoing it back to the view.
    void CheckToggledByView(int index, bool checked);

private:
    struct TItem {
        std::string FText;
        TObject* FObject = nullptr;
        bool FChecked = false;
    };
    void CheckIndex(int index) const;

    std::vector<TItem> FItems;
    IItemView* FView = nullptr;
};

/// Mirrors for the Qt widgets; the widget is borrowed and must outlive the mirror.
std::unique_ptr<IItemView> MakeComboBoxView(QComboBox& widget);
/// With `checkable`, each row shows a check box that follows the item's check state.
std::unique_ptr<IItemView> MakeListWidgetView(QListWidget& widget, bool checkable);

enum class TComboBoxStyle { csDropDownList };

/// Keeps an item list and its widget joined while the widget lives, and the selected row across windows.
class TItemsControl : public TNativeControl {
public:
    explicit TItemsControl(TComponent* owner);
    ~TItemsControl() override;

    [[nodiscard]] TControlItems* GetItems() { return &FItems; }
    [[nodiscard]] TControlItems* Items() { return &FItems; }
    /// -1: no selection.
    [[nodiscard]] int GetItemIndex() const;
    /// A program set notifies nobody; an index outside the items selects nothing.
    void SetItemIndex(int value);

protected:
    /// Joins the items to a fresh widget; the mirror is dropped with the widget.
    void AttachView(QWidget* widget, std::unique_ptr<IItemView> view);
    virtual int WidgetIndex(QWidget* widget) const = 0;
    virtual void SetWidgetIndex(QWidget* widget, int index) = 0;
    /// A selection the user made: remembered, then OnClick.
    void UserSelected(int index);

    TControlItems FItems;

private:
    std::unique_ptr<IItemView> FView;
    int FItemIndex = -1;
};

/// A drop-down list over QComboBox; OnClick when the user picks an entry.
class TComboBox : public TItemsControl {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;

    [[nodiscard]] TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle value) { FStyle = value; }

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    int WidgetIndex(QWidget* widget) const override;
    void SetWidgetIndex(QWidget* widget, int index) override;

private:
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDownList;
};

/// A list over QListWidget; OnClick when the user selects a row (OnKeyDown comes from the control).
class TListBox : public TItemsControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    int WidgetIndex(QWidget* widget) const override;
    void SetWidgetIndex(QWidget* widget, int index) override;
    [[nodiscard]] virtual bool Checkable() const { return false; }
};

/// A list box whose rows have check boxes; OnClickCheck when the user toggles one (mouse or space).
class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* owner);
    ~TCheckListBox() override;

    [[nodiscard]] bool GetChecked(int index) const { return FItems.GetChecked(index); }
    void SetChecked(int index, bool value) { FItems.SetChecked(index, value); }

    TNotifyEvent OnClickCheck;

protected:
    void InitWidget(QWidget* widget) override;
    bool Checkable() const override { return true; }
};

/// A progress bar over QProgressBar; Position stays within Min..Max.
class TProgressBar : public TNativeControl {
public:
    explicit TProgressBar(TComponent* owner);
    ~TProgressBar() override;

    [[nodiscard]] int GetMin() const { return FMin; }
    void SetMin(int value);
    [[nodiscard]] int GetMax() const { return FMax; }
    void SetMax(int value);
    [[nodiscard]] int GetPosition() const { return FPosition; }
    void SetPosition(int value);
    [[nodiscard]] bool GetSmooth() const { return FSmooth; }
    void SetSmooth(bool value);

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;

private:
    void ApplyRange();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    bool FSmooth = false;
};

}  // namespace ovrel::toolkit
