#pragma once
// Toolbars and menu bars with the theme's look: their colour comes from the theme or from what lies behind
// them, the theme paints their docked frame, background, items and chevron, and they follow theme changes.

#include "themes/ThemeInterface.h"

#include "platform/ui/Types.h"
#include "toolbars/Toolbar.h"
#include "toolbars/View.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <vector>

namespace ovrel::themes {

/// Whether a toolbar's items paint opaque buttons: auto only while the toolbar sits directly on a form.
enum TTBXItemTransparency : std::uint8_t { itAuto, itEnable, itDisable };

/// The chevron of a themed toolbar: painted by the theme, opening a themed pop-up.
class TTBXChevronItem : public toolbars::TTBChevronItem {
public:
    using TTBChevronItem::TTBChevronItem;

    [[nodiscard]] toolbars::TTBItemViewerClass GetItemViewerClass(toolbars::TTBView* view) const override;
    [[nodiscard]] toolbars::TTBPopupWindowClass GetPopupWindowClass() const override;
};

class TTBXChevronItemViewer : public toolbars::TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;

    void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
               bool emboss) override;
};

/// The view of a themed toolbar: its margins come from the theme.
class TTBXToolbarView : public toolbars::TTBToolbarView {
public:
    using TTBToolbarView::TTBToolbarView;

protected:
    void GetMargins(toolbars::TTBViewOrientation orientation, toolkit::TRect& margins) const override;
};

/// A toolbar or menu bar painted by the current theme. Its Color starts as clNone: it shows the theme's colour,
/// or its parent's while it sits directly on a form. Registered for theme changes while it lives.
class TTBXToolbar : public toolbars::TTBCustomToolbar {
public:
    explicit TTBXToolbar(toolkit::TComponent* owner);
    ~TTBXToolbar() override;

    /// Color; with clNone the parent's effective colour on a form, else the theme's colour for the toolbar.
    [[nodiscard]] toolkit::TColor GetEffectiveColor() const { return FEffectiveColor; }
    /// VT_TOOLBARVIEW or VT_MENUBAR, with VT_FLOATING, VT_RESIZABLE and VT_OPAQUE as they apply.
    [[nodiscard]] int GetViewType() const;
    [[nodiscard]] TTBXItemTransparency GetItemTransparency() const { return FItemTransparency; }
    void SetItemTransparency(TTBXItemTransparency value);
    /// Handed to the floating frame; negative values are stored as 0.
    [[nodiscard]] int GetSnapDistance() const { return FSnapDistance; }
    void SetSnapDistance(int value);

    /// The docked frame as the theme paints it; returns the theme's border for the toolbar.
    virtual toolkit::TPoint GetFrameInfo(TFramePaintInfo& info);

    /// Called by its dock while the dock holds its arrangement during a theme change: the toolbar takes the change
    /// now, once, so that the dock arranges once for all its toolbars.
    void DockThemeChanged();
    /// The dock behind the toolbar resized over a background: the frame is computed and painted again, and the
    /// client area repaints around the items only.
    void DockBackgroundResized();

    [[nodiscard]] toolkit::TSize FloatingBorderSize() override;
    void SetParent(toolkit::TWinControl* value) override;

    /// The base toolbar's with ItemTransparency and SnapDistance.
    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    [[nodiscard]] toolbars::TTBChevronItemClass GetChevronItemClass() const override;
    [[nodiscard]] toolbars::TTBToolbarRootItemClass GetRootItemClass() const override;
    [[nodiscard]] toolbars::TTBViewClass GetViewClass() const override;
    [[nodiscard]] toolbars::TTBFloatingWindowParentClass GetFloatingParentClass() override;
    void PaintDockedFrame(bool drawToDC, ui::HDC dc, ui::HRGN clip) override;

    void Dispatch(toolkit::TMessage& message) override;
    /// The dock's or the parent's background where one shows through, then the theme's fill.
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    /// Over a dock's background only the area around the items repaints.
    void WMSize(toolkit::TMessage& message) override;
    void CMColorChanged(toolkit::TMessage& message) override;
    void CMParentColorChanged(toolkit::TMessage& message) override;
    void CMControlChange(toolkit::TMessage& message) override;
    virtual void WMTBXThemeChanged(toolkit::TMessage& message);

private:
    /// Recomputes the effective colour; a change reaches the children and repaints.
    void UpdateEffectiveColor();
    [[nodiscard]] toolkit::TColor ComputeEffectiveColor() const;
    void BroadcastEffectiveColor();
    /// The rectangles of the shown viewers that are no control items.
    [[nodiscard]] std::vector<toolkit::TRect> ItemRects();
    /// The dock the toolbar sits in, when it shows the dock's background on its toolbars.
    [[nodiscard]] toolbars::TTBDock* DockWithBackgroundOnToolbars() const;

    toolkit::TColor FEffectiveColor = toolkit::clBtnFace;
    TTBXItemTransparency FItemTransparency = itAuto;
    int FSnapDistance = 0;
    /// Where the toolbar is in a theme change: its view's update begun (step 1), the change applied by its dock.
    enum class TThemeStep : std::uint8_t { Idle, Begun, Applied };
    /// The layout, colour and frame after a theme change.
    void ApplyThemeChange();

    TThemeStep FThemeStep = TThemeStep::Idle;
};

}  // namespace ovrel::themes
