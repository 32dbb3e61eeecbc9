#include "protocol/text_parsing.h"

#include <climits>

namespace quillmot {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Parses an optional sign and at least one digit at text; returns the end, or nullptr.
const char* parseSaturated(const char* text, int* value) {
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    if (!isDigit(*text)) return nullptr;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; isDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return text;
}

}  // namespace

const char* getCmdParam(const char* line, const char* keyword) {
    int i = 0;
    for (; keyword[i] != '\0'; ++i)
        if (line[i] == '\0' || lower(line[i]) != lower(keyword[i])) return nullptr;
    const char* rest = line + i;
    while (isSpace(*rest)) ++rest;
    return rest;
}

int scanInts(const char* text, const char* format, int* out) {
    int stored = 0;
    for (const char* f = format; *f != '\0'; ++f) {
        if (f[0] == '%' && f[1] == 'd') {
            ++f;
            while (isSpace(*text)) ++text;
            const char* end = parseSaturated(text, &out[stored]);
            if (end == nullptr) return stored;
            text = end;
            ++stored;
        } else if (isSpace(*f)) {
            while (isSpace(*text)) ++text;
        } else {
            if (*text != *f) return stored;
            ++text;
        }
    }
    return stored;
}

int stringToInt(const char* text) {
    while (isSpace(*text)) ++text;
    int value = 0;
    return parseSaturated(text, &value) != nullptr ? value : 0;
}

bool equalsIgnoreCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (lower(*a) != lower(*b)) return false;
    return *a == *b;
}

}  // namespace quillmot
