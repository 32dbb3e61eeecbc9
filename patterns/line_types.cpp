#include "patterns/line_types.h"

#include <cstring>
#include <mutex>

#include "patterns/line_reading.h"

namespace quillmot {

uint8_t LineTypeTable[LINE_TABLE_SIZE];
uint16_t LineTypePairTable[LINE_TABLE_SIZE];

namespace {

using namespace lines;

int8_t lineTypeMemo[LINE_CODES];

// The type of a line: five or more through the centre is 9; two or more empty squares
// that would complete five make 8, exactly one makes 7; otherwise the best type one more
// own stone could reach, less 2 (and 0 below 2).
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

void generate() {
    std::memset(lineTypeMemo, -1, sizeof lineTypeMemo);
    for (unsigned own = 0; own < 256; ++own) {
        for (unsigned opp = 0; opp < 256; ++opp) {
            Line line = readLine(own, opp);
            LineTypeTable[lineIndex(own, opp)] = static_cast<uint8_t>(lineTypeOf(line));
        }
    }
    for (unsigned mask0 = 0; mask0 < 256; ++mask0)
        for (unsigned mask1 = 0; mask1 < 256; ++mask1)
            LineTypePairTable[maskPairIndex(mask0, mask1)] =
                static_cast<uint16_t>(LineTypeTable[lineIndex(mask0, mask1)] |
                                      LineTypeTable[lineIndex(mask1, mask0)] << 8);
}

}  // namespace

void initLineTables() {
    static std::once_flag once;
    std::call_once(once, generate);
}

}  // namespace quillmot
