// The main window's commands on the selected images, answered through scripted prompts and file dialogs, and
// its language menu.
#include "MainFormTestSupport.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "themes/DockablePanels.h"
#include "themes/ThemedItems.h"

#include <filesystem>
#include <fstream>

namespace ovrel::app::test {
namespace {

using imaging::fixtures::Dir;

constexpr std::uint32_t Artist = 0x013B;

std::string ArtistOf(const std::string& file)
{
    core::TVekImageInfo info(file);
    return info.GetPropertyText(Artist);
}

void SelectAll(TEXIFOvrelMainForm& form)
{
    for (int i = 0; i < form.ListView->GetItems()->GetCount(); ++i)
        form.ListView->GetItems()->GetItem(i)->SetSelected(true);
}

// ---- Clear ---------------------------------------------------------------------------------------------------

struct TClearRow {
    const char* Name;
    int Answer;  // what the box answers
    bool Clears;
};

class MainWindowClear : public MainWindowTest, public ::testing::WithParamInterface<TClearRow> {};

TEST_P(MainWindowClear, ClearsOnlyOnAnExplicitYes)
{
    const std::string file = Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    const Bytes before = ReadFile(file);
    ui::ScriptedPrompter prompter;
    prompter.Answers = {GetParam().Answer};
    ui::ScopedService<ui::IPrompter> guard(ui::SetPrompter, prompter);
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        form.ClearExifMenuItem->Click();
        PumpAll();
    });
    ASSERT_GE(prompter.Questions.size(), 1U);
    EXPECT_EQ(prompter.Questions[0].Text, "Are you sure you want to clear Exif data in selected files?");
    if (GetParam().Clears) {
        EXPECT_EQ(ArtistOf(file), "");
        ASSERT_EQ(prompter.Questions.size(), 2U);
        EXPECT_EQ(prompter.Questions[1].Text, "Exif data has been cleared successfully.");
    } else {
        EXPECT_EQ(ReadFile(file), before);
        EXPECT_EQ(prompter.Questions.size(), 1U);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowClear,
                         ::testing::Values(TClearRow{"Yes", ui::IDYES, true}, TClearRow{"No", ui::IDNO, false},
                                           TClearRow{"Escaped", ui::IDCANCEL, false}, TClearRow{"Closed", 0, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- Export and import -------------------------------------------------------------------------------------

TEST_F(MainWindowTest, ExportWritesAnXmlBesideEachImageAndNamesTheOnesWhoseNameClashes)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    Photo("a.jpe", {{Dir::Ifd0, Artist, "Another"}});  // also a JPEG, and also a.xml
    Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}});
    ui::ScriptedPrompter prompter;
    ui::ScopedService<ui::IPrompter> guard(ui::SetPrompter, prompter);
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        SelectAll(form);
        form.ExportExifMenuItem->Click();
        PumpAll();
    });
    EXPECT_TRUE(std::filesystem::exists(Folder.File("photos/b.xml")));
    std::ifstream in(Folder.File("photos/a.xml"));
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(xml.find("a.jpe"), std::string::npos) << "the first image in list order keeps the name";
    ASSERT_EQ(prompter.Questions.size(), 1U);
    EXPECT_EQ(prompter.Questions[0].Text.rfind("Export completed.", 0), 0U);
    EXPECT_NE(prompter.Questions[0].Text.find("a.jpg"), std::string::npos) << prompter.Questions[0].Text;
}

TEST_F(MainWindowTest, ImportAppliesTheChosenFileToTheSelectionAndReadsTheFolderAgain)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    const std::string b = Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}});
    ui::ScriptedPrompter prompter;
    ui::ScopedService<ui::IPrompter> promptGuard(ui::SetPrompter, prompter);
    ui::ScriptedFileDialogs dialogs;
    dialogs.Answers = {std::nullopt, Folder.File("photos/a.xml")};
    ui::ScopedService<ui::IFileDialogs> dialogGuard(ui::SetFileDialogs, dialogs);
    std::string shown;
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        form.ExportExifMenuItem->Click();  // a.xml from a.jpg, selected first
        form.ListView->SetSelected(form.ListView->GetItems()->GetItem(1));
        form.ImportExifMenuItem->Click();  // cancelled: nothing happens
        EXPECT_EQ(ArtistOf(b), "Ben");
        form.ImportExifMenuItem->Click();
        PumpAll();
        shown = GridValue(form, Artist);
    });
    EXPECT_EQ(ArtistOf(b), "Ann");
    EXPECT_EQ(shown, "Ann") << "the list was read again, item 0 is a.jpg";
    ASSERT_EQ(dialogs.Requests.size(), 2U);
    EXPECT_EQ(dialogs.Requests[1].Filter, "XML Files (*.xml)|*.xml|All Files (*.*)|*.*");
    EXPECT_EQ(std::filesystem::path(dialogs.Requests[1].InitialDir), std::filesystem::canonical(Photos()))
        << "the dialog opens where the exported files lie";
    ASSERT_EQ(prompter.Questions.size(), 2U);
    EXPECT_EQ(prompter.Questions[1].Text, "Import completed.");
}

// A file that is gone when the command runs cannot be written: it is named, and no success text shows.
struct TFailureRow {
    const char* Name;
    int Command;  // 0 import, 1 clear
};

class MainWindowFailure : public MainWindowTest, public ::testing::WithParamInterface<TFailureRow> {};

TEST_P(MainWindowFailure, NamesTheFilesItCouldNotChangeAndGoesOnWithTheOthers)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    const std::string b = Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}});
    const std::string c = Photo("c.jpg", {{Dir::Ifd0, Artist, "Cid"}});
    ui::ScriptedPrompter prompter;
    prompter.Answers = {ui::IDOK, ui::IDYES};
    ui::ScopedService<ui::IPrompter> promptGuard(ui::SetPrompter, prompter);
    ui::ScriptedFileDialogs dialogs;
    dialogs.Answers = {Folder.File("photos/a.xml")};
    ui::ScopedService<ui::IFileDialogs> dialogGuard(ui::SetFileDialogs, dialogs);
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        form.ExportExifMenuItem->Click();
        form.ListView->SetSelected(form.ListView->GetItems()->GetItem(1));
        form.ListView->GetItems()->GetItem(2)->SetSelected(true);
        std::filesystem::remove(b);
        if (GetParam().Command == 0)
            form.ImportExifMenuItem->Click();
        else
            form.ClearExifMenuItem->Click();
        PumpAll();
    });
    EXPECT_EQ(ArtistOf(c), GetParam().Command == 0 ? "Ann" : "");
    const std::string& last = prompter.Questions.back().Text;
    EXPECT_NE(last.find(b), std::string::npos) << last;
    EXPECT_EQ(last.find(c), std::string::npos) << last;
    for (const auto& question : prompter.Questions) {
        EXPECT_NE(question.Text, "Import completed.");
        EXPECT_NE(question.Text, "Exif data has been cleared successfully.");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowFailure, ::testing::Values(TFailureRow{"Import", 0}, TFailureRow{"Clear", 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- Languages -----------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, TheLanguageMenuOffersEachNamedLanguageOnce)
{
    std::ofstream(LanguageFolder + "/English.ini") << "[Language]\nLangId=1033\nLanguage=English\n";
    std::ofstream(LanguageFolder + "/Shared.ini") << "[Language]\nLangId=1031\n[Common]\n10=Datei\n";
    Run([&](TEXIFOvrelMainForm& form) {
        GetLocalizer()->BuildLanguageMenu(form.LanguageSubmenuItem);  // a second time
        ASSERT_EQ(form.LanguageSubmenuItem->GetCount(), 1);
        EXPECT_EQ(form.LanguageSubmenuItem->GetItem(0)->GetCaption(), "English");
        EXPECT_EQ(form.LanguageSubmenuItem->GetItem(0)->GetTag(), 1033);
    });
}

TEST_F(MainWindowTest, ChoosingGermanChangesMenusHeadersAndGridRowsAndKeepsTheValues)
{
    CopyShippedLanguages();
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        EXPECT_EQ(form.FileMenuItem->GetCaption(), "File");
        toolbars::TTBCustomItem* german = nullptr;
        for (int i = 0; i < form.LanguageSubmenuItem->GetCount(); ++i)
            if (form.LanguageSubmenuItem->GetItem(i)->GetTag() == 1031)
                german = form.LanguageSubmenuItem->GetItem(i);
        ASSERT_NE(german, nullptr);
        german->Click();
        PumpAll();
        EXPECT_EQ(form.FileMenuItem->GetCaption(), "Datei");
        EXPECT_EQ(form.PreviewPanel->GetCaption(), "Vorschau");
        EXPECT_EQ(form.btnCallEdit->GetCaption(), "Bearbeiten...");
        EXPECT_EQ(form.ListView->GetColumns()->GetItem(0)->GetCaption(), "Dateiname");
        bool found = false;
        for (int i = 0; i < form.PropertiesView1->GetAbsoluteCount(); ++i)
            if (const auto* row = form.PropertiesView1->GetAbsoluteItem(i); row->GetTag() == 0xFFFE)
                found = row->GetCaption() == "Dateiname";
        EXPECT_TRUE(found);
        EXPECT_EQ(GridValue(form, Artist), "Ann");
        EXPECT_EQ(Captions(form), std::vector<std::string>{"a.jpg"});
    });
}

}  // namespace
}  // namespace ovrel::app::test
