// Line classification: the LineType and the move-ordering potential of one line (one
// direction, one player) at an empty square, indexed by the raw masks m * 256 + o, where
// m is the player's mask and o the opponent's.
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
extern int16_t CellScoreTable[LINE_TABLE_SIZE];

// Generates LineTypeTable and CellScoreTable from their rules. Runs its work once per
// process; later calls return at once. Safe to call from several threads.
void initLineTables();

inline int lineIndex(unsigned own, unsigned opp) { return static_cast<int>(own << 8 | opp); }

}  // namespace quillmot
