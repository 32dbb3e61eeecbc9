// How long the engine may think about one move.
#pragma once

namespace quillmot {

constexpr int SECOND_MOVES_BUDGET = 4000;  // the second and third moves of a game
constexpr int MIN_BUDGET = 1500;
constexpr int INITIAL_TIMEOUT_TURN = 30000;
// A turn takes a twentieth of the time left; once PLENTY_OF_TIME_MS or more are left, the
// per-turn setting bounds it too. Budgets from TRIM_FROM_MS on lose their square root, so
// that the per-turn setting, which receives each budget, shrinks turn after turn.
constexpr int TIME_LEFT_SHARE = 20;
constexpr int PLENTY_OF_TIME_MS = 100000;
constexpr int TRIM_FROM_MS = 25000;
// What a new engine's budget is until its first turn sets one.
constexpr int NEW_ENGINE_BUDGET_MS = 3000;

// The budget of a turn from the game's settings: 1/20 of the time left, bounded by the
// per-turn setting once 100 s or more are left, at least 1.5 s, and trimmed by its square
// root from 25 s on. The result is also written back into timeoutTurn, so that it bounds
// the next turns while the time left stays large. moveNumber 2 and 3 get 4 s and change
// nothing.
int turnBudget(int moveNumber, int timeLeft, int& timeoutTurn);

// Keeps the budget within what the manager allows: at most its turn limit (when above 0)
// and at most half the time left (when above 0), and never below 1 ms.
int capBudget(int budget, int turnLimit, int timeLeft);

int isqrt(int n);

}  // namespace quillmot
