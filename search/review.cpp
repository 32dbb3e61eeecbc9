#include "search/review.h"

#include "engine/engine.h"
#include "engine/fives.h"
#include "engine/set_up.h"

namespace quillmot {

const char* const MARK_SYMBOLS[MARK_COUNT] = {"", "?!", "?", "??", "missed win"};

int bandOf(int value) {
    const int magnitude = value < 0 ? -value : value;
    const int band = magnitude <= EVEN_BAND ? 0 : magnitude <= BETTER_BAND ? 1 : 2;
    return value < 0 ? -band : band;
}

Standing standingOf(int score, int forced, bool moverToMove) {
    if (!moverToMove) forced = -forced;
    if (forced != 0) return Standing{forced > 0 ? 2 : -2, forced > 0, forced < 0};
    const int value = score - TEMPO_BONUS;
    return Standing{bandOf(moverToMove ? value : -value), false, false};
}

MoveMark classifyMove(Standing before, Standing after) {
    if (!before.forcedLoss && after.forcedLoss) return MARK_BLUNDER;
    if (before.forcedWin && !after.forcedWin) return MARK_MISSED_WIN;
    const int drop = before.band - after.band;
    return drop >= 2 ? MARK_MISTAKE : drop == 1 ? MARK_INACCURACY : MARK_NONE;
}

MoveMark markOf(const PositionView& before, const PositionView& after, Point move) {
    if (!before.known() || !after.known()) return MARK_NONE;
    if (before.report.lineLength > 0 && before.report.line[0] == move) return MARK_NONE;
    return classifyMove(standingOf(before.report.score, before.forced, true),
                        standingOf(after.report.score, after.forced, false));
}

namespace {

// into's line becomes first, then rest's line, within the line's room; rest may be into.
void putInFront(SearchReport& into, Point first, const SearchReport& rest) {
    const int length = rest.lineLength < PV_PLIES - 1 ? rest.lineLength : PV_PLIES - 1;
    for (int k = length; k > 0; --k) into.line[k] = rest.line[k - 1];
    into.line[0] = first;
    into.lineLength = length + 1;
}

// The view of the position on e, whose tables hold nothing of an earlier search.
void readPosition(Engine& e, int64_t nodes, PositionView& view, SearchLimits limits) {
    view = PositionView{};
    if (hasFiveAnywhere(e)) {
        view.decided = true;
        view.forced = -1;
        view.report.score = -WIN_SCORE;
        return;
    }

    // 1. Follow the moves that are the only one of their position: the search would play
    // such a move without looking past it, and its score would be the static one.
    Point forcedLine[PV_PLIES];
    int followed = 0;
    int x, y;
    bool ownFive = false;
    while (followed < PV_PLIES - 1 && e.stoneCount() > 0 &&
           e.stoneCount() < e.boardSize * e.boardHeight) {
        if (e.classCounts[e.sideToMove][CLASS_FIVE] > 0 && e.findFiveSquare(x, y)) {
            ownFive = true;
            break;
        }
        ScoredMove list[MOVE_LIST_CAPACITY];
        int count;
        e.generateMoves(list, &count);
        if (count != 1) break;
        forcedLine[followed++] = pointOf(list[0]);
        e.makeMove(list[0].x, list[0].y);
    }

    // 2. The position at the end of those moves: its own five, or the search at the allowance.
    SearchReport& report = view.report;
    if (ownFive) {
        report.score = winIn(1);
        report.lineLength = 1;
        report.line[0] = Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
        view.forced = 1;
    } else if (e.stoneCount() > 0 && e.stoneCount() < e.boardSize * e.boardHeight) {
        limits.nodes = nodes;
        e.setSearchBudget(NO_DEADLINE_MS, MAX_SEARCH_DEPTH);
        e.deepen(limits);
        report = e.report;
        view.forced = forcedPlies(report.score, report.lineLength);
    } else if (e.stoneCount() == 0) {
        report.line[0] = toEngine(e.boardSize / 2, e.boardHeight / 2);
        report.lineLength = 1;
    }

    // 3. Back through the moves followed: each turns the view to the other side, a forced
    // five one ply further off, and puts its move in front of the line.
    for (int i = followed - 1; i >= 0; --i) {
        e.undo();
        if (view.forced != 0) {
            view.forced = view.forced > 0 ? -(view.forced + 1) : -(view.forced - 1);
            report.score = -report.score;
        } else {
            report.score = 2 * TEMPO_BONUS - report.score;
        }
        putInFront(report, forcedLine[i], report);
    }
}

}  // namespace

void reviewPosition(const Engine& game, int entries, int64_t nodes, Engine& scratch,
                    PositionView& view, SearchLimits limits) {
    copyPosition(game, entries, scratch);
    readPosition(scratch, nodes, view, limits);
}

MoveMark judgeTry(const Engine& game, int entries, Point move, int64_t nodes, Engine& scratch,
                  SearchLimits limits) {
    PositionView before, after;
    reviewPosition(game, entries, nodes, scratch, before, limits);
    copyPosition(game, entries, scratch);
    scratch.makeMove(move.x, move.y);
    readPosition(scratch, nodes, after, limits);
    return markOf(before, after, move);
}

void reviewGame(const Engine& game, int from, int64_t nodes, Engine& scratch, PositionView* views,
                MoveMark* marks, ReviewProgress progress, void* context,
                const SearchLimits& limits) {
    // 1. Every position on its own.
    const int total = game.moveCount - from + 1;
    for (int i = 0; i < total; ++i) {
        reviewPosition(game, from + i, nodes, scratch, views[i], limits);
        if (progress != nullptr) progress(context, i + 1, total, views[i]);
    }
    // 2. The game's own continuation proves what a search may not have seen: a move into a
    // position whose side to move is lost (a forced five against it) wins the position
    // before it, through that move.
    for (int i = total - 2; i >= 0; --i) {
        const PositionView& after = views[i + 1];
        PositionView& before = views[i];
        if (after.forced >= 0 || before.forced > 0) continue;
        before.forced = 1 - after.forced;
        before.report.score = -after.report.score;
        putInFront(before.report, game.moveHistory[from + i], after.report);
    }
    // 3. The marks.
    for (int i = 1; i < total; ++i)
        marks[i - 1] = markOf(views[i - 1], views[i], game.moveHistory[from + i - 1]);
}

}  // namespace quillmot
