#pragma once
// The items of themed menus and toolbars: the framework's items with a font override, a glyph layout, least
// sizes and the events that let a form adjust the font or add to the image of one item; a separator with a
// size of its own; and the View-menu item that shows and hides a control. Their viewers (ThemedViewers.h)
// measure and paint them through the current theme.

#include "themes/ThemedCommon.h"

#include "toolbars/Items.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <memory>

namespace ovrel::themes {

/// Where the image of a toolbar button goes: auto puts it on top of the caption in a vertical view (or with
/// tboImageAboveCaption), else to the left.
enum TTBXItemLayout : std::uint8_t { tbxlAuto, tbxlGlyphLeft, tbxlGlyphTop };

/// (item, viewer, font, state flags): the font the viewer is about to measure or paint with.
using TAdjustFontEvent = toolkit::TEvent<toolbars::TTBCustomItem*, toolbars::TTBItemViewer*, toolkit::TFont*, int>;
/// (item, viewer, canvas, image rectangle, the theme's image offset, state flags): after the image is drawn.
using TDrawImageEvent = toolkit::TEvent<toolbars::TTBCustomItem*, toolbars::TTBItemViewer*, toolkit::TCanvas*,
                                        const toolkit::TRect&, toolkit::TPoint, int>;

/// An item shown by the themed viewers.
class TTBXCustomItem : public toolbars::TTBCustomItem {
public:
    explicit TTBXCustomItem(toolkit::TComponent* owner);
    ~TTBXCustomItem() override;

    /// Owned; every change of it re-lays the item out.
    [[nodiscard]] TFontSettings* GetFontSettings() const { return FFontSettings.get(); }
    /// Copies value's settings.
    void SetFontSettings(TFontSettings* value);
    [[nodiscard]] TTBXItemLayout GetLayout() const { return FLayout; }
    void SetLayout(TTBXItemLayout value);
    /// The least size of the item's viewers, in pixels.
    [[nodiscard]] int GetMinHeight() const { return FMinHeight; }
    void SetMinHeight(int value);
    [[nodiscard]] int GetMinWidth() const { return FMinWidth; }
    void SetMinWidth(int value);
    /// In a toolbar the item takes the full cross size of its line (the itsStretch style bit).
    [[nodiscard]] bool GetStretch() const { return (FItemStyle & toolbars::itsStretch) != 0; }
    void SetStretch(bool value);
    /// The item's pop-up always opens with its first item selected.
    [[nodiscard]] bool GetAlwaysSelectFirst() const { return FAlwaysSelectFirst; }
    void SetAlwaysSelectFirst(bool value);
    /// The item's pop-up shows its items as toolbar buttons.
    [[nodiscard]] bool GetToolBoxPopup() const { return FToolBoxPopup; }
    void SetToolBoxPopup(bool value);

    /// Selects the first item of the pop-up whenever AlwaysSelectFirst is set.
    toolkit::TWinControl* CreatePopup(toolbars::TTBView* parentView, toolbars::TTBItemViewer* parentViewer,
                                      bool asSubmenu, bool selectFirstItem, bool customizing,
                                      toolkit::TPoint popupPoint, toolkit::TPopupAlignment alignment) override;
    [[nodiscard]] toolbars::TTBItemViewerClass GetItemViewerClass(toolbars::TTBView* view) const override;
    /// Themed pop-up windows.
    [[nodiscard]] toolbars::TTBPopupWindowClass GetPopupWindowClass() const override;

    TAdjustFontEvent OnAdjustFont;
    TDrawImageEvent OnDrawImage;

    /// The base item's (Caption among them) with FontSettings, Layout, MinHeight, MinWidth and Stretch.
    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    /// Stores value when it differs and re-lays the item out.
    template <class T> void Store(T& field, const T& value);
    /// Sets or clears style bits, re-laying the item out when they change.
    void SetStyleBits(toolbars::TTBItemStyle bits, bool on);

private:
    void FontSettingsChanged(toolkit::TObject* sender);

    std::unique_ptr<TFontSettings> FFontSettings;
    TTBXItemLayout FLayout = tbxlAuto;
    int FMinHeight = 0;
    int FMinWidth = 0;
    bool FAlwaysSelectFirst = false;
    bool FToolBoxPopup = false;
};

/// A menu command or toolbar button.
class TTBXItem : public TTBXCustomItem {
public:
    using TTBXCustomItem::TTBXCustomItem;
};

/// An item that opens a pop-up of its children; as a split button (DropdownCombo) its left part executes.
class TTBXSubmenuItem : public TTBXCustomItem {
public:
    explicit TTBXSubmenuItem(toolkit::TComponent* owner);

    [[nodiscard]] bool GetDropdownCombo() const { return (FItemStyle & toolbars::itsSplitButton) != 0; }
    void SetDropdownCombo(bool value);

    /// TTBXCustomItem's with DropdownCombo, AlwaysSelectFirst, LinkSubitems, SubMenuImages and ToolBoxPopup.
    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;
};

/// The item that shows and hides a control (the View menu's panel commands): checked while the control is
/// visible.
class TTBXVisibilityToggleItem : public TTBXCustomItem {
public:
    using TTBXCustomItem::TTBXCustomItem;

    /// Not owned; cleared when the control is freed. An item without a caption takes the control's text.
    [[nodiscard]] toolkit::TControl* GetControl() const { return FControl; }
    void SetControl(toolkit::TControl* value);

    /// Toggles the control's Visible, then runs the item.
    void Click() override;
    void InitiateAction() override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

private:
    void UpdateChecked();

    toolkit::TControl* FControl = nullptr;
};

/// A separator whose thickness the form may fix; -1 takes the theme's (or the framework's) size.
class TTBXSeparatorItem : public toolbars::TTBSeparatorItem {
public:
    using TTBSeparatorItem::TTBSeparatorItem;

    [[nodiscard]] int GetSize() const { return FSize; }
    /// Values below -1 are stored as -1.
    void SetSize(int value);

    [[nodiscard]] toolbars::TTBItemViewerClass GetItemViewerClass(toolbars::TTBView* view) const override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    int FSize = -1;
};

/// The root item of themed toolbars and pop-up menus: its menus open in themed pop-up windows.
class TTBXRootItem : public toolbars::TTBRootItem {
public:
    using TTBRootItem::TTBRootItem;

    [[nodiscard]] toolbars::TTBPopupWindowClass GetPopupWindowClass() const override;
};

}  // namespace ovrel::themes
