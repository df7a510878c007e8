#pragma once
// Shared by the layer's service pairs: one slot per service, holding its production default and an
// override that borrows a fake.

namespace ovrel::ui {

template <class I, class Default> class Slot {
public:
    I& Get() { return FOverride ? *FOverride : FDefault; }
    I* Set(I* service)
    {
        I* previous = FOverride;
        FOverride = service;
        return previous;
    }

private:
    Default FDefault;
    I* FOverride = nullptr;
};

}  // namespace ovrel::ui
