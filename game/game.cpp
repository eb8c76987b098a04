// Game controller and HUD: the game-wide bookkeeping, one frame of play in
// its fixed order, and the panel at the right of the screen.
#include "game/game.h"

#include "assets/sounds.h"
#include "assets/sprites.h"
#include "game/cannon.h"
#include "game/counter.h"
#include "game/fleet.h"
#include "game/shield.h"
#include "game/shots.h"
#include "game/test_seam.h"
#include "game/ufo.h"
#include "platform/gfx.h"
#include "platform/snd.h"

namespace {

constexpr int START_LIVES = 2;  // in reserve, besides the cannon in play
constexpr int SCORE_X = 256;
constexpr int SCORE_Y = 40;
constexpr int HI_SCORE_X = 256;
constexpr int HI_SCORE_Y = 64;
constexpr int LIVES_X = 256;
constexpr int LIVES_DIGIT_Y = 88;
constexpr int LIVES_ICON_Y = 96;
constexpr int LIVES_ICON_STEP = 14;
constexpr int LIVES_SLOTS = 3;

// The game's bookkeeping is exactly what its view shows; hiScore lasts as
// long as the process.
GameView game{0, 0, 0, 0};

// The game ends in this frame: a new best is kept for the game-over screen.
int EndGame() {
    if (game.hiScore < game.score) game.hiScore = game.score;
    return 0;
}

}  // namespace

void Game_Start() {
    game.score = 0;
    game.lives = START_LIVES;
    game.wave = 0;
    Hud_Draw(game.hiScore, START_LIVES);
    Cannon_Reset();
    Shield_Build();
    Shots_Reset();
    Fleet_Reset(0);
    Ufo_Reset();
    Snd_Play(SND_CH_HIT, SND_GAME_START);
}

int Game_Step() {
    Gfx_Present();

    if (Cannon_Update() == 1) {
        game.lives--;
        // After the last cannon the panel keeps showing "0".
        if (game.lives >= 0) Hud_DrawLives(game.lives);
    }

    const int points = Shots_Update();
    if (points > 0) {
        game.score = Count_Add(game.score, points);
        Gfx_QueueNumber(SCORE_X, SCORE_Y, game.score);
    }

    // A landing ends the game at once, whatever is left in reserve.
    if (Fleet_Update() == 1) return EndGame();

    if (Fleet_Count() == 0) {
        game.wave = Count_Add(game.wave, 1);
        Fleet_Reset(game.wave);
        Shield_Build();
    }

    Ufo_Update();

    if (game.lives >= 0) return 1;
    return EndGame();
}

int Game_GetScore() { return game.score; }

int Game_GetHiScore() { return game.hiScore; }

void Game_SetHiScore(int value) { game.hiScore = value; }

void Game_SetScoreForTest(int value) { game.score = value; }

void Game_SetWaveForTest(int value) { game.wave = value; }

void Hud_Draw(int shownHiScore, int reserve) {
    // Unpaced: the black screen and the panel show at once.
    Gfx_SetPresentEnabled(0);
    Gfx_ClearScreen();
    Gfx_QueueFill(1, 224, 239, 16, 255);  // floor band; column 0 stays black
    Gfx_QueueFill(240, 0, 2, 240, 255);   // divider bar
    Gfx_QueueText(248, 200, "ZULT-");
    Gfx_QueueText(264, 208, "MIRAX");
    Gfx_QueueText(248, 32, "SCORE");
    Gfx_QueueText(248, 56, "HISCORE");
    Gfx_QueueText(248, 80, "REST");
    Gfx_Flush();
    Gfx_QueueNumber(SCORE_X, SCORE_Y, 0);
    Gfx_QueueNumber(HI_SCORE_X, HI_SCORE_Y, shownHiScore);
    Hud_DrawLives(reserve);
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
}

void Hud_DrawLives(int count) {
    Gfx_QueueChar(LIVES_X, LIVES_DIGIT_Y, '0' + count);
    for (int i = 0; i < LIVES_SLOTS; ++i)
        Spr_Cannon(LIVES_X + LIVES_ICON_STEP * i, LIVES_ICON_Y, i < count ? CANNON_FRAME_CANNON : CANNON_FRAME_ERASE);
}

const GameView &Game_View() { return game; }
