// Entries of the threat-search table.
#pragma once

#include <cstdint>

#include "engine/types.h"

namespace quillmot {

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
