// Setters for tests only: they put an ever-growing count of a game just
// below its limit, which no test could reach by playing. The game never
// calls them.
#pragma once

void Shots_SetBombCounterForTest(int value);
void Ufo_SetShotCountForTest(int value);
void Game_SetScoreForTest(int value);
void Game_SetWaveForTest(int value);
