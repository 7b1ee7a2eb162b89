#include "support/gl_context.h"

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
}

TEST_F(CompositionLoadTest, ALoneLayerShowsCompleteProgress)
{
    cSceneComposition comp(&clock);
    cProbeScene a(&clock);
    comp.add_layer(10, {0, 100, &a, 1.0f, 0}, 0, 0);
    EXPECT_FLOAT_EQ(comp.load_layers(), 1.0f);  // not 0/0
    EXPECT_EQ(a.loads, 1);
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
