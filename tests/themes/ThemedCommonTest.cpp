// Font overrides: what each setting does to a font, and when the settings tell their owner about a change.

#include "themes/ThemedCommon.h"

#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;

struct FontCase {
    const char* Name;
    std::function<void(TFontSettings&)> Settings;
    int Size;  // of the font before
    TFontStyles Style;  // of the font before
    int ExpectedSize;
    TColor ExpectedColor;
    std::string ExpectedName;
    TFontStyles ExpectedStyle;
    friend void PrintTo(const FontCase& c, std::ostream* os) { *os << c.Name; }
};

class ApplyFontSettingsTable : public ::testing::TestWithParam<FontCase> {};

TEST_P(ApplyFontSettingsTable, ChangesOnlyWhatIsSet)
{
    const FontCase& c = GetParam();
    TFontSettings settings;
    c.Settings(settings);
    TFont font;
    font.SetName("DejaVu Sans");
    font.SetSize(c.Size);
    font.SetStyle(c.Style);
    ApplyFontSettings(settings, font);
    EXPECT_EQ(font.GetSize(), c.ExpectedSize);
    EXPECT_EQ(font.GetColor(), c.ExpectedColor);
    EXPECT_EQ(font.GetName(), c.ExpectedName);
    EXPECT_EQ(font.GetStyle(), c.ExpectedStyle);
}

INSTANTIATE_TEST_SUITE_P(Rows, ApplyFontSettingsTable,
                         ::testing::Values(FontCase{"NeutralLeavesTheFontAlone",
                                                    [](TFontSettings&) {},
                                                    8,
                                                    {fsItalic},
                                                    8,
                                                    clWindowText,
                                                    "DejaVu Sans",
                                                    {fsItalic}},
                                           FontCase{"HalfAsLargeAgainOfEightIsTwelve",
                                                    [](TFontSettings& s) { s.SetSize(150); },
                                                    8,
                                                    {},
                                                    12,
                                                    clWindowText,
                                                    "DejaVu Sans",
                                                    {}},
                                           // 9 * 110 + 50 = 1040, divided by 100.
                                           FontCase{"TenPercentMoreOfNineIsTen",
                                                    [](TFontSettings& s) { s.SetSize(110); },
                                                    9,
                                                    {},
                                                    10,
                                                    clWindowText,
                                                    "DejaVu Sans",
                                                    {}},
                                           FontCase{"ColourAndFace",
                                                    [](TFontSettings& s) {
                                                        s.SetColor(clRed);
                                                        s.SetName("DejaVu Serif");
                                                    },
                                                    8,
                                                    {},
                                                    8,
                                                    clRed,
                                                    "DejaVu Serif",
                                                    {}},
                                           FontCase{"StylesOnOffAndInherited",
                                                    [](TFontSettings& s) {
                                                        s.SetBold(tsOn);
                                                        s.SetItalic(tsOff);
                                                        s.SetStrikeOut(tsOn);
                                                    },
                                                    8,
                                                    {fsItalic, fsUnderline},
                                                    8,
                                                    clWindowText,
                                                    "DejaVu Sans",
                                                    {fsBold, fsUnderline, fsStrikeOut}}),
                         [](const auto& row) { return std::string(row.param.Name); });

struct ChangeCounter {
    int Changes = 0;
    void Changed(TObject*) { ++Changes; }
};

TEST(FontSettings, SettersTellTheOwnerOnlyOfARealChange)
{
    TFontSettings settings;
    ChangeCounter counter;
    settings.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    const std::function<void(TFontSettings&)> setters[] = {
        [](TFontSettings& s) { s.SetBold(tsOn); },
        [](TFontSettings& s) { s.SetItalic(tsOff); },
        [](TFontSettings& s) { s.SetUnderline(tsOn); },
        [](TFontSettings& s) { s.SetStrikeOut(tsOn); },
        [](TFontSettings& s) { s.SetSize(120); },
        [](TFontSettings& s) { s.SetColor(clBlue); },
        [](TFontSettings& s) { s.SetName("DejaVu Serif"); },
    };
    for (const auto& set : setters) {
        const int before = counter.Changes;
        set(settings);
        EXPECT_EQ(counter.Changes, before + 1);
        set(settings);
        EXPECT_EQ(counter.Changes, before + 1) << "the same value again";
    }
}

TEST(FontSettings, AssignCopiesAllSevenFieldsWithOneNotice)
{
    TFontSettings source;
    source.SetBold(tsOn);
    source.SetItalic(tsOn);
    source.SetUnderline(tsOff);
    source.SetStrikeOut(tsOn);
    source.SetSize(75);
    source.SetColor(clGreen);
    source.SetName("DejaVu Serif");
    TFontSettings copy;
    ChangeCounter counter;
    copy.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    copy.Assign(&source);
    EXPECT_EQ(counter.Changes, 1);
    for (const TPropInfo& p : TFontSettings::ClassProperties().GetOwnProperties()) {
        SCOPED_TRACE(p.Name);
        if (p.Kind == TTypeKind::tkString)
            EXPECT_EQ(GetStrProp(copy, p.Name), GetStrProp(source, p.Name));
        else
            EXPECT_EQ(GetOrdProp(copy, p.Name), GetOrdProp(source, p.Name));
    }
    copy.Assign(&source);
    EXPECT_EQ(counter.Changes, 1) << "nothing differed";
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace ovrel::themes
