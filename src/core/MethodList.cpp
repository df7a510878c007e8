#include "core/MethodList.h"

#include <algorithm>

namespace ovrel::core {

using namespace ovrel::toolkit;

TVekMethodList::TVekMethodList() = default;
TVekMethodList::~TVekMethodList() = default;

void TVekMethodList::Add(const TMethodEvent& method) { FMethods.push_back(method); }

void TVekMethodList::CallAll() const
{
    // A handler may remove entries, its own included: call from a copy, skipping entries gone meanwhile.
    const std::vector<TMethodEvent> methods = FMethods;
    for (const TMethodEvent& method : methods)
        if (std::find(FMethods.begin(), FMethods.end(), method) != FMethods.end())
            method();
}

void TVekMethodList::Delete(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    FMethods.erase(FMethods.begin() + index);
}

void TVekMethodList::RemoveObject(const void* obj)
{
    for (int i = GetCount() - 1; i >= 0; --i)
        if (FMethods[static_cast<std::size_t>(i)].GetObject() == obj)
            Delete(i);
}

}  // namespace ovrel::core
