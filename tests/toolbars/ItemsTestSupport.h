#pragma once
// Item trees for the tests: a change listener that records what it hears, item classes with the styles
// the tree treats apart, and a small builder.

#include "toolbars/Items.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

struct Notice {
    TTBCustomItem* Sender = nullptr;
    bool Relayed = false;
    TTBItemChange Kind = tbcInserted;
    int Index = 0;
    TTBCustomItem* Item = nullptr;
    friend bool operator==(const Notice&, const Notice&) = default;
};

/// Listens to an item from construction until it is told to stop or is destroyed.
class Listener {
public:
    explicit Listener(TTBCustomItem* item) : FItem(item) { FItem->RegisterNotification(Proc()); }
    ~Listener() { Stop(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    [[nodiscard]] TTBItemChangeProc Proc() { return TTBItemChangeProc(this, &Listener::Heard); }
    void Stop()
    {
        if (FItem != nullptr)
            FItem->UnregisterNotification(Proc());
        FItem = nullptr;
    }
    /// For an item freed while listened to.
    void Forget() { FItem = nullptr; }
    [[nodiscard]] std::vector<TTBItemChange> Kinds() const
    {
        std::vector<TTBItemChange> kinds;
        for (const Notice& n : Notices)
            kinds.push_back(n.Kind);
        return kinds;
    }

    std::vector<Notice> Notices;
    std::function<void(const Notice&)> OnHeard;

private:
    void Heard(TTBCustomItem* sender, bool relayed, TTBItemChange kind, int index, TTBCustomItem* item)
    {
        Notices.push_back({sender, relayed, kind, index, item});
        if (OnHeard)
            OnHeard(Notices.back());
    }

    TTBCustomItem* FItem;
};

/// An item whose children show inline in its parent's view.
class TInlineGroupItem : public TTBCustomItem {
public:
    explicit TInlineGroupItem(toolkit::TComponent* owner) : TTBCustomItem(owner) { FItemStyle |= itsInlineGroup; }
};

/// An item with a button part and a drop-down part.
class TSplitItem : public TTBCustomItem {
public:
    explicit TSplitItem(toolkit::TComponent* owner) : TTBCustomItem(owner) { FItemStyle |= itsSplitButton; }
};

/// A child made with no owner: its parent frees it.
template <class T = TTBCustomItem> T* AddChild(TTBCustomItem* parent, const std::string& caption = {})
{
    auto* item = new T(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

using ItemPtr = std::unique_ptr<TTBCustomItem>;
inline ItemPtr MakeRoot() { return std::make_unique<TTBRootItem>(nullptr); }

}  // namespace ovrel::toolbars::testing
