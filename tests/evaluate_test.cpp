// The static evaluation: weighted counts of threat classes, seen from the side to move.
#include <gtest/gtest.h>

#include "test_util.h"

namespace quillmot {
namespace {

TEST(Evaluate, WeightsDependOnTheOpponentsFive) {
    auto e = positions::startedEngine(15);
    for (auto& counts : e->classCounts)
        for (auto& count : counts) count = 0;
    e->classCounts[0][CLASS_OPEN_FOUR] = 2;
    e->classCounts[0][3] = 1;
    e->classCounts[1][CLASS_FIVE] = 1;
    EXPECT_EQ(e->evaluate(), 2 * 20 + 5 - 30);
    e->classCounts[1][CLASS_FIVE] = 0;
    EXPECT_EQ(e->evaluate(), 2 * 200 + 5);
    // Seen from the other side, and with the tempo bonus on even plies.
    e->sideToMove = 1;
    e->otherSide = 0;
    EXPECT_EQ(e->evaluate(), -(2 * 20 + 5));
    e->ply = 4;
    EXPECT_EQ(e->leafValue(), -(2 * 20 + 5) + TEMPO_BONUS);
    e->ply = 5;
    EXPECT_EQ(e->leafValue(), -(2 * 20 + 5));
}

}  // namespace
}  // namespace quillmot
