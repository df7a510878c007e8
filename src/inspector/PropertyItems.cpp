#include "inspector/PropertyItems.h"

#include "inspector/CellEditors.h"
#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/WebColors.h"

#include "toolkit/Filer.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

// ---- Rows -------------------------------------------------------------------------------------------------

int VisibleRowCount(const TPropertyItems* list)
{
    int count = 0;
    WalkRows(list, [&](TCustomPropertyItem*) {
        ++count;
        return true;
    });
    return count;
}

TCustomPropertyItem* RowAt(const TPropertyItems* list, int y, int pitch, int topRow)
{
    TCustomPropertyItem* found = nullptr;
    int top = -topRow * pitch;
    WalkRows(list, [&](TCustomPropertyItem* item) {
        if (y >= top && y < top + pitch) {
            found = item;
            return false;
        }
        top += pitch;
        return top <= y;  // rows only go down from here
    });
    return found;
}

TCustomPropertyItem* NextRow(const TCustomPropertyItem* item)
{
    TCustomPropertyItem* next = nullptr;
    bool passed = false;
    WalkRows(item != nullptr ? item->GetTopList() : nullptr, [&](TCustomPropertyItem* row) {
        if (passed) {
            next = row;
            return false;
        }
        passed = row == item;
        return true;
    });
    return next;
}

TCustomPropertyItem* PreviousRow(const TCustomPropertyItem* item)
{
    TCustomPropertyItem* previous = nullptr;
    TCustomPropertyItem* last = nullptr;
    WalkRows(item != nullptr ? item->GetTopList() : nullptr, [&](TCustomPropertyItem* row) {
        if (row == item) {
            previous = last;
            return false;
        }
        last = row;
        return true;
    });
    return previous;
}

bool IPropertiesView::FindShownRow(const TCustomPropertyItem*, int&) const { return false; }

TComponent* IPropertiesView::GetAssociate() const { return nullptr; }

// ---- TCustomPropertyItem ----------------------------------------------------------------------------------

TCustomPropertyItem::TCustomPropertyItem(TComponent* owner)
    : TComponent(nullptr), FFont(std::make_unique<TFont>()), FItems(std::make_unique<TPropertyItems>(this)),
      FSuffixes(std::make_unique<TStringList>()), FValueFont(std::make_unique<TFont>())
{
    FFont->OnChange = TNotifyEvent(this, &TCustomPropertyItem::FontChanged);
    FValueFont->OnChange = TNotifyEvent(this, &TCustomPropertyItem::FontChanged);
    if (auto* list = dynamic_cast<TPropertyItems*>(owner))
        list->Append(this);
}

TCustomPropertyItem::~TCustomPropertyItem()
{
    if (FOwningList != nullptr)
        FOwningList->Remove(this);
    FSuffixes->Clear();
}

void TCustomPropertyItem::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    Changed(icDestroying);
    // The children go while this item is still whole, so their reports can climb through it.
    if (FItems->GetCount() > 0)
        FItems->Clear();
}

void TCustomPropertyItem::Assign(const TPersistent* source)
{
    const auto* item = dynamic_cast<const TCustomPropertyItem*>(source);
    if (item == nullptr) {
        TComponent::Assign(source);
        return;
    }
    SetCaption(item->FCaption);
    SetEmptyValue(item->FEmptyValue);
    SetEnabled(item->FEnabled);
    SetExpanded(item->FExpanded);
    SetFont(item->FFont.get());
    SetImageIndex(item->FImageIndex);
    SetReadOnly(item->FReadOnly);
    SetSuffixes(*item->FSuffixes);
    SetSuffixValue(item->FSuffixValue);
    SetValue(item->GetValue());
    SetValueFont(item->FValueFont.get());
}

// -- Tree ---------------------------------------------------------------------------------------------------

TCustomPropertyItem* TCustomPropertyItem::GetParentItem() const
{
    return FOwningList != nullptr ? FOwningList->GetOwnerItem() : nullptr;
}

const TPropertyItems* TCustomPropertyItem::GetTopList() const
{
    const TCustomPropertyItem* top = this;
    while (TCustomPropertyItem* parent = top->GetParentItem())
        top = parent;
    return top->FOwningList;
}

IPropertiesView* TCustomPropertyItem::GetView() const
{
    const TPropertyItems* top = GetTopList();
    return top != nullptr ? dynamic_cast<IPropertiesView*>(top->GetOwner()) : nullptr;
}

int TCustomPropertyItem::GetCount() const { return FItems->GetCount(); }

int TCustomPropertyItem::GetIndex() const { return FOwningList != nullptr ? FOwningList->IndexOf(this) : -1; }

int TCustomPropertyItem::GetLevel() const
{
    int level = 0;
    for (const TCustomPropertyItem* parent = GetParentItem(); parent != nullptr; parent = parent->GetParentItem())
        ++level;
    return level;
}

int TCustomPropertyItem::GetIndent() const
{
    const int level = GetLevel();
    return level >= 2 ? (level - 1) * 14 : 0;
}

int TCustomPropertyItem::GetAbsoluteIndex() const
{
    int index = 0;
    const bool missed = WalkItems(GetTopList(), [&](TCustomPropertyItem* item) {
        if (item == this)
            return false;
        ++index;
        return true;
    });
    return missed ? -1 : index;
}

int TCustomPropertyItem::GetParentIndex() const
{
    const TCustomPropertyItem* parent = GetParentItem();
    return parent != nullptr ? parent->GetAbsoluteIndex() : -1;
}

bool TCustomPropertyItem::ShownRowOffset(int& offset) const
{
    const IPropertiesView* view = GetView();
    if (view == nullptr)
        return false;
    const int pitch = view->GetRowPitch();
    if (int row = -1; view->FindShownRow(this, row)) {
        offset = row * pitch;
        return row >= 0;
    }
    offset = 0;
    const bool missed = WalkRows(GetTopList(), [&](TCustomPropertyItem* item) {
        if (item == this)
            return false;
        offset += pitch;
        return true;
    });
    return !missed;
}

int TCustomPropertyItem::GetRowTop() const
{
    int offset = 0;
    if (!ShownRowOffset(offset))
        return -1;
    const IPropertiesView* view = GetView();
    return offset - view->GetTopRow() * view->GetRowPitch();
}

bool TCustomPropertyItem::AncestorsExpanded() const
{
    const TCustomPropertyItem* parent = GetParentItem();
    return parent == nullptr || (parent->GetExpanded() && parent->AncestorsExpanded());
}

TRect TCustomPropertyItem::GetCellRect(int part) const
{
    TRect r{};
    int offset = 0;
    if (!ShownRowOffset(offset))
        return r;
    const IPropertiesView* view = GetView();
    const int top = offset - view->GetTopRow() * view->GetRowPitch();
    const int s = view->GetSplitterPosition();
    const int w = view->GetRowWidth();
    // Preview and suffix count only for textual rows.
    const bool textual = dynamic_cast<const TTextualItem*>(this) != nullptr;
    const bool preview = textual && FShowPreview;
    const bool suffix = textual && FShowSuffix;
    const auto span = [&](int left, int right) { r = TRect{left, top, right, top + view->GetRowHeight()}; };
    switch (part) {
    case ipRow: span(0, w); break;
    case ipRightOfMargin: span(14, w); break;
    case ipMarginAndIndent: span(0, GetIndent() + 14); break;
    case ipPreviewBox:
        if (preview)
            span(s + 1, s + 30);
        break;
    case ipSplitLine: span(s, s + 1); break;
    case ipSuffixCell:
        if (suffix)
            span(w - view->GetSuffixWidth(), w);
        break;
    case ipValueText:
        if (textual)
            span(preview ? s + 30 : s + 1, suffix ? w - view->GetSuffixWidth() : w);
        break;
    case ipValueCell:
        if (GetLevel() > 0)
            span(s + 1, w);
        break;
    default: break;
    }
    return r;
}

void TCustomPropertyItem::Changed(std::uint8_t kind, int index)
{
    if (GetComponentState().Contains(csReading) || FOwningList == nullptr || GetView() == nullptr)
        return;
    FOwningList->ItemChanged(this, index, kind);
}

void TCustomPropertyItem::FontChanged(TObject*) { Changed(icRow); }

// -- Properties ---------------------------------------------------------------------------------------------

void TCustomPropertyItem::SetCaption(const std::string& value)
{
    FCaption = value;
    Changed(icRow);
}

void TCustomPropertyItem::SetColor(TColor value)
{
    FColor = value;
    Changed(icRow);
    Changed(icValueLook);
}

void TCustomPropertyItem::SetEmptyValue(const std::string& value)
{
    // A new placeholder of any kind repaints, not only an emptied one.
    if (value == FEmptyValue)
        return;
    FEmptyValue = value;
    Changed(icValueLook);
}

void TCustomPropertyItem::SetEnabled(bool value)
{
    FEnabled = value;
    Changed(icEnabled);
}

void TCustomPropertyItem::SetExpanded(bool value)
{
    if (FExpandLock || value == FExpanded)
        return;
    FExpanded = value;
    TPropertyItems::ShapeChanged();
    Changed(value ? icExpanded : icCollapsed);
}

void TCustomPropertyItem::SetFont(const TFont* value) { FFont->Assign(value); }

void TCustomPropertyItem::SetImageIndex(int value)
{
    FImageIndex = value;
    Changed(icRow);
}

void TCustomPropertyItem::SetMapProperty(const std::string& value)
{
    FMapProperty = value;
    LoadFromAssociate();
}

void TCustomPropertyItem::SetReadOnly(bool value)
{
    FReadOnly = value;
    Changed(icValueLook);
}

void TCustomPropertyItem::SetShowPreview(bool value)
{
    FShowPreview = value;
    Changed(icValueLook);
}

void TCustomPropertyItem::SetShowSuffix(bool value)
{
    if (value == FShowSuffix)
        return;
    FShowSuffix = value;
    Changed(icValueLook);
}

void TCustomPropertyItem::SetSuffixes(const TStrings& value) { FSuffixes->Assign(value); }

void TCustomPropertyItem::SetSuffixValue(const std::string& value)
{
    FSuffixValue = value;
    Changed(icSuffixValue);
}

void TCustomPropertyItem::SetValueFont(const TFont* value)
{
    FValueFont->Assign(value);
    Changed(icValueLook);
}

void TCustomPropertyItem::SetVisible(bool value)
{
    FVisible = value;
    TPropertyItems::ShapeChanged();
    Changed(icVisible);
}

std::string TCustomPropertyItem::GetFullText() const { return GetValue() + FSuffixValue; }

TItemDisplay* TCustomPropertyItem::GetDisplay() const
{
    if (!FDisplay)
        FDisplay.reset(GetDisplayClass().Create(const_cast<TCustomPropertyItem*>(this)));
    return FDisplay.get();
}

TCellEditor* TCustomPropertyItem::GetEditor() const
{
    if (!FEditorMade) {
        FEditorMade = true;
        if (const TCellEditorClass editorClass = GetEditorClass()) {
            FEditor = editorClass.Create(const_cast<TCustomPropertyItem*>(this));
            FEditor->SetVisible(false);
        }
    }
    return FEditor;
}

TComboBoxEditor* TCustomPropertyItem::GetSuffixEditor() const
{
    if (FSuffixEditor == nullptr) {
        FSuffixEditor = new TComboBoxEditor(const_cast<TCustomPropertyItem*>(this));
        FSuffixEditor->SetVisible(false);
    }
    return FSuffixEditor;
}

// -- Value and editors --------------------------------------------------------------------------------------

bool TCustomPropertyItem::GetAsBoolean() const { return false; }
double TCustomPropertyItem::GetAsFloat() const { return 0; }
int TCustomPropertyItem::GetAsInteger() const { return 0; }
std::string TCustomPropertyItem::GetAsString() const { return std::string(); }
TItemDisplayClass TCustomPropertyItem::GetDisplayClass() const { return TItemDisplayClass::Of<TItemDisplay>(); }
TCellEditorClass TCustomPropertyItem::GetEditorClass() const { return TCellEditorClass(); }
std::string TCustomPropertyItem::GetValue() const { return GetAsString(); }
bool TCustomPropertyItem::HasPreview() const { return false; }

void TCustomPropertyItem::SetAsBoolean(bool)
{
    Changed(icValue);
    SaveToAssociate();
}

void TCustomPropertyItem::SetAsFloat(double)
{
    Changed(icValue);
    SaveToAssociate();
}

void TCustomPropertyItem::SetAsInteger(int)
{
    Changed(icValue);
    SaveToAssociate();
}

void TCustomPropertyItem::SetAsString(const std::string&)
{
    Changed(icValue);
    SaveToAssociate();
}

void TCustomPropertyItem::SetValue(const std::string& value) { SetAsString(value); }

bool TCustomPropertyItem::CanEdit() const { return false; }

void TCustomPropertyItem::ShowEditor()
{
    TCellEditor* editor = GetEditor();
    if (editor == nullptr)
        return;
    editor->SetEmbedded(true);
    editor->SetBorderStyle(TBorderStyle::bsNone);
    editor->SetColor(FColor);
    editor->GetFont()->Assign(FValueFont.get());
    editor->SetMargin(1);
    editor->SelectAll();
    editor->Show();
}

void TCustomPropertyItem::ShowSuffixEditor()
{
    TComboBoxEditor* editor = GetSuffixEditor();
    editor->SetBorderStyle(TBorderStyle::bsNone);
    editor->SetColor(FColor);
    editor->GetFont()->Assign(FValueFont.get());
    editor->SetItems(*FSuffixes);
    editor->Show();
}

void TCustomPropertyItem::HideEditor()
{
    if (FEditor != nullptr)
        FEditor->Hide();
}

void TCustomPropertyItem::HideSuffixEditor()
{
    if (FSuffixEditor != nullptr)
        FSuffixEditor->Hide();
}

// -- Binding ------------------------------------------------------------------------------------------------

void TCustomPropertyItem::ResolvePropertyPath(TPersistent*& instance, std::string& name)
{
    for (std::size_t dot = name.find('.'); instance != nullptr && !name.empty() && dot != std::string::npos;
         dot = name.find('.')) {
        const TPropInfo* info = GetPropInfo(instance, std::string_view(name).substr(0, dot));
        instance = info != nullptr && info->Kind == TTypeKind::tkClass ? info->GetObject(*instance) : nullptr;
        name.erase(0, dot + 1);
    }
}

namespace {

// The bound property of an item: the object that holds it and its entry; none when the path leads nowhere.
struct Bound {
    TPersistent* Instance = nullptr;
    const TPropInfo* Info = nullptr;
    std::string Name;  // the last name of the path
};

Bound Resolve(const TCustomPropertyItem& item)
{
    Bound bound;
    const IPropertiesView* view = item.GetView();
    if (view == nullptr || item.GetMapProperty().empty())
        return bound;
    bound.Name = item.GetMapProperty();
    bound.Instance = view->GetAssociate();
    if (bound.Instance == nullptr)
        return bound;
    TCustomPropertyItem::ResolvePropertyPath(bound.Instance, bound.Name);
    if (bound.Instance != nullptr)
        bound.Info = GetPropInfo(bound.Instance, bound.Name);
    return bound;
}

// The colour of a colour row's text, and the text of a colour, in the row's own format.
bool IsWebColorItem(const TCustomPropertyItem& item)
{
    const auto* color = dynamic_cast<const TColorItem*>(&item);
    return color != nullptr && color->GetColorKind() == ckWeb;
}

}  // namespace

void TCustomPropertyItem::LoadFromAssociate()
{
    const Bound bound = Resolve(*this);
    if (bound.Info != nullptr) {
        TPersistent& instance = *bound.Instance;
        const TPropInfo& info = *bound.Info;
        const TItemState saved = FState;
        FState = FState + TItemState{isLoading};
        try {
            switch (info.Kind) {
            case TTypeKind::tkInteger:
                if (dynamic_cast<TColorItem*>(this) != nullptr) {
                    const auto color = static_cast<TColor>(info.GetOrd(instance));
                    SetAsString(IsWebColorItem(*this) ? ColorToWebColor(color) : ColorToString(color));
                } else {
                    SetAsInteger(static_cast<int>(info.GetOrd(instance)));
                }
                break;
            case TTypeKind::tkEnumeration: {
                const std::string name = GetEnumProp(instance, info.Name);
                if (dynamic_cast<TCheckBoxItem*>(this) != nullptr)
                    SetAsBoolean(name == "True");
                else
                    SetAsString(name);
                break;
            }
            case TTypeKind::tkFloat: SetAsFloat(info.GetFloat(instance)); break;
            case TTypeKind::tkString: SetAsString(info.GetString(instance)); break;
            case TTypeKind::tkSet: SetAsString(SetToString(info, info.GetOrd(instance), false)); break;
            default: break;
            }
        } catch (...) {
            FState = saved;
            throw;
        }
        FState = saved;
    }
    if (FCaption.empty() && !bound.Name.empty())
        SetCaption(bound.Name);
}

void TCustomPropertyItem::SaveToAssociate()
{
    if (FState.Contains(isLoading))
        return;
    const Bound bound = Resolve(*this);
    if (bound.Info == nullptr || !bound.Info->IsWritable())
        return;
    TPersistent& instance = *bound.Instance;
    const TPropInfo& info = *bound.Info;
    switch (info.Kind) {
    case TTypeKind::tkInteger:
        if (dynamic_cast<TColorItem*>(this) != nullptr) {
            const std::string text = GetAsString();
            // Web colour text reads in its own format; text that is no colour of it fails as other text does.
            TColor color = clNone;
            if (IsWebColorItem(*this)) {
                color = WebColorToColor(text);
                if (color == clNone)
                    throw EConvertError("'" + text + "' is not a valid web colour");
            } else {
                color = StringToColor(text);
            }
            info.SetOrd(instance, color);
        } else {
            info.SetOrd(instance, GetAsInteger());
        }
        break;
    case TTypeKind::tkEnumeration:
        if (dynamic_cast<TCheckBoxItem*>(this) != nullptr)
            SetEnumProp(instance, info.Name, GetAsBoolean() ? "True" : "False");
        else
            SetEnumProp(instance, info.Name, GetAsString());
        break;
    case TTypeKind::tkFloat: info.SetFloat(instance, GetAsFloat()); break;
    case TTypeKind::tkString: info.SetString(instance, GetAsString()); break;
    case TTypeKind::tkSet: info.SetOrd(instance, StringToSet(info, GetAsString())); break;
    default: break;
    }
}

void TCustomPropertyItem::AssociateChanged() { LoadFromAssociate(); }

const TPropertyTable& TCustomPropertyItem::ClassProperties()
{
    using C = TCustomPropertyItem;
    static const std::vector<std::string> booleans{"False", "True"};
    static const TPropertyTable table =
        TPropertyTable(&TComponent::ClassProperties())
            .Integer("AbsoluteIndex", &C::GetAbsoluteIndex, nullptr)
            .String("Caption", &C::GetCaption, &C::SetCaption)
            .Integer("Color", &C::GetColor, &C::SetColor)
            .String("EmptyValue", &C::GetEmptyValue, &C::SetEmptyValue)
            .Enumeration("Enabled", &C::GetEnabled, &C::SetEnabled, booleans)
            .Enumeration("Expanded", &C::GetExpanded, &C::SetExpanded, booleans)
            .Enumeration("ExpandLock", &C::GetExpandLock, &C::SetExpandLock, booleans)
            .Object("Font", &C::GetFont, &C::SetFont)
            .String("FullText", &C::GetFullText, nullptr)
            .Integer("HelpContext", &C::GetHelpContext, &C::SetHelpContext)
            .Integer("ImageIndex", &C::GetImageIndex, &C::SetImageIndex)
            .Integer("Level", &C::GetLevel, nullptr)
            .String("MapProperty", &C::GetMapProperty, &C::SetMapProperty)
            .String("MapXML", &C::GetMapXML, &C::SetMapXML)
            .Enumeration("ReadOnly", &C::GetReadOnly, &C::SetReadOnly, booleans)
            .Enumeration("ShowPreview", &C::GetShowPreview, &C::SetShowPreview, booleans)
            .Enumeration("ShowSuffix", &C::GetShowSuffix, &C::SetShowSuffix, booleans)
            .Strings("Suffixes", &C::GetSuffixes, &C::SetSuffixes)
            .Enumeration("SuffixStyle", &C::GetSuffixStyle, &C::SetSuffixStyle, {"ssDropDown", "ssDropDownList"})
            .String("SuffixValue", &C::GetSuffixValue, &C::SetSuffixValue)
            .String("TagString", &C::GetTagString, &C::SetTagString)
            .String("Value", &C::GetValue, &C::SetValue)
            .Object("ValueFont", &C::GetValueFont, &C::SetValueFont)
            .Enumeration("Visible", &C::GetVisible, &C::SetVisible, booleans);
    return table;
}

const TPropertyTable& TCustomPropertyItem::GetPropertyTable() const { return ClassProperties(); }

// -- Streaming ----------------------------------------------------------------------------------------------

void TCustomPropertyItem::DefineProperties(TFiler& filer)
{
    TComponent::DefineProperties(filer);
    filer.DefineProperty(
        "ParentIndex", [this](TReader& reader) { FParentIndex = static_cast<int>(reader.ReadInteger()); },
        [this](TWriter& writer) { writer.WriteInteger(GetParentIndex()); }, true);
}

void TCustomPropertyItem::ReadState(TReader& reader)
{
    auto* grid = dynamic_cast<TCustomPropertiesView*>(reader.GetParent());
    if (grid == nullptr) {
        reader.SkipProperties();  // the stream goes on after them
        return;
    }
    FParentIndex = -1;
    TComponent::ReadState(reader);
    TPropertyItems* list = nullptr;
    if (FParentIndex == -1) {
        list = grid->GetCategories();
    } else if (TCustomPropertyItem* parent = grid->GetAbsoluteItem(FParentIndex)) {
        list = parent->GetItems();
    }
    // Pre-order puts every parent before its children: an index past what is there is a damaged stream.
    if (list == nullptr)
        throw EReadError(Format("Error reading stream: parent index %d names no item", {FParentIndex}));
    list->AddItem(this);
}

TComponent* TCustomPropertyItem::GetParentComponent() const
{
    return FOwningList != nullptr ? FOwningList->GetOwner() : nullptr;
}

// ---- TPropertyItems ---------------------------------------------------------------------------------------

TPropertyItems::TPropertyItems(TComponent* owner) : TComponent(nullptr), FOwner(owner) {}

TPropertyItems::~TPropertyItems()
{
    if (!FItems.empty())
        Clear();
}

TCustomPropertyItem* TPropertyItems::GetOwnerItem() const { return dynamic_cast<TCustomPropertyItem*>(FOwner); }

TCustomPropertyItem* TPropertyItems::Add(const TPropertyItemClass& itemClass, const std::string& caption,
                                         const std::string& value)
{
    TCustomPropertyItem* item = itemClass.Create(this);  // joins this list
    item->FCaption = caption;
    const IPropertiesView* view = item->GetView();
    if (view != nullptr) {
        item->SetColor(view->GetItemsColor());
        item->SetFont(view->GetItemsFont());
        item->SetValueFont(view->GetItemsFont());
    }
    if (item->GetParentItem() == nullptr) {
        TFont* font = item->GetFont();
        font->SetStyle(font->GetStyle() + TFontStyles{fsBold});
        font->SetColor(clGrayText);
    }
    if (!value.empty())
        item->SetValue(value);
    if (item->GetLevel() == 0)
        item->SetReadOnly(true);
    const auto* grid = dynamic_cast<const TComponent*>(view);
    if (grid == nullptr || !grid->GetComponentState().Contains(csReading))
        Changed();
    return item;
}

void TPropertyItems::Append(TCustomPropertyItem* item)
{
    ShapeChanged();
    item->FOwningList = this;
    FItems.push_back(item);
}

void TPropertyItems::AddItem(TCustomPropertyItem* item)
{
    if (item == nullptr)
        return;
    if (item->FOwningList != nullptr)
        item->FOwningList->Remove(item);
    Append(item);
}

void TPropertyItems::Remove(TCustomPropertyItem* item)
{
    ShapeChanged();
    item->FOwningList = nullptr;
    if (FClearing > 0 && FClearing <= FItems.size() && FItems[FClearing - 1] == item) {
        FItems[FClearing - 1] = nullptr;
        return;
    }
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    if (FClearing > 0)
        *it = nullptr;  // Clear walks the slots by position
    else
        FItems.erase(it);
}

TCustomPropertyItem* TPropertyItems::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)];
}

int TPropertyItems::IndexOf(const TCustomPropertyItem* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TPropertyItems::Clear()
{
    const std::size_t outer = FClearing;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        TCustomPropertyItem* item = FItems[i];
        if (item == nullptr)
            continue;
        FClearing = i + 1;
        item->FItems->Clear();
        delete item;
    }
    FClearing = outer;
    FItems.clear();
    ShapeChanged();
    Changed();
}

int TPropertyItems::GetAbsoluteCount() const
{
    int count = 0;
    WalkItems(this, [&](TCustomPropertyItem*) {
        ++count;
        return true;
    });
    return count;
}

TCustomPropertyItem* TPropertyItems::GetAbsoluteItem(int index) const
{
    TCustomPropertyItem* found = nullptr;
    int at = 0;
    WalkItems(this, [&](TCustomPropertyItem* item) {
        if (at++ == index) {
            found = item;
            return false;
        }
        return true;
    });
    return found;
}

void TPropertyItems::Changed()
{
    OnChange(this);
    if (TCustomPropertyItem* owner = GetOwnerItem(); owner != nullptr && owner->FOwningList != nullptr)
        owner->FOwningList->Changed();
}

void TPropertyItems::ItemChanged(TCustomPropertyItem* item, int index, std::uint8_t kind)
{
    if (item->GetComponentState().Contains(csReading))
        return;
    OnItemChange(this, item, index, kind);
    if (TCustomPropertyItem* owner = GetOwnerItem(); owner != nullptr && owner->FOwningList != nullptr)
        owner->FOwningList->ItemChanged(item, index, kind);
}

}  // namespace ovrel::inspector
