#include "themes/ThemedCommon.h"

#include "themes/Nexus.h"
#include "themes/ThemeManager.h"
#include "themes/ThemeUtils.h"
#include "themes/ThemedViewers.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/VisualStyles.h"
#include "platform/ui/Window.h"
#include "toolbars/Dock.h"
#include "toolbars/View.h"
#include "toolkit/ComCtrls.h"

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
// View types and frames

namespace {

// The visual-style part of a tab sheet's body.
constexpr int TABP_BODY = 10;

int AskViewType(TControl* control)
{
    TMessage message{WM_TBX_GETVIEWTYPE, 0, 0, 0};
    control->Dispatch(message);
    return static_cast<int>(message.Result);
}

}  // namespace

int GetViewType(const toolbars::TTBView* view)
{
    if (view == nullptr || view->GetWindow() == nullptr)
        return 0;
    return AskViewType(view->GetWindow());
}

int GetWinViewType(TControl* control) { return control != nullptr ? AskViewType(control) : 0; }

void DrawParentBackground(TControl* control, ui::HDC dc, const TRect& rect)
{
    TWinControl* parent = control->GetParent();
    if (parent == nullptr) {
        FillRectColorDC(dc, rect, clBtnFace);
        return;
    }
    if (auto* dock = dynamic_cast<toolbars::TTBDock*>(parent)) {
        // In the dock's coordinates: the part of its background that lies behind the control.
        detail::TSavedDC saved(dc);
        ui::OffsetWindowOrgEx(dc, control->GetLeft(), control->GetTop(), nullptr);
        TRect behind = rect;
        ui::OffsetRect(&behind, control->GetLeft(), control->GetTop());
        dock->DrawBackground(dc, behind);
        return;
    }
    if (dynamic_cast<TTabSheet*>(parent) != nullptr && VisualStylesActive() &&
        !control->GetComponentState().Contains(csDesigning)) {
        if (ui::HTHEME theme = ui::OpenThemeData(parent->GetHandle(), "TAB")) {
            // The sheet's body in the control's coordinates, so that its gradient runs on behind the control.
            TRect body = parent->GetClientRect();
            ui::OffsetRect(&body, -control->GetLeft(), -control->GetTop());
            ui::DrawThemeBackground(theme, dc, TABP_BODY, 0, &body, &rect);
            ui::CloseThemeData(theme);
            return;
        }
    }
    FillRectColorDC(dc, rect, GetEffectiveColor(parent));
}

void UpdateNCArea(TWinControl* control)
{
    control->SetClientWidth(control->GetClientWidth());
    control->SetClientHeight(control->GetClientHeight());
    if (control->HandleAllocated())
        ui::SetWindowPos(control->GetHandle(), nullptr, 0, 0, 0, 0,
                         ui::SWP_NOSIZE | ui::SWP_NOMOVE | ui::SWP_NOZORDER | ui::SWP_NOACTIVATE |
                             ui::SWP_FRAMECHANGED);
    control->Invalidate();
}

void RedrawFrame(TWinControl* control)
{
    if (control->HandleAllocated())
        ui::RedrawWindow(control->GetHandle(), nullptr, nullptr, ui::RDW_FRAME | ui::RDW_ERASE | ui::RDW_INVALIDATE);
}

int GetPopupMargin(const toolbars::TTBItemViewer* viewer)
{
    TSize image{16, 16};
    if (const auto* themed = dynamic_cast<const TTBXItemViewer*>(viewer))
        image = themed->GetImageSize();
    else if (const TCustomImageList* images = viewer->GetImageList())
        image = TSize{images->GetWidth(), images->GetHeight()};
    const TTBXTheme* theme = CurrentTheme();
    const int margin = theme != nullptr ? 2 * theme->GetIntegerMetric(30) : 0;

    ui::HDC dc = ui::GetDC(nullptr);
    ui::HGDIOBJ oldFont = ui::SelectObject(dc, viewer->GetView()->GetFont()->GetHandle());
    ui::TEXTMETRIC metrics;
    ui::GetTextMetrics(dc, &metrics);
    ui::SelectObject(dc, oldFont);
    ui::ReleaseDC(nullptr, dc);

    const int textHeight = metrics.tmHeight + metrics.tmExternalLeading + margin;
    const int imageHeight = image.cy + margin;
    // A viewer without images under a theme without cell margins has no height to scale by.
    if (imageHeight <= 0)
        return textHeight;
    return (image.cx + margin) * std::max(textHeight, imageHeight) / imageHeight;
}

// ---------------------------------------------------------------------------------------------------------
// Painting by state

int GetStateFlags(const TItemPaintInfo& info)
{
    return (info.Enabled ? 0 : ISF_DISABLED) | (info.HoverKind == HK_HOT ? ISF_HOT : 0) |
           (info.Pushed ? ISF_PUSHED : 0) | (info.Checked ? ISF_CHECKED : 0);
}

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
