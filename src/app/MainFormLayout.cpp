// The main window's component tree, its creation and destruction, and its layout kept in the configuration.
#include "app/MainForm.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "app/Model.h"
#include "app/VekEventHandler.h"
#include "inspector/PropertiesView.h"
#include "platform/ui/Locale.h"
#include "platform/ui/Placement.h"
#include "platform/ui/Window.h"
#include "themes/DockablePanels.h"
#include "themes/PanelObjects.h"
#include "themes/PanelPlacement.h"
#include "themes/StatusBars.h"
#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "themes/ThemedToolbars.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ShellCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdLists.h"

namespace ovrel::app {

using namespace ovrel::toolkit;
using themes::TTBXDockablePanel;

namespace {

template <class T> T* AddItem(toolbars::TTBCustomItem* parent, TComponent* owner, const char* name, const char* caption)
{
    auto* item = new T(owner);
    item->SetName(name);
    if (caption != nullptr)
        item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TTBXDockablePanel* AddPanel(TFormBuilder& builder, TWinControl* dock, const char* name, const char* caption)
{
    auto* panel = builder.Add<TTBXDockablePanel>(dock);
    panel->SetName(name);
    panel->SetCaption(caption);
    panel->SetSupportedDocks({themes::dkStandardDock, themes::dkMultiDock});
    return panel;
}

}  // namespace

TEXIFOvrelMainForm::TEXIFOvrelMainForm(TComponent* owner) : TVekForm(owner)
{
    TFormBuilder builder(*this);
    BuildComponents(builder);
    OnCreate = TNotifyEvent(this, &TEXIFOvrelMainForm::FormCreate);
    OnShow = TNotifyEvent(this, &TEXIFOvrelMainForm::FormShow);
    OnClose = TCloseEvent(this, &TEXIFOvrelMainForm::FormClose);
    OnDestroy = TNotifyEvent(this, &TEXIFOvrelMainForm::FormDestroy);
    builder.Finish();  // Loaded, then OnCreate
}

TEXIFOvrelMainForm::~TEXIFOvrelMainForm() = default;

void TEXIFOvrelMainForm::BuildComponents(TFormBuilder& builder)
{
    SetName("EXIFOvrelMainForm");
    SetCaption("Exif Ovrel");
    SetBounds(GetLeft(), GetTop(), 736, 619);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);

    TopDock = builder.Add<themes::TTBXDock>(this);
    TopDock->SetName("TopDock");
    TopDock->SetPosition(toolbars::dpTop);
    TopDock->SetHeight(23);
    MenuToolbar = builder.Add<themes::TTBXToolbar>(TopDock);
    MenuToolbar->SetName("MenuToolbar");
    MenuToolbar->SetCaption("Menu");
    MenuToolbar->SetMenuBar(true);
    MenuToolbar->SetDockMode(toolbars::dmCannotFloat);
    MenuToolbar->SetCloseButton(false);
    MenuToolbar->SetFullSize(true);
    MenuToolbar->SetProcessShortCuts(true);
    BuildMenus();

    LeftDock = builder.Add<themes::TTBXMultiDock>(this);
    LeftDock->SetName("LeftDock");
    LeftDock->SetPosition(toolbars::dpLeft);
    LeftDock->SetWidth(200);
    FoldersPanel = AddPanel(builder, LeftDock, "FoldersPanel", "Folders");
    FoldersPanel->SetDockedWidth(196);
    ShellTreeView = builder.Add<TShellTreeView>(FoldersPanel);
    ShellTreeView->SetName("ShellTreeView");
    ShellTreeView->SetAlign(alClient);
    ShellTreeView->SetAutoRefresh(false);
    ShellTreeView->SetRightClickSelect(true);
    ShellTreeView->SetShowRoot(false);
    ShellTreeView->OnChange = TNotifyEvent(this, &TEXIFOvrelMainForm::ShellTreeViewChange);
    ShellTreeView->OnEditing = TTVEditingEvent(this, &TEXIFOvrelMainForm::ShellTreeViewEditing);

    RightDock = builder.Add<themes::TTBXMultiDock>(this);
    RightDock->SetName("RightDock");
    RightDock->SetPosition(toolbars::dpRight);
    RightDock->SetWidth(200);
    PreviewPanel = AddPanel(builder, RightDock, "PreviewPanel", "Preview");
    PreviewPanel->SetDockPos(0);
    PreviewPanel->SetDockedWidth(196);  // the dock's 200 with the frame
    PreviewPanel->SetMinClientHeight(160);
    PreviewPanel->SetMaxClientHeight(160);
    PreviewPanel->SetSplitHeight(124);
    PreviewBackPanel = builder.Add<TPanel>(PreviewPanel);
    PreviewBackPanel->SetName("PreviewBackPanel");
    PreviewBackPanel->SetAlign(alClient);
    PreviewBackPanel->SetBevelOuter(bvNone);
    PreviewBackPanel->SetColor(clWhite);
    PreviewPaintBox = builder.Add<TPaintBox>(PreviewBackPanel);
    PreviewPaintBox->SetName("PreviewPaintBox");
    PreviewPaintBox->SetAlign(alClient);
    PreviewPaintBox->OnPaint = TNotifyEvent(this, &TEXIFOvrelMainForm::PreviewPaintBoxPaint);
    PreviewPaintBox->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::PreviewPaintBoxClick);

    PropertiesPanel = AddPanel(builder, RightDock, "PropertiesPanel", "Properties");
    PropertiesPanel->SetDockPos(182);
    PropertiesPanel->SetDockedWidth(196);
    PropertiesPanel->SetSplitHeight(398);
    PropertiesView1 = builder.Add<inspector::TPropertiesView>(PropertiesPanel);
    PropertiesView1->SetName("PropertiesView1");
    PropertiesView1->SetAlign(alClient);
    PropertiesView1->SetOptions({inspector::poGrid, inspector::poEnterSelectNext, inspector::poUniformSelect});
    PropertiesView1->SetRowHeight(16);
    PropertiesView1->SetSplitterPosition(104);
    PropertiesView1->SetSuffixWidth(60);
    PropertiesView1->SetCategoriesColor(clBtnFace);
    PropertiesView1->SetGridColor(clBtnFace);
    PropertiesView1->SetEnableVisualStyles(true);
    EditButtonPanel = builder.Add<themes::TTBXAlignmentPanel>(PropertiesPanel);
    EditButtonPanel->SetName("EditButtonPanel");
    EditButtonPanel->SetAlign(alBottom);
    EditButtonPanel->SetHeight(32);
    btnCallEdit = builder.Add<TButton>(EditButtonPanel);
    btnCallEdit->SetName("btnCallEdit");
    btnCallEdit->SetCaption("Edit...");
    btnCallEdit->SetAlign(alClient);
    btnCallEdit->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::btnCallEditClick);

    StatusBar = builder.Add<themes::TTBXStatusBar>(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetUseSystemFont(false);
    for (int size : {8, 800}) {
        themes::TTBXStatusPanel* panel = StatusBar->GetPanels()->Add();
        panel->SetFramed(false);
        panel->SetSize(size);
    }

    ImageList1 = builder.Add<TImageList>();
    ImageList1->SetName("ImageList1");
    PropertiesView1->SetImages(ImageList1);

    ListViewPopupMenu = builder.Add<themes::TTBXPopupMenu>();
    ListViewPopupMenu->SetName("ListViewPopupMenu");
    CustomizeMenuItem =
        AddItem<themes::TTBXItem>(ListViewPopupMenu->GetItems(), this, "CustomizeMenuItem", "Customize...");
    CustomizeMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::CustomizeMenuItemClick);

    ListView = builder.Add<TListView>(this);
    ListView->SetName("ListView");
    ListView->SetAlign(alClient);
    ListView->SetViewStyle(vsReport);
    ListView->SetMultiSelect(true);
    ListView->SetReadOnly(true);
    ListView->SetRowSelect(true);
    ListView->SetHideSelection(false);
    ListView->SetPopupMenu(ListViewPopupMenu);
    ListView->OnSelectItem = TLVSelectItemEvent(this, &TEXIFOvrelMainForm::ListViewSelectItem);
    ListView->OnColumnClick = TLVColumnClickEvent(this, &TEXIFOvrelMainForm::ListViewColumnClick);
    ListView->OnColumnRightClick = TLVColumnRClickEvent(this, &TEXIFOvrelMainForm::ListViewColumnRightClick);
    ListView->OnDblClick = TNotifyEvent(this, &TEXIFOvrelMainForm::ListViewDblClick);
    ListView->OnKeyDown = TKeyEvent(this, &TEXIFOvrelMainForm::ListViewKeyDown);
    ListView->OnResize = TNotifyEvent(this, &TEXIFOvrelMainForm::ListViewResize);

    // Over the list, hidden until a read starts.
    ProgressPanel = builder.Add<TPanel>(this);
    ProgressPanel->SetName("ProgressPanel");
    ProgressPanel->SetVisible(false);
    ProgressPanel->SetBounds(0, 0, 169, 41);
    ProgressPanel->SetColor(clWindow);
    ProgressLabel = builder.Add<TLabel>(ProgressPanel);
    ProgressLabel->SetName("ProgressLabel");
    ProgressLabel->SetCaption("Reading...");
    ProgressLabel->SetAlign(alTop);
    ProgressLabel->SetAlignment(taCenter);
    ProgressBar = builder.Add<TProgressBar>(ProgressPanel);
    ProgressBar->SetName("ProgressBar");
    ProgressBar->SetSmooth(true);
    ProgressBar->SetBounds(9, 18, 150, 17);

    OpenDialog1 = builder.Add<TOpenDialog>();
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->Filter = "XML Files (*.xml)|*.xml|All Files (*.*)|*.*";
}

void TEXIFOvrelMainForm::BuildMenus()
{
    toolbars::TTBCustomItem* bar = MenuToolbar->GetItems();
    FileMenuItem = AddItem<themes::TTBXSubmenuItem>(bar, this, "FileMenuItem", "File");
    ExitMenuItem = AddItem<themes::TTBXItem>(FileMenuItem, this, "ExitMenuItem", "Exit");

    ViewMenuItem = AddItem<themes::TTBXSubmenuItem>(bar, this, "ViewMenuItem", "View");
    ViewFoldersMenuItem =
        AddItem<themes::TTBXVisibilityToggleItem>(ViewMenuItem, this, "ViewFoldersMenuItem", "Folders");
    ViewPreviewMenuItem =
        AddItem<themes::TTBXVisibilityToggleItem>(ViewMenuItem, this, "ViewPreviewMenuItem", "Preview");
    ViewPropertiesMenuItem =
        AddItem<themes::TTBXVisibilityToggleItem>(ViewMenuItem, this, "ViewPropertiesMenuItem", "Properties");
    LanguageSeparator = AddItem<themes::TTBXSeparatorItem>(ViewMenuItem, this, "LanguageSeparator", nullptr);
    LanguageSubmenuItem = AddItem<themes::TTBXSubmenuItem>(ViewMenuItem, this, "LanguageSubmenuItem", "Language");

    ExifInfoMenuItem = AddItem<themes::TTBXSubmenuItem>(bar, this, "ExifInfoMenuItem", "Exif Info");
    ImportExifMenuItem =
        AddItem<themes::TTBXItem>(ExifInfoMenuItem, this, "ImportExifMenuItem", "Import Exif from XML...");
    ImportExifMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::ImportExifMenuItemClick);
    ExportExifMenuItem = AddItem<themes::TTBXItem>(ExifInfoMenuItem, this, "ExportExifMenuItem", "Export Exif to XML");
    ExportExifMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::ExportExifMenuItemClick);
    ExifSeparator = AddItem<themes::TTBXSeparatorItem>(ExifInfoMenuItem, this, "ExifSeparator", nullptr);
    ClearExifMenuItem = AddItem<themes::TTBXItem>(ExifInfoMenuItem, this, "ClearExifMenuItem", "Clear Exif Info");
    ClearExifMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::ClearExifMenuItemClick);

    OptionsMenuItem = AddItem<themes::TTBXItem>(bar, this, "OptionsMenuItem", "Options");
    OptionsMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::OptionsMenuItemClick);

    HelpMenuItem = AddItem<themes::TTBXSubmenuItem>(bar, this, "HelpMenuItem", "Help");
    ContentsHelpMenuItem = AddItem<themes::TTBXItem>(HelpMenuItem, this, "ContentsHelpMenuItem", "Help");
    ContentsHelpMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::ContentsHelpMenuItemClick);
    AboutMenuSeparator = AddItem<themes::TTBXSeparatorItem>(HelpMenuItem, this, "AboutMenuSeparator", nullptr);
    AboutMenuItem = AddItem<themes::TTBXItem>(HelpMenuItem, this, "AboutMenuItem", "About");
    AboutMenuItem->OnClick = TNotifyEvent(this, &TEXIFOvrelMainForm::AboutMenuItemClick);
}

TEXIFOvrelModel* TEXIFOvrelMainForm::OvrelModel() const { return dynamic_cast<TEXIFOvrelModel*>(Model()); }

void TEXIFOvrelMainForm::FormCreate(TObject*)
{
    Progress = std::make_unique<core::TVekProgress>();
    Progress->SetOnChange(core::TVekProgressEvent(this, &TEXIFOvrelMainForm::ProgressChanged));
    if (TVekModel* model = Model(); model != nullptr)
        ExitMenuItem->SetAction(model->CreateAction(TCmExit::CommandId, nullptr));
    if (TEXIFOvrelModel* model = OvrelModel(); model != nullptr)
        model->OnUpdateCaption = TNotifyEvent(this, &TEXIFOvrelMainForm::UpdateCaption);
    ViewFoldersMenuItem->SetControl(FoldersPanel);
    ViewPreviewMenuItem->SetControl(PreviewPanel);
    ViewPropertiesMenuItem->SetControl(PropertiesPanel);
    UpdateColumns();
    UpdateGridOptions();
    for (TControl* control :
         std::initializer_list<TControl*>{ShellTreeView, ListView, PreviewPaintBox, PropertiesView1})
        new TVekCmMouseEvent(control, TVekControlEvent(this, &TEXIFOvrelMainForm::ControlMouseEnter), {});
    RestoreLayout();
}

void TEXIFOvrelMainForm::FormDestroy(TObject*)
{
    if (TEXIFOvrelModel* model = OvrelModel(); model != nullptr && model->OnUpdateCaption.GetObject() == this)
        model->OnUpdateCaption = {};
    if (TVekLocalizer* localizer = GetLocalizer();
        localizer != nullptr && localizer->OnLanguageChosen.GetObject() == this)
        localizer->OnLanguageChosen = {};
    Progress.reset();
}

void TEXIFOvrelMainForm::FormClose(TObject*, TCloseAction&)
{
    // A read on the stack below us ends at its next step; Close terminates the application, so the loop
    // stops only once the read has unwound.
    if (FReading) {
        FClosing = true;
        RestartRead = false;
        Progress->Cancel();
    }
    StoreLayout();
}

void TEXIFOvrelMainForm::RestoreLayout()
{
    TEXIFOvrelConfig& config = EXIFOvrelConfig();
    if (const auto placement = ui::PlacementFromBytes(config.MainPlacement); placement)
        ui::SetWindowPlacement(GetHandle(), &*placement);
    themes::RestoreDockablePanelPlacement(*FoldersPanel, config.FoldersPanel);
    themes::RestoreDockablePanelPlacement(*PreviewPanel, config.PreviewPanel);
    themes::RestoreDockablePanelPlacement(*PropertiesPanel, config.PropertiesPanel);
    PropertiesView1->SetSplitterPosition(config.InspectorSplitter);
    if (config.LangId == 0)
        config.LangId = ui::GetSystemDefaultLangID();
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr) {
        localizer->OnLanguageChosen = TNotifyEvent(this, &TEXIFOvrelMainForm::LanguageChosen);
        localizer->SetLanguage(config.LangId);
        localizer->BuildLanguageMenu(LanguageSubmenuItem);
    }
}

void TEXIFOvrelMainForm::StoreLayout()
{
    TEXIFOvrelConfig& config = EXIFOvrelConfig();
    config.LastFolder = ChosenFolder();
    TListColumns* columns = ListView->GetColumns();
    for (int i = 0; i < columns->GetCount(); ++i) {
        TListColumn* column = columns->GetItem(i);
        reinterpret_cast<core::TEXIFPropertyInfo*>(column->Tag)->Width = column->GetWidth();
    }
    ui::WINDOWPLACEMENT placement;
    placement.length = static_cast<ui::UINT>(WindowPlacementSize);
    if (HandleAllocated() && ui::GetWindowPlacement(GetHandle(), &placement) != ui::FALSE)
        config.MainPlacement = ui::PlacementToBytes(placement);
    themes::SaveDockablePanelPlacement(*FoldersPanel, config.FoldersPanel);
    themes::SaveDockablePanelPlacement(*PreviewPanel, config.PreviewPanel);
    themes::SaveDockablePanelPlacement(*PropertiesPanel, config.PropertiesPanel);
    config.InspectorSplitter = PropertiesView1->GetSplitterPosition();
    if (const TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr && localizer->GetApplied())
        config.LangId = localizer->GetCurrentLangId();
}

void TEXIFOvrelMainForm::UpdateCaption(TObject*)
{
    if (toolkit::TApplication* application = toolkit::Application(); application != nullptr)
        SetCaption(application->GetTitle());
    PreviewPaintBox->Invalidate();
    ShellTreeViewChange(ShellTreeView);
}

void TEXIFOvrelMainForm::ListViewResize(TObject*)
{
    // Integer halves truncate towards zero, as the panel may be larger than the list.
    const int left = ListView->GetLeft() + (ListView->GetWidth() - ProgressPanel->GetWidth()) / 2;
    const int top = ListView->GetTop() + (ListView->GetHeight() - ProgressPanel->GetHeight()) / 2;
    ProgressPanel->SetBounds(left, top, ProgressPanel->GetWidth(), ProgressPanel->GetHeight());
}

}  // namespace ovrel::app
