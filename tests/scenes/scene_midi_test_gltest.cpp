#include <array>
#include <vector>

#include "midi_events.h"
#include "scenes/scene_midi_test.h"
#include "scenes/scene_pictures.h"

namespace {

using cRgbMean = std::array<double, 3>;

class SceneMidiTestTest : public ScenePictureTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        cEventQueue* q = &queue;
        q->track_names = {"tempo", "Acid", "Pluck", "Kick"};
        add(q, MIDI_CONTROL_CHANGE, 1, 74, 0, 500);
        add(q, MIDI_CONTROL_CHANGE, 1, 74, 127, 1500);
        missed = add(q, MIDI_NOTE_ON, 2, 60, 100, 800);
        kick = add(q, MIDI_NOTE_ON, 3, 36, 120, 1000);
        add(q, MIDI_NOTE_OFF, 3, 36, 0, 1100);
        q->events.push_back(new cEvent(EVENT_BEAT, 1000));
        q->sort();
    }

    static cMETrigger* add(cEventQueue* q, int32_t kind, int32_t track, int32_t number, int32_t value, int32_t t)
    {
        auto* e = new cMETrigger(midi(kind, track, number, value, t));
        q->events.push_back(e);
        return e;
    }

    // Mean colour of a rectangle given in screen units across and, up and
    // down, in parts of a lane counted from its top (four lanes below the
    // beat strip).
    cRgbMean mean_in(cSceneMidiTest& scene, float x0, float x1, int lane, float y0 = 0.1f, float y1 = 0.9f)
    {
        const cPicture p = picture(scene);
        const float lane_h = cSceneMidiTest::LANES_TOP / 4, top = cSceneMidiTest::LANES_TOP - lane_h * lane;
        cRgbMean c{};
        for (int k = 0; k < 3; ++k)
            c[k] = p.mean(x0, top - lane_h * y1, x1, top - lane_h * y0, k);
        return c;
    }

    static double brightness(const cRgbMean& c) { return c[0] + c[1] + c[2]; }

    cEventQueue queue;  // what the scene under test is handed
    cMETrigger* missed = nullptr;
    cMETrigger* kick = nullptr;
};

TEST_F(SceneMidiTestTest, LaneLightsInTheFrameItsNoteArrivesAndMissedNotesStayRed)
{
    cSceneMidiTest scene(&clock);
    scene.events = &queue;
    scene.load();
    scene.load();
    const float lamp0 = cSceneMidiTest::LABEL_W - 0.011f, lamp1 = cSceneMidiTest::LABEL_W - 0.005f;
    at(1000);
    const double dark_lane = brightness(mean_in(scene, 0.9f, 1.0f, 3));
    const double dark_lamp = brightness(mean_in(scene, lamp0, lamp1, 3, 0.3f, 0.7f));
    scene.handle_event(kick);  // the note on the line arrives in this frame
    EXPECT_GT(brightness(mean_in(scene, 0.9f, 1.0f, 3)), dark_lane + 20) << "the lane flashes";
    EXPECT_GT(brightness(mean_in(scene, lamp0, lamp1, 3, 0.3f, 0.7f)), dark_lamp * 2.5) << "the lamp lights";
    EXPECT_NEAR(brightness(mean_in(scene, 0.9f, 1.0f, 2)), dark_lane, 40) << "other lanes stay dark";
    at(1400);
    EXPECT_NEAR(brightness(mean_in(scene, 0.9f, 1.0f, 3)), dark_lane, 3) << "the flash is over";

    // The pluck at 800 never arrived: red on the left of the line; once it
    // arrives it takes its track's colour.
    const cRgbMean pluck = mean_in(scene, 0.2f, 0.25f, 2, 0.45f, 0.65f);
    EXPECT_GT(pluck[0], pluck[1] + 20);
    scene.handle_event(missed);
    at(1600);
    const cRgbMean late = mean_in(scene, 0.16f, 0.21f, 2, 0.45f, 0.65f);
    EXPECT_GE(late[1], late[0]);
    EXPECT_GT(late[1], pluck[1] + 20);
}

TEST_F(SceneMidiTestTest, ControllerCurveClimbsThroughItsLaneAndNamesShow)
{
    cSceneMidiTest scene(&clock);
    scene.events = &queue;
    scene.load();
    at(1000);
    // 0 at 500 ms to 127 at 1500 ms: the yellow line is low left of now, high right of it.
    const double low_left = mean_in(scene, 0.2f, 0.3f, 1, 0.6f, 1.0f)[1];
    const double high_left = mean_in(scene, 0.2f, 0.3f, 1, 0.0f, 0.4f)[1];
    const double high_right = mean_in(scene, 0.4f, 0.5f, 1, 0.0f, 0.4f)[1];
    EXPECT_GT(low_left, high_left);
    EXPECT_GT(high_right, high_left);
    EXPECT_GT(brightness(mean_in(scene, 0.005f, 0.1f, 3, 0.2f, 0.6f)), 20.0) << "the lane's name is written";
}

}  // namespace
