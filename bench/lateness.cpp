#include "bench/lateness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/flags.h"
#include "bench/positions.h"
#include "bench/random_positions.h"
#include "engine/engine.h"

namespace quillmot::lateness {

namespace {

constexpr const char* USAGE =
    "usage: quillmot-bench lateness [--budgets MS,MS,...] [--position NAME] [--verbose]\n"
    "Times the turn driver's search, from its start to the move, on the suite and on random\n"
    "crowded and threat-rich boards at each budget (default 50,100,200,500,1000,2000,5000),\n"
    "and prints per budget how far past the deadline the moves came and how many came later\n"
    "than the budget. A report, never a test: the status is 1 only when a search answers no\n"
    "empty square or changes the position.\n";

// The positions: the benchmark suite, crowded boards, and clusters of threes.
struct RandomSpec {
    const char* name;
    bool threats;  // a cluster of threes, else a crowded board
    int width, height;
    int amount;  // stones of a cluster, percent of a crowded board
    uint32_t seed;
};
// clang-format off
constexpr RandomSpec RANDOM_POSITIONS[] = {
    {"crowd15a", false, 15, 15, 50, 1}, {"crowd15b", false, 15, 15, 80, 2},
    {"crowd20a", false, 20, 20, 50, 3}, {"crowd20b", false, 20, 20, 80, 4},
    {"crowd32a", false, 32, 32, 50, 5}, {"crowd32b", false, 32, 32, 80, 6},
    {"threat15a", true, 15, 15, 40, 7}, {"threat15b", true, 15, 15, 70, 8},
    {"threat20a", true, 20, 20, 60, 9}, {"threat20b", true, 20, 20, 110, 10},
    {"threat32a", true, 32, 32, 90, 11}, {"threat32b", true, 32, 32, 200, 12},
};
// clang-format on

// A position's name, size and moves in play order; the random ones drawn once.
struct Position {
    std::string name;
    int width, height;
    std::string moves;
    const std::vector<std::string>* rows = nullptr;
};

std::vector<Position> allPositions() {
    std::vector<Position> all;
    for (const positions::BenchPosition& p : positions::SUITE)
        all.push_back({p.name, p.width, p.height, p.moves, p.rows});
    for (const RandomSpec& spec : RANDOM_POSITIONS) {
        all.push_back(
            {spec.name, spec.width, spec.height,
             spec.threats
                 ? positions::threatMoves(spec.width, spec.height, spec.amount, spec.seed)
                 : positions::crowdedMoves(spec.width, spec.height, spec.amount, spec.seed)});
    }
    return all;
}

std::unique_ptr<Engine> setUp(const Position& position) {
    if (position.rows != nullptr) return positions::positionFromRows(*position.rows);
    return positions::positionFromMoves(position.width, position.height, position.moves);
}

struct Search {
    const Position* position;
    double elapsedMs;  // from the start of the search to the move
    int deadlineMs;    // after the start; negative when the margin exceeds the budget
    int depth;         // deepest completed iteration
    // Time past the deadline, or past the start when the deadline lies before it.
    double overrunMs() const { return elapsedMs - std::max(deadlineMs, 0); }
};

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t i = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[i];
}

// One search as the turn driver makes it: budget and depth limit, iterative deepening, and
// the fallback square when the search has no move; timed from the call to the move.
bool searchOnce(Engine& engine, int budget, Search& search) {
    const PositionHash hash = engine.hash();
    const int moveCount = engine.moveCount;
    engine.setSearchBudget(budget);
    const auto start = std::chrono::steady_clock::now();
    const Point move = engine.gameMove();
    search.elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    search.deadlineMs = static_cast<int>(engine.deadline - engine.searchStart);
    search.depth = engine.completedDepth;
    return engine.isEmptySquare(move) && engine.hash() == hash && engine.moveCount == moveCount;
}

// The budgets of a comma-separated list such as "50,200,1000"; empty when malformed.
std::vector<int> parseBudgets(const char* list) {
    std::vector<int> budgets;
    const char* p = list;
    while (*p != '\0') {
        char* end;
        const long budget = std::strtol(p, &end, 10);
        if (end == p || budget <= 0 || budget > 1000000 || (*end != ',' && *end != '\0')) return {};
        budgets.push_back(static_cast<int>(budget));
        p = *end == ',' ? end + 1 : end;
    }
    return budgets;
}

// Searches every position at every budget, prints a line per search when verbose and a
// table per budget; only, when not null, names the one position to search. Returns the exit
// status: 0, or 1 when a search answered no empty square or changed the position (a fault
// whatever the timing; the times themselves are only reported).
int run(const std::vector<int>& budgets, const char* only, bool verbose) {
    const std::vector<Position> positions = allPositions();
    std::vector<std::vector<Search>> byBudget(budgets.size());
    int faults = 0;
    if (verbose)
        std::printf("%-13s %7s %9s %9s %9s %6s\n", "position", "budget", "deadline", "ms", "past",
                    "depth");
    for (const Position& position : positions) {
        if (only != nullptr && position.name != only) continue;
        for (size_t b = 0; b < budgets.size(); ++b) {
            // A fresh engine each time: no table entries left from the searches before.
            auto engine = setUp(position);
            Search search{&position, 0, 0, 0};
            if (engine == nullptr || !searchOnce(*engine, budgets[b], search)) {
                std::printf(
                    "FAULT: %s at %d ms: no empty square answered, or the position changed\n",
                    position.name.c_str(), budgets[b]);
                ++faults;
                continue;
            }
            if (verbose)
                std::printf("%-13s %7d %9d %9.1f %9.1f %6d\n", position.name.c_str(), budgets[b],
                            search.deadlineMs, search.elapsedMs, search.overrunMs(), search.depth);
            byBudget[b].push_back(search);
        }
    }
    if (byBudget.empty() || byBudget[0].empty()) {
        std::fprintf(stderr, "no such position: %s\n", only != nullptr ? only : "");
        return 2;
    }

    // Per budget: the time past the deadline (median, 90th and 99th percentile, worst and
    // where), the least time left before the budget, and the moves later than the budget.
    std::printf("\n%7s %9s %8s %8s %8s %8s %9s %-13s %9s %6s\n", "budget", "deadline", "searches",
                "median", "90%", "99%", "worst", "(position)", "min left", "late");
    double worstOverall = -1e9;
    int lateOverall = 0;
    for (size_t b = 0; b < budgets.size(); ++b) {
        const std::vector<Search>& searches = byBudget[b];
        std::vector<double> overruns;
        const Search* worst = &searches[0];
        double minLeft = 1e9;
        int late = 0;
        for (const Search& search : searches) {
            overruns.push_back(search.overrunMs());
            if (search.overrunMs() > worst->overrunMs()) worst = &search;
            minLeft = std::min(minLeft, budgets[b] - search.elapsedMs);
            if (search.elapsedMs > budgets[b]) ++late;
        }
        std::printf("%7d %9d %8zu %8.1f %8.1f %8.1f %9.1f %-13s %9.1f %6d\n", budgets[b],
                    searches[0].deadlineMs, searches.size(), percentile(overruns, 0.5),
                    percentile(overruns, 0.9), percentile(overruns, 0.99), worst->overrunMs(),
                    worst->position->name.c_str(), minLeft, late);
        worstOverall = std::max(worstOverall, worst->overrunMs());
        lateOverall += late;
    }
    std::printf(
        "\nms past the deadline (past the start when the deadline lies before it); min left: the "
        "budget "
        "less the slowest move\nworst %.1f ms past a deadline; moves later than their budget: %d; "
        "faults: %d\n",
        worstOverall, lateOverall, faults);
    return faults > 0 ? 1 : 0;
}

}  // namespace

int command(int argc, char** argv, int first) {
    const char* budgetList = "50,100,200,500,1000,2000,5000";
    const char* only = nullptr;
    bool verbose = false;
    const bench::Parsed parsed = bench::parseFlags(argc, argv, first,
                                                   {{"--budgets", nullptr, &budgetList},
                                                    {"--position", nullptr, &only},
                                                    {"--verbose", nullptr, nullptr, &verbose}});
    const std::vector<int> budgets = parseBudgets(budgetList);
    if (const int status = bench::usageStatus(parsed, !budgets.empty(), USAGE); status >= 0)
        return status;
    return run(budgets, only, verbose);
}

}  // namespace quillmot::lateness
