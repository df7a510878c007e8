#include "themes/ThemeManager.h"

#include "themes/ThemeInterface.h"

#include "toolbars/Common.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"

#include <algorithm>
#include <array>
#include <memory>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr std::array<const char*, VisualStyleClassCount> VisualStyleClassNames{
    "BUTTON", "SCROLLBAR", "REBAR", "TOOLBAR", "WINDOW", "COMBOBOX", "EXPLORERBAR", "STATUS", "SPIN"};

struct TColorState {
    bool VisualStylesActive = false;
    std::array<HTHEME, VisualStyleClassCount> Handles{};
    bool LowColorDisplay = false;
    bool WhiteButtonFace = false;
    bool PlainColors = false;
    TColor ToolbarFillColor = clBtnFace;
    TColor ToolbarTextColor = clBtnText;
    bool FlatMenus = false;
    TColor MenuColor = clMenu;
    TColor MenuTextColor = clMenuText;
    TColor HotLightColor = clHighlight;
};

TColorState& State()
{
    static TColorState state;
    return state;
}

std::unique_ptr<TTBXThemeManager>& ManagerSlot()
{
    static std::unique_ptr<TTBXThemeManager> manager;
    return manager;
}

}  // namespace

TTBXThemeManager::TTBXThemeManager()
{
    FWindowHandle = AllocateHWnd(TWndMethod(this, &TTBXThemeManager::WndProc));
    RefreshColors();
}

TTBXThemeManager::~TTBXThemeManager()
{
    CloseVisualStyles();
    DeallocateHWnd(FWindowHandle);
}

void TTBXThemeManager::AddNotify(TObject* object)
{
    if (object != nullptr && std::find(FNotifies.begin(), FNotifies.end(), object) == FNotifies.end())
        FNotifies.push_back(object);
}

void TTBXThemeManager::RemoveNotify(TObject* object)
{
    FNotifies.erase(std::remove(FNotifies.begin(), FNotifies.end(), object), FNotifies.end());
}

std::intptr_t TTBXThemeManager::Broadcast(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    std::intptr_t result = 0;
    const std::vector<TObject*> snapshot = FNotifies;
    for (TObject* object : snapshot) {
        // A handler may remove (and free) other listeners.
        if (std::find(FNotifies.begin(), FNotifies.end(), object) == FNotifies.end())
            continue;
        TMessage message{msg, wParam, lParam, 0};
        object->Dispatch(message);
        result = message.Result;
    }
    return result;
}

void TTBXThemeManager::NotifyThemeChange()
{
    if (FNotifies.empty())
        return;
    Broadcast(WM_TBX_THEMENOTIFY, 1, 0);
    Broadcast(WM_TBX_THEMENOTIFY, 2, 0);
    Broadcast(WM_TBX_THEMENOTIFY, 3, 0);
}

void TTBXThemeManager::RefreshColors()
{
    TColorState& s = State();
    // System colours are resolved on every use, so nothing cached needs refreshing here.
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    s.LowColorDisplay = bits < 12;
    s.WhiteButtonFace = GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255);
    s.PlainColors = s.LowColorDisplay || s.WhiteButtonFace;

    CloseVisualStyles();
    OpenVisualStyles();

    s.ToolbarFillColor = clBtnFace;
    s.ToolbarTextColor = clBtnText;
    if (s.VisualStylesActive) {
        const HTHEME toolbar = s.Handles[static_cast<std::size_t>(TVisualStyleClass::Toolbar)];
        COLORREF color = 0;
        if (GetThemeColor(toolbar, 0, 0, TMT_FILLCOLOR, &color) == S_OK)
            s.ToolbarFillColor = static_cast<TColor>(color);
        if (GetThemeColor(toolbar, 0, 0, TMT_TEXTCOLOR, &color) == S_OK)
            s.ToolbarTextColor = static_cast<TColor>(color);
    }

    BOOL flat = FALSE;
    if (toolbars::IsWindowsXPOrLater() && SystemParametersInfo(SPI_GETFLATMENU, 0, &flat, 0) == FALSE)
        flat = FALSE;
    if (flat != FALSE && FFlatMenuStyle == 1) {
        s.FlatMenus = false;
        s.MenuColor = s.ToolbarFillColor;
        s.MenuTextColor = s.ToolbarTextColor;
    } else if (flat != FALSE) {
        s.FlatMenus = true;
        s.MenuColor = clMenu;
        s.MenuTextColor = clMenuText;
    } else if (FFlatMenuStyle == 2) {
        s.FlatMenus = true;
        s.MenuColor = clWindow;
        s.MenuTextColor = clWindowText;
    } else {
        s.FlatMenus = false;
        s.MenuColor = clMenu;
        s.MenuTextColor = clMenuText;
    }
}

void TTBXThemeManager::CloseVisualStyles()
{
    TColorState& s = State();
    if (s.VisualStylesActive) {
        for (HTHEME& handle : s.Handles) {
            if (handle != nullptr)
                CloseThemeData(handle);
            handle = nullptr;
        }
    }
    s.VisualStylesActive = false;
}

void TTBXThemeManager::OpenVisualStyles()
{
    TColorState& s = State();
    s.VisualStylesActive = false;
    if (!toolbars::IsWindowsXPOrLater() || !FEnableVisualStyles)
        return;
    s.VisualStylesActive = IsThemed();
    if (!s.VisualStylesActive)
        return;
    for (std::size_t i = 0; i < s.Handles.size(); ++i) {
        s.Handles[i] = OpenThemeData(FWindowHandle, VisualStyleClassNames[i]);
        if (s.Handles[i] == nullptr) {
            CloseVisualStyles();  // one missing class leaves the classic path for everything
            return;
        }
    }
}

void TTBXThemeManager::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_THEMECHANGED:
        RefreshColors();
        NotifyThemeChange();
        break;
    case WM_ACTIVATEAPP: Broadcast(WM_TBX_THEMENOTIFY, message.WParam != 0 ? 4 : 5, 0); break;
    default: break;
    }
    message.Result = DefWindowProc(FWindowHandle, message.Msg, message.WParam, message.LParam);
}

// ---- Module functions -------------------------------------------------------------------------------------

TTBXThemeManager* GetThemeManager() { return ManagerSlot().get(); }

void AddThemeNotify(TObject* object)
{
    if (TTBXThemeManager* manager = GetThemeManager())
        manager->AddNotify(object);
}

void RemoveThemeNotify(TObject* object)
{
    if (TTBXThemeManager* manager = GetThemeManager())
        manager->RemoveNotify(object);
}

void StartThemeManager()
{
    State() = TColorState();
    State().HotLightColor =
        GetSysColorBrush(COLOR_HOTLIGHT) != nullptr ? static_cast<TColor>(0x8000001Au) : clHighlight;
    ManagerSlot() = std::make_unique<TTBXThemeManager>();
}

void StopThemeManager()
{
    ManagerSlot().reset();
    State() = TColorState();
}

bool VisualStylesActive() { return State().VisualStylesActive; }

HTHEME GetVisualStyleHandle(TVisualStyleClass windowClass)
{
    return State().Handles[static_cast<std::size_t>(windowClass)];
}

bool LowColorDisplay() { return State().LowColorDisplay; }
bool WhiteButtonFace() { return State().WhiteButtonFace; }
bool PlainColors() { return State().PlainColors; }
TColor ToolbarFillColor() { return State().ToolbarFillColor; }
TColor ToolbarTextColor() { return State().ToolbarTextColor; }
bool FlatMenus() { return State().FlatMenus; }
TColor MenuColor() { return State().MenuColor; }
TColor MenuTextColor() { return State().MenuTextColor; }
TColor HotLightColor() { return State().HotLightColor; }

}  // namespace ovrel::themes
