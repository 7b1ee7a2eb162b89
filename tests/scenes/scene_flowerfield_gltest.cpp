#include "scenes/scene_flowerfield.h"
#include "scenes/scene_pictures.h"

namespace {

using SceneFlowerFieldTest = ScenePictureTest;

constexpr int32_t T = 30000;

// The sky shows the layer beneath, the field covers the lower half, each
// look differs, and the outro leaves nothing behind.
TEST_F(SceneFlowerFieldTest, FieldUnderATransparentSkyInTwoLooksThatTheOutroDissolves)
{
    cSceneFlowerField scene(&clock);
    scene.load();
    expect_second_load_makes_nothing(scene);

    at(T);
    const cPicture dusk = picture(scene);
    EXPECT_LT(dusk.mean(0.0f, 0.92f, 1.0f, 1.0f, 3), 8.0) << "the sky is transparent";
    EXPECT_GT(dusk.mean(0.0f, 0.0f, 1.0f, 0.4f, 3), 240.0) << "the ground is opaque";
    EXPECT_GT(dusk.mean(0.0f, 0.0f, 1.0f, 0.6f), 40.0) << "the flowers glow";

    scene.cur_config = 2;
    const cPicture moonlit = picture(scene);
    EXPECT_GT(mean_difference(dusk.rgba, moonlit.rgba), 8.0) << "the two looks differ";

    scene.cur_config = 1;
    scene.outtro_t = 0.5f;
    const cPicture closing = picture(scene);
    EXPECT_LT(closing.mean(0.0f, 0.0f, 1.0f, 1.0f), 0.6 * dusk.mean(0.0f, 0.0f, 1.0f, 1.0f)) << "the light drains";
    scene.outtro_t = 1.0f;
    const cPicture gone = picture(scene);
    EXPECT_LT(gone.mean(0.0f, 0.0f, 1.0f, 1.0f, 3), 2.0) << "the field has dissolved";
    EXPECT_LT(gone.mean(0.0f, 0.0f, 1.0f, 1.0f), 3.0);
}

// Plucks and claps light the heads up for a moment; a kick does not, and
// two seconds later the field looks as if nothing had played.
TEST_F(SceneFlowerFieldTest, PlucksAndClapsBrightenTheFlowersForAMoment)
{
    for (int track : {cSceneFlowerField::PLUCK_TRACK, cSceneFlowerField::CLAP_TRACK}) {
        cSceneFlowerField scene(&clock), quiet(&clock);
        scene.load();
        quiet.load();
        at(T);
        const double calm = mean_brightness(picture(scene).rgba);
        note(scene, 3, T);
        EXPECT_EQ(mean_brightness(picture(scene).rgba), calm) << "a kick changes nothing";
        note(scene, track, T);
        EXPECT_GT(mean_brightness(picture(scene).rgba), calm * 1.15) << "track " << track;
        at(T + 2500);
        EXPECT_LT(mean_difference(picture(scene).rgba, picture(quiet).rgba), 0.5) << "track " << track << " has faded";
    }
}

}  // namespace
