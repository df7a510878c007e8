// The simple controls: label sizing and painting, paint box, panel frame, speed button look and clicks, and
// the timer over the fake timer driver.
#include "../controls/ControlsTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

QRgb Rgb(TColor color)
{
    const ui::COLORREF c = ColorToRGB(color);
    return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)) & 0xFFFFFF;
}

struct ClickCounter {
    int Clicks = 0;
    void Click(TObject*) { ++Clicks; }
};

class ExtCtrlsTest : public ::testing::Test {
protected:
    ExtCtrlsTest()
    {
        Form->SetBounds(0, 0, 300, 200);
        Form->SetColor(clWhite);
        Form->Show();
    }
    // What a windowed control shows (the form when none is named), drawn into an image of its client size.
    QImage Shot(TWinControl* control = nullptr)
    {
        if (control == nullptr)
            control = Form.get();
        QImage image(control->GetClientWidth(), control->GetClientHeight(), QImage::Format_RGB32);
        image.fill(Qt::black);
        ui::HDC dc = ui::CreateImageDC(image, {0, 0}, nullptr);
        control->PaintTo(dc, 0, 0);
        ui::DeleteImageDC(dc);
        return image;
    }
    QRgb PixelOf(TControl* control, int x, int y)
    {
        const ui::POINT p = control->ClientToParent({x, y}, Form.get());
        return Shot().pixel(p.x, p.y) & 0xFFFFFF;
    }
    void Mouse(ui::UINT msg, TControl* control, int x, int y, ui::UINT modifiers = 0)
    {
        ui::PostMouseInput(msg, control->ClientToScreen({x, y}), modifiers);
        Application.ProcessMessages();
    }
    int Clicks() const { return Counter.Clicks; }

    ClickCounter Counter;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
};

// ---- TLabel ------------------------------------------------------------------------------------------------

TEST_F(ExtCtrlsTest, LabelWidthFollowsTheCaptionAtOnceEvenWithoutAWindow)
{
    // Built as a dialog builds its rows: parent not yet shown, the width read right after the caption.
    TForm hidden(nullptr);
    auto* label = new TLabel(&hidden);
    label->SetParent(&hidden);
    label->SetCaption("Date taken");
    const int shortWidth = label->GetWidth();
    EXPECT_GT(shortWidth, 0);
    label->SetLeft(190 - label->GetWidth());
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), 190);

    label->SetCaption("Date taken (original)");
    EXPECT_GT(label->GetWidth(), shortWidth);
    EXPECT_EQ(label->GetLeft(), 190 - shortWidth);  // sizing keeps the left edge

    const int plainWidth = label->GetWidth();
    label->GetFont()->SetStyle({fsBold});
    EXPECT_GE(label->GetWidth(), plainWidth);

    const int lineHeight = label->GetHeight();
    label->SetCaption("");
    EXPECT_EQ(label->GetHeight(), lineHeight);  // an empty label keeps one line
    EXPECT_FALSE(hidden.HandleAllocated());
}

TEST_F(ExtCtrlsTest, WrappedLabelKeepsItsWidthAndGrowsInHeight)
{
    auto* label = new TLabel(Form.get());
    label->SetParent(Form.get());
    label->SetCaption("one two three four five six seven eight nine ten");
    const int lineHeight = label->GetHeight();
    label->SetAutoSize(false);
    label->SetWidth(60);
    label->SetWordWrap(true);
    label->SetAutoSize(true);
    EXPECT_EQ(label->GetWidth(), 60);
    EXPECT_GE(label->GetHeight(), 3 * lineHeight);

    // Without automatic sizing the bounds stay as given.
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, 10);
    label->SetCaption("much longer text than before");
    EXPECT_EQ(label->GetWidth(), 40);
    EXPECT_EQ(label->GetHeight(), 10);
}

TEST_F(ExtCtrlsTest, LabelPaintsItsColourUnlessTransparentAndDrawsItsTextByAlignment)
{
    auto* label = new TLabel(Form.get());
    label->SetParent(Form.get());
    label->SetCaption("W");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 100, 20);
    label->SetColor(clYellow);
    label->GetFont()->SetColor(clBlue);

    QImage image = Shot();
    EXPECT_EQ(image.pixel(10 + 90, 10 + 2) & 0xFFFFFF, Rgb(clYellow));
    label->SetTransparent(true);
    image = Shot();
    EXPECT_EQ(image.pixel(10 + 90, 10 + 2) & 0xFFFFFF, Rgb(clWhite));

    // The text lands at the side its alignment names.
    auto inkIn = [&](int from, int to) {
        const QImage shot = Shot();
        for (int x = from; x < to; ++x)
            for (int y = 10; y < 30; ++y)
                if ((shot.pixel(x, y) & 0xFFFFFF) != Rgb(clWhite))
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(10, 40));
    EXPECT_FALSE(inkIn(80, 110));
    label->SetAlignment(taRightJustify);
    EXPECT_FALSE(inkIn(10, 40));
    EXPECT_TRUE(inkIn(80, 110));
}

// What the form's window shows after its pending paints, read from its backing image.
TEST_F(ExtCtrlsTest, HidingALabelShowsWhatLiesBeneathItAgain)
{
    auto* below = new TPaintBox(Form.get());
    below->SetParent(Form.get());
    below->SetBounds(0, 0, 120, 60);
    struct Fill {
        void Paint(TObject* sender)
        {
            TCanvas* canvas = static_cast<TPaintBox*>(sender)->GetCanvas();
            canvas->GetBrush()->SetColor(clLime);
            canvas->FillRect(Rect(0, 0, 120, 60));
        }
    } fill;
    below->OnPaint = TNotifyEvent(&fill, &Fill::Paint);
    auto* label = new TLabel(Form.get());
    label->SetParent(Form.get());
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    label->SetColor(clYellow);
    const auto shown = [&] {
        Application.ProcessMessages();
        ui::RECT window{};
        ui::GetWindowRect(Form->GetHandle(), &window);
        const ui::POINT at = Form->ClientToScreen({30, 15});  // inside the label
        return ui::GetWindowImage(Form->GetHandle())->pixel(at.x - window.left, at.y - window.top) & 0xFFFFFF;
    };
    EXPECT_EQ(shown(), Rgb(clYellow));
    label->SetVisible(false);
    EXPECT_EQ(shown(), Rgb(clLime));
    label->SetVisible(true);
    EXPECT_EQ(shown(), Rgb(clYellow));
}

TEST_F(ExtCtrlsTest, LabelIsClickedThroughTheQueueOnlyWhileVisible)
{
    auto* label = new TLabel(Form.get());
    label->SetParent(Form.get());
    label->SetCaption("link");
    label->SetBounds(20, 20, 60, 20);
    label->SetCursor(crHandPoint);
    label->OnClick = TNotifyEvent(&Counter, &ClickCounter::Click);

    Mouse(ui::WM_LBUTTONDOWN, label, 5, 5, ui::MK_LBUTTON);
    Mouse(ui::WM_LBUTTONUP, label, 5, 5);
    EXPECT_EQ(Clicks(), 1);

    label->SetVisible(false);
    Mouse(ui::WM_LBUTTONDOWN, label, 5, 5, ui::MK_LBUTTON);
    Mouse(ui::WM_LBUTTONUP, label, 5, 5);
    EXPECT_EQ(Clicks(), 1);
}

struct SelfFreeingClick {
    int Clicks = 0;
    void Click(TObject* sender)
    {
        ++Clicks;
        delete static_cast<TControl*>(sender);
    }
};

TEST_F(ExtCtrlsTest, AClickHandlerMayFreeItsOwnControl)
{
    auto* label = new TLabel(Form.get());
    label->SetParent(Form.get());
    label->SetCaption("close");
    label->SetBounds(20, 20, 60, 20);
    SelfFreeingClick handler;
    label->OnClick = TNotifyEvent(&handler, &SelfFreeingClick::Click);
    const ui::POINT at = label->ClientToScreen({5, 5});
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, at, ui::MK_LBUTTON);
    Application.ProcessMessages();
    ui::PostMouseInput(ui::WM_LBUTTONUP, at, 0);
    Application.ProcessMessages();  // the sanitizer build catches any use of the freed label
    EXPECT_EQ(handler.Clicks, 1);
    EXPECT_EQ(Form->GetControlCount(), 0);
}

// ---- TPaintBox ---------------------------------------------------------------------------------------------

class PaintBoxTest : public ExtCtrlsTest {
public:
    void Draw(TObject* sender)
    {
        ++Paints;
        TCanvas* canvas = static_cast<TPaintBox*>(sender)->GetCanvas();
        canvas->GetBrush()->SetColor(clRed);
        canvas->FillRect(Rect(0, 0, 10, 10));
    }
    int Paints = 0;
};

TEST_F(PaintBoxTest, OnPaintDrawsAtTheBoxAndMouseNoticesReachItsWindowProc)
{
    auto* box = new TPaintBox(Form.get());
    box->SetParent(Form.get());
    box->SetBounds(50, 40, 30, 30);
    box->OnPaint = TNotifyEvent(static_cast<PaintBoxTest*>(this), &PaintBoxTest::Draw);

    const QImage image = Shot();
    EXPECT_GT(Paints, 0);
    EXPECT_EQ(image.pixel(55, 45) & 0xFFFFFF, Rgb(clRed));  // the box's own (5, 5)
    EXPECT_EQ(image.pixel(65, 55) & 0xFFFFFF, Rgb(clWhite));  // outside what OnPaint drew
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, Rgb(clWhite));

    testing::MessageLog log({CM_MOUSEENTER, CM_MOUSELEAVE});
    log.Watch(box, "box");
    Mouse(ui::WM_MOUSEMOVE, Form.get(), 5, 5);
    Mouse(ui::WM_MOUSEMOVE, box, 5, 5);
    Mouse(ui::WM_MOUSEMOVE, Form.get(), 5, 5);
    EXPECT_EQ(log.Entries, (std::vector<testing::LoggedMessage>{{"box", CM_MOUSEENTER}, {"box", CM_MOUSELEAVE}}));

    box->OnClick = TNotifyEvent(&Counter, &ClickCounter::Click);
    Mouse(ui::WM_LBUTTONDOWN, box, 5, 5, ui::MK_LBUTTON);
    Mouse(ui::WM_LBUTTONUP, box, 5, 5);
    EXPECT_EQ(Clicks(), 1);
    log.Forget(box);
}

// ---- TPanel ------------------------------------------------------------------------------------------------

TEST_F(ExtCtrlsTest, PanelFrameNarrowsTheRoomOfAlignedChildren)
{
    struct Row {
        const char* Name;
        TPanelBevel Bevel;
        TFormBorderStyle Border;
        int Inset;
    };
    const Row rows[] = {{"plain", bvNone, bsNone, 0},
                        {"raised", bvRaised, bsNone, 1},
                        {"lowered and bordered", bvLowered, bsSizeable, 2},
                        {"space", bvSpace, bsNone, 1}};
    auto* panel = new TPanel(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 100, 60);
    auto* child = new TPanel(Form.get());
    child->SetParent(panel);
    child->SetAlign(alClient);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        panel->SetBevelOuter(row.Bevel);
        panel->SetBorderStyle(row.Border);
        EXPECT_EQ(child->GetBoundsRect(), (ui::RECT{row.Inset, row.Inset, 100 - row.Inset, 60 - row.Inset}));
    }
    EXPECT_EQ(panel->GetCaption(), "");
}

TEST_F(ExtCtrlsTest, PanelFillsWithItsColourInsideItsBevel)
{
    auto* panel = new TPanel(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 100, 60);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clBlue);
    EXPECT_EQ(Shot(panel).pixel(0, 0) & 0xFFFFFF, Rgb(clBlue));
    EXPECT_EQ(Shot(panel).pixel(50, 30) & 0xFFFFFF, Rgb(clBlue));
    panel->SetBevelOuter(bvRaised);
    EXPECT_NE(Shot(panel).pixel(0, 0) & 0xFFFFFF, Rgb(clBlue));  // the bevel's edge
    EXPECT_EQ(Shot(panel).pixel(50, 30) & 0xFFFFFF, Rgb(clBlue));
}

// ---- TSpeedButton ------------------------------------------------------------------------------------------

class SpeedButtonTest : public ExtCtrlsTest {
protected:
    SpeedButtonTest()
    {
        Button->SetParent(Form.get());
        Button->SetBounds(40, 40, 22, 22);
        Button->OnClick = TNotifyEvent(&Counter, &ClickCounter::Click);
        // Two 10x10 cells: blue (normal) and red (disabled); the bottom-left pixel, lime, is transparent.
        TBitmap glyph;
        glyph.SetSize(20, 10);
        glyph.GetCanvas()->GetBrush()->SetColor(clBlue);
        glyph.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
        glyph.GetCanvas()->GetBrush()->SetColor(clRed);
        glyph.GetCanvas()->FillRect(Rect(10, 0, 20, 10));
        glyph.GetCanvas()->SetPixel(0, 9, clLime);
        glyph.GetCanvas()->SetPixel(10, 9, clLime);
        Button->SetGlyph(&glyph);
        Button->SetNumGlyphs(2);
    }
    TSpeedButton* Button = new TSpeedButton(Form.get());
};

TEST_F(SpeedButtonTest, GlyphCellFollowsTheEnabledStateAndLeavesItsKeyColourOut)
{
    // The 10x10 cell is centred: its top-left is at (6, 6) of the button.
    EXPECT_EQ(PixelOf(Button, 10, 10), Rgb(clBlue));
    EXPECT_EQ(PixelOf(Button, 6, 15), Rgb(clBtnFace));  // the transparent corner
    Button->SetEnabled(false);
    EXPECT_EQ(PixelOf(Button, 10, 10), Rgb(clRed));
    EXPECT_EQ(PixelOf(Button, 6, 15), Rgb(clBtnFace));

    // Without a disabled cell the normal cell stays.
    Button->SetNumGlyphs(1);
    EXPECT_NE(PixelOf(Button, 3, 10), Rgb(clBtnFace));  // the whole 20-pixel glyph is one cell now
}

TEST_F(SpeedButtonTest, LooksPressedWhileHeldInsideAndClicksOnReleaseInside)
{
    const QRgb upCorner = PixelOf(Button, 0, 0);
    Mouse(ui::WM_LBUTTONDOWN, Button, 5, 5, ui::MK_LBUTTON);
    EXPECT_TRUE(Button->GetPressed());
    EXPECT_NE(PixelOf(Button, 0, 0), upCorner);
    EXPECT_EQ(PixelOf(Button, 11, 11), Rgb(clBlue));  // the glyph moved down and right by one

    Mouse(ui::WM_MOUSEMOVE, Button, 40, 40, ui::MK_LBUTTON);
    EXPECT_FALSE(Button->GetPressed());
    Mouse(ui::WM_MOUSEMOVE, Button, 5, 5, ui::MK_LBUTTON);
    EXPECT_TRUE(Button->GetPressed());

    Mouse(ui::WM_LBUTTONUP, Button, 5, 5);
    EXPECT_FALSE(Button->GetPressed());
    EXPECT_EQ(Clicks(), 1);
    EXPECT_EQ(PixelOf(Button, 0, 0), upCorner);

    // Released outside: no click.
    Mouse(ui::WM_LBUTTONDOWN, Button, 5, 5, ui::MK_LBUTTON);
    Mouse(ui::WM_MOUSEMOVE, Button, 40, 40, ui::MK_LBUTTON);
    Mouse(ui::WM_LBUTTONUP, Button, 40, 40);
    EXPECT_EQ(Clicks(), 1);

    // Two quick presses are two clicks.
    for (int i = 0; i < 2; ++i) {
        Mouse(ui::WM_LBUTTONDOWN, Button, 5, 5, ui::MK_LBUTTON);
        Mouse(ui::WM_LBUTTONUP, Button, 5, 5);
    }
    EXPECT_EQ(Clicks(), 3);
}

TEST_F(SpeedButtonTest, DisabledButtonNeitherPressesNorClicks)
{
    Button->SetEnabled(false);
    Mouse(ui::WM_LBUTTONDOWN, Button, 5, 5, ui::MK_LBUTTON);
    EXPECT_FALSE(Button->GetPressed());
    Mouse(ui::WM_LBUTTONUP, Button, 5, 5);
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(SpeedButtonTest, DisablingWhileHeldReleasesTheLook)
{
    Mouse(ui::WM_LBUTTONDOWN, Button, 5, 5, ui::MK_LBUTTON);
    ASSERT_TRUE(Button->GetPressed());
    Button->SetEnabled(false);
    EXPECT_FALSE(Button->GetPressed());
    Mouse(ui::WM_LBUTTONUP, Button, 5, 5);
    EXPECT_EQ(Clicks(), 0);
}

// A flat button that counts the pointer's visits by overriding the enter and leave notices alone; the
// inherited handlers keep the hover look.
class VisitCountingButton : public TSpeedButton {
public:
    explicit VisitCountingButton(TComponent* owner) : TSpeedButton(owner) { SetFlat(true); }
    int Enters = 0;
    int Leaves = 0;

protected:
    void CMMouseEnter(TMessage& message) override
    {
        ++Enters;
        TSpeedButton::CMMouseEnter(message);
    }
    void CMMouseLeave(TMessage& message) override
    {
        ++Leaves;
        TSpeedButton::CMMouseLeave(message);
    }
};

TEST_F(ExtCtrlsTest, ASubclassOverridesTheMouseNoticesAloneAndTheFlatButtonStillRaisesUnderThePointer)
{
    auto* button = new VisitCountingButton(Form.get());
    button->SetParent(Form.get());
    button->SetBounds(40, 40, 22, 22);
    button->OnClick = TNotifyEvent(&Counter, &ClickCounter::Click);
    Mouse(ui::WM_MOUSEMOVE, Form.get(), 5, 5);
    const QRgb flatCorner = PixelOf(button, 0, 0);
    EXPECT_EQ(flatCorner, Rgb(clBtnFace));

    Mouse(ui::WM_MOUSEMOVE, button, 5, 5);
    EXPECT_EQ(button->Enters, 1);
    EXPECT_NE(PixelOf(button, 0, 0), flatCorner);  // raised by the inherited handler
    Mouse(ui::WM_LBUTTONDOWN, button, 5, 5, ui::MK_LBUTTON);
    Mouse(ui::WM_LBUTTONUP, button, 5, 5);
    EXPECT_EQ(Clicks(), 1);

    Mouse(ui::WM_MOUSEMOVE, Form.get(), 5, 5);
    EXPECT_EQ(button->Leaves, 1);
    EXPECT_EQ(PixelOf(button, 0, 0), flatCorner);
}

// ---- TTimer ------------------------------------------------------------------------------------------------

class TimerTest : public ::testing::Test {
public:
    void Tick(TObject*) { ++Ticks; }
    void Run(std::uint64_t ms)
    {
        Clock.Advance(ms);
        Application.ProcessMessages();
    }

    ui::ManualClock Clock;
    ui::FakeTimerDriver Driver{Clock};
    ui::ScopedService<ui::IClock> ClockGuard{ui::SetClock, Clock};
    ui::ScopedService<ui::ITimerDriver> DriverGuard{ui::SetTimerDriver, Driver};
    TApplication Application{nullptr};
    int Ticks = 0;
};

TEST_F(TimerTest, FiresEveryIntervalWhileEnabled)
{
    TTimer timer(nullptr);
    timer.OnTimer = TNotifyEvent(static_cast<TimerTest*>(this), &TimerTest::Tick);
    timer.SetInterval(100);
    Run(99);
    EXPECT_EQ(Ticks, 0);
    Run(1);
    EXPECT_EQ(Ticks, 1);
    Run(100);
    EXPECT_EQ(Ticks, 2);
    timer.SetEnabled(false);
    Run(500);
    EXPECT_EQ(Ticks, 2);
    timer.SetEnabled(true);
    Run(100);
    EXPECT_EQ(Ticks, 3);
}

TEST_F(TimerTest, IntervalChangeRestartsButEnablingAgainDoesNot)
{
    TTimer timer(nullptr);
    timer.OnTimer = TNotifyEvent(static_cast<TimerTest*>(this), &TimerTest::Tick);
    Run(600);
    const std::size_t changes = Driver.Changes().size();
    timer.SetEnabled(true);  // already on: the count goes on
    timer.SetInterval(1000);  // unchanged
    EXPECT_EQ(Driver.Changes().size(), changes);
    Run(400);
    EXPECT_EQ(Ticks, 1);

    Run(600);
    timer.SetInterval(800);  // counts from now
    Run(400);
    EXPECT_EQ(Ticks, 1);
    Run(400);
    EXPECT_EQ(Ticks, 2);
}

TEST_F(TimerTest, ZeroIntervalStopsAndFreeingStops)
{
    auto timer = std::make_unique<TTimer>(nullptr);
    timer->OnTimer = TNotifyEvent(static_cast<TimerTest*>(this), &TimerTest::Tick);
    timer->SetInterval(0);
    Run(5000);
    EXPECT_EQ(Ticks, 0);
    timer->SetInterval(50);
    timer.reset();
    ASSERT_FALSE(Driver.Changes().empty());
    EXPECT_EQ(Driver.Changes().back().Interval, 0u);
    Run(100);
    EXPECT_EQ(Ticks, 0);
}

class SelfFreeing {
public:
    TTimer* Timer = new TTimer(nullptr);
    void Tick(TObject*)
    {
        delete Timer;
        Timer = nullptr;
    }
};

TEST_F(TimerTest, HandlerMayFreeItsTimer)
{
    SelfFreeing owner;
    owner.Timer->SetInterval(10);
    owner.Timer->OnTimer = TNotifyEvent(&owner, &SelfFreeing::Tick);
    Run(10);
    EXPECT_EQ(owner.Timer, nullptr);
    Run(100);
}

TEST_F(TimerTest, ExceptionFromTheHandlerIsReported)
{
    testing::RecordedExceptions errors;
    struct Thrower {
        void Tick(TObject*) { throw Exception("tick failed"); }
    } thrower;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = TNotifyEvent(&thrower, &Thrower::Tick);
    Run(10);
    ASSERT_EQ(errors.Messages().size(), 1u);
    EXPECT_NE(errors.Messages()[0].find("tick failed"), std::string::npos);
}

}  // namespace
}  // namespace ovrel::toolkit
