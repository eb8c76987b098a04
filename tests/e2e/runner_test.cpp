// The runner's executable against careless and hostile use: signals,
// unreadable scripts, outputs that clash or cannot be written, audio to a
// pipe, and messages that must stay one plain line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/support.h"

using e2e::Bin;
using e2e::FileExists;
using e2e::ReadFile;
using e2e::RunReplay;
using e2e::Scratch;
using e2e::Shell;
using e2e::WriteFile;

namespace {

std::uint32_t Le32(const std::string &bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// One line, nothing a terminal would act on.
void ExpectOnePlainLine(const std::string &err) {
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    for (const char c : err.substr(0, err.size() - 1)) {
        const auto u = static_cast<unsigned char>(c);
        EXPECT_TRUE(u >= 0x20 && u < 0x7f) << "byte " << static_cast<int>(u) << " in " << err;
    }
}

TEST(RunnerSignals, EndTheRunWithTheirStatusAndCompleteOutputs) {
    for (const int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        const std::string trace = Scratch("trace.csv");
        const std::string audio = Scratch("audio.wav");
        const std::string errFile = Scratch("stderr.txt");
        std::remove(trace.c_str());
        // exec: the signal then reaches the runner (or the emulator, which
        // hands it on), not a shell.
        const std::string command =
            "exec " + Bin() + " --passes 100000000 --trace '" + trace + "' --audio '" + audio + "'";
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (std::freopen(errFile.c_str(), "w", stderr) == nullptr) _exit(126);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        // Signalled once the run is well under way. The size is asked, not
        // read: the runner writes the trace faster than a loaded machine
        // reads it back, and a read to its end would never end.
        const auto size = [&trace] {
            struct stat st {};
            return stat(trace.c_str(), &st) == 0 ? st.st_size : 0;
        };
        for (int i = 0; i < 600 && size() < 100000; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(pid, sig);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 128 + sig);
        const std::string err = ReadFile(errFile);
        ExpectOnePlainLine(err);
        EXPECT_NE(err.find("stopped by signal " + std::to_string(sig)), std::string::npos) << err;

        // Every pass run has its whole row, and the WAV header matches its data.
        const e2e::Csv t(trace);
        ASSERT_GT(t.Rows(), 100u);
        EXPECT_NE(err.find("after " + std::to_string(t.Rows()) + " passes"), std::string::npos) << err;
        EXPECT_EQ(t.Num(t.Rows() - 1, "pass"), static_cast<long>(t.Rows()) - 1);
        EXPECT_EQ(t.Row(t.Rows() - 1).size(), t.Header().size());
        const std::string wav = ReadFile(audio);
        ASSERT_GE(wav.size(), 44u);
        EXPECT_EQ(Le32(wav, 40), wav.size() - 44);
        EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
        EXPECT_EQ(wav.size() - 44, static_cast<std::size_t>(t.Num(t.Rows() - 1, "presents") / 2 * 256));
    }
}

TEST(RunnerSignals, AQuitInTheScriptIsStillANormalEnd) {
    const std::string input = Scratch("input.txt");
    WriteFile(input, "0 quit\n");
    std::string err;
    EXPECT_EQ(RunReplay({"--input", input}, &err), 0);
    EXPECT_EQ(err, "");
}

TEST(RunnerInput, AReadErrorIsABadArgumentBeforeAnyPass) {
    const std::string trace = Scratch("trace.csv");
    const std::string errFile = Scratch("stderr.txt");
    const std::string dir = Scratch("dir");
    ASSERT_EQ(Shell("mkdir -p '" + dir + "'"), 0);
    struct Case {
        std::string redirect;  // standard input
        std::string input;
        std::string named;
    };
    for (const Case &c : {Case{"</dev/null", dir, dir}, Case{"<'" + dir + "'", "-", "'-'"}, Case{"<&-", "-", "'-'"},
                          Case{"</dev/null", "/proc/self/mem", "/proc/self/mem"}}) {
        SCOPED_TRACE(c.redirect + " --input " + c.input);
        std::remove(trace.c_str());
        EXPECT_EQ(
            Shell(Bin() + " --input '" + c.input + "' --trace '" + trace + "' " + c.redirect + " 2>'" + errFile + "'"),
            2);
        const std::string err = ReadFile(errFile);
        ExpectOnePlainLine(err);
        EXPECT_NE(err.find("--input: cannot read"), std::string::npos) << err;
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_FALSE(FileExists(trace)) << "no output is opened";
    }
}

TEST(RunnerOutputs, OnePathTwiceIsRefusedBeforeAnythingIsWritten) {
    const std::string same = Scratch("same.csv");
    const std::string dotted = "./" + same;
    const std::string input = Scratch("input.txt");
    WriteFile(input, "5 key down z\n");
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{"--trace", same, "--events", same},
                                               {"--trace", same, "--screenshot", "5:" + dotted},
                                               {"--audio", same, "--screenshot", "5:" + same},
                                               {"--screenshot", "5:" + same, "--screenshot", "9:" + same},
                                               {"--input", same, "--trace", dotted}}) {
        SCOPED_TRACE(args[0] + " " + args[2]);
        WriteFile(same, "kept\n");
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--passes", "20"});
        std::string err;
        EXPECT_EQ(RunReplay(all, &err), 2);
        ExpectOnePlainLine(err);
        EXPECT_NE(err.find("is the same file as"), std::string::npos) << err;
        EXPECT_EQ(ReadFile(same), "kept\n");
    }
    // Devices such as /dev/null take any number of outputs.
    std::string err;
    EXPECT_EQ(
        RunReplay({"--trace", "/dev/null", "--events", "/dev/null", "--audio", "/dev/null", "--passes", "20"}, &err), 0)
        << err;
}

TEST(RunnerOutputs, ScreenshotsThatCannotBeTakenAreRefusedUpFront) {
    const std::string trace = Scratch("trace.csv");
    const std::string dir = Scratch("shots");
    ASSERT_EQ(Shell("mkdir -p '" + dir + "'"), 0);
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    for (const Case &c : {Case{{"--screenshot", "5:" + Scratch("no-such-dir") + "/x.bmp"}, "cannot write"},
                          Case{{"--screenshot", "5:" + dir}, "cannot write"},
                          Case{{"--passes", "10", "--screenshot", "10:" + Scratch("x.bmp")}, "is never run"},
                          Case{{"--screenshot", "12:" + Scratch("x.bmp"), "--passes", "12"}, "is never run"}}) {
        SCOPED_TRACE(c.args[1]);
        std::remove(trace.c_str());
        std::vector<std::string> all = c.args;
        all.insert(all.end(), {"--trace", trace});
        std::string err;
        EXPECT_EQ(RunReplay(all, &err), 2);
        ExpectOnePlainLine(err);
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_FALSE(FileExists(trace)) << "refused before any pass";
    }
}

TEST(RunnerOutputs, AScreenshotAQuitPreventsIsAFailure) {
    // The quit is seen when the splash first reads the pad, at pass 64.
    const std::string input = Scratch("input.txt");
    const std::string trace = Scratch("trace.csv");
    const std::string early = Scratch("early.bmp");
    const std::string late = Scratch("late.bmp");
    std::remove(late.c_str());
    WriteFile(input, "0 quit\n");
    std::string err;
    EXPECT_EQ(
        RunReplay({"--input", input, "--trace", trace, "--screenshot", "10:" + early, "--screenshot", "5000:" + late},
                  &err),
        1);
    ExpectOnePlainLine(err);
    EXPECT_NE(err.find("before pass 5000"), std::string::npos) << err;
    EXPECT_TRUE(FileExists(early));
    EXPECT_FALSE(FileExists(late));
    EXPECT_EQ(e2e::Csv(trace).Rows(), 64u);
}

TEST(RunnerOutputs, AFailedWriteOfTheHelpIsAFailure) {
    EXPECT_EQ(Shell(Bin() + " --help >/dev/full 2>/dev/null"), 1);
    EXPECT_EQ(Shell(Bin() + " --help >/dev/null"), 0);
}

TEST(RunnerAudio, APipeGetsAStreamedHeaderAndTheSameSamples) {
    const std::string file = Scratch("file.wav");
    const std::string piped = Scratch("piped.wav");
    ASSERT_EQ(RunReplay({"--passes", "400", "--audio", file}), 0);
    ASSERT_EQ(Shell("bash -c \"set -o pipefail; " + Bin() + " --passes 400 --audio /dev/stdout </dev/null | cat >'" +
                    piped + "'\""),
              0);
    const std::string a = ReadFile(file);
    const std::string b = ReadFile(piped);
    ASSERT_GT(a.size(), 44u);
    ASSERT_EQ(b.size(), a.size());
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 0xFFFFFFFFu);  // size unknown
    EXPECT_EQ(b.substr(8, 28), a.substr(8, 28));
    EXPECT_EQ(Le32(b, 40), 0xFFFFFFFFu);
    EXPECT_EQ(b.substr(44), a.substr(44));
}

TEST(RunnerMessages, EchoedTextIsEscapedAndCut) {
    struct Case {
        std::string arg;
        std::string shows;
    };
    for (const Case &c : {Case{"a\nb", "'a\\x0ab'"}, Case{"\x1b[2J\x1b]0;t\x07", "'\\x1b[2J\\x1b]0;t\\x07'"},
                          Case{std::string(10000, 'w'), "'" + std::string(200, 'w') + "...'"}}) {
        SCOPED_TRACE(c.shows);
        std::string err;
        EXPECT_EQ(RunReplay({c.arg}, &err), 2);
        ExpectOnePlainLine(err);
        EXPECT_NE(err.find("unknown argument " + c.shows), std::string::npos) << err;
        EXPECT_LT(err.size(), 300u);
    }
    // A script's word with a NUL and a terminal's escape in it.
    const std::string input = Scratch("input.txt");
    WriteFile(input, std::string("# comment\n7 key down a\0b\x1b[31m\n", 31));
    std::string err;
    EXPECT_EQ(RunReplay({"--input", input}, &err), 2);
    ExpectOnePlainLine(err);
    EXPECT_NE(err.find("script line 2: unknown key 'a\\x00b\\x1b[31m'"), std::string::npos) << err;
}

}  // namespace
