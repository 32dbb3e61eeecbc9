#include "patterns/threat_classes.h"

#include <mutex>

#include "base/types.h"
#include "patterns/line_types.h"

namespace quillmot {

uint8_t ClassTable[CLASS_TABLE_SIZE];

int combineLineTypes(int a, int b, int c, int d) {
    int n[10] = {};
    ++n[a];
    ++n[b];
    ++n[c];
    ++n[d];
    // The first matching rule decides; line types 0 to 3 never count.
    if (n[LINE_FIVE] >= 1) return CLASS_FIVE;
    if (n[LINE_OPEN_FOUR] >= 1) return CLASS_OPEN_FOUR;
    if (n[LINE_FOUR] >= 2) return CLASS_OPEN_FOUR;
    if (n[LINE_FOUR] == 1) {
        if (n[LINE_OPEN_THREE] >= 1) return CLASS_FOUR_THREE;
        if (n[LINE_THREE] >= 1 || n[LINE_OPEN_TWO] >= 1) return CLASS_FOUR_TWO;
        return CLASS_FOUR;
    }
    if (n[LINE_OPEN_THREE] >= 2) return CLASS_DOUBLE_THREE;
    if (n[LINE_OPEN_THREE] == 1) return n[LINE_THREE] >= 1 || n[LINE_OPEN_TWO] >= 1 ? 4 : 3;
    if (n[LINE_OPEN_TWO] >= 1) return 2;
    return 0;
}

namespace {

void fillClassTable() {
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 10; ++c)
                for (int d = 0; d < 10; ++d)
                    ClassTable[1000 * a + 100 * b + 10 * c + d] =
                        static_cast<uint8_t>(combineLineTypes(a, b, c, d));
}

}  // namespace

void initClassTable() {
    static std::once_flag once;
    std::call_once(once, fillClassTable);
}

}  // namespace quillmot
