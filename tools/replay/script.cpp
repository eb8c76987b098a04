// The input script: one event a line, "PASS key|joy|axis|quit ...".
#include <cctype>
#include <cstdint>
#include <string_view>

#include "platform/pad.h"
#include "tools/replay/keycode.h"
#include "tools/replay/replay.h"
#include "tools/replay/text.h"

namespace {

using replay::ParseNumber;

bool Space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The line's words, split at white space into *words; the strings already
// there are reused.
void Split(const std::string &line, std::vector<std::string> *words) {
    std::size_t n = 0;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && Space(line[i])) ++i;
        if (i == line.size()) break;
        std::size_t j = i;
        while (j < line.size() && !Space(line[j])) ++j;
        if (n == words->size()) words->emplace_back();
        (*words)[n++].assign(line, i, j - i);
        i = j;
    }
    words->resize(n);
}

// The "down|up" word of key and joy lines.
bool ParseDirection(const std::string &word, bool *down, std::string *why) {
    *down = word == "down";
    if (*down || word == "up") return true;
    *why = "expected 'down' or 'up', got '" + replay::Echo(word) + "'";
    return false;
}

// A key by the name the keyboard table gives it, or by its classic SDL key
// code, whatever SDL the runner links.
bool ParseKey(const std::string &word, int *sym, std::string *why) {
    for (const PadKey &k : PAD_KEYS) {
        if (word == k.name) {
            *sym = k.sym;
            return true;
        }
    }
    long code = 0;
    if (!ParseNumber(word, 0, replay::SCRIPT_KEY_CODES - 1, &code)) {
        *why = "unknown key '" + replay::Echo(word) + "' (a key name or an SDL key code 0-" +
               std::to_string(replay::SCRIPT_KEY_CODES - 1) + ")";
        return false;
    }
    *sym = replay::KeySym(static_cast<int>(code));
    return true;
}

// Parses the arguments of one script line after its pass number.
bool ParseEvent(const std::vector<std::string> &w, SDL_Event *e, std::string *why) {
    *e = SDL_Event{};
    const std::string &kind = w[1];
    long a = 0;
    long b = 0;
    long c = 0;
    if (kind == "quit") {
        if (w.size() != 2) return *why = "'quit' takes nothing after it", false;
        e->type = SDL_QUIT;
        return true;
    }
    if (kind == "key") {
        if (w.size() != 4) return *why = "expected 'PASS key down|up NAME'", false;
        bool down = false;
        int sym = 0;
        if (!ParseDirection(w[2], &down, why) || !ParseKey(w[3], &sym, why)) return false;
        e->type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e->key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e->key.keysym.sym = static_cast<SDLKey>(sym);
        return true;
    }
    if (kind == "joy") {
        if (w.size() != 5) return *why = "expected 'PASS joy down|up PAD BUTTON'", false;
        bool down = false;
        if (!ParseDirection(w[2], &down, why)) return false;
        if (!ParseNumber(w[3], 0, 255, &a)) return *why = "PAD must be 0-255, got '" + replay::Echo(w[3]) + "'", false;
        if (!ParseNumber(w[4], 0, 255, &b))
            return *why = "BUTTON must be 0-255, got '" + replay::Echo(w[4]) + "'", false;
        e->type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        e->jbutton.which = static_cast<Uint8>(a);
        e->jbutton.button = static_cast<Uint8>(b);
        e->jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
        return true;
    }
    if (kind == "axis") {
        if (w.size() != 5) return *why = "expected 'PASS axis PAD AXIS VALUE'", false;
        if (!ParseNumber(w[2], 0, 255, &a)) return *why = "PAD must be 0-255, got '" + replay::Echo(w[2]) + "'", false;
        if (!ParseNumber(w[3], 0, 255, &b)) return *why = "AXIS must be 0-255, got '" + replay::Echo(w[3]) + "'", false;
        if (!ParseNumber(w[4], -32768, 32767, &c)) {
            return *why = "VALUE must be -32768-32767, got '" + replay::Echo(w[4]) + "'", false;
        }
        e->type = SDL_JOYAXISMOTION;
        e->jaxis.which = static_cast<Uint8>(a);
        e->jaxis.axis = static_cast<Uint8>(b);
        e->jaxis.value = static_cast<Sint16>(c);
        return true;
    }
    *why = "unknown event '" + replay::Echo(kind) + "' (key, joy, axis or quit)";
    return false;
}

}  // namespace

int Replay_NextInput(ReplayScript *script, ReplayInput *out, std::string *error) {
    const std::string &text = script->text;
    while (script->pos < text.size()) {
        std::size_t end = text.find('\n', script->pos);
        if (end == std::string::npos) end = text.size();
        std::string &line = script->lineText;
        line.assign(text, script->pos, end - script->pos);
        script->pos = end + 1;
        const std::int64_t number = ++script->line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Split(line, &script->words);
        const std::vector<std::string> &w = script->words;
        if (w.empty() || w[0][0] == '#') continue;
        // Messages are made only for a malformed line.
        const auto where = [number] { return "script line " + std::to_string(number) + ": "; };
        ReplayInput input{};
        input.line = number;
        // The last pass that --passes can reach.
        if (!ParseNumber(w[0], 0, replay::MAX_COUNT - 1, &input.pass)) {
            *error = where() + "PASS must be a whole number 0-" + std::to_string(replay::MAX_COUNT - 1) + ", got '" +
                     replay::Echo(w[0]) + "'";
            return 2;
        }
        if (input.pass < script->lastPass) {
            *error = where() + "pass " + replay::Echo(w[0]) + " comes after pass " + std::to_string(script->lastPass);
            return 2;
        }
        if (w.size() < 2) {
            *error = where() + "an event must follow the pass number";
            return 2;
        }
        std::string why;
        if (!ParseEvent(w, &input.event, &why)) {
            *error = where() + why;
            return 2;
        }
        script->lastPass = input.pass;
        *out = input;
        return 1;
    }
    return 0;
}

namespace {

constexpr std::string_view LAYOUT_TAG = "pad-layout";

// Whether a comment line names a layout: after its '#'s and blanks it
// starts with the tag, in any case, as a word of its own ("pad-layout=x"
// too, not "pad-layouts").
bool NamesLayout(std::string_view line) {
    const std::size_t start = line.find_first_not_of("# \t");
    if (start == std::string_view::npos || line.size() - start < LAYOUT_TAG.size()) return false;
    for (std::size_t i = 0; i < LAYOUT_TAG.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[start + i])) != LAYOUT_TAG[i]) return false;
    }
    const std::size_t after = start + LAYOUT_TAG.size();
    return after == line.size() || !(std::isalnum(static_cast<unsigned char>(line[after])) || line[after] == '-');
}

}  // namespace

int Replay_ScriptLayout(const std::string &text, int *layout, std::string *error) {
    std::vector<std::string> w;
    std::size_t pos = 0;
    std::int64_t number = 0;
    int found = -1;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        Split(line, &w);
        pos = end + 1;
        ++number;
        if (w.empty()) continue;
        if (w[0][0] != '#') break;  // the first event: a layout named later is only a comment
        if (!NamesLayout(line)) continue;
        // A line that names a layout reads "# pad-layout NAME" or
        // "#pad-layout NAME", or is refused: never a silent comment.
        const std::size_t at = w[0] == "#" ? 1 : 0;
        const std::string where = "script line " + std::to_string(number) + ": ";
        if (w.size() != at + 2 || std::string_view(w[at]).substr(at == 0 ? 1 : 0) != LAYOUT_TAG) {
            *error = where + "a pad-layout line reads '# pad-layout handheld|controller|browser', got '" +
                     replay::Echo(line) + "'";
            return 2;
        }
        const int named = Pad_LayoutByName(w[at + 1]);
        if (named < 0) {
            *error =
                where + "pad-layout: expected handheld, controller or browser, got '" + replay::Echo(w[at + 1]) + "'";
            return 2;
        }
        if (found >= 0 && named != found) {
            *error = where + "a second, different pad-layout";
            return 2;
        }
        found = named;
    }
    if (found < 0) return 0;
    *layout = found;
    return 1;
}

int Replay_ParseScript(const std::string &text, std::vector<ReplayInput> *out, std::string *error) {
    ReplayScript script;
    script.text = text;
    std::vector<ReplayInput> inputs;
    ReplayInput input{};
    int got = 0;
    while ((got = Replay_NextInput(&script, &input, error)) == 1) inputs.push_back(input);
    if (got != 0) return 2;
    *out = std::move(inputs);
    return 0;
}
