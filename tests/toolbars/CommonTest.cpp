// The shared helpers: caption text, settings and their fallbacks, monitors, lists, vertical text, drag
// frames, the queue helpers and WM_PRINT emulation.
#include "toolbars/Common.h"

#include "ToolbarsTestSupport.h"

#include "platform/ui/Messages.h"
#include "platform/ui/RegistryValues.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::ui;
using testing::MemoryCanvas;
using testing::WindowFixture;

// ---- Caption text -----------------------------------------------------------------------------------------

struct CaptionRow {
    const char* name;
    std::string text;
    char32_t accel;
    std::string stripped;
    std::string escaped;
    std::string trimmed;  // StripTrailingPunctuation
};

class CaptionText : public ::testing::TestWithParam<CaptionRow> {};

TEST_P(CaptionText, AccelCharStripEscapeAndTrailingPunctuation)
{
    const CaptionRow& row = GetParam();
    EXPECT_EQ(FindAccelChar(row.text), row.accel);
    EXPECT_EQ(StripAccelChars(row.text), row.stripped);
    EXPECT_EQ(EscapeAmpersands(row.text), row.escaped);
    EXPECT_EQ(StripTrailingPunctuation(row.text), row.trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CaptionText,
    ::testing::Values(
        CaptionRow{"Plain", "Save &As", U'A', "Save As", "Save &&As", "Save &As"},
        CaptionRow{"EscapedThenSingle", "Fish && &Chips", U'C', "Fish  Chips", "Fish &&&& &&Chips", "Fish && &Chips"},
        CaptionRow{"OnlyEscaped", "A&&B", 0, "AB", "A&&&&B", "A&&B"},
        CaptionRow{"TrailingAmpersand", "Open&", 0, "Open", "Open&&", "Open&"},
        CaptionRow{"LastSingleWins", "&File &Edit", U'E', "File Edit", "&&File &&Edit", "&File &Edit"},
        CaptionRow{"TrailingAfterASingle", "&Save&", U'S', "Save", "&&Save&&", "&Save&"},
        CaptionRow{"ThreeAmpersands", "&&&C", U'C', "C", "&&&&&&C", "&&&C"},
        CaptionRow{"Ellipsis", "&Open...", U'O', "Open...", "&&Open...", "&Open"},
        CaptionRow{"Colon", "Name:", 0, "Name:", "Name:", "Name"}, CaptionRow{"LoneColon", ":", 0, ":", ":", ":"},
        CaptionRow{"LoneEllipsis", "...", 0, "...", "...", "..."},
        CaptionRow{"MultiByteAccel", "&\xC3\x84ndern", U'\u00C4', "\xC3\x84ndern", "&&\xC3\x84ndern", "&\xC3\x84ndern"},
        CaptionRow{"AccelAfterMultiByte",
                   "Gr\xC3\xB6&\xC3\x9F"
                   "e:",
                   U'\u00DF',
                   "Gr\xC3\xB6\xC3\x9F"
                   "e:",
                   "Gr\xC3\xB6&&\xC3\x9F"
                   "e:",
                   "Gr\xC3\xB6&\xC3\x9F"
                   "e"},
        CaptionRow{"FourByteAccel", "&\xF0\x9F\x98\x80 Smile", U'\U0001F600', "\xF0\x9F\x98\x80 Smile",
                   "&&\xF0\x9F\x98\x80 Smile", "&\xF0\x9F\x98\x80 Smile"},
        // A sequence cut short at the end is one character, not read past.
        CaptionRow{"TruncatedAtEnd", "A&\xE2\x82", U'\uFFFD', "A\xE2\x82", "A&&\xE2\x82", "A&\xE2\x82"},
        // A broken lead byte does not swallow the '&' after it.
        CaptionRow{"BrokenLeadBeforeAmpersand", "\xC3&x", U'x', "\xC3x", "\xC3&&x", "\xC3&x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptionText, CharactersAreWholeSequencesAndACutSequenceEndsAtTheText)
{
    const std::string text = "a\xC3\xA9\xE2\x82";  // a, é, then a three-byte sequence with one byte missing
    EXPECT_EQ(CharLengthAt(text, 0), 1u);
    EXPECT_EQ(CharLengthAt(text, 1), 2u);
    EXPECT_EQ(CharLengthAt(text, 3), 2u);
    EXPECT_EQ(CodePointAt(text, 1), U'\u00E9');
    EXPECT_EQ(CodePointAt(text, 3), U'\uFFFD');
}

TEST(Numbers, DivRoundUpRoundsOnlyARemainderUp)
{
    EXPECT_EQ(DivRoundUp(7, 3), 3);
    EXPECT_EQ(DivRoundUp(6, 3), 2);
    EXPECT_EQ(DivRoundUp(0, 5), 0);
    EXPECT_EQ(DivRoundUp(1, 5), 1);
}

TEST(Lists, SortWithContextPassesTheContextAndKeepsEqualItemsInOrder)
{
    struct Entry {
        int Key;
        char Name;
    };
    std::vector<Entry> entries{{2, 'a'}, {1, 'b'}, {2, 'c'}, {0, 'd'}, {1, 'e'}};
    toolkit::TList list;
    for (Entry& e : entries)
        list.Add(&e);
    int descending = -1;
    SortListWithContext(
        list,
        [](void* a, void* b, void* context) {
            const int direction = *static_cast<int*>(context);
            return direction * (static_cast<Entry*>(a)->Key - static_cast<Entry*>(b)->Key);
        },
        &descending);
    std::string order;
    for (int i = 0; i < list.GetCount(); ++i)
        order += static_cast<Entry*>(list.Get(i))->Name;
    EXPECT_EQ(order, "acbed");

    toolkit::TList single;
    single.Add(&entries[0]);
    int calls = 0;
    SortListWithContext(
        single, [](void*, void*, void* c) { return ++*static_cast<int*>(c), 0; }, &calls);
    EXPECT_EQ(calls, 0);
}

TEST(Lists, AddAndRemoveKeepOneEntryPerItem)
{
    int a = 0;
    int b = 0;
    std::vector<int*> list;
    EXPECT_TRUE(AddToList(list, &a));
    EXPECT_FALSE(AddToList(list, &a));
    EXPECT_TRUE(AddToFrontOfList(list, &b));
    EXPECT_FALSE(AddToFrontOfList(list, &a));
    EXPECT_EQ(list, (std::vector<int*>{&b, &a}));
    RemoveFromList(list, &b);
    RemoveFromList(list, &b);
    EXPECT_EQ(list, (std::vector<int*>{&a}));
}

// ---- Settings and their fallbacks -------------------------------------------------------------------------

struct SettingsRow {
    const char* name;
    SystemProfile profile{};
    bool parameterFails = false;
    UINT systemDelay = 400;
    enum class Registry { Missing, Text, OtherType } registry = Registry::Missing;
    std::string registryText;
    int delay = 0;
};

class MenuShowDelay : public ::testing::TestWithParam<SettingsRow> {};

TEST_P(MenuShowDelay, ComesFromTheSystemElseTheRegistryWithItsDefaults)
{
    const SettingsRow& row = GetParam();
    SystemTableOverride table;
    table.Table().Profile = row.profile;
    table.Table().MenuShowDelay = row.systemDelay;
    if (row.parameterFails)
        table.Table().FailingParameters.insert(SPI_GETMENUSHOWDELAY);
    FakeRegistryValues registry;
    if (row.registry == SettingsRow::Registry::Text)
        registry.SetString("Control Panel\\Desktop", "MenuShowDelay", row.registryText);
    else if (row.registry == SettingsRow::Registry::OtherType)
        registry.SetOtherType("Control Panel\\Desktop", "MenuShowDelay");
    ScopedService<IRegistryValues> installed(SetRegistryValues, registry);
    EXPECT_EQ(GetMenuShowDelay(), row.delay);
}

using R = SettingsRow::Registry;
INSTANTIATE_TEST_SUITE_P(
    Rows, MenuShowDelay,
    ::testing::Values(SettingsRow{"OldPlatform", {true, 3, 51}, false, 250, R::Text, "100", 400},
                      SettingsRow{"FromTheSystem", {}, false, 250, R::Text, "100", 250},
                      SettingsRow{"NegativeFromTheSystem", {}, false, static_cast<UINT>(-5), R::Missing, "", 0},
                      SettingsRow{"RegistryMissing", {}, true, 250, R::Missing, "", 400},
                      SettingsRow{"RegistryNumber", {}, true, 250, R::Text, "300", 300},
                      SettingsRow{"RegistryNegative", {}, true, 250, R::Text, "-20", 0},
                      SettingsRow{"RegistryNotANumber", {}, true, 250, R::Text, "soon", 0},
                      SettingsRow{"RegistryOtherType", {}, true, 250, R::OtherType, "", 0},
                      SettingsRow{"RegistryTooLong", {}, true, 250, R::Text, std::string(40, '1'), 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct SoundRow {
    const char* name;
    SystemProfile profile{};
    enum class Value { Missing, Text, OtherType } value = Value::Missing;
    std::string text;
    bool enabled = false;
};

class MenuSound : public ::testing::TestWithParam<SoundRow> {};

TEST_P(MenuSound, IsOnForANonEmptyOrLongValue)
{
    const SoundRow& row = GetParam();
    SystemTableOverride table;
    table.Table().Profile = row.profile;
    FakeRegistryValues registry;
    const char* key = "AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current";
    if (row.value == SoundRow::Value::Text)
        registry.SetString(key, "", row.text);
    else if (row.value == SoundRow::Value::OtherType)
        registry.SetOtherType(key, "");
    ScopedService<IRegistryValues> installed(SetRegistryValues, registry);
    EXPECT_EQ(IsMenuSoundEnabled("MenuPopup"), row.enabled);
    EXPECT_FALSE(IsMenuSoundEnabled("MenuCommand")) << "another event's key";
}

using V = SoundRow::Value;
INSTANTIATE_TEST_SUITE_P(Rows, MenuSound,
                         ::testing::Values(SoundRow{"Missing", {}, V::Missing, "", false},
                                           SoundRow{"Empty", {}, V::Text, "", false},
                                           SoundRow{"Short", {}, V::Text, "ding", true},
                                           SoundRow{"LongerThanTheBuffer", {}, V::Text, "chimes.wav", true},
                                           SoundRow{"OtherType", {}, V::OtherType, "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MenuSound, IsAlwaysOnWhereThePlatformHasNoSoundEvents)
{
    SystemTableOverride table;
    table.Table().Profile = SystemProfile{true, 4, 0};
    EXPECT_TRUE(IsMenuSoundEnabled("MenuPopup"));
    table.Table().Profile = SystemProfile{false, 4, 10};
    EXPECT_TRUE(IsMenuSoundEnabled("MenuPopup"));
}

TEST(MenuSettings, FlatMenusAndUnderlinesFollowTheSystemWithTheirFallbacks)
{
    SystemTableOverride table;
    SystemTable& t = table.Table();
    EXPECT_FALSE(AreFlatMenusEnabled());
    t.FlatMenu = TRUE;
    EXPECT_TRUE(AreFlatMenusEnabled());
    t.Profile = SystemProfile{true, 5, 0};
    EXPECT_FALSE(AreFlatMenusEnabled()) << "before 5.1";
    t.Profile = SystemProfile{};
    t.FailingParameters.insert(SPI_GETFLATMENU);
    EXPECT_FALSE(AreFlatMenusEnabled());

    EXPECT_TRUE(AlwaysShowAccelerators());
    t.KeyboardCues = FALSE;
    EXPECT_FALSE(AlwaysShowAccelerators());
    t.FailingParameters.insert(SPI_GETKEYBOARDCUES);
    EXPECT_TRUE(AlwaysShowAccelerators());
    t.FailingParameters.clear();
    t.Profile = SystemProfile{true, 4, 0};
    EXPECT_TRUE(AlwaysShowAccelerators());
}

// ---- Monitors ---------------------------------------------------------------------------------------------

class Monitors : public ::testing::Test {
protected:
    Monitors()
    {
        FTable.SetScreenFacts(ScreenFacts{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}, RECT{0, 0, 2304, 1024}, 2});
    }
    SystemTableOverride FTable;
    FixedScreens FScreens{{MonitorRects{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}, true},
                           MonitorRects{RECT{1024, 0, 2304, 1024}, RECT{1024, 30, 2304, 1024}, false}}};
    ScopedService<IScreens> FInstalled{SetScreens, FScreens};
};

TEST_F(Monitors, ARectOrPointGetsItsNearestMonitorWholeOrItsWorkArea)
{
    EXPECT_TRUE(UsingMultipleMonitors());
    EXPECT_EQ(GetRectOfMonitorContainingRect(RECT{1500, 100, 1600, 200}, false), (RECT{1024, 0, 2304, 1024}));
    EXPECT_EQ(GetRectOfMonitorContainingRect(RECT{1500, 100, 1600, 200}, true), (RECT{1024, 30, 2304, 1024}));
    EXPECT_EQ(GetRectOfMonitorContainingPoint(POINT{5000, 500}, false), (RECT{1024, 0, 2304, 1024}));
    EXPECT_EQ(GetRectOfMonitorContainingPoint(POINT{10, 10}, true), (RECT{0, 0, 1024, 740}));
}

TEST_F(Monitors, WithoutTheMonitorFunctionsOrASecondMonitorThePrimaryScreenServes)
{
    FTable.Table().Caps.MonitorApi = false;
    EXPECT_EQ(GetRectOfMonitorContainingPoint(POINT{1500, 100}, true), (RECT{0, 0, 1024, 740}));
    FTable.Table().Caps.MonitorApi = true;
    FTable.SetScreenFacts(ScreenFacts{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}, RECT{0, 0, 1024, 768}, 1});
    EXPECT_FALSE(UsingMultipleMonitors());
    EXPECT_EQ(GetRectOfMonitorContainingRect(RECT{1500, 100, 1600, 200}, false), (RECT{0, 0, 1024, 768}));
    FTable.Table().FailingParameters.insert(SPI_GETWORKAREA);
    EXPECT_EQ(GetPrimaryScreenRect(true), (RECT{0, 0, 1024, 768})) << "no work area: the whole screen";
}

// ---- Vertical text ----------------------------------------------------------------------------------------

class RecordingPainter final : public TVerticalTextPainter {
public:
    using TVerticalTextPainter::TVerticalTextPainter;
    struct Output {
        int X;
        int Y;
        std::string Text;
        UINT Align;
    };
    struct Line {
        int X;
        int Y1;
        int Y2;
    };
    void TextOut(int x, int y, std::string_view text) override
    {
        Texts.push_back({x, y, std::string(text), GetTextAlign(GetDC())});
        TVerticalTextPainter::TextOut(x, y, text);
    }
    void Underline(int x, int y1, int y2) override
    {
        Lines.push_back({x, y1, y2});
        TVerticalTextPainter::Underline(x, y1, y2);
    }
    std::vector<Output> Texts;
    std::vector<Line> Lines;
};

class VerticalText : public ::testing::Test {
protected:
    VerticalText()
    {
        FFont.SetName("Tahoma");
        FFont.SetHeight(-11);
        FOldFont = SelectObject(FCanvas.Dc(), FFont.GetHandle());
        FCanvas.Image().fill(Qt::white);
        HFONT vertical = CreateVerticalFont(FCanvas.Dc());
        HGDIOBJ old = SelectObject(FCanvas.Dc(), vertical);
        TEXTMETRIC metrics;
        GetTextMetrics(FCanvas.Dc(), &metrics);
        FTextHeight = metrics.tmHeight;
        FDescent = metrics.tmDescent;
        FMeasure = [this, vertical](std::string_view text) {
            HGDIOBJ previous = SelectObject(FCanvas.Dc(), vertical);
            SIZE size;
            GetTextExtentPoint32(FCanvas.Dc(), text, &size);
            SelectObject(FCanvas.Dc(), previous);
            return static_cast<int>(size.cx);
        };
        FVertical = vertical;
        SelectObject(FCanvas.Dc(), old);
    }
    ~VerticalText() override
    {
        SelectObject(FCanvas.Dc(), FOldFont);
        DeleteObject(FVertical);
    }
    int Width(std::string_view text) const { return FMeasure(text); }

    MemoryCanvas FCanvas{120, 240};
    toolkit::TFont FFont;
    HGDIOBJ FOldFont = nullptr;
    HFONT FVertical = nullptr;
    int FTextHeight = 0;
    int FDescent = 0;
    std::function<int(std::string_view)> FMeasure;
};

TEST_F(VerticalText, TheFontRunsDownwardsInTheSameSize)
{
    FFont.SetName("MS Sans Serif");
    SelectObject(FCanvas.Dc(), FFont.GetHandle());
    HFONT vertical = CreateVerticalFont(FCanvas.Dc());
    LOGFONT made;
    ASSERT_TRUE(GetObject(vertical, made));
    EXPECT_EQ(made.lfEscapement, 2700);
    EXPECT_EQ(made.lfOrientation, 2700);
    EXPECT_EQ(made.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    EXPECT_EQ(made.lfFaceName, "Arial");
    EXPECT_EQ(made.lfHeight, -11);
    DeleteObject(vertical);
}

TEST_F(VerticalText, IsCentredWithTheAcceleratorUnderlinedBesideIt)
{
    RecordingPainter painter(FCanvas.Dc());
    const RECT rect{10, 20, 40, 220};
    DrawVerticalText(painter, "Save &As", rect, DT_CENTER);
    ASSERT_EQ(painter.Texts.size(), 1u);
    const RecordingPainter::Output& out = painter.Texts[0];
    EXPECT_EQ(out.Text, "Save As");
    EXPECT_EQ(out.Align, TA_BOTTOM);
    EXPECT_EQ(out.X, 10 + (30 - FTextHeight) / 2);
    EXPECT_EQ(out.Y, 20 + (200 - Width("Save As")) / 2);
    ASSERT_EQ(painter.Lines.size(), 1u);
    EXPECT_EQ(painter.Lines[0].X, out.X + FDescent - 2);
    EXPECT_EQ(painter.Lines[0].Y1, out.Y + Width("Save "));
    EXPECT_EQ(painter.Lines[0].Y2, out.Y + Width("Save ") + Width("A"));
    EXPECT_EQ(GetTextAlign(FCanvas.Dc()), TA_TOP) << "alignment restored";
}

struct PrefixRow {
    const char* name;
    const char* caption;
    UINT format;
    const char* drawn;
    bool underlined;
};

class VerticalTextPrefixes : public VerticalText, public ::testing::WithParamInterface<PrefixRow> {};

TEST_P(VerticalTextPrefixes, AmpersandsFollowTheFormat)
{
    const PrefixRow& row = GetParam();
    RecordingPainter painter(FCanvas.Dc());
    DrawVerticalText(painter, row.caption, RECT{0, 0, 30, 200}, row.format);
    ASSERT_EQ(painter.Texts.size(), 1u);
    EXPECT_EQ(painter.Texts[0].Text, row.drawn);
    EXPECT_EQ(painter.Texts[0].Y, 0) << "without DT_CENTER the text starts at the top";
    EXPECT_EQ(painter.Lines.size(), row.underlined ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, VerticalTextPrefixes,
                         ::testing::Values(PrefixRow{"Escaped", "A&&B", 0, "A&B", false},
                                           PrefixRow{"NoPrefix", "A&B", DT_NOPREFIX, "A&B", false},
                                           PrefixRow{"HidePrefix", "&Save", DT_HIDEPREFIX, "Save", false},
                                           PrefixRow{"Underlined", "&Save", 0, "Save", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VerticalText, AnEllipsisDropsWholeCharactersUntilTheTextFits)
{
    RecordingPainter painter(FCanvas.Dc());
    DrawVerticalText(painter, "Properties", RECT{0, 0, 30, 2}, DT_END_ELLIPSIS);
    ASSERT_EQ(painter.Texts.size(), 1u);
    EXPECT_EQ(painter.Texts[0].Text, "P...") << "under 3 pixels only the first character is left";

    const std::string caption = "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC&\xC3\x9F";  // ÄÖÜäöü&ß
    const int height = Width("\xC3\x84\xC3\x96\xC3\x9C...") + 1;
    painter.Texts.clear();
    DrawVerticalText(painter, caption, RECT{0, 0, 30, height}, DT_END_ELLIPSIS);
    ASSERT_EQ(painter.Texts.size(), 1u);
    EXPECT_EQ(painter.Texts[0].Text, "\xC3\x84\xC3\x96\xC3\x9C...");
    EXPECT_TRUE(painter.Lines.empty()) << "the underlined character was dropped";
}

TEST_F(VerticalText, DrawsOnlyInsideItsRectangleUnlessToldNotToClip)
{
    const QImage before = FCanvas.Image().copy();
    DrawVerticalText(FCanvas.Dc(), "A very long caption indeed", RECT{40, 20, 70, 60}, 0);
    const QImage& after = FCanvas.Image();
    int inside = 0;
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) == before.pixel(x, y))
                continue;
            ASSERT_TRUE(x >= 40 && x < 70 && y >= 20 && y < 60) << x << "," << y;
            ++inside;
        }
    }
    EXPECT_GT(inside, 0);
    DrawVerticalText(FCanvas.Dc(), "A very long caption indeed", RECT{40, 20, 70, 60}, DT_NOCLIP);
    EXPECT_GT(FCanvas.CountChanged(before), inside) << "the rest of the caption below the rectangle";
    EXPECT_EQ(GetCurrentObject(FCanvas.Dc(), OBJ_FONT), FFont.GetHandle()) << "the DC's own font is back";
}

TEST_F(VerticalText, AnEmptyCaptionDrawsNothing)
{
    RecordingPainter painter(FCanvas.Dc());
    DrawVerticalText(painter, "", RECT{0, 0, 30, 200}, DT_CENTER);
    EXPECT_TRUE(painter.Texts.empty());
}

// ---- Drag frames ------------------------------------------------------------------------------------------

int FrameArea(const RECT& r, SIZE s)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    return w * h - std::max(0, w - 2 * s.cx) * std::max(0, h - 2 * s.cy);
}

TEST(DragFrames, DrawingThenErasingRestoresEveryPixel)
{
    MemoryCanvas canvas(80, 60);
    canvas.FillDistinct();
    const QImage original = canvas.Image().copy();
    const RECT r{10, 8, 50, 40};
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    DrawInvertFrame(canvas.Dc(), &r, nullptr, brush, nullptr, SIZE{3, 2}, SIZE{});
    EXPECT_EQ(canvas.CountChanged(original), FrameArea(r, SIZE{3, 2}));
    EXPECT_EQ(canvas.Image().pixel(30, 20), original.pixel(30, 20)) << "the inside stays";
    DrawInvertFrame(canvas.Dc(), nullptr, &r, brush, nullptr, SIZE{}, SIZE{3, 2});
    EXPECT_EQ(canvas.CountChanged(original), 0);

    DrawHalftoneDragRect(canvas.Dc(), &r, nullptr, SIZE{4, 4}, SIZE{});
    EXPECT_EQ(canvas.CountChanged(original), FrameArea(r, SIZE{4, 4}) / 2) << "every other pixel";
    DrawHalftoneDragRect(canvas.Dc(), nullptr, &r, SIZE{}, SIZE{4, 4});
    EXPECT_EQ(canvas.CountChanged(original), 0);
    DeleteObject(brush);
}

TEST(DragFrames, MovingAFrameEqualsErasingTheOldAndDrawingTheNew)
{
    const RECT oldRect{5, 5, 45, 35};
    const RECT newRect{12, 9, 60, 50};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    for (HBRUSH oldBrush : {white, grey}) {
        SCOPED_TRACE(oldBrush == white ? "same brush" : "different brushes");
        MemoryCanvas moved(80, 60);
        MemoryCanvas redrawn(80, 60);
        moved.FillDistinct();
        redrawn.FillDistinct();
        DrawInvertFrame(moved.Dc(), &oldRect, nullptr, oldBrush, nullptr, SIZE{2, 2}, SIZE{});
        DrawInvertFrame(moved.Dc(), &newRect, &oldRect, white, oldBrush, SIZE{3, 3}, SIZE{2, 2});
        DrawInvertFrame(redrawn.Dc(), &oldRect, nullptr, oldBrush, nullptr, SIZE{2, 2}, SIZE{});
        DrawInvertFrame(redrawn.Dc(), nullptr, &oldRect, oldBrush, nullptr, SIZE{}, SIZE{2, 2});
        DrawInvertFrame(redrawn.Dc(), &newRect, nullptr, white, nullptr, SIZE{3, 3}, SIZE{});
        EXPECT_EQ(moved.CountChanged(redrawn.Image()), 0);
    }
    DeleteObject(white);
    DeleteObject(grey);
}

// ---- Queue helpers, non-client clip and WM_PRINT ----------------------------------------------------------

class QueueHelpers : public WindowFixture {
protected:
    std::vector<UINT> Seen;  // outlives the windows, whose procedures write here
};

TEST_F(QueueHelpers, PendingPaintsAreDispatchedAndNothingElse)
{
    HWND window = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr,
                         [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                             Seen.push_back(m);
                             return DefWindowProc(w, m, wp, lp);
                         });
    Pump();
    Seen.clear();
    InvalidateRect(window, nullptr, FALSE);
    PostMessage(window, WM_USER, 0, 0);
    DispatchPendingPaintMessages();
    EXPECT_NE(std::find(Seen.begin(), Seen.end(), WM_PAINT), Seen.end());
    EXPECT_EQ(std::find(Seen.begin(), Seen.end(), WM_USER), Seen.end());
    MSG msg;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(QueueHelpers, RemovingMessagesPutsAQuitBackAndStopsThere)
{
    HWND window = Create(WS_POPUP, RECT{0, 0, 50, 50}, nullptr, DefWindowProc);
    PostMessage(window, WM_CHAR, 'a', 0);
    PostMessage(window, WM_USER, 0, 0);
    RemovePendingMessages(WM_KEYFIRST, WM_KEYLAST);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));

    PostMessage(window, WM_CHAR, 'b', 0);
    PostQuitMessage(7);
    RemovePendingMessages(WM_QUIT, WM_KEYLAST);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(QueueHelpers, ANonClientRegionClipsInWindowCoordinates)
{
    HWND window = Create(WS_POPUP, RECT{100, 50, 160, 90}, nullptr, DefWindowProc);
    MemoryCanvas canvas(60, 40);
    HRGN region = CreateRectRgn(110, 60, 120, 75);
    ClipToNonClientUpdateRegion(window, canvas.Dc(), region);
    RECT box;
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box, (RECT{10, 10, 20, 25}));
    SelectClipRgn(canvas.Dc(), nullptr);
    ClipToNonClientUpdateRegion(window, canvas.Dc(), reinterpret_cast<HRGN>(1));
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box, (RECT{0, 0, 60, 40})) << "region 1: the whole frame";
    DeleteObject(region);
}

class PrintEmulation : public WindowFixture {
protected:
    struct Call {
        std::string Who;
        UINT Message;
        LPARAM Flags;
        POINT Origin;
    };
    WNDPROC Logging(std::string who)
    {
        return [this, who](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_PRINT || m == WM_PRINTCLIENT || m == WM_ERASEBKGND) {
                POINT origin;
                GetViewportOrgEx(reinterpret_cast<HDC>(wp), &origin);
                Calls.push_back({who, m, m == WM_ERASEBKGND ? 0 : lp, origin});
                return 0;
            }
            return DefWindowProc(w, m, wp, lp);
        };
    }
    std::vector<Call> Calls;
};

TEST_F(PrintEmulation, FrameBackgroundClientThenChildrenBottomFirstThenOwnedWindows)
{
    HWND window = Create(WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{100, 100, 300, 250}, nullptr, Logging("window"));
    Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 50, 30}, window, Logging("lower"));
    Create(WS_CHILD | WS_VISIBLE, RECT{60, 10, 90, 30}, window, Logging("upper"));
    Create(WS_CHILD, RECT{5, 5, 9, 9}, window, Logging("hidden child"));
    HWND owned = Create(WS_POPUP | WS_VISIBLE, RECT{150, 130, 200, 160}, nullptr, Logging("owned"));
    SetWindowLongPtr(owned, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(window));

    POINT client{0, 0};
    ClientToScreen(window, &client);
    const POINT inset{client.x - 100, client.y - 100};
    MemoryCanvas canvas(200, 150);
    std::vector<POINT> frameOrigins;
    const LPARAM flags = PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN | PRF_OWNED;
    toolkit::TMessage message{WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), flags, 0};
    EmulatePrintMessage(window, message, [&frameOrigins](HWND, HDC dc) {
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        frameOrigins.push_back(origin);
    });
    EXPECT_EQ(message.Result, 1);
    EXPECT_EQ(frameOrigins, (std::vector<POINT>{{0, 0}}));
    ASSERT_EQ(Calls.size(), 5u);
    const auto expect = [&](std::size_t i, const char* who, UINT msg, LPARAM f, POINT origin) {
        SCOPED_TRACE(who);
        EXPECT_EQ(Calls[i].Who, who);
        EXPECT_EQ(Calls[i].Message, msg);
        EXPECT_EQ(Calls[i].Flags, f);
        EXPECT_EQ(Calls[i].Origin, origin);
    };
    expect(0, "window", WM_ERASEBKGND, 0, inset);
    expect(1, "window", WM_PRINTCLIENT, flags, inset);
    expect(2, "lower", WM_PRINT, 0x1E, POINT{inset.x + 10, inset.y + 10});
    expect(3, "upper", WM_PRINT, 0x1E, POINT{inset.x + 60, inset.y + 10});
    expect(4, "owned", WM_PRINT, flags, POINT{150 - client.x + inset.x, 130 - client.y + inset.y});
    POINT after;
    GetViewportOrgEx(canvas.Dc(), &after);
    EXPECT_EQ(after, (POINT{0, 0})) << "the DC is given back as it came";
}

TEST_F(PrintEmulation, AHiddenWindowWithCheckVisibleDrawsNothing)
{
    HWND window = Create(WS_POPUP, RECT{0, 0, 40, 40}, nullptr, Logging("window"));
    MemoryCanvas canvas(40, 40);
    bool framed = false;
    toolkit::TMessage message{WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()),
                              PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT, 0};
    EmulatePrintMessage(window, message, [&framed](HWND, HDC) { framed = true; });
    EXPECT_EQ(message.Result, 1);
    EXPECT_FALSE(framed);
    EXPECT_TRUE(Calls.empty());
}

class PaintedControl final : public toolkit::TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        GetCanvas()->GetBrush()->SetColor(toolkit::clRed);
        GetCanvas()->FillRect(RECT{0, 0, 10, 10});
        SetTextColor(GetCanvas()->GetHandle(), RGB(1, 2, 3));
    }
};

TEST_F(QueueHelpers, PrintClientRunsThePaintHandlerOnTheMessagesDc)
{
    PaintedControl control(nullptr);
    control.SetBounds(0, 0, 20, 20);
    MemoryCanvas canvas(20, 20);
    canvas.Image().fill(Qt::white);
    SetTextColor(canvas.Dc(), RGB(9, 9, 9));
    toolkit::TMessage message{WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT, 0};
    PaintForPrintClient(&control, message);
    EXPECT_EQ(canvas.Image().pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.Image().pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(9, 9, 9)) << "the DC's state is restored";
}

TEST(MouseTracking, IsAskedForOnlyWhereThePlatformCanTrack)
{
    SystemTableOverride table;
    table.Table().Caps.TrackMouseEvent = false;
    EXPECT_FALSE(RequestMouseTracking(nullptr, TME_LEAVE));
}

}  // namespace
}  // namespace ovrel::toolbars
