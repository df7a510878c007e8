// The hook registry: shared hooks per type, reference and use counts, fan-out to the clients of a code,
// clients that throw or unregister while they run, and the real hook chain of the window layer.
#include "toolbars/Hooks.h"

#include "ToolbarsTestSupport.h"

#include "platform/ui/Messages.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::ui;
using Change = RecordingHookInstaller::Change;

struct Heard {
    std::string Client;
    THookProcCode Code;
    HWND Window;
    WPARAM WParam;
    LPARAM LParam;
    friend bool operator==(const Heard&, const Heard&) = default;
};

std::vector<Heard>& Log()
{
    static std::vector<Heard> log;
    return log;
}

// Plain procedures, as clients are; what each does beyond logging is set per test.
std::function<void()>& AlsoInA()
{
    static std::function<void()> f;
    return f;
}
void ClientA(THookProcCode code, HWND w, WPARAM wp, LPARAM lp)
{
    Log().push_back({"A", code, w, wp, lp});
    if (AlsoInA())
        AlsoInA()();
}
void ClientB(THookProcCode code, HWND w, WPARAM wp, LPARAM lp) { Log().push_back({"B", code, w, wp, lp}); }
void ClientC(THookProcCode code, HWND w, WPARAM wp, LPARAM lp) { Log().push_back({"C", code, w, wp, lp}); }
void Throwing(THookProcCode, HWND, WPARAM, LPARAM) { throw std::runtime_error("client failed"); }

class HookRegistry : public ::testing::Test {
protected:
    HookRegistry()
    {
        FPrevious = SetHookInstaller(&Installer);
        Log().clear();
    }
    ~HookRegistry() override
    {
        ShutDownHookRegistry();
        SetHookInstaller(FPrevious);
        AlsoInA() = nullptr;
    }
    // A sent message as the call-window-procedure hook sees it.
    bool Send(UINT message, HWND window, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        CWPSTRUCT sent{lParam, wParam, message, window};
        return Installer.Fire(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&sent));
    }

    RecordingHookInstaller Installer;
    HWND Window = reinterpret_cast<HWND>(0x4000);

private:
    IHookInstaller* FPrevious = nullptr;
};

TEST_F(HookRegistry, EachEventReachesOnlyTheClientsOfItsCodeInRegistrationOrder)
{
    RegisterHookProc(ClientA, {hcActivateApp, hcWindowPosChanged, hcDestroyWindow});
    RegisterHookProc(ClientB, {hcActivateApp});
    RegisterHookProc(ClientC, {hcGetMessage});
    // Types are installed once each and shared.
    EXPECT_EQ(Installer.Changes, (std::vector<Change>{{WH_CALLWNDPROC, true}, {WH_CBT, true}, {WH_GETMESSAGE, true}}));

    ASSERT_TRUE(Send(WM_ACTIVATEAPP, Window, 1, 22));
    ASSERT_TRUE(Send(WM_WINDOWPOSCHANGED, Window, 0, 33));
    ASSERT_TRUE(Send(WM_SIZE, Window));  // not watched
    ASSERT_TRUE(Installer.Fire(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(Window), 0));
    ASSERT_TRUE(Installer.Fire(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(Window), 0));  // another code
    MSG retrieved{};
    ASSERT_TRUE(Installer.Fire(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&retrieved)));
    EXPECT_EQ(Log(),
              (std::vector<Heard>{{"A", hcActivateApp, Window, 1, 22},
                                  {"B", hcActivateApp, Window, 1, 22},
                                  {"A", hcWindowPosChanged, Window, 0, 33},
                                  {"A", hcDestroyWindow, Window, 0, 0},
                                  {"C", hcGetMessage, nullptr, PM_REMOVE, reinterpret_cast<LPARAM>(&retrieved)}}));
    EXPECT_EQ(Installer.NextCalls, 6) << "every call is passed on, watched or not";
}

TEST_F(HookRegistry, AHookStaysWhileARegistrationNeedsIt)
{
    RegisterHookProc(ClientA, {hcActivateApp});
    RegisterHookProc(ClientA, {hcActivateApp});
    RegisterHookProc(ClientB, {hcWindowPosChanged});
    UnregisterHookProc(ClientA);
    Send(WM_ACTIVATEAPP, Window);
    EXPECT_EQ(Log().size(), 1u) << "registered twice, unregistered once: still called";
    UnregisterHookProc(ClientA);
    EXPECT_TRUE(Installer.IsInstalled(WH_CALLWNDPROC)) << "B still needs the type";
    UnregisterHookProc(ClientB);
    EXPECT_FALSE(Installer.IsInstalled(WH_CALLWNDPROC));
    UnregisterHookProc(ClientB);  // unknown now: nothing
    EXPECT_EQ(Installer.Changes, (std::vector<Change>{{WH_CALLWNDPROC, true}, {WH_CALLWNDPROC, false}}));
}

TEST_F(HookRegistry, ARegistrationWithoutHooksGivesBackNoHookOfTheOthers)
{
    RegisterHookProc(ClientB, {hcActivateApp});
    RegisterHookProc(ClientA, {hcActivateApp, hcDestroyWindow}, true);
    EXPECT_EQ(Installer.Changes, (std::vector<Change>{{WH_CALLWNDPROC, true}}));
    UnregisterHookProc(ClientA);
    EXPECT_TRUE(Installer.IsInstalled(WH_CALLWNDPROC));
    Send(WM_ACTIVATEAPP, Window);
    EXPECT_EQ(Log(), (std::vector<Heard>{{"B", hcActivateApp, Window, 0, 0}}));
}

TEST_F(HookRegistry, AThrowingClientNeitherStopsTheOthersNorTheNextHook)
{
    RegisterHookProc(Throwing, {hcActivateApp});
    RegisterHookProc(ClientB, {hcActivateApp});
    EXPECT_NO_THROW(Send(WM_ACTIVATEAPP, Window));
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_EQ(Installer.NextCalls, 1);
}

TEST_F(HookRegistry, ClientsMayUnregisterThemselvesAndOthersWhileTheyAreCalled)
{
    RegisterHookProc(ClientA, {hcActivateApp});
    RegisterHookProc(ClientB, {hcActivateApp});
    RegisterHookProc(ClientC, {hcActivateApp});
    AlsoInA() = [] {
        UnregisterHookProc(ClientA);
        UnregisterHookProc(ClientB);
        RegisterHookProc(ClientB, {hcActivateApp});  // back, but after this event
    };
    Send(WM_ACTIVATEAPP, Window);
    std::vector<std::string> called;
    for (const Heard& h : Log())
        called.push_back(h.Client);
    EXPECT_EQ(called, (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(Installer.NextCalls, 1);

    // The last client leaving from inside its call unhooks the type; the call is still passed on.
    AlsoInA() = [] { UnregisterHookProc(ClientA); };
    UnregisterHookProc(ClientB);
    UnregisterHookProc(ClientC);
    RegisterHookProc(ClientA, {hcActivateApp});
    Log().clear();
    Send(WM_ACTIVATEAPP, Window);
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_FALSE(Installer.IsInstalled(WH_CALLWNDPROC));
    EXPECT_EQ(Installer.NextCalls, 2);
}

TEST_F(HookRegistry, ShutDownRemovesEveryHookWhateverTheCounts)
{
    RegisterHookProc(ClientA, {hcActivateApp, hcGetMessage});
    RegisterHookProc(ClientA, {hcActivateApp});
    ShutDownHookRegistry();
    EXPECT_FALSE(Installer.IsInstalled(WH_CALLWNDPROC));
    EXPECT_FALSE(Installer.IsInstalled(WH_GETMESSAGE));
    RegisterHookProc(ClientB, {hcActivateApp});
    Send(WM_ACTIVATEAPP, Window);
    EXPECT_EQ(Log(), (std::vector<Heard>{{"B", hcActivateApp, Window, 0, 0}})) << "A was forgotten";
}

class LayerHooks : public testing::WindowFixture {
protected:
    ~LayerHooks() override { ShutDownHookRegistry(); }
};

TEST_F(LayerHooks, ActivationAndDestructionOfRealWindowsReachTheClients)
{
    HWND window = Create(WS_POPUP, RECT{0, 0, 40, 40}, nullptr, DefWindowProc);
    SetApplicationActive(true);
    Log().clear();
    RegisterHookProc(ClientA, {hcActivateApp, hcDestroyWindow});
    SetApplicationActive(false);
    SetApplicationActive(true);
    DestroyWindow(window);
    std::vector<Heard> mine;
    for (const Heard& h : Log()) {
        if (h.Window == window)
            mine.push_back(h);
    }
    ASSERT_EQ(mine.size(), 3u);
    EXPECT_EQ(mine[0].Code, hcActivateApp);
    EXPECT_EQ(mine[0].WParam, 0u);
    EXPECT_EQ(mine[1].WParam, 1u);
    EXPECT_EQ(mine[2].Code, hcDestroyWindow);
    UnregisterHookProc(ClientA);
    Log().clear();
    SetApplicationActive(false);
    SetApplicationActive(true);
    EXPECT_TRUE(Log().empty());
}

}  // namespace
}  // namespace ovrel::toolbars
