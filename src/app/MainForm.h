#pragma once
// The program's main window: the folder tree, the list of the folder's images, the property grid of the
// selection with its preview, the status bar and the menu bar. It reads folders, fills and sorts the list,
// runs the menu commands, and keeps its layout in the configuration record.

#include "app/VekForm.h"
#include "core/ImageInfoList.h"
#include "platform/ui/Types.h"
#include "toolkit/ListView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
class TFormBuilder;
class TShellTreeView;
class TPanel;
class TPaintBox;
class TLabel;
class TButton;
class TProgressBar;
class TOpenDialog;
class TImageList;
}  // namespace ovrel::toolkit
namespace ovrel::themes {
class TTBXDock;
class TTBXMultiDock;
class TTBXDockablePanel;
class TTBXAlignmentPanel;
class TTBXStatusBar;
class TTBXItem;
class TTBXSubmenuItem;
class TTBXVisibilityToggleItem;
class TTBXSeparatorItem;
class TTBXToolbar;
class TTBXPopupMenu;
}  // namespace ovrel::themes
namespace ovrel::inspector {
class TPropertiesView;
}

namespace ovrel::app {

class TEXIFOvrelModel;

class TEXIFOvrelMainForm : public TVekForm {
public:
    /// Builds the window and runs FormCreate, which restores the layout and applies the language.
    explicit TEXIFOvrelMainForm(toolkit::TComponent* owner);
    ~TEXIFOvrelMainForm() override;

    /// The menu captions, panel captions and other texts of the current language, then UpdateColumns.
    void Localize() override;

    // -- The window's operations ------------------------------------------------------------------------------
    /// Caption = the application's title, the preview repainted, then the tree's folder read.
    void UpdateCaption(toolkit::TObject* sender);
    /// The columns of the catalogue in column order; the list refilled (only the headers during a read).
    void UpdateColumns();
    /// One row per image of the model's list, sorted, item 0 selected and focused.
    void FillListView();
    void SortItems();
    /// The grid's category rows and one read-only row per catalogue property, tagged by its id.
    void BuildPropertyRows();
    /// The values every selected image agrees on; nothing changes without a selection.
    void ShowSelectedProperties();
    void UpdateGridOptions();
    void RestoreLayout();
    void StoreLayout();
    /// The text of the status bar's second panel.
    void SetStatusText(const std::string& text);
    [[nodiscard]] std::string GetStatusText() const;
    /// The selected images in list order.
    [[nodiscard]] std::vector<core::TVekImageInfo*> SelectedImages() const;
    /// Whether a folder read is on the stack.
    [[nodiscard]] bool GetReading() const { return FReading; }
    [[nodiscard]] int GetCustomizePage() const { return CustomizePage; }

    // -- Event handlers -------------------------------------------------------------------------------------
    void FormCreate(toolkit::TObject* sender);
    void FormShow(toolkit::TObject* sender);
    void FormClose(toolkit::TObject* sender, toolkit::TCloseAction& action);
    void FormDestroy(toolkit::TObject* sender);
    void ShellTreeViewChange(toolkit::TObject* sender);
    void ShellTreeViewEditing(toolkit::TObject* sender, const std::string& folder, bool& allowEdit);
    void ListViewSelectItem(toolkit::TObject* sender, toolkit::TListItem* item, bool selected);
    void ListViewColumnClick(toolkit::TObject* sender, toolkit::TListColumn* column);
    void ListViewColumnRightClick(toolkit::TObject* sender, toolkit::TListColumn* column, ui::POINT point);
    void ListViewDblClick(toolkit::TObject* sender);
    void ListViewKeyDown(toolkit::TObject* sender, std::uint16_t& key, toolkit::TShiftState shift);
    void ListViewResize(toolkit::TObject* sender);
    void PreviewPaintBoxPaint(toolkit::TObject* sender);
    void PreviewPaintBoxClick(toolkit::TObject* sender);
    void ExportExifMenuItemClick(toolkit::TObject* sender);
    void ImportExifMenuItemClick(toolkit::TObject* sender);
    void ClearExifMenuItemClick(toolkit::TObject* sender);
    void ContentsHelpMenuItemClick(toolkit::TObject* sender);
    void btnCallEditClick(toolkit::TObject* sender);
    void OptionsMenuItemClick(toolkit::TObject* sender);
    void CustomizeMenuItemClick(toolkit::TObject* sender);
    void AboutMenuItemClick(toolkit::TObject* sender);
    void ProgressChanged(core::TVekProgress* progress);
    void ControlMouseEnter(toolkit::TControl* control);

    /// Called inside ProgressChanged after the display was updated, before messages are processed (tests).
    std::function<void(core::TVekProgressState)> OnProgressStep;

    // -- Components (owned by the form) ---------------------------------------------------------------------
    themes::TTBXDock* TopDock = nullptr;
    themes::TTBXToolbar* MenuToolbar = nullptr;
    themes::TTBXSubmenuItem* FileMenuItem = nullptr;
    themes::TTBXItem* ExitMenuItem = nullptr;
    themes::TTBXSubmenuItem* ViewMenuItem = nullptr;
    themes::TTBXVisibilityToggleItem* ViewFoldersMenuItem = nullptr;
    themes::TTBXVisibilityToggleItem* ViewPreviewMenuItem = nullptr;
    themes::TTBXVisibilityToggleItem* ViewPropertiesMenuItem = nullptr;
    themes::TTBXSeparatorItem* LanguageSeparator = nullptr;
    themes::TTBXSubmenuItem* LanguageSubmenuItem = nullptr;
    themes::TTBXSubmenuItem* ExifInfoMenuItem = nullptr;
    themes::TTBXItem* ImportExifMenuItem = nullptr;
    themes::TTBXItem* ExportExifMenuItem = nullptr;
    themes::TTBXSeparatorItem* ExifSeparator = nullptr;
    themes::TTBXItem* ClearExifMenuItem = nullptr;
    themes::TTBXItem* OptionsMenuItem = nullptr;
    themes::TTBXSubmenuItem* HelpMenuItem = nullptr;
    themes::TTBXItem* ContentsHelpMenuItem = nullptr;
    themes::TTBXSeparatorItem* AboutMenuSeparator = nullptr;
    themes::TTBXItem* AboutMenuItem = nullptr;
    themes::TTBXMultiDock* LeftDock = nullptr;
    themes::TTBXDockablePanel* FoldersPanel = nullptr;
    toolkit::TShellTreeView* ShellTreeView = nullptr;
    themes::TTBXMultiDock* RightDock = nullptr;
    themes::TTBXDockablePanel* PreviewPanel = nullptr;
    toolkit::TPanel* PreviewBackPanel = nullptr;
    toolkit::TPaintBox* PreviewPaintBox = nullptr;
    themes::TTBXDockablePanel* PropertiesPanel = nullptr;
    inspector::TPropertiesView* PropertiesView1 = nullptr;
    themes::TTBXAlignmentPanel* EditButtonPanel = nullptr;
    toolkit::TButton* btnCallEdit = nullptr;
    toolkit::TListView* ListView = nullptr;
    toolkit::TPanel* ProgressPanel = nullptr;
    toolkit::TLabel* ProgressLabel = nullptr;
    toolkit::TProgressBar* ProgressBar = nullptr;
    themes::TTBXStatusBar* StatusBar = nullptr;
    themes::TTBXPopupMenu* ListViewPopupMenu = nullptr;
    themes::TTBXItem* CustomizeMenuItem = nullptr;
    toolkit::TOpenDialog* OpenDialog1 = nullptr;
    toolkit::TImageList* ImageList1 = nullptr;

private:
    void BuildComponents(toolkit::TFormBuilder& builder);
    void BuildMenus();
    [[nodiscard]] TEXIFOvrelModel* OvrelModel() const;
    /// The folder the tree shows, or empty while nothing below its root is chosen.
    [[nodiscard]] std::string ChosenFolder() const;
    /// Reads the tree's folder again after a command changed files of it.
    void ReadFolderAgain();
    /// Runs work for each selected image; the files it failed for are listed in one error message, and
    /// success shows only when there were none. The folder is read again when reread is set.
    void RunImageCommand(const std::function<bool(core::TVekImageInfo&)>& work, int successId, bool reread);
    void LanguageChosen(toolkit::TObject* sender);
    /// The options dialog on that page; after OK its columns reach the catalogue and the list.
    void OpenOptions(int page);

    std::unique_ptr<core::TVekProgress> Progress;
    bool RestartRead = false;
    int CustomizePage = 0;
    bool FReading = false;
    bool FClosing = false;
    bool FShown = false;
};

/// The first form of that class the application owns (the dialogs start-up made), or null.
template <class T> [[nodiscard]] T* FindForm()
{
    const toolkit::TApplication* application = toolkit::Application();
    for (int i = 0; application != nullptr && i < application->GetComponentCount(); ++i)
        if (auto* form = dynamic_cast<T*>(application->GetComponent(i)); form != nullptr)
            return form;
    return nullptr;
}

/// Message texts of the main window: section "Common", with their defaults.
[[nodiscard]] std::string MainFormText(int id);

}  // namespace ovrel::app
