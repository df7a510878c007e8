// The property grid on the offscreen platform: repainting a full 300 x 900 view of textual rows at the top of
// a small tree and in the middle of a large one, one wheel notch, the main window's rebuild of its rows,
// writing its 47 values, and a mouse move over a large tree.

#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

const auto Textual = TPropertyItemClass::Of<TTextualItem>();

// Counts the paints of a control through its window procedure.
struct PaintCounter {
    TWndMethod Saved;
    int Paints = 0;
    void Proc(TMessage& message)
    {
        if (message.Msg == ui::WM_PAINT)
            ++Paints;
        Saved(message);
    }
};

// A shown form holding a 300 x 900 grid.
struct ShownGrid {
    ShownGrid()
    {
        Form->SetBounds(0, 0, 320, 940);
        Grid = new TPropertiesView(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 300, 900);
        Grid->SetSplitterPosition(104);
        Form->Show();
        Pump();
    }
    void Pump() { Application()->ProcessMessages(); }
    /// categories × rows textual rows with values.
    void Fill(int categories, int rows)
    {
        TPropertyItems* top = Grid->GetCategories();
        top->Clear();
        for (int c = 0; c < categories; ++c) {
            TCustomPropertyItem* category = top->Add(Textual, "Category " + std::to_string(c), "");
            for (int r = 0; r < rows; ++r)
                category->GetItems()->Add(Textual, "Property " + std::to_string(r), "Value " + std::to_string(r));
        }
        Pump();
    }
    void Repaint()
    {
        Grid->Invalidate();
        Grid->Update();
    }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TPropertiesView* Grid = nullptr;
};

void BM_FullRepaint300x900(benchmark::State& state)
{
    ShownGrid shown;
    shown.Fill(4, 15);  // 64 rows, the view shows 52
    for (auto _ : state)
        shown.Repaint();
}
BENCHMARK(BM_FullRepaint300x900)->Unit(benchmark::kMicrosecond);

void BM_FullRepaintInTheMiddleOf10000Rows(benchmark::State& state)
{
    ShownGrid shown;
    shown.Fill(100, 99);
    shown.Grid->GetVertScrollBar()->SetPosition(5000);
    shown.Pump();
    for (auto _ : state)
        shown.Repaint();
}
BENCHMARK(BM_FullRepaintInTheMiddleOf10000Rows)->Unit(benchmark::kMicrosecond);

// The pixel scroll and the paint of the row it uncovers, down and up in turn.
void BM_WheelNotch(benchmark::State& state)
{
    ShownGrid shown;
    shown.Fill(4, 25);
    shown.Grid->GetVertScrollBar()->SetPosition(20);
    shown.Pump();
    const ui::POINT at = shown.Grid->ClientToScreen({150, 400});
    int delta = -120;
    for (auto _ : state) {
        shown.Grid->Perform(ui::WM_MOUSEWHEEL, ui::MAKEWPARAM(0, static_cast<ui::WORD>(delta)),
                            ui::MAKELPARAM(at.x, at.y));
        shown.Grid->Update();
        delta = -delta;
    }
}
BENCHMARK(BM_WheelNotch)->Unit(benchmark::kMicrosecond);

// Categories.Clear, then the 4 categories and 47 rows the main window adds, each with a value; no window or
// widget may appear for the editors the rows own.
void Rebuild(benchmark::State& state, const std::vector<int>& groups)
{
    ShownGrid shown;
    shown.Fill(4, groups.front());
    const auto widgets = QApplication::allWidgets().size();
    TPropertyItems* top = shown.Grid->GetCategories();
    for (auto _ : state) {
        top->Clear();
        for (const int size : groups) {
            TCustomPropertyItem* category = top->Add(Textual, "Category", "");
            category->SetTag(0);
            category->GetFont()->SetColor(clBlack);
            category->GetFont()->SetStyle({});
            TPropertyItems* rows = category->GetItems();
            for (int r = 0; r < size; ++r) {
                TCustomPropertyItem* row = rows->Add(Textual, "Property", "Value");
                row->SetTag(r + 1);
                row->SetReadOnly(true);
            }
        }
    }
    shown.Pump();
    if (QApplication::allWidgets().size() != widgets)
        state.SkipWithError("the rebuild made widgets");
    state.counters["rows"] = static_cast<double>(shown.Grid->GetAbsoluteCount());
}

void BM_Rebuild51Rows(benchmark::State& state) { Rebuild(state, {14, 15, 13, 5}); }
BENCHMARK(BM_Rebuild51Rows)->Unit(benchmark::kMicrosecond);

void BM_Rebuild10000Rows(benchmark::State& state) { Rebuild(state, {2499, 2499, 2499, 2499}); }
BENCHMARK(BM_Rebuild10000Rows)->Unit(benchmark::kMillisecond);

// The main window's values for a new selection: 47 writes through Value, then the one paint they cause.
void BM_Write47Values(benchmark::State& state)
{
    ShownGrid shown;
    shown.Fill(4, 12);
    std::vector<TCustomPropertyItem*> rows;
    for (int i = 0; i < shown.Grid->GetAbsoluteCount(); ++i)
        if (TCustomPropertyItem* item = shown.Grid->GetAbsoluteItem(i); item->GetLevel() > 0 && rows.size() < 47)
            rows.push_back(item);
    PaintCounter counter;
    counter.Saved = shown.Grid->GetWindowProc();
    shown.Grid->SetWindowProc(TWndMethod(&counter, &PaintCounter::Proc));
    const std::string values[2] = {"1/250 s", "f/5.6"};
    int turn = 0;
    int passes = 0;
    for (auto _ : state) {
        for (TCustomPropertyItem* row : rows)
            row->SetValue(values[turn]);
        turn ^= 1;
        state.PauseTiming();
        shown.Pump();
        ++passes;
        state.ResumeTiming();
    }
    state.counters["paints per write"] = static_cast<double>(counter.Paints) / passes;
    shown.Grid->SetWindowProc(counter.Saved);
}
BENCHMARK(BM_Write47Values)->Unit(benchmark::kMicrosecond);

// The pointer moving between two rows in the middle of a 10,000-row tree: the row under it, the hot row,
// two row invalidations.
void BM_MouseMoveOver10000Rows(benchmark::State& state)
{
    ShownGrid shown;
    shown.Fill(100, 99);
    shown.Grid->GetVertScrollBar()->SetPosition(5000);
    shown.Pump();
    int y = 300;
    for (auto _ : state) {
        shown.Grid->Perform(ui::WM_MOUSEMOVE, 0, ui::MAKELPARAM(200, y));
        y = y == 300 ? 340 : 300;
    }
    shown.Pump();
}
BENCHMARK(BM_MouseMoveOver10000Rows)->Unit(benchmark::kMicrosecond);

}  // namespace
