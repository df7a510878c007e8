// Painting: a custom control paints through its canvas, then its windowless children in z-order, both into
// its own window and into a DC handed to it.
#include "ControlsTestSupport.h"

#include "platform/ui/Gdi.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace ovrel::toolkit {
namespace {

class Filled : public TCustomControl {
public:
    Filled(TComponent* owner, TColor color) : TCustomControl(owner), FColor(color) {}
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        GetCanvas()->GetBrush()->SetColor(FColor);
        GetCanvas()->FillRect(GetClientRect());
    }

private:
    TColor FColor;
};

class Spot : public TGraphicControl {
public:
    Spot(TComponent* owner, TColor color) : TGraphicControl(owner), FColor(color) {}

protected:
    void Paint() override
    {
        GetCanvas()->GetBrush()->SetColor(FColor);
        GetCanvas()->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    }

private:
    TColor FColor;
};

QRgb Expected(TColor color) { return qRgb(ui::GetRValue(color), ui::GetGValue(color), ui::GetBValue(color)); }

class PaintingTest : public ::testing::Test {
protected:
    PaintingTest()
    {
        Form->SetBounds(0, 0, 200, 200);
        Surface->SetParent(Form.get());
        Surface->SetBounds(10, 10, 60, 60);
        Under->SetParent(Surface);
        Under->SetBounds(10, 10, 20, 20);
        Over->SetParent(Surface);
        Over->SetBounds(20, 20, 20, 20);
        Form->Show();
    }
    void ExpectPixels(const QImage& image, int dx, int dy)
    {
        struct Probe {
            int X, Y;
            TColor Color;
        };
        for (const Probe& p : {Probe{5, 5, clRed}, Probe{15, 15, clBlue}, Probe{25, 25, clLime}, Probe{35, 35, clLime},
                               Probe{45, 45, clRed}}) {
            SCOPED_TRACE(::testing::Message() << "at " << p.X << "," << p.Y);
            EXPECT_EQ(image.pixel(p.X + dx, p.Y + dy) & 0xFFFFFF, Expected(p.Color) & 0xFFFFFF);
        }
    }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    Filled* Surface = new Filled(Form.get(), clRed);
    Spot* Under = new Spot(Form.get(), clBlue);
    Spot* Over = new Spot(Form.get(), clLime);
};

TEST_F(PaintingTest, PaintsTheWindowThenTheWindowlessChildrenInZOrder)
{
    Surface->Repaint();
    const QImage* image = ui::GetWindowImage(Surface->GetHandle());
    ASSERT_NE(image, nullptr);
    EXPECT_GT(Surface->Paints, 0);
    ExpectPixels(*image, 0, 0);

    // Bringing the lower child to the front changes what shows where they overlap.
    Under->BringToFront();
    Surface->Repaint();
    EXPECT_EQ(ui::GetWindowImage(Surface->GetHandle())->pixel(25, 25) & 0xFFFFFF, Expected(clBlue) & 0xFFFFFF);
}

TEST_F(PaintingTest, PaintToDrawsIntoTheGivenDC)
{
    QImage target(100, 100, QImage::Format_RGB32);
    target.fill(Qt::white);
    ui::HDC dc = ui::CreateImageDC(target, {0, 0}, nullptr);
    Surface->PaintTo(dc, 30, 20);
    ui::DeleteImageDC(dc);
    ExpectPixels(target, 30, 20);
    EXPECT_EQ(target.pixel(10, 10) & 0xFFFFFF, 0xFFFFFFu);  // outside the control: untouched
    EXPECT_EQ(target.pixel(95, 95) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
}  // namespace ovrel::toolkit
