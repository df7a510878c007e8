#include "inspector/PropertyItemClasses.h"

#include "inspector/CellEditors.h"
#include "inspector/PropertyItemDisplay.h"
#include "inspector/Resources.h"

#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <climits>
#include <cmath>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

// ---- TCustomTextualItem -----------------------------------------------------------------------------------

TCellEditorClass TCustomTextualItem::GetEditorClass() const { return TCellEditorClass::Of<TTextualEditor>(); }

void TCustomTextualItem::ShowEditor()
{
    TCellEditor* editor = GetEditor();
    if (editor == nullptr)
        return;
    editor->SetAsString(GetAsString());
    if (auto* textual = dynamic_cast<TTextualEditor*>(editor))
        textual->SetShowPreview(GetShowPreview());
    TCustomPropertyItem::ShowEditor();
}

// ---- TTextualItem -----------------------------------------------------------------------------------------

int TTextualItem::GetAsInteger() const { return StrToIntDef(FText, 0); }

double TTextualItem::GetAsFloat() const { return StrToFloatDef(FText, 0); }

void TTextualItem::SetAsString(const std::string& value)
{
    FText = value;
    TCustomTextualItem::SetAsString(value);
}

void TTextualItem::SetAsInteger(int value)
{
    FText = IntToStr(value);
    TCustomTextualItem::SetAsInteger(value);
}

void TTextualItem::SetAsFloat(double value)
{
    FText = FloatToStr(value);
    TCustomTextualItem::SetAsFloat(value);
}

TItemDisplayClass TTextualItem::GetDisplayClass() const { return TItemDisplayClass::Of<TTextualItemDisplay>(); }

void TTextualItem::SetPasswordChar(char16_t value)
{
    FPasswordChar = value;
    if (auto* editor = dynamic_cast<TTextualEditor*>(GetEditor()))
        editor->SetPasswordChar(value);
}

const TPropertyTable& TTextualItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TCustomPropertyItem::ClassProperties())
            .Integer("PasswordChar", &TTextualItem::GetPasswordChar, &TTextualItem::SetPasswordChar);
    return table;
}

const TPropertyTable& TTextualItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TExecuteItem -----------------------------------------------------------------------------------------

namespace {

const std::vector<std::string>& Booleans()
{
    static const std::vector<std::string> names{"False", "True"};
    return names;
}

// A number kept as a double, as an int: rounded, halves to even, and held inside the int range.
int RoundToInt(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(INT_MIN)))  // NaN too
        return rounded > 0 ? INT_MAX : INT_MIN;
    if (rounded > static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(rounded);
}

}  // namespace

TExecuteItem::TExecuteItem(TComponent* owner) : TTextualItem(owner), FGlyph(std::make_unique<TBitmap>()) {}

TExecuteItem::~TExecuteItem() = default;

// The editor with the execute button: the button editors build on it.
TCellEditorClass TExecuteItem::GetEditorClass() const { return TCellEditorClass::Of<TCustomButtonCellEditor>(); }

void TExecuteItem::ShowEditor()
{
    if (auto* editor = dynamic_cast<TCustomButtonCellEditor*>(GetEditor())) {
        if (auto* button = dynamic_cast<TExecuteButton*>(editor->GetButton())) {
            if (FTransparentColor != clNone && !FGlyph->GetEmpty()) {
                FGlyph->SetTransparent(true);
                FGlyph->SetTransparentColor(FTransparentColor);
            }
            button->SetGlyph(FGlyph->GetEmpty() ? nullptr : FGlyph.get());
        }
        editor->OnButtonClick = TNotifyEvent(this, &TExecuteItem::ButtonClicked);
    }
    TTextualItem::ShowEditor();
}

void TExecuteItem::ButtonClicked(TObject*) { OnExecute(this); }

void TExecuteItem::SetGlyph(const TBitmap* value) { FGlyph->Assign(value); }

const TPropertyTable& TExecuteItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTextualItem::ClassProperties())
            .Object("Glyph", &TExecuteItem::GetGlyph, &TExecuteItem::SetGlyph)
            .Integer("TransparentColor", &TExecuteItem::GetTransparentColor, &TExecuteItem::SetTransparentColor);
    return table;
}

const TPropertyTable& TExecuteItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TComboBoxItem ----------------------------------------------------------------------------------------

TComboBoxItem::TComboBoxItem(TComponent* owner) : TTextualItem(owner), FLines(std::make_unique<TStringList>()) {}

TComboBoxItem::~TComboBoxItem() = default;

TCellEditorClass TComboBoxItem::GetEditorClass() const { return TCellEditorClass::Of<TComboBoxEditor>(); }

void TComboBoxItem::ShowEditor()
{
    if (auto* editor = dynamic_cast<TComboBoxEditor*>(GetEditor())) {
        editor->SetItems(*FLines);
        editor->SetStyle(FStyle == cbDropDown ? dsDropDown : dsDropDownList);
        editor->SetHideFocus(true);
        editor->SetDropDownCount(FDropDownCount);
        editor->SetItemIndex(FItemIndex);
        editor->OnPopupClose = TNotifyEvent(this, &TComboBoxItem::EditorPicked);
    }
    TTextualItem::ShowEditor();
}

void TComboBoxItem::EditorPicked(TObject* sender)
{
    if (auto* editor = dynamic_cast<TComboBoxEditor*>(sender))
        FItemIndex = editor->GetItemIndex();
}

void TComboBoxItem::HideEditor()
{
    TTextualItem::HideEditor();
    auto* editor = dynamic_cast<TComboBoxEditor*>(GetEditor());
    if (editor == nullptr)
        return;
    // The index the editor last picked is stale once other text was typed: that text stays the value.
    const int index = editor->GetItemIndex();
    if (index >= 0 && index < FLines->GetCount() && editor->GetAsString() == FLines->Get(index))
        SetItemIndex(index);
}

void TComboBoxItem::SetLines(const TStrings& value) { FLines->Assign(value); }

void TComboBoxItem::SetItemIndex(int value)
{
    if (value < 0 || value >= FLines->GetCount())
        return;
    FItemIndex = value;
    SetValue(FLines->Get(value));
}

const TPropertyTable& TComboBoxItem::ClassProperties()
{
    using C = TComboBoxItem;
    static const TPropertyTable table =
        TPropertyTable(&TTextualItem::ClassProperties())
            .Strings("Lines", &C::GetLines, &C::SetLines)
            .Integer("ItemIndex", &C::GetItemIndex, &C::SetItemIndex)
            .Enumeration("Style", &C::GetStyle, &C::SetStyle, {"cbDropDown", "cbDropDownList"})
            .Integer("DropDownCount", &C::GetDropDownCount, &C::SetDropDownCount);
    return table;
}

const TPropertyTable& TComboBoxItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TFontNameItem ----------------------------------------------------------------------------------------

TItemDisplayClass TFontNameItem::GetDisplayClass() const { return TItemDisplayClass::Of<TFontNameItemDisplay>(); }

void TFontNameItem::ShowEditor()
{
    SetLines(*Screen()->GetFonts());
    TComboBoxItem::ShowEditor();
}

// ---- TColorItem -------------------------------------------------------------------------------------------

TItemDisplayClass TColorItem::GetDisplayClass() const { return TItemDisplayClass::Of<TColorItemDisplay>(); }

const TPropertyTable& TColorItem::ClassProperties()
{
    using C = TColorItem;
    static const TPropertyTable table =
        TPropertyTable(&TTextualItem::ClassProperties())
            .Enumeration("ColorKind", &C::GetColorKind, &C::SetColorKind, {"ckKorvel", "ckWeb"})
            .Enumeration("UseColorNames", &C::GetUseColorNames, &C::SetUseColorNames, Booleans());
    return table;
}

const TPropertyTable& TColorItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TSpinItem --------------------------------------------------------------------------------------------

void TSpinItem::SetAsString(const std::string& value)
{
    FNumber = value.empty() ? 0 : StrToFloat(value);
    TTextualItem::SetAsString(value);
}

void TSpinItem::SetAsFloat(double value)
{
    FNumber = value;
    TTextualItem::SetAsFloat(value);
}

void TSpinItem::SetAsInteger(int value)
{
    FNumber = value;
    TTextualItem::SetAsInteger(value);
}

std::string TSpinItem::GetAsString() const { return FloatToStr(FNumber); }

int TSpinItem::GetAsInteger() const { return RoundToInt(FNumber); }

const TPropertyTable& TSpinItem::ClassProperties()
{
    using C = TSpinItem;
    static const TPropertyTable table = TPropertyTable(&TTextualItem::ClassProperties())
                                            .Float("Max", &C::GetMax, &C::SetMax)
                                            .Float("Min", &C::GetMin, &C::SetMin)
                                            .Float("Increment", &C::GetIncrement, &C::SetIncrement);
    return table;
}

const TPropertyTable& TSpinItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TMemoItem --------------------------------------------------------------------------------------------

TMemoItem::TMemoItem(TComponent* owner) : TCustomTextualItem(owner), FLines(std::make_unique<TStringList>()) {}

TMemoItem::~TMemoItem() = default;

TItemDisplayClass TMemoItem::GetDisplayClass() const { return TItemDisplayClass::Of<TMemoItemDisplay>(); }

std::string TMemoItem::GetAsString() const { return FLines->GetText(); }

namespace {

// The lines as one text for a number: without the break after the last line, which no number has.
std::string NumberText(const TStrings& lines)
{
    std::string text = lines.GetText();
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

}  // namespace

int TMemoItem::GetAsInteger() const { return StrToInt(NumberText(*FLines)); }

double TMemoItem::GetAsFloat() const { return StrToFloat(NumberText(*FLines)); }

void TMemoItem::SetAsString(const std::string& value)
{
    FLines->SetText(value);
    TCustomTextualItem::SetAsString(value);
}

void TMemoItem::SetAsInteger(int value)
{
    FLines->SetText(IntToStr(value));
    TCustomTextualItem::SetAsInteger(value);
}

void TMemoItem::SetAsFloat(double value)
{
    FLines->SetText(FloatToStr(value));
    TCustomTextualItem::SetAsFloat(value);
}

void TMemoItem::SetLines(const TStrings& value) { FLines->Assign(value); }

void TMemoItem::SetMultiLineSymbol(bool value)
{
    FMultiLineSymbol = value;
    Changed(icValueLook);
}

const TPropertyTable& TMemoItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TCustomPropertyItem::ClassProperties())
            .Strings("Lines", &TMemoItem::GetLines, &TMemoItem::SetLines)
            .Enumeration("MultiLineSymbol", &TMemoItem::GetMultiLineSymbol, &TMemoItem::SetMultiLineSymbol, Booleans());
    return table;
}

const TPropertyTable& TMemoItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TToolbarItemButton -----------------------------------------------------------------------------------

TToolbarItemButton::TToolbarItemButton(TCollection* collection)
    : TCollectionItem(collection), FGlyph(std::make_unique<TBitmap>())
{
    FGlyph->OnChange = TNotifyEvent(this, &TToolbarItemButton::GlyphChanged);
}

TToolbarItemButton::~TToolbarItemButton() = default;

void TToolbarItemButton::Assign(const TPersistent* source)
{
    const auto* button = dynamic_cast<const TToolbarItemButton*>(source);
    if (button == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    FChecked = button->FChecked;
    FText = button->FText;
    FAutoCheck = button->FAutoCheck;
    FDivider = button->FDivider;
    FGlyph->Assign(button->FGlyph.get());
}

TToolbarItem* TToolbarItemButton::GetItem() const
{
    const auto* buttons = dynamic_cast<const TToolbarItemButtons*>(GetCollection());
    return buttons != nullptr ? buttons->GetToolbarItem() : nullptr;
}

void TToolbarItemButton::SetChecked(bool value)
{
    if (auto* buttons = dynamic_cast<TToolbarItemButtons*>(GetCollection()))
        buttons->CheckButton(this, value);
    else
        FChecked = value;
    Changed();
}

void TToolbarItemButton::SetGlyph(const TBitmap* value) { FGlyph->Assign(value); }

void TToolbarItemButton::SetDivider(bool value)
{
    FDivider = value;
    Changed();
}

void TToolbarItemButton::GlyphChanged(TObject*) { Changed(); }

void TToolbarItemButton::Changed()
{
    if (TToolbarItem* item = GetItem())
        item->ButtonChanged(GetIndex());
}

const TPropertyTable& TToolbarItemButton::ClassProperties()
{
    using C = TToolbarItemButton;
    static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                            .Enumeration("Checked", &C::GetChecked, &C::SetChecked, Booleans())
                                            .Object("Glyph", &C::GetGlyph, &C::SetGlyph)
                                            .String("Text", &C::GetText, &C::SetText)
                                            .Enumeration("AutoCheck", &C::GetAutoCheck, &C::SetAutoCheck, Booleans())
                                            .Enumeration("Divider", &C::GetDivider, &C::SetDivider, Booleans());
    return table;
}

const TPropertyTable& TToolbarItemButton::GetPropertyTable() const { return ClassProperties(); }

// ---- TToolbarItemButtons ----------------------------------------------------------------------------------

TToolbarItemButtons::TToolbarItemButtons(TToolbarItem* item)
    : TCollection(TCollectionItemClass::Of<TToolbarItemButton>()), FItem(item)
{}

TPersistent* TToolbarItemButtons::GetOwner() const { return FItem; }

TToolbarItemButton* TToolbarItemButtons::GetButton(int index) const
{
    return static_cast<TToolbarItemButton*>(GetItem(index));
}

int TToolbarItemButtons::GetCheckedCount() const
{
    int count = 0;
    for (int i = 0; i < GetCount(); ++i)
        count += GetButton(i)->FChecked ? 1 : 0;
    return count;
}

void TToolbarItemButtons::CheckButton(TToolbarItemButton* button, bool checked)
{
    if (checked == button->FChecked)
        return;
    if (!checked && !FItem->GetAllowAllUp() && GetCheckedCount() == 1)
        return;
    button->FChecked = checked;
    if (FItem->GetGrouped() && checked) {
        for (int i = 0; i < GetCount(); ++i) {
            TToolbarItemButton* other = GetButton(i);
            if (other != button && other->FChecked) {
                other->FChecked = false;
                FItem->ButtonChanged(i);
            }
        }
    }
    FItem->ButtonClick(button->GetIndex());
}

// ---- TToolbarItem -----------------------------------------------------------------------------------------

TToolbarItem::TToolbarItem(TComponent* owner)
    : TCustomPropertyItem(owner), FButtons(std::make_unique<TToolbarItemButtons>(this))
{
    // Not CreateButtons of a descendant here: each fixed-button class makes its buttons in its own
    // constructor, when its override is the one that runs.
}

TToolbarItem::~TToolbarItem() { FButtons->Clear(); }

void TToolbarItem::CreateButtons() {}

void TToolbarItem::AddGlyphButton(const std::string& text, std::string_view resourceName)
{
    TToolbarItemButton* button = AddButton(text, true);
    LoadResourceBitmap(button->GetGlyph(), resourceName);
}

TItemDisplayClass TToolbarItem::GetDisplayClass() const { return TItemDisplayClass::Of<TToolbarItemDisplay>(); }

std::string TToolbarItem::GetAsString() const
{
    std::string text;
    for (int i = 0; i < ButtonCount(); ++i) {
        const TToolbarItemButton* button = FButtons->GetButton(i);
        if (!button->GetChecked())
            continue;
        if (!text.empty())
            text += ',';
        text += button->GetText();
    }
    return text;
}

void TToolbarItem::SetAsString(const std::string& value)
{
    for (int i = 0; i < ButtonCount(); ++i) {
        const std::string& text = FButtons->GetButton(i)->GetText();
        // A button without text (a divider) occurs in no value.
        SetButtonChecked(i, !text.empty() && value.find(text) != std::string::npos);
    }
    TCustomPropertyItem::SetAsString(value);
}

TToolbarItemButton* TToolbarItem::AddButton(const std::string& text, bool autoCheck)
{
    auto* button = static_cast<TToolbarItemButton*>(FButtons->Add());
    button->SetText(text);
    button->SetAutoCheck(autoCheck);
    return button;
}

int TToolbarItem::ButtonCount() const { return FButtons->GetCount(); }

bool TToolbarItem::ButtonChecked(int index) const { return FButtons->GetButton(index)->GetChecked(); }

void TToolbarItem::SetButtonChecked(int index, bool checked)
{
    FButtons->GetButton(index)->SetChecked(checked);
    SaveToAssociate();
    Changed(icValue);
}

void TToolbarItem::ButtonChanged(int index) { Changed(icButton, index); }

void TToolbarItem::ButtonClick(int index) { Changed(icButtonClick, index); }

void TToolbarItem::SetButtons(const TToolbarItemButtons* value) { FButtons->Assign(value); }

void TToolbarItem::SetShowText(bool value)
{
    FShowText = value;
    Changed(icToolbarText);
}

void TToolbarItem::SetAlignment(TButtonsAlignment value)
{
    FAlignment = value;
    Changed(icValueLook);
}

void TToolbarItem::SetButtonWidth(int value)
{
    FButtonWidth = value;
    Changed(icValueLook);
}

void TToolbarItem::SetDrawBackground(bool value)
{
    FDrawBackground = value;
    Changed(icValueLook);
}

const TPropertyTable& TToolbarItem::ClassProperties()
{
    using C = TToolbarItem;
    static const TPropertyTable table =
        TPropertyTable(&TCustomPropertyItem::ClassProperties())
            .Object("Buttons", &C::GetButtons, &C::SetButtons)
            .Enumeration("AllowAllUp", &C::GetAllowAllUp, &C::SetAllowAllUp, Booleans())
            .Enumeration("Grouped", &C::GetGrouped, &C::SetGrouped, Booleans())
            .Enumeration("ShowText", &C::GetShowText, &C::SetShowText, Booleans())
            .Enumeration("Alignment", &C::GetAlignment, &C::SetAlignment, {"baLeftJustify", "baRightJustify"})
            .Integer("ButtonWidth", &C::GetButtonWidth, &C::SetButtonWidth)
            .Enumeration("DrawBackground", &C::GetDrawBackground, &C::SetDrawBackground, Booleans());
    return table;
}

const TPropertyTable& TToolbarItem::GetPropertyTable() const { return ClassProperties(); }

// ---- The fixed-button rows --------------------------------------------------------------------------------

TCheckBoxItem::TCheckBoxItem(TComponent* owner) : TToolbarItem(owner)
{
    SetAllowAllUp(true);
    CreateButtons();
}

void TCheckBoxItem::CreateButtons() { AddGlyphButton("true", "CHECKMARK"); }

TItemDisplayClass TCheckBoxItem::GetDisplayClass() const { return TItemDisplayClass::Of<TCheckBoxItemDisplay>(); }

bool TCheckBoxItem::GetAsBoolean() const { return ButtonCount() > 0 && ButtonChecked(0); }

void TCheckBoxItem::SetAsBoolean(bool value)
{
    SetButtonChecked(0, value);
    TToolbarItem::SetAsBoolean(value);
}

std::string TCheckBoxItem::TrueWord() const
{
    switch (FTextKind) {
    case tkYesNo: return "yes";
    case tkEnabledDisabled: return "enabled";
    case tkCustom: return FTrueText.empty() ? "true" : FTrueText;
    default: return "true";
    }
}

std::string TCheckBoxItem::FalseWord() const
{
    switch (FTextKind) {
    case tkYesNo: return "no";
    case tkEnabledDisabled: return "disabled";
    case tkCustom: return FFalseText.empty() ? "false" : FFalseText;
    default: return "false";
    }
}

std::string TCheckBoxItem::GetAsString() const { return GetAsBoolean() ? TrueWord() : FalseWord(); }

void TCheckBoxItem::SetAsString(const std::string& value)
{
    TToolbarItem::SetAsString(value);
    // The word GetAsString gives, so that a value read and written back stays as it was.
    SetButtonChecked(0, value == TrueWord());
}

void TCheckBoxItem::SetButtonChecked(int index, bool checked)
{
    TToolbarItem::SetButtonChecked(index, checked);
    Changed(icCheckLook);
    if (!GetComponentState().Contains(csReading))
        SaveToAssociate();
}

void TCheckBoxItem::SetTextKind(TCheckBoxTextKind value)
{
    FTextKind = value;
    Changed(icCheckLook);
}

void TCheckBoxItem::SetTrueText(const std::string& value)
{
    FTrueText = value;
    Changed(icCheckLook);
}

void TCheckBoxItem::SetFalseText(const std::string& value)
{
    FFalseText = value;
    Changed(icCheckLook);
}

void TCheckBoxItem::SetStyle(TCheckBoxStyle value)
{
    FStyle = value;
    Changed(icCheckLook);
}

void TCheckBoxItem::SetFlatStyle(bool value)
{
    FFlatStyle = value;
    Changed(icCheckLook);
}

const TPropertyTable& TCheckBoxItem::ClassProperties()
{
    using C = TCheckBoxItem;
    static const TPropertyTable table =
        TPropertyTable(&TToolbarItem::ClassProperties())
            .Enumeration("TextKind", &C::GetTextKind, &C::SetTextKind,
                         {"tkTrueFalse", "tkYesNo", "tkEnabledDisabled", "tkCustom"})
            .String("TrueText", &C::GetTrueText, &C::SetTrueText)
            .String("FalseText", &C::GetFalseText, &C::SetFalseText)
            .Enumeration("Style", &C::GetStyle, &C::SetStyle, {"bsButton", "bsCheckMark"})
            .Enumeration("FlatStyle", &C::GetFlatStyle, &C::SetFlatStyle, Booleans());
    return table;
}

const TPropertyTable& TCheckBoxItem::GetPropertyTable() const { return ClassProperties(); }

TAlignmentItem::TAlignmentItem(TComponent* owner) : TToolbarItem(owner)
{
    SetGrouped(true);
    SetAllowAllUp(true);
    CreateButtons();
}

void TAlignmentItem::CreateButtons()
{
    AddGlyphButton("left", "ALIGNMENTLEFT");
    AddGlyphButton("center", "ALIGNMENTCENTER");
    AddGlyphButton("right", "ALIGNMENTRIGHT");
    AddGlyphButton("justify", "ALIGNMENTJUSTIFY");
}

TVertAlignmentItem::TVertAlignmentItem(TComponent* owner) : TToolbarItem(owner)
{
    SetGrouped(true);
    SetAllowAllUp(true);
    CreateButtons();
}

void TVertAlignmentItem::CreateButtons()
{
    AddGlyphButton("top", "ALIGNMENTTOP");
    AddGlyphButton("middle", "ALIGNMENTMIDDLE");
    AddGlyphButton("bottom", "ALIGNMENTBOTTOM");
}

TFontStyleItem::TFontStyleItem(TComponent* owner) : TToolbarItem(owner)
{
    SetAllowAllUp(true);
    CreateButtons();
}

void TFontStyleItem::CreateButtons()
{
    AddGlyphButton("bold", "FONTSTYLEBOLD");
    AddGlyphButton("italic", "FONTSTYLEITALIC");
    AddGlyphButton("underline", "FONTSTYLEUNDERLINE");
}

// ---- TTrackBarItem ----------------------------------------------------------------------------------------

TItemDisplayClass TTrackBarItem::GetDisplayClass() const { return TItemDisplayClass::Of<TTrackBarItemDisplay>(); }

std::string TTrackBarItem::GetAsString() const { return IntToStr(FPosition); }

void TTrackBarItem::SetAsInteger(int value)
{
    // Max first, then Min: with Max ≤ Min the position rests at Min, where the thumb is drawn.
    value = std::max(std::min(value, FMax), FMin);
    if (value == FPosition)
        return;
    FPosition = value;
    TCustomPropertyItem::SetAsInteger(value);
}

void TTrackBarItem::SetAsFloat(double value) { SetAsInteger(RoundToInt(value)); }

void TTrackBarItem::SetAsString(const std::string& value) { SetAsInteger(StrToInt(value)); }

void TTrackBarItem::SetPosition(int value)
{
    SetAsInteger(value);
    Changed(icValueLook);
}

void TTrackBarItem::SetMin(int value)
{
    if (value >= 0 && value < FMax)
        FMin = value;
    KeepPositionInBounds();
}

void TTrackBarItem::SetMax(int value)
{
    FMax = value;
    KeepPositionInBounds();
}

void TTrackBarItem::KeepPositionInBounds()
{
    const int position = std::max(std::min(FPosition, FMax), FMin);
    if (position == FPosition)
        return;
    // A bound that moves the position changes the value: the row and a bound property follow.
    FPosition = position;
    TCustomPropertyItem::SetAsInteger(position);
}

void TTrackBarItem::SetShowText(bool value)
{
    FShowText = value;
    Changed(icValueLook);
}

void TTrackBarItem::SetTextAfter(const std::string& value)
{
    FTextAfter = value;
    Changed(icValueLook);
}

const TPropertyTable& TTrackBarItem::ClassProperties()
{
    using C = TTrackBarItem;
    // Min and Max before Position, so that a position read back finds its bounds in place.
    static const TPropertyTable table = TPropertyTable(&TCustomPropertyItem::ClassProperties())
                                            .Integer("Min", &C::GetMin, &C::SetMin)
                                            .Integer("Max", &C::GetMax, &C::SetMax)
                                            .Integer("Position", &C::GetPosition, &C::SetPosition)
                                            .Integer("Margin", &C::GetMargin, &C::SetMargin)
                                            .Enumeration("ShowText", &C::GetShowText, &C::SetShowText, Booleans())
                                            .String("TextAfter", &C::GetTextAfter, &C::SetTextAfter);
    return table;
}

const TPropertyTable& TTrackBarItem::GetPropertyTable() const { return ClassProperties(); }

// ---- TRadioItem -------------------------------------------------------------------------------------------

TItemDisplayClass TRadioItem::GetDisplayClass() const { return TItemDisplayClass::Of<TRadioItemDisplay>(); }

void TRadioItem::SetAsBoolean(bool value)
{
    SetChecked(value);
    TCustomPropertyItem::SetAsBoolean(value);
}

std::string TRadioItem::GetAsString() const { return FChecked ? "true" : "false"; }

void TRadioItem::SetAsString(const std::string& value)
{
    SetChecked(LowerCase(value) == "true");
    TCustomPropertyItem::SetAsString(value);
}

void TRadioItem::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    FChecked = value;
    SetAsString(value ? "True" : "False");
    TPropertyItems* list = GetOwningList();
    if (GetView() == nullptr || list == nullptr)
        return;
    for (int i = 0; i < list->GetCount(); ++i) {
        auto* sibling = dynamic_cast<TRadioItem*>(list->GetItem(i));
        if (sibling == nullptr || sibling == this)
            continue;
        // The flag first: SetChecked(False) on a sibling would in turn uncheck this item.
        sibling->FChecked = false;
        sibling->SetAsString("False");
    }
}

void TRadioItem::SetFlatStyle(bool value)
{
    FFlatStyle = value;
    Changed(icCheckLook);
}

const TPropertyTable& TRadioItem::ClassProperties()
{
    using C = TRadioItem;
    static const TPropertyTable table = TPropertyTable(&TCustomPropertyItem::ClassProperties())
                                            .Enumeration("Checked", &C::GetChecked, &C::SetChecked, Booleans())
                                            .Enumeration("FlatStyle", &C::GetFlatStyle, &C::SetFlatStyle, Booleans());
    return table;
}

const TPropertyTable& TRadioItem::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::inspector
