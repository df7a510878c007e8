// The visual-styles facade: nothing is themed in production; the recording backend answers and records.
#include "platform/ui/VisualStyles.h"

#include "platform/ui/Services.h"

#include <gtest/gtest.h>

namespace ovrel::ui {
namespace {

// How many of the four queries answer for a theme handle (the parts and properties the themes ask for).
int AnsweredQueries(HTHEME theme)
{
    const RECT bounds{0, 0, 100, 50};
    COLORREF color = 0;
    MARGINS margins;
    SIZE size;
    RECT content;
    return (GetThemeColor(theme, 0, 0, TMT_FILLCOLOR, &color) == S_OK) +
           (GetThemeMargins(theme, nullptr, 1, 2, TMT_CAPTIONMARGINS, nullptr, &margins) == S_OK) +
           (GetThemePartSize(theme, nullptr, 4, 1, nullptr, TS_TRUE, &size) == S_OK) +
           (GetThemeBackgroundContentRect(theme, nullptr, 1, 0, &bounds, &content) == S_OK);
}

TEST(VisualStyles, TheProductionBackendHasNoLibraryAndThemesNothing)
{
    EXPECT_FALSE(VisualStylesAvailable());
    EXPECT_EQ(IsAppThemed(), FALSE);
    EXPECT_EQ(IsThemeActive(), FALSE);
    EXPECT_EQ(OpenThemeData(nullptr, "button"), nullptr);
    const RECT r{0, 0, 10, 10};
    EXPECT_NE(DrawThemeBackground(nullptr, nullptr, 1, 1, &r, nullptr), S_OK);
    EXPECT_NE(DrawThemeEdge(nullptr, nullptr, 1, 1, &r, 0, 0, nullptr), S_OK);
    EXPECT_NE(CloseThemeData(nullptr), S_OK);
    EXPECT_EQ(AnsweredQueries(nullptr), 0);
    EXPECT_FALSE(IsThemed());
}

TEST(VisualStyles, ARecordingBackendStandsInForAScopeAndRecordsEachRequest)
{
    RecordingVisualStyles styles;
    {
        ScopedService<IVisualStyles> scope(SetVisualStyles, styles);
        EXPECT_TRUE(VisualStylesAvailable());
        EXPECT_EQ(IsAppThemed(), TRUE);
        HTHEME theme = OpenThemeData(nullptr, "toolbar");
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(styles.OpenCount(), 1);
        const RECT r{1, 2, 30, 40};
        const RECT clip{0, 0, 5, 5};
        EXPECT_EQ(DrawThemeBackground(theme, nullptr, 1, 6, &r, &clip), S_OK);
        RECT content;
        EXPECT_EQ(DrawThemeEdge(theme, nullptr, 2, 3, &r, 0x6, 0xF, &content), S_OK);
        EXPECT_EQ(content, r);
        EXPECT_EQ(CloseThemeData(theme), S_OK);
        EXPECT_EQ(styles.OpenCount(), 0);
    }
    EXPECT_FALSE(VisualStylesAvailable());  // the production backend is back
    ASSERT_EQ(styles.Requests.size(), 2u);
    EXPECT_EQ(styles.Requests[0].ClassList, "toolbar");
    EXPECT_EQ(styles.Requests[0].Part, 1);
    EXPECT_EQ(styles.Requests[0].State, 6);
    EXPECT_EQ(styles.Requests[0].Rect, (RECT{1, 2, 30, 40}));
    EXPECT_TRUE(styles.Requests[0].Clipped);
    EXPECT_FALSE(styles.Requests[0].Edge);
    EXPECT_TRUE(styles.Requests[1].Edge);
    EXPECT_EQ(styles.Requests[1].EdgeKind, 0x6u);
    EXPECT_EQ(styles.Requests[1].EdgeFlags, 0xFu);

    styles.LibraryPresent = false;
    EXPECT_EQ(styles.OpenThemeData(nullptr, "button"), nullptr);
    styles.FailQueries = true;
    EXPECT_ANY_THROW(styles.IsAppThemed());
}

TEST(VisualStyles, TheRecordingBackendKnowsTheThemedClassesWhateverTheirCase)
{
    RecordingVisualStyles styles;
    styles.Missing.insert("SPIN");
    struct Row {
        const char* ClassList;
        bool Opens;
    };
    const Row rows[] = {{"REBAR", true},          {"toolbar", true},     {"Window", true},
                        {"STATUS", true},         {"ExplorerBar", true}, {"TAB", true},
                        {"SPIN", false},          {"LISTVIEW", false},   {"SPIN;Status", true},
                        {"nothing; spin", false}, {" tab ", true},       {"", false}};
    int opened = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ClassList);
        HTHEME theme = styles.OpenThemeData(nullptr, row.ClassList);
        EXPECT_EQ(theme != nullptr, row.Opens);
        if (theme != nullptr) {
            ++opened;
            EXPECT_EQ(theme->ClassList, row.ClassList);
            EXPECT_EQ(styles.CloseThemeData(theme), S_OK);
        }
    }
    EXPECT_EQ(static_cast<int>(styles.Opened.size()), opened);
    EXPECT_EQ(styles.Closed, opened);
    EXPECT_EQ(styles.OpenCount(), 0);
}

TEST(VisualStyles, QueriesAnswerWhatTheTestConfiguredAndFailOtherwise)
{
    RecordingVisualStyles styles;
    ScopedService<IVisualStyles> scope(SetVisualStyles, styles);
    EXPECT_TRUE(IsThemed());
    HTHEME toolbar = OpenThemeData(nullptr, "TOOLBAR");
    ASSERT_NE(toolbar, nullptr);
    // Nothing configured: every query fails, as for a theme without the property.
    EXPECT_EQ(AnsweredQueries(toolbar), 0);

    styles.Colors = {{TMT_FILLCOLOR, RGB(1, 2, 3)}, {TMT_TEXTCOLOR, RGB(4, 5, 6)}};
    styles.Margins[TMT_CAPTIONMARGINS] = MARGINS{1, 2, 3, 4};
    styles.PartSizes[4] = SIZE{13, 22};
    styles.ContentMargins = MARGINS{5, 6, 7, 8};
    EXPECT_EQ(AnsweredQueries(toolbar), 4);
    const RECT bounds{0, 0, 100, 50};
    COLORREF color = 0;
    MARGINS margins;
    SIZE size;
    RECT content;
    EXPECT_EQ(GetThemeColor(toolbar, 0, 0, TMT_TEXTCOLOR, &color), S_OK);
    EXPECT_EQ(color, RGB(4, 5, 6));
    EXPECT_EQ(GetThemeMargins(toolbar, nullptr, 1, 2, TMT_CAPTIONMARGINS, nullptr, &margins), S_OK);
    EXPECT_EQ(margins, (MARGINS{1, 2, 3, 4}));
    EXPECT_EQ(GetThemeMargins(toolbar, nullptr, 1, 2, TMT_CONTENTMARGINS, nullptr, &margins), E_FAIL);
    EXPECT_EQ(GetThemePartSize(toolbar, nullptr, 4, 1, nullptr, TS_TRUE, &size), S_OK);
    EXPECT_EQ(size, (SIZE{13, 22}));
    EXPECT_EQ(GetThemePartSize(toolbar, nullptr, 1, 1, nullptr, TS_TRUE, &size), E_FAIL);
    EXPECT_EQ(GetThemeBackgroundContentRect(toolbar, nullptr, 1, 0, &bounds, &content), S_OK);
    EXPECT_EQ(content, (RECT{5, 7, 94, 42}));
    EXPECT_EQ(AnsweredQueries(nullptr), 0);  // a handle that did not open answers nothing
    CloseThemeData(toolbar);

    styles.ChangeTheme(FALSE);  // nobody listens here; the theme is simply off now
    EXPECT_FALSE(IsThemed());
}

}  // namespace
}  // namespace ovrel::ui
