// The show's timeline tables against the scenes the show registers.
#include <gtest/gtest.h>

#include <set>

#include "scene_manager.h"
#include "scenes/composition.h"
#include "scenes/registry.h"
#include "scenes/timeline.h"
#include "values/interpolator.h"

namespace {

class TimelineTest : public ::testing::Test {
protected:
    TimelineTest() : manager(*cSceneManager::get_instance()) { register_show_scenes(manager); }

    // Keys of the layers active at t, in stacking order.
    std::vector<int32_t> active_at(int32_t t) const
    {
        std::vector<int32_t> keys;
        for (const auto& [key, layer] : comp.layers)
            if (layer.active_at(t))
                keys.push_back(key);
        return keys;
    }

    cSceneManager& manager;
    cSceneComposition comp{&manager.clock};
};

// An animator whose variable is missing or of another type silently does
// nothing, so every row must find its target.
TEST_F(TimelineTest, EveryAnimatorReachesAPublishedVariableOfItsType)
{
    std::set<int32_t> keys;
    for (const cLayerRow& row : SHOW_LAYERS) {
        ASSERT_NE(row.scene(manager), nullptr) << "layer " << row.key;
        keys.insert(row.key);
    }
    EXPECT_EQ(keys.size(), SHOW_LAYERS.size()) << "a key is used twice";
    for (const cAnimRow& anim : SHOW_ANIMATORS) {
        ASSERT_TRUE(anim.var) << "an empty row";
        ASSERT_TRUE(keys.count(anim.layer)) << anim.var << " aims at no layer " << anim.layer;
        ASSERT_LT(anim.start, anim.end) << anim.layer << " " << anim.var;
        const cLayerRow* row = nullptr;
        for (const cLayerRow& l : SHOW_LAYERS)
            row = l.key == anim.layer ? &l : row;
        iVar* var = find_var(anim.var, row->scene(manager));
        EXPECT_TRUE(var && var_fits(anim.kind, var)) << "layer " << anim.layer << " \"" << anim.var << "\"";
    }
}

TEST_F(TimelineTest, LayersFollowTheShowWithInclusiveWindowsAndFadesOnTheStoredLayer)
{
    build_show_timeline(comp, manager);
    ASSERT_EQ(comp.layers.size(), SHOW_LAYERS.size());
    // The two roses are separate scenes in their own layers.
    EXPECT_EQ(comp.layers.at(58).scene, manager.scenes[9]);
    EXPECT_EQ(comp.layers.at(56).scene, manager.scenes[16]);
    EXPECT_NE(manager.scenes[9], manager.scenes[16]);
    EXPECT_EQ(comp.layers.at(15).scene, comp.layers.at(70).scene);  // one mandala, three layers

    EXPECT_EQ(active_at(0), (std::vector<int32_t>{5}));
    EXPECT_EQ(active_at(26000), (std::vector<int32_t>{5, 10, 12}));
    EXPECT_EQ(active_at(26500), (std::vector<int32_t>{5, 10, 12}));  // the title's last moment
    EXPECT_EQ(active_at(26501), (std::vector<int32_t>{5, 12}));
    EXPECT_EQ(active_at(233000), (std::vector<int32_t>{100}));
    EXPECT_TRUE(active_at(233001).empty());

    // The intro's fade-in: 0 at the start, linear to 1 at 10 s.
    int last = 0;
    const float& alpha = comp.layers.at(5).alpha;
    update_animators(comp.animators, last, 0);
    EXPECT_FLOAT_EQ(alpha, 0.0f);
    update_animators(comp.animators, last, 5000);
    EXPECT_FLOAT_EQ(alpha, 0.5f);
    update_animators(comp.animators, last, 10000);
    EXPECT_FLOAT_EQ(alpha, 1.0f);
}

}  // namespace
