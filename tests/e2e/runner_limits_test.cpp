// The runner's limits that no run could reach in a test's time, set next to
// their edge: the WAV file's 4 GiB and script lines past 2^31.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/snd.h"
#include "tests/e2e/support.h"
#include "tools/replay/replay.h"
#include "tools/replay/test_seam.h"
#include "tools/replay/wav.h"

namespace {

std::uint32_t Le32(const std::string &bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(RunnerWavLimit, TheRunStopsAtTheFormatsLimitWithATrueHeader) {
    ReplayOptions options;
    options.passes = 2000;
    options.audio = e2e::Scratch("limit.wav");
    std::string error;
    ASSERT_EQ(Replay_Open(options, &error), 0) << error;
    // Room for three more blocks: the fourth would pass the limit.
    replay::Wav_SetDataBytesForTest(replay::WAV_MAX_DATA - 3 * SND_BLOCK);
    testing::internal::CaptureStderr();
    while (Replay_Pass() != 0) {
    }
    const ReplayView view = Replay_View();
    EXPECT_EQ(Replay_Close(), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("4 GiB limit"), std::string::npos) << err;
    EXPECT_EQ(view.presents, 8) << "stopped in the pass of the eighth present";
    EXPECT_LT(view.nextPass, 2000);

    const std::string wav = e2e::ReadFile(options.audio);
    ASSERT_EQ(wav.size(), 44u + 3 * SND_BLOCK);
    EXPECT_EQ(Le32(wav, 40), replay::WAV_MAX_DATA);
    EXPECT_EQ(Le32(wav, 4), 0xFFFFFFFFu);  // 36 + the data: the largest size the field holds
}

TEST(RunnerScriptLines, AreCountedPastTwoToThe31st) {
    ReplayScript script;
    script.text = "# one\n5 key down z\n6 key down nosuchkey\n";
    script.line = 2147483646;
    ReplayInput input{};
    std::string error;
    ASSERT_EQ(Replay_NextInput(&script, &input, &error), 1) << error;
    EXPECT_EQ(input.line, 2147483648LL);
    EXPECT_EQ(input.pass, 5);
    EXPECT_EQ(Replay_NextInput(&script, &input, &error), 2);
    EXPECT_EQ(error.rfind("script line 2147483649: unknown key", 0), 0u) << error;
}

}  // namespace
