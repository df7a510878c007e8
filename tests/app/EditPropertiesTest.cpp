// The edit dialog as its user meets it: rows placed on the form, the shared values, typing, undo, the date
// button with the date/time dialog, and OK writing the files, driven by real Qt input.
#include "app/EditProperties.h"

#include "AppTestSupport.h"
#include "DialogTestSupport.h"
#include "app/DateTimeEdit.h"
#include "app/Localizer.h"
#include "platform/ui/Services.h"
#include "toolkit/DateUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;
using core::TVekImageInfo;
using imaging::fixtures::Dir;
using test::Bytes;
using test::Click;
using test::JpegWith;
using test::Pump;
using test::ReadFile;

constexpr std::uint32_t TagTitle = 800;
constexpr std::uint32_t TagArtist = 315;
constexpr std::uint32_t TagDateTime = 306;
constexpr std::uint32_t TagDateTimeOriginal = 36867;

// Two images that share an artist and differ in title; the first has a date taken, the second has none.
class EditPropertiesDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFiles = {
            FFolder.Write("a.jpg", JpegWith({{Dir::Ifd0, TagArtist, "Ann"},
                                             {Dir::Ifd0, TagTitle, "Sea"},
                                             {Dir::Exif, TagDateTimeOriginal, "2024:02:28 23:00:00"}})),
            FFolder.Write("b.jpg", JpegWith({{Dir::Ifd0, TagArtist, "Ann"}, {Dir::Ifd0, TagTitle, "Hill"}})),
        };
        for (const std::string& file : FFiles) {
            FImages.push_back(std::make_unique<TVekImageInfo>(file));
            FBefore.push_back(ReadFile(file));
        }
        FDialog->SetImages({FImages[0].get(), FImages[1].get()});
        FDialog->SetDateTimeEdit(FDateDialog.get());
        FDialog->Show();
        Pump();
    }
    void TearDown() override { FDialog->Hide(); }

    const TEditProperties::TRowControls& Row(std::uint32_t id) const
    {
        const int row = FDialog->GetModel().IndexOfId(id);
        EXPECT_GE(row, 0) << id;
        return FDialog->GetRows().at(static_cast<std::size_t>(row));
    }
    static std::string OnDisk(const std::string& file, std::uint32_t id)
    {
        const TVekImageInfo image(file);
        return image.HasProperty(id) ? image.GetPropertyText(id) : "(none)";
    }
    bool Untouched() const { return ReadFile(FFiles[0]) == FBefore[0] && ReadFile(FFiles[1]) == FBefore[1]; }

    test::TPinnedLocale FLocale;
    ui::ScriptedPrompter FPrompter;
    ui::ScopedService<ui::IPrompter> FPrompterGuard{ui::SetPrompter, FPrompter};
    test::TTempFolder FFolder;
    std::vector<std::string> FFiles;
    std::vector<Bytes> FBefore;
    std::vector<std::unique_ptr<TVekImageInfo>> FImages;
    std::unique_ptr<TDateTimeEdit> FDateDialog = std::make_unique<TDateTimeEdit>(nullptr);
    std::unique_ptr<TEditProperties> FDialog = std::make_unique<TEditProperties>(nullptr);
};

TEST_F(EditPropertiesDialog, RowsStandInTheirColumnsWithTheirButtonsAndTheFormFitsThem)
{
    const std::vector<TEditProperties::TRowControls>& rows = FDialog->GetRows();
    ASSERT_EQ(rows.size(), 10u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TEditRow& model = FDialog->GetModel().GetRow(static_cast<int>(i));
        const TEditProperties::TRowControls& row = rows[i];
        SCOPED_TRACE(model.Caption);
        const int top = 25 * static_cast<int>(i) + 5;
        EXPECT_EQ(row.Label->GetCaption(), model.Caption);
        EXPECT_EQ(row.Label->GetTop(), top);
        EXPECT_EQ(row.Label->GetLeft() + row.Label->GetWidth(), 190) << "right-aligned on one edge";
        EXPECT_GT(row.Label->GetWidth(), 20) << "sized to its caption";
        EXPECT_EQ(row.Edit->GetBoundsRect(), (ui::RECT{200, top, 200 + (model.IsDate ? 148 : 178), top + 21}));
        EXPECT_EQ(row.Edit->GetReadOnly(), model.IsDate);
        EXPECT_EQ(row.Edit->GetAnchors(), (TAnchors{akLeft, akTop, akRight}));
        EXPECT_EQ(row.UndoButton->GetBoundsRect(), (ui::RECT{383, top, 405, top + 22}));
        EXPECT_EQ(row.UndoButton->GetAnchors(), (TAnchors{akTop, akRight}));
        EXPECT_EQ(row.UndoButton->GetNumGlyphs(), 2);
        EXPECT_FALSE(row.UndoButton->GetGlyph()->GetEmpty());
        EXPECT_FALSE(row.UndoButton->GetEnabled());
        EXPECT_EQ(row.UndoButton->GetHint(), "Undo");
        ASSERT_EQ(row.DateButton != nullptr, model.IsDate);
        if (row.DateButton != nullptr) {
            EXPECT_EQ(row.DateButton->GetBoundsRect(), (ui::RECT{353, top, 375, top + 22}));
            EXPECT_TRUE(row.DateButton->GetEnabled());
            EXPECT_EQ(row.DateButton->GetHint(), "Edit");
            EXPECT_FALSE(row.DateButton->GetGlyph()->GetEmpty());
        }
    }
    // The last row's bottom, the button panel and a margin ask 321 pixels; the form's lower limit holds.
    EXPECT_EQ(FDialog->GetClientHeight(), 330);
    EXPECT_EQ(FDialog->Panel1->GetTop(), 330 - 40);
    EXPECT_LT(rows.back().Edit->GetTop() + rows.back().Edit->GetHeight(), FDialog->Panel1->GetTop());

    // A second showing builds the rows afresh: as many as before, none left over.
    const int controls = FDialog->GetControlCount();
    FDialog->Hide();
    FDialog->Show();
    EXPECT_EQ(FDialog->GetControlCount(), controls);
}

TEST_F(EditPropertiesDialog, FieldsShowWhatEveryImageSharesAndNothingCountsAsChanged)
{
    EXPECT_EQ(Row(TagArtist).Edit->GetText(), "Ann");
    EXPECT_EQ(Row(TagTitle).Edit->GetText(), "") << "the titles differ";
    EXPECT_EQ(Row(TagDateTimeOriginal).Edit->GetText(), "") << "only one image has the date";
    for (const TEditProperties::TRowControls& row : FDialog->GetRows())
        EXPECT_FALSE(row.UndoButton->GetEnabled());

    Click(FDialog->Button1);
    EXPECT_FALSE(FDialog->GetWriteResult().Wrote);
    EXPECT_TRUE(Untouched()) << "OK without a change saves nothing";
}

TEST_F(EditPropertiesDialog, TypedTextAndEnterInTheModalDialogWriteAndSaveBothImages)
{
    FDialog->Hide();
    const test::TModalScript script(*FDialog, [&] {
        TEdit* title = Row(TagTitle).Edit;
        Click(title);
        test::Type(title, "Coast");
        EXPECT_TRUE(Row(TagTitle).UndoButton->GetEnabled());
        test::Key(title, Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(FDialog->ShowModal(), mrOk);
    EXPECT_TRUE(script.GetRan());
    EXPECT_TRUE(FDialog->GetWriteResult().Wrote);
    EXPECT_TRUE(FDialog->GetWriteResult().FailedFiles.empty());
    for (const std::string& file : FFiles) {
        SCOPED_TRACE(file);
        EXPECT_EQ(OnDisk(file, TagTitle), "Coast");
        EXPECT_EQ(OnDisk(file, TagArtist), "Ann");
    }
    EXPECT_EQ(OnDisk(FFiles[1], TagDateTimeOriginal), "(none)") << "an unchanged row is not written";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FFolder.Path()), {}), 2) << "no temporary file";
    EXPECT_TRUE(FPrompter.Questions.empty());
}

TEST_F(EditPropertiesDialog, UndoBringsTheSharedValueBackAndOkThenSkipsTheRow)
{
    TEdit* artist = Row(TagArtist).Edit;
    Click(artist);
    test::Type(artist, "x");
    EXPECT_EQ(artist->GetText(), "Annx");
    ASSERT_TRUE(Row(TagArtist).UndoButton->GetEnabled());

    Click(Row(TagArtist).UndoButton);
    EXPECT_EQ(artist->GetText(), "Ann");
    EXPECT_FALSE(Row(TagArtist).UndoButton->GetEnabled());
    Click(Row(TagArtist).UndoButton);  // disabled: no click
    Click(FDialog->Button1);
    EXPECT_FALSE(FDialog->GetWriteResult().Wrote);
    EXPECT_TRUE(Untouched());
}

TEST_F(EditPropertiesDialog, AFileThatCannotBeSavedIsNamedInOneErrorAndTheOtherIsSaved)
{
    TEdit* title = Row(TagTitle).Edit;
    Click(title);
    test::Type(title, "Coast");
    FFolder.WriteText("b.jpg", "no longer an image");
    Click(FDialog->Button1);
    EXPECT_EQ(OnDisk(FFiles[0], TagTitle), "Coast");
    EXPECT_EQ(FDialog->GetWriteResult().FailedFiles, std::vector<std::string>{FFiles[1]});
    ASSERT_EQ(FPrompter.Questions.size(), 1u);
    EXPECT_EQ(FPrompter.Questions[0].Text, "Some changes could not be written to these files:\n" + FFiles[1]);
}

// ---- the date button ---------------------------------------------------------------------------------------

struct TDateButtonRow {
    const char* Name;
    std::uint32_t Id;
    // Sets the date/time dialog's controls as the user would before OK.
    std::function<void(TDateTimeEdit&)> Choose;
    const char* FieldText;
    std::vector<std::string> Stored;  // what each image holds afterwards, "(none)" for nothing
    bool Reported;  // the images that could not be shifted are named in an error
};

void PrintTo(const TDateButtonRow& row, std::ostream* out) { *out << row.Name; }

class EditPropertiesDateButton : public EditPropertiesDialog, public ::testing::WithParamInterface<TDateButtonRow> {};

TEST_P(EditPropertiesDateButton, WritesWhatTheDateDialogChoseIntoTheImages)
{
    const TDateButtonRow& row = GetParam();
    if (row.Reported) {
        // Stored dates that cannot be shifted: a camera's zeros and a text.
        FFolder.Write("a.jpg", JpegWith({{Dir::Exif, TagDateTimeOriginal, "0000:00:00 00:00:00"}}));
        FFolder.Write("b.jpg", JpegWith({{Dir::Exif, TagDateTimeOriginal, "sometime"}}));
        FImages[0] = std::make_unique<TVekImageInfo>(FFiles[0]);
        FImages[1] = std::make_unique<TVekImageInfo>(FFiles[1]);
        FDialog->Hide();
        FDialog->SetImages({FImages[0].get(), FImages[1].get()});
        FDialog->Show();
        FBefore = {ReadFile(FFiles[0]), ReadFile(FFiles[1])};
    }
    const test::TModalScript script(*FDateDialog, [&] {
        row.Choose(*FDateDialog);
        Click(FDateDialog->Button1);
    });
    Click(Row(row.Id).DateButton);
    ASSERT_TRUE(script.GetRan());
    EXPECT_EQ(Row(row.Id).Edit->GetText(), row.FieldText);
    EXPECT_TRUE(Row(row.Id).UndoButton->GetEnabled());

    Click(FDialog->Button1);
    EXPECT_EQ(OnDisk(FFiles[0], row.Id), row.Stored[0]);
    EXPECT_EQ(OnDisk(FFiles[1], row.Id), row.Stored[1]);
    if (row.Reported) {
        EXPECT_TRUE(Untouched());
        ASSERT_EQ(FPrompter.Questions.size(), 1u);
        EXPECT_NE(FPrompter.Questions[0].Text.find(FFiles[0]), std::string::npos);
        EXPECT_NE(FPrompter.Questions[0].Text.find(FFiles[1]), std::string::npos);
    } else {
        EXPECT_TRUE(FPrompter.Questions.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, EditPropertiesDateButton,
    ::testing::Values(TDateButtonRow{"SetReachesBothImagesAlsoTheOneWithoutTheDate",
                                     TagDateTime,
                                     [](TDateTimeEdit& dialog) {
                                         dialog.DateTimePicker1->SetDate(EncodeDate(2024, 5, 17));
                                         dialog.DateTimePicker2->SetTime(EncodeTime(14, 30, 45, 0));
                                     },
                                     "5/17/2024 14:30:45",
                                     {"5/17/2024 14:30:45", "5/17/2024 14:30:45"},
                                     false},
                      TDateButtonRow{"AddOneDayAndAnHourAndAHalfToTheImageThatHasTheDate",
                                     TagDateTimeOriginal,
                                     [](TDateTimeEdit& dialog) {
                                         Click(dialog.RadioButton2);  // enables the controls of "Add"
                                         dialog.UpDown1->SetPosition(1);
                                         dialog.DateTimePicker3->SetDateTime(EncodeTime(1, 30, 0, 0));
                                     },
                                     "+ 1 / 1:30",
                                     {"3/1/2024 0:30:00", "(none)"},
                                     false},
                      TDateButtonRow{"SubtractTwoDaysAndHalfAMinute",
                                     TagDateTimeOriginal,
                                     [](TDateTimeEdit& dialog) {
                                         dialog.RadioButton3->SetChecked(true);
                                         dialog.UpDown2->SetPosition(2);
                                         dialog.DateTimePicker4->SetDateTime(EncodeTime(0, 0, 30, 0));
                                     },
                                     "- 2 / 0:00",
                                     {"2/26/2024 22:59:30", "(none)"},
                                     false},
                      TDateButtonRow{"AStoredDateThatDoesNotParseIsSkippedAndReported",
                                     TagDateTimeOriginal,
                                     [](TDateTimeEdit& dialog) {
                                         dialog.RadioButton2->SetChecked(true);
                                         dialog.UpDown1->SetPosition(1);
                                     },
                                     "+ 1 / 0:00",
                                     {"", ""},  // neither shows as a date; the files stay byte-identical
                                     true}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(EditPropertiesDialog, TheDateDialogOpensAfterAShiftAtTheFieldsValueOrNowNeverNear1899)
{
    const TDateTime now = EncodeDateTime(2030, 1, 1, 8, 0, 0, 0);
    const test::TPinnedClock clock(now);
    std::vector<TDateTime> starts;
    const auto open = [&](std::uint32_t id, const std::function<void()>& choose) {
        const test::TModalScript script(*FDateDialog, [&] {
            starts.push_back(FDateDialog->DateTimePicker1->GetDateTime());
            choose();
            Click(FDateDialog->Button1);
        });
        Click(Row(id).DateButton);
        EXPECT_TRUE(script.GetRan());
    };
    const auto shift = [&] {
        FDateDialog->RadioButton2->SetChecked(true);
        FDateDialog->DateTimePicker3->SetDateTime(EncodeTime(1, 30, 0, 0));
    };
    const auto set = [&] {
        FDateDialog->RadioButton1->SetChecked(true);
        FDateDialog->DateTimePicker1->SetDateTime(EncodeDateTime(2021, 3, 4, 5, 6, 7, 0));
        FDateDialog->DateTimePicker2->SetDateTime(EncodeDateTime(2021, 3, 4, 5, 6, 7, 0));
    };
    open(TagDateTimeOriginal, shift);  // an empty field: now
    open(TagDateTimeOriginal, set);  // after the shift: the field shows "+ 0 / 1:30", no date: now again
    open(TagDateTimeOriginal, shift);  // after the set: the date set
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0], now);
    EXPECT_EQ(starts[1], now);
    EXPECT_EQ(starts[2], EncodeDateTime(2021, 3, 4, 5, 6, 7, 0));
}

TEST_F(EditPropertiesDialog, HoveringAnUndoButtonShowsTheHintUndo)
{
    ui::ManualClock clock;
    ui::FakeTimerDriver driver{clock};
    const ui::ScopedService<ui::IClock> clockGuard{ui::SetClock, clock};
    const ui::ScopedService<ui::ITimerDriver> driverGuard{ui::SetTimerDriver, driver};
    std::vector<std::string> shown;
    Application()->SetHintDisplay([&](const std::string& text, ui::POINT) { shown.push_back(text); });
    Application()->CancelHint();

    test::Hover(Row(TagArtist).UndoButton);
    clock.Advance(600);
    Pump();
    test::Hover(FDialog->Panel1);  // away again
    Application()->SetHintDisplay(nullptr);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "Undo");
}

TEST_F(EditPropertiesDialog, LocalizeDialogTakesTheCaptionsAndHintsOfTheLanguage)
{
    TVekLocalizer localizer(FFolder.Path());
    SetLocalizer(&localizer);
    GetLocalizedStrings("Common").SetText("1200=Bearbeiten\n1=Gut\n2=Nein\n24=Datum\n25=Zurück\n");
    FDialog->LocalizeDialog();
    EXPECT_EQ(FDialog->GetCaption(), "Bearbeiten");
    EXPECT_EQ(FDialog->Button1->GetCaption(), "Gut");
    EXPECT_EQ(FDialog->Button2->GetCaption(), "Nein");
    EXPECT_EQ(Row(TagTitle).UndoButton->GetHint(), "Zurück");
    EXPECT_EQ(Row(TagDateTime).DateButton->GetHint(), "Datum");
    FDialog->Hide();
    FDialog->Show();  // rows made later take the texts too
    EXPECT_EQ(Row(TagTitle).UndoButton->GetHint(), "Zurück");

    // A language without the texts keeps the captions and falls back to the English hints.
    GetLocalizedStrings("Common").Clear();
    FDialog->LocalizeDialog();
    EXPECT_EQ(FDialog->GetCaption(), "Bearbeiten");
    EXPECT_EQ(Row(TagTitle).UndoButton->GetHint(), "Undo");
    SetLocalizer(nullptr);
}

}  // namespace
}  // namespace ovrel::app
