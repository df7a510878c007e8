#include "themes/Nexus.h"

#include "themes/ThemeManager.h"

#include <algorithm>
#include <memory>

namespace ovrel::themes {

using namespace ovrel::toolkit;

namespace {

TTBXTheme*& CurrentThemeSlot()
{
    static TTBXTheme* theme = nullptr;
    return theme;
}

std::unique_ptr<TTBXNexus>& NexusSlot()
{
    static std::unique_ptr<TTBXNexus> nexus;
    return nexus;
}

}  // namespace

TTBXNexus::TTBXNexus(std::string_view themeName)
{
    CurrentThemeSlot() = GetTheme(themeName);
    AddThemeNotify(this);
}

TTBXNexus::~TTBXNexus()
{
    RemoveThemeNotify(this);
    if (CurrentThemeSlot() != nullptr)
        ReleaseTheme(CurrentThemeSlot());
}

void TTBXNexus::AddNotify(TControl* control)
{
    if (control != nullptr && std::find(FNotifies.begin(), FNotifies.end(), control) == FNotifies.end())
        FNotifies.push_back(control);
}

void TTBXNexus::RemoveNotify(TControl* control)
{
    FNotifies.erase(std::remove(FNotifies.begin(), FNotifies.end(), control), FNotifies.end());
}

void TTBXNexus::Broadcast(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    const std::vector<TControl*> snapshot = FNotifies;
    for (TControl* control : snapshot) {
        // A control may free another one (or itself) while it handles the change.
        if (std::find(FNotifies.begin(), FNotifies.end(), control) != FNotifies.end())
            control->Perform(msg, wParam, lParam);
    }
}

void TTBXNexus::Dispatch(TMessage& message)
{
    if (message.Msg == WM_TBX_THEMENOTIFY) {
        Broadcast(WM_TBX_THEMECHANGED, message.WParam, 0);
        return;
    }
    TObject::Dispatch(message);
}

TTBXNexus* GetNexus() { return NexusSlot().get(); }

TTBXTheme* CurrentTheme() { return CurrentThemeSlot(); }

void StartNexus(std::string_view themeName) { NexusSlot() = std::make_unique<TTBXNexus>(themeName); }

void StopNexus() { NexusSlot().reset(); }

}  // namespace ovrel::themes
