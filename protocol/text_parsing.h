// The small parsers of the command reader: keyword matching, scanf-style integer reading
// and string-to-int conversion. None of them can overflow: numbers that do not fit in an
// int saturate at its limits, so they fail every range check instead of wrapping into it.
#pragma once

namespace quillmot {

constexpr int LINE_BUFFER = 256;  // a command keeps its first 255 characters

// The text after the keyword and the white space behind it, when the line begins with the
// keyword (ASCII letters compared without case); nullptr otherwise.
const char* getCmdParam(const char* line, const char* keyword);

// Reads integers from text following a format of "%d", literal characters and white space
// (which matches any run of white space, none included), as the standard formatted input
// does. Returns how many integers were stored, in order, into out; 0 when none.
int scanInts(const char* text, const char* format, int* out);

// Leading white space, an optional sign, the decimal digits up to the first other
// character; no digits give 0. Saturates at the int range.
int stringToInt(const char* text);

// Compares two strings whole, ASCII letters without case.
bool equalsIgnoreCase(const char* a, const char* b);

}  // namespace quillmot
