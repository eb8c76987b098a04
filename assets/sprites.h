// Sprite sets: each queues one erase fill or one picture for a numbered
// frame, with (x, y) the top-left corner, and returns the queue's result.
// A frame outside the set's table queues nothing.
#pragma once
#include "platform/gfx.h"

// The frame numbers of each set, named once; the entities draw by these.
enum CannonFrame : int {
    CANNON_FRAME_ERASE = 0,
    CANNON_FRAME_CANNON = 1,  // also the HUD's reserve icon
    CANNON_FRAME_WRECK_A = 2,
    CANNON_FRAME_WRECK_B = 3,
    CANNON_FRAMES = 4,
};
enum ShieldFrame : int {
    SHIELD_FRAME_ERASE = 0,
    SHIELD_FRAME_WHOLE = 1,
    SHIELD_FRAME_GNAWED_BOTTOM = 2,  // the block below is gone
    SHIELD_FRAME_GNAWED_TOP = 3,
    SHIELD_FRAME_GNAWED_RIGHT = 4,
    SHIELD_FRAME_GNAWED_LEFT = 5,
    SHIELD_FRAMES = 6,
};
enum ShotFrame : int {
    SHOT_FRAME_ERASE = 0,
    SHOT_FRAME_SHOT = 1,
    SHOT_FRAME_BOMB_1 = 2,  // first kind of bomb; its second phase follows
    SHOT_FRAME_BOMB_2 = 4,  // second kind; its second phase follows
    SHOT_FRAMES = 6,
};
enum AlienFrame : int {
    ALIEN_FRAME_KIND_1 = 0,  // each kind: its erase frame, then poses A and B
    ALIEN_FRAME_KIND_2 = 3,
    ALIEN_FRAME_KIND_3 = 6,
    ALIEN_FRAME_POSE_A = 1,  // added to a kind's erase frame
    ALIEN_FRAME_EXPLOSION_ERASE = 9,
    ALIEN_FRAME_EXPLOSION = 10,
    ALIEN_FRAMES = 11,
};
enum UfoFrame : int {
    UFO_FRAME_ERASE = 0,
    UFO_FRAME_SHIP = 1,  // pose A; pose B follows
    UFO_FRAME_BLAST_ERASE = 3,
    UFO_FRAME_BLAST = 4,
    UFO_FRAMES = 5,
};

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
