#include "bench/ladder.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/flags.h"
#include "bench/positions.h"
#include "engine/engine.h"
#include "engine/fives.h"
#include "search/levels.h"
#include "search/openings.h"

namespace quillmot::ladder {

namespace {

constexpr const char* USAGE =
    "usage: quillmot-bench ladder [--openings N] [--pair N] [--full-ms MS] [--verbose]\n"
    "Plays each level against the next from N seeded balanced three-stone openings (default\n"
    "40), each with both colours, and level 1 against a simple player that only extends its\n"
    "longest line (from N / 2 openings); full strength takes MS per move (default 1000).\n"
    "--pair 0 plays only the simple player's pairing, --pair L only level L against L + 1.\n"
    "--try \"N=DEPTH,SPREAD,CAP,NODES;...\" plays level N as given instead (depth 0: the full\n"
    "search at NODES a move), for tuning the table.\n"
    "Prints the scores and each player's time per move; the status is 1 only when a player\n"
    "answered a square that is not empty.\n";

constexpr int BOARD = 15;
constexpr int SIMPLE = 0;  // the simple player, in place of a level number
constexpr uint64_t OPENING_SEED = 2026;
constexpr uint64_t SIMPLE_OPENING_SEED = 12;

struct Player {
    int number;          // SIMPLE for the simple player
    const Level* level;  // nullptr for the simple player
    std::unique_ptr<Engine> engine;
};

struct Tally {
    double ms = 0;
    long moves = 0;
};

const char* playerName(const Options& options, int number) {
    return number == SIMPLE ? "simple player" : options.levels[number].name;
}

bool makesFive(const Engine& e, Point stone) {
    Point squares[MAX_FIVE_SQUARES];
    return fiveThrough(e, stone, squares) > 0;
}

// The simple player: its own five, else the block of the opponent's, else the square that
// makes its own longest line among those with room for five (ties drawn at random).
// Engine coordinates.
Point simpleMove(const Engine& e, LevelRandom& random) {
    const int me = e.sideToMove, opp = e.otherSide;
    int x = 0, y = 0;
    if (e.classCounts[me][CLASS_FIVE] > 0 && e.findFiveSquare(x, y))
        return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    if (e.classCounts[opp][CLASS_FIVE] > 0) {
        const bool found = scanWindow(e.window, [&](int cx, int cy) {
            if (e.cells[cx][cy].threatClass[opp] != CLASS_FIVE || !e.isCandidate(e.cells[cx][cy]))
                return false;
            x = cx;
            y = cy;
            return true;
        });
        if (found) return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    }
    int bestRun = -1, ties = 0;
    scanWindow(e.boardWindow(), [&](int cx, int cy) {
        if (e.cells[cx][cy].state != EMPTY) return;
        int longest = 0;
        for (int k = 0; k < DIRECTIONS; ++k) {
            int run = 1, room = 1;
            for (int s = -1; s <= 1; s += 2) {
                bool inRun = true;
                for (int d = 1; d <= 4; ++d) {
                    const int state = e.cells[cx + s * d * DIR_DX[k]][cy + s * d * DIR_DY[k]].state;
                    if (state != me && state != EMPTY) break;
                    ++room;
                    inRun = inRun && state == me;
                    if (inRun) ++run;
                }
            }
            if (room >= 5 && run > longest) longest = run;
        }
        if (longest > bestRun) {
            bestRun = longest;
            ties = 0;
        }
        if (longest == bestRun && random.below(++ties) == 0) {
            x = cx;
            y = cy;
        }
    });
    return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
}

// Seeded balanced openings, the same every run.
std::vector<Opening> makeOpenings(int count, uint64_t seed) {
    LevelRandom random(seed);
    auto engine = positions::startedEngine(BOARD);
    std::vector<Opening> openings;
    while (static_cast<int>(openings.size()) < count)
        openings.push_back(drawBalancedOpening(*engine, random));
    return openings;
}

// One game: the two players, the opening they start from, and where the times go.
struct Game {
    Player& black;
    Player& white;
    const Opening& opening;
    uint64_t seed;  // of the simple player's ties and of the levels' choices
    int fullStrengthMs;
    Tally* tallies;  // per player, the simple player's first
};

struct Outcome {
    int result = 0;      // 1 when Black wins, -1 when White does, 0 for a full board or a fault
    int moves = 0;       // stones on the board at the end, less one
    bool fault = false;  // a player answered a square that is not empty
};

Outcome play(const Game& game) {
    Player* players[2] = {&game.black, &game.white};
    for (Player* p : players) {
        p->engine->start(BOARD);
        for (const Point& s : game.opening) p->engine->makeMove(s.x, s.y);
    }
    LevelRandom random(game.seed);
    const Engine& board = *game.black.engine;
    Outcome outcome;
    for (outcome.moves = static_cast<int>(game.opening.size());; ++outcome.moves) {
        if (outcome.moves >= BOARD * BOARD) return outcome;
        Player& mover = *players[outcome.moves % 2];
        const auto start = std::chrono::steady_clock::now();
        const Point move = mover.level == nullptr ? simpleMove(*mover.engine, random)
                                                  : playLevel(*mover.engine, *mover.level,
                                                              game.fullStrengthMs, random.next());
        Tally& tally = game.tallies[mover.number];
        tally.ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ++tally.moves;
        if (!board.isEmptySquare(move)) {
            const ProtocolSquare square = toProtocol(move);
            std::printf("  %s answered %d,%d, not an empty square\n",
                        mover.level == nullptr ? "simple player" : mover.level->name, square.x,
                        square.y);
            outcome.fault = true;
            return outcome;
        }
        for (Player* p : players) p->engine->makeMove(move.x, move.y);
        if (makesFive(board, move)) {
            outcome.result = outcome.moves % 2 == 0 ? 1 : -1;
            return outcome;
        }
    }
}

struct Score {
    int wins = 0, losses = 0, draws = 0;  // of the stronger player
    double percent() const {
        const int games = wins + losses + draws;
        return games > 0 ? 100.0 * (wins + 0.5 * draws) / games : 0;
    }
};

// Every opening twice, the stronger player Black in the first game.
Score pairing(int weaker, int stronger, const std::vector<Opening>& openings,
              const Options& options, Tally* tallies, bool& fault) {
    auto level = [&](int number) { return number == SIMPLE ? nullptr : &options.levels[number]; };
    Player weak{weaker, level(weaker), std::make_unique<Engine>()};
    Player strong{stronger, level(stronger), std::make_unique<Engine>()};
    Score score;
    for (size_t i = 0; i < openings.size(); ++i) {
        for (int strongBlack = 1; strongBlack >= 0; --strongBlack) {
            const uint64_t seed = 1000 * (weaker + 1) + 2 * i + strongBlack;
            const Outcome outcome =
                play(Game{strongBlack ? strong : weak, strongBlack ? weak : strong, openings[i],
                          seed, options.fullStrengthMs, tallies});
            fault = fault || outcome.fault;
            const int forStrong = strongBlack ? outcome.result : -outcome.result;
            if (forStrong > 0) ++score.wins;
            if (forStrong < 0) ++score.losses;
            if (forStrong == 0) ++score.draws;
            if (options.verbose)
                std::printf("  %s (%s) - %s: %s after %d stones\n", playerName(options, stronger),
                            strongBlack ? "Black" : "White", playerName(options, weaker),
                            forStrong > 0   ? "won"
                            : forStrong < 0 ? "lost"
                                            : "drawn",
                            outcome.moves + 1);
            std::fflush(stdout);
        }
    }
    return score;
}

}  // namespace

int run(const Options& options) {
    static_assert(SIMPLE == 0, "the tallies are indexed by level, the simple player's first");
    Tally tallies[LEVEL_COUNT + 1];
    bool fault = false;
    std::printf("%-32s %6s %5s %6s %5s %7s\n", "stronger - weaker", "games", "wins", "losses",
                "draws", "score");
    auto row = [&](int weaker, int stronger, const Score& s) {
        char pair[64];
        std::snprintf(pair, sizeof pair, "%d %s - %s", stronger, playerName(options, stronger),
                      playerName(options, weaker));
        std::printf("%-32s %6d %5d %6d %5d %6.1f%%\n", pair, s.wins + s.losses + s.draws, s.wins,
                    s.losses, s.draws, s.percent());
        std::fflush(stdout);
    };
    if (options.pair <= 0) {
        const auto openings = makeOpenings(options.simpleOpenings, SIMPLE_OPENING_SEED);
        row(SIMPLE, 1, pairing(SIMPLE, 1, openings, options, tallies, fault));
    }
    const auto openings = makeOpenings(options.openings, OPENING_SEED);
    for (int level = 1; level < LEVEL_COUNT; ++level)
        if (options.pair < 0 || options.pair == level)
            row(level, level + 1, pairing(level, level + 1, openings, options, tallies, fault));

    std::printf("\n%-32s %6s %12s\n", "player", "moves", "ms per move");
    for (int level = SIMPLE; level <= LEVEL_COUNT; ++level) {
        if (tallies[level].moves == 0) continue;
        char name[48];
        if (level == SIMPLE)
            std::snprintf(name, sizeof name, "%s", playerName(options, level));
        else
            std::snprintf(name, sizeof name, "%d %s", level, playerName(options, level));
        std::printf("%-32s %6ld %12.1f\n", name, tallies[level].moves,
                    tallies[level].ms / tallies[level].moves);
    }
    return fault ? 1 : 0;
}

// "N=DEPTH,SPREAD,CAP,NODES;..." into the levels tried in place of the table's; false when
// malformed.
bool parseTries(const char* text, Options& options) {
    for (const char* p = text; *p != '\0';) {
        int number, depth, spread, cap, used = 0;
        long long nodes;
        if (std::sscanf(p, "%d=%d,%d,%d,%lld%n", &number, &depth, &spread, &cap, &nodes, &used) !=
                5 ||
            number < 1 || number > LEVEL_COUNT || depth < 0 || depth > MAX_SEARCH_DEPTH ||
            spread < 1 || cap < 1 || nodes < 0 ||
            (depth == 0 && number != LEVEL_COUNT && nodes == 0))
            return false;
        options.levels[number] = Level{"tried", depth, spread, cap, nodes};
        p += used;
        if (*p == ';') ++p;
    }
    return true;
}

int command(int argc, char** argv, int first) {
    Options options;
    for (int number = 1; number <= LEVEL_COUNT; ++number)
        options.levels[number] = *findLevel(number);
    long long openings = options.openings, pair = options.pair,
              fullStrengthMs = options.fullStrengthMs;
    const char* tries = "";
    const bench::Parsed parsed =
        bench::parseFlags(argc, argv, first,
                          {{"--openings", &openings},
                           {"--pair", &pair},
                           {"--full-ms", &fullStrengthMs},
                           {"--try", nullptr, &tries},
                           {"--verbose", nullptr, nullptr, &options.verbose}});
    const bool valid = openings > 0 && openings <= 10000 && pair >= -1 && pair < LEVEL_COUNT &&
                       fullStrengthMs > 0 && fullStrengthMs <= 3600000 &&
                       parseTries(tries, options);
    if (const int status = bench::usageStatus(parsed, valid, USAGE); status >= 0) return status;
    options.openings = static_cast<int>(openings);
    options.simpleOpenings = options.openings / 2;
    options.pair = static_cast<int>(pair);
    options.fullStrengthMs = static_cast<int>(fullStrengthMs);
    return run(options);
}

}  // namespace quillmot::ladder
