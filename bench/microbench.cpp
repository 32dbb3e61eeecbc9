// Micro-benchmarks of the innermost operations: move making and the threat search.
#include <benchmark/benchmark.h>

#include "bench/positions.h"

namespace quillmot {
namespace {

void MakeUndoPair(benchmark::State& state) {
    auto engine = positions::positionFromRows(positions::MIDDLE_GAME);
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

// The threat search solving wins by continuous fours, from an empty threat table each
// time: shifting the check keys makes every stored verdict a miss.
void ThreatSearchFours(benchmark::State& state) {
    const std::vector<std::string>* positions[] = {&positions::FOURS_IN_5, &positions::FOURS_IN_7,
                                                   &positions::FOURS_IN_9};
    auto engine = positions::positionFromRows(*positions[state.range(0)]);
    engine->deadline = INT64_MAX;
    int64_t nodes = 0;
    for (auto _ : state) {
        engine->hashCheck1 += 0x9E3779B9u;
        engine->ply = 0;
        engine->threatBudget = THREAT_BUDGET;
        engine->threatNodes = 0;
        benchmark::DoNotOptimize(engine->threatSearch());
        nodes += engine->threatNodes;
    }
    state.counters["threatNodes"] =
        benchmark::Counter(static_cast<double>(nodes) / state.iterations());
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(ThreatSearchFours)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace quillmot

BENCHMARK_MAIN();
