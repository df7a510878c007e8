// The list of parameterless callbacks: order, removal by object, removal during a call.
#include "core/MethodList.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ovrel::core {
namespace {

class TListener {
public:
    TListener(std::vector<std::string>& log, std::string name) : FLog(log), FName(std::move(name)) {}
    void First() { FLog.push_back(FName + ".First"); }
    void Second() { FLog.push_back(FName + ".Second"); }
    void RemoveOther()
    {
        FLog.push_back(FName + ".RemoveOther");
        List->RemoveObject(Other);
    }
    TVekMethodList* List = nullptr;
    const void* Other = nullptr;

private:
    std::vector<std::string>& FLog;
    std::string FName;
};

TEST(MethodList, CallsInOrderAndRemovesEveryEntryOfAnObject)
{
    std::vector<std::string> log;
    TListener a(log, "a"), b(log, "b");
    TVekMethodList list;
    list.Add(toolkit::TMethodEvent(&a, &TListener::First));
    list.Add(toolkit::TMethodEvent(&b, &TListener::First));
    list.Add(toolkit::TMethodEvent(&a, &TListener::Second));
    list.Add(toolkit::TMethodEvent(&b, &TListener::Second));
    list.CallAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a.First", "b.First", "a.Second", "b.Second"}));

    list.RemoveObject(&a);
    EXPECT_EQ(list.GetCount(), 2);
    log.clear();
    list.CallAll();
    EXPECT_EQ(log, (std::vector<std::string>{"b.First", "b.Second"}));

    list.RemoveObject(&a);  // nothing left of a
    list.Delete(2);
    list.Delete(-1);
    EXPECT_EQ(list.GetCount(), 2);
    list.Delete(0);
    log.clear();
    list.CallAll();
    EXPECT_EQ(log, std::vector<std::string>{"b.Second"});
}

TEST(MethodList, EntriesRemovedDuringACallAreNotCalled)
{
    std::vector<std::string> log;
    TListener a(log, "a"), b(log, "b");
    TVekMethodList list;
    a.List = &list;
    a.Other = &b;
    list.Add(toolkit::TMethodEvent(&a, &TListener::RemoveOther));
    list.Add(toolkit::TMethodEvent(&b, &TListener::First));
    list.Add(toolkit::TMethodEvent(&a, &TListener::First));
    list.CallAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a.RemoveOther", "a.First"}));
    EXPECT_EQ(list.GetCount(), 2);
}

}  // namespace
}  // namespace ovrel::core
