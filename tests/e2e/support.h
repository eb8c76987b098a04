// Support for the end-to-end tests: runs the real zultmirax-replay as a
// subprocess, reads its trace and event log, and reads screenshots back.
#pragma once
#include <SDL.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// Runs the replay runner with the given arguments (shell-quoted here);
// returns its exit status and keeps its standard error in *err if given.
int RunReplay(const std::vector<std::string> &args, std::string *err = nullptr);

// Runs a shell command line; its exit status, or -1.
int Shell(const std::string &cmd);

// The runner as a shell command: the cross build's emulator first, if any.
std::string Bin();

// A scratch path unique to the running test: NAME prefixed with it.
std::string Scratch(const std::string &name);

void WriteFile(const std::string &path, const std::string &text);
std::string ReadFile(const std::string &path);
bool FileExists(const std::string &path);

// A CSV file with a header line, cells addressed by column name.
class Csv {
public:
    explicit Csv(const std::string &path);
    std::size_t Rows() const { return rows_.size(); }
    const std::string &Cell(std::size_t row, const std::string &column) const;
    long Num(std::size_t row, const std::string &column) const;
    const std::vector<std::string> &Header() const { return header_; }
    const std::vector<std::string> &Row(std::size_t row) const { return rows_[row]; }

private:
    std::vector<std::string> header_;
    std::map<std::string, std::size_t> index_;
    std::vector<std::vector<std::string>> rows_;
};

// The first row from FROM on whose COLUMN holds VALUE, or -1 when there is none.
long FirstRowWhere(const Csv &csv, const std::string &column, long value, long from = 0);

// The trace row of a pass, or -1 when there is none.
long RowOfPass(const Csv &trace, long pass);

// A screenshot read back; grey levels of its pixels.
class Shot {
public:
    explicit Shot(const std::string &path);
    ~Shot();
    Shot(const Shot &) = delete;
    Shot &operator=(const Shot &) = delete;
    bool Loaded() const { return surface_ != nullptr; }
    int Grey(int x, int y) const;
    // Pixels brighter than black in the rectangle.
    int Lit(int x, int y, int w, int h) const;
    // The character whose glyph is drawn at (x, y), '?' if none matches;
    // a black square reads as ' '.
    char GlyphAt(int x, int y) const;
    std::string TextAt(int x, int y, int count) const;

private:
    SDL_Surface *surface_;
};

}  // namespace e2e
