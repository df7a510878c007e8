#include "inspector/PropertiesView.h"

#include "inspector/CellEditors.h"
#include "inspector/Drawing.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/References_p.h"
#include "inspector/Themes.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

constexpr int MarginWidth = 14;  // the margin left of every caption, where the expand boxes of levels 0 and 1 sit

bool Contains(const TRect& r, TPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool Intersects(const TRect& a, const TRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Editable(const TCustomPropertyItem* item) { return item->GetEnabled() && !item->GetReadOnly(); }

// A press inside the box that expands and collapses the row.
bool InExpandBox(const TCustomPropertyItem* item, int x)
{
    return item->GetCount() > 0 && x > item->GetIndent() && x < item->GetIndent() + MarginWidth;
}

}  // namespace

struct TCustomPropertiesView::Cells {
    TRect Row;
    TRect Caption;
    TRect Value;  // ends at the suffix cell when the row shows one
    TRect Suffix;  // empty without
};

TCustomPropertiesView::TCustomPropertiesView(TComponent* owner) : TScrollView(owner)
{
    RegisterItemClasses();
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(GetLeft(), GetTop(), 245, 200);
    FSplitterPosition = GetClientWidth() / 2 + 7;
    FCategories = std::make_unique<TPropertyItems>(this);
    FCategories->OnItemChange = TItemChangeEvent(this, &TCustomPropertiesView::ItemChangeHandler);
    FCategories->OnChange = TNotifyEvent(this, &TCustomPropertiesView::RowsChanged);
}

TCustomPropertiesView::~TCustomPropertiesView()
{
    FCategories->Clear();
    FCategories.reset();
}

// ---- Geometry ---------------------------------------------------------------------------------------------

int TCustomPropertiesView::GetRowPitch() const
{
    // Never below 1: rows are found and counted by dividing by it.
    return std::max(1, FRowHeight + (FOptions.Contains(poGrid) ? 1 : 0));
}

int TCustomPropertiesView::GetTopRow() const { return GetVertScrollBar()->GetPosition(); }

int TCustomPropertiesView::GetVertScrollDelta(int oldPos, int newPos) { return (oldPos - newPos) * GetRowPitch(); }

TCustomPropertiesView::Cells TCustomPropertiesView::CellsOf(const TCustomPropertyItem* item, int top) const
{
    const int w = GetClientWidth();
    const int s = FSplitterPosition;
    const int bottom = top + FRowHeight;
    Cells cells;
    cells.Row = TRect{0, top, w, bottom};
    cells.Caption = TRect{MarginWidth, top, item->GetLevel() == 0 ? w : s, bottom};
    const int valueRight = item->GetShowSuffix() ? w - FSuffixWidth : w;
    cells.Value = TRect{s + 1, top, valueRight, bottom};
    if (item->GetShowSuffix())
        cells.Suffix = TRect{valueRight, top, w, bottom};
    return cells;
}

const TCustomPropertiesView::ShownRows& TCustomPropertiesView::GetShownRows() const
{
    const std::uint64_t version = TPropertyItems::GetShapeVersion();
    if (FShown.Version == version)
        return FShown;
    FShown.Rows.clear();
    WalkRows(FCategories.get(), [this](TCustomPropertyItem* row) {
        FShown.Rows.push_back(row);
        return true;
    });
    FShown.Index.clear();
    FShown.Index.reserve(FShown.Rows.size());
    for (std::size_t i = 0; i < FShown.Rows.size(); ++i)
        FShown.Index.emplace(FShown.Rows[i], static_cast<int>(i));
    FShown.Version = version;
    return FShown;
}

bool TCustomPropertiesView::FindShownRow(const TCustomPropertyItem* item, int& row) const
{
    const ShownRows& shown = GetShownRows();
    const auto it = shown.Index.find(item);
    row = it != shown.Index.end() ? it->second : -1;
    return true;
}

bool TCustomPropertiesView::InSplitterZone(int x) const
{
    return x >= FSplitterPosition - 2 && x < FSplitterPosition + 3;
}

int TCustomPropertiesView::GetAbsoluteCount() const { return FCategories->GetAbsoluteCount(); }

TCustomPropertyItem* TCustomPropertiesView::GetAbsoluteItem(int index) const
{
    return FCategories->GetAbsoluteItem(index);
}

int TCustomPropertiesView::VisibleRowCount() const { return static_cast<int>(GetShownRows().Rows.size()); }

int TCustomPropertiesView::MaxTopRow() const { return VisibleRowCount() - GetClientHeight() / GetRowPitch(); }

TCustomPropertyItem* TCustomPropertiesView::ItemAtPoint(TPoint point) const
{
    const std::vector<TCustomPropertyItem*>& rows = GetShownRows().Rows;
    const int pitch = GetRowPitch();
    // Floor division: a point above the client lies in a row scrolled away.
    const int band = point.y >= 0 ? point.y / pitch : -((-point.y + pitch - 1) / pitch);
    const long long row = static_cast<long long>(GetTopRow()) + band;
    return row >= 0 && row < static_cast<long long>(rows.size()) ? rows[static_cast<std::size_t>(row)] : nullptr;
}

TCustomPropertyItem* TCustomPropertiesView::NextVisibleItem(const TCustomPropertyItem* item) const
{
    if (item == nullptr)
        return nullptr;
    if (item->GetExpanded()) {
        const TPropertyItems* children = item->GetItems();
        for (int i = 0; i < children->GetCount(); ++i)
            if (TCustomPropertyItem* child = children->GetItem(i); child != nullptr && child->GetVisible())
                return child;
    }
    for (const TCustomPropertyItem* at = item; at != nullptr; at = at->GetParentItem()) {
        const TPropertyItems* list = at->GetOwningList();
        if (list == nullptr)
            return nullptr;
        for (int i = list->IndexOf(at) + 1; i < list->GetCount(); ++i)
            if (TCustomPropertyItem* next = list->GetItem(i); next != nullptr && next->GetVisible())
                return next;
    }
    return nullptr;
}

TCustomPropertyItem* TCustomPropertiesView::RowAbove(const TCustomPropertyItem* item) const
{
    const ShownRows& shown = GetShownRows();
    const auto it = shown.Index.find(item);
    return it != shown.Index.end() && it->second > 0 ? shown.Rows[static_cast<std::size_t>(it->second - 1)] : nullptr;
}

TCustomPropertyItem* TCustomPropertiesView::FirstRow() const
{
    const std::vector<TCustomPropertyItem*>& rows = GetShownRows().Rows;
    return rows.empty() ? nullptr : rows.front();
}

TCustomPropertyItem* TCustomPropertiesView::LastRow() const
{
    const std::vector<TCustomPropertyItem*>& rows = GetShownRows().Rows;
    return rows.empty() ? nullptr : rows.back();
}

// ---- Properties -------------------------------------------------------------------------------------------

template <class T> void TCustomPropertiesView::Store(T& field, T value, bool closeEditors)
{
    field = value;
    if (closeEditors)
        HideEditors();
    Invalidate();
}

void TCustomPropertiesView::SetAssociate(TComponent* value)
{
    if (value == FAssociate)
        return;
    SetReference(this, FAssociate, value);
    if (FAssociate == nullptr)
        return;
    WalkItems(FCategories.get(), [](TCustomPropertyItem* item) {
        if (!item->GetMapProperty().empty() && item->GetEnabled())
            item->AssociateChanged();
        return true;
    });
}

void TCustomPropertiesView::SetBorderStyle(TBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    RecreateWnd();
}

void TCustomPropertiesView::SetCategoriesColor(TColor value) { Store(FCategoriesColor, value, false); }

void TCustomPropertiesView::SetEnableVisualStyles(bool value) { Store(FEnableVisualStyles, value, false); }

void TCustomPropertiesView::SetGridColor(TColor value) { Store(FGridColor, value, false); }

void TCustomPropertiesView::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    SetReference(this, FImages, value);
    Invalidate();
}

void TCustomPropertiesView::SetMarginColor(TColor value) { Store(FMarginColor, value, false); }

void TCustomPropertiesView::SetOptions(TPropertyViewOptions value) { Store(FOptions, value, true); }

void TCustomPropertiesView::SetRowHeight(int value) { Store(FRowHeight, value, true); }

void TCustomPropertiesView::SetSplitterPosition(int value)
{
    FSplitterSet = true;
    value = value < 15 ? 14 : value;
    const bool changed = value != FSplitterPosition;
    FSplitterPosition = value;
    RefitEditor();
    if (changed)
        Invalidate();
}

void TCustomPropertiesView::SetStyle(TPropertiesStyle value) { Store(FStyle, value, false); }

void TCustomPropertiesView::SetSuffixWidth(int value) { Store(FSuffixWidth, value, true); }

void TCustomPropertiesView::Notification(TComponent* component, TOperation operation)
{
    TScrollView::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == FImages)
        FImages = nullptr;
    if (component == FAssociate)
        FAssociate = nullptr;
}

void TCustomPropertiesView::RegisterItemClasses()
{
    RegisterClasses(
        {TComponentClass::Of<TDateItem>(), TComponentClass::Of<TTrackBarItem>(), TComponentClass::Of<TTextualItem>(),
         TComponentClass::Of<TSpinItem>(), TComponentClass::Of<TComboBoxItem>(), TComponentClass::Of<TMemoItem>(),
         TComponentClass::Of<TCheckBoxItem>(), TComponentClass::Of<TColorItem>(), TComponentClass::Of<TFontNameItem>(),
         TComponentClass::Of<TFontStyleItem>(), TComponentClass::Of<TImageItem>(), TComponentClass::Of<TExecuteItem>(),
         TComponentClass::Of<TAlignmentItem>(), TComponentClass::Of<TToolbarItem>(),
         TComponentClass::Of<TVertAlignmentItem>(), TComponentClass::Of<TRadioItem>()});
}

// ---- Window -----------------------------------------------------------------------------------------------

void TCustomPropertiesView::CreateParams(TCreateParams& params)
{
    TScrollView::CreateParams(params);
    if (FBorderStyle == TBorderStyle::bsSingle)
        params.ExStyle |= ui::WS_EX_STATICEDGE;
    else
        params.ExStyle &= ~ui::WS_EX_STATICEDGE;
    params.ClassStyle &= ~ui::CS_VREDRAW;
}

void TCustomPropertiesView::CreateWnd()
{
    TScrollView::CreateWnd();
    GetHorzScrollBar()->SetVisible(false);
    GetVertScrollBar()->SetVisible(false);
    // The default only until a position is given: one set before the window exists, or by the user
    // before the window is made again, stays.
    if (!FSplitterSet)
        FSplitterPosition = GetClientWidth() / 2 + 7;
    SetVertClipRect(GetClientRect());
    GetVertScrollBar()->SetPageStep(4);
    FLastClientWidth = GetClientWidth();
    FLastClientHeight = GetClientHeight();
}

void TCustomPropertiesView::WMSize(TMessage& message)
{
    TScrollView::WMSize(message);
    if (!HandleAllocated())
        return;
    const int w = GetClientWidth();
    const int h = GetClientHeight();
    if (h != FLastClientHeight) {
        const TRect strip{0, std::min(h, FLastClientHeight), w, std::max(h, FLastClientHeight)};
        ui::InvalidateRect(GetHandle(), &strip, ui::FALSE);
    }
    if (w != FLastClientWidth) {
        const TRect strip{std::min(w, FLastClientWidth), 0, std::max(w, FLastClientWidth), h};
        ui::InvalidateRect(GetHandle(), &strip, ui::FALSE);
    }
    FLastClientWidth = w;
    FLastClientHeight = h;
    RefitEditor();
    UpdateScrollRange();
    SetVertClipRect(GetClientRect());
}

void TCustomPropertiesView::WMVScroll(TMessage& message)
{
    HideEditors();
    TScrollView::WMVScroll(message);
}

void TCustomPropertiesView::UpdateScrollRange()
{
    const int maxTop = MaxTopRow();
    TControlScrollBar* bar = GetVertScrollBar();
    bar->SetRange(maxTop);
    bar->SetVisible(maxTop > 0);
}

void TCustomPropertiesView::ScrollIntoView(const TCustomPropertyItem* item)
{
    UpdateScrollRange();
    const int top = item->GetRowTop();
    const int pitch = GetRowPitch();
    const int height = GetClientHeight();
    if (top >= 0 && top + pitch <= height)
        return;
    TControlScrollBar* bar = GetVertScrollBar();
    const int position = bar->GetPosition();
    const int row = top / pitch + position;  // tops are whole pitches from the first row
    const int target = top < 0 ? row : row + 1 - std::max(1, height / pitch);
    if (target == position - 1) {
        bar->LineUp();
    } else if (target == position + 1) {
        bar->LineDown();
    } else if (target != position) {
        HideEditors();
        bar->SetPosition(target);
        OnVerticalScroll(this, bar->GetPosition());
    }
}

// ---- Painting ---------------------------------------------------------------------------------------------

void TCustomPropertiesView::Paint()
{
    FWholeInvalid = false;
    TScrollView::Paint();
    if (GetComponentState().Contains(csReading))
        return;
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    UpdateScrollRange();
    const int w = GetClientWidth();
    const int pitch = GetRowPitch();
    const bool grid = FOptions.Contains(poGrid);
    const TRect clip = canvas->GetClipRect();
    canvas->GetBrush()->SetStyle(bsSolid);
    // Only the rows the paint covers are visited: the cost follows them, not the tree.
    const std::vector<TCustomPropertyItem*>& rows = GetShownRows().Rows;
    const int count = static_cast<int>(rows.size());
    const int top = GetTopRow();
    const int first = std::max(0, top + (clip.top > 0 ? clip.top / pitch : 0));
    const int firstTop = (first - top) * pitch;
    if (grid && first < count) {
        // The grid lines are what the rows leave of one fill behind them: every row covers its own band,
        // so two fills serve all the lines instead of two for each.
        const int linesEnd = std::min(clip.bottom, (count - top) * pitch);
        canvas->GetBrush()->SetColor(FMarginColor);
        canvas->FillRect(TRect{0, firstTop, MarginWidth, linesEnd});
        canvas->GetBrush()->SetColor(FGridColor);
        canvas->FillRect(TRect{MarginWidth, firstTop, w, linesEnd});
    }
    int i = first;
    int y = firstTop;
    for (; i < count && y < clip.bottom; ++i) {
        DrawItem(rows[static_cast<std::size_t>(i)]);
        y += pitch;
    }
    if (i == count && y < GetClientHeight()) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(TRect{0, y, w, GetClientHeight()});
    }
}

void TCustomPropertiesView::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    TScrollView::GetChildren(proc, root);
    WalkItems(FCategories.get(), [&](TCustomPropertyItem* item) {
        proc(item);
        return true;
    });
}

void TCustomPropertiesView::Invalidate()
{
    FWholeInvalid = HandleAllocated();
    TScrollView::Invalidate();
}

void TCustomPropertiesView::PrepareDisplay(TItemDisplay* display, const TCustomPropertyItem* item)
{
    display->BiDiMode = GetBiDiMode();
    display->SetColors(FSelectionColor, FCategoriesColor, FEnableVisualStyles && ThemesEnabled(), FGridColor,
                       FMarginColor);
    display->Selected = item == FSelectedItem;
    display->Canvas = GetCanvas();
    display->Images = FImages;
    display->Style = FStyle;
}

void TCustomPropertiesView::DrawItem(TCustomPropertyItem* item)
{
    TCanvas* canvas = GetCanvas();
    const TRect restore = canvas->GetClipRect();
    const Cells cells = CellsOf(item, item->GetRowTop());
    if (!Intersects(cells.Row, restore))
        return;
    SetCanvasClipRect(canvas, cells.Row);
    const int s = FSplitterPosition;
    canvas->GetBrush()->SetColor(FGridColor);
    canvas->FillRect(TRect{s, cells.Row.top, s + 1, cells.Row.bottom});
    canvas->GetBrush()->SetColor(FMarginColor);
    canvas->FillRect(TRect{0, cells.Row.top, MarginWidth, cells.Row.bottom});

    TItemDisplay* display = item->GetDisplay();
    PrepareDisplay(display, item);
    display->Rect = cells.Caption;
    display->DrawCaption();
    if (item->GetCount() > 0)
        display->DrawExpandButton();
    if (item->GetShowSuffix()) {
        display->Rect = cells.Suffix;
        display->DrawSuffix();
    }
    if (item != FEditingItem) {
        display->Rect = cells.Value;
        display->DrawValue();
    }
    DoAfterDrawItem(item, display->Rect);
    // Back to the area the paint covers, not the whole client: rows below it stay as they are.
    SetCanvasClipRect(canvas, restore);
}

void TCustomPropertiesView::RepaintItemPart(const TCustomPropertyItem* item, int part)
{
    if (item == nullptr || !item->GetVisible() || !HandleAllocated() || FWholeInvalid)
        return;
    const int top = item->GetRowTop();
    if (top == -1)  // not shown
        return;
    const Cells cells = CellsOf(item, top);
    TRect r = cells.Row;
    if (part == ipRightOfMargin)
        r = TRect{MarginWidth, top, FSplitterPosition, cells.Row.bottom};
    else if (part == ipValueCell)
        r = TRect{FSplitterPosition + 1, top, cells.Row.right, cells.Row.bottom};
    ui::InvalidateRect(GetHandle(), &r, ui::FALSE);
}

void TCustomPropertiesView::RepaintButton(const TCustomPropertyItem* item, int index)
{
    const auto* toolbar = dynamic_cast<const TToolbarItem*>(item);
    if (toolbar == nullptr || !toolbar->GetVisible() || !HandleAllocated() || FWholeInvalid)
        return;
    const int top = item->GetRowTop();
    if (top == -1)
        return;
    const Cells cells = CellsOf(item, top);
    const int width = toolbar->GetButtonWidth();
    const int left =
        ToolbarButtonLeft(cells.Value, index, toolbar->ButtonCount(), width, toolbar->GetAlignment() == baRightJustify);
    const TRect r{left, top, left + width, top + FRowHeight};
    ui::InvalidateRect(GetHandle(), &r, ui::FALSE);
}

// ---- Selection --------------------------------------------------------------------------------------------

void TCustomPropertiesView::SelectItem(TCustomPropertyItem* item)
{
    if (item == FSelectedItem)
        return;
    TCustomPropertyItem* old = FSelectedItem;
    FSelectedItem = item;
    RepaintItemPart(old, ipRow);
    if (item == nullptr) {
        // Editors live only on the selected row: with none selected, none stays open to take keys.
        HideEditors();
        return;
    }
    RepaintItemPart(item, ipRow);
    DoSelectItem(item);
    if (FSelectedItem != item)  // the handler chose otherwise, or freed the row
        return;
    ShowValueEditor(item);
    ShowSuffixEditor(item);
}

void TCustomPropertiesView::SelectNextItem()
{
    if (!FOptions.Contains(poEnterSelectNext))
        return;
    if (TCustomPropertyItem* next = NextVisibleItem(FSelectedItem))
        SelectByKey(next);
}

void TCustomPropertiesView::SelectByKey(TCustomPropertyItem* item)
{
    ScrollIntoView(item);
    CommitEdit(true);
    SelectItem(item);
}

void TCustomPropertiesView::SetHotItem(TCustomPropertyItem* item)
{
    if (item == FHotItem)
        return;
    if (FHotItem != nullptr) {
        FHotItem->SetState(FHotItem->GetState().Exclude(isHot));
        RepaintItemPart(FHotItem, 1);
    }
    FHotItem = item;
    if (item != nullptr) {
        item->SetState(item->GetState().Include(isHot));
        RepaintItemPart(item, 1);
    }
}

void TCustomPropertiesView::SetPressedItem(TCustomPropertyItem* item)
{
    RepaintItemPart(FPressedItem, 1);
    FPressedItem = item;
    RepaintItemPart(item, 1);
}

void TCustomPropertiesView::Forget(const TCustomPropertyItem* item)
{
    for (TCustomPropertyItem** field :
         {&FSelectedItem, &FHotItem, &FPressedItem, &FEditingItem, &FSuffixEditingItem, &FDownItem})
        if (*field == item)
            *field = nullptr;
}

// ---- Editors ----------------------------------------------------------------------------------------------

namespace {

// The item an editor belongs to: each item owns its own editors.
TCustomPropertyItem* OwnerItem(TObject* editor)
{
    auto* control = dynamic_cast<TComponent*>(editor);
    return control != nullptr ? dynamic_cast<TCustomPropertyItem*>(control->GetOwner()) : nullptr;
}

// Whether the editor takes plus and minus as text: then they are no grid commands.
bool TypesSigns(const TCellEditor* editor)
{
    const auto* textual = dynamic_cast<const TTextualEditor*>(editor);
    if (textual == nullptr || textual->GetReadOnly())
        return false;
    const auto* popup = dynamic_cast<const TPopupEditor*>(editor);
    return popup == nullptr || popup->GetStyle() != dsDropDownList;
}

// Holds an editor's change lock while the grid loads or refreshes it, also when that raises.
class ChangeLock {
public:
    explicit ChangeLock(TCellEditor* editor) : FEditor(editor), FWas(editor->GetChangeLock())
    {
        editor->SetChangeLock(true);
    }
    ~ChangeLock() { FEditor->SetChangeLock(FWas); }
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;

private:
    TCellEditor* FEditor;
    bool FWas;
};

}  // namespace

void TCustomPropertiesView::PlaceEditor(TWinControl* editor, const TRect& cell)
{
    editor->SetBounds(cell.left, cell.top, cell.right - cell.left, FRowHeight);
}

void TCustomPropertiesView::ShowValueEditor(TCustomPropertyItem* item)
{
    if (FEditingItem == item && item != nullptr)
        return;
    if (TCustomPropertyItem* old = FEditingItem) {
        FEditingItem = nullptr;
        TCellEditor* editor = old->GetEditor();
        old->HideEditor();
        RepaintItemPart(old, ipValueCell);
        if (editor != nullptr)
            TakeFocusFrom(editor);
    }
    if (GetComponentState().Contains(csDesigning))
        return;
    TCellEditor* editor = item != nullptr ? item->GetEditor() : nullptr;
    if (editor != nullptr && item->GetEnabled() && item->GetVisible() && !item->GetReadOnly() && item->CanEdit() &&
        item->AncestorsExpanded() && item->GetRowTop() != -1) {
        FEditingItem = item;
        editor->SetParent(this);
        editor->SetBorderStyle(TBorderStyle::bsNone);
        PlaceEditor(editor, CellsOf(item, item->GetRowTop()).Value);
        editor->OnKeyDown = TKeyEvent(this, &TCustomPropertiesView::EditorKeyDown);
        editor->OnChange = TNotifyEvent(this, &TCustomPropertiesView::EditorChange);
        {
            // Loading the value is no edit; the lock ends with the loading, or picks would never arrive.
            ChangeLock lock(editor);
            item->ShowEditor();
        }
        if (FEditingItem == item && editor->CanFocus())
            editor->SetFocus();
        // The item selected the text before the window existed to hold a selection.
        if (FEditingItem == item)
            editor->SelectAll();
        return;
    }
    HideEditors();
    if (HandleAllocated() && GetShowing() && CanFocus() && !Focused())
        SetFocus();
}

void TCustomPropertiesView::ShowSuffixEditor(TCustomPropertyItem* item)
{
    if (FSuffixEditingItem == item && item != nullptr)
        return;
    if (TCustomPropertyItem* old = FSuffixEditingItem) {
        FSuffixEditingItem = nullptr;
        TComboBoxEditor* editor = old->GetSuffixEditor();
        old->HideSuffixEditor();
        TakeFocusFrom(editor);
    }
    if (GetComponentState().Contains(csDesigning) || item == nullptr || !item->GetShowSuffix() ||
        item->GetRowTop() == -1)
        return;
    TComboBoxEditor* editor = item->GetSuffixEditor();
    FSuffixEditingItem = item;
    editor->SetParent(this);
    editor->SetEmbedded(true);
    editor->SetHideFocus(true);
    editor->SetStyle(item->GetSuffixStyle() == ssDropDownList ? dsDropDownList : dsDropDown);
    const Cells cells = CellsOf(item, item->GetRowTop());
    PlaceEditor(editor, TRect{cells.Suffix.left + 1, cells.Suffix.top, cells.Suffix.right, cells.Suffix.bottom});
    {
        ChangeLock lock(editor);
        editor->SetText(item->GetSuffixValue());
    }
    editor->OnChange = TNotifyEvent(this, &TCustomPropertiesView::SuffixEditorChange);
    editor->OnKeyDown = TKeyEvent(this, &TCustomPropertiesView::EditorKeyDown);
    item->ShowSuffixEditor();
}

void TCustomPropertiesView::TakeFocusFrom(const TCellEditor* editor)
{
    if (editor != nullptr && editor->HandleAllocated() && editor->Focused() && HandleAllocated() && GetShowing() &&
        CanFocus())
        SetFocus();
}

void TCustomPropertiesView::HideEditors()
{
    if (TCustomPropertyItem* item = FEditingItem) {
        FEditingItem = nullptr;
        TCellEditor* editor = item->GetEditor();
        item->HideEditor();
        RepaintItemPart(item, ipValueCell);
        TakeFocusFrom(editor);
    }
    if (TCustomPropertyItem* item = FSuffixEditingItem) {
        FSuffixEditingItem = nullptr;
        TComboBoxEditor* editor = item->GetSuffixEditor();
        item->HideSuffixEditor();
        TakeFocusFrom(editor);
    }
}

bool TCustomPropertiesView::StoreEdit(TCustomPropertyItem* item, const std::string& text, bool ask)
{
    bool accept = true;
    if (ask)
        DoEdit(item, text, accept);
    if (!accept)
        return false;
    const TCustomPropertyItem* was = FStoring;
    FStoring = item;
    try {
        item->SetValue(text);
    } catch (const EConvertError&) {
        // Half a number ("-", "1e"): the item keeps its value until the text is one.
    } catch (...) {
        FStoring = was;
        throw;
    }
    FStoring = was;
    return true;
}

void TCustomPropertiesView::RefreshEditor(TCellEditor* editor, const std::string& value)
{
    if (editor->GetAsString() == value)
        return;  // caret and selection stay
    ChangeLock lock(editor);
    editor->SetAsString(value);
}

void TCustomPropertiesView::CommitEdit(bool close)
{
    if (TCustomPropertyItem* item = FSuffixEditingItem)
        item->SetSuffixValue(item->GetSuffixEditor()->GetText());
    TCustomPropertyItem* item = FEditingItem;
    TCellEditor* editor = item != nullptr ? item->GetEditor() : nullptr;
    if (editor == nullptr)
        return;
    const std::string text = editor->GetAsString();
    if (item->GetAsString() != text && !StoreEdit(item, text, true)) {
        FMouseDown = false;
        RefreshEditor(editor, item->GetValue());
        if (close)
            HideEditors();
        return;
    }
    if (!close && FEditingItem == item)
        editor->SelectAll();
}

void TCustomPropertiesView::EditorChange(TObject* sender)
{
    // The editor's own item, not the selected one: a late change (the reformat as the editor loses the
    // focus) comes after the selection moved on.
    TCustomPropertyItem* item = OwnerItem(sender);
    auto* editor = dynamic_cast<TCellEditor*>(sender);
    if (item == nullptr || editor == nullptr || editor != item->GetEditor() || !Editable(item))
        return;
    const std::string text = editor->GetAsString();
    if (text != item->GetValue())
        StoreEdit(item, text, true);
}

void TCustomPropertiesView::SuffixEditorChange(TObject* sender)
{
    TCustomPropertyItem* item = OwnerItem(sender);
    auto* editor = dynamic_cast<TComboBoxEditor*>(sender);
    if (item != nullptr && editor != nullptr && editor == item->GetSuffixEditor())
        item->SetSuffixValue(editor->GetText());
}

void TCustomPropertiesView::EditorKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift)
{
    switch (key) {
    case ui::VK_RETURN:
        CommitEdit(FOptions.Contains(poEnterSelectNext));
        SelectNextItem();
        key = 0;
        return;
    case ui::VK_ESCAPE:
        HideEditors();
        key = 0;
        return;
    case ui::VK_HOME:
    case ui::VK_END: return;  // the caret's
    case ui::VK_OEM_PLUS:
    case ui::VK_OEM_MINUS:
        // "+" and "-" typed into a value are text; from a list or a read-only editor they fold the row.
        if (TypesSigns(dynamic_cast<TCellEditor*>(sender)))
            return;
        KeyDown(key, shift);
        key = 0;
        return;
    case ui::VK_UP:
    case ui::VK_DOWN:
        KeyDown(key, shift);
        key = 0;
        return;
    default: KeyDown(key, shift); return;
    }
}

void TCustomPropertiesView::RefitEditor()
{
    if (FEditingItem != nullptr)
        if (TCellEditor* editor = FEditingItem->GetEditor())
            PlaceEditor(editor, CellsOf(FEditingItem, FEditingItem->GetRowTop()).Value);
    if (FSuffixEditingItem != nullptr) {
        const Cells cells = CellsOf(FSuffixEditingItem, FSuffixEditingItem->GetRowTop());
        PlaceEditor(FSuffixEditingItem->GetSuffixEditor(),
                    TRect{cells.Suffix.left + 1, cells.Suffix.top, cells.Suffix.right, cells.Suffix.bottom});
    }
}

// ---- Changes of the items ---------------------------------------------------------------------------------

void TCustomPropertiesView::RowsChanged(TObject*) { Invalidate(); }

void TCustomPropertiesView::ItemChangeHandler(TObject*, TCustomPropertyItem* item, int index, std::uint8_t kind)
{
    switch (kind) {
    case icDestroying:
        Forget(item);
        // Its row goes, and the rows below it move up.
        Invalidate();
        break;
    case icValueCell:
    case icValueLook:
    case icCheckLook:
    case icToolbarText:
    case icValueCellOther: RepaintItemPart(item, ipValueCell); break;
    case icValue: {
        RepaintItemPart(item, ipValueCell);
        const std::string value = item->GetValue();
        DoChange(item, value);
        // The open editor follows changes from elsewhere only: echoing what is being typed would undo
        // half-typed text ("1." read back as "1") and move the caret.
        if (item == FEditingItem && item != FStoring)
            if (TCellEditor* editor = item->GetEditor())
                RefreshEditor(editor, value);
        ItemValueChanged(item, value);
        break;
    }
    case icButtonClick:
        RepaintButton(item, index);
        // The value shown beside the buttons follows the click.
        if (const auto* toolbar = dynamic_cast<const TToolbarItem*>(item); toolbar != nullptr && toolbar->GetShowText())
            RepaintItemPart(item, ipValueCell);
        DoToolbarClick(item, index);
        break;
    case icButton: RepaintButton(item, index); break;
    case icRow: RepaintItemPart(item, ipRow); break;
    case icEnabled:
        RepaintItemPart(item, ipRow);
        HideEditors();
        break;
    case icCollapsed:
    case icExpanded:
        DoExpand(item);
        Invalidate();
        // The rows below moved: the editors follow their row, or close when it is folded away.
        if ((FEditingItem != nullptr && FEditingItem->GetRowTop() == -1) ||
            (FSuffixEditingItem != nullptr && FSuffixEditingItem->GetRowTop() == -1))
            HideEditors();
        RefitEditor();
        break;
    case icVisible:
        if (item == FEditingItem)
            HideEditors();
        RefitEditor();
        Invalidate();
        break;
    case icSuffixValue: DoSuffixEdit(item, item->GetSuffixValue()); break;
    default: break;
    }
}

void TCustomPropertiesView::ItemValueChanged(TCustomPropertyItem*, const std::string&) {}

// ---- Events -----------------------------------------------------------------------------------------------

void TCustomPropertiesView::DoChange(TCustomPropertyItem* item, const std::string& value)
{
    OnChange(this, item, value);
}

void TCustomPropertiesView::DoAfterDrawItem(TCustomPropertyItem* item, const TRect& rect)
{
    OnAfterDrawItem(this, item, rect);
}

void TCustomPropertiesView::DoEdit(TCustomPropertyItem* item, const std::string& value, bool& accept)
{
    OnEdit(this, item, value, accept);
}

void TCustomPropertiesView::DoExecute(TCustomPropertyItem* item) { OnExecute(this, item); }

void TCustomPropertiesView::DoExpand(TCustomPropertyItem* item) { OnExpand(this, item); }

void TCustomPropertiesView::DoSelectItem(TCustomPropertyItem* item) { OnSelectItem(this, item); }

void TCustomPropertiesView::DoSuffixEdit(TCustomPropertyItem* item, const std::string& value)
{
    OnSuffixEdit(this, item, value);
}

void TCustomPropertiesView::DoToolbarClick(TCustomPropertyItem* item, int buttonIndex)
{
    OnToolbarClick(this, item, buttonIndex);
}

// ---- Keys -------------------------------------------------------------------------------------------------

void TCustomPropertiesView::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TScrollView::KeyDown(key, shift);
    switch (key) {
    case 0: return;
    case ui::VK_RETURN:
        CommitEdit(true);
        SelectNextItem();
        return;
    case ui::VK_UP:
        if (TCustomPropertyItem* above = RowAbove(FSelectedItem))
            SelectByKey(above);
        return;
    case ui::VK_DOWN:
        if (TCustomPropertyItem* below = NextVisibleItem(FSelectedItem))
            SelectByKey(below);
        return;
    case ui::VK_HOME:
        if (TCustomPropertyItem* first = FirstRow())
            SelectByKey(first);
        return;
    case ui::VK_END:
        if (TCustomPropertyItem* last = LastRow())
            SelectByKey(last);
        return;
    case ui::VK_OEM_PLUS:
        if (FSelectedItem != nullptr)
            FSelectedItem->SetExpanded(true);
        return;
    case ui::VK_OEM_MINUS:
        if (FSelectedItem != nullptr)
            FSelectedItem->SetExpanded(false);
        return;
    default:
        // Only a row that takes input hears other keys, as with the mouse.
        if (FSelectedItem != nullptr && Editable(FSelectedItem)) {
            TItemDisplay* display = FSelectedItem->GetDisplay();
            PrepareDisplay(display, FSelectedItem);
            display->KeyDown(key, shift);
        }
        return;
    }
}

// ---- Mouse ------------------------------------------------------------------------------------------------

TItemDisplay* TCustomPropertiesView::ValueDisplay(const TCustomPropertyItem* item, const TRect& valueCell)
{
    TItemDisplay* display = item->GetDisplay();
    PrepareDisplay(display, item);
    display->Rect = valueCell;
    return display;
}

void TCustomPropertiesView::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TScrollView::MouseDown(button, shift, x, y);
    if (HandleAllocated() && !Focused() && CanFocus())
        SetFocus();
    if (button != mbMiddle)
        FMouseDown = true;
    FDownPoint = TPoint{x, y};
    if (InSplitterZone(x)) {
        FSplitterDrag = true;
        return;
    }
    CommitEdit(true);
    TCustomPropertyItem* row = ItemAtPoint(FDownPoint);
    SelectItem(row);
    if (button == mbLeft && row != nullptr && row == FSelectedItem && InExpandBox(row, x))
        row->SetExpanded(!row->GetExpanded());
    TCustomPropertyItem* selected = FSelectedItem;
    if (selected == nullptr || !Editable(selected) || selected->GetLevel() == 0)
        return;
    const Cells cells = CellsOf(selected, selected->GetRowTop());
    if (!Contains(cells.Value, FDownPoint))
        return;
    FDownItem = selected;
    ValueDisplay(selected, cells.Value)->MouseDown(button, shift, x - cells.Value.left, y - cells.Value.top);
}

void TCustomPropertiesView::MouseMove(TShiftState shift, int x, int y)
{
    TScrollView::MouseMove(shift, x, y);
    if (FCategories->GetCount() == 0 || GetRolling())
        return;
    // The split cursor stays while dragging, also when the pointer runs ahead of the line.
    SetCursor(InSplitterZone(x) || FSplitterDrag ? crHSplit : crDefault);
    if (FSplitterDrag) {
        SetSplitterPosition(x);
        return;
    }
    const TPoint point{x, y};
    TCustomPropertyItem* row = ItemAtPoint(point);
    if (FHotItem != nullptr && (row != FHotItem || x < FSplitterPosition)) {
        TItemDisplay* display = FHotItem->GetDisplay();
        PrepareDisplay(display, FHotItem);
        display->MouseLeave();
    }
    SetHotItem(row);
    if (FMouseDown && !FOptions.Contains(poUniformSelect) && row != nullptr)
        SelectItem(row);
    if (row == nullptr || row->GetLevel() == 0)
        return;
    const Cells cells = CellsOf(row, row->GetRowTop());
    if (!Contains(cells.Value, point))
        return;
    TItemDisplay* display = ValueDisplay(row, cells.Value);
    if (Editable(row))
        display->MouseMove(shift, x - cells.Value.left, y - cells.Value.top);
}

void TCustomPropertiesView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TScrollView::MouseUp(button, shift, x, y);
    FSplitterDrag = false;
    FMouseDown = false;
    // The release belongs to the row that got the press, and counts only over that row's value cell.
    if (TCustomPropertyItem* down = FDownItem) {
        FDownItem = nullptr;
        const Cells cells = CellsOf(down, down->GetRowTop());
        if (Editable(down) && Contains(cells.Value, TPoint{x, y}))
            ValueDisplay(down, cells.Value)->MouseUp(button, shift, x - cells.Value.left, y - cells.Value.top);
    }
    SetPressedItem(nullptr);
}

void TCustomPropertiesView::DblClick()
{
    TScrollView::DblClick();
    TCustomPropertyItem* row = ItemAtPoint(FDownPoint);
    if (row != nullptr && row->GetCount() > 0 && FDownPoint.x > row->GetIndent() + MarginWidth)
        row->SetExpanded(!row->GetExpanded());
}

bool TCustomPropertiesView::DoMouseWheelDown(TShiftState shift, ui::POINT mousePos)
{
    TScrollView::DoMouseWheelDown(shift, mousePos);
    HideEditors();
    UpdateScrollRange();
    if (shift.Contains(ssCtrl))
        GetVertScrollBar()->PageDown();
    else
        GetVertScrollBar()->LineDown();
    return true;
}

bool TCustomPropertiesView::DoMouseWheelUp(TShiftState shift, ui::POINT mousePos)
{
    TScrollView::DoMouseWheelUp(shift, mousePos);
    HideEditors();
    UpdateScrollRange();
    if (shift.Contains(ssCtrl))
        GetVertScrollBar()->PageUp();
    else
        GetVertScrollBar()->LineUp();
    return true;
}

void TCustomPropertiesView::CMMouseLeave(TMessage& message)
{
    if (FHotItem != nullptr) {
        TItemDisplay* display = FHotItem->GetDisplay();
        PrepareDisplay(display, FHotItem);
        display->MouseLeave();
    }
    SetHotItem(nullptr);
    TScrollView::CMMouseLeave(message);
}

// ---- Focus ------------------------------------------------------------------------------------------------

void TCustomPropertiesView::DoEnter()
{
    RepaintItemPart(FSelectedItem, ipMarginAndIndent);
    TScrollView::DoEnter();
}

void TCustomPropertiesView::DoExit()
{
    CommitEdit(true);
    HideEditors();
    RepaintItemPart(FSelectedItem, ipMarginAndIndent);
    TScrollView::DoExit();
}

// ---- TPropertiesView --------------------------------------------------------------------------------------

const TPropertyTable& TPropertiesView::ClassProperties()
{
    using C = TCustomPropertiesView;
    static const std::vector<std::string> booleans{"False", "True"};
    static const TPropertyTable table =
        TPropertyTable(&TWinControl::ClassProperties())
            .Object("Associate", &C::GetAssociate, &C::SetAssociate)
            .Enumeration("BorderStyle", &C::GetBorderStyle, &C::SetBorderStyle, {"bsNone", "bsSingle"})
            .Object("Categories", &C::GetCategories, nullptr)
            .Integer("CategoriesColor", &C::GetCategoriesColor, &C::SetCategoriesColor)
            .Enumeration("EnableVisualStyles", &C::GetEnableVisualStyles, &C::SetEnableVisualStyles, booleans)
            .Integer("GridColor", &C::GetGridColor, &C::SetGridColor)
            .Object("Images", &C::GetImages, &C::SetImages)
            .Integer("MarginColor", &C::GetMarginColor, &C::SetMarginColor)
            .Set("Options", &C::GetOptions, &C::SetOptions,
                 {"poGrid", "poEnterSelectNext", "poImages", "poUniformSelect"})
            .Integer("RowHeight", &C::GetRowHeight, &C::SetRowHeight)
            .Integer("SelectionColor", &C::GetSelectionColor, &C::SetSelectionColor)
            .Integer("SplitterPosition", &C::GetSplitterPosition, &C::SetSplitterPosition)
            .Enumeration("Style", &C::GetStyle, &C::SetStyle, {"psDefault", "psOffice2003", "psWhidbey"})
            .Integer("SuffixWidth", &C::GetSuffixWidth, &C::SetSuffixWidth);
    return table;
}

const TPropertyTable& TPropertiesView::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::inspector
