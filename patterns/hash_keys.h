// Zobrist-style keys of the position hash: one index key and two check keys per stone.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

// Every (x, y, player) of the 40 by 40 board array has its own keys, so boards of any
// side up to 32 (engine coordinates up to 35) never share a key between two squares.
constexpr int HASH_KEY_COUNT = 2 * BOARD_ARRAY * BOARD_ARRAY;

inline int hashKeyIndex(int x, int y, int player) {
    return x + BOARD_ARRAY * y + BOARD_ARRAY * BOARD_ARRAY * player;
}

// Distinct pseudo-random values below 2^30 within each table, fixed for every build.
struct HashKeyTables {
    uint32_t index[HASH_KEY_COUNT];
    uint32_t check1[HASH_KEY_COUNT];
    uint32_t check2[HASH_KEY_COUNT];
};

extern HashKeyTables HashKeys;

// Generates the keys from a fixed seed, once per process.
void initHashKeys();

}  // namespace quillmot
