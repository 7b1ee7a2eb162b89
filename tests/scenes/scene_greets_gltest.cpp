#include "scenes/scene_greets.h"

#include "scenes/scene_pictures.h"

namespace {

class SceneGreetsTest : public SceneOfTest<cSceneGreets> {
protected:
    tPixels at_cur_t(float cur_t)
    {
        scene.cur_t = cur_t;
        return frame(1000);
    }
};

TEST_F(SceneGreetsTest, CurTBacksTheCameraAwayFromTheCard)
{
    const tPixels close = at_cur_t(0.0f);
    EXPECT_GT(lit_share(close), 0.1) << "the card faces the camera, upright";
    const tPixels halfway = at_cur_t(0.5f);
    EXPECT_EQ(scene.camera.eye.y, -750.0f);
    const tPixels far = at_cur_t(1.0f);
    EXPECT_EQ(scene.camera.eye.y, -1500.0f);
    EXPECT_GT(mean_difference(close, halfway), 3.0);
    EXPECT_GT(mean_difference(halfway, far), 3.0);
    EXPECT_LT(lit_share(far), 0.8 * lit_share(close)) << "from afar the card fills less of the view";
    EXPECT_EQ(at_cur_t(4.0f), far) << "beyond 1 holds the end of the slide";
}

}  // namespace
