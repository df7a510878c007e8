#include "app/EditPropertiesModel.h"

#include "AppTestSupport.h"
#include "toolkit/DateUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using core::TVekImageInfo;
using imaging::fixtures::Dir;
using test::Bytes;
using test::JpegWith;
using test::ReadFile;
using toolkit::EncodeDateTime;
using toolkit::EncodeTime;

constexpr std::uint32_t TagArtist = 315;
constexpr std::uint32_t TagTitle = 800;
constexpr std::uint32_t TagDateTime = 306;
constexpr std::uint32_t TagDateTimeOriginal = 36867;

TEST(EditPropertiesRows, AreTheEditableCatalogueRowsWithDateButtonsOnTheThreeDates)
{
    TEditPropertiesModel model;
    model.BuildRows();
    const std::vector<std::uint32_t> ids = {272, 271, 800, 315, 33432, 270, 37510, 306, 36867, 36868};
    ASSERT_EQ(model.GetRowCount(), static_cast<int>(ids.size()));
    for (int i = 0; i < model.GetRowCount(); ++i) {
        const TEditRow& row = model.GetRow(i);
        SCOPED_TRACE(row.Caption);
        EXPECT_EQ(row.Id, ids[static_cast<std::size_t>(i)]);
        EXPECT_EQ(row.Caption, core::FindEXIFProperty(row.Id)->Caption);
        const bool date = row.Id == 306 || row.Id == 36867 || row.Id == 36868;
        EXPECT_EQ(row.IsDate, date);
        EXPECT_EQ(row.Layout.Top, 25 * i + 5);
        EXPECT_EQ(row.Layout.LabelRight, 190);
        EXPECT_EQ(row.Layout.EditLeft, 200);
        EXPECT_EQ(row.Layout.EditWidth, date ? 148 : 178);
        EXPECT_EQ(row.Layout.DateButtonLeft, date ? 353 : -1);
        EXPECT_EQ(row.Layout.UndoLeft, 383);  // one column, after the first row's field
        EXPECT_FALSE(row.Changed);
    }
    // The last field's bottom, the bottom panel and a margin.
    EXPECT_EQ(model.ClientHeight(21, 40), 230 + 21 + 40 + 30);
    EXPECT_EQ(TEditPropertiesModel().ClientHeight(21, 40), std::nullopt);
    EXPECT_THROW((void)model.GetRow(10), toolkit::EListError);
}

// Three images in one folder: two selected that share an artist and differ in title, a third left out.
class EditPropertiesWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFiles = {
            FFolder.Write("a.jpg", JpegWith({{Dir::Ifd0, TagArtist, "Ann"}, {Dir::Ifd0, TagTitle, "Sea"}})),
            FFolder.Write("b.jpg", JpegWith({{Dir::Ifd0, TagArtist, "Ann"}, {Dir::Ifd0, TagTitle, "Hill"}})),
        };
        for (const std::string& file : FFiles) {
            FImages.push_back(std::make_unique<TVekImageInfo>(file));
            ASSERT_EQ(FImages.back()->GetLoadStatus(), imaging::Status::Ok);
        }
        FModel.BuildRows();
        FModel.SetImages({FImages[0].get(), FImages[1].get()});
        FModel.FillCommonValues();
    }

    int Row(std::uint32_t id) const { return FModel.IndexOfId(id); }
    const std::string& Text(std::uint32_t id) const { return FModel.GetRow(Row(id)).Text; }
    // The value as a new read of the file gives it.
    static std::string OnDisk(const std::string& file, std::uint32_t id)
    {
        return TVekImageInfo(file).GetPropertyText(id);
    }

    test::TPinnedLocale FLocale;
    test::TTempFolder FFolder;
    std::vector<std::string> FFiles;
    std::vector<std::unique_ptr<TVekImageInfo>> FImages;
    TEditPropertiesModel FModel;
};

TEST_F(EditPropertiesWrite, SharedValuesFillTheFieldsAndTypedTextReachesEveryImage)
{
    EXPECT_EQ(Text(TagArtist), "Ann");
    EXPECT_EQ(Text(TagTitle), "");  // the titles differ
    EXPECT_EQ(Text(272), "");  // neither has a model
    EXPECT_FALSE(FModel.HasChanges());

    FModel.EditChanged(Row(TagTitle), "Coast");
    FModel.EditChanged(Row(core::TagUserComment), "Grüße");
    EXPECT_TRUE(FModel.GetRow(Row(TagTitle)).Changed);
    const TEditWriteResult result = FModel.Write();
    EXPECT_TRUE(result.Wrote);
    EXPECT_TRUE(result.FailedFiles.empty());
    for (const std::string& file : FFiles) {
        SCOPED_TRACE(file);
        EXPECT_EQ(OnDisk(file, TagTitle), "Coast");
        EXPECT_EQ(OnDisk(file, TagArtist), "Ann");
        EXPECT_EQ(OnDisk(file, core::TagUserComment), "Grüße");
        EXPECT_EQ(TVekImageInfo(file).GetMetadata().Find(core::TagUserComment)->type,
                  imaging::PropertyTagTypeUndefined);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FFolder.Path()), {}), 2) << "no temporary file";
}

TEST_F(EditPropertiesWrite, OkWithoutAChangeWritesAndSavesNothing)
{
    const Bytes before = ReadFile(FFiles[0]);
    // Showing a value again is no change.
    FModel.EditChanged(Row(TagArtist), "Ann");
    const TEditWriteResult result = FModel.Write();
    EXPECT_FALSE(result.Wrote);
    EXPECT_EQ(ReadFile(FFiles[0]), before);
}

TEST_F(EditPropertiesWrite, UndoRestoresTheSharedValueAndOkSkipsTheRow)
{
    FModel.EditChanged(Row(TagArtist), "Bob");
    FModel.EditChanged(Row(TagTitle), "Coast");
    FModel.Undo(Row(TagArtist));
    EXPECT_EQ(Text(TagArtist), "Ann");
    EXPECT_FALSE(FModel.GetRow(Row(TagArtist)).Changed);
    // The field showing the restored value echoes it back: still unchanged.
    FModel.EditChanged(Row(TagArtist), "Ann");
    EXPECT_FALSE(FModel.GetRow(Row(TagArtist)).Changed);

    ASSERT_TRUE(FModel.Write().Wrote);
    for (const std::string& file : FFiles) {
        EXPECT_EQ(OnDisk(file, TagArtist), "Ann");
        EXPECT_EQ(OnDisk(file, TagTitle), "Coast");
    }
}

TEST_F(EditPropertiesWrite, AnEmptiedFieldIsWrittenAsAnEmptyText)
{
    FModel.EditChanged(Row(TagArtist), "");
    ASSERT_TRUE(FModel.Write().Wrote);
    for (const std::string& file : FFiles) {
        const TVekImageInfo saved(file);
        EXPECT_TRUE(saved.HasProperty(TagArtist));
        EXPECT_EQ(saved.GetPropertyText(TagArtist), "");
    }
}

TEST_F(EditPropertiesWrite, AFileThatCannotBeSavedIsListedAndTheOthersAreSaved)
{
    FModel.EditChanged(Row(TagTitle), "Coast");
    FFolder.WriteText("a.jpg", "no longer an image");
    const TEditWriteResult result = FModel.Write();
    EXPECT_EQ(result.FailedFiles, std::vector<std::string>{FFiles[0]});
    EXPECT_EQ(OnDisk(FFiles[1], TagTitle), "Coast");
    EXPECT_EQ(FailedFilesMessage(result.FailedFiles),
              "Some changes could not be written to these files:\n" + FFiles[0]);
}

// ---- dates ------------------------------------------------------------------------------------------------------

struct TDateRow {
    const char* Name;
    TDateTimeEditResult Change;
    const char* FieldText;
    // What each of the five images holds afterwards ("" for none), the images listed as failed, and those whose
    // file stays byte for byte as it was.
    std::vector<std::string> Stored;
    std::vector<std::string> Failed;
    std::vector<std::string> Untouched;
};

void PrintTo(const TDateRow& row, std::ostream* out) { *out << row.Name; }

class EditPropertiesDates : public ::testing::TestWithParam<TDateRow> {};

TEST_P(EditPropertiesDates, SetOrShiftTheImagesThatHaveAValidDate)
{
    const TDateRow& row = GetParam();
    test::TPinnedLocale locale;
    test::TPinnedClock clock(EncodeDateTime(2030, 1, 1, 8, 0, 0, 0));  // never to be written
    test::TTempFolder folder;
    const std::vector<std::string> files = {
        folder.Write("a.jpg", JpegWith({{Dir::Exif, 36867, "2023:07:08 10:00:00"}})),
        folder.Write("b.jpg", JpegWith({{Dir::Exif, 36867, "2023:12:31 23:45:10"}})),
        folder.Write("c.jpg", JpegWith({{Dir::Ifd0, TagArtist, "no date"}})),
        folder.Write("d.jpg", JpegWith({{Dir::Exif, 36867, "0000:00:00 00:00:00"}})),
        folder.Write("e.jpg", JpegWith({{Dir::Exif, 36867, "sometime"}})),
    };
    std::vector<std::unique_ptr<TVekImageInfo>> images;
    std::vector<TVekImageInfo*> selected;
    std::vector<Bytes> before;
    for (const std::string& file : files) {
        images.push_back(std::make_unique<TVekImageInfo>(file));
        selected.push_back(images.back().get());
        before.push_back(ReadFile(file));
    }
    TEditPropertiesModel model;
    model.BuildRows();
    model.SetImages(selected);
    model.FillCommonValues();
    const int dateRow = model.IndexOfId(TagDateTimeOriginal);

    model.ApplyDateChange(dateRow, row.Change);
    EXPECT_EQ(model.GetRow(dateRow).Text, row.FieldText);
    EXPECT_TRUE(model.GetRow(dateRow).Changed);
    const TEditWriteResult result = model.Write();

    std::vector<std::string> failed;
    for (const std::string& file : result.FailedFiles)
        failed.push_back(std::filesystem::path(file).stem().string());
    EXPECT_EQ(failed, row.Failed);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string name = std::filesystem::path(files[i]).stem().string();
        SCOPED_TRACE(name);
        const TVekImageInfo saved(files[i]);
        const core::TPropertyItem* item = saved.GetMetadata().Find(TagDateTimeOriginal);
        EXPECT_EQ(item != nullptr ? std::string(reinterpret_cast<const char*>(item->value)) : "", row.Stored[i]);
        // An image that received nothing is not rewritten.
        if (std::find(row.Untouched.begin(), row.Untouched.end(), name) != row.Untouched.end()) {
            EXPECT_EQ(ReadFile(files[i]), before[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EditPropertiesDates,
    ::testing::Values(TDateRow{"SetReachesEveryImage",
                               {DateModeSet, EncodeDateTime(2024, 2, 29, 12, 34, 56, 0), 0},
                               "2/29/2024 12:34:56",
                               {"2024:02:29 12:34:56", "2024:02:29 12:34:56", "2024:02:29 12:34:56",
                                "2024:02:29 12:34:56", "2024:02:29 12:34:56"},
                               {},
                               {}},
                      TDateRow{"AddOneDayAndAnHourAndAHalf",
                               {DateModeAdd, EncodeTime(1, 30, 0, 700), 1},  // the milliseconds are dropped
                               "+ 1 / 1:30",
                               {"2023:07:09 11:30:00", "2024:01:02 01:15:10", "", "0000:00:00 00:00:00", "sometime"},
                               {"d", "e"},
                               {"c", "d", "e"}},
                      TDateRow{"SubtractTwoDaysAndHalfAMinute",
                               {DateModeSubtract, EncodeTime(0, 0, 30, 0), 2},
                               "- 2 / 0:00",
                               {"2023:07:06 09:59:30", "2023:12:29 23:44:40", "", "0000:00:00 00:00:00", "sometime"},
                               {"d", "e"},
                               {"c", "d", "e"}}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace ovrel::app

namespace ovrel::app {
namespace {

TEST(EditPropertiesDateDialog, StartsFromARecordedSetOrTheFieldNeverFromAShiftsTimeOfDay)
{
    test::TPinnedLocale locale;
    const toolkit::TDateTime now = EncodeDateTime(2030, 1, 1, 8, 0, 0, 0);
    test::TPinnedClock clock(now);
    test::TTempFolder folder;
    TVekImageInfo image(folder.Write("a.jpg", JpegWith({{Dir::Ifd0, TagDateTime, "2023:07:08 10:00:00"}})));
    TEditPropertiesModel model;
    model.BuildRows();
    model.SetImages({&image});
    model.FillCommonValues();
    const int row = model.IndexOfId(TagDateTime);
    const toolkit::TDateTime stored = EncodeDateTime(2023, 7, 8, 10, 0, 0, 0);
    const toolkit::TDateTime set = EncodeDateTime(2024, 2, 29, 12, 34, 56, 0);

    EXPECT_EQ(DateTimeEditStartValue(model.DateDialogText(row)), stored);
    model.ApplyDateChange(row, {DateModeSet, set, 0});
    EXPECT_EQ(DateTimeEditStartValue(model.DateDialogText(row)), set);
    model.Undo(row);  // the recorded set stays behind, but the field shows the image's date again
    EXPECT_EQ(model.GetRow(row).Text, "7/8/2023 10:00:00");
    EXPECT_EQ(DateTimeEditStartValue(model.DateDialogText(row)), stored);
    EXPECT_FALSE(model.Write().Wrote);

    model.ApplyDateChange(row, {DateModeAdd, EncodeTime(1, 30, 0, 0), 1});
    EXPECT_EQ(DateTimeEditStartValue(model.DateDialogText(row)), now);  // "+ 1 / 1:30" is no date
    ASSERT_NE(model.FindDateChange(TagDateTime), nullptr);
    EXPECT_EQ(model.FindDateChange(TagDateTime)->Mode, DateModeAdd);  // one record per property
}

TEST(ShiftDateTime, MovesOnTheCalendarAlsoBeforeItsStartAndStopsAtItsEnds)
{
    const struct {
        const char* Name;
        toolkit::TDateTime Date;
        TDateChange Change;
        std::optional<toolkit::TDateTime> Expected;
    } rows[] = {
        {"Add",
         EncodeDateTime(2023, 12, 31, 23, 0, 0, 0),
         {0, DateModeAdd, EncodeTime(2, 30, 15, 0), 0},
         EncodeDateTime(2024, 1, 1, 1, 30, 15, 0)},
        {"SubtractDays",
         EncodeDateTime(2024, 3, 1, 0, 0, 0, 0),
         {0, DateModeSubtract, 0, 1},
         EncodeDateTime(2024, 2, 29, 0, 0, 0, 0)},
        {"AddBefore1900",
         EncodeDateTime(1850, 6, 1, 23, 0, 0, 0),
         {0, DateModeAdd, EncodeTime(2, 0, 0, 0), 0},
         EncodeDateTime(1850, 6, 2, 1, 0, 0, 0)},
        {"SubtractAcross1899",
         EncodeDateTime(1899, 12, 30, 1, 0, 0, 0),
         {0, DateModeSubtract, EncodeTime(2, 0, 0, 0), 0},
         EncodeDateTime(1899, 12, 29, 23, 0, 0, 0)},
        {"PastTheLastDay", EncodeDateTime(9999, 12, 31, 12, 0, 0, 0), {0, DateModeAdd, 0, 1}, std::nullopt},
        {"BeforeTheFirstDay", EncodeDateTime(1, 1, 1, 12, 0, 0, 0), {0, DateModeSubtract, 0, 1}, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::optional<toolkit::TDateTime> shifted = ShiftDateTime(row.Date, row.Change);
        ASSERT_EQ(shifted.has_value(), row.Expected.has_value());
        if (shifted) {
            EXPECT_EQ(core::FormatExifDateTime(*shifted), core::FormatExifDateTime(*row.Expected));
        }
    }
}

}  // namespace
}  // namespace ovrel::app
