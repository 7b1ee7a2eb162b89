// The whole show as the program builds it: every registered scene, the
// composition's timeline, every layer loaded.
#include <string>
#include <vector>

#include "scene_manager.h"
#include "scenes/registry.h"
#include "scenes/scene_attractor.h"
#include "scenes/timeline.h"
#include "support/playback_counters.h"
#include "support/probe_scene.h"
#include "support/scene_fixture.h"

namespace {

class ShowTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        register_show_scenes(manager);
        comp = manager.find<cSceneComposition>();
    }
    void show_at(int32_t t)
    {
        manager.clock.start = 0;
        manager.clock.prev = manager.clock.now;
        manager.clock.now = t;
    }

    cSceneManager& manager = *cSceneManager::get_instance();
    cSceneComposition* comp = nullptr;
};

TEST_F(ShowTest, LoadsEveryLayerPlaysWithoutMakingAnythingAndReportsEachChangeOfTheActiveLayers)
{
    EXPECT_FLOAT_EQ(comp->load_layers(), 1.0f);
    // Frames in the middle of every section, each after one frame at nearly
    // the same moment: playing makes no GL object and asks the heap for nothing.
    const cGlObjectCount gl;
    for (int32_t t : {6500, 19000, 30500, 42000, 50000, 66000, 92000, 108000, 125000, 145000, 159000, 174000,
                      188000, 209000, 229000}) {
        for (int32_t frame : {t, t + 17, t + 33}) {
            counting = frame != t;
            show_at(frame);
            comp->update();
            comp->draw();
        }
        counting = false;
        EXPECT_EQ(heap_blocks.exchange(0), 0) << "heap blocks at " << t << " ms";
        EXPECT_EQ(gl_objects.exchange(0), 0) << "GL objects at " << t << " ms";
    }

    // Back to the start: the title joins at 13.2 s, the flower field at 25 s,
    // the title leaves after 26.5 s.
    show_at(0);
    comp->update();
    std::vector<bool> changes;
    for (int32_t t : {13199, 13200, 24999, 25000, 26500, 26501, 26502}) {
        show_at(t);
        changes.push_back(comp->update());
    }
    EXPECT_EQ(changes, (std::vector<bool>{false, true, false, true, false, true, false}));

    // Three layers stacked in key order: the intro, the title, the field.
    cLayerLog log;
    comp->layer_observer = &log;
    show_at(26000);
    comp->update();
    comp->draw();
    EXPECT_EQ(log.log, "<attractorsattractors><greetsgreets><flowerfieldflowerfield>");
    comp->layer_observer = nullptr;  // the composition outlives the test
    manager.find<cSceneAttractor>()->trail.release();  // the ring holds its trail between frames
}

}  // namespace
