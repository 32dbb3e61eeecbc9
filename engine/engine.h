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
    // cannot reach. The history records it as (0, 0), and it is hashed like a stone on the
    // border square (0, 0), which no stone ever takes, so that the same stones with the
    // other side to move are another position.
    void passTurn();
    // Takes back a pass; the last history entry must be one.
    void undoPass();
    bool lastWasPass() const { return moveCount > 0 && moveHistory[moveCount - 1].x == 0; }
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

    // Search table and principal-variation store (search_table.cpp).
    int probeSearchTable(int alpha, int beta, int depth, int atPly) const;
    void storeSearchResult(Point bestMove, int score, uint8_t bound, int depth);
    void storeExactValue(int score, int depth, int stones, Point bestMove);
    void clearSearchBounds();
    // Every search table entry forgets its position, keeping only its move, which no
    // position then matches.
    void forgetPositions();
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
    bool findFiveSquare(int& x, int& y) const;
    int candidateFallback(ScoredMove* list) const;
    void orderPv(ScoredMove* list, int count, int priority);
    // The generated list in search order: the principal-variation move raised to
    // pvPriority, a stable sort by score, and the candidate fallback when it is empty.
    // Returns the count.
    int orderMoves(ScoredMove* list, int count, int pvPriority);
    int pvSearch(int depth, bool root, int alpha, int beta);
    void iterativeDeepening(int& x, int& y);
    // The report of a completed iteration: kept in report, and told to reportCallback.
    void reportIteration(int depth, int score);
    // The move of a game: iterative deepening, and the fallback square when the search
    // yields none (its first iteration cut short, or no candidate). Protocol coordinates;
    // false only when the board has no empty square.
    bool searchMove(int& x, int& y);

    // Fixed-depth search (fixed_depth.cpp).
    ScoredMove fixedDepthSearch(int depth, bool root, int lo, int hi);
    // A clean state for a fixed-depth search: no deadline, no node limit, no line left
    // over from an earlier search, no nodes.
    void startFixedDepthSearch();

    // A legal square for the side to move when the search has none: the best-scoring
    // candidate, else the first empty square by rows. False on a full board.
    bool fallbackMove(int& x, int& y) const;  // engine coordinates
    // Keeps (x, y) when it is an empty playable square, else takes fallbackMove.
    bool legalOrFallback(int& x, int& y) const {  // engine coordinates
        return (isPlayable(x, y) && cells[x][y].state == EMPTY) || fallbackMove(x, y);
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
    int64_t nodeLimit = std::numeric_limits<int64_t>::max();
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

    PvMove pvTable[PV_PLIES][PV_PLIES]{};
    int32_t pvLength[PV_PLIES]{};

    // The last completed iteration of the last search, and who hears of each one; read
    // once an iteration, so they stay away from the fields every node touches.
    SearchReport report{};
    ReportCallback reportCallback = nullptr;
    void* reportContext = nullptr;

    SearchEntry searchTable[SEARCH_TABLE_SIZE];
    ThreatEntry threatTable[THREAT_TABLE_SIZE];

private:
    void refreshLine(int index, int k, unsigned masks, LineChange*& log);
};

}  // namespace quillmot
