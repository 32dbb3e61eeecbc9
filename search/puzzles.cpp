#include "search/puzzles.h"

#include "engine/engine.h"
#include "patterns/cell_scores.h"
#include "search/ordering.h"

namespace quillmot {

namespace {

// The full search at the allowance, without a deadline, on tables that have forgotten every
// earlier search, so that a verdict depends on the position alone, whatever the engine
// searched before (the page's engine has played a game, the tool's has judged other
// squares).
Point searchAtAllowance(Engine& engine) {
    engine.forgetSearches();
    SearchLimits limits;
    limits.nodes = PUZZLE_NODES;
    engine.setSearchBudget(NO_DEADLINE_MS);
    return engine.gameMove(limits);
}

// The plies of the last search's forced score, signed for the side to move; 0 for none.
int searchedPlies(const Engine& engine) {
    return engine.report.depth > 0 ? forcedPlies(engine.report.score, engine.report.lineLength) : 0;
}

bool makesFive(const Engine& engine, Point move) {
    return engine.cellAt(move).threatClass[engine.sideToMove] == CLASS_FIVE;
}

}  // namespace

int threatSearchCode(Engine& engine) {
    engine.forgetSearches();
    engine.beginSearch(SearchLimits{});
    return engine.threatSearch();
}

int forcedResult(Engine& engine, Point& move) {
    int x, y;
    if (engine.classCounts[engine.sideToMove][CLASS_FIVE] > 0 && engine.findFiveSquare(x, y)) {
        move = Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
        return 1;
    }
    // The full search plays a root with one move without searching it, and gives it the
    // static score: such a root (a four to block, an open four to make) is played on.
    engine.forgetSearches();
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    engine.generateMoves(list, &count);
    if (count == 1) {
        move = pointOf(list[0]);
        engine.makeMove(move.x, move.y);
        Point reply;
        const int after = forcedResult(engine, reply);
        engine.undo();
        return after < 0 ? 1 - after : after > 0 ? -(after + 1) : 0;
    }
    move = searchAtAllowance(engine);
    return searchedPlies(engine);
}

int forcedFive(Engine& engine, Point& move) {
    const int plies = forcedResult(engine, move);
    return plies > 0 ? plies : 0;
}

bool forcesFive(Engine& engine, Point move) {
    if (makesFive(engine, move)) return true;
    engine.makeMove(move.x, move.y);
    // The opponent moves next: lost when the search sees a forced five against it.
    Point reply;
    const bool lost = forcedResult(engine, reply) < 0;
    engine.undo();
    return lost;
}

bool isOnlyWinningMove(Engine& engine, Point move) {
    if (!forcesFive(engine, move)) return false;
    // Every other candidate square, the best-scoring first.
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count = 0;
    const int candidates = engine.candidateFallback(list);
    for (int i = 0; i < candidates; ++i) {
        if (pointOf(list[i]) == move) continue;
        list[count] = list[i];
        list[count++].score = cellScore(engine.cells[list[i].x][list[i].y]);
    }
    sortMoves(list, count);
    for (int i = 0; i < count; ++i)
        if (forcesFive(engine, pointOf(list[i]))) return false;
    return true;
}

Point bestMoveAtAllowance(Engine& engine) {
    Point move;
    forcedResult(engine, move);
    return move;
}

int playOutSolution(Engine& engine, Point* line, bool& fours) {
    fours = true;
    int length = 0;
    bool five = false;
    while (!five && length < MAX_SOLUTION) {
        Point move;
        if (length % 2 == 0) {
            if (forcedFive(engine, move) == 0) break;  // the attacker has lost its way
            five = makesFive(engine, move);
            fours = fours && engine.cellAt(move).threatClass[engine.sideToMove] >= CLASS_FOUR;
        } else {
            move = bestMoveAtAllowance(engine);
            if (!isSquare(move) || makesFive(engine, move)) break;  // the defence wins
        }
        line[length++] = move;
        engine.makeMove(move.x, move.y);
    }
    for (int i = 0; i < length; ++i) engine.undo();
    return five ? length : 0;
}

const char* verdictText(PuzzleVerdict verdict) {
    switch (verdict) {
        case PuzzleVerdict::PUZZLE:
            return "a puzzle";
        case PuzzleVerdict::NO_FORCED_FIVE:
            return "no forced five";
        case PuzzleVerdict::NOT_UNIQUE:
            return "not unique";
        case PuzzleVerdict::UNSOLVED:
            return "no solution played out";
    }
    return "";
}

PuzzleVerdict judgePuzzle(Engine& engine, Solution& solution) {
    if (threatSearchCode(engine) < 3) return PuzzleVerdict::NO_FORCED_FIVE;
    Point first;
    if (forcedFive(engine, first) < 3) return PuzzleVerdict::NO_FORCED_FIVE;
    if (!isOnlyWinningMove(engine, first)) return PuzzleVerdict::NOT_UNIQUE;
    solution.length = playOutSolution(engine, solution.moves, solution.fours);
    return solution.length >= 3 && solution.moves[0] == first ? PuzzleVerdict::PUZZLE
                                                              : PuzzleVerdict::UNSOLVED;
}

}  // namespace quillmot
