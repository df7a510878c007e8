#include "app/AboutModel.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>

namespace ovrel::app {

using namespace ovrel::toolkit;

namespace {

constexpr std::array<TAboutLabelRow, 13> Rows{{
    {156, "Exif Ovrel", AboutBold, 16, 70, 0, 0, 0, AboutTabBoth},
    {0, "1.60", AboutBold | AboutSameLine, 0, 0, 0, 0, 0, AboutTabBoth},
    {54, "Web Site", AboutRightAligned | AboutColon, 0, 110, 75, 0, 0, AboutTabAbout},
    {0, "https://www.example.com/exif-ovrel", AboutLink | AboutSameLine, 0, 0, 0, 0, 0, AboutTabAbout},
    {56, "Support", AboutRightAligned | AboutColon, 0, 0, 75, 0, 0.5f, AboutTabAbout},
    {0, "https://support.example.com/exif-ovrel", AboutLink | AboutSameLine, 0, 0, 0, 0, 0, AboutTabAbout},
    {0, "Free to use, to share and to change.", 0, 0, 275, 0, 0, 0, AboutTabBoth},
    {58, "Programming", AboutBold | AboutColon, 16, 110, 0, 0, 0, AboutTabCredits},
    {0, "The Exif Ovrel developers", 0, 0, 0, 0, 0, 0, AboutTabCredits},
    {60, "Graphics", AboutBold | AboutColon, 0, 0, 0, 0, 1.0f, AboutTabCredits},
    {0, "Artwork drawn for this program", 0, 0, 0, 0, 0, 0, AboutTabCredits},
    {61, "Testing", AboutBold | AboutColon, 0, 0, 0, 0, 1.0f, AboutTabCredits},
    {0, "Everyone who tried it and told us", 0, 0, 0, 0, 0, 0, AboutTabCredits},
}};

bool IsSeparator(char c) { return c == '/' || c == ':' || c == '\\'; }

}  // namespace

std::span<const TAboutLabelRow> AboutLabelRows() { return Rows; }

std::string AddressHost(std::string_view address)
{
    const std::size_t colon = address.find(':');
    std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
    while (start < address.size() && IsSeparator(address[start]))
        ++start;
    std::size_t end = start;
    while (end < address.size() && !IsSeparator(address[end]))
        ++end;
    return std::string(address.substr(start, end - start));
}

TAboutLabelText AboutLabelText(const TAboutLabelRow& row, const TVekLocalizedStrings& common)
{
    TAboutLabelText text;
    text.Caption = row.TextId != 0 ? GetString(common, row.TextId, row.DefaultText) : std::string(row.DefaultText);
    if ((row.Flags & AboutLink) != 0) {
        text.Hint = text.Caption;
        text.Caption = AddressHost(text.Hint);
    }
    if ((row.Flags & AboutColon) != 0)
        text.Caption += ':';
    return text;
}

bool AboutLabelVisible(int labelTab, int selectedTab) noexcept { return labelTab < 0 || labelTab == selectedTab; }

TAboutTextMetrics AboutTextMetrics(const ui::TEXTMETRIC& metrics) noexcept
{
    return {metrics.tmHeight + metrics.tmExternalLeading, metrics.tmExternalLeading, metrics.tmAveCharWidth};
}

TAboutLabelLayout::TAboutLabelLayout(const TAboutTextMetrics& metrics, int panelWidth, int designWidth)
    : FMetrics(metrics), FPanelWidth(panelWidth), FDesignWidth(designWidth)
{}

int TAboutLabelLayout::Scale(int value) const { return MulDiv(value, FPanelWidth, FDesignWidth); }

TAboutLabelLayout::TPlacement TAboutLabelLayout::Place(const TAboutLabelRow& row, ui::SIZE naturalSize)
{
    FBounds.bottom += static_cast<int>(Round(FMetrics.LineHeight * static_cast<double>(row.Spacing)));
    const bool sameLine = (row.Flags & AboutSameLine) != 0;
    TPlacement placement;
    int left = 0;
    int top = 0;
    if (sameLine) {
        left = FBounds.right + FMetrics.AverageCharWidth;
        top = FBounds.top;
    } else {
        left = row.Left != 0 ? Scale(row.Left) : FBounds.left;
        top = row.Top != 0 ? Scale(row.Top) : FBounds.bottom + 2 * FMetrics.ExternalLeading;
    }
    int width = naturalSize.cx;
    int height = naturalSize.cy;
    if (row.Width != 0) {
        placement.AutoSize = false;
        width = Scale(row.Width);
    }
    if (row.Height != 0) {
        placement.AutoSize = false;
        height = Scale(row.Height);
    }
    placement.Bounds = ui::RECT{left, top, left + width, top + height};
    if (sameLine) {
        FBounds.left = std::min(FBounds.left, placement.Bounds.left);
        FBounds.top = std::min(FBounds.top, placement.Bounds.top);
        FBounds.right = std::max(FBounds.right, placement.Bounds.right);
        FBounds.bottom = std::max(FBounds.bottom, placement.Bounds.bottom);
    } else {
        FBounds = placement.Bounds;
    }
    return placement;
}

}  // namespace ovrel::app
