#pragma once
// The date/time dialog the edit dialog's date buttons open: set a date and time, or add or subtract days and a
// time span. It touches no image; the caller reads its result after OK.

#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>

namespace ovrel::app {

class TDateTimeEdit : public toolkit::TForm {
public:
    explicit TDateTimeEdit(toolkit::TComponent* owner);
    ~TDateTimeEdit() override;

    /// The texts of section "Common" of the current language; a missing entry keeps the text.
    void LocalizeDialog();

    /// The "Change date" pickers start here at each show: the text read in the locale's date and time
    /// format, else now. Set by the caller before showing.
    std::string InitialText;
    /// Set by OK only; Cancel leaves them as they were. ResultValue is the new date and time for mode 1; for
    /// a shift only its time of day counts, and ResultDays holds the whole days.
    toolkit::TDateTime ResultValue = 0;
    std::int32_t ResultDays = 0;
    std::uint8_t ResultMode = 0;  // 0 none (reset at each show), 1 set, 2 add, 3 subtract

    // The controls of the checked choice are the enabled ones; the others are disabled.
    void RefreashState();

    void FormShow(toolkit::TObject* sender);
    void RadioButton1Click(toolkit::TObject* sender);
    void RadioButton2Click(toolkit::TObject* sender);
    void RadioButton3Click(toolkit::TObject* sender);
    void DateTimePicker1Click(toolkit::TObject* sender);
    void DateTimePicker2Click(toolkit::TObject* sender);
    void Edit1Click(toolkit::TObject* sender);
    void UpDown1Click(toolkit::TObject* sender, toolkit::TUDBtnType button);
    void DateTimePicker3Click(toolkit::TObject* sender);
    void Edit2Click(toolkit::TObject* sender);
    void UpDown2Click(toolkit::TObject* sender, toolkit::TUDBtnType button);
    void DateTimePicker4Click(toolkit::TObject* sender);
    void Button1Click(toolkit::TObject* sender);

    toolkit::TGroupBox* GroupBox1 = nullptr;
    toolkit::TRadioButton* RadioButton1 = nullptr;
    toolkit::TDateTimePicker* DateTimePicker1 = nullptr;
    toolkit::TDateTimePicker* DateTimePicker2 = nullptr;
    toolkit::TRadioButton* RadioButton2 = nullptr;
    toolkit::TEdit* Edit1 = nullptr;
    toolkit::TUpDown* UpDown1 = nullptr;
    toolkit::TLabel* Label1 = nullptr;
    toolkit::TDateTimePicker* DateTimePicker3 = nullptr;
    toolkit::TRadioButton* RadioButton3 = nullptr;
    toolkit::TEdit* Edit2 = nullptr;
    toolkit::TUpDown* UpDown2 = nullptr;
    toolkit::TLabel* Label2 = nullptr;
    toolkit::TDateTimePicker* DateTimePicker4 = nullptr;
    toolkit::TButton* Button1 = nullptr;
    toolkit::TButton* Button2 = nullptr;

private:
    void Build();
    /// Widens the group and the form where a choice's caption would not fit the designed width.
    void FitChoices();
};

}  // namespace ovrel::app
