#include "toolkit/Lists.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ovrel::toolkit;

namespace {

// Records what a list tells its descendants.
class RecordingList : public TList {
public:
    ~RecordingList() override { Clear(); }
    std::vector<std::pair<void*, TListNotification>> Log;

protected:
    void Notify(void* ptr, TListNotification action) override { Log.emplace_back(ptr, action); }
};

class Counted : public TObject {
public:
    explicit Counted(int& alive, int key = 0) : FAlive(alive), Key(key) { ++FAlive; }
    ~Counted() override { --FAlive; }
    void Handle(TObject* sender) { Senders.push_back(sender); }
    void Tick() { ++Ticks; }
    void Peek() const { ++PeekCount; }

    int& FAlive;
    int Key;
    std::vector<TObject*> Senders;
    int Ticks = 0;
    mutable int PeekCount = 0;
};

int A = 1, B = 2, C = 3;

}  // namespace

TEST(TEvent, CallsComparesAndClears)
{
    int alive = 0;
    Counted x(alive), y(alive);
    TNotifyEvent empty;
    EXPECT_FALSE(empty);
    empty(nullptr);  // nothing happens

    TNotifyEvent event(&x, &Counted::Handle);
    ASSERT_TRUE(event);
    event(&y);
    EXPECT_EQ(x.Senders, std::vector<TObject*>{&y});
    EXPECT_EQ(event.GetObject(), &x);

    EXPECT_TRUE(event == TNotifyEvent(&x, &Counted::Handle));
    EXPECT_FALSE(event == TNotifyEvent(&y, &Counted::Handle));
    EXPECT_FALSE(TMethodEvent(&x, &Counted::Tick) == TMethodEvent(&x, &Counted::Peek));

    TMethodEvent tick(&x, &Counted::Tick);
    tick();
    TMethodEvent peek(static_cast<const Counted*>(&x), &Counted::Peek);
    peek();
    EXPECT_EQ(x.Ticks, 1);
    EXPECT_EQ(x.PeekCount, 1);

    event.Clear();
    EXPECT_FALSE(event);
    EXPECT_TRUE(event == TNotifyEvent());
}

TEST(TList, NotifiesEveryAddAndDelete)
{
    RecordingList list;
    list.Add(&A);
    list.Insert(0, &B);
    list.Add(nullptr);  // nothing to tell about
    EXPECT_EQ(list.Extract(&A), &A);
    list.Add(&C);
    list.Put(2, &A);  // C replaced by A
    list.Remove(&B);
    list.Clear();
    const std::vector<std::pair<void*, TListNotification>> expected = {
        {&A, lnAdded},   {&B, lnAdded}, {&A, lnExtracted}, {&C, lnAdded},
        {&C, lnDeleted}, {&A, lnAdded}, {&B, lnDeleted},   {&A, lnDeleted},
    };
    EXPECT_EQ(list.Log, expected);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TList, OrderOperations)
{
    TList list;
    for (int* p : {&A, &B, &C})
        list.Add(p);
    list.Exchange(0, 2);
    EXPECT_EQ(list.List(), (std::vector<void*>{&C, &B, &A}));
    list.Move(0, 2);
    EXPECT_EQ(list.List(), (std::vector<void*>{&B, &A, &C}));
    EXPECT_EQ(list.First(), &B);
    EXPECT_EQ(list.Last(), &C);
    EXPECT_EQ(list.IndexOf(&A), 1);
    EXPECT_EQ(list.Remove(&A), 1);
    EXPECT_EQ(list.Remove(&A), -1);
    list.Insert(1, nullptr);
    list.Pack();
    EXPECT_EQ(list.List(), (std::vector<void*>{&B, &C}));
}

TEST(TList, SortIsStable)
{
    int alive = 0;
    std::vector<std::unique_ptr<Counted>> items;
    TList list;
    for (int key : {2, 1, 2, 1, 0}) {
        items.push_back(std::make_unique<Counted>(alive, key));
        list.Add(items.back().get());
    }
    list.Sort([](void* a, void* b) { return static_cast<Counted*>(a)->Key - static_cast<Counted*>(b)->Key; });
    const std::vector<void*> expected = {items[4].get(), items[1].get(), items[3].get(), items[0].get(),
                                         items[2].get()};
    EXPECT_EQ(list.List(), expected);
}

TEST(TList, IndexOutOfBoundsRaisesWithTheIndex)
{
    TList list;
    list.Add(&A);
    struct Row {
        const char* name;
        std::function<void()> call;
    };
    const Row rows[] = {
        {"Get", [&] { list.Get(1); }},
        {"GetNegative", [&] { list.Get(-1); }},
        {"Delete", [&] { list.Delete(5); }},
        {"Insert", [&] { list.Insert(3, &B); }},
        {"Exchange", [&] { list.Exchange(0, 1); }},
        {"Move", [&] { list.Move(0, 1); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_THROW(row.call(), EListError);
    }
    try {
        list.Get(7);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (7)");
    }
    TList empty;
    EXPECT_THROW(empty.First(), EListError);
}

TEST(TObjectList, FreesWhatItOwns)
{
    int alive = 0;
    {
        TObjectList<Counted> list;
        list.Add(new Counted(alive, 1));
        list.Add(new Counted(alive, 2));
        Counted* kept = list.Add(new Counted(alive, 3)) >= 0 ? list.Last() : nullptr;
        EXPECT_EQ(alive, 3);
        list.Delete(0);
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(list.Extract(kept), kept);  // handed back, not freed
        EXPECT_EQ(alive, 2);
        delete kept;
        list.Put(0, new Counted(alive, 4));  // the replaced object is freed
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(list[0]->Key, 4);
    }
    EXPECT_EQ(alive, 0);

    Counted outside(alive);
    {
        TObjectList<Counted> borrowed(false);
        borrowed.Add(&outside);
        borrowed.Clear();
    }
    EXPECT_EQ(alive, 1);
}

// ---------------------------------------------------------------------------------------------------------

namespace {

class ChangeCounter : public TObject {
public:
    void Changed(TObject* sender)
    {
        ++Changes;
        Sender = sender;
    }
    void Changing(TObject*) { ++Changings; }
    int Changes = 0;
    int Changings = 0;
    TObject* Sender = nullptr;
};

std::vector<std::string> Lines(const TStrings& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.GetCount(); ++i)
        lines.push_back(list[i]);
    return lines;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(TStringList, TextSplitsEveryLineBreakStyle)
{
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\n");
    EXPECT_EQ(Lines(list), (Strings{"one", "two", "three", "four"}));
    EXPECT_EQ(list.GetText(), "one\ntwo\nthree\nfour\n");
    list.SetText("a\n\nb");
    EXPECT_EQ(Lines(list), (Strings{"a", "", "b"}));
    list.SetText("");
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(TStringList, NamesAndValues)
{
    TStringList list;
    list.SetText("5=Open\n12=Save as\nplain\n5=Second\nEmpty=");
    EXPECT_EQ(list.GetValue("5"), "Open");  // the first line of a name
    EXPECT_EQ(list.GetValue("12"), "Save as");
    EXPECT_EQ(list.GetValue("plain"), "");
    EXPECT_EQ(list.IndexOfName("empty"), 4);
    EXPECT_EQ(list.GetName(1), "12");
    EXPECT_EQ(list.GetName(2), "");
    EXPECT_EQ(list.GetValueFromIndex(2), "");
    list.SetValue("12", "Save");
    EXPECT_EQ(list[1], "12=Save");
    list.SetValue("new", "x=y");
    EXPECT_EQ(list.GetValue("NEW"), "x=y");
    list.SetValue("5", "");
    EXPECT_EQ(list.GetValue("5"), "Second");
}

TEST(TStringList, IndexOfFollowsCaseSensitivity)
{
    TStringList list;
    list.SetText("Alpha\nbeta");
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    EXPECT_EQ(list.IndexOf("beta"), 1);
}

TEST(TStringList, SortedListsAndDuplicates)
{
    struct Row {
        const char* name;
        TDuplicates duplicates;
        Strings expected;
        bool raises;
    };
    const Row rows[] = {
        {"Ignore", dupIgnore, {"apple", "Banana", "cherry"}, false},
        {"Accept", dupAccept, {"apple", "Banana", "banana", "cherry"}, false},
        {"Error", dupError, {"apple", "Banana", "cherry"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(row.duplicates);
        for (const char* s : {"cherry", "Banana", "apple"})
            list.Add(s);
        if (row.raises)
            EXPECT_THROW(list.Add("banana"), EListError);
        else
            list.Add("banana");
        EXPECT_EQ(Lines(list), row.expected);
        int index = -1;
        EXPECT_TRUE(list.Find("BANANA", index));
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(list.Find("blueberry", index));
        EXPECT_EQ(index, list.IndexOf("cherry"));  // where it would go
        EXPECT_THROW(list.Insert(0, "x"), EListError);
        EXPECT_THROW(list.Put(0, "x"), EListError);
    }
}

TEST(TStringList, SortsStablyAndCustomSortSeesPositions)
{
    int alive = 0;
    Counted one(alive), two(alive);
    TStringList list;
    list.AddObject("b", &one);
    list.AddObject("a", nullptr);
    list.AddObject("B", &two);
    list.Sort();
    EXPECT_EQ(Lines(list), (Strings{"a", "b", "B"}));
    EXPECT_EQ(list.GetObject(1), &one);
    EXPECT_EQ(list.GetObject(2), &two);

    list.SetText("ccc\na\nbb\nd");
    list.CustomSort(
        [](TStringList& l, int i, int j) { return static_cast<int>(l[i].size()) - static_cast<int>(l[j].size()); });
    EXPECT_EQ(Lines(list), (Strings{"a", "d", "bb", "ccc"}));
}

TEST(TStringList, ChangeEventsFireOncePerChangeAndNotWhileUpdating)
{
    ChangeCounter counter;
    TStringList list;
    list.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    list.OnChanging = TNotifyEvent(&counter, &ChangeCounter::Changing);
    list.Add("a");
    list.AddObject("b", nullptr);
    list.Delete(0);
    EXPECT_EQ(counter.Changes, 3);
    EXPECT_EQ(counter.Changings, 3);
    EXPECT_EQ(counter.Sender, &list);

    counter.Changes = 0;
    list.BeginUpdate();
    list.Add("c");
    list.BeginUpdate();
    list.Add("d");
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 0);
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 1);

    counter.Changes = 0;
    list.SetText("x\ny\nz");
    EXPECT_EQ(counter.Changes, 1);
}

TEST(TStringList, MoveExchangeAssignAndErrors)
{
    int alive = 0;
    Counted tag(alive);
    TStringList list;
    list.SetText("a\nb\nc");
    list.PutObject(0, &tag);
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (Strings{"b", "c", "a"}));
    EXPECT_EQ(list.GetObject(2), &tag);
    list.Exchange(0, 2);
    EXPECT_EQ(Lines(list), (Strings{"a", "c", "b"}));
    EXPECT_EQ(list.IndexOfObject(&tag), 0);

    TStringList copy;
    copy.Add("old");
    copy.Assign(list);
    EXPECT_EQ(Lines(copy), Lines(list));
    EXPECT_EQ(copy.GetObject(0), &tag);
    copy.AddStrings(copy);
    EXPECT_EQ(copy.GetCount(), 6);

    EXPECT_THROW(list.Get(3), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(4, "x"), EListError);
}

TEST(TStringList, FilesRoundTripAndLatin1LinesAreRead)
{
    TempFolder folder;
    TStringList list;
    list.SetText("caf\xC3\xA9\nplain");
    list.SaveToFile(folder.File("a.txt"));
    EXPECT_EQ(TempFolder::Read(folder.File("a.txt")), "caf\xC3\xA9\nplain\n");
    TStringList back;
    back.LoadFromFile(folder.File("a.txt"));
    EXPECT_EQ(Lines(back), Lines(list));

    folder.Write("b.txt", "\xEF\xBB\xBFna\xC3\xAFve\r\ncaf\xE9\r\n");  // a BOM, a UTF-8 line, a Latin-1 line
    back.LoadFromFile(folder.File("b.txt"));
    EXPECT_EQ(Lines(back), (Strings{"na\xC3\xAFve", "caf\xC3\xA9"}));
    EXPECT_THROW(back.LoadFromFile(folder.File("missing.txt")), EFOpenError);

    TMemoryStream stream;
    list.SaveToStream(stream);
    stream.SetPosition(0);
    back.LoadFromStream(stream);
    EXPECT_EQ(Lines(back), Lines(list));
}
