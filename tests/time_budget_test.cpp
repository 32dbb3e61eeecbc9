// The time budget of a turn: the arithmetic on the manager's settings and its caps.
#include "protocol/time_budget.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

namespace quillmot {
namespace {

TEST(ProtocolBudget, IsqrtRoundsDown) {
    EXPECT_EQ(isqrt(0), 0);
    EXPECT_EQ(isqrt(-5), 0);
    EXPECT_EQ(isqrt(24), 4);
    EXPECT_EQ(isqrt(25), 5);
    EXPECT_EQ(isqrt(29827), 172);
    EXPECT_EQ(isqrt(INT_MAX), 46340);
}

TEST(ProtocolBudget, TurnBudgetShrinksByItsSquareRootUntilBelow25Seconds) {
    int timeoutTurn = INITIAL_TIMEOUT_TURN;
    const int timeLeft = 1000000000;
    EXPECT_EQ(turnBudget(4, timeLeft, timeoutTurn), 29827);
    EXPECT_EQ(timeoutTurn, 29827);
    EXPECT_EQ(turnBudget(5, timeLeft, timeoutTurn), 29655);
    EXPECT_EQ(turnBudget(6, timeLeft, timeoutTurn), 29483);
    EXPECT_EQ(turnBudget(7, timeLeft, timeoutTurn), 29312);
    int previous = 29312;
    for (int turn = 5; turn <= 30; ++turn) {
        const int budget = turnBudget(turn + 3, timeLeft, timeoutTurn);
        EXPECT_LT(budget, previous) << "turn " << turn;
        EXPECT_GE(budget, 25000) << "turn " << turn;
        previous = budget;
    }
    EXPECT_EQ(turnBudget(34, timeLeft, timeoutTurn), 24877);  // the 31st turn
    for (int turn = 32; turn < 40; ++turn)
        EXPECT_EQ(turnBudget(turn + 3, timeLeft, timeoutTurn), 24877);
    EXPECT_EQ(timeoutTurn, 24877);
}

TEST(ProtocolBudget, TurnBudgetFromTheTimeLeft) {
    int timeoutTurn = INITIAL_TIMEOUT_TURN;
    EXPECT_EQ(turnBudget(4, 60000, timeoutTurn), 3000);
    timeoutTurn = INITIAL_TIMEOUT_TURN;
    EXPECT_EQ(turnBudget(4, 20000, timeoutTurn), 1500);
    timeoutTurn = INITIAL_TIMEOUT_TURN;
    EXPECT_EQ(turnBudget(4, -1, timeoutTurn), 1500);
    EXPECT_EQ(turnBudget(4, INT_MIN, timeoutTurn), 1500);
    EXPECT_EQ(turnBudget(4, 0, timeoutTurn), 1500);
}

TEST(ProtocolBudget, TurnBudgetTurnSettingBoundsLargeTimeLeftAndTakesTheBudget) {
    int timeoutTurn = INITIAL_TIMEOUT_TURN;
    EXPECT_EQ(turnBudget(4, 100000, timeoutTurn), 5000);
    EXPECT_EQ(timeoutTurn, 5000);
    // The written-back budget holds while the time left is large again.
    EXPECT_EQ(turnBudget(5, 1000000000, timeoutTurn), 5000);
    EXPECT_EQ(timeoutTurn, 5000);

    timeoutTurn = 0;
    EXPECT_EQ(turnBudget(4, 1000000000, timeoutTurn), 1500);
    timeoutTurn = 100000;
    EXPECT_EQ(turnBudget(4, 1000000000, timeoutTurn), 99684);
    EXPECT_EQ(timeoutTurn, 99684);
    timeoutTurn = INT_MAX;
    EXPECT_EQ(turnBudget(4, INT_MAX, timeoutTurn), 107374182 - 10362);
}

TEST(ProtocolBudget, TurnBudgetSecondAndThirdMovesGetFourSecondsAndChangeNothing) {
    for (int moveNumber : {2, 3}) {
        int timeoutTurn = 12345;
        EXPECT_EQ(turnBudget(moveNumber, 20000, timeoutTurn), 4000);
        EXPECT_EQ(timeoutTurn, 12345);
        EXPECT_EQ(turnBudget(moveNumber, -5, timeoutTurn), 4000);
        EXPECT_EQ(timeoutTurn, 12345);
    }
}

TEST(ProtocolBudget, CapBudgetNeverAboveTheTurnLimitNorHalfTheTimeLeft) {
    EXPECT_EQ(capBudget(1500, 1000, INT_MAX), 1000);
    EXPECT_EQ(capBudget(4000, 300, 1000000000), 300);
    EXPECT_EQ(capBudget(4000, 30000, 6000), 3000);
    EXPECT_EQ(capBudget(4000, 1000, 1000), 500);  // the smaller of both caps
    // A limit of 0 or below is no limit.
    EXPECT_EQ(capBudget(1500, 0, 1000000000), 1500);
    EXPECT_EQ(capBudget(1500, -20, 1000000000), 1500);
    EXPECT_EQ(capBudget(1500, 30000, 0), 1500);
    EXPECT_EQ(capBudget(1500, 30000, -5), 1500);
    // Never below 1 ms.
    EXPECT_EQ(capBudget(1500, 30000, 1), 1);
    EXPECT_EQ(capBudget(4000, 1, 3), 1);
}

TEST(ProtocolBudget, CapBudgetKeepsEveryFigureOfTheUsualSettings) {
    auto capped = [](int moveNumber, int timeLeft, int timeoutTurn) {
        const int turnLimit = timeoutTurn;
        const int budget = turnBudget(moveNumber, timeLeft, timeoutTurn);
        return capBudget(budget, turnLimit, timeLeft);
    };
    EXPECT_EQ(capped(4, 1000000000, 30000), 29827);
    EXPECT_EQ(capped(4, 60000, 30000), 3000);
    EXPECT_EQ(capped(4, 20000, 30000), 1500);
    EXPECT_EQ(capped(4, -1, 30000), 1500);
    EXPECT_EQ(capped(4, 100000, 30000), 5000);
    EXPECT_EQ(capped(4, 1000000000, 0), 1500);
    EXPECT_EQ(capped(4, 1000000000, 100000), 99684);
    EXPECT_EQ(capped(2, 1000000000, 30000), 4000);
    // What a manager with a one-second turn limit and no game limit gets.
    EXPECT_EQ(capped(2, INT_MAX, 1000), 1000);
    EXPECT_EQ(capped(9, INT_MAX, 1000), 1000);
    EXPECT_EQ(capped(9, INT_MAX, 300), 300);
}

// The trim begins at exactly 25 s: 24999 stays, 25000 loses its square root (158).
TEST(ProtocolBudget, TheTrimStartsAtExactly25Seconds) {
    const std::pair<int, int> settingAndBudget[] = {{24999, 24999}, {25000, 24842}, {25001, 24843}};
    for (const auto& [setting, budget] : settingAndBudget) {
        int timeoutTurn = setting;
        EXPECT_EQ(turnBudget(4, 1000000000, timeoutTurn), budget) << setting;
    }
}

}  // namespace
}  // namespace quillmot
