#include "web/quillmot_api.h"

#include <memory>

#include "engine/engine.h"
#include "engine/fives.h"
#include "engine/set_up.h"
#include "patterns/tables.h"
#include "search/analysis.h"
#include "search/levels.h"
#include "search/puzzles.h"
#include "search/review.h"
#include "search/swap2.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
// The page's worker hears of a completed iteration (0) or of the positions a review has done
// (1, and how many) while the search goes on: a worker cannot read messages during a call,
// but it can post them.
EM_JS(void, notifyPage, (int what, int count), {
    if (Module["onNotify"]) Module["onNotify"](what, count);
});
#else
void notifyPage(int, int) {}
#endif

namespace quillmot {
namespace {

constexpr int MAX_THINK_MS = 3600 * 1000;

struct Game {
    std::unique_ptr<Engine> engine;
    Point five[MAX_FIVE_SQUARES];  // engine coordinates
    int fiveCount = 0;
    FiveLine fiveLines[DIRECTIONS];  // the same runs, by their ends
    int fiveLineCount = 0;
    bool anyFive = false;  // a five anywhere, also one a set-up stone made earlier
    std::unique_ptr<Engine> hintEngine;
    // The engine of the last search, whose figures and report the getters read: the game
    // engine, or the hint engine after a hint.
    const Engine* searched = nullptr;
};

Game game;

// ---- Report blocks ----

enum { NOTIFY_ITERATION = 0, NOTIFY_REVIEWED = 1 };
using Block = int[QUILLMOT_BLOCK_SIZE];
static_assert(QUILLMOT_BLOCK_SIZE == QUILLMOT_BLOCK_LINE + PV_PLIES, "a block holds a whole line");
constexpr int NODES_LOW_BITS = 30;

int pack(Point square);

void writeBlock(int* out, int rank, Point move, const SearchReport& report, int forced,
                bool known) {
    out[0] = rank;
    out[1] = isSquare(move) ? pack(move) : -1;
    out[2] = report.depth;
    out[3] = report.score;
    out[4] = forced;
    out[5] = static_cast<int>(report.nodes & ((1 << NODES_LOW_BITS) - 1));
    out[6] = static_cast<int>(report.nodes >> NODES_LOW_BITS);
    out[7] = static_cast<int>(report.milliseconds);
    out[8] = report.otherMove ? 1 : 0;
    out[9] = known ? 1 : 0;
    out[10] = report.lineLength;
    for (int i = 0; i < report.lineLength; ++i) out[QUILLMOT_BLOCK_LINE + i] = pack(report.line[i]);
}

Block live{};

// Every completed iteration, as it completes; the analysis' searches tell their rank.
void tellIteration(int rank, const SearchReport& report) {
    const Point move = report.lineLength > 0 ? report.line[0] : NO_MOVE;
    writeBlock(live, rank, move, report, forcedPlies(report.score, report.lineLength), true);
    notifyPage(NOTIFY_ITERATION, 0);
}
void tellSearch(void*, const Engine&, const SearchReport& report) { tellIteration(0, report); }
void tellRank(void*, int rank, const SearchReport& report) { tellIteration(rank, report); }

SearchLimits liveLimits() {
    SearchLimits limits;
    limits.onReport = tellSearch;
    return limits;
}

Analysis analysis;
Block analysisBlocks[ANALYSIS_MOVES]{};

// The last review: its positions' views and its moves' marks.
struct Review {
    int positions = 0;
    PositionView views[MAX_HISTORY + 1];
    MoveMark marks[MAX_HISTORY];
    Block block{};
};
Review review;

// The edge between the page's coordinates and the engine's: a square of the page is packed
// as x + 256 * y in protocol coordinates.
int pack(Point square) {
    const ProtocolSquare p = toProtocol(square);
    return p.x + 256 * p.y;
}

// The engine's square of the page's (x, y), or NO_MOVE when it lies off the board.
Point square(const Engine& engine, int x, int y) {
    const bool on = x >= 0 && x < engine.boardSize && y >= 0 && y < engine.boardHeight;
    return on ? toEngine(x, y) : NO_MOVE;
}

// After every change of the board: the squares of every run of five or more through the
// last stone (none after a pass), and whether a five stands anywhere.
void findFive() {
    const Engine& engine = *game.engine;
    game.anyFive = hasFiveAnywhere(engine);
    const bool stone = engine.moveCount > 0 && !engine.lastWasPass();
    const Point last = stone ? engine.moveHistory[engine.moveCount - 1] : NO_MOVE;
    game.fiveCount = stone ? fiveThrough(engine, last, game.five) : 0;
    game.fiveLineCount = stone ? fiveLinesThrough(engine, last, game.fiveLines) : 0;
}

// Why the side to move cannot move now, or 0.
int refusal() {
    if (!game.engine) return QUILLMOT_NO_GAME;
    if (game.anyFive) return QUILLMOT_GAME_OVER;
    if (game.engine->stoneCount() >= game.engine->boardSize * game.engine->boardHeight)
        return QUILLMOT_BOARD_FULL;
    return 0;
}

const SearchReport NO_REPORT{};
const SearchReport& lastReport() { return game.searched ? game.searched->report : NO_REPORT; }

// Runs the iterative deepening as set up by the caller; the move in protocol coordinates,
// never an occupied or off-board square (the caller has ruled out a full board).
int search() {
    game.searched = game.engine.get();
    const Point move = game.engine->gameMove();
    return isSquare(move) ? pack(move) : QUILLMOT_BOARD_FULL;
}

}  // namespace
}  // namespace quillmot

using namespace quillmot;

extern "C" {

int quillmot_new_game(int width, int height) {
    if (width < MIN_BOARD || width > MAX_BOARD || height < MIN_BOARD || height > MAX_BOARD)
        return QUILLMOT_BAD_ARGUMENT;
    initTables();
    // As a new game in the program: the old engine is freed before its successor exists,
    // and the new one starts from empty tables, so a search gives the same nodes here.
    game.engine.reset();
    game.engine = std::make_unique<Engine>();
    game.searched = game.engine.get();
    game.engine->start(width, height);
    game.fiveCount = 0;
    game.fiveLineCount = 0;
    game.anyFive = false;
    return 0;
}

int quillmot_place(int x, int y) {
    if (const int refused = refusal()) return refused;
    Engine& engine = *game.engine;
    const Point at = square(engine, x, y);
    if (!isSquare(at)) return QUILLMOT_OFF_BOARD;
    if (!engine.isEmptySquare(at)) return QUILLMOT_OCCUPIED;
    engine.makeMove(at.x, at.y);
    findFive();
    return 0;
}

int quillmot_take_back(void) {
    if (!game.engine || game.engine->moveCount == 0) return QUILLMOT_NO_GAME;
    if (game.engine->lastWasPass())
        game.engine->undoPass();
    else
        game.engine->undo();
    findFive();
    return 0;
}

int quillmot_think(int milliseconds) { return quillmot_level_move(FULL_STRENGTH, milliseconds, 0); }

int quillmot_search_depth(int depth) {
    if (const int refused = refusal()) return refused;
    if (depth < FIRST_DEPTH || depth > MAX_SEARCH_DEPTH) return QUILLMOT_BAD_ARGUMENT;
    game.engine->setSearchBudget(NO_DEADLINE_MS, depth);
    return search();
}

int quillmot_completed_depth(void) { return game.searched ? game.searched->completedDepth : 0; }
int quillmot_width(void) { return game.engine ? game.engine->boardSize : 0; }
int quillmot_height(void) { return game.engine ? game.engine->boardHeight : 0; }
int quillmot_move_count(void) { return game.engine ? game.engine->moveCount : 0; }

int quillmot_move_at(int index) {
    if (!game.engine || index < 0 || index >= game.engine->moveCount) return QUILLMOT_BAD_ARGUMENT;
    const Point p = game.engine->moveHistory[index];
    return p == PASS ? QUILLMOT_PASSED : pack(p);
}

int quillmot_stone(int x, int y) {
    if (!game.engine) return -1;
    const Point at = square(*game.engine, x, y);
    const int state = isSquare(at) ? game.engine->cellAt(at).state : EMPTY;
    return state == STONE_0 || state == STONE_1 ? state : -1;
}

int quillmot_five_count(void) { return game.fiveCount; }

int quillmot_five_square(int index) {
    if (index < 0 || index >= game.fiveCount) return QUILLMOT_BAD_ARGUMENT;
    return pack(game.five[index]);
}

// ---- The engine's view and its levels ----

double quillmot_nodes(void) {
    return game.searched ? static_cast<double>(game.searched->nodes) : 0;
}

int quillmot_report_depth(void) { return lastReport().depth; }
int quillmot_report_score(void) { return lastReport().score; }
double quillmot_report_nodes(void) { return static_cast<double>(lastReport().nodes); }
int quillmot_report_ms(void) { return static_cast<int>(lastReport().milliseconds); }
int quillmot_report_line_length(void) { return lastReport().lineLength; }

int quillmot_report_line_at(int index) {
    const SearchReport& report = lastReport();
    if (index < 0 || index >= report.lineLength) return QUILLMOT_BAD_ARGUMENT;
    return pack(report.line[index]);
}

int quillmot_report_forced(void) {
    return forcedPlies(lastReport().score, lastReport().lineLength);
}
int quillmot_report_other_move(void) { return lastReport().otherMove ? 1 : 0; }

int quillmot_level_count(void) { return LEVEL_COUNT; }

int quillmot_level_move(int level, int milliseconds, unsigned seed) {
    if (const int refused = refusal()) return refused;
    if (findLevel(level) == nullptr) return QUILLMOT_BAD_ARGUMENT;
    if (level == FULL_STRENGTH && (milliseconds < 1 || milliseconds > MAX_THINK_MS))
        return QUILLMOT_BAD_ARGUMENT;
    game.searched = game.engine.get();
    const Point move = levelMove(*game.engine, level, milliseconds, seed, liveLimits());
    return isSquare(move) ? pack(move) : QUILLMOT_BOARD_FULL;
}

// ---- Set-up, analysis and hints ----

int quillmot_place_colour(int x, int y, int colour) {
    if (!game.engine) return QUILLMOT_NO_GAME;
    Engine& engine = *game.engine;
    if (colour != STONE_0 && colour != STONE_1) return QUILLMOT_BAD_ARGUMENT;
    const Point at = square(engine, x, y);
    if (!isSquare(at)) return QUILLMOT_OFF_BOARD;
    if (!engine.isEmptySquare(at)) return QUILLMOT_OCCUPIED;
    if (!placeColour(engine, at, colour)) return QUILLMOT_HISTORY_FULL;
    findFive();
    return 0;
}

int quillmot_pass(void) {
    if (!game.engine) return QUILLMOT_NO_GAME;
    if (!giveTurnTo(*game.engine, 1 - game.engine->sideToMove)) return QUILLMOT_HISTORY_FULL;
    findFive();
    return 0;
}

int quillmot_has_five(void) { return game.anyFive ? 1 : 0; }

int quillmot_side_to_move(void) { return game.engine ? game.engine->sideToMove : QUILLMOT_NO_GAME; }

}  // extern "C"

namespace {

// The engine of hints, reviews and puzzles, beside the game's own; created on first use
// (about 30 MB).
Engine& hintEngine() {
    if (!game.hintEngine) game.hintEngine = std::make_unique<Engine>();
    return *game.hintEngine;
}

// The hint engine on the position of the game's first `entries` history entries, so that it
// sees the same position with the same side to move; its tables start empty every time, and
// the game engine's stay its own.
Engine& hintEngineOn(int entries) {
    copyPosition(*game.engine, entries, hintEngine());
    return *game.hintEngine;
}

}  // namespace

extern "C" {

int quillmot_hint(int milliseconds) {
    if (const int refused = refusal()) return refused;
    if (milliseconds < 1 || milliseconds > MAX_THINK_MS) return QUILLMOT_BAD_ARGUMENT;
    const Engine& played = *game.engine;
    // The first stone: the centre, without a search and without a report.
    game.searched = nullptr;
    if (played.stoneCount() == 0)
        return pack(toEngine(played.boardSize / 2, played.boardHeight / 2));
    Engine& engine = hintEngineOn(played.moveCount);
    engine.setSearchBudget(milliseconds);
    game.searched = &engine;
    const Point move = engine.gameMove(liveLimits());
    return isSquare(move) ? pack(move) : QUILLMOT_BOARD_FULL;
}

// ---- The thinking as it goes, the best moves, the review ----

const int* quillmot_live(void) { return live; }

int quillmot_analyse(int entries, int milliseconds) {
    analysis.count = 0;
    if (!game.engine) return QUILLMOT_NO_GAME;
    if (entries < 0 || entries > game.engine->moveCount || milliseconds < 1 ||
        milliseconds > MAX_THINK_MS)
        return QUILLMOT_BAD_ARGUMENT;
    Engine& engine = hintEngineOn(entries);
    if (hasFiveAnywhere(engine)) return QUILLMOT_GAME_OVER;
    if (engine.stoneCount() >= engine.boardSize * engine.boardHeight) return QUILLMOT_BOARD_FULL;
    game.searched = &engine;
    analyse(engine, milliseconds, ANALYSIS_MOVES, analysis, tellRank);
    for (int rank = 0; rank < analysis.count; ++rank) {
        const AnalysedMove& found = analysis.moves[rank];
        const int forced = forcedPlies(found.report.score, found.report.lineLength);
        writeBlock(analysisBlocks[rank], rank, found.move, found.report, forced,
                   found.report.depth > 0);
    }
    return analysis.count;
}

const int* quillmot_analysis(int rank) {
    return rank >= 0 && rank < analysis.count ? analysisBlocks[rank] : nullptr;
}

int quillmot_review(int from, int nodes) {
    review.positions = 0;
    if (!game.engine) return QUILLMOT_NO_GAME;
    const Engine& played = *game.engine;
    if (from < 0 || from > played.moveCount || nodes < 1 || nodes > 1'000'000'000)
        return QUILLMOT_BAD_ARGUMENT;
    for (int i = from; i < played.moveCount; ++i)
        if (played.moveHistory[i] == PASS) return QUILLMOT_BAD_ARGUMENT;
    game.searched = &hintEngine();
    // The positions done are read through quillmot_review_view while the review goes on.
    struct Progress {
        static void tell(void*, int done, int, const PositionView&) {
            review.positions = done;
            notifyPage(NOTIFY_REVIEWED, done);
        }
    };
    reviewGame(played, from, nodes, *game.hintEngine, review.views, review.marks, Progress::tell,
               nullptr, liveLimits());
    return review.positions;
}

const int* quillmot_review_view(int index) {
    if (index < 0 || index >= review.positions) return nullptr;
    const PositionView& view = review.views[index];
    const Point best = view.report.lineLength > 0 ? view.report.line[0] : NO_MOVE;
    writeBlock(review.block, 0, best, view.report, view.forced, view.known());
    return review.block;
}

int quillmot_judge(int entries, int x, int y, int nodes) {
    if (!game.engine) return QUILLMOT_NO_GAME;
    Engine& played = *game.engine;
    if (entries < 0 || entries > played.moveCount || nodes < 1 || nodes > 1'000'000'000)
        return QUILLMOT_BAD_ARGUMENT;
    const Point at = square(played, x, y);
    if (!isSquare(at)) return QUILLMOT_OFF_BOARD;
    Engine& engine = hintEngineOn(entries);
    if (hasFiveAnywhere(engine)) return QUILLMOT_GAME_OVER;
    if (!engine.isEmptySquare(at)) return QUILLMOT_OCCUPIED;
    game.searched = &engine;
    return judgeTry(played, entries, at, nodes, engine, liveLimits());
}

int quillmot_review_mark(int index) {
    if (index < 0 || index + 1 >= review.positions) return QUILLMOT_BAD_ARGUMENT;
    return review.marks[index];
}

}  // extern "C"

// ---- What the page reads in one call: the module's description and the game ----

namespace {

// clang-format off
constexpr struct { int code; const char* words; } ERROR_WORDS[] = {
    {QUILLMOT_NO_GAME, "no game"},           {QUILLMOT_BAD_ARGUMENT, "bad argument"},
    {QUILLMOT_OFF_BOARD, "off the board"},   {QUILLMOT_OCCUPIED, "on a taken square"},
    {QUILLMOT_GAME_OVER, "after a five"},    {QUILLMOT_BOARD_FULL, "the board is full"},
    {QUILLMOT_HISTORY_FULL, "too many passes"},
};
// clang-format on

// The description is written into a fixed buffer by two functions kept out of line: the
// string library, or a copy of them at every use, would add a seventh to the module's size
// for one line of text.
class Text {
public:
    [[gnu::noinline]] Text& operator<<(const char* part) {
        while (*part && length_ < CAPACITY - 1) text_[length_++] = *part++;
        text_[length_] = 0;
        return *this;
    }
    [[gnu::noinline]] Text& operator<<(int n) {
        char digits[12] = {};
        int at = 11;
        unsigned magnitude = n < 0 ? 0u - static_cast<unsigned>(n) : static_cast<unsigned>(n);
        do digits[--at] = static_cast<char>('0' + magnitude % 10);
        while ((magnitude /= 10) != 0);
        if (n < 0) digits[--at] = '-';
        return *this << digits + at;
    }
    const char* c_str() const { return text_; }

private:
    static constexpr int CAPACITY = 1024;
    char text_[CAPACITY] = {};
    int length_ = 0;
};

Text describeModule() {
    Text text;
    text << "{\"levels\":[";
    for (int level = 1; level <= LEVEL_COUNT; ++level)
        text << (level > 1 ? ",\"" : "\"") << findLevel(level)->name << "\"";
    text << "],\"fullStrength\":" << FULL_STRENGTH << ",\"minBoard\":" << MIN_BOARD
         << ",\"maxBoard\":" << MAX_BOARD << ",\"errors\":{";
    for (const auto& [code, words] : ERROR_WORDS)
        text << (code == ERROR_WORDS[0].code ? "\"" : ",\"") << code << "\":\"" << words << "\"";
    text << "},\"passed\":" << QUILLMOT_PASSED << ",\"tempoBonus\":" << TEMPO_BONUS
         << ",\"evenBand\":" << EVEN_BAND << ",\"betterBand\":" << BETTER_BAND
         << ",\"reviewNodes\":" << static_cast<int>(REVIEW_NODES)
         << ",\"analysisMoves\":" << ANALYSIS_MOVES << ",\"formerLevels\":[";
    for (int level : FORMER_LEVELS) text << (level == FORMER_LEVELS[0] ? "" : ",") << level;
    text << "],\"marks\":[";
    for (int mark = 0; mark < MARK_COUNT; ++mark)
        text << (mark > 0 ? ",\"" : "\"") << MARK_SYMBOLS[mark] << "\"";
    text << "]}";
    return text;
}

// Header, every history entry, the five's squares and each of its lines' two ends.
constexpr int SNAPSHOT_HEADER = 7;
int snapshot[SNAPSHOT_HEADER + MAX_HISTORY + MAX_FIVE_SQUARES + 2 * DIRECTIONS];

}  // namespace

extern "C" {

const char* quillmot_describe(void) {
    static const Text text = describeModule();
    return text.c_str();
}

const int* quillmot_snapshot(void) {
    int* out = snapshot;
    const int entries = quillmot_move_count(), fives = quillmot_five_count();
    *out++ = quillmot_width();
    *out++ = quillmot_height();
    *out++ = quillmot_width() > 0 ? quillmot_side_to_move() : 0;
    *out++ = quillmot_has_five();
    *out++ = entries;
    *out++ = fives;
    *out++ = game.fiveLineCount;
    for (int i = 0; i < entries; ++i) {
        const int packed = quillmot_move_at(i);
        *out++ = packed < 0 ? packed : packed + 65536 * quillmot_stone(packed % 256, packed / 256);
    }
    for (int i = 0; i < fives; ++i) *out++ = quillmot_five_square(i);
    for (int i = 0; i < game.fiveLineCount; ++i) {
        *out++ = pack(game.fiveLines[i].from);
        *out++ = pack(game.fiveLines[i].to);
    }
    return snapshot;
}

}  // extern "C"

// ---- Puzzles and Swap2 ----

namespace {

// The position's judgments are the hint engine's, on the game's whole history.
Engine& puzzleEngine() {
    Engine& engine = hintEngineOn(game.engine->moveCount);
    game.searched = &engine;
    return engine;
}

Solution solution;
Swap2Decision swap2;

}  // namespace

extern "C" {

int quillmot_puzzle_forces(int x, int y) {
    if (const int refused = refusal()) return refused;
    const Point at = square(*game.engine, x, y);
    if (!isSquare(at)) return QUILLMOT_OFF_BOARD;
    if (!game.engine->isEmptySquare(at)) return QUILLMOT_OCCUPIED;
    return forcesFive(puzzleEngine(), at) ? 1 : 0;
}

int quillmot_puzzle_defence(void) {
    if (const int refused = refusal()) return refused;
    const Point move = bestMoveAtAllowance(puzzleEngine());
    return isSquare(move) ? pack(move) : QUILLMOT_BOARD_FULL;
}

int quillmot_puzzle_solution(void) {
    solution.length = 0;
    if (const int refused = refusal()) return refused;
    solution.length = playOutSolution(puzzleEngine(), solution.moves, solution.fours);
    return solution.length;
}

int quillmot_puzzle_solution_at(int index) {
    return index >= 0 && index < solution.length ? pack(solution.moves[index])
                                                 : QUILLMOT_BAD_ARGUMENT;
}

int quillmot_swap2_opening(unsigned seed) {
    swap2 = Swap2Decision{};
    if (!game.engine) return QUILLMOT_NO_GAME;
    if (game.engine->moveCount != 0) return QUILLMOT_BAD_ARGUMENT;
    swap2 = swap2Opening(*game.engine, seed);
    return swap2.count;
}

int quillmot_swap2_decide(int milliseconds) {
    swap2 = Swap2Decision{};
    if (const int refused = refusal()) return refused;
    Engine& engine = *game.engine;
    const int count = engine.moveCount;
    if ((count != 3 && count != 5) || milliseconds < 1 || milliseconds > MAX_THINK_MS)
        return QUILLMOT_BAD_ARGUMENT;
    Point stones[5];
    for (int i = 0; i < count; ++i) {
        if (engine.moveHistory[i] == PASS) return QUILLMOT_BAD_ARGUMENT;
        stones[i] = engine.moveHistory[i];
    }
    game.searched = &engine;
    swap2 = swap2Decide(engine, stones, count, milliseconds);
    return swap2.swap ? 0 : swap2.count;
}

int quillmot_swap2_stone(int index) {
    return index >= 0 && index < swap2.count ? pack(swap2.stones[index]) : QUILLMOT_BAD_ARGUMENT;
}

int quillmot_swap2_score(void) { return swap2.score; }

}  // extern "C"
