// quillmot-bench: searches a fixed suite of positions to a fixed depth, each from a clean
// engine and without a deadline, and prints the nodes, the moves and the speed. The total
// node count is the engine's functional signature: any change of search behaviour changes
// it, and a change that only makes the engine faster keeps it.
//
//   quillmot-bench [--depth N] [--position NAME] [--expect SIGNATURE] [--list]
//   quillmot-bench --budget MS [--position NAME]
//   quillmot-bench --show NAME
//   quillmot-bench [--depth N | --budget MS] --game "WIDTH HEIGHT x,y x,y ..."
//   quillmot-bench --lateness [--budgets MS,MS,...] [--position NAME] [--verbose]
//   quillmot-bench --report ...
//   quillmot-bench --level N [--seed S] [--budget MS] [--position NAME | --game "..."]
//   quillmot-bench --ladder [--openings N] [--pair N] [--full-ms MS] [--verbose]
//
// With --budget each position is searched as in a game, for that many milliseconds up to
// depth 20, and the deepest completed iteration is shown; node counts then depend on the
// machine and give no signature.
//
// --show prints a position as one line, the width, the height and its stones in play
// order ("pass" where a side gave the turn away); --game searches such a line instead of
// the suite.
//
// --lateness times the turn driver's search, from its start to the move, on the suite and
// on random crowded and threat-rich boards at each budget (default 50, 100, 200, 500, 1000,
// 2000 and 5000 ms), and prints per budget how far past the deadline the moves came and how
// many came later than the budget (lateness.cpp).
//
// --report prints below each position the search's report of every completed iteration:
// depth, root score, the plies to a forced five when the score is one, nodes, milliseconds
// and the expected line. The rows and the signature stay as they are.
//
// --level plays each position at a level of play (1 to 5) with the seed S (default 0):
// the move, the report's depth, score and line, and whether the level chose another move
// than its best. Full strength takes --budget (default 1000 ms).
//
// --ladder plays games between neighbouring levels and between the weakest level and a
// simple player, and prints the scores and each level's time per move (ladder.cpp).
//
// Another build of the engine
// (the WebAssembly module) is checked against this one by feeding both the same line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "bench/ladder.h"
#include "bench/lateness.h"
#include "bench/positions.h"
#include "engine/engine.h"
#include "search/levels.h"

namespace quillmot {
namespace {

using positions::BenchPosition;
using positions::setUp;
using positions::SUITE;

constexpr int DEFAULT_DEPTH = 9;

struct Options {
    int depth = DEFAULT_DEPTH;
    int budget = 0;
    const char* only = nullptr;
    long long expect = -1;
    bool list = false;
    const char* show = nullptr;
    const char* game = nullptr;
    bool lateness = false;
    const char* budgets = "50,100,200,500,1000,2000,5000";
    bool verbose = false;
    bool report = false;
    int level = 0;
    uint32_t seed = 0;
    bool ladder = false;
    ladder::Options ladderOptions;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--depth") == 0 && hasValue) {
            options.depth = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--budget") == 0 && hasValue) {
            options.budget = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--position") == 0 && hasValue) {
            options.only = argv[++i];
        } else if (std::strcmp(argv[i], "--expect") == 0 && hasValue) {
            options.expect = std::atoll(argv[++i]);
        } else if (std::strcmp(argv[i], "--show") == 0 && hasValue) {
            options.show = argv[++i];
        } else if (std::strcmp(argv[i], "--game") == 0 && hasValue) {
            options.game = argv[++i];
        } else if (std::strcmp(argv[i], "--lateness") == 0) {
            options.lateness = true;
        } else if (std::strcmp(argv[i], "--budgets") == 0 && hasValue) {
            options.budgets = argv[++i];
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            options.verbose = true;
        } else if (std::strcmp(argv[i], "--report") == 0) {
            options.report = true;
        } else if (std::strcmp(argv[i], "--level") == 0 && hasValue) {
            options.level = std::atoi(argv[++i]);
            if (findLevel(options.level) == nullptr) return false;
        } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--ladder") == 0) {
            options.ladder = true;
        } else if (std::strcmp(argv[i], "--openings") == 0 && hasValue) {
            options.ladderOptions.openings = std::atoi(argv[++i]);
            options.ladderOptions.simpleOpenings = options.ladderOptions.openings / 2;
        } else if (std::strcmp(argv[i], "--pair") == 0 && hasValue) {
            options.ladderOptions.only = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--full-ms") == 0 && hasValue) {
            options.ladderOptions.fullStrengthMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--list") == 0) {
            options.list = true;
        } else {
            return false;
        }
    }
    return options.depth >= FIRST_DEPTH && options.depth <= MAX_SEARCH_DEPTH && options.budget >= 0;
}

// The line --show prints and --game reads: "WIDTH HEIGHT x,y x,y ...".
void showPosition(const BenchPosition& position, const Engine& engine) {
    std::printf("%d %d", position.width, position.height);
    for (int i = 0; i < engine.moveCount; ++i) {
        const Point p = engine.moveHistory[i];
        if (p.x == 0)
            std::printf(" pass");
        else
            std::printf(" %d,%d", p.x - BORDER, p.y - BORDER);
    }
    std::printf("\n");
}

// The report as --report and --level print it, protocol coordinates.
void printReport(const SearchReport& report) {
    std::printf("  depth %2d score %6d", report.depth, report.score);
    if (const int plies = forcedPlies(report.score, report.lineLength))
        std::printf(" (five in %d)", plies);
    std::printf(" nodes %lld ms %lld pv", static_cast<long long>(report.nodes),
                static_cast<long long>(report.milliseconds));
    for (int i = 0; i < report.lineLength; ++i)
        std::printf(" %d,%d", report.line[i].x - BORDER, report.line[i].y - BORDER);
    std::printf("\n");
}

void printIteration(void*, const Engine&, const SearchReport& report) { printReport(report); }

// A position from a --game line; false when its size is outside 5 .. 32.
bool parseGame(const char* line, BenchPosition& position) {
    int consumed = 0;
    if (std::sscanf(line, "%d %d%n", &position.width, &position.height, &consumed) != 2)
        return false;
    position.name = "game";
    position.moves = line + consumed;
    return position.width >= MIN_BOARD && position.width <= MAX_BOARD &&
           position.height >= MIN_BOARD && position.height <= MAX_BOARD;
}

int run(const Options& options, const BenchPosition* suite, size_t suiteSize) {
    long long totalNodes = 0, totalThreatNodes = 0;
    double totalSeconds = 0;
    int searched = 0;
    if (options.show == nullptr && options.level == 0)
        std::printf("%-13s %7s %11s %11s %6s %9s %6s\n", "position", "stones", "nodes",
                    "threatNodes", "move", "ms", "depth");
    for (const BenchPosition& position : std::span(suite, suiteSize)) {
        if (options.only != nullptr && std::strcmp(options.only, position.name) != 0) continue;
        auto engine = setUp(position);
        if (engine == nullptr) {
            std::fprintf(stderr, "bad move list in %s\n", position.name);
            return 2;
        }
        if (options.show != nullptr) {
            showPosition(position, *engine);
            return 0;
        }
        if (options.level > 0) {
            int x, y;
            const bool moved =
                levelMove(*engine, options.level, options.budget > 0 ? options.budget : 1000,
                          options.seed, x, y);
            std::printf("%s level %d seed %u move %d,%d%s\n", position.name, options.level,
                        options.seed, moved ? x : -1, moved ? y : -1,
                        engine->report.otherMove ? " (not its best)" : "");
            printReport(engine->report);
            ++searched;
            continue;
        }
        if (options.report) engine->reportCallback = printIteration;
        // Without a budget the depth ends the search, never the clock.
        engine->maxDepth = options.budget > 0 ? MAX_SEARCH_DEPTH : options.depth;
        engine->timeBudget = options.budget > 0 ? options.budget : 1 << 30;
        int x, y;
        const auto start = std::chrono::steady_clock::now();
        engine->iterativeDeepening(x, y);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-13s %7d %11lld %11lld %3d,%-2d %9.1f %6d\n", position.name,
                    engine->stoneCount(), static_cast<long long>(engine->nodes),
                    static_cast<long long>(engine->threatNodes), x, y, seconds * 1000,
                    engine->completedDepth);
        totalNodes += engine->nodes;
        totalThreatNodes += engine->threatNodes;
        totalSeconds += seconds;
        ++searched;
    }
    if (searched == 0) {
        std::fprintf(stderr, "no such position: %s\n", options.only);
        return 2;
    }
    if (options.level > 0) return 0;
    if (options.budget > 0)
        std::printf("\npositions %d, budget %d ms, threat nodes %lld, time %.2f s\n", searched,
                    options.budget, totalThreatNodes, totalSeconds);
    else
        std::printf("\npositions %d, depth %d, threat nodes %lld, time %.2f s\n", searched,
                    options.depth, totalThreatNodes, totalSeconds);
    std::printf("nodes/second %.0f\n", totalSeconds > 0 ? totalNodes / totalSeconds : 0.0);
    if (options.budget > 0) return 0;
    std::printf("signature %lld\n", totalNodes);
    if (options.expect >= 0 && options.expect != totalNodes) {
        std::printf("signature differs from the expected %lld\n", options.expect);
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace quillmot

int main(int argc, char** argv) {
    quillmot::Options options;
    if (!quillmot::parseOptions(argc, argv, options)) {
        std::fprintf(
            stderr,
            "usage: quillmot-bench [--depth 5..20 | --budget MS] [--position NAME | --game \"W H "
            "x,y ...\"] "
            "[--expect SIGNATURE] [--list] [--show NAME]\n"
            "       quillmot-bench --lateness [--budgets MS,MS,...] [--position NAME] [--verbose]\n"
            "       quillmot-bench --level 1..5 [--seed S] [--budget MS] "
            "[--position NAME | --game LINE]\n"
            "       quillmot-bench --ladder [--openings N] [--pair N] [--full-ms MS] "
            "[--verbose]\n");
        return 2;
    }
    if (options.ladder) {
        options.ladderOptions.verbose = options.verbose;
        return quillmot::ladder::run(options.ladderOptions);
    }
    if (options.lateness) {
        const std::vector<int> budgets = quillmot::lateness::parseBudgets(options.budgets);
        if (budgets.empty()) {
            std::fprintf(stderr, "bad budget list: %s\n", options.budgets);
            return 2;
        }
        return quillmot::lateness::run(budgets, options.only, options.verbose);
    }
    if (options.show != nullptr) options.only = options.show;
    if (options.game != nullptr) {
        quillmot::positions::BenchPosition game{};
        if (!quillmot::parseGame(options.game, game)) {
            std::fprintf(stderr, "bad game line: %s\n", options.game);
            return 2;
        }
        return quillmot::run(options, &game, 1);
    }
    if (options.list) {
        for (const auto& position : quillmot::positions::SUITE) std::printf("%s\n", position.name);
        return 0;
    }
    return quillmot::run(options, quillmot::positions::SUITE,
                         std::size(quillmot::positions::SUITE));
}
