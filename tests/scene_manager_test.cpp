#include <gtest/gtest.h>

#include <stdexcept>

#include "demo.h"
#include "frame.h"
#include "load_screen.h"
#include "scene_manager.h"
#include "support/probe_scene.h"
#include "support/files.h"

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
    EXPECT_EQ(probe->events, manager->queue) << "a scene is handed the queue it may look into";
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

TEST_F(SceneManagerTest, CodesWithoutAnActionAndDrawingWithoutASceneAreReported)
{
    for (int32_t code : {0, 21, 22, 23, 25, 37, 38, 42})
        add_event(code, 10);
    set_time(11);
    // No current scene: MIDI and beats would be skipped too.
    EXPECT_EQ(stderr_of([&] { manager->dispatch_events(); }),
              "unhandled demo_event: 22\nunhandled demo_event: 23\nunhandled demo_event: 25\n"
              "unhandled demo_event: 37\nunhandled demo_event: 38\nunhandled demo_event: 42\n");
    EXPECT_EQ(stderr_of([&] { manager->draw_current(); }),
              "# warning, no scene selected in cSceneManager::draw_current\n");
}

TEST_F(SceneManagerTest, QuitEventAndLoadingWithoutScenesEndTheProcess)
{
    add_event(EVENT_QUIT, 500);
    set_time(501);
    EXPECT_EXIT(manager->dispatch_events(), testing::ExitedWithCode(0), "");
    cLoadScreenDummy screen;
    EXPECT_EXIT(manager->load_and_fade_in(screen), testing::ExitedWithCode(255), "scene 0 not added - exiting!");
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

// Two slow frames in a row switch vertical sync off, two fast ones on;
// alternating frames never toggle. 11 ms is below one frame at 90 fps.
TEST(VsyncTest, SwitchesOnlyAfterTwoLikeFrames)
{
    struct cStep {
        float ms;    // frame time
        int change;  // what adapt_vsync returns
    };
    for (const auto& [start_on, steps] :
         {std::pair{true, std::vector<cStep>{{60, -1}, {60, 0}, {60, -1}, {5, -1}, {5, 1}, {60, -1}, {5, -1}, {60, -1}}},
          {false, std::vector<cStep>{{12, -1}, {11, -1}, {11, 1}}}}) {
        bool on = start_on;
        int32_t last = 0;
        for (size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(adapt_vsync(on, last, steps[i].ms), steps[i].change) << start_on << " step " << i;
    }
}

}  // namespace
