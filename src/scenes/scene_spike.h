#pragma once
// The spike ball that closes the show: a spiked model turns about the
// vertical axis, shrinks and springs back on every note of track 4, jerks
// round by 30 degrees on every note of track 10, lays radial-blur streaks
// behind itself and has an expanding light ring dodged over it per note of
// track 4. The mesh and the ring texture belong to their managers; the
// scene owns its one kick animator (made by the first kick) and a bounded
// list of ring windows; render borrows half-size targets and returns one.
#include <cstdint>
#include <string>
#include <vector>

#include "midi_events.h"
#include "post/post_blur.h"
#include "scenes/scene.h"
#include "texture_manager.h"
#include "values/interpolator.h"
#include "vec3.h"

class iMesh;

class cSceneSpike : public cScene {
public:
    // Builds the slider and published tables; makes no GL object.
    explicit cSceneSpike(cDemoClock* clock_);

    std::string get_name() override { return "spikeball"; }
    // Loads the model, its program and the ring texture, sets the camera and
    // takes the scene manager's event queue for the note pulse; a second
    // call changes nothing.
    void load() override;
    // Track 4: a ring window from the note's time; track 10: a kick turn.
    void handle_event(cEvent* e) override;
    // Drops rings that are over, lets the kick turn run and sizes the ball
    // from the note pulse.
    bool update() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int32_t PULSE_TRACK = 4;   // notes that pump the ball and start rings
    static constexpr int32_t KICK_TRACK = 10;   // notes that jerk the ball round
    static constexpr int32_t RING_MS = 500;     // life of one ring
    static constexpr int32_t KICK_MS = 250;     // fade of one kick turn
    static constexpr float KICK_DEGREES = 30.0f;  // turn at the kick
    static constexpr size_t MAX_RINGS = 16;     // rings at once; a newer note drops the oldest

    // One ring's time window, demo ms.
    struct cRingWindow {
        int32_t start;  // the note's time
        int32_t end;    // start + RING_MS
    };

    iMesh* mesh = nullptr;          // the spike ball, from the mesh cache
    cRadialBlurParams streaks;      // radial blur block behind the ball
    cTexture ring_texture;          // "dodgecircle.jpg"; empty until load()
    std::vector<cRingWindow> rings; // oldest first, at most MAX_RINGS (capacity reserved)
    float pulse_scale = 1.0f;       // size of the ball this frame, 0.7-1
    Vec3<float> clear_colour{0.0f, 0.0f, 0.0f};  // "clearcol": background, 0-1
    float rot = 0.0f;               // "rot": extra turn, degrees
    float kick = 0.0f;              // kick turn this frame, degrees
    float dodgering = 1.0f;         // "dodgering": brightness of a new ring
    float rotspeed = 5.0f;          // "rotspeed": turn, degrees per second
    cEventWindow pulse;             // note pulse of PULSE_TRACK: 10 ms attack, 150 ms release
    cLerp<float>* kick_turn = nullptr;   // KICK_DEGREES -> 0 after the latest kick; in animators

private:
    void add_ring(int32_t start);
    void start_kick();
    void draw_ball(int32_t time_ms, cRenderTarget_fbo& target);
    void draw_rings();
};
