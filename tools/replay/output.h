// The runner's output files: opened before the first pass, checked once at
// close.
#pragma once
#include <cstdio>
#include <string>

struct ReplayOptions;

namespace replay {

// Before anything is opened: no two of the script and the output paths may
// name one file (character devices such as /dev/null aside; a dangling
// link names the file a write creates; a recording to "-" and the names of
// standard output are one file), and the paths written only after the passes (the
// screenshots, the video) must be writable. False with *error set otherwise.
bool CheckOutputs(const ReplayOptions &options, std::string *error);

// Opens PATH for writing; on failure sets *error naming OPTION and returns
// false. An empty path opens nothing and succeeds.
bool OpenOutput(const std::string &path, const char *option, FILE **out, std::string *error);

// Closes *f (if open), reporting a write error on standard error. True when
// everything written reached the file.
bool CloseOutput(FILE *&f, const std::string &path);

constexpr const char *PROGRAM = "zultmirax-replay";

}  // namespace replay
