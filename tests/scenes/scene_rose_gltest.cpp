#include <vector>

#include "scenes/scene_pictures.h"
#include "scenes/scene_rose.h"
#include "values/var.h"

namespace {

class SceneRoseTest : public ScenePictureTest {
protected:
    void SetUp() override
    {
        ScenePictureTest::SetUp();
        rose.load();
    }
    std::vector<uint8_t> picture(cSceneRose& s, int32_t t) { return frame(s, t); }

    cSceneRose rose{&clock};
};

TEST_F(SceneRoseTest, DrawsAGlowingRibbonOnATransparentGround)
{
    const std::vector<uint8_t> ribbon = picture(rose, 1000);
    size_t lit = 0;
    for (size_t i = 0; i < ribbon.size(); i += 4)
        lit += ribbon[i] + ribbon[i + 1] + ribbon[i + 2] > 60;
    EXPECT_GT(lit, ribbon.size() / 4 / 100);
    EXPECT_LT(lit, ribbon.size() / 4 / 2);
    EXPECT_EQ(ribbon[3], 0) << "the corner stays transparent";
    rose.kaleido2d = 99;  // out of range: the last plane
    EXPECT_NE(picture(rose, 1016), ribbon);
    rose.half_res = 1;
    at(1032);
    cTmpRenderTarget half = rose.render_isolated(1032);
    EXPECT_EQ(half->width, 640u);
}

TEST_F(SceneRoseTest, NotesKickTheOpacityAndTheKicksDecay)
{
    const double calm = mean_brightness(picture(rose, 1000));
    cMETrigger first = note_on(4, 60, 1000), second = note_on(4, 60, 1050), other = note_on(5, 60, 1050);
    rose.handle_event(&first);
    rose.handle_event(&other);
    rose.handle_event(&second);
    const double kicked = mean_brightness(picture(rose, 1050));
    EXPECT_NEAR(rose.rose.kick, 0.025f * (1 - 50 / 300.0f) + 0.025f, 1e-3f);
    EXPECT_GT(kicked, calm * 1.2);
    picture(rose, 1400);
    EXPECT_EQ(rose.rose.kick, 0.0f);
    const size_t animators = rose.animators.size();
    for (int i = 0; i < 100; ++i)
        rose.handle_event(&first);
    EXPECT_EQ(rose.animators.size(), animators) << "notes reuse the scene's animators";
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
    EXPECT_EQ(rose.rose.scale, 1.0f);
    cMETrigger kick = note_on(4, 60, 1000);
    other.handle_event(&kick);
    picture(rose, 1000);
    picture(other, 1010);
    EXPECT_EQ(rose.rose.kick, 0.0f);
    EXPECT_GT(other.rose.kick, 0.0f);
    EXPECT_NE(rose.rose.phase, other.rose.phase);
}

TEST_F(SceneRoseTest, APausedClockStopsTheRibbonAndASecondLoadMakesNoGlObject)
{
    picture(rose, 1000);
    const double phase = rose.rose.phase;
    clock.paused = true;
    picture(rose, 1500);
    EXPECT_EQ(rose.rose.phase, phase);
    const int objects = gl_object_count();
    rose.load();
    EXPECT_EQ(gl_object_count(), objects);
}

}  // namespace
