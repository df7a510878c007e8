// The main window's dialogs in the running program: the road of one edit from the list to the files and back,
// the options dialog from the menu and the header, the about box, and the plain dialogs' texts.
#include "DialogTestSupport.h"
#include "MainFormTestSupport.h"

#include "app/About.h"
#include "app/DateTimeEdit.h"
#include "app/EditProperties.h"
#include "app/Preferences.h"
#include "platform/ui/Services.h"
#include "themes/ThemedItems.h"
#include "toolkit/ComCtrls.h"

#include <QTreeView>

namespace ovrel::app::test {
namespace {

using imaging::fixtures::Dir;

constexpr std::uint32_t Artist = 0x013B;

std::string ArtistOf(const std::string& file)
{
    core::TVekImageInfo info(file);
    return info.GetPropertyText(Artist);
}

// Everything of a JPEG but its Exif segment (APP1): the image data and the other segments.
Bytes WithoutExif(const Bytes& jpeg)
{
    Bytes out(jpeg.begin(), jpeg.begin() + 2);  // SOI
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = (jpeg[at + 2] << 8) | jpeg[at + 3];
        if (jpeg[at + 1] != 0xE1)
            out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(at),
                       jpeg.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
        at += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(std::min(at, jpeg.size())), jpeg.end());
    return out;
}

// The about box has no owner: it is found among the windows shown.
TAboutForm* ShownAboutBox()
{
    for (int i = 0; i < toolkit::Screen()->GetFormCount(); ++i)
        if (auto* about = dynamic_cast<TAboutForm*>(toolkit::Screen()->GetForm(i)); about != nullptr)
            return about;
    return nullptr;
}

TEST_F(MainWindowTest, OneEditReachesBothSelectedImagesAndTheWindowShowsItAgain)
{
    const std::string a = Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}, {Dir::Ifd0, 0x010F, "Maker"}});
    const std::string b = Photo("b.jpg", {{Dir::Ifd0, Artist, "Ben"}, {Dir::Ifd0, 0x010F, "Maker"}});
    const std::string c = Photo("c.jpg", {{Dir::Ifd0, Artist, "Cid"}});
    const Bytes aBefore = ReadFile(a);
    const Bytes cBefore = ReadFile(c);
    int reads = 0;
    std::string shown;
    bool ran = false;
    Run(
        [&](TEXIFOvrelMainForm& form) {
            Choose(form, Photos());
            QTreeView* view = form.ListView->View();
            ovrel::test::SendQtClick(view->viewport(), view->visualRect(view->model()->index(1, 0)).center(),
                                     Qt::ControlModifier, PumpAll);
            ASSERT_EQ(form.ListView->GetSelCount(), 2);
            TEditProperties* dialog = FindForm<TEditProperties>();
            ASSERT_NE(dialog, nullptr);
            TModalScript script(*dialog, [dialog] {
                const int row = dialog->GetModel().IndexOfId(Artist);
                toolkit::TEdit* edit = dialog->GetRows().at(static_cast<std::size_t>(row)).Edit;
                Click(edit);
                Type(edit, "Zoe");
                Click(dialog->Button1);
            });
            reads = 0;
            Click(form.btnCallEdit);
            PumpAll();
            ran = script.GetRan();
            shown = GridValue(form, Artist);
        },
        [&](TEXIFOvrelMainForm& form) {
            form.OnProgressStep = [&reads](core::TVekProgressState state) {
                reads += state == core::TVekProgressState::psStarted;
            };
        });
    ASSERT_TRUE(ran);
    EXPECT_EQ(ArtistOf(a), "Zoe");
    EXPECT_EQ(ArtistOf(b), "Zoe");
    EXPECT_EQ(WithoutExif(ReadFile(a)), WithoutExif(aBefore)) << "image data and other segments untouched";
    EXPECT_EQ(ReadFile(c), cBefore);
    for (const auto& entry : std::filesystem::directory_iterator(Photos()))
        EXPECT_EQ(entry.path().string().find(".ExifTemp"), std::string::npos) << entry.path();
    EXPECT_EQ(reads, 1) << "the folder was read again after OK";
    EXPECT_EQ(shown, "Zoe");
}

// Opened by a click on the window's Edit... button, the dialog sees its own input: it opens with its first
// control focused, a click moves the focus, and Enter presses OK.
TEST_F(MainWindowTest, EnterInTheEditDialogOpenedFromTheWindowPressesOk)
{
    const std::string a = Photo("a.jpg", {{Dir::Ifd0, Artist, "Ann"}});
    bool ran = false;
    bool focused = false;
    Run([&](TEXIFOvrelMainForm& form) {
        Choose(form, Photos());
        TEditProperties* dialog = FindForm<TEditProperties>();
        ASSERT_NE(dialog, nullptr);
        TModalScript script(*dialog, [dialog, &focused] {
            focused = dialog->GetActiveControl() != nullptr;
            const int row = dialog->GetModel().IndexOfId(Artist);
            toolkit::TEdit* edit = dialog->GetRows().at(static_cast<std::size_t>(row)).Edit;
            Click(edit);
            Type(edit, "Zoe");
            Key(edit, Qt::Key_Return);
            if (dialog->GetModalResult() == toolkit::mrNone)
                dialog->SetModalResult(toolkit::mrCancel);  // a failure, not a hang
        });
        Click(form.btnCallEdit);
        PumpAll();
        ran = script.GetRan();
        EXPECT_FALSE(dialog->GetVisible());
    });
    ASSERT_TRUE(ran);
    EXPECT_TRUE(focused) << "the dialog shows with no control focused";
    EXPECT_EQ(ArtistOf(a), "AnnZoe") << "Enter pressed OK";
}

TEST_F(MainWindowTest, OptionsOpenOnAnEmptyListAndCustomizeOnTheEquivalentColumnOpensTheFactorPage)
{
    std::vector<int> pages;
    Run([&](TEXIFOvrelMainForm& form) {
        TEXIFOvrelPreferencesForm* dialog = FindForm<TEXIFOvrelPreferencesForm>();
        ASSERT_NE(dialog, nullptr);
        const auto open = [&](const std::function<void()>& click) {
            const TModalScript script(*dialog, [dialog, &pages] {
                pages.push_back(dialog->PageControl->GetActivePageIndex());
                dialog->SetModalResult(toolkit::mrCancel);
            });
            click();
            PumpAll();
        };
        open([&] { form.OptionsMenuItem->Click(); });
        // A right click on the header of the 35 mm column picks the page; the menu's item opens it.
        for (core::TEXIFPropertyInfo& row : EXIFOvrelConfig().GetProperties())
            row.Column = row.Id == 0xFFFE ? 0 : row.Id == core::PropertyId35mmEquivalent ? 1 : -1;
        form.UpdateColumns();
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);  // the pop-up menu closes again
        form.ListViewColumnRightClick(form.ListView, form.ListView->GetColumns()->GetItem(1), ui::POINT{});
        PumpAll();
        EXPECT_EQ(form.GetCustomizePage(), 1);
        open([&] { form.CustomizeMenuItem->Click(); });
    });
    EXPECT_EQ(pages, (std::vector<int>{0, 1}));
}

TEST_F(MainWindowTest, TheAboutBoxShowsModallyAndIsGoneAfterward)
{
    bool shown = false;
    int aboutForms = -1;
    Run([&](TEXIFOvrelMainForm& form) {
        // The box is made by the click: its script starts once a modal about box runs.
        const ui::UINT_PTR timer = 0x52;
        struct TWatcher : toolkit::TObject {
            bool* Shown;
            ui::HWND Window;
            void Proc(toolkit::TMessage& message)
            {
                if (message.Msg != ui::WM_TIMER)
                    return;
                if (TAboutForm* about = ShownAboutBox(); about != nullptr && about->GetModal()) {
                    *Shown = true;
                    ui::KillTimer(Window, 0x52);
                    Key(about, Qt::Key_Escape);
                }
            }
        } watcher;
        watcher.Shown = &shown;
        watcher.Window = toolkit::AllocateHWnd(toolkit::TWndMethod(&watcher, &TWatcher::Proc));
        ui::SetTimer(watcher.Window, timer, 1);
        form.AboutMenuItem->Click();
        PumpAll();
        ui::KillTimer(watcher.Window, timer);
        toolkit::DeallocateHWnd(watcher.Window);
        aboutForms = ShownAboutBox() != nullptr ? 1 : 0;
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(aboutForms, 0);
}

TEST_F(MainWindowTest, ThePlainDialogsFollowALanguageChange)
{
    CopyShippedLanguages();
    std::string before;
    std::string after;
    Run([&](TEXIFOvrelMainForm&) {
        TEditProperties* edit = FindForm<TEditProperties>();
        ASSERT_NE(edit, nullptr);
        before = edit->Button2->GetCaption();
        GetLocalizer()->SetLanguage(0x0407);
        after = edit->Button2->GetCaption();
    });
    EXPECT_NE(before, after);
    EXPECT_EQ(after, "Abbrechen");
}

}  // namespace
}  // namespace ovrel::app::test
