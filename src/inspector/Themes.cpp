#include "inspector/Themes.h"

#include "platform/ui/VisualStyles.h"

namespace ovrel::inspector {

bool ThemesEnabled()
{
    try {
        return ui::IsThemed();
    } catch (...) {
        // Asked in every paint: a broken styles library must not turn each repaint into an error.
        return false;
    }
}

void DrawThemedBackground(ui::HWND window, ui::HDC dc, const ui::RECT& rect, int state, int part,
                          std::string_view className)
{
    ui::HTHEME theme = nullptr;
    try {
        theme = ui::OpenThemeData(window, className);
        if (theme == nullptr)
            return;
        ui::DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
    } catch (...) {
        // Drawing happens inside paint; a failing backend leaves the area as it was.
    }
    if (theme != nullptr) {
        try {
            ui::CloseThemeData(theme);
        } catch (...) {}
    }
}

}  // namespace ovrel::inspector
