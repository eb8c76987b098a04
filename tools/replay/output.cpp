#include "tools/replay/output.h"

#include <cerrno>
#include <cstring>

namespace replay {

bool OpenOutput(const std::string &path, const char *option, FILE **out, std::string *error) {
    if (path.empty()) return true;
    *out = std::fopen(path.c_str(), "wb");
    if (*out == nullptr) {
        *error = std::string(option) + ": cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CloseOutput(FILE *&f, const std::string &path) {
    if (f == nullptr) return true;
    const bool ok = std::ferror(f) == 0;
    const bool closed = std::fclose(f) == 0;
    f = nullptr;
    if (ok && closed) return true;
    std::fprintf(stderr, "%s: error writing '%s'\n", PROGRAM, path.c_str());
    return false;
}

}  // namespace replay
