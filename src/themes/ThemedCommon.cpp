#include "themes/ThemedCommon.h"

#include "themes/Nexus.h"

#include <algorithm>
#include <limits>

namespace ovrel::themes {

using namespace ovrel::toolkit;

// ---------------------------------------------------------------------------------------------------------
// TFontSettings

template <class T> void TFontSettings::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    OnChange(this);
}

void TFontSettings::SetBold(TTriState value) { Store(FBold, value); }
void TFontSettings::SetItalic(TTriState value) { Store(FItalic, value); }
void TFontSettings::SetUnderline(TTriState value) { Store(FUnderline, value); }
void TFontSettings::SetStrikeOut(TTriState value) { Store(FStrikeOut, value); }
void TFontSettings::SetSize(int value)
{
    Store(FSize, static_cast<std::uint16_t>(std::clamp<int>(value, 0, std::numeric_limits<std::uint16_t>::max())));
}
void TFontSettings::SetColor(TColor value) { Store(FColor, value); }
void TFontSettings::SetName(const std::string& value) { Store(FName, value); }

void TFontSettings::Assign(const TPersistent* source)
{
    const auto* other = dynamic_cast<const TFontSettings*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (FBold == other->FBold && FItalic == other->FItalic && FUnderline == other->FUnderline &&
        FStrikeOut == other->FStrikeOut && FSize == other->FSize && FColor == other->FColor && FName == other->FName)
        return;
    FBold = other->FBold;
    FItalic = other->FItalic;
    FUnderline = other->FUnderline;
    FStrikeOut = other->FStrikeOut;
    FSize = other->FSize;
    FColor = other->FColor;
    FName = other->FName;
    OnChange(this);
}

const TPropertyTable& TFontSettings::ClassProperties()
{
    static const std::vector<std::string> states{"tsInherit", "tsOn", "tsOff"};
    static const TPropertyTable table =
        TPropertyTable(&TPersistent::ClassProperties())
            .Enumeration("Bold", &TFontSettings::GetBold, &TFontSettings::SetBold, states)
            .Enumeration("Italic", &TFontSettings::GetItalic, &TFontSettings::SetItalic, states)
            .Enumeration("Underline", &TFontSettings::GetUnderline, &TFontSettings::SetUnderline, states)
            .Enumeration("StrikeOut", &TFontSettings::GetStrikeOut, &TFontSettings::SetStrikeOut, states)
            .Integer("Size", &TFontSettings::GetSize, &TFontSettings::SetSize)
            .Integer("Color", &TFontSettings::GetColor, &TFontSettings::SetColor)
            .String("Name", &TFontSettings::GetName, &TFontSettings::SetName);
    return table;
}

const TPropertyTable& TFontSettings::GetPropertyTable() const { return ClassProperties(); }

void ApplyFontSettings(const TFontSettings& settings, TFont& font)
{
    if (settings.GetSize() != 100)
        font.SetSize((font.GetSize() * settings.GetSize() + 50) / 100);
    if (settings.GetColor() != clNone)
        font.SetColor(settings.GetColor());
    if (!settings.GetName().empty())
        font.SetName(settings.GetName());
    TFontStyles style = font.GetStyle();
    const auto apply = [&style](TTriState state, TFontStyle bit) {
        if (state == tsOn)
            style.Include(bit);
        else if (state == tsOff)
            style.Exclude(bit);
    };
    apply(settings.GetBold(), fsBold);
    apply(settings.GetItalic(), fsItalic);
    apply(settings.GetUnderline(), fsUnderline);
    apply(settings.GetStrikeOut(), fsStrikeOut);
    font.SetStyle(style);
}

// ---------------------------------------------------------------------------------------------------------
// Theme changes and colours

void AddThemeControl(TControl* control)
{
    if (TTBXNexus* nexus = GetNexus())
        nexus->AddNotify(control);
}

void RemoveThemeControl(TControl* control)
{
    if (TTBXNexus* nexus = GetNexus())
        nexus->RemoveNotify(control);
}

TColor GetEffectiveColor(TControl* control)
{
    if (control == nullptr)
        return clBtnFace;
    TMessage message{WM_TBX_GETEFFECTIVECOLOR, 0, 0, 0};
    control->Dispatch(message);
    if (message.Result != 0)
        return static_cast<TColor>(message.WParam);
    return control->GetColor();  // no form here is an MDI frame, which would answer clBtnFace
}

// ---------------------------------------------------------------------------------------------------------
// Painting by state

namespace {

TItemPaintInfo StateInfo(int stateFlags, int viewType)
{
    TItemPaintInfo info;
    info.ViewType = viewType;
    info.ItemOptions = IO_TOOLBARSTYLE;
    info.Enabled = (stateFlags & ISF_DISABLED) == 0;
    info.Pushed = (stateFlags & ISF_PUSHED) != 0;
    info.HoverKind = (stateFlags & ISF_HOT) != 0 ? HK_HOT : HK_NONE;
    info.Checked = (stateFlags & ISF_CHECKED) != 0;
    return info;
}

int StateViewType(int stateFlags) { return (stateFlags & ISF_DOCKPANEL) != 0 ? VT_DOCKPANEL : VT_TOOLBAR; }

}  // namespace

TColor GetStateTextColor(int stateFlags)
{
    const TTBXTheme* theme = CurrentTheme();
    return theme != nullptr ? theme->GetItemTextColor(StateInfo(stateFlags, StateViewType(stateFlags))) : clBtnText;
}

void DrawStateCaption(TCanvas& canvas, const TRect& rect, std::string_view text, int stateFlags, ui::UINT format)
{
    if (const TTBXTheme* theme = CurrentTheme())
        theme->PaintCaption(canvas, rect, StateInfo(stateFlags, StateViewType(stateFlags)), text, format, false);
}

void DrawStateImage(TCanvas& canvas, const TRect& rect, const TCustomImageList* imageList, int imageIndex,
                    int stateFlags)
{
    if (const TTBXTheme* theme = CurrentTheme())
        theme->PaintImage(canvas, rect, StateInfo(stateFlags, VT_TOOLBAR), imageList, imageIndex);
}

}  // namespace ovrel::themes
