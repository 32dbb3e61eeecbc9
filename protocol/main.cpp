// pbrain-quillmot: a five-in-a-row engine for tournament managers, speaking the protocol
// on standard input and output. It takes no arguments.
#include <cstdio>

#include "patterns/tables.h"
#include "protocol/front_end.h"
#include "protocol/platform.h"

int main() {
    quillmot::initTables();
    quillmot::setBinaryInput(stdin);
    quillmot::FrontEnd frontEnd(stdin, stdout);
    frontEnd.run();
    // END has waited for the running turn; at the end of input nothing more is written.
    frontEnd.exitNow();
}
