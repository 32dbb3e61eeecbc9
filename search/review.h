// The review of a game: every position from its set-up on searched the same way on every
// machine, and each move marked by how the standing of its player changed with it. The page
// and quillmot-bench review both call these, so that their marks agree by construction.
#pragma once

#include <cstdint>

#include "base/types.h"
#include "engine/search_limits.h"
#include "engine/search_report.h"

namespace quillmot {

class Engine;

// Nodes per position. Without a deadline a review gives the same scores on every machine
// and in the page. Measured on 2 cores, one of them busy: a 60-move game on 15 by 15 reviews
// in about 7 s natively and 14 s in the page; and at this allowance the review marks 1% of
// full strength's own moves in self-play, and every Beginner move that hands full strength
// a forced five a blunder (quillmot-bench review --calibrate).
constexpr int64_t REVIEW_NODES = 400'000;

// The review's reading of one position, for its side to move.
struct PositionView {
    // The search's last completed iteration (score with the side-to-move bonus, as every
    // report), or the forced line the position leads to: best move first.
    SearchReport report;
    // The plies to a forced five, positive when the side to move makes it; 0 for none.
    int32_t forced = 0;
    // A five already stands: the side to move has lost (forced is then -1).
    bool decided = false;
    // Nothing to read: the board is empty or full, or no iteration completed in the allowance.
    bool known() const { return decided || forced != 0 || report.depth > 0; }
};

// How the mover stood, from much worse (-2) to much better (2); a forced five counts as the
// end of its side.
struct Standing {
    int band = 0;
    bool forcedWin = false;
    bool forcedLoss = false;
};

// The marks, from none to the worst; their codes are the page's too.
enum MoveMark : int32_t {
    MARK_NONE = 0,
    MARK_INACCURACY = 1,  // the standing drops by one band
    MARK_MISTAKE = 2,     // by two bands or more
    MARK_BLUNDER = 3,     // no forced five against the mover before, one after
    MARK_MISSED_WIN = 4,  // the mover had a forced five, and after the move no longer has one
};
constexpr int MARK_COUNT = 5;
extern const char* const MARK_SYMBOLS[MARK_COUNT];  // "", "?!", "?", "??", "missed win"

// The band of a root score without the bonus, in the view's bands: within EVEN_BAND even,
// up to BETTER_BAND better, beyond much better.
int bandOf(int value);

// The standing of the player who moves from the position `view` reads (moverToMove), or of
// the player who just moved into it.
Standing standingOf(int score, int forced, bool moverToMove);

// The mark of a move from the standings before and after it. A blunder outranks a missed
// win: a move that throws a forced five away and hands one over is the worse of the two.
MoveMark classifyMove(Standing before, Standing after);

// The mark of `move`, played from the position `before` reads into the one `after` reads,
// each read for its own side to move. None when either cannot be read, and none for the
// review's own best move: a drop after it is the horizon of the search before it moving on,
// and there is no better move to show.
MoveMark markOf(const PositionView& before, const PositionView& after, Point move);

// The position made by the first `entries` history entries of game (stones and passes),
// searched on scratch, which is started anew first, so that nothing of an earlier search
// counts: at most `nodes` nodes per search, without a deadline. Its own five to make needs no
// search (forced 1); a position with a single move (a five to stop, an open four to make) is
// read through that move, so that the view is a searched one. limits' callback hears of each
// iteration; its node allowance is the review's own.
void reviewPosition(const Engine& game, int entries, int64_t nodes, Engine& scratch,
                    PositionView& view, SearchLimits limits = {});

// A person's try for the side to move in the position of game's first `entries` entries:
// the mark it would get in a review (MARK_NONE: it loses no band, keeps a forced five where
// there was one and hands none over). The try must be an empty square of the board.
MoveMark judgeTry(const Engine& game, int entries, Point move, int64_t nodes, Engine& scratch,
                  SearchLimits limits = {});

// Told after each position of a review: how many are done of how many, and the last view.
using ReviewProgress = void (*)(void* context, int done, int total, const PositionView& view);

// The review of game from history entry `from` (the end of its set-up) on: views gets the
// moveCount - from + 1 positions, marks the moveCount - from moves. A position from which the
// move played leads to a forced five against the other side reads as a forced five through
// that move, whatever its own search saw: the game itself proves it. progress hears of each
// position as its own search read it, before that.
void reviewGame(const Engine& game, int from, int64_t nodes, Engine& scratch, PositionView* views,
                MoveMark* marks, ReviewProgress progress = nullptr, void* context = nullptr,
                const SearchLimits& limits = {});

}  // namespace quillmot
