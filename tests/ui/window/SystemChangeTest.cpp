// Changes of the system's state reach every top-level and message-only window: the screens, the settings and
// the visual styles, each from where the change comes.
#include "WindowTestSupport.h"

#include "platform/ui/SysTables.h"
#include "platform/ui/VisualStyles.h"

#include <functional>

namespace ovrel::ui::test {
namespace {

struct ChangeCase {
    const char* Name;
    std::function<void(FixedScreens& screens, RecordingVisualStyles& styles)> Change;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

class SystemChangeTest : public WindowTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(SystemChangeTest, ReachesTopLevelAndHiddenWindowsOnce)
{
    const ChangeCase& c = GetParam();
    HWND top = Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 200, 200});
    HWND child = Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
    HWND hidden = Create(0, RECT{}, HWND_MESSAGE);
    FixedScreens screens{{{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 984}, true}}};
    ScopedService<IScreens> screensGuard(SetScreens, screens);
    RecordingVisualStyles styles;
    ScopedService<IVisualStyles> stylesGuard(SetVisualStyles, styles);  // installing tells nobody
    SystemTableOverride keep;
    Rec.Log.clear();

    c.Change(screens, styles);
    for (HWND w : {top, hidden}) {
        SCOPED_TRACE(w == top ? "TopLevel" : "MessageOnly");
        int heard = 0;
        for (const Received& r : Rec.Of(c.Message))
            if (r.Window == w) {
                ++heard;
                EXPECT_EQ(r.WParam, c.WParam);
                EXPECT_EQ(r.LParam, c.LParam);
            }
        EXPECT_EQ(heard, 1);
    }
    for (const Received& r : Rec.Of(c.Message))
        EXPECT_NE(r.Window, child);  // a child hears of it from its top-level window, if at all
}

NONCLIENTMETRICS BiggerMenuFont()
{
    NONCLIENTMETRICS metrics = CurrentSystemTable().NonClientMetrics;
    metrics.lfMenuFont.lfHeight = -16;
    return metrics;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SystemChangeTest,
    ::testing::Values(ChangeCase{"AScreenChanges",
                                 [](FixedScreens& screens, RecordingVisualStyles&) {
                                     screens.SetMonitors(
                                         {{RECT{0, 0, 1600, 900}, RECT{0, 0, 1600, 860}, true},
                                          {RECT{1600, 0, 2880, 1024}, RECT{1600, 0, 2880, 1024}, false}});
                                 },
                                 WM_DISPLAYCHANGE, 32, MAKELPARAM(1600, 900)},
                      ChangeCase{"TheMenuFontChanges",
                                 [](FixedScreens&, RecordingVisualStyles&) {
                                     NONCLIENTMETRICS metrics = BiggerMenuFont();
                                     ASSERT_TRUE(
                                         SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &metrics, SPIF_SENDCHANGE));
                                     EXPECT_EQ(CurrentSystemTable().NonClientMetrics.lfMenuFont.lfHeight, -16);
                                 },
                                 WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0},
                      ChangeCase{"TheThemeChanges",
                                 [](FixedScreens&, RecordingVisualStyles& styles) {
                                     styles.ChangeTheme(FALSE);
                                     EXPECT_FALSE(IsThemed());
                                 },
                                 WM_THEMECHANGED, 0, 0}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(WindowTest, ASettingWrittenWithoutSendChangeTellsNobody)
{
    Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 200, 200});
    SystemTableOverride keep;
    Rec.Log.clear();
    NONCLIENTMETRICS metrics = BiggerMenuFont();
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &metrics, SPIF_UPDATEINIFILE));
    EXPECT_TRUE(Rec.Of(WM_SETTINGCHANGE).empty());
    keep.Table().FailingParameters.insert(SPI_SETNONCLIENTMETRICS);
    EXPECT_FALSE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, 0, &metrics, SPIF_SENDCHANGE));
    EXPECT_TRUE(Rec.Of(WM_SETTINGCHANGE).empty());
}

}  // namespace
}  // namespace ovrel::ui::test
