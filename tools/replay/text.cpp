#include "tools/replay/text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/replay/output.h"

namespace replay {

namespace {

// Backslashes are doubled only where the text is escaped the first time.
std::string Escape(const std::string &text, std::size_t max, bool backslashes) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string out;
    std::size_t shown = 0;
    for (const char c : text) {
        if (shown == max) return out + "...";
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            out += "\\x";
            out += HEX[u >> 4];
            out += HEX[u & 15];
        } else if (c == '\\' && backslashes) {
            out += "\\\\";
        } else {
            out += c;
        }
        ++shown;
    }
    return out;
}

}  // namespace

std::string Echo(const std::string &text) { return Escape(text, MAX_ECHO, true); }

void PrintError(const std::string &message) {
    // The words around the echoes are plain; the cap only stops a message
    // built from many echoes.
    const std::string line = std::string(PROGRAM) + ": " + Escape(message, 4 * MAX_ECHO, false) + "\n";
    std::fputs(line.c_str(), stderr);
}

bool ParseNumber(const std::string &text, long lo, long hi, long *out) {
    if (text.empty() || text.size() > 20) return false;
    std::size_t i = 0;
    if (text[0] == '-' || text[0] == '+') i = 1;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    errno = 0;
    char *end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = static_cast<long>(v);
    return true;
}

char *PutInt(char *p, long long v) {
    char digits[24];
    int n = 0;
    const bool negative = v < 0;
    unsigned long long u = negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative) *p++ = '-';
    while (n > 0) *p++ = digits[--n];
    return p;
}

}  // namespace replay
