#include "support/gl_context.h"

#include <SDL.h>

#include <cstdlib>

#include "demo_clock.h"
#include "resource_path.h"
#include "scenes/composition.h"
#include "support/probe_scene.h"

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

// Closing the window while the show loads ends the program there.
TEST_F(CompositionLoadTest, AQuitRequestWhileLoadingEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    cSceneComposition comp(&clock);
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
    cProbeScene a(&clock), b(&clock), c(&clock);
    a.name = "a", b.name = "b", c.name = "c";
    comp.add_layer(20, {0, 100, &b, 1.0f, 0}, 0, 0);
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    comp.add_layer(30, {200, 300, &c, 1.0f, 0}, 0, 0);
    cLayerLog log;
    comp.layer_observer = &log;
    clock.now = 50;
    comp.draw();
    EXPECT_EQ(log.log, "<aa><bb>");
}

}  // namespace
