#pragma once
// The cube tunnel: four copies of a hexagonal ring-of-cubes model laid end to
// end scroll past the camera and wrap round, drawn twice in two colours (the
// second copy turned half-way round fills the other edges), fade into black
// fog and are smeared into light streaks by the radial blur. "cur_t" swings
// the camera from a side view into the tunnel's axis; notes of track 4 make
// the streaks collapse and grow back. The mesh belongs to the mesh cache;
// the scene owns its one flare animator (made by the first note) for its
// life; render borrows two full-size targets and returns one.
#include <cstdint>
#include <string>

#include "post/post_blur.h"
#include "scenes/scene.h"
#include "values/interpolator.h"
#include "vec3.h"

class iMesh;

// Copies of one mesh laid along an axis that slide by an offset and wrap
// round at the end of their span.
struct cTunnelRepeater {
    iMesh* mesh = nullptr;                // the copied model, not owned
    float length = 743.958f;              // distance between two copies, world units
    int32_t count = 4;                    // number of copies
    Vec3<float> direction{0.0f, -1.0f, 0.0f};  // axis the copies are laid out along
    float spin = 0.0f;                    // turn per copy about the axis, degrees
    // How far the span starts ahead of the origin, against the axis, world
    // units. One length ahead, the copy that wraps round to the front comes
    // in beyond the fog's end instead of popping up inside the view.
    float ahead = 743.958f;

    // The copies slid `offset` units along the axis; a copy that passes the
    // end of the span starts again at its front.
    void draw(float offset) const;
    // Slide of copy i within the span [0, count x length).
    float slide(int32_t i, float offset) const;
};

class cSceneCubeTunnel : public cScene {
public:
    // Builds the slider and published tables; makes no GL object.
    explicit cSceneCubeTunnel(cDemoClock* clock_);

    std::string get_name() override { return "cubetunnel"; }
    // Loads the tunnel model and the radial blur, sets the camera; a second
    // call changes nothing.
    void load() override;
    // A note-on of track 4 makes the streaks collapse and grow back over 400 ms.
    void handle_event(cEvent* e) override;
    // While the clock runs: camera and streaks follow "cur_t", the flare runs.
    bool update() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int32_t FLARE_TRACK = 4;      // MIDI track whose notes flare the streaks
    static constexpr int32_t FLARE_MS = 400;       // length of one flare
    static constexpr float SCROLL_SPEED = 400.0f;  // world units per second

    iMesh* mesh = nullptr;           // the tunnel model, from the mesh cache
    cTunnelRepeater repeater;        // the four copies of mesh
    cRadialBlurParams streaks;       // radial blur block; "cur_t" drives all but propagation
    float cur_t = 0.0f;              // "cur_t": 0 side view .. 1 down the axis
    cEaseOut<float>* flare = nullptr;  // propagation 0.1 -> 0.85 after the latest note; in animators

private:
    void follow_cur_t();
    void draw_tunnel(int32_t time_ms);
};
