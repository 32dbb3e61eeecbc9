#include "bench/review.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/flags.h"
#include "bench/positions.h"
#include "engine/engine.h"
#include "engine/fives.h"
#include "search/levels.h"
#include "search/openings.h"
#include "search/review.h"

namespace quillmot::review {

namespace {

constexpr const char* USAGE =
    "usage: quillmot-bench review \"WIDTH HEIGHT x,y x,y ...\" [--setup N] [--nodes N]\n"
    "       quillmot-bench review --calibrate [OPTIONS]   (see review --calibrate --help)\n"
    "Reviews a game as the page does: every position from the set-up on (its first N history\n"
    "entries, default 0; \"pass\" for a turn given away) searched on a fresh engine without a\n"
    "deadline at N nodes (default the page's allowance). Prints per move its number, colour\n"
    "and square, the score after it for Black without the side-to-move bonus (B5 or W3: a\n"
    "forced five for that side in about so many plies), its mark (?! inaccuracy, ? mistake,\n"
    "?? blunder, missed win) and for a flagged move the better one with its line; then a line\n"
    "for each side and the time.\n";
constexpr const char* CALIBRATE_USAGE =
    "usage: quillmot-bench review --calibrate [--games N] [--full-ms MS] [--nodes N]\n"
    "                      [--judge-nodes N] [--only self-play|beginner] [--verbose]\n"
    "Plays N full-strength self-play games at MS a move (default 20 and 1000) from the\n"
    "ladder's seeded balanced openings and N games First steps against full strength (colours\n"
    "alternating), reviews each at --nodes a position (default the page's), and prints the\n"
    "marks as a share of the moves in self-play, and the First steps moves after which full\n"
    "strength has a forced five that it did not have before, with how many the review marked\n"
    "blunders. Full strength's reading there is its search of each position, fresh, at\n"
    "--judge-nodes (default 3000000, about its 1 s). --verbose prints every game's review.\n";

constexpr int BOARD = 15;
constexpr uint64_t LADDER_OPENING_SEED = 2026;  // the ladder's openings, the same stones
constexpr int BEGINNER = 1;
// Full strength's reading of a position in the calibration: about the nodes of its 1 s move.
constexpr long long JUDGE_NODES = 3'000'000;

struct Reviewed {
    std::vector<PositionView> views;  // one per position, from the set-up on
    std::vector<MoveMark> marks;      // one per move
    double seconds = 0;
};

Reviewed reviewAll(const Engine& game, int from, int64_t nodes, Engine& scratch) {
    Reviewed reviewed;
    const auto start = std::chrono::steady_clock::now();
    reviewed.views.resize(game.moveCount - from + 1);
    reviewed.marks.resize(game.moveCount - from);
    reviewGame(game, from, nodes, scratch, reviewed.views.data(), reviewed.marks.data());
    reviewed.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return reviewed;
}

// The score of a position for Black without the bonus, as the page's graph reads it.
std::string scoreText(const PositionView& view, int toMove) {
    if (view.forced != 0) {
        const int winner = view.forced > 0 ? toMove : 1 - toMove;
        std::string text(1, winner == 0 ? 'B' : 'W');
        return text += std::to_string(view.forced > 0 ? view.forced : -view.forced);
    }
    if (!view.known()) return "?";
    const int value = view.report.score - TEMPO_BONUS;
    return std::to_string(toMove == 0 ? value : -value);
}

// The colour of the stone of history entry `entry`.
int moverOf(const Engine& game, int entry) { return game.cellAt(game.moveHistory[entry]).state; }

// "Black: 1 blunder, 2 mistakes", or "Black: no marks".
std::string sideLine(const Engine& game, int from, const std::vector<MoveMark>& marks, int colour) {
    static const char* const NAMES[MARK_COUNT] = {"", "inaccurac", "mistake", "blunder",
                                                  "missed win"};
    int counts[MARK_COUNT] = {};
    for (size_t i = 0; i < marks.size(); ++i)
        if (moverOf(game, from + static_cast<int>(i)) == colour) ++counts[marks[i]];
    std::string text = colour == 0 ? "Black:" : "White:";
    bool any = false;
    for (const int mark : {MARK_MISSED_WIN, MARK_BLUNDER, MARK_MISTAKE, MARK_INACCURACY}) {
        if (counts[mark] == 0) continue;
        const bool one = counts[mark] == 1;
        const char* plural = mark == MARK_INACCURACY ? (one ? "y" : "ies") : (one ? "" : "s");
        text += any ? ", " : " ";
        text += std::to_string(counts[mark]);
        text += ' ';
        text += NAMES[mark];
        text += plural;
        any = true;
    }
    return any ? text : text + " no marks";
}

void printReview(const Engine& game, int from, const Reviewed& reviewed, int64_t nodes) {
    for (size_t i = 0; i < reviewed.marks.size(); ++i) {
        const Point move = game.moveHistory[from + i];
        const int mover = moverOf(game, from + static_cast<int>(i));
        const PositionView& before = reviewed.views[i];
        const PositionView& after = reviewed.views[i + 1];
        std::printf("%4zu. %s %-6s %7s %s", i + 1, mover == 0 ? "black" : "white",
                    positions::movesText(&move, 1).c_str(), scoreText(after, 1 - mover).c_str(),
                    MARK_SYMBOLS[reviewed.marks[i]]);
        if (reviewed.marks[i] != MARK_NONE && before.report.lineLength > 0)
            std::printf("  better %s (%s): %s", positions::movesText(before.report.line, 1).c_str(),
                        scoreText(before, mover).c_str(),
                        positions::movesText(before.report.line, before.report.lineLength).c_str());
        std::printf("\n");
    }
    std::printf("%s\n%s\n", sideLine(game, from, reviewed.marks, 0).c_str(),
                sideLine(game, from, reviewed.marks, 1).c_str());
    std::printf("reviewed %zu positions at %lld nodes each in %.2f s\n", reviewed.views.size(),
                static_cast<long long>(nodes), reviewed.seconds);
}

// The game of a line: every stone on an empty square of the board, none after a five.
std::unique_ptr<Engine> gameOf(const char* line) {
    std::istringstream in(line);
    int width = 0, height = 0;
    if (!(in >> width >> height) || width < MIN_BOARD || width > MAX_BOARD || height < MIN_BOARD ||
        height > MAX_BOARD)
        return nullptr;
    std::string moves;
    std::getline(in, moves);
    return positions::positionFromMoves(width, height, moves);
}

// The calibration, defined below with what it plays.
int calibrateCommand(int argc, char** argv, int first);

}  // namespace

int command(int argc, char** argv, int first) {
    if (first < argc && std::strcmp(argv[first], "--calibrate") == 0)
        return calibrateCommand(argc, argv, first + 1);
    const bool haveGame = first < argc && argv[first][0] != '-';
    long long setup = 0, nodes = REVIEW_NODES;
    const bench::Parsed parsed = bench::parseFlags(argc, argv, haveGame ? first + 1 : first,
                                                   {{"--setup", &setup}, {"--nodes", &nodes}});
    const bool valid = haveGame && setup >= 0 && nodes > 0 && nodes <= 1'000'000'000'000LL;
    if (const int status = bench::usageStatus(parsed, valid, USAGE); status >= 0) return status;
    auto game = gameOf(argv[first]);
    if (game == nullptr || setup > game->moveCount) {
        std::fprintf(stderr, "bad game line: %s\n", argv[first]);
        return 2;
    }
    const int from = static_cast<int>(setup);
    for (int i = from; i < game->moveCount; ++i) {
        if (game->moveHistory[i] == PASS) {
            std::fprintf(stderr, "a pass after the set-up (entry %d): moves alternate\n", i + 1);
            return 2;
        }
    }
    auto scratch = std::make_unique<Engine>();
    printReview(*game, from, reviewAll(*game, from, nodes, *scratch), nodes);
    return 0;
}

namespace {

// ---- calibrate-review ----

// A game on 15 by 15 from the opening between two levels, each with an engine of its own as
// in the ladder, to a five or a full board.
std::unique_ptr<Engine> playGame(const Opening& opening, const int levels[2], int fullMs,
                                 uint64_t seed) {
    auto played = positions::startedEngine(BOARD);
    std::unique_ptr<Engine> players[2] = {positions::startedEngine(BOARD),
                                          positions::startedEngine(BOARD)};
    for (const Point& s : opening)
        for (Engine* e : {played.get(), players[0].get(), players[1].get()}) e->makeMove(s.x, s.y);
    LevelRandom random(seed);
    Engine& board = *played;
    while (!hasFiveAnywhere(board) && board.stoneCount() < BOARD * BOARD) {
        const int side = board.sideToMove;
        Engine& mover = *players[side];
        const Point move = levelMove(mover, levels[side], fullMs, random.next());
        if (!board.isEmptySquare(move)) break;  // none: only on a full board, which ended the loop
        for (Engine* e : {played.get(), players[0].get(), players[1].get()})
            e->makeMove(move.x, move.y);
    }
    return played;
}

std::string gameLine(const Engine& game) {
    const std::string moves = positions::movesText(game.moveHistory, game.moveCount);
    return std::to_string(game.boardSize) + " " + std::to_string(game.boardHeight) +
           (moves.empty() ? "" : " ") + moves;
}

struct Tally {
    long moves = 0;
    long marks[MARK_COUNT] = {};
    double seconds = 0;
    long positions = 0;
    void add(const Reviewed& reviewed) {
        moves += static_cast<long>(reviewed.marks.size());
        for (const MoveMark mark : reviewed.marks) ++marks[mark];
        seconds += reviewed.seconds;
        positions += static_cast<long>(reviewed.views.size());
    }
    double share(int mark) const { return moves > 0 ? 100.0 * marks[mark] / moves : 0; }
};

int calibrateCommand(int argc, char** argv, int first) {
    long long games = 20, fullMs = 1000, nodes = REVIEW_NODES, judgeNodes = JUDGE_NODES;
    bool verbose = false;
    const char* only = nullptr;
    const bench::Parsed parsed = bench::parseFlags(argc, argv, first,
                                                   {{"--games", &games},
                                                    {"--full-ms", &fullMs},
                                                    {"--nodes", &nodes},
                                                    {"--judge-nodes", &judgeNodes},
                                                    {"--only", nullptr, &only},
                                                    {"--verbose", nullptr, nullptr, &verbose}});
    const bool valid = games > 0 && games <= 1000 && fullMs > 0 && fullMs <= 3600000 && nodes > 0 &&
                       nodes <= 1'000'000'000'000LL && judgeNodes > 0 &&
                       judgeNodes <= 1'000'000'000'000LL &&
                       (only == nullptr || std::strcmp(only, "self-play") == 0 ||
                        std::strcmp(only, "beginner") == 0);
    if (const int status = bench::usageStatus(parsed, valid, CALIBRATE_USAGE); status >= 0)
        return status;
    LevelRandom openingRandom(LADDER_OPENING_SEED);
    auto drawer = positions::startedEngine(BOARD);
    std::vector<Opening> openings;
    while (static_cast<long long>(openings.size()) < games)
        openings.push_back(drawBalancedOpening(*drawer, openingRandom));
    auto scratch = std::make_unique<Engine>();
    const int from = static_cast<int>(Opening{}.size());

    // Full strength against itself: how many of its moves the review marks.
    Tally self;
    const bool selfPlay = only == nullptr || std::strcmp(only, "self-play") == 0;
    for (long long g = 0; selfPlay && g < games; ++g) {
        const int levels[2] = {FULL_STRENGTH, FULL_STRENGTH};
        const auto played = playGame(openings[g], levels, static_cast<int>(fullMs), 500 + g);
        const Reviewed reviewed = reviewAll(*played, from, nodes, *scratch);
        self.add(reviewed);
        std::printf("self-play %lld: %zu moves, %s; %s; reviewed in %.1f s\n", g + 1,
                    reviewed.marks.size(), sideLine(*played, from, reviewed.marks, 0).c_str(),
                    sideLine(*played, from, reviewed.marks, 1).c_str(), reviewed.seconds);
        if (verbose) {
            std::printf("  %s\n", gameLine(*played).c_str());
            printReview(*played, from, reviewed, nodes);
        }
        std::fflush(stdout);
    }

    // First steps against full strength: every move after which full strength has a forced five
    // that it did not have before should be a blunder. Full strength's reading of a position is
    // its search at the judge's allowance, about what it searches in its time a move, fresh,
    // through the moves that are the only one of their position as the review reads them.
    Tally beginner;
    long handed = 0, handedBlunders = 0;
    const bool beginnerGames = only == nullptr || std::strcmp(only, "beginner") == 0;
    for (long long g = 0; beginnerGames && g < games; ++g) {
        const int beginnerColour = static_cast<int>(g % 2);
        int levels[2];
        levels[beginnerColour] = BEGINNER;
        levels[1 - beginnerColour] = FULL_STRENGTH;
        const auto played = playGame(openings[g], levels, static_cast<int>(fullMs), 900 + g);
        const Reviewed reviewed = reviewAll(*played, from, nodes, *scratch);
        beginner.add(reviewed);
        long gameHanded = 0, gameBlunders = 0;
        for (int k = from; k < played->moveCount; ++k) {
            if (moverOf(*played, k) != beginnerColour) continue;
            PositionView before, after;
            reviewPosition(*played, k + 1, judgeNodes, *scratch, after);
            if (after.forced <= 0) continue;
            reviewPosition(*played, k, judgeNodes, *scratch, before);
            if (before.forced < 0) continue;
            ++gameHanded;
            if (reviewed.marks[k - from] == MARK_BLUNDER) ++gameBlunders;
            if (verbose)
                std::printf("  move %d handed full strength a forced five; marked \"%s\"\n",
                            k - from + 1, MARK_SYMBOLS[reviewed.marks[k - from]]);
        }
        handed += gameHanded;
        handedBlunders += gameBlunders;
        std::printf(
            "beginner %lld (%s): %zu moves, %ld handed a forced five, %ld marked "
            "blunders; reviewed in %.1f s\n",
            g + 1, beginnerColour == 0 ? "black" : "white", reviewed.marks.size(), gameHanded,
            gameBlunders, reviewed.seconds);
        if (verbose) {
            std::printf("  %s\n", gameLine(*played).c_str());
            printReview(*played, from, reviewed, nodes);
        }
        std::fflush(stdout);
    }

    std::printf("\nreview at %lld nodes a position, full strength at %lld ms a move\n", nodes,
                fullMs);
    std::printf(
        "self-play: %lld games, %ld moves: mistakes %.1f%%, blunders %.1f%%, missed "
        "wins %.1f%%, inaccuracies %.1f%%; mistakes and blunders %.1f%%\n",
        games, self.moves, self.share(MARK_MISTAKE), self.share(MARK_BLUNDER),
        self.share(MARK_MISSED_WIN), self.share(MARK_INACCURACY),
        self.share(MARK_MISTAKE) + self.share(MARK_BLUNDER));
    std::printf(
        "beginner games: %lld games, %ld moves; %ld beginner moves handed full strength "
        "a forced five, %ld of them marked blunders\n",
        games, beginner.moves, handed, handedBlunders);
    const Tally all{self.moves + beginner.moves,
                    {},
                    self.seconds + beginner.seconds,
                    self.positions + beginner.positions};
    std::printf("review time: %.1f ms a position on average (%ld positions)\n",
                all.positions > 0 ? 1000 * all.seconds / all.positions : 0.0, all.positions);
    return 0;
}

}  // namespace

}  // namespace quillmot::review
