// Items with actions, Click, and shortcuts: the action's properties and the stored-property rule, what a
// click runs, the shortcut text, the shortcut search through links, and IsShortCut's way down the tree.
#include "toolbars/Items.h"

#include "ItemsTestSupport.h"
#include "ToolbarsTestSupport.h"

#include "platform/ui/Messages.h"
#include "toolkit/ActnList.h"
#include "toolkit/Classes.h"
#include "toolkit/Menus.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using namespace ovrel::toolbars::testing;

/// Handlers that write what ran into one log.
struct Recorder {
    Recorder(std::string name, std::vector<std::string>& log) : Name(std::move(name)), Log(&log) {}
    void Click(TObject*) { Log->push_back(Name + ".click"); }
    void Popup(TTBCustomItem*, bool fromLink) { Log->push_back(Name + (fromLink ? ".popup(link)" : ".popup")); }
    void Update(TObject*) { Log->push_back(Name + ".update"); }
    void Throw(TObject*) { throw std::runtime_error(Name + " failed"); }
    void ThrowOnPopup(TTBCustomItem*, bool) { throw std::runtime_error(Name + " failed"); }

    void Watch(TTBCustomItem* item)
    {
        item->OnClick = TNotifyEvent(this, &Recorder::Click);
        item->OnPopup = TTBPopupEvent(this, &Recorder::Popup);
    }

    std::string Name;
    std::vector<std::string>* Log;
};

// ---- Actions ----------------------------------------------------------------------------------------------

class ItemActions : public ::testing::Test {
protected:
    ItemActions()
    {
        Action = new TAction(&Owner);
        Action->SetCaption("Save");
        Action->SetChecked(true);
        Action->SetEnabled(false);
        Action->SetHelpContext(7);
        Action->SetHint("Saves");
        Action->SetImageIndex(4);
        Action->SetShortCut(scCtrl | 'S');
        Action->SetVisible(false);
        Action->SetAutoCheck(true);
        Action->OnExecute = TNotifyEvent(&ActionHandler, &Recorder::Click);
    }

    std::vector<std::string> Log;
    Recorder ActionHandler{"action", Log};
    Recorder ItemHandler{"item", Log};
    TComponent Owner{nullptr};
    TAction* Action = nullptr;  // owned by Owner
};

TEST_F(ItemActions, AnActionGivesAllItsPropertiesUnlessItIsLoadingThenOnlyWhatIsStillDefault)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* fresh = AddChild(root.get(), "Mine");
    fresh->SetAction(Action);
    EXPECT_EQ(fresh->GetCaption(), "Save");
    EXPECT_TRUE(fresh->GetChecked());
    EXPECT_FALSE(fresh->GetEnabled());
    EXPECT_EQ(fresh->GetHelpContext(), 7);
    EXPECT_EQ(fresh->GetHint(), "Saves");
    EXPECT_EQ(fresh->GetImageIndex(), 4);
    EXPECT_EQ(fresh->GetShortCut(), scCtrl | 'S');
    EXPECT_FALSE(fresh->GetVisible());
    EXPECT_TRUE(fresh->GetAutoCheck());
    EXPECT_TRUE(fresh->OnClick == Action->OnExecute);

    TTBCustomItem* own = AddChild(root.get(), "Mine");
    own->SetHint("Own");
    own->SetImageIndex(2);
    own->OnClick = TNotifyEvent(&ItemHandler, &Recorder::Click);
    BeginLoading(Owner);
    own->SetAction(Action);
    EndLoading(Owner);
    EXPECT_EQ(own->GetCaption(), "Mine");
    EXPECT_EQ(own->GetHint(), "Own");
    EXPECT_EQ(own->GetImageIndex(), 2);
    EXPECT_TRUE(own->OnClick == TNotifyEvent(&ItemHandler, &Recorder::Click));
    EXPECT_TRUE(own->GetChecked()) << "still at its default, so taken";
    EXPECT_EQ(own->GetShortCut(), scCtrl | 'S');
}

TEST_F(ItemActions, LoadingTheItemFillsInWhatWasLeftAtItsDefault)
{
    TComponent form(nullptr);
    BeginLoading(form);
    auto* item = new TTBCustomItem(&form);
    item->SetAction(Action);
    item->SetHint("");
    item->SetCaption("By hand");
    EndLoading(form);
    EXPECT_EQ(item->GetHint(), "Saves");
    EXPECT_EQ(item->GetCaption(), "By hand");
}

TEST_F(ItemActions, TheItemFollowsTheActionAndStoresOnlyWhatItDoesNotTakeFromIt)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get());
    for (const char* property : {"Caption", "OnClick", "ShortCut", "Name"})
        EXPECT_TRUE(item->IsPropertyStored(property)) << property << " without an action";
    item->SetAction(Action);
    for (const char* property : {"AutoCheck", "Caption", "Checked", "Enabled", "HelpContext", "Hint", "ImageIndex",
                                 "ShortCut", "Visible", "OnClick"})
        EXPECT_FALSE(item->IsPropertyStored(property)) << property;
    EXPECT_TRUE(item->IsPropertyStored("Name"));

    Action->SetCaption("Store");
    Action->SetEnabled(true);
    EXPECT_EQ(item->GetCaption(), "Store");
    EXPECT_TRUE(item->GetEnabled());
    item->SetCaption("Keep");
    item->OnClick = TNotifyEvent(&ItemHandler, &Recorder::Click);
    EXPECT_TRUE(item->IsPropertyStored("Caption"));
    EXPECT_TRUE(item->IsPropertyStored("OnClick"));
    EXPECT_FALSE(item->IsPropertyStored("Hint"));

    // A change of the action copies the whole action again, not only what the item still shares with it.
    Action->SetHint("Stores");
    EXPECT_EQ(item->GetCaption(), "Store");
    EXPECT_EQ(item->GetHint(), "Stores");
}

TEST_F(ItemActions, AFreedActionIsForgotten)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get());
    item->SetAction(Action);
    delete Action;
    EXPECT_EQ(item->GetAction(), nullptr);
    item->SetEnabled(true);
    item->Click();  // runs the handler it was given, not a freed action
    EXPECT_EQ(Log, (std::vector<std::string>{"action.click"}));
}

struct ClickRow {
    const char* name;
    bool enabled = true;
    bool autoCheck = false;
    enum class Handler { None, Own, ActionsOwn } handler = Handler::None;
    bool withAction = false;
    std::vector<std::string> log;
    bool checkedAfter = false;
};

class Clicks : public ItemActions, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(Clicks, RunTheHandlerOrTheActionAndToggleWhenAutoCheck)
{
    const ClickRow& row = GetParam();
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get());
    Action->SetChecked(false);
    Action->SetEnabled(true);
    Action->SetAutoCheck(row.autoCheck);
    if (row.withAction)
        item->SetAction(Action);
    item->SetAutoCheck(row.autoCheck);
    if (row.handler == ClickRow::Handler::Own)
        item->OnClick = TNotifyEvent(&ItemHandler, &Recorder::Click);
    else if (row.handler == ClickRow::Handler::ActionsOwn)
        item->OnClick = Action->OnExecute;
    else
        item->OnClick.Clear();
    item->SetEnabled(row.enabled);
    item->Click();
    EXPECT_EQ(Log, row.log);
    EXPECT_EQ(item->GetChecked(), row.checkedAfter);
}

using H = ClickRow::Handler;
INSTANTIATE_TEST_SUITE_P(
    Rows, Clicks,
    ::testing::Values(ClickRow{"Disabled", false, true, H::Own, false, {}, false},
                      ClickRow{"OwnHandler", true, false, H::Own, false, {"item.click"}, false},
                      ClickRow{"AutoCheckWithoutAction", true, true, H::Own, false, {"item.click"}, true},
                      ClickRow{"OwnHandlerBeforeTheAction", true, false, H::Own, true, {"item.click"}, false},
                      ClickRow{
                          "TheActionsHandlerRunsTheAction", true, false, H::ActionsOwn, true, {"action.click"}, false},
                      ClickRow{"NoHandlerRunsTheAction", true, false, H::None, true, {"action.click"}, false},
                      // The action toggles itself and the item follows it: toggled once, not twice.
                      ClickRow{"AutoCheckThroughTheAction", true, true, H::ActionsOwn, true, {"action.click"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ItemActions, InitiateActionLetsTheActionUpdate)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get());
    Action->OnUpdate = TNotifyEvent(&ActionHandler, &Recorder::Update);
    item->InitiateAction();
    item->SetAction(Action);
    item->InitiateAction();
    EXPECT_EQ(Log, (std::vector<std::string>{"action.update"}));
}

// ---- Shortcut text and search -----------------------------------------------------------------------------

TEST(ShortCuts, TheTextAfterATabWinsOverTheShortcutsName)
{
    TTBCustomItem item(nullptr);
    item.SetCaption("Open\tCtrl+O");
    item.SetShortCut(scCtrl | 'S');
    EXPECT_EQ(item.GetShortCutText(), "Ctrl+O");
    item.SetCaption("Open");
    EXPECT_EQ(item.GetShortCutText(), "Ctrl+S");
    item.SetCaption("Open\t");
    EXPECT_EQ(item.GetShortCutText(), "");
    item.SetCaption("Open");
    item.SetShortCut(0);
    EXPECT_EQ(item.GetShortCutText(), "");
}

TEST(ShortCuts, TheSearchGoesThroughLinksAndNamesTheTopChildOnTheWay)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* file = AddChild(root.get(), "File");
    TTBCustomItem* save = AddChild(file, "Save");
    save->SetShortCut(scCtrl | 'S');
    TTBCustomItem* quit = AddChild(root.get(), "Quit");
    quit->SetShortCut(scCtrl | 'Q');
    ItemPtr shared = MakeRoot();
    TTBCustomItem* copy = AddChild(shared.get(), "Copy");
    copy->SetShortCut(scCtrl | 'C');
    TTBCustomItem* edit = AddChild(root.get(), "Edit");
    edit->SetLinkSubitems(shared.get());

    TTBCustomItem* top = root.get();
    EXPECT_EQ(root->FindItemWithShortCut(scCtrl | 'S', top), save);
    EXPECT_EQ(top, file);
    EXPECT_EQ(root->FindItemWithShortCut(scCtrl | 'Q', top), quit);
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(root->FindItemWithShortCut(scCtrl | 'C', top), copy);
    EXPECT_EQ(top, edit);
    EXPECT_EQ(root->FindItemWithShortCut(scCtrl | 'Z', top), nullptr);
    EXPECT_EQ(root->FindItemWithShortCut(0, top), nullptr) << "items without a shortcut are not found for 0";
}

// A chain of `levels` linked items from root down to a hit at the end.
TTBCustomItem* BuildLinkChain(TTBCustomItem* root, std::vector<ItemPtr>& lists, int levels)
{
    TTBCustomItem* at = root;
    for (int i = 0; i < levels; ++i) {
        TTBCustomItem* linking = AddChild(at);
        lists.push_back(MakeRoot());
        linking->SetLinkSubitems(lists.back().get());
        at = lists.back().get();
    }
    TTBCustomItem* hit = AddChild(at, "hit");
    hit->SetShortCut(ui::VK_F9);
    return hit;
}

TEST(ShortCuts, TheLinkLimitCountsTheLevelsOfOnePathNotOfTheWholeSearch)
{
    std::vector<ItemPtr> lists;
    ItemPtr deep = MakeRoot();
    TTBCustomItem* at25 = BuildLinkChain(deep.get(), lists, 25);
    TTBCustomItem* top = nullptr;
    EXPECT_EQ(deep->FindItemWithShortCut(ui::VK_F9, top), at25);
    ItemPtr tooDeep = MakeRoot();
    BuildLinkChain(tooDeep.get(), lists, 26);
    EXPECT_EQ(tooDeep->FindItemWithShortCut(ui::VK_F9, top), nullptr);

    // Thirty linked siblings, one level each: the hit behind the last one is found.
    ItemPtr wide = MakeRoot();
    for (int i = 0; i < 30; ++i) {
        lists.push_back(MakeRoot());
        AddChild(lists.back().get(), "filler");
        AddChild(wide.get())->SetLinkSubitems(lists.back().get());
    }
    TTBCustomItem* far = AddChild(lists.back().get(), "far");
    far->SetShortCut(ui::VK_F11);
    EXPECT_EQ(wide->FindItemWithShortCut(ui::VK_F11, top), far);

    // Links that lead back to where they started end.
    ItemPtr x = MakeRoot();
    ItemPtr y = MakeRoot();
    AddChild(x.get())->SetLinkSubitems(y.get());
    AddChild(y.get())->SetLinkSubitems(x.get());
    EXPECT_EQ(x->FindItemWithShortCut(ui::VK_F12, top), nullptr);
}

// ---- IsShortCut -------------------------------------------------------------------------------------------

TMessage KeyDown(ui::WORD key) { return TMessage{ui::WM_KEYDOWN, key, 0, 0}; }

class IsShortCutTest : public ::testing::Test {
protected:
    IsShortCutTest()
    {
        // root > File (links to Shared) ; Shared > Sub > Cmd (F5)
        File = AddChild(Root.get(), "File");
        Sub = AddChild(Shared.get(), "Sub");
        Cmd = AddChild(Sub, "Cmd");
        Cmd->SetShortCut(ui::VK_F5);
        File->SetLinkSubitems(Shared.get());
        for (auto& [item, recorder] : std::vector<std::pair<TTBCustomItem*, Recorder*>>{
                 {Root.get(), &RootR}, {File, &FileR}, {Shared.get(), &SharedR}, {Sub, &SubR}, {Cmd, &CmdR}})
            recorder->Watch(item);
    }

    std::vector<std::string> Log;
    Recorder RootR{"Root", Log}, FileR{"File", Log}, SharedR{"Shared", Log}, SubR{"Sub", Log}, CmdR{"Cmd", Log};
    ItemPtr Root = MakeRoot();
    ItemPtr Shared = MakeRoot();
    TTBCustomItem* File = nullptr;
    TTBCustomItem* Sub = nullptr;
    TTBCustomItem* Cmd = nullptr;
};

TEST_F(IsShortCutTest, OpensTheWayFromTheTopWithTheLinkFirstThenClicks)
{
    TMessage key = KeyDown(ui::VK_F5);
    EXPECT_TRUE(Root->IsShortCut(key));
    EXPECT_EQ(Log, (std::vector<std::string>{"Root.popup", "Root.click", "Shared.popup(link)", "Shared.click",
                                             "File.popup", "File.click", "Sub.popup", "Sub.click", "Cmd.click"}));
}

TEST_F(IsShortCutTest, AnInlineGroupIsPassedThroughAndASplitButtonIsNotClickedOnTheWay)
{
    auto* group = AddChild<TInlineGroupItem>(Root.get(), "Group");
    auto* split = AddChild<TSplitItem>(group, "Split");
    TTBCustomItem* inner = AddChild(split, "Inner");
    inner->SetShortCut(ui::VK_F6);
    Recorder groupR{"Group", Log}, splitR{"Split", Log}, innerR{"Inner", Log};
    groupR.Watch(group);
    splitR.Watch(split);
    innerR.Watch(inner);
    TMessage key = KeyDown(ui::VK_F6);
    EXPECT_TRUE(Root->IsShortCut(key));
    EXPECT_EQ(Log, (std::vector<std::string>{"Root.popup", "Root.click", "Split.popup", "Inner.click"}));
}

TEST_F(IsShortCutTest, UpdatesTheActionsOfEachLevelOnTheWay)
{
    TAction action(nullptr);
    Recorder actionR{"action", Log};
    action.OnUpdate = TNotifyEvent(&actionR, &Recorder::Update);
    action.SetShortCut(ui::VK_F5);
    Cmd->SetAction(&action);
    Cmd->OnClick = TNotifyEvent(&CmdR, &Recorder::Click);
    TMessage key = KeyDown(ui::VK_F5);
    EXPECT_TRUE(Root->IsShortCut(key));
    EXPECT_NE(std::find(Log.begin(), Log.end(), "action.update"), Log.end());
    Cmd->SetAction(nullptr);
}

TEST_F(IsShortCutTest, ADisabledLevelOrItemStopsItWithoutAClick)
{
    Sub->SetEnabled(false);
    TMessage key = KeyDown(ui::VK_F5);
    EXPECT_FALSE(Root->IsShortCut(key));
    Sub->SetEnabled(true);
    Cmd->SetEnabled(false);
    Log.clear();
    EXPECT_FALSE(Root->IsShortCut(key));
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "Cmd.click"), 0);
}

TEST_F(IsShortCutTest, ExceptionsGoToTheApplicationAndTheWayGoesOn)
{
    ApplicationExceptions errors;
    File->OnPopup = TTBPopupEvent(&FileR, &Recorder::ThrowOnPopup);
    Cmd->OnClick = TNotifyEvent(&CmdR, &Recorder::Throw);
    TMessage key = KeyDown(ui::VK_F5);
    EXPECT_TRUE(Root->IsShortCut(key));
    EXPECT_EQ(errors.Messages, (std::vector<std::string>{"File failed", "Cmd failed"}));
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Sub.popup"), Log.end());
}

TEST_F(IsShortCutTest, AKeyWithoutAShortcutValueMatchesNothing)
{
    TTBCustomItem* plain = AddChild(Root.get(), "Plain");
    Recorder plainR{"Plain", Log};
    plainR.Watch(plain);
    for (ui::WORD key : {ui::WORD{0}, ui::WORD{0x1FF}}) {  // 0x1FF has no room beside the flags
        TMessage message = KeyDown(key);
        EXPECT_FALSE(Root->IsShortCut(message));
    }
    EXPECT_TRUE(Log.empty());
}

// Two submenus hand a command back and forth each time one of them opens.
class TossingPopups {
public:
    TossingPopups(TTBCustomItem* a, TTBCustomItem* b, TTBCustomItem* command) : FA(a), FB(b), FCommand(command) {}
    void Popup(TTBCustomItem* sender, bool)
    {
        ++Popups;
        TTBCustomItem* to = sender == FA ? FB : FA;
        if (FCommand->GetParent() == sender) {
            sender->Remove(FCommand);
            to->Add(FCommand);
        }
    }
    int Popups = 0;

private:
    TTBCustomItem* FA;
    TTBCustomItem* FB;
    TTBCustomItem* FCommand;
};

TEST(IsShortCutRebuilds, AnItemThatKeepsMovingAwayEndsTheSearchAfterOneRestart)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* a = AddChild(root.get(), "A");
    TTBCustomItem* b = AddChild(root.get(), "B");
    TTBCustomItem* command = AddChild(a, "Command");
    command->SetShortCut(ui::VK_F7);
    std::vector<std::string> log;
    Recorder commandR{"Command", log};
    command->OnClick = TNotifyEvent(&commandR, &Recorder::Click);
    TossingPopups tossing(a, b, command);
    a->OnPopup = TTBPopupEvent(&tossing, &TossingPopups::Popup);
    b->OnPopup = TTBPopupEvent(&tossing, &TossingPopups::Popup);
    TMessage key = KeyDown(ui::VK_F7);
    EXPECT_FALSE(root->IsShortCut(key));
    EXPECT_EQ(tossing.Popups, 2);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace ovrel::toolbars
