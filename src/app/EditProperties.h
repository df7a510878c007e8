#pragma once
// The edit dialog behind the main window's "Edit...": one row per editable property with the value the
// selected images share, an undo button per row and a date button on the date rows; OK writes the changed rows
// into every selected image and saves each.

#include "app/EditPropertiesModel.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {

class TDateTimeEdit;

class TEditProperties : public toolkit::TForm {
public:
    explicit TEditProperties(toolkit::TComponent* owner);
    ~TEditProperties() override;

    /// The images OK writes into: the main window's selection in list order. Borrowed: they must outlive the
    /// next showing. Set before ShowModal.
    void SetImages(std::vector<core::TVekImageInfo*> images);
    /// What the last OK wrote, and the files it could not change (already reported to the user); empty from
    /// each show until OK.
    [[nodiscard]] const TEditWriteResult& GetWriteResult() const { return FWriteResult; }

    /// The dialog the date buttons open; borrowed (cleared when it is freed). Without one the dialog makes its
    /// own at the first date button.
    [[nodiscard]] TDateTimeEdit* GetDateTimeEdit() const { return FDateTimeEdit; }
    void SetDateTimeEdit(TDateTimeEdit* value);

    /// The texts of section "Common" of the current language; a missing caption keeps its text, a missing hint
    /// takes the English one.
    void LocalizeDialog();

    [[nodiscard]] const TEditPropertiesModel& GetModel() const { return FModel; }
    /// The controls of the rows built by the last show, in row order; the date button is null on other rows.
    struct TRowControls {
        toolkit::TLabel* Label = nullptr;
        toolkit::TEdit* Edit = nullptr;
        toolkit::TSpeedButton* UndoButton = nullptr;
        toolkit::TSpeedButton* DateButton = nullptr;
    };
    [[nodiscard]] const std::vector<TRowControls>& GetRows() const { return FRows; }

    void FormShow(toolkit::TObject* sender);
    void EditChange(toolkit::TObject* sender);
    void SpeedButtonClick(toolkit::TObject* sender);
    void SpeedButtonExecute(toolkit::TObject* sender);
    void Button1Click(toolkit::TObject* sender);

    toolkit::TPanel* Panel1 = nullptr;
    toolkit::TButton* Button1 = nullptr;
    toolkit::TButton* Button2 = nullptr;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

private:
    void Build();
    void FreeRows();
    void BuildRow(const TEditRow& row);
    /// The row of a control's tag (its property id), or -1.
    [[nodiscard]] int RowOfTag(const toolkit::TComponent* control) const;
    /// Shows the model's text and changed state of the row.
    void ShowRow(int row);
    TDateTimeEdit& DateDialog();

    TEditPropertiesModel FModel;
    std::vector<core::TVekImageInfo*> FImages;
    std::vector<TRowControls> FRows;
    TEditWriteResult FWriteResult;
    TDateTimeEdit* FDateTimeEdit = nullptr;
    bool FOwnsDateTimeEdit = false;
    std::string FEditHint = "Edit";
    std::string FUndoHint = "Undo";
    std::unique_ptr<toolkit::TBitmap> FDateGlyph;
    std::unique_ptr<toolkit::TBitmap> FUndoGlyph;
};

}  // namespace ovrel::app
