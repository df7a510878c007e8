// What a window procedure paints on and around a native control: a frame of its own, drawing over the
// control after its paint, and child windows above it, read back as the user sees them.

#include "platform/ui/EditControl.h"
#include "platform/ui/Gdi.h"

#include "WindowTestSupport.h"
#include "support/QtInput.h"

#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>

#include <string>
#include <utility>
#include <vector>

namespace ovrel::ui::test {
namespace {

constexpr int Border = 2;
constexpr RECT EditBounds{10, 10, 130, 34};  // in the parent's client area: 120 x 24, client 116 x 20
constexpr int ButtonWidth = 16;

// An EDIT window subclassed as the inspector's cell editors subclass theirs: a sunken border of its own
// around the line, a box drawn over the line after the line's own paint, and a button child at the right.
class EditSurfaceTest : public WindowTest {
protected:
    EditSurfaceTest()
    {
        WNDCLASS edit;
        GetClassInfo(EDIT_CLASS, edit);
        FEditProc = edit.lpfnWndProc;
        WNDCLASS button;
        button.lpszClassName = "OvrelBlueButton";
        button.hbrBackground = FBlue;
        RegisterClass(button);

        Parent = Create(WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 200});
        CreateWindowInfo info;
        info.ClassName = std::string(EDIT_CLASS);
        info.WindowName = "hello";
        info.Style = WS_CHILD | WS_VISIBLE;
        info.X = EditBounds.left;
        info.Y = EditBounds.top;
        info.Width = EditBounds.right - EditBounds.left;
        info.Height = EditBounds.bottom - EditBounds.top;
        info.Parent = Parent;
        info.WindowProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return EditProc(w, m, wp, lp); };
        Edit = CreateWindowEx(info);
        Line = qobject_cast<QLineEdit*>(GetWindowWidget(Edit));
        GetClientRect(Edit, &Client);
        Button = Create(WS_CHILD | WS_VISIBLE, RECT{Client.right - ButtonWidth, 0, Client.right, Client.bottom}, Edit,
                        0, "OvrelBlueButton");
        SetFocus(Edit);
        Pump();
    }
    ~EditSurfaceTest() override
    {
        DestroyWindow(Parent);  // while the procedure's state lives
        UnregisterClass("OvrelBlueButton");
        DeleteObject(FBlue);
        DeleteObject(FRed);
    }

    LRESULT EditProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        switch (m) {
        case WM_NCCALCSIZE: {
            const LRESULT result = CallWindowProc(FEditProc, w, m, wp, lp);
            if (wp != 0) {
                RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0];
                r = RECT{r.left + Border, r.top + Border, r.right - Border, r.bottom - Border};
            }
            return result;
        }
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(w);
            PaintBorder(dc);
            ReleaseDC(w, dc);
            return 0;
        }
        case WM_ERASEBKGND: {
            // Whatever erasing draws, the line's own paint covers it.
            const RECT all{0, 0, 200, 200};
            FillRect(reinterpret_cast<HDC>(wp), &all, FRed);
            return 1;
        }
        case WM_PAINT: {
            const LRESULT result = CallWindowProc(FEditProc, w, m, wp, lp);
            if (PaintBox) {
                HDC dc = GetDC(w);
                RECT box{1, 1, 21, Client.bottom - 1};
                FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                box = RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
                FillRect(dc, &box, FRed);
                ReleaseDC(w, dc);
            }
            return result;
        }
        case WM_LBUTTONDOWN: EditPresses.push_back(lp); return CallWindowProc(FEditProc, w, m, wp, lp);
        default: return CallWindowProc(FEditProc, w, m, wp, lp);
        }
    }

    static void PaintBorder(HDC dc)
    {
        RECT r{0, 0, EditBounds.right - EditBounds.left, EditBounds.bottom - EditBounds.top};
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    }

    // The edit as the user sees it, in window coordinates: a grab of its parent's real widget.
    QImage Shown() const
    {
        const QImage parent = GetWindowWidget(Parent)->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return parent.copy(QtRect(EditBounds));
    }
    // The edit printed, frame and children included, over a green sheet.
    QImage Printed() const
    {
        QImage sheet(EditBounds.right - EditBounds.left, EditBounds.bottom - EditBounds.top, QImage::Format_RGB32);
        sheet.fill(qRgb(0, 255, 0));
        HDC dc = CreateImageDC(sheet, POINT{0, 0}, nullptr);
        SendMessage(Edit, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
        DeleteImageDC(dc);
        return sheet;
    }
    static QRect QtRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    QRgb Base() const { return Line->palette().color(QPalette::Base).rgb(); }

    HWND Parent = nullptr;
    HWND Edit = nullptr;
    HWND Button = nullptr;
    QLineEdit* Line = nullptr;
    RECT Client{};
    bool PaintBox = true;
    std::vector<LPARAM> EditPresses;  // client coordinates

private:
    WNDPROC FEditProc;
    HBRUSH FBlue = CreateSolidBrush(RGB(0, 0, 255));
    HBRUSH FRed = CreateSolidBrush(RGB(255, 0, 0));
};

// Window coordinates of a client point of the edit.
QPoint InWindow(int x, int y) { return QPoint(x + Border, y + Border); }

TEST_F(EditSurfaceTest, FrameDrawingOverTheLineAndTheChildShowWhereTheyWerePainted)
{
    ASSERT_NE(Line, nullptr);
    EXPECT_EQ(Client, RECT(0, 0, 116, 20));
    EXPECT_EQ(Line->geometry(), QRect(Border, Border, 116, 20));  // the line fills the client area only

    QImage border(EditBounds.right - EditBounds.left, EditBounds.bottom - EditBounds.top, QImage::Format_RGB32);
    border.fill(qRgb(0, 255, 0));
    HDC reference = CreateImageDC(border, POINT{0, 0}, nullptr);
    PaintBorder(reference);
    DeleteImageDC(reference);

    struct Spot {
        const char* name;
        QPoint at;  // window coordinates
        QRgb want;
    };
    const Spot spots[] = {
        {"BorderTopLeft", QPoint(0, 0), border.pixel(0, 0)},
        {"BorderInner", QPoint(1, 1), border.pixel(1, 1)},
        {"BorderBottomRight", QPoint(119, 23), border.pixel(119, 23)},
        {"BoxFrame", InWindow(1, 10), qRgb(0, 0, 0)},
        {"BoxInside", InWindow(10, 10), qRgb(255, 0, 0)},
        {"LineAboveItsText", InWindow(90, 1), Base()},  // not the erase's red: the line covered it
        {"Button", InWindow(Client.right - ButtonWidth / 2, 10), qRgb(0, 0, 255)},
    };
    for (const auto& [how, image] : {std::pair{"Grabbed", Shown()}, std::pair{"Printed", Printed()}}) {
        for (const Spot& spot : spots) {
            SCOPED_TRACE(std::string(how) + " " + spot.name);
            EXPECT_EQ(image.pixel(spot.at) & 0xFFFFFF, spot.want & 0xFFFFFF);
        }
    }

    // Typing reaches the line through the queue; the box stays over the line as it repaints itself.
    Rec.Log.clear();
    ovrel::test::SendQtText(Line, QStringLiteral("ab"), [this] { Pump(); });
    EXPECT_EQ(GetWindowText(Edit), "abhello");
    EXPECT_EQ(Rec.Of(WM_COMMAND).size(), 2u);
    ProcessQtEvents();
    EXPECT_EQ(Shown().pixel(InWindow(10, 10)) & 0xFFFFFF, 0xFF0000u);

    // A child moved to the bottom stays above the line it lies on.
    SetWindowPos(Button, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(Shown().pixel(InWindow(Client.right - ButtonWidth / 2, 10)) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(EditSurfaceTest, APaintGivesTheLineBackOnlyInsideTheUpdateRegion)
{
    PaintBox = false;
    const RECT left{0, 0, 8, Client.bottom};
    InvalidateRect(Edit, &left, TRUE);
    Pump();
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(InWindow(4, 1)), Base());  // repainted without the box: the line shows again
    EXPECT_EQ(shown.pixel(InWindow(12, 10)) & 0xFFFFFF, 0xFF0000u);  // outside the update region: kept
    EXPECT_EQ(shown.pixel(0, 0), Printed().pixel(0, 0));  // the frame was not touched
}

TEST_F(EditSurfaceTest, ThePointerMeetsTheFrameTheLineAndTheChildWhereTheyLie)
{
    POINT corner{0, 0};
    ClientToScreen(Parent, &corner);
    corner = POINT{corner.x + EditBounds.left, corner.y + EditBounds.top};
    EXPECT_EQ(SendMessage(Edit, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBORDER);
    EXPECT_EQ(SendMessage(Edit, WM_NCHITTEST, 0, MAKELPARAM(corner.x + Border, corner.y + Border)), HTCLIENT);

    Rec.Log.clear();
    ovrel::test::SendQtClick(Line, QPointF(5, 10), Qt::NoModifier, [this] { Pump(); });
    ovrel::test::SendQtClick(GetWindowWidget(Button), QPointF(3, 3), Qt::NoModifier, [this] { Pump(); });
    EXPECT_EQ(EditPresses, std::vector<LPARAM>{MAKELPARAM(5, 10)});
    const auto presses = Rec.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].Window, Button);
    EXPECT_EQ(presses[0].LParam, MAKELPARAM(3, 3));
    EXPECT_EQ(Line->cursorPosition(), Line->cursorPositionAt(QPoint(5, 10)));  // the line took its press
}

}  // namespace
}  // namespace ovrel::ui::test
