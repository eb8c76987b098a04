#include "tests/e2e/support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "assets/font.h"

namespace e2e {

namespace {

std::string Quote(const std::string &s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::vector<std::string> SplitCsv(const std::string &line) {
    std::vector<std::string> cells;
    std::string cell;
    for (char c : line) {
        if (c == ',') {
            cells.push_back(cell);
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells.push_back(cell);
    return cells;
}

}  // namespace

int Shell(const std::string &cmd) {
    const int status = std::system(cmd.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string Bin() {
    const std::string emulator = ZM_EMULATOR;
    return (emulator.empty() ? "" : emulator + " ") + "'" + ZM_REPLAY_BIN + "'";
}

std::string Scratch(const std::string &name) {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name() : "e2e";
    return prefix + "." + name;
}

int RunReplay(const std::vector<std::string> &args, std::string *err) {
    const std::string errFile = Scratch("stderr.txt");
    // The emulator of a cross build: its words as CMake gave them.
    std::string cmd = std::string(ZM_EMULATOR).empty() ? "" : std::string(ZM_EMULATOR) + " ";
    cmd += Quote(ZM_REPLAY_BIN);
    for (const std::string &a : args) cmd += " " + Quote(a);
    cmd += " </dev/null 2>" + Quote(errFile);
    const int status = std::system(cmd.c_str());
    if (err != nullptr) *err = ReadFile(errFile);
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

void WriteFile(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string &path) { return std::ifstream(path).good(); }

Csv::Csv(const std::string &path) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line)) return;
    header_ = SplitCsv(line);
    for (std::size_t i = 0; i < header_.size(); ++i) index_[header_[i]] = i;
    while (std::getline(in, line)) rows_.push_back(SplitCsv(line));
}

const std::string &Csv::Cell(std::size_t row, const std::string &column) const {
    static const std::string none;
    const auto it = index_.find(column);
    if (it == index_.end() || row >= rows_.size() || it->second >= rows_[row].size()) {
        ADD_FAILURE() << "no cell " << column << " in row " << row;
        return none;
    }
    return rows_[row][it->second];
}

long Csv::Num(std::size_t row, const std::string &column) const { return std::atol(Cell(row, column).c_str()); }

long FirstRowWhere(const Csv &csv, const std::string &column, long value, long from) {
    for (std::size_t r = static_cast<std::size_t>(from); r < csv.Rows(); ++r) {
        if (csv.Num(r, column) == value) return static_cast<long>(r);
    }
    return -1;
}

long RowOfPass(const Csv &trace, long pass) { return FirstRowWhere(trace, "pass", pass); }

Shot::Shot(const std::string &path) : surface_(SDL_LoadBMP(path.c_str())) {}

Shot::~Shot() {
    if (surface_ != nullptr) SDL_FreeSurface(surface_);
}

int Shot::Grey(int x, int y) const {
    if (surface_ == nullptr || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return -1;
    SDL_Surface *s = surface_;
    SDL_LockSurface(s);
    const int bpp = s->format->BytesPerPixel;
    const auto *p = static_cast<const Uint8 *>(s->pixels) + static_cast<std::size_t>(y) * s->pitch + x * bpp;
    Uint32 v = 0;
    for (int i = 0; i < bpp; ++i) v |= static_cast<Uint32>(p[i]) << (8 * i);
    SDL_UnlockSurface(s);
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return r;
}

int Shot::Lit(int x, int y, int w, int h) const {
    int n = 0;
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) n += Grey(i, j) > 0 ? 1 : 0;
    }
    return n;
}

char Shot::GlyphAt(int x, int y) const {
    if (Lit(x, y, GLYPH_SIZE, GLYPH_SIZE) == 0) return ' ';
    for (int c = 33; c < 128; ++c) {
        const Picture *g = FONT[static_cast<std::size_t>(c)];
        if (g == nullptr) continue;
        bool same = true;
        for (int j = 0; j < GLYPH_SIZE && same; ++j) {
            for (int i = 0; i < GLYPH_SIZE && same; ++i) same = Grey(x + i, y + j) == g[j * GLYPH_SIZE + i];
        }
        if (same) return static_cast<char>(c);
    }
    return '?';
}

std::string Shot::TextAt(int x, int y, int count) const {
    std::string s;
    for (int i = 0; i < count; ++i) s += GlyphAt(x + 8 * i, y);
    return s;
}

}  // namespace e2e
