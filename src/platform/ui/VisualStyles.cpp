#include "platform/ui/VisualStyles.h"

#include <stdexcept>

namespace ovrel::ui {

namespace {

struct Backend {
    UnavailableVisualStyles Default;
    IVisualStyles* Override = nullptr;
};

Backend& TheBackend()
{
    static Backend backend;
    return backend;
}

}  // namespace

BOOL RecordingVisualStyles::IsAppThemed()
{
    if (FailQueries)
        throw std::runtime_error("IsAppThemed failed");
    return AppThemed;
}

BOOL RecordingVisualStyles::IsThemeActive()
{
    if (FailQueries)
        throw std::runtime_error("IsThemeActive failed");
    return ThemeActive;
}

HTHEME RecordingVisualStyles::OpenThemeData(HWND window, std::string_view classList)
{
    if (!LibraryPresent)
        return nullptr;
    FThemes.push_back(ThemeData{window, std::string(classList)});
    ++FOpen;
    return &FThemes.back();
}

HRESULT RecordingVisualStyles::CloseThemeData(HTHEME theme)
{
    if (theme == nullptr)
        return E_FAIL;
    --FOpen;
    return S_OK;
}

HRESULT RecordingVisualStyles::DrawThemeBackground(HTHEME theme, HDC, int part, int state, const RECT* rect,
                                                   const RECT* clip)
{
    if (theme == nullptr || rect == nullptr)
        return E_FAIL;
    Requests.push_back(Request{theme->ClassList, part, state, *rect, false, 0, 0, clip != nullptr});
    return S_OK;
}

HRESULT RecordingVisualStyles::DrawThemeEdge(HTHEME theme, HDC, int part, int state, const RECT* destRect, UINT edge,
                                             UINT flags, RECT* contentRect)
{
    if (theme == nullptr || destRect == nullptr)
        return E_FAIL;
    Requests.push_back(Request{theme->ClassList, part, state, *destRect, true, edge, flags, false});
    if (contentRect != nullptr)
        *contentRect = *destRect;
    return S_OK;
}

IVisualStyles& VisualStyles()
{
    Backend& backend = TheBackend();
    return backend.Override != nullptr ? *backend.Override : backend.Default;
}

IVisualStyles* SetVisualStyles(IVisualStyles* styles)
{
    IVisualStyles* previous = TheBackend().Override;
    TheBackend().Override = styles;
    return previous;
}

bool VisualStylesAvailable() { return VisualStyles().Available(); }
BOOL IsAppThemed() { return VisualStyles().IsAppThemed(); }
BOOL IsThemeActive() { return VisualStyles().IsThemeActive(); }
HTHEME OpenThemeData(HWND window, std::string_view classList)
{
    return VisualStyles().OpenThemeData(window, classList);
}
HRESULT CloseThemeData(HTHEME theme) { return VisualStyles().CloseThemeData(theme); }

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    return VisualStyles().DrawThemeBackground(theme, dc, part, state, rect, clip);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                      RECT* contentRect)
{
    return VisualStyles().DrawThemeEdge(theme, dc, part, state, destRect, edge, flags, contentRect);
}

}  // namespace ovrel::ui
