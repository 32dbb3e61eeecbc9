// ThreatClass of a square for one player, from its four LineTypes.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/cell.h"

namespace quillmot {

constexpr int CLASS_TABLE_SIZE = 10000;

// Indexed by 1000 a + 100 b + 10 c + d, the LineTypes of directions 0 to 3.
extern uint8_t ClassTable[CLASS_TABLE_SIZE];

// Depends only on how many of the four line types have each value.
int combineLineTypes(int a, int b, int c, int d);

// Fills ClassTable once per process; later calls return at once. Safe to call from
// several threads.
void initClassTable();

inline int classIndex(const uint8_t (&lineType)[4][2], int player) {
    return 1000 * lineType[0][player] + 100 * lineType[1][player] + 10 * lineType[2][player] +
           lineType[3][player];
}

// The eight line types of a square as one word, direction k and player p in byte 2k + p:
// one load on little-endian machines, byte by byte on others.
inline uint64_t lineTypeWord(const uint8_t (&lineType)[4][2]) {
    uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, lineType, sizeof word);
    } else {
        for (int i = 0; i < 8; ++i)
            word |= static_cast<uint64_t>(lineType[i / 2][i % 2]) << (8 * i);
    }
    return word;
}

inline void setLineTypeWord(uint8_t (&lineType)[4][2], uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(lineType, &word, sizeof word);
    } else {
        for (int i = 0; i < 8; ++i) lineType[i / 2][i % 2] = static_cast<uint8_t>(word >> (8 * i));
    }
}

// Both players' classes of a square as one 16-bit value, player 0's in the low byte. The
// move making reads and writes the line types and the classes of a square whole, never
// part of what it has just written, so the processor can hand each store on to the next
// load of the same square.
inline unsigned classPair(const uint8_t (&threatClass)[2]) {
    if constexpr (std::endian::native == std::endian::little) {
        uint16_t value;
        std::memcpy(&value, threatClass, sizeof value);
        return value;
    }
    return threatClass[0] | threatClass[1] << 8;
}
inline void setClassPair(uint8_t (&threatClass)[2], unsigned pair) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto value = static_cast<uint16_t>(pair);
        std::memcpy(threatClass, &value, sizeof value);
    } else {
        threatClass[0] = static_cast<uint8_t>(pair);
        threatClass[1] = static_cast<uint8_t>(pair >> 8);
    }
}

// classIndex from the word: one player's four types sit in 16-bit lanes, and a single
// multiplication sums them with the weights 1000, 100, 10 and 1 into the top lane (every
// partial sum stays below 2^16, so no carry crosses a lane).
inline int classIndexOfWord(uint64_t lineTypes, int player) {
    constexpr uint64_t LANES = 0x00FF00FF00FF00FFull;
    constexpr uint64_t WEIGHTS = (1000ull << 48) + (100ull << 32) + (10ull << 16) + 1;
    return static_cast<int>((((lineTypes >> (8 * player)) & LANES) * WEIGHTS) >> 48);
}

}  // namespace quillmot
