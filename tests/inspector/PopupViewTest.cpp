// The pop-ups as their user meets them: opened by a press on a control of a shown form, driven by mouse
// input through the queue, placed on fixed screens, and read back from their window pixels.

#include "inspector/PopupView.h"

#include "InspectorTestSupport.h"
#include "inspector/Pickers.h"

#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/DateUtils.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// Stands for an editor's drop-down button: a press opens the pop-up under the control's bottom-left corner.
class Opener : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TPopupView* Target = nullptr;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        TCustomControl::MouseDown(button, shift, x, y);
        const TPoint p = ClientToScreen(TPoint{-1, GetClientHeight()});
        Target->Popup(p.x, p.y);
    }
};

// OnSelect and OnClose in the order they come.
struct Events {
    std::vector<std::string> Log;
    std::function<void()> WhileSelecting;
    void Selected(TObject*, const std::string& value)
    {
        Log.push_back("select " + value);
        if (WhileSelecting)
            WhileSelecting();
    }
    void Closed(TObject*) { Log.push_back("close"); }
};

using Log = std::vector<std::string>;

class PopupTest : public ::testing::Test {
protected:
    PopupTest()
    {
        SetNowFunction([] { return EncodeDate(2025, 1, 15) + 0.5; });
        Form->SetBounds(100, 100, 400, 300);
        Editor = new Opener(Form.get());
        Editor->SetParent(Form.get());
        Editor->SetBounds(20, 20, 120, 20);
        Form->Show();
        ui::SetActiveWindow(Form->GetHandle());
        Pump();
    }
    ~PopupTest() override
    {
        Form.reset();
        SetNowFunction(nullptr);
        ui::SetApplicationActive(true);
        ui::ClearMessageQueue();
        EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
    }

    template <class T> T* Make()
    {
        auto* popup = new T(Editor);
        popup->OnSelect = TSelectEvent(&Seen, &Events::Selected);
        popup->OnClose = TNotifyEvent(&Seen, &Events::Closed);
        Editor->Target = popup;
        return popup;
    }
    static void Pump() { Application()->ProcessMessages(); }
    static void Post(ui::UINT message, TPoint screen)
    {
        ui::PostMouseInput(message, screen);
        Pump();
    }
    static void Click(TPoint screen)
    {
        Post(ui::WM_LBUTTONDOWN, screen);
        Post(ui::WM_LBUTTONUP, screen);
    }
    // The user's way in: press and release on the editor, then onto the pop-up's client point.
    void Open(TPopupView* popup, TPoint to = TPoint{5, 5})
    {
        const TPoint onEditor = Editor->ClientToScreen(TPoint{60, 10});
        Post(ui::WM_MOUSEMOVE, onEditor);
        Click(onEditor);
        Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(to));
    }
    // A point over the form, away from the pop-up: the pointer's moves there reach the form.
    TPoint Outside() const { return Form->ClientToScreen(TPoint{300, 200}); }
    // A pixel of the pop-up's client area as its window shows it.
    static TColor Pixel(TPopupView* popup, int x, int y)
    {
        const ui::RECT inset = ui::GetClientInset(popup->GetHandle());
        const QRgb p = ui::GetWindowImage(popup->GetHandle())->pixel(x + inset.left, y + inset.top);
        return static_cast<TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    static TColor WindowPixel(TPopupView* popup, int x, int y)
    {
        const QRgb p = ui::GetWindowImage(popup->GetHandle())->pixel(x, y);
        return static_cast<TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    static TColor Rgb(TColor color) { return static_cast<TColor>(ColorToRGB(color)); }
    // The pixels of a client rectangle that are not background.
    static int Ink(TPopupView* popup, const TRect& r, TColor background)
    {
        int ink = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ink += Pixel(popup, x, y) != Rgb(background) ? 1 : 0;
        return ink;
    }

    ui::RecordingExceptionHandler Errors;
    ui::ScopedService<ui::IExceptionHandler> ErrorsInPlace{ui::SetExceptionHandler, Errors};
    // A second monitor right of the first, its work area not starting at its corner.
    ui::FixedScreens Screens{{{ui::RECT{0, 0, 1024, 768}, ui::RECT{0, 0, 1024, 728}, true},
                              {ui::RECT{1024, 0, 2304, 1024}, ui::RECT{1104, 40, 2304, 1000}, false}}};
    ui::ScopedService<ui::IScreens> ScreensInPlace{ui::SetScreens, Screens};
    Events Seen;
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    Opener* Editor = nullptr;
};

TStringList* Lines(TStringList& list, int count)
{
    for (int i = 0; i < count; ++i)
        list.Add("Item " + std::to_string(i));
    return &list;
}

// ---- The pop-up window and its state machine --------------------------------------------------------------

TEST_F(PopupTest, OpensAsATopmostToolWindowWithoutTakingTheActivation)
{
    ui::HWND active = ui::GetActiveWindow();
    auto* popup = Make<TPopupList>();
    Open(popup);
    ui::HWND window = popup->GetHandle();
    EXPECT_EQ(ui::GetParent(window), nullptr);
    EXPECT_NE(ui::GetWindowLong(window, ui::GWL_EXSTYLE) & ui::WS_EX_TOPMOST, 0);
    EXPECT_NE(ui::GetWindowLong(window, ui::GWL_EXSTYLE) & ui::WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(ui::GetWindowLong(window, ui::GWL_STYLE) & ui::WS_HSCROLL, 0);
    EXPECT_NE(ui::GetClassStyle(window) & ui::CS_DBLCLKS, 0u);
    EXPECT_TRUE(ui::IsWindowVisible(window));
    EXPECT_EQ(ui::GetActiveWindow(), active);
    EXPECT_EQ(popup->GetVertScrollBar()->GetPageStep(), 10);
    EXPECT_FALSE(popup->GetAutoScroll());
    // The frame: a dark shadow line outside a white one.
    EXPECT_EQ(WindowPixel(popup, 0, 10), Rgb(cl3DDkShadow));
    EXPECT_EQ(WindowPixel(popup, 1, 10), Rgb(clWhite));
    EXPECT_EQ(WindowPixel(popup, 10, 0), Rgb(cl3DDkShadow));
}

TEST_F(PopupTest, IgnoresTheOpeningReleasePicksInsideAndClosesOnAReleaseOutside)
{
    TStringList items;
    auto* popup = Make<TPopupList>();
    popup->SetItems(Lines(items, 5));
    popup->SetClientHeight(5 * 16);
    ui::HWND window = popup->GetHandle();

    const TPoint onEditor = Editor->ClientToScreen(TPoint{60, 10});
    Post(ui::WM_MOUSEMOVE, onEditor);
    Post(ui::WM_LBUTTONDOWN, onEditor);
    EXPECT_FALSE(popup->GetClosed());
    EXPECT_FALSE(popup->GetArmed());
    EXPECT_EQ(ui::GetCapture(), window);
    Post(ui::WM_LBUTTONUP, onEditor);  // the opening click's release, outside the pop-up
    EXPECT_TRUE(popup->GetArmed());
    EXPECT_FALSE(popup->GetClosed());
    EXPECT_EQ(ui::GetCapture(), window);
    EXPECT_TRUE(Seen.Log.empty());

    // Over the pop-up it lets the mouse go; a pick there does not close it.
    Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(TPoint{10, 2 * 16 + 5}));
    EXPECT_EQ(ui::GetCapture(), nullptr);
    int indexWhileSelecting = -1;  // the index is stored before the owner hears of the pick
    Seen.WhileSelecting = [&] { indexWhileSelecting = popup->GetItemIndex(); };
    Click(popup->ClientToScreen(TPoint{10, 2 * 16 + 5}));
    Seen.WhileSelecting = nullptr;
    EXPECT_EQ(Seen.Log, (Log{"select Item 2"}));
    EXPECT_EQ(indexWhileSelecting, 2);
    EXPECT_FALSE(popup->GetClosed());

    // Outside it holds the mouse again, so that a click anywhere closes it.
    Post(ui::WM_MOUSEMOVE, Outside());
    EXPECT_EQ(ui::GetCapture(), window);
    Click(Outside());
    EXPECT_EQ(Seen.Log, (Log{"select Item 2", "close"}));
    EXPECT_TRUE(popup->GetClosed());
    EXPECT_FALSE(ui::IsWindowVisible(window));
    EXPECT_EQ(ui::GetCapture(), nullptr);

    popup->ClosePopup();  // already hidden: still a notice
    EXPECT_EQ(Seen.Log, (Log{"select Item 2", "close", "close"}));
}

TEST_F(PopupTest, ClosesWhenTheApplicationGoesInactiveAnotherWindowTakesTheMouseOrSomethingModalStarts)
{
    struct Row {
        const char* Name;
        void (*Act)(TForm* form);
    };
    const Row rows[] = {
        {"Deactivated", [](TForm*) { ui::SetApplicationActive(false); }},
        {"CaptureTaken", [](TForm* form) { ui::SetCapture(form->GetHandle()); }},
        {"CancelMode", [](TForm*) { ui::SendMessage(ui::GetCapture(), ui::WM_CANCELMODE, 0, 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        auto* popup = Make<TPopupView>();
        popup->SetBounds(0, 0, 100, 60);
        Open(popup, TPoint{-40, -40});  // the pointer stays outside: the pop-up holds the mouse
        ASSERT_EQ(ui::GetCapture(), popup->GetHandle());
        Seen.Log.clear();
        row.Act(Form.get());
        Pump();
        EXPECT_TRUE(popup->GetClosed());
        EXPECT_FALSE(ui::IsWindowVisible(popup->GetHandle()));
        EXPECT_EQ(Seen.Log, (Log{"close"}));
        EXPECT_NE(ui::GetCapture(), popup->GetHandle());
        ui::ReleaseCapture();
        ui::SetApplicationActive(true);
        delete popup;
    }
}

TEST_F(PopupTest, LettingTheMouseGoOverItselfOrItsButtonsDoesNotCloseIt)
{
    auto* popup = Make<TColorPopup>();
    popup->SetBounds(0, 0, 213, 151);
    Open(popup, TPoint{-20, -20});
    // Straight onto the no-colour button: the pop-up hears no enter of its own, yet lets go.
    const TPoint onButton = popup->GetNoColorButton()->ClientToScreen(TPoint{10, 10});
    Post(ui::WM_MOUSEMOVE, onButton);
    EXPECT_EQ(ui::GetCapture(), nullptr);
    EXPECT_FALSE(popup->GetClosed());
    Click(onButton);
    EXPECT_EQ(Seen.Log, (Log{"select "}));
    EXPECT_FALSE(popup->GetClosed());
    // From the button straight out: the mouse is taken back, and the next click closes.
    Post(ui::WM_MOUSEMOVE, Outside());
    EXPECT_EQ(ui::GetCapture(), popup->GetHandle());
    Click(Outside());
    EXPECT_EQ(Seen.Log, (Log{"select ", "close"}));
}

TEST_F(PopupTest, OpensOnTheWorkAreaOfTheMonitorUnderThePoint)
{
    struct Row {
        const char* Name;
        TPoint At;
        int EditorTop;  // the owner's: the pop-up opens above it when below is full
        TPoint Expected;
    };
    const int w = 104;
    const int h = 64;
    const Row rows[] = {
        {"Fits", {300, 200}, 150, {300, 200}},
        {"PastTheRightEdge", {1024 - 50, 200}, 150, {1024 - (w + 1), 200}},
        {"LeftOfTheScreen", {-30, 200}, 150, {0, 200}},
        {"SecondMonitorRightEdge", {2280, 300}, 250, {2304 - (w + 1), 300}},
        {"SecondMonitorLeftOfItsWorkArea", {1050, 300}, 250, {1104, 300}},
        {"PastTheBottomOpensAbove", {300, 700}, 600, {300, 600 - h}},
        {"PastTheSecondWorkAreasBottom", {1500, 960}, 900, {1500, 900 - h}},
    };
    auto* popup = Make<TPopupView>();
    popup->SetBounds(0, 0, w, h);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ui::RECT editor;
        ui::GetWindowRect(Editor->GetHandle(), &editor);
        Form->SetTop(Form->GetTop() + row.EditorTop - editor.top);
        popup->Popup(row.At.x, row.At.y);
        ui::RECT r;
        ui::GetWindowRect(popup->GetHandle(), &r);
        EXPECT_EQ((TPoint{r.left, r.top}), row.Expected);
        EXPECT_EQ(r.right - r.left, w);
        popup->ClosePopup();
    }
}

// ---- The list -----------------------------------------------------------------------------------------------

TEST_F(PopupTest, AListOpensScrolledToItsIndexOrToTheItemEqualToItsText)
{
    struct Row {
        const char* Name;
        int Count;
        std::optional<int> ItemIndex;  // none: as made
        const char* Text;
        int Position;
        int Hot;
    };
    const Row rows[] = {
        {"NewListOnItsText", 20, std::nullopt, "Item 7", 7, 7},
        {"IndexPastTheLastTop", 20, 15, "", 12, 15},
        {"IndexWins", 20, 4, "Item 9", 4, 4},
        {"TextWhenNoIndex", 20, -1, "Item 7", 7, 7},
        {"TextOfAnIndexPastTheEnd", 20, 25, "Item 3", 3, 3},
        {"TextComparedWithCase", 20, -1, "item 7", 0, 0},
        {"NoMatch", 20, -1, "Other", 0, 0},
        {"NoItems", 0, 2, "Item 2", 0, 0},
        {"FewerItemsThanRows", 3, 2, "", 0, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TStringList items;
        auto* popup = Make<TPopupList>();
        popup->SetItems(Lines(items, row.Count));
        popup->SetClientHeight(8 * 16);
        if (row.ItemIndex)
            popup->SetItemIndex(*row.ItemIndex);
        popup->SetText(row.Text);
        popup->Popup(300, 200);
        EXPECT_EQ(popup->GetVertScrollBar()->GetPosition(), row.Position);
        EXPECT_EQ(popup->GetHotRow(), row.Hot);
        // The bar shows only when there are rows to scroll to.
        EXPECT_EQ(ui::GetWindowLong(popup->GetHandle(), ui::GWL_STYLE) & ui::WS_VSCROLL ? 1 : 0, row.Count > 8 ? 1 : 0);
        delete popup;
    }
}

TEST_F(PopupTest, HotTrackingRepaintsExactlyTheRowsThatChange)
{
    TStringList items;
    auto* popup = Make<TPopupList>();
    popup->SetItems(Lines(items, 20));
    popup->SetClientHeight(8 * 16);
    popup->SetItemIndex(15);  // opens at top row 12, so rows are counted from there
    Open(popup, TPoint{10, 5});
    Pump();
    ASSERT_EQ(popup->GetHotRow(), 12);
    std::vector<ui::RECT> repainted;
    ui::SetInvalidationObserver([&](ui::HWND window, const ui::RECT& r) {
        if (window == popup->GetHandle())
            repainted.push_back(r);
    });
    Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(TPoint{30, 9}));  // the same row
    EXPECT_TRUE(repainted.empty());
    Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(TPoint{30, 2 * 16 + 3}));
    ui::SetInvalidationObserver(nullptr);
    const int width = popup->GetClientWidth();
    EXPECT_EQ(popup->GetHotRow(), 14);
    ASSERT_EQ(repainted.size(), 2u);
    EXPECT_EQ(repainted[0], (ui::RECT{0, 0, width, 16}));
    EXPECT_EQ(repainted[1], (ui::RECT{0, 32, width, 48}));
    Pump();
    EXPECT_EQ(Pixel(popup, 1, 2 * 16 + 8), Rgb(clHighlight));
    EXPECT_EQ(Pixel(popup, 1, 8), Rgb(clWindow));
}

TEST_F(PopupTest, AReleaseBelowTheLastRowPicksNothingAndKeepsTheListOpen)
{
    TStringList items;
    auto* popup = Make<TPopupList>();
    popup->SetItems(Lines(items, 3));
    popup->SetClientHeight(5 * 16);
    popup->SetItemIndex(1);
    Open(popup, TPoint{10, 3 * 16 + 4});
    Click(popup->ClientToScreen(TPoint{10, 3 * 16 + 4}));
    EXPECT_TRUE(Seen.Log.empty());
    EXPECT_EQ(popup->GetItemIndex(), 1);
    EXPECT_FALSE(popup->GetClosed());

    popup->SetItems(nullptr);  // no list at all
    popup->SelectAt(10, 4);
    EXPECT_TRUE(Seen.Log.empty());
}

TEST_F(PopupTest, AListPaintsItsRowsTheHotOneHighlightedAndTheRestBelowInWindowColour)
{
    TStringList items;
    auto images = std::make_unique<TImageList>(nullptr);
    images->SetSize(8, 8);
    images->Add(ovrel::inspector::testing::SolidBitmap(8, 8, 0xFF00FF00).get(), nullptr);  // one green image, for row 0
    auto* popup = Make<TPopupList>();
    popup->SetItems(Lines(items, 3));
    popup->SetClientHeight(5 * 16);
    popup->SetItemIndex(1);
    popup->SetImages(images.get());
    popup->SetShowImages(true);
    Open(popup, TPoint{-5, -5});
    Pump();
    const int width = popup->GetClientWidth();
    EXPECT_EQ(width, 80);  // no bar for three rows
    // Row 0 with its image at (2, 4), rows 1 (hot) and 2 with text after the image's place.
    EXPECT_EQ(Pixel(popup, 2 + 3, 4 + 3), Rgb(clLime));
    EXPECT_EQ(Pixel(popup, 1, 16 + 8), Rgb(clHighlight));
    EXPECT_EQ(Pixel(popup, width - 1, 16 + 1), Rgb(clHighlight));
    EXPECT_GT(Ink(popup, TRect{8 + 5, 16, width, 32}, clHighlight), 0);
    EXPECT_EQ(Ink(popup, TRect{0, 32, 8 + 5, 48}, clWindow), 0);  // no image for row 2
    EXPECT_GT(Ink(popup, TRect{8 + 5, 32, width, 48}, clWindow), 0);
    EXPECT_EQ(Ink(popup, TRect{0, 48, width, 80}, clWindow), 0);
}

TEST_F(PopupTest, AFontListDrawsEachNameInItsOwnFontAtItemHeightLessEight)
{
    TStringList items;
    items.Add("DejaVu Sans Mono");
    items.Add("DejaVu Serif");
    // A plain list in one font at size 8 shows what the font list's rows must look like.
    const auto rows = [this, &items](TPopupList* list) {
        list->SetItems(&items);
        list->SetItemIndex(-1);
        list->SetClientWidth(150);
        list->SetClientHeight(3 * 16);
        list->Popup(300, 200);
        Pump();
        std::vector<TColor> pixels;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 150; ++x)
                pixels.push_back(Pixel(list, x, y));
        list->ClosePopup();
        return pixels;
    };
    const auto plain = [this, &rows](const char* font) {
        auto* list = new TPopupList(Editor);
        list->GetFont()->SetName(font);
        list->GetFont()->SetSize(8);
        const std::vector<TColor> pixels = rows(list);
        delete list;
        return pixels;
    };
    const auto half = [](const std::vector<TColor>& pixels, int row) {
        return std::vector<TColor>(pixels.begin() + row * 16 * 150, pixels.begin() + (row + 1) * 16 * 150);
    };
    auto* fonts = Make<TFontPopup>();
    fonts->GetFont()->SetName("DejaVu Sans");
    fonts->GetFont()->SetSize(20);  // the list's own font decides nothing in its rows
    const std::vector<TColor> own = rows(fonts);
    const std::vector<TColor> mono = plain("DejaVu Sans Mono");
    const std::vector<TColor> serif = plain("DejaVu Serif");
    EXPECT_EQ(half(own, 0), half(mono, 0));
    EXPECT_EQ(half(own, 1), half(serif, 1));
    EXPECT_NE(half(own, 1), half(mono, 1));
}

// ---- The small buttons ---------------------------------------------------------------------------------------

TEST_F(PopupTest, ASmallButtonIsSunkenWhilePressedAndAsksTheThemeForItsState)
{
    auto* popup = Make<TDatePopup>();
    popup->SetBounds(0, 0, 151, 163);
    popup->SetDate(EncodeDate(2025, 1, 20));
    Open(popup, TPoint{30, 140});
    PopupView::TSmallButton* today = popup->GetTodayButton();
    const TPoint corner{today->GetLeft() + 1, today->GetTop() + 1};  // the inner edge line
    Pump();
    EXPECT_EQ(Pixel(popup, corner.x, corner.y), Rgb(clBtnHighlight));  // raised: lit from the top left
    Post(ui::WM_LBUTTONDOWN, popup->ClientToScreen(TPoint{30, 140}));
    Pump();
    EXPECT_TRUE(today->GetPressed());
    EXPECT_EQ(Pixel(popup, corner.x, corner.y), Rgb(cl3DDkShadow));
    Post(ui::WM_LBUTTONUP, popup->ClientToScreen(TPoint{30, 140}));
    EXPECT_FALSE(today->GetPressed());
    EXPECT_EQ(Seen.Log, (Log{"select " + DateTimeToStr(EncodeDate(2025, 1, 15))}));

    ovrel::inspector::testing::ThemedScope themed;
    for (bool pressed : {false, true}) {
        SCOPED_TRACE(pressed);
        if (pressed)
            Post(ui::WM_LBUTTONDOWN, popup->ClientToScreen(TPoint{30, 140}));
        themed.Styles.Requests.clear();
        popup->Repaint();
        std::vector<int> states;  // of "Today", then "None"
        for (const auto& request : themed.Styles.Requests)
            if (request.ClassList == "button") {
                EXPECT_EQ(request.Part, 1);
                EXPECT_EQ(request.Rect, today->GetClientRect());
                states.push_back(request.State);
            }
        EXPECT_EQ(states, (std::vector<int>{pressed ? 3 : 1, 1}));
    }
    Post(ui::WM_LBUTTONUP, Outside());
}

// ---- The calendar -----------------------------------------------------------------------------------------

class CalendarTest : public PopupTest {
protected:
    TDatePopup* OpenOn(TDateTime date)
    {
        auto* popup = Make<TDatePopup>();
        popup->SetBounds(0, 0, 151, 163);
        popup->SetDate(date);
        Open(popup, TPoint{70, 100});
        Pump();
        return popup;
    }
};

TEST_F(CalendarTest, PaintsTheMonthWithTheSelectedDayFilledAndTodayFramed)
{
    TDatePopup* popup = OpenOn(EncodeDate(2025, 1, 20));
    EXPECT_EQ(popup->GetClientWidth(), 147);
    // January 2025 starts on a Wednesday: 20 January is column 1 of row 3, today (the 15th) column 3 of row 2.
    EXPECT_EQ(popup->GetHighlightRect(), CalendarCellRect(1, 3));
    const TRect selected = CalendarCellRect(1, 3);
    const TRect today = CalendarCellRect(3, 2);
    EXPECT_EQ(Pixel(popup, selected.left + 1, selected.top + 1), Rgb(clSilver));
    EXPECT_EQ(Pixel(popup, today.left, today.top + 7), Rgb(clHighlight));
    EXPECT_EQ(Pixel(popup, today.left + 1, today.top + 1), Rgb(popup->GetColor()));
    EXPECT_EQ(Pixel(popup, 4, 4), Rgb(clBtnFace));  // the title band
    EXPECT_EQ(Pixel(popup, 11, 9), Rgb(clWindowText));  // the left arrow
    EXPECT_EQ(Pixel(popup, 20, 34), Rgb(clGrayText));
    EXPECT_GT(Ink(popup, TRect{20, 2, 127, 18}, clBtnFace), 0);  // "January 2025"
    // Days of other months in grey: 29 December in the first cell, 2 January in the fifth.
    const auto darkest = [popup](const TRect& cell) {
        int least = 255 * 3;
        TColor colour = clWhite;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.left + 15; ++x) {
                const auto c = static_cast<ui::COLORREF>(Pixel(popup, x, y));
                const int sum = ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c);
                if (sum < least) {
                    least = sum;
                    colour = static_cast<TColor>(c);
                }
            }
        return colour;
    };
    EXPECT_EQ(darkest(CalendarCellRect(0, 0)), Rgb(clGrayText));
    EXPECT_EQ(darkest(CalendarCellRect(4, 0)), Rgb(clWindowText));
}

TEST_F(CalendarTest, ThePressedAndPickedCellIsThePaintedCellInEveryColumnAndRow)
{
    TDatePopup* popup = OpenOn(EncodeDate(2024, 3, 10));
    for (int row = 0; row < CalendarRows; ++row)
        for (int column = 0; column < CalendarColumns; ++column) {
            SCOPED_TRACE(::testing::Message() << "column " << column << ", row " << row);
            const TRect cell = CalendarCellRect(column, row);
            const TPoint at = popup->ClientToScreen(TPoint{cell.left + 8, cell.top + 8});
            const TDateTime date = CalendarCellDate(2024, 3, column, row);
            Seen.Log.clear();
            Post(ui::WM_MOUSEMOVE, at);
            Post(ui::WM_LBUTTONDOWN, at);
            EXPECT_EQ(popup->GetSelectedDate(), date);
            Pump();
            EXPECT_EQ(popup->GetHighlightRect(), cell);
            Post(ui::WM_LBUTTONUP, at);
            EXPECT_EQ(Seen.Log, (Log{"select " + DateTimeToStr(date)}));
        }
}

TEST_F(CalendarTest, BelowTheLastRowOfCellsNothingIsPickedOrHighlighted)
{
    TDatePopup* popup = OpenOn(EncodeDate(2024, 3, 10));
    const TPoint below = popup->ClientToScreen(TPoint{40, 130});  // in the grid area, under row 5
    Post(ui::WM_MOUSEMOVE, below);
    Click(below);
    EXPECT_TRUE(Seen.Log.empty());
    EXPECT_EQ(popup->GetSelectedDate(), EncodeDate(2024, 3, 10));
    EXPECT_FALSE(popup->GetClosed());
}

TEST_F(CalendarTest, ArrowsTurnTheMonthAcrossYearsAndTheTitleBandKeepsThePopupOpen)
{
    TDatePopup* popup = OpenOn(EncodeDate(2024, 12, 24));
    const TPoint right = popup->ClientToScreen(TPoint{popup->GetClientWidth() - 9, 9});
    const TPoint left = popup->ClientToScreen(TPoint{9, 9});
    Post(ui::WM_MOUSEMOVE, right);
    Click(right);
    EXPECT_EQ(popup->GetYear(), 2025);
    EXPECT_EQ(popup->GetMonth(), 1);
    Click(left);
    Click(left);
    EXPECT_EQ(popup->GetYear(), 2024);
    EXPECT_EQ(popup->GetMonth(), 11);
    Click(popup->ClientToScreen(TPoint{70, 10}));  // the title itself
    EXPECT_TRUE(Seen.Log.empty());
    EXPECT_FALSE(popup->GetClosed());
    EXPECT_EQ(popup->GetSelectedDate(), EncodeDate(2024, 12, 24));
}

TEST_F(CalendarTest, TodayAndNonePickTodaysDateAndTheEmptyText)
{
    TDatePopup* popup = OpenOn(EncodeDate(2020, 6, 1));
    const TPoint none = popup->GetNoneButton()->ClientToScreen(TPoint{20, 10});
    const TPoint today = popup->GetTodayButton()->ClientToScreen(TPoint{20, 10});
    Post(ui::WM_MOUSEMOVE, none);
    Click(none);
    Post(ui::WM_MOUSEMOVE, today);
    Click(today);
    EXPECT_EQ(Seen.Log, (Log{"select ", "select " + DateTimeToStr(EncodeDate(2025, 1, 15))}));
}

TEST_F(CalendarTest, ANameListOfTwelveNamesTheMonthsAndTextThatIsNoDateOpensOnToday)
{
    TStringList names;
    for (const char* name : {"M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8", "M9", "M10", "M11"})
        names.Add(name);
    // "31.02.2024" reads as no date: the calendar opens on today's month and paints.
    TDatePopup* popup = OpenOn(PickerDate("31.02.2024", Date()));
    popup->SetMonthNames(&names);
    EXPECT_EQ(popup->GetYear(), 2025);
    EXPECT_EQ(popup->GetMonth(), 1);
    const TRect title{20, 2, 127, 18};
    popup->Repaint();
    const int english = Ink(popup, title, clBtnFace);  // eleven names: "January"
    names.Add("M12");
    popup->Repaint();
    EXPECT_LT(Ink(popup, title, clBtnFace), english);  // "M1"
    EXPECT_GT(Ink(popup, title, clBtnFace), 0);

    // A month the writers were given out of range shows a real one instead of failing to paint.
    popup->SetYear(1);
    popup->SetMonth(0);
    popup->Repaint();
}

// ---- The palette --------------------------------------------------------------------------------------------

class PaletteTest : public PopupTest {
protected:
    TColorPopup* OpenOn(TColor color, bool web = false)
    {
        auto* popup = Make<TColorPopup>();
        popup->SetBounds(0, 0, 213, 151);
        popup->SetSelectedColor(color);
        popup->SetWebColorFormat(web);
        Open(popup, TPoint{-10, -10});
        Pump();
        return popup;
    }
    static TPoint SwatchCentre(int column, int row)
    {
        const TRect r = PaletteCellRect(column, row);
        return TPoint{r.left + 5, r.top + 5};
    }
    ui::ScriptedColorDialogs Dialogs;
    ui::ScopedService<ui::IColorDialogs> DialogsInPlace{ui::SetColorDialogs, Dialogs};
};

TEST_F(PaletteTest, PaintsEverySwatchFramesTheLastMatchAndShowsTheSelectedColour)
{
    TColorPopup* popup = OpenOn(clBlack);
    EXPECT_EQ(popup->GetClientWidth(), 211);
    EXPECT_EQ(popup->GetClientHeight(), 149);
    EXPECT_EQ(ui::GetWindowLong(popup->GetHandle(), ui::GWL_STYLE) & ui::WS_VSCROLL, 0);
    for (int row = 0; row < PaletteRows; ++row)
        for (int column = 0; column < PaletteColumns; ++column) {
            const TPoint c = SwatchCentre(column, row);
            ASSERT_EQ(Pixel(popup, c.x, c.y), Rgb(PaletteColor(column, row))) << column << "," << row;
        }
    // Black is in columns 0 and 2 of every row: the frame marks column 2 of row 11 only.
    const TRect last = PaletteCellRect(2, 11);
    EXPECT_EQ(Pixel(popup, last.left, last.top + 5), Rgb(clWhite));
    const TRect first = PaletteCellRect(0, 0);
    EXPECT_EQ(Pixel(popup, first.right - 1, first.top + 5), Rgb(clBlack));
    EXPECT_EQ(Pixel(popup, 20, 14), Rgb(clBlack));  // the colour box
    EXPECT_GT(Ink(popup, TRect{45, 8, 105, 25}, clBtnFace), 0);  // "clBlack"
}

TEST_F(PaletteTest, NoColourAndTextThatIsNoColourShowAWhiteBoxWithARedCross)
{
    for (const char* text : {"", "clRe"}) {
        SCOPED_TRACE(text);
        TColorPopup* popup = OpenOn(PickerColor(text, false));
        const TRect box{4, 4, 39, 24};
        int red = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                red += Pixel(popup, x, y) == Rgb(clRed) ? 1 : 0;
        EXPECT_GE(red, 2 * 30);  // two lines corner to corner
        EXPECT_EQ(Pixel(popup, 21, 6), Rgb(clWhite));
        EXPECT_EQ(Pixel(popup, 4, 4), Rgb(clBlack));
        // No frame anywhere: no swatch is the selection.
        for (int row = 0; row < PaletteRows; ++row)
            for (int column = 0; column < PaletteColumns; ++column) {
                const TRect r = PaletteCellRect(column, row);
                ASSERT_NE(Pixel(popup, r.left, r.top + 5), Rgb(clWhite)) << column << "," << row;
            }
        popup->ClosePopup();
    }
}

TEST_F(PaletteTest, APickIsTheSwatchUnderThePointerAndOutsideThemTheEmptyText)
{
    struct Row {
        const char* Name;
        TPoint At;
        bool Web;
        std::string Expected;
    };
    const Row rows[] = {
        {"Swatch", SwatchCentre(1, 6), false, "clRed"},
        {"SwatchWeb", SwatchCentre(20, 11), true, "#FFFFFF"},
        {"NumberedColour", SwatchCentre(3, 6), false, ColorToString(PaletteColor(3, 6))},
        {"LastColumn", {209, 100}, false, ColorToString(PaletteColor(20, 7))},
        {"RightOfTheSwatches", {210, 100}, false, ""},
        {"ColourTextAboveTheSwatches", {60, 26}, false, ""},
        {"BoxAboveTheSwatches", {20, 12}, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TColorPopup* popup = OpenOn(clWhite, row.Web);
        Seen.Log.clear();
        const TPoint at = popup->ClientToScreen(row.At);
        Post(ui::WM_MOUSEMOVE, at);
        Click(at);
        EXPECT_EQ(Seen.Log, (Log{"select " + row.Expected}));
        delete popup;
    }
}

TEST_F(PaletteTest, ThePointerShowsTheColourUnderItAndElseTheSelectedOne)
{
    TColorPopup* popup = OpenOn(clYellow);
    Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(SwatchCentre(1, 8)));
    EXPECT_EQ(Pixel(popup, 20, 14), Rgb(clBlue));
    Post(ui::WM_MOUSEMOVE, popup->ClientToScreen(TPoint{60, 20}));
    EXPECT_EQ(Pixel(popup, 20, 14), Rgb(clYellow));
}

TEST_F(PaletteTest, MoreColoursClosesFirstAndPicksTheDialogsColourNoColourPicksTheEmptyText)
{
    TColorPopup* popup = OpenOn(clWhite);
    const TPoint more = popup->GetMoreColorsButton()->ClientToScreen(TPoint{10, 10});
    Dialogs.Answers = {ui::RGB(1, 2, 3), std::nullopt};
    Post(ui::WM_MOUSEMOVE, more);
    Click(more);
    EXPECT_EQ(Seen.Log, (Log{"close", "select " + ColorToString(static_cast<TColor>(ui::RGB(1, 2, 3)))}));
    EXPECT_TRUE(popup->GetClosed());

    Seen.Log.clear();
    popup = OpenOn(clWhite, true);
    Post(ui::WM_MOUSEMOVE, more);
    Click(more);  // cancelled
    EXPECT_EQ(Seen.Log, (Log{"close"}));

    Seen.Log.clear();
    popup = OpenOn(clWhite);
    const TPoint none = popup->GetNoColorButton()->ClientToScreen(TPoint{10, 10});
    Post(ui::WM_MOUSEMOVE, none);
    Click(none);
    EXPECT_EQ(Seen.Log, (Log{"select "}));
}

}  // namespace
