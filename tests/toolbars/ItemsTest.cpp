// The item tree: the child list and its errors, change notices and their order, relaying through inline
// groups and linked items, the setters and options, image lists, links, streaming hooks and ownership.
#include "toolbars/Items.h"

#include "ItemsTestSupport.h"

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using namespace ovrel::toolbars::testing;

std::string Captions(const TTBCustomItem& parent)
{
    std::string out;
    for (int i = 0; i < parent.GetCount(); ++i)
        out += parent.GetItem(i)->GetCaption();
    return out;
}

// ---- Child list -------------------------------------------------------------------------------------------

struct ChildListError {
    const char* name;
    std::function<void(TTBCustomItem& root, TTBCustomItem& a, TTBCustomItem& a1, TTBCustomItem& loose)> act;
    const char* message;
};

class ChildListErrors : public ::testing::TestWithParam<ChildListError> {};

TEST_P(ChildListErrors, RaiseAndLeaveTheTreeAsItWas)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* a = AddChild(root.get(), "a");
    AddChild(root.get(), "b");
    TTBCustomItem* a1 = AddChild(a, "1");
    TTBCustomItem loose(nullptr);
    Listener heard(root.get());
    try {
        GetParam().act(*root, *a, *a1, loose);
        ADD_FAILURE() << "no error";
    } catch (const ETBItemError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
    EXPECT_EQ(Captions(*root), "ab");
    EXPECT_EQ(Captions(*a), "1");
    EXPECT_EQ(a1->GetParent(), a);
    EXPECT_EQ(loose.GetParent(), nullptr);
    EXPECT_EQ(root->GetParent(), nullptr);
    EXPECT_TRUE(heard.Notices.empty());
}

constexpr const char* kRange = "Toolbar item index out of range";
INSTANTIATE_TEST_SUITE_P(
    Rows, ChildListErrors,
    ::testing::Values(
        ChildListError{"ItemPastTheEnd", [](auto& r, auto&, auto&, auto&) { (void)r.GetItem(2); }, kRange},
        ChildListError{"InsertAfterTheEnd", [](auto& r, auto&, auto&, auto& l) { r.Insert(3, &l); }, kRange},
        ChildListError{"InsertBeforeTheStart", [](auto& r, auto&, auto&, auto& l) { r.Insert(-1, &l); }, kRange},
        ChildListError{"DeleteNegative", [](auto& r, auto&, auto&, auto&) { r.Delete(-1); }, kRange},
        ChildListError{"MoveToTheEnd", [](auto& r, auto&, auto&, auto&) { r.Move(0, 2); }, kRange},
        ChildListError{"MoveFromPastTheEnd", [](auto& r, auto&, auto&, auto&) { r.Move(5, 0); }, kRange},
        ChildListError{"InsertAnInsertedItem", [](auto& r, auto&, auto& a1, auto&) { r.Add(&a1); },
                       "Toolbar item already inserted"},
        ChildListError{"InsertNil", [](auto& r, auto&, auto&, auto&) { r.Add(nullptr); },
                       "Cannot insert a nil toolbar item"},
        ChildListError{"InsertIntoItself", [](auto&, auto&, auto&, auto& l) { l.Add(&l); },
                       "Cannot insert a toolbar item into itself or into one of its subitems"},
        ChildListError{"InsertAnAncestor", [](auto& r, auto&, auto& a1, auto&) { a1.Add(&r); },
                       "Cannot insert a toolbar item into itself or into one of its subitems"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChildList, InsertAtTheCountAppendsAndDeleteDetachesWithoutFreeing)
{
    ItemPtr root = MakeRoot();
    AddChild(root.get(), "a");
    AddChild(root.get(), "c");
    auto* b = new TTBCustomItem(nullptr);
    b->SetCaption("b");
    root->Insert(1, b);
    auto* d = new TTBCustomItem(nullptr);
    d->SetCaption("d");
    root->Insert(root->GetCount(), d);
    EXPECT_EQ(Captions(*root), "abcd");
    EXPECT_EQ(root->IndexOf(d), 3);
    root->Delete(1);
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_EQ(root->IndexOf(b), -1);
    ItemPtr taken(b);  // still alive, now ours
    root->Remove(d);
    ItemPtr takenToo(d);
    root->Remove(d);  // not a child any more: nothing
    EXPECT_EQ(Captions(*root), "ac");
}

// ---- Change notices ---------------------------------------------------------------------------------------

TEST(ChangeNotices, MoveIsADeletionAndAnInsertionInsideAnUpdate)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* a = AddChild(root.get(), "a");
    AddChild(root.get(), "b");
    AddChild(root.get(), "c");
    Listener heard(root.get());
    root->Move(1, 1);
    EXPECT_TRUE(heard.Notices.empty()) << "an equal move does nothing";
    root->Move(0, 2);
    EXPECT_EQ(Captions(*root), "bca");
    const std::vector<Notice> expected{
        {root.get(), false, tbcBeginUpdate, -1, nullptr}, {root.get(), false, tbcDeleting, 0, a},
        {root.get(), false, tbcBeginUpdate, -1, nullptr}, {root.get(), false, tbcInserted, 2, a},
        {root.get(), false, tbcEndUpdate, -1, nullptr},   {root.get(), false, tbcEndUpdate, -1, nullptr}};
    EXPECT_EQ(heard.Notices, expected);
}

TEST(ChangeNotices, ADeletedChildIsStillInPlaceWhenTheListenerHearsOfIt)
{
    ItemPtr root = MakeRoot();
    AddChild(root.get(), "a");
    TTBCustomItem* b = AddChild(root.get(), "b");
    Listener heard(root.get());
    heard.OnHeard = [&](const Notice& n) {
        if (n.Kind == tbcDeleting) {
            EXPECT_EQ(root->GetItem(n.Index), n.Item);
            EXPECT_EQ(n.Item->GetParent(), root.get());
        }
    };
    root->Clear();
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcBeginUpdate, tbcDeleting, tbcDeleting, tbcEndUpdate}));
    EXPECT_EQ(heard.Notices[1].Item, b) << "the last child goes first";
}

TEST(ChangeNotices, AListenerThatUnregistersItselfDoesNotMakeTheNextOneMissTheNotice)
{
    ItemPtr root = MakeRoot();
    Listener first(root.get());
    Listener second(root.get());
    first.OnHeard = [&first](const Notice&) { first.Stop(); };
    AddChild(root.get(), "a");  // Begin, Inserted, End
    EXPECT_EQ(first.Notices.size(), 1u);
    EXPECT_EQ(second.Kinds(), (std::vector<TTBItemChange>{tbcBeginUpdate, tbcInserted, tbcEndUpdate}));
}

TEST(ChangeNotices, TheLastListenerMayLeaveDuringTheWalkAndListenersAreCounted)
{
    ItemPtr root = MakeRoot();
    auto listener = std::make_unique<Listener>(root.get());
    listener->OnHeard = [&listener](const Notice&) { listener->Stop(); };
    root->BeginUpdate();  // the list empties while it is walked
    EXPECT_EQ(listener->Notices.size(), 1u);
    root->EndUpdate();
    EXPECT_EQ(listener->Notices.size(), 1u);

    Listener twice(root.get());
    root->RegisterNotification(twice.Proc());
    root->UnregisterNotification(twice.Proc());
    root->BeginUpdate();
    EXPECT_EQ(twice.Notices.size(), 1u) << "registered twice, unregistered once: still listening, once";
    twice.Stop();
    root->EndUpdate();
    EXPECT_EQ(twice.Notices.size(), 1u);
}

TEST(ChangeNotices, InlineGroupsAndLinkingGroupsRelayToTheirParentsListeners)
{
    ItemPtr root = MakeRoot();
    auto* group = AddChild<TInlineGroupItem>(root.get(), "group");
    TTBCustomItem* inGroup = AddChild(group, "x");
    ItemPtr shared = MakeRoot();  // a list of items shown elsewhere through a link
    TTBCustomItem* linkedChild = AddChild(shared.get(), "s");
    auto* linking = AddChild<TInlineGroupItem>(root.get(), "linking");
    linking->SetLinkSubitems(shared.get());
    TTBCustomItem* plain = AddChild(root.get(), "plain");
    AddChild(plain, "p");
    Listener heard(root.get());

    inGroup->SetCaption("y");
    linkedChild->SetCaption("t");
    plain->GetItem(0)->SetCaption("q");  // not a group: its parent keeps it
    EXPECT_EQ(heard.Notices, (std::vector<Notice>{{group, true, tbcRepaintAndResize, -1, inGroup},
                                                  {linking, true, tbcRepaintAndResize, -1, linkedChild}}));
}

TEST(ChangeNotices, ACyclicSetUpOfLinkingGroupsEnds)
{
    ItemPtr one = MakeRoot();
    ItemPtr two = MakeRoot();
    auto* toTwo = AddChild<TInlineGroupItem>(one.get(), "to two");
    auto* toOne = AddChild<TInlineGroupItem>(two.get(), "to one");
    toTwo->SetLinkSubitems(two.get());
    toOne->SetLinkSubitems(one.get());
    Listener heard(one.get());
    one->BeginUpdate();
    EXPECT_GT(heard.Notices.size(), 1u);
    EXPECT_LT(heard.Notices.size(), 12u);
}

// ---- Setters and options ----------------------------------------------------------------------------------

struct SetterRow {
    const char* name;
    std::function<void(TTBCustomItem&)> set;
    std::vector<TTBItemChange> heard;  // by the parent's listener
};

class Setters : public ::testing::TestWithParam<SetterRow> {};

TEST_P(Setters, NotifyOnlyWhatChangedAndNothingForAnEqualValue)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get(), "item");
    item->SetImageIndex(2);
    Listener heard(root.get());
    GetParam().set(*item);
    EXPECT_EQ(heard.Kinds(), GetParam().heard);
    heard.Notices.clear();
    GetParam().set(*item);
    EXPECT_TRUE(heard.Notices.empty()) << "the same value again";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Setters,
    ::testing::Values(SetterRow{"Caption", [](auto& i) { i.SetCaption("other"); }, {tbcRepaintAndResize}},
                      SetterRow{"Visible", [](auto& i) { i.SetVisible(false); }, {tbcRepaintAndResize}},
                      SetterRow{"DisplayMode", [](auto& i) { i.SetDisplayMode(nbdmTextOnly); }, {tbcRepaintAndResize}},
                      SetterRow{"Checked", [](auto& i) { i.SetChecked(true); }, {tbcRepaint}},
                      SetterRow{"Enabled", [](auto& i) { i.SetEnabled(false); }, {tbcRepaint}},
                      SetterRow{"ImageToImage", [](auto& i) { i.SetImageIndex(3); }, {tbcRepaint}},
                      SetterRow{"ImageToNone", [](auto& i) { i.SetImageIndex(-1); }, {tbcRepaintAndResize}},
                      SetterRow{"DefaultOption", [](auto& i) { i.SetOptions({tboDefault}); }, {tbcRepaintAndResize}},
                      SetterRow{"HintOptionOnly", [](auto& i) { i.SetOptions({tboShowHint}); }, {}},
                      SetterRow{"Hint", [](auto& i) { i.SetHint("hint"); }, {}},
                      SetterRow{"ShortCut", [](auto& i) { i.SetShortCut(scCtrl | 'S'); }, {}},
                      SetterRow{"GroupIndexUnchecked", [](auto& i) { i.SetGroupIndex(4); }, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Setters, ASeparatorsBlankRepaintsAndANewImageResizes)
{
    ItemPtr root = MakeRoot();
    auto* separator = AddChild<TTBSeparatorItem>(root.get());
    TTBCustomItem* item = AddChild(root.get(), "item");
    Listener heard(root.get());
    separator->SetBlank(true);
    item->SetImageIndex(3);
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcRepaint, tbcRepaintAndResize}));
    EXPECT_EQ(separator->GetItemStyle() & (itsSelectable | itsSeparator | itsPassClicks), itsSeparator | itsPassClicks);
}

TEST(Setters, CheckingAnItemUnchecksItsGroupAmongItsSiblings)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* a = AddChild(root.get(), "a");
    TTBCustomItem* b = AddChild(root.get(), "b");
    TTBCustomItem* other = AddChild(root.get(), "other");
    TTBCustomItem* c = AddChild(root.get(), "c");
    for (TTBCustomItem* item : {a, b, c})
        item->SetGroupIndex(1);
    other->SetGroupIndex(2);
    a->SetChecked(true);
    other->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(other->GetChecked()) << "another group";
    c->SetGroupIndex(0);
    c->SetChecked(true);
    EXPECT_TRUE(b->GetChecked()) << "an item in no group unchecks nobody";
    other->SetGroupIndex(1);  // a checked item joining a group takes over
    EXPECT_FALSE(b->GetChecked());
    EXPECT_TRUE(other->GetChecked());
    EXPECT_TRUE(c->GetChecked());
}

TEST(Options, AreInheritedLessDefaultMaskedAndFixedDownTheTree)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* child = AddChild(root.get());
    TTBCustomItem* grandchild = AddChild(child);
    root->SetOptions({tboDefault, tboToolbarStyle, tboToolbarSize, tboShowHint});
    EXPECT_EQ(child->GetEffectiveOptions(), (TTBItemOptions{tboToolbarStyle, tboToolbarSize, tboShowHint}));
    EXPECT_EQ(grandchild->GetEffectiveOptions(), child->GetEffectiveOptions());
    child->SetMaskOptions({tboToolbarStyle});
    EXPECT_EQ(grandchild->GetEffectiveOptions(), (TTBItemOptions{tboShowHint})) << "toolbar size needs the style";
    grandchild->SetInheritOptions(false);
    EXPECT_TRUE(grandchild->GetEffectiveOptions().Empty());
    child->SetOptions({tboToolbarSize});
    EXPECT_TRUE(child->GetOptions().Empty()) << "stored without it";

    auto* moved = new TTBCustomItem(nullptr);
    child->Add(moved);
    EXPECT_EQ(moved->GetEffectiveOptions(), (TTBItemOptions{tboShowHint})) << "refreshed on insertion";
}

TEST(Options, AChangeOfTheHintOptionsAloneIsNotNoticed)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* child = AddChild(root.get());
    Listener heard(root.get());
    child->SetOptions({tboShowHint, tboLongHintInMenuOnly});
    EXPECT_TRUE(heard.Notices.empty());
    child->SetOptions({tboShowHint, tboNoRotation});
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcRepaintAndResize}));
}

// ---- Image lists ------------------------------------------------------------------------------------------

TEST(ImageLists, ImagesResizeOnlyWhenTheSizeChangesAndAreForgottenWhenFreed)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get(), "item");
    auto images16 = std::make_unique<TImageList>(nullptr);
    auto other16 = std::make_unique<TImageList>(nullptr);
    Listener heard(root.get());
    item->SetImages(images16.get());
    item->SetImages(other16.get());
    other16->SetSize(24, 24);
    TBitmap strip;
    strip.SetSize(24, 24);
    other16->Add(&strip, nullptr);
    EXPECT_EQ(heard.Kinds(),
              (std::vector<TTBItemChange>{tbcRepaintAndResize, tbcRepaint, tbcRepaintAndResize, tbcRepaint}));
    images16->SetSize(32, 32);  // no longer the item's: not heard
    EXPECT_EQ(heard.Notices.size(), 4u);
    other16.reset();
    EXPECT_EQ(item->GetImages(), nullptr);
    EXPECT_EQ(heard.Notices.back().Kind, tbcRepaintAndResize);
}

TEST(ImageLists, SubmenuImagesNotifyTheItemsOwnListenersOnSetChangeAndFree)
{
    ItemPtr root = MakeRoot();
    auto images = std::make_unique<TImageList>(nullptr);
    Listener heard(root.get());
    root->SetSubMenuImages(images.get());
    images->SetSize(20, 20);
    images.reset();
    EXPECT_EQ(root->GetSubMenuImages(), nullptr);
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcSubMenuImages, tbcSubMenuImages, tbcSubMenuImages}));
}

// ---- Links ------------------------------------------------------------------------------------------------

TEST(Links, AnItemLinkedToItselfLinksToNothingAndAFreedTargetIsForgotten)
{
    ItemPtr item = MakeRoot();
    Listener heard(item.get());
    item->SetLinkSubitems(item.get());
    EXPECT_EQ(item->GetLinkSubitems(), nullptr);
    EXPECT_TRUE(heard.Notices.empty());
    auto target = MakeRoot();
    item->SetLinkSubitems(target.get());
    EXPECT_EQ(ResolveLinkSubitems(item.get()), target.get());
    target.reset();
    EXPECT_EQ(item->GetLinkSubitems(), nullptr);
    EXPECT_EQ(ResolveLinkSubitems(item.get()), item.get());
    EXPECT_EQ(ResolveLinkSubitems(nullptr), nullptr);
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcSubitemsRelinked, tbcSubitemsRelinked}));
}

TEST(Links, ATargetThatEndsWithoutDeleteIsForgottenToo)
{
    // A local or a member ends by its destructor alone; the linking items let go of it while it is whole.
    ItemPtr first = MakeRoot();
    ItemPtr second = MakeRoot();
    Listener heard(first.get());
    {
        TTBRootItem target(nullptr);
        first->SetLinkSubitems(&target);
        second->SetLinkSubitems(&target);
    }
    EXPECT_EQ(first->GetLinkSubitems(), nullptr);
    EXPECT_EQ(second->GetLinkSubitems(), nullptr);
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcSubitemsRelinked, tbcSubitemsRelinked}));
}

TEST(Links, AFreedLinkingItemNoLongerReceivesTheTargetsNotices)
{
    ItemPtr root = MakeRoot();
    ItemPtr shared = MakeRoot();
    auto* linking = AddChild<TInlineGroupItem>(root.get(), "linking");
    linking->SetLinkSubitems(shared.get());
    Listener heard(root.get());
    delete linking;
    heard.Notices.clear();
    AddChild(shared.get(), "new");
    EXPECT_TRUE(heard.Notices.empty());
}

// ---- Streaming hooks and names ----------------------------------------------------------------------------

class ItemsHost final : public TComponent, public IItemsProvider {
public:
    explicit ItemsHost(TComponent* owner) : TComponent(owner), FRoot(new TTBRootItem(this))
    {
        FRoot->SetHostComponent(this);
    }
    TTBCustomItem* GetItems() override { return FRoot; }

private:
    TTBCustomItem* FRoot;  // owned as a component
};

TEST(Streaming, ItemsJoinAnItemOrAHostAndNameTheirParentComponent)
{
    ItemsHost host(nullptr);
    auto* top = new TTBCustomItem(&host);
    top->SetParentComponent(&host);
    EXPECT_EQ(top->GetParent(), host.GetItems());
    EXPECT_EQ(top->GetParentComponent(), &host) << "the host, not its root item";
    EXPECT_TRUE(top->HasParent());
    auto* sub = new TTBCustomItem(&host);
    sub->SetParentComponent(top);
    EXPECT_EQ(sub->GetParentComponent(), top);
    auto* second = new TTBCustomItem(&host);
    second->SetParentComponent(top);
    std::vector<TComponent*> children;
    top->GetChildren([&children](TComponent* c) { children.push_back(c); }, nullptr);
    EXPECT_EQ(children, (std::vector<TComponent*>{sub, second}));
    top->SetChildOrder(second, 0);
    EXPECT_EQ(top->GetItem(0), second);
    second->SetParentComponent(host.GetItems());
    EXPECT_EQ(top->GetCount(), 1);
    EXPECT_EQ(host.GetItems()->GetCount(), 2);
}

TEST(Streaming, RenamingAChildTellsTheParentsListenersOnce)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* child = AddChild(root.get());
    Listener heard(root.get());
    child->SetName("FileItem");
    child->SetName("FileItem");
    EXPECT_EQ(heard.Notices, (std::vector<Notice>{{root.get(), false, tbcRenamed, -1, child}}));
}

TEST(Streaming, CaptionAndHintAreInTheTablesByName)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* item = AddChild(root.get(), "File");
    SetStrProp(*item, "Caption", "Datei");
    SetStrProp(*item, "Hint", "Dateien");
    EXPECT_EQ(item->GetCaption(), "Datei");
    EXPECT_EQ(GetStrProp(*item, "Hint"), "Dateien");
    auto* separator = AddChild<TTBSeparatorItem>(root.get());
    SetEnumProp(*separator, "Blank", "True");
    EXPECT_TRUE(separator->GetBlank());
    EXPECT_TRUE(IsPublishedProp(separator, "Caption"));
    auto* controlItem = AddChild<TTBControlItem>(root.get());
    EXPECT_TRUE(IsPublishedProp(controlItem, "Control"));
}

// ---- Ownership and teardown -------------------------------------------------------------------------------

TEST(Ownership, AnItemOwnedByOneAndChildOfAnotherLeavesBothWhicheverFreesIt)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    ItemPtr root = MakeRoot();
    auto* child = new TTBCustomItem(owner.get());
    root->Add(child);
    Listener heard(root.get());
    heard.OnHeard = [](const Notice& n) {
        if (n.Kind == tbcDeleting) {
            EXPECT_EQ(n.Item->GetCaption(), "");  // still whole when heard
        }
    };
    delete child;  // as the owner would
    EXPECT_EQ(root->GetCount(), 0);
    EXPECT_EQ(owner->GetComponentCount(), 0);

    auto* second = new TTBCustomItem(owner.get());
    root->Add(second);
    root->Clear();
    EXPECT_EQ(owner->GetComponentCount(), 0) << "freed by its parent, it left its owner";
}

struct OwnerOrder {
    const char* name;
    bool rootFirst;
};

class OwnershipOrder : public ::testing::TestWithParam<OwnerOrder> {};

TEST_P(OwnershipOrder, AnOwnerFreesATreeOfItsItemsInEitherOrder)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    TTBCustomItem* root = nullptr;
    TTBCustomItem* child = nullptr;
    if (GetParam().rootFirst) {
        root = new TTBRootItem(owner.get());
        child = new TTBCustomItem(owner.get());
    } else {
        child = new TTBCustomItem(owner.get());
        root = new TTBRootItem(owner.get());
    }
    root->Add(child);
    AddChild(child, "grandchild");  // owned by nobody but its parent
    owner.reset();  // under AddressSanitizer: nothing freed twice or read after it was freed
    SUCCEED();
}

INSTANTIATE_TEST_SUITE_P(Rows, OwnershipOrder,
                         ::testing::Values(OwnerOrder{"RootMadeFirst", true}, OwnerOrder{"ChildMadeFirst", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ownership, ASubmenuThatOwnsItsChildrenFreesThemOnce)
{
    ItemPtr root = MakeRoot();
    auto* submenu = new TTBCustomItem(nullptr);
    root->Add(submenu);
    for (const char* caption : {"a", "b", "c"}) {
        auto* item = new TTBCustomItem(submenu);
        item->SetCaption(caption);
        submenu->Add(item);
    }
    Listener heard(submenu);
    heard.OnHeard = [submenu](const Notice&) { EXPECT_EQ(submenu->GetCaption(), ""); };
    delete submenu;
    heard.Forget();
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcDeleting, tbcDeleting, tbcDeleting}));
    EXPECT_EQ(root->GetCount(), 0);
}

TEST(Ownership, AControlItemFreesItsControlAfterLeavingTheTreeAndForgetsOneFreedFirst)
{
    auto owner = std::make_unique<TComponent>(nullptr);
    ItemPtr root = MakeRoot();
    auto* control = new TControl(owner.get());
    auto* item = new TTBControlItem(nullptr, control);
    root->Add(item);
    EXPECT_EQ(item->GetItemStyle() & (itsSelectable | itsPassClicks), itsPassClicks);
    delete item;
    EXPECT_EQ(owner->GetComponentCount(), 0) << "the control went with the item";

    auto* second = new TControl(owner.get());
    auto* secondItem = AddChild<TTBControlItem>(root.get());
    secondItem->SetControl(second);
    Listener heard(root.get());
    delete second;
    EXPECT_EQ(secondItem->GetControl(), nullptr);
    EXPECT_EQ(heard.Kinds(), (std::vector<TTBItemChange>{tbcRepaintAndResize}));
}

}  // namespace
}  // namespace ovrel::toolbars
