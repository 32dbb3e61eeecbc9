// libFuzzer target: arbitrary bytes as the manager's input, read and dispatched by the
// real front end in-process, with searches cut to a few milliseconds. Every reply line
// must be one the protocol knows, and every move must lie on a board the engine allows.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "protocol/front_end.h"

namespace {

bool isMove(const std::string& line) {
    int x, y, end = 0;
    if (std::sscanf(line.c_str(), "%d,%d%n", &x, &y, &end) != 2 ||
        end != static_cast<int>(line.size()))
        return false;
    return x >= 0 && x < quillmot::MAX_BOARD && y >= 0 && y < quillmot::MAX_BOARD &&
           line == std::to_string(x) + "," + std::to_string(y);
}

// "MESSAGE depth D score S nodes N time T pv x,y x,y ...", at least one move.
bool isMessage(const std::string& line) {
    static const std::regex form(
        "MESSAGE depth ([1-9]|1[0-9]|20) score -?(0|[1-9][0-9]*) nodes (0|[1-9][0-9]*) time "
        "(0|[1-9][0-9]*) "
        "pv( (0|[1-9][0-9]?),(0|[1-9][0-9]?))+");
    return std::regex_match(line, form);
}

// A Swap2 choice: SWAP, or two or three moves separated by one blank (one is a move).
bool isSwap2Choice(const std::string& line) {
    if (line == "SWAP") return true;
    size_t start = 0, moves = 0;
    for (size_t blank; (blank = line.find(' ', start)) != std::string::npos; start = blank + 1) {
        if (!isMove(line.substr(start, blank - start))) return false;
        ++moves;
    }
    return (moves == 1 || moves == 2) && isMove(line.substr(start));
}

bool isRuleNotice(const std::string& line) {
    static const std::regex form(
        "MESSAGE Quillmot plays free-style only \\(five or more in a row wins\\); rule "
        "-?[1-9][0-9]* is not supported");
    return std::regex_match(line, form);
}

bool isKnownReply(const std::string& line, const std::string& previous) {
    return line == "OK" || line == "UNKNOWN command" || line == quillmot::ABOUT_TEXT ||
           line.rfind("ERROR ", 0) == 0 || line == "QRX Engine Load Error!" ||
           (line.empty() && previous == "QRX Engine Load Error!") || isMove(line) ||
           isMessage(line) || isSwap2Choice(line) || isRuleNotice(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (in == nullptr) {
        if (size == 0) return 0;
        std::abort();
    }
    char* replies = nullptr;
    size_t repliesSize = 0;
    FILE* out = open_memstream(&replies, &repliesSize);
    {
        quillmot::FrontEndOptions options;
        options.fixedBudget = 155;  // a deadline 5 ms after the start of each search
        quillmot::FrontEnd frontEnd(in, out, options);
        frontEnd.run();
    }
    std::fclose(out);
    std::fclose(in);

    std::string previous;
    const char* line = replies;
    const char* end = replies + repliesSize;
    while (line < end) {
        const char* newline = static_cast<const char*>(std::memchr(line, '\n', end - line));
        if (newline == nullptr) {
            std::fprintf(stderr, "reply without a line feed\n");
            std::abort();
        }
        const std::string text(line, newline);
        if (!isKnownReply(text, previous)) {
            std::fprintf(stderr, "malformed reply: \"%s\"\n", text.c_str());
            std::abort();
        }
        previous = text;
        line = newline + 1;
    }
    std::free(replies);
    return 0;
}
