// Small text helpers shared by the runner's command line and script parsers
// and by its CSV writers.
#pragma once
#include <string>

namespace replay {

// The largest pass number or count the runner takes.
constexpr long MAX_COUNT = 2147483647L;

// A whole decimal number in [lo, hi]: an optional sign and digits, nothing else.
bool ParseNumber(const std::string &text, long lo, long hi, long *out);

// Appends a decimal integer at p and returns the end; the CSV files are
// written without printf.
char *PutInt(char *p, long long v);

// User text (an argument, a script's word, a path) as a message echoes it:
// control characters, DEL and bytes past ASCII as \xNN, a backslash as \\,
// and at most MAX_ECHO characters of it, "..." marking the cut.
constexpr std::size_t MAX_ECHO = 200;
std::string Echo(const std::string &text);

// Prints "zultmirax-replay: MESSAGE" on standard error as one line, the
// message escaped as Echo does (with room for the words around the echoes).
void PrintError(const std::string &message);

// A comma, then the integer.
inline char *PutField(char *p, long long v) {
    *p++ = ',';
    return PutInt(p, v);
}

}  // namespace replay
