#include "toolkit/Lists.h"

#include "toolkit/SysUtils.h"

#include <algorithm>

namespace ovrel::toolkit {

TList::~TList()
{
    // Descendants that free their items clear in their own destructor; here Notify is the base's.
    Clear();
}

void TList::Error(int index) { throw EListError(Format("List index out of bounds (%d)", {index})); }

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        Error(index);
}

void TList::Notify(void* /*ptr*/, TListNotification /*action*/) {}

int TList::Add(void* item)
{
    const int index = GetCount();
    FItems.push_back(item);
    if (item)
        Notify(item, lnAdded);
    return index;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > GetCount())
        Error(index);
    FItems.insert(FItems.begin() + index, item);
    if (item)
        Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    void* item = FItems[static_cast<std::size_t>(index)];
    // Out of the list before Notify, so a handler that looks at the list sees it without the item.
    FItems.erase(FItems.begin() + index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    FItems.erase(FItems.begin() + index);
    if (item)
        Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(const void* item) const
{
    const auto found = std::find(FItems.begin(), FItems.end(), item);
    return found == FItems.end() ? -1 : static_cast<int>(found - FItems.begin());
}

void TList::SetCount(int count)
{
    if (count < 0)
        Error(count);
    if (count > GetCount()) {
        FItems.resize(static_cast<std::size_t>(count), nullptr);
        return;
    }
    while (GetCount() > count)
        Delete(GetCount() - 1);
}

void* TList::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)];
}

void TList::Put(int index, void* item)
{
    CheckIndex(index);
    void* old = FItems[static_cast<std::size_t>(index)];
    if (old == item)
        return;
    FItems[static_cast<std::size_t>(index)] = item;
    if (old)
        Notify(old, lnDeleted);
    if (item)
        Notify(item, lnAdded);
}

void TList::Clear()
{
    // From the end, one at a time: each Notify sees a consistent list.
    while (!FItems.empty())
        Delete(GetCount() - 1);
    FItems.shrink_to_fit();
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[static_cast<std::size_t>(index1)], FItems[static_cast<std::size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex)
{
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    void* item = FItems[static_cast<std::size_t>(curIndex)];
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
}

void* TList::First() const { return Get(0); }

void* TList::Last() const { return Get(GetCount() - 1); }

void TList::Sort(const TListSortCompare& compare)
{
    // Sorted in a copy: a comparison that throws leaves the list as it was.
    std::vector<void*> sorted = FItems;
    std::stable_sort(sorted.begin(), sorted.end(), [&compare](void* a, void* b) { return compare(a, b) < 0; });
    FItems.swap(sorted);
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

}  // namespace ovrel::toolkit
