#include "tools/replay/events.h"

#include <cstdio>

#include "platform/gfx.h"
#include "tools/replay/output.h"
#include "tools/replay/text.h"

namespace replay {

namespace {

constexpr const char *HEADER = "pass,event,a,b,c,d,e,f\n";
constexpr int FIELDS = 6;  // a to f; unused trailing fields stay empty

struct EventLog {
    FILE *file;
    std::string path;
    long pass;
};

EventLog log{nullptr, {}, 0};

// One row: pass, name, an optional letter in field a, then numbers.
void Write(const char *name, int used, const long long *fields, char letter = 0) {
    if (log.file == nullptr) return;
    char buf[160];
    char *p = PutInt(buf, log.pass);
    *p++ = ',';
    for (const char *s = name; *s != '\0'; ++s) *p++ = *s;
    int k = 0;
    if (letter != 0) {
        *p++ = ',';
        *p++ = letter;
        k = 1;
    }
    for (int i = 0; i < used; ++i, ++k) p = PutField(p, fields[i]);
    for (; k < FIELDS; ++k) *p++ = ',';
    *p++ = '\n';
    std::fwrite(buf, 1, static_cast<std::size_t>(p - buf), log.file);
}

}  // namespace

bool Events_Open(const std::string &path, std::string *error) {
    if (!OpenOutput(path, "--events", &log.file, error)) return false;
    log.path = path;
    if (log.file != nullptr) std::fputs(HEADER, log.file);
    return true;
}

bool Events_Close() { return CloseOutput(log.file, log.path); }

void Events_Abandon() {
    if (log.file != nullptr) std::fclose(log.file);
    log.file = nullptr;
}

bool Events_Enabled() { return log.file != nullptr; }

void Events_SetPass(long pass) { log.pass = pass; }

void Events_Poll(unsigned held) {
    const long long f[1] = {held};
    Write("poll", 1, f);
}

void Events_Sound(int channel, int id, int result) {
    const long long f[3] = {channel, id, result};
    Write("snd", 3, f);
}

void Events_Present(int result) {
    const long long f[1] = {result};
    Write("present", 1, f);
}

void Events_Flush() { Write("flush", 0, nullptr); }

void Events_Draw(const DrawCommand &cmd) {
    if (log.file == nullptr) return;
    const long long f[5] = {cmd.x, cmd.y, cmd.w, cmd.h, cmd.grey};
    Write("draw", 5, f, cmd.picture != nullptr ? 'P' : 'F');
}

}  // namespace replay
