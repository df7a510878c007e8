#include "app/EditProperties.h"

#include "app/AppResources.h"
#include "app/DateTimeEdit.h"
#include "app/Localizer.h"
#include "platform/ui/Window.h"
#include "toolkit/Dialogs.h"

namespace ovrel::app {

using namespace ovrel::toolkit;

namespace {

constexpr int PanelHeight = 40;

}  // namespace

TEditProperties::TEditProperties(TComponent* owner) : TForm(owner) { Build(); }

TEditProperties::~TEditProperties() = default;

void TEditProperties::Build()
{
    TFormBuilder builder(*this);
    SetName("EditProperties");
    SetCaption("Edit Properties");
    SetBounds(GetLeft(), GetTop(), 433, 400);
    GetConstraints()->SetMinHeight(330);
    GetConstraints()->SetMaxHeight(400);
    GetConstraints()->SetMinWidth(360);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    OnShow = TNotifyEvent(this, &TEditProperties::FormShow);

    Panel1 = builder.Add<TPanel>(this);
    Panel1->SetName("Panel1");
    Panel1->SetCaption("");
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBounds(0, GetClientHeight() - PanelHeight, GetClientWidth(), PanelHeight);
    Panel1->SetAlign(alBottom);
    const auto button = [&](TButton*& control, const char* name, const char* caption, int right, TModalResult result) {
        control = builder.Add<TButton>(Panel1);
        control->SetName(name);
        control->SetCaption(caption);
        control->SetBounds(Panel1->GetWidth() - right, 8, 75, 25);
        control->SetAnchors({akRight, akBottom});
        control->SetModalResult(result);
    };
    button(Button1, "Button1", "OK", 2 * 83, mrOk);
    Button1->SetDefault(true);
    Button1->OnClick = TNotifyEvent(this, &TEditProperties::Button1Click);
    button(Button2, "Button2", "Cancel", 83, mrCancel);
    Button2->SetCancel(true);
    builder.Finish();
}

void TEditProperties::SetImages(std::vector<core::TVekImageInfo*> images) { FImages = std::move(images); }

void TEditProperties::SetDateTimeEdit(TDateTimeEdit* value)
{
    if (value == FDateTimeEdit)
        return;
    if (FDateTimeEdit != nullptr) {
        if (FOwnsDateTimeEdit)
            delete FDateTimeEdit;
        else
            FDateTimeEdit->RemoveFreeNotification(this);
    }
    FOwnsDateTimeEdit = false;
    FDateTimeEdit = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

TDateTimeEdit& TEditProperties::DateDialog()
{
    if (FDateTimeEdit == nullptr) {
        auto* own = new TDateTimeEdit(this);
        own->LocalizeDialog();
        SetDateTimeEdit(own);
        FOwnsDateTimeEdit = true;
    }
    return *FDateTimeEdit;
}

void TEditProperties::Notification(TComponent* component, TOperation operation)
{
    TForm::Notification(component, operation);
    if (operation == opRemove && component == FDateTimeEdit) {
        FDateTimeEdit = nullptr;
        FOwnsDateTimeEdit = false;
    }
}

void TEditProperties::LocalizeDialog()
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    LocalizeProperty(common, 1200, this, "Caption");
    LocalizeProperty(common, 1, Button1, "Caption");
    LocalizeProperty(common, 2, Button2, "Caption");
    LocalizeText(common, 24, FEditHint, "Edit");
    LocalizeText(common, 25, FUndoHint, "Undo");
    for (const TRowControls& row : FRows) {
        row.UndoButton->SetHint(FUndoHint);
        if (row.DateButton != nullptr)
            row.DateButton->SetHint(FEditHint);
    }
}

void TEditProperties::FreeRows()
{
    // Each control leaves its owner and parent as it goes; pending date changes go with the model's rows.
    for (const TRowControls& row : FRows) {
        delete row.Label;
        delete row.Edit;
        delete row.UndoButton;
        delete row.DateButton;
    }
    FRows.clear();
}

void TEditProperties::BuildRow(const TEditRow& row)
{
    const TEditRowLayout& layout = row.Layout;
    const auto id = static_cast<std::intptr_t>(row.Id);
    TRowControls controls;
    controls.Label = new TLabel(this);
    controls.Label->SetParent(this);
    controls.Label->SetCaption(row.Caption);  // sizes the label at once
    controls.Label->SetTop(layout.Top);
    controls.Label->SetLeft(layout.LabelRight - controls.Label->GetWidth());

    controls.Edit = new TEdit(this);
    controls.Edit->SetParent(this);
    controls.Edit->SetBounds(layout.EditLeft, layout.Top, layout.EditWidth, controls.Edit->GetHeight());
    controls.Edit->SetAnchors({akLeft, akTop, akRight});
    controls.Edit->SetTag(id);
    const auto speedButton = [&](int left, const TBitmap& glyph, int cells, const std::string& hint) {
        auto* button = new TSpeedButton(this);
        button->SetParent(this);
        button->SetBounds(left, layout.Top, TEditPropertiesModel::ButtonSize, TEditPropertiesModel::ButtonSize);
        button->SetAnchors({akTop, akRight});
        button->SetGlyph(&glyph);
        button->SetNumGlyphs(cells);
        button->SetTag(id);
        button->SetHint(hint);
        button->SetShowHint(true);
        return button;
    };
    if (row.IsDate) {
        controls.Edit->SetReadOnly(true);
        controls.DateButton = speedButton(layout.DateButtonLeft, *FDateGlyph, 1, FEditHint);
        controls.DateButton->OnClick = TNotifyEvent(this, &TEditProperties::SpeedButtonExecute);
    }
    controls.UndoButton = speedButton(layout.UndoLeft, *FUndoGlyph, 2, FUndoHint);
    controls.UndoButton->SetEnabled(false);
    controls.UndoButton->OnClick = TNotifyEvent(this, &TEditProperties::SpeedButtonClick);
    FRows.push_back(controls);

    if (const std::optional<int> height = FModel.ClientHeight(controls.Edit->GetHeight(), Panel1->GetHeight()))
        SetClientHeight(*height);  // then held within the form's height limits
}

void TEditProperties::FormShow(TObject*)
{
    FreeRows();
    FWriteResult = {};
    try {
        if (!FDateGlyph) {
            FDateGlyph = std::make_unique<TBitmap>();
            LoadAppBitmap(*FDateGlyph, "PROPDATETIME");
            FUndoGlyph = std::make_unique<TBitmap>();
            LoadAppBitmap(*FUndoGlyph, "UNDO");
        }
        FModel.BuildRows();
        FModel.SetImages(FImages);
        DisableAlign();
        for (int i = 0; i < FModel.GetRowCount(); ++i)
            BuildRow(FModel.GetRow(i));
        EnableAlign();
        FModel.FillCommonValues();
        for (int i = 0; i < FModel.GetRowCount(); ++i)
            ShowRow(i);
        // Only now: filling the fields marks nothing as changed.
        for (const TRowControls& row : FRows)
            row.Edit->OnChange = TNotifyEvent(this, &TEditProperties::EditChange);
    } catch (const Exception&) {
        if (AlignDisabled())
            EnableAlign();
        ShowMessage("Eror #1");
    }
}

int TEditProperties::RowOfTag(const TComponent* control) const
{
    return control != nullptr ? FModel.IndexOfId(static_cast<std::uint32_t>(control->GetTag())) : -1;
}

void TEditProperties::ShowRow(int row)
{
    const TEditRow& model = FModel.GetRow(row);
    const TRowControls& controls = FRows[static_cast<std::size_t>(row)];
    controls.Edit->SetText(model.Text);
    controls.UndoButton->SetEnabled(model.Changed);
}

void TEditProperties::EditChange(TObject* sender)
{
    auto* edit = dynamic_cast<TEdit*>(sender);
    const int row = RowOfTag(edit);
    if (row < 0)
        return;
    FModel.EditChanged(row, edit->GetText());
    FRows[static_cast<std::size_t>(row)].UndoButton->SetEnabled(FModel.GetRow(row).Changed);
}

void TEditProperties::SpeedButtonClick(TObject* sender)
{
    const auto* button = dynamic_cast<TComponent*>(sender);
    if (button == nullptr || button->GetTag() == 0)
        return;
    const int row = RowOfTag(button);
    if (row < 0)
        return;
    FModel.Undo(row);
    ShowRow(row);
}

void TEditProperties::SpeedButtonExecute(TObject* sender)
{
    const int row = RowOfTag(dynamic_cast<TComponent*>(sender));
    if (row < 0)
        return;
    TDateTimeEdit& dialog = DateDialog();
    dialog.InitialText = FModel.DateDialogText(row);
    if (dialog.ShowModal() != mrOk)
        return;
    FModel.ApplyDateChange(row, TDateTimeEditResult{dialog.ResultMode, dialog.ResultValue, dialog.ResultDays});
    ShowRow(row);
}

void TEditProperties::Button1Click(TObject*)
{
    if (!FModel.HasChanges())
        return;
    {
        const ui::ScopedOverrideCursor hourglass(ui::LoadCursor(nullptr, ui::IDC_WAIT));
        FWriteResult = FModel.Write();
    }
    if (!FWriteResult.FailedFiles.empty())
        ShowError(FailedFilesMessage(FWriteResult.FailedFiles));
}

}  // namespace ovrel::app
