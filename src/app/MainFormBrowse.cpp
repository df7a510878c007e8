// The main window from folder to preview: the folder read with its progress, the list's columns, rows and
// sort order, the grid of the selection and the preview of the focused image.
#include "app/MainForm.h"

#include "app/Config.h"
#include "app/Model.h"
#include "app/ThumbnailCanvas.h"
#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"
#include "platform/ui/Services.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ShellCtrls.h"
#include "toolkit/StdLists.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace ovrel::app {

using namespace ovrel::toolkit;
using core::TVekImageInfo;
using core::TVekProgressState;

namespace {

TVekImageInfo* ImageOf(const TListItem* item) { return static_cast<TVekImageInfo*>(item->Data); }

core::TEXIFPropertyInfo* RowOf(const TListColumn* column)
{
    return reinterpret_cast<core::TEXIFPropertyInfo*>(column->Tag);
}

}  // namespace

std::string TEXIFOvrelMainForm::ChosenFolder() const
{
    // The tree answers its root while nothing below it is chosen; the root is never a choice.
    const std::string path = ShellTreeView->GetPath();
    return path == ShellTreeView->GetRoot() ? std::string() : path;
}

std::vector<TVekImageInfo*> TEXIFOvrelMainForm::SelectedImages() const
{
    std::vector<TVekImageInfo*> images;
    for (TListItem* item : ListView->SelectedItems())
        images.push_back(ImageOf(item));
    return images;
}

void TEXIFOvrelMainForm::FormShow(TObject*)
{
    if (FShown)
        return;
    FShown = true;
    const std::string& lastFolder = EXIFOvrelConfig().LastFolder;
    std::error_code error;
    if (!lastFolder.empty() && std::filesystem::is_directory(lastFolder, error)) {
        try {
            ShellTreeView->SetPath(lastFolder);  // its change reads the folder
        } catch (const Exception&) {
            // A folder outside the tree's root: the tree stays where it starts.
        }
    }
    BuildPropertyRows();
    ShowSelectedProperties();
}

void TEXIFOvrelMainForm::ShellTreeViewChange(TObject*)
{
    // A choice made while a read runs (messages are processed at every step) restarts the outer read.
    if (FReading) {
        RestartRead = true;
        Progress->Cancel();
        return;
    }
    TEXIFOvrelModel* model = OvrelModel();
    if (model == nullptr || !Progress)
        return;
    ListView->GetItems()->Clear();
    PreviewPaintBox->Invalidate();
    if (ChosenFolder().empty())
        return;
    static const std::array<std::string, 1> masks{"*.*"};
    {
        const TRestore reading(FReading, true);
        do {
            RestartRead = false;
            // Rows must never point at images a new pass frees.
            ListView->GetItems()->Clear();
            const std::string folder = ChosenFolder();
            if (folder.empty()) {
                model->GetImageList().Clear();
                break;
            }
            model->GetImageList().LoadFolder(folder, masks, Progress.get());
        } while (RestartRead && !FClosing);
    }
    if (!FClosing)
        FillListView();
}

void TEXIFOvrelMainForm::ShellTreeViewEditing(TObject*, const std::string&, bool& allowEdit) { allowEdit = false; }

void TEXIFOvrelMainForm::ProgressChanged(core::TVekProgress* progress)
{
    switch (progress->GetState()) {
    case TVekProgressState::psStarted:
        ListView->SetGridLines(false);
        ProgressBar->SetMin(progress->GetMin());
        ProgressBar->SetMax(progress->GetMax());
        ProgressBar->SetPosition(progress->GetMin());
        ListViewResize(ListView);
        ProgressPanel->Show();
        ProgressPanel->BringToFront();
        break;
    case TVekProgressState::psRunning: ProgressBar->SetPosition(progress->GetPosition()); break;
    case TVekProgressState::psFinished:
    case TVekProgressState::psCancelled: ProgressPanel->Hide(); break;
    case TVekProgressState::psIdle: break;
    }
    if (OnProgressStep)
        OnProgressStep(progress->GetState());
    if (toolkit::TApplication* application = toolkit::Application(); application != nullptr)
        application->ProcessMessages();
}

void TEXIFOvrelMainForm::UpdateColumns()
{
    std::vector<core::TEXIFPropertyInfo*> rows;
    for (core::TEXIFPropertyInfo& row : EXIFOvrelConfig().GetProperties())
        if (row.Column >= 0)
            rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const auto* a, const auto* b) { return a->Column < b->Column; });

    TListColumns* columns = ListView->GetColumns();
    columns->BeginUpdate();
    columns->Clear();
    for (core::TEXIFPropertyInfo* row : rows) {
        TListColumn* column = columns->Add();
        column->SetCaption(row->Caption);
        column->SetWidth(row->Width);
        column->SetAlignment(row->Alignment == 1 ? taRightJustify : row->Alignment == 2 ? taCenter : taLeftJustify);
        column->Tag = reinterpret_cast<std::intptr_t>(row);
    }
    // While a read runs the model's list is half filled: its end fills the rows.
    if (!FReading) {
        ListView->GetItems()->Clear();
        FillListView();
        ListView->SetGridLines(EXIFOvrelConfig().ListGridLines != 0);
    }
    columns->EndUpdate();
}

void TEXIFOvrelMainForm::FillListView()
{
    TEXIFOvrelModel* model = OvrelModel();
    TListItems* items = ListView->GetItems();
    TListColumns* columns = ListView->GetColumns();
    const int columnCount = columns->GetCount();
    items->BeginUpdate();
    items->Clear();
    if (model != nullptr) {
        core::TEXIFImageInfoList& images = model->GetImageList();
        for (int i = 0; i < images.GetCount(); ++i) {
            TVekImageInfo* image = images.GetItem(i);
            TListItem* item = items->Add();
            item->Data = image;
            TStrings* subItems = item->GetSubItems();
            for (int c = 1; c < columnCount; ++c)
                subItems->Add(std::string());
            // Cells by the column's place, so that column numbers with gaps still land under their header.
            for (int c = 0; c < columnCount; ++c) {
                const std::string text = image->GetPropertyText(RowOf(columns->GetItem(c))->Id);
                if (c == 0)
                    item->SetCaption(text);
                else
                    subItems->Put(c - 1, text);
            }
        }
    }
    items->EndUpdate();
    SortItems();
    ListView->SetGridLines(EXIFOvrelConfig().ListGridLines != 0);
    if (items->GetCount() > 0) {
        TListItem* first = items->GetItem(0);
        ListView->SetItemIndex(0);
        ListView->SetItemFocused(first);
    }
    ListView->Repaint();
}

void TEXIFOvrelMainForm::SortItems()
{
    ListView->CustomSort(
        [](TListItem* item1, TListItem* item2, std::intptr_t) {
            // Read at each comparison: the record is the one place the order lives.
            const TEXIFOvrelConfig& config = EXIFOvrelConfig();
            return core::ImageInfoFormat().Compare(*ImageOf(item1), *ImageOf(item2), config.SortDescending != 0,
                                                   static_cast<std::uint32_t>(config.SortPropertyId));
        },
        0);
}

void TEXIFOvrelMainForm::ListViewColumnClick(TObject*, TListColumn* column)
{
    TEXIFOvrelConfig& config = EXIFOvrelConfig();
    const auto id = static_cast<std::int32_t>(RowOf(column)->Id);
    if (id == config.SortPropertyId) {
        config.SortDescending = config.SortDescending != 0 ? 0 : 1;
    } else {
        config.SortPropertyId = id;
        config.SortDescending = 0;
    }
    SortItems();
}

void TEXIFOvrelMainForm::UpdateGridOptions()
{
    inspector::TPropertyViewOptions options = PropertiesView1->GetOptions();
    if (EXIFOvrelConfig().InspectorGrid != 0)
        options.Include(inspector::poGrid);
    else
        options.Exclude(inspector::poGrid);
    PropertiesView1->SetOptions(options);
}

void TEXIFOvrelMainForm::BuildPropertyRows()
{
    const TEXIFOvrelConfig& config = EXIFOvrelConfig();
    inspector::TPropertyItems* categories = PropertiesView1->GetCategories();
    categories->Clear();
    const auto textual = inspector::TPropertyItemClass::Of<inspector::TTextualItem>();
    for (const core::TEXIFPropertyGroup& group : config.GetGroups()) {
        if (group.Mask == 0xFF)  // "All Properties"
            continue;
        inspector::TCustomPropertyItem* category = categories->Add(textual, group.Caption, "");
        category->SetTag(0);
        category->GetFont()->SetColor(clBlack);
        category->GetFont()->SetStyle({});
        for (const core::TEXIFPropertyInfo& row : config.GetProperties()) {
            if (row.Group != group.Mask)
                continue;
            inspector::TCustomPropertyItem* item = category->GetItems()->Add(textual, row.Caption, "");
            item->SetTag(static_cast<std::intptr_t>(row.Id));
            item->SetReadOnly(true);
        }
    }
}

void TEXIFOvrelMainForm::ShowSelectedProperties()
{
    const std::vector<TVekImageInfo*> images = SelectedImages();
    if (images.empty())
        return;
    const int count = PropertiesView1->GetAbsoluteCount();
    for (int i = 0; i < count; ++i) {
        inspector::TCustomPropertyItem* row = PropertiesView1->GetAbsoluteItem(i);
        const auto id = static_cast<std::uint32_t>(row->GetTag());
        if (id == 0)
            continue;
        std::string value = images.front()->HasProperty(id) ? images.front()->GetPropertyText(id) : std::string();
        for (std::size_t n = 1; n < images.size() && !value.empty(); ++n)
            if (!images[n]->HasProperty(id) || images[n]->GetPropertyText(id) != value)
                value.clear();
        row->SetValue(value);
    }
}

void TEXIFOvrelMainForm::ListViewSelectItem(TObject*, TListItem*, bool)
{
    ShowSelectedProperties();
    PreviewPaintBox->Invalidate();
}

void TEXIFOvrelMainForm::PreviewPaintBoxPaint(TObject*)
{
    const TListItem* focused = ListView->GetItemFocused();
    if (focused == nullptr)
        return;
    const ui::RECT bounds = PreviewPaintBox->GetClientRect();
    TVekThumbnailCanvas canvas(*PreviewPaintBox->GetCanvas());
    const TThumbnailBox& box = EXIFOvrelConfig().ThumbnailBox;
    ImageOf(focused)->DrawThumbnail(canvas, core::TRect{bounds.left, bounds.top, bounds.right, bounds.bottom},
                                    box.Width, box.Height);
}

void TEXIFOvrelMainForm::PreviewPaintBoxClick(TObject* sender) { ListViewDblClick(sender); }

void TEXIFOvrelMainForm::ListViewDblClick(TObject*)
{
    if (const TListItem* focused = ListView->GetItemFocused(); focused != nullptr)
        (void)ui::Opener().Open(ImageOf(focused)->GetFileName());
}

void TEXIFOvrelMainForm::ListViewKeyDown(TObject* sender, std::uint16_t& key, TShiftState)
{
    if (key == 13)
        ListViewDblClick(sender);
}

}  // namespace ovrel::app
