#include "themes/ThemedItems.h"

#include "themes/ThemedPopups.h"
#include "themes/ThemedViewers.h"

#include <algorithm>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::toolbars;

namespace {

const std::vector<std::string>& BooleanNames()
{
    static const std::vector<std::string> names{"False", "True"};
    return names;
}

bool IsLoadingOrGoing(const TComponent* component)
{
    const TComponentState state = component->GetComponentState();
    return state.Contains(csLoading) || state.Contains(csDesigning) || state.Contains(csDestroying);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBXCustomItem

TTBXCustomItem::TTBXCustomItem(TComponent* owner)
    : TTBCustomItem(owner), FFontSettings(std::make_unique<TFontSettings>())
{
    FFontSettings->OnChange = TNotifyEvent(this, &TTBXCustomItem::FontSettingsChanged);
}

TTBXCustomItem::~TTBXCustomItem() = default;

template <class T> void TTBXCustomItem::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Change(true);
}

void TTBXCustomItem::SetStyleBits(TTBItemStyle bits, bool on)
{
    const auto style = static_cast<TTBItemStyle>(on ? FItemStyle | bits : FItemStyle & ~bits);
    Store(FItemStyle, style);
}

void TTBXCustomItem::SetFontSettings(TFontSettings* value) { FFontSettings->Assign(value); }

void TTBXCustomItem::FontSettingsChanged(TObject*) { Change(true); }

void TTBXCustomItem::SetLayout(TTBXItemLayout value) { Store(FLayout, value); }

void TTBXCustomItem::SetMinHeight(int value) { Store(FMinHeight, value); }

void TTBXCustomItem::SetMinWidth(int value) { Store(FMinWidth, value); }

void TTBXCustomItem::SetStretch(bool value) { SetStyleBits(itsStretch, value); }

void TTBXCustomItem::SetAlwaysSelectFirst(bool value) { Store(FAlwaysSelectFirst, value); }

void TTBXCustomItem::SetToolBoxPopup(bool value) { Store(FToolBoxPopup, value); }

TWinControl* TTBXCustomItem::CreatePopup(TTBView* parentView, TTBItemViewer* parentViewer, bool asSubmenu,
                                         bool selectFirstItem, bool customizing, TPoint popupPoint,
                                         TPopupAlignment alignment)
{
    return TTBCustomItem::CreatePopup(parentView, parentViewer, asSubmenu, selectFirstItem || FAlwaysSelectFirst,
                                      customizing, popupPoint, alignment);
}

TTBItemViewerClass TTBXCustomItem::GetItemViewerClass(TTBView*) const
{
    return TTBItemViewerClass::Of<TTBXItemViewer>();
}

TTBPopupWindowClass TTBXCustomItem::GetPopupWindowClass() const { return TTBPopupWindowClass::Of<TTBXPopupWindow>(); }

const TPropertyTable& TTBXCustomItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBCustomItem::ClassProperties())
            .Object("FontSettings", &TTBXCustomItem::GetFontSettings, &TTBXCustomItem::SetFontSettings)
            .Enumeration("Layout", &TTBXCustomItem::GetLayout, &TTBXCustomItem::SetLayout,
                         {"tbxlAuto", "tbxlGlyphLeft", "tbxlGlyphTop"})
            .Integer("MinHeight", &TTBXCustomItem::GetMinHeight, &TTBXCustomItem::SetMinHeight)
            .Integer("MinWidth", &TTBXCustomItem::GetMinWidth, &TTBXCustomItem::SetMinWidth)
            .Enumeration("Stretch", &TTBXCustomItem::GetStretch, &TTBXCustomItem::SetStretch, BooleanNames());
    return table;
}

const TPropertyTable& TTBXCustomItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXSubmenuItem

TTBXSubmenuItem::TTBXSubmenuItem(TComponent* owner) : TTBXCustomItem(owner)
{
    FItemStyle |= itsSubmenu | itsEditableSubitems;
}

void TTBXSubmenuItem::SetDropdownCombo(bool value) { SetStyleBits(itsSplitButton, value); }

const TPropertyTable& TTBXSubmenuItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBXCustomItem::ClassProperties())
            .Enumeration("DropdownCombo", &TTBXSubmenuItem::GetDropdownCombo, &TTBXSubmenuItem::SetDropdownCombo,
                         BooleanNames())
            .Enumeration("AlwaysSelectFirst", &TTBXCustomItem::GetAlwaysSelectFirst,
                         &TTBXCustomItem::SetAlwaysSelectFirst, BooleanNames())
            .Object("LinkSubitems", &TTBCustomItem::GetLinkSubitems, &TTBCustomItem::SetLinkSubitems)
            .Object("SubMenuImages", &TTBCustomItem::GetSubMenuImages, &TTBCustomItem::SetSubMenuImages)
            .Enumeration("ToolBoxPopup", &TTBXCustomItem::GetToolBoxPopup, &TTBXCustomItem::SetToolBoxPopup,
                         BooleanNames());
    return table;
}

const TPropertyTable& TTBXSubmenuItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXVisibilityToggleItem

void TTBXVisibilityToggleItem::SetControl(TControl* value)
{
    if (value == FControl)
        return;
    if (FControl != nullptr)
        FControl->RemoveFreeNotification(this);
    FControl = value;
    if (value != nullptr) {
        value->FreeNotification(this);
        if (GetCaption().empty() && !GetComponentState().Contains(csLoading))
            SetCaption(value->GetText());
    }
    UpdateChecked();
}

void TTBXVisibilityToggleItem::UpdateChecked()
{
    if (!IsLoadingOrGoing(this))
        SetChecked(FControl != nullptr && FControl->GetVisible());
}

void TTBXVisibilityToggleItem::Click()
{
    if (FControl != nullptr)
        FControl->SetVisible(!FControl->GetVisible());
    TTBXCustomItem::Click();
}

void TTBXVisibilityToggleItem::InitiateAction()
{
    TTBXCustomItem::InitiateAction();
    UpdateChecked();
}

void TTBXVisibilityToggleItem::Notification(TComponent* component, TOperation operation)
{
    TTBXCustomItem::Notification(component, operation);
    if (operation == opRemove && component != nullptr && component == FControl)
        SetControl(nullptr);
}

const TPropertyTable& TTBXVisibilityToggleItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBXCustomItem::ClassProperties())
            .Object("Control", &TTBXVisibilityToggleItem::GetControl, &TTBXVisibilityToggleItem::SetControl);
    return table;
}

const TPropertyTable& TTBXVisibilityToggleItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXSeparatorItem

void TTBXSeparatorItem::SetSize(int value)
{
    value = std::max(value, -1);
    if (value == FSize)
        return;
    FSize = value;
    Change(true);
}

TTBItemViewerClass TTBXSeparatorItem::GetItemViewerClass(TTBView*) const
{
    return TTBItemViewerClass::Of<TTBXSeparatorItemViewer>();
}

const TPropertyTable& TTBXSeparatorItem::ClassProperties()
{
    static const TPropertyTable table = TPropertyTable(&TTBSeparatorItem::ClassProperties())
                                            .Integer("Size", &TTBXSeparatorItem::GetSize, &TTBXSeparatorItem::SetSize);
    return table;
}

const TPropertyTable& TTBXSeparatorItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXRootItem

TTBPopupWindowClass TTBXRootItem::GetPopupWindowClass() const { return TTBPopupWindowClass::Of<TTBXPopupWindow>(); }

}  // namespace ovrel::themes
