// The options dialog as its user meets it: the two column lists kept in step by clicks and keys, OK giving the
// catalogue its columns, and the factor page editing, deleting, importing and exporting the live table through
// the factor dialog and the file dialogs.
#include "app/Preferences.h"

#include "AppTestSupport.h"
#include "DialogTestSupport.h"
#include "app/Localizer.h"
#include "core/PropertyCatalog.h"
#include "platform/ui/Services.h"

#include <QListWidget>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;
using test::Click;
using test::Pump;

// A click on the entry of a list box or a list view, where the user sees it; on a check list's box with onBox.
void ClickEntry(TWinControl* list, int row, bool onBox = false)
{
    auto* view = static_cast<QAbstractItemView*>(ui::GetWindowWidget(list->GetHandle()));
    if (auto* tree = view->findChild<QTreeView*>())
        view = tree;  // a list view's rows are in its tree
    view->scrollTo(view->model()->index(row, 0));  // as the user scrolls to it
    Pump();
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    const QPointF at = onBox ? QPointF(rect.left() + 9, rect.center().y()) : QPointF(rect.center());
    ovrel::test::SendQtClick(view->viewport(), at, Qt::NoModifier, Pump);
}

// What reaches the application's exception handler: the messages of the conversion errors.
struct TErrorLog {
    std::vector<std::string> Errors;
    void Handle(TObject*, std::exception_ptr error)
    {
        try {
            std::rethrow_exception(error);
        } catch (const EConvertError& e) {
            Errors.push_back(e.Message());
        }
    }
};

// The dialog over the program's catalogue and factor table, both given back as they were afterwards.
class PreferencesDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFactors.Clear();
        FFactors.SetFactor("Ovrel", "OC-1", 1.625f);
        FFactors.SetFactor("Ovrel", "OC-2", 0);
        FDialog = std::make_unique<TEXIFOvrelPreferencesForm>(nullptr);
        FDialog->Constructed();
    }
    void TearDown() override
    {
        FDialog.reset();
        core::EXIFProperties() = FCatalogue;
        FFactors.Clear();
    }

    std::vector<std::string> Entries(TListBox* list) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list->GetItems()->GetCount(); ++i)
            texts.push_back(list->GetItems()->Get(i));
        return texts;
    }
    int CheckIndex(const std::string& caption) const
    {
        const std::vector<std::string> entries = Entries(FDialog->PropertyCheckListBox);
        const auto at = std::find(entries.begin(), entries.end(), caption);
        return at == entries.end() ? -1 : static_cast<int>(at - entries.begin());
    }
    static int ColumnOf(std::uint32_t id)
    {
        for (const core::TEXIFPropertyInfo& row : core::EXIFProperties())
            if (row.Id == id)
                return row.Column;
        return -2;
    }
    std::vector<std::string> FactorRows() const
    {
        std::vector<std::string> rows;
        TListItems* items = FDialog->FactorListView->GetItems();
        for (int i = 0; i < items->GetCount(); ++i)
            rows.push_back(items->GetItem(i)->GetCaption() + " " + items->GetItem(i)->GetSubItems()->Get(0) + " " +
                           items->GetItem(i)->GetSubItems()->Get(1));
        return rows;
    }
    // Opens the options dialog on a page and runs the user's part inside its modal loop.
    TModalResult Run(int page, const std::function<void()>& user)
    {
        FDialog->PageControl->SetActivePageIndex(page);
        const test::TModalScript script(*FDialog, user);
        const TModalResult result = FDialog->ShowModal();
        EXPECT_TRUE(script.GetRan());
        return result;
    }
    // Clicks Edit on a factor row and runs the user's part inside the factor dialog that opens.
    void EditFactor(int row, const std::function<void(TFactorEditForm&)>& user)
    {
        ClickEntry(FDialog->FactorListView, row);
        const test::TModalScript script(FDialog.get(), [&](TCustomForm& form) {
            auto* factor = dynamic_cast<TFactorEditForm*>(&form);
            ASSERT_NE(factor, nullptr);
            EXPECT_EQ(factor->GetOwner(), FDialog.get());
            user(*factor);
        });
        Click(FDialog->EditButton);
        EXPECT_TRUE(script.GetRan());
    }

    test::TPinnedLocale FLocale;
    const core::TEXIFPropertyInfos FCatalogue = core::EXIFProperties();
    core::TReducedFocalLengthFactorTable& FFactors = core::ImageInfoFormat().GetFactorTable();
    std::unique_ptr<TEXIFOvrelPreferencesForm> FDialog;
};

TEST_F(PreferencesDialog, ChecksAndKeysKeepBothListsInStepAndOkGivesTheCatalogueItsColumns)
{
    const std::vector<std::string> columns = Entries(FDialog->ColumnListBox);
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(FDialog->GroupComboBox->GetItemIndex(), 0);
    EXPECT_EQ(FDialog->GroupComboBox->GetItems()->GetCount(), 5);

    EXPECT_EQ(Run(0,
                  [&] {
                      // A check appends the row at the end of the columns.
                      const int artist = CheckIndex(core::FindEXIFProperty(315)->Caption);
                      ASSERT_GE(artist, 0);
                      ASSERT_FALSE(FDialog->PropertyCheckListBox->GetChecked(artist));
                      ClickEntry(FDialog->PropertyCheckListBox, artist, true);
                      EXPECT_TRUE(FDialog->PropertyCheckListBox->GetChecked(artist));
                      std::vector<std::string> expected = columns;
                      expected.push_back(core::FindEXIFProperty(315)->Caption);
                      EXPECT_EQ(Entries(FDialog->ColumnListBox), expected);

                      // Move Up on the new last entry, then Delete on the first: its row is unchecked and
                      // nothing is left selected to move.
                      const int last = static_cast<int>(expected.size()) - 1;
                      ClickEntry(FDialog->ColumnListBox, last);
                      EXPECT_TRUE(FDialog->UpButton->GetEnabled());
                      EXPECT_FALSE(FDialog->DownButton->GetEnabled());
                      Click(FDialog->UpButton);
                      std::swap(expected[last], expected[last - 1]);
                      EXPECT_EQ(Entries(FDialog->ColumnListBox), expected);
                      EXPECT_EQ(FDialog->ColumnListBox->GetItemIndex(), last - 1);
                      ClickEntry(FDialog->ColumnListBox, 0);
                      test::Key(FDialog->ColumnListBox, Qt::Key_Delete);
                      const std::string deleted = expected.front();
                      expected.erase(expected.begin());
                      EXPECT_EQ(Entries(FDialog->ColumnListBox), expected);
                      EXPECT_FALSE(FDialog->PropertyCheckListBox->GetChecked(CheckIndex(deleted)));
                      EXPECT_FALSE(FDialog->UpButton->GetEnabled());
                      EXPECT_FALSE(FDialog->DownButton->GetEnabled());
                      Click(FDialog->UpButton);  // disabled: nothing happens, nothing raises
                      Click(FDialog->OkButton);
                  }),
              mrOk);
    FDialog->ApplyColumns();
    const std::vector<std::string> shown = Entries(FDialog->ColumnListBox);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const core::TEXIFPropertyInfo* row = nullptr;
        for (const core::TEXIFPropertyInfo& candidate : core::EXIFProperties())
            if (candidate.Caption == shown[i])
                row = &candidate;
        ASSERT_NE(row, nullptr) << shown[i];
        EXPECT_EQ(row->Column, static_cast<int>(i)) << shown[i];
    }
    EXPECT_EQ(ColumnOf(315), static_cast<int>(shown.size()) - 2);
}

TEST_F(PreferencesDialog, UnselectAllOnOneGroupLeavesTheOthersAndCancelKeepsTheListsForTheNextOpening)
{
    const std::vector<std::string> columns = Entries(FDialog->ColumnListBox);
    const std::vector<int> before = [] {
        std::vector<int> list;
        for (const core::TEXIFPropertyInfo& row : core::EXIFProperties())
            list.push_back(row.Column);
        return list;
    }();
    EXPECT_EQ(Run(0,
                  [&] {
                      FDialog->GroupComboBox->SetItemIndex(1);  // the file's properties
                      FDialog->GroupComboBoxClick(FDialog->GroupComboBox);
                      Click(FDialog->UnselectAllButton);
                      for (int i = 0; i < FDialog->PropertyCheckListBox->GetItems()->GetCount(); ++i)
                          EXPECT_FALSE(FDialog->PropertyCheckListBox->GetChecked(i));
                      Click(FDialog->CancelButton);
                  }),
              mrCancel);
    const std::vector<std::string> left = Entries(FDialog->ColumnListBox);
    EXPECT_LT(left.size(), columns.size()) << "the file columns left the list";
    EXPECT_FALSE(left.empty()) << "the columns of the other groups stay";
    std::vector<int> after;
    for (const core::TEXIFPropertyInfo& row : core::EXIFProperties())
        after.push_back(row.Column);
    EXPECT_EQ(after, before) << "Cancel leaves the catalogue";

    // All properties unchecked: OK leaves no column at all.
    Run(0, [&] {
        FDialog->GroupComboBox->SetItemIndex(0);
        FDialog->GroupComboBoxClick(FDialog->GroupComboBox);
        Click(FDialog->UnselectAllButton);
        Click(FDialog->OkButton);
    });
    EXPECT_TRUE(Entries(FDialog->ColumnListBox).empty());
    FDialog->ApplyColumns();
    for (const core::TEXIFPropertyInfo& row : core::EXIFProperties())
        EXPECT_EQ(row.Column, -1) << row.Caption;
}

TEST_F(PreferencesDialog, TheFactorPageEditsTheLiveTableThroughTheFactorDialog)
{
    Run(1, [&] {
        EXPECT_EQ(FactorRows(), (std::vector<std::string>{"Ovrel OC-1 1.63", "Ovrel OC-2 Not Defined"}))
            << "refreshed as the dialog is activated";
        EXPECT_FALSE(FDialog->EditButton->GetEnabled());

        // A row without a factor edits from 1; OK stores what was typed.
        EditFactor(1, [&](TFactorEditForm& form) {
            EXPECT_EQ(form.MakeEdit->GetText(), "Ovrel");
            EXPECT_EQ(form.ModelEdit->GetText(), "OC-2");
            EXPECT_EQ(form.FactorEdit->GetText(), "1.00");
            EXPECT_FALSE(form.MakeEdit->GetTabStop());
            EXPECT_TRUE(form.MakeEdit->GetReadOnly());
            Click(form.FactorEdit);
            for (int i = 0; i < 4; ++i)
                test::Key(form.FactorEdit, Qt::Key_Backspace);
            test::Type(form.FactorEdit, "2.5x");  // the x is dropped
            Click(form.OkButton);
        });
        EXPECT_FLOAT_EQ(FFactors.GetItem(1)->Factor, 2.5f);
        EXPECT_EQ(FactorRows()[1], "Ovrel OC-2 2.50");

        // OK on an untouched 1.63 keeps 1.625.
        EditFactor(0, [&](TFactorEditForm& form) {
            EXPECT_EQ(form.FactorEdit->GetText(), "1.63");
            Click(form.OkButton);
        });
        EXPECT_FLOAT_EQ(FFactors.GetItem(0)->Factor, 1.625f);

        // A text that is no number raises out of OK; the row keeps its factor.
        TErrorLog errors;
        Application()->OnException = TExceptionEvent(&errors, &TErrorLog::Handle);
        EditFactor(0, [&](TFactorEditForm& form) {
            Click(form.FactorEdit);
            test::Type(form.FactorEdit, ".2");  // "1.63.2"
            Click(form.OkButton);
        });
        Application()->OnException = {};
        EXPECT_EQ(errors.Errors.size(), 1u);
        EXPECT_FLOAT_EQ(FFactors.GetItem(0)->Factor, 1.625f);

        // Delete asks nothing, and Cancel does not bring the row back.
        ClickEntry(FDialog->FactorListView, 0);
        Click(FDialog->DeleteButton);
        EXPECT_EQ(FactorRows(), (std::vector<std::string>{"Ovrel OC-2 2.50"}));
        Click(FDialog->CancelButton);
    });
    ASSERT_EQ(FFactors.GetCount(), 1);
    EXPECT_EQ(FFactors.GetItem(0)->Model, "OC-2");
}

TEST_F(PreferencesDialog, ImportAndExportGoThroughTheFileDialogsAndRefreshTheList)
{
    test::TTempFolder folder;
    const std::string file = (std::filesystem::path(folder.Path()) / "factors.ini").string();
    ui::ScriptedFileDialogs dialogs;
    const ui::ScopedService<ui::IFileDialogs> guard{ui::SetFileDialogs, dialogs};
    dialogs.Answers = {std::nullopt, file, file};
    Run(1, [&] {
        Click(FDialog->ExportButton);  // cancelled: nothing written
        EXPECT_FALSE(std::filesystem::exists(file));
        Click(FDialog->ExportButton);
        EXPECT_TRUE(std::filesystem::exists(file));
        FFactors.Clear();
        FFactors.SetFactor("Other", "X", 2);
        Click(FDialog->ImportButton);
        EXPECT_EQ(FactorRows(),
                  (std::vector<std::string>{"Other X 2.00", "Ovrel OC-1 1.63", "Ovrel OC-2 Not Defined"}));
        Click(FDialog->OkButton);
    });
    ASSERT_EQ(dialogs.Requests.size(), 3u);
    EXPECT_TRUE(dialogs.Requests[1].Save);
    EXPECT_TRUE(dialogs.Requests[1].OverwritePrompt);
    EXPECT_FALSE(dialogs.Requests[2].Save);
    for (const ui::FileDialogRequest& request : dialogs.Requests) {
        EXPECT_EQ(request.DefaultExt, "ini");
        EXPECT_EQ(request.Filter, "Ini Files (*.ini)|*.ini|All Files|*.*");
    }
}

TEST_F(PreferencesDialog, LocalizeTakesTheGroupNamesAndTheTextsAndKeepsWhatALanguageLacks)
{
    test::TTempFolder folder;
    TVekLocalizer localizer(folder.Path());
    SetLocalizer(&localizer);
    const core::TEXIFPropertyGroups groups = core::EXIFPropertyGroups();
    GetLocalizedStrings("ExifGroups").SetText("255=Alle\n2=Kamera\n");
    GetLocalizedStrings("Common").SetText("70=Optionen\n855=Spalten\n17=Importieren\n24=Bearbeiten\n851=Hersteller\n");
    FDialog->GroupComboBox->SetItemIndex(3);
    FDialog->Localize();
    SetLocalizer(nullptr);
    EXPECT_EQ(FDialog->GetCaption(), "Optionen");
    EXPECT_EQ(FDialog->ColumnsLabel->GetCaption(), "Spalten:");
    EXPECT_EQ(FDialog->ImportButton->GetCaption(), "Importieren...");
    EXPECT_EQ(FDialog->EditButton->GetCaption(), "Bearbeiten...");
    EXPECT_EQ(FDialog->DeleteButton->GetCaption(), "Delete") << "a missing entry keeps the text";
    EXPECT_EQ(FDialog->FactorListView->GetColumns()->GetItem(0)->GetCaption(), "Hersteller");
    EXPECT_EQ(FDialog->FactorListView->GetColumns()->GetItem(1)->GetCaption(), "Model");
    EXPECT_EQ(FDialog->GroupComboBox->GetItems()->Get(0), "Alle");
    EXPECT_EQ(FDialog->GroupComboBox->GetItems()->Get(2), "Kamera");
    EXPECT_EQ(FDialog->GroupComboBox->GetItemIndex(), 3) << "the selection stays";
    core::EXIFPropertyGroups() = groups;
}

}  // namespace
}  // namespace ovrel::app
