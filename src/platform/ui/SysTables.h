#pragma once
// One table of system colours, metrics, parameters, the platform profile and the capability flags, with
// classic defaults at 96 dpi. Tests change it inside a SystemTableOverride, which restores it on exit.

#include "platform/ui/Gdi.h"
#include "platform/ui/Types.h"

#include <array>
#include <functional>
#include <set>

namespace ovrel::ui {

// ---- System colour indices --------------------------------------------------------------------------------
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;
inline constexpr int SysColorCount = 31;

// ---- System metrics ---------------------------------------------------------------------------------------
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXFIXEDFRAME = 7;
inline constexpr int SM_CXDLGFRAME = SM_CXFIXEDFRAME;
inline constexpr int SM_CYFIXEDFRAME = 8;
inline constexpr int SM_CYDLGFRAME = SM_CYFIXEDFRAME;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXSIZEFRAME = 32;
inline constexpr int SM_CXFRAME = SM_CXSIZEFRAME;
inline constexpr int SM_CYSIZEFRAME = 33;
inline constexpr int SM_CYFRAME = SM_CYSIZEFRAME;
inline constexpr int SM_CXMINTRACK = 34;
inline constexpr int SM_CYMINTRACK = 35;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_MENUDROPALIGNMENT = 40;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXSMSIZE = 52;
inline constexpr int SM_CYSMSIZE = 53;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;
inline constexpr int SM_CXMAXTRACK = 59;
inline constexpr int SM_CYMAXTRACK = 60;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_CXFOCUSBORDER = 83;
inline constexpr int SM_CYFOCUSBORDER = 84;
inline constexpr int SystemMetricCount = 100;

// ---- System parameters ------------------------------------------------------------------------------------
inline constexpr UINT SPI_GETNONCLIENTMETRICS = 0x29;
inline constexpr UINT SPI_SETNONCLIENTMETRICS = 0x2A;
inline constexpr UINT SPI_GETWORKAREA = 0x30;
inline constexpr UINT SPI_GETMENUSHOWDELAY = 0x6A;
inline constexpr UINT SPI_GETMENUANIMATION = 0x1002;
inline constexpr UINT SPI_GETGRADIENTCAPTIONS = 0x1008;
inline constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
inline constexpr UINT SPI_GETMENUUNDERLINES = SPI_GETKEYBOARDCUES;
inline constexpr UINT SPI_GETMENUFADE = 0x1012;
inline constexpr UINT SPI_GETFLATMENU = 0x1022;
inline constexpr UINT SPI_GETMENUDROPALIGNMENT = 0x1B;
// winIni flags of a setting: write it, and tell every window (WM_SETTINGCHANGE, wParam the action).
inline constexpr UINT SPIF_UPDATEINIFILE = 0x01;
inline constexpr UINT SPIF_SENDCHANGE = 0x02;

struct NONCLIENTMETRICS {
    UINT cbSize = sizeof(NONCLIENTMETRICS);
    int iBorderWidth = 1;
    int iScrollWidth = 16;
    int iScrollHeight = 16;
    int iCaptionWidth = 18;
    int iCaptionHeight = 18;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth = 12;
    int iSmCaptionHeight = 15;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth = 18;
    int iMenuHeight = 18;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};

// The platform the program believes it runs on (GetVersion): NT family 5.1.
struct SystemProfile {
    bool NtFamily = true;
    int MajorVersion = 5;
    int MinorVersion = 1;
};

// Optional platform facilities; each "absent" branch of the callers is reachable by clearing a flag.
struct Capabilities {
    bool TrackMouseEvent = true;
    bool MonitorApi = true;
    bool LayeredConstantAlpha = false;  // true only where the platform composites windows
    bool LayeredPerPixelAlpha = false;
    bool AlphaBlend = false;
    bool AlphaBlendBehind = false;
    bool Accessibility = false;
    bool VisualStyles = false;
};

// Where the screen-dependent entries come from; the window layer plugs in its screens service.
struct ScreenFacts {
    RECT Primary{0, 0, 1024, 768};
    RECT PrimaryWork{0, 0, 1024, 768};
    RECT Virtual{0, 0, 1024, 768};
    int MonitorCount = 1;
};
using ScreenFactsSource = std::function<ScreenFacts()>;

struct SystemTable {
    std::array<COLORREF, SysColorCount> Colors{};
    std::array<int, SystemMetricCount> Metrics{};
    NONCLIENTMETRICS NonClientMetrics;
    UINT MenuShowDelay = 400;
    BOOL MenuAnimation = FALSE;
    BOOL MenuFade = FALSE;
    BOOL GradientCaptions = TRUE;
    BOOL KeyboardCues = TRUE;
    BOOL FlatMenu = FALSE;
    BOOL MenuDropAlignment = FALSE;  // FALSE: left; answers SM_MENUDROPALIGNMENT too
    std::set<UINT> FailingParameters;  // SystemParametersInfo fails for these
    SystemProfile Profile;
    Capabilities Caps;
};

// The classic defaults.
[[nodiscard]] SystemTable ClassicSystemTable();
// The table in force (read only; change it through SystemTableOverride).
const SystemTable& CurrentSystemTable();

// Saves the table on construction and restores it, with its brushes' colours, on destruction. Nests.
class SystemTableOverride {
public:
    SystemTableOverride();
    ~SystemTableOverride();
    SystemTableOverride(const SystemTableOverride&) = delete;
    SystemTableOverride& operator=(const SystemTableOverride&) = delete;
    SystemTable& Table();
    // Replaces where screen sizes and the work area come from, until the override ends.
    void SetScreenFacts(ScreenFacts facts);

private:
    SystemTable FSaved;
    ScreenFactsSource FSavedSource;
};

// The screen source in force; the default asks Qt for the primary screen.
void SetScreenFactsSource(ScreenFactsSource source);  // empty: back to Qt
ScreenFacts CurrentScreenFacts();

COLORREF GetSysColor(int index);  // 0 for an unknown index
// One shared brush per index that follows the colour table; never freed. Null for an unknown index.
HBRUSH GetSysColorBrush(int index);
// Sets colours and notifies the change handler with WM_SYSCOLORCHANGE.
BOOL SetSysColors(int count, const int* indices, const COLORREF* colors);
int GetSystemMetrics(int index);  // 0 for an unknown index
// pv points to what the action fills: NONCLIENTMETRICS, RECT, UINT or BOOL. FALSE when the action is
// unknown, pv is null or the table marks it as failing. SPI_SETNONCLIENTMETRICS takes a NONCLIENTMETRICS and,
// with SPIF_SENDCHANGE, notifies the change handler with WM_SETTINGCHANGE.
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pv, UINT winIni);
// Low byte major version, next byte minor; the high bit set for a non-NT platform.
DWORD GetVersion();
const Capabilities& GetCapabilities();

// Told of every change of the system's state: colours (WM_SYSCOLORCHANGE), settings (WM_SETTINGCHANGE), the
// screens (WM_DISPLAYCHANGE) and the visual styles (WM_THEMECHANGED); the window layer broadcasts each to its
// top-level and message-only windows. Empty: nobody.
using SystemChangeHandler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
void SetSystemChangeHandler(SystemChangeHandler handler);
// Hands one change to the handler, when there is one.
void NotifySystemChange(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ovrel::ui
