#include "toolbars/Hooks.h"

#include "platform/ui/Messages.h"

#include <algorithm>
#include <array>
#include <memory>

namespace ovrel::toolbars {

using namespace ovrel::ui;

namespace {

// Hook types: 0 call-window-procedure (codes 0 and 1), 1 CBT (code 2), 2 get-message (code 3).
constexpr std::array<int, 4> kTypeOfCode{0, 0, 1, 2};
constexpr std::array<int, 3> kIdOfType{WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
constexpr int kTypeCount = 3;

using TTypeMask = std::uint8_t;  // bit n: hook type n

TTypeMask TypesOf(THookProcCodes codes)
{
    TTypeMask mask = 0;
    for (std::size_t code = 0; code < kTypeOfCode.size(); ++code) {
        if (codes.Contains(static_cast<THookProcCode>(code)))
            mask |= static_cast<TTypeMask>(1u << kTypeOfCode[code]);
    }
    return mask;
}

struct TClient {
    THookProc Proc = nullptr;
    THookProcCodes Codes;
    // What each reference counted, so that its unregistration gives back exactly that.
    std::vector<TTypeMask> Counted;
    bool Removed = false;
};

struct TRegistry {
    std::vector<std::shared_ptr<TClient>> Clients;
    std::array<HHOOK, kTypeCount> Handles{};
    std::array<int, kTypeCount> UseCounts{};
};

TRegistry& Registry()
{
    // Its end at exit only frees memory: the hooks go with the process, and the window layer may be gone.
    static TRegistry registry;
    return registry;
}

class LayerHookInstaller final : public IHookInstaller {
public:
    HHOOK Install(int idHook, HOOKPROC procedure) override
    {
        return SetWindowsHookEx(idHook, std::move(procedure), nullptr, GetCurrentThreadId());
    }
    void Uninstall(HHOOK hook) override { UnhookWindowsHookEx(hook); }
    LRESULT CallNext(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) override
    {
        return CallNextHookEx(hook, code, wParam, lParam);
    }
};

IHookInstaller*& InstallerOverride()
{
    static IHookInstaller* installer = nullptr;
    return installer;
}

// Every client still registered that wants code is called once, in registration order. A client may
// register or unregister anyone while it runs: the walk is over a copy, and a client removed meanwhile is
// skipped. Exceptions of a client are dropped, so the others and the next hook still get the event.
void FanOut(THookProcCode code, HWND window, WPARAM wParam, LPARAM lParam)
{
    const std::vector<std::shared_ptr<TClient>> clients = Registry().Clients;
    for (const std::shared_ptr<TClient>& client : clients) {
        if (client->Removed || !client->Codes.Contains(code))
            continue;
        try {
            client->Proc(code, window, wParam, lParam);
        } catch (...) {}
    }
}

LRESULT CallWndProcHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = Registry().Handles[0];  // a client may unhook it while it runs
    if (!Registry().Clients.empty() && code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent->message == WM_ACTIVATEAPP)
            FanOut(hcActivateApp, sent->hwnd, sent->wParam, sent->lParam);
        else if (sent->message == WM_WINDOWPOSCHANGED)
            FanOut(hcWindowPosChanged, sent->hwnd, sent->wParam, sent->lParam);
    }
    return HookInstaller().CallNext(self, code, wParam, lParam);
}

LRESULT CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = Registry().Handles[1];
    if (!Registry().Clients.empty() && code == HCBT_DESTROYWND)
        FanOut(hcDestroyWindow, reinterpret_cast<HWND>(wParam), 0, 0);
    return HookInstaller().CallNext(self, code, wParam, lParam);
}

LRESULT GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = Registry().Handles[2];
    if (!Registry().Clients.empty() && code == HC_ACTION)
        FanOut(hcGetMessage, nullptr, wParam, lParam);
    return HookInstaller().CallNext(self, code, wParam, lParam);
}

HOOKPROC ProcedureOfType(int type)
{
    switch (type) {
    case 0: return CallWndProcHook;
    case 1: return CbtHook;
    default: return GetMessageHook;
    }
}

void Unhook(int type)
{
    TRegistry& r = Registry();
    if (r.Handles[type] != nullptr) {
        HHOOK hook = r.Handles[type];
        r.Handles[type] = nullptr;
        HookInstaller().Uninstall(hook);
    }
}

}  // namespace

void RegisterHookProc(THookProc proc, THookProcCodes codes, bool onlyRegister)
{
    if (proc == nullptr)
        return;
    TRegistry& r = Registry();
    auto it = std::find_if(r.Clients.begin(), r.Clients.end(), [proc](const auto& c) { return c->Proc == proc; });
    TClient* client = nullptr;
    if (it != r.Clients.end()) {
        client = it->get();
    } else {
        auto added = std::make_shared<TClient>();
        added->Proc = proc;
        added->Codes = codes;
        client = added.get();
        r.Clients.push_back(std::move(added));
    }
    const TTypeMask types = onlyRegister ? 0 : TypesOf(codes);
    client->Counted.push_back(types);
    for (int type = 0; type < kTypeCount; ++type) {
        if ((types & (1u << type)) == 0)
            continue;
        ++r.UseCounts[type];
        if (r.Handles[type] == nullptr)
            r.Handles[type] = HookInstaller().Install(kIdOfType[type], ProcedureOfType(type));
    }
}

void UnregisterHookProc(THookProc proc)
{
    TRegistry& r = Registry();
    auto it = std::find_if(r.Clients.begin(), r.Clients.end(), [proc](const auto& c) { return c->Proc == proc; });
    if (it == r.Clients.end())
        return;
    const std::shared_ptr<TClient> client = *it;
    const TTypeMask types = client->Counted.back();
    client->Counted.pop_back();
    if (client->Counted.empty()) {
        client->Removed = true;
        r.Clients.erase(it);
    }
    for (int type = 0; type < kTypeCount; ++type) {
        if ((types & (1u << type)) == 0 || r.UseCounts[type] < 1)
            continue;
        if (--r.UseCounts[type] == 0)
            Unhook(type);
    }
}

void ShutDownHookRegistry()
{
    TRegistry& r = Registry();
    for (int type = 0; type < kTypeCount; ++type) {
        Unhook(type);
        r.UseCounts[type] = 0;
    }
    for (const auto& client : r.Clients)
        client->Removed = true;
    r.Clients.clear();
}

IHookInstaller& HookInstaller()
{
    static LayerHookInstaller layer;
    IHookInstaller* installer = InstallerOverride();
    return installer != nullptr ? *installer : layer;
}

IHookInstaller* SetHookInstaller(IHookInstaller* installer)
{
    IHookInstaller* previous = InstallerOverride();
    InstallerOverride() = installer;
    return previous;
}

// ---- Recording installer ----------------------------------------------------------------------------------

HHOOK RecordingHookInstaller::Install(int idHook, HOOKPROC procedure)
{
    auto* handle = reinterpret_cast<HHOOK>(FNextHandle++);
    FInstalled.emplace_back(handle, Hook{idHook, std::move(procedure)});
    Changes.push_back({idHook, true});
    return handle;
}

void RecordingHookInstaller::Uninstall(HHOOK hook)
{
    auto it = std::find_if(FInstalled.begin(), FInstalled.end(), [hook](const auto& h) { return h.first == hook; });
    if (it == FInstalled.end())
        return;
    Changes.push_back({it->second.IdHook, false});
    FInstalled.erase(it);
}

LRESULT RecordingHookInstaller::CallNext(HHOOK, int, WPARAM, LPARAM)
{
    ++NextCalls;
    return 0;
}

bool RecordingHookInstaller::Fire(int idHook, int code, WPARAM wParam, LPARAM lParam)
{
    auto it = std::find_if(FInstalled.begin(), FInstalled.end(),
                           [idHook](const auto& h) { return h.second.IdHook == idHook; });
    if (it == FInstalled.end())
        return false;
    const HOOKPROC procedure = it->second.Procedure;  // the procedure may uninstall itself while it runs
    procedure(code, wParam, lParam);
    return true;
}

bool RecordingHookInstaller::IsInstalled(int idHook) const
{
    return std::any_of(FInstalled.begin(), FInstalled.end(),
                       [idHook](const auto& h) { return h.second.IdHook == idHook; });
}

}  // namespace ovrel::toolbars
