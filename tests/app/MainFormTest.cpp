// The main window in the running program: start-up and shut-down, the folder read with its re-entrant
// choices, columns and sorting, grid and preview, the layout kept between runs, and the status texts.
#include "MainFormTestSupport.h"
#include "support/QtInput.h"

#include "imaging/PixelBuilders.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Placement.h"
#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "themes/DockablePanels.h"
#include "themes/StatusBars.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedToolbars.h"
#include "toolbars/Hooks.h"
#include "toolbars/View.h"
#include "toolbars/Viewers.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdLists.h"

#include <QHeaderView>
#include <QImage>
#include <QTreeView>

#include <algorithm>

namespace ovrel::app::test {
namespace {

using core::TVekProgressState;
using imaging::fixtures::Dir;

constexpr std::uint32_t Artist = 0x013B;
constexpr std::uint32_t FileNameId = 0xFFFE;

// The catalogue row of a property.
core::TEXIFPropertyInfo& Row(std::uint32_t id)
{
    for (core::TEXIFPropertyInfo& row : EXIFOvrelConfig().GetProperties())
        if (row.Id == id)
            return row;
    throw std::out_of_range("no such row");
}

// Shows only these columns, in this order.
void ShowColumns(std::initializer_list<std::uint32_t> ids)
{
    for (core::TEXIFPropertyInfo& row : EXIFOvrelConfig().GetProperties())
        row.Column = -1;
    int column = 0;
    for (std::uint32_t id : ids)
        Row(id).Column = column++;
}

// ---- Start-up and shut-down --------------------------------------------------------------------------------

TEST_F(MainWindowTest, StartsIntoItsWindowWithTheTitleAndReadsNoFolderOnAFreshConfiguration)
{
    Photo("a.jpg", {});
    int reads = 0;
    Run(
        [&](TEXIFOvrelMainForm& form) {
            EXPECT_EQ(form.GetCaption(), "Exif Ovrel 1.60");
            EXPECT_TRUE(form.GetVisible());
            EXPECT_EQ(form.ListView->GetItems()->GetCount(), 0);
            EXPECT_EQ(dynamic_cast<TEXIFOvrelModel*>(Model())->GetImageList().GetCount(), 0);
        },
        [&](TEXIFOvrelMainForm& form) {
            form.OnProgressStep = [&reads](TVekProgressState state) { reads += state == TVekProgressState::psStarted; };
        });
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(std::filesystem::exists(ConfigFile)) << "Exit writes the configuration";
}

TEST_F(MainWindowTest, ReadsTheLastFolderOnceWhenItShows)
{
    Photo("a.jpg", {});
    Photo("b.jpg", {});
    EXIFOvrelConfig().LastFolder = Photos();
    SaveConfig(ConfigFile);
    ResetConfig();
    int reads = 0;
    Run(
        [&](TEXIFOvrelMainForm& form) {
            EXPECT_EQ(Captions(form), (std::vector<std::string>{"a.jpg", "b.jpg"}));
        },
        [&](TEXIFOvrelMainForm& form) {
            form.OnProgressStep = [&reads](TVekProgressState state) { reads += state == TVekProgressState::psStarted; };
        });
    EXPECT_EQ(reads, 1);
}

TEST_F(MainWindowTest, WithoutALocaliserOpensClosesAndKeepsTheLanguage)
{
    EXIFOvrelConfig().LangId = 0x0407;
    SaveConfig(ConfigFile);
    ResetConfig();
    Run([](TEXIFOvrelMainForm& form) { EXPECT_TRUE(form.GetVisible()); }, {}, false);
    ResetConfig();
    ASSERT_TRUE(LoadConfig(ConfigFile));
    EXPECT_EQ(EXIFOvrelConfig().LangId, 0x0407);
}

static void IgnoreHook(toolbars::THookProcCode, ui::HWND, ui::WPARAM, ui::LPARAM) {}

// A toolbar client still registered at the end must not leave its hook in the layer's chain.
TEST_F(MainWindowTest, ShutDownTakesOutTheToolbarHooksThatAreLeft)
{
    toolbars::RecordingHookInstaller recorder;
    toolbars::IHookInstaller* previous = toolbars::SetHookInstaller(&recorder);
    Run([](TEXIFOvrelMainForm&) { toolbars::RegisterHookProc(&IgnoreHook, {toolbars::hcGetMessage}); });
    toolbars::SetHookInstaller(previous);
    EXPECT_FALSE(recorder.IsInstalled(ui::WH_GETMESSAGE));
}

TEST_F(MainWindowTest, FileExitFromTheMenuBarStoresTheLayoutAndWritesTheConfiguration)
{
    Photo("a.jpg", {});
    bool terminated = false;
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        // A click opens File, Down selects Exit, Enter chooses it: the click runs once the menu has closed.
        const ui::RECT r = form.MenuToolbar->GetView()->FindViewerOfItem(form.FileMenuItem)->GetBoundsRect();
        const ui::POINT file =
            form.MenuToolbar->ClientToScreen(ui::POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ui::PostMouseInput(ui::WM_MOUSEMOVE, file);
        ui::PostMouseInput(ui::WM_LBUTTONDOWN, file);
        ui::PostMouseInput(ui::WM_LBUTTONUP, file);
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_DOWN);
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_RETURN);
        PumpAll();
        terminated = toolkit::Application()->GetTerminated();
    });
    EXPECT_TRUE(terminated);
    ResetConfig();
    ASSERT_TRUE(LoadConfig(ConfigFile));
    EXPECT_EQ(EXIFOvrelConfig().LastFolder, std::filesystem::canonical(Photos()).string());
    EXPECT_TRUE(ui::PlacementFromBytes(EXIFOvrelConfig().MainPlacement).has_value());
}

// ---- The folder read ---------------------------------------------------------------------------------------

TEST_F(MainWindowTest, ListsTheFoldersImagesByNameWithTheFirstSelectedAndFocused)
{
    Photo("c.jpg", {{Dir::Ifd0, Artist, "Cid"}});
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}});
    Folder.WriteText("photos/notes.txt", "not an image");
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        EXPECT_EQ(Captions(form), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
        toolkit::TListItem* first = form.ListView->GetItems()->GetItem(0);
        EXPECT_TRUE(first->GetSelected());
        EXPECT_EQ(form.ListView->GetItemFocused(), first);
        EXPECT_EQ(form.ListView->GetSelCount(), 1);
        EXPECT_EQ(GridValue(form, Artist), "Ann");
        EXPECT_FALSE(form.ProgressPanel->GetVisible());
    });
}

TEST_F(MainWindowTest, TheProgressShowsCentredOverTheListWhileAReadRuns)
{
    Photo("a.jpg", {});
    std::vector<std::string> seen;
    Run([&](TEXIFOvrelMainForm& form) {
        form.ListView->SetBounds(form.ListView->GetLeft(), form.ListView->GetTop(), 301, 200);
        form.OnProgressStep = [&](TVekProgressState state) {
            toolkit::TControl* panel = form.ProgressPanel;
            const toolkit::TListView* list = form.ListView;
            // Halves truncated: (301 - 169) / 2 = 66, (200 - 41) / 2 = 79.
            const bool centred = panel->GetLeft() == list->GetLeft() + (list->GetWidth() - 169) / 2 &&
                                 panel->GetTop() == list->GetTop() + (list->GetHeight() - 41) / 2;
            seen.push_back(std::string(panel->GetVisible() ? "shown" : "hidden") + (centred ? " centred" : ""));
            if (state == TVekProgressState::psStarted) {
                EXPECT_EQ(form.ProgressBar->GetMax(), 1);
            }
        };
        Choose(form, Photos());
    });
    ASSERT_GE(seen.size(), 3U);
    EXPECT_EQ(seen.front(), "shown centred");
    EXPECT_EQ(seen.back(), "hidden centred");
}

TEST_F(MainWindowTest, AnEmptyFolderGivesNoRowsAndTheGridKeepsItsValues)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    std::filesystem::create_directories(Folder.File("empty"));
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        Choose(form, Folder.File("empty"));
        EXPECT_EQ(form.ListView->GetItems()->GetCount(), 0);
        EXPECT_EQ(form.ListView->GetItemFocused(), nullptr);
        EXPECT_EQ(GridValue(form, Artist), "Ann");
    });
}

// What happens inside the read, at one of its progress states.
enum class TDuring { SecondFolder, LanguageSwitch, Close };
struct TReentryRow {
    const char* Name;
    TVekProgressState State;
    TDuring Action;
};

class MainWindowReentry : public MainWindowTest, public ::testing::WithParamInterface<TReentryRow> {};

TEST_P(MainWindowReentry, FillsTheListOnceFromTheLastChoiceAndEndsOnAClose)
{
    const TReentryRow& row = GetParam();
    CopyShippedLanguages();
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        Photo(name, {});
    std::filesystem::create_directories(Folder.File("second"));
    Folder.Write("second/x.jpg", PhotoWith({}));
    Folder.Write("second/y.jpg", PhotoWith({}));
    bool done = false;
    int fills = 0;
    std::vector<std::string> captions;
    bool terminated = false;
    Run(
        [&](TEXIFOvrelMainForm& form) {
            form.ListView->OnSelectItem = {};  // the grid is not what this test watches
            form.OnProgressStep = [&](TVekProgressState state) {
                if (state != row.State || done)
                    return;
                done = true;
                switch (row.Action) {
                case TDuring::SecondFolder: form.ShellTreeView->SetPath(Folder.File("second")); break;
                case TDuring::LanguageSwitch: GetLocalizer()->SetLanguage(0x0407); break;
                case TDuring::Close: form.Close(); break;
                }
            };
            form.ShellTreeView->SetPath(Photos());
            PumpAll();
            EXPECT_TRUE(done);
            captions = Captions(form);
            fills = form.ListView->GetItems()->GetCount();
            terminated = toolkit::Application()->GetTerminated();
            if (row.Action != TDuring::Close) {
                EXPECT_EQ(form.ListView->GetItemFocused(), form.ListView->GetItems()->GetItem(0));
            }
        },
        {});
    switch (row.Action) {
    case TDuring::SecondFolder: EXPECT_EQ(captions, (std::vector<std::string>{"x.jpg", "y.jpg"})); break;
    case TDuring::LanguageSwitch: EXPECT_EQ(captions, (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"})); break;
    case TDuring::Close:
        EXPECT_TRUE(terminated);
        EXPECT_EQ(fills, 0);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainWindowReentry,
    ::testing::Values(TReentryRow{"FolderWhenStarted", TVekProgressState::psStarted, TDuring::SecondFolder},
                      TReentryRow{"FolderWhileRunning", TVekProgressState::psRunning, TDuring::SecondFolder},
                      TReentryRow{"FolderWhenFinished", TVekProgressState::psFinished, TDuring::SecondFolder},
                      TReentryRow{"LanguageWhenStarted", TVekProgressState::psStarted, TDuring::LanguageSwitch},
                      TReentryRow{"LanguageWhileRunning", TVekProgressState::psRunning, TDuring::LanguageSwitch},
                      TReentryRow{"LanguageWhenFinished", TVekProgressState::psFinished, TDuring::LanguageSwitch},
                      TReentryRow{"CloseWhenStarted", TVekProgressState::psStarted, TDuring::Close},
                      TReentryRow{"CloseWhileRunning", TVekProgressState::psRunning, TDuring::Close},
                      TReentryRow{"CloseWhenFinished", TVekProgressState::psFinished, TDuring::Close}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- Columns, cells and sorting ----------------------------------------------------------------------------

TEST_F(MainWindowTest, HeadersFollowTheCatalogueAndCellsLandUnderTheirHeaders)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}, {Dir::Ifd0, 0x010F, "Maker"}});
    Run([&](TEXIFOvrelMainForm& form) {
        ShowColumns({Artist, FileNameId});
        Row(Artist).Width = 77;
        Row(Artist).Alignment = 1;
        Row(0x010F).Column = 5;  // a gap in the numbers: the cell still goes under its header
        form.UpdateColumns();
        Choose(form, Photos());
        toolkit::TListColumns* columns = form.ListView->GetColumns();
        ASSERT_EQ(columns->GetCount(), 3);
        EXPECT_EQ(columns->GetItem(0)->GetCaption(), Row(Artist).Caption);
        EXPECT_EQ(columns->GetItem(0)->GetWidth(), 77);
        EXPECT_EQ(columns->GetItem(0)->GetAlignment(), toolkit::taRightJustify);
        EXPECT_EQ(columns->GetItem(1)->GetCaption(), Row(FileNameId).Caption);
        const toolkit::TListItem* item = form.ListView->GetItems()->GetItem(0);
        EXPECT_EQ(item->GetCaption(), "Ann");
        EXPECT_EQ(item->GetSubItems()->Get(0), "a.jpg");
        EXPECT_EQ(item->GetSubItems()->Get(1), "Maker");
    });
}

TEST_F(MainWindowTest, HeaderClicksSortByTheirPropertyAndReverseOnTheSameHeader)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Zed"}});
    Photo("b.jpg", {{Dir::Ifd0, Artist, "Amy"}});
    Photo("c.jpg", {});
    Photo("d.jpg", {{Dir::Ifd0, Artist, "Max"}});
    struct TClick {
        int Column;
        std::vector<std::string> Order;
        std::int32_t SortId;
        std::uint8_t Descending;
    };
    Run([&](TEXIFOvrelMainForm& form) {
        ShowColumns({FileNameId, Artist});
        form.UpdateColumns();
        Choose(form, Photos());
        const TClick clicks[] = {
            {1, {"b.jpg", "d.jpg", "a.jpg", "c.jpg"}, static_cast<std::int32_t>(Artist), 0},
            {1, {"a.jpg", "d.jpg", "b.jpg", "c.jpg"}, static_cast<std::int32_t>(Artist), 1},
            {0, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, static_cast<std::int32_t>(FileNameId), 0},
            {0, {"d.jpg", "c.jpg", "b.jpg", "a.jpg"}, static_cast<std::int32_t>(FileNameId), 1},
        };
        int step = 0;
        for (const TClick& click : clicks) {
            SCOPED_TRACE(++step);
            form.ListViewColumnClick(form.ListView, form.ListView->GetColumns()->GetItem(click.Column));
            EXPECT_EQ(Captions(form), click.Order);
            EXPECT_EQ(EXIFOvrelConfig().SortPropertyId, click.SortId);
            EXPECT_EQ(EXIFOvrelConfig().SortDescending, click.Descending);
        }
    });
}

TEST_F(MainWindowTest, AHeaderDraggedWiderIsTheWidthTheLayoutStores)
{
    Run([&](TEXIFOvrelMainForm& form) {
        ShowColumns({FileNameId, Artist});
        Row(FileNameId).Width = 100;
        form.UpdateColumns();
        PumpAll();
        QHeaderView* header = form.ListView->View()->header();
        const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        const int y = header->height() / 2;
        ovrel::test::SendQtDrag(header->viewport(), QPointF(edge, y), {QPointF(edge + 20, y), QPointF(edge + 40, y)},
                                PumpAll);
        form.StoreLayout();
        EXPECT_EQ(Row(FileNameId).Width, 140);
    });
}

// ---- Grid and preview --------------------------------------------------------------------------------------

TEST_F(MainWindowTest, TheGridShowsOnlyTheValuesTheSelectedImagesShare)
{
    Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}, {Dir::Ifd0, 0x010F, "Maker"}});
    Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}, {Dir::Ifd0, 0x010F, "Maker"}});
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        // Category rows carry tag 0; every other row is read-only and tagged by its property.
        inspector::TPropertyItems* categories = form.PropertiesView1->GetCategories();
        EXPECT_EQ(categories->GetCount(), 4);
        for (int i = 0; i < categories->GetCount(); ++i) {
            EXPECT_EQ(categories->GetItem(i)->GetTag(), 0);
            for (int j = 0; j < categories->GetItem(i)->GetCount(); ++j) {
                const inspector::TCustomPropertyItem* row = categories->GetItem(i)->GetItems()->GetItem(j);
                EXPECT_NE(row->GetTag(), 0);
                EXPECT_TRUE(row->GetReadOnly());
            }
        }
        EXPECT_EQ(GridValue(form, Artist), "Ann");
        form.ListView->GetItems()->GetItem(1)->SetSelected(true);
        EXPECT_EQ(GridValue(form, Artist), "");
        EXPECT_EQ(GridValue(form, 0x010F), "Maker");
        EXPECT_EQ(GridValue(form, 0xFFFB), "JPEG");
    });
}

TEST_F(MainWindowTest, ThePreviewDrawsTheFocusedImageCentredOnWhite)
{
    Folder.Write("photos/red.jpg",
                 imaging::pixelfixtures::EncodeJpeg(64, 32, [](std::uint32_t, std::uint32_t) { return 0xFF0000u; }));
    auto shot = [](TEXIFOvrelMainForm& form) {
        form.PreviewPaintBox->Invalidate();
        PumpAll();
        return ui::GetWindowWidget(form.PreviewBackPanel->GetHandle())->grab().toImage();
    };
    Run([&](TEXIFOvrelMainForm& form) {
        const QImage empty = shot(form);
        EXPECT_EQ(empty.pixel(empty.width() / 2, empty.height() / 2) & 0xFFFFFF, 0xFFFFFFu) << "nothing focused";
        Choose(form, Photos());
        const QImage image = shot(form);
        const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
        EXPECT_GT(centre.red(), 200);
        EXPECT_LT(centre.green(), 60);
        EXPECT_EQ(image.pixel(1, image.height() / 2) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(image.pixel(image.width() / 2, 1) & 0xFFFFFF, 0xFFFFFFu);
    });
}

TEST_F(MainWindowTest, DoubleClickPreviewClickAndEnterOpenTheFocusedFile)
{
    const std::string file = Photo("a.jpg", {});
    ui::RecordingOpener opener;
    ui::ScopedService<ui::IOpener> guard(ui::SetOpener, opener);
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        QTreeView* view = form.ListView->View();
        const QPoint inRow = view->visualRect(view->model()->index(0, 0)).center();
        ovrel::test::SendQtDoubleClick(view->viewport(), inRow, PumpAll);
        form.ListView->SetFocus();
        ovrel::test::SendQtKey(view, Qt::Key_Return, Qt::NoModifier, PumpAll);
        form.PreviewPaintBox->Perform(ui::WM_LBUTTONDOWN, 0, ui::MAKELPARAM(10, 10));
        form.PreviewPaintBox->Perform(ui::WM_LBUTTONUP, 0, ui::MAKELPARAM(10, 10));
        PumpAll();
    });
    const std::string canonical = std::filesystem::canonical(file).string();
    EXPECT_EQ(opener.Opened, (std::vector<std::string>{canonical, canonical, canonical}));
}

// ---- Layout round trip and status texts ----------------------------------------------------------------------

TEST_F(MainWindowTest, TheLayoutComesBackOnTheNextStart)
{
    CopyShippedLanguages();
    Photo("a.jpg", {});
    ui::SetSystemDefaultLangID(0x0407);  // language 0 in the configuration: the system's, German
    ui::RECT bounds{};
    Run([&](TEXIFOvrelMainForm& form) {
        EXPECT_EQ(form.FileMenuItem->GetCaption(), "Datei");
        Choose(form, Photos());
        form.ListView->GetColumns()->GetItem(0)->SetWidth(123);
        form.PropertiesView1->SetSplitterPosition(150);
        form.PreviewPanel->SetVisible(false);
        form.SetBounds(40, 50, 700, 560);
        PumpAll();
        bounds = form.GetBoundsRect();
    });
    ResetConfig();
    ui::SetSystemDefaultLangID(0x0409);
    Run([&](TEXIFOvrelMainForm& form) {
        EXPECT_EQ(form.FileMenuItem->GetCaption(), "Datei") << "the stored language, not the system's";
        EXPECT_EQ(Captions(form), std::vector<std::string>{"a.jpg"});
        EXPECT_EQ(form.ListView->GetColumns()->GetItem(0)->GetWidth(), 123);
        EXPECT_EQ(form.PropertiesView1->GetSplitterPosition(), 150);
        EXPECT_FALSE(form.PreviewPanel->GetVisible());
        EXPECT_TRUE(form.PropertiesPanel->GetVisible());
        const ui::RECT now = form.GetBoundsRect();
        EXPECT_EQ(now.left, bounds.left);
        EXPECT_EQ(now.top, bounds.top);
        EXPECT_EQ(now.right - now.left, bounds.right - bounds.left);
        EXPECT_EQ(now.bottom - now.top, bounds.bottom - bounds.top);
    });
    EXPECT_EQ(EXIFOvrelConfig().LangId, 0x0407);
}

TEST_F(MainWindowTest, StatusTextsFollowTheHookedControls)
{
    Run([&](TEXIFOvrelMainForm& form) {
        const std::pair<toolkit::TControl*, std::string> rows[] = {
            {form.ShellTreeView, "Select Folder for browse"},
            {form.ListView, "Select file for detail information; Double click for view image"},
            {form.PreviewPaintBox, "Click for view image"},
            {form.PropertiesView1, "Detail information"},
        };
        for (const auto& [control, text] : rows) {
            control->Perform(toolkit::CM_MOUSEENTER, 0, 0);
            EXPECT_EQ(form.GetStatusText(), text) << control->GetName();
            control->Perform(toolkit::CM_MOUSELEAVE, 0, 0);
            EXPECT_EQ(form.GetStatusText(), text) << "the text stays after leaving";
        }
    });
}

TEST_F(MainWindowTest, HelpReachesTheHelpServiceWithTheApplicationsFile)
{
    ui::RecordingHelp help;
    ui::ScopedService<ui::IHelp> guard(ui::SetHelp, help);
    std::string helpFile;
    Run([&](TEXIFOvrelMainForm& form) {
        helpFile = toolkit::Application()->GetHelpFile();
        form.ContentsHelpMenuItem->Click();
        PumpAll();
    });
    ASSERT_FALSE(help.Requests.empty());
    EXPECT_EQ(help.Requests.front().HelpFile, helpFile);
    EXPECT_EQ(help.Requests.front().Command, ui::HH_DISPLAY_TOPIC);
}

}  // namespace
}  // namespace ovrel::app::test
