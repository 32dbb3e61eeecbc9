// The entries of the two hash tables and of the principal-variation store that every
// Engine holds.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

constexpr uint8_t BOUND_NONE = 0;
constexpr uint8_t BOUND_UPPER = 4;  // the true score is at most the stored one (failed low)
constexpr uint8_t BOUND_LOWER = 8;  // at least the stored one (failed high)
constexpr uint8_t BOUND_EXACT = 16;
constexpr uint8_t BOUND_ANY = BOUND_UPPER | BOUND_LOWER | BOUND_EXACT;

// Probe results that are no score: both lie outside every score the search produces.
constexpr int PROBE_MISS = -200001;
constexpr int PROBE_KNOWN = 250000;  // stored with depth above 0, but no cutoff

// 4 + 4 (check keys) + 2 + 2 + 2 (score, depth, stones) + 2 (move) + 1 (bound), padded to
// 20 bytes: 2^18 entries take 5 MiB.
struct SearchEntry {
    uint32_t check1;
    uint32_t check2;
    int16_t score;
    int16_t depth;
    int16_t stones;  // moveCount of an exact-value store; nothing consults it
    Point move;
    uint8_t bound;
};
static_assert(sizeof(SearchEntry) == 20);

// 4 + 4 (check keys) + 2 (threat code) + 2 (move) = 12 bytes: 2^21 entries take 24 MiB.
// The code has 16 bits because they come free in a 12-byte entry, and no forcing line,
// however long, can wrap a win into a loss.
struct ThreatEntry {
    uint32_t check1;
    uint32_t check2;
    int16_t result;
    Point move;  // the square whose trial gave the code; nothing reads it back
};
static_assert(sizeof(ThreatEntry) == 12);

}  // namespace quillmot
