#include <vector>

#include "scenes/scene_pictures.h"
#include "scenes/scene_title.h"

namespace {

class SceneTitleTest : public SceneOfTest<cSceneTitle> {
protected:
    std::vector<uint8_t> picture(float cur_t)
    {
        scene.cur_t = cur_t;
        return frame(1000);
    }
};

TEST_F(SceneTitleTest, TheCameraGlidesAndRollsWithCurTAndASecondLoadMakesNoGlObject)
{
    EXPECT_EQ(scene.get_name(), "greets");
    EXPECT_FLOAT_EQ(cSceneTitle::roll_at(0.5f), -9.375f);
    EXPECT_FLOAT_EQ(cSceneTitle::eye_at(0.0f).y, -350.57f);
    EXPECT_FLOAT_EQ(cSceneTitle::eye_at(1.0f).z, -7.28f);
    const std::vector<uint8_t> start = picture(0.0f), end = picture(1.0f);
    EXPECT_GT(mean_brightness(start), 5.0);
    EXPECT_GT(mean_brightness(end), 5.0);
    EXPECT_NE(start, end);
    EXPECT_EQ(picture(-2.0f), start) << "below 0 behaves like 0";
    EXPECT_EQ(picture(3.0f), end) << "above 1 behaves like 1";
    expect_second_load_makes_nothing(scene);
}

TEST_F(SceneTitleTest, OnlyTheBrightestPartsOfTheCardMakeRays)
{
    const double with_rays = mean_brightness(picture(0.5f));
    scene.levels.in_black = 255.0f;  // nothing passes the mask
    const double logo_only = mean_brightness(picture(0.5f));
    EXPECT_GT(logo_only, 1.0) << "the sharp logo stays";
    EXPECT_GT(with_rays, logo_only * 1.5);
}

}  // namespace
