#include "patterns/tables.h"

#include "patterns/cell_scores.h"
#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "patterns/threat_classes.h"

namespace quillmot {

void initTables() {
    initLineTables();
    initClassTable();
    initCellScores();
    initHashKeys();
}

}  // namespace quillmot
