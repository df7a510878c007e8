#include "platform/ui/SysTables.h"

#include "platform/ui/Gdi_p.h"
#include "platform/ui/Messages.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace ovrel::ui {

namespace {

LOGFONT ClassicFont(bool bold)
{
    LOGFONT font;
    font.lfHeight = -11;  // 8 pt at 96 dpi
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfFaceName = "Tahoma";
    return font;
}

SystemTable& TheTable()
{
    static SystemTable table = ClassicSystemTable();
    return table;
}

ScreenFactsSource& Source()
{
    static ScreenFactsSource source;
    return source;
}

SystemChangeHandler& ChangeHandler()
{
    static SystemChangeHandler handler;
    return handler;
}

RECT FromQRect(const QRect& r) { return RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

ScreenFacts QtScreenFacts()
{
    ScreenFacts facts;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return facts;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return facts;
    facts.Primary = FromQRect(primary->geometry());
    facts.PrimaryWork = FromQRect(primary->availableGeometry());
    facts.Virtual = FromQRect(primary->virtualGeometry());
    facts.MonitorCount = std::max<int>(1, static_cast<int>(QGuiApplication::screens().size()));
    return facts;
}

constexpr int Width(const RECT& r) { return r.right - r.left; }
constexpr int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SystemTable ClassicSystemTable()
{
    SystemTable t;
    // The classic scheme.
    t.Colors = {
        RGB(212, 208, 200),  // SCROLLBAR
        RGB(58, 110, 165),  // BACKGROUND
        RGB(10, 36, 106),  // ACTIVECAPTION
        RGB(128, 128, 128),  // INACTIVECAPTION
        RGB(212, 208, 200),  // MENU
        RGB(255, 255, 255),  // WINDOW
        RGB(0, 0, 0),  // WINDOWFRAME
        RGB(0, 0, 0),  // MENUTEXT
        RGB(0, 0, 0),  // WINDOWTEXT
        RGB(255, 255, 255),  // CAPTIONTEXT
        RGB(212, 208, 200),  // ACTIVEBORDER
        RGB(212, 208, 200),  // INACTIVEBORDER
        RGB(128, 128, 128),  // APPWORKSPACE
        RGB(10, 36, 106),  // HIGHLIGHT
        RGB(255, 255, 255),  // HIGHLIGHTTEXT
        RGB(212, 208, 200),  // BTNFACE
        RGB(128, 128, 128),  // BTNSHADOW
        RGB(128, 128, 128),  // GRAYTEXT
        RGB(0, 0, 0),  // BTNTEXT
        RGB(212, 208, 200),  // INACTIVECAPTIONTEXT
        RGB(255, 255, 255),  // BTNHIGHLIGHT
        RGB(64, 64, 64),  // 3DDKSHADOW
        RGB(212, 208, 200),  // 3DLIGHT
        RGB(0, 0, 0),  // INFOTEXT
        RGB(255, 255, 225),  // INFOBK
        RGB(181, 181, 181),  // (unused slot)
        RGB(0, 0, 128),  // HOTLIGHT
        RGB(166, 202, 240),  // GRADIENTACTIVECAPTION
        RGB(192, 192, 192),  // GRADIENTINACTIVECAPTION
        RGB(10, 36, 106),  // MENUHILIGHT
        RGB(212, 208, 200),  // MENUBAR
    };
    auto& m = t.Metrics;
    m.fill(0);
    m[SM_CXVSCROLL] = 16;
    m[SM_CYHSCROLL] = 16;
    m[SM_CYCAPTION] = 19;
    m[SM_CXBORDER] = 1;
    m[SM_CYBORDER] = 1;
    m[SM_CXFIXEDFRAME] = 3;
    m[SM_CYFIXEDFRAME] = 3;
    m[SM_CYVTHUMB] = 16;
    m[SM_CXHTHUMB] = 16;
    m[SM_CXICON] = 32;
    m[SM_CYICON] = 32;
    m[SM_CXCURSOR] = 32;
    m[SM_CYCURSOR] = 32;
    m[SM_CYMENU] = 19;
    m[SM_CYVSCROLL] = 16;
    m[SM_CXHSCROLL] = 16;
    m[SM_CXMIN] = 112;
    m[SM_CYMIN] = 27;
    m[SM_CXMINTRACK] = 112;
    m[SM_CYMINTRACK] = 27;
    m[SM_CXSIZE] = 18;
    m[SM_CYSIZE] = 18;
    m[SM_CXSIZEFRAME] = 4;
    m[SM_CYSIZEFRAME] = 4;
    m[SM_CXDOUBLECLK] = 4;
    m[SM_CYDOUBLECLK] = 4;
    m[SM_CXEDGE] = 2;
    m[SM_CYEDGE] = 2;
    m[SM_CXSMICON] = 16;
    m[SM_CYSMICON] = 16;
    m[SM_CYSMCAPTION] = 16;
    m[SM_CXSMSIZE] = 12;
    m[SM_CYSMSIZE] = 15;
    m[SM_CXMENUSIZE] = 18;
    m[SM_CYMENUSIZE] = 18;
    m[SM_CXDRAG] = 4;
    m[SM_CYDRAG] = 4;
    m[SM_CXMENUCHECK] = 13;
    m[SM_CYMENUCHECK] = 13;
    m[SM_MOUSEWHEELPRESENT] = 1;
    m[SM_CXFOCUSBORDER] = 1;
    m[SM_CYFOCUSBORDER] = 1;
    NONCLIENTMETRICS& n = t.NonClientMetrics;
    n.lfCaptionFont = ClassicFont(true);
    n.lfSmCaptionFont = ClassicFont(true);
    n.lfMenuFont = ClassicFont(false);
    n.lfStatusFont = ClassicFont(false);
    n.lfMessageFont = ClassicFont(false);
    return t;
}

const SystemTable& CurrentSystemTable() { return TheTable(); }

SystemTableOverride::SystemTableOverride() : FSaved(TheTable()), FSavedSource(Source()) {}

SystemTableOverride::~SystemTableOverride()
{
    TheTable() = FSaved;
    Source() = FSavedSource;
}

SystemTable& SystemTableOverride::Table() { return TheTable(); }

void SystemTableOverride::SetScreenFacts(ScreenFacts facts)
{
    Source() = [facts] { return facts; };
}

void SetScreenFactsSource(ScreenFactsSource source) { Source() = std::move(source); }

ScreenFacts CurrentScreenFacts() { return Source() ? Source()() : QtScreenFacts(); }

COLORREF GetSysColor(int index)
{
    if (index < 0 || index >= SysColorCount)
        return 0;
    return TheTable().Colors[static_cast<std::size_t>(index)];
}

BrushObject* SysColorBrushObject(int index)
{
    if (index < 0 || index >= SysColorCount)
        return nullptr;
    static auto* brushes = [] {
        auto* all = new std::array<BrushObject*, SysColorCount>;
        for (int i = 0; i < SysColorCount; ++i) {
            auto* b = new BrushObject;
            b->Stock = true;
            b->SysColorIndex = i;
            RegisterObject(b);
            (*all)[static_cast<std::size_t>(i)] = b;
        }
        return all;
    }();
    return (*brushes)[static_cast<std::size_t>(index)];
}

HBRUSH GetSysColorBrush(int index) { return SysColorBrushObject(index); }

BOOL SetSysColors(int count, const int* indices, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!indices || !colors)))
        return FALSE;
    for (int i = 0; i < count; ++i)
        if (indices[i] >= 0 && indices[i] < SysColorCount)
            TheTable().Colors[static_cast<std::size_t>(indices[i])] = colors[i] & 0xFFFFFF;
    NotifySystemChange(WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

int GetSystemMetrics(int index)
{
    if (index < 0 || index >= SystemMetricCount)
        return 0;
    const int pinned = TheTable().Metrics[static_cast<std::size_t>(index)];
    switch (index) {
    case SM_MENUDROPALIGNMENT:
        return TheTable().MenuDropAlignment ? 1 : 0;  // one entry answers the metric and the parameter
    case SM_CXSCREEN:
    case SM_CYSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN:
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CXMAXTRACK:
    case SM_CYMAXTRACK:
    case SM_CMONITORS: {
        if (pinned != 0)
            return pinned;  // a test pinned it
        const ScreenFacts facts = CurrentScreenFacts();
        switch (index) {
        case SM_CXSCREEN: return Width(facts.Primary);
        case SM_CYSCREEN: return Height(facts.Primary);
        case SM_CXFULLSCREEN: return Width(facts.PrimaryWork);
        case SM_CYFULLSCREEN: return Height(facts.PrimaryWork) - TheTable().Metrics[SM_CYCAPTION];
        case SM_XVIRTUALSCREEN: return facts.Virtual.left;
        case SM_YVIRTUALSCREEN: return facts.Virtual.top;
        case SM_CXVIRTUALSCREEN: return Width(facts.Virtual);
        case SM_CYVIRTUALSCREEN: return Height(facts.Virtual);
        // A sizing frame may reach past every screen by its frame on each side.
        case SM_CXMAXTRACK: return Width(facts.Virtual) + 2 * TheTable().Metrics[SM_CXSIZEFRAME];
        case SM_CYMAXTRACK: return Height(facts.Virtual) + 2 * TheTable().Metrics[SM_CYSIZEFRAME];
        default: return facts.MonitorCount;
        }
    }
    default: return pinned;
    }
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pv, UINT winIni)
{
    (void)uiParam;
    SystemTable& t = TheTable();
    if (!pv || t.FailingParameters.count(action) != 0)
        return FALSE;
    switch (action) {
    case SPI_SETNONCLIENTMETRICS:
        t.NonClientMetrics = *static_cast<const NONCLIENTMETRICS*>(pv);
        if ((winIni & SPIF_SENDCHANGE) != 0)
            NotifySystemChange(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* out = static_cast<NONCLIENTMETRICS*>(pv);
        *out = t.NonClientMetrics;
        return TRUE;
    }
    case SPI_GETWORKAREA: *static_cast<RECT*>(pv) = CurrentScreenFacts().PrimaryWork; return TRUE;
    case SPI_GETMENUSHOWDELAY: *static_cast<UINT*>(pv) = t.MenuShowDelay; return TRUE;
    case SPI_GETMENUANIMATION: *static_cast<BOOL*>(pv) = t.MenuAnimation; return TRUE;
    case SPI_GETMENUFADE: *static_cast<BOOL*>(pv) = t.MenuFade; return TRUE;
    case SPI_GETGRADIENTCAPTIONS: *static_cast<BOOL*>(pv) = t.GradientCaptions; return TRUE;
    case SPI_GETKEYBOARDCUES: *static_cast<BOOL*>(pv) = t.KeyboardCues; return TRUE;
    case SPI_GETFLATMENU: *static_cast<BOOL*>(pv) = t.FlatMenu; return TRUE;
    case SPI_GETMENUDROPALIGNMENT: *static_cast<BOOL*>(pv) = t.MenuDropAlignment; return TRUE;
    default: return FALSE;
    }
}

DWORD GetVersion()
{
    const SystemProfile& p = TheTable().Profile;
    DWORD v = (static_cast<DWORD>(p.MajorVersion) & 0xFF) | ((static_cast<DWORD>(p.MinorVersion) & 0xFF) << 8);
    if (!p.NtFamily)
        v |= 0x80000000u;
    return v;
}

const Capabilities& GetCapabilities() { return TheTable().Caps; }

void SetSystemChangeHandler(SystemChangeHandler handler) { ChangeHandler() = std::move(handler); }

void NotifySystemChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ChangeHandler())
        ChangeHandler()(message, wParam, lParam);
}

}  // namespace ovrel::ui
