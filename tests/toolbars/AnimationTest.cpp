// Menu animation with a real worker thread over a clock the test moves: levels in steps of 16 with one step
// message outstanding, the steps of a replaced animation ignored, the last step after an outside end, the
// pointer reaching the menu, a worker that cannot start, no time at all, the slide offsets, and a fade that
// becomes a slide where windows cannot be layered. The window captures a picture whose rows differ, so what
// a step drew is read back from pixels.
#include "MenusTestSupport.h"
#include "ToolbarsTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Animation.h"
#include "toolbars/Items.h"
#include "toolkit/SysUtils.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::ui;

constexpr int kWidth = 60;
constexpr int kHeight = 51;
// 255 ms: the level is the elapsed time in milliseconds.
constexpr int kTime = 255;

// A clock the worker may read while the test moves it.
class TSharedClock final : public IClock {
public:
    double Now() override { return 46'000.0; }
    std::uint64_t TickCount() override { return FTicks.load(); }
    std::int64_t PerformanceCounter() override { return static_cast<std::int64_t>(FTicks.load()) * 1000; }
    std::int64_t PerformanceFrequency() override { return 1'000'000; }
    void Set(std::uint64_t milliseconds) { FTicks.store(milliseconds); }

private:
    std::atomic<std::uint64_t> FTicks{0};
};

// Waits in real time for a step message of the worker (for window, when given); whether one came.
bool WaitForStepMessage(HWND window)
{
    MSG msg;
    for (int i = 0; i < 2000; ++i) {
        if (PeekMessage(&msg, window, WM_TB_ANIMSTEP, WM_TB_ANIMSTEP, PM_NOREMOVE))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Row y of the captured picture has red y, green x.
COLORREF PictureAt(int x, int y) { return RGB(y * 4 & 0xFF, x * 4 & 0xFF, 0x80); }

class Animation : public testing::WindowFixture {
protected:
    Animation()
    {
        Window = Create(WS_POPUP, RECT{200, 100, 200 + kWidth, 100 + kHeight}, nullptr,
                        [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return Proc(w, m, wp, lp); });
        SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        EndMenuAnimation(nullptr);
        SetAnimationWorkerStarter(nullptr);
        WindowFixture::TearDown();
    }

    LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        switch (m) {
        case WM_PRINT: {
            auto* dc = reinterpret_cast<HDC>(wp);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    SetPixel(dc, x, y, PictureAt(x, y));
            return 0;
        }
        case WM_TB_ANIMSTEP: {
            const toolkit::TMessage message{m, wp, lp, 0};
            Steps.push_back(static_cast<std::uint32_t>(lp));
            ProcessAnimationStep(w, message);
            return 0;
        }
        case WM_TB_ANIMENDED: ++Ended; return 0;
        default: return DefWindowProc(w, m, wp, lp);
        }
    }

    static bool WaitForStep(HWND window = nullptr) { return WaitForStepMessage(window); }
    // The step messages waiting, taken out without being handled.
    static int DrainSteps()
    {
        int n = 0;
        MSG msg;
        while (PeekMessage(&msg, nullptr, WM_TB_ANIMSTEP, WM_TB_ANIMSTEP, PM_REMOVE))
            ++n;
        return n;
    }
    static void HandleOneStep()
    {
        MSG msg;
        if (PeekMessage(&msg, nullptr, WM_TB_ANIMSTEP, WM_TB_ANIMSTEP, PM_REMOVE))
            DispatchMessage(&msg);
    }

    // Where the picture was drawn in the window (y, x): its first pixel found, less that pixel's place in the
    // picture; none when no pixel of it shows.
    [[nodiscard]] std::optional<std::pair<int, int>> ShownOffset() const
    {
        const QImage& image = *GetWindowImage(Window);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qBlue(p) == 0x80)
                    return std::pair<int, int>{y - qRed(p) / 4, x - qGreen(p) / 4};
            }
        return std::nullopt;
    }
    void Blank() const { GetWindowImage(Window)->fill(Qt::white); }
    [[nodiscard]] bool ShowsTheWholePicture() const
    {
        const QImage& image = *GetWindowImage(Window);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF c = PictureAt(x, y);
                if (image.pixel(x, y) != qRgb(GetRValue(c), GetGValue(c), GetBValue(c)))
                    return false;
            }
        return true;
    }

    TSharedClock SharedClock;
    ScopedService<IClock> FClockGuard{SetClock, SharedClock};
    HWND Window = nullptr;
    std::vector<std::uint32_t> Steps;
    int Ended = 0;
};

TEST_F(Animation, LevelsMoveInStepsOfSixteenWithOneStepMessageWaiting)
{
    StartMenuAnimation(Window, kTime, false, tbadDown);
    EXPECT_EQ(AnimatedWindow(), Window);
    EXPECT_TRUE(IsWindowVisible(Window));
    EXPECT_EQ(ShownOffset(), std::nullopt) << "nothing shows before the first step";
    // The worker runs ahead while nobody handles its message: one message, however far it got.
    for (std::uint64_t t : {20u, 40u, 60u, 80u}) {
        SharedClock.Set(t);
        ASSERT_TRUE(WaitForStep());
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_EQ(DrainSteps(), 1);
    // Taken out but never handled: the worker still waits for it to be handled before it sends another.
    SharedClock.Set(100);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(DrainSteps(), 0);
    EndMenuAnimation(Window);
    EXPECT_EQ(Ended, 1);
    EXPECT_TRUE(ShowsTheWholePicture());
}

TEST_F(Animation, DrawsEachStepThatComesUntilTheTimeIsUp)
{
    Blank();
    StartMenuAnimation(Window, kTime, false, tbadDown);
    std::vector<int> offsets;
    for (std::uint64_t t = 20; t < 255; t += 20) {
        SharedClock.Set(t);
        ASSERT_TRUE(WaitForStep());
        HandleOneStep();
        ASSERT_TRUE(ShownOffset().has_value());
        offsets.push_back(ShownOffset()->first);
    }
    for (int offset : offsets) {
        // Downwards the picture's lower part shows first: offset = visible height - height.
        const int visible = kHeight + offset;
        bool onALevel = false;
        for (int level = 16; level <= 240; level += 16)
            onALevel = onALevel || visible == toolkit::MulDiv(kHeight, level, 255);
        EXPECT_TRUE(onALevel) << offset;
    }
    EXPECT_LE(Steps.size(), 15u);
    SharedClock.Set(255);
    ASSERT_TRUE(WaitForStep());
    HandleOneStep();
    EXPECT_EQ(AnimatedWindow(), nullptr);
    EXPECT_EQ(Ended, 1);
    EXPECT_TRUE(ShowsTheWholePicture());
}

TEST_F(Animation, TheStepsOfAReplacedAnimationAreIgnored)
{
    HWND second = Create(WS_POPUP, RECT{400, 100, 400 + kWidth, 100 + kHeight}, nullptr,
                         [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return Proc(w, m, wp, lp); });
    StartMenuAnimation(Window, kTime, false, tbadDown);
    SharedClock.Set(40);
    ASSERT_TRUE(WaitForStep(Window));
    // The first animation's step still waits when the second one starts and gets half way.
    StartMenuAnimation(second, kTime, false, tbadDown);
    EXPECT_EQ(Ended, 1);
    SharedClock.Set(40 + 128);
    ASSERT_TRUE(WaitForStep(second));
    const QImage before = GetWindowImage(second)->copy();
    MSG msg;
    int stale = 0;
    while (PeekMessage(&msg, Window, WM_TB_ANIMSTEP, WM_TB_ANIMSTEP, PM_REMOVE)) {
        // Handed to the window animated now, as one serial for every animation would let it be taken.
        ProcessAnimationStep(second, toolkit::TMessage{WM_TB_ANIMSTEP, 0, msg.lParam, 0});
        ++stale;
    }
    EXPECT_GE(stale, 1);
    EXPECT_EQ(*GetWindowImage(second), before);
    EXPECT_EQ(AnimatedWindow(), second);
    // Its own step draws.
    HandleOneStep();
    EXPECT_NE(*GetWindowImage(second), before);
}

TEST_F(Animation, AStepAfterTheAnimationWasEndedDrawsNothing)
{
    StartMenuAnimation(Window, kTime, false, tbadRight);
    EndMenuAnimation(Window);
    EXPECT_EQ(Ended, 1);
    // The worker's last message comes after the end; the capture it would draw with is gone.
    ASSERT_TRUE(WaitForStep());
    const QImage before = GetWindowImage(Window)->copy();
    HandleOneStep();
    EXPECT_EQ(*GetWindowImage(Window), before);
    EXPECT_EQ(Ended, 1);
}

TEST_F(Animation, ThePointerReachingTheMenuShowsItAtOnce)
{
    StartMenuAnimation(Window, kTime, false, tbadDown);
    SetCursorPos(210, 110);
    ASSERT_TRUE(WaitForStep());
    HandleOneStep();
    EXPECT_EQ(AnimatedWindow(), nullptr);
    EXPECT_EQ(Ended, 1);
    EXPECT_TRUE(ShowsTheWholePicture());
}

TEST_F(Animation, EndsAtOnceWithoutAWorkerOrWithoutTime)
{
    struct Row {
        const char* name;
        int time;
        bool workerStarts;
    };
    for (const Row& row : {Row{"NoWorker", kTime, false}, Row{"NoTime", 0, true}}) {
        SCOPED_TRACE(row.name);
        Ended = 0;
        SetAnimationWorkerStarter(row.workerStarts ? nullptr
                                                   : +[](std::thread&, std::function<void()>) { return false; });
        StartMenuAnimation(Window, row.time, false, tbadDown);
        if (row.workerStarts) {
            ASSERT_TRUE(WaitForStep());
            HandleOneStep();
        }
        EXPECT_EQ(AnimatedWindow(), nullptr);
        EXPECT_EQ(Ended, 1);
        EXPECT_TRUE(ShowsTheWholePicture());
        SetAnimationWorkerStarter(nullptr);
    }
}

TEST_F(Animation, SlidesFromTheSideItOpensTowards)
{
    // At level 128 of 255: 25 of 51 rows and 30 of 60 columns show.
    const int rows = toolkit::MulDiv(kHeight, 128, 255);
    const int columns = toolkit::MulDiv(kWidth, 128, 255);
    struct Row {
        const char* name;
        std::uint8_t direction;
        std::pair<int, int> offset;  // (y, x) at which the picture is drawn
    };
    const Row table[] = {
        {"Downwards", tbadDown, {rows - kHeight, 0}},
        {"Upwards", tbadUp, {kHeight - rows, 0}},
        {"Rightwards", tbadRight, {0, columns - kWidth}},
        {"Leftwards", tbadLeft, {0, kWidth - columns}},
        {"NoDirection", 0, {0, 0}},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        SharedClock.Set(0);
        Blank();
        StartMenuAnimation(Window, kTime, false, row.direction);
        SharedClock.Set(128);
        ASSERT_TRUE(WaitForStep());
        HandleOneStep();
        EXPECT_EQ(ShownOffset(), row.offset);
        EndMenuAnimation(Window);
        DrainSteps();
    }
}

TEST_F(Animation, AFadeBecomesASlideWhereWindowsCannotBeLayered)
{
    for (const bool layered : {false, true}) {
        SCOPED_TRACE(layered ? "Layered" : "NotLayered");
        SystemTableOverride table;
        table.Table().Caps.LayeredConstantAlpha = layered;
        SharedClock.Set(0);
        Blank();
        StartMenuAnimation(Window, kTime, true, tbadDown);
        EXPECT_EQ((GetWindowLong(Window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, layered);
        SharedClock.Set(128);
        ASSERT_TRUE(WaitForStep());
        HandleOneStep();
        if (!layered) {
            ASSERT_TRUE(ShownOffset().has_value());
            EXPECT_EQ(ShownOffset()->first, toolkit::MulDiv(kHeight, 128, 255) - kHeight);
        }
        EndMenuAnimation(Window);
        DrainSteps();
        EXPECT_EQ(GetWindowLong(Window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    }
}

// A real menu animated as it opens, over the shared clock: each step shows a part of the menu's own picture,
// nothing the shown menu is sent in the meantime cuts the animation short, and the end leaves exactly what
// the menu paints when it opens without animation.
class MenuOpening : public testing::MenusFixture {
protected:
    MenuOpening()
    {
        for (const char* caption : {"&Open", "&Save", "Save &As", "&Close"})
            testing::AddChild(Root.get(), caption);
        SetCursorPos(0, 0);
    }
    ~MenuOpening() override { EndMenuAnimation(nullptr); }

    // The menu as an item opens it at a point (shown, animated or not), with what was queued for it handled.
    std::unique_ptr<TTBPopupWindow> Open()
    {
        toolkit::TWinControl* window =
            Root->CreatePopup(nullptr, nullptr, false, false, false, toolkit::TPoint{300, 200}, toolkit::paLeft);
        return std::unique_ptr<TTBPopupWindow>(dynamic_cast<TTBPopupWindow*>(window));
    }
    QImage Unanimated()
    {
        SystemTableOverride off;
        auto popup = Open();
        PumpApplication();
        QImage image = GetWindowImage(popup->GetHandle())->copy();
        popup.reset();
        testing::TRecordingPopupWindow::Showing.clear();
        return image;
    }
    // Lets the clock reach milliseconds and handles the step the worker sends for it; the level drawn.
    int StepAt(HWND window, int milliseconds)
    {
        SharedClock.Set(static_cast<std::uint64_t>(milliseconds));
        EXPECT_TRUE(WaitForStepMessage(window));
        PumpApplication();
        return toolkit::MulDiv(255, milliseconds, PopupAnimationTime) & ~15;
    }

    TSharedClock SharedClock;
    std::unique_ptr<TTBCustomItem> Root = std::make_unique<testing::TRecordingPopupItem>(nullptr);

private:
    ScopedService<IClock> FClockGuard{SetClock, SharedClock};
};

TEST_F(MenuOpening, ASlideShowsMoreOfTheMenusOwnPictureAtEachStep)
{
    const QImage reference = Unanimated();
    SystemTableOverride table;
    table.Table().MenuAnimation = TRUE;
    table.Table().MenuFade = FALSE;
    auto popup = Open();
    const HWND window = popup->GetHandle();
    ASSERT_EQ(AnimatedWindow(), window);
    const std::uint8_t direction = popup->GetAnimationDirection();
    ASSERT_NE(direction, 0);
    PumpApplication();
    EXPECT_EQ(AnimatedWindow(), window) << "what the shown menu was sent ended its animation";
    const QRect whole(0, 0, reference.width(), reference.height());
    QWidget* widget = GetWindowWidget(window);
    EXPECT_TRUE(widget->mask().intersected(whole).isEmpty()) << "nothing shows before the first step";

    for (const int ms : {40, 80, 120}) {
        SCOPED_TRACE(ms);
        const int level = StepAt(window, ms);
        ASSERT_EQ(AnimatedWindow(), window);
        const int w = whole.width();
        const int h = whole.height();
        const int shownW = toolkit::MulDiv(w, level, 255);
        const int shownH = toolkit::MulDiv(h, level, 255);
        const int dx = (direction & tbadRight) != 0 ? shownW - w : (direction & tbadLeft) != 0 ? w - shownW : 0;
        const int dy = (direction & tbadDown) != 0 ? shownH - h : (direction & tbadUp) != 0 ? h - shownH : 0;
        const QRegion visible = widget->mask().intersected(whole);
        EXPECT_EQ(visible, QRegion(whole.translated(dx, dy).intersected(whole)));
        // What shows is the menu's picture moved by the slide.
        const QImage& image = *GetWindowImage(window);
        int wrong = 0;
        for (const QRect& r : visible)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    wrong += image.pixel(x, y) != reference.pixel(x - dx, y - dy) ? 1 : 0;
        EXPECT_EQ(wrong, 0);
    }
    StepAt(window, PopupAnimationTime);
    EXPECT_EQ(AnimatedWindow(), nullptr);
    EXPECT_TRUE(widget->mask().isEmpty()) << "the whole window shows again";
    EXPECT_EQ(*GetWindowImage(window), reference);
    EXPECT_EQ(testing::TRecordingPopupWindow::Showing, (std::vector<WPARAM>{tbpsAnimationAllowed, tbpsAnimationEnded}));
}

TEST_F(MenuOpening, AFadeRaisesTheOpacityOfTheWholeMenuInSteps)
{
    const QImage reference = Unanimated();
    SystemTableOverride table;
    table.Table().MenuAnimation = TRUE;
    table.Table().MenuFade = TRUE;
    table.Table().Caps.LayeredConstantAlpha = true;
    auto popup = Open();
    const HWND window = popup->GetHandle();
    ASSERT_EQ(AnimatedWindow(), window);
    PumpApplication();
    QWidget* widget = GetWindowWidget(window);
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 32);
    EXPECT_EQ(*GetWindowImage(window), reference) << "the whole picture, faint";
    int last = alpha;
    for (const int ms : {40, 80, 120}) {
        SCOPED_TRACE(ms);
        const int level = StepAt(window, ms);
        ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr));
        EXPECT_EQ(alpha, level);
        EXPECT_GT(alpha, last);
        EXPECT_DOUBLE_EQ(widget->windowOpacity(), alpha / 255.0);
        last = alpha;
    }
    StepAt(window, PopupAnimationTime);
    EXPECT_EQ(AnimatedWindow(), nullptr);
    EXPECT_EQ(GetWindowLong(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_DOUBLE_EQ(widget->windowOpacity(), 1.0);
    EXPECT_EQ(*GetWindowImage(window), reference);
}

}  // namespace
}  // namespace ovrel::toolbars
