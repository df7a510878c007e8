#pragma once
// What every themed control shares: per-object font overrides, registration for theme changes, the effective
// colour of a control, and painting a caption, an image or a text colour through the current theme by state.

#include "themes/ThemeInterface.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>

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

// ---- Painting by state ------------------------------------------------------------------------------------
// State flags: 1 disabled, 2 hot, 4 pushed, 8 checked; 16 paints as a dockable panel instead of a toolbar.

inline constexpr int ISF_DISABLED = 1;
inline constexpr int ISF_HOT = 2;
inline constexpr int ISF_PUSHED = 4;
inline constexpr int ISF_CHECKED = 8;
inline constexpr int ISF_DOCKPANEL = 16;

/// The current theme's text colour for an item in that state; clBtnText when no theme runs.
[[nodiscard]] toolkit::TColor GetStateTextColor(int stateFlags);
/// A caption drawn by the current theme (not rotated) in the canvas font; format takes DT_ flags.
void DrawStateCaption(toolkit::TCanvas& canvas, const toolkit::TRect& rect, std::string_view text, int stateFlags,
                      ui::UINT format);
/// An image of the list drawn by the current theme with its top-left at the rectangle's.
void DrawStateImage(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TCustomImageList* imageList,
                    int imageIndex, int stateFlags);

}  // namespace ovrel::themes
