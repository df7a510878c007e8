#pragma once
// The options dialog: which catalogue properties are list columns and in which order, and the focal-length
// factor table; and the small dialog that edits one factor.

#include "app/OptionsModel.h"
#include "app/VekForm.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ListView.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdLists.h"

#include <cstdint>
#include <string>

namespace ovrel::app {

/// Edits the factor of one camera. Made by hand: call Constructed() after the constructor.
class TFactorEditForm : public TVekForm {
public:
    explicit TFactorEditForm(toolkit::TComponent* owner);
    ~TFactorEditForm() override;

    void SetMake(const std::string& text);
    void SetModel(const std::string& text);
    /// The field shows value with "%f" (two decimals, the locale's separator).
    void ShowFactor(double value);
    /// The typed factor; the value shown, at full precision, while the field still holds what ShowFactor
    /// wrote. Raises EConvertError for a text that is no number after filtering ("1.2.3").
    [[nodiscard]] double ReadFactor() const;

    void Localize() override;

    toolkit::TLabel* MakeLabel = nullptr;
    toolkit::TLabel* ModelLabel = nullptr;
    toolkit::TLabel* FactorLabel = nullptr;
    toolkit::TEdit* MakeEdit = nullptr;
    toolkit::TEdit* ModelEdit = nullptr;
    toolkit::TEdit* FactorEdit = nullptr;
    toolkit::TButton* OkButton = nullptr;
    toolkit::TButton* CancelButton = nullptr;

private:
    void Build();

    TFactorEditValue FValue;
};

/// The options dialog. The column lists are built once, at creation, and keep the user's edits when the
/// dialog is cancelled; the factor page works on the live factor table. The main window picks the page
/// (PageControl) before each opening and, after OK, calls ApplyColumns.
class TEXIFOvrelPreferencesForm : public TVekForm {
public:
    explicit TEXIFOvrelPreferencesForm(toolkit::TComponent* owner);
    ~TEXIFOvrelPreferencesForm() override;

    /// The column list becomes the catalogue's columns: 0 for the first entry on, -1 for every other row.
    void ApplyColumns();
    void Localize() override;

    [[nodiscard]] const TColumnListModel& GetColumnList() const { return FColumns; }

    void FormCreate(toolkit::TObject* sender);
    void FormActivate(toolkit::TObject* sender);
    void BuildColumnList();
    void GroupComboBoxClick(toolkit::TObject* sender);
    void PropertyCheckListBoxClickCheck(toolkit::TObject* sender);
    void SelectButtonClick(toolkit::TObject* sender);
    void ColumnListBoxKeyDown(toolkit::TObject* sender, std::uint16_t& key, toolkit::TShiftState shift);
    void MoveButtonClick(toolkit::TObject* sender);
    void UpdateControls(toolkit::TObject* sender = nullptr);
    void RefreshFactorList();
    void EditButtonClick(toolkit::TObject* sender);
    void DeleteButtonClick(toolkit::TObject* sender);
    void ExportButtonClick(toolkit::TObject* sender);
    void ImportButtonClick(toolkit::TObject* sender);
    void FactorListViewSelectItem(toolkit::TObject* sender, toolkit::TListItem* item, bool selected);
    void FactorListViewDblClick(toolkit::TObject* sender);

    toolkit::TPageControl* PageControl = nullptr;
    toolkit::TTabSheet* CustomizeColumnsTabSheet = nullptr;
    toolkit::TComboBox* GroupComboBox = nullptr;
    toolkit::TCheckListBox* PropertyCheckListBox = nullptr;
    toolkit::TLabel* ColumnsLabel = nullptr;
    toolkit::TListBox* ColumnListBox = nullptr;
    toolkit::TButton* SelectAllButton = nullptr;
    toolkit::TButton* UnselectAllButton = nullptr;
    toolkit::TButton* UpButton = nullptr;
    toolkit::TButton* DownButton = nullptr;
    toolkit::TTabSheet* ReducedFocalLengthTabSheet = nullptr;
    toolkit::TLabel* FactorTableLabel = nullptr;
    toolkit::TListView* FactorListView = nullptr;
    toolkit::TButton* ImportButton = nullptr;
    toolkit::TButton* ExportButton = nullptr;
    toolkit::TButton* EditButton = nullptr;
    toolkit::TButton* DeleteButton = nullptr;
    toolkit::TButton* OkButton = nullptr;
    toolkit::TButton* CancelButton = nullptr;
    toolkit::TOpenDialog* ImportDialog = nullptr;
    toolkit::TSaveDialog* ExportDialog = nullptr;

private:
    void Build();
    void ShowGroups();
    /// Both lists show the model again: entries, checks and the selected column.
    void ShowCheckList();
    void ShowColumnList();

    TColumnListModel FColumns;
};

}  // namespace ovrel::app
