#include "tests/game/play_fixture.h"

#include "platform/pad.h"
#include "assets/sounds.h"
#include "platform/snd.h"
#include "tests/harness/harness.h"

namespace play {
namespace {

std::vector<Sound> sounds;

void OnPlay(int channel, int id, int /*result*/) { sounds.push_back({channel, id}); }

}  // namespace

void PrintTo(const Draw &d, std::ostream *os) {
    *os << "{" << d.x << "," << d.y << " " << d.w << "x" << d.h << (d.picture ? " picture" : " fill") << "}";
}

void PrintTo(const Sound &s, std::ostream *os) { *os << "{channel " << s.channel << ", sound " << s.id << "}"; }

Draw Sprite(int set, int x, int y, int frame) {
    const SpriteFrame f = Spr_Frame(set, frame);
    return {x, y, f.w, f.h, f.picture};
}

std::vector<Draw> TakeDraws() {
    const GfxView v = Gfx_View();
    std::vector<Draw> out;
    for (int k = 0; k < v.count; ++k) {
        const DrawCommand &c = v.slots[(v.head + k) % GFX_SLOTS];
        out.push_back({c.x, c.y, c.w, c.h, c.picture});
    }
    Gfx_ResetQueue();
    return out;
}

std::vector<Sound> TakeSounds() {
    std::vector<Sound> out;
    out.swap(sounds);
    return out;
}

void Key(int sym, bool down) { harness::PushKey(sym, down); }

void PlayTest::SetUp() {
    harness::DrainEvents();
    Pad_Init();  // every button released
    Gfx_ResetQueue();
    sounds.clear();
    Snd_SetPlayObserver(OnPlay);
}

void PlayTest::TearDown() {
    Snd_SetPlayObserver(nullptr);
    harness::DrainEvents();
    Gfx_ResetQueue();
}

}  // namespace play
