// Sprite sets: each queues one erase fill or one picture for a numbered
// frame, with (x, y) the top-left corner, and returns the queue's result.
// A frame outside the set's table queues nothing.
#pragma once
#include "platform/gfx.h"

int Spr_Cannon(int x, int y, int frame);  // 13x8; 0 erase, 1 cannon, 2-3 wreck
int Spr_Shield(int x, int y, int frame);  // 4x8; 0 erase, 1 whole, 2-5 gnawed bottom/top/right/left
int Spr_Shot(int x, int y, int frame);    // 3x8; 0 erase, 1 shot, 2-3 bomb kind 1, 4-5 bomb kind 2
int Spr_Alien(int x, int y, int frame);   // 0-2 kind 1 (12 wide), 3-5 kind 2 (10), 6-8 kind 3 (8), 9-10 explosion (8)
int Spr_Ufo(int x, int y, int frame);     // 0-2 ship 16x8, 3-4 explosion 8x8

// One frame of a set as data, for tests and the contact sheet: size and the
// picture (null for an erase fill).
struct SpriteFrame {
    int w;
    int h;
    const Picture *picture;
};
enum SpriteSet : int { SPR_CANNON, SPR_SHIELD, SPR_SHOT, SPR_ALIEN, SPR_UFO, SPR_SET_COUNT };
int Spr_FrameCount(int set);
SpriteFrame Spr_Frame(int set, int frame);  // {0, 0, nullptr} outside the table
