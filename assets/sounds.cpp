// PLACEHOLDER until the sounds are synthesised: twelve silent sounds.
#include "assets/sounds.h"
namespace { const std::uint8_t SILENT[20000] = {}; }
const std::array<const std::uint8_t *, SOUND_COUNT> SOUND_SAMPLES{SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT, SILENT};
const std::array<std::uint32_t, SOUND_COUNT> SOUND_LENGTHS{10071, 472, 4008, 2784, 2418, 2690, 842, 17532, 1048, 906, 1008, 962};
