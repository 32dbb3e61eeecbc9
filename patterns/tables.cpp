#include "patterns/tables.h"

#include "patterns/hash_keys.h"
#include "patterns/threat_classes.h"

namespace quillmot {

void initTables() {
    buildTables();
    initHashKeys();
}

}  // namespace quillmot
