#include <vector>

#include "events.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_pictures.h"

namespace {

class SceneMandalaTest : public SceneOfTest<cSceneMandala> {
protected:
    std::vector<uint8_t> picture(float cur_t, int32_t t = 1000)
    {
        scene.cur_t = cur_t;
        return frame(t);
    }
};

TEST_F(SceneMandalaTest, TheFlightMovesWithCurTAndStopsAtItsEnds)
{
    const std::vector<uint8_t> early = picture(0.2f), late = picture(0.6f);
    EXPECT_GT(mean_brightness(early), 5.0);
    EXPECT_GT(mean_brightness(late), 5.0);
    EXPECT_NE(early, late);
    EXPECT_EQ(picture(-0.5f), picture(0.0f));
    EXPECT_EQ(picture(1.3f), picture(1.0f));
}

TEST_F(SceneMandalaTest, ConfigurationThreeOnlyMovesTheCamera)
{
    scene.config = 2;
    picture(0.5f);
    const float rot = scene.rot, hue = scene.hsb.hue;
    const float z = scene.camera.eye.z;
    scene.config = 3;
    picture(0.9f);
    EXPECT_EQ(scene.rot, rot);
    EXPECT_EQ(scene.hsb.hue, hue);
    EXPECT_LT(scene.camera.eye.z, z);
}

TEST_F(SceneMandalaTest, CirclesLogoAndTrackFourNotesAddLight)
{
    const double all = mean_brightness(picture(0.55f));
    scene.render_circles = 0;
    scene.render_logo = 0;
    const double bare = mean_brightness(picture(0.55f));
    EXPECT_LT(bare, all);

    cEventQueue queue;
    queue.events.push_back(new cMETrigger(note_on(4, 60, 2000)));
    queue.cursor = 1;
    scene.events = &queue;
    const double pulsed = mean_brightness(picture(0.55f, 2010));
    EXPECT_GT(scene.pulse, 0.5f);
    EXPECT_GT(pulsed, bare);
    picture(0.55f, 2150);
    EXPECT_EQ(scene.pulse, 0.0f);
}

TEST_F(SceneMandalaTest, StackSizesFromTheSlidersAndASecondLoadMakeNoGlObject)
{
    picture(0.3f);
    expect_second_load_makes_nothing(scene);
    for (int layers : {0, 1, 5000}) {
        scene.num_layers = layers;
        picture(0.3f);
    }
}

}  // namespace
