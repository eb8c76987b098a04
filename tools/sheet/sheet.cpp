// zultmirax-sheet OUTDIR
//
// Writes OUTDIR/contact-sheet.bmp, with every built-in picture, every font
// glyph and every sprite frame at twice their size (erase frames as a black
// block in a dark outline), and OUTDIR/sound-NN-NAME.wav for each of the
// twelve sounds: the length that Snd_Play plays, 8000 Hz, unsigned 8-bit,
// mono. OUTDIR is created when missing. It reads the asset tables only; SDL
// is never started.
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/font.h"
#include "assets/pictures.h"
#include "assets/sounds.h"
#include "assets/sprites.h"

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

constexpr Rgb BACKGROUND{38, 44, 78};
constexpr Rgb LABEL{250, 210, 90};
constexpr Rgb OUTLINE{130, 130, 150};
constexpr int SCALE = 2;
constexpr int GAP = 8;

// Bytes of a file format written least significant first, as BMP and WAV
// headers are.
struct LittleEndian {
    std::vector<std::uint8_t> out;
    // Inserted as a range: byte-wise push_back here sets off a false
    // -Wstringop-overflow from GCC's optimiser in Release builds.
    void U16(std::uint32_t v) {
        const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(v & 0xFF),
                                                static_cast<std::uint8_t>((v >> 8) & 0xFF)};
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Tag(const char *t, int n) { out.insert(out.end(), t, t + n); }
};

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h, BACKGROUND) {}

    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<std::size_t>(y) * w_ + x] = c;
    }
    void Fill(int x, int y, int w, int h, Rgb c) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) Set(x + i, y + j, c);
    }
    // A grey picture at SCALE, opaque, as the game draws it.
    void Picture(int x, int y, int w, int h, const ::Picture *pic) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const std::uint8_t g = pic[j * w + i];
                Fill(x + i * SCALE, y + j * SCALE, SCALE, SCALE, Rgb{g, g, g});
            }
    }
    // An erase frame: the black block it leaves, inside a one-pixel outline.
    void Erase(int x, int y, int w, int h) {
        Fill(x - 1, y - 1, w * SCALE + 2, h * SCALE + 2, OUTLINE);
        Fill(x, y, w * SCALE, h * SCALE, Rgb{0, 0, 0});
    }
    // A label in the game's own font, at 1x, glyph pixels only.
    void Text(int x, int y, const std::string &text) {
        for (char ch : text) {
            const auto code = static_cast<unsigned char>(ch);
            const ::Picture *glyph = code < 128 ? FONT[code] : nullptr;
            if (glyph != nullptr)
                for (int j = 0; j < GLYPH_SIZE; ++j)
                    for (int i = 0; i < GLYPH_SIZE; ++i)
                        if (glyph[j * GLYPH_SIZE + i] != 0) Set(x + i, y + j, LABEL);
            x += GLYPH_SIZE;
        }
    }

    // A 24-bit uncompressed BMP, rows bottom-up, each padded to 4 bytes.
    bool SaveBmp(const std::string &path) const {
        const int rowBytes = (w_ * 3 + 3) & ~3;
        const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes) * h_;
        LittleEndian le;
        std::vector<std::uint8_t> &out = le.out;
        auto u16 = [&](std::uint32_t v) { le.U16(v); };
        auto u32 = [&](std::uint32_t v) { le.U32(v); };
        le.Tag("BM", 2);
        u32(14 + 40 + dataSize);  // file size
        u32(0);                   // reserved
        u32(14 + 40);             // offset of the pixels
        u32(40);                  // BITMAPINFOHEADER
        u32(static_cast<std::uint32_t>(w_));
        u32(static_cast<std::uint32_t>(h_));
        u16(1);   // planes
        u16(24);  // bits a pixel
        u32(0);   // no compression
        u32(dataSize);
        u32(2835);  // 72 dpi
        u32(2835);
        u32(0);
        u32(0);
        for (int y = h_ - 1; y >= 0; --y) {
            for (int x = 0; x < w_; ++x) {
                const Rgb &c = px_[static_cast<std::size_t>(y) * w_ + x];
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
            }
            for (int pad = w_ * 3; pad < rowBytes; ++pad) out.push_back(0);
        }
        return WriteFile(path, out);
    }

    // The whole file or none: a file cut short (a full disk) is removed.
    // False with a message naming the reason.
    static bool WriteFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) {
            std::fprintf(stderr, "zultmirax-sheet: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return false;
        }
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
        const int error = errno;
        ok = std::fclose(f) == 0 && ok;
        if (ok) return true;
        std::remove(path.c_str());
        std::fprintf(stderr, "zultmirax-sheet: cannot write %s: %s; it was removed\n", path.c_str(),
                     std::strerror(error != 0 ? error : errno));
        return false;
    }

private:
    int w_;
    int h_;
    std::vector<Rgb> px_;
};

// RIFF/WAVE, PCM, 8000 Hz, unsigned 8-bit, mono.
bool SaveWav(const std::string &path, const std::uint8_t *samples, std::uint32_t n) {
    LittleEndian le;
    std::vector<std::uint8_t> &out = le.out;
    auto tag = [&](const char *t) { le.Tag(t, 4); };
    auto u16 = [&](std::uint32_t v) { le.U16(v); };
    auto u32 = [&](std::uint32_t v) { le.U32(v); };
    const std::uint32_t padded = n + (n & 1);
    tag("RIFF");
    u32(4 + (8 + 16) + (8 + padded));
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);     // PCM
    u16(1);     // mono
    u32(8000);  // samples a second
    u32(8000);  // bytes a second
    u16(1);     // bytes a frame
    u16(8);     // bits a sample
    tag("data");
    u32(n);
    out.insert(out.end(), samples, samples + n);
    if (n & 1) out.push_back(0x80);
    return Canvas::WriteFile(path, out);
}

const char *const SOUND_NAMES[SOUND_COUNT] = {
    "game-over",   "alien-hit",  "cannon-blast", "ufo-fly", "ufo-hit", "start",
    "cannon-shot", "game-start", "march-1",      "march-2", "march-3", "march-4",
};

const char *const SET_NAMES[SPR_SET_COUNT] = {"CANNON", "SHIELD", "SHOT", "ALIEN", "UFO"};

bool HasOwnGlyph(int code) { return FONT[static_cast<std::size_t>(code)] != nullptr && !(code >= 'a' && code <= 'z'); }

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zultmirax-sheet OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code made;
    std::filesystem::create_directories(dir, made);  // a failure shows as a file that cannot be written

    // Left: the title picture. Right: the logo, then the font, then one line
    // per sprite set with its frames in order.
    const int left = 16;
    const int top = 24;
    const int right = left + PIC_TITLE_W * SCALE + 32;
    const int glyphPitch = GLYPH_SIZE * SCALE + 6;
    const int glyphsPerRow = 32;
    const int width = right + glyphsPerRow * glyphPitch + 16;

    int height = top + PIC_TITLE_H * SCALE + 16;
    // The right column's height: logo, font rows, sprite lines.
    const int rightHeight = top + PIC_LOGO_H * SCALE + 32 + 2 * glyphPitch + 24 + SPR_SET_COUNT * (8 * SCALE + 28) + 16;
    if (rightHeight > height) height = rightHeight;

    Canvas sheet(width, height);
    sheet.Text(left, top - 14, "PIC_TITLE 320X240");
    sheet.Picture(left, top, PIC_TITLE_W, PIC_TITLE_H, PIC_TITLE);

    int y = top;
    sheet.Text(right, y - 14, "PIC_LOGO 162X58");
    sheet.Picture(right, y, PIC_LOGO_W, PIC_LOGO_H, PIC_LOGO);
    y += PIC_LOGO_H * SCALE + 32;

    sheet.Text(right, y - 14, "FONT 33-95");
    int n = 0;
    for (int code = 0; code < 128; ++code) {
        if (!HasOwnGlyph(code)) continue;
        sheet.Picture(right + (n % glyphsPerRow) * glyphPitch, y + (n / glyphsPerRow) * glyphPitch, GLYPH_SIZE,
                      GLYPH_SIZE, FONT[static_cast<std::size_t>(code)]);
        ++n;
    }
    y += ((n + glyphsPerRow - 1) / glyphsPerRow) * glyphPitch + 24;

    for (int set = 0; set < SPR_SET_COUNT; ++set) {
        sheet.Text(right, y - 14,
                   std::string("SPR_") + SET_NAMES[set] + " 0-" + std::to_string(Spr_FrameCount(set) - 1));
        int x = right;
        for (int frame = 0; frame < Spr_FrameCount(set); ++frame) {
            const SpriteFrame f = Spr_Frame(set, frame);
            if (f.picture == nullptr) sheet.Erase(x, y, f.w, f.h);
            else sheet.Picture(x, y, f.w, f.h, f.picture);
            x += f.w * SCALE + GAP;
        }
        y += 8 * SCALE + 28;
    }

    int failures = 0;
    const std::string bmp = dir + "/contact-sheet.bmp";
    if (!sheet.SaveBmp(bmp)) ++failures;
    for (int i = 0; i < SOUND_COUNT; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/sound-%02d-%s.wav", i + 1, SOUND_NAMES[i]);
        const std::string path = dir + name;
        if (!SaveWav(path, SOUNDS[static_cast<std::size_t>(i)].samples,
                     SoundPlayedLength(SOUNDS[static_cast<std::size_t>(i)].stored))) {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
