#include "platform/ui/VisualStyles.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"

#include <algorithm>
#include <cctype>
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

std::string UpperTrimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

bool IsKnownClass(const std::string& upper)
{
    return std::any_of(std::begin(VisualStyleClasses), std::end(VisualStyleClasses),
                       [&upper](const char* name) { return upper == name; });
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
    for (std::string_view rest = classList; !rest.empty();) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        const std::string name = UpperTrimmed(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (!IsKnownClass(name) || Missing.count(name) != 0)
            continue;
        FThemes.push_back(ThemeData{window, std::string(classList)});
        Opened.emplace_back(classList);
        return &FThemes.back();
    }
    return nullptr;
}

HRESULT RecordingVisualStyles::CloseThemeData(HTHEME theme)
{
    if (theme == nullptr)
        return E_FAIL;
    ++Closed;
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

HRESULT RecordingVisualStyles::GetThemeColor(HTHEME theme, int, int, int property, COLORREF* color)
{
    const auto found = Colors.find(property);
    if (theme == nullptr || color == nullptr || found == Colors.end())
        return E_FAIL;
    *color = found->second;
    return S_OK;
}

HRESULT RecordingVisualStyles::GetThemeMargins(HTHEME theme, HDC, int, int, int property, const RECT*, MARGINS* margins)
{
    const auto found = Margins.find(property);
    if (theme == nullptr || margins == nullptr || found == Margins.end())
        return E_FAIL;
    *margins = found->second;
    return S_OK;
}

HRESULT RecordingVisualStyles::GetThemePartSize(HTHEME theme, HDC, int part, int, const RECT*, THEMESIZE, SIZE* size)
{
    const auto found = PartSizes.find(part);
    if (theme == nullptr || size == nullptr || found == PartSizes.end())
        return E_FAIL;
    *size = found->second;
    return S_OK;
}

HRESULT RecordingVisualStyles::GetThemeBackgroundContentRect(HTHEME theme, HDC, int, int, const RECT* bounds,
                                                             RECT* content)
{
    if (theme == nullptr || bounds == nullptr || content == nullptr || !ContentMargins)
        return E_FAIL;
    *content = RECT{bounds->left + ContentMargins->cxLeftWidth, bounds->top + ContentMargins->cyTopHeight,
                    bounds->right - ContentMargins->cxRightWidth, bounds->bottom - ContentMargins->cyBottomHeight};
    return S_OK;
}

void RecordingVisualStyles::ChangeTheme(BOOL active)
{
    ThemeActive = active;
    NotifyVisualStylesChanged();
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

void NotifyVisualStylesChanged() { NotifySystemChange(WM_THEMECHANGED, 0, 0); }

bool VisualStylesAvailable() { return VisualStyles().Available(); }
BOOL IsAppThemed() { return VisualStyles().IsAppThemed(); }
BOOL IsThemeActive() { return VisualStyles().IsThemeActive(); }
bool IsThemed() { return VisualStylesAvailable() && IsAppThemed() != FALSE && IsThemeActive() != FALSE; }

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

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    return VisualStyles().GetThemeColor(theme, part, state, property, color);
}

HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect, MARGINS* margins)
{
    return VisualStyles().GetThemeMargins(theme, dc, part, state, property, rect, margins);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size)
{
    return VisualStyles().GetThemePartSize(theme, dc, part, state, rect, kind, size);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content)
{
    return VisualStyles().GetThemeBackgroundContentRect(theme, dc, part, state, bounds, content);
}

}  // namespace ovrel::ui
