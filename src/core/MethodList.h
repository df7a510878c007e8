#pragma once
// A list of parameterless callbacks, called in order; the folder read and the localiser notify through it.

#include "toolkit/System.h"

#include <vector>

namespace ovrel::core {

/// Parameterless methods called in order of addition.
class TVekMethodList : public toolkit::TObject {
public:
    TVekMethodList();
    ~TVekMethodList() override;

    void Add(const toolkit::TMethodEvent& method);
    /// Calls every entry in order; entries removed by a call are not called.
    void CallAll() const;
    /// An index out of range is ignored.
    void Delete(int index);
    /// Deletes every entry whose object is obj.
    void RemoveObject(const void* obj);
    [[nodiscard]] int GetCount() const noexcept { return static_cast<int>(FMethods.size()); }

private:
    std::vector<toolkit::TMethodEvent> FMethods;
};

}  // namespace ovrel::core
