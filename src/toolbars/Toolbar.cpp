// Toolbars: the chevron, the toolbar view, sizes for each place, control items, the mouse and the hints.
// The menu bar's keyboard and the shortcuts are in ToolbarKeys.cpp.
#include "toolbars/Toolbar.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/AccObjects.h"
#include "toolbars/Common.h"
#include "toolbars/FloatingWindow.h"
#include "toolbars/View_p.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::HasStyle;

namespace {

constexpr int kChevronSize = 12;
// What a toolbar's minimum length keeps beside its most important item: the chevron.
constexpr int kMinimumChevronRoom = 12;
constexpr const char* kChevronHint = "More Buttons|";
constexpr const char* kFloatingWidthValue = "FloatRightX";

std::string ChevronCaption(const std::string& hint) { return EscapeAmpersands(GetShortHint(hint)); }

// Glyph rows, the most significant bit leftmost.
constexpr std::array<std::uint8_t, 5> kHorizontalChevron{0xCC, 0x66, 0x33, 0x66, 0xCC};
constexpr std::array<std::uint8_t, 8> kVerticalChevron{0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};

template <std::size_t N>
void DrawGlyph(HDC dc, const std::array<std::uint8_t, N>& rows, int width, int x, int y, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    for (std::size_t row = 0; row < N; ++row)
        for (int column = 0; column < width; ++column)
            if ((rows[row] & (0x80u >> column)) != 0) {
                const TRect pixel{x + column, y + static_cast<int>(row), x + column + 1, y + static_cast<int>(row) + 1};
                FillRect(dc, &pixel, brush);
            }
    DeleteObject(brush);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBChevronItem and its viewer

TTBChevronItem::TTBChevronItem(TTBCustomToolbar* toolbar) : TTBCustomItem(toolbar), FToolbar(toolbar)
{
    FItemStyle |= itsSubmenu | itsNoAutoOpen;
    SetHint(kChevronHint);
    SetCaption(ChevronCaption(kChevronHint));
}

TTBView* TTBChevronItem::GetChevronParentView() const { return FToolbar->GetView(); }

TTBItemViewerClass TTBChevronItem::GetItemViewerClass(TTBView*) const
{
    return TTBItemViewerClass::Of<TTBChevronItemViewer>();
}

void TTBChevronItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool)
{
    HDC dc = canvas->GetHandle();
    const bool enabled = GetItem()->GetEnabled();
    TRect frame = clientRect;
    if (enabled) {
        if (pushed)
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
        else if (selected)
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
    }
    const bool vertical = GetView()->IsVertical();
    int x = vertical ? clientRect.right - 9 : clientRect.left + 2;
    int y = vertical ? clientRect.top + 2 : 4;
    if (pushed) {
        ++x;
        ++y;
    }
    const auto draw = [&](int dy, COLORREF color) {
        if (vertical)
            DrawGlyph(dc, kVerticalChevron, 5, x, y + dy, color);
        else
            DrawGlyph(dc, kHorizontalChevron, 8, x, y + dy, color);
    };
    if (enabled) {
        draw(0, GetSysColor(COLOR_BTNTEXT));
    } else {
        draw(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(0, GetSysColor(COLOR_BTNSHADOW));
    }
}

// ---------------------------------------------------------------------------------------------------------
// TTBToolbarView

TTBToolbarView::TTBToolbarView(TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem, TWinControl* window,
                               bool isToolbar, bool customizing, bool usePriorityList)
    : TTBView(owner, parentView, parentItem, window, isToolbar, customizing, usePriorityList),
      FToolbar(dynamic_cast<TTBCustomToolbar*>(window))
{}

TFont* TTBToolbarView::GetFont() const
{
    if (FToolbar == nullptr || FToolbar->GetSystemFont())
        return SharedMenuFont();
    return FToolbar->TControl::GetFont();
}

TTBCustomItem* TTBToolbarView::GetChevronItem() const { return FToolbar != nullptr ? FToolbar->FChevronItem : nullptr; }

void TTBToolbarView::InvalidatePositions()
{
    if (FToolbar != nullptr)
        FToolbar->SetShrunkLength(0);
    TTBView::InvalidatePositions();
}

void TTBToolbarView::AutoSize(int width, int height)
{
    if (FToolbar == nullptr)
        return;
    FToolbar->FBaseSize = GetBaseSize();
    FToolbar->FLayoutSize = TSize{width, height};
    // While the toolbar computes its size, it applies the result itself.
    if (FToolbar->FComputingSize == 0 &&
        (FToolbar->GetAutoResize() || FToolbar->GetDocked() || FToolbar->GetFloating()))
        FToolbar->ApplyRecalculatedSize(TSize{width, height});
}

void TTBToolbarView::DoUpdatePositions(TPoint& size)
{
    if (FToolbar == nullptr) {
        TTBView::DoUpdatePositions(size);
        return;
    }
    FToolbar->SetShrunkLength(0);
    size = FToolbar->StartSize(FToolbar->GetDockType(), FToolbar->GetCurrentDock(), GetWrapOffset());
    // The layout moves the controls of control items; the toolbar must not recompute itself meanwhile.
    ++FToolbar->FDisableAlign;
    try {
        TTBView::DoUpdatePositions(size);
    } catch (...) {
        --FToolbar->FDisableAlign;
        throw;
    }
    --FToolbar->FDisableAlign;
}

TRect TTBToolbarView::GetFloatingMargins() const
{
    TRect margins;
    GetMargins(tbvoFloating, margins);
    return margins;
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomToolbar: life

TTBCustomToolbar::TTBCustomToolbar(TComponent* owner) : TTBCustomDockableWindow(owner)
{
    SetControlStyle(GetControlStyle().Include(csAcceptsControls).Include(csActionClient).Exclude(csCaptureMouse));
    SetFloatingResizeOptions(TTBFloatingResizeOptions{});
    SetColor(clBtnFace);
    SetBounds(GetLeft(), GetTop(), 23, 22);
}

TTBCustomToolbar::~TTBCustomToolbar() = default;

void TTBCustomToolbar::Build()
{
    if (FView != nullptr || FBuilding || GetComponentState().Contains(csDestroying))
        return;
    FBuilding = true;
    FItems = GetRootItemClass().Create(this);
    FItems->SetHostComponent(this);
    FChevronItem = GetChevronItemClass().Create(this);
    FChevronItem->SetLinkSubitems(FItems);
    TTBView* view = TTBView::CreateView(GetViewClass(), this, nullptr, FItems, this, true, false,
                                        FChevronMoveItems && !IsDesigning());
    FView = dynamic_cast<TTBToolbarView*>(view);
    if (FView == nullptr) {
        delete view;
        FBuilding = false;
        throw EInvalidOperation("A toolbar's view must be a TTBToolbarView");
    }
    FView->SetBackgroundColor(GetColor());
    TTBViewStyle style = FView->GetStyle();
    if (FMenuBar)
        style |= ViewStyleMenuBar | ViewStyleAccelsFollowSystem;
    if (GetShowHint())
        style |= ViewStyleShowHints;
    FView->SetStyle(style);
    FBuilding = false;
}

void TTBCustomToolbar::BeforeDestruction()
{
    if (FMenuBarHooked) {
        UnregisterHookProc(&TTBCustomToolbar::MenuBarHookProc);
        FMenuBarHooked = false;
    }
    FMenuBar = false;
    FProcessShortCuts = false;
    UpdateMainWindowHook();
    // The window leaves its dock while its view still answers; the view and the items go after it.
    TTBCustomDockableWindow::BeforeDestruction();
    delete std::exchange(FView, nullptr);
    delete std::exchange(FChevronItem, nullptr);
    delete std::exchange(FItems, nullptr);
}

TTBCustomItem* TTBCustomToolbar::GetItems()
{
    Build();
    return FItems;
}

TTBChevronItem* TTBCustomToolbar::GetChevronItem()
{
    Build();
    return FChevronItem;
}

TTBToolbarView* TTBCustomToolbar::GetView()
{
    Build();
    return FView;
}

TTBChevronItemClass TTBCustomToolbar::GetChevronItemClass() const { return TTBChevronItemClass::Of<TTBChevronItem>(); }

TTBToolbarRootItemClass TTBCustomToolbar::GetRootItemClass() const
{
    return TTBToolbarRootItemClass::Of<TTBRootItem>();
}

TTBViewClass TTBCustomToolbar::GetViewClass() const { return TTBViewClass::Of<TTBToolbarView>(); }

void TTBCustomToolbar::Loaded()
{
    // Controls placed on the toolbar while its form was built become items, in their order.
    std::vector<TControl*> controls;
    for (int i = 0; i < GetControlCount(); ++i)
        controls.push_back(GetControl(i));
    for (TControl* control : controls) {
        if (!HoldsControl(control))
            WrapControl(control, GetItems()->GetCount());
    }
    TTBCustomDockableWindow::Loaded();
}

// ---------------------------------------------------------------------------------------------------------
// Settings

void TTBCustomToolbar::SetChevronMoveItems(bool value)
{
    if (value == FChevronMoveItems)
        return;
    FChevronMoveItems = value;
    if (FView != nullptr)
        FView->SetUsePriorityList(value && !IsDesigning());
}

std::string TTBCustomToolbar::GetChevronHint() { return GetChevronItem()->GetHint(); }

void TTBCustomToolbar::SetChevronHint(const std::string& value)
{
    GetChevronItem()->SetHint(value);
    GetChevronItem()->SetCaption(ChevronCaption(value));
}

void TTBCustomToolbar::SetShrinkMode(TTBShrinkMode value)
{
    if (value == FShrinkMode)
        return;
    FShrinkMode = value;
    if (GetDocked() && GetCurrentDock() != nullptr)
        GetCurrentDock()->ArrangeDockedWindows();
    else if (!GetFloating())
        RecalcSize();
}

void TTBCustomToolbar::SetSystemFont(bool value)
{
    if (value == FSystemFont)
        return;
    FSystemFont = value;
    RecalcSize();
}

void TTBCustomToolbar::SetFloatingWidth(int value)
{
    if (value == FFloatingWidth)
        return;
    FFloatingWidth = value;
    if (GetFloating())
        RecalcSize();
}

void TTBCustomToolbar::BeginUpdate() { GetView()->BeginUpdate(); }

void TTBCustomToolbar::EndUpdate() { GetView()->EndUpdate(); }

// ---------------------------------------------------------------------------------------------------------
// Sizes

int TTBCustomToolbar::FrameAlong(const TTBDock* dock) const
{
    if (dock == nullptr)
        return 0;
    const TPoint frame = GetDockedFrameSize(dock);
    return dock->IsVertical() ? frame.y : frame.x;
}

TTBCustomToolbar::TOffsets TTBCustomToolbar::OffsetsFor(TTBDockType dockType, TTBDock* dock)
{
    TOffsets o;
    o.Orientation = dockType == dtFloating ? tbvoFloating : dockType == dtLeftRight ? tbvoVertical : tbvoHorizontal;
    if (dockType == dtNotDocked) {
        // On a form: a toolbar that keeps its width wraps or shrinks into it.
        const TAnchors anchors = GetAnchors();
        if (!GetAutoResize() || (anchors.Contains(akLeft) && anchors.Contains(akRight))) {
            if (FShrinkMode == tbsmChevron)
                o.ChevronOffset = GetWidth();
            else if (FShrinkMode == tbsmWrap)
                o.WrapOffset = GetWidth();
        }
        return o;
    }
    if (FShrinkMode == tbsmChevron && dock != nullptr && GetDocked() && dock == GetCurrentDock())
        o.ChevronOffset = std::max(GetShrunkLength() - FrameAlong(dock), 0);
    if (dockType == dtFloating) {
        o.WrapOffset = FFloatingWidth;
    } else if (FShrinkMode == tbsmWrap && dock != nullptr) {
        const int inner = dock->IsVertical() ? dock->GetHeight() - dock->GetNonClientHeight()
                                             : dock->GetWidth() - dock->GetNonClientWidth();
        o.WrapOffset = inner - FrameAlong(dock);
    }
    return o;
}

TPoint TTBCustomToolbar::StartSize(TTBDockType dockType, TTBDock* dock, int wrapOffset)
{
    TPoint size{0, 0};
    const bool vertical = dockType == dtLeftRight;
    if (dock != nullptr && GetDocked() && dock == GetCurrentDock()) {
        // The toolbar is as thick as the others on its row.
        const int row = dock->GetLayout().RowLastThickness(GetEffectiveRow(), &GetDockedLink());
        (vertical ? size.x : size.y) = row;
    }
    if (GetFullSize()) {
        int& along = vertical ? size.y : size.x;
        along = std::max(along, wrapOffset);
    }
    return size;
}

void TTBCustomToolbar::SetViewOffsets(TTBDockType dockType, TTBDock* dock)
{
    const TOffsets o = OffsetsFor(dockType, dock);
    TTBToolbarView* view = GetView();
    view->SetOrientation(o.Orientation);
    view->SetChevronSize(kChevronSize);
    view->SetChevronOffset(o.ChevronOffset);
    view->SetWrapOffset(o.WrapOffset);
}

TSize TTBCustomToolbar::ComputeSize(bool apply, TTBDockType dockType, TTBDock* dock, bool)
{
    TTBToolbarView* view = GetView();
    if (apply) {
        ++FComputingSize;
        try {
            SetViewOffsets(dockType, dock);
            view->Relayout();
        } catch (...) {
            --FComputingSize;
            throw;
        }
        --FComputingSize;
        return FLayoutSize;
    }
    const TOffsets o = OffsetsFor(dockType, dock);
    TPoint base{0, 0};
    TPoint total = StartSize(dockType, dock, o.WrapOffset);
    int lines = 1;
    view->ComputeLayout(false, o.Orientation, o.WrapOffset, o.ChevronOffset, kChevronSize, base, total, lines);
    FLastWrappedLines = lines;
    return TSize{total.x, total.y};
}

TSize TTBCustomToolbar::GetNaturalSize()
{
    // The length the items want without a chevron: a toolbar that shrank must be able to grow back.
    const TTBDockType dockType = GetDockType();
    const TOffsets o = OffsetsFor(dockType, GetCurrentDock());
    TPoint base{0, 0};
    TPoint total{0, 0};
    int lines = 1;
    GetView()->ComputeLayout(false, o.Orientation, o.WrapOffset, 0, kChevronSize, base, total, lines);
    return TSize{base.x, base.y};
}

int TTBCustomToolbar::GetMinimumLength()
{
    TTBDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    const bool vertical = dock != nullptr && dock->IsVertical();
    int length = 0;
    if (const TTBItemViewer* viewer = GetView()->HighestPriorityViewer()) {
        const TRect& r = viewer->GetBoundsRect();
        length = vertical ? r.bottom - r.top : r.right - r.left;
    }
    return length + FrameAlong(dock) + kMinimumChevronRoom;
}

bool TTBCustomToolbar::PointBlocksDrag(TPoint point)
{
    if (TTBCustomDockableWindow::PointBlocksDrag(point))
        return true;
    if (IsDesigning())
        return false;
    const TTBItemViewer* viewer = GetView()->ViewerFromPoint(point);
    return viewer != nullptr && !HasStyle(viewer->GetItem(), itsPassClicks);
}

void TTBCustomToolbar::ReadPositionData(const TTBReadPositionData& data)
{
    if (data.ReadInt)
        SetFloatingWidth(data.ReadInt(GetName(), kFloatingWidthValue, FFloatingWidth));
}

void TTBCustomToolbar::WritePositionData(const TTBWritePositionData& data)
{
    if (data.WriteInt)
        data.WriteInt(GetName(), kFloatingWidthValue, FFloatingWidth);
}

std::vector<TSize> TTBCustomToolbar::BuildFloatingSizes()
{
    // The floating width is set for each candidate only while it is computed: the frame must not follow.
    const TRestore restore(FFloatingWidth, FFloatingWidth);
    const TRect margins = GetView()->GetFloatingMargins();
    return toolbars::BuildFloatingSizes(
        [this](int width) {
            FFloatingWidth = width;
            const TSize size = ComputeSize(false, dtFloating, nullptr, true);
            return TFloatingLayout{size, FLastWrappedLines};
        },
        margins.left + margins.right);
}

void TTBCustomToolbar::ResizeBegin(int edge)
{
    TTBFloatingWindowParent* frame = GetFloatParent();
    if (frame == nullptr)
        return;
    TRect frameRect;
    GetWindowRect(frame->GetHandle(), &frameRect);
    FResizeSnap = std::make_unique<TFloatingResizeSnap>(edge, frameRect, FloatingFrameInsets(GetFloatingFrameMetrics()),
                                                        FFloatingWidth, BuildFloatingSizes());
}

void TTBCustomToolbar::ResizeTrack(TRect& rect, const TRect& origRect)
{
    if (FResizeSnap != nullptr)
        FResizeSnap->Track(rect, origRect);
}

void TTBCustomToolbar::ResizeAccept()
{
    if (FResizeSnap != nullptr)
        SetFloatingWidth(FResizeSnap->GetFloatingWidth());
}

void TTBCustomToolbar::ResizeEnd() { FResizeSnap.reset(); }

void TTBCustomToolbar::AlignControls(TControl* control, RECT&)
{
    // A control of an item that changed its size needs a new layout. The toolbar's own size comes from its
    // layout (or its dock's), which must not start again while it is being applied.
    if (control != nullptr && FView != nullptr && FDisableAlign == 0)
        RecalcSize();
}

// ---------------------------------------------------------------------------------------------------------
// Control items, actions, tab order, streaming

bool TTBCustomToolbar::HoldsControl(const TControl* control)
{
    TTBCustomItem* items = GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
        const auto* item = dynamic_cast<const TTBControlItem*>(items->GetItem(i));
        if (item != nullptr && item->GetControl() == control)
            return true;
    }
    return false;
}

void TTBCustomToolbar::WrapControl(TControl* control, int index)
{
    auto* item = new TTBControlItem(GetOwner(), control);
    GetItems()->Insert(index, item);
}

void TTBCustomToolbar::CMControlChange(TMessage& message)
{
    auto* control = reinterpret_cast<TControl*>(message.WParam);
    const TComponentState state = GetComponentState();
    if (message.LParam != 0 && control != nullptr && !state.Contains(csLoading) && !state.Contains(csUpdating) &&
        !HoldsControl(control))
        WrapControl(control, GetItems()->GetCount());
    DefaultHandler(message);
}

void TTBCustomToolbar::CMControlListChange(TMessage& message)
{
    auto* control = reinterpret_cast<TControl*>(message.WParam);
    if (message.LParam == 0 && control != nullptr && FItems != nullptr) {
        // The items go, the control stays: it is only leaving the toolbar.
        for (int i = FItems->GetCount() - 1; i >= 0; --i) {
            auto* item = dynamic_cast<TTBControlItem*>(FItems->GetItem(i));
            if (item != nullptr && item->GetControl() == control) {
                item->SetControl(nullptr);
                delete item;
            }
        }
    }
    DefaultHandler(message);
}

void TTBCustomToolbar::InitiateAction()
{
    TTBCustomDockableWindow::InitiateAction();
    if (!FUpdateActions || FView == nullptr)
        return;
    for (int i = 0; i < FView->GetViewerCount(); ++i)
        FView->GetViewer(i)->GetItem()->InitiateAction();
}

void TTBCustomToolbar::GetTabOrderList(std::vector<TWinControl*>& list)
{
    TTBCustomDockableWindow::GetTabOrderList(list);
    if (FView == nullptr)
        return;
    std::vector<TWinControl*> overflowed;
    FView->GetOverflowedWinControls(overflowed);
    std::erase_if(list, [&overflowed](const TWinControl* control) {
        return std::any_of(overflowed.begin(), overflowed.end(), [control](const TWinControl* hidden) {
            return control == hidden || hidden->ContainsControl(control);
        });
    });
}

void TTBCustomToolbar::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    GetItems()->GetChildren(proc, root);
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* control = GetControl(i);
        if (control->GetOwner() == root)
            proc(control);
    }
}

void TTBCustomToolbar::SetChildOrder(TComponent* child, int order) { GetItems()->SetChildOrder(child, order); }

// ---------------------------------------------------------------------------------------------------------
// Painting, the mouse and hints

void TTBCustomToolbar::Paint()
{
    if (FView != nullptr)
        FView->PaintViewers(GetCanvas());
}

void TTBCustomToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const TTBDock* dock = GetCurrentDock();
    const bool floating = GetFloating();
    TTBCustomDockableWindow::MouseDown(button, shift, x, y);
    // A press that dragged the toolbar to another place is used up.
    if (button != mbLeft || IsDesigning() || GetCurrentDock() != dock || GetFloating() != floating)
        return;
    TTBToolbarView* view = GetView();
    const TPoint screen = ClientToScreen(TPoint{x, y});
    view->TrackMouse(&screen, true);
    const TTBItemViewer* selected = view->GetSelected();
    if (selected == nullptr || HasStyle(selected->GetItem(), itsPassClicks))
        return;
    ++FIgnoreMouseLeave;
    try {
        view->EnterToolbarLoop(tbetMouseDown);
    } catch (...) {
        --FIgnoreMouseLeave;
        throw;
    }
    --FIgnoreMouseLeave;
}

void TTBCustomToolbar::MouseMove(TShiftState shift, int x, int y)
{
    TTBCustomDockableWindow::MouseMove(shift, x, y);
    if (IsDesigning())
        return;
    TTBToolbarView* view = GetView();
    const TPoint screen = ClientToScreen(TPoint{x, y});
    view->TrackMouse(&screen, true);
    TTBItemViewer* selected = view->GetSelected();
    std::string hint;
    if (selected != nullptr && !selected->GetItem()->GetEffectiveOptions().Contains(tboLongHintInMenuOnly))
        hint = selected->GetItem()->GetHint();
    SetHint(hint);
    if (selected != nullptr) {
        const TPoint p = selected->ScreenToViewer(screen);
        selected->MouseMove(p.x, p.y);
    }
    RequestMouseTracking(GetHandle(), TME_LEAVE);
}

void TTBCustomToolbar::ClearSelectionUnlessCaptured()
{
    SetHint(std::string());
    if (FView == nullptr || ui::GetCapture() != nullptr || (FView->GetState() & ViewStateModal) != 0)
        return;
    FView->TrackMouse(nullptr, false);
}

void TTBCustomToolbar::CMMouseLeave(TMessage& message)
{
    TTBCustomDockableWindow::CMMouseLeave(message);
    ClearSelectionUnlessCaptured();
}

void TTBCustomToolbar::WMMouseLeave(TMessage& message)
{
    if (FIgnoreMouseLeave == 0)
        ClearSelectionUnlessCaptured();
    DefaultHandler(message);
}

void TTBCustomToolbar::WMNCMouseMove(TMessage& message)
{
    TTBCustomDockableWindow::WMNCMouseMove(message);
    ClearSelectionUnlessCaptured();
}

void TTBCustomToolbar::DoContextPopup(POINT mousePos, bool& handled)
{
    ClearSelectionUnlessCaptured();
    TTBCustomDockableWindow::DoContextPopup(mousePos, handled);
}

void TTBCustomToolbar::WMSetCursor(TMessage& message)
{
    if (!IsDesigning() && LOWORD(message.LParam) == HTCLIENT && FView != nullptr) {
        TPoint cursor;
        GetCursorPos(&cursor);
        FView->TrackMouse(&cursor, true);
        if (TTBItemViewer* selected = FView->GetSelected()) {
            HCURSOR shape = nullptr;
            selected->GetCursor(selected->ScreenToViewer(cursor), shape);
            if (shape != nullptr) {
                ui::SetCursor(shape);
                message.Result = 1;
                return;
            }
        }
    }
    TTBCustomDockableWindow::WMSetCursor(message);
}

void TTBCustomToolbar::CMHintShow(TMessage& message)
{
    auto* info = reinterpret_cast<THintInfo*>(message.LParam);
    info->HintStr.clear();
    if (FView == nullptr)
        return;
    // Each item has a hint of its own: leaving its rectangle asks again.
    if (TTBItemViewer* viewer = FView->ViewerFromPoint(info->CursorPos)) {
        info->CursorRect = viewer->GetBoundsRect();
        info->HintStr = viewer->GetHintText();
    }
}

void TTBCustomToolbar::CMShowHintChanged(TMessage& message)
{
    TTBCustomDockableWindow::CMShowHintChanged(message);
    if (FView == nullptr)
        return;
    TTBViewStyle style = FView->GetStyle();
    if (GetShowHint())
        style |= ViewStyleShowHints;
    else
        style &= static_cast<TTBViewStyle>(~ViewStyleShowHints);
    FView->SetStyle(style);
}

void TTBCustomToolbar::CMColorChanged(TMessage& message)
{
    TTBCustomDockableWindow::CMColorChanged(message);
    if (FView != nullptr)
        FView->SetBackgroundColor(GetColor());
}

void TTBCustomToolbar::CMFontChanged(TMessage& message)
{
    TTBCustomDockableWindow::CMFontChanged(message);
    if (!FSystemFont && FView != nullptr)
        RecalcSize();
}

void TTBCustomToolbar::CMWinIniChange(TMessage& message)
{
    TTBCustomDockableWindow::CMWinIniChange(message);
    if (message.WParam == SPI_SETNONCLIENTMETRICS) {
        UpdateSharedMenuFont();
        if (FView != nullptr) {
            FView->InvalidatePositions();
            RecalcSize();
        }
    }
}

void TTBCustomToolbar::WMGetObject(TMessage& message)
{
    if (FView == nullptr || !FView->HandleGetObject(message))
        DefaultHandler(message);
}

void TTBCustomToolbar::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_SYSCOMMAND: WMSysCommand(message); return;
    case WM_MOUSELEAVE: WMMouseLeave(message); return;
    case WM_GETOBJECT: WMGetObject(message); return;
    case CM_CONTROLCHANGE: CMControlChange(message); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(message); return;
    default: TTBCustomDockableWindow::Dispatch(message);
    }
}

}  // namespace ovrel::toolbars
