#include "inspector/PopupView.h"

#include "inspector/References_p.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

TPoint PopupPosition(TPoint point, TSize size, const TRect& workArea, int editorTop)
{
    TPoint p = point;
    if (workArea.right < p.x + size.cx)
        p.x = workArea.right - (size.cx + 1);
    p.x = std::max<int>(p.x, workArea.left);
    if (p.y + size.cy > workArea.bottom)
        p.y = editorTop - size.cy;
    return p;
}

// ---- TPopupView -------------------------------------------------------------------------------------------

TPopupView::TPopupView(TComponent* owner) : TScrollView(owner)
{
    SetControlStyle(GetControlStyle().Include(csOpaque));  // its background is never erased
    SetBorderWidth(2);
    SetVisible(false);
}

TPopupView::~TPopupView() = default;

void TPopupView::SelectAt(int, int) {}

void TPopupView::ClosePopup()
{
    FClosed = true;
    if (GetMouseCapture())
        SetMouseCapture(false);
    if (HandleAllocated())
        ui::ShowWindow(GetHandle(), ui::SW_HIDE);
    SetVisible(false);
    DoClose();
}

void TPopupView::DoClose() { OnClose(this); }

void TPopupView::DoSelect(const std::string& value) { OnSelect(this, value); }

// ---- TPopupList -------------------------------------------------------------------------------------------

TPopupList::TPopupList(TComponent* owner) : TPopupView(owner)
{
    const int border = 2 * GetBorderWidth();
    SetBounds(GetLeft(), GetTop(), 80 + border, 50 + border);
}

TPopupList::~TPopupList() = default;

void TPopupList::SetImages(TCustomImageList* value) { SetReference(this, FImages, value); }

void TPopupList::SetItemHeight(int value) { FItemHeight = std::max(value, 1); }

int TPopupList::GetCount() const { return FItems != nullptr ? FItems->GetCount() : 0; }

int TPopupList::GetMaxTop() const { return GetCount() - GetClientHeight() / FItemHeight; }

int TPopupList::GetVertScrollDelta(int oldPos, int newPos) { return (oldPos - newPos) * FItemHeight; }

void TPopupList::Notification(TComponent* component, TOperation operation)
{
    TPopupView::Notification(component, operation);
    if (operation == opRemove && component == FImages)
        FImages = nullptr;
}

}  // namespace ovrel::inspector
