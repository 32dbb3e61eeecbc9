// quillmot-bench review: the review of a game as the page makes it, every move's score and
// mark and the better move of each flagged one; and calibrate-review, which plays games and
// measures how the review marks full strength's moves and a beginner's.
#pragma once

namespace quillmot::review {

// The subcommands, their options from argv[first] on; each returns the exit status.
int command(int argc, char** argv, int first);
int calibrateCommand(int argc, char** argv, int first);

}  // namespace quillmot::review
