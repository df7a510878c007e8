#include "app/Localizer.h"

#include "app/Config.h"
#include "app/Paths.h"
#include "support/AllocationWatch.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using namespace ovrel::app;
using ovrel::toolkit::TMethodEvent;
using ovrel::toolkit::TObject;
using ovrel::toolkit::TPersistent;
using ovrel::toolkit::TPropertyTable;

constexpr std::uint16_t English = 1033;
constexpr std::uint16_t German = 1031;
constexpr std::uint16_t French = 1036;

std::string Text(TVekLocalizer& localizer, std::string_view table, int id)
{
    std::string text;
    return FindString(localizer.GetStrings(table), id, text) ? text : "<missing>";
}

class LanguageFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        FFolder = std::filesystem::temp_directory_path() / ("ovrel-lang-" + name);
        std::filesystem::remove_all(FFolder);
        std::filesystem::create_directories(FFolder);
    }
    void TearDown() override { std::filesystem::remove_all(FFolder); }

    void Write(const std::string& fileName, std::string_view text) const
    {
        std::ofstream out(FFolder / fileName, std::ios::binary);
        out << text;
    }
    std::unique_ptr<TVekLocalizer> Scan() const { return std::make_unique<TVekLocalizer>(Folder()); }
    std::string Folder() const { return FFolder.string() + "/"; }
    std::string Path(const std::string& fileName) const { return (FFolder / fileName).string(); }

    std::filesystem::path FFolder;
};

constexpr std::string_view EnglishFile = "[Language]\nLangId=1033\nLanguage=English\nHelpFile=en.chm\n"
                                         "[Common]\n1=OK\n2=Cancel\n5=Delete\n"
                                         "[Dialogs:Common]\n100=Open\n";
constexpr std::string_view GermanFile = "[Language]\nLangId=1031\nLanguage=Deutsch\n"
                                        "[Common]\n1=Gut\n2=Abbrechen\n7=Nur deutsch\n"
                                        "[Dialogs]\n100=Öffnen\n";

TEST_F(LanguageFolder, ScanFindsLanguageAndSharedFilesAndSkipsOthers)
{
    Write("English.ini", EnglishFile);
    Write("German.ini", GermanFile);
    Write(".Hidden.ini", "[Language]\nLangId=1036\nLanguage=Français\n");
    Write("Shared.ini", "[Language]\nLangSection=Extra\n[Extra:1031]\n1=a\n[Extra:1033]\n1=b\n"
                        "[Extra:abc]\n1=c\n[extra:1036]\n1=d\n[Other:1036]\n1=e\n");
    Write("Notes.txt", "[Language]\nLangId=1040\n");
    Write("Broken.ini", "[Language]\nLangId=70000\nLanguage=Too big\n");
    Write("Plain.ini", "[Common]\n1=x\n");

    const auto localizer = Scan();
    ASSERT_EQ(localizer->GetLanguageCount(), 3);
    const TVekLanguage* english = localizer->GetLanguage(English);
    const TVekLanguage* german = localizer->GetLanguage(German);
    const TVekLanguage* french = localizer->GetLanguage(French);
    EXPECT_EQ(english->Name, "English");
    EXPECT_EQ(english->HelpFile, "en.chm");
    EXPECT_EQ(german->Name, "Deutsch");
    EXPECT_EQ(french->Name, "Français");  // hidden files count
    EXPECT_EQ(english->Files, (std::vector<std::string>{Path("English.ini"), Path("Shared.ini") + "|Extra"}));
    EXPECT_EQ(german->Files, (std::vector<std::string>{Path("German.ini"), Path("Shared.ini") + "|Extra"}));
    EXPECT_EQ(french->Files, (std::vector<std::string>{Path(".Hidden.ini")}));  // the section name is case-sensitive

    // A second folder scans the first one again without doubling its entries.
    const std::filesystem::path second = FFolder / "more";
    std::filesystem::create_directories(second);
    localizer->AddFolder(second.string());
    EXPECT_EQ(localizer->GetLanguage(English)->Files.size(), 2u);
    EXPECT_EQ(localizer->GetLanguageCount(), 3);
}

TEST_F(LanguageFolder, TwoFilesOfOneLanguageMergeAndTheLaterNameWins)
{
    Write("a.ini", "[Language]\nLangId=1031\nLanguage=Deutsch\nHelpFile=de.chm\n[Common]\n1=Eins\n");
    Write("b.ini", "[Language]\nLangId=1031\nLanguage=Deutsch (Schweiz)\n[Common]\n2=Zwei\n");
    const auto localizer = Scan();
    ASSERT_EQ(localizer->GetLanguageCount(), 1);
    EXPECT_EQ(localizer->GetLanguage(German)->Name, "Deutsch (Schweiz)");
    EXPECT_EQ(localizer->GetLanguage(German)->HelpFile, "de.chm");  // b.ini names none
    localizer->SetLanguage(German);
    EXPECT_EQ(Text(*localizer, "Common", 1), "Eins");
    EXPECT_EQ(Text(*localizer, "Common", 2), "Zwei");
}

TEST_F(LanguageFolder, TheChosenLanguageOverridesTheDefaultWhichFillsItsGaps)
{
    Write("English.ini", EnglishFile);
    Write("German.ini", GermanFile);
    Write("Shared.ini",
          "[Language]\nLangSection=Extra\n[Extra:1031]\n1=deutsch\n[Extra:1033]\n1=english\n2=only english\n");
    const auto localizer = Scan();
    localizer->SetLanguage(German);
    EXPECT_EQ(localizer->GetCurrentLangId(), German);
    EXPECT_EQ(Text(*localizer, "Common", 1), "Gut");
    EXPECT_EQ(Text(*localizer, "Common", 5), "Delete");
    EXPECT_EQ(Text(*localizer, "Common", 7), "Nur deutsch");
    EXPECT_EQ(Text(*localizer, "Extra", 1), "deutsch");
    EXPECT_EQ(Text(*localizer, "Extra", 2), "only english");
    EXPECT_EQ(localizer->GetStrings("Common").GetCount(), 4);  // one line per key

    // Back to English: nothing of German stays behind.
    localizer->SetLanguage(English);
    EXPECT_EQ(Text(*localizer, "Common", 1), "OK");
    EXPECT_EQ(Text(*localizer, "Common", 7), "<missing>");
    EXPECT_EQ(Text(*localizer, "Extra", 1), "english");
}

TEST_F(LanguageFolder, AnUnknownLanguageKeepsTheCurrentOneOrFallsBackToTheDefault)
{
    Write("English.ini", EnglishFile);
    Write("German.ini", GermanFile);
    const auto localizer = Scan();
    localizer->SetLanguage(0);  // nothing applied yet: the default
    EXPECT_EQ(localizer->GetCurrentLangId(), English);
    localizer->SetLanguage(German);
    localizer->SetLanguage(French);
    EXPECT_EQ(localizer->GetCurrentLangId(), German);
    EXPECT_EQ(localizer->GetCurrentLanguage()->Name, "Deutsch");
    EXPECT_EQ(Text(*localizer, "Common", 1), "Gut");
}

TEST_F(LanguageFolder, TheHelpFileComesFromTheLanguageThenTheDefaultThenTheProgram)
{
    struct Row {
        const char* name;
        const char* englishHelp;
        const char* germanHelp;
        std::uint16_t chosen;
        const char* expected;
    };
    const Row rows[] = {
        {"NoneNamed", "", "", German, "program.chm"},
        {"DefaultNamesOne", "en.chm", "", German, "en.chm"},
        {"ChosenNamesOne", "en.chm", "de.chm", German, "de.chm"},
        {"DefaultChosen", "en.chm", "de.chm", English, "en.chm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Write("English.ini",
              std::string("[Language]\nLangId=1033\nLanguage=English\nHelpFile=") + row.englishHelp + "\n");
        Write("German.ini",
              std::string("[Language]\nLangId=1031\nLanguage=Deutsch\nHelpFile=") + row.germanHelp + "\n");
        const auto localizer = Scan();
        localizer->SetHelpFile("program.chm");
        int changes = 0;
        struct Counter {
            int* count;
            void Changed(TObject*) { ++*count; }
        } counter{&changes};
        localizer->OnHelpFileChanged = ovrel::toolkit::TNotifyEvent(&counter, &Counter::Changed);
        localizer->SetLanguage(row.chosen);
        EXPECT_EQ(localizer->GetHelpFile(), row.expected);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(LanguageFolder, ParentTablesAreFollowedAndALoopEndsInNotFound)
{
    Write("English.ini", "[Language]\nLangId=1033\n"
                         "[Common]\n1=OK\n"
                         "[Dialogs:Common]\n100=Open\n"
                         "[Deep:Dialogs]\n200=Deep\n"
                         "[A:B]\n1=in A\n[B:A]\n2=in B\n"
                         "[Self:Self]\n3=self\n"
                         "[Orphan:Nowhere]\n4=orphan\n");
    const auto localizer = Scan();
    localizer->SetLanguage(English);
    struct Row {
        const char* table;
        int id;
        const char* expected;
    };
    const Row rows[] = {
        {"Dialogs", 100, "Open"},     {"Dialogs", 1, "OK"},       {"Deep", 1, "OK"},    {"Deep", 200, "Deep"},
        {"Common", 100, "<missing>"}, {"A", 2, "in B"},           {"B", 1, "in A"},     {"A", 9, "<missing>"},
        {"Self", 9, "<missing>"},     {"Orphan", 9, "<missing>"}, {"dialogs", 1, "OK"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.table) + " " + std::to_string(row.id));
        EXPECT_EQ(Text(*localizer, row.table, row.id), row.expected);
    }
    std::string text = "stale";
    EXPECT_FALSE(FindString(localizer->GetStrings("A"), 9, text));
    EXPECT_TRUE(text.empty());
}

TEST_F(LanguageFolder, AThousandsLongLoopOfParentSectionsCostsWorkInProportionToIt)
{
    // Each section names the one before it as its parent, and the first names the last: a loop through
    // every table. Names are long enough that comparing them the slow way (lowering copies) shows up as
    // allocations.
    constexpr int Sections = 3000;
    const auto name = [](int i) { return "SectionWithALongName" + std::to_string(i); };
    std::string file = "[Language]\nLangId=1033\n";
    for (int i = 0; i < Sections; ++i) {
        file.append("[").append(name(i)).append(":").append(name(i == 0 ? Sections - 1 : i - 1)).append("]\n");
        file.append(std::to_string(i + 1)).append("=text\n");
    }
    Write("English.ini", file);

    const ovrel::test::TAllocationWatch watch;
    const auto localizer = Scan();
    localizer->SetLanguage(English);
    const TVekLocalizedStrings& last = localizer->GetStrings(name(Sections - 1));
    std::string text;
    EXPECT_TRUE(FindString(last, 1, text));  // the first table, at the far end of the chain
    EXPECT_EQ(text, "text");
    for (int lookup = 0; lookup < 100; ++lookup) {
        EXPECT_FALSE(FindString(last, 100000 + lookup, text));  // around the whole loop, then not found
    }
    EXPECT_LT(watch.RequestedBytes(), 128 * file.size()) << "work grows with the square of the sections";
}

TEST_F(LanguageFolder, TextsAreReadAsUtf8WithLatin1FallbackAndBackslashNBreaksTheLine)
{
    Write("English.ini", "[Language]\nLangId=1033\n[Common]\n1=First\\nSecond\n2=a=b\n3=Stra\xDF"
                         "e\n4=Größe\n");
    const auto localizer = Scan();
    localizer->SetLanguage(English);
    EXPECT_EQ(Text(*localizer, "Common", 1), "First\nSecond");
    EXPECT_EQ(Text(*localizer, "Common", 2), "a=b");  // the text is everything after the first '='
    EXPECT_EQ(Text(*localizer, "Common", 3), "Straße");
    EXPECT_EQ(Text(*localizer, "Common", 4), "Größe");
}

// Records calls of the localise handlers, in order.
struct Party {
    std::vector<std::string>* log;
    std::string name;
    void Localize() { log->push_back(name); }
    void Dialogs(TObject*) { log->push_back("dialogs"); }
};

TEST_F(LanguageFolder, HandlersRunAfterTheDialogsInOrderOfRegistration)
{
    Write("English.ini", EnglishFile);
    const auto localizer = Scan();
    std::vector<std::string> log;
    Party model{&log, "model"}, mainForm{&log, "main"}, options{&log, "options"}, late{&log, "late"};
    localizer->OnLocalizeDialogs = ovrel::toolkit::TNotifyEvent(&model, &Party::Dialogs);
    localizer->AddLocalizeHandler(TMethodEvent(&model, &Party::Localize));
    localizer->AddLocalizeHandler(TMethodEvent(&mainForm, &Party::Localize));
    localizer->AddLocalizeHandler(TMethodEvent(&options, &Party::Localize));
    EXPECT_TRUE(log.empty());  // nothing is applied yet

    localizer->SetLanguage(English);
    EXPECT_EQ(log, (std::vector<std::string>{"dialogs", "model", "main", "options"}));

    // A party registered after a language was applied is localised at once.
    log.clear();
    localizer->AddLocalizeHandler(TMethodEvent(&late, &Party::Localize));
    EXPECT_EQ(log, (std::vector<std::string>{"late"}));

    log.clear();
    localizer->RemoveLocalizeHandlers(&mainForm);
    localizer->SetLanguage(English);
    EXPECT_EQ(log, (std::vector<std::string>{"dialogs", "model", "options", "late"}));
}

TEST_F(LanguageFolder, WithoutLanguageFilesOnlyTheDialogsAndHandlersRun)
{
    const auto localizer = std::make_unique<TVekLocalizer>(Folder() + "missing/");
    std::vector<std::string> log;
    Party form{&log, "form"};
    localizer->OnLocalizeDialogs = ovrel::toolkit::TNotifyEvent(&form, &Party::Dialogs);
    localizer->AddLocalizeHandler(TMethodEvent(&form, &Party::Localize));
    localizer->SetHelpFile("program.chm");
    localizer->SetLanguage(English);
    EXPECT_EQ(log, (std::vector<std::string>{"dialogs", "form"}));
    EXPECT_EQ(localizer->GetLanguageCount(), 0);
    EXPECT_EQ(localizer->GetCurrentLangId(), 0);
    EXPECT_EQ(localizer->GetHelpFile(), "program.chm");
    EXPECT_EQ(GetString(localizer->GetStrings("Common"), 1, "Default"), "Default");
}

TEST_F(LanguageFolder, TablesHeldAcrossALanguageChangeStayUsable)
{
    Write("English.ini", EnglishFile);
    Write("German.ini", GermanFile);
    const auto localizer = Scan();
    localizer->SetLanguage(English);
    TVekLocalizedStrings& common = localizer->GetStrings("Common");
    localizer->SetLanguage(German);
    EXPECT_EQ(GetString(common, 1, ""), "Gut");
}

// A component with a published caption and a read-only name, as forms and controls have.
class TCaptioned : public TPersistent {
public:
    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    std::string GetName() const { return "fixed"; }

    static const TPropertyTable& ClassProperties()
    {
        static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                                .String("Caption", &TCaptioned::GetCaption, &TCaptioned::SetCaption)
                                                .String("Name", &TCaptioned::GetName, nullptr);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

private:
    std::string FCaption = "built-in";
};

TEST_F(LanguageFolder, LocalizePropertySetsThePublishedTextOnlyWhenFound)
{
    Write("English.ini", "[Language]\nLangId=1033\n[Common]\n70=Options\n47=About\n");
    const auto localizer = Scan();
    localizer->SetLanguage(English);
    const TVekLocalizedStrings& common = localizer->GetStrings("Common");
    TCaptioned control;

    EXPECT_TRUE(LocalizeProperty(common, 47, &control, "caption"));
    EXPECT_EQ(control.GetCaption(), "About");
    EXPECT_TRUE(LocalizePropertySuffix(common, 70, &control, "Caption", "..."));
    EXPECT_EQ(control.GetCaption(), "Options...");

    EXPECT_FALSE(LocalizeProperty(common, 999, &control, "Caption"));
    EXPECT_EQ(control.GetCaption(), "Options...");  // a missing entry keeps the current text

    // Found, but nothing to set: no such property, a read-only one, or no component.
    EXPECT_TRUE(LocalizeProperty(common, 47, &control, "Hint"));
    EXPECT_TRUE(LocalizeProperty(common, 47, &control, "Name"));
    EXPECT_TRUE(LocalizeProperty(common, 47, nullptr, "Caption"));
    EXPECT_EQ(control.GetCaption(), "Options...");
}

TEST_F(LanguageFolder, TheGlobalLocalizerIsClearedWhenItIsFreed)
{
    Write("English.ini", "[Language]\nLangId=1033\n[Common]\n1=OK\n");
    auto localizer = Scan();
    SetLocalizer(localizer.get());
    localizer->SetLanguage(English);
    EXPECT_EQ(GetString(GetLocalizedStrings("Common"), 1, "x"), "OK");
    localizer.reset();
    EXPECT_EQ(GetLocalizer(), nullptr);
    EXPECT_EQ(GetString(GetLocalizedStrings("Common"), 1, "fallback"), "fallback");
}

TEST(ExecutableLanguageFolder, IsTheLanguageFolderBesideTheExecutable)
{
    const TVekLocalizer localizer;
    const std::string folder = localizer.GetLanguageFolder();
    EXPECT_EQ(folder, ovrel::toolkit::ExtractFilePath(ExecutableFileName()) + "Language/");
}

// The shipped files.
class ShippedLanguages : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSavedCaptions = ovrel::core::EXIFProperties();
        FLocalizer =
            std::make_unique<TVekLocalizer>((std::filesystem::path(OVREL_SOURCE_DIR) / "data" / "Language").string());
        SetLocalizer(FLocalizer.get());
    }
    void TearDown() override
    {
        FLocalizer.reset();
        ovrel::core::EXIFProperties() = FSavedCaptions;
        LocalizeCatalogue();  // without a localiser: back to "Not Defined"
    }

    ovrel::core::TEXIFPropertyInfos FSavedCaptions;
    std::unique_ptr<TVekLocalizer> FLocalizer;
};

TEST_F(ShippedLanguages, EnglishHoldsEveryCatalogueAndGroupCaptionAsBuiltIn)
{
    ASSERT_GE(FLocalizer->IndexOfLanguage(English), 0);
    FLocalizer->SetLanguage(English);
    for (const auto& row : ovrel::core::DefaultEXIFProperties()) {
        SCOPED_TRACE(row.Caption);
        EXPECT_EQ(Text(*FLocalizer, "ExifProperties", static_cast<int>(row.Id)), row.Caption);
    }
    for (const auto& group : ovrel::core::DefaultEXIFPropertyGroups()) {
        SCOPED_TRACE(group.Caption);
        EXPECT_EQ(Text(*FLocalizer, "ExifGroups", group.Mask), group.Caption);
    }
    EXPECT_EQ(Text(*FLocalizer, "Common", 160), "Not Defined");
    EXPECT_EQ(Text(*FLocalizer, "Common", 1212), "Are you sure you want to clear Exif data in selected files?");
}

TEST_F(ShippedLanguages, GermanTranslatesWhatItHasAndKeepsEnglishForTheRest)
{
    ASSERT_GE(FLocalizer->IndexOfLanguage(German), 0);
    FLocalizer->SetLanguage(German);
    LocalizeCatalogue();
    const auto* fileName = ovrel::core::FindEXIFProperty(0xFFFE);
    const auto* gamma = ovrel::core::FindEXIFProperty(769);
    ASSERT_TRUE(fileName && gamma);
    EXPECT_EQ(fileName->Caption, "Dateiname");
    EXPECT_EQ(gamma->Caption, "Gamma");  // German has no entry; English fills it
    EXPECT_EQ(NotDefinedText(), "Nicht festgelegt");
    EXPECT_EQ(Text(*FLocalizer, "Common", 1210).find('\n') != std::string::npos, true);

    FLocalizer->SetLanguage(English);
    LocalizeCatalogue();
    EXPECT_EQ(fileName->Caption, "File Name");
    EXPECT_EQ(NotDefinedText(), "Not Defined");
}

TEST_F(LanguageFolder, ACaptionMissingFromTheLanguageKeepsItsCurrentText)
{
    const ovrel::core::TEXIFPropertyInfos saved = ovrel::core::EXIFProperties();
    Write("English.ini", "[Language]\nLangId=1033\n[ExifProperties]\n65534=Name of the file\n");
    const auto localizer = Scan();
    SetLocalizer(localizer.get());
    localizer->SetLanguage(English);
    LocalizeCatalogue();
    const std::string fileName = ovrel::core::FindEXIFProperty(0xFFFE)->Caption;
    const std::string gamma = ovrel::core::FindEXIFProperty(769)->Caption;
    const std::string notDefined = NotDefinedText();
    SetLocalizer(nullptr);
    ovrel::core::EXIFProperties() = saved;
    LocalizeCatalogue();

    EXPECT_EQ(fileName, "Name of the file");
    EXPECT_EQ(gamma, "Gamma");
    EXPECT_EQ(notDefined, "Not Defined");
}

}  // namespace
