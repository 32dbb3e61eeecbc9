// quillmot-bench: searches a fixed suite of positions to a fixed depth, each from a clean
// engine and without a deadline, and prints the nodes, the moves and the speed. The total
// node count is the engine's functional signature: any change of search behaviour changes
// it, and a change that only makes the engine faster keeps it.
//
//   quillmot-bench [--depth N] [--position NAME] [--expect SIGNATURE] [--list]
//   quillmot-bench --budget MS [--position NAME]
//
// With --budget each position is searched as in a game, for that many milliseconds up to
// depth 20, and the deepest completed iteration is shown; node counts then depend on the
// machine and give no signature.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/positions.h"
#include "engine/engine.h"

namespace quillmot {
namespace {

using positions::BenchPosition;
using positions::SUITE;

constexpr int DEFAULT_DEPTH = 9;

struct Options {
    int depth = DEFAULT_DEPTH;
    int budget = 0;
    const char* only = nullptr;
    long long expect = -1;
    bool list = false;
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
        } else if (std::strcmp(argv[i], "--list") == 0) {
            options.list = true;
        } else {
            return false;
        }
    }
    return options.depth >= FIRST_DEPTH && options.depth <= MAX_SEARCH_DEPTH && options.budget >= 0;
}

int run(const Options& options) {
    long long totalNodes = 0, totalThreatNodes = 0;
    double totalSeconds = 0;
    int searched = 0;
    std::printf("%-13s %7s %11s %11s %6s %9s %6s\n", "position", "stones", "nodes", "threatNodes", "move", "ms",
                "depth");
    for (const BenchPosition& position : SUITE) {
        if (options.only != nullptr && std::strcmp(options.only, position.name) != 0) continue;
        auto engine = setUp(position);
        if (engine == nullptr) {
            std::fprintf(stderr, "bad move list in %s\n", position.name);
            return 2;
        }
        // Without a budget the depth ends the search, never the clock.
        engine->maxDepth = options.budget > 0 ? MAX_SEARCH_DEPTH : options.depth;
        engine->timeBudget = options.budget > 0 ? options.budget : 1 << 30;
        int x, y;
        const auto start = std::chrono::steady_clock::now();
        engine->iterativeDeepening(x, y);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-13s %7d %11lld %11lld %3d,%-2d %9.1f %6d\n", position.name, engine->stoneCount(),
                    static_cast<long long>(engine->nodes),
                    static_cast<long long>(engine->threatNodes), x, y, seconds * 1000, engine->completedDepth);
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
        std::fprintf(stderr, "usage: quillmot-bench [--depth 5..20 | --budget MS] [--position NAME] [--expect SIGNATURE] [--list]\n");
        return 2;
    }
    if (options.list) {
        for (const auto& position : quillmot::SUITE) std::printf("%s\n", position.name);
        return 0;
    }
    return quillmot::run(options);
}
