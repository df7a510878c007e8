#pragma once
// The themed status bar: one row of panels, each with a caption, an image and an embedded control. Panels are
// hidden by view priority when the bar is narrow and stretched by stretch priority when it is wide; everything
// is painted through the current theme, with a size grip when the bar sits in the bottom-right corner of a
// form in its normal state, and clicks and hints are reported per panel.

#include "themes/StatusPanelLayout.h"
#include "themes/ThemeInterface.h"
#include "themes/ThemedCommon.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::themes {

class TTBXCustomStatusBar;

/// How a panel shortens a caption that does not fit.
enum TTextTruncation : std::uint8_t { twNone, twEndEllipsis, twPathEllipsis };

/// One panel of a status bar. Every change of a published property lays the bar out again and repaints it.
class TTBXStatusPanel : public toolkit::TCollectionItem {
public:
    explicit TTBXStatusPanel(toolkit::TCollection* collection);
    /// A windowed control left on the bar comes to the front and updates its visibility.
    ~TTBXStatusPanel() override;

    [[nodiscard]] toolkit::TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(toolkit::TAlignment value);
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    /// Not owned; parented to the bar and sized to the panel's content rectangle. EInvalidOperation "Can't
    /// insert own parent" for the bar or one of its parents; a control another panel of the bar holds is taken
    /// from that panel first.
    [[nodiscard]] toolkit::TControl* GetControl() const { return FControl; }
    void SetControl(toolkit::TControl* value);
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    /// A framed panel is painted with the theme's frame and keeps its content inside the content margins.
    [[nodiscard]] bool GetFramed() const { return FFramed; }
    void SetFramed(bool value);
    /// Owned; setting it copies the settings.
    [[nodiscard]] TFontSettings* GetFontSettings() const { return FFontSettings.get(); }
    void SetFontSettings(const TFontSettings* value);
    [[nodiscard]] const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value);
    /// An image of the bar's Images; -1 for none.
    [[nodiscard]] int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    /// Upper bound for stretching; 0 for none.
    [[nodiscard]] int GetMaxSize() const { return FMaxSize; }
    void SetMaxSize(int value);
    /// Width in pixels.
    [[nodiscard]] int GetSize() const { return FSize; }
    void SetSize(int value);
    /// 0 to 100: the panel's claim on spare width; 0 never stretches.
    [[nodiscard]] int GetStretchPriority() const { return FStretchPriority; }
    void SetStretchPriority(int value);
    [[nodiscard]] std::intptr_t GetTag() const { return FTag; }
    void SetTag(std::intptr_t value) { FTag = value; }
    [[nodiscard]] TTextTruncation GetTextTruncation() const { return FTextTruncation; }
    void SetTextTruncation(TTextTruncation value);
    /// 0 to 100: 0 never shown, 100 never hidden for lack of room.
    [[nodiscard]] int GetViewPriority() const { return FViewPriority; }
    void SetViewPriority(int value);

    // What the last arrangement gave the panel.
    [[nodiscard]] bool GetShown() const { return FShown; }
    [[nodiscard]] int GetCurrentWidth() const { return FCurrentWidth; }
    /// In bar coordinates; empty when not shown.
    [[nodiscard]] const toolkit::TRect& GetBoundsRect() const { return FBoundsRect; }
    /// The panel ends exactly at the bar's available width.
    [[nodiscard]] bool GetAtRightEdge() const { return FAtRightEdge; }

    /// The bar whose panels hold this one; none for a panel outside a bar.
    [[nodiscard]] TTBXCustomStatusBar* GetStatusBar() const;

    /// Another panel: every published property; the control is the component of the same name among the
    /// components of this bar's owner, or none when the source has none or that component is no control.
    /// Anything else as TPersistent does.
    void Assign(const toolkit::TPersistent* source) override;
    /// The caption; else "[ name ]" of the control; else the class name.
    [[nodiscard]] std::string GetDisplayName() const override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    friend class TTBXCustomStatusBar;
    template <class T> void Store(T& field, const T& value);
    void FontSettingsChanged(toolkit::TObject* sender);

    toolkit::TAlignment FAlignment = toolkit::taLeftJustify;
    std::string FCaption;
    toolkit::TControl* FControl = nullptr;
    bool FEnabled = true;
    bool FFramed = true;
    std::unique_ptr<TFontSettings> FFontSettings;
    std::string FHint;
    int FImageIndex = -1;
    int FMaxSize = 0;
    int FSize = 50;
    int FStretchPriority = 0;
    std::intptr_t FTag = 0;
    TTextTruncation FTextTruncation = twNone;
    int FViewPriority = 100;
    // Set by the bar's arrangement.
    bool FShown = false;
    int FCurrentWidth = 0;
    toolkit::TRect FBoundsRect{};
    bool FAtRightEdge = false;
};

/// The panels of one bar, which owns them; any change of a panel lays the bar out again.
class TTBXStatusPanels : public toolkit::TCollection {
public:
    explicit TTBXStatusPanels(TTBXCustomStatusBar* statusBar);

    TTBXStatusPanel* Add();
    /// EListError outside 0..Count-1.
    [[nodiscard]] TTBXStatusPanel* GetItem(int index) const;
    /// The first panel holding control; none when no panel does (or control is none).
    [[nodiscard]] TTBXStatusPanel* FindPanel(const toolkit::TControl* control) const;
    [[nodiscard]] TTBXCustomStatusBar* GetStatusBar() const { return FStatusBar; }
    [[nodiscard]] toolkit::TPersistent* GetOwner() const override;

protected:
    void Update(toolkit::TCollectionItem* item) override;

private:
    TTBXCustomStatusBar* FStatusBar;
};

using TSBAdjustContentRectEvent = toolkit::TEvent<toolkit::TObject*, TTBXStatusPanel*, toolkit::TRect&>;
using TSBAdjustFontEvent = toolkit::TEvent<toolkit::TObject*, TTBXStatusPanel*, toolkit::TFont*>;
using TSBPanelEvent = toolkit::TEvent<toolkit::TObject*, TTBXStatusPanel*>;

/// The status bar. Made 150 by 22 and aligned to the bottom; registered for theme changes while it lives.
class TTBXCustomStatusBar : public toolkit::TCustomControl {
public:
    explicit TTBXCustomStatusBar(toolkit::TComponent* owner);
    ~TTBXCustomStatusBar() override;

    [[nodiscard]] TTBXStatusPanels* GetPanels() const { return FPanels.get(); }
    /// Copies the given panels.
    void SetPanels(const TTBXStatusPanels* value);
    /// Not owned; cleared when the list is freed. A change of the list repaints the bar.
    [[nodiscard]] toolkit::TCustomImageList* GetImages() const { return FImages; }
    void SetImages(toolkit::TCustomImageList* value);
    [[nodiscard]] bool GetSizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool value);
    /// Panels are painted in the menu font instead of the bar's Font.
    [[nodiscard]] bool GetUseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool value);
    /// Becoming visible, the bar first moves below its parent's client area, so it aligns below the other
    /// bottom-aligned controls.
    [[nodiscard]] bool GetFixAlign() const { return FFixAlign; }
    void SetFixAlign(bool value) { FFixAlign = value; }
    /// The theme's content margins of a framed panel, as of the last arrangement.
    [[nodiscard]] const TTBXMargins& GetContentMargins() const { return FContentMargins; }

    /// The first shown panel whose rectangle holds the client point; none elsewhere.
    [[nodiscard]] TTBXStatusPanel* PanelAt(toolkit::TPoint clientPos) const;
    /// SizeGrip is on, the parent form is in its normal state and the bar's client bottom-right corner is the
    /// form's client bottom-right corner on the screen.
    [[nodiscard]] bool IsGripShown() const;
    /// The grip's area in client coordinates: as wide as a vertical scroll bar, from 3 below the top.
    [[nodiscard]] toolkit::TRect GetGripRect() const;

    /// Gives every panel its width, rectangle and shown state from the current client width.
    virtual void ArrangePanels();
    /// Repaints, arranges, and places each panel's control in its content rectangle (an empty one when hidden).
    virtual void UpdatePanels();

    TSBAdjustContentRectEvent OnAdjustContentRect;
    TSBAdjustFontEvent OnAdjustFont;
    TSBPanelEvent OnPanelClick;
    TSBPanelEvent OnPanelDblClick;

protected:
    /// Framed panels keep their content inside the margins; then OnAdjustContentRect.
    virtual void AdjustContentRect(TTBXStatusPanel* panel, toolkit::TRect& rect);
    virtual void AdjustFont(TTBXStatusPanel* panel, toolkit::TFont* font);
    virtual void DoPanelClick(TTBXStatusPanel* panel);
    virtual void DoPanelDblClick(TTBXStatusPanel* panel);
    /// The panel's image and caption in its content rectangle, in the canvas font.
    virtual void DoPaintPanel(const toolkit::TRect& rect, TTBXStatusPanel* panel, bool isLast);

    void Paint() override;
    void Click() override;
    void DblClick() override;
    void Resize() override;
    void Loaded() override;
    void CreateWnd() override;
    void CreateParams(toolkit::TCreateParams& params) override;
    void AlignControls(toolkit::TControl* control, ui::RECT& rect) override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    /// Panels are laid out left to right whatever the reading order.
    void FlipChildren(bool allLevels) override;
    void Dispatch(toolkit::TMessage& message) override;

    void WMNCHitTest(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void CMFontChanged(toolkit::TMessage& message) override;
    void CMVisibleChanged(toolkit::TMessage& message) override;
    void CMHintShow(toolkit::TMessage& message) override;
    /// Design time only: a windowed control put on the bar gets a panel, a removed one loses its panel.
    virtual void CMControlChange(toolkit::TMessage& message);
    virtual void WMTBXThemeChanged(toolkit::TMessage& message);

private:
    void ImageListChange(toolkit::TObject* sender);
    [[nodiscard]] TTBXStatusPanel* PanelUnderCursor() const;

    std::unique_ptr<TTBXStatusPanels> FPanels;
    toolkit::TCustomImageList* FImages = nullptr;
    std::unique_ptr<toolkit::TChangeLink> FImageChangeLink;
    bool FSizeGrip = true;
    bool FUseSystemFont = false;
    bool FFixAlign = false;
    TTBXMargins FContentMargins;
    std::vector<TStatusPanelLayout> FLayout;  // kept between arrangements to spare the allocation
    toolkit::TLifeToken FLife;  // a click handler may free the bar
};

/// The status bar as forms use it.
class TTBXStatusBar : public TTBXCustomStatusBar {
public:
    using TTBXCustomStatusBar::TTBXCustomStatusBar;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;
};

}  // namespace ovrel::themes
