// The registry of themes, the theme manager's notifications and colour state, the nexus, the runtime that
// holds them, and the geometry helpers of the frames. No window is shown.

#include "ThemeTestSupport.h"

#include "themes/DefaultTheme.h"
#include "themes/ThemeUtils.h"

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::Heard;
using testing::RecordingControl;
using testing::RecordingObject;

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no exception)";
}

// A theme that counts its live instances and logs what it hears.
class CountingTheme : public TTBXDefaultTheme {
public:
    CountingTheme(const std::string& name, std::vector<Heard>* log, bool failFirstNotice)
        : TTBXDefaultTheme(name), FLog(log), FFail(failFirstNotice)
    {
        ++Live;
        Last = this;
    }
    ~CountingTheme() override { --Live; }
    void Dispatch(TMessage& message) override
    {
        if (FLog != nullptr)
            FLog->push_back({GetName(), message.Msg, message.WParam});
        if (std::exchange(FFail, false))
            throw Exception("first notice refused");
        TTBXDefaultTheme::Dispatch(message);
    }
    static inline int Live = 0;
    static inline CountingTheme* Last = nullptr;

private:
    std::vector<Heard>* FLog;
    bool FFail;
};

TTBXThemeClass Counting(std::vector<Heard>* log = nullptr, bool failFirstNotice = false)
{
    return [log, failFirstNotice](const std::string& name) {
        return std::make_unique<CountingTheme>(name, log, failFirstNotice);
    };
}

// ---- Registry ---------------------------------------------------------------------------------------------

using ThemeRegistry = testing::ThemeRuntimeTest;

TEST_F(ThemeRegistry, RefusesEmptyEntriesAndNamesPresentInAnyCase)
{
    EXPECT_EQ(MessageOf([] { RegisterTheme("", Counting()); }), "Cannot register theme");
    EXPECT_EQ(MessageOf([] { RegisterTheme("Plain", nullptr); }), "Cannot register theme");
    EXPECT_EQ(MessageOf([] { RegisterTheme("default", Counting()); }), "Theme default is already registered");
    EXPECT_EQ(MessageOf([] { (void)GetTheme("Office"); }), "Unknown theme Office");
    EXPECT_EQ(FindTheme("DEFAULT"), 0);
    EXPECT_EQ(FindTheme("Office"), -1);
}

TEST_F(ThemeRegistry, FreesAnInstanceAtItsLastReleaseOnly)
{
    RegisterTheme("Counting", Counting());
    TTBXTheme* first = GetTheme("counting");
    TTBXTheme* second = GetTheme("Counting");
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->GetName(), "Counting");
    EXPECT_EQ(CountingTheme::Live, 1);
    ReleaseTheme(first);
    EXPECT_EQ(first, second) << "an earlier release keeps the caller's variable";
    EXPECT_EQ(CountingTheme::Live, 1);
    ReleaseTheme(second);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(CountingTheme::Live, 0);
    // The pointer the first caller kept is no instance any more; nil never matches a record.
    EXPECT_EQ(MessageOf([&] { ReleaseTheme(first); }), "Cannot release theme");
    TTBXTheme* none = nullptr;
    EXPECT_EQ(MessageOf([&] { ReleaseTheme(none); }), "Cannot release theme");
    // Acquired again, the theme is made afresh.
    TTBXTheme* again = GetTheme("Counting");
    EXPECT_EQ(CountingTheme::Live, 1);
    ReleaseTheme(again);
}

TEST_F(ThemeRegistry, ObjectsThatAreNoInstanceCannotBeReleased)
{
    CountingTheme stray("Stray", nullptr, false);
    TTBXTheme* pointer = &stray;
    EXPECT_EQ(MessageOf([&] { ReleaseTheme(pointer); }), "Cannot release theme");
    EXPECT_EQ(pointer, &stray);
}

TEST_F(ThemeRegistry, AnInstanceWithoutReferencesCannotBeReleasedAndIsNamed)
{
    // The first notice fails after the instance was stored, before it was counted.
    RegisterTheme("Fragile", Counting(nullptr, true));
    EXPECT_EQ(MessageOf([] { (void)GetTheme("Fragile"); }), "first notice refused");
    TTBXTheme* instance = CountingTheme::Last;
    EXPECT_EQ(MessageOf([&] { ReleaseTheme(instance); }), "Cannot release theme Fragile");
    // Acquiring it counts the stored instance without a second notice; the release then frees it.
    EXPECT_EQ(GetTheme("Fragile"), instance);
    ReleaseTheme(instance);
    EXPECT_EQ(instance, nullptr);
    EXPECT_EQ(CountingTheme::Live, 0);
}

TEST_F(ThemeRegistry, KeepsLongNamesWhole)
{
    const std::string longName(300, 'x');
    RegisterTheme(longName, Counting());
    EXPECT_EQ(MessageOf([&] { RegisterTheme(longName.substr(0, 255), Counting()); }), "(no exception)");
    TTBXTheme* theme = GetTheme(longName);
    EXPECT_EQ(theme->GetName(), longName);
    ReleaseTheme(theme);
}

TEST_F(ThemeRegistry, TellsANewInstanceOnceWhetherTheApplicationIsActive)
{
    std::vector<Heard> log;
    RegisterTheme("Counting", Counting(&log));
    TTBXTheme* theme = GetTheme("Counting");
    TTBXTheme* again = GetTheme("Counting");
    EXPECT_EQ(log, (std::vector<Heard>{{"Counting", WM_TBX_THEMENOTIFY, 1}}));
    ReleaseTheme(again);
    ReleaseTheme(theme);

    log.clear();
    ui::SetApplicationActive(false);
    theme = GetTheme("Counting");
    EXPECT_EQ(log, (std::vector<Heard>{{"Counting", WM_TBX_THEMENOTIFY, 0}}));
    ReleaseTheme(theme);
}

// ---- Manager and nexus ------------------------------------------------------------------------------------

using ThemeNotifications = testing::ThemeRuntimeTest;

TEST_F(ThemeNotifications, SystemChangesReachEveryControlInStepsAfterTheColoursWereRead)
{
    std::vector<Heard> log;
    RecordingControl first("first", log);
    RecordingControl second("second", log);
    GetNexus()->AddNotify(&first);
    GetNexus()->AddNotify(&second);
    GetNexus()->AddNotify(&first);  // listed once
    // What the controls see of the colour state while they hear each step.
    std::vector<std::pair<bool, TColor>> seen;
    first.OnChanged = [&] { seen.push_back({WhiteButtonFace(), Theme().GetViewColor(VT_TOOLBARVIEW)}); };

    const int index = ui::COLOR_BTNFACE;
    const ui::COLORREF white = ui::RGB(255, 255, 255);
    ui::SetSysColors(1, &index, &white);

    const std::vector<Heard> expected{{"first", WM_TBX_THEMECHANGED, 1}, {"second", WM_TBX_THEMECHANGED, 1},
                                      {"first", WM_TBX_THEMECHANGED, 2}, {"second", WM_TBX_THEMECHANGED, 2},
                                      {"first", WM_TBX_THEMECHANGED, 3}, {"second", WM_TBX_THEMECHANGED, 3}};
    EXPECT_EQ(log, expected);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[0].first) << "colours are refreshed before the first step";
    // The theme re-reads its toolbar colour at the second step (it is listed before the nexus).
    for (const auto& [whiteFace, toolbarColor] : seen)
        EXPECT_EQ(ResolveColor(toolbarColor), white);
    GetNexus()->RemoveNotify(&first);
    GetNexus()->RemoveNotify(&second);
}

TEST_F(ThemeNotifications, DisplayAndVisualStyleChangesGiveTheSameThreeSteps)
{
    for (ui::UINT msg : {ui::WM_DISPLAYCHANGE, ui::WM_THEMECHANGED, ui::WM_SYSCOLORCHANGE}) {
        SCOPED_TRACE(msg);
        std::vector<Heard> log;
        RecordingObject listener("listener", log);
        Manager().AddNotify(&listener);
        SendToManager(msg);
        EXPECT_EQ(log, (std::vector<Heard>{{"listener", WM_TBX_THEMENOTIFY, 1},
                                           {"listener", WM_TBX_THEMENOTIFY, 2},
                                           {"listener", WM_TBX_THEMENOTIFY, 3}}));
        Manager().RemoveNotify(&listener);
    }
}

TEST_F(ThemeNotifications, ActivationGivesFourAndDeactivationFive)
{
    std::vector<Heard> log;
    RecordingControl control("control", log);
    GetNexus()->AddNotify(&control);
    ui::SetApplicationActive(false);
    ui::SetApplicationActive(true);
    EXPECT_EQ(log, (std::vector<Heard>{{"control", WM_TBX_THEMECHANGED, 5}, {"control", WM_TBX_THEMECHANGED, 4}}));
    GetNexus()->RemoveNotify(&control);
}

TEST_F(ThemeNotifications, AControlRemovedDuringAChangeIsNotCalledAgain)
{
    std::vector<Heard> log;
    RecordingControl first("first", log);
    auto second = std::make_unique<RecordingControl>("second", log);
    RecordingControl third("third", log);
    for (TControl* c : std::vector<TControl*>{&first, second.get(), &third})
        GetNexus()->AddNotify(c);
    first.OnChanged = [&] {
        if (second) {
            GetNexus()->RemoveNotify(second.get());
            second.reset();
        }
    };
    GetNexus()->Broadcast(WM_TBX_THEMECHANGED, 3, 0);
    EXPECT_EQ(log, (std::vector<Heard>{{"first", WM_TBX_THEMECHANGED, 3}, {"third", WM_TBX_THEMECHANGED, 3}}));
    EXPECT_EQ(GetNexus()->GetNotifies(), (std::vector<TControl*>{&first, &third}));
    GetNexus()->RemoveNotify(&first);
    GetNexus()->RemoveNotify(&third);
}

TEST_F(ThemeNotifications, TheManagerAnswersWithTheLastHandlersResultAndNothingWhenNobodyListens)
{
    std::vector<Heard> log;
    RecordingObject first("first", log);
    RecordingObject second("second", log);
    first.Answer = 7;
    second.Answer = 9;
    TTBXThemeManager& manager = Manager();
    manager.RemoveNotify(GetNexus());
    manager.RemoveNotify(&Theme());
    EXPECT_EQ(manager.Broadcast(WM_TBX_THEMENOTIFY, 4, 0), 0);
    manager.NotifyThemeChange();
    EXPECT_TRUE(log.empty());
    manager.AddNotify(&first);
    manager.AddNotify(&second);
    manager.AddNotify(&first);  // listed once
    EXPECT_EQ(manager.Broadcast(WM_TBX_THEMENOTIFY, 4, 0), 9);
    EXPECT_EQ(log, (std::vector<Heard>{{"first", WM_TBX_THEMENOTIFY, 4}, {"second", WM_TBX_THEMENOTIFY, 4}}));
    manager.RemoveNotify(&first);
    manager.RemoveNotify(&second);
    manager.AddNotify(&Theme());
    manager.AddNotify(GetNexus());
}

// ---- Colour state -----------------------------------------------------------------------------------------

struct FlatMenuCase {
    const char* Name;
    friend void PrintTo(const FlatMenuCase& c, std::ostream* os) { *os << c.Name; }
    ui::BOOL SystemFlat;
    std::uint8_t Style;
    bool FlatMenus;
    TColor Menu;
    TColor MenuText;
};

class FlatMenuTable : public testing::ThemeRuntimeTest, public ::testing::WithParamInterface<FlatMenuCase> {};

TEST_P(FlatMenuTable, ChoosesTheMenuLookFromTheSettingAndTheStyle)
{
    const FlatMenuCase& c = GetParam();
    Table().FlatMenu = c.SystemFlat;
    Manager().SetFlatMenuStyle(c.Style);
    Manager().RefreshColors();
    EXPECT_EQ(FlatMenus(), c.FlatMenus);
    EXPECT_EQ(MenuColor(), c.Menu);
    EXPECT_EQ(MenuTextColor(), c.MenuText);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlatMenuTable,
    ::testing::Values(FlatMenuCase{"OnStyle1TakesTheToolbarColours", ui::TRUE, 1, false, clBtnFace, clBtnText},
                      FlatMenuCase{"OnStyle0", ui::TRUE, 0, true, clMenu, clMenuText},
                      FlatMenuCase{"OnStyle2", ui::TRUE, 2, true, clMenu, clMenuText},
                      FlatMenuCase{"OffStyle2IsFlatInWindowColours", ui::FALSE, 2, true, clWindow, clWindowText},
                      FlatMenuCase{"OffStyle0", ui::FALSE, 0, false, clMenu, clMenuText},
                      FlatMenuCase{"OffStyle1", ui::FALSE, 1, false, clMenu, clMenuText}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ThemeNotifications, FlatMenusNeedAPlatformAboveVersionFiveAndTheSettingToBeReadable)
{
    Table().FlatMenu = ui::TRUE;
    Table().Profile = ui::SystemProfile{true, 5, 0};
    Manager().RefreshColors();
    EXPECT_FALSE(FlatMenus());
    Table().Profile = ui::SystemProfile{true, 5, 1};
    Table().FailingParameters.insert(ui::SPI_GETFLATMENU);
    Manager().RefreshColors();
    EXPECT_FALSE(FlatMenus());
}

TEST_F(ThemeNotifications, OnlyAWhiteButtonFaceMakesPlainColoursOnAFullColourScreen)
{
    EXPECT_FALSE(LowColorDisplay());
    EXPECT_FALSE(PlainColors());
    Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(255, 255, 255);
    Manager().RefreshColors();
    EXPECT_TRUE(WhiteButtonFace());
    EXPECT_TRUE(PlainColors());
    EXPECT_EQ(HotLightColor(), static_cast<TColor>(0x8000001Au));
}

struct VisualStylesCase {
    const char* Name;
    friend void PrintTo(const VisualStylesCase& c, std::ostream* os) { *os << c.Name; }
    ui::SystemProfile Profile;
    bool Enable;
    bool Themed;
    const char* MissingClass;  // or empty
    bool Active;
};

class VisualStylesTable : public testing::ThemeRuntimeTest, public ::testing::WithParamInterface<VisualStylesCase> {};

TEST_P(VisualStylesTable, ComeOnOnlyAboveVersionFiveWhenEnabledThemedAndComplete)
{
    const VisualStylesCase& c = GetParam();
    ui::RecordingVisualStyles styles;
    styles.ThemeActive = c.Themed ? ui::TRUE : ui::FALSE;
    if (*c.MissingClass != '\0')
        styles.Missing.insert(c.MissingClass);
    styles.Colors = {{3802, ui::RGB(1, 2, 3)}, {3803, ui::RGB(4, 5, 6)}};
    ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, styles);
    Table().Profile = c.Profile;
    Manager().SetEnableVisualStyles(c.Enable);
    Manager().RefreshColors();

    EXPECT_EQ(VisualStylesActive(), c.Active);
    EXPECT_EQ(Theme().GetBooleanMetric(5), c.Active);
    EXPECT_EQ(ToolbarFillColor(), c.Active ? static_cast<TColor>(ui::RGB(1, 2, 3)) : clBtnFace);
    EXPECT_EQ(ToolbarTextColor(), c.Active ? static_cast<TColor>(ui::RGB(4, 5, 6)) : clBtnText);
    EXPECT_EQ(GetVisualStyleHandle(TVisualStyleClass::Toolbar) != nullptr, c.Active);
    // Whatever was opened is closed again by a failure or by the next refresh.
    const std::size_t opened = styles.Opened.size();
    EXPECT_EQ(opened, c.Active ? 9u : (*c.MissingClass != '\0' ? 7u : 0u));
    if (!c.Active) {
        EXPECT_EQ(static_cast<std::size_t>(styles.Closed), opened);
    }
    Manager().SetEnableVisualStyles(false);
    Manager().RefreshColors();
    EXPECT_EQ(static_cast<std::size_t>(styles.Closed), opened);
    EXPECT_FALSE(VisualStylesActive());
}

INSTANTIATE_TEST_SUITE_P(Rows, VisualStylesTable,
                         ::testing::Values(VisualStylesCase{"Version51", {true, 5, 1}, true, true, "", true},
                                           VisualStylesCase{"Version60", {true, 6, 0}, true, true, "", true},
                                           VisualStylesCase{"Version50", {true, 5, 0}, true, true, "", false},
                                           VisualStylesCase{"NotNt", {false, 5, 1}, true, true, "", false},
                                           VisualStylesCase{"NotEnabled", {true, 5, 1}, false, true, "", false},
                                           VisualStylesCase{"NotThemed", {true, 5, 1}, true, false, "", false},
                                           VisualStylesCase{
                                               "OneClassMissing", {true, 5, 1}, true, true, "STATUS", false}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ThemeNotifications, WithoutALibraryVisualStylesStayOff)
{
    Manager().RefreshColors();
    EXPECT_FALSE(VisualStylesActive());
    EXPECT_EQ(Theme().GetIntegerMetric(10), 11);
}

// ---- The runtime ------------------------------------------------------------------------------------------

TEST(ThemeRuntime, StartsEverythingAndStopsItInReverseLeavingNothingBehind)
{
    const int objects = ui::GdiObjectCount();
    ui::HWND window = nullptr;
    {
        TThemeRuntime runtime;
        EXPECT_TRUE(TThemeRuntime::Running());
        EXPECT_EQ(FindTheme("Default"), 0);
        ASSERT_NE(CurrentTheme(), nullptr);
        EXPECT_EQ(CurrentTheme()->GetName(), "Default");
        EXPECT_NE(dynamic_cast<TTBXDefaultTheme*>(CurrentTheme()), nullptr);
        ASSERT_NE(GetThemeManager(), nullptr);
        window = GetThemeManager()->GetWindowHandle();
        EXPECT_TRUE(ui::IsWindow(window));
        EXPECT_NE(GetNexus(), nullptr);
        (void)GetThemeWorkObjects().GetSmallCaptionFont()->GetHandle();
        EXPECT_THROW(TThemeRuntime second, EAssertionFailed);
    }
    EXPECT_FALSE(TThemeRuntime::Running());
    EXPECT_EQ(CurrentTheme(), nullptr);
    EXPECT_EQ(GetThemeManager(), nullptr);
    EXPECT_EQ(GetNexus(), nullptr);
    EXPECT_EQ(FindTheme("Default"), -1);
    EXPECT_FALSE(ui::IsWindow(window));
    EXPECT_EQ(ui::GdiObjectCount(), objects);
    // A second run starts afresh.
    TThemeRuntime again;
    EXPECT_EQ(CurrentTheme()->GetName(), "Default");
}

// ---- Geometry ---------------------------------------------------------------------------------------------

TEST(ThemeGeometry, CaptionAndCloseButtonOfAFloatingFrame)
{
    ui::SystemTableOverride table;
    table.Table().Metrics[ui::SM_CYSMCAPTION] = 16;
    TFloatingWindowInfo info;
    info.ClientWidth = 100;
    info.FloatingBorderSize = TPoint{3, 4};
    EXPECT_EQ(GetCaptionRect(info, false, false), Rect(0, 0, 100, 15));
    EXPECT_EQ(GetCaptionRect(info, false, true), Rect(0, 0, 85, 15));
    EXPECT_EQ(GetCaptionRect(info, true, true), Rect(3, 4, 88, 19));
    EXPECT_EQ(GetCloseButtonRect(info, false), Rect(85, 0, 100, 15));
    EXPECT_EQ(GetCloseButtonRect(info, true), Rect(88, 4, 103, 19));
}

struct DragHandleCase {
    const char* Name;
    friend void PrintTo(const DragHandleCase& c, std::ostream* os) { *os << c.Name; }
    bool AllowDrag;
    int Style;
    bool Vertical;
    bool Close;
    int Size;
    TRect CloseButton;  // client width 100, border 2 by 2
};

class DragHandleTable : public ::testing::TestWithParam<DragHandleCase> {};

TEST_P(DragHandleTable, ReservesTheStripByCloseButtonAndStyle)
{
    const DragHandleCase& c = GetParam();
    TFramePaintInfo info;
    info.AllowDrag = c.AllowDrag;
    info.Handle = c.Style;
    info.IsVertical = c.Vertical;
    info.CloseButtonState = c.Close ? CDBS_VISIBLE : 0;
    info.ClientWidth = 100;
    info.BorderSize = TPoint{2, 2};
    EXPECT_EQ(GetDragHandleSize(info), c.Size);
    if (c.Close) {
        EXPECT_EQ(GetToolbarCloseButtonRect(info), c.CloseButton);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DragHandleTable,
    ::testing::Values(DragHandleCase{"NoDrag", false, 0, false, false, 0, {}},
                      DragHandleCase{"Style0", true, 0, false, false, 9, {}},
                      DragHandleCase{"Style1", true, 1, false, false, 0, {}},
                      DragHandleCase{"Style2", true, 2, false, false, 6, {}},
                      // A vertical toolbar without a close button keeps the strip of its style.
                      DragHandleCase{"VerticalStyle0", true, 0, true, false, 9, {}},
                      DragHandleCase{"VerticalStyle2", true, 2, true, false, 6, {}},
                      // A close button takes a 14-pixel strip whatever the side: a 13-pixel button.
                      DragHandleCase{"CloseLeftStrip", true, 2, false, true, 14, Rect(2, 2, 15, 15)},
                      DragHandleCase{"CloseTopStrip", true, 0, true, true, 14, Rect(89, 2, 102, 15)},
                      DragHandleCase{"CloseStyle1", true, 1, false, true, 14, Rect(2, 2, 15, 15)}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace ovrel::themes
