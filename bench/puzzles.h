// quillmot-bench puzzles: makes the page's puzzles from games between the levels and the
// full search at the puzzles' node allowance, and verifies a puzzle file.
#pragma once

namespace quillmot::puzzles {

// The subcommand, its options from argv[first] on; returns the exit status.
int command(int argc, char** argv, int first);

}  // namespace quillmot::puzzles
