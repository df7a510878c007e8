// The main window's texts in the current language, its status texts and the commands of its menus.
#include "app/MainForm.h"

#include "app/About.h"
#include "app/EditProperties.h"
#include "app/EditPropertiesModel.h"
#include "app/Framework.h"
#include "app/Localizer.h"
#include "app/Preferences.h"
#include "app/XmlExchange.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "themes/DockablePanels.h"
#include "themes/StatusBars.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ShellCtrls.h"
#include "toolkit/StdCtrls.h"
#include "inspector/PropertiesView.h"

#include <memory>
#include <set>
#include <string_view>
#include <utility>

namespace ovrel::app {

using namespace ovrel::toolkit;
using core::TVekImageInfo;

namespace {

struct TDefaultText {
    int Id;
    std::string_view Text;
};

constexpr TDefaultText DefaultTexts[] = {
    {857, "Select Folder for browse"},
    {858, "Select file for detail information"},
    {859, "Double click for view image"},
    {860, "Click for view image"},
    {861, "Detail information"},
    {1210, "Export completed. The resulting XML files have the same names as the source images, but their "
           "extensions are different from those of the source images."},
    {1211, "Import completed."},
    {1212, "Are you sure you want to clear Exif data in selected files?"},
    {1213, "Exif data has been cleared successfully."},
};

// An override cursor for the work between construction and the end of the scope.
class THourglass {
public:
    THourglass() : FCursor(ui::LoadCursor(nullptr, ui::IDC_WAIT)) {}

private:
    ui::ScopedOverrideCursor FCursor;
};

}  // namespace

std::string MainFormText(int id)
{
    std::string_view fallback;
    for (const TDefaultText& text : DefaultTexts)
        if (text.Id == id)
            fallback = text.Text;
    return GetString(GetLocalizedStrings("Common"), id, fallback);
}

void TEXIFOvrelMainForm::Localize()
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    const std::pair<int, TPersistent*> plain[] = {
        {10, FileMenuItem},         {23, ExitMenuItem},       {34, ViewMenuItem},           {46, HelpMenuItem},
        {46, ContentsHelpMenuItem}, {158, FoldersPanel},      {158, ViewFoldersMenuItem},   {20, PreviewPanel},
        {20, ViewPreviewMenuItem},  {40, PropertiesPanel},    {40, ViewPropertiesMenuItem}, {41, LanguageSubmenuItem},
        {1207, btnCallEdit},        {1214, ExifInfoMenuItem}, {1215, ImportExifMenuItem},   {1216, ExportExifMenuItem},
        {1217, ClearExifMenuItem},
    };
    for (const auto& [id, component] : plain)
        LocalizeProperty(common, id, component, "Caption");
    const std::pair<int, TPersistent*> dotted[] = {
        {70, OptionsMenuItem}, {47, AboutMenuItem}, {38, CustomizeMenuItem}, {159, ProgressLabel}};
    for (const auto& [id, component] : dotted)
        LocalizePropertySuffix(common, id, component, "Caption", "...");
    UpdateColumns();
}

void TEXIFOvrelMainForm::LanguageChosen(TObject*)
{
    BuildPropertyRows();
    ShowSelectedProperties();  // the rows were made again empty
}

void TEXIFOvrelMainForm::SetStatusText(const std::string& text)
{
    StatusBar->GetPanels()->GetItem(1)->SetCaption(text);
}

std::string TEXIFOvrelMainForm::GetStatusText() const { return StatusBar->GetPanels()->GetItem(1)->GetCaption(); }

void TEXIFOvrelMainForm::ControlMouseEnter(TControl* control)
{
    if (control == ShellTreeView)
        SetStatusText(MainFormText(857));
    else if (control == ListView)
        SetStatusText(MainFormText(858) + "; " + MainFormText(859));
    else if (control == PreviewPaintBox)
        SetStatusText(MainFormText(860));
    else if (control == PropertiesView1)
        SetStatusText(MainFormText(861));
}

void TEXIFOvrelMainForm::ListViewColumnRightClick(TObject*, TListColumn* column, ui::POINT)
{
    const auto* row = reinterpret_cast<const core::TEXIFPropertyInfo*>(column->Tag);
    CustomizePage = row != nullptr && row->Id == core::PropertyId35mmEquivalent ? 1 : 0;
    ui::POINT cursor{};
    (void)ui::GetCursorPos(&cursor);
    ListViewPopupMenu->Popup(cursor.x, cursor.y);
}

void TEXIFOvrelMainForm::ReadFolderAgain() { ShellTreeViewChange(ShellTreeView); }

void TEXIFOvrelMainForm::RunImageCommand(const std::function<bool(TVekImageInfo&)>& work, int successId, bool reread)
{
    const std::vector<TVekImageInfo*> images = SelectedImages();
    std::vector<std::string> failed;
    {
        const THourglass hourglass;
        for (TVekImageInfo* image : images) {
            bool done = false;
            try {
                done = work(*image);
            } catch (const Exception&) {
                done = false;
            }
            if (!done)
                failed.push_back(image->GetFileName());
        }
    }
    if (failed.empty())
        ShowMessage(MainFormText(successId));
    else
        ShowError(FailedFilesMessage(failed));
    if (reread)
        ReadFolderAgain();
}

void TEXIFOvrelMainForm::ExportExifMenuItemClick(TObject*)
{
    const std::vector<TVekImageInfo*> images = SelectedImages();
    if (images.empty())
        return;
    // a.jpg and a.tif both give a.xml: the first one keeps it, the later ones are named in the message.
    std::set<std::string> written;
    std::vector<std::string> skipped;
    {
        const THourglass hourglass;
        for (TVekImageInfo* image : images) {
            const std::string target = ChangeFileExt(image->GetFileName(), ".xml");
            if (!written.insert(target).second) {
                skipped.push_back(image->GetFileName());
                continue;
            }
            ExportXml(*image, target);
        }
    }
    std::string text = MainFormText(1210);
    if (!skipped.empty()) {
        text += "\n\nNot exported, as another selected image has the same XML file name:";
        for (const std::string& file : skipped)
            text += "\n" + file;
    }
    ShowMessage(text);
}

void TEXIFOvrelMainForm::ImportExifMenuItemClick(TObject*)
{
    if (ListView->GetSelCount() == 0)
        return;
    // The dialog opens where the images and the files exported beside them lie.
    OpenDialog1->InitialDir = ChosenFolder();
    if (!OpenDialog1->Execute())
        return;
    const std::string document = OpenDialog1->FileName;
    RunImageCommand(
        [&document](TVekImageInfo& image) {
            ImportXml(document, image);
            return true;
        },
        1211, true);
}

void TEXIFOvrelMainForm::ClearExifMenuItemClick(TObject*)
{
    // Only an explicit Yes clears: a box closed or escaped answers No.
    if (ListView->GetSelCount() == 0 || !ConfirmYesNo(MainFormText(1212)))
        return;
    RunImageCommand(
        [](TVekImageInfo& image) {
            TVekImageInfo fresh(image.GetFileName());
            return fresh.ClearExif();
        },
        1213, true);
}

void TEXIFOvrelMainForm::btnCallEditClick(TObject*)
{
    const std::vector<TVekImageInfo*> images = SelectedImages();
    TEditProperties* dialog = FindForm<TEditProperties>();
    if (images.empty() || dialog == nullptr)
        return;
    try {
        dialog->SetImages(images);
        if (dialog->ShowModal() == mrOk) {
            ShowSelectedProperties();
            ReadFolderAgain();
        }
    } catch (const Exception&) {
        ShowMessage("Eror #1");
    }
}

// Options and "Customize..." do not use the selection: they open on an empty folder too.
void TEXIFOvrelMainForm::OpenOptions(int page)
{
    TEXIFOvrelPreferencesForm* dialog = FindForm<TEXIFOvrelPreferencesForm>();
    if (dialog == nullptr)
        return;
    dialog->PageControl->SetActivePageIndex(page);
    if (dialog->ShowModal() == mrOk) {
        dialog->ApplyColumns();
        UpdateColumns();
    }
}

void TEXIFOvrelMainForm::OptionsMenuItemClick(TObject*) { OpenOptions(0); }

void TEXIFOvrelMainForm::CustomizeMenuItemClick(TObject*) { OpenOptions(CustomizePage); }

void TEXIFOvrelMainForm::AboutMenuItemClick(TObject*)
{
    const auto about = std::make_unique<TAboutForm>(nullptr, 500);
    about->Constructed();
    about->ShowModal();
}

void TEXIFOvrelMainForm::ContentsHelpMenuItemClick(TObject*)
{
    if (TVekApplication* application = VekApplication(); application != nullptr)
        application->ShowHelp(0);
}

}  // namespace ovrel::app
