// Puzzles: positions in which the side to move forces a five, and only one first move does.
// Every judgment of a puzzle (whether a move still forces the five, the defence that holds
// out longest, the solution) is the full search's at one node allowance on tables that
// remember no earlier search, so that the tool that makes the puzzles, its checks and the
// page all judge alike, on every machine.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

class Engine;

constexpr int64_t PUZZLE_NODES = 100'000;
// The longest solution the tools play out, in moves of both sides.
constexpr int MAX_SOLUTION = 2 * 20 + 1;

// The threat search's code for the side to move (the plies to a forced five it sees,
// positive for the side to move), on tables that remember no earlier search.
int threatSearchCode(Engine& engine);

// The forced five as the full search at the allowance sees it, in plies: positive when the
// side to move forces one (1: a five to make), negative when the opponent does, 0 for
// neither. A root with a single move (a four to block, an open four to make), which the
// search would play without searching, is played on. move receives the side to move's
// move: the five, the single move, or the search's.
int forcedResult(Engine& engine, Point& move);
// The same when the side to move forces the five, else 0.
int forcedFive(Engine& engine, Point& move);

// Whether playing move (an empty square) forces a five: it makes one, or after it the full
// search at the allowance finds the opponent lost. The position is left as it was.
bool forcesFive(Engine& engine, Point move);

// Whether move is the only candidate square (empty, near a stone, inside the search window)
// with which the side to move forces a five. The others are tried best-scoring first, so
// that a second winning move, where there is one, is found soon.
bool isOnlyWinningMove(Engine& engine, Point move);

// The side to move's move as forcedResult finds it: against a forced five, the defence that
// holds out longest. NO_MOVE only on a full board.
Point bestMoveAtAllowance(Engine& engine);

// The solution played out from the position, the side to move attacking: its forcing move,
// the longest defence, and so on to the five, into line (MAX_SOLUTION moves). Returns the
// moves, or 0 when the forced five is lost on the way or takes longer. The position is left
// as it was; fours is set when every attacker move makes a four or more.
int playOutSolution(Engine& engine, Point* line, bool& fours);

// A puzzle's solution, as the tools find it and the page plays it.
struct Solution {
    Point moves[MAX_SOLUTION]{};  // both sides' moves to the five, the attacker's first
    int length = 0;
    bool fours = false;  // every attacker move makes a four or more
    int attackerMoves() const { return (length + 1) / 2; }
};

// What a position is for the side to move: a puzzle (a forced five of two moves or more that
// the threat search sees and the full search confirms, one first move only, and a solution
// that plays out), or why not.
enum class PuzzleVerdict { PUZZLE, NO_FORCED_FIVE, NOT_UNIQUE, UNSOLVED };
const char* verdictText(PuzzleVerdict verdict);
PuzzleVerdict judgePuzzle(Engine& engine, Solution& solution);

}  // namespace quillmot
