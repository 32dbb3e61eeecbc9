#include "bench/suite.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

#include "bench/flags.h"
#include "bench/positions.h"
#include "engine/engine.h"
#include "search/levels.h"

namespace quillmot::bench {

namespace {

using positions::BenchPosition;

constexpr int DEFAULT_DEPTH = 9;

constexpr const char* SEARCH_USAGE =
    "usage: quillmot-bench [search] [--depth 5..20 | --budget MS] [--position NAME | --game LINE]\n"
    "                      [--expect SIGNATURE]\n"
    "       quillmot-bench search --list | --show NAME\n"
    "Searches the suite (or one position) from a clean engine each: to --depth (default 9)\n"
    "without a deadline, printing the signature (the total of nodes), or as in a game for\n"
    "--budget milliseconds. --expect fails (status 1) when the signature differs. --show\n"
    "prints a position as one line, \"WIDTH HEIGHT x,y x,y ...\" in play order with \"pass\"\n"
    "for a turn given away, which --game reads back. --list names the positions.\n";
constexpr const char* REPORT_USAGE =
    "usage: quillmot-bench report [--depth 5..20 | --budget MS] [--position NAME | --game LINE]\n"
    "As search, with the report of every completed iteration below each position: depth,\n"
    "root score, the plies to a forced five when the score is one, nodes, milliseconds and\n"
    "the expected line.\n";
constexpr const char* LEVEL_USAGE =
    "usage: quillmot-bench level 1..5 [--seed S] [--budget MS] [--position NAME | --game LINE]\n"
    "The move of a level of play for each position, with its report and whether it chose\n"
    "another move than its best; full strength (5) searches for --budget ms (default 1000).\n";

// What selects the positions, shared by the three subcommands.
struct Selection {
    const char* only = nullptr;  // one position of the suite by name
    const char* game = nullptr;  // or one given as a line
    BenchPosition gamePosition{};
};

struct SearchOptions {
    long long depth = DEFAULT_DEPTH;
    long long budget = 0;
    long long expect = -1;
    bool report = false;
};

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

// The positions to search: the game line, the named position, or the whole suite. Empty,
// with the reason on stderr, when the line is bad or no position has the name.
std::span<const BenchPosition> selected(Selection& selection) {
    if (selection.game != nullptr) {
        if (!parseGame(selection.game, selection.gamePosition)) {
            std::fprintf(stderr, "bad game line: %s\n", selection.game);
            return {};
        }
        return {&selection.gamePosition, 1};
    }
    if (selection.only == nullptr) return positions::SUITE;
    for (const BenchPosition& position : positions::SUITE)
        if (std::strcmp(position.name, selection.only) == 0) return {&position, 1};
    std::fprintf(stderr, "no such position: %s\n", selection.only);
    return {};
}

// The engine on a position, or nullptr with the reason on stderr.
std::unique_ptr<Engine> engineOn(const BenchPosition& position) {
    auto engine = positions::setUp(position);
    if (engine == nullptr) std::fprintf(stderr, "bad move list in %s\n", position.name);
    return engine;
}

// The line --show prints and --game reads: "WIDTH HEIGHT x,y x,y ...".
void showPosition(const BenchPosition& position, const Engine& engine) {
    const std::string moves = positions::movesText(engine.moveHistory, engine.moveCount);
    std::printf("%d %d%s%s\n", position.width, position.height, moves.empty() ? "" : " ",
                moves.c_str());
}

// The report as report and level print it.
void printReport(const SearchReport& report) {
    std::printf("  depth %2d score %6d", report.depth, report.score);
    if (const int plies = forcedPlies(report.score, report.lineLength))
        std::printf(" (five in %d)", plies);
    const std::string line = positions::movesText(report.line, report.lineLength);
    std::printf(" nodes %lld ms %lld pv%s%s\n", static_cast<long long>(report.nodes),
                static_cast<long long>(report.milliseconds), line.empty() ? "" : " ", line.c_str());
}

void printIteration(void*, const Engine&, const SearchReport& report) { printReport(report); }

int runSuite(const SearchOptions& options, std::span<const BenchPosition> suite) {
    long long totalNodes = 0, totalThreatNodes = 0;
    double totalSeconds = 0;
    std::printf("%-13s %7s %11s %11s %6s %9s %6s\n", "position", "stones", "nodes", "threatNodes",
                "move", "ms", "depth");
    for (const BenchPosition& position : suite) {
        auto engine = engineOn(position);
        if (engine == nullptr) return 2;
        SearchLimits limits;
        if (options.report) limits.onReport = printIteration;
        // Without a budget the depth ends the search, never the clock.
        if (options.budget > 0)
            engine->setSearchBudget(static_cast<int>(options.budget));
        else
            engine->setSearchBudget(NO_DEADLINE_MS, static_cast<int>(options.depth));
        const auto start = std::chrono::steady_clock::now();
        const ProtocolSquare move = toProtocol(engine->deepen(limits));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-13s %7d %11lld %11lld %3d,%-2d %9.1f %6d\n", position.name,
                    engine->stoneCount(), static_cast<long long>(engine->nodes),
                    static_cast<long long>(engine->threatNodes), move.x, move.y, seconds * 1000,
                    engine->completedDepth);
        totalNodes += engine->nodes;
        totalThreatNodes += engine->threatNodes;
        totalSeconds += seconds;
    }
    if (options.budget > 0)
        std::printf("\npositions %zu, budget %lld ms, threat nodes %lld, time %.2f s\n",
                    suite.size(), options.budget, totalThreatNodes, totalSeconds);
    else
        std::printf("\npositions %zu, depth %lld, threat nodes %lld, time %.2f s\n", suite.size(),
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

int suiteCommand(int argc, char** argv, int first, bool report) {
    SearchOptions options;
    options.report = report;
    Selection selection;
    const char* show = nullptr;
    bool list = false;
    const Parsed parsed = report ? parseFlags(argc, argv, first,
                                              {{"--depth", &options.depth},
                                               {"--budget", &options.budget},
                                               {"--position", nullptr, &selection.only},
                                               {"--game", nullptr, &selection.game}})
                                 : parseFlags(argc, argv, first,
                                              {{"--depth", &options.depth},
                                               {"--budget", &options.budget},
                                               {"--position", nullptr, &selection.only},
                                               {"--game", nullptr, &selection.game},
                                               {"--expect", &options.expect},
                                               {"--show", nullptr, &show},
                                               {"--list", nullptr, nullptr, &list}});
    const bool valid = options.depth >= FIRST_DEPTH && options.depth <= MAX_SEARCH_DEPTH &&
                       options.budget >= 0 && options.budget <= NO_DEADLINE_MS;
    if (const int status = usageStatus(parsed, valid, report ? REPORT_USAGE : SEARCH_USAGE);
        status >= 0)
        return status;
    if (list) {
        for (const BenchPosition& position : positions::SUITE) std::printf("%s\n", position.name);
        return 0;
    }
    if (show != nullptr) selection.only = show;
    const std::span<const BenchPosition> suite = selected(selection);
    if (suite.empty()) return 2;
    if (show != nullptr) {
        auto engine = engineOn(suite[0]);
        if (engine == nullptr) return 2;
        showPosition(suite[0], *engine);
        return 0;
    }
    return runSuite(options, suite);
}

}  // namespace

int searchCommand(int argc, char** argv, int first) {
    return suiteCommand(argc, argv, first, false);
}

int reportCommand(int argc, char** argv, int first) {
    return suiteCommand(argc, argv, first, true);
}

int levelCommand(int argc, char** argv, int first) {
    char* end = nullptr;
    const long level = first < argc ? std::strtol(argv[first], &end, 10) : 0;
    const bool haveLevel = end != nullptr && end != argv[first] && *end == '\0';
    long long seed = 0, budget = 1000;
    Selection selection;
    const Parsed parsed = haveLevel ? parseFlags(argc, argv, first + 1,
                                                 {{"--seed", &seed},
                                                  {"--budget", &budget},
                                                  {"--position", nullptr, &selection.only},
                                                  {"--game", nullptr, &selection.game}})
                                    : parseFlags(argc, argv, first, {});
    const bool valid = haveLevel && findLevel(static_cast<int>(level)) != nullptr && seed >= 0 &&
                       seed <= UINT32_MAX && budget > 0 && budget <= NO_DEADLINE_MS;
    if (const int status = usageStatus(parsed, valid, LEVEL_USAGE); status >= 0) return status;
    const std::span<const BenchPosition> suite = selected(selection);
    if (suite.empty()) return 2;
    for (const BenchPosition& position : suite) {
        auto engine = engineOn(position);
        if (engine == nullptr) return 2;
        const Point move = levelMove(*engine, static_cast<int>(level), static_cast<int>(budget),
                                     static_cast<uint32_t>(seed));
        const ProtocolSquare square = isSquare(move) ? toProtocol(move) : ProtocolSquare{-1, -1};
        std::printf("%s level %ld seed %lld move %d,%d%s\n", position.name, level, seed, square.x,
                    square.y, engine->report.otherMove ? " (not its best)" : "");
        printReport(engine->report);
    }
    return 0;
}

}  // namespace quillmot::bench
