#pragma once
// The visual-styles facade: the entry points a themed control asks for, behind a replaceable backend. The
// production backend is unavailable, so every control takes its classic look; tests put a recording backend
// in its place to reach the themed drawing and see which class, part and state each control asks for.

#include "platform/ui/Types.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::ui {

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

/// The theme data of one window and class list, as a backend hands it out.
struct ThemeData {
    HWND Window = nullptr;
    std::string ClassList;
};
using HTHEME = ThemeData*;

class IVisualStyles {
public:
    virtual ~IVisualStyles() = default;
    /// Whether the styles library is there at all; without it nothing else is asked.
    virtual bool Available() = 0;
    virtual BOOL IsAppThemed() = 0;
    virtual BOOL IsThemeActive() = 0;
    /// Null when the window has no theme data for the class list.
    virtual HTHEME OpenThemeData(HWND window, std::string_view classList) = 0;
    virtual HRESULT CloseThemeData(HTHEME theme) = 0;
    /// clip may be null: no clip rectangle.
    virtual HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                        const RECT* clip) = 0;
    /// contentRect, when given, receives the area inside the edge.
    virtual HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge,
                                  UINT flags, RECT* contentRect) = 0;
};

/// The production backend: no styles library, so nothing is themed.
class UnavailableVisualStyles final : public IVisualStyles {
public:
    bool Available() override { return false; }
    BOOL IsAppThemed() override { return FALSE; }
    BOOL IsThemeActive() override { return FALSE; }
    HTHEME OpenThemeData(HWND, std::string_view) override { return nullptr; }
    HRESULT CloseThemeData(HTHEME) override { return E_FAIL; }
    HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) override { return E_FAIL; }
    HRESULT DrawThemeEdge(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) override { return E_FAIL; }
};

/// A backend for tests: themed and active unless told otherwise, drawing nothing, recording every request.
class RecordingVisualStyles final : public IVisualStyles {
public:
    struct Request {
        std::string ClassList;  // as the control opened it
        int Part = 0;
        int State = 0;
        RECT Rect;
        bool Edge = false;  // DrawThemeEdge rather than DrawThemeBackground
        UINT EdgeKind = 0;  // edge and flags of an edge request
        UINT EdgeFlags = 0;
        bool Clipped = false;  // a clip rectangle was given
    };

    bool Available() override { return LibraryPresent; }
    BOOL IsAppThemed() override;
    BOOL IsThemeActive() override;
    HTHEME OpenThemeData(HWND window, std::string_view classList) override;
    HRESULT CloseThemeData(HTHEME theme) override;
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) override;
    HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                          RECT* contentRect) override;

    /// Theme data handed out and not closed yet.
    [[nodiscard]] int OpenCount() const { return FOpen; }

    bool LibraryPresent = true;
    BOOL AppThemed = TRUE;
    BOOL ThemeActive = TRUE;
    /// IsAppThemed and IsThemeActive throw, as a broken library would.
    bool FailQueries = false;
    std::vector<Request> Requests;

private:
    std::deque<ThemeData> FThemes;  // stable addresses for the handles
    int FOpen = 0;
};

/// The backend in force; the default is the unavailable one.
IVisualStyles& VisualStyles();
IVisualStyles* SetVisualStyles(IVisualStyles* styles);

// The entry points, through the backend in force.
bool VisualStylesAvailable();
BOOL IsAppThemed();
BOOL IsThemeActive();
HTHEME OpenThemeData(HWND window, std::string_view classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                      RECT* contentRect);

}  // namespace ovrel::ui
