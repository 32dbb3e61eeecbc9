// The search clock: milliseconds that never go back, and when the deadline counts as
// passed.
#include "search/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_util.h"

namespace quillmot {
namespace {

using positions::startedEngine;

TEST(SearchClock, ReadingsAreMillisecondsThatNeverGoBack) {
    const int64_t t0 = readClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const int64_t t1 = readClock();
    EXPECT_GE(t1 - t0, 30);
    EXPECT_LT(t1 - t0, 30000);
    int64_t last = t1;
    for (int i = 0; i < 100000; ++i) {
        const int64_t now = readClock();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(SearchClock, TheDeadlineItselfHasPassed) {
    auto e = startedEngine(5);
    e->timeUp = 0;
    e->deadline = readClock();
    e->checkTime();
    EXPECT_EQ(e->timeUp, 1);
    e->timeUp = 0;
    e->deadline = readClock() - 1;
    e->checkTime();
    EXPECT_EQ(e->timeUp, 1);
}

TEST(SearchClock, OneMillisecondBeforeTheDeadlineHasNot) {
    auto e = startedEngine(5);
    // Retry until the clock has not ticked during the check, so the reading inside it was
    // exactly one millisecond before the deadline.
    bool exact = false;
    for (int attempt = 0; attempt < 1000 && !exact; ++attempt) {
        e->timeUp = 0;
        const int64_t before = readClock();
        e->deadline = before + 1;
        e->checkTime();
        const uint8_t seen = e->timeUp;
        if (readClock() != before) continue;
        exact = true;
        EXPECT_EQ(seen, 0);
    }
    EXPECT_TRUE(exact);
    e->timeUp = 0;
    e->deadline = readClock() + 60000;
    e->checkTime();
    EXPECT_EQ(e->timeUp, 0);
}

TEST(SearchClock, CheckTimeNeverClearsTheFlag) {
    auto e = startedEngine(5);
    e->deadline = readClock() - 5;
    e->checkTime();
    ASSERT_EQ(e->timeUp, 1);
    e->deadline = readClock() + 60000;
    e->checkTime();
    EXPECT_EQ(e->timeUp, 1);
    e->checkTime();
    EXPECT_EQ(e->timeUp, 1);
}

}  // namespace
}  // namespace quillmot
