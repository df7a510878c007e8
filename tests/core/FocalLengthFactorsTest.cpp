#include "core/FocalLengthFactors.h"

#include "CoreTestSupport.h"
#include "toolkit/IniFiles.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

namespace ovrel::core {
namespace {

using test::TPinnedSettings;
using test::TTempFolder;

TEST(FocalLengthFactorTable, UnknownCameraIsLearnedOnceWithFactorZero)
{
    TReducedFocalLengthFactorTable table;
    EXPECT_TRUE(table.GetAutoAdd());
    EXPECT_EQ(table.GetFactor(" Canon ", "EOS D30\t"), 0.0f);
    ASSERT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.GetItem(0)->Make, "Canon") << "learned trimmed";
    EXPECT_EQ(table.GetItem(0)->Model, "EOS D30");
    EXPECT_EQ(table.GetFactor("Canon", "EOS D30"), 0.0f);
    EXPECT_EQ(table.GetCount(), 1);

    table.SetAutoAdd(false);
    EXPECT_EQ(table.GetFactor("Nikon", "D1"), 0.0f);
    EXPECT_EQ(table.GetCount(), 1);
}

TEST(FocalLengthFactorTable, LookupTrimsTheArgumentsButNotTheRows)
{
    TReducedFocalLengthFactorTable table;
    table.SetFactor("Canon", "EOS D30", 1.6f);
    table.SetFactor(" Nikon", "D1", 1.5f);  // stored as passed, with the blank
    EXPECT_EQ(table.IndexOf("Canon ", " EOS D30"), 0);
    EXPECT_EQ(table.IndexOf("canon", "EOS D30"), -1) << "case-sensitive";
    EXPECT_EQ(table.IndexOf(" Nikon", "D1"), -1);
    EXPECT_EQ(table.IndexOf("Nikon", "D1"), -1);
    EXPECT_EQ(table.GetFactor("Canon", "EOS D30"), 1.6f);
}

TEST(FocalLengthFactorTable, LaterDuplicateRowWins)
{
    TReducedFocalLengthFactorTable table;
    for (float factor : {1.3f, 2.0f}) {
        TReducedFocalLengthFactor* row = table.AddRecord();
        row->Make = "Olympus";
        row->Model = "E-1";
        row->Factor = factor;
    }
    EXPECT_EQ(table.IndexOf("Olympus", "E-1"), 1);
    table.SetFactor("Olympus", "E-1", 2.5f);
    EXPECT_EQ(table.GetItem(0)->Factor, 1.3f);
    EXPECT_EQ(table.GetItem(1)->Factor, 2.5f);
    table.Delete(0);  // frees the row; the sanitizer checks
    EXPECT_EQ(table.GetCount(), 1);
}

TEST(FocalLengthFactorTable, IniRoundTripWritesDotsWhateverTheLocale)
{
    const TPinnedSettings settings(',', '.');
    const TTempFolder folder;
    const std::string fileName = folder.WriteText("factors.ini", "; kept\n[Canon]\nEOS 10D=1.6\nPowerShot=4.5\n");
    TReducedFocalLengthFactorTable table;
    table.SetFactor("Canon", "EOS 10D", 1.6f);
    table.SetFactor("Canon", "EOS D60", 1.5f);
    table.SetFactor("Sony", "DSC-F828", 0.0f);
    table.SaveToFile(fileName);
    EXPECT_EQ(toolkit::FormatSettings().DecimalSeparator, ',');

    const toolkit::TMemIniFile ini(fileName);
    EXPECT_EQ(ini.ReadString("Canon", "EOS 10D", ""), "1.60000002384186");
    EXPECT_EQ(ini.ReadString("Canon", "EOS D60", ""), "1.5");
    EXPECT_EQ(ini.ReadString("Sony", "DSC-F828", ""), "0");
    EXPECT_EQ(ini.ReadString("Canon", "PowerShot", ""), "4.5") << "keys the table does not hold stay";

    TReducedFocalLengthFactorTable loaded;
    loaded.LoadFromFile(fileName);
    EXPECT_EQ(toolkit::FormatSettings().DecimalSeparator, ',');
    ASSERT_EQ(loaded.GetCount(), 4);
    EXPECT_EQ(loaded.GetFactor("Canon", "EOS 10D"), 1.6f);
    EXPECT_EQ(loaded.GetFactor("Canon", "PowerShot"), 4.5f);
    EXPECT_EQ(loaded.GetFactor("Canon", "EOS D60"), 1.5f);
    EXPECT_EQ(loaded.GetFactor("Sony", "DSC-F828"), 0.0f);
    EXPECT_EQ(loaded.GetItem(0)->Model, "EOS 10D") << "file order";
}

TEST(FocalLengthFactorTable, ImportAddsAndUpdatesButNeverRemoves)
{
    const TTempFolder folder;
    const std::string fileName = folder.WriteText("import.ini", "[Canon]\nEOS D30=1.6\n[Fuji]\nS2 Pro=1.5\n");
    TReducedFocalLengthFactorTable table;
    table.SetFactor("Canon", "EOS D30", 1.0f);
    table.SetFactor("Kodak", "DCS", 1.3f);
    table.LoadFromFile(fileName);
    ASSERT_EQ(table.GetCount(), 3);
    EXPECT_EQ(table.GetItem(0)->Factor, 1.6f);
    EXPECT_EQ(table.GetItem(1)->Make, "Kodak");
    EXPECT_EQ(table.GetItem(2)->Make, "Fuji");
    EXPECT_EQ(table.GetItem(2)->Factor, 1.5f);
}

TEST(FocalLengthFactorTable, BadNumberStopsTheImportAndRestoresTheSeparator)
{
    const TPinnedSettings settings(',', '.');
    const TTempFolder folder;
    const std::string fileName = folder.WriteText("bad.ini", "[Canon]\nEOS D30=1.6\nEOS D60=abc\nEOS 10D=1.6\n");
    TReducedFocalLengthFactorTable table;
    EXPECT_THROW(table.LoadFromFile(fileName), toolkit::EConvertError);
    EXPECT_EQ(toolkit::FormatSettings().DecimalSeparator, ',');
    ASSERT_EQ(table.GetCount(), 1) << "rows before the bad number stay";
    EXPECT_EQ(table.GetItem(0)->Factor, 1.6f);
    EXPECT_EQ(toolkit::FloatToStr(2.5), "2,5");
}

}  // namespace
}  // namespace ovrel::core
