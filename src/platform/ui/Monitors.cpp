#include "platform/ui/Window.h"

#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <algorithm>

namespace ovrel::ui {

// ---- Monitors ---------------------------------------------------------------------------------------------

class Monitor {
public:
    MonitorRects Rects;
};

namespace {

std::vector<Monitor>& MonitorTable()
{
    static std::vector<Monitor> table;
    return table;
}

// Refreshes the table from the screens service; handles stay stable while the monitor count does.
std::vector<Monitor>& Monitors()
{
    std::vector<Monitor>& table = MonitorTable();
    const std::vector<MonitorRects> rects = Screens().Monitors();
    if (table.size() != rects.size())
        table.assign(rects.size(), Monitor{});
    for (std::size_t i = 0; i < rects.size(); ++i)
        table[i].Rects = rects[i];
    return table;
}

long long DistanceSquared(const RECT& r, POINT p)
{
    const long long dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
    const long long dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

long long OverlapArea(const RECT& a, const RECT& b)
{
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

HMONITOR Fallback(std::vector<Monitor>& table, DWORD flags, Monitor* nearest)
{
    if (flags == MONITOR_DEFAULTTONEAREST)
        return nearest;
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
        for (Monitor& m : table) {
            if (m.Rects.Primary)
                return &m;
        }
        return &table.front();
    }
    return nullptr;
}

}  // namespace

HMONITOR MonitorFromPoint(POINT point, DWORD flags)
{
    std::vector<Monitor>& table = Monitors();
    Monitor* nearest = nullptr;
    long long best = -1;
    for (Monitor& m : table) {
        const long long d = DistanceSquared(m.Rects.Monitor, point);
        if (d == 0)
            return &m;
        if (best < 0 || d < best) {
            best = d;
            nearest = &m;
        }
    }
    return Fallback(table, flags, nearest);
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags)
{
    if (rect == nullptr)
        return nullptr;
    std::vector<Monitor>& table = Monitors();
    Monitor* most = nullptr;
    long long bestArea = 0;
    for (Monitor& m : table) {
        const long long area = OverlapArea(m.Rects.Monitor, *rect);
        if (area > bestArea) {
            bestArea = area;
            most = &m;
        }
    }
    if (most != nullptr)
        return most;
    const POINT centre{rect->left + (rect->right - rect->left) / 2, rect->top + (rect->bottom - rect->top) / 2};
    return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint(centre, flags);
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags)
{
    RECT r;
    if (GetWindowRect(window, &r) == FALSE)
        return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info)
{
    if (monitor == nullptr || info == nullptr)
        return FALSE;
    const std::vector<Monitor>& table = MonitorTable();
    const bool known = std::any_of(table.begin(), table.end(), [monitor](const Monitor& m) { return &m == monitor; });
    if (!known)
        return FALSE;
    info->rcMonitor = monitor->Rects.Monitor;
    info->rcWork = monitor->Rects.Work;
    info->dwFlags = monitor->Rects.Primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

RECT ClampRectToWorkArea(const RECT& rect)
{
    MONITORINFO info;
    if (GetMonitorInfo(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info) == FALSE)
        return rect;
    const RECT& work = info.rcWork;
    const int width = std::min(rect.right - rect.left, work.right - work.left);
    const int height = std::min(rect.bottom - rect.top, work.bottom - work.top);
    const int left = std::clamp(rect.left, work.left, work.right - width);
    const int top = std::clamp(rect.top, work.top, work.bottom - height);
    return RECT{left, top, left + width, top + height};
}

void NotifyDisplayChange()
{
    const RECT primary = Screens().Monitors().front().Monitor;
    NotifySystemChange(WM_DISPLAYCHANGE, 32, MAKELPARAM(primary.right - primary.left, primary.bottom - primary.top));
}

}  // namespace ovrel::ui
