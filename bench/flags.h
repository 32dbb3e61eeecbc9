// The options of a quillmot-bench subcommand: each a name and where its value goes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace quillmot::bench {

struct Flag {
    const char* name;
    // Exactly one is set: a number, a text, or a switch that takes no value.
    long long* number = nullptr;
    const char** text = nullptr;
    bool* on = nullptr;
};

enum class Parsed { Ok, Help, Bad };

// Reads argv[first..] against the flags; "--help" asks for the usage. An unknown option, a
// missing value or a number that does not parse whole is Bad, and says so on stderr.
inline Parsed parseFlags(int argc, char** argv, int first, std::initializer_list<Flag> flags) {
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return Parsed::Help;
        const Flag* flag = nullptr;
        for (const Flag& f : flags)
            if (std::strcmp(argv[i], f.name) == 0) flag = &f;
        if (flag == nullptr) {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return Parsed::Bad;
        }
        if (flag->on != nullptr) {
            *flag->on = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n", argv[i]);
            return Parsed::Bad;
        }
        const char* value = argv[++i];
        if (flag->text != nullptr) {
            *flag->text = value;
            continue;
        }
        char* end;
        *flag->number = std::strtoll(value, &end, 10);
        if (end == value || *end != '\0') {
            std::fprintf(stderr, "%s takes a number, not %s\n", flag->name, value);
            return Parsed::Bad;
        }
    }
    return Parsed::Ok;
}

// The exit status of a subcommand whose options did not parse as it wants: the usage on
// stdout for --help (status 0), on stderr otherwise (status 2). -1 to go on.
inline int usageStatus(Parsed parsed, bool valid, const char* usage) {
    if (parsed == Parsed::Help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (parsed == Parsed::Bad || !valid) {
        std::fputs(usage, stderr);
        return 2;
    }
    return -1;
}

}  // namespace quillmot::bench
