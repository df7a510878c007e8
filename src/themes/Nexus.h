#pragma once
// The nexus: holds the current theme and forwards every theme notification to the registered themed controls.

#include "themes/ThemeInterface.h"

#include "toolkit/Controls.h"
#include "toolkit/System.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ovrel::themes {

/// Acquires its theme when made and releases it when freed; listens to the theme manager and forwards each
/// WM_TBX_THEMENOTIFY as WM_TBX_THEMECHANGED (same WParam, LParam 0) to the registered controls.
class TTBXNexus : public toolkit::TObject {
public:
    explicit TTBXNexus(std::string_view themeName);
    ~TTBXNexus() override;

    /// Controls are borrowed: each removes itself before it goes. A control is listed once.
    void AddNotify(toolkit::TControl* control);
    void RemoveNotify(toolkit::TControl* control);
    /// Sends the message to every registered control in registration order, over the list as it was when the
    /// broadcast began; a control removed meanwhile is skipped.
    void Broadcast(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    [[nodiscard]] const std::vector<toolkit::TControl*>& GetNotifies() const { return FNotifies; }

    void Dispatch(toolkit::TMessage& message) override;

private:
    std::vector<toolkit::TControl*> FNotifies;
};

/// The nexus of the running theme runtime, or null.
[[nodiscard]] TTBXNexus* GetNexus();
/// The theme every themed control paints with, or null when no runtime runs.
[[nodiscard]] TTBXTheme* CurrentTheme();
/// Called by the theme runtime: makes the nexus with the named theme (start), or frees it (stop).
void StartNexus(std::string_view themeName);
void StopNexus();

}  // namespace ovrel::themes
