// The engine behind the web page: a small C API over one Engine, compiled to WebAssembly.
// Coordinates are 0-based columns and rows (x, y), as on the protocol's wire; a square is
// returned packed as x + 256 * y. Every call validates its arguments: the page can never
// put the engine into a state its own operations would not accept.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Results below zero.
enum {
    QUILLMOT_NO_GAME = -1,  // no game started yet
    QUILLMOT_BAD_ARGUMENT = -2,
    QUILLMOT_OFF_BOARD = -3,
    QUILLMOT_OCCUPIED = -4,
    QUILLMOT_GAME_OVER = -5,  // the last stone made five
    QUILLMOT_BOARD_FULL = -6,
};

// A new game on an empty board of width by height squares (5 .. 32 each), in a new engine
// with empty tables; the first stone is player 0's. 0, or QUILLMOT_BAD_ARGUMENT.
int quillmot_new_game(int width, int height);

// A stone for the side to move on the empty square (x, y). 0, or a result below zero.
int quillmot_place(int x, int y);

// Takes back the last stone. 0, or QUILLMOT_NO_GAME when the board is empty.
int quillmot_take_back(void);

// Chooses a move for the side to move within milliseconds (1 .. 3600000), as the program
// does in a game: the centre on an empty board, else iterative deepening under the
// engine's own clock. The move is returned, not played. A packed square, or below zero.
int quillmot_think(int milliseconds);

// The same search to a fixed depth (5 .. 20) without a deadline, as quillmot-bench runs it.
int quillmot_search_depth(int depth);

// Figures of the last search: deepest completed iteration.
int quillmot_completed_depth(void);

// The board: stones, the stone of each move in play order, and the five (or more) in a row
// that the last stone made: its squares, 0 when it made none. When it completed two lines
// at once, the squares of both.
int quillmot_width(void);
int quillmot_height(void);
int quillmot_move_count(void);
int quillmot_move_at(int index);   // packed square, or QUILLMOT_BAD_ARGUMENT
int quillmot_stone(int x, int y);  // 0 or 1; -1 for an empty or off-board square
int quillmot_five_count(void);
int quillmot_five_square(int index);  // packed square, or QUILLMOT_BAD_ARGUMENT

// ---- The engine's view and its levels ----

// Stones placed by the last search, exact up to 2^53 (a think of an hour stays far below).
double quillmot_nodes(void);

// The report of the last search, a hint's included: its last completed iteration (or a
// weak level's own search); all zero and an empty line when there is none, as for the
// centre on an empty board. The score is from the point of view of the side that was to move in the
// searched position.
int quillmot_report_depth(void);
int quillmot_report_score(void);
double quillmot_report_nodes(void);
int quillmot_report_ms(void);  // since that search started
int quillmot_report_line_length(void);
int quillmot_report_line_at(int index);  // packed square, or QUILLMOT_BAD_ARGUMENT
// 0 when the score is not a forced one; otherwise the estimated plies to the forced five,
// positive when the side to move wins, negative when it loses.
int quillmot_report_forced(void);
// 1 when the move returned is not the first move of the reported line: a full-strength
// search whose cut-short last iteration changed the move, or a weak level that chose
// another move than its best.
int quillmot_report_other_move(void);

// Levels of play, 1 "Beginner" to 5 "Full strength".
int quillmot_level_count(void);
// The move of that level for the side to move, returned unplayed: a packed square or a
// result below zero, as quillmot_think. milliseconds (1 .. 3600000) counts only at full
// strength, seed only below it; the same level, seed and position give the same move.
int quillmot_level_move(int level, int milliseconds, unsigned seed);

// ---- Set-up, analysis and hints ----
// A set-up is any position: stones of either colour in any number, and either side to
// move. The engine records it as stones and passes (turns given away), so that take back
// goes through a set-up the way it goes through a game. quillmot_move_at answers
// QUILLMOT_PASSED for a pass. No stone or search is played while a five (or more) stands
// anywhere on the board; a set-up stone may still be placed, so that a set-up in which
// one appeared can be rebuilt without it.
enum {
    QUILLMOT_HISTORY_FULL = -11,  // no room for another pass in the history
    QUILLMOT_PASSED = -12,        // quillmot_move_at: that entry is a turn given away
};

// A stone of colour 0 (black) or 1 (white) on the empty square (x, y); when the other
// colour is to move, the turn is given away first. 0, or a result below zero.
int quillmot_place_colour(int x, int y, int colour);
// Gives the turn to the other side without a stone. 0, or a result below zero.
int quillmot_pass(void);
// 1 when a five or more of either colour stands anywhere on the board, else 0.
int quillmot_has_five(void);
// The colour to move, 0 or 1; QUILLMOT_NO_GAME before the first game.
int quillmot_side_to_move(void);
// A full-strength move for the side to move within milliseconds, searched on a second
// engine that replays the game's stones and passes, so that the game engine's tables stay
// as they are; the figures and the report then tell the hint's search. Created on first use (about
// 30 MB) and kept. The move is returned, not played: a packed square, or below zero.
int quillmot_hint(int milliseconds);

// ---- What the page reads in one call: the module's description and the game ----
// The page keeps no copy of the engine's names and limits, and a reply of the worker reads
// the whole game at once instead of one call per history entry.

// A JSON text (UTF-8, NUL-terminated, in the module's memory for as long as it runs):
// {"levels": the names of levels 1 .. n, "fullStrength": its number, "minBoard", "maxBoard":
// the board's limits, "errors": {code: words} for every result below zero, "passed": the
// code of a turn given away, "tempoBonus": the evaluation's bonus for the side to move,
// "evenBand", "betterBand": the score bands a person reads, beyond that bonus, "reviewNodes":
// the review's allowance a position, "analysisMoves": the most moves an analysis finds,
// "marks": the review's marks by code}.
const char* quillmot_describe(void);

// The game as 32-bit integers in the module's memory, rewritten by each call: [0] width,
// [1] height, [2] the side to move, [3] 1 when a five or more stands anywhere, [4] n history
// entries, [5] f squares of the five the last stone made, [6] l lines of it; then n entries,
// each a packed square plus 65536 times its stone's colour, or QUILLMOT_PASSED; then the f
// squares, packed; then the two ends of each of the l lines, packed. Zeros before a game.
const int* quillmot_snapshot(void);

// ---- The thinking as it goes, the best moves, the review ----
// A report block is QUILLMOT_BLOCK_SIZE 32-bit integers in the module's memory: [0] the rank
// of an analysed move (0 the best) or 0, [1] the move (packed) or -1, [2] depth, [3] score
// (for the side to move, bonus included, as quillmot_report_score), [4] plies to a forced
// five (as quillmot_report_forced), [5] and [6] the nodes (low 30 bits and the rest), [7]
// milliseconds, [8] 1 when the move is not the line's first, [9] 1 when the position could
// be read (a review's empty or full board, or a search without a completed iteration, cannot),
// [10] the line's length l, then the l squares of the line, packed.
enum { QUILLMOT_BLOCK_LINE = 11, QUILLMOT_BLOCK_SIZE = 11 + 64 };

// Every iteration completed by quillmot_think, quillmot_level_move, quillmot_hint,
// quillmot_analyse and quillmot_review is written here as it completes; in the page's module
// Module.onNotify(0, 0) is then called on the searching thread (the worker posts it at once),
// and after each position of a review Module.onNotify(1, positions done). Natively nothing
// is called.
const int* quillmot_live(void);

// The best moves (up to three, best first) for the side to move in the position of the
// game's first `entries` history entries, within milliseconds (1 .. 3600000) in all, on the
// hint engine: the search, then again without the moves found. Fewer when nothing else is
// left (a five to make or to stop). The number found, or a result below zero.
int quillmot_analyse(int entries, int milliseconds);
// The block of the analysed move of rank 0 .. found - 1; NULL for another rank.
const int* quillmot_analysis(int rank);

// The review of the game from history entry `from` (the end of its set-up; no pass after it)
// on: every position searched on the hint engine, started anew for each, without a deadline
// at `nodes` nodes (1 .. 10^9; quillmot_describe's reviewNodes is the page's), and each move
// marked (quillmot_describe's marks: 0 none, 1 inaccuracy, 2 mistake, 3 blunder, 4 missed
// win). The number of positions (moves + 1), or a result below zero.
int quillmot_review(int from, int nodes);
// The block of position index (0: after the set-up; its move is the review's best one); NULL
// outside the last review.
const int* quillmot_review_view(int index);
// The mark of move index (0: the first after the set-up), or QUILLMOT_BAD_ARGUMENT.
int quillmot_review_mark(int index);

// A person's try (x, y) for the side to move in the position of the game's first `entries`
// history entries, judged as the review would mark it at `nodes` nodes: 0 (no mark: it loses
// no band, keeps a forced five where there was one, hands none over), a mark, or a result
// below zero.
int quillmot_judge(int entries, int x, int y, int nodes);

// ---- Puzzles and Swap2 ----
// A puzzle is the game's position with the side to move attacking. Every judgment is the
// full search's at the puzzles' node allowance on tables that remember no earlier search
// (search/puzzles.h), on the hint engine replaying the game, so that the page and the tool
// that made the puzzles judge alike on every machine.

// Whether the side to move's stone on the empty square (x, y) still forces a five: it makes
// one, or the opponent then faces a forced five. 1 or 0, or a result below zero.
int quillmot_puzzle_forces(int x, int y);
// The side to move's defence that holds out longest against a forced five (for any position,
// its move at the allowance), returned unplayed: a packed square, or below zero.
int quillmot_puzzle_defence(void);
// The forced five played out from the game's position, the side to move attacking: both
// sides' moves to the five, the attacker's first. The number of moves (0 when the search
// loses the five on the way, or it takes longer than the longest solution), each read by
// quillmot_puzzle_solution_at; or a result below zero.
int quillmot_puzzle_solution(void);
int quillmot_puzzle_solution_at(int index);  // packed square, or QUILLMOT_BAD_ARGUMENT

// The first three stones of a Swap2 opening on the game's empty board, the next balanced
// opening of the seed's sequence: 3 (read by quillmot_swap2_stone), or a result below zero.
// Nothing is played.
int quillmot_swap2_opening(unsigned seed);
// The Swap2 choice on the game's three or five stones (no passes), White to move, searched at
// full strength within milliseconds (1 .. 3600000): 0 to take black (the other side places
// the next stone), or the number of stones to place in play order (on three stones: 1, the
// fourth, taking white; 2, the fourth and fifth, the other side then choosing; on five: 1,
// the sixth, taking white), read by quillmot_swap2_stone; or a result below zero. Nothing is
// played; the report functions then tell the decision's last search.
int quillmot_swap2_decide(int milliseconds);
int quillmot_swap2_stone(int index);  // packed square, or QUILLMOT_BAD_ARGUMENT
// White's score of the last decision, without the side-to-move bonus; 0 for an opening.
int quillmot_swap2_score(void);

#ifdef __cplusplus
}
#endif
