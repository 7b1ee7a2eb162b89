#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "demo.h"
#include "frame.h"
#include "load_screen.h"
#include "scene_manager.h"
#include "midi_events.h"
#include "support/midi_bytes.h"
#include "support/probe_scene.h"

namespace {

class cOtherScene : public cProbeScene {
public:
    explicit cOtherScene(cDemoClock* c) : cProbeScene(c) {}
};

class SceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager = cSceneManager::get_instance();
        manager->queue = new cEventQueue();
    }
    void TearDown() override { cSceneManager::destroy_instance(); }

    void add_event(int32_t type, int32_t time) { manager->queue->events.push_back(new cEvent(type, time)); }
    void set_time(int32_t t)
    {
        manager->clock.start = 0;
        manager->clock.now = t;
    }

    cSceneManager* manager = nullptr;
};

TEST_F(SceneManagerTest, EventsFireOnlyOnceTheDemoTimeIsPastThem)
{
    manager->current = manager->add<cProbeScene>();
    auto* probe = static_cast<cProbeScene*>(manager->current);
    add_event(EVENT_MIDI, 100);
    add_event(EVENT_BEAT, 100);
    add_event(EVENT_MIDI, 250);
    set_time(100);
    manager->dispatch_events();
    EXPECT_TRUE(probe->seen.empty());
    set_time(101);
    manager->dispatch_events();
    EXPECT_EQ(probe->seen, (std::vector<int32_t>{100, 100}));
    set_time(1000);
    manager->dispatch_events();
    EXPECT_EQ(probe->seen, (std::vector<int32_t>{100, 100, 250}));
    EXPECT_EQ(manager->queue->cursor, 3u);
}

TEST_F(SceneManagerTest, CodesWithoutAnActionAreReported)
{
    for (int32_t code : {0, 21, 22, 23, 25, 37, 38, 42})
        add_event(code, 10);
    set_time(11);
    testing::internal::CaptureStderr();
    manager->dispatch_events();  // no current scene: MIDI and beats would be skipped too
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "unhandled demo_event: 22\nunhandled demo_event: 23\nunhandled demo_event: 25\n"
              "unhandled demo_event: 37\nunhandled demo_event: 38\nunhandled demo_event: 42\n");
}

TEST_F(SceneManagerTest, QuitEventEndsTheProcess)
{
    add_event(EVENT_QUIT, 500);
    set_time(501);
    EXPECT_EXIT(manager->dispatch_events(), testing::ExitedWithCode(0), "");
}

TEST_F(SceneManagerTest, SeekSkipsEverythingUpToTheTarget)
{
    manager->current = manager->add<cProbeScene>();
    auto* probe = static_cast<cProbeScene*>(manager->current);
    for (int32_t t : {0, 1000, 2000, 2001, 3000})
        add_event(EVENT_BEAT, t);
    manager->seek(2000);
    EXPECT_EQ(manager->queue->cursor, 3u);
    EXPECT_NEAR(manager->clock.elapsed(), 2000, 1);  // no audio latency without a device
    manager->clock.start = manager->clock.now - 2002;
    manager->dispatch_events();
    EXPECT_EQ(probe->seen, (std::vector<int32_t>{2001}));
}

TEST_F(SceneManagerTest, FirstUpdateReportsAChange)
{
    manager->current = manager->add<cProbeScene>();
    EXPECT_TRUE(manager->update());
    EXPECT_FALSE(manager->update());
    static_cast<cProbeScene*>(manager->current)->changed = true;
    EXPECT_TRUE(manager->update());
}

TEST_F(SceneManagerTest, RegistrationKeepsTheFirstNameAndFindsByType)
{
    cProbeScene* first = manager->add<cProbeScene>();
    cOtherScene* second = manager->add<cOtherScene>();
    EXPECT_EQ(manager->scenes.size(), 2u);
    EXPECT_EQ(manager->by_name.at("probe"), first);
    EXPECT_EQ(manager->find<cOtherScene>(), second);
    EXPECT_EQ(manager->find<cProbeScene>(), first);  // the first of that dynamic type
    EXPECT_EQ(first->clock, &manager->clock);
}

TEST_F(SceneManagerTest, LoadingWithoutScenesEndsTheProcess)
{
    cLoadScreenDummy screen;
    EXPECT_EXIT(manager->load_and_fade_in(screen), testing::ExitedWithCode(255), "scene 0 not added - exiting!");
}

TEST_F(SceneManagerTest, DrawingWithoutAScene)
{
    testing::internal::CaptureStderr();
    manager->draw_current();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "# warning, no scene selected in cSceneManager::draw_current\n");
}

// The road of a note: a note-on in the file reaches the current scene in the
// first frame whose demo time is past the note's time, never before.
TEST_F(SceneManagerTest, MidiNotesReachTheSceneOnTheirTimes)
{
    // 480 ticks per quarter at 120 bpm: one tick is 1/960 s.
    const Bytes notes = cat({ev(100, {0x90, 48, 100}), ev(380, {0x80, 48, 0}), ev(720, {0x90, 50, 90}),
                             ev(5, {0x90, 52, 90}), ev(955, {0x80, 50, 0}), end_of_track()});
    const Bytes file = cat({midi_header(2, 480), midi_track(cat({tempo_event(0, 500000), end_of_track()})),
                            midi_track(notes)});
    const std::string path = testing::TempDir() + "notes_" + std::to_string(::getpid()) + ".mid";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    add_midi_and_beat_events(*manager->queue, path);
    std::remove(path.c_str());

    struct cTimedProbe : cProbeScene {
        using cProbeScene::cProbeScene;
        void handle_event(cEvent* e) override
        {
            if (auto* m = dynamic_cast<cMETrigger*>(e); m && m->kind == MIDI_NOTE_ON)
                fired.emplace_back(m->time, clock->elapsed());
        }
        std::vector<std::pair<int32_t, int32_t>> fired;  // (note time, demo time when it arrived)
    };
    auto* probe = manager->add<cTimedProbe>();
    manager->current = probe;
    for (int32_t t = 0; t <= 3000; t += 17) {  // frames of about 60 Hz
        set_time(t);
        manager->dispatch_events();
    }
    const std::vector<int32_t> note_times = {104, 1250, 1255};  // trunc(tick / 960 s)
    ASSERT_EQ(probe->fired.size(), note_times.size());
    for (size_t i = 0; i < note_times.size(); ++i) {
        EXPECT_EQ(probe->fired[i].first, note_times[i]);
        EXPECT_GT(probe->fired[i].second, note_times[i]);
        EXPECT_LE(probe->fired[i].second, note_times[i] + 17);
    }
}

TEST(DemoTest, OnlyOneDemoObject)
{
    cQuorvane first;
    try {
        cQuorvane second;
        FAIL() << "a second demo object was allowed";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "only a single demo allowed at any one time...");
    }
}

TEST(VsyncTest, TwoSlowFramesSwitchOffTwoFastFramesSwitchOn)
{
    bool on = true;
    int32_t last = 0;
    EXPECT_EQ(adapt_vsync(on, last, 60.0f), -1);  // previous frame was not slow
    EXPECT_EQ(adapt_vsync(on, last, 60.0f), 0);
    EXPECT_FALSE(on);
    EXPECT_EQ(adapt_vsync(on, last, 60.0f), -1);  // already off
    EXPECT_EQ(adapt_vsync(on, last, 5.0f), -1);
    EXPECT_EQ(adapt_vsync(on, last, 5.0f), 1);
    EXPECT_TRUE(on);
}

TEST(VsyncTest, AlternatingFramesNeverToggle)
{
    bool on = true;
    int32_t last = 0;
    for (float d : {60.0f, 5.0f, 60.0f, 5.0f, 60.0f})
        EXPECT_EQ(adapt_vsync(on, last, d), -1);
    EXPECT_TRUE(on);
    // 11 ms is below one frame at 90 fps; 12 ms is not.
    on = false;
    last = 12;
    EXPECT_EQ(adapt_vsync(on, last, 11.0f), -1);
    EXPECT_EQ(adapt_vsync(on, last, 11.0f), 1);
}

}  // namespace
