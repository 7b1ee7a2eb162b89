#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>

#include "support/files.h"
#include "support/midi_bytes.h"
#include "support/tool_run.h"

namespace {

class InspectTest : public ToolTest {
protected:
    InspectTest() : ToolTest("quorvane-inspect", "2>&1") {}
};

TEST_F(InspectTest, MidiReportCountsWhatTheDemoQueues)
{
    // 480 ticks per quarter at 500000 us: one tick is 1/960 s.
    const Bytes notes = cat({ev(0, {0xFF, 0x03, 4, 'l', 'e', 'a', 'd'}), ev(0, {0x90, 60, 100}),
                             ev(480, {0x80, 60, 0}), ev(0, {0x90, 62, 0}),  // velocity 0: no event
                             ev(480, {0x90, 64, 90}), ev(0, {0xB0, 74, 10}), ev(960, {0x80, 64, 0}),
                             end_of_track()});
    const Bytes file = cat({midi_header(2, 480), midi_track(cat({tempo_event(0, 500000), end_of_track()})),
                            midi_track(notes)});
    const std::string out = run("midi " + write_file(dir / "t.mid", file));
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("format 1, 2 tracks, division 480"), std::string::npos) << out;
    EXPECT_NE(out.find("tempo 120 bpm"), std::string::npos) << out;
    EXPECT_NE(out.find("track  1 \"lead\"                   on     2  off     2  ctrl     1  notes 0..1000 ms"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("controllers: 74"), std::string::npos) << out;
    EXPECT_NE(out.find("beat grid: 5 beats, last at 2000 ms"), std::string::npos) << out;  // song ends at 2000
}

TEST_F(InspectTest, RefusedModelEndsWithTheReadersMessageAndCode)
{
    std::string out = run("model " + write_file(dir / "bad.obj", "v 0 0 0\nvt 0 0\nf 1 1 1\n"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 255) << out;
    EXPECT_NE(out.find("line #162, missing / in line: 3\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("vertices"), std::string::npos) << out;

    out = run("model " + write_file(dir / "bad.bzobj", "abc"));  // shorter than the header
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 255) << out;
    EXPECT_NE(out.find("in bobj_load_compressed: file is truncated"), std::string::npos) << out;

    out = run("model " + (dir / "m.3ds").string());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << out;
    EXPECT_NE(out.find("no reader for"), std::string::npos) << out;

    EXPECT_NE(run("bogus x").find("usage: quorvane-inspect"), std::string::npos);
    EXPECT_NE(status, 0);
}

}  // namespace
