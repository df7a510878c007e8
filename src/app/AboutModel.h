#pragma once
// The about box without its window: the table of its labels, their texts and where they stand.

#include "app/Localizer.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Types.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ovrel::app {

inline constexpr std::uint8_t AboutBold = 0x01;
inline constexpr std::uint8_t AboutSameLine = 0x02;  // right of the previous label
inline constexpr std::uint8_t AboutLink = 0x04;  // the text is an address the label opens
inline constexpr std::uint8_t AboutWordWrap = 0x08;
inline constexpr std::uint8_t AboutRightAligned = 0x10;
inline constexpr std::uint8_t AboutColon = 0x20;  // ":" appended

inline constexpr int AboutTabAbout = 0;
inline constexpr int AboutTabCredits = 1;
inline constexpr int AboutTabBoth = -1;

/// The width the table's pixels are given for; the labels are scaled to the panel's width from it.
inline constexpr int AboutDesignWidth = 500;

/// One label of the about box. Positions and sizes are pixels of a panel AboutDesignWidth wide; 0 means not
/// given.
struct TAboutLabelRow {
    int TextId = 0;  // in section "Common"; 0: the default text only
    const char* DefaultText = "";
    std::uint8_t Flags = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    float Spacing = 0;  // extra space above, in lines
    int Tab = AboutTabBoth;
};

/// The thirteen labels, in the order they are laid out.
[[nodiscard]] std::span<const TAboutLabelRow> AboutLabelRows();

/// The host part of an address: after the first ':' and any run of '/', ':' and '\' that follows, up to the
/// next of those characters. A text without a colon is read from its start the same way, so
/// "www.example.com/a" gives "www.example.com".
[[nodiscard]] std::string AddressHost(std::string_view address);

struct TAboutLabelText {
    std::string Caption;
    std::string Hint;  // a link's whole address, else empty
};

/// A row's caption: its text from common when it has an id there, else its default; a link shows only its host
/// and keeps the whole address as hint; AboutColon appends ":".
[[nodiscard]] TAboutLabelText AboutLabelText(const TAboutLabelRow& row, const TVekLocalizedStrings& common);

/// Whether a label of that tab shows while the tab selected is shown.
[[nodiscard]] bool AboutLabelVisible(int labelTab, int selectedTab) noexcept;

/// The text metrics the layout needs, from the first label's canvas.
struct TAboutTextMetrics {
    int LineHeight = 0;  // character height plus external leading
    int ExternalLeading = 0;
    int AverageCharWidth = 0;
};
[[nodiscard]] TAboutTextMetrics AboutTextMetrics(const ui::TEXTMETRIC& metrics) noexcept;

/// Places the labels in table order. A form makes each label with its caption and font (bold included), reads
/// the size the label took, and asks Place where it goes.
class TAboutLabelLayout {
public:
    TAboutLabelLayout(const TAboutTextMetrics& metrics, int panelWidth, int designWidth = AboutDesignWidth);

    struct TPlacement {
        ui::RECT Bounds;
        bool AutoSize = true;  // false when the row gives a width or a height
    };
    /// Where the row's label goes, given the size it takes by itself; the next rows are placed after it.
    TPlacement Place(const TAboutLabelRow& row, ui::SIZE naturalSize);
    /// A table value in the panel's pixels (multiply-divide rounding).
    [[nodiscard]] int Scale(int value) const;

private:
    TAboutTextMetrics FMetrics;
    int FPanelWidth;
    int FDesignWidth;
    ui::RECT FBounds;  // the last line laid out
};

}  // namespace ovrel::app
