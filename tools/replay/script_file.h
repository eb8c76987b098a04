// Reading the input script's file: whole, bounded, and given up at once
// when a stop signal comes while the runner waits for it.
#pragma once
#include <cstddef>
#include <string>

namespace replay {

// The longest line a script may have, comments included (an event line is
// under 80 characters), and the largest script: a longer one is refused
// before it fills the memory.
constexpr std::size_t SCRIPT_LINE_MAX = 1024;
constexpr std::size_t SCRIPT_BYTES_MAX = 64u << 20;

// The whole script at PATH ("-" for standard input) into *text. 0 when read;
// 2 with *error set when it cannot be read or is too long, or when a stop
// signal came first (Stop_Signal says which).
int ReadScript(const std::string &path, std::string *text, std::string *error);

// The passes that play the whole script: its recorder's closing count
// ("# N passes; replay with --passes N") or the pass after its last event.
long ScriptEnd(const std::string &text, long lastEventPass, bool anyEvent);

}  // namespace replay
