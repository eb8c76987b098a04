#include "tools/replay/script_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/replay/script_wait.h"
#include "tools/replay/text.h"

namespace replay {

namespace {

// Counts the chunk's lines into *lines and *lineLength; false once a line
// is longer than SCRIPT_LINE_MAX.
bool CheckLines(const char *chunk, std::size_t n, long *lines, std::size_t *lineLength) {
    for (std::size_t i = 0; i < n; ++i) {
        if (chunk[i] == '\n') {
            ++*lines;
            *lineLength = 0;
        } else if (++*lineLength > SCRIPT_LINE_MAX) {
            return false;
        }
    }
    return true;
}

}  // namespace

int ReadScript(const std::string &path, std::string *text, std::string *error) {
    const std::string cannot = "--input: cannot read '" + Echo(path) + "': ";
    const int fd = ScriptWait_Open(path);
    if (fd < 0) {
        *error = cannot + std::strerror(errno);
        return 2;
    }
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= SCRIPT_BYTES_MAX)
        text->reserve(static_cast<std::size_t>(st.st_size) + 1);
    ScriptWait_Hold();
    long lines = 0;
    std::size_t lineLength = 0;
    char buffer[65536];
    int result = 0;
    while (result == 0) {
        const int waited = ScriptWait_Readable(fd);
        if (waited != 0) {
            *error = waited < 0 ? cannot + std::strerror(errno) : "--input: stopped by a signal while the script came";
            result = 2;
            break;
        }
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            *error = cannot + std::strerror(errno);
            result = 2;
        } else if (!CheckLines(buffer, static_cast<std::size_t>(n), &lines, &lineLength)) {
            *error = "--input: script line " + std::to_string(lines + 1) + " is longer than " +
                     std::to_string(SCRIPT_LINE_MAX) + " bytes, which no script line is";
            result = 2;
        } else if (text->size() + static_cast<std::size_t>(n) > SCRIPT_BYTES_MAX) {
            *error = "--input: the script is longer than " + std::to_string(SCRIPT_BYTES_MAX >> 20) + " MiB";
            result = 2;
        } else {
            text->append(buffer, static_cast<std::size_t>(n));
        }
    }
    ScriptWait_Release();
    if (fd > 0) close(fd);
    if (result != 0) text->clear();
    return result;
}

long ScriptEnd(const std::string &text, long lastEventPass, bool anyEvent) {
    long end = anyEvent ? lastEventPass + 1 : 0;
    static constexpr char HEAD[] = "# ";
    static constexpr char MIDDLE[] = " passes; replay with --passes ";
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = eol + 1;
        const std::size_t middle = line.find(MIDDLE);
        if (line.rfind(HEAD, 0) != 0 || middle == std::string::npos) continue;
        const std::string count = line.substr(2, middle - 2);
        long n = 0;
        if (ParseNumber(count, 0, MAX_COUNT, &n) && line.substr(middle + sizeof MIDDLE - 1) == count && n > end)
            end = n;
    }
    return end;
}

}  // namespace replay
