#include "scenes/scene_spike.h"

#include "scenes/scene_pictures.h"

namespace {

class SceneSpikeTest : public SceneOfTest<cSceneSpike> {
protected:
    void SetUp() override
    {
        SceneOfTest::SetUp();
        scene.events = &notes;
        scene.rotspeed = 0.0f;  // the picture changes only with notes
    }
};

TEST_F(SceneSpikeTest, ATrackFourNotePumpsTheBallAndSendsOutARing)
{
    const tPixels still = frame(1500);
    EXPECT_GT(lit_share(still, 30.0), 0.05) << "the ball shows";
    EXPECT_FLOAT_EQ(scene.pulse_scale, 1.0f);
    note(scene, 4, 2000);
    const tPixels hit = frame(2000);
    EXPECT_NEAR(scene.pulse_scale, 0.7f, 1e-4f);
    EXPECT_LT(lit_share(hit, 30.0), lit_share(still, 30.0)) << "the ball shrinks";
    frame(2075);
    EXPECT_GT(scene.pulse_scale, 0.8f);
    frame(2150);
    EXPECT_FLOAT_EQ(scene.pulse_scale, 1.0f) << "recovered within 150 ms";
    EXPECT_GT(mean_difference(still, frame(2250)), 0.5) << "the ring is out";
    ASSERT_EQ(scene.rings.size(), 1u);
    EXPECT_LT(mean_difference(still, frame(2501)), 0.01) << "the ring is gone";
    EXPECT_TRUE(scene.rings.empty());
    for (int32_t t = 3000; t < 3200; t += 5)
        note(scene, 4, t);
    EXPECT_EQ(scene.rings.size(), cSceneSpike::MAX_RINGS) << "the oldest rings make way";
}

TEST_F(SceneSpikeTest, ATrackTenNoteTurnsTheBallAndTheTurnFades)
{
    const tPixels still = frame(1000);
    note(scene, 10, 2000);
    EXPECT_GT(mean_difference(still, frame(2000)), 0.5);
    EXPECT_FLOAT_EQ(scene.kick, 30.0f);
    frame(2125);
    EXPECT_NEAR(scene.kick, 15.0f, 1e-3f);
    EXPECT_EQ(frame(2300), still) << "the turn has faded";
    for (int32_t t = 3000; t < 6000; t += 100)
        note(scene, 10, t);
    EXPECT_EQ(scene.animators.size(), 1u) << "kicks reuse one animator";
}

}  // namespace
