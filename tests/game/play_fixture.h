// Shared fixture for the play entity tests: captures what the modules queue
// for drawing and the sounds they start, and gives each test released keys.
#pragma once
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "assets/sprites.h"
#include "platform/gfx.h"

namespace play {

// One queued draw command as the tests compare it.
struct Draw {
    int x;
    int y;
    int w;
    int h;
    const Picture *picture;  // null: a black erase fill
    bool operator==(const Draw &o) const = default;
};
void PrintTo(const Draw &d, std::ostream *os);

// What the sprite set `set` queues for `frame` at (x, y).
Draw Sprite(int set, int x, int y, int frame);

// The commands queued since the last call, oldest first; the queue is emptied.
std::vector<Draw> TakeDraws();

struct Sound {
    int channel;
    int id;
    bool operator==(const Sound &o) const = default;
};
void PrintTo(const Sound &s, std::ostream *os);

// Snd_Play calls since the last call.
std::vector<Sound> TakeSounds();

// Holds or releases a key so that the next Pad_Read sees it.
void Key(int sym, bool down);

class PlayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace play
