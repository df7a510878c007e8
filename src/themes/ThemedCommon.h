#pragma once
// What every themed control shares: per-object font overrides, registration for theme changes, the effective
// colour of a control, and painting a caption, an image or a text colour through the current theme by state.

#include "themes/ThemeInterface.h"

#include "platform/ui/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ovrel::toolbars {
class TTBItemViewer;
class TTBView;
}  // namespace ovrel::toolbars

namespace ovrel::themes {

// ---- Font overrides ---------------------------------------------------------------------------------------

/// A font style switch that may leave the inherited font alone.
enum TTriState : std::uint8_t { tsInherit, tsOn, tsOff };

/// Changes an object makes to the font it inherits: styles, a percentage of the size, a colour and a face.
/// Owned by the object it belongs to, which hears every change through OnChange.
class TFontSettings : public toolkit::TPersistent {
public:
    TFontSettings() = default;

    [[nodiscard]] TTriState GetBold() const { return FBold; }
    void SetBold(TTriState value);
    [[nodiscard]] TTriState GetItalic() const { return FItalic; }
    void SetItalic(TTriState value);
    [[nodiscard]] TTriState GetUnderline() const { return FUnderline; }
    void SetUnderline(TTriState value);
    [[nodiscard]] TTriState GetStrikeOut() const { return FStrikeOut; }
    void SetStrikeOut(TTriState value);
    /// Percent of the inherited size; 100 keeps it.
    [[nodiscard]] int GetSize() const { return FSize; }
    void SetSize(int value);
    /// clNone keeps the inherited colour.
    [[nodiscard]] toolkit::TColor GetColor() const { return FColor; }
    void SetColor(toolkit::TColor value);
    /// Empty keeps the inherited face.
    [[nodiscard]] const std::string& GetName() const { return FName; }
    void SetName(const std::string& value);

    /// Another TFontSettings: all fields at once, OnChange once when any differed. Anything else (null
    /// included) as TPersistent does.
    void Assign(const toolkit::TPersistent* source) override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

    /// Fired after every change; the sender is the settings.
    toolkit::TNotifyEvent OnChange;

private:
    template <class T> void Store(T& field, const T& value);

    TTriState FBold = tsInherit;
    TTriState FItalic = tsInherit;
    TTriState FUnderline = tsInherit;
    TTriState FStrikeOut = tsInherit;
    std::uint16_t FSize = 100;
    toolkit::TColor FColor = toolkit::clNone;
    std::string FName;
};

/// Applies the overrides to font: size (size * percent + 50) / 100 unless 100, colour unless clNone, face
/// unless empty, and each style switched on or off unless inherited.
void ApplyFontSettings(const TFontSettings& settings, toolkit::TFont& font);

// ---- Theme changes and colours ----------------------------------------------------------------------------

/// Registers the control for WM_TBX_THEMECHANGED with the running nexus (listed once); nothing without one.
void AddThemeControl(toolkit::TControl* control);
void RemoveThemeControl(toolkit::TControl* control);

/// The colour a control shows: its answer to WM_TBX_GETEFFECTIVECOLOR when it gives one, else its Color;
/// clBtnFace for none.
[[nodiscard]] toolkit::TColor GetEffectiveColor(toolkit::TControl* control);

// ---- View types and frames --------------------------------------------------------------------------------

/// The answer of the view's window to WM_TBX_GETVIEWTYPE; 0 for none or a view without a window.
[[nodiscard]] int GetViewType(const toolbars::TTBView* view);
/// The answer of the control itself to WM_TBX_GETVIEWTYPE; 0 for none.
[[nodiscard]] int GetWinViewType(toolkit::TControl* control);
/// Paints what lies behind control into rect of dc (control coordinates): a dock's own background, a tab
/// sheet's visual-style body, else the parent's effective colour (clBtnFace without a parent).
void DrawParentBackground(toolkit::TControl* control, ui::HDC dc, const toolkit::TRect& rect);
/// Makes the window compute and paint its frame again, keeping its client size.
void UpdateNCArea(toolkit::TWinControl* control);
/// Repaints the frame and the background of a window that has a handle.
void RedrawFrame(toolkit::TWinControl* control);
/// The width of a menu's image column for viewer: its image size scaled to the height of a menu row.
[[nodiscard]] int GetPopupMargin(const toolbars::TTBItemViewer* viewer);

// ---- Painting by state ------------------------------------------------------------------------------------
// State flags: 1 disabled, 2 hot, 4 pushed, 8 checked; 16 paints as a dockable panel instead of a toolbar.

inline constexpr int ISF_DISABLED = 1;
inline constexpr int ISF_HOT = 2;
inline constexpr int ISF_PUSHED = 4;
inline constexpr int ISF_CHECKED = 8;
inline constexpr int ISF_DOCKPANEL = 16;

/// The state flags of an item's paint information (disabled, hot, pushed, checked), as the item's font and
/// image events receive them.
[[nodiscard]] int GetStateFlags(const TItemPaintInfo& info);

/// The current theme's text colour for an item in that state; clBtnText when no theme runs.
[[nodiscard]] toolkit::TColor GetStateTextColor(int stateFlags);
/// A caption drawn by the current theme (not rotated) in the canvas font; format takes DT_ flags.
void DrawStateCaption(toolkit::TCanvas& canvas, const toolkit::TRect& rect, std::string_view text, int stateFlags,
                      ui::UINT format);
/// An image of the list drawn by the current theme with its top-left at the rectangle's.
void DrawStateImage(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TCustomImageList* imageList,
                    int imageIndex, int stateFlags);

}  // namespace ovrel::themes
