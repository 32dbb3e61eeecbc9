#include "patterns/cell_scores.h"

#include <mutex>

#include "patterns/line_reading.h"

namespace quillmot {

int16_t CellScoreTable[LINE_TABLE_SIZE];
uint8_t CellScorePairTable[LINE_TABLE_SIZE];

namespace {

using namespace lines;

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

// Lines of LineType 6 that score their window potential instead of 15.
constexpr const char* OPEN_THREES_SCORED_BY_POTENTIAL[] = {
    "BBX-+X--X", "BX-X+--XB", "BX-X+--X-", "BX--+X-XB", "XBX-+X--X",
    "X--X+-XBB", "X--X+-XBX", "X--X+-XB-", "-BX-+X--X", "-X--+X-XB",
};
// The one weak line that nevertheless scores 15.
constexpr const char* WEAK_LINE_SCORED_HIGH = "B---+--XB";

// A line of type 6 or more scores STRONG_LINE_SCORE; a weaker one scores its window
// potential from MIN_SCORED_POTENTIAL on, and nothing below it.
constexpr int STRONG_LINE_SCORE = 15;
constexpr int MIN_SCORED_POTENTIAL = 4;

void generate() {
    bool potentialOnly[LINE_CODES] = {};
    for (const char* text : OPEN_THREES_SCORED_BY_POTENTIAL)
        potentialOnly[lineCode(parseLine(text))] = true;
    const int weakHigh = lineCode(parseLine(WEAK_LINE_SCORED_HIGH));
    for (unsigned own = 0; own < 256; ++own) {
        for (unsigned opp = 0; opp < 256; ++opp) {
            const Line line = readLine(own, opp);
            const int code = lineCode(line);
            const int type = LineTypeTable[lineIndex(own, opp)];
            const int potential = windowPotential(line);
            int score;
            if (type >= LINE_OPEN_THREE)
                score = potentialOnly[code] ? potential : STRONG_LINE_SCORE;
            else
                score = code == weakHigh                    ? STRONG_LINE_SCORE
                        : potential >= MIN_SCORED_POTENTIAL ? potential
                                                            : 0;
            CellScoreTable[lineIndex(own, opp)] = static_cast<int16_t>(score);
        }
    }
    // A line scores a few dozen points at the most, so the pair fits in a byte and the
    // table in 64 KiB, which stays in the cache beside the board.
    for (unsigned mask0 = 0; mask0 < 256; ++mask0)
        for (unsigned mask1 = 0; mask1 < 256; ++mask1)
            CellScorePairTable[maskPairIndex(mask0, mask1)] = static_cast<uint8_t>(
                CellScoreTable[lineIndex(mask0, mask1)] + CellScoreTable[lineIndex(mask1, mask0)]);
}

}  // namespace

void initCellScores() {
    initLineTables();
    static std::once_flag once;
    std::call_once(once, generate);
}

}  // namespace quillmot
