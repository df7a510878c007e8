#pragma once
// The item list behind the combo box, list box and check list box. It is a plain TStrings to the program,
// and every change is handed to the control's widget as it happens, so the two never drift apart.

#include "toolkit/Lists.h"

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;

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

}  // namespace ovrel::toolkit
