#include <gtest/gtest.h>

#include "demo_clock.h"
#include "scenes/composition.h"
#include "support/probe_scene.h"

namespace {

class CompositionTest : public ::testing::Test {
protected:
    CompositionTest() : comp(&clock), a(&clock, "a"), b(&clock, "b"), c(&clock, "c") {}
    void at(int32_t t)
    {
        clock.start = 0;
        clock.now = t;
    }
    static cSceneLayer layer(cScene* s, int32_t start, int32_t end) { return {start, end, s, 1.0f, 0}; }

    cDemoClock clock;
    cSceneComposition comp;
    cProbeScene a, b, c;
};

TEST_F(CompositionTest, EventsGoToActiveLayersInKeyOrderWithClosedWindows)
{
    comp.add_layer(20, layer(&b, 1000, 2000), 0, 0);
    comp.add_layer(10, layer(&a, 0, 1000), 0, 0);
    comp.add_layer(30, layer(&c, 1001, 3000), 0, 0);
    cEvent e(EVENT_BEAT, 0);
    at(1000);  // the end of a and the start of b are both inside
    e.time = 1;
    comp.handle_event(&e);
    at(999);
    e.time = 2;
    comp.handle_event(&e);
    EXPECT_EQ(a.seen, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(b.seen, (std::vector<int32_t>{1}));
    EXPECT_TRUE(c.seen.empty());
}

TEST_F(CompositionTest, TakenKeysKeepTheirLayer)
{
    comp.add_layer(10, layer(&a, 0, 1000), 0, 0);
    comp.add_layer(10, layer(&b, 0, 5000), 500, 500);
    ASSERT_EQ(comp.layers.size(), 1u);
    EXPECT_EQ(comp.layers.at(10).scene, &a);
    EXPECT_TRUE(comp.animators.empty());
}

TEST_F(CompositionTest, UpdateReportsChangesOfTheActiveSet)
{
    comp.add_layer(10, layer(&a, 0, 26500), 0, 0);
    comp.add_layer(20, layer(&b, 13200, 26500), 0, 0);
    std::vector<bool> changes;
    for (int32_t t : {0, 100, 13199, 13200, 20000, 26500, 26501, 26502})
        at(t), changes.push_back(comp.update());
    EXPECT_EQ(changes, (std::vector<bool>{true, false, false, true, false, false, true, false}));
    EXPECT_EQ(a.updates, 6);  // only while active
    EXPECT_EQ(b.updates, 3);
}

TEST_F(CompositionTest, FadesLandOnTheirEndValues)
{
    comp.add_layer(10, layer(&a, 1000, 5000), 1000, 1000);
    comp.add_layer(20, layer(&b, 0, 9000), 0, 0);
    const float& alpha = comp.layers.at(10).alpha;
    ASSERT_EQ(comp.animators.size(), 2u);

    at(1500);
    comp.update();
    EXPECT_FLOAT_EQ(alpha, 0.5f);
    at(2300);  // no frame at 2000: the fade-in still finishes at 1
    comp.update();
    EXPECT_FLOAT_EQ(alpha, 1.0f);
    at(4500);
    comp.update();
    EXPECT_FLOAT_EQ(alpha, 0.5f);
    at(5400);
    comp.update();
    EXPECT_FLOAT_EQ(alpha, 0.0f);

    // While the clock is paused the animators stand still.
    clock.paused = true;
    at(1500);
    comp.update();
    EXPECT_FLOAT_EQ(alpha, 0.0f);
}

TEST_F(CompositionTest, NothingToDrawLeavesTheFrameAlone)
{
    comp.draw();  // empty map: no GL touched, nothing to crash on
    comp.add_layer(10, layer(&a, 0, 100), 0, 0);
    comp.add_layer(20, layer(&b, 50, 100), 0, 0);
    comp.curtime = 7;
    at(101);
    comp.draw();
    EXPECT_EQ(comp.curtime, 7);
}

}  // namespace

#include "events.h"
#include "values/gui_slider.h"
#include "values/gui_var_list.h"

namespace {

// A scene that publishes one float with its slider, kept for its life.
class cPublishingScene : public cProbeScene {
public:
    explicit cPublishingScene(cDemoClock* c) : cProbeScene(c), published(make_float_var("cur_t", &cur_t, 0, 1)) {}
    ~cPublishingScene() override
    {
        delete published.first;
        delete published.second;
    }
    tVarList get_vars() override { return {published}; }

    float cur_t = 0.25f;
    tGuiEntry published;
};

TEST_F(CompositionTest, GuiShowsCurtimeUpToTheQuitMarkerAndTheActiveScenesSliders)
{
    cEventQueue queue;
    queue.events = {new cEvent(EVENT_BEAT, 100), new cEvent(EVENT_QUIT, 235000)};
    comp.events = &queue;
    cPublishingScene active(&clock), idle(&clock);
    comp.add_layer(10, layer(&active, 0, 1000), 0, 0);
    comp.add_layer(20, layer(&idle, 2000, 3000), 0, 0);
    at(500);

    cGuiVarList list;
    list.set_pos(0.05f, 0.05f);
    comp.register_gui(&list);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].first->get_name(), "curtime");
    EXPECT_FLOAT_EQ(static_cast<cGuiSlider*>(list.entries[0].second)->max, 235000.0f);
    EXPECT_EQ(list.entries[1], active.published);
    float x = 0, y = 0;
    active.published.second->get_pos(x, y);
    EXPECT_FLOAT_EQ(x, 0.05f);
    EXPECT_FLOAT_EQ(y, 0.05f);
}

}  // namespace
