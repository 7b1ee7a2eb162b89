#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "event_script.h"
#include "file_watcher.h"
#include "layer_controls.h"
#include "midi_file.h"
#include "scene_manager.h"
#include "scenes/composition.h"
#include "support/files.h"
#include "support/midi_bytes.h"
#include "support/mp3_encode.h"
#include "support/probe_scene.h"
#include "support/tool_run.h"
#include "timeline_text.h"
#include "transport.h"
#include "values/interpolator.h"

namespace fs = std::filesystem;

namespace {

// A layer's scene with one published value of each kind.
class cTunedScene : public cProbeScene {
public:
    explicit cTunedScene(cDemoClock* c) : cProbeScene(c)
    {
        publish({{"count", &count, 0, 10}, {"speed", &speed, 0, 1}, {"phase", &phase, 0, 1}, {"eye", &eye, -5, 5}});
    }
    bool update() override { return cScene::update(); }  // runs the animators
    int count = 7;
    float speed = 0.1f;
    double phase = 1.0 / 3.0;
    Vec3<float> eye{1, 2, 3};
};

// ---- timeline printout --------------------------------------------------------------

TEST(StudioTimelineText, PrintedValuesReadBackAsTheSameValuesAndOnlyTableLinesParse)
{
    cDemoClock clock;
    cSceneComposition comp(&clock);
    cTunedScene tuned(&clock), other(&clock);
    tuned.speed = 0.7123456789f;  // needs every digit of a float
    tuned.phase = -2.5e-7;
    tuned.count = -3;
    comp.add_layer(60, {111500, 119000, &tuned, 1.0f, 0}, 0, 0);
    comp.add_layer(70, {200000, 210000, &other, 1.0f, 0}, 0, 0);  // not active: not printed

    const std::string text = timeline_printout(comp, 115000);
    const std::vector<cTimelineLine> lines = parse_timeline_text(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    // A SET holds its value: 0 at the end.
    const std::tuple<std::string, std::string, double> want[] = {
        {"count", "SET_INT", 0}, {"speed", "SET_FLOAT", 0}, {"phase", "LERP_DOUBLE", tuned.phase}};
    for (int i = 0; i < 3; ++i) {
        const cTimelineLine& l = lines[i];
        EXPECT_EQ(std::tie(l.key, l.start, l.end), std::make_tuple(60, 111500, 119000)) << i;
        EXPECT_EQ(std::tie(l.var, l.kind, l.to), want[i]) << i;
    }
    EXPECT_EQ(lines[0].from, -3);
    EXPECT_EQ(static_cast<float>(lines[1].from), tuned.speed);  // bit for bit
    EXPECT_EQ(lines[2].from, tuned.phase);
    // The Vec3 has no table kind: it is named in a comment, which pastes harmlessly.
    EXPECT_NE(text.find("// eye = "), std::string::npos) << text;

    // The parser takes the table's own lines and nothing else.
    cTimelineLine l;
    ASSERT_TRUE(parse_timeline_line("    {60,  \"campath_t\",        LERP_FLOAT,    111500, 119000,   0.5,   1.0},", l));
    EXPECT_EQ(std::tie(l.key, l.var, l.kind, l.start, l.end, l.from, l.to),
              std::make_tuple(60, "campath_t", "LERP_FLOAT", 111500, 119000, 0.5, 1.0));
    for (const char* bad : {
             "{60, \"x\", LERP_FLOAT, 1, 2, 0.0},",          // a field missing
             "{60, \"x\", LERP_VEC3, 1, 2, 0.0, 1.0},",      // no such kind
             "{60, \"x\", LERP_FLOAT, 1, 2, 0.0, 1.0}, 5",   // something after the line
             "{60, \"x, LERP_FLOAT, 1, 2, 0.0, 1.0},",       // unclosed name
             "// {60, \"x\", SET_INT, 1, 2, 3, 0},",         // a comment
         })
        EXPECT_FALSE(parse_timeline_line(bad, l)) << bad;
}

// ---- bars and sections ---------------------------------------------------------------

TEST(StudioTiming, BarStepsLandOnTheBeatGridsBarLines)
{
    // 145 bpm at 480 ticks per quarter note.
    cMidiFile midi(cat({midi_header(1, 480), midi_track(cat({tempo_event(0, 60000000 / 145), end_of_track()}))}));
    midi.read_tracks();
    const double bar = bar_ms_of(midi);
    EXPECT_NEAR(bar, 4 * 60000.0 / 145, 0.01);
    for (int32_t t : {0, 1, 1654, 1655, 1656, 100000, 233499}) {
        const int32_t next = bar_step(t, bar, 1);
        const int32_t prev = bar_step(t, bar, -1);
        EXPECT_GT(next, t);
        EXPECT_LE(next - t, static_cast<int32_t>(bar) + 1);
        const double k = std::round(next / bar);
        EXPECT_EQ(next, static_cast<int32_t>(k * bar)) << "not a bar line: " << next;
        if (t > 0) {
            EXPECT_LT(prev, t);
            EXPECT_EQ(prev, static_cast<int32_t>(std::round(prev / bar) * bar)) << "not a bar line: " << prev;
            EXPECT_GE(bar_step(prev, bar, 1), t) << "skipped the bar line before " << t;
        } else {
            EXPECT_EQ(prev, t);  // nothing before the start
        }
    }
    // From a bar line, a step goes a whole bar.
    const int32_t line3 = static_cast<int32_t>(3 * bar);
    EXPECT_EQ(bar_step(line3, bar, 1), static_cast<int32_t>(4 * bar));
    EXPECT_EQ(bar_step(line3, bar, -1), static_cast<int32_t>(2 * bar));
}

TEST(StudioTiming, SectionsComeFromTheMarkerScript)
{
    const cTempDir dir("studio_markers");
    std::unique_ptr<cEventQueue> queue(cEventQueue_factory::loadFile(dir.write(
        "markers.txt", "s00 0:00:00:000\nfadein 0:00:00:000\ns02 0:00:26:482\ns01 0:00:13:241\nquit 0:03:53:500\n")));
    ASSERT_TRUE(queue);
    const cStudioTiming timing = timing_of(*queue, 1655, 240000);
    ASSERT_EQ(timing.sections.size(), 3u);
    EXPECT_EQ(timing.end_ms, 233500);  // the quit marker comes before the music's end
    EXPECT_EQ(section_step(0, timing.sections, 1), 13241);
    EXPECT_EQ(section_step(13241, timing.sections, 1), 26482);
    EXPECT_EQ(section_step(26482, timing.sections, 1), 26482);  // none after the last
    EXPECT_EQ(section_step(20000, timing.sections, -1), 13241);
    EXPECT_EQ(section_step(0, timing.sections, -1), 0);
    EXPECT_EQ(section_name(13240, timing.sections), "s00");
    EXPECT_EQ(section_name(13241, timing.sections), "s01");
    EXPECT_EQ(section_name(-1, timing.sections), "--");
}

// ---- the transport on the scene manager and its music ---------------------------------

class StudioTransport : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        const std::string music = dir.write("music.mp3", encode_mp3(test_signal(44100, 2, 8.0), 44100, 2));
        manager = cSceneManager::get_instance();
        manager->queue = new cEventQueue();
        manager->current = probe = manager->add<cProbeScene>();
        manager->sound.init();
        stdout_of([&] { manager->sound.load(music); });
        manager->sound.toggle_pause();  // playing, as the show starts it
    }
    void TearDown() override
    {
        transport.reset();
        cSceneManager::destroy_instance();
    }
    void start(int32_t end_ms)
    {
        cStudioTiming timing;
        timing.bar_ms = 4 * 60000.0 / 145;
        timing.end_ms = end_ms;
        transport = std::make_unique<cStudioTransport>(*manager, timing);
    }
    void add_event(int32_t type, int32_t time) { manager->queue->events.push_back(new cEvent(type, time)); }

    cTempDir dir{"studio_transport"};
    cSceneManager* manager = nullptr;
    cProbeScene* probe = nullptr;
    std::unique_ptr<cStudioTransport> transport;
};

TEST_F(StudioTransport, PauseStopsClockAndMusicTogetherAndResumeGoesOnFromThere)
{
    start(7000);
    transport->seek(1000);
    SDL_Delay(150);
    transport->pause();
    const int32_t t = transport->position();
    const uint64_t frames = manager->sound.position();
    EXPECT_GE(t, 1100);
    EXPECT_FALSE(manager->sound.is_playing());
    SDL_Delay(300);
    manager->update();
    EXPECT_EQ(transport->position(), t);
    EXPECT_EQ(manager->sound.position(), frames);

    transport->resume();
    EXPECT_TRUE(manager->sound.is_playing());
    manager->update();
    EXPECT_LT(transport->position() - t, 50) << "the pause counted as demo time";
    SDL_Delay(200);
    manager->update();
    EXPECT_GE(transport->position() - t, 150);
    EXPECT_GT(manager->sound.position(), frames);
}

TEST_F(StudioTransport, SeeksSkipEarlierEventsAndMoveTheMusicToTheSample)
{
    for (int32_t time : {500, 1500, 1655, 1700, 3000})
        add_event(EVENT_BEAT, time);
    start(7000);
    transport->seek(1000);
    transport->pause();
    transport->step_bar(1);  // the next bar line: 1655 ms
    EXPECT_EQ(transport->position(), 1655);
    EXPECT_EQ(manager->sound.position(), 1655u * 441 / 10);
    transport->step_ms(1000);
    EXPECT_EQ(transport->position(), 2655);
    EXPECT_EQ(manager->sound.position(), 2655u * 441 / 10);
    transport->step_bar(-1);
    EXPECT_EQ(transport->position(), 1655);
    // Everything up to the new time is skipped; what follows fires in order.
    transport->resume();
    manager->clock.start -= 2000;
    manager->update();
    EXPECT_EQ(probe->seen, (std::vector<int32_t>{1700, 3000}));
}

TEST_F(StudioTransport, TheShowsEndStopsThePlayerInsteadOfEndingIt)
{
    add_event(EVENT_QUIT, 2000);
    manager->queue->cursor = 0;
    start(2000);
    transport->seek(1950);
    SDL_Delay(150);
    manager->clock.tick();
    // Past this, the update below would fire the end marker and end the
    // process, with the status of a passing test.
    ASSERT_LE(transport->position(), 1999);
    manager->update();
    transport->frame();
    EXPECT_TRUE(transport->paused());
    EXPECT_EQ(transport->position(), 1999);
    EXPECT_EQ(manager->queue->cursor, 0u);

    transport->seek(5000);  // past the end is held at it
    EXPECT_EQ(transport->position(), 1999);
}

TEST_F(StudioTransport, ALoopPlaysItsRangeAgain)
{
    start(7000);
    transport->set_loop(1000, 1100);
    transport->frame();  // outside the range: to its start
    EXPECT_NEAR(transport->position(), 1000, 5);
    SDL_Delay(150);
    transport->frame();
    EXPECT_NEAR(transport->position(), 1000, 5);
}

// ---- holding a layer's values ---------------------------------------------------------

TEST(StudioHold, HeldLayersKeepTheirHandSetValuesUntilReleased)
{
    cDemoClock clock;
    cSceneComposition comp(&clock);
    cTunedScene tuned(&clock), other(&clock);
    comp.add_layer(10, {0, 1000, &tuned, 1.0f, 0}, 100, 0);  // a fade: not the layer's values
    comp.add_layer(20, {0, 1000, &other, 1.0f, 0}, 0, 0);
    comp.animators.push_back(new cLerp<float>(find_var("speed", &tuned), 0, 1000, 0.0f, 1.0f));
    comp.animators.push_back(new cLerp<float>(find_var("speed", &other), 0, 1000, 0.0f, 1.0f));
    tuned.animators.push_back(new cSetVar<int>(find_var("count", &tuned), 0, 1000, 2));
    const std::vector<cInterpolator*> timeline = comp.animators;

    cStudioHold hold;
    hold.hold(comp, 10);
    hold.hold(comp, 10);  // twice is once
    tuned.speed = 0.25f;
    tuned.count = 9;
    clock.now = 500;
    comp.update();
    EXPECT_EQ(tuned.speed, 0.25f);
    EXPECT_EQ(tuned.count, 9);
    EXPECT_FLOAT_EQ(other.speed, 0.5f);  // the other layer plays on
    EXPECT_FLOAT_EQ(comp.layers.at(10).alpha, 1.0f);

    hold.release(comp);
    EXPECT_EQ(comp.animators, timeline);  // back in their places
    clock.now = 600;
    comp.update();
    EXPECT_FLOAT_EQ(tuned.speed, 0.6f);
    EXPECT_EQ(tuned.count, 2);
}

// ---- the file watcher -----------------------------------------------------------------

TEST(StudioFileWatcher, ReportsAChangeOnceAndLooksOnlyOncePerInterval)
{
    const cTempDir dir("studio_watch");
    const std::string path = dir.write("a.frag", "void main() {}\n");
    cStudioFileWatcher w;
    w.watch(path);
    w.watch(path);
    EXPECT_EQ(w.files.size(), 1u);
    EXPECT_TRUE(w.poll(1000).empty());

    std::ofstream(path) << "void main() { }\n";
    EXPECT_TRUE(w.poll(1500).empty()) << "looked again within the interval";
    EXPECT_EQ(w.poll(2000), (std::vector<std::string>{path}));
    EXPECT_TRUE(w.poll(3000).empty());

    // Saved by replacing: missing for a moment, then back.
    fs::remove(path);
    EXPECT_TRUE(w.poll(4000).empty());
    std::ofstream(path) << "void main() {}\n";
    EXPECT_EQ(w.poll(5000), (std::vector<std::string>{path}));
}

}  // namespace

class StudioArgsTest : public ToolTest {
protected:
    StudioArgsTest() : ToolTest("quorvane-studio", "2>&1 >/dev/null") {}  // standard error only
};

// Each number is read whole and in range; anything else ends before a
// window opens, with a line naming the option and exit 2.
TEST_F(StudioArgsTest, BadArgumentsEndBeforeTheWindowWithOneLine)
{
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"--size 640x360junk", "--size WxH, from 64x64 to 16384x16384: 640x360junk"},
        {"--size 99999x360", "--size WxH"},
        {"--size 10x10", "--size WxH"},
        {"--size -640x360", "--size WxH"},
        {"--at 12s", "not a time in ms: 12s"},
        {"--at -5", "not a time in ms: -5"},
        {"--loop 5000 1000", "--loop A B needs A < B"},
        {"--bogus", "unknown option --bogus"},
    };
    for (const auto& c : cases) {
        const std::string err = run(c.args);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.args;
        EXPECT_EQ(err.rfind(std::string("quorvane-studio: ") + c.message, 0), 0u) << c.args << "\n" << err;
    }
}
