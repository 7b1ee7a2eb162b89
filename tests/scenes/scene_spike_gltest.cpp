#include "support/scene_fixture.h"

#include "midi_events.h"
#include "scenes/picture_stats.h"
#include "scenes/scene_spike.h"

namespace {

class SceneSpikeTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        scene.load();
        scene.notes = &queue;
        scene.rotspeed = 0.0f;  // the picture changes only with notes
    }
    // A note-on fired at time t, as the dispatcher fires it.
    void note(int32_t track, int32_t t)
    {
        auto* e = new cMETrigger();
        e->kind = MIDI_NOTE_ON;
        e->track = track;
        e->time = t;
        queue.events.push_back(e);
        queue.cursor = queue.events.size();
        at(t);
        scene.handle_event(e);
    }
    tPixels frame(int32_t t)
    {
        at(t);
        scene.update();
        cTmpRenderTarget r = scene.render_isolated(t);
        return pixels_of(*r.target);
    }

    cEventQueue queue;
    cSceneSpike scene{&clock};
};

TEST_F(SceneSpikeTest, ATrackFourNotePumpsTheBallAndSendsOutARing)
{
    const tPixels still = frame(1500);
    EXPECT_GT(lit_share(still, 30.0), 0.01) << "the ball shows";
    EXPECT_FLOAT_EQ(scene.pulse_scale, 1.0f);
    note(4, 2000);
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
        note(4, t);
    EXPECT_EQ(scene.rings.size(), cSceneSpike::MAX_RINGS) << "the oldest rings make way";
}

TEST_F(SceneSpikeTest, ATrackTenNoteTurnsTheBallAndTheTurnFades)
{
    const tPixels still = frame(1000);
    note(10, 2000);
    const tPixels kicked = frame(2000);
    EXPECT_FLOAT_EQ(scene.kick, 30.0f);
    EXPECT_GT(mean_difference(still, kicked), 0.5);
    frame(2125);
    EXPECT_NEAR(scene.kick, 15.0f, 1e-3f);
    EXPECT_EQ(frame(2300), still) << "the turn has faded";
    EXPECT_EQ(scene.kick, 0.0f);
    for (int32_t t = 3000; t < 6000; t += 100)
        note(10, t);
    EXPECT_EQ(scene.animators.size(), 1u) << "kicks reuse one animator";
}

}  // namespace
