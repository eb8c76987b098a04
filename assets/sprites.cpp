// PLACEHOLDER until the sprite sets are drawn.
#include "assets/sprites.h"
int Spr_Cannon(int, int, int) { return 0; }
int Spr_Shield(int, int, int) { return 0; }
int Spr_Shot(int, int, int) { return 0; }
int Spr_Alien(int, int, int) { return 0; }
int Spr_Ufo(int, int, int) { return 0; }
int Spr_FrameCount(int) { return 0; }
SpriteFrame Spr_Frame(int, int) { return {0, 0, nullptr}; }
