#include "app/Preferences.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "toolkit/SysUtils.h"

#include <memory>

namespace ovrel::app {

using namespace ovrel::toolkit;

namespace {

constexpr std::uint16_t KeyDelete = 46;
constexpr const char* IniFilter = "Ini Files (*.ini)|*.ini|All Files|*.*";
// Room for "Not Defined" in the languages shipped, in the sans font at 11 pixels.
constexpr int FactorColumnWidth = 115;

std::string FactorText(double factor) { return factor != 0 ? Format("%f", {factor}) : NotDefinedText(); }

TButton* AddButton(TFormBuilder& builder, TWinControl* parent, const char* name, const char* caption, int left, int top,
                   int width = 75)
{
    auto* button = builder.Add<TButton>(parent);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetBounds(left, top, width, 25);
    return button;
}

TLabel* AddLabel(TFormBuilder& builder, TWinControl* parent, const char* name, const char* caption, int left, int top)
{
    auto* label = builder.Add<TLabel>(parent);
    label->SetName(name);
    label->SetCaption(caption);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

}  // namespace

// --- TFactorEditForm ---------------------------------------------------------------------------------------

TFactorEditForm::TFactorEditForm(TComponent* owner) : TVekForm(owner) { Build(); }

TFactorEditForm::~TFactorEditForm() = default;

void TFactorEditForm::Build()
{
    TFormBuilder builder(*this);
    SetName("FactorEditForm");
    SetCaption("35mm Equivalent Factor");
    SetBorderStyle(bsToolWindow);
    SetColor(clBtnFace);
    SetBorderIcons({biSystemMenu});
    SetPosition(poOwnerFormCenter);
    SetClientWidth(374);
    SetClientHeight(111);

    // The labels stand right-aligned in one column before the fields, whatever the language's texts.
    const auto label = [&](TLabel*& control, const char* name, const char* caption, int top) {
        control = AddLabel(builder, this, name, caption, 8, top);
        control->SetAutoSize(false);
        control->SetBounds(8, top, 88, 17);
        control->SetAlignment(taRightJustify);
    };
    const auto shown = [&](TEdit*& control, const char* name, int top) {
        control = builder.Add<TEdit>(this);
        control->SetName(name);
        control->SetBounds(104, top, 262, 17);
        control->SetReadOnly(true);
        control->SetBorderStyle(TBorderStyle::bsNone);
        control->SetColor(clBtnFace);
        control->SetTabStop(false);
    };
    label(MakeLabel, "MakeLabel", "Manufacturer:", 12);
    shown(MakeEdit, "MakeEdit", 12);
    label(ModelLabel, "ModelLabel", "Model:", 34);
    shown(ModelEdit, "ModelEdit", 34);
    label(FactorLabel, "FactorLabel", "Factor:", 58);
    FactorEdit = builder.Add<TEdit>(this);
    FactorEdit->SetName("FactorEdit");
    FactorEdit->SetBounds(104, 55, 49, 21);
    FactorEdit->SetTabStop(true);
    OkButton = AddButton(builder, this, "OkButton", "Ok", 210, 80);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    CancelButton = AddButton(builder, this, "CancelButton", "Cancel", 291, 80);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    builder.Finish();
}

void TFactorEditForm::SetMake(const std::string& text) { MakeEdit->SetText(text); }

void TFactorEditForm::SetModel(const std::string& text) { ModelEdit->SetText(text); }

void TFactorEditForm::ShowFactor(double value) { FactorEdit->SetText(FValue.Show(value)); }

double TFactorEditForm::ReadFactor() const { return FValue.Read(FactorEdit->GetText()); }

void TFactorEditForm::Localize()
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    LocalizeProperty(common, 850, this, "Caption");
    LocalizeProperty(common, 1, OkButton, "Caption");
    LocalizeProperty(common, 2, CancelButton, "Caption");
    LocalizePropertySuffix(common, 851, MakeLabel, "Caption", ":");
    LocalizePropertySuffix(common, 852, ModelLabel, "Caption", ":");
    LocalizePropertySuffix(common, 853, FactorLabel, "Caption", ":");
}

// --- TEXIFOvrelPreferencesForm -----------------------------------------------------------------------------

TEXIFOvrelPreferencesForm::TEXIFOvrelPreferencesForm(TComponent* owner) : TVekForm(owner) { Build(); }

TEXIFOvrelPreferencesForm::~TEXIFOvrelPreferencesForm() = default;

void TEXIFOvrelPreferencesForm::Build()
{
    TFormBuilder builder(*this);
    SetName("EXIFOvrelPreferencesForm");
    SetCaption("Options");
    SetBorderStyle(bsDialog);
    SetColor(clBtnFace);
    SetBorderIcons({biSystemMenu});
    SetClientWidth(533);
    SetClientHeight(355);
    SetKeyPreview(true);
    OnCreate = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::FormCreate);
    OnActivate = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::FormActivate);

    PageControl = builder.Add<TPageControl>(this);
    PageControl->SetName("PageControl");
    PageControl->SetBounds(8, 8, 516, 305);
    const auto sheet = [&](TTabSheet*& page, const char* name, const char* caption) {
        page = builder.Add<TTabSheet>();
        page->SetName(name);
        page->SetPageControl(PageControl);
        page->SetCaption(caption);
    };

    sheet(CustomizeColumnsTabSheet, "CustomizeColumnsTabSheet", "Customize Columns");
    GroupComboBox = builder.Add<TComboBox>(CustomizeColumnsTabSheet);
    GroupComboBox->SetName("GroupComboBox");
    GroupComboBox->SetBounds(8, 8, 240, 21);
    GroupComboBox->SetStyle(TComboBoxStyle::csDropDownList);
    GroupComboBox->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::GroupComboBoxClick);
    PropertyCheckListBox = builder.Add<TCheckListBox>(CustomizeColumnsTabSheet);
    PropertyCheckListBox->SetName("PropertyCheckListBox");
    PropertyCheckListBox->SetBounds(8, 36, 240, 193);
    PropertyCheckListBox->OnClickCheck = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::PropertyCheckListBoxClickCheck);
    ColumnsLabel = AddLabel(builder, CustomizeColumnsTabSheet, "ColumnsLabel", "Selected Columns:", 264, 12);
    ColumnListBox = builder.Add<TListBox>(CustomizeColumnsTabSheet);
    ColumnListBox->SetName("ColumnListBox");
    ColumnListBox->SetBounds(264, 36, 240, 193);
    ColumnListBox->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::UpdateControls);
    ColumnListBox->OnKeyDown = TKeyEvent(this, &TEXIFOvrelPreferencesForm::ColumnListBoxKeyDown);
    const TNotifyEvent select(this, &TEXIFOvrelPreferencesForm::SelectButtonClick);
    const TNotifyEvent move(this, &TEXIFOvrelPreferencesForm::MoveButtonClick);
    SelectAllButton = AddButton(builder, CustomizeColumnsTabSheet, "SelectAllButton", "Select All", 8, 240, 115);
    SelectAllButton->OnClick = select;
    UnselectAllButton =
        AddButton(builder, CustomizeColumnsTabSheet, "UnselectAllButton", "Unselect All", 133, 240, 115);
    UnselectAllButton->OnClick = select;
    UpButton = AddButton(builder, CustomizeColumnsTabSheet, "UpButton", "Move Up", 264, 240, 115);
    UpButton->OnClick = move;
    DownButton = AddButton(builder, CustomizeColumnsTabSheet, "DownButton", "Move Down", 389, 240, 115);
    DownButton->OnClick = move;

    sheet(ReducedFocalLengthTabSheet, "ReducedFocalLengthTabSheet", "35mm Equivalent Factor");
    FactorTableLabel = AddLabel(builder, ReducedFocalLengthTabSheet, "FactorTableLabel", "Factor Table:", 8, 8);
    FactorListView = builder.Add<TListView>(ReducedFocalLengthTabSheet);
    FactorListView->SetName("FactorListView");
    FactorListView->SetBounds(8, 26, 496, 203);
    FactorListView->SetViewStyle(vsReport);
    FactorListView->SetReadOnly(true);
    FactorListView->SetRowSelect(true);
    FactorListView->SetHideSelection(false);
    FactorListView->OnSelectItem = TLVSelectItemEvent(this, &TEXIFOvrelPreferencesForm::FactorListViewSelectItem);
    FactorListView->OnDblClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::FactorListViewDblClick);
    const struct {
        const char* Caption;
        int Width;
        bool AutoSize;
        TAlignment Alignment;
    } columns[] = {{"Manufacturer", 190, true, taLeftJustify},
                   {"Model", 190, true, taLeftJustify},
                   {"Factor", FactorColumnWidth, false, taRightJustify}};
    for (const auto& column : columns) {
        TListColumn* added = FactorListView->GetColumns()->Add();
        added->SetCaption(column.Caption);
        added->SetWidth(column.Width);
        added->SetAutoSize(column.AutoSize);
        added->SetAlignment(column.Alignment);
    }
    // The table's two buttons take the room their longer captions need; editing and deleting a row stand right.
    ImportButton = AddButton(builder, ReducedFocalLengthTabSheet, "ImportButton", "Import Table...", 8, 240, 140);
    ImportButton->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::ImportButtonClick);
    ExportButton = AddButton(builder, ReducedFocalLengthTabSheet, "ExportButton", "Export Table...", 154, 240, 140);
    ExportButton->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::ExportButtonClick);
    EditButton = AddButton(builder, ReducedFocalLengthTabSheet, "EditButton", "Edit", 304, 240, 97);
    EditButton->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::EditButtonClick);
    DeleteButton = AddButton(builder, ReducedFocalLengthTabSheet, "DeleteButton", "Delete", 407, 240, 97);
    DeleteButton->OnClick = TNotifyEvent(this, &TEXIFOvrelPreferencesForm::DeleteButtonClick);
    PageControl->SetActivePageIndex(0);

    OkButton = AddButton(builder, this, "OkButton", "Ok", 368, 322);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    CancelButton = AddButton(builder, this, "CancelButton", "Cancel", 449, 322);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);

    ImportDialog = builder.Add<TOpenDialog>();
    ImportDialog->SetName("ImportDialog");
    ExportDialog = builder.Add<TSaveDialog>();
    ExportDialog->SetName("ExportDialog");
    for (TOpenDialog* dialog : {static_cast<TOpenDialog*>(ImportDialog), static_cast<TOpenDialog*>(ExportDialog)}) {
        dialog->DefaultExt = "ini";
        dialog->Filter = IniFilter;
    }
    ExportDialog->Options.Include(ofOverwritePrompt);
    builder.Finish();
}

void TEXIFOvrelPreferencesForm::FormCreate(TObject*)
{
    BuildColumnList();
    ShowGroups();
    GroupComboBox->SetItemIndex(0);
    GroupComboBoxClick(GroupComboBox);
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::BuildColumnList()
{
    FColumns.BuildColumnList();
    ShowColumnList();
}

void TEXIFOvrelPreferencesForm::ShowGroups()
{
    const int selected = GroupComboBox->GetItemIndex();
    TControlItems* items = GroupComboBox->GetItems();
    items->BeginUpdate();
    items->Clear();
    for (const core::TEXIFPropertyGroup& group : core::EXIFPropertyGroups())
        items->Add(group.Caption);
    items->EndUpdate();
    GroupComboBox->SetItemIndex(selected);
}

void TEXIFOvrelPreferencesForm::ShowCheckList()
{
    TControlItems* items = PropertyCheckListBox->GetItems();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FColumns.GetCheckCount(); ++i) {
        items->Add(FColumns.GetCheckRow(i)->Caption);
        items->SetChecked(i, FColumns.GetChecked(i));
    }
    items->EndUpdate();
}

void TEXIFOvrelPreferencesForm::ShowColumnList()
{
    TControlItems* items = ColumnListBox->GetItems();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FColumns.GetColumnCount(); ++i)
        items->Add(FColumns.GetColumnRow(i)->Caption);
    items->EndUpdate();
    ColumnListBox->SetItemIndex(FColumns.GetSelected());
}

void TEXIFOvrelPreferencesForm::GroupComboBoxClick(TObject*)
{
    const int index = GroupComboBox->GetItemIndex();
    if (index < 0)
        return;
    FColumns.SetGroupIndex(index);
    ShowCheckList();
}

void TEXIFOvrelPreferencesForm::PropertyCheckListBoxClickCheck(TObject*)
{
    for (int i = 0; i < FColumns.GetCheckCount() && i < PropertyCheckListBox->GetItems()->GetCount(); ++i)
        if (PropertyCheckListBox->GetChecked(i) != FColumns.GetChecked(i))
            FColumns.SetChecked(i, PropertyCheckListBox->GetChecked(i));
    ShowColumnList();
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::SelectButtonClick(TObject* sender)
{
    FColumns.SetSelected(ColumnListBox->GetItemIndex());
    FColumns.SetAllChecked(sender == SelectAllButton);
    ShowCheckList();
    ShowColumnList();
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::ColumnListBoxKeyDown(TObject*, std::uint16_t& key, TShiftState)
{
    if (key != KeyDelete || ColumnListBox->GetItemIndex() < 0)
        return;
    FColumns.SetSelected(ColumnListBox->GetItemIndex());
    FColumns.DeleteSelected();
    ShowCheckList();
    ShowColumnList();
    // Nothing is selected now: the move buttons say so.
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::MoveButtonClick(TObject* sender)
{
    FColumns.SetSelected(ColumnListBox->GetItemIndex());
    FColumns.MoveSelected(sender == UpButton);
    ShowColumnList();
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::UpdateControls(TObject*)
{
    FColumns.SetSelected(ColumnListBox->GetItemIndex());
    UpButton->SetEnabled(FColumns.GetCanMoveUp());
    DownButton->SetEnabled(FColumns.GetCanMoveDown());
    EditButton->SetEnabled(FactorListView->GetSelected() != nullptr);
}

void TEXIFOvrelPreferencesForm::ApplyColumns() { FColumns.ApplyColumns(); }

void TEXIFOvrelPreferencesForm::FormActivate(TObject*) { RefreshFactorList(); }

void TEXIFOvrelPreferencesForm::RefreshFactorList()
{
    core::TReducedFocalLengthFactorTable& table = core::ImageInfoFormat().GetFactorTable();
    TListItems* items = FactorListView->GetItems();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < table.GetCount(); ++i) {
        core::TReducedFocalLengthFactor* row = table.GetItem(i);
        TListItem* item = items->Add();
        item->SetCaption(row->Make);
        item->GetSubItems()->Add(row->Model);
        item->GetSubItems()->Add(FactorText(row->Factor));
        item->Data = row;
    }
    items->EndUpdate();
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::EditButtonClick(TObject*)
{
    TListItem* item = FactorListView->GetSelected();
    if (item == nullptr)
        return;
    auto* row = static_cast<core::TReducedFocalLengthFactor*>(item->Data);
    // Owned by this dialog while it shows, and freed after each use.
    const std::unique_ptr<TFactorEditForm> form(new TFactorEditForm(this));
    form->Constructed();
    form->SetMake(row->Make);
    form->SetModel(row->Model);
    form->ShowFactor(row->Factor != 0 ? row->Factor : 1.0);
    if (form->ShowModal() != mrOk)
        return;
    const double factor = form->ReadFactor();  // a text that is no number leaves the row as it was
    row->Factor = static_cast<float>(factor);
    // Activated again as the factor dialog closed, this dialog has refilled the list: find the row's item anew.
    TListItems* items = FactorListView->GetItems();
    for (int i = 0; i < items->GetCount(); ++i)
        if (items->GetItem(i)->Data == row)
            items->GetItem(i)->GetSubItems()->Put(1, Format("%f", {factor}));
}

void TEXIFOvrelPreferencesForm::DeleteButtonClick(TObject*)
{
    TListItem* item = FactorListView->GetSelected();
    if (item == nullptr)
        return;
    auto* row = static_cast<core::TReducedFocalLengthFactor*>(item->Data);
    FactorListView->GetItems()->Delete(item->GetIndex());
    core::ImageInfoFormat().GetFactorTable().Remove(row);  // the table frees the row
    UpdateControls();
}

void TEXIFOvrelPreferencesForm::ExportButtonClick(TObject*)
{
    if (!ExportDialog->Execute())
        return;
    core::ImageInfoFormat().GetFactorTable().SaveToFile(ExportDialog->FileName);
    RefreshFactorList();
}

void TEXIFOvrelPreferencesForm::ImportButtonClick(TObject*)
{
    if (!ImportDialog->Execute())
        return;
    try {
        core::ImageInfoFormat().GetFactorTable().LoadFromFile(ImportDialog->FileName);
    } catch (...) {
        RefreshFactorList();  // the rows before the error are imported
        throw;
    }
    RefreshFactorList();
}

void TEXIFOvrelPreferencesForm::FactorListViewSelectItem(TObject*, TListItem*, bool) { UpdateControls(); }

void TEXIFOvrelPreferencesForm::FactorListViewDblClick(TObject*) { EditButton->Click(); }

void TEXIFOvrelPreferencesForm::Localize()
{
    // The group captions of the language; a missing one keeps its caption.
    TVekLocalizedStrings& groups = GetLocalizedStrings("ExifGroups");
    for (core::TEXIFPropertyGroup& group : core::EXIFPropertyGroups())
        LocalizeText(groups, group.Mask, group.Caption, group.Caption);
    ShowGroups();
    // The entries show the catalogue's captions, which the model has localised.
    ShowCheckList();
    ShowColumnList();

    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    LocalizeProperty(common, 70, this, "Caption");
    LocalizeProperty(common, 1, OkButton, "Caption");
    LocalizeProperty(common, 2, CancelButton, "Caption");
    LocalizeProperty(common, 854, CustomizeColumnsTabSheet, "Caption");
    LocalizePropertySuffix(common, 855, ColumnsLabel, "Caption", ":");
    LocalizeProperty(common, 31, SelectAllButton, "Caption");
    LocalizeProperty(common, 157, UnselectAllButton, "Caption");
    LocalizeProperty(common, 68, UpButton, "Caption");
    LocalizeProperty(common, 69, DownButton, "Caption");
    LocalizeProperty(common, 850, ReducedFocalLengthTabSheet, "Caption");
    LocalizePropertySuffix(common, 853, FactorTableLabel, "Caption", ":");
    TListColumns* columns = FactorListView->GetColumns();
    const int columnIds[] = {851, 852, 853};
    for (int i = 0; i < columns->GetCount() && i < 3; ++i) {
        TListColumn* column = columns->GetItem(i);
        std::string caption = column->GetCaption();
        LocalizeText(common, columnIds[i], caption, caption);
        column->SetCaption(caption);
    }
    LocalizePropertySuffix(common, 17, ImportButton, "Caption", "...");
    LocalizePropertySuffix(common, 18, ExportButton, "Caption", "...");
    LocalizePropertySuffix(common, 24, EditButton, "Caption", "...");
    LocalizeProperty(common, 5, DeleteButton, "Caption");
}

}  // namespace ovrel::app
