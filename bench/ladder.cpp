#include "bench/ladder.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/positions.h"
#include "engine/engine.h"
#include "search/levels.h"

namespace quillmot::ladder {

namespace {

constexpr int BOARD = 15;
constexpr int SIMPLE = 0;  // the simple player, in place of a level number
constexpr uint64_t OPENING_SEED = 2026;
constexpr uint64_t SIMPLE_OPENING_SEED = 12;
// The three stones of an opening lie in the centre's 5 by 5 block, and Club's value of the
// position for the side to move (White) is within this much of even.
constexpr int OPENING_REACH = 2;
constexpr int BALANCED = 40;

using Opening = std::array<Point, 3>;  // protocol coordinates, Black, White, Black

struct Player {
    int level;
    std::unique_ptr<Engine> engine;
};

struct Tally {
    double ms = 0;
    long moves = 0;
};

const char* playerName(int level) {
    return level == SIMPLE ? "simple player" : findLevel(level)->name;
}

bool makesFive(const Engine& e, int x, int y) {  // engine coordinates, the stone placed
    const int colour = e.cells[x][y].state;
    for (int k = 0; k < DIRECTIONS; ++k) {
        int run = 1;
        for (int s = -1; s <= 1; s += 2)
            for (int d = 1;
                 d <= 4 && e.cells[x + s * d * DIR_DX[k]][y + s * d * DIR_DY[k]].state == colour;
                 ++d)
                ++run;
        if (run >= 5) return true;
    }
    return false;
}

// The simple player: its own five, else the block of the opponent's, else the square that
// makes its own longest line among those with room for five (ties drawn at random).
// Engine coordinates.
void simpleMove(const Engine& e, LevelRandom& random, int& x, int& y) {
    const int me = e.sideToMove, opp = e.otherSide;
    if (e.classCounts[me][CLASS_FIVE] > 0 && e.findFiveSquare(x, y)) return;
    if (e.classCounts[opp][CLASS_FIVE] > 0) {
        const bool found = scanWindow(e.window, [&](int cx, int cy) {
            if (e.cells[cx][cy].threatClass[opp] != CLASS_FIVE || !e.isCandidate(e.cells[cx][cy]))
                return false;
            x = cx;
            y = cy;
            return true;
        });
        if (found) return;
    }
    int bestRun = -1, ties = 0;
    for (int cy = BORDER; cy < BORDER + e.boardHeight; ++cy) {
        for (int cx = BORDER; cx < BORDER + e.boardSize; ++cx) {
            if (e.cells[cx][cy].state != EMPTY) continue;
            int longest = 0;
            for (int k = 0; k < DIRECTIONS; ++k) {
                int run = 1, room = 1;
                for (int s = -1; s <= 1; s += 2) {
                    bool inRun = true;
                    for (int d = 1; d <= 4; ++d) {
                        const int state =
                            e.cells[cx + s * d * DIR_DX[k]][cy + s * d * DIR_DY[k]].state;
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
        }
    }
}

// Seeded openings: three stones near the centre that leave neither side ahead.
std::vector<Opening> makeOpenings(int count, uint64_t seed) {
    LevelRandom random(seed);
    auto engine = positions::startedEngine(BOARD);
    std::vector<Opening> openings;
    const int centre = BOARD / 2, side = 2 * OPENING_REACH + 1;
    while (static_cast<int>(openings.size()) < count) {
        Opening o;
        engine->start(BOARD);
        bool distinct = true;
        for (Point& p : o) {
            p = Point{static_cast<uint8_t>(centre - OPENING_REACH + random.below(side)),
                      static_cast<uint8_t>(centre - OPENING_REACH + random.below(side))};
            distinct = distinct && engine->cells[p.x + BORDER][p.y + BORDER].state == EMPTY;
            if (distinct) engine->move(p.x, p.y);
        }
        if (!distinct) continue;
        int x, y;
        levelMove(*engine, 3, 0, 0, x, y);
        const int value = engine->report.score;
        if (value >= -BALANCED && value <= BALANCED) openings.push_back(o);
    }
    return openings;
}

// One game from an opening. 1 when Black wins, -1 when White does, 0 for a full board;
// fault is set when a player answers a square that is not empty.
int playGame(Player& black, Player& white, const Opening& opening, uint64_t seed,
             const Options& options, Tally* tallies, bool& fault, int& moves) {
    Player* players[2] = {&black, &white};
    for (Player* p : players) {
        p->engine->start(BOARD);
        for (const Point& s : opening) p->engine->move(s.x, s.y);
    }
    LevelRandom random(seed);
    const Engine& board = *black.engine;
    for (moves = static_cast<int>(opening.size());; ++moves) {
        if (moves >= BOARD * BOARD) return 0;
        Player& mover = *players[moves % 2];
        int x = -1, y = -1;
        const auto start = std::chrono::steady_clock::now();
        if (mover.level == SIMPLE) {
            simpleMove(*mover.engine, random, x, y);
            x -= BORDER;
            y -= BORDER;
        } else {
            const uint32_t moveSeed = random.next();
            levelMove(*mover.engine, mover.level, options.fullStrengthMs, moveSeed, x, y);
        }
        Tally& tally = tallies[mover.level];
        tally.ms +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ++tally.moves;
        if (x < 0 || y < 0 || x >= BOARD || y >= BOARD ||
            board.cells[x + BORDER][y + BORDER].state != EMPTY) {
            std::printf("  %s answered %d,%d, not an empty square\n", playerName(mover.level), x,
                        y);
            fault = true;
            return 0;
        }
        for (Player* p : players) p->engine->move(x, y);
        if (makesFive(board, x + BORDER, y + BORDER)) return moves % 2 == 0 ? 1 : -1;
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
    Player weak{weaker, std::make_unique<Engine>()};
    Player strong{stronger, std::make_unique<Engine>()};
    Score score;
    for (size_t i = 0; i < openings.size(); ++i) {
        for (int strongBlack = 1; strongBlack >= 0; --strongBlack) {
            int moves = 0;
            const uint64_t seed = 1000 * (weaker + 1) + 2 * i + strongBlack;
            const int result =
                strongBlack
                    ? playGame(strong, weak, openings[i], seed, options, tallies, fault, moves)
                    : playGame(weak, strong, openings[i], seed, options, tallies, fault, moves);
            const int forStrong = strongBlack ? result : -result;
            if (forStrong > 0) ++score.wins;
            if (forStrong < 0) ++score.losses;
            if (forStrong == 0) ++score.draws;
            if (options.verbose)
                std::printf("  %s (%s) - %s: %s after %d stones\n", playerName(stronger),
                            strongBlack ? "Black" : "White", playerName(weaker),
                            forStrong > 0   ? "won"
                            : forStrong < 0 ? "lost"
                                            : "drawn",
                            moves + 1);
            std::fflush(stdout);
        }
    }
    return score;
}

}  // namespace

int run(const Options& options) {
    Tally tallies[LEVEL_COUNT + 1];
    bool fault = false;
    std::printf("%-32s %6s %5s %6s %5s %7s\n", "stronger - weaker", "games", "wins", "losses",
                "draws", "score");
    auto row = [](int weaker, int stronger, const Score& s) {
        char pair[64];
        std::snprintf(pair, sizeof pair, "%d %s - %s", stronger, playerName(stronger),
                      playerName(weaker));
        std::printf("%-32s %6d %5d %6d %5d %6.1f%%\n", pair, s.wins + s.losses + s.draws, s.wins,
                    s.losses, s.draws, s.percent());
        std::fflush(stdout);
    };
    if (options.only <= 0) {
        const auto openings = makeOpenings(options.simpleOpenings, SIMPLE_OPENING_SEED);
        row(SIMPLE, 1, pairing(SIMPLE, 1, openings, options, tallies, fault));
    }
    const auto openings = makeOpenings(options.openings, OPENING_SEED);
    for (int level = 1; level < LEVEL_COUNT; ++level)
        if (options.only < 0 || options.only == level)
            row(level, level + 1, pairing(level, level + 1, openings, options, tallies, fault));

    std::printf("\n%-32s %6s %12s\n", "player", "moves", "ms per move");
    for (int level = SIMPLE; level <= LEVEL_COUNT; ++level) {
        if (tallies[level].moves == 0) continue;
        char name[48];
        if (level == SIMPLE)
            std::snprintf(name, sizeof name, "%s", playerName(level));
        else
            std::snprintf(name, sizeof name, "%d %s", level, playerName(level));
        std::printf("%-32s %6ld %12.1f\n", name, tallies[level].moves,
                    tallies[level].ms / tallies[level].moves);
    }
    return fault ? 1 : 0;
}

}  // namespace quillmot::ladder
