// The Engine: one object holding a game's board with its incrementally kept pattern data,
// the position hash, both hash tables and the search state. It is created on the heap,
// one allocation per board set-up, and used by one thread at a time.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>

#include "base/cell.h"
#include "base/types.h"
#include "engine/hash_tables.h"
#include "engine/search_limits.h"
#include "engine/search_report.h"

namespace quillmot {

// The rectangle in which candidate moves are sought, both corners inclusive.
struct SearchWindow {
    Point min;
    Point max;
};

// Visits the window's squares by rows: y from the top row down, x from left to right within
// a row. Every scan that takes the first square that qualifies uses this order, so ties
// break the same way everywhere. visit(x, y) returns nothing, or true to stop the scan;
// scanWindow returns whether it stopped. The bounds are read once, so visit may make and
// take back moves.
template <typename Visit>
inline bool scanWindow(const SearchWindow& window, Visit&& visit) {
    const int minX = window.min.x, maxX = window.max.x, minY = window.min.y, maxY = window.max.y;
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            if constexpr (std::is_void_v<std::invoke_result_t<Visit&, int, int>>)
                visit(x, y);
            else if (visit(x, y))
                return true;
        }
    }
    return false;
}

struct PositionHash {
    uint32_t index;
    uint32_t check1;
    uint32_t check2;
    friend bool operator==(const PositionHash&, const PositionHash&) = default;
};

// A line of an empty square whose types a stone changed: what take-back restores. A
// stone changes at most 32 lines, one per square on its four lines.
struct LineChange {
    uint16_t cell;     // squareIndex in the board array
    uint16_t types;    // both players' line types of the direction before, player 0's low
    uint16_t classes;  // both players' classes before, as classPair reads them
    uint8_t direction;
    uint8_t unused;
};
static_assert(sizeof(LineChange) == 8);
constexpr int MAX_LINE_CHANGES = 32 * MAX_HISTORY;

// What iterative deepening keeps of a budget of milliseconds for the move's way back: its
// deadline lies this much before the budget ends.
int deadlineMargin(int budget);

class Engine final {
public:
    // Clears what a search can read before writing it: the search table and the part of
    // the threat table that an 18-bit hashIndex reaches. The rest of the threat table is
    // never read or written, so it costs address space but no memory.
    Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The six operations of the engine interface: start, move, yourTurn, finish, undo, name.
    // start: an empty board of size by height squares (height 0: a square board), player 0
    // to move. The caller keeps both sides within 5 .. MAX_BOARD.
    virtual void start(int size, int height = 0);
    // A stone for the side to move on the empty playable square (x, y), protocol coordinates.
    virtual void move(int x, int y);
    // Searches to a fixed depth, writes the move in protocol coordinates and plays it;
    // -1, -1 and no stone on a full board. time has no effect.
    virtual void yourTurn(int& x, int& y, int depth, int time);
    virtual void finish();
    // Takes back the last stone; the caller guarantees one is on the board.
    virtual void undo();
    virtual const char* name() const;

    // Board (make_move.cpp). Engine coordinates; the square must be empty and playable.
    void makeMove(int x, int y);
    // Gives the turn to the other side without a stone, for set-ups that alternate play
    // cannot reach. The history records it as PASS, and it is hashed like a stone on the
    // border square (0, 0), which no stone ever takes, so that the same stones with the
    // other side to move are another position.
    void passTurn();
    // Takes back a pass; the last history entry must be one.
    void undoPass();
    bool lastWasPass() const { return moveCount > 0 && moveHistory[moveCount - 1] == PASS; }
    int stoneCount() const { return moveCount - passCount; }
    void unhashStone(int x, int y, int player);

    // Checks (consistency.cpp).
    // Recomputes every square's masks, line types, classes and neighbour counts, the class
    // counts and the window from the stones, and compares them with the kept values.
    bool isConsistent() const;
    // Sum of the keys of the stones on the board and of the passes in the history; the
    // kept hash minus its value at start.
    PositionHash stoneHash() const;
    PositionHash hash() const { return {hashIndex, hashCheck1, hashCheck2}; }

    bool isPlayable(int x, int y) const {  // engine coordinates
        return x >= BORDER && x < BORDER + boardSize && y >= BORDER && y < BORDER + boardHeight;
    }
    bool isCandidate(const Cell& c) const { return c.state == EMPTY && (c.near1 | c.near2) != 0; }
    const Cell& cellAt(Point p) const { return cells[p.x][p.y]; }
    bool isEmptySquare(Point p) const { return isPlayable(p.x, p.y) && cellAt(p).state == EMPTY; }
    // The whole playable board as a window, for scans by rows beyond the search window.
    SearchWindow boardWindow() const {
        return {toEngine(0, 0), toEngine(boardSize - 1, boardHeight - 1)};
    }

    // Search table and principal-variation store (search_table.cpp).
    int probeSearchTable(int alpha, int beta, int depth, int atPly) const;
    void storeSearchResult(Point bestMove, int score, uint8_t bound, int depth);
    void storeExactValue(int score, int depth, int stones, Point bestMove);
    void clearSearchBounds();
    // Every search table entry forgets its position, keeping only its move, which no
    // position then matches.
    void forgetPositions();
    // The same, and the threat table's verdicts too: the next search depends on the position
    // alone, as if the engine were new.
    void forgetSearches();
    void storePv(int x, int y);

    // Clock (clock.cpp).
    void checkTime();
    // At a search node: the clock is read at the first node entry at or past each multiple
    // of 4096.
    void checkTimeWhenDue() {
        if (nodes < nextClockCheck) return;
        nextClockCheck = (nodes | CLOCK_CHECK_MASK) + 1;
        checkTime();
    }

    // Move generation (movegen.cpp). list must hold MOVE_LIST_CAPACITY moves.
    void generateMoves(ScoredMove* list, int* count) const;

    // Forced wins (threats.cpp): threat codes from the side to move's point of view.
    int forcedWinCheck();
    int threatSearch();
    void storeThreat(int result, Point bestMove);

    // Principal variation search (evaluate.cpp, ordering.cpp, pvs.cpp, iterate.cpp).
    int evaluate() const;
    int leafValue() const { return ply % 2 == 0 ? evaluate() + TEMPO_BONUS : evaluate(); }
    // The first square by rows on which the side to move completes five, leaving out the
    // root moves of leftOut.
    bool findFiveSquare(int& x, int& y, const SearchLimits* leftOut = nullptr) const;
    int candidateFallback(ScoredMove* list) const;
    void orderPv(ScoredMove* list, int count, int priority);
    // The generated list in search order: the principal-variation move raised to
    // pvPriority, a stable sort by score, and the candidate fallback when it is empty.
    // Returns the count.
    int orderMoves(ScoredMove* list, int count, int pvPriority);
    int pvSearch(int depth, bool root, int alpha, int beta);

    // Where every search begins (begin_search.cpp): no line, no deadline, no nodes and an
    // empty report, with the caller's limits. Each kind of search adds only its own set-up
    // (iterative deepening its deadline, a weak level its forgotten positions). The search
    // and threat tables keep what earlier searches stored: later searches profit from it.
    void beginSearch(const SearchLimits& searchLimits);
    // The budget and the deepest iteration of the next iterative deepening, for every caller
    // but the front end's move, which writes timeBudget and maxDepth itself. NO_DEADLINE_MS
    // lets the depth alone end the search.
    void setSearchBudget(int milliseconds, int depth = MAX_SEARCH_DEPTH);
    // The report of a completed iteration from the line in row 0 of the principal-variation
    // store: kept in report and told to the limits' callback.
    void publishReport(int depth, int score);

    // Iterative deepening (iterate.cpp) within timeBudget and maxDepth: the first move of the
    // best line, NO_MOVE when the search found none. Engine coordinates.
    Point deepen(const SearchLimits& searchLimits = {});
    // The same in protocol coordinates; -4, -4 for no move.
    void iterativeDeepening(int& x, int& y, const SearchLimits& searchLimits = {});
    // The move of a game: iterative deepening, and the fallback square when the search
    // yields none (its first iteration cut short, or no candidate). NO_MOVE only when the
    // board has no empty square.
    Point gameMove(const SearchLimits& searchLimits = {});
    // gameMove in protocol coordinates; false only when the board has no empty square.
    bool searchMove(int& x, int& y, const SearchLimits& searchLimits = {});

    // Fixed-depth search (fixed_depth.cpp), begun by beginSearch like every other.
    ScoredMove fixedDepthSearch(int depth, bool root, int lo, int hi);

    // A legal square for the side to move when the search has none: the best-scoring
    // candidate, else the first empty square by rows. False on a full board.
    bool fallbackMove(int& x, int& y) const;  // engine coordinates
    // move when it is an empty playable square, else fallbackMove's; NO_MOVE on a full board.
    Point legalOrFallback(Point move) const {
        if (isEmptySquare(move)) return move;
        int x, y;
        return fallbackMove(x, y) ? Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)}
                                  : NO_MOVE;
    }

    // ---- State. What every node reads or writes comes first, in a few cache lines and
    // pages; the board follows; the large tables, touched a few entries at a time, come
    // last. ----

    // The position.
    int32_t boardSize = 0;    // columns
    int32_t boardHeight = 0;  // rows; equal to boardSize on square boards
    int32_t moveCount = 0;    // history entries: stones, and the passes of a set-up
    int32_t passCount = 0;
    int32_t sideToMove = 0;
    int32_t otherSide = 1;
    SearchWindow window{};
    uint32_t hashIndex = 0;  // 18 significant bits
    uint32_t hashCheck1 = 0;
    uint32_t hashCheck2 = 0;
    int32_t lineChangeCount = 0;  // entries of lineChanges in use
    // Empty squares per threat class and player. Classes 2 to 10 are exact; 0 and 1 take
    // part in the same updates but start from 0 and are never read.
    int32_t classCounts[2][CLASS_COUNT]{};

    // The search.
    // Stones placed by makeMove since the search began. 64 bits: a week of searching
    // places about 10^12.
    int64_t nodes = 0;
    // The node count from which a search node reads the clock next: the first node entry at
    // or past each multiple of 4096. The threat trials between two entries often step over
    // the multiple itself, on crowded boards nearly every time.
    int64_t nextClockCheck = 0;
    int64_t threatNodes = 0;  // positions the threat search expanded since the search began
    int32_t threatBudget = 0;
    int32_t ply = 0;
    uint8_t followPv = 0;
    uint8_t timeUp = 0;
    int32_t timeBudget = 0;  // ms
    int32_t maxDepth = 0;
    int64_t searchStart = 0;  // clock readings, ms
    int64_t deadline = 0;
    // The clock check also stops a search once nodes reaches this count: a bound that
    // gives the same nodes on every machine, for the searches that run without a deadline.
    int64_t nodeLimit = NO_NODE_LIMIT;
    int32_t completedDepth = 0;  // deepest iteration of the last search that ran to its end

    BoardArray cells{};  // [x][y]

    Point moveHistory[MAX_HISTORY]{};
    Point windowMinHistory[MAX_HISTORY]{};  // window corners before each stone
    Point windowMaxHistory[MAX_HISTORY]{};
    // What each stone changed, for take-back: the changes of history entry i are
    // lineChanges[changeMarks[i]] up to the next mark (or lineChangeCount).
    int32_t changeMarks[MAX_HISTORY]{};
    int32_t classCountsHistory[MAX_HISTORY][2][CLASS_COUNT]{};  // the counts before each stone
    LineChange lineChanges[MAX_LINE_CHANGES];

    Point pvTable[PV_PLIES][PV_PLIES]{};
    int32_t pvLength[PV_PLIES]{};

    // The last completed iteration of the last search, and the limits of that search; read
    // at its root and once an iteration, so they stay away from the fields every node
    // touches.
    SearchReport report{};
    SearchLimits limits{};

    SearchEntry searchTable[SEARCH_TABLE_SIZE];
    ThreatEntry threatTable[THREAT_TABLE_SIZE];

private:
    void refreshLine(int index, int k, unsigned masks, LineChange*& log);
};

}  // namespace quillmot
