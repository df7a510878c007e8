#pragma once
// The viewers of themed items: they measure an item with the view's font and the theme's metrics, and paint
// it entirely through the current theme, telling it in one record what the item is and how it stands.

#include "themes/ThemeInterface.h"

#include "platform/ui/Types.h"
#include "toolbars/Items.h"
#include "toolbars/Viewers.h"
#include "toolkit/Graphics.h"

#include <string>

namespace ovrel::themes {

/// Shows any item through the theme. Without a running theme it measures but paints nothing.
class TTBXItemViewer : public toolbars::TTBItemViewer {
public:
    TTBXItemViewer(toolbars::TTBView* view, toolbars::TTBCustomItem* item, int groupLevel);

    void CalcSize(toolkit::TCanvas* canvas, int& width, int& height) override;
    /// selected: the item is the view's selection; pushed: pressed, or its pop-up is open.
    void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
               bool emboss) override;
    /// Also in a pop-up of toolbar buttons.
    [[nodiscard]] bool IsToolbarSize() const override;
    [[nodiscard]] bool IsToolbarStyle() const override;
    /// A split item's drop part is the theme's split width (metric 10) in a toolbar.
    [[nodiscard]] bool IsPtInButtonPart(int x, int y) const override;
    /// A drop-down grid button for the submenu of a toolbox pop-up.
    [[nodiscard]] int GetAccRole() const override;

    /// The image list's image size; 0 by 0 without a list.
    [[nodiscard]] toolkit::TSize GetImageSize() const;
    /// DT_HIDEPREFIX while the view hides accelerators, else 0.
    [[nodiscard]] ui::UINT GetTextFlags() const;
    /// The size of text in the view's font adjusted for stateFlags, which the canvas keeps afterwards. A
    /// rotated text measures (font height, length); any other is laid out by DrawText with format into a
    /// rectangle 1 pixel wide. An empty text measures 0 by 0.
    void GetTextSize(toolkit::TCanvas* canvas, const std::string& text, toolkit::TSize& size, int stateFlags,
                     bool rotated, ui::UINT format);

protected:
    /// Called before each caption (and shortcut) is drawn; clearing paintDefault leaves the drawing to the
    /// override.
    virtual void DoPaintCaption(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool& paintDefault,
                                bool isRotated, const toolkit::TRect& captionRect);
    /// MID_TOOLBARITEM in toolbar style, else MID_MENUITEM.
    [[nodiscard]] virtual int GetItemMarginKind() const;
    /// Draws the item's image through the theme, then fires OnDrawImage; nothing for an index outside the list.
    virtual void DrawItemImage(toolkit::TCanvas* canvas, const toolkit::TRect& imageRect, const TItemPaintInfo& info);
    /// Bold for the default item, then the item's font settings and its OnAdjustFont.
    virtual void AdjustFont(toolkit::TFont* font, int stateFlags);
    [[nodiscard]] virtual bool IsImageShown() const;

private:
    /// Glyph-left buttons keep one pixel more beside their image.
    bool FWide = true;
};

/// The viewer of a separator: the theme's (or the item's own) thickness and line.
class TTBXSeparatorItemViewer : public toolbars::TTBSeparatorItemViewer {
public:
    using TTBSeparatorItemViewer::TTBSeparatorItemViewer;

    void CalcSize(toolkit::TCanvas* canvas, int& width, int& height) override;
    void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
               bool emboss) override;
    [[nodiscard]] bool IsToolbarSize() const override;
    [[nodiscard]] bool IsToolbarStyle() const override;
};

}  // namespace ovrel::themes
