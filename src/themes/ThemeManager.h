#pragma once
// The theme manager: a hidden window that turns the system's colour, display, visual-style and activation
// changes into WM_TBX_THEMENOTIFY for the objects on its notify list (the themes and the nexus), and the colour
// state of the whole subsystem that RefreshColors recomputes.

#include "toolkit/Graphics.h"
#include "toolkit/System.h"

#include "platform/ui/Types.h"
#include "platform/ui/VisualStyles.h"

#include <cstdint>
#include <vector>

namespace ovrel::themes {

/// The window classes a visual-style handle is opened for.
enum class TVisualStyleClass : std::uint8_t {
    Button,
    ScrollBar,
    Rebar,
    Toolbar,
    Window,
    ComboBox,
    ExplorerBar,
    Status,
    Spin
};
inline constexpr int VisualStyleClassCount = 9;

class TTBXThemeManager : public toolkit::TObject {
public:
    /// Makes the hidden window and refreshes the colours.
    TTBXThemeManager();
    ~TTBXThemeManager() override;

    /// Objects hear WM_TBX_THEMENOTIFY through Dispatch, in the order they were added; each is listed once.
    void AddNotify(toolkit::TObject* object);
    void RemoveNotify(toolkit::TObject* object);
    /// Dispatches the message to every listed object, in list order; an object removed meanwhile is skipped.
    /// The result of the last handler, or 0 when the list is empty.
    std::intptr_t Broadcast(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    /// Recomputes the colour state, the visual-styles flag and its handles.
    void RefreshColors();
    /// WM_TBX_THEMENOTIFY with WParam 1, 2 and 3, when anyone listens.
    void NotifyThemeChange();

    /// True at creation; visual styles come on only while it is set (read by the next RefreshColors).
    [[nodiscard]] bool GetEnableVisualStyles() const { return FEnableVisualStyles; }
    void SetEnableVisualStyles(bool value) { FEnableVisualStyles = value; }
    /// 0 at creation; 1 takes the toolbar colours for flat menus, 2 makes menus flat in window colours (read by
    /// the next RefreshColors).
    [[nodiscard]] std::uint8_t GetFlatMenuStyle() const { return FFlatMenuStyle; }
    void SetFlatMenuStyle(std::uint8_t value) { FFlatMenuStyle = value; }
    [[nodiscard]] ui::HWND GetWindowHandle() const { return FWindowHandle; }

private:
    void WndProc(toolkit::TMessage& message);
    void CloseVisualStyles();
    void OpenVisualStyles();

    bool FEnableVisualStyles = true;
    std::uint8_t FFlatMenuStyle = 0;
    std::vector<toolkit::TObject*> FNotifies;
    ui::HWND FWindowHandle = nullptr;
};

/// The manager of the running theme runtime, or null.
[[nodiscard]] TTBXThemeManager* GetThemeManager();
/// Forward to the manager; nothing when none runs.
void AddThemeNotify(toolkit::TObject* object);
void RemoveThemeNotify(toolkit::TObject* object);
/// Called by the theme runtime: chooses HotLightColor and makes the manager (start), or frees it (stop).
void StartThemeManager();
void StopThemeManager();

// ---- Colour state (classic values until a manager refreshes them) -----------------------------------------

[[nodiscard]] bool VisualStylesActive();
/// The handle opened for a window class while visual styles are active, else null.
[[nodiscard]] ui::HTHEME GetVisualStyleHandle(TVisualStyleClass windowClass);
/// Fewer than 12 bits per pixel on the screen.
[[nodiscard]] bool LowColorDisplay();
/// The button face is exactly white.
[[nodiscard]] bool WhiteButtonFace();
[[nodiscard]] bool PlainColors();
[[nodiscard]] toolkit::TColor ToolbarFillColor();
[[nodiscard]] toolkit::TColor ToolbarTextColor();
[[nodiscard]] bool FlatMenus();
[[nodiscard]] toolkit::TColor MenuColor();
[[nodiscard]] toolkit::TColor MenuTextColor();
/// 0x8000001A (COLOR_HOTLIGHT) when the platform has a brush for it, else clHighlight.
[[nodiscard]] toolkit::TColor HotLightColor();

}  // namespace ovrel::themes
