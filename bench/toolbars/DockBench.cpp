// The dock's layout and one evaluation of the drag loop, without windows: what a live drag costs per move.
#include "toolbars/DockArrange.h"
#include "toolbars/DragLoopGeometry.h"

#include "toolbars/DockTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using ovrel::toolbars::testing::FakeDockedWindow;

// Windows of 70 to 160 pixels on rows of a dock 800 long; some shrink behind a chevron.
struct BenchDock {
    BenchDock(TTBDockPosition position, int rows, int perRow)
    {
        Layout.Position = position;
        for (int row = 0; row < rows; ++row) {
            for (int i = 0; i < perRow; ++i) {
                auto& w = *Windows.emplace_back(std::make_unique<FakeDockedWindow>());
                const int content = 60 + (row * perRow + i) * 37 % 90;
                w.Natural = IsVerticalDock(position) ? TSize{22, content} : TSize{content, 22};
                w.Frame = IsVerticalDock(position) ? TPoint{4, 10} : TPoint{10, 4};
                w.DockRow = row;
                w.DockPos = i * 150;
                w.Shrink = i % 2 == 0 ? tbsmChevron : tbsmNone;
                w.Minimum = 30;
                Layout.WindowList.push_back(&w);
                Layout.VisibleList.push_back(&w);
            }
        }
    }

    TDockLayout Layout;
    std::vector<std::unique_ptr<FakeDockedWindow>> Windows;
};

void BM_ArrangeTwentyWindowsInFourRows(benchmark::State& state)
{
    BenchDock dock(dpTop, 4, 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(ArrangeDockedWindows(dock.Layout, TDockArrangeInput{.Length = 800}));
}
BENCHMARK(BM_ArrangeTwentyWindowsInFourRows)->Unit(benchmark::kMicrosecond);

// Four candidate docks around a form of 800 x 600; the cursor moves along the top dock, each move is
// evaluated, dropped and the dock arranged again, as a live drag does.
void BM_DragEvaluationWithFourDocksAndALiveMove(benchmark::State& state)
{
    const TTBDockPosition positions[] = {dpTop, dpBottom, dpLeft, dpRight};
    const TRect rects[] = {{0, 0, 800, 60}, {0, 540, 800, 600}, {0, 60, 30, 540}, {770, 60, 800, 540}};
    std::vector<std::unique_ptr<BenchDock>> docks;
    std::vector<TDragTarget> targets;
    for (int i = 0; i < 4; ++i) {
        docks.push_back(std::make_unique<BenchDock>(positions[i], 2, 5));
        (void)ArrangeDockedWindows(docks.back()->Layout, TDockArrangeInput{.Length = 800});
        targets.push_back(TDragTarget{.Dock = nullptr,
                                      .Position = positions[i],
                                      .ScreenRect = rects[i],
                                      .OuterSize = IsVerticalDock(positions[i]) ? TSize{26, 100} : TSize{100, 26},
                                      .Rows = MakeDragTargetRows(docks.back()->Layout)});
    }
    TDockLayout& top = docks[0]->Layout;
    ITBDockedWindow* dragged = top.WindowList[2];
    top.DragWindow = dragged;
    const TDragTarget floating{.OuterSize = {106, 47}};
    const TDragGrab grab = MakeDragGrab(TPoint{10, 10}, TSize{100, 26});
    TDragSplitState split{.Allowed = true, .StartRow = 0, .StartCursor = {300, 20}};
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 700;
        const TDragEvaluationInput input{
            .Cursor = {x, 20}, .WorkArea = {0, 0, 1920, 1080}, .FloatingBorder = {3, 3}, .TopFrameThickness = 18};
        const TDragEvaluation evaluation = EvaluateDrag(targets, floating, grab, input, nullptr);
        if (evaluation.Target == 0) {
            TRect outline = evaluation.Outline;
            const TDockDrop drop = DecideDockDrop(targets[0], outline, false, 0, false, input.Cursor, split);
            dragged->SetDockRow(drop.DockRow);
            dragged->SetDockPos(drop.DockPos);
            benchmark::DoNotOptimize(ArrangeDockedWindows(top, TDockArrangeInput{.Length = 800}));
        }
        split.Allowed = true;
    }
}
BENCHMARK(BM_DragEvaluationWithFourDocksAndALiveMove)->Unit(benchmark::kMicrosecond);

}  // namespace
