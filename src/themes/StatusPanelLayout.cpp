#include "themes/StatusPanelLayout.h"

#include <algorithm>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolkit;

void ArrangePanels(std::span<TStatusPanelLayout> panels, const TRect& clientRect)
{
    if (panels.empty())
        return;
    const TRect r = Rect(clientRect.left, clientRect.top + 2, clientRect.right, clientRect.bottom);
    const int available = r.right - r.left;
    long long total = 0;
    std::vector<TStatusPanelLayout*> work;
    for (TStatusPanelLayout& panel : panels) {
        panel.AtRightEdge = false;
        panel.Shown = panel.ViewPriority > 0;
        if (!panel.Shown)
            continue;
        panel.Width = panel.Size;
        total += panel.Size;
        work.push_back(&panel);
    }
    std::stable_sort(work.begin(), work.end(), [](const TStatusPanelLayout* a, const TStatusPanelLayout* b) {
        return a->ViewPriority > b->ViewPriority;
    });
    while (total > available && work.size() >= 2 && work.back()->ViewPriority < 100) {
        work.back()->Shown = false;
        total -= work.back()->Size;
        work.pop_back();
    }
    long long spare = available - total;
    if (spare > 0) {
        std::erase_if(work, [](const TStatusPanelLayout* p) { return p->StretchPriority == 0; });
        while (!work.empty() && spare > 0) {
            std::stable_sort(work.begin(), work.end(), [](const TStatusPanelLayout* a, const TStatusPanelLayout* b) {
                return a->StretchPriority < b->StretchPriority;
            });
            TStatusPanelLayout& p = *work.back();
            work.pop_back();
            if (p.MaxSize > 0 && p.Width >= p.MaxSize)
                continue;  // full already: the spare goes on to the next panel
            const long long wanted = p.Width + spare;
            if (p.MaxSize > 0 && p.MaxSize < wanted) {
                spare -= p.MaxSize - p.Width;
                p.Width = p.MaxSize;
            } else {
                p.Width = static_cast<int>(wanted);
                spare = 0;
            }
        }
    }
    int x = r.left;
    for (TStatusPanelLayout& panel : panels) {
        if (panel.Shown && x - r.left >= available)
            panel.Shown = false;
        if (!panel.Shown) {
            panel.Rect = TRect{};
            continue;
        }
        panel.Rect = Rect(x, r.top, x + panel.Width, r.bottom);
        x += panel.Width;
        panel.AtRightEdge = x - r.left == available;
    }
}

}  // namespace ovrel::themes
