#include "protocol/time_budget.h"

#include <cmath>

namespace quillmot {

int isqrt(int n) {
    if (n <= 0) return 0;
    auto r = static_cast<long long>(std::sqrt(static_cast<double>(n)));
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return static_cast<int>(r);
}

int turnBudget(int moveNumber, int timeLeft, int& timeoutTurn) {
    if (moveNumber == 2 || moveNumber == 3) return SECOND_MOVES_BUDGET;
    int budget = timeLeft / TIME_LEFT_SHARE;
    if (timeLeft >= PLENTY_OF_TIME_MS && timeoutTurn < budget) budget = timeoutTurn;
    if (budget < MIN_BUDGET)
        budget = MIN_BUDGET;
    else if (budget >= TRIM_FROM_MS)
        budget -= isqrt(budget);
    timeoutTurn = budget;
    return budget;
}

int capBudget(int budget, int turnLimit, int timeLeft) {
    if (turnLimit > 0 && budget > turnLimit) budget = turnLimit;
    if (timeLeft > 0 && budget > timeLeft / 2) budget = timeLeft / 2;
    return budget < 1 ? 1 : budget;
}

}  // namespace quillmot
