// What shows over or through windows: layered windows' constant alpha, the desktop's outline and its overlay,
// windows that let input through, and the pointer grab that brings in presses outside the program's windows.
#include "WindowTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

using LayeredTest = WindowTest;

TEST_F(LayeredTest, ConstantAlphaBecomesTheOpacityWhereThePlatformCompositesWindows)
{
    HWND w = Create(Popup, RECT{100, 100, 140, 130});
    SetWindowLong(w, GWL_EXSTYLE, static_cast<LONG>(WS_EX_LAYERED));
    QWidget* widget = GetWindowWidget(w);
    // Offscreen nothing composites: the caller falls back to another way of showing.
    ASSERT_FALSE(GetCapabilities().LayeredConstantAlpha);
    EXPECT_FALSE(SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA));
    EXPECT_DOUBLE_EQ(widget->windowOpacity(), 1.0);

    SystemTableOverride override;
    override.Table().Caps.LayeredConstantAlpha = true;
    EXPECT_TRUE(SetLayeredWindowAttributes(w, 0, 128, LWA_ALPHA));
    EXPECT_NEAR(widget->windowOpacity(), 128 / 255.0, 0.01);
    BYTE alpha = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 128);
    EXPECT_FALSE(SetLayeredWindowAttributes(w, RGB(1, 2, 3), 0, LWA_COLORKEY));  // colour keys are not shown

    // UpdateLayeredWindow: the source becomes the window's picture, the blend's alpha its opacity.
    HDC source = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 40, 30);
    HGDIOBJ old = SelectObject(source, bitmap);
    const RECT all{0, 0, 40, 30};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(source, &all, green);
    const POINT at{150, 120};
    const SIZE size{40, 30};
    const POINT origin{0, 0};
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = 32;
    EXPECT_TRUE(UpdateLayeredWindow(w, nullptr, &at, &size, source, &origin, 0, &blend, ULW_ALPHA));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, RECT(150, 120, 190, 150));
    EXPECT_EQ(GetWindowImage(w)->pixel(20, 15) & 0xFFFFFF, 0x00C800u);
    EXPECT_NEAR(widget->windowOpacity(), 32 / 255.0, 0.01);
    // Later steps give only the blend.
    blend.SourceConstantAlpha = 200;
    EXPECT_TRUE(UpdateLayeredWindow(w, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA));
    EXPECT_NEAR(widget->windowOpacity(), 200 / 255.0, 0.01);
    // Per-pixel alpha needs more than the layer has.
    blend.AlphaFormat = AC_SRC_ALPHA;
    EXPECT_FALSE(UpdateLayeredWindow(w, nullptr, nullptr, nullptr, source, &origin, 0, &blend, ULW_ALPHA));
    SelectObject(source, old);
    DeleteObject(bitmap);
    DeleteObject(green);
    DeleteDC(source);

    // No longer layered: opaque again, and the alpha calls refuse.
    SetWindowLong(w, GWL_EXSTYLE, 0);
    EXPECT_DOUBLE_EQ(widget->windowOpacity(), 1.0);
    EXPECT_FALSE(SetLayeredWindowAttributes(w, 0, 10, LWA_ALPHA));
    EXPECT_FALSE(GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr));
    HWND child = Create(Child, RECT{0, 0, 10, 10}, Create(Popup, RECT{0, 0, 50, 50}), WS_EX_LAYERED);
    EXPECT_FALSE(SetLayeredWindowAttributes(child, 0, 10, LWA_ALPHA));  // only top-level windows have an opacity
}

// The desktop's outline through its DC, as a drag without live moving draws it.
class OutlineTest : public WindowTest {
protected:
    // Inverts a frame of thickness 2 through a clip region and one PatBlt over the clip box.
    static void InvertFrame(HDC dc, RECT r)
    {
        HRGN outer = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        HRGN inner = CreateRectRgn(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
        CombineRgn(outer, outer, inner, RGN_DIFF);
        const int saved = SaveDC(dc);
        SelectClipRgn(dc, outer);
        RECT box;
        GetClipBox(dc, &box);
        PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
        RestoreDC(dc, saved);
        DeleteObject(outer);
        DeleteObject(inner);
    }
    // How many pixels the last shown outline covers.
    int ShownArea() const
    {
        int area = 0;
        for (const RECT& r : Overlay.Shown.back())
            area += (r.right - r.left) * (r.bottom - r.top);
        return area;
    }

    RecordingOutlineOverlay Overlay;
    ScopedService<IOutlineOverlay> OverlayGuard{SetOutlineOverlay, Overlay};
};

TEST_F(OutlineTest, InversionsOnTheLockedDesktopShowAsFramesUntilDrawnAgain)
{
    HWND form = Create(Popup, RECT{0, 0, 50, 50});
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    EXPECT_FALSE(LockWindowUpdate(form));  // one lock at a time
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    ASSERT_NE(dc, nullptr);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));

    InvertFrame(dc, RECT{100, 100, 200, 160});
    ASSERT_EQ(Overlay.Shown.size(), 1u);
    EXPECT_EQ(ShownArea(), 100 * 60 - 96 * 56);
    RECT bounds{};
    for (const RECT& r : Overlay.Shown.back())
        UnionRect(&bounds, &bounds, &r);
    EXPECT_EQ(bounds, RECT(100, 100, 200, 160));

    // Moving by 10: the new frame is drawn, the old one erased, and only the new one remains.
    InvertFrame(dc, RECT{110, 100, 210, 160});
    InvertFrame(dc, RECT{100, 100, 200, 160});
    EXPECT_EQ(ShownArea(), 100 * 60 - 96 * 56);
    bounds = RECT{};
    for (const RECT& r : Overlay.Shown.back())
        UnionRect(&bounds, &bounds, &r);
    EXPECT_EQ(bounds, RECT(110, 100, 210, 160));

    // Nothing but inversions reaches the desktop.
    const std::size_t shown = Overlay.Shown.size();
    const RECT fill{0, 0, 300, 300};
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    PatBlt(dc, 0, 0, 300, 300, PATCOPY);
    EXPECT_EQ(Overlay.Shown.size(), shown);

    // Erased: the overlay is told to show nothing.
    InvertFrame(dc, RECT{110, 100, 210, 160});
    EXPECT_TRUE(Overlay.Shown.back().empty());
    EXPECT_EQ(ReleaseDC(GetDesktopWindow(), dc), 1);
    EXPECT_TRUE(LockWindowUpdate(nullptr));
}

TEST_F(OutlineTest, UnlockingTheDesktopClearsWhatWasLeftAndOtherDesktopDcsOnlyMeasure)
{
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_LOCKWINDOWUPDATE);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    InvertFrame(dc, RECT{10, 10, 40, 40});
    ReleaseDC(GetDesktopWindow(), dc);
    ASSERT_FALSE(Overlay.Shown.back().empty());
    EXPECT_TRUE(LockWindowUpdate(nullptr));
    EXPECT_TRUE(Overlay.Shown.back().empty());

    const std::size_t shown = Overlay.Shown.size();
    HDC screen = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW);
    SelectObject(screen, GetStockObject(BLACK_BRUSH));
    InvertFrame(screen, RECT{10, 10, 40, 40});
    EXPECT_GT(GetDeviceCaps(screen, BITSPIXEL), 0);
    ReleaseDC(GetDesktopWindow(), screen);
    EXPECT_EQ(Overlay.Shown.size(), shown);
}

TEST_F(OutlineTest, TheOutlineDcIsRefusedUnlessTheDesktopIsLocked)
{
    HWND form = Create(Popup, RECT{0, 0, 50, 50});
    const auto outlineDc = [] { return GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE); };
    EXPECT_EQ(outlineDc(), nullptr);  // nothing locked

    ASSERT_TRUE(LockWindowUpdate(form));
    EXPECT_EQ(outlineDc(), nullptr);  // another window holds the lock
    EXPECT_TRUE(LockWindowUpdate(nullptr));

    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    HDC dc = outlineDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(GetDesktopWindow(), dc), 1);
    EXPECT_TRUE(LockWindowUpdate(nullptr));
    EXPECT_EQ(outlineDc(), nullptr);  // unlocked again
    EXPECT_TRUE(Overlay.Shown.empty() || Overlay.Shown.back().empty());
}

using DefaultOverlayTest = WindowTest;

TEST_F(DefaultOverlayTest, IsAnInputTransparentWindowOverTheFrames)
{
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_LOCKWINDOWUPDATE);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    PatBlt(dc, 20, 30, 80, 4, PATINVERT);
    QPointer<QWidget> overlay;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QStringLiteral("OutlineOverlay"))
            overlay = top;
    ASSERT_FALSE(overlay.isNull());
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), QRect(20, 30, 80, 4));
    EXPECT_TRUE(overlay->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_EQ(WindowFromWidget(overlay), nullptr);  // not a window of the layer: no hit test, no messages
    ReleaseDC(GetDesktopWindow(), dc);
    LockWindowUpdate(nullptr);
    EXPECT_TRUE(overlay.isNull());  // gone with the outline
}

using PassThroughTest = WindowTest;

TEST_F(PassThroughTest, AWindowAnsweringTransparentLetsQtInputThroughToTheControlBelow)
{
    HWND form = Create(Popup, RECT{100, 100, 300, 250});
    auto* edit = new QLineEdit;
    HWND editWindow = CreateNative("EDIT", edit, RECT{10, 10, 130, 34}, form);
    // A shadow-like child lying over the edit; it answers HTTRANSPARENT everywhere.
    Rec.OnMessage = [&](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST && w != form && w != editWindow)
            return HTTRANSPARENT;
        return std::nullopt;
    };
    HWND shadow = Create(Child, RECT{0, 0, 200, 150}, form);
    HWND shadowTop = Create(Popup, RECT{400, 100, 420, 200}, nullptr, WS_EX_TOOLWINDOW);
    Pump();
    EXPECT_TRUE(GetWindowWidget(shadow)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(GetWindowWidget(shadowTop)->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(GetWindowWidget(form)->windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(GetWindowWidget(form)->testAttribute(Qt::WA_TransparentForMouseEvents));

    // A press as the window system delivers it, to the form's Qt window: Qt passes over the shadow, and the
    // edit gets its own event back when the message reaches it.
    struct Counter : QObject {
        int Presses = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::MouseButtonPress)
                ++Presses;
            return false;
        }
    } counter;
    edit->installEventFilter(&counter);
    QWindow* window = GetWindowWidget(form)->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPointF local(30, 20);
    QMouseEvent press(QEvent::MouseButtonPress, local, window->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    Pump();
    ASSERT_EQ(Rec.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_LBUTTONDOWN)[0].Window, editWindow);
    EXPECT_EQ(counter.Presses, 1);
    edit->removeEventFilter(&counter);
}

using GrabTest = WindowTest;

TEST_F(GrabTest, WhileCaptureIsHeldTheTopmostShownPopupHoldsThePointerGrab)
{
    HWND form = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 400, 300});
    HWND menu = Create(Popup, RECT{100, 100, 200, 200});
    HWND submenu = Create(WS_POPUP, RECT{200, 100, 300, 200});
    HWND holder = CreateWindowEx(0, "Holder", "", 0, 0, 0, 0, 0, HWND_MESSAGE);
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);  // no capture
    SetCapture(holder);
    EXPECT_EQ(GetPointerGrabWindow(), menu);
    ShowWindow(submenu, SW_SHOWNA);
    EXPECT_EQ(GetPointerGrabWindow(), submenu);
    ShowWindow(submenu, SW_HIDE);
    EXPECT_EQ(GetPointerGrabWindow(), menu);
    ShowWindow(menu, SW_HIDE);
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);  // the framed form never holds it
    ShowWindow(menu, SW_SHOWNA);
    ReleaseCapture();
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);
    SetCapture(holder);
    DestroyWindow(holder);
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);
    // A native control holding the mouse keeps Qt's own delivery of its drag.
    HWND edit = CreateNative("EDIT", new QLineEdit, RECT{0, 0, 50, 20}, form);
    SetCapture(edit);
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);
}

TEST_F(GrabTest, APressOutsideTheProgramsWindowsGoesToTheCaptureAndDeactivationEndsIt)
{
    HWND menu = Create(Popup, RECT{100, 100, 200, 200});
    Pump();
    SetCapture(menu);
    // What the grab brings in: a press at a point no window of the program covers.
    PostMouseInput(WM_LBUTTONDOWN, POINT{900, 700});
    Pump();
    ASSERT_EQ(Rec.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_LBUTTONDOWN)[0].Window, menu);
    POINT p{GET_X_LPARAM(Rec.Of(WM_LBUTTONDOWN)[0].LParam), GET_Y_LPARAM(Rec.Of(WM_LBUTTONDOWN)[0].LParam)};
    ClientToScreen(menu, &p);
    EXPECT_EQ(WindowFromPoint(p), nullptr);  // the loop sees a press outside its windows
    // Where no press comes in, another application taking over still ends the menu: capture goes.
    SetApplicationActive(false);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetPointerGrabWindow(), nullptr);
    ASSERT_EQ(Rec.Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[0].Window, menu);
}

}  // namespace
}  // namespace ovrel::ui::test
