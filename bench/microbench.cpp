// Micro-benchmarks of the innermost operations: move making and the threat search.
#include <benchmark/benchmark.h>

#include "test_util.h"

namespace quillmot {
namespace {

// A quiet middle game on 15 by 15.
std::unique_ptr<Engine> middleGame() {
    return testing::positionFromRows({
        "...............",
        "...............",
        "...............",
        "....O..........",
        ".....X.X.......",
        "....OXOO.......",
        "...X.XOX.X.....",
        "....OOXO.O.....",
        "....X.OX.......",
        "......X.O......",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
    });
}

void MakeUndoPair(benchmark::State& state) {
    auto engine = middleGame();
    // Every empty square of the window in turn, so that the pattern updates vary.
    std::vector<std::pair<int, int>> squares;
    for (int y = engine->window.min.y; y <= engine->window.max.y; ++y)
        for (int x = engine->window.min.x; x <= engine->window.max.x; ++x)
            if (engine->cells[x][y].state == EMPTY) squares.emplace_back(x, y);
    size_t i = 0;
    for (auto _ : state) {
        const auto [x, y] = squares[i];
        engine->makeMove(x, y);
        engine->undo();
        if (++i == squares.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(MakeUndoPair);

}  // namespace
}  // namespace quillmot

BENCHMARK_MAIN();
