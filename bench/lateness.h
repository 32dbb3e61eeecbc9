// quillmot-bench lateness: how late the turn driver's search answers, against its deadline
// and its budget, over many positions and budgets.
#pragma once

namespace quillmot::lateness {

// The subcommand, its options from argv[first] on; returns the exit status.
int command(int argc, char** argv, int first);

}  // namespace quillmot::lateness
