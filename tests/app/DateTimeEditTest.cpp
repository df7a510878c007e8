// The date/time dialog as its user meets it: where each showing starts, the choice the clicks check, the day
// counts and what OK and Cancel leave for the caller, driven by real Qt input on a shown form.
#include "app/DateTimeEdit.h"

#include "AppTestSupport.h"
#include "DialogTestSupport.h"
#include "app/Localizer.h"
#include "toolkit/DateUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;
using test::Click;
using test::Pump;

constexpr double OneSecond = 1.0 / 86400;

class DateTimeEditDialog : public ::testing::Test {
protected:
    // Shows the dialog modally with the text, runs the user's part inside its loop and returns the result.
    TModalResult Run(const std::string& text, const std::function<void()>& user)
    {
        FDialog->InitialText = text;
        const test::TModalScript script(*FDialog, user);
        const TModalResult result = FDialog->ShowModal();
        EXPECT_TRUE(script.GetRan());
        return result;
    }
    static bool Near(TDateTime a, TDateTime b) { return std::fabs(a - b) < OneSecond / 2; }

    test::TPinnedLocale FLocale;
    const TDateTime FNow = EncodeDateTime(2030, 1, 2, 8, 15, 0, 0);
    test::TPinnedClock FClock{FNow};
    std::unique_ptr<TDateTimeEdit> FDialog = std::make_unique<TDateTimeEdit>(nullptr);
};

TEST_F(DateTimeEditDialog, EachShowingStartsChangeDateAtTheTextOrNowAndKeepsTheShifts)
{
    const struct {
        const char* Text;
        TDateTime Start;
    } rows[] = {{"", FNow},
                {"not a date", FNow},
                {"+ 1 / 1:30", FNow},
                {"5/17/2024 14:30:45", EncodeDateTime(2024, 5, 17, 14, 30, 45, 0)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(Run(row.Text,
                      [&] {
                          EXPECT_TRUE(Near(FDialog->DateTimePicker1->GetDateTime(), row.Start));
                          EXPECT_TRUE(Near(FDialog->DateTimePicker2->GetDateTime(), row.Start));
                          EXPECT_EQ(FDialog->ResultMode, 0) << "reset at each showing";
                          // What the user sets for a shift stays for the next showing.
                          Click(FDialog->RadioButton2);
                          FDialog->UpDown1->SetPosition(3);
                          FDialog->DateTimePicker3->SetDateTime(EncodeTime(2, 0, 0, 0));
                          Click(FDialog->Button1);
                      }),
                  mrOk);
        EXPECT_EQ(FDialog->ResultMode, 2);
    }
    EXPECT_TRUE(FDialog->RadioButton2->GetChecked());
    EXPECT_EQ(FDialog->UpDown1->GetPosition(), 3);
    EXPECT_TRUE(Near(FDialog->DateTimePicker3->GetTime(), EncodeTime(2, 0, 0, 0)));
}

struct TChoiceRow {
    const char* Name;
    std::function<void(TDateTimeEdit&)> Choose;  // what the user sets before OK
    std::uint8_t Mode;
    TDateTime Value;  // for a shift, only its time of day counts
    std::int32_t Days;
};

void PrintTo(const TChoiceRow& row, std::ostream* out) { *out << row.Name; }

class DateTimeEditOkButton : public DateTimeEditDialog, public ::testing::WithParamInterface<TChoiceRow> {};

TEST_P(DateTimeEditOkButton, GivesTheCheckedChoiceAndCancelLeavesIt)
{
    const TChoiceRow& row = GetParam();
    ASSERT_EQ(Run("1/1/2020 0:00:00",
                  [&] {
                      row.Choose(*FDialog);
                      Click(FDialog->Button1);
                  }),
              mrOk);
    EXPECT_EQ(FDialog->ResultMode, row.Mode);
    const TDateTime value = row.Mode == 1 ? FDialog->ResultValue : TimeOf(FDialog->ResultValue);
    EXPECT_TRUE(Near(value, row.Value)) << value;
    if (row.Mode != 1) {
        EXPECT_EQ(FDialog->ResultDays, row.Days);
    }

    // Cancel, after changing everything, leaves the value and days of the OK; the mode says nothing was chosen
    // in this showing.
    const TDateTime kept = FDialog->ResultValue;
    const std::int32_t keptDays = FDialog->ResultDays;
    EXPECT_EQ(Run("",
                  [&] {
                      Click(FDialog->RadioButton3);
                      FDialog->UpDown2->SetPosition(9);
                      Click(FDialog->Button2);
                  }),
              mrCancel);
    EXPECT_EQ(FDialog->ResultMode, 0);
    EXPECT_EQ(FDialog->ResultValue, kept);
    EXPECT_EQ(FDialog->ResultDays, keptDays);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, DateTimeEditOkButton,
    ::testing::Values(TChoiceRow{"SetTakesTheDateOfOnePickerAndTheTimeOfTheOther",
                                 [](TDateTimeEdit& dialog) {
                                     Click(dialog.RadioButton1);
                                     dialog.DateTimePicker1->SetDateTime(EncodeDateTime(2024, 5, 17, 9, 9, 9, 0));
                                     dialog.DateTimePicker2->SetDateTime(EncodeDateTime(2001, 1, 1, 14, 30, 45, 0));
                                 },
                                 1, EncodeDateTime(2024, 5, 17, 14, 30, 45, 0), 0},
                      TChoiceRow{"AddTwoDaysAndThreeHours",
                                 [](TDateTimeEdit& dialog) {
                                     Click(dialog.RadioButton2);
                                     Click(dialog.Edit1);
                                     test::Type(dialog.Edit1, "2");  // after the "0" already there: 02
                                     dialog.DateTimePicker3->SetDateTime(EncodeTime(3, 0, 0, 0));
                                 },
                                 2, EncodeTime(3, 0, 0, 0), 2},
                      TChoiceRow{"SubtractOneDayAndHalfAMinute",
                                 [](TDateTimeEdit& dialog) {
                                     Click(dialog.RadioButton3);
                                     dialog.UpDown2->SetPosition(1);
                                     dialog.DateTimePicker4->SetDateTime(EncodeTime(0, 0, 30, 0));
                                 },
                                 3, EncodeTime(0, 0, 30, 0), 1}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(DateTimeEditDialog, OnlyTheCheckedChoiceTakesClicksAndTheDayCountsStayWithin0To1000)
{
    Run("", [&] {
        const auto enabled = [&] {
            std::string text;
            for (TControl* control : std::initializer_list<TControl*>{
                     FDialog->DateTimePicker1, FDialog->DateTimePicker2, FDialog->Edit1, FDialog->UpDown1,
                     FDialog->DateTimePicker3, FDialog->Edit2, FDialog->UpDown2, FDialog->DateTimePicker4})
                text += control->GetEnabled() ? '1' : '0';
            return text;
        };
        Click(FDialog->RadioButton1);
        EXPECT_EQ(enabled(), "11000000");
        Click(FDialog->Edit2);  // disabled: no click, the choice stays
        Click(FDialog->UpDown1);
        EXPECT_TRUE(FDialog->RadioButton1->GetChecked());
        Click(FDialog->DateTimePicker2);  // in the checked group
        EXPECT_TRUE(FDialog->RadioButton1->GetChecked());

        Click(FDialog->RadioButton2);
        EXPECT_EQ(enabled(), "00111000");
        EXPECT_FALSE(FDialog->RadioButton1->GetChecked());
        Click(FDialog->Edit1);
        EXPECT_TRUE(FDialog->RadioButton2->GetChecked());

        // The lower arrow at 0 and a typed count past the end both stay within the range.
        Click(FDialog->UpDown1, ui::POINT{FDialog->UpDown1->GetWidth() / 2, FDialog->UpDown1->GetHeight() - 3});
        EXPECT_EQ(FDialog->UpDown1->GetPosition(), 0);
        EXPECT_TRUE(FDialog->RadioButton2->GetChecked());
        test::Type(FDialog->Edit1, "5000");  // "05000"
        EXPECT_EQ(FDialog->UpDown1->GetPosition(), 1000);
        Click(FDialog->UpDown1, ui::POINT{FDialog->UpDown1->GetWidth() / 2, 3});
        EXPECT_EQ(FDialog->UpDown1->GetPosition(), 1000);

        Click(FDialog->RadioButton3);
        EXPECT_EQ(enabled(), "00000111");
        Click(FDialog->Button1);
    });
    EXPECT_EQ(FDialog->ResultMode, 3);
}

TEST_F(DateTimeEditDialog, LocalizeDialogTakesTheTextsAndTheGroupWidensForALongChoice)
{
    test::TTempFolder folder;
    TVekLocalizer localizer(folder.Path());
    SetLocalizer(&localizer);
    const std::string longChoice = "Zur aktuellen Zeit addieren (Tage / Stunden : Minuten : Sekunden), sehr lang";
    GetLocalizedStrings("Common").SetText("1203=Datum\n1204=Setzen\n1205=" + longChoice +
                                          "\n1206=Abziehen\n1=Gut\n2=Nein\n");
    const int width = FDialog->GetClientWidth();
    FDialog->LocalizeDialog();
    SetLocalizer(nullptr);
    EXPECT_EQ(FDialog->GetCaption(), "Datum");
    EXPECT_EQ(FDialog->RadioButton1->GetCaption(), "Setzen");
    EXPECT_EQ(FDialog->RadioButton2->GetCaption(), longChoice);
    EXPECT_EQ(FDialog->RadioButton3->GetCaption(), "Abziehen");
    EXPECT_EQ(FDialog->Button1->GetCaption(), "Gut");
    EXPECT_EQ(FDialog->Button2->GetCaption(), "Nein");

    // The long caption is shown whole: the group and the form grow, and the buttons keep to the right edge.
    FDialog->Show();
    Pump();
    EXPECT_GT(FDialog->GetClientWidth(), width);
    const int right = FDialog->GroupBox1->GetLeft() + FDialog->GroupBox1->GetWidth();
    EXPECT_LE(right, FDialog->GetClientWidth());
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.GetCanvas()->SetFont(FDialog->RadioButton2->GetFont());
    EXPECT_GT(FDialog->RadioButton2->GetWidth(), measure.GetCanvas()->TextWidth(longChoice));
    EXPECT_LE(FDialog->RadioButton2->GetLeft() + FDialog->RadioButton2->GetWidth(), FDialog->GroupBox1->GetWidth());
    EXPECT_EQ(FDialog->GetClientWidth() - (FDialog->Button2->GetLeft() + FDialog->Button2->GetWidth()),
              333 - (251 + 75));
    FDialog->Hide();
}

}  // namespace
}  // namespace ovrel::app
