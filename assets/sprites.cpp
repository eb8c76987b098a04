// The five sprite sets. Every picture is ASCII art turned into
// grey bytes at compile time ('.' black, '#' white, '+' grey 128, used only
// by the cannon's blast). Each set is a constexpr frame table; a set function
// looks its frame up and queues one command: a black fill for an erase frame
// (no picture), the picture otherwise. Frames outside a table queue nothing.
#include "assets/sprites.h"

#include <cstdint>

#include "assets/art.h"

namespace {

// clang-format off

// ---- Spr_Cannon, 13x8 ------------------------------------------------------

constexpr auto CANNON = Art<13, 8>(
    "......#......"
    ".....###....."
    ".....###....."
    "...#######..."
    ".###########."
    "#############"
    "#############"
    "#############");

// The blast: the base row stays, debris (white and grey 128) flies above it.
constexpr auto CANNON_BLAST_A = Art<13, 8>(
    ".....#......."
    "...+.....#..."
    ".#...+.+....."
    "....#.#...+.."
    "..+.##+#.#..."
    ".#.#######.+."
    "..#+#####+#.."
    "#############");

constexpr auto CANNON_BLAST_B = Art<13, 8>(
    "............."
    "............."
    "..#......+..."
    ".....+......#"
    ".+..#.+..#..."
    "...+.###.#.+."
    ".#.##+####.#."
    "#############");

// ---- Spr_Shield, 4x8 -------------------------------------------------------
// A gnawed block keeps its shape but loses 5 to 7 pixels along the edge that
// faced the block that is gone.

constexpr auto SHIELD_WHOLE = Art<4, 8>(
    "####"
    "####"
    "####"
    "####"
    "####"
    "####"
    "####"
    "####");

constexpr auto SHIELD_RAGGED_BOTTOM = Art<4, 8>(
    "####"
    "####"
    "####"
    "####"
    "####"
    "#.##"
    ".##."
    "#...");

constexpr auto SHIELD_RAGGED_TOP = Art<4, 8>(
    "..#."
    "##.."
    "###."
    "####"
    "####"
    "####"
    "####"
    "####");

constexpr auto SHIELD_RAGGED_RIGHT = Art<4, 8>(
    "###."
    "####"
    "##.#"
    "###."
    "####"
    "###."
    "##.."
    "####");

constexpr auto SHIELD_RAGGED_LEFT = Art<4, 8>(
    "####"
    ".###"
    "#.##"
    "..##"
    "####"
    ".###"
    "#.##"
    "####");

// ---- Spr_Shot, 3x8 ---------------------------------------------------------

constexpr auto SHOT = Art<3, 8>(
    ".#."
    "###"
    "###"
    ".#."
    ".#."
    ".#."
    ".#."
    "###");

constexpr auto BOMB_CROSS = Art<3, 8>(
    ".#."
    ".#."
    "..."
    "..."
    ".#."
    "###"
    ".#."
    ".#.");

constexpr auto BOMB_ZIGZAG = Art<3, 8>(
    "#.."
    ".#."
    "..#"
    ".#."
    "#.."
    ".#."
    "..#"
    ".#.");

constexpr auto BOMB_ZIGZAG_MIRRORED = Art<3, 8>(
    "..#"
    ".#."
    "#.."
    ".#."
    "..#"
    ".#."
    "#.."
    ".#.");

// ---- Spr_Alien -------------------------------------------------------------

// Kind 1, 12x8, the two bottom rows: horns, eyes, a wide body, a fringe of legs.
constexpr auto ALIEN_1A = Art<12, 8>(
    "....#..#...."
    "....####...."
    ".##########."
    "#.##.##.##.#"
    "############"
    ".##########."
    ".#.#.##.#.#."
    "#.#......#.#");

constexpr auto ALIEN_1B = Art<12, 8>(
    "#..........#"
    ".#..####..#."
    ".##########."
    "#.##.##.##.#"
    "############"
    ".##########."
    "#.#.#..#.#.#"
    ".#.#....#.#.");

// Kind 2, 10x8, the middle rows: pincers, a body with two eyes, legs.
constexpr auto ALIEN_2A = Art<10, 8>(
    "#........#"
    "#..####..#"
    "#.######.#"
    "###.##.###"
    "##########"
    "..######.."
    ".#......#."
    "#........#");

constexpr auto ALIEN_2B = Art<10, 8>(
    "..#....#.."
    ".#.####.#."
    "#.######.#"
    "###.##.###"
    "##########"
    "..######.."
    "..#....#.."
    "...#..#...");

// Kind 3, 8x8, the top rows: antennae, a head with two eyes, three rows of legs.
constexpr auto ALIEN_3A = Art<8, 8>(
    ".#....#."
    "..#..#.."
    ".######."
    "##.##.##"
    "########"
    ".#.##.#."
    "#......#"
    ".#....#.");

constexpr auto ALIEN_3B = Art<8, 8>(
    ".#....#."
    "..#..#.."
    ".######."
    "##.##.##"
    "########"
    "..#..#.."
    ".#.##.#."
    "#.#..#.#");

// The explosion of an alien and of the mystery ship: a ring of 16 pixels.
constexpr auto EXPLOSION = Art<8, 8>(
    "..#.#..."
    "#......#"
    ".#....#."
    "#......#"
    "#......#"
    "#.....#."
    ".#.....#"
    "..#..#..");

// ---- Spr_Ufo, 16x8 ---------------------------------------------------------

constexpr auto UFO_A = Art<16, 8>(
    "......####......"
    "....########...."
    "..##.##..##.##.."
    "................"
    "################"
    ".##############."
    "..##...##...##.."
    "..#....##....#..");

constexpr auto UFO_B = Art<16, 8>(
    "................"
    "......####......"
    "....########...."
    "..###.##..##.#.."
    "################"
    ".##############."
    "...##......##..."
    "...#........#...");

// clang-format on

// ---- Frame tables ----------------------------------------------------------

constexpr SpriteFrame Erase(int w, int h) { return {w, h, nullptr}; }
template <std::size_t N>
constexpr SpriteFrame Pic(int w, int h, const std::array<std::uint8_t, N> &px) {
    return {w, h, px.data()};
}

constexpr SpriteFrame CANNON_SET[] = {
    Erase(13, 8),
    Pic(13, 8, CANNON),
    Pic(13, 8, CANNON_BLAST_A),
    Pic(13, 8, CANNON_BLAST_B),
};
constexpr SpriteFrame SHIELD_SET[] = {
    Erase(4, 8),
    Pic(4, 8, SHIELD_WHOLE),
    Pic(4, 8, SHIELD_RAGGED_BOTTOM),
    Pic(4, 8, SHIELD_RAGGED_TOP),
    Pic(4, 8, SHIELD_RAGGED_RIGHT),
    Pic(4, 8, SHIELD_RAGGED_LEFT),
};
constexpr SpriteFrame SHOT_SET[] = {
    Erase(3, 8),           Pic(3, 8, SHOT),        Pic(3, 8, BOMB_CROSS),
    Pic(3, 8, BOMB_CROSS), Pic(3, 8, BOMB_ZIGZAG), Pic(3, 8, BOMB_ZIGZAG_MIRRORED),
};
constexpr SpriteFrame ALIEN_SET[] = {
    Erase(12, 8), Pic(12, 8, ALIEN_1A), Pic(12, 8, ALIEN_1B),  //
    Erase(10, 8), Pic(10, 8, ALIEN_2A), Pic(10, 8, ALIEN_2B),  //
    Erase(8, 8),  Pic(8, 8, ALIEN_3A),  Pic(8, 8, ALIEN_3B),   //
    Erase(8, 8),  Pic(8, 8, EXPLOSION),
};
constexpr SpriteFrame UFO_SET[] = {
    Erase(16, 8), Pic(16, 8, UFO_A), Pic(16, 8, UFO_B), Erase(8, 8), Pic(8, 8, EXPLOSION),
};

struct FrameTable {
    const SpriteFrame *frames;
    int count;
};
template <std::size_t N>
constexpr FrameTable Table(const SpriteFrame (&frames)[N]) {
    return {frames, static_cast<int>(N)};
}
constexpr FrameTable SETS[SPR_SET_COUNT] = {
    Table(CANNON_SET), Table(SHIELD_SET), Table(SHOT_SET), Table(ALIEN_SET), Table(UFO_SET),
};
static_assert(SETS[SPR_CANNON].count == CANNON_FRAMES && SETS[SPR_SHIELD].count == SHIELD_FRAMES &&
              SETS[SPR_SHOT].count == SHOT_FRAMES && SETS[SPR_ALIEN].count == ALIEN_FRAMES &&
              SETS[SPR_UFO].count == UFO_FRAMES);
// The explosion is one picture shared by two sets.
static_assert(ALIEN_SET[ALIEN_FRAME_EXPLOSION].picture == UFO_SET[UFO_FRAME_BLAST].picture);

// Queues one frame of a set: an erase fill or a picture. Nothing for a frame
// outside the table.
int Draw(int set, int x, int y, int frame) {
    const FrameTable &t = SETS[set];
    if (frame < 0 || frame >= t.count) return 0;
    const SpriteFrame &f = t.frames[frame];
    if (f.picture == nullptr) return Gfx_QueueFill(x, y, f.w, f.h, 0);
    return Gfx_QueuePicture(x, y, f.w, f.h, f.picture);
}

}  // namespace

int Spr_Cannon(int x, int y, int frame) { return Draw(SPR_CANNON, x, y, frame); }
int Spr_Shield(int x, int y, int frame) { return Draw(SPR_SHIELD, x, y, frame); }
int Spr_Shot(int x, int y, int frame) { return Draw(SPR_SHOT, x, y, frame); }
int Spr_Alien(int x, int y, int frame) { return Draw(SPR_ALIEN, x, y, frame); }
int Spr_Ufo(int x, int y, int frame) { return Draw(SPR_UFO, x, y, frame); }

int Spr_FrameCount(int set) { return set >= 0 && set < SPR_SET_COUNT ? SETS[set].count : 0; }

SpriteFrame Spr_Frame(int set, int frame) {
    if (set < 0 || set >= SPR_SET_COUNT || frame < 0 || frame >= SETS[set].count) return {0, 0, nullptr};
    return SETS[set].frames[frame];
}
