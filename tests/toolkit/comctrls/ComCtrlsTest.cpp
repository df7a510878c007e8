// Page control, tab control, date/time picker and up-down: program sets, clicks through the queue, events.
#include "../controls/ControlsTestSupport.h"

#include "toolkit/ComCtrls.h"

#include "support/QtInput.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::toolkit {
namespace {

struct Recorder {
    std::vector<std::string> Log;
    void Change(TObject*) { Log.push_back("change"); }
    void Click(TObject*) { Log.push_back("click"); }
    void Step(TObject*, TUDBtnType button) { Log.push_back(button == btNext ? "next" : "prev"); }
};

class ComCtrlsTest : public ::testing::Test {
protected:
    ComCtrlsTest()
    {
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
    }
    void Press(TControl* target, int x, int y)
    {
        const ui::POINT at = target->ClientToScreen({x, y});
        ui::PostMouseInput(ui::WM_LBUTTONDOWN, at, 0, 0);
        ui::PostMouseInput(ui::WM_LBUTTONUP, at, 0, 0);
        Application.ProcessMessages();
    }

    Recorder Events;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
};

// --- page control ---

class PageControlTest : public ComCtrlsTest {
protected:
    PageControlTest()
    {
        Pages->SetParent(Form.get());
        Pages->SetBounds(10, 10, 300, 200);
        for (const char* caption : {"General", "Dates", "Files"}) {
            auto* sheet = new TTabSheet(Form.get());
            sheet->SetCaption(caption);
            sheet->SetPageControl(Pages);
        }
        Pages->OnChange = TNotifyEvent(&Events, &Recorder::Change);
    }
    [[nodiscard]] std::vector<bool> Shown() const
    {
        std::vector<bool> shown;
        for (int i = 0; i < Pages->GetPageCount(); ++i)
            shown.push_back(Pages->GetPage(i)->GetVisible());
        return shown;
    }
    TPageControl* Pages = new TPageControl(Form.get());
};

TEST_F(PageControlTest, FirstSheetIsActiveAndOnlyTheActiveSheetShows)
{
    ASSERT_EQ(Pages->GetPageCount(), 3);
    EXPECT_EQ(Pages->GetActivePageIndex(), 0);
    EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Pages->GetPage(2)->GetPageIndex(), 2);
    EXPECT_EQ(Pages->GetPage(1)->GetCaption(), "Dates");

    Pages->SetActivePageIndex(2);
    EXPECT_EQ(Pages->GetActivePage(), Pages->GetPage(2));
    EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(Events.Log.empty()) << "a program set is not a user's change";
}

TEST_F(PageControlTest, SheetFillsTheAreaBelowTheTabsAndParentsControls)
{
    TTabSheet* sheet = Pages->GetPage(0);
    EXPECT_EQ(sheet->GetTop(), TabStripHeight);
    EXPECT_EQ(sheet->GetWidth(), Pages->GetClientWidth());
    EXPECT_EQ(sheet->GetHeight(), Pages->GetClientHeight() - TabStripHeight);

    auto* child = new TCustomControl(Form.get());
    child->SetParent(sheet);
    EXPECT_EQ(child->GetParent(), sheet);
    EXPECT_NE(dynamic_cast<TTabSheet*>(child->GetParent()), nullptr);
}

TEST_F(PageControlTest, ClickOnATabActivatesItAndNotifiesOnce)
{
    Press(Pages, TabWidth + 10, 8);
    EXPECT_EQ(Pages->GetActivePageIndex(), 1);
    Press(Pages, TabWidth + 10, 8);  // the active tab again
    Press(Pages, 3 * TabWidth + 10, 8);  // past the last tab
    Press(Pages, 10, TabStripHeight + 20);  // on the sheet
    EXPECT_EQ(Pages->GetActivePageIndex(), 1);
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"change"}));
}

TEST_F(ComCtrlsTest, ALongCaptionWidensItsTabAndMovesTheTabsAfterIt)
{
    auto* tabs = new TTabControl(Form.get());
    tabs->SetParent(Form.get());
    tabs->SetBounds(0, 0, 390, 100);
    tabs->GetTabs()->Add("Short");
    tabs->GetTabs()->Add("A caption far longer than one narrow tab");
    tabs->GetTabs()->Add("Last");
    TBitmap measure;
    measure.GetCanvas()->SetFont(tabs->GetFont());
    const int longRight = TabWidth + measure.GetCanvas()->TextWidth(tabs->GetTabs()->Get(1)) + 2 * TabTextMargin;
    ASSERT_GT(longRight, 2 * TabWidth);
    EXPECT_EQ(tabs->IndexOfTabAt(TabWidth - 1, 5), 0);
    EXPECT_EQ(tabs->IndexOfTabAt(TabWidth, 5), 1);
    EXPECT_EQ(tabs->IndexOfTabAt(longRight - 1, 5), 1) << "still the long tab, past where a narrow one ends";
    EXPECT_EQ(tabs->IndexOfTabAt(longRight, 5), 2);
    EXPECT_EQ(tabs->IndexOfTabAt(longRight + TabWidth, 5), -1);
    Press(tabs, longRight + 5, 5);
    EXPECT_EQ(tabs->GetTabIndex(), 2);
}

TEST_F(PageControlTest, FreeingOrMovingTheActiveSheetActivatesAnother)
{
    Pages->SetActivePageIndex(1);
    delete Pages->GetPage(1);
    ASSERT_EQ(Pages->GetPageCount(), 2);
    EXPECT_EQ(Pages->GetActivePage()->GetCaption(), "Files");

    TTabSheet* files = Pages->GetActivePage();
    files->SetPageControl(nullptr);
    EXPECT_EQ(files->GetPageIndex(), -1);
    EXPECT_EQ(Pages->GetActivePage()->GetCaption(), "General");

    auto* other = new TPageControl(Form.get());
    other->SetParent(Form.get());
    Pages->SetActivePage(files);  // not a page of this control
    EXPECT_EQ(Pages->GetActivePage()->GetCaption(), "General");
    Pages->SetActivePageIndex(7);
    EXPECT_EQ(Pages->GetActivePage(), nullptr);
    EXPECT_EQ(Shown(), (std::vector<bool>{false}));
    delete files;
}

TEST_F(PageControlTest, FreeingThePageControlFreesItsSheets)
{
    auto* child = new TCustomControl(nullptr);
    child->SetParent(Pages->GetPage(0));
    delete Pages;  // the sheets and their children go with it, without reaching back
    EXPECT_EQ(Form->GetControlCount(), 0);
}

// --- tab control ---

TEST_F(ComCtrlsTest, TabControlFollowsItsTabsAndTheUsersClicks)
{
    auto* tabs = new TTabControl(Form.get());
    tabs->SetParent(Form.get());
    tabs->SetBounds(0, 0, 300, 100);
    tabs->OnChange = TNotifyEvent(&Events, &Recorder::Change);
    EXPECT_EQ(tabs->GetTabIndex(), -1);
    tabs->GetTabs()->Add("One");
    tabs->GetTabs()->Add("Two");
    tabs->GetTabs()->Add("Three");
    EXPECT_EQ(tabs->GetTabIndex(), 0);

    tabs->SetTabIndex(2);
    EXPECT_EQ(tabs->GetTabIndex(), 2);
    tabs->SetTabIndex(5);
    EXPECT_EQ(tabs->GetTabIndex(), -1);
    EXPECT_TRUE(Events.Log.empty());

    Press(tabs, TabWidth + 5, 5);
    EXPECT_EQ(tabs->GetTabIndex(), 1);
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"change"}));

    tabs->GetTabs()->Delete(2);
    EXPECT_EQ(tabs->GetTabIndex(), 1);
    tabs->GetTabs()->Delete(1);
    EXPECT_EQ(tabs->GetTabIndex(), 0) << "a shrunk list falls back to its first tab";
    tabs->GetTabs()->Clear();
    EXPECT_EQ(tabs->GetTabIndex(), -1);
}

// --- date/time picker ---

TEST_F(ComCtrlsTest, DateAndTimePartsAreSetApart)
{
    TDateTimePicker picker(nullptr);
    picker.OnChange = TNotifyEvent(&Events, &Recorder::Change);
    picker.SetDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 10, 0));
    picker.SetDate(EncodeDate(2023, 7, 1));
    EXPECT_EQ(picker.GetDateTime(), EncodeDateTime(2023, 7, 1, 13, 45, 10, 0));
    picker.SetTime(EncodeTime(6, 5, 4, 0));
    EXPECT_EQ(picker.GetDateTime(), EncodeDateTime(2023, 7, 1, 6, 5, 4, 0));
    EXPECT_EQ(picker.GetDate(), EncodeDate(2023, 7, 1));
    EXPECT_NEAR(picker.GetTime(), EncodeTime(6, 5, 4, 0), 0.5 / MSecsPerDay);  // to the millisecond
    picker.SetTime(EncodeTime(6, 5, 4, 0));  // unchanged
    EXPECT_EQ(Events.Log.size(), 3U);

    EXPECT_EQ(picker.DisplayText(), DateToStr(picker.GetDateTime()));
    picker.SetKind(dtkTime);
    EXPECT_EQ(picker.DisplayText(), TimeToStr(picker.GetDateTime()));
}

TEST_F(ComCtrlsTest, PickerClicksOnMouseUpOnlyWhileEnabled)
{
    auto* picker = new TDateTimePicker(Form.get());
    picker->SetParent(Form.get());
    picker->SetBounds(10, 10, 150, 23);
    picker->OnClick = TNotifyEvent(&Events, &Recorder::Click);
    const ui::POINT at = picker->ClientToScreen({5, 5});
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, at, 0, 0);
    Application.ProcessMessages();
    EXPECT_TRUE(Events.Log.empty());
    ui::PostMouseInput(ui::WM_LBUTTONUP, at, 0, 0);
    Application.ProcessMessages();
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"click"}));

    picker->SetEnabled(false);
    Press(picker, 5, 5);
    EXPECT_EQ(Events.Log.size(), 1U);
}

class PickerTest : public ComCtrlsTest {
protected:
    PickerTest()
    {
        Picker->SetParent(Form.get());
        Picker->SetBounds(10, 10, 150, 23);
        Watched(Picker);
    }
    TDateTimePicker* Watched(TDateTimePicker* picker)
    {
        picker->OnChange = TNotifyEvent(this, &PickerTest::Changed);
        return picker;
    }
    void Changed(TObject*) { Seen.push_back(Picker->GetDateTime()); }
    [[nodiscard]] QDateTimeEdit* Widget() const { return qobject_cast<QDateTimeEdit*>(Picker->GetWidget()); }
    // Real key events: the widget queues them to us and gets them back from the default procedure.
    void Key(int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(Widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(Widget(), &release);
        Application.ProcessMessages();
    }
    void Type(QDateTimeEdit::Section section, const std::string& digits)
    {
        Widget()->setSelectedSection(section);
        for (char c : digits)
            Key(Qt::Key_0 + (c - '0'), QString(QChar(c)));
    }
    void Focus()
    {
        Form->Show();
        Picker->SetFocus();
        Application.ProcessMessages();
        ASSERT_NE(Widget(), nullptr);
    }
    // Each notification saw a new value, and the last one is the value now held.
    void ExpectOneEventPerChange() const
    {
        ASSERT_FALSE(Seen.empty());
        for (std::size_t i = 1; i < Seen.size(); ++i)
            EXPECT_NE(Seen[i], Seen[i - 1]) << "event " << i << " repeats an unchanged value";
        EXPECT_EQ(Seen.back(), Picker->GetDateTime());
    }

    TDateTimePicker* Picker = new TDateTimePicker(Form.get());
    std::vector<TDateTime> Seen;
};

TEST_F(PickerTest, TheValueSetBeforeTheWindowShowsAndSurvivesRecreatingAndAChangeOfKind)
{
    const TDateTime value = EncodeDateTime(2019, 11, 3, 21, 7, 58, 0);
    Picker = Watched(new TDateTimePicker(Form.get()));  // no parent yet: no window
    Picker->SetDateTime(value);
    EXPECT_EQ(Picker->GetWidget(), nullptr);
    Picker->SetParent(Form.get());
    Application.ProcessMessages();
    for (const char* stage : {"made", "remade"}) {
        SCOPED_TRACE(stage);
        auto* date = qobject_cast<QDateEdit*>(Picker->GetWidget());
        ASSERT_NE(date, nullptr);
        EXPECT_EQ(date->date(), QDate(2019, 11, 3));
        EXPECT_TRUE(date->calendarPopup());
        EXPECT_EQ(Picker->GetDateTime(), value);
        Picker->RecreateWnd();
        Application.ProcessMessages();
    }
    Picker->SetKind(dtkTime);
    Application.ProcessMessages();
    auto* time = qobject_cast<QTimeEdit*>(Picker->GetWidget());
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->time(), QTime(21, 7, 58));
    EXPECT_TRUE(time->displayFormat().contains(QStringLiteral("ss"))) << "seconds are shown";
    EXPECT_EQ(Picker->GetDateTime(), value);
    EXPECT_EQ(Seen.size(), 1U) << "only the first set changed the value";
}

TEST_F(PickerTest, AProgramSetReachesTheWidgetAndNotifiesOnceAndAnEqualSetNotAtAll)
{
    Picker->SetKind(dtkTime);
    Focus();
    Picker->SetTime(EncodeTime(8, 30, 0, 0));
    EXPECT_EQ(Widget()->time(), QTime(8, 30, 0));
    Picker->SetDateTime(Picker->GetDateTime());
    Picker->SetTime(EncodeTime(8, 30, 0, 0));
    Application.ProcessMessages();
    EXPECT_EQ(Seen.size(), 1U) << "the widget's own signal adds no second event";

    // A date before the widget's range shows clamped, but the value held is the one set.
    Seen.clear();
    Picker->SetKind(dtkDate);
    Application.ProcessMessages();
    const TDateTime early = EncodeDateTime(1600, 3, 1, 8, 30, 0, 0);
    Picker->SetDateTime(early);
    ASSERT_NE(Widget(), nullptr);
    EXPECT_EQ(Widget()->date(), Widget()->minimumDate());
    EXPECT_EQ(Picker->GetDateTime(), early);
    EXPECT_EQ(Seen, (std::vector<TDateTime>{early}));
}

TEST_F(PickerTest, TypingADateKeepsTheTimeOfDay)
{
    Picker->SetDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 10, 0));
    Seen.clear();
    Focus();
    Type(QDateTimeEdit::YearSection, "2023");
    Type(QDateTimeEdit::MonthSection, "07");
    Type(QDateTimeEdit::DaySection, "15");
    EXPECT_EQ(Picker->GetDateTime(), EncodeDateTime(2023, 7, 15, 13, 45, 10, 0));
    ExpectOneEventPerChange();
}

TEST_F(PickerTest, TypingATimeAndArrowKeysKeepTheDate)
{
    Picker->SetKind(dtkTime);
    Picker->SetDateTime(EncodeDateTime(2022, 5, 6, 6, 5, 4, 0));
    Seen.clear();
    Focus();
    Type(QDateTimeEdit::HourSection, "13");
    Type(QDateTimeEdit::SecondSection, "59");
    EXPECT_EQ(Picker->GetDateTime(), EncodeDateTime(2022, 5, 6, 13, 5, 59, 0));
    ExpectOneEventPerChange();

    Seen.clear();
    Widget()->setSelectedSection(QDateTimeEdit::MinuteSection);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(Picker->GetDateTime(), EncodeDateTime(2022, 5, 6, 13, 6, 59, 0));
    EXPECT_EQ(Seen.size(), 3U);
}

// Clicked into a field and typed over, as a user sets a time: the click selects the field under it.
TEST_F(PickerTest, DigitsTypedAfterAClickReplaceTheClickedField)
{
    Picker->SetKind(dtkTime);
    Picker->SetDateTime(EncodeDateTime(2022, 5, 6, 0, 0, 0, 0));
    Focus();
    QLineEdit* line = Widget()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    const QFontMetrics metrics(line->font());
    const struct {
        const char* field;
        const char* before;  // the text left of the click
        const char* digits;
        TDateTime expected;
    } rows[] = {{"Hour", "0", "03", EncodeDateTime(2022, 5, 6, 3, 0, 0, 0)},
                {"Minute", "00:0", "45", EncodeDateTime(2022, 5, 6, 3, 45, 0, 0)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        // Between the field's two digits, past the frame's margin of a few pixels.
        const QPointF at(3 + metrics.horizontalAdvance(QString::fromLatin1(row.before)), line->height() / 2.0);
        ovrel::test::SendQtClick(line, at, Qt::NoModifier, [this] { Application.ProcessMessages(); });
        for (const char c : std::string_view(row.digits))
            Key(Qt::Key_0 + (c - '0'), QString(QChar(c)));
        EXPECT_EQ(Picker->GetDateTime(), row.expected);
    }
}

TEST_F(PickerTest, AHandlerMayFreeThePickerWhileTheUserTypes)
{
    Focus();
    struct Freer {
        TDateTimePicker* Target = nullptr;
        void Free(TObject*) { delete Target; }
    } freer{Picker};
    Picker->OnChange = TNotifyEvent(&freer, &Freer::Free);
    Widget()->setSelectedSection(QDateTimeEdit::DaySection);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(Widget(), &up);
    Application.ProcessMessages();
    EXPECT_EQ(Form->GetControlCount(), 0);
}

// --- up-down ---

class UpDownTest : public ComCtrlsTest {
protected:
    UpDownTest()
    {
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 60, 23);
        Arrows->SetParent(Form.get());
        Arrows->SetBounds(70, 10, 17, 24);
        Arrows->SetMin(-5);
        Arrows->SetMax(10);
        Arrows->SetAssociate(Edit);
        Arrows->OnClick = TUDClickEvent(&Events, &Recorder::Step);
    }
    void Up() { Press(Arrows, 8, 3); }
    void Down() { Press(Arrows, 8, 20); }

    TCustomControl* Edit = new TCustomControl(Form.get());  // any control with a text stands for the edit
    TUpDown* Arrows = new TUpDown(Form.get());
};

TEST_F(UpDownTest, PositionIsClampedAndShownInTheAssociate)
{
    EXPECT_EQ(Edit->GetText(), "0");
    struct Case {
        const char* Name;
        int Set;
        int Expected;
    };
    for (const Case& c :
         {Case{"inside", 7, 7}, Case{"above", 11, 10}, Case{"below", -50, -5}, Case{"at min", -5, -5}}) {
        SCOPED_TRACE(c.Name);
        Arrows->SetPosition(c.Set);
        EXPECT_EQ(Arrows->GetPosition(), c.Expected);
        EXPECT_EQ(Edit->GetText(), std::to_string(c.Expected));
    }
    Arrows->SetPosition(8);
    Arrows->SetMax(4);
    EXPECT_EQ(Edit->GetText(), "4") << "a lowered Max pulls the position in";
}

TEST_F(UpDownTest, ArrowsStepFromTypedTextAndStopAtTheLimits)
{
    Edit->SetText(" 9 ");  // typed into the edit
    Up();
    EXPECT_EQ(Edit->GetText(), "10");
    Up();
    EXPECT_EQ(Edit->GetText(), "10");
    Edit->SetText("99");  // typed beyond Max reads as Max
    EXPECT_EQ(Arrows->GetPosition(), 10);
    Edit->SetText("-4");
    Down();
    Down();
    EXPECT_EQ(Edit->GetText(), "-5");
    Edit->SetText("junk");  // unreadable text keeps the last position
    Up();
    EXPECT_EQ(Edit->GetText(), "-4");
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"next", "next", "prev", "prev", "next"}));
}

TEST_F(UpDownTest, DisabledArrowsDoNothingAndAFreedAssociateIsForgotten)
{
    Arrows->SetEnabled(false);
    Up();
    EXPECT_EQ(Edit->GetText(), "0");
    EXPECT_TRUE(Events.Log.empty());

    delete Edit;
    EXPECT_EQ(Arrows->GetAssociate(), nullptr);
    Arrows->SetPosition(3);
    EXPECT_EQ(Arrows->GetPosition(), 3);
}

}  // namespace
}  // namespace ovrel::toolkit
