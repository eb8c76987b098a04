// Program entry and screen sequence: start-up, the nine-state main loop with
// the splash, title and game-over screens around play, and shut-down.
#include "game/entry.h"

#include <array>
#include <cstdint>

#include "assets/font.h"
#include "assets/icon.h"
#include "assets/pictures.h"
#include "assets/sounds.h"
#include "game/game.h"
#include "platform/gfx.h"
#include "platform/pad.h"
#include "platform/snd.h"
#include "platform/window.h"

namespace {

constexpr int SPLASH_FRAMES = 180;
constexpr int SPLASH_READ_FROM = 119;  // the pad is left alone for the first 61 frames
constexpr int GAME_OVER_FRAMES = 300;
constexpr int GAME_OVER_READ_FROM = 239;
constexpr int TITLE_GUARD = 30;  // frames before the title reads the pad
constexpr int TITLE_FLASH_FRAMES = 90;
constexpr int BLINK_HALF = 30;  // "PUSH BUTTON" is on 30 frames, off 30
constexpr int TITLE_FOLD = 2 * BLINK_HALF * 30000000;

constexpr const char *PUSH_BUTTON = "PUSH BUTTON";
constexpr const char *PUSH_BUTTON_BLANK = "           ";  // eleven black squares

// The screens' counters are exactly what the view shows.
EntryView screens{0, 0};

// A still screen is built unpaced: the queue starts empty and the black
// screen is drawn at once; the caller queues its content and flushes.
void BeginStillScreen() {
    Gfx_SetPresentEnabled(0);
    Gfx_ResetQueue();
    Gfx_ClearScreen();
}

bool FireHeld() {
    ButtonMask held = 0;
    Pad_Read(&held);
    return (held & BTN_A) != 0;
}

int SplashEnter() {
    BeginStillScreen();
    Gfx_QueuePicture(80, 92, PIC_LOGO_W, PIC_LOGO_H, PIC_LOGO);
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
    screens.screenTimer = SPLASH_FRAMES;
    return 0;
}

// The splash and game-over screens only wait: a countdown that fire cuts
// short once the guard time is over.
int CountdownStep(int readFrom) {
    Gfx_Present();
    if (screens.screenTimer <= readFrom && FireHeld()) screens.screenTimer = 1;
    screens.screenTimer--;
    return screens.screenTimer > 0 ? 1 : 0;
}

int SplashStep() { return CountdownStep(SPLASH_READ_FROM); }

int TitleEnter() {
    BeginStillScreen();
    Gfx_QueuePicture(0, 0, PIC_TITLE_W, PIC_TITLE_H, PIC_TITLE);
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
    screens.screenTimer = 0;
    screens.flashTimer = 0;
    return 0;
}

int TitleStep() {
    Gfx_Present();
    screens.screenTimer++;
    // A title left waiting for a year would overflow the count; fold it back
    // by whole blink periods so the blink and the pad reading carry on.
    if (screens.screenTimer >= TITLE_FOLD + 2 * BLINK_HALF) screens.screenTimer -= TITLE_FOLD;
    if (screens.screenTimer % BLINK_HALF == 0) {
        const bool on = screens.screenTimer % (2 * BLINK_HALF) < BLINK_HALF;
        Gfx_QueueText(116, 180, on ? PUSH_BUTTON : PUSH_BUTTON_BLANK);
    }
    if (screens.screenTimer > TITLE_GUARD && screens.flashTimer == 0 && FireHeld()) {
        screens.flashTimer = TITLE_FLASH_FRAMES;
        Snd_Play(SND_CH_MARCH, SND_START);
    }
    if (screens.flashTimer > 0) {
        // The next count is the next multiple of 15, so the words flip every
        // two frames while the start sound plays.
        screens.screenTimer = 15 * (screens.screenTimer / 15) + 14;
        screens.flashTimer--;
        return screens.flashTimer > 0 ? 1 : 0;
    }
    return 1;
}

int GameOverEnter(int score, int hiScore) {
    BeginStillScreen();
    Gfx_QueueText(124, 116, "GAME OVER");
    Gfx_Flush();
    // The same places as the HUD's labels and numbers.
    Gfx_QueueText(248, 32, "SCORE");
    Gfx_QueueText(248, 56, "HISCORE");
    Gfx_QueueNumber(256, 40, score);
    Gfx_QueueNumber(256, 64, hiScore);
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
    screens.screenTimer = GAME_OVER_FRAMES;
    // The game-over sound plays alone: the other channels fall silent.
    Snd_Play(SND_CH_MARCH, SND_GAME_OVER);
    Snd_Play(SND_CH_CANNON, SND_STOP);
    Snd_Play(SND_CH_HIT, SND_STOP);
    Snd_Play(SND_CH_SHIP, SND_STOP);
    return 0;
}

int GameOverStep() { return CountdownStep(GAME_OVER_READ_FROM); }

}  // namespace

int Entry_Start() {
    // The display draws with the game's font; the window shows its icon.
    Gfx_SetFont(&FONT);
    std::array<std::uint32_t, WINDOW_ICON_SIZE * WINDOW_ICON_SIZE> icon{};
    Icon_Argb(WINDOW_ICON_SIZE, icon.data());
    Window_SetIcon(icon.data());
    if (Gfx_Init() != 0) return 1;
    Pad_Init();
    Snd_Init();  // the game runs silently when there is no sound device
    return 0;
}

int Entry_Pass(int *state) {
    if (Pad_QuitRequested() != 0) return 0;
    switch (*state) {
    case STATE_RESET:
        Game_SetHiScore(0);
        *state = STATE_SPLASH_ENTER;
        break;
    case STATE_SPLASH_ENTER:
        SplashEnter();
        *state = STATE_SPLASH;
        break;
    case STATE_SPLASH:
        if (SplashStep() == 0) *state = STATE_TITLE_ENTER;
        break;
    case STATE_TITLE_ENTER:
        TitleEnter();
        *state = STATE_TITLE;
        break;
    case STATE_TITLE:
        if (TitleStep() == 0) *state = STATE_GAME_ENTER;
        break;
    case STATE_GAME_ENTER:
        Game_Start();
        *state = STATE_GAME;
        break;
    case STATE_GAME:
        if (Game_Step() == 0) *state = STATE_GAME_OVER_ENTER;
        break;
    case STATE_GAME_OVER_ENTER:
        GameOverEnter(Game_GetScore(), Game_GetHiScore());
        *state = STATE_GAME_OVER;
        break;
    case STATE_GAME_OVER:
        if (GameOverStep() == 0) *state = STATE_SPLASH_ENTER;
        break;
    default:
        // Not a state of the machine: begin again as at start-up.
        *state = STATE_RESET;
        break;
    }
    return 1;
}

int Entry_Stop() {
    Snd_Shutdown();
    Pad_Shutdown();
    Gfx_Shutdown();
    return 0;
}

const EntryView &Entry_View() { return screens; }
