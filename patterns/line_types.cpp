#include "patterns/line_types.h"

#include <array>
#include <cstring>
#include <mutex>

namespace quillmot {

uint8_t LineTypeTable[LINE_TABLE_SIZE];
int16_t CellScoreTable[LINE_TABLE_SIZE];
uint16_t LineTypePairTable[LINE_TABLE_SIZE];

namespace {

// A line is read as nine squares, j = -4 .. +4, with the empty square itself at index 4,
// taken as an own stone. A neighbour is blocked when its bit is set in the opponent's
// mask (an opponent stone or an outside square), own when set only in the player's mask.
enum Square : uint8_t { SQ_EMPTY = 0, SQ_OWN = 1, SQ_BLOCKED = 2 };
constexpr int LINE_LEN = 9;
constexpr int CENTRE = 4;
using Line = std::array<Square, LINE_LEN>;

// Line square of mask bit i: bits 0..3 are j = -4..-1, bits 4..7 are j = +1..+4.
constexpr int squareOfBit(int bit) { return bit < 4 ? bit : bit + 1; }

Line readLine(unsigned own, unsigned opp) {
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
int lineCode(const Line& line) {
    int code = 0;
    for (int i = LINE_LEN - 1; i >= 0; --i)
        if (i != CENTRE) code = code * 3 + line[i];
    return code;
}

int runThroughCentre(const Line& line) {
    int lo = CENTRE, hi = CENTRE;
    while (lo > 0 && line[lo - 1] == SQ_OWN) --lo;
    while (hi < LINE_LEN - 1 && line[hi + 1] == SQ_OWN) ++hi;
    return hi - lo + 1;
}

constexpr int LINE_CODES = 6561;  // 3^8
int8_t lineTypeMemo[LINE_CODES];

// 1. five or more through the centre: 9; 2. two or more squares that complete one: 8,
// exactly one: 7; 3. otherwise the best line one own stone further on, less 2.
int lineTypeOf(Line& line) {
    int code = lineCode(line);
    if (lineTypeMemo[code] >= 0) return lineTypeMemo[code];
    int value;
    if (runThroughCentre(line) >= 5) {
        value = LINE_FIVE;
    } else {
        int completing = 0;
        for (int i = 0; i < LINE_LEN; ++i) {
            if (line[i] != SQ_EMPTY) continue;
            line[i] = SQ_OWN;
            if (runThroughCentre(line) >= 5) ++completing;
            line[i] = SQ_EMPTY;
        }
        if (completing >= 2) {
            value = LINE_OPEN_FOUR;
        } else if (completing == 1) {
            value = LINE_FOUR;
        } else {
            int bestNext = -1;
            for (int i = 0; i < LINE_LEN; ++i) {
                if (line[i] != SQ_EMPTY) continue;
                line[i] = SQ_OWN;
                int next = lineTypeOf(line);
                line[i] = SQ_EMPTY;
                if (next > bestNext) bestNext = next;
            }
            value = bestNext < 2 ? 0 : bestNext - 2;
        }
    }
    lineTypeMemo[code] = static_cast<int8_t>(value);
    return value;
}

// Own stones (the centre not counted) summed over the five windows of five squares that
// contain the centre and no blocked square.
int windowPotential(const Line& line) {
    int total = 0;
    for (int start = 0; start + 4 < LINE_LEN; ++start) {
        int own = 0;
        bool open = true;
        for (int i = start; i < start + 5; ++i) {
            if (line[i] == SQ_BLOCKED) open = false;
            if (line[i] == SQ_OWN && i != CENTRE) ++own;
        }
        if (open) total += own;
    }
    return total;
}

Line parseLine(const char* text) {
    Line line{};
    for (int i = 0; i < LINE_LEN; ++i)
        line[i] = text[i] == 'X' || text[i] == '+' ? SQ_OWN : text[i] == 'B' ? SQ_BLOCKED : SQ_EMPTY;
    return line;
}

// Lines of LineType 6 that score their window potential instead of 15.
constexpr const char* OPEN_THREES_SCORED_BY_POTENTIAL[] = {
    "BBX-+X--X", "BX-X+--XB", "BX-X+--X-", "BX--+X-XB", "XBX-+X--X",
    "X--X+-XBB", "X--X+-XBX", "X--X+-XB-", "-BX-+X--X", "-X--+X-XB",
};
// The one weak line that nevertheless scores 15.
constexpr const char* WEAK_LINE_SCORED_HIGH = "B---+--XB";

void generate() {
    std::memset(lineTypeMemo, -1, sizeof lineTypeMemo);
    bool potentialOnly[LINE_CODES] = {};
    for (const char* text : OPEN_THREES_SCORED_BY_POTENTIAL) potentialOnly[lineCode(parseLine(text))] = true;
    const int weakHigh = lineCode(parseLine(WEAK_LINE_SCORED_HIGH));

    for (unsigned own = 0; own < 256; ++own) {
        for (unsigned opp = 0; opp < 256; ++opp) {
            Line line = readLine(own, opp);
            const int code = lineCode(line);
            const int type = lineTypeOf(line);
            const int potential = windowPotential(line);
            int score;
            if (type >= LINE_OPEN_THREE)
                score = potentialOnly[code] ? potential : 15;
            else
                score = code == weakHigh ? 15 : potential >= 4 ? potential : 0;
            LineTypeTable[lineIndex(own, opp)] = static_cast<uint8_t>(type);
            CellScoreTable[lineIndex(own, opp)] = static_cast<int16_t>(score);
        }
    }
    for (unsigned mask0 = 0; mask0 < 256; ++mask0)
        for (unsigned mask1 = 0; mask1 < 256; ++mask1)
            LineTypePairTable[maskPairIndex(mask0, mask1)] = static_cast<uint16_t>(
                LineTypeTable[lineIndex(mask0, mask1)] | LineTypeTable[lineIndex(mask1, mask0)] << 8);
}

}  // namespace

void initLineTables() {
    static std::once_flag once;
    std::call_once(once, generate);
}

}  // namespace quillmot
