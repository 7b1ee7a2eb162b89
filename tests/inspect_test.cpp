#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "resource_path.h"
#include "support/midi_bytes.h"

namespace fs = std::filesystem;

namespace {

class InspectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("qv_inspect_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool beside the test program; stdout and stderr together.
    std::string run(const std::string& args)
    {
        const std::string cmd = executable_dir() + "/quorvane-inspect " + args + " 2>&1";
        std::string out;
        FILE* p = popen(cmd.c_str(), "r");
        char buf[256];
        while (p && fgets(buf, sizeof buf, p))
            out += buf;
        status = p ? pclose(p) : -1;
        return out;
    }

    fs::path dir;
    int status = 0;
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
    std::ofstream(dir / "t.mid", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());

    const std::string out = run("midi " + (dir / "t.mid").string());
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("format 1, 2 tracks, division 480"), std::string::npos) << out;
    EXPECT_NE(out.find("tempo 120 bpm"), std::string::npos) << out;
    EXPECT_NE(out.find("track  1 \"lead\"                   on     2  off     2  ctrl     1  notes 0..1000 ms"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("controllers: 74"), std::string::npos) << out;
    EXPECT_NE(out.find("beat grid: 5 beats, last at 2000 ms"), std::string::npos) << out;  // song ends at 2000
}

TEST_F(InspectTest, MarkerReportShowsEventsAndWarnings)
{
    std::ofstream(dir / "m.txt") << "s03 0:01:23:450\nS03 0:00:01:000\nbeat 0,0,1,0\nquit 0:03:55:000\n";
    const std::string out = run("markers " + (dir / "m.txt").string());
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("25 1000\n3 83450\n41 235000\n3 events"), std::string::npos) << out;
    EXPECT_NE(out.find("# warning, unknown token S03 in cEventQueue_factory::eventtoken_parse"), std::string::npos);
    EXPECT_NE(run("bogus x").find("usage: quorvane-inspect"), std::string::npos);
    EXPECT_NE(status, 0);
}

}  // namespace
