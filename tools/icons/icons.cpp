// zultmirax-icons SIZE FILE.png
// zultmirax-icons --ico FILE.ico
//
// Writes the program's icon at SIZE x SIZE as an RGBA PNG. The build runs it
// once per hicolor size; the picture comes from the sprite table, so no icon
// file is kept in the source tree. With --ico it writes the Windows icon
// that goes into the .exe: the sizes Explorer and the taskbar ask for, each
// a PNG. Exits with status 2 on bad arguments and 1 when the file cannot be
// written.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/icon.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int MAX_SIZE = 1024;
constexpr std::size_t STORED_MAX = 65535;  // bytes in one uncompressed deflate block

constexpr std::array<std::uint32_t, 256> CRC_TABLE = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}();

void Put32(Bytes &out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(Bytes &out, const char *type, const Bytes &data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : body) crc = CRC_TABLE[(crc ^ b) & 0xFF] ^ (crc >> 8);
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, crc ^ 0xFFFFFFFFu);
}

// A zlib stream of stored (uncompressed) blocks: icons are small, and this
// needs no compression library.
Bytes Zlib(const Bytes &raw) {
    Bytes z{0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t n = raw.size() - pos < STORED_MAX ? raw.size() - pos : STORED_MAX;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        const auto len = static_cast<std::uint16_t>(n);
        const auto nlen = static_cast<std::uint16_t>(~len);
        for (std::uint16_t v : {len, nlen}) {
            z.push_back(static_cast<std::uint8_t>(v & 0xFF));
            z.push_back(static_cast<std::uint8_t>(v >> 8));
        }
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    return z;
}

Bytes Png(int size) {
    Bytes raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < size; ++x) {
            const IconPixel p = Icon_Pixel(size, x, y);
            raw.insert(raw.end(), {p.grey, p.grey, p.grey, p.alpha});
        }
    }
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32(header, static_cast<std::uint32_t>(size));
    Put32(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Zlib(raw));
    Chunk(png, "IEND", {});
    return png;
}

constexpr std::array<int, 6> ICO_SIZES{16, 24, 32, 48, 64, 256};

void Put16Le(Bytes &out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32Le(Bytes &out, std::uint32_t v) {
    Put16Le(out, v & 0xFFFF);
    Put16Le(out, v >> 16);
}

// An icon directory (type 1) of 32-bit PNG images; a size of 256 is
// written as 0.
Bytes Ico() {
    Bytes head;
    Bytes images;
    Put16Le(head, 0);
    Put16Le(head, 1);
    Put16Le(head, ICO_SIZES.size());
    const std::size_t first = 6 + 16 * ICO_SIZES.size();
    for (int size : ICO_SIZES) {
        const Bytes png = Png(size);
        head.push_back(static_cast<std::uint8_t>(size & 0xFF));
        head.push_back(static_cast<std::uint8_t>(size & 0xFF));
        head.insert(head.end(), {0, 0});  // no palette, reserved
        Put16Le(head, 1);                 // planes
        Put16Le(head, 32);                // bits a pixel
        Put32Le(head, static_cast<std::uint32_t>(png.size()));
        Put32Le(head, static_cast<std::uint32_t>(first + images.size()));
        images.insert(images.end(), png.begin(), png.end());
    }
    head.insert(head.end(), images.begin(), images.end());
    return head;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zultmirax-icons SIZE FILE.png | --ico FILE.ico\n");
        return 2;
    }
    Bytes image;
    if (std::string(argv[1]) == "--ico") {
        image = Ico();
    } else {
        char *end = nullptr;
        const long size = std::strtol(argv[1], &end, 10);
        if (*end != '\0' || size < ICON_MIN_SIZE || size > MAX_SIZE) {
            std::fprintf(stderr, "zultmirax-icons: SIZE must be %d to %d\n", ICON_MIN_SIZE, MAX_SIZE);
            return 2;
        }
        image = Png(static_cast<int>(size));
    }
    const Bytes &png = image;
    std::FILE *f = std::fopen(argv[2], "wb");
    if (f == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0 || !ok) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
