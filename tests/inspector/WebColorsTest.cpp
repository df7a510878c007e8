// The web colour table and its conversions.

#include "inspector/WebColors.h"

#include "platform/ui/SysTables.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

TEST(WebColors, TableHoldsTransparentThenTheNamesInOrderWithSoundValues)
{
    ASSERT_EQ(WebColors.size(), 141u);
    EXPECT_EQ(WebColors[0].Name, "transparent");
    EXPECT_EQ(WebColors[0].Value, "#FFFFFF");
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < WebColors.size(); ++i) {
        const TWebColor& row = WebColors[i];
        SCOPED_TRACE(std::string(row.Name));
        EXPECT_TRUE(names.insert(row.Name).second) << "named twice";
        EXPECT_EQ(LowerCase(row.Name), row.Name);
        ASSERT_EQ(row.Value.size(), 7u);
        EXPECT_EQ(row.Value[0], '#');
        EXPECT_EQ(row.Value.find_first_not_of("0123456789ABCDEF", 1), std::string_view::npos);
        if (i > 1) {
            EXPECT_LT(WebColors[i - 1].Name, row.Name);
        }
        // Every value converts and comes back as the same text.
        EXPECT_EQ(ColorToWebColor(WebColorToColor(row.Name)), row.Value);
    }
    EXPECT_EQ(WebColors.back().Name, "yellowgreen");
}

TEST(WebColors, NamesInAnyCaseGiveTheirValueAndOtherTextStaysAsItIs)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Navy", "#000080"},
        {"NAVY", "#000080"},
        {"transparent", "#FFFFFF"},
        {"lightgoldenrodyellow", "#FAFAD2"},
        {"no colour", "no colour"},
        {"#12ab34", "#12ab34"},
        {"", ""},
    };
    for (const auto& [text, hex] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(WebColorToHex(text), hex);
    }
}

TEST(WebColors, TextToColour)
{
    struct Row {
        const char* Text;
        TColor Expected;
    };
    const Row rows[] = {
        {"red", clRed},
        {"#00FF00", clLime},
        {"#0000ff", clBlue},
        {"#123456", static_cast<TColor>(ui::RGB(0x12, 0x34, 0x56))},
        {"transparent", clWhite},
        {"x123456", static_cast<TColor>(ui::RGB(0x12, 0x34, 0x56))},  // any first character
        {"#F0", static_cast<TColor>(ui::RGB(0, 0, 0xF0))},
        {"#12G456", clNone},
        {"clRe", clNone},
        {"#", clNone},  // nothing after the first character would read as black
        {"", clNone},
        {"#1234567", clNone},  // more than six digits would wrap into a system colour
        {"#FF123456", clNone},
        {"# 12345", clNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(WebColorToColor(row.Text), row.Expected);
    }
}

TEST(WebColors, ColourToTextResolvesSystemColoursAndGivesNoneNoText)
{
    ui::SystemTableOverride tables;
    tables.Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(0xD4, 0xD0, 0xC8);
    EXPECT_EQ(ColorToWebColor(clRed), "#FF0000");
    EXPECT_EQ(ColorToWebColor(static_cast<TColor>(ui::RGB(1, 0xAB, 0xFE))), "#01ABFE");
    EXPECT_EQ(ColorToWebColor(clBtnFace), "#D4D0C8");
    EXPECT_EQ(ColorToWebColor(clNone), "");
}

}  // namespace
