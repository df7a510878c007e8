#include "themes/FloatingSnap.h"

#include <cstdlib>

namespace ovrel::themes {

using namespace ovrel::ui;

bool SnapWindowPos(WINDOWPOS& pos, const RECT& current, const RECT& workArea, int snapDistance)
{
    if (snapDistance <= 0 || (pos.flags & SWP_NOMOVE) != 0)
        return false;
    const int width = current.right - current.left;
    const int height = current.bottom - current.top;
    if ((pos.flags & SWP_NOSIZE) == 0 && (pos.cx != width || pos.cy != height))
        return false;
    const auto near = [snapDistance](int a, int b) { return std::abs(a - b) <= snapDistance; };
    const int x = pos.x;
    const int y = pos.y;
    if (near(pos.x + width, workArea.right))
        pos.x = workArea.right - width;
    if (near(pos.y + height, workArea.bottom))
        pos.y = workArea.bottom - height;
    if (near(pos.x, workArea.left))
        pos.x = workArea.left;
    if (near(pos.y, workArea.top))
        pos.y = workArea.top;
    return pos.x != x || pos.y != y;
}

}  // namespace ovrel::themes
