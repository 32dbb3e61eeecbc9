// Every process-wide table in one call: line types, classes, cell scores and hash keys.
#pragma once

namespace quillmot {

// Builds them on the first call and returns at once afterwards; safe to call from several
// threads, so every engine can call it when it starts.
void initTables();

}  // namespace quillmot
