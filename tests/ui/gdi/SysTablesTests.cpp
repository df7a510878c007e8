// The system table: the classic defaults the program relies on, the RAII override, parameters that fail,
// screen facts, colour brushes that follow the table, and the change notification.

#include "support/GdiTestSupport.h"

#include "platform/ui/SysTables.h"

#include <gtest/gtest.h>

#include <vector>

namespace ovrel::ui {
namespace {

using namespace testing;  // the canvas, colours and helpers of GdiTestSupport.h

TEST(SystemTable, ClassicParametersAndMetrics)
{
    struct Flag {
        const char* Name;
        UINT Action;
        BOOL Expected;
    };
    const Flag flags[] = {
        {"keyboard cues", SPI_GETKEYBOARDCUES, TRUE},         {"flat menus", SPI_GETFLATMENU, FALSE},
        {"menu animation", SPI_GETMENUANIMATION, FALSE},      {"menu fade", SPI_GETMENUFADE, FALSE},
        {"gradient captions", SPI_GETGRADIENTCAPTIONS, TRUE}, {"drop alignment", SPI_GETMENUDROPALIGNMENT, FALSE},
    };
    for (const Flag& f : flags) {
        SCOPED_TRACE(f.Name);
        BOOL value = 7;
        EXPECT_TRUE(SystemParametersInfo(f.Action, 0, &value, 0));
        EXPECT_EQ(value, f.Expected);
    }
    UINT delay = 0;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0));
    EXPECT_EQ(delay, 400u);

    struct Metric {
        int Index;
        int Expected;
    };
    const Metric metrics[] = {{SM_CXVSCROLL, 16},        {SM_CYHSCROLL, 16},   {SM_CXFIXEDFRAME, 3},
                              {SM_CYFIXEDFRAME, 3},      {SM_CXSIZEFRAME, 4},  {SM_CYSIZEFRAME, 4},
                              {SM_MENUDROPALIGNMENT, 0}, {SM_CYSMCAPTION, 16}, {SM_CXMENUCHECK, 13}};
    for (const Metric& m : metrics)
        EXPECT_EQ(GetSystemMetrics(m.Index), m.Expected) << m.Index;
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    EXPECT_EQ(GetSystemMetrics(SystemMetricCount), 0);

    NONCLIENTMETRICS ncm;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_EQ(ncm.lfMenuFont.lfHeight, -11);
    EXPECT_EQ(ncm.lfSmCaptionFont.lfWeight, FW_BOLD);

    EXPECT_FALSE(SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, nullptr, 0));
    UINT unused = 0;
    EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, &unused, 0));
}

TEST(SystemTable, ProfileAndCapabilities)
{
    EXPECT_EQ(GetVersion(), 0x0105u);  // NT 5.1
    const Capabilities& caps = GetCapabilities();
    EXPECT_TRUE(caps.TrackMouseEvent);
    EXPECT_TRUE(caps.MonitorApi);
    EXPECT_FALSE(caps.LayeredPerPixelAlpha);
    EXPECT_FALSE(caps.AlphaBlend);
    EXPECT_FALSE(caps.VisualStyles);
    EXPECT_FALSE(caps.Accessibility);
    {
        SystemTableOverride override;
        override.Table().Profile = SystemProfile{false, 4, 90};
        override.Table().Caps.VisualStyles = true;
        EXPECT_EQ(GetVersion(), 0x80005A04u);
        EXPECT_TRUE(GetCapabilities().VisualStyles);
    }
    EXPECT_EQ(GetVersion(), 0x0105u);
    EXPECT_FALSE(GetCapabilities().VisualStyles);
}

TEST(SystemTable, OverridesNestAndRestoreEverything)
{
    const SystemTable before = CurrentSystemTable();
    {
        SystemTableOverride outer;
        outer.Table().Colors[COLOR_BTNFACE] = RGB(1, 1, 1);
        outer.Table().Metrics[SM_CXVSCROLL] = 20;
        outer.Table().MenuShowDelay = 50;
        {
            SystemTableOverride inner;
            inner.Table().Colors[COLOR_BTNFACE] = RGB(2, 2, 2);
            inner.Table().FlatMenu = TRUE;
            EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(2, 2, 2));
            EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
            BOOL flat = FALSE;
            SystemParametersInfo(SPI_GETFLATMENU, 0, &flat, 0);
            EXPECT_TRUE(flat);
        }
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 1, 1));
        BOOL flat = TRUE;
        SystemParametersInfo(SPI_GETFLATMENU, 0, &flat, 0);
        EXPECT_FALSE(flat);
        UINT delay = 0;
        SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
        EXPECT_EQ(delay, 50u);
    }
    EXPECT_EQ(CurrentSystemTable().Colors, before.Colors);
    EXPECT_EQ(CurrentSystemTable().Metrics, before.Metrics);
    EXPECT_EQ(CurrentSystemTable().MenuShowDelay, before.MenuShowDelay);
}

TEST(SystemTable, DropAlignmentAnswersTheMetricAndTheParameterAlike)
{
    SystemTableOverride override;
    override.Table().MenuDropAlignment = TRUE;
    BOOL right = FALSE;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETMENUDROPALIGNMENT, 0, &right, 0));
    EXPECT_TRUE(right);
    EXPECT_EQ(GetSystemMetrics(SM_MENUDROPALIGNMENT), 1);
}

TEST(SystemTable, ParametersCanBeMadeToFail)
{
    SystemTableOverride override;
    override.Table().FailingParameters = {SPI_GETMENUSHOWDELAY, SPI_GETNONCLIENTMETRICS};
    UINT delay = 123;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0));
    EXPECT_EQ(delay, 123u);  // untouched, so the caller's fallback stands
    NONCLIENTMETRICS ncm;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    BOOL cues = FALSE;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &cues, 0));
}

TEST(SystemTable, ScreenFactsFeedMetricsAndTheWorkArea)
{
    ScreenFacts facts;
    facts.Primary = RECT{0, 0, 1600, 900};
    facts.PrimaryWork = RECT{0, 0, 1600, 860};
    facts.Virtual = RECT{-1280, 0, 1600, 1024};
    facts.MonitorCount = 2;
    {
        SystemTableOverride override;
        override.SetScreenFacts(facts);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1600);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 900);
        EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
        EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -1280);
        EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2880);
        RECT work;
        EXPECT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
        EXPECT_EQ(work, facts.PrimaryWork);
        HDC screen = CreateScreenDC();
        EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1600);
        DeleteImageDC(screen);
        // A pinned metric wins over the screens.
        override.Table().Metrics[SM_CXSCREEN] = 777;
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 777);
    }
    // The override ends: back to whatever the screens say, and at least one monitor.
    EXPECT_NE(GetSystemMetrics(SM_CXSCREEN), 777);
    EXPECT_GE(GetSystemMetrics(SM_CMONITORS), 1);
}

TEST(SystemTable, ColourBrushesFollowTheTableAndSetSysColorsNotifies)
{
    std::vector<std::pair<UINT, WPARAM>> notices;
    SetSystemChangeHandler([&](UINT message, WPARAM wParam, LPARAM) { notices.emplace_back(message, wParam); });
    const COLORREF original = GetSysColor(COLOR_WINDOW);
    {
        SystemTableOverride override;
        const int indices[] = {COLOR_WINDOW, 999};  // an unknown index is skipped
        const COLORREF colours[] = {RGB(9, 8, 7), RGB(1, 1, 1)};
        EXPECT_TRUE(SetSysColors(2, indices, colours));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].first, 0x0015u);  // WM_SYSCOLORCHANGE
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(9, 8, 7));

        Canvas canvas(2, 2);
        const RECT r{0, 0, 2, 2};
        FillRect(canvas.Dc(), &r, GetSysColorBrush(COLOR_WINDOW));
        EXPECT_EQ(canvas.At(1, 1), RGB(9, 8, 7));
        LOGBRUSH log;
        ASSERT_TRUE(GetObject(GetSysColorBrush(COLOR_WINDOW), log));
        EXPECT_EQ(log.lbColor, RGB(9, 8, 7));
    }
    SetSystemChangeHandler({});
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), original);
    LOGBRUSH log;
    GetObject(GetSysColorBrush(COLOR_WINDOW), log);
    EXPECT_EQ(log.lbColor, original);
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), GetSysColorBrush(COLOR_WINDOW));  // one shared brush
    EXPECT_EQ(GetSysColor(SysColorCount), 0u);
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_FALSE(SetSysColors(1, nullptr, nullptr));
}

}  // namespace
}  // namespace ovrel::ui
