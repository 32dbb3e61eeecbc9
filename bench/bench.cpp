// quillmot-bench: searches a fixed suite of positions to a fixed depth, each from a clean
// engine and without a deadline, and prints the nodes, the moves and the speed. The total
// node count is the engine's functional signature: any change of search behaviour changes
// it, and a change that only makes the engine faster keeps it. Its other subcommands time
// the turn driver's search, play the levels against each other and show their moves.
//
//   quillmot-bench [search] [OPTIONS]   the suite (the default subcommand)
//   quillmot-bench report [OPTIONS]     the suite with every iteration's report
//   quillmot-bench level N [OPTIONS]    a level of play's move for each position
//   quillmot-bench lateness [OPTIONS]   how late the turn driver's search answers
//   quillmot-bench ladder [OPTIONS]     games between neighbouring levels
//   quillmot-bench puzzles [OPTIONS]    makes and verifies the page's puzzles
//   quillmot-bench review GAME          the review of a game, as the page makes it
//
// Each subcommand takes --help. Another build of the engine (the WebAssembly module) is
// checked against this one by feeding both the same position line (search --show, --game).
#include <cstdio>
#include <cstring>

#include "bench/ladder.h"
#include "bench/lateness.h"
#include "bench/puzzles.h"
#include "bench/review.h"
#include "bench/suite.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv, int first);
};

// clang-format off
constexpr Subcommand SUBCOMMANDS[] = {
    {"search", quillmot::bench::searchCommand}, {"report", quillmot::bench::reportCommand},
    {"level", quillmot::bench::levelCommand},   {"lateness", quillmot::lateness::command},
    {"ladder", quillmot::ladder::command},      {"puzzles", quillmot::puzzles::command},
    {"review", quillmot::review::command},
};
// clang-format on

constexpr const char* USAGE =
    "usage: quillmot-bench [search | report | level | lateness | ladder | puzzles | review]\n"
    "                      [OPTIONS]\n"
    "       quillmot-bench SUBCOMMAND --help\n";

}  // namespace

int main(int argc, char** argv) {
    // No subcommand, or options straight away: the suite.
    if (argc < 2 || argv[1][0] == '-') {
        if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) std::fputs(USAGE, stdout);
        return quillmot::bench::searchCommand(argc, argv, 1);
    }
    for (const Subcommand& subcommand : SUBCOMMANDS)
        if (std::strcmp(argv[1], subcommand.name) == 0) return subcommand.run(argc, argv, 2);
    std::fprintf(stderr, "unknown subcommand: %s\n%s", argv[1], USAGE);
    return 2;
}
