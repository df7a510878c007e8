// Views: the viewer list kept in step with the item tree, the layout and the painting.
#include "toolbars/View.h"

#include "platform/ui/Gdi.h"
#include "toolbars/AccObjects.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/View_p.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::HasStyle;
using detail::IsControlItem;
using detail::RectHeight;
using detail::RectWidth;

namespace {

constexpr const char* kNoViewerOfItem = "An item viewer associated the specified item could not be found";
// Inline groups nested deeper than this are not shown.
constexpr int kMaxGroupLevel = 10;
// A view without anything shown still has this size.
constexpr TPoint kEmptyViewSize{23, 22};
// Line-break separators are this thick.
constexpr int kLineBreakSize = 6;

bool IsLoading(const TComponent* component)
{
    return component != nullptr && component->GetComponentState().Contains(csLoading);
}

// A canvas on the screen's device context, for measuring.
class TScreenCanvas {
public:
    explicit TScreenCanvas(const TFont* font) : FDC(GetDC(nullptr))
    {
        FCanvas.SetHandle(FDC);
        FCanvas.GetFont()->Assign(font);
    }
    ~TScreenCanvas()
    {
        FCanvas.SetHandle(nullptr);
        ReleaseDC(nullptr, FDC);
    }
    TScreenCanvas(const TScreenCanvas&) = delete;
    TScreenCanvas& operator=(const TScreenCanvas&) = delete;

    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }

private:
    HDC FDC;
    TCanvas FCanvas;
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Life

TTBView::TTBView(TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem, TWinControl* window, bool isToolbar,
                 bool customizing, bool usePriorityList)
    : TComponent(owner), FCustomizing(customizing), FIsToolbar(isToolbar), FParentView(parentView),
      FParentItem(parentItem), FUsePriorityList(usePriorityList), FWindow(window)
{
    if (FParentItem != nullptr) {
        FParentItem->RegisterNotification(ParentItemProc());
        FParentItem->FreeNotification(this);
    }
    // The window usually owns the view and frees it only after its own destructors have run.
    if (FWindow != nullptr)
        FWindow->FreeNotification(this);
}

TTBView* TTBView::CreateView(const TTBViewClass& viewClass, TComponent* owner, TTBView* parentView,
                             TTBCustomItem* parentItem, TWinControl* window, bool isToolbar, bool customizing,
                             bool usePriorityList)
{
    TTBView* view = viewClass.Create(owner, parentView, parentItem, window, isToolbar, customizing, usePriorityList);
    view->BuildViewers();
    return view;
}

void TTBView::BuildViewers()
{
    if (FBuilt)
        return;
    FBuilt = true;
    FCurParentItem = ResolveLinkSubitems(FParentItem);
    if (FCurParentItem != nullptr)
        FCurParentItem->RegisterNotification(ItemProc());
    RecreateAllViewers();
    for (const auto& viewer : FViewers)
        viewer->GetItem()->InitiateAction();
}

TTBView::~TTBView()
{
    CloseChildPopups();
    // A client may still hold the object: it stays, answering that the view is gone.
    if (FAccObject != nullptr) {
        FAccObject->ClientIsDestroying();
        FAccObject->Release();
        FAccObject = nullptr;
    }
    if (FParentView != nullptr && FParentView->FIsToolbar) {
        FParentView->FState |= ViewStateNoAnimation;
        if (FParentView->FOpenViewer != nullptr)
            FParentView->InvalidateViewer(FParentView->FOpenViewer);
    }
    if (FParentItem != nullptr)
        FParentItem->UnregisterNotification(ParentItemProc());
    if (FCurParentItem != nullptr)
        FCurParentItem->UnregisterNotification(ItemProc());
    FSelected = nullptr;
    FPriorityList.clear();
    while (!FViewers.empty())
        FViewers.pop_back();
    if (FParentView != nullptr)
        FParentView->NotifyFocus();
}

void TTBView::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || component == nullptr)
        return;
    if (component == FChevronParentView)
        FChevronParentView = nullptr;
    if (component == FWindow) {
        CloseChildPopups();
        StopAllTimers();
        FWindow = nullptr;
    }
    if (component == FOpenViewerWindow) {
        FOpenViewerWindow = nullptr;
        FOpenViewerView = nullptr;
        FOpenViewer = nullptr;
    }
    if (component == FParentItem) {
        FParentItem->UnregisterNotification(ParentItemProc());
        FParentItem = nullptr;
        UpdateCurParentItem();
        // Closing the parent's pop-ups frees this view: nothing of it may be touched afterwards.
        if (FParentView != nullptr)
            FParentView->CloseChildPopups();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Accessors

TTBItemViewer* TTBView::GetViewer(int index) const
{
    if (index < 0 || index >= GetViewerCount())
        return nullptr;
    return FViewers[static_cast<std::size_t>(index)].get();
}

TTBItemViewer* TTBView::FindViewerOfItem(const TTBCustomItem* item) const
{
    for (const auto& viewer : FViewers) {
        if (viewer->GetItem() == item)
            return viewer.get();
    }
    throw ETBItemError(kNoViewerOfItem);
}

int TTBView::IndexOfViewer(const TTBItemViewer* viewer) const
{
    if (viewer == nullptr)
        return -1;
    for (int i = 0; i < GetViewerCount(); ++i) {
        if (FViewers[static_cast<std::size_t>(i)].get() == viewer)
            return i;
    }
    return -1;
}

void TTBView::SetUsePriorityList(bool value)
{
    if (value == FUsePriorityList)
        return;
    FUsePriorityList = value;
    RecreateAllViewers();
}

void TTBView::SetIsToolbar(bool value) { FIsToolbar = value; }

void TTBView::SetOrientation(TTBViewOrientation value) { FOrientation = value; }

void TTBView::SetChevronParentView(TTBView* value)
{
    if (value == FChevronParentView)
        return;
    if (FChevronParentView != nullptr)
        FChevronParentView->RemoveFreeNotification(this);
    FChevronParentView = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

void TTBView::SetWrapOffset(int value) { FWrapOffset = value; }

void TTBView::SetChevronOffset(int value) { FChevronOffset = value; }

void TTBView::SetChevronSize(int value) { FChevronSize = value; }

void TTBView::SetMaxHeight(int value) { FMaxHeight = value; }

bool TTBView::IsAncestorOf(const TTBView* view) const
{
    for (const TTBView* v = view; v != nullptr; v = v->FParentView) {
        if (v == this)
            return true;
    }
    return false;
}

TTBView* TTBView::GetRootView()
{
    TTBView* view = this;
    while (view->FParentView != nullptr)
        view = view->FParentView;
    return view;
}

TTBView* TTBView::GetToolbarView()
{
    for (TTBView* view = this; view != nullptr; view = view->FParentView) {
        if (view->FIsToolbar)
            return view;
    }
    return nullptr;
}

void TTBView::GetOverflowedWinControls(std::vector<TWinControl*>& list) const
{
    for (const auto& viewer : FViewers) {
        const auto* item = dynamic_cast<const TTBControlItem*>(viewer->GetItem());
        if (item != nullptr && viewer->IsOverflowed()) {
            if (auto* control = dynamic_cast<TWinControl*>(item->GetControl()))
                list.push_back(control);
        }
    }
}

TFont* TTBView::GetFont() const { return SharedMenuFont(); }

TPoint TTBView::GetClientOriginOnScreen() const
{
    return FWindow != nullptr ? FWindow->GetClientOrigin() : TPoint{0, 0};
}

void TTBView::ForEachShownViewer(const std::function<void(const TRect&)>& visit) const
{
    for (const auto& viewer : FViewers) {
        if (viewer->IsPlaced())
            visit(viewer->GetBoundsRect());
    }
}

// ---------------------------------------------------------------------------------------------------------
// The viewer list

int TTBView::InsertItemViewers(int index, TTBCustomItem* item, int groupLevel, bool usePriority,
                               bool newGetsTopPriority)
{
    if (groupLevel > kMaxGroupLevel)
        return 0;
    auto viewer = std::unique_ptr<TTBItemViewer>(item->GetItemViewerClass(this).Create(this, item, groupLevel));
    TTBItemViewer* made = viewer.get();
    FViewers.insert(FViewers.begin() + index, std::move(viewer));
    if (usePriority && FUsePriorityList) {
        if (newGetsTopPriority)
            AddToFrontOfList(FPriorityList, made);
        else
            AddToList(FPriorityList, made);
    }
    int count = 1;
    if (!FCustomizing && HasStyle(item, itsInlineGroup)) {
        TTBCustomItem* linked = ResolveLinkSubitems(item);
        for (int i = 0; i < linked->GetCount(); ++i)
            count +=
                InsertItemViewers(index + count, linked->GetItem(i), groupLevel + 1, usePriority, newGetsTopPriority);
    }
    return count;
}

void TTBView::ForgetViewer(TTBItemViewer* viewer)
{
    if (viewer == FSelected) {
        // Without a selection nothing holds the mouse or is under it, so no release reaches a freed viewer.
        FSelected = nullptr;
        FCapture = false;
        FMouseOverSelected = false;
    }
    if (viewer == FOpenViewer)
        CloseChildPopups();
    RemoveFromList(FPriorityList, viewer);
}

void TTBView::RemoveViewer(int index)
{
    ForgetViewer(FViewers[static_cast<std::size_t>(index)].get());
    FViewers.erase(FViewers.begin() + index);
}

void TTBView::RecreateViewer(int index)
{
    TTBItemViewer* old = FViewers[static_cast<std::size_t>(index)].get();
    const auto listed = std::find(FPriorityList.begin(), FPriorityList.end(), old);
    const auto place = listed - FPriorityList.begin();
    const bool inList = listed != FPriorityList.end();
    ForgetViewer(old);
    TTBCustomItem* item = old->GetItem();
    auto made = std::unique_ptr<TTBItemViewer>(item->GetItemViewerClass(this).Create(this, item, old->GetGroupLevel()));
    if (inList)
        FPriorityList.insert(FPriorityList.begin() + place, made.get());
    FViewers[static_cast<std::size_t>(index)] = std::move(made);
}

void TTBView::RecreateAllViewers()
{
    CloseChildPopups();
    Select(nullptr);
    InvalidatePositions();
    FPriorityList.clear();
    while (!FViewers.empty())
        FViewers.pop_back();
    FInternalViewersAtFront = 0;
    FInternalViewersAtEnd = 0;
    if (FCurParentItem != nullptr) {
        for (int i = 0; i < FCurParentItem->GetCount(); ++i)
            InsertItemViewers(GetViewerCount(), FCurParentItem->GetItem(i), 0, true, false);
    }
    if (TTBCustomItem* chevron = GetChevronItem())
        FInternalViewersAtEnd += InsertItemViewers(GetViewerCount(), chevron, 0, false, false);
}

void TTBView::UpdateCurParentItem()
{
    TTBCustomItem* target = ResolveLinkSubitems(FParentItem);
    if (target == FCurParentItem)
        return;
    CloseChildPopups();
    if (FCurParentItem != nullptr)
        FCurParentItem->UnregisterNotification(ItemProc());
    FCurParentItem = target;
    if (target != nullptr)
        target->RegisterNotification(ItemProc());
    RecreateAllViewers();
    for (const auto& viewer : FViewers)
        viewer->GetItem()->InitiateAction();
}

void TTBView::InvalidatePositionsAll()
{
    for (TTBView* view = this; view != nullptr; view = view->FOpenViewerView)
        view->InvalidatePositions();
}

void TTBView::ItemInserted(TTBCustomItem* ancestor, int index, TTBCustomItem* item)
{
    InvalidatePositions();
    const TTBCustomItem* parent = item->GetParent();
    const TTBCustomItem* next =
        parent != nullptr && index + 1 < parent->GetCount() ? parent->GetItem(index + 1) : nullptr;
    const bool topPriority = !IsLoading(item);
    // Inserts before the viewer of the next sibling at level within [begin, end), else at end.
    const auto insertIn = [&](int begin, int end, int level) {
        int at = end;
        for (int i = begin; next != nullptr && i < end; ++i) {
            const TTBItemViewer* v = GetViewer(i);
            if (v->GetGroupLevel() == level && v->GetItem() == next) {
                at = i;
                break;
            }
        }
        InsertItemViewers(at, item, level, true, topPriority);
    };
    if (ancestor == FCurParentItem) {
        insertIn(0, GetViewerCount() - FInternalViewersAtEnd, 0);
        return;
    }
    if (FCustomizing)
        return;  // inline groups show as items, without their children
    // The group may show more than once (through links): the first of its runs that lacks the item.
    for (int g = 0; g < GetViewerCount(); ++g) {
        if (GetViewer(g)->GetItem() != ancestor)
            continue;
        const int level = GetViewer(g)->GetGroupLevel();
        int end = g + 1;
        while (end < GetViewerCount() && GetViewer(end)->GetGroupLevel() > level)
            ++end;
        bool present = false;
        for (int i = g + 1; i < end && !present; ++i)
            present = GetViewer(i)->GetItem() == item && GetViewer(i)->GetGroupLevel() == level + 1;
        if (present)
            continue;
        if (end == GetViewerCount())
            end -= FInternalViewersAtEnd;
        insertIn(g + 1, end, level + 1);
        return;
    }
}

void TTBView::ItemDeleting(TTBCustomItem* item)
{
    int i = 0;
    while (i < GetViewerCount()) {
        if (GetViewer(i)->GetItem() != item) {
            ++i;
            continue;
        }
        const int level = GetViewer(i)->GetGroupLevel();
        int end = i + 1;
        while (end < GetViewerCount() && GetViewer(end)->GetGroupLevel() > level)
            ++end;
        while (end > i)
            RemoveViewer(--end);
    }
}

void TTBView::ItemNotification(TTBCustomItem* ancestor, bool, TTBItemChange kind, int index, TTBCustomItem* item)
{
    switch (kind) {
    case tbcInserted: ItemInserted(ancestor, index, item); break;
    case tbcDeleting:
        InvalidatePositions();
        ItemDeleting(item);
        break;
    case tbcSubitemsRelinked: RecreateAllViewers(); break;
    case tbcBeginUpdate: BeginUpdate(); break;
    case tbcEndUpdate: EndUpdate(); break;
    case tbcRepaint:
        for (const auto& viewer : FViewers) {
            if (viewer->GetItem() == item)
                InvalidateViewer(viewer.get());
        }
        break;
    case tbcRepaintAndResize: InvalidatePositions(); break;
    case tbcRebuildViewers:
        InvalidatePositions();
        for (int i = 0; i < GetViewerCount(); ++i) {
            if (GetViewer(i)->GetItem() == item)
                RecreateViewer(i);
        }
        break;
    case tbcSubMenuImages: InvalidatePositionsAll(); break;
    default: return;
    }
    TryEnsureLayout();
}

void TTBView::ParentItemNotification(TTBCustomItem*, bool relayed, TTBItemChange kind, int, TTBCustomItem*)
{
    if (relayed)
        return;
    if (kind == tbcSubitemsRelinked)
        UpdateCurParentItem();
    else if (kind == tbcSubMenuImages && FCurParentItem != FParentItem)
        InvalidatePositionsAll();
}

std::string TTBView::SelfCheck() const
{
    std::string problems;
    const auto fail = [&problems](const std::string& problem) {
        problems += problems.empty() ? problem : "; " + problem;
    };
    if (FBuilt && ResolveLinkSubitems(FParentItem) != FCurParentItem)
        fail("the current parent item is not what the parent item links to");

    std::vector<std::pair<const TTBCustomItem*, int>> expected;
    std::function<void(TTBCustomItem*, int)> add = [&](TTBCustomItem* item, int level) {
        if (level > kMaxGroupLevel)
            return;
        expected.emplace_back(item, level);
        if (!FCustomizing && HasStyle(item, itsInlineGroup)) {
            TTBCustomItem* linked = ResolveLinkSubitems(item);
            for (int i = 0; i < linked->GetCount(); ++i)
                add(linked->GetItem(i), level + 1);
        }
    };
    if (FCurParentItem != nullptr) {
        for (int i = 0; i < FCurParentItem->GetCount(); ++i)
            add(FCurParentItem->GetItem(i), 0);
    }
    const TTBCustomItem* chevron = GetChevronItem();
    if (chevron != nullptr)
        expected.emplace_back(chevron, 0);
    if (expected.size() != FViewers.size())
        fail(Format("%d viewers where the items call for %d", {GetViewerCount(), static_cast<int>(expected.size())}));
    for (std::size_t i = 0; i < std::min(expected.size(), FViewers.size()); ++i) {
        const TTBItemViewer* viewer = FViewers[i].get();
        if (viewer->GetItem() != expected[i].first || viewer->GetGroupLevel() != expected[i].second)
            fail(Format("viewer %d shows another item or level", {static_cast<int>(i)}));
        if (viewer->GetView() != this)
            fail(Format("viewer %d belongs to another view", {static_cast<int>(i)}));
    }
    if (FInternalViewersAtFront != 0 || FInternalViewersAtEnd != (chevron != nullptr ? 1 : 0))
        fail("the internal viewer counts are wrong");
    if (!FUsePriorityList && !FPriorityList.empty())
        fail("a priority list without its use");
    for (std::size_t i = 0; i < FPriorityList.size(); ++i) {
        if (IndexOfViewer(FPriorityList[i]) < 0)
            fail("the priority list holds a viewer that is gone");
        if (std::find(FPriorityList.begin() + static_cast<std::ptrdiff_t>(i) + 1, FPriorityList.end(),
                      FPriorityList[i]) != FPriorityList.end())
            fail("the priority list holds a viewer twice");
    }
    if (FSelected != nullptr && IndexOfViewer(FSelected) < 0)
        fail("the selection is gone");
    if (FSelected == nullptr && (FCapture || FMouseOverSelected))
        fail("capture or mouse-over without a selection");
    if (FOpenViewer != nullptr && IndexOfViewer(FOpenViewer) < 0)
        fail("the open viewer is gone");
    if ((FOpenViewer == nullptr) != (FOpenViewerWindow == nullptr) ||
        (FOpenViewer == nullptr) != (FOpenViewerView == nullptr))
        fail("the open pop-up is half recorded");
    return problems;
}

// ---------------------------------------------------------------------------------------------------------
// Lazy layout

void TTBView::BeginUpdate() { ++FUpdating; }

void TTBView::EndUpdate()
{
    if (FUpdating > 0 && --FUpdating == 0)
        TryEnsureLayout();
}

void TTBView::InvalidatePositions()
{
    if (!FValidated)
        return;
    FValidated = false;
    if (FWindow != nullptr && FWindow->HandleAllocated())
        InvalidateRect(FWindow->GetHandle(), nullptr, TRUE);
}

void TTBView::EnsureLayout()
{
    if (!FValidated)
        Relayout();
}

void TTBView::TryEnsureLayout()
{
    if (FUpdating > 0)
        return;
    if (IsLoading(FParentItem) || (FParentItem != nullptr && IsLoading(FParentItem->GetOwner())))
        return;
    EnsureLayout();
}

void TTBView::Relayout()
{
    TPoint size{0, 0};
    DoUpdatePositions(size);
}

void TTBView::RelayoutScrolled()
{
    if (!FValidated) {
        Relayout();
        return;
    }
    const TRestore reuse(FReuseMeasurements, true);
    Relayout();
}

void TTBView::GetMargins(TTBViewOrientation orientation, TRect& margins) const
{
    margins = orientation == tbvoFloating ? TRect{4, 2, 4, 1} : TRect{0, 0, 0, 0};
}

void TTBView::AutoSize(int, int) {}

void TTBView::DoUpdatePositions(TPoint& size)
{
    int lineCount = 0;
    const bool changed =
        ComputeLayout(true, FOrientation, FWrapOffset, FChevronOffset, FChevronSize, FBaseSize, size, lineCount);
    FValidated = true;
    if (!changed || FWindow == nullptr || !FWindow->HandleAllocated()) {
        AutoSize(size.x, size.y);
        return;
    }
    ValidateRect(FWindow->GetHandle(), nullptr);
    AutoSize(size.x, size.y);
    RepaintWindowOffscreen();
}

bool TTBView::ComputeLayout(bool canMoveControls, TTBViewOrientation orientation, int wrapOffset, int chevronOffset,
                            int chevronSize, TPoint& baseSize, TPoint& totalSize, int& lineCount)
{
    // The viewers measure and draw by the orientation in force.
    TRestore<TTBViewOrientation> orientationScope(FOrientation, orientation);
    const bool vertical = orientation == tbvoVertical;
    TScreenCanvas canvas(GetFont());

    struct TWork {
        TRect Bounds{0, 0, 0, 0};
        bool Placed = false;
        bool Overflowed = false;
        bool LineBreak = false;
        bool ScrolledOut = false;
        bool SameWidth = false;
    };
    const int count = GetViewerCount();
    std::vector<TWork> work(static_cast<std::size_t>(count));
    const auto at = [&work](int i) -> TWork& { return work[static_cast<std::size_t>(i)]; };
    const auto item = [this](int i) { return GetViewer(i)->GetItem(); };
    const auto isSeparator = [&](int i) { return HasStyle(item(i), itsSeparator); };
    const auto length = [&](int i) { return vertical ? RectHeight(at(i).Bounds) : RectWidth(at(i).Bounds); };
    const auto along = [vertical](TPoint& p) -> int& { return vertical ? p.y : p.x; };
    const auto across = [vertical](TPoint& p) -> int& { return vertical ? p.x : p.y; };
    TTBCustomItem* chevronItem = GetChevronItem();
    lineCount = 1;

    // 1. What shows: no separator at the start or after another.
    if (FChevronParentView != nullptr)
        FChevronParentView->EnsureLayout();
    bool afterSeparator = true;
    for (int i = 0; i < count; ++i) {
        TTBCustomItem* it = item(i);
        if (chevronItem != nullptr && it == chevronItem)
            continue;
        const auto* controlItem = dynamic_cast<const TTBControlItem*>(it);
        if (FChevronParentView != nullptr) {
            if (controlItem != nullptr)
                continue;
            const TTBItemViewer* shown = FChevronParentView->GetViewer(i + FChevronParentView->FInternalViewersAtFront);
            if (!isSeparator(i) && (shown == nullptr || !shown->IsOverflowed()))
                continue;
        }
        if (controlItem != nullptr) {
            const TControl* control = controlItem->GetControl();
            if (control != nullptr && FWindow != nullptr && control->GetParent() == FWindow && control->GetVisible()) {
                at(i).Placed = true;
                afterSeparator = false;
            }
            continue;
        }
        if ((HasStyle(it, itsInlineGroup) && !FCustomizing) || !it->GetVisible())
            continue;
        if (isSeparator(i) && afterSeparator)
            continue;
        at(i).Placed = true;
        afterSeparator = isSeparator(i);
    }
    // Hides the separators at the end; returns the length they had.
    const auto hideTrailingSeparators = [&] {
        int hidden = 0;
        for (int i = count - 1; i >= 0; --i) {
            if (!at(i).Placed)
                continue;
            if (!isSeparator(i))
                break;
            at(i).Placed = false;
            hidden += length(i);
        }
        return hidden;
    };
    // 2.
    hideTrailingSeparators();

    // 3. Measuring.
    int sameWidth = 0;
    for (int i = 0; i < count; ++i) {
        if (!at(i).Placed)
            continue;
        int width = 0;
        int height = 0;
        if (const auto* controlItem = dynamic_cast<const TTBControlItem*>(item(i))) {
            width = controlItem->GetControl()->GetWidth();
            height = controlItem->GetControl()->GetHeight();
        } else {
            TTBCustomItem* it = item(i);
            TFont* font = canvas->GetFont();
            const bool bold = it->GetEffectiveOptions().Contains(tboDefault) && !font->GetStyle().Contains(fsBold);
            if (bold)
                font->SetStyle(font->GetStyle() + TFontStyles{fsBold});
            TTBItemViewer* measured = GetViewer(i);
            std::unique_ptr<TTBItemViewer> temporary;
            if (it->NeedToRecreateViewer(measured)) {
                if (canMoveControls) {
                    RecreateViewer(i);
                    measured = GetViewer(i);
                } else {
                    temporary.reset(it->GetItemViewerClass(this).Create(this, it, 0));
                    measured = temporary.get();
                }
            }
            if (FReuseMeasurements && !temporary && measured->FMeasuredSize.cx >= 0) {
                width = measured->FMeasuredSize.cx;
                height = measured->FMeasuredSize.cy;
            } else {
                measured->CalcSize(canvas.Get(), width, height);
                if (canMoveControls && !temporary)
                    measured->FMeasuredSize = TSize{width, height};
            }
            if (measured->UsesSameWidth()) {
                at(i).SameWidth = true;
                sameWidth = std::max(sameWidth, width);
            }
            if (bold)
                font->SetStyle(font->GetStyle() - TFontStyles{fsBold});
        }
        at(i).Bounds = TRect{0, 0, width, height};
    }

    // 4. Same widths, and the base size.
    baseSize = TPoint{0, 0};
    for (int i = 0; i < count; ++i) {
        if (at(i).SameWidth && RectWidth(at(i).Bounds) < sameWidth)
            at(i).Bounds.right = sameWidth;
        if (at(i).Placed)
            along(baseSize) += length(i);
    }

    // 5. The chevron: viewers of the lowest priority go until the rest fits before it.
    const bool chevronApplies = chevronItem != nullptr && chevronOffset > 0 && chevronOffset < along(baseSize);
    bool nonControlOverflowed = false;
    if (chevronApplies) {
        chevronOffset -= chevronSize;
        while (chevronOffset < along(baseSize)) {
            int last = -1;
            int nonSeparators = 0;
            for (int i = 0; i < count; ++i) {
                if (at(i).Placed) {
                    last = i;
                    nonSeparators += isSeparator(i) ? 0 : 1;
                }
            }
            if (nonSeparators < 2)
                break;
            int victim = -1;
            if (isSeparator(last)) {
                victim = last;
            } else if (!FPriorityList.empty()) {
                for (auto p = FPriorityList.rbegin(); p != FPriorityList.rend() && victim < 0; ++p) {
                    const int i = IndexOfViewer(*p);
                    if (i >= 0 && at(i).Placed && !isSeparator(i))
                        victim = i;
                }
            } else {
                for (int i = count - 1; i >= 0 && victim < 0; --i) {
                    if (at(i).Placed && !isSeparator(i))
                        victim = i;
                }
            }
            if (victim < 0)
                break;
            at(victim).Placed = false;
            if (!isSeparator(victim)) {
                at(victim).Overflowed = true;
                if (!IsControlItem(item(victim)))
                    nonControlOverflowed = true;
            }
            along(baseSize) -= length(victim);
            bool previousSeparator = true;
            for (int i = 0; i < count; ++i) {
                if (!at(i).Placed)
                    continue;
                if (isSeparator(i) && previousSeparator) {
                    at(i).Placed = false;
                    along(baseSize) -= length(i);
                    continue;
                }
                previousSeparator = isSeparator(i);
            }
        }
    }
    // 6.
    along(baseSize) -= hideTrailingSeparators();

    // 7. The cross size.
    for (int i = 0; i < count; ++i) {
        if (at(i).Placed)
            across(baseSize) =
                std::max(across(baseSize), vertical ? RectWidth(at(i).Bounds) : RectHeight(at(i).Bounds));
    }

    // 8. Margins.
    TRect margins;
    GetMargins(orientation, margins);
    if (wrapOffset > 0)
        wrapOffset = std::max(wrapOffset - margins.right, 1);

    // 9. Placement, line by line.
    const auto isToolbarSized = [&](int i) {
        return FIsToolbar || item(i)->GetEffectiveOptions().Contains(tboToolbarSize);
    };
    TPoint pos{margins.left, margins.top};
    struct TLine {
        std::vector<int> Members;
        int Width = 0;
        int Height = 0;
    } line;
    bool lastBreakWasWrap = false;
    bool wrapped = false;
    const auto finishLine = [&](bool final) {
        if (line.Members.empty())
            return;
        if (wrapped && FChevronParentView == nullptr)
            along(totalSize) = std::max(along(totalSize), wrapOffset);
        int crossSize = vertical ? line.Width : line.Height;
        if (FIsToolbar && final && !wrapped && orientation != tbvoFloating)
            crossSize = across(totalSize);
        for (int i : line.Members) {
            TRect& r = at(i).Bounds;
            if (isToolbarSized(i)) {
                if (isSeparator(i) || HasStyle(item(i), itsStretch)) {
                    (vertical ? r.right : r.bottom) = (vertical ? r.left : r.top) + crossSize;
                } else {
                    const int offset = (crossSize - (vertical ? RectWidth(r) : RectHeight(r))) / 2;
                    OffsetRect(&r, vertical ? offset : 0, vertical ? 0 : offset);
                }
            } else if (!FIsToolbar) {
                // Menu rows take the width of the widest.
                r.right = r.left + line.Width;
            }
        }
        const auto rightAligned = std::find_if(line.Members.begin(), line.Members.end(),
                                               [&](int i) { return HasStyle(item(i), itsRightAlign); });
        if (rightAligned != line.Members.end()) {
            const TRect& lastRect = at(line.Members.back()).Bounds;
            const int shift = std::min(wrapOffset, along(totalSize)) - (vertical ? lastRect.bottom : lastRect.right);
            for (auto i = rightAligned; shift > 0 && i != line.Members.end(); ++i)
                OffsetRect(&at(*i).Bounds, vertical ? 0 : shift, vertical ? shift : 0);
        }
        line = TLine{};
    };
    bool previousToolbarSized = false;
    for (int i = 0; i < count; ++i) {
        if (!at(i).Placed)
            continue;
        TRect& r = at(i).Bounds;
        const bool toolbarSized = isToolbarSized(i);
        if (previousToolbarSized && !toolbarSized)
            pos = TPoint{margins.left, totalSize.y};
        previousToolbarSized = toolbarSized;

        bool lineBreak = false;
        if (wrapOffset > 0 && along(pos) > 0) {
            const int end = along(pos) + length(i);
            if (isSeparator(i)) {
                int following = 0;
                for (int j = i + 1; j < count; ++j) {
                    if (!at(j).Placed)
                        continue;
                    if (isSeparator(j))
                        break;
                    following += length(j);
                }
                lineBreak = (lastBreakWasWrap && !HasStyle(item(i), itsNoWrapBreak)) || wrapOffset < end + following;
            } else if (wrapOffset < end) {
                ++lineCount;
                wrapped = true;
                if (vertical) {
                    pos.y = margins.top;
                    pos.x += line.Width;
                } else {
                    pos.x = margins.left;
                    pos.y += line.Height;
                }
                finishLine(false);
                lastBreakWasWrap = true;
            }
        }
        if (lineBreak) {
            ++lineCount;
            wrapped = true;
            if (vertical) {
                pos.y = 0;
                pos.x += line.Width;
            } else {
                pos.x = 0;
                pos.y += line.Height;
            }
            finishLine(false);
            r = vertical ? TRect{0, 0, kLineBreakSize, 0} : TRect{0, 0, 0, kLineBreakSize};
            at(i).LineBreak = true;
            OffsetRect(&r, std::max(pos.x, 0), std::max(pos.y, 0));
            if (vertical) {
                pos.y = margins.top;
                pos.x += kLineBreakSize;
            } else {
                pos.x = margins.left;
                pos.y += kLineBreakSize;
            }
            lastBreakWasWrap = false;
        } else {
            line.Members.push_back(i);
            line.Width = std::max(line.Width, RectWidth(r));
            line.Height = std::max(line.Height, RectHeight(r));
            OffsetRect(&r, std::max(pos.x, 0) - r.left, std::max(pos.y, 0) - r.top);
            if (toolbarSized && !vertical)
                pos.x += RectWidth(r);
            else
                pos.y += RectHeight(r);
        }
        totalSize.x = std::max(totalSize.x, r.right);
        totalSize.y = std::max(totalSize.y, r.bottom);
    }

    // 10. The last line, the margins, right-to-left lines of a vertical view, then scrolling.
    finishLine(true);
    totalSize.x += margins.right;
    totalSize.y += margins.bottom;
    if (vertical) {
        for (TWork& w : work) {
            if (w.Placed)
                w.Bounds =
                    TRect{totalSize.x - w.Bounds.right, w.Bounds.top, totalSize.x - w.Bounds.left, w.Bounds.bottom};
        }
    }
    int scrollOffset = 0;
    bool upArrow = false;
    bool downArrow = false;
    if (FMaxHeight > 0 && totalSize.y > FMaxHeight) {
        const int limit = totalSize.y - FMaxHeight;
        scrollOffset = std::clamp(FScrollOffset, 0, limit);
        upArrow = scrollOffset > 0;
        downArrow = scrollOffset < limit;
        const int top = upArrow ? ScrollBandHeight : 0;
        const int bottom = downArrow ? FMaxHeight - ScrollBandHeight : FMaxHeight;
        for (TWork& w : work) {
            if (!IsRectEmpty(&w.Bounds))
                OffsetRect(&w.Bounds, 0, -scrollOffset);
            if (w.Placed && (w.Bounds.top < top || w.Bounds.bottom > bottom)) {
                w.Placed = false;
                w.ScrolledOut = true;
            }
        }
        totalSize.y = FMaxHeight;
    }
    if (canMoveControls) {
        FScrollOffset = scrollOffset;
        FShowUpArrow = upArrow;
        FShowDownArrow = downArrow;
    }

    // 11. Controls go to their places, or out of sight.
    if (canMoveControls) {
        for (int i = 0; i < count; ++i) {
            const auto* controlItem = dynamic_cast<const TTBControlItem*>(item(i));
            TControl* control = controlItem != nullptr ? controlItem->GetControl() : nullptr;
            if (control == nullptr)
                continue;
            if (at(i).Placed) {
                if (control->GetBoundsRect() != at(i).Bounds)
                    control->SetBoundsRect(at(i).Bounds);
            } else if ((at(i).Overflowed || at(i).ScrolledOut) && FWindow != nullptr) {
                control->SetBounds(FWindow->GetClientWidth(), FWindow->GetClientHeight(), control->GetWidth(),
                                   control->GetHeight());
            }
        }
    }

    // 12. Line breaks of a toolbar span it.
    if (FIsToolbar) {
        for (TWork& w : work) {
            if (w.Placed && w.LineBreak)
                (vertical ? w.Bounds.bottom : w.Bounds.right) = vertical ? totalSize.y : totalSize.x;
        }
    }

    // 13. The chevron, after what is left or at its offset.
    if (chevronApplies && count > 0 && item(count - 1) == chevronItem) {
        if (canMoveControls)
            chevronItem->SetEnabled(nonControlOverflowed);
        const int start = std::max(chevronOffset, along(totalSize));
        at(count - 1).Bounds = vertical ? TRect{0, start, totalSize.x, start + chevronSize}
                                        : TRect{start, 0, start + chevronSize, totalSize.y};
        at(count - 1).Placed = true;
    }

    // 14. The viewers take the result.
    bool changed = false;
    if (canMoveControls) {
        for (int i = 0; i < count; ++i) {
            TTBItemViewer* viewer = GetViewer(i);
            const TWork& w = at(i);
            changed = changed || viewer->FBoundsRect != w.Bounds || viewer->FPlaced != w.Placed ||
                      viewer->FDrawnAsLineBreak != w.LineBreak;
            viewer->FBoundsRect = w.Bounds;
            viewer->FPlaced = w.Placed;
            viewer->FOverflowed = w.Overflowed;
            viewer->FScrolledOut = w.ScrolledOut;
            viewer->FDrawnAsLineBreak = w.LineBreak;
        }
    }

    // 15.
    if (baseSize.x == 0 || baseSize.y == 0)
        baseSize = kEmptyViewSize;
    totalSize.x = std::max(totalSize.x, kEmptyViewSize.x);
    totalSize.y = std::max(totalSize.y, kEmptyViewSize.y);
    return changed;
}

TTBItemViewer* TTBView::ViewerFromPoint(TPoint point)
{
    EnsureLayout();
    for (const auto& viewer : FViewers) {
        if (viewer->IsPlaced() && PtInRect(&viewer->GetBoundsRect(), point))
            return viewer.get();
    }
    return nullptr;
}

TTBItemViewer* TTBView::HighestPriorityViewer()
{
    EnsureLayout();
    const auto shown = [](const TTBItemViewer* v) { return v->IsPlaced() && !HasStyle(v->GetItem(), itsSeparator); };
    if (!FPriorityList.empty()) {
        const auto it = std::find_if(FPriorityList.begin(), FPriorityList.end(), shown);
        return it != FPriorityList.end() ? *it : nullptr;
    }
    for (const auto& viewer : FViewers) {
        if (shown(viewer.get()))
            return viewer.get();
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TTBView::RepaintWindowOffscreen()
{
    HWND window = FWindow->GetHandle();
    if (!IsWindowVisible(window))
        return;
    RECT client;
    GetClientRect(window, &client);
    if (IsRectEmpty(&client))
        return;
    // Erase and paint go to a bitmap first, so the window never shows the half-painted state.
    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memoryDC, bitmap);
    SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memoryDC), 0);
    SendMessage(window, WM_PAINT, reinterpret_cast<WPARAM>(memoryDC), 0);
    BitBlt(windowDC, 0, 0, client.right, client.bottom, memoryDC, 0, 0, SRCCOPY);
    SelectObject(memoryDC, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    ValidateRect(window, nullptr);
}

void TTBView::PaintViewers(TCanvas* canvas)
{
    const bool inOrder = (FState & ViewStateDrawInOrder) != 0;
    for (int i = 0; i < GetViewerCount(); ++i) {
        TTBItemViewer* viewer = GetViewer(i);
        if (inOrder || viewer != FSelected)
            PaintViewer(viewer, canvas, false);
    }
    if (!inOrder && FSelected != nullptr)
        PaintViewer(FSelected, canvas, false);
    FState &= static_cast<TTBViewState>(~ViewStateDrawInOrder);
}

void TTBView::PaintViewer(TTBItemViewer* viewer, TCanvas* canvas, bool offscreen)
{
    EnsureLayout();
    if (viewer->FPaintPending) {
        offscreen = true;
        viewer->FPaintPending = false;
    }
    const TRect bounds = viewer->GetBoundsRect();
    if (!viewer->IsPlaced() || IsRectEmpty(&bounds) || IsControlItem(viewer->GetItem()))
        return;
    HDC dc = canvas->GetHandle();
    const int saved = SaveDC(dc);
    TFont savedFont;
    savedFont.Assign(canvas->GetFont());
    TBrush savedBrush;
    savedBrush.Assign(canvas->GetBrush());
    const auto restore = [&] {
        RestoreDC(dc, saved);
        canvas->Refresh();
        canvas->GetFont()->Assign(&savedFont);
        canvas->GetBrush()->Assign(&savedBrush);
    };
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    TRect clip;
    GetClipBox(dc, &clip);
    if (IsRectEmpty(&clip)) {
        restore();
        return;
    }

    const bool selected = viewer == FSelected;
    const bool toolbarStyle = viewer->IsToolbarStyle();
    const TTBCustomItem* item = viewer->GetItem();
    TBrush* brush = canvas->GetBrush();
    if (selected && !toolbarStyle)
        brush->SetColor(AreFlatMenusEnabled() ? clMenuHighlight : clHighlight);
    else
        brush->SetStyle(bsClear);
    TFont* font = canvas->GetFont();
    font->Assign(GetFont());
    bool emboss = false;
    if (item->GetEnabled() || FCustomizing) {
        font->SetColor(selected && !toolbarStyle ? clHighlightText : toolbarStyle ? clBtnText : clMenuText);
    } else {
        font->SetColor(clGrayText);
        const COLORREF window = ColorToRGB(FWindow != nullptr ? FWindow->GetColor() : clMenu);
        const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
        emboss = toolbarStyle || (selected && grey == window) ||
                 (!selected && (window == GetSysColor(COLOR_BTNFACE) || window == grey));
    }
    const bool pushed = selected && (viewer == FOpenViewer || (FMouseOverSelected && FCapture));
    const TRect local{0, 0, RectWidth(bounds), RectHeight(bounds)};

    if (offscreen) {
        TBitmap bitmap;
        bitmap.SetSize(local.right, local.bottom);
        TCanvas* target = bitmap.GetCanvas();
        HDC bitmapDC = target->GetHandle();
        if (FWindow != nullptr && FWindow->HandleAllocated()) {
            // The window's own background, so that the viewer sits on what is around it.
            SetWindowOrgEx(bitmapDC, bounds.left, bounds.top, nullptr);
            SendMessage(FWindow->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(bitmapDC), 0);
            SetWindowOrgEx(bitmapDC, 0, 0, nullptr);
        }
        target->SetFont(font);
        target->SetBrush(brush);
        SetBrushOrgEx(target->GetHandle(), bounds.left % 2, bounds.top % 2, nullptr);
        viewer->Paint(target, local, selected, pushed, emboss);
        BitBlt(dc, bounds.left, bounds.top, local.right, local.bottom, target->GetHandle(), 0, 0, SRCCOPY);
    } else {
        POINT origin;
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - bounds.left, origin.y - bounds.top, nullptr);
        SetBrushOrgEx(dc, bounds.left % 2, bounds.top % 2, nullptr);
        viewer->Paint(canvas, local, selected, pushed, emboss);
    }
    restore();
}

void TTBView::InvalidateViewer(TTBItemViewer* viewer)
{
    if (!FValidated || FWindow == nullptr || !FWindow->HandleAllocated() || viewer == nullptr)
        return;
    const TRect bounds = viewer->GetBoundsRect();
    if (!viewer->IsPlaced() || IsRectEmpty(&bounds) || IsControlItem(viewer->GetItem()))
        return;
    viewer->FPaintPending = true;
    InvalidateRect(FWindow->GetHandle(), &bounds, FALSE);
}

// ---------------------------------------------------------------------------------------------------------
// TTBPopupView

TFont* TTBPopupView::GetFont() const { return GetWindow() != nullptr ? GetWindow()->GetFont() : SharedMenuFont(); }

void TTBPopupView::AutoSize(int width, int height)
{
    TWinControl* window = GetWindow();
    if (window == nullptr)
        return;
    TPoint frame{0, 0};
    if (const auto* popup = dynamic_cast<const ITBPopupWindow*>(window))
        frame = popup->GetNCSize();
    window->SetBounds(window->GetLeft(), window->GetTop(), width + 2 * frame.x, height + 2 * frame.y);
}

}  // namespace ovrel::toolbars
