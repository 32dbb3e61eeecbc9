// How the line tables read a line: the nine squares of one direction through an empty
// square, from the two masks. Shared by the line-type and cell-score generators.
#pragma once

#include <array>
#include <cstdint>

namespace quillmot::lines {

// A line is read as nine squares, j = -4 .. +4, with the empty square itself at index 4,
// taken as an own stone. A neighbour is blocked when its bit is set in the opponent's
// mask (an opponent stone or an outside square), own when set only in the player's mask.
enum Square : uint8_t { SQ_EMPTY = 0, SQ_OWN = 1, SQ_BLOCKED = 2 };
constexpr int LINE_LEN = 9;
constexpr int CENTRE = 4;
constexpr int LINE_CODES = 6561;  // 3^8 ways to fill the eight neighbours
using Line = std::array<Square, LINE_LEN>;

// Line square of mask bit i: bits 0..3 are j = -4..-1, bits 4..7 are j = +1..+4.
constexpr int squareOfBit(int bit) { return bit < 4 ? bit : bit + 1; }

inline Line readLine(unsigned own, unsigned opp) {
    Line line{};
    line[CENTRE] = SQ_OWN;
    for (int bit = 0; bit < 8; ++bit) {
        Square sq = SQ_EMPTY;
        if (opp >> bit & 1)
            sq = SQ_BLOCKED;
        else if (own >> bit & 1)
            sq = SQ_OWN;
        line[squareOfBit(bit)] = sq;
    }
    return line;
}

// Base-3 code of the eight neighbours; the centre is always own.
inline int lineCode(const Line& line) {
    int code = 0;
    for (int i = LINE_LEN - 1; i >= 0; --i)
        if (i != CENTRE) code = code * 3 + line[i];
    return code;
}

// Length of the run of own stones through the centre.
inline int runThroughCentre(const Line& line) {
    int lo = CENTRE, hi = CENTRE;
    while (lo > 0 && line[lo - 1] == SQ_OWN) --lo;
    while (hi < LINE_LEN - 1 && line[hi + 1] == SQ_OWN) ++hi;
    return hi - lo + 1;
}

// A line drawn as nine characters: X or + own, B blocked, anything else empty.
inline Line parseLine(const char* text) {
    Line line{};
    for (int i = 0; i < LINE_LEN; ++i)
        line[i] = text[i] == 'X' || text[i] == '+' ? SQ_OWN
                  : text[i] == 'B'                 ? SQ_BLOCKED
                                                   : SQ_EMPTY;
    return line;
}

}  // namespace quillmot::lines
