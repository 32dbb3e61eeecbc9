// Line classification: the LineType of one line (one direction, one player) at an empty
// square, indexed by the raw masks m * 256 + o, where m is the player's mask and o the
// opponent's.
#pragma once

#include <cstdint>

namespace quillmot {

constexpr int LINE_TABLE_SIZE = 65536;

// LineType values.
constexpr int LINE_FIVE = 9;
constexpr int LINE_OPEN_FOUR = 8;
constexpr int LINE_FOUR = 7;
constexpr int LINE_OPEN_THREE = 6;
constexpr int LINE_THREE = 5;
constexpr int LINE_OPEN_TWO = 4;

extern uint8_t LineTypeTable[LINE_TABLE_SIZE];

// Both players' line types of one direction in one read, indexed by the two masks as
// player 0's mask | player 1's mask << 8: player 0's type in the low byte, player 1's in
// the high byte. The same values as two LineTypeTable reads.
extern uint16_t LineTypePairTable[LINE_TABLE_SIZE];
inline int maskPairIndex(unsigned mask0, unsigned mask1) {
    return static_cast<int>(mask0 | mask1 << 8);
}

// Generates LineTypeTable and LineTypePairTable from their rules. Runs its work once per
// process; later calls return at once. Safe to call from several threads.
void initLineTables();

inline int lineIndex(unsigned own, unsigned opp) { return static_cast<int>(own << 8 | opp); }

}  // namespace quillmot
