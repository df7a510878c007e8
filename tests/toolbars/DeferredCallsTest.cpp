// Deferred calls through the queue and the message-only window, what a finished menu does afterwards, and
// the shared menu font.
#include "toolbars/Items.h"

#include "ItemsTestSupport.h"
#include "ToolbarsTestSupport.h"

#include "platform/ui/Messages.h"
#include "platform/ui/RegistryValues.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using namespace ovrel::toolbars::testing;

/// Clicks write the item's caption into one log.
struct Clicks {
    void Click(TObject* sender) { Log.push_back(static_cast<TTBCustomItem*>(sender)->GetCaption()); }
    void Throw(TObject*) { throw std::runtime_error("command failed"); }
    std::vector<std::string> Log;
};

/// Stands for an item viewer: counted while it lives, its calls cancelled when it goes.
class FakeViewer final : public ITBAccActionHandler {
public:
    FakeViewer() { CountItemObject(); }
    ~FakeViewer()
    {
        CancelDeferredCalls(this);
        UncountItemObject();
    }
    FakeViewer(const FakeViewer&) = delete;
    FakeViewer& operator=(const FakeViewer&) = delete;
    void HandleAccAction(bool execute) override { Actions.push_back(execute); }
    std::vector<bool> Actions;
};

class DeferredCalls : public WindowFixture {
protected:
    Clicks Heard;
    ItemPtr Root = MakeRoot();
    TTBCustomItem* Add(const std::string& caption)
    {
        TTBCustomItem* item = AddChild(Root.get(), caption);
        item->OnClick = TNotifyEvent(&Heard, &Clicks::Click);
        return item;
    }
};

TEST_F(DeferredCalls, RunFromTheMessageLoopInTheOrderTheyWereQueued)
{
    TTBCustomItem* first = Add("first");
    TTBCustomItem* second = Add("second");
    PostClick(first);
    PostClick(second);
    PostClick(first);
    EXPECT_TRUE(Heard.Log.empty()) << "nothing runs before the loop";
    Pump();
    EXPECT_EQ(Heard.Log, (std::vector<std::string>{"first", "second", "first"}));
}

TEST_F(DeferredCalls, AnItemFreedBeforeItsTurnIsSkipped)
{
    TTBCustomItem* gone = Add("gone");
    TTBCustomItem* stays = Add("stays");
    PostClick(gone);
    PostClick(stays);
    delete gone;
    Pump();
    EXPECT_EQ(Heard.Log, (std::vector<std::string>{"stays"}));
}

TEST_F(DeferredCalls, AnExceptionGoesToTheApplicationAndTheNextCallStillRuns)
{
    ApplicationExceptions errors;
    TTBCustomItem* failing = Add("failing");
    failing->OnClick = TNotifyEvent(&Heard, &Clicks::Throw);
    PostClick(failing);
    PostClick(Add("next"));
    Pump();
    EXPECT_EQ(errors.Messages, (std::vector<std::string>{"command failed"}));
    EXPECT_EQ(Heard.Log, (std::vector<std::string>{"next"}));
}

TEST_F(DeferredCalls, AViewersCallRunsItsAccessibilityActionUnlessCancelled)
{
    FakeViewer viewer;
    auto leaving = std::make_unique<FakeViewer>();
    QueueDeferredCall(&viewer, 1);
    QueueDeferredCall(leaving.get(), 1);
    QueueDeferredCall(&viewer, 0);
    leaving.reset();
    Pump();
    EXPECT_EQ(viewer.Actions, (std::vector<bool>{true, false}));
}

TEST_F(DeferredCalls, TheWindowGoesWithTheLastItemOrViewer)
{
    Root.reset();
    ASSERT_EQ(GetDeferredCallWindow(), nullptr) << "another test left an item alive";
    auto item = std::make_unique<TTBCustomItem>(nullptr);
    auto other = std::make_unique<TTBCustomItem>(nullptr);
    PostClick(item.get());
    HWND window = GetDeferredCallWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    item.reset();
    EXPECT_EQ(GetDeferredCallWindow(), window) << "one item is still alive";
    other.reset();
    EXPECT_EQ(GetDeferredCallWindow(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    Pump();  // its message went with it
}

class FreesItself {
public:
    explicit FreesItself(TTBCustomItem* item) : FItem(item) {}
    void Click(TObject*) { FItem.reset(); }

private:
    ItemPtr FItem;
};

TEST_F(DeferredCalls, TheLastItemMayFreeItselfInItsDeferredClick)
{
    Root.reset();
    auto* item = new TTBCustomItem(nullptr);
    FreesItself owner(item);
    item->OnClick = TNotifyEvent(&owner, &FreesItself::Click);
    PostClick(item);
    HWND window = GetDeferredCallWindow();
    Pump();
    EXPECT_FALSE(IsWindow(window)) << "the window went while its own message ran";
}

// ---- Done actions -----------------------------------------------------------------------------------------

class DoneActions : public DeferredCalls {
protected:
    DoneActions() { FHelpFile = Application()->GetHelpFile(); }
    void TearDown() override
    {
        Application()->SetHelpFile(FHelpFile);
        DeferredCalls::TearDown();
    }
    RecordingSound Sound;
    ScopedService<ISound> FSound{SetSound, Sound};
    FakeRegistryValues Registry;
    ScopedService<IRegistryValues> FRegistry{SetRegistryValues, Registry};
    RecordingHelp HelpRequests;
    ScopedService<IHelp> FHelp{SetHelp, HelpRequests};

private:
    std::string FHelpFile;
};

TEST_F(DoneActions, AnItemIsClickedLaterWithTheCommandSoundOnlyFromAPopup)
{
    Registry.SetString("AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", "", "click.wav");
    TTBCustomItem* item = Add("command");
    ExecuteDoneAction(TMenuDoneAction{tbdaExecuteItem, item, nullptr, 0, 1});
    EXPECT_EQ(Sound.Events, (std::vector<std::string>{"play:MenuCommand"}));
    EXPECT_TRUE(Heard.Log.empty());
    Pump();
    EXPECT_EQ(Heard.Log, (std::vector<std::string>{"command"}));

    ExecuteDoneAction(TMenuDoneAction{tbdaExecuteItem, item, nullptr, 0, 0});  // from a toolbar
    Registry.Remove("AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", "");
    ExecuteDoneAction(TMenuDoneAction{tbdaExecuteItem, item, nullptr, 0, 1});  // the sound is off
    Pump();
    EXPECT_EQ(Sound.Events.size(), 1u);
    EXPECT_EQ(Heard.Log.size(), 3u);
}

TEST_F(DoneActions, TheSystemMenuKeyGoesToTheWindowAsACodePoint)
{
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    HWND window = Create(WS_POPUP, RECT{0, 0, 20, 20}, nullptr, [&commands](HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_SYSCOMMAND) {
            commands.emplace_back(wp, lp);
            return LRESULT{0};
        }
        return DefWindowProc(w, m, wp, lp);
    });
    ExecuteDoneAction(TMenuDoneAction{tbdaSystemMenuKey, nullptr, window, 0, U'\u00E4'});
    EXPECT_EQ(commands, (std::vector<std::pair<WPARAM, LPARAM>>{{SC_KEYMENU, 0xE4}}));
    DestroyWindow(window);
}

TEST_F(DoneActions, HelpIsAPopupOnlyOnAFormThatShowsTheHelpButton)
{
    Application()->SetHelpFile("ovrel.chm");
    ExecuteDoneAction(TMenuDoneAction{tbdaHelp, nullptr, nullptr, 42, 0});
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons({biSystemMenu, biHelp});
    form->Show();
    SetActiveWindow(form->GetHandle());
    ASSERT_EQ(Screen()->GetActiveForm(), form.get());
    ExecuteDoneAction(TMenuDoneAction{tbdaHelp, nullptr, nullptr, 43, 0});
    ASSERT_EQ(HelpRequests.Requests.size(), 2u);
    EXPECT_EQ(HelpRequests.Requests[0].Command, HELP_CONTEXT);
    EXPECT_EQ(HelpRequests.Requests[0].Data, 42u);
    EXPECT_EQ(HelpRequests.Requests[1].Command, HELP_CONTEXTPOPUP);
    EXPECT_EQ(HelpRequests.Requests[1].Data, 43u);
}

TEST_F(DoneActions, NoneAndCloseDoNothing)
{
    TTBCustomItem* item = Add("command");
    ExecuteDoneAction(TMenuDoneAction{tbdaNone, item, nullptr, 1, 1});
    ExecuteDoneAction(TMenuDoneAction{tbdaClose, item, nullptr, 1, 1});
    Pump();
    EXPECT_TRUE(Heard.Log.empty());
    EXPECT_TRUE(Sound.Events.empty());
    EXPECT_TRUE(HelpRequests.Requests.empty());
}

// ---- Shared menu font -------------------------------------------------------------------------------------

TEST(SharedMenuFont, IsTheSystemsMenuFontAndFollowsItsChanges)
{
    const LOGFONT system = CurrentSystemTable().NonClientMetrics.lfMenuFont;
    LOGFONT shared;
    ASSERT_TRUE(GetObject(SharedMenuFont()->GetHandle(), shared));
    EXPECT_EQ(shared.lfFaceName, system.lfFaceName);
    EXPECT_EQ(shared.lfHeight, system.lfHeight);
    {
        SystemTableOverride table;
        table.Table().NonClientMetrics.lfMenuFont.lfHeight = -20;
        UpdateSharedMenuFont();
        EXPECT_EQ(SharedMenuFont()->GetHeight(), -20);
        table.Table().FailingParameters.insert(SPI_GETNONCLIENTMETRICS);
        table.Table().NonClientMetrics.lfMenuFont.lfHeight = -30;
        UpdateSharedMenuFont();
        EXPECT_EQ(SharedMenuFont()->GetHeight(), -20) << "kept when the metrics cannot be read";
    }
    UpdateSharedMenuFont();
    EXPECT_EQ(SharedMenuFont()->GetHeight(), system.lfHeight);
}

}  // namespace
}  // namespace ovrel::toolbars
