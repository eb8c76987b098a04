// PIC_LOGO: the splash logo, 162x58, greys 0, 150 and 255. A
// white panel 160x56 with a grey drop shadow two pixels wide along its right
// and bottom edges (offset two pixels, so the top right and bottom left 2x2
// corners stay black); on it, in black, the mark of BLORP SOFTWARE, the
// project's own invented studio: its grinning mascot at the left, "BLORP" in
// large letters with "SOFTWARE" under a rule, and a credit line along the
// bottom.
//
// Built at compile time from ASCII art ('.' black, '#' white):
//   - FACE: the mascot, 1:1.
//   - BIG_LETTERS: 10x11 shapes drawn at 2x.
//   - SMALL_LETTERS: shapes up to 5x5, at 2x for "SOFTWARE" and 1:1 for the credit.
// Letters are as wide as their rightmost '#'; only their '#' pixels are drawn
// (in black, onto the white panel).
#include "assets/art.h"
#include "assets/picture_build.h"
#include "assets/pictures.h"

#include <string_view>

namespace {

using namespace picture_build;

constexpr std::uint8_t SHADOW = 150;
constexpr int PANEL_W = PIC_LOGO_W - 2;  // 160
constexpr int PANEL_H = PIC_LOGO_H - 2;  // 56

// clang-format off
constexpr int FACE_W = 34;
constexpr int FACE_H = 38;
constexpr auto FACE = Art<FACE_W, FACE_H>(
    "#####..####################..#####"
    "####....##################....####"
    "###......################......###"
    "###......################......###"
    "####....##################....####"
    "#####...##################...#####"
    "#######..################..#######"
    "########.################.########"
    "########..##############..########"
    "#########..############..#########"
    "##########.############.##########"
    "##########..............##########"
    "#########................#########"
    "#######.....##########.....#######"
    "######....##############....######"
    "#####...##################...#####"
    "####...####.##########.####...####"
    "###...###.....######.....###...###"
    "###..####.##..######.##..####..###"
    "##...###..#....####..#....###...##"
    "##..####.......####.......####..##"
    "##..####.......####.......####..##"
    "##..####.......####.......####..##"
    "##..####.......####.......####..##"
    "##..#####.....######.....#####..##"
    "##..#####.....######.....#####..##"
    "##..#######.##########.#######..##"
    "##..####.################.####..##"
    "##...###..##############..###...##"
    "###..####...##########...####..###"
    "###...####..............####...###"
    "####...#####..........#####...####"
    "#####...##################...#####"
    "######....##############....######"
    "#######.....##########.....#######"
    "#########................#########"
    "###########............###########"
    "##################################");

constexpr Letter<10, 11> BIG_LETTERS[] = {
    {'B', Art<10, 11>("#########."
                      "##########"
                      "###....###"
                      "###....###"
                      "#########."
                      "#########."
                      "###....###"
                      "###....###"
                      "###....###"
                      "##########"
                      "#########.")},
    {'L', Art<10, 11>("###......."
                      "###......."
                      "###......."
                      "###......."
                      "###......."
                      "###......."
                      "###......."
                      "###......."
                      "###......."
                      "#########."
                      "#########.")},
    {'O', Art<10, 11>(".########."
                      "##########"
                      "###....###"
                      "###....###"
                      "###....###"
                      "###....###"
                      "###....###"
                      "###....###"
                      "###....###"
                      "##########"
                      ".########.")},
    {'R', Art<10, 11>("#########."
                      "##########"
                      "###....###"
                      "###....###"
                      "###....###"
                      "##########"
                      "#########."
                      "###..###.."
                      "###...###."
                      "###....###"
                      "###....###")},
    {'P', Art<10, 11>("#########."
                      "##########"
                      "###....###"
                      "###....###"
                      "###....###"
                      "##########"
                      "#########."
                      "###......."
                      "###......."
                      "###......."
                      "###.......")},
};

constexpr Letter<5, 5> SMALL_LETTERS[] = {
    {'A', Art<5, 5>(".#..."
                    "#.#.."
                    "###.."
                    "#.#.."
                    "#.#..")},
    {'B', Art<5, 5>("##..."
                    "#.#.."
                    "##..."
                    "#.#.."
                    "##...")},
    {'C', Art<5, 5>(".##.."
                    "#...."
                    "#...."
                    "#...."
                    ".##..")},
    {'D', Art<5, 5>("##..."
                    "#.#.."
                    "#.#.."
                    "#.#.."
                    "##...")},
    {'E', Art<5, 5>("###.."
                    "#...."
                    "##..."
                    "#...."
                    "###..")},
    {'F', Art<5, 5>("###.."
                    "#...."
                    "##..."
                    "#...."
                    "#....")},
    {'I', Art<5, 5>("###.."
                    ".#..."
                    ".#..."
                    ".#..."
                    "###..")},
    {'L', Art<5, 5>("#...."
                    "#...."
                    "#...."
                    "#...."
                    "###..")},
    {'N', Art<5, 5>("#..#."
                    "##.#."
                    "#.##."
                    "#..#."
                    "#..#.")},
    {'O', Art<5, 5>(".#..."
                    "#.#.."
                    "#.#.."
                    "#.#.."
                    ".#...")},
    {'P', Art<5, 5>("##..."
                    "#.#.."
                    "##..."
                    "#...."
                    "#....")},
    {'R', Art<5, 5>("##..."
                    "#.#.."
                    "##..."
                    "#.#.."
                    "#.#..")},
    {'S', Art<5, 5>(".##.."
                    "#...."
                    ".#..."
                    "..#.."
                    "##...")},
    {'T', Art<5, 5>("###.."
                    ".#..."
                    ".#..."
                    ".#..."
                    ".#...")},
    {'V', Art<5, 5>("#.#.."
                    "#.#.."
                    "#.#.."
                    "#.#.."
                    ".#...")},
    {'W', Art<5, 5>("#...#"
                    "#...#"
                    "#.#.#"
                    "#.#.#"
                    ".#.#.")},
    {'(', Art<5, 5>(".#..."
                    "#...."
                    "#...."
                    "#...."
                    ".#...")},
    {')', Art<5, 5>("#...."
                    ".#..."
                    ".#..."
                    ".#..."
                    "#....")},
    {'-', Art<5, 5>("....."
                    "....."
                    "###.."
                    "....."
                    ".....")},
};
// clang-format on

constexpr auto BIG = Lettering<10, 11, sizeof BIG_LETTERS / sizeof BIG_LETTERS[0]>{BIG_LETTERS, 1, 5};
constexpr auto SMALL = Lettering<5, 5, sizeof SMALL_LETTERS / sizeof SMALL_LETTERS[0]>{SMALL_LETTERS, 1, 2};

constexpr int FACE_X = 4;
constexpr int FACE_Y = 4;
constexpr int TEXT_LEFT = 42;  // the lettering is centred between here and the panel's right edge
constexpr int NAME_Y = 5;      // "BLORP", 22 rows
constexpr int RULE_Y = 31;
constexpr int LINE_2_Y = 35;  // "SOFTWARE", 10 rows
constexpr int CREDIT_Y = 48;  // the credit line, 5 rows
constexpr std::string_view NAME = "BLORP";
constexpr std::string_view LINE_2 = "SOFTWARE";
constexpr std::string_view CREDIT = "(C) BLORP - ALL ALIENS RESERVED";

consteval std::array<std::uint8_t, PIC_LOGO_W * PIC_LOGO_H> BuildLogo() {
    Canvas<PIC_LOGO_W, PIC_LOGO_H> pic;
    pic.Fill(2, 2, PANEL_W, PANEL_H, SHADOW);  // the shadow, showing to the right and below
    pic.Fill(0, 0, PANEL_W, PANEL_H, 255);     // the panel
    auto ink = [&](int x, int y) { pic.Set(x, y, 0); };

    Blit(FACE, FACE_W, FACE_H, FACE_X, FACE_Y, 1, [&](int x, int y, std::uint8_t g) { pic.Set(x, y, g); });

    const int textCentreX2 = TEXT_LEFT + PANEL_W;
    const int nameW = BIG.Width(NAME, 2);
    BIG.Draw(NAME, (textCentreX2 - nameW) / 2, NAME_Y, 2, ink);
    pic.Fill((textCentreX2 - nameW) / 2, RULE_Y, nameW, 1, 0);
    SMALL.Draw(LINE_2, (textCentreX2 - SMALL.Width(LINE_2, 2)) / 2, LINE_2_Y, 2, ink);
    SMALL.Draw(CREDIT, (PANEL_W - SMALL.Width(CREDIT, 1)) / 2, CREDIT_Y, 1, ink);
    return pic.px;
}

constexpr auto LOGO = BuildLogo();

}  // namespace

const Picture *const PIC_LOGO = LOGO.data();
