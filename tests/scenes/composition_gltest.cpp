#include "support/gl_context.h"

#include <SDL.h>

#include <cstdlib>

#include "demo_clock.h"
#include "frame.h"
#include "post/post_compositing.h"
#include "resource_path.h"
#include "scenes/composition.h"
#include "support/probe_scene.h"
#include "support/scene_fixture.h"
#include "work_counters.h"

namespace {

class CompositionLoadTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cResourcePath::get_instance()->add("../data/textures");
    }
    cDemoClock clock;
};

TEST_F(CompositionLoadTest, EveryLayerLoadsItsSceneOnceAndTheBarEndsFull)
{
    cSceneComposition comp(&clock);
    cProbeScene a(&clock), b(&clock);
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    comp.add_layer(20, {0, 100, &b, 1.0f, 0}, 0, 0);
    comp.add_layer(30, {200, 300, &a, 1.0f, 0}, 0, 0);  // the same scene in a second layer
    EXPECT_FLOAT_EQ(comp.load_layers(), 1.0f);
    EXPECT_EQ(a.loads, 2);
    EXPECT_EQ(b.loads, 1);

    cSceneComposition lone(&clock);
    cProbeScene c(&clock);
    lone.add_layer(10, {0, 100, &c, 1.0f, 0}, 0, 0);
    EXPECT_FLOAT_EQ(lone.load_layers(), 1.0f);  // not 0/0
    EXPECT_EQ(c.loads, 1);
}

// Closing the window while the show loads ends the program there: the
// frame's event pump runs between the layers.
TEST_F(CompositionLoadTest, AQuitRequestWhileLoadingEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    cSceneComposition comp(&clock);
    comp.between_layers = pump_events;
    cProbeScene a(&clock), b(&clock);
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    comp.add_layer(20, {0, 100, &b, 1.0f, 0}, 0, 0);
    EXPECT_EXIT(
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            comp.load_layers();
            std::exit(3);  // not reached when the quit is seen
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CompositionLoadTest, AnObserverBracketsEachActiveLayersRender)
{
    cSceneComposition comp(&clock);
    cProbeScene a(&clock, "a"), b(&clock, "b"), c(&clock, "c");
    comp.add_layer(20, {0, 100, &b, 1.0f, 0}, 0, 0);
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    comp.add_layer(30, {200, 300, &c, 1.0f, 0}, 0, 0);
    cLayerLog log;
    comp.layer_observer = &log;
    clock.now = 50;
    comp.draw();
    EXPECT_EQ(log.log, "<aa><bb>");
}

class CompositionDrawTest : public SceneTest {};

TEST_F(CompositionDrawTest, LayersStackOntoTheScreenSkippingThoseAtOpacityZero)
{
    cSceneComposition comp(&clock);
    cFlatScene red(&clock, 1, 0, 0), green(&clock, 0, 1, 0), blue(&clock, 0, 0, 1);
    comp.add_layer(10, {0, 100, &red, 1.0f, COMP_BLEND}, 0, 0);
    comp.add_layer(20, {0, 100, &green, 0.0f, COMP_BLEND}, 0, 0);
    comp.add_layer(30, {0, 100, &blue, 0.5f, COMP_ADD}, 0, 0);
    at(50);
    cWorkCounters counters(1);
    counters.begin(0);
    comp.draw();
    counters.end(0);
    const cWork work = counters.read(0);
    EXPECT_EQ(green.renders, 1) << "a hidden layer still renders: its history goes on";
    const std::vector<uint8_t> screen = read_pixels(640, 360, 1, 1);
    EXPECT_NEAR(screen[0], 255, 1);
    EXPECT_EQ(screen[1], 0);
    EXPECT_NEAR(screen[2], 128, 1);
    // Red into the stack, blue straight onto the screen: two full pictures.
    EXPECT_EQ(work.pixels, 2 * 1280 * 720);
    EXPECT_EQ(work.draw_calls, 2);
}

}  // namespace
