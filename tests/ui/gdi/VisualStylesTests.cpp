// The visual-styles facade: nothing is themed in production; the recording backend answers and records.
#include "platform/ui/VisualStyles.h"

#include "platform/ui/Services.h"

#include <gtest/gtest.h>

namespace ovrel::ui {
namespace {

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

}  // namespace
}  // namespace ovrel::ui
