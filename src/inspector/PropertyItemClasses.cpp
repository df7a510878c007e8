#include "inspector/PropertyItemClasses.h"

#include "inspector/CellEditors.h"

#include "toolkit/SysUtils.h"

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

}  // namespace ovrel::inspector
