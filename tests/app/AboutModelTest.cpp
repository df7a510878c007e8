#include "app/AboutModel.h"

#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

TEST(AddressHost, IsThePartAfterTheSchemeUpToTheNextSeparator)
{
    const struct {
        const char* Address;
        const char* Host;
    } rows[] = {
        {"http://www.example.com/a", "www.example.com"},
        {"https://support.example.com", "support.example.com"},
        {"mailto:x@example.org", "x@example.org"},
        {"http://www.example.com:8080/a", "www.example.com"},
        {"file:\\\\server\\share", "server"},
        {"www.example.com/a", "www.example.com"},  // no colon: read from the start
        {"//www.example.com", "www.example.com"},
        {"plain", "plain"},
        {"http://", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AddressHost(row.Address), row.Host) << row.Address;
}

TEST(AboutLabelText, TakesTheLanguagesTextShowsALinksHostAndKeepsItsAddress)
{
    TVekLocalizedStrings common(nullptr, "Common");
    common.Add("54=Site web");
    const std::span<const TAboutLabelRow> rows = AboutLabelRows();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(AboutLabelText(rows[2], common).Caption, "Site web:");
    EXPECT_EQ(AboutLabelText(rows[4], common).Caption, "Support:");  // missing: the default text
    EXPECT_EQ(AboutLabelText(rows[1], common).Caption, "1.60");
    const TAboutLabelText link = AboutLabelText(rows[3], common);
    EXPECT_EQ(link.Caption, "www.example.com");
    EXPECT_EQ(link.Hint, "https://www.example.com/exif-ovrel");
    EXPECT_EQ(AboutLabelText(rows[0], common).Hint, "");
    // Both addresses lie on a reserved example domain.
    for (const TAboutLabelRow& row : rows)
        if ((row.Flags & AboutLink) != 0) {
            EXPECT_NE(AddressHost(row.DefaultText).find("example.com"), std::string::npos) << row.DefaultText;
        }
}

TEST(AboutLabelVisible, ShowsTheLabelsOfTheSelectedTabAndThoseOfBoth)
{
    std::vector<std::string> about, credits;
    const TVekLocalizedStrings common(nullptr, "Common");
    for (const TAboutLabelRow& row : AboutLabelRows()) {
        if (AboutLabelVisible(row.Tab, AboutTabAbout))
            about.push_back(AboutLabelText(row, common).Caption);
        if (AboutLabelVisible(row.Tab, AboutTabCredits))
            credits.push_back(AboutLabelText(row, common).Caption);
    }
    EXPECT_EQ(about, (std::vector<std::string>{"Exif Ovrel", "1.60", "Web Site:", "www.example.com", "Support:",
                                               "support.example.com", "Free to use, to share and to change."}));
    ASSERT_EQ(credits.size(), 9u);
    EXPECT_EQ(credits[0], "Exif Ovrel");
    EXPECT_EQ(credits[2], "Free to use, to share and to change.");
    EXPECT_EQ(credits[3], "Programming:");
}

// The labels laid out as the about box does: the first label's font (the 8-point sans), bold where the row says,
// each label as wide as its text.
class AboutLayoutOnACanvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bitmap.SetSize(10, 10);
        toolkit::TCanvas* canvas = Bitmap.GetCanvas();
        canvas->GetFont()->SetName("Tahoma");
        canvas->GetFont()->SetSize(8);
        (void)canvas->TextExtent("x");  // selects the font
        ui::TEXTMETRIC metrics;
        ASSERT_TRUE(ui::GetTextMetrics(canvas->GetHandle(), &metrics));
        Metrics = AboutTextMetrics(metrics);
        ASSERT_GT(Metrics.LineHeight, 8);
        ASSERT_GT(Metrics.AverageCharWidth, 3);
    }

    std::vector<ui::RECT> Layout(int panelWidth)
    {
        const TVekLocalizedStrings common(nullptr, "Common");
        TAboutLabelLayout layout(Metrics, panelWidth);
        std::vector<ui::RECT> bounds;
        toolkit::TCanvas* canvas = Bitmap.GetCanvas();
        for (const TAboutLabelRow& row : AboutLabelRows()) {
            canvas->GetFont()->SetStyle((row.Flags & AboutBold) != 0 ? toolkit::TFontStyles{toolkit::fsBold}
                                                                     : toolkit::TFontStyles{});
            const toolkit::TSize size = canvas->TextExtent(AboutLabelText(row, common).Caption);
            const TAboutLabelLayout::TPlacement placement = layout.Place(row, ui::SIZE{size.cx, size.cy});
            EXPECT_EQ(placement.AutoSize, row.Width == 0 && row.Height == 0);
            bounds.push_back(placement.Bounds);
        }
        return bounds;
    }

    toolkit::TBitmap Bitmap;
    TAboutTextMetrics Metrics;
};

TEST_F(AboutLayoutOnACanvas, PlacesRowsByTheTableScaledToThePanel)
{
    constexpr int Panel = 530;  // scale 1.06: MulDiv rounds where truncation would not
    const std::vector<ui::RECT> b = Layout(Panel);
    const int L = Metrics.LineHeight;
    const int E = Metrics.ExternalLeading;
    const int A = Metrics.AverageCharWidth;
    const auto width = [](const ui::RECT& r) { return r.right - r.left; };

    EXPECT_EQ(b[0].left, 17);  // 16 x 1.06 = 16.96
    EXPECT_EQ(b[0].top, 74);  // 70 x 1.06 = 74.2
    // The version stands on the name's line, one average character to its right.
    EXPECT_EQ(b[1].left, b[0].right + A);
    EXPECT_EQ(b[1].top, b[0].top);
    // A given top and width are scaled; the left comes from the line above.
    EXPECT_EQ(b[2].top, 117);  // 110 x 1.06 = 116.6
    EXPECT_EQ(b[2].left, 17);
    EXPECT_EQ(width(b[2]), 80);  // 75 x 1.06 = 79.5
    EXPECT_EQ(b[3].left, b[2].right + A);
    // Half a line of extra space, rounded, above the support row, below the taller of the line's two labels.
    const int lineBottom = std::max(b[2].bottom, b[3].bottom);
    EXPECT_EQ(b[4].top, lineBottom + static_cast<int>(toolkit::Round(L * 0.5)) + 2 * E);
    EXPECT_EQ(b[4].left, 17);
    EXPECT_EQ(b[6].top, 292);  // 275 x 1.06 = 291.5
    // The credits start again at the top left; a whole line of space before each heading after the first.
    EXPECT_EQ(b[7].top, 117);
    EXPECT_EQ(b[7].left, 17);
    EXPECT_EQ(b[8].top, b[7].bottom + 2 * E);
    EXPECT_EQ(b[9].top, b[8].bottom + L + 2 * E);
    EXPECT_EQ(b[11].top, b[10].bottom + L + 2 * E);
    // Bold text is measured bold.
    EXPECT_GT(width(b[7]), 0);
    EXPECT_GT(b[0].bottom, b[0].top);

    // At the table's own width the table's pixels are used as they are.
    const std::vector<ui::RECT> plain = Layout(AboutDesignWidth);
    EXPECT_EQ(plain[0].left, 16);
    EXPECT_EQ(plain[2].top, 110);
    EXPECT_EQ(width(plain[2]), 75);
}

}  // namespace
}  // namespace ovrel::app
