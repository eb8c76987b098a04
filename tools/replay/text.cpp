#include "tools/replay/text.h"

#include <cerrno>
#include <cstdlib>

namespace replay {

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
