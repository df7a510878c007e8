#include "app/DateTimeEdit.h"

#include "app/DateTimeEditModel.h"
#include "app/Localizer.h"

#include <algorithm>

namespace ovrel::app {

using namespace ovrel::toolkit;

namespace {

constexpr int ClientWidth = 333;
constexpr int ClientHeight = 195;
constexpr int GroupLeft = 5;
constexpr int GroupWidth = 324;
constexpr int ChoiceLeft = 8;  // the radio buttons' left inside the group, and their right margin
// A radio button's caption starts after its indicator and the gap beside it; with the focus frame around
// the text this is what the caption needs besides its own width.
constexpr int ChoiceIndicatorRoom = 26;

int TextWidth(const TFont& font, std::string_view text)
{
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.GetCanvas()->SetFont(&font);
    return measure.GetCanvas()->TextWidth(text);
}

}  // namespace

TDateTimeEdit::TDateTimeEdit(TComponent* owner) : TForm(owner) { Build(); }

TDateTimeEdit::~TDateTimeEdit() = default;

void TDateTimeEdit::Build()
{
    TFormBuilder builder(*this);
    SetName("DateTimeEdit");
    SetCaption("Edit Date and Time");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poMainFormCenter);
    SetColor(clBtnFace);
    SetClientWidth(ClientWidth);
    SetClientHeight(ClientHeight);
    OnShow = TNotifyEvent(this, &TDateTimeEdit::FormShow);

    GroupBox1 = builder.Add<TGroupBox>(this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetBounds(GroupLeft, 5, GroupWidth, 152);
    GroupBox1->SetCaption("");

    const auto choice = [&](TRadioButton*& radio, const char* name, const char* caption, int top,
                            void (TDateTimeEdit::*click)(TObject*)) {
        radio = builder.Add<TRadioButton>(GroupBox1);
        radio->SetName(name);
        radio->SetBounds(ChoiceLeft, top, GroupWidth - 2 * ChoiceLeft, 17);
        radio->SetCaption(caption);
        radio->OnClick = TNotifyEvent(this, click);
    };
    const auto picker = [&](TDateTimePicker*& control, const char* name, TDateTimeKind kind, int left, int top,
                            int width, void (TDateTimeEdit::*click)(TObject*)) {
        control = builder.Add<TDateTimePicker>(GroupBox1);
        control->SetName(name);
        control->SetKind(kind);
        control->SetBounds(left, top, width, 21);
        control->OnClick = TNotifyEvent(this, click);
    };
    const auto shift = [&](TEdit*& edit, TUpDown*& upDown, TLabel*& slash, TDateTimePicker*& time, int index, int top,
                           void (TDateTimeEdit::*editClick)(TObject*),
                           void (TDateTimeEdit::*upDownClick)(TObject*, TUDBtnType),
                           void (TDateTimeEdit::*timeClick)(TObject*)) {
        const std::string n = std::to_string(index);
        edit = builder.Add<TEdit>(GroupBox1);
        edit->SetName("Edit" + n);
        edit->SetBounds(24, top, 70, 21);
        edit->SetText("0");
        edit->OnClick = TNotifyEvent(this, editClick);
        upDown = builder.Add<TUpDown>(GroupBox1);
        upDown->SetName("UpDown" + n);
        upDown->SetBounds(94, top, 17, 21);
        upDown->SetMin(0);
        upDown->SetMax(1000);
        upDown->SetAssociate(edit);
        upDown->OnClick = TUDClickEvent(this, upDownClick);
        slash = builder.Add<TLabel>(GroupBox1);
        slash->SetName("Label" + n);
        slash->SetCaption("/");
        slash->SetTransparent(true);
        slash->SetLeft(117);
        slash->SetTop(top + 3);
        picker(time, index == 1 ? "DateTimePicker3" : "DateTimePicker4", dtkTime, 128, top, 73, timeClick);
    };

    choice(RadioButton1, "RadioButton1", "Change date", 10, &TDateTimeEdit::RadioButton1Click);
    picker(DateTimePicker1, "DateTimePicker1", dtkDate, 24, 29, 94, &TDateTimeEdit::DateTimePicker1Click);
    picker(DateTimePicker2, "DateTimePicker2", dtkTime, 124, 29, 73, &TDateTimeEdit::DateTimePicker2Click);
    choice(RadioButton2, "RadioButton2", "Add to current time (day / hour : minute : second)", 57,
           &TDateTimeEdit::RadioButton2Click);
    shift(Edit1, UpDown1, Label1, DateTimePicker3, 1, 76, &TDateTimeEdit::Edit1Click, &TDateTimeEdit::UpDown1Click,
          &TDateTimeEdit::DateTimePicker3Click);
    choice(RadioButton3, "RadioButton3", "Subtract from current time (day / hour : minute : second)", 104,
           &TDateTimeEdit::RadioButton3Click);
    shift(Edit2, UpDown2, Label2, DateTimePicker4, 2, 123, &TDateTimeEdit::Edit2Click, &TDateTimeEdit::UpDown2Click,
          &TDateTimeEdit::DateTimePicker4Click);
    RadioButton1->SetChecked(true);

    const auto button = [&](TButton*& control, const char* name, const char* caption, int left, TModalResult result) {
        control = builder.Add<TButton>(this);
        control->SetName(name);
        control->SetCaption(caption);
        control->SetBounds(left, 164, 75, 25);
        control->SetAnchors({akRight, akBottom});
        control->SetModalResult(result);
    };
    button(Button1, "Button1", "OK", 170, mrOk);
    Button1->SetDefault(true);
    Button1->OnClick = TNotifyEvent(this, &TDateTimeEdit::Button1Click);
    button(Button2, "Button2", "Cancel", 251, mrCancel);
    Button2->SetCancel(true);
    builder.Finish();
    FitChoices();
    RefreashState();
}

void TDateTimeEdit::LocalizeDialog()
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    LocalizeProperty(common, 1203, this, "Caption");
    LocalizeProperty(common, 1204, RadioButton1, "Caption");
    LocalizeProperty(common, 1205, RadioButton2, "Caption");
    LocalizeProperty(common, 1206, RadioButton3, "Caption");
    LocalizeProperty(common, 1, Button1, "Caption");
    LocalizeProperty(common, 2, Button2, "Caption");
    FitChoices();
}

void TDateTimeEdit::FitChoices()
{
    int needed = GroupWidth - 2 * ChoiceLeft;
    for (const TRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3})
        needed = std::max(needed, TextWidth(*radio->GetFont(), radio->GetCaption()) + ChoiceIndicatorRoom);
    const int groupWidth = needed + 2 * ChoiceLeft;
    // The buttons keep their distance to the right edge as the form grows or shrinks back.
    SetClientWidth(GroupLeft + groupWidth + (ClientWidth - GroupLeft - GroupWidth));
    GroupBox1->SetWidth(groupWidth);
    for (TRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3})
        radio->SetWidth(needed);
}

void TDateTimeEdit::RefreashState()
{
    for (TControl* control : std::initializer_list<TControl*>{DateTimePicker1, DateTimePicker2, DateTimePicker3,
                                                              DateTimePicker4, UpDown1, UpDown2, Edit1, Edit2})
        control->SetEnabled(false);
    if (RadioButton1->GetChecked()) {
        DateTimePicker1->SetEnabled(true);
        DateTimePicker2->SetEnabled(true);
    } else if (RadioButton2->GetChecked()) {
        UpDown1->SetEnabled(true);
        Edit1->SetEnabled(true);
        DateTimePicker3->SetEnabled(true);
    } else if (RadioButton3->GetChecked()) {
        UpDown2->SetEnabled(true);
        Edit2->SetEnabled(true);
        DateTimePicker4->SetEnabled(true);
    }
}

void TDateTimeEdit::FormShow(TObject*)
{
    ResultMode = DateModeNone;
    const TDateTime start = DateTimeEditStartValue(InitialText);
    DateTimePicker1->SetDateTime(start);
    DateTimePicker2->SetDateTime(start);
    RefreashState();
}

void TDateTimeEdit::RadioButton1Click(TObject*) { RefreashState(); }
void TDateTimeEdit::RadioButton2Click(TObject*) { RefreashState(); }
void TDateTimeEdit::RadioButton3Click(TObject*) { RefreashState(); }
void TDateTimeEdit::DateTimePicker1Click(TObject*) { RadioButton1->SetChecked(true); }
void TDateTimeEdit::DateTimePicker2Click(TObject*) { RadioButton1->SetChecked(true); }
void TDateTimeEdit::Edit1Click(TObject*) { RadioButton2->SetChecked(true); }
void TDateTimeEdit::UpDown1Click(TObject*, TUDBtnType) { RadioButton2->SetChecked(true); }
void TDateTimeEdit::DateTimePicker3Click(TObject*) { RadioButton2->SetChecked(true); }
void TDateTimeEdit::Edit2Click(TObject*) { RadioButton3->SetChecked(true); }
void TDateTimeEdit::UpDown2Click(TObject*, TUDBtnType) { RadioButton3->SetChecked(true); }
void TDateTimeEdit::DateTimePicker4Click(TObject*) { RadioButton3->SetChecked(true); }

void TDateTimeEdit::Button1Click(TObject*)
{
    TDateTimeEditInput input;
    input.Choice = RadioButton1->GetChecked()   ? DateModeSet
                   : RadioButton2->GetChecked() ? DateModeAdd
                   : RadioButton3->GetChecked() ? DateModeSubtract
                                                : DateModeNone;
    if (input.Choice == DateModeSet)
        DateTimePicker1->SetTime(DateTimePicker2->GetTime());
    input.Date = DateTimePicker1->GetDate();
    input.Time = DateTimePicker2->GetTime();
    input.AddTime = DateTimePicker3->GetDateTime();
    input.AddDays = UpDown1->GetPosition();
    input.SubtractTime = DateTimePicker4->GetDateTime();
    input.SubtractDays = UpDown2->GetPosition();
    TDateTimeEditResult result{ResultMode, ResultValue, ResultDays};
    ApplyDateTimeEdit(input, result);
    ResultMode = result.Mode;
    ResultValue = result.Value;
    ResultDays = result.Days;
}

}  // namespace ovrel::app
