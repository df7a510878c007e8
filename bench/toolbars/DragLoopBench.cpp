// One live step of the drag loop with real windows: the move read from the queue, the evaluation over four
// docks, the window moved (re-arranged in its dock or moved to another), and every window that changed
// painted before the next move, as the user sees it during a smooth drag.
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/Dock.h"
#include "toolbars/DockableWindow.h"
#include "toolkit/Forms.h"

#include "toolbars/TestDockableWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace ovrel;
using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using ovrel::toolbars::testing::TTestWindow;

void Pump()
{
    ui::MSG msg;
    while (ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE) != ui::FALSE)
        ui::DispatchMessage(&msg);
}

TPoint OnWindow(TWinControl* control, int x, int y)
{
    TRect r{};
    ui::GetWindowRect(control->GetHandle(), &r);
    return TPoint{r.left + x, r.top + y};
}

// A form of 800 x 600 with a dock on each edge, four windows in two rows in each dock.
struct BenchForm {
    BenchForm()
    {
        ui::SetApplicationActive(true);
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 800, 600);
        for (const TTBDockPosition position : {dpTop, dpBottom, dpLeft, dpRight}) {
            auto* dock = new TTBDock(Form);
            dock->SetPosition(position);
            dock->SetParent(Form);
            Docks.push_back(dock);
            for (int i = 0; i < 4; ++i) {
                auto* window = new TTestWindow(Form);
                window->Natural = TSize{60 + 13 * i, 22};
                window->SetDockRow(i / 2);
                window->SetDockPos(i % 2 * 150);
                window->SetParent(dock);
                Windows.push_back(window);
            }
        }
        Form->Show();
        Pump();
        // Paint whatever a step changed before the next move is read, as between real moves.
        Dragged()->Moving = [] { DispatchPendingPaintMessages(); };
    }
    ~BenchForm()
    {
        delete Form;
        Pump();
    }
    BenchForm(const BenchForm&) = delete;
    BenchForm& operator=(const BenchForm&) = delete;

    [[nodiscard]] TTestWindow* Dragged() const { return Windows[1]; }

    // Runs one drag with the moves given, each a step of the loop, and returns to the start.
    void Drag(const std::vector<TPoint>& moves)
    {
        const TPoint press = OnWindow(Dragged(), 4, 10);
        ui::PostMouseInput(ui::WM_LBUTTONDOWN, press);
        for (const TPoint& p : moves) {
            ui::PostMouseInput(ui::WM_MOUSEMOVE, p);
            ui::PostKeyInput(ui::WM_KEYUP, ui::VK_F24);  // keeps the moves apart
        }
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
        Pump();
    }

    TForm* Form = nullptr;
    std::vector<TTBDock*> Docks;
    std::vector<TTestWindow*> Windows;
};

constexpr int kSteps = 50;

void ReportSteps(benchmark::State& state)
{
    state.counters["per_step"] =
        benchmark::Counter(kSteps, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Back and forth along its row: every step arranges the top dock again.
void BM_LiveDragStepAlongADock(benchmark::State& state)
{
    BenchForm form;
    const TPoint press = OnWindow(form.Dragged(), 4, 10);
    std::vector<TPoint> moves;
    for (int i = 0; i < kSteps; ++i)
        moves.push_back(TPoint{press.x + (i % 10) * 25 - 120, press.y});
    for (auto _ : state)
        form.Drag(moves);
    ReportSteps(state);
}
BENCHMARK(BM_LiveDragStepAlongADock)->Unit(benchmark::kMillisecond)->UseRealTime();

// Between the top dock and the left one: every step moves the window to the other dock.
void BM_LiveDragStepBetweenDocks(benchmark::State& state)
{
    BenchForm form;
    const TPoint press = OnWindow(form.Dragged(), 4, 10);
    const TPoint left = OnWindow(form.Docks[2], 10, 200);
    std::vector<TPoint> moves;
    for (int i = 0; i < kSteps; ++i)
        moves.push_back(i % 2 == 0 ? TPoint{left.x, left.y + i} : TPoint{press.x + i, press.y});
    for (auto _ : state)
        form.Drag(moves);
    ReportSteps(state);
}
BENCHMARK(BM_LiveDragStepBetweenDocks)->Unit(benchmark::kMillisecond)->UseRealTime();

// Floating over the middle of the form: every step moves the floating frame.
void BM_LiveDragStepFloating(benchmark::State& state)
{
    BenchForm form;
    const TPoint middle = OnWindow(form.Form, 400, 300);
    std::vector<TPoint> moves;
    for (int i = 0; i < kSteps; ++i)
        moves.push_back(TPoint{middle.x + i % 7 * 9, middle.y + i % 5 * 7});
    for (auto _ : state)
        form.Drag(moves);
    ReportSteps(state);
}
BENCHMARK(BM_LiveDragStepFloating)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
