// quillmot-bench search, report and level: the fixed suite of positions (or one position
// given as a line), searched to a fixed depth or for a budget, with the nodes, the moves,
// the speed and the signature; every iteration's report below each position; or a level
// of play's move.
#pragma once

namespace quillmot::bench {

int searchCommand(int argc, char** argv, int first);
int reportCommand(int argc, char** argv, int first);
int levelCommand(int argc, char** argv, int first);

}  // namespace quillmot::bench
