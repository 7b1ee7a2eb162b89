#include <vector>

#include "scenes/scene_pictures.h"
#include "scenes/scene_rose.h"
#include "state_manager.h"
#include "values/var.h"

namespace {

using SceneRoseTest = SceneOfTest<cSceneRose>;

TEST_F(SceneRoseTest, DrawsAGlowingRibbonOnATransparentGround)
{
    const std::vector<uint8_t> ribbon = frame(1000);
    size_t lit = 0;
    for (size_t i = 0; i < ribbon.size(); i += 4)
        lit += ribbon[i] + ribbon[i + 1] + ribbon[i + 2] > 60;
    EXPECT_GT(lit, ribbon.size() / 4 / 100);
    EXPECT_LT(lit, ribbon.size() / 4 / 2);
    EXPECT_EQ(ribbon[3], 0) << "the corner stays transparent";
    scene.kaleido2d = 99;  // out of range: the last plane
    EXPECT_NE(frame(1016), ribbon);
    scene.half_res = 1;
    at(1032);
    cTmpRenderTarget half = scene.render_isolated(1032);
    EXPECT_EQ(half->width, 640u);
}

TEST_F(SceneRoseTest, NotesKickTheOpacityAndTheKicksDecay)
{
    const double calm = mean_brightness(frame(1000));
    cMETrigger first = note_on(4, 60, 1000), second = note_on(4, 60, 1050), other = note_on(5, 60, 1050);
    scene.handle_event(&first);
    scene.handle_event(&other);
    scene.handle_event(&second);
    const double kicked = mean_brightness(frame(1050));
    EXPECT_NEAR(scene.rose.kick, 0.025f * (1 - 50 / 300.0f) + 0.025f, 1e-3f);
    EXPECT_GT(kicked, calm * 1.2);
    frame(1400);
    EXPECT_EQ(scene.rose.kick, 0.0f);
    const size_t animators = scene.animators.size();
    for (int i = 0; i < 100; ++i)
        scene.handle_event(&first);
    EXPECT_EQ(scene.animators.size(), animators) << "notes reuse the scene's animators";
}

TEST_F(SceneRoseTest, TwoRosesKeepTheirOwnValues)
{
    cSceneRose other(&clock);
    other.load();
    const float scale = 5.0f;
    for (auto& [var, node] : other.get_vars())
        if (var->get_name() == "scale")
            var->set(&scale);
    EXPECT_EQ(other.rose.scale, 5.0f);
    EXPECT_EQ(scene.rose.scale, 1.0f);
    cMETrigger kick = note_on(4, 60, 1000);
    other.handle_event(&kick);
    frame(1000);
    frame(other, 1010);
    EXPECT_EQ(scene.rose.kick, 0.0f);
    EXPECT_GT(other.rose.kick, 0.0f);
    EXPECT_NE(scene.rose.phase, other.rose.phase);
}

TEST_F(SceneRoseTest, APausedClockStopsTheRibbonAndASecondLoadMakesNoGlObject)
{
    frame(1000);
    const double phase = scene.rose.phase;
    clock.paused = true;
    frame(1500);
    EXPECT_EQ(scene.rose.phase, phase);
    expect_second_load_makes_nothing(scene);
}

// A capture running up to a late moment draws with rasterising off; the
// ribbon, the costliest vertex work of the show, is left out then.
TEST_F(SceneRoseTest, UnrasterisedTheRibbonIsLeftOut)
{
    auto primitives = [this](bool discard, int32_t t) {
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        cStateManager::get_instance()->discard_primitives(discard);
        frame(t);
        cStateManager::get_instance()->discard_primitives(false);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    };
    EXPECT_GT(primitives(false, 1000), 10000u);
    EXPECT_LT(primitives(true, 1016), 100u);
}

}  // namespace
