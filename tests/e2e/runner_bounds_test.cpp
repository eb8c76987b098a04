// The runner's executable where its inputs and outputs meet the system: a
// link to a file not written yet, standard output under its other names,
// scripts with no end, and standard error closed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
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

// A link whose target does not exist yet names the file a write through it
// creates: two outputs through it and its target are one file.
TEST(RunnerOutputs, ADanglingLinkIsTheFileItWouldCreate) {
    const std::string target = Scratch("target.csv");
    const std::string link = Scratch("link.csv");
    const std::string shot = Scratch("shot.bmp");
    const std::string shotLink = Scratch("shot-link.bmp");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    for (const Case &c :
         {Case{{"--trace", target, "--events", link}, "--events '" + link + "' is the same file as --trace"},
          Case{{"--screenshot", "1:" + shot, "--screenshot", "2:" + shotLink}, "is the same file as --screenshot"}}) {
        SCOPED_TRACE(c.says);
        for (const std::string &p : {target, link, shot, shotLink}) std::remove(p.c_str());
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
        ASSERT_EQ(symlink(shot.c_str(), shotLink.c_str()), 0);
        std::vector<std::string> all = c.args;
        all.insert(all.end(), {"--passes", "5"});
        std::string err;
        EXPECT_EQ(RunReplay(all, &err), 2);
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_FALSE(FileExists(target));
        EXPECT_FALSE(FileExists(shot));
    }
    // A link into a folder that is not there cannot be written.
    std::remove(link.c_str());
    ASSERT_EQ(symlink((Scratch("no-such-dir") + "/x.csv").c_str(), link.c_str()), 0);
    std::string err;
    EXPECT_EQ(RunReplay({"--trace", link, "--passes", "5"}, &err), 2);
    EXPECT_NE(err.find("--trace: cannot write"), std::string::npos) << err;
}

// A recording to "-" writes standard output: naming it again, as a file,
// would interleave two outputs mid-line.
TEST(RunnerOutputs, StandardOutputUnderAnyNameIsOneOutput) {
    const std::string out = Scratch("out.txt");
    const std::string errFile = Scratch("err.txt");
    for (const std::string name : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Shell(Bin() + " --record - --trace " + name + " --passes 5 2>'" + errFile + "' | cat >'" + out + "'"),
                  0)
            << "the pipeline's status is cat's";
        const std::string err = ReadFile(errFile);
        EXPECT_NE(err.find("--record '-' is the same file as --trace '" + name + "'"), std::string::npos) << err;
        EXPECT_EQ(ReadFile(out), "");
    }
    // Standard output by its names alone is one file too, as before.
    EXPECT_EQ(Shell("bash -c \"set -o pipefail; " + Bin() + " --trace /dev/stdout --events /dev/fd/1 --passes 5 2>'" +
                    errFile + "' | cat >/dev/null\""),
              2);
    EXPECT_NE(ReadFile(errFile).find("is the same file as"), std::string::npos) << ReadFile(errFile);
}

TEST(RunnerInput, AScriptPastItsBoundsIsRefusedBeforeAnyPass) {
    const std::string trace = Scratch("trace.csv");
    const std::string errFile = Scratch("err.txt");
    const std::string input = Scratch("input.txt");
    struct Case {
        std::string input;  // a shell word, with any redirection after it
        std::string says;
    };
    WriteFile(input, "0 key down z\n# " + std::string(1023, 'x') + "\n0 key up z\n");
    // Endless input: no line end ever comes, or no end of the file.
    for (const Case &c : {Case{"/dev/zero", "script line 1 is longer than 1024 bytes"},
                          Case{"'" + input + "'", "script line 2 is longer than 1024 bytes"},
                          Case{"- < <(yes '# a comment line, again and again')", "the script is longer than 64 MiB"}}) {
        SCOPED_TRACE(c.input);
        std::remove(trace.c_str());
        EXPECT_EQ(
            Shell("bash -c \"" + Bin() + " --input " + c.input + " --trace '" + trace + "' 2>'" + errFile + "'\""), 2);
        const std::string err = ReadFile(errFile);
        EXPECT_NE(err.find("--input: " + c.says), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_FALSE(FileExists(trace)) << "no output is opened";
    }
    // A line of exactly the limit is read.
    WriteFile(input, "0 key down z\n# " + std::string(1022, 'x') + "\n0 key up z\n");
    std::string err;
    EXPECT_EQ(RunReplay({"--input", input, "--passes", "5"}, &err), 0) << err;
}

// With standard error closed, a message has nowhere to go; it must not go
// into the first file the run opens.
TEST(RunnerMessages, NoneLandsInAnOutputWhenStandardErrorIsClosed) {
    const std::string input = Scratch("cut.txt");
    const std::string trace = Scratch("trace.csv");
    const std::string events = Scratch("events.csv");
    WriteFile(input, "5 key down z\n400 key up z\n");
    ASSERT_EQ(Shell(Bin() + " --input '" + input + "' --passes 100 --trace '" + trace + "' --events '" + events +
                    "' 2>&- >&-"),
              0);
    const e2e::Csv t(trace);
    EXPECT_EQ(t.Rows(), 100u);
    EXPECT_EQ(ReadFile(trace).find("unplayed"), std::string::npos);
    EXPECT_EQ(ReadFile(events).find("unplayed"), std::string::npos);
    EXPECT_EQ(ReadFile(events).rfind("pass,event,a,b,c,d,e,f\n", 0), 0u);
}

}  // namespace
