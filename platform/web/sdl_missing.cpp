// Calls the game uses that the browser's SDL lacks, as far as the game
// needs them.
#include <SDL.h>

#include <algorithm>

// Classic SDL's mixing of unsigned 8-bit samples: each sample scaled by the
// volume around silence (128), added, and clipped. The mixer only asks for
// that format.
void SDL_MixAudio(Uint8 *dst, const Uint8 *src, Uint32 len, int volume) {
    for (Uint32 i = 0; i < len; ++i) {
        const int sample = (src[i] - 128) * volume / SDL_MIX_MAXVOLUME;
        dst[i] = static_cast<Uint8>(std::clamp(dst[i] + sample, 0, 255));
    }
}
