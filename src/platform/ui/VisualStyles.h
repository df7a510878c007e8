#pragma once
// The visual-styles facade: the entry points a themed control asks for, behind a replaceable backend. The
// production backend is unavailable, so every control takes its classic look; tests put a recording backend
// in its place to reach the themed drawing and see which class, part and state each control asks for.

#include "platform/ui/Types.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
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

/// Widths of a part's four margins.
struct MARGINS {
    int cxLeftWidth = 0;
    int cxRightWidth = 0;
    int cyTopHeight = 0;
    int cyBottomHeight = 0;
    friend bool operator==(const MARGINS&, const MARGINS&) = default;
};

/// Which size of a part GetThemePartSize answers.
using THEMESIZE = int;
inline constexpr THEMESIZE TS_MIN = 0;
inline constexpr THEMESIZE TS_TRUE = 1;
inline constexpr THEMESIZE TS_DRAW = 2;

/// Property ids of the queries.
inline constexpr int TMT_SIZINGMARGINS = 3601;
inline constexpr int TMT_CONTENTMARGINS = 3602;
inline constexpr int TMT_CAPTIONMARGINS = 3603;
inline constexpr int TMT_FILLCOLOR = 3802;
inline constexpr int TMT_TEXTCOLOR = 3803;

/// The window classes themed controls open theme data for; a backend knows these and no others. Names are
/// compared without regard to case, and a class list ("A;B") opens its first class that has data.
inline constexpr const char* VisualStyleClasses[] = {"BUTTON",   "SCROLLBAR",   "REBAR",  "TOOLBAR", "WINDOW",
                                                     "COMBOBOX", "EXPLORERBAR", "STATUS", "SPIN",    "EDIT",
                                                     "TREEVIEW", "TRACKBAR",    "TAB"};

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
    /// A colour property (TMT_FILLCOLOR, TMT_TEXTCOLOR) of a part in a state.
    virtual HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) = 0;
    /// A margins property (TMT_CAPTIONMARGINS ...); rect, when given, is where the part is drawn.
    virtual HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect,
                                    MARGINS* margins) = 0;
    virtual HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind,
                                     SIZE* size) = 0;
    /// The area for a part's content when its background fills bounds.
    virtual HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                                  RECT* content) = 0;
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
    HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) override { return E_FAIL; }
    HRESULT GetThemeMargins(HTHEME, HDC, int, int, int, const RECT*, MARGINS*) override { return E_FAIL; }
    HRESULT GetThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*) override { return E_FAIL; }
    HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) override { return E_FAIL; }
};

/// A backend for tests: themed and active unless told otherwise, drawing nothing, recording every request and
/// answering the queries from what the test configured (a query with nothing configured fails, as a theme
/// without that property does).
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
    HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) override;
    HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect,
                            MARGINS* margins) override;
    HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind,
                             SIZE* size) override;
    HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                          RECT* content) override;

    /// The user chose another theme, or switched theming on or off: WM_THEMECHANGED to every window.
    void ChangeTheme(BOOL active);

    /// Theme data handed out and not closed yet.
    [[nodiscard]] int OpenCount() const { return static_cast<int>(Opened.size()) - Closed; }

    bool LibraryPresent = true;
    BOOL AppThemed = TRUE;
    BOOL ThemeActive = TRUE;
    /// IsAppThemed and IsThemeActive throw, as a broken library would.
    bool FailQueries = false;
    /// Classes (upper case) whose theme data does not open.
    std::set<std::string> Missing;
    /// Answers: colours and margins by property id, part sizes by part, content rectangles as bounds less
    /// ContentMargins.
    std::map<int, COLORREF> Colors;
    std::map<int, MARGINS> Margins;
    std::map<int, SIZE> PartSizes;
    std::optional<MARGINS> ContentMargins;

    std::vector<Request> Requests;
    /// Every class list opened with success, in order, and how many handles were closed.
    std::vector<std::string> Opened;
    int Closed = 0;

private:
    std::deque<ThemeData> FThemes;  // stable addresses for the handles
};

/// The backend in force; the default is the unavailable one.
IVisualStyles& VisualStyles();
IVisualStyles* SetVisualStyles(IVisualStyles* styles);

/// Tells every top-level and message-only window that the visual styles changed (WM_THEMECHANGED); a backend
/// calls it when its theme changes. Installing another backend tells nobody.
void NotifyVisualStylesChanged();

// The entry points, through the backend in force.
bool VisualStylesAvailable();
BOOL IsAppThemed();
BOOL IsThemeActive();
/// The library is there, the application is themed and a theme is active.
bool IsThemed();
HTHEME OpenThemeData(HWND window, std::string_view classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* destRect, UINT edge, UINT flags,
                      RECT* contentRect);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect, MARGINS* margins);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content);

}  // namespace ovrel::ui
