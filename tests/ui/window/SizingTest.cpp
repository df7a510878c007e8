// Resizable top-level windows: the limits WM_GETMINMAXINFO sets, whoever resizes, and the sizing loop a press on
// a sizing edge starts (a status bar's grip is a child answering one), driven by the scripted queue.
#include "WindowTestSupport.h"

#include "platform/ui/SysTables.h"

#include <QWidget>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Sizable = WS_POPUP | WS_VISIBLE | WS_THICKFRAME;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

RECT BoundsOf(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

using SizingTest = WindowTest;

// Answers WM_GETMINMAXINFO with the limits a test gives, and counts the questions.
struct Limits {
    POINT Min{150, 100};
    POINT Max{400, 300};
    int Asked = 0;
    std::optional<LRESULT> Answer(UINT m, LPARAM lp)
    {
        if (m != WM_GETMINMAXINFO)
            return std::nullopt;
        ++Asked;
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize = Min;
        info->ptMaxTrackSize = Max;
        return 0;
    }
};

TEST_F(SizingTest, AResizableTopLevelWindowKeepsToTheSizesItAllows)
{
    Limits limits;
    Rec.OnMessage = [&limits](HWND, UINT m, WPARAM, LPARAM lp) { return limits.Answer(m, lp); };
    HWND w = Create(Sizable, RECT{100, 100, 300, 250});
    struct Row {
        const char* Name;
        int Width, Height;
        RECT Expected;
    };
    const Row rows[] = {
        {"Within", 250, 200, RECT{100, 100, 350, 300}},
        {"TooSmall", 20, 10, RECT{100, 100, 250, 200}},
        {"TooLarge", 5000, 5000, RECT{100, 100, 500, 400}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SetWindowPos(w, nullptr, 0, 0, row.Width, row.Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(BoundsOf(w), row.Expected);
    }
    // A move alone asks nothing.
    const int asked = limits.Asked;
    SetWindowPos(w, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(limits.Asked, asked);

    // The window manager resizing it (a framed window the user drags) is taken back into the limits too.
    GetWindowWidget(w)->setGeometry(10, 10, 30, 30);
    ProcessQtEvents();
    EXPECT_EQ(BoundsOf(w), RECT(10, 10, 160, 110));
    EXPECT_GT(limits.Asked, asked);
}

TEST_F(SizingTest, WithoutAnAnswerTheSystemMinimumHoldsAndOnlyResizableTopLevelWindowsAreAsked)
{
    HWND sizable = Create(Sizable, RECT{100, 100, 300, 250});
    SetWindowPos(sizable, nullptr, 0, 0, 5, 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(BoundsOf(sizable),
              RECT(100, 100, 100 + GetSystemMetrics(SM_CXMINTRACK), 100 + GetSystemMetrics(SM_CYMINTRACK)));

    Limits limits;
    Rec.OnMessage = [&limits](HWND, UINT m, WPARAM, LPARAM lp) { return limits.Answer(m, lp); };
    HWND fixed = Create(WS_POPUP | WS_VISIBLE, RECT{400, 100, 600, 250});
    HWND child = Create(Child | WS_THICKFRAME, RECT{10, 10, 100, 100}, sizable);
    for (HWND w : {fixed, child})
        SetWindowPos(w, nullptr, 0, 0, 5, 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(limits.Asked, 0);
    RECT r;
    GetClientRect(fixed, &r);
    EXPECT_EQ(r, RECT(0, 0, 5, 5));
}

// A form with a status bar whose bottom-right 12 x 12 corner is a sizing grip.
class GripTest : public WindowTest {
protected:
    GripTest()
    {
        Rec.OnMessage = [this](HWND w, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
            if (m == WM_GETMINMAXINFO)
                return FLimits.Answer(m, lp);
            if (w == Bar && m == WM_NCHITTEST) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ScreenToClient(Bar, &p);
                RECT client;
                GetClientRect(Bar, &client);
                if (p.x >= client.right - 12 && p.y >= client.bottom - 12)
                    return HTBOTTOMRIGHT;
            }
            return std::nullopt;
        };
        Form = Create(Sizable, RECT{100, 100, 400, 300});
        const RECT client = ClientRect(Form);
        Bar = Create(Child, RECT{0, client.bottom - 20, client.right, client.bottom}, Form);
        Pump();
    }
    static RECT ClientRect(HWND w)
    {
        RECT r;
        GetClientRect(w, &r);
        return r;
    }
    // Screen point of the grip: two pixels inside the bar's bottom-right corner.
    POINT Grip() const
    {
        const RECT client = ClientRect(Bar);
        POINT p{client.right - 2, client.bottom - 2};
        ClientToScreen(Bar, &p);
        return p;
    }

    Limits FLimits{POINT{120, 80}, POINT{600, 500}};
    HWND Form = nullptr;
    HWND Bar = nullptr;
};

TEST_F(GripTest, DraggingTheGripOfAChildResizesTheTopLevelWindowUntilRelease)
{
    const POINT grip = Grip();
    // Queued before the loop starts, as the user's hand would be.
    PostMouseInput(WM_LBUTTONDOWN, grip);
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x + 10, grip.y + 5});
    PostKeyInput(WM_KEYUP, 'A');  // swallowed while sizing; keeps the moves apart
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x + 30, grip.y + 20});
    PostMouseInput(WM_LBUTTONUP, POINT{grip.x + 30, grip.y + 20});
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x + 80, grip.y + 80});  // after the release: no longer sizing
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(100, 100, 430, 320));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Rec.Of(WM_KEYUP).empty() && Rec.Of(WM_SYSKEYUP).empty());
    const auto presses = Rec.Of(WM_NCLBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].Window, Bar);
    EXPECT_EQ(presses[0].WParam, static_cast<WPARAM>(HTBOTTOMRIGHT));
}

TEST_F(GripTest, EscapePutsTheWindowBackAndTheLimitsKeepTheOppositeEdge)
{
    const POINT grip = Grip();
    PostMouseInput(WM_LBUTTONDOWN, grip);
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x + 50, grip.y + 50});
    PostKeyInput(WM_KEYDOWN, VK_ESCAPE);
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(100, 100, 400, 300));
    EXPECT_EQ(GetCapture(), nullptr);

    // Far past the minimum and the maximum: the top-left corner stays put.
    PostMouseInput(WM_LBUTTONDOWN, grip);
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x - 1000, grip.y - 1000});
    PostMouseInput(WM_LBUTTONUP, POINT{grip.x - 1000, grip.y - 1000});
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(100, 100, 220, 180));
    const POINT corner{218, 178};  // the form's own frame corner, now that the bar lies outside the form
    ASSERT_EQ(SendMessage(Form, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
    PostMouseInput(WM_LBUTTONDOWN, corner);
    PostMouseInput(WM_MOUSEMOVE, POINT{corner.x + 1000, corner.y + 1000});
    PostMouseInput(WM_LBUTTONUP, POINT{corner.x + 1000, corner.y + 1000});
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(100, 100, 700, 600));
}

TEST_F(GripTest, TheLeftEdgeOfTheFrameMovesTheLeftSideOnlyAndLosingCaptureEndsTheLoop)
{
    // The form's own emulated frame: its left band is HTLEFT.
    const POINT edge{101, 200};
    ASSERT_EQ(SendMessage(Form, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTLEFT);
    PostMouseInput(WM_LBUTTONDOWN, edge);
    PostMouseInput(WM_MOUSEMOVE, POINT{edge.x - 40, edge.y + 30});
    PostMouseInput(WM_MOUSEMOVE, POINT{edge.x + 1000, edge.y});
    PostMouseInput(WM_LBUTTONUP, POINT{edge.x + 1000, edge.y});
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(280, 100, 400, 300));

    // Switching to another application takes the capture away: the loop ends where it was.
    bool armed = true;
    Rec.OnMessage = [this, &armed, base = Rec.OnMessage](HWND w, UINT m, WPARAM wp,
                                                         LPARAM lp) -> std::optional<LRESULT> {
        if (w == Form && m == WM_WINDOWPOSCHANGED && armed) {
            armed = false;
            SetApplicationActive(false);
        }
        return base(w, m, wp, lp);
    };
    PostMouseInput(WM_LBUTTONDOWN, POINT{281, 200});
    PostMouseInput(WM_MOUSEMOVE, POINT{261, 200});
    PostKeyInput(WM_KEYUP, 'A');  // keeps the two moves apart in the queue
    PostMouseInput(WM_MOUSEMOVE, POINT{201, 200});
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(260, 100, 400, 300));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GripTest, AWindowThatCannotBeResizedIgnoresTheGrip)
{
    SetWindowLong(Form, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    const POINT grip = Grip();
    PostMouseInput(WM_LBUTTONDOWN, grip);
    PostMouseInput(WM_MOUSEMOVE, POINT{grip.x + 3, grip.y + 3});
    PostMouseInput(WM_LBUTTONUP, POINT{grip.x + 3, grip.y + 3});
    Pump();
    EXPECT_EQ(BoundsOf(Form), RECT(100, 100, 400, 300));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Rec.Of(WM_NCLBUTTONUP).size() + Rec.Of(WM_LBUTTONUP).size(), 1u);  // the release went on as usual
}

}  // namespace
}  // namespace ovrel::ui::test
