// quillmot-bench review: the review of a game as the page makes it, every move's score and
// mark and the better move of each flagged one; and review --calibrate, which plays games and
// measures how the review marks full strength's moves and a beginner's.
#pragma once

namespace quillmot::review {

// The subcommand, its options from argv[first] on (--calibrate first: the calibration's);
// returns the exit status.
int command(int argc, char** argv, int first);

}  // namespace quillmot::review
