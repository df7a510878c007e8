// Filling and sorting a shown list view of 50,000 rows by 5 columns.

#include "toolkit/Forms.h"
#include "toolkit/ListView.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace ovrel::toolkit;

inline constexpr int kRows = 50000;
inline constexpr int kColumns = 5;

struct ShownList {
    ShownList()
    {
        List = new TListView(Form.get());
        List->SetParent(Form.get());
        List->SetMultiSelect(true);
        List->GetColumns()->BeginUpdate();
        for (int c = 0; c < kColumns; ++c)
            List->GetColumns()->Add()->SetCaption("Column " + std::to_string(c));
        List->GetColumns()->EndUpdate();
        Form->Show();
    }
    void Fill()
    {
        TListItems* items = List->GetItems();
        items->BeginUpdate();
        items->Clear();
        for (int row = 0; row < kRows; ++row) {
            TListItem* item = items->Add();
            item->SetCaption("IMG_" + std::to_string((row * 7919) % kRows) + ".jpg");
            item->Data = reinterpret_cast<void*>(static_cast<std::intptr_t>((row * 7919) % 1000));
            for (int c = 1; c < kColumns; ++c)
                item->GetSubItems()->Add(std::to_string(row * c));
        }
        items->EndUpdate();
        items->GetItem(0)->SetSelected(true);
        List->SetItemFocused(items->GetItem(0));
    }
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TListView* List = nullptr;
};

void BM_Fill50000x5(benchmark::State& state)
{
    ShownList shown;
    for (auto _ : state)
        shown.Fill();
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Fill50000x5)->Unit(benchmark::kMillisecond);

void BM_CustomSort50000(benchmark::State& state)
{
    ShownList shown;
    shown.Fill();
    std::intptr_t descending = 0;
    // Compares an integer carried by the item's data, then the caption, as the main window's sort does.
    const TLVCompare compare = [](TListItem* a, TListItem* b, std::intptr_t down) {
        const auto ka = reinterpret_cast<std::intptr_t>(a->Data);
        const auto kb = reinterpret_cast<std::intptr_t>(b->Data);
        int order = ka < kb ? -1 : ka > kb ? 1 : a->GetCaption().compare(b->GetCaption());
        return down != 0 ? -order : order;
    };
    for (auto _ : state) {
        shown.List->CustomSort(compare, descending);
        descending ^= 1;
    }
}
BENCHMARK(BM_CustomSort50000)->Unit(benchmark::kMillisecond);

}  // namespace
