#include "tools/replay/wav.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/snd.h"
#include "tools/replay/output.h"
#include "tools/replay/test_seam.h"

namespace replay {

namespace {

struct WavFile {
    FILE *file = nullptr;
    std::string path;
    std::uint64_t dataBytes = 0;
    bool seekable = false;  // a regular file gets its sizes at close
};

// The --audio file and the video's own copy of the sound, written alike:
// the video never reads a file that the run's caller named.
std::array<WavFile, WAV_COPIES> wavs;

// A pipe or a terminal cannot be rewound: its header says "size unknown",
// as readers of streamed WAV accept, and the data runs to the end.
constexpr std::uint32_t STREAMED = 0xFFFFFFFFu;

void PutLe(std::uint8_t *p, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The 44-byte header of a PCM file with dataBytes of data.
void WriteHeader(FILE *f, std::uint32_t dataBytes) {
    std::uint8_t h[WAV_HEADER];
    std::copy_n("RIFF", 4, h);
    PutLe(h + 4, dataBytes == STREAMED ? STREAMED : WAV_HEADER - 8 + dataBytes, 4);
    std::copy_n("WAVEfmt ", 8, h + 8);
    PutLe(h + 16, 16, 4);        // fmt chunk size
    PutLe(h + 20, 1, 2);         // PCM
    PutLe(h + 22, 1, 2);         // mono
    PutLe(h + 24, SND_RATE, 4);  // samples a second
    PutLe(h + 28, SND_RATE, 4);  // bytes a second
    PutLe(h + 32, 1, 2);         // bytes a sample frame
    PutLe(h + 34, 8, 2);         // bits a sample
    std::copy_n("data", 4, h + 36);
    PutLe(h + 40, dataBytes, 4);
    std::fwrite(h, 1, sizeof h, f);
}

}  // namespace

bool Wav_Open(int copy, const std::string &path, std::string *error) {
    WavFile &wav = wavs[copy];
    wav.dataBytes = 0;
    if (!OpenOutput(path, copy == WAV_AUDIO ? "--audio" : "--video", &wav.file, error)) return false;
    wav.path = path;
    if (wav.file == nullptr) return true;
    struct stat st {};
    wav.seekable = fstat(fileno(wav.file), &st) == 0 && S_ISREG(st.st_mode);
    WriteHeader(wav.file, wav.seekable ? 0 : STREAMED);
    return true;
}

bool Wav_Enabled() { return wavs[WAV_AUDIO].file != nullptr || wavs[WAV_VIDEO].file != nullptr; }

bool Wav_Append(const std::uint8_t *bytes, std::uint32_t count) {
    for (const WavFile &wav : wavs) {
        if (wav.file != nullptr && wav.dataBytes + count > WAV_MAX_DATA) return false;
    }
    for (WavFile &wav : wavs) {
        if (wav.file == nullptr) continue;
        std::fwrite(bytes, 1, count, wav.file);
        wav.dataBytes += count;
    }
    return true;
}

void Wav_SetDataBytesForTest(std::uint64_t bytes) {
    for (WavFile &wav : wavs) wav.dataBytes = bytes;
}

bool Wav_Close(int copy) {
    WavFile &wav = wavs[copy];
    if (wav.file == nullptr) return true;
    // The sizes are known only now.
    bool ok = true;
    if (wav.seekable) {
        ok = std::fseek(wav.file, 0, SEEK_SET) == 0;
        if (ok) WriteHeader(wav.file, static_cast<std::uint32_t>(wav.dataBytes));
    }
    ok = CloseOutput(wav.file, wav.path) && ok;
    return ok;
}

void Wav_Abandon() {
    for (WavFile &wav : wavs) {
        if (wav.file != nullptr) std::fclose(wav.file);
        wav.file = nullptr;
    }
}

}  // namespace replay
