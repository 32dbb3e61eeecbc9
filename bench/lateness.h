// quillmot-bench --lateness: how late the turn driver's search answers, against its deadline
// and its budget, over many positions and budgets.
#pragma once

#include <vector>

namespace quillmot::lateness {

// The budgets of a comma-separated list such as "50,200,1000"; empty when malformed.
std::vector<int> parseBudgets(const char* list);

// Searches every position at every budget, prints a line per search when verbose and a
// table per budget; only, when not null, names the one position to search. Returns the exit
// status: 0, or 1 when a search answered no empty square or changed the position (a fault
// whatever the timing; the times themselves are only reported).
int run(const std::vector<int>& budgets, const char* only, bool verbose);

}  // namespace quillmot::lateness
