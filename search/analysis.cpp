#include "search/analysis.h"

#include "engine/engine.h"
#include "search/clock.h"

namespace quillmot {

namespace {

struct Listener {
    AnalysisCallback onReport;
    void* context;
    int rank;
};

void tell(void* context, const Engine&, const SearchReport& report) {
    const Listener& listener = *static_cast<const Listener*>(context);
    listener.onReport(listener.context, listener.rank, report);
}

// The budget whose deadline lies `share` ms after the search starts: iterative deepening
// keeps a margin for a game's reply, which an analysis has no use for.
int budgetFor(int share) {
    int budget = share;
    while (budget - deadlineMargin(budget) < share) ++budget;
    return budget;
}

}  // namespace

void analyse(Engine& engine, int milliseconds, int wanted, Analysis& analysis,
             AnalysisCallback onReport, void* context) {
    analysis = Analysis{};
    if (wanted > ANALYSIS_MOVES) wanted = ANALYSIS_MOVES;
    if (engine.stoneCount() == 0) {
        engine.beginSearch({});
        analysis.moves[0].move = toEngine(engine.boardSize / 2, engine.boardHeight / 2);
        analysis.count = 1;
        return;
    }
    Listener listener{onReport, context, 0};
    SearchLimits limits;
    if (onReport != nullptr) {
        limits.onReport = tell;
        limits.reportContext = &listener;
    }
    const int64_t start = readClock();
    for (int rank = 0; rank < wanted; ++rank) {
        const int left = milliseconds - static_cast<int>(readClock() - start);
        const int share = left / (wanted - rank);
        listener.rank = rank;
        engine.setSearchBudget(budgetFor(share > 1 ? share : 1));
        const Point move = engine.deepen(limits);
        if (!isSquare(move)) break;
        analysis.moves[rank] = AnalysedMove{move, engine.report};
        analysis.count = rank + 1;
        limits.exclude(move);
    }
}

}  // namespace quillmot
