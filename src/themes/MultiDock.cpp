// The multi-dock: panels stacked along the dock by their split sizes and limits, filling its length exactly,
// all as thick as the thickest one needs (or as the one whose edge is being dragged).
#include "themes/DockablePanels.h"

#include "themes/PanelArrangement.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

namespace {

TTBXDockablePanel* PanelOf(const ITBDockedWindow* link)
{
    return dynamic_cast<TTBXDockablePanel*>(TTBCustomDockableWindow::FromDockedLink(link));
}

// Counts the dock as suspended while it arranges, and leaves its flags clear however the arrangement ends.
class TArrangeScope {
public:
    explicit TArrangeScope(TDockLayout& layout) : FLayout(layout) { ++FLayout.SuspendCount; }
    ~TArrangeScope()
    {
        --FLayout.SuspendCount;
        FLayout.ArrangePending = false;
        FLayout.CommitPositions = false;
    }
    TArrangeScope(const TArrangeScope&) = delete;
    TArrangeScope& operator=(const TArrangeScope&) = delete;

private:
    TDockLayout& FLayout;
};

// By DockPos, equal ones keeping their order; a panel still loading without a place of its own goes last. The
// panel dragged in split mode keeps its index, so that it cannot pass its neighbours.
void SortByDockPos(std::vector<ITBDockedWindow*>& list, const TDockLayout& layout)
{
    std::ptrdiff_t dragIndex = -1;
    if (layout.DragSplitRequested && layout.DragWindow != nullptr) {
        const auto found = std::find(list.begin(), list.end(), layout.DragWindow);
        if (found != list.end())
            dragIndex = std::distance(list.begin(), found);
    }
    const auto key = [](const ITBDockedWindow* w) {
        const bool loading = TTBCustomDockableWindow::FromDockedLink(w)->GetComponentState().Contains(csLoading);
        return std::pair{loading && w->GetDockPos() < 0, w->GetDockPos()};
    };
    std::stable_sort(list.begin(), list.end(),
                     [&key](const ITBDockedWindow* a, const ITBDockedWindow* b) { return key(a) < key(b); });
    if (dragIndex >= 0) {
        std::erase(list, layout.DragWindow);
        list.insert(list.begin() + dragIndex, layout.DragWindow);
    }
}

}  // namespace

TTBXMultiDock::TTBXMultiDock(TComponent* owner) : TTBXDock(owner) {}

bool TTBXMultiDock::AcceptsDockableWindow(TTBCustomDockableWindow* window)
{
    return dynamic_cast<TTBXDockablePanel*>(window) != nullptr && TTBXDock::AcceptsDockableWindow(window);
}

std::vector<TTBXDockablePanel*> TTBXMultiDock::GetStackedPanels() const
{
    std::vector<TTBXDockablePanel*> panels;
    for (ITBDockedWindow* link : GetLayout().VisibleList)
        if (TTBXDockablePanel* panel = PanelOf(link))
            panels.push_back(panel);
    return panels;
}

void TTBXMultiDock::Dispatch(TMessage& message)
{
    if (message.Msg == CM_CONTROLLISTCHANGE && message.LParam != 0) {
        const auto* control = reinterpret_cast<const TControl*>(message.WParam);
        if (dynamic_cast<const TTBXDockablePanel*>(control) == nullptr)
            throw EInvalidOperation(Format("Cannot insert %s into TTBXMultiDock", {ClassNameOf(*control)}));
    }
    TTBXDock::Dispatch(message);
}

void TTBXMultiDock::ArrangeDockedWindows()
{
    TDockLayout& layout = Layout();
    if (layout.SuspendCount > 0 || GetComponentState().Contains(csLoading)) {
        layout.ArrangePending = true;
        return;
    }
    int thickness = 0;
    {
        const TArrangeScope scope(layout);
        thickness = Arrange();
    }
    TakeThickness(thickness);
}

int TTBXMultiDock::Arrange()
{
    TDockLayout& layout = Layout();
    const bool designing = GetComponentState().Contains(csDesigning);
    // An empty dock collapses as the base dock does, so hiding the only panel closes the gap.
    if (!layout.HasVisibleWindows())
        return designing ? 7 : (layout.FixAlign ? 1 : 0);

    const bool vertical = IsVertical();
    int length = std::max(0, (vertical ? GetHeight() - layout.NonClientHeight : GetWidth() - layout.NonClientWidth));
    if (designing)
        length = std::max(0, length - 16);

    const auto destroying = [](const ITBDockedWindow* w) { return w->IsBeingDestroyed(); };
    std::erase_if(layout.WindowList, destroying);
    std::erase_if(layout.VisibleList, destroying);
    for (ITBDockedWindow* w : layout.WindowList)
        w->SetDockRow(0);
    std::vector<ITBDockedWindow*> sorted = layout.WindowList;
    SortByDockPos(sorted, layout);
    SortByDockPos(layout.VisibleList, layout);

    std::vector<ITBDockedWindow*> links;
    std::vector<TTBXDockablePanel*> panels;
    std::vector<TResizeLimits> limits;
    std::vector<TStackingRecord> records;
    for (ITBDockedWindow* link : layout.VisibleList) {
        TTBXDockablePanel* panel = PanelOf(link);
        if (panel == nullptr)
            continue;
        const TResizeLimits& l = limits.emplace_back(panel->GetConstrainedLimits());
        TStackingRecord& r = records.emplace_back();
        r.Size = vertical ? panel->GetSplitHeight() : panel->GetSplitWidth();
        r.MinSize = vertical ? l.MinHeight : l.MinWidth;
        r.MaxSize = vertical ? l.MaxHeight : l.MaxWidth;
        links.push_back(link);
        panels.push_back(panel);
    }
    StackPanels(records, length);

    for (ITBDockedWindow* w : sorted) {
        const auto at = std::find(links.begin(), links.end(), w);
        const int pos =
            at != links.end() ? records[static_cast<std::size_t>(at - links.begin())].Position : w->GetDockPos();
        w->SetEffectivePlace(0, pos);
        if (layout.CommitPositions) {
            w->SetDockRow(0);
            w->SetDockPos(pos);
        }
    }
    if (layout.CommitPositions)
        layout.WindowList = sorted;

    // The thickness across the dock.
    int thickness = 0;
    const auto resizing = std::find_if(panels.begin(), panels.end(), [](auto* p) { return p->GetResizing(); });
    if (resizing != panels.end()) {
        // The edge being dragged decides, within what every panel can take.
        thickness = vertical ? (*resizing)->GetWidth() : (*resizing)->GetHeight();
        int largestMin = 0;
        int smallestMax = 0;
        bool haveMax = false;
        for (const TResizeLimits& l : limits) {
            const int minimum = vertical ? l.MinWidth : l.MinHeight;
            const int maximum = vertical ? l.MaxWidth : l.MaxHeight;
            largestMin = std::max(largestMin, minimum);
            if (maximum >= minimum && maximum > 0) {
                smallestMax = haveMax ? std::min(smallestMax, maximum) : maximum;
                haveMax = true;
            }
        }
        thickness = std::max(thickness, largestMin);
        if (haveMax && smallestMax > largestMin)
            thickness = std::min(thickness, smallestMax);
    } else {
        const bool dragging = layout.DragWindow != nullptr && links.size() > 1;
        for (std::size_t i = 0; i < panels.size(); ++i) {
            if (dragging && links[i] == layout.DragWindow)
                continue;
            const TPoint frame = panels[i]->GetDockedFrameSize(this);
            const TSize natural = panels[i]->GetNaturalSize();
            thickness = std::max(thickness, vertical ? frame.x + natural.cx : frame.y + natural.cy);
        }
    }

    for (std::size_t i = 0; i < links.size(); ++i) {
        if (thickness > 0)
            links[i]->SetLastRowThickness(thickness);
        const TStackingRecord& r = records[i];
        links[i]->PlaceInDock(vertical ? TRect{0, r.Position, thickness, r.Position + r.Size}
                                       : TRect{r.Position, 0, r.Position + r.Size, thickness},
                              false);
    }
    return (vertical ? layout.NonClientWidth : layout.NonClientHeight) + thickness;
}

}  // namespace ovrel::themes
