#include "app/OptionsModel.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using core::TEXIFPropertyInfo;

// A catalogue of its own for each test, from the defaults: five columns in the order File Name, Focal Length,
// Exposure Time, Aperture, Flash.
class ColumnListModelTest : public ::testing::Test {
protected:
    std::vector<std::string> Columns() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < Model.GetColumnCount(); ++i)
            captions.push_back(Model.GetColumnRow(i)->Caption);
        return captions;
    }
    int CheckIndex(std::string_view caption) const
    {
        for (int i = 0; i < Model.GetCheckCount(); ++i)
            if (Model.GetCheckRow(i)->Caption == caption)
                return i;
        return -1;
    }
    const TEXIFPropertyInfo* Row(std::uint32_t id) const
    {
        for (const TEXIFPropertyInfo& row : Catalogue)
            if (row.Id == id)
                return &row;
        return nullptr;
    }
    std::string Moves() const
    {
        return std::string(Model.GetCanMoveUp() ? "up" : "-") + (Model.GetCanMoveDown() ? " down" : " -");
    }

    core::TEXIFPropertyInfos Catalogue = core::DefaultEXIFProperties();
    core::TEXIFPropertyGroups Groups = core::DefaultEXIFPropertyGroups();
    TColumnListModel Model{Catalogue, Groups};
};

TEST_F(ColumnListModelTest, ShowsTheColumnsInOrderAndTheGroupsRowsCheckedWhileTheyAreColumns)
{
    EXPECT_EQ(Columns(), (std::vector<std::string>{"File Name", "Focal Length", "Exposure Time", "Aperture", "Flash"}));
    EXPECT_EQ(Model.GetCheckCount(), 47);  // "All Properties"
    Model.SetGroupIndex(2);  // camera
    ASSERT_EQ(Model.GetCheckCount(), 7);
    EXPECT_EQ(Model.GetCheckRow(0)->Caption, "Camera Model");
    for (int i = 0; i < Model.GetCheckCount(); ++i)
        EXPECT_FALSE(Model.GetChecked(i));
    Model.SetGroupIndex(3);  // photographic
    EXPECT_TRUE(Model.GetChecked(CheckIndex("Focal Length")));
    EXPECT_FALSE(Model.GetChecked(CheckIndex("F Number")));
    EXPECT_THROW(Model.SetGroupIndex(5), toolkit::EListError);
}

TEST_F(ColumnListModelTest, CheckingAppendsUncheckingRemovesAndOtherGroupsSeeIt)
{
    Model.SetGroupIndex(2);
    Model.SetChecked(CheckIndex("Camera Manufacturer"), true);
    EXPECT_EQ(Columns().back(), "Camera Manufacturer");
    Model.SetGroupIndex(0);
    EXPECT_TRUE(Model.GetChecked(CheckIndex("Camera Manufacturer")));
    Model.SetChecked(CheckIndex("Focal Length"), false);
    EXPECT_EQ(Columns(),
              (std::vector<std::string>{"File Name", "Exposure Time", "Aperture", "Flash", "Camera Manufacturer"}));
}

TEST_F(ColumnListModelTest, SelectAllAndUnselectAllTouchOnlyTheGroupShown)
{
    Model.SetGroupIndex(1);  // file
    Model.SetAllChecked(true);
    EXPECT_EQ(Model.GetColumnCount(), 5 + 7);  // File Name was one already
    Model.SetGroupIndex(3);  // photographic
    Model.SetAllChecked(false);
    EXPECT_EQ(Columns().front(), "File Name");
    EXPECT_EQ(Model.GetColumnCount(), 8);  // the file group's rows only
    EXPECT_EQ(Model.IndexOfColumn(Row(core::TagFocalLength)), -1);
}

TEST_F(ColumnListModelTest, MovesKeepTheSelectionAndDoNothingAtTheEndsOrWithoutOne)
{
    const struct {
        const char* Name;
        int Select;
        bool Up;
        std::vector<std::string> Expected;
        int Selected;
        const char* Moves;
    } rows[] = {
        {"Up", 2, true, {"File Name", "Exposure Time", "Focal Length", "Aperture", "Flash"}, 1, "up down"},
        {"Down", 2, false, {"File Name", "Focal Length", "Aperture", "Exposure Time", "Flash"}, 3, "up down"},
        {"UpAtTheTop", 0, true, {"File Name", "Focal Length", "Exposure Time", "Aperture", "Flash"}, 0, "- down"},
        {"DownAtTheBottom", 4, false, {"File Name", "Focal Length", "Exposure Time", "Aperture", "Flash"}, 4, "up -"},
        {"NoSelection", -1, false, {"File Name", "Focal Length", "Exposure Time", "Aperture", "Flash"}, -1, "- -"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        Model.BuildColumnList();
        Model.SetSelected(row.Select);
        Model.MoveSelected(row.Up);
        EXPECT_EQ(Columns(), row.Expected);
        EXPECT_EQ(Model.GetSelected(), row.Selected);
        EXPECT_EQ(Moves(), row.Moves);
    }
}

TEST_F(ColumnListModelTest, DeleteUnchecksTheRowAndLeavesNothingToMove)
{
    Model.SetGroupIndex(3);
    Model.SetSelected(1);  // Focal Length
    EXPECT_EQ(Moves(), "up down");
    Model.DeleteSelected();
    EXPECT_EQ(Columns(), (std::vector<std::string>{"File Name", "Exposure Time", "Aperture", "Flash"}));
    EXPECT_FALSE(Model.GetChecked(CheckIndex("Focal Length")));
    EXPECT_EQ(Model.GetSelected(), -1);
    EXPECT_EQ(Moves(), "- -");
    EXPECT_NO_THROW(Model.MoveSelected(true));
    EXPECT_NO_THROW(Model.MoveSelected(false));
    EXPECT_NO_THROW(Model.DeleteSelected());
    EXPECT_EQ(Model.GetColumnCount(), 4);
}

TEST_F(ColumnListModelTest, TheSelectionFollowsItsEntryWhenAnotherLeaves)
{
    Model.SetSelected(3);  // Aperture
    Model.SetGroupIndex(3);
    Model.SetChecked(CheckIndex("Focal Length"), false);
    EXPECT_EQ(Model.GetColumnRow(Model.GetSelected())->Caption, "Aperture");
    Model.SetChecked(CheckIndex("Aperture"), false);
    EXPECT_EQ(Model.GetSelected(), -1);
}

TEST_F(ColumnListModelTest, ApplyNumbersTheColumnsAndHidesTheRest)
{
    Model.SetSelected(4);
    Model.MoveSelected(true);  // Flash before Aperture
    Model.ApplyColumns();
    for (const TEXIFPropertyInfo& row : Catalogue) {
        SCOPED_TRACE(row.Caption);
        EXPECT_EQ(row.Column, Model.IndexOfColumn(&row));
    }
    EXPECT_EQ(Row(37385)->Column, 3);  // Flash

    // Nothing checked: no columns at all.
    Model.SetGroupIndex(0);
    Model.SetAllChecked(false);
    Model.ApplyColumns();
    for (const TEXIFPropertyInfo& row : Catalogue)
        EXPECT_EQ(row.Column, -1) << row.Caption;
    TColumnListModel rebuilt(Catalogue, Groups);
    EXPECT_EQ(rebuilt.GetColumnCount(), 0);
}

// ---- factors ----------------------------------------------------------------------------------------------------

const char* LocaleName(test::TPinnedLocale::TKind kind)
{
    return kind == test::TPinnedLocale::TKind::Point ? "Point" : "Comma";
}

class ReadFactorLocales : public ::testing::TestWithParam<test::TPinnedLocale::TKind> {};

TEST_P(ReadFactorLocales, TakesAnySeparatorAndDropsOtherCharacters)
{
    test::TPinnedLocale locale(GetParam());
    const struct {
        const char* Text;
        double Expected;
    } rows[] = {{"1,5", 1.5}, {"1.5", 1.5}, {"1.5x", 1.5}, {"x 1 . 5", 1.5},
                {"-2", 0.2},  {"", 0},      {"abc", 0},    {"2", 2}};
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(ReadFactor(row.Text), row.Expected) << row.Text;
    EXPECT_THROW((void)ReadFactor("1.2.3"), toolkit::EConvertError);
    EXPECT_THROW((void)ReadFactor(","), toolkit::EConvertError);
}

INSTANTIATE_TEST_SUITE_P(Locales, ReadFactorLocales,
                         ::testing::Values(test::TPinnedLocale::TKind::Point, test::TPinnedLocale::TKind::Comma),
                         [](const auto& row) { return std::string(LocaleName(row.param)); });

TEST(FactorEditValue, AnUntouchedFieldKeepsTheShownValueAtFullPrecision)
{
    test::TPinnedLocale locale(test::TPinnedLocale::TKind::Comma);
    TFactorEditValue value;
    EXPECT_EQ(value.Show(1.625), "1,63");
    EXPECT_DOUBLE_EQ(value.Read("1,63"), 1.625);
    EXPECT_DOUBLE_EQ(value.Read("1,63 "), 1.63);  // touched: read as typed
    EXPECT_DOUBLE_EQ(value.Read("1.7"), 1.7);
    EXPECT_EQ(value.Show(1), "1,00");  // a row without a factor edits from 1
    EXPECT_DOUBLE_EQ(value.Read("1,00"), 1);
    EXPECT_THROW((void)value.Read("1.2.3"), toolkit::EConvertError);
    EXPECT_DOUBLE_EQ(TFactorEditValue().Read(""), 0);  // nothing shown: the text alone counts
}

}  // namespace
}  // namespace ovrel::app
