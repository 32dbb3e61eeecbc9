// quillmot-bench: searches a fixed suite of positions to a fixed depth, each from a clean
// engine and without a deadline, and prints the nodes, the moves and the speed. The total
// node count is the engine's functional signature: any change of search behaviour changes
// it, and a change that only makes the engine faster keeps it.
//
//   quillmot-bench [--depth N] [--position NAME] [--expect SIGNATURE] [--list]
//   quillmot-bench --budget MS [--position NAME]
//   quillmot-bench --show NAME
//   quillmot-bench [--depth N | --budget MS] --game "WIDTH HEIGHT x,y x,y ..."
//
// With --budget each position is searched as in a game, for that many milliseconds up to
// depth 20, and the deepest completed iteration is shown; node counts then depend on the
// machine and give no signature.
//
// --show prints a position as one line, the width, the height and its stones in play
// order; --game searches such a line instead of the suite. Another build of the engine
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

#include "engine/engine.h"
#include "test_positions.h"
#include "test_util.h"

namespace quillmot {
namespace {

constexpr int DEFAULT_DEPTH = 9;

struct BenchPosition {
    const char* name;
    int width, height;
    const char* moves;  // protocol coordinates, in play order; or empty with rows
    const std::vector<std::string>* rows = nullptr;
};

// Openings and middle games from self-play, and the tactical test positions.
// clang-format off
const BenchPosition SUITE[] = {
    {"open15a", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7"},
    {"open15b", 15, 15, "7,7 8,7 6,9 8,9 6,8 7,6"},
    {"open15c", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7"},
    {"open15d", 15, 15, "7,7 5,9 6,8 9,6 8,8 5,8"},
    {"open15e", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7"},
    {"open15f", 15, 15, "7,7 5,6 8,7 9,7 7,8 7,6"},
    {"mid15a", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7 7,5 7,4 6,5 8,7 8,5 5,5 9,4 10,3"},
    {"mid15b", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7 7,5 7,4 6,5 8,7 8,5 5,5 9,4 10,3 8,6 11,3 5,8 6,7 9,3 9,6"},
    {"mid15c", 15, 15, "7,7 8,7 6,9 8,9 6,8 7,6 9,8 8,8 8,6 9,5 6,10 6,11 8,10 7,3"},
    {"mid15d", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7"},
    {"mid15e", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7 9,8 9,7 4,5 3,4 5,4 7,5 "
                       "8,4 3,6 6,4 7,4"},
    {"late15", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7 9,8 9,7 4,5 3,4 5,4 7,5 "
                       "8,4 3,6 6,4 7,4 7,3 4,6 3,5 4,8 3,9 2,5"},
    {"mid15f", 15, 15, "7,7 5,9 6,8 9,6 8,8 5,8 5,7 6,7 7,9 4,6"},
    {"mid15g", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7 8,8 5,5 9,7 7,8 9,6 9,8 7,6 8,6"},
    {"mid15h", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7 8,8 5,5 9,7 7,8 9,6 9,8 7,6 8,6 10,6 5,10 4,11 7,9"},
    {"mid15i", 15, 15, "7,7 5,6 8,7 9,7 7,8 7,6 8,6 9,5 8,8 8,9 9,8 10,8 6,6 9,9"},
    {"quiet15", 15, 15, "", &testing::MIDDLE_GAME},
    {"open20a", 20, 20, "10,10 9,12 8,10 11,10 9,9 10,11"},
    {"mid20a", 20, 20, "10,10 9,12 8,10 11,10 9,9 10,11 12,9 7,11 11,9 10,9 8,8 7,7 9,11 12,8 9,8 12,10"},
    {"open20b", 20, 20, "10,10 11,11 11,9 12,11 10,9 12,10"},
    {"mid20b", 20, 20, "10,10 11,11 11,9 12,11 10,9 12,10 10,12 10,11 9,11 12,8 12,9 9,9 8,12 7,13"},
    {"open20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7"},
    {"mid20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7 11,11 12,12 10,12 12,10 10,8 9,8 10,11 10,9 12,11 "
                       "13,11"},
    {"late20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7 11,11 12,12 10,12 12,10 10,8 9,8 10,11 10,9 12,11 "
                        "13,11 10,13 10,14 11,13 9,11 12,13 8,7 7,6 14,12 15,13 9,13"},
    {"open20d", 20, 20, "10,10 8,11 12,12 12,10 11,11 13,13"},
    {"mid20d", 20, 20, "10,10 8,11 12,12 12,10 11,11 13,13 11,9 10,9 11,10 11,8 9,10 9,11 11,12 11,13 8,10 "
                       "7,10"},
    {"open20e", 20, 20, "10,10 10,12 8,11 12,9 9,12 9,10"},
    {"mid20e", 20, 20, "10,10 10,12 8,11 12,9 9,12 9,10 7,10 6,9 9,11 8,12 10,11 11,11 8,13 11,10 6,11 7,11"},
    {"rect20x12", 20, 12, "10,6 11,7 9,7 12,6 10,8 10,7"},
    {"big32a", 32, 32, "16,16 17,17 15,17 15,18 17,16 14,18 18,16 15,16 17,15 13,18"},
    {"big32b", 32, 32, "16,16 18,15 15,18 16,15 15,15 17,17 14,16 15,16 14,17 17,14"},
    {"fours5", 15, 15, "", &testing::FOURS_IN_5},
    {"fours7", 15, 15, "", &testing::FOURS_IN_7},
    {"fours9", 15, 15, "", &testing::FOURS_IN_9},
    {"fourThree", 15, 15, "", &testing::FOUR_THREE},
    {"doubleThrees", 15, 15, "", &testing::TWO_DOUBLE_THREES},
};
// clang-format on

struct Options {
    int depth = DEFAULT_DEPTH;
    int budget = 0;
    const char* only = nullptr;
    long long expect = -1;
    bool list = false;
    const char* show = nullptr;
    const char* game = nullptr;
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
        } else if (std::strcmp(argv[i], "--list") == 0) {
            options.list = true;
        } else {
            return false;
        }
    }
    return options.depth >= FIRST_DEPTH && options.depth <= MAX_SEARCH_DEPTH && options.budget >= 0;
}

// A clean engine holding the position, or nullptr when its move list is malformed.
std::unique_ptr<Engine> setUp(const BenchPosition& position) {
    if (position.rows != nullptr) return testing::positionFromRows(*position.rows);
    auto engine = testing::startedEngine(position.width, position.height);
    std::istringstream moves(position.moves);
    std::string move;
    while (moves >> move) {
        int x, y;
        if (std::sscanf(move.c_str(), "%d,%d", &x, &y) != 2 || x < 0 || x >= position.width || y < 0 ||
            y >= position.height || engine->cells[x + BORDER][y + BORDER].state != EMPTY)
            return nullptr;
        engine->move(x, y);
    }
    return engine;
}

// The line --show prints and --game reads: "WIDTH HEIGHT x,y x,y ...".
void showPosition(const BenchPosition& position, const Engine& engine) {
    std::printf("%d %d", position.width, position.height);
    for (int i = 0; i < engine.moveCount; ++i)
        std::printf(" %d,%d", engine.moveHistory[i].x - BORDER, engine.moveHistory[i].y - BORDER);
    std::printf("\n");
}

// A position from a --game line; false when its size is outside 5 .. 32.
bool parseGame(const char* line, BenchPosition& position) {
    int consumed = 0;
    if (std::sscanf(line, "%d %d%n", &position.width, &position.height, &consumed) != 2) return false;
    position.name = "game";
    position.moves = line + consumed;
    return position.width >= MIN_BOARD && position.width <= MAX_BOARD && position.height >= MIN_BOARD &&
           position.height <= MAX_BOARD;
}

int run(const Options& options, const BenchPosition* suite, size_t suiteSize) {
    long long totalNodes = 0, totalThreatNodes = 0;
    double totalSeconds = 0;
    int searched = 0;
    if (options.show == nullptr)
        std::printf("%-13s %7s %11s %11s %6s %9s %6s\n", "position", "stones", "nodes", "threatNodes", "move", "ms",
                    "depth");
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
        // Without a budget the depth ends the search, never the clock.
        engine->maxDepth = options.budget > 0 ? MAX_SEARCH_DEPTH : options.depth;
        engine->timeBudget = options.budget > 0 ? options.budget : 1 << 30;
        int x, y;
        const auto start = std::chrono::steady_clock::now();
        engine->iterativeDeepening(x, y);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-13s %7d %11d %11d %3d,%-2d %9.1f %6d\n", position.name, engine->moveCount, engine->nodes,
                    engine->threatNodes, x, y, seconds * 1000, engine->completedDepth);
        totalNodes += engine->nodes;
        totalThreatNodes += engine->threatNodes;
        totalSeconds += seconds;
        ++searched;
    }
    if (searched == 0) {
        std::fprintf(stderr, "no such position: %s\n", options.only);
        return 2;
    }
    if (options.budget > 0)
        std::printf("\npositions %d, budget %d ms, threat nodes %lld, time %.2f s\n", searched, options.budget,
                    totalThreatNodes, totalSeconds);
    else
        std::printf("\npositions %d, depth %d, threat nodes %lld, time %.2f s\n", searched, options.depth,
                    totalThreatNodes, totalSeconds);
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
        std::fprintf(stderr,
                     "usage: quillmot-bench [--depth 5..20 | --budget MS] [--position NAME | --game \"W H x,y ...\"] "
                     "[--expect SIGNATURE] [--list] [--show NAME]\n");
        return 2;
    }
    if (options.show != nullptr) options.only = options.show;
    if (options.game != nullptr) {
        quillmot::BenchPosition game{};
        if (!quillmot::parseGame(options.game, game)) {
            std::fprintf(stderr, "bad game line: %s\n", options.game);
            return 2;
        }
        return quillmot::run(options, &game, 1);
    }
    if (options.list) {
        for (const auto& position : quillmot::SUITE) std::printf("%s\n", position.name);
        return 0;
    }
    return quillmot::run(options, quillmot::SUITE, std::size(quillmot::SUITE));
}
