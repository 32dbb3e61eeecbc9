// The search transposition table and the principal-variation store: the exact edges at
// which a stored bound cuts, and which entry survives a store.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <thread>

#include "search/clock.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::startedEngine;

static_assert(offsetof(SearchEntry, check1) == 0 && offsetof(SearchEntry, check2) == 4 &&
              offsetof(SearchEntry, score) == 8 && offsetof(SearchEntry, depth) == 10 &&
              offsetof(SearchEntry, stones) == 12 && offsetof(SearchEntry, move) == 14 &&
              offsetof(SearchEntry, bound) == 16);

// Puts the engine "on" a position with the given hash; the table reads nothing else.
void setHash(Engine& e, uint32_t index, uint32_t check1, uint32_t check2) {
    e.hashIndex = index;
    e.hashCheck1 = check1;
    e.hashCheck2 = check2;
}

// An engine on a fixed position whose table slot holds one entry.
struct SearchTableProbe : ::testing::Test {
    std::unique_ptr<Engine> e = startedEngine(15);
    static constexpr uint32_t INDEX = 12345, CHECK1 = 0xA1B2C3D4, CHECK2 = 0x0F1E2D3C;

    void SetUp() override { setHash(*e, INDEX, CHECK1, CHECK2); }
    void put(int score, int depth, uint8_t bound) {
        const auto s16 = [](int v) { return static_cast<int16_t>(v); };
        e->searchTable[INDEX] =
            SearchEntry{CHECK1, CHECK2, s16(score), s16(depth), 0, Point{9, 9}, bound};
    }
    int probe(int alpha, int beta, int depth, int atPly = 0) const {
        return e->probeSearchTable(alpha, beta, depth, atPly);
    }
};

TEST_F(SearchTableProbe, EitherCheckKeyDifferingIsAMiss) {
    put(500, 9, BOUND_EXACT);
    EXPECT_EQ(probe(-1000, 1000, 3), 500);
    e->hashCheck1 = CHECK1 + 1;
    EXPECT_EQ(probe(-1000, 1000, 3), PROBE_MISS);
    e->hashCheck1 = CHECK1;
    e->hashCheck2 = CHECK2 ^ 0x80000000u;
    EXPECT_EQ(probe(-1000, 1000, 3), PROBE_MISS);
    // A decisive exact score of another position does not leak either.
    put(20000, 9, BOUND_EXACT);
    EXPECT_EQ(probe(-1000, 1000, 3), PROBE_MISS);
}

TEST_F(SearchTableProbe, ScoresOnTheWindowEdgeCut) {
    put(300, 4, BOUND_LOWER);
    EXPECT_EQ(probe(100, 300, 4), 300);          // equal to beta
    EXPECT_EQ(probe(100, 301, 4), PROBE_KNOWN);  // one below beta
    put(-300, 4, BOUND_UPPER);
    EXPECT_EQ(probe(-300, 100, 4), -300);         // equal to alpha
    EXPECT_EQ(probe(-301, 100, 4), PROBE_KNOWN);  // one above alpha
    put(0, 4, BOUND_EXACT);
    EXPECT_EQ(probe(50, 60, 4), 0);  // exact cuts wherever the window lies
}

TEST_F(SearchTableProbe, ALowerBoundBelowBetaNeverCutsEvenBelowAlpha) {
    put(-500, 6, BOUND_LOWER);
    EXPECT_EQ(probe(-100, 100, 2), PROBE_KNOWN);
    put(500, 6, BOUND_UPPER);  // and an upper bound above alpha, even above beta
    EXPECT_EQ(probe(-100, 100, 2), PROBE_KNOWN);
}

TEST_F(SearchTableProbe, ShallowEntriesCutOnlyAtTheirDepthOrLess) {
    put(700, 3, BOUND_LOWER);
    EXPECT_EQ(probe(0, 500, 3), 700);
    EXPECT_EQ(probe(0, 500, 2), 700);
    EXPECT_EQ(probe(0, 500, 4), PROBE_KNOWN);
    put(700, 3, BOUND_EXACT);
    EXPECT_EQ(probe(0, 500, 4), PROBE_KNOWN);
}

TEST_F(SearchTableProbe, NoCutoffIsAMissUnlessTheEntryHasDepth) {
    put(100, 0, BOUND_LOWER);
    EXPECT_EQ(probe(0, 500, 0), PROBE_MISS);  // matching depth, but no cut
    EXPECT_EQ(probe(0, 500, 1), PROBE_MISS);
    put(100, -1, BOUND_EXACT);
    EXPECT_EQ(probe(0, 500, 1), PROBE_MISS);
    put(100, 1, BOUND_EXACT);
    EXPECT_EQ(probe(0, 500, 2), PROBE_KNOWN);
    // Without a bound the entry only says the position is known.
    put(100, 7, BOUND_NONE);
    EXPECT_EQ(probe(0, 50, 1), PROBE_KNOWN);
    put(100, 0, BOUND_NONE);
    EXPECT_EQ(probe(0, 50, 0), PROBE_MISS);
    // Bits outside the three bound types are no bound.
    put(100, 7, 0x23);
    EXPECT_EQ(probe(0, 50, 1), PROBE_KNOWN);
}

TEST_F(SearchTableProbe, DecisiveScoresShrinkByPlyAndAreTrustedAtAnyDepth) {
    put(12000, 1, BOUND_LOWER);
    EXPECT_EQ(probe(0, 11990, 8, 3), 11997);
    EXPECT_EQ(probe(0, 11997, 8, 3), 11997);
    // The bound is tested on the adjusted score: the stored 12000 would reach 11999.
    EXPECT_EQ(probe(0, 11999, 8, 3), PROBE_KNOWN);

    put(-15000, 1, BOUND_UPPER);
    EXPECT_EQ(probe(-14000, 0, 8, 2), -14998);
    EXPECT_EQ(probe(-14999, 0, 8, 2), PROBE_KNOWN);

    // The band starts at 10000; an exact score may leave the band once adjusted.
    put(10000, 0, BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 12, 4), 9996);
    put(-10000, 0, BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 12, 4), -9996);
    put(9999, 2, BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 3, 4), PROBE_KNOWN);
    put(-9999, 2, BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 3, 4), PROBE_KNOWN);
    // A decisive bound that does not cut still falls back on the depth rule.
    put(20000, 0, BOUND_LOWER);
    EXPECT_EQ(probe(0, 25000, 5, 1), PROBE_MISS);
}

TEST_F(SearchTableProbe, DecisiveScoresAreTrustedAtTheRootToo) {
    // At ply 0 nothing is subtracted, but the score is still in the decisive band.
    put(10000, 1, BOUND_LOWER);
    EXPECT_EQ(probe(-32000, 9000, 9, 0), 10000);
    put(-10000, 1, BOUND_UPPER);
    EXPECT_EQ(probe(-9000, 32000, 9, 0), -10000);
    put(29995, 5, BOUND_EXACT);
    EXPECT_EQ(probe(-32000, 32000, 6, 0), 29995);
    put(9999, 1, BOUND_LOWER);
    EXPECT_EQ(probe(-32000, 9000, 9, 0), PROBE_KNOWN);
}

TEST_F(SearchTableProbe, TheFirstBoundBitSetDecides) {
    // Lower before upper before exact: a lower bound that misses beta does not fall through.
    put(-200, 5, BOUND_LOWER | BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 5), PROBE_KNOWN);
    put(-200, 5, BOUND_LOWER | BOUND_UPPER);
    EXPECT_EQ(probe(-100, 100, 5), PROBE_KNOWN);
    put(200, 5, BOUND_LOWER | BOUND_UPPER);
    EXPECT_EQ(probe(-100, 100, 5), 200);
    put(200, 5, BOUND_UPPER | BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 5), PROBE_KNOWN);
    put(-200, 5, BOUND_UPPER | BOUND_EXACT);
    EXPECT_EQ(probe(-100, 100, 5), -200);
}

struct SearchTableStore : SearchTableProbe {
    const SearchEntry& entry() const { return e->searchTable[INDEX]; }
};

// storeSearchResult and probeSearchTable on real positions: the hash of the stones, not
// the order they came in, finds the entry.
TEST_F(SearchTableStore, RealPositionsAndTranspositions) {
    auto a = startedEngine(15);
    positions::playMoves(*a, {{7, 7}, {8, 8}, {6, 7}});
    a->storeSearchResult(Point{12, 11}, -29990, BOUND_UPPER, 4);
    EXPECT_EQ(a->searchTable[a->hashIndex].score, -29990);
    EXPECT_EQ(a->probeSearchTable(-29000, 32000, 20, 0), -29990);  // decisive: any depth
    EXPECT_EQ(a->probeSearchTable(-29000, 32000, 20, 5), -29985);

    // Another move order reaches the same entry.
    positions::playMoves(*a, {{6, 8}});
    EXPECT_EQ(a->probeSearchTable(-32000, 32000, 1, 0), PROBE_MISS);
    for (int i = 0; i < 4; ++i) a->undo();
    positions::playMoves(*a, {{6, 7}, {8, 8}, {7, 7}});
    EXPECT_EQ(a->probeSearchTable(-29000, 32000, 20, 0), -29990);
}

TEST_F(SearchTableStore, ADeeperBoundedEntryStaysWhicheverPositionStores) {
    e->storeSearchResult(Point{7, 8}, 150, BOUND_LOWER, 5);
    // Another position on the same slot, with a shallower result: ignored.
    setHash(*e, INDEX, CHECK1 + 7, CHECK2);
    e->storeSearchResult(Point{9, 10}, -40, BOUND_EXACT, 4);
    EXPECT_EQ(entry().check1, CHECK1);
    EXPECT_EQ(entry().move, (Point{7, 8}));
    EXPECT_EQ(entry().score, 150);
    EXPECT_EQ(entry().depth, 5);
    EXPECT_EQ(entry().bound, BOUND_LOWER);
    EXPECT_EQ(e->probeSearchTable(-100, 100, 1, 0), PROBE_MISS);
    // The same position with a shallower result is ignored as well.
    setHash(*e, INDEX, CHECK1, CHECK2);
    e->storeSearchResult(Point{9, 10}, -40, BOUND_EXACT, 4);
    EXPECT_EQ(e->probeSearchTable(-100, 100, 5, 0), 150);

    // Equal depth replaces, whoever stores.
    setHash(*e, INDEX, CHECK1 + 7, CHECK2);
    e->storeSearchResult(Point{9, 10}, -40, BOUND_EXACT, 5);
    EXPECT_EQ(entry().check1, CHECK1 + 7);
    EXPECT_EQ(entry().check2, CHECK2);
    EXPECT_EQ(entry().move, (Point{9, 10}));
    EXPECT_EQ(e->probeSearchTable(-100, 100, 5, 0), -40);
    // And deeper replaces.
    setHash(*e, INDEX, CHECK1, CHECK2 + 1);
    e->storeSearchResult(Point{11, 4}, 77, BOUND_UPPER, 6);
    EXPECT_EQ(entry().check2, CHECK2 + 1);
    EXPECT_EQ(e->probeSearchTable(80, 100, 6, 0), 77);
}

TEST_F(SearchTableStore, AnyDepthReplacesAnEntryWithoutABound) {
    put(900, 12, BOUND_NONE);
    e->storeSearchResult(Point{5, 6}, 33, BOUND_EXACT, 1);
    EXPECT_EQ(entry().depth, 1);
    EXPECT_EQ(entry().move, (Point{5, 6}));
    EXPECT_EQ(e->probeSearchTable(-100, 100, 1, 0), 33);
    // Also after a search has cleared the bounds.
    e->storeSearchResult(Point{7, 7}, 400, BOUND_LOWER, 9);
    e->clearSearchBounds();
    e->storeSearchResult(Point{8, 8}, -5, BOUND_UPPER, 0);
    EXPECT_EQ(entry().move, (Point{8, 8}));
    EXPECT_EQ(entry().depth, 0);
    EXPECT_EQ(entry().bound, BOUND_UPPER);
}

TEST_F(SearchTableStore, StonesAreKeptBySearchResultsAndWrittenByExactValues) {
    e->storeExactValue(-250, 3, 37, Point{6, 9});
    EXPECT_EQ(entry().stones, 37);
    e->storeSearchResult(Point{10, 10}, 12, BOUND_EXACT, 3);
    EXPECT_EQ(entry().stones, 37);
    EXPECT_EQ(entry().score, 12);
}

TEST_F(SearchTableStore, ExactValuesOverwriteEverythingButTheBound) {
    e->storeSearchResult(Point{7, 8}, 150, BOUND_LOWER, 9);
    setHash(*e, INDEX, CHECK1 ^ 1, CHECK2 ^ 2);
    e->storeExactValue(-250, 2, 11, Point{6, 9});  // shallower and another position
    EXPECT_EQ(entry().check1, CHECK1 ^ 1);
    EXPECT_EQ(entry().check2, CHECK2 ^ 2);
    EXPECT_EQ(entry().score, -250);
    EXPECT_EQ(entry().depth, 2);
    EXPECT_EQ(entry().stones, 11);
    EXPECT_EQ(entry().move, (Point{6, 9}));
    EXPECT_EQ(entry().bound, BOUND_LOWER);

    // On an entry without a bound the value stays invisible to the bound test.
    put(0, 0, BOUND_NONE);
    e->storeExactValue(60, 4, 11, Point{6, 9});
    EXPECT_EQ(entry().bound, BOUND_NONE);
    EXPECT_EQ(e->probeSearchTable(-100, 100, 1, 0), PROBE_KNOWN);
}

TEST_F(SearchTableStore, ClearingBoundsKeepsKeysDepthsAndMoves) {
    const uint32_t slots[] = {0, 1, 77777, SEARCH_TABLE_SIZE - 1};
    for (uint32_t slot : slots) {
        setHash(*e, slot, slot * 3 + 1, slot * 5 + 2);
        e->storeSearchResult(Point{uint8_t(5 + slot % 7), 6}, 20000, BOUND_EXACT, 4);
        e->storeExactValue(-3, 4, 9, Point{uint8_t(5 + slot % 7), 6});
    }
    e->clearSearchBounds();
    for (const SearchEntry& entry : e->searchTable) ASSERT_EQ(entry.bound, BOUND_NONE);
    for (uint32_t slot : slots) {
        const SearchEntry& entry = e->searchTable[slot];
        EXPECT_EQ(entry.check1, slot * 3 + 1);
        EXPECT_EQ(entry.check2, slot * 5 + 2);
        EXPECT_EQ(entry.score, -3);
        EXPECT_EQ(entry.depth, 4);
        EXPECT_EQ(entry.stones, 9);
        EXPECT_EQ(entry.move, (Point{uint8_t(5 + slot % 7), 6}));
        // Known, never a cutoff, even for a decisive score.
        setHash(*e, slot, slot * 3 + 1, slot * 5 + 2);
        e->searchTable[slot].score = 20000;
        EXPECT_EQ(e->probeSearchTable(-32000, 32000, 1, 0), PROBE_KNOWN);
    }
}

// The triangular update: a node's line is its move followed by its child's line.
TEST(SearchTablePv, StorePvPutsTheMoveBeforeTheChildsLine) {
    auto e = startedEngine(15);
    e->pvTable[1][1] = {11, 12};
    e->pvTable[1][2] = {13, 14};
    e->pvTable[1][3] = {99, 99};  // beyond the child's line
    e->pvTable[0][3] = {77, 77};
    e->pvLength[1] = 3;
    e->ply = 0;
    e->storePv(9, 10);
    EXPECT_EQ(e->pvTable[0][0].x, 9);
    EXPECT_EQ(e->pvTable[0][0].y, 10);
    EXPECT_EQ(e->pvTable[0][1].x, 11);
    EXPECT_EQ(e->pvTable[0][1].y, 12);
    EXPECT_EQ(e->pvTable[0][2].x, 13);
    EXPECT_EQ(e->pvTable[0][2].y, 14);
    EXPECT_EQ(e->pvTable[0][3].x, 77);  // untouched
    EXPECT_EQ(e->pvLength[0], 3);
}

TEST(SearchTablePv, LinesBuildUpFromTheLeafAndStopAtALeafChild) {
    auto e = startedEngine(15);
    // Plies 3, 2, 1 each record a move on the way back up from a leaf at ply 4, which set
    // pvLength[4] = 4 on entry.
    e->pvLength[4] = 4;
    for (int p = 3; p >= 0; --p) {
        e->ply = p;
        e->storePv(20 + p, 30 + p);
        EXPECT_EQ(e->pvLength[p], 4);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e->pvTable[0][i].x, 20 + i) << i;
        EXPECT_EQ(e->pvTable[0][i].y, 30 + i) << i;
    }
    // The deepest ply the store supports.
    e->ply = PV_PLIES - 2;
    e->pvLength[PV_PLIES - 1] = PV_PLIES - 1;
    e->storePv(5, 6);
    EXPECT_EQ(e->pvLength[PV_PLIES - 2], PV_PLIES - 1);
    EXPECT_EQ(e->pvTable[PV_PLIES - 2][PV_PLIES - 2].x, 5);
}

}  // namespace
}  // namespace quillmot
