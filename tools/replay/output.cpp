#include "tools/replay/output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "tools/replay/replay.h"
#include "tools/replay/text.h"

namespace replay {

namespace {

// What a path names: the file itself if it exists, else its directory and
// its last name. Two paths with one identity are one file.
struct Identity {
    dev_t dev;
    ino_t ino;
    std::string name;  // empty for an existing file
    bool operator==(const Identity &o) const { return dev == o.dev && ino == o.ino && name == o.name; }
};

std::string DirectoryOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The names of the runner's own standard output, which "-" writes to.
constexpr std::array<const char *, 4> STDOUT_NAMES{"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1",
                                                   "/proc/thread-self/fd/1"};

// Whether PATH, or the link it is, names standard output as such.
bool NamesStandardOutput(const std::string &path) {
    std::array<char, 64> target{};
    const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
    const std::string link = n > 0 ? std::string(target.data(), static_cast<std::size_t>(n)) : "";
    return std::any_of(STDOUT_NAMES.begin(), STDOUT_NAMES.end(),
                       [&](const char *name) { return path == name || link == name; });
}

// The name a write to PATH creates: a dangling link is followed to its
// target (a write through it creates the target).
std::string Dangling(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::array<char, 4096> target{};
        const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
        if (n <= 0) break;
        std::string t(target.data(), static_cast<std::size_t>(n));
        if (t[0] != '/') t = DirectoryOf(path).append("/").append(t);
        path = std::move(t);
    }
    return path;
}

// False with *why set when the path's directory cannot be looked at.
// *device is set for a character device that does not name standard
// output: /dev/null and the like may take any number of outputs.
bool Identify(const std::string &path, Identity *id, bool *device, std::string *why) {
    struct stat st {};
    *device = false;
    if (path == "-") {  // standard output itself
        if (fstat(1, &st) != 0) {
            *device = true;  // closed: nothing to clash with
            return true;
        }
        *id = Identity{st.st_dev, st.st_ino, {}};
        return true;
    }
    if (stat(path.c_str(), &st) == 0) {
        *device = S_ISCHR(st.st_mode) && !NamesStandardOutput(path);
        *id = Identity{st.st_dev, st.st_ino, {}};
        return true;
    }
    const std::string target = Dangling(path);
    const std::string dir = DirectoryOf(target);
    if (stat(dir.c_str(), &st) != 0) {
        *why = std::strerror(errno);
        return false;
    }
    *id = Identity{st.st_dev, st.st_ino, target.substr(target.rfind('/') + 1)};
    return true;
}

// A screenshot is written only after its pass: whether it can be is
// checked now, without creating the file.
bool Writable(const std::string &path, std::string *why) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return *why = std::strerror(EISDIR), false;
        if (access(path.c_str(), W_OK) != 0) return *why = std::strerror(errno), false;
        return true;
    }
    if (access(DirectoryOf(Dangling(path)).c_str(), W_OK | X_OK) != 0) return *why = std::strerror(errno), false;
    return true;
}

std::string CannotWrite(const char *option, const std::string &path, const std::string &why) {
    return std::string(option) + ": cannot write '" + Echo(path) + "': " + why;
}

}  // namespace

bool CheckOutputs(const ReplayOptions &o, std::string *error) {
    std::vector<std::pair<const char *, std::string>> paths;
    if (!o.input.empty() && o.input != "-") paths.emplace_back("--input", o.input);
    if (!o.trace.empty()) paths.emplace_back("--trace", o.trace);
    if (!o.events.empty()) paths.emplace_back("--events", o.events);
    if (!o.audio.empty()) paths.emplace_back("--audio", o.audio);
    if (!o.record.empty()) paths.emplace_back("--record", o.record);
    if (!o.video.empty()) paths.emplace_back("--video", o.video);
    for (const ReplayShot &shot : o.screenshots) paths.emplace_back("--screenshot", shot.file);

    std::vector<std::pair<Identity, std::size_t>> seen;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const auto &[option, path] = paths[i];
        std::string why;
        // Screenshots and the video are written only after passes have run.
        const bool late = std::strcmp(option, "--screenshot") == 0 || std::strcmp(option, "--video") == 0;
        if (late && !Writable(path, &why)) {
            *error = CannotWrite(option, path, why);
            return false;
        }
        Identity id{};
        bool device = false;
        if (!Identify(path, &id, &device, &why)) {
            if (std::strcmp(option, "--input") == 0) continue;  // reading it reports that
            *error = CannotWrite(option, path, why);
            return false;
        }
        if (device) continue;
        for (const auto &[other, k] : seen) {
            if (other == id) {
                *error = std::string(option) + " '" + Echo(path) + "' is the same file as " + paths[k].first + " '" +
                         Echo(paths[k].second) + "'";
                return false;
            }
        }
        seen.emplace_back(id, i);
    }
    return true;
}

bool OpenOutput(const std::string &path, const char *option, FILE **out, std::string *error) {
    if (path.empty()) return true;
    *out = std::fopen(path.c_str(), "wb");
    if (*out == nullptr) {
        *error = CannotWrite(option, path, std::strerror(errno));
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
    PrintError("error writing '" + Echo(path) + "'");
    return false;
}

}  // namespace replay
