// Game controller and HUD: score, high score, reserve cannons, waves, and the
// per-frame order of play.
#pragma once

void Game_Start();
int Game_Step();  // 1 while play goes on, 0 on the frame the game ends
int Game_GetScore();
int Game_GetHiScore();
void Game_SetHiScore(int value);

void Hud_Draw(int shownHiScore, int reserve);
void Hud_DrawLives(int count);

struct GameView {
    int score;
    int hiScore;
    int lives;
    int wave;
};
const GameView &Game_View();
