#include "themes/ThemedCommon.h"

#include "themes/Nexus.h"
#include "themes/ThemeUtils.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "toolbars/Dock.h"

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

void AddThemeControl(TControl* control)
{
    if (TTBXNexus* nexus = GetNexus())
        nexus->AddNotify(control);
}

void RemoveThemeControl(TControl* control)
{
    if (TTBXNexus* nexus = GetNexus())
        nexus->RemoveNotify(control);
}

TColor GetEffectiveColor(TControl* control)
{
    if (control == nullptr)
        return clBtnFace;
    TMessage message{WM_TBX_GETEFFECTIVECOLOR, 0, 0, 0};
    control->Dispatch(message);
    if (message.Result != 0)
        return static_cast<TColor>(message.WParam);
    return control->GetColor();  // no form here is an MDI frame, which would answer clBtnFace
}

int GetWinViewType(TControl* control)
{
    if (control == nullptr)
        return 0;
    TMessage message{WM_TBX_GETVIEWTYPE, 0, 0, 0};
    control->Dispatch(message);
    return static_cast<int>(message.Result);
}

void DrawParentBackground(TControl* control, HDC dc, const TRect& rect)
{
    TWinControl* parent = control->GetParent();
    if (parent == nullptr) {
        FillRectColorDC(dc, rect, clBtnFace);
        return;
    }
    auto* dock = dynamic_cast<toolbars::TTBDock*>(parent);
    if (dock == nullptr || !dock->UsingBackground()) {
        FillRectColorDC(dc, rect, GetEffectiveColor(parent));
        return;
    }
    // A dock paints in its own parent's coordinates, so that docks side by side continue one picture.
    TPoint origin = control->ClientToScreen(TPoint{0, 0});
    origin = dock->GetParent() != nullptr ? dock->GetParent()->ScreenToClient(origin) : dock->ScreenToClient(origin);
    const detail::TSavedDC saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    TRect inParent = rect;
    OffsetRect(&inParent, origin.x, origin.y);
    SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    dock->DrawBackground(dc, inParent);
}

void UpdateNCArea(TWinControl* control)
{
    if (!control->HandleAllocated())
        return;
    const int clientWidth = control->GetClientWidth();
    const int clientHeight = control->GetClientHeight();
    SetWindowPos(control->GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    control->SetClientWidth(clientWidth);
    control->SetClientHeight(clientHeight);
    control->Invalidate();
}

void RedrawFrame(TWinControl* control)
{
    if (control->HandleAllocated())
        RedrawWindow(control->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

}  // namespace ovrel::themes
