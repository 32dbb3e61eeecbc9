// The best moves of a position, for a person analysing it: the search, then again with the
// moves already found left out at the root, the searches sharing the time given.
#pragma once

#include "base/types.h"
#include "engine/search_report.h"

namespace quillmot {

class Engine;

constexpr int ANALYSIS_MOVES = 3;

struct AnalysedMove {
    Point move;           // engine coordinates
    SearchReport report;  // of the search that found it
};

struct Analysis {
    int count = 0;  // fewer than asked when nothing else is left: a five to make or to stop
    AnalysedMove moves[ANALYSIS_MOVES];
};

// Called on the searching thread as each iteration of the search for the move of `rank`
// (0 the best) completes.
using AnalysisCallback = void (*)(void* context, int rank, const SearchReport& report);

// Up to `wanted` (1 .. ANALYSIS_MOVES) best moves for the side to move, best first, within
// about milliseconds in all: each search gets an equal share of what the ones before it left.
// The centre alone on a board without stones, unsearched. The position is left as it was.
void analyse(Engine& engine, int milliseconds, int wanted, Analysis& analysis,
             AnalysisCallback onReport = nullptr, void* context = nullptr);

}  // namespace quillmot
