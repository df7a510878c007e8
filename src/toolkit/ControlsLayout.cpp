// Geometry and layout of controls: bounds and size constraints, alignment and anchors, scaling, z-order.
#include "toolkit/Controls.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace ovrel::toolkit {

using namespace ovrel::ui;

namespace {

RECT BoundsOf(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetValue(int& field, int value)
{
    value = std::max(value, 0);
    if (field == value)
        return;
    field = value;
    Change();
}

void TSizeConstraints::SetMaxHeight(int value) { SetValue(FMaxHeight, value); }
void TSizeConstraints::SetMaxWidth(int value) { SetValue(FMaxWidth, value); }
void TSizeConstraints::SetMinHeight(int value) { SetValue(FMinHeight, value); }
void TSizeConstraints::SetMinWidth(int value) { SetValue(FMinWidth, value); }

void TSizeConstraints::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TSizeConstraints*>(source)) {
        FMinWidth = other->FMinWidth;
        FMinHeight = other->FMinHeight;
        FMaxWidth = other->FMaxWidth;
        FMaxHeight = other->FMaxHeight;
        Change();
        return;
    }
    TPersistent::Assign(source);
}

TPersistent* TSizeConstraints::GetOwner() const { return FControl; }

void TSizeConstraints::Change() { OnChange(this); }

// ---------------------------------------------------------------------------------------------------------
// TControl geometry

void TControl::SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
void TControl::SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
void TControl::SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
void TControl::SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }

RECT TControl::GetBoundsRect() const { return BoundsOf(FLeft, FTop, FWidth, FHeight); }

void TControl::SetBoundsRect(const RECT& value)
{
    SetBounds(value.left, value.top, value.right - value.left, value.bottom - value.top);
}

void TControl::DoConstrainSize(int& width, int& height)
{
    int minWidth = FConstraints->GetMinWidth();
    int minHeight = FConstraints->GetMinHeight();
    int maxWidth = FConstraints->GetMaxWidth();
    int maxHeight = FConstraints->GetMaxHeight();
    ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
    if (maxWidth > 0 && width > maxWidth)
        width = maxWidth;
    if (minWidth > 0 && width < minWidth)
        width = minWidth;
    if (maxHeight > 0 && height > maxHeight)
        height = maxHeight;
    if (minHeight > 0 && height < minHeight)
        height = minHeight;
}

void TControl::ConstrainedResize(int&, int&, int&, int&) {}

bool TControl::IsAligning() const { return FParent != nullptr && FParent->FAligning; }

void TControl::SetBounds(int left, int top, int width, int height)
{
    DoConstrainSize(width, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    UpdateBoundsRect(BoundsOf(left, top, width, height));
}

void TControl::UpdateBoundsRect(const RECT& rect)
{
    const RECT old = GetBoundsRect();
    const bool sized = (rect.right - rect.left) != FWidth || (rect.bottom - rect.top) != FHeight;
    if (FParent != nullptr && FParent->HandleAllocated() && GetVisible())
        InvalidateRect(FParent->GetHandle(), &old, !FControlStyle.Contains(csOpaque));
    FLeft = rect.left;
    FTop = rect.top;
    FWidth = rect.right - rect.left;
    FHeight = rect.bottom - rect.top;
    if (!IsAligning() && !GetComponentState().Contains(csLoading))
        UpdateAnchorRules();
    Invalidate();
    if (sized)
        Resize();
    RequestAlign();
}

RECT TControl::GetClientRect() const { return RECT{0, 0, FWidth, FHeight}; }

int TControl::GetClientWidth() const
{
    const RECT r = GetClientRect();
    return r.right - r.left;
}

int TControl::GetClientHeight() const
{
    const RECT r = GetClientRect();
    return r.bottom - r.top;
}

void TControl::SetClientWidth(int value) { SetWidth(FWidth + value - GetClientWidth()); }

void TControl::SetClientHeight(int value) { SetHeight(FHeight + value - GetClientHeight()); }

POINT TControl::GetClientOrigin() const
{
    if (FParent == nullptr)
        return POINT{FLeft, FTop};
    const POINT parent = FParent->GetClientOrigin();
    return POINT{parent.x + FLeft, parent.y + FTop};
}

POINT TControl::ClientToScreen(POINT point) const
{
    const POINT origin = GetClientOrigin();
    return POINT{point.x + origin.x, point.y + origin.y};
}

POINT TControl::ScreenToClient(POINT point) const
{
    const POINT origin = GetClientOrigin();
    return POINT{point.x - origin.x, point.y - origin.y};
}

POINT TControl::ClientToParent(POINT point, const TWinControl* parent) const
{
    if (parent == nullptr)
        parent = FParent;
    if (parent == nullptr)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    return parent->ScreenToClient(ClientToScreen(point));
}

POINT TControl::ParentToClient(POINT point, const TWinControl* parent) const
{
    if (parent == nullptr)
        parent = FParent;
    if (parent == nullptr)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    return ScreenToClient(parent->ClientToScreen(point));
}

void TControl::SetAlign(TAlign value)
{
    if (FAlign == value)
        return;
    const TAlign old = FAlign;
    FAlign = value;
    // Aligned controls keep their own anchors; going back to none restores the standard ones.
    if (old != alNone && value == alNone)
        FAnchors = TAnchors{akLeft, akTop};
    RequestAlign();
    if (value == alNone)
        UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors value)
{
    if (FAnchors == value)
        return;
    FAnchors = value;
    if (!GetComponentState().Contains(csLoading))
        UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
    if (FParent == nullptr) {
        FAnchorRulesValid = false;
        return;
    }
    RECT area = FParent->GetClientRect();
    FParent->AdjustClientRect(area);
    FAnchorBounds = GetBoundsRect();
    FAnchorParentSize = SIZE{area.right - area.left, area.bottom - area.top};
    FAnchorRulesValid = true;
}

void TControl::SetConstraints(const TSizeConstraints* value) { FConstraints->Assign(value); }

void TControl::ConstraintsChanged(TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); }

void TControl::SetAutoSize(bool value)
{
    if (FAutoSize == value)
        return;
    FAutoSize = value;
    if (value)
        AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::AdjustSize()
{
    int width = FWidth;
    int height = FHeight;
    if (FAutoSize && CanAutoSize(width, height))
        SetBounds(FLeft, FTop, width, height);
}

void TControl::BringToFront() { SetZOrder(true); }

void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool toTop)
{
    if (FParent == nullptr)
        return;
    SetZOrderPosition(toTop ? std::numeric_limits<int>::max() : 0);
}

void TControl::SetZOrderPosition(int position)
{
    if (FParent == nullptr)
        return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    const int old = static_cast<int>(it - list.begin());
    position = std::clamp(position, 0, static_cast<int>(list.size()) - 1);
    if (old == position)
        return;
    list.erase(it);
    list.insert(list.begin() + position, this);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// TWinControl layout

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending)
        Realign();
}

void TWinControl::Realign() { AlignFor(nullptr); }

void TWinControl::AlignFor(TControl* control)
{
    if (FAlignLevel > 0 || FAligning || GetComponentState().Contains(csLoading) ||
        GetComponentState().Contains(csDestroying)) {
        // A request made while aligning is the alignment's own doing; any other waits for the end.
        if (!FAligning)
            FAlignPending = true;
        return;
    }
    FAlignPending = false;
    AlignChildren(control);
}

void TWinControl::AlignChildren(TControl* control)
{
    FAligning = true;
    try {
        RECT rect = GetClientRect();
        AdjustClientRect(rect);
        AlignControls(control, rect);
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

void TWinControl::AdjustClientRect(RECT&) {}

void TWinControl::AlignControls(TControl* control, RECT& rect)
{
    const SIZE area{rect.right - rect.left, rect.bottom - rect.top};
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient})
        DoAlign(align, control, rect);
    std::vector<TControl*> children = FControls;
    for (TControl* c : children)
        if (c->GetVisible() && c->GetAlign() == alNone)
            ApplyAnchors(c, area);
}

void TWinControl::DoAlign(TAlign align, TControl* control, RECT& rect)
{
    std::vector<TControl*> list;
    for (TControl* c : FControls)
        if (c->GetVisible() && c->GetAlign() == align)
            list.push_back(c);
    // The order along the edge is the order of the current positions; the control that moved wins a tie.
    auto key = [align](const TControl* c) {
        switch (align) {
        case alTop: return c->GetTop();
        case alBottom: return -(c->GetTop() + c->GetHeight());
        case alLeft: return c->GetLeft();
        case alRight: return -(c->GetLeft() + c->GetWidth());
        default: return 0;
        }
    };
    std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) {
        if (key(a) != key(b))
            return key(a) < key(b);
        return a == control && b != control;
    });
    for (TControl* c : list) {
        const int width = std::max(0, static_cast<int>(rect.right - rect.left));
        const int height = std::max(0, static_cast<int>(rect.bottom - rect.top));
        switch (align) {
        case alTop:
            c->SetBounds(rect.left, rect.top, width, c->GetHeight());
            rect.top += c->GetHeight();
            break;
        case alBottom:
            c->SetBounds(rect.left, rect.bottom - c->GetHeight(), width, c->GetHeight());
            rect.bottom -= c->GetHeight();
            break;
        case alLeft:
            c->SetBounds(rect.left, rect.top, c->GetWidth(), height);
            rect.left += c->GetWidth();
            break;
        case alRight:
            c->SetBounds(rect.right - c->GetWidth(), rect.top, c->GetWidth(), height);
            rect.right -= c->GetWidth();
            break;
        case alClient: c->SetBounds(rect.left, rect.top, width, height); break;
        default: break;
        }
    }
}

void TWinControl::ApplyAnchors(TControl* control, const SIZE& clientSize)
{
    if (!control->FAnchorRulesValid) {
        control->UpdateAnchorRules();
        return;
    }
    const TAnchors anchors = control->GetAnchors();
    if (anchors == TAnchors{akLeft, akTop})
        return;
    const RECT& b = control->FAnchorBounds;
    const int dw = clientSize.cx - control->FAnchorParentSize.cx;
    const int dh = clientSize.cy - control->FAnchorParentSize.cy;
    // Per axis: both sides anchored stretches, the far side alone moves, neither keeps the centre.
    auto follow = [](bool nearSide, bool farSide, int delta, int& pos, int& size) {
        if (farSide && nearSide)
            size += delta;
        else if (farSide)
            pos += delta;
        else if (!nearSide)
            pos += delta / 2;
    };
    int left = b.left;
    int width = b.right - b.left;
    follow(anchors.Contains(akLeft), anchors.Contains(akRight), dw, left, width);
    int top = b.top;
    int height = b.bottom - b.top;
    follow(anchors.Contains(akTop), anchors.Contains(akBottom), dh, top, height);
    control->SetBounds(left, top, std::max(0, width), std::max(0, height));
}

void TWinControl::SetBorderWidth(int value)
{
    value = std::max(0, value);
    if (FBorderWidth == value)
        return;
    FBorderWidth = value;
    if (FHandle != nullptr)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Realign();
}

void TWinControl::ScaleBy(int multiplier, int divider) { ChangeScale(multiplier, divider); }

void TWinControl::ChangeScale(int multiplier, int divider)
{
    DisableAlign();
    try {
        std::vector<TControl*> children = FControls;
        for (TControl* c : children)
            c->ChangeScale(multiplier, divider);
        TControl::ChangeScale(multiplier, divider);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TWinControl::FlipChildren(bool) {}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    DoConstrainSize(width, height);
    if (left == GetLeft() && top == GetTop() && width == GetWidth() && height == GetHeight())
        return;
    if (FHandle != nullptr && !FSettingBounds) {
        // The window answers with WM_WINDOWPOSCHANGED, which brings the bounds back here.
        FSettingBounds = true;
        try {
            SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        } catch (...) {
            FSettingBounds = false;
            throw;
        }
        FSettingBounds = false;
        // A resizable top-level window keeps to its least and largest sizes: take the size it has.
        if (FHandle != nullptr && !ui::IsIconic(FHandle)) {
            const RECT actual = WindowBoundsInParent();
            width = actual.right - actual.left;
            height = actual.bottom - actual.top;
        }
    }
    const bool sized = width != GetWidth() || height != GetHeight();
    if (left != GetLeft() || top != GetTop() || sized) {
        UpdateBoundsRect(BoundsOf(left, top, width, height));
        if (sized)
            Realign();
    }
}

TRect TWinControl::WindowBoundsInParent() const
{
    RECT r;
    GetWindowRect(FHandle, &r);
    HWND parent = ui::GetParent(FHandle);
    if (parent != nullptr && (GetWindowLong(FHandle, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0) {
        POINT points[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, parent, points, 2);
        r = RECT{points[0].x, points[0].y, points[1].x, points[1].y};
    }
    return r;
}

void TWinControl::UpdateBounds()
{
    if (FHandle == nullptr)
        return;
    const RECT r = WindowBoundsInParent();
    const bool sized = (r.right - r.left) != GetWidth() || (r.bottom - r.top) != GetHeight();
    if (r == GetBoundsRect())
        return;
    UpdateBoundsRect(r);
    if (sized)
        Realign();
}

RECT TWinControl::GetClientRect() const
{
    if (FHandle != nullptr) {
        RECT r;
        ui::GetClientRect(FHandle, &r);
        return r;
    }
    return RECT{0, 0, std::max(0, GetWidth() - 2 * FBorderWidth), std::max(0, GetHeight() - 2 * FBorderWidth)};
}

POINT TWinControl::GetClientOrigin() const
{
    if (FHandle != nullptr) {
        POINT p{0, 0};
        ui::ClientToScreen(FHandle, &p);
        return p;
    }
    POINT p = TControl::GetClientOrigin();
    p.x += FBorderWidth;
    p.y += FBorderWidth;
    return p;
}

void TWinControl::SetZOrderPosition(int position)
{
    TControl::SetZOrderPosition(position);
    if (FHandle == nullptr || GetParent() == nullptr)
        return;
    // The window order follows the windowed siblings' order in the list.
    const auto& list = GetParent()->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    HWND above = HWND_BOTTOM;
    for (auto next = it + 1; next != list.end(); ++next) {
        auto* win = dynamic_cast<TWinControl*>(*next);
        if (win != nullptr && win->FHandle != nullptr) {
            above = win->FHandle;
            break;
        }
    }
    if (above == HWND_BOTTOM) {
        SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    }
    // Insert-after puts this window below the given one: find the window just above ours.
    SetWindowPos(FHandle, above, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetWindowPos(above, FHandle, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

}  // namespace ovrel::toolkit
