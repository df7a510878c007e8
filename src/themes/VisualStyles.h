#pragma once
// The visual-styles library as the themes see it: whether the application is themed, theme handles per
// window class, and the few queries the themes read. The program has no visual-styles backend, so by default
// there is none and the themes stay on their classic path; tests install a fake.

#include "platform/ui/Types.h"

#include <cstdint>
#include <string_view>

namespace ovrel::themes {

/// A theme handle of the library; 0 when closed.
using HTHEME = std::uintptr_t;

class TVisualStyles {
public:
    virtual ~TVisualStyles();

    /// The library is present, and the application is themed with a theme active.
    [[nodiscard]] virtual bool IsThemed() = 0;
    /// 0 when the class has no theme data.
    [[nodiscard]] virtual HTHEME OpenThemeData(ui::HWND window, std::string_view classList) = 0;
    virtual void CloseThemeData(HTHEME theme) = 0;
    [[nodiscard]] virtual bool GetThemeColor(HTHEME theme, int part, int state, int property, ui::COLORREF& color) = 0;
    /// The true size of a part.
    [[nodiscard]] virtual bool GetThemePartSize(HTHEME theme, int part, int state, ui::SIZE& size) = 0;
    /// Margins in the order left, right, top, bottom.
    [[nodiscard]] virtual bool GetThemeMargins(HTHEME theme, int part, int state, int property, int& left, int& right,
                                               int& top, int& bottom) = 0;
    [[nodiscard]] virtual bool GetThemeBackgroundContentRect(HTHEME theme, int part, int state, const ui::RECT& bounds,
                                                             ui::RECT& content) = 0;
};

/// The library in use, or null when there is none (the program's case). Borrowed.
[[nodiscard]] TVisualStyles* GetVisualStyles();
/// Installs a library (borrowed; must outlive its use) or none; returns the previous one.
TVisualStyles* SetVisualStyles(TVisualStyles* styles);

}  // namespace ovrel::themes
