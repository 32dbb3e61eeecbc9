// Move ordering: the comparison and the stable sort that keeps equal scores in their
// generation order.
#include "search/ordering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace quillmot {
namespace {

TEST(Ordering, CompareAndStableSort) {
    ScoredMove list[] = {{1, 1, 5}, {2, 2, 25020}, {3, 3, 10000},
                         {4, 4, 5}, {5, 5, 10000}, {6, 6, 5}};
    EXPECT_LT(compareScoreDescending(list[1], list[0]), 0);
    sortMoves(list, 6);
    const int expectedX[] = {2, 3, 5, 1, 4, 6};  // equal scores keep their order
    for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i].x, expectedX[i]);
}

// Lists of every length and mix of scores sort like a stable sort by descending score.
TEST(Ordering, SortMatchesAStableSortOnRandomLists) {
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        const int count = static_cast<int>(rng() % 300);
        std::vector<ScoredMove> list(count);
        for (int i = 0; i < count; ++i) {
            int score = static_cast<int>(rng() % 122);
            const unsigned pick = rng() % 100;
            if (pick < 2) score = TABLE_MOVE_SCORE;
            if (pick == 2) score = PV_PRIORITY;
            if (pick == 3 && round % 10 == 0) score = -5;  // a score the generator never gives
            list[i] = ScoredMove{static_cast<int16_t>(i), 0, score};
        }
        std::vector<ScoredMove> expected = list;
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const ScoredMove& a, const ScoredMove& b) { return a.score > b.score; });
        sortMoves(list.data(), count);
        for (int i = 0; i < count; ++i) ASSERT_EQ(list[i].x, expected[i].x) << round << " " << i;
    }
}

}  // namespace
}  // namespace quillmot
