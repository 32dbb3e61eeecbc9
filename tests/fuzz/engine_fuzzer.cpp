// libFuzzer target below the front end: each input is a board of any size from 5 to 32 a
// side, any stones of both colours and a budget of a few milliseconds (engine_case.h). The
// search the turn driver runs and a shallow fixed-depth search must answer an empty square,
// leave the board consistent and the position exactly as it was. A failed check aborts with
// what failed. At exit the slowest search is reported: its time past its deadline, and the
// command that replays its position in the release build.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/engine_case.h"

namespace {

struct Slowest {
    double overrunMs = -1e9;
    int width = 0, height = 0, stones = 0, budget = 0;
    double elapsedMs = 0;
    std::string moves;  // as quillmot-bench --game reads them
} slowest;

void reportSlowest() {
    if (slowest.width == 0) return;
    std::fprintf(
        stderr,
        "engine fuzzer: slowest search %.1f ms, %.1f ms past its deadline (%dx%d, %d stones, "
        "budget %d ms)\nengine fuzzer: replay: quillmot-bench search --budget %d --game \"%d "
        "%d%s\"\n",
        slowest.elapsedMs, slowest.overrunMs, slowest.width, slowest.height, slowest.stones,
        slowest.budget, slowest.budget, slowest.width, slowest.height, slowest.moves.c_str());
}

std::string movesOf(const quillmot::Engine& engine) {
    std::string moves;
    for (int i = 0; i < engine.moveCount; ++i) {
        const quillmot::Point p = engine.moveHistory[i];
        moves += p.x == 0 ? " pass"
                          : " " + std::to_string(p.x - quillmot::BORDER) + "," +
                                std::to_string(p.y - quillmot::BORDER);
    }
    return moves;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One 30 MB engine for the whole run; start() gives each input a fresh game.
    static quillmot::Engine* const engine = [] {
        std::atexit(reportSlowest);
        return new quillmot::Engine();
    }();
    const quillmot::fuzzing::EngineCase c = quillmot::fuzzing::decodeCase(data, size, *engine);
    const int stones = engine->stoneCount();
    quillmot::fuzzing::CaseTiming timing;
    const std::string fault = quillmot::fuzzing::runCase(*engine, c, &timing);
    if (!fault.empty()) {
        std::fprintf(
            stderr,
            "engine fuzzer: %s (%dx%d, %d stones, budget %d ms, depth %d, fixed depth %d)\n",
            fault.c_str(), c.width, c.height, stones, c.budget, c.maxDepth, c.fixedDepth);
        std::abort();
    }
    const double overrun = timing.elapsedMs - (timing.deadlineMs > 0 ? timing.deadlineMs : 0);
    if (timing.searched && overrun > slowest.overrunMs)
        slowest = {overrun,  c.width,          c.height,        stones,
                   c.budget, timing.elapsedMs, movesOf(*engine)};
    return 0;
}
