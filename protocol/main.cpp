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
    // After END, or at the end of input, the process leaves at once: a turn still running is
    // cut short and its move is never written.
    frontEnd.exitNow();
}
