#pragma once
// One set of thread hooks shared by every part of the framework that watches the thread's window traffic
// (application activation, window moves and destruction, retrieved messages). A client registers a plain
// procedure with the events it wants; the registry installs the hooks those events need and removes each
// when no registration needs it any more.

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/Classes.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ovrel::toolbars {

enum THookProcCode : std::uint8_t {
    hcActivateApp,  // WM_ACTIVATEAPP sent: the window, its WParam and LParam
    hcWindowPosChanged,  // WM_WINDOWPOSCHANGED sent: the window, its WParam and LParam
    hcDestroyWindow,  // a window is about to be destroyed: the window, 0, 0
    hcGetMessage,  // a message was retrieved: no window, the remove flag, the MSG*
};
using THookProcCodes = toolkit::TSet<THookProcCode>;

/// A client: one plain procedure, so that clients compare by address.
using THookProc = void (*)(THookProcCode code, ui::HWND window, ui::WPARAM wParam, ui::LPARAM lParam);

/// Registers proc for codes. The same proc again only counts one more reference (its codes stay as first
/// given). Unless onlyRegister, the hooks the codes need are installed.
void RegisterHookProc(THookProc proc, THookProcCodes codes, bool onlyRegister = false);
/// Gives back one reference and the hooks that registration installed; nothing for an unknown proc.
void UnregisterHookProc(THookProc proc);
/// Removes every hook and forgets every client, whatever the counts: for the end of the program.
void ShutDownHookRegistry();

/// How the registry puts its hooks in place; the default is the window layer's hook chain.
class IHookInstaller {
public:
    virtual ~IHookInstaller() = default;
    virtual ui::HHOOK Install(int idHook, ui::HOOKPROC procedure) = 0;
    virtual void Uninstall(ui::HHOOK hook) = 0;
    virtual ui::LRESULT CallNext(ui::HHOOK hook, int code, ui::WPARAM wParam, ui::LPARAM lParam) = 0;
};

IHookInstaller& HookInstaller();
/// Borrowed: must outlive its use. Swap it only while the registry has no hook installed.
IHookInstaller* SetHookInstaller(IHookInstaller* installer);

/// Records installs and removals, runs the installed procedures on request and counts the calls passed on.
class RecordingHookInstaller final : public IHookInstaller {
public:
    struct Change {
        int IdHook = 0;
        bool Installed = false;  // false: removed
        friend bool operator==(const Change&, const Change&) = default;
    };
    ui::HHOOK Install(int idHook, ui::HOOKPROC procedure) override;
    void Uninstall(ui::HHOOK hook) override;
    ui::LRESULT CallNext(ui::HHOOK hook, int code, ui::WPARAM wParam, ui::LPARAM lParam) override;

    /// Runs the installed procedure of idHook as the chain would; false when none is installed.
    bool Fire(int idHook, int code, ui::WPARAM wParam, ui::LPARAM lParam);
    [[nodiscard]] bool IsInstalled(int idHook) const;

    std::vector<Change> Changes;
    int NextCalls = 0;

private:
    struct Hook {
        int IdHook = 0;
        ui::HOOKPROC Procedure;
    };
    std::vector<std::pair<ui::HHOOK, Hook>> FInstalled;
    std::uintptr_t FNextHandle = 1;
};

}  // namespace ovrel::toolbars
