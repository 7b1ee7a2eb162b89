#pragma once
// The growing scrub scene: a camera flies down the middle of an endless
// tangle of thin lit tubes that grows ahead of it and is thrown away behind
// it. The scene owns the generator and its pool of GL vertex buffers; both
// live as long as the scene, the buffers made by the first load(). Each
// render borrows its working targets from the pool, gives them back, and
// returns one full-size target with the blurred, glowing picture.
#include <cstdint>
#include <string>

#include "particles/scrub.h"
#include "particles/scrub_vbo.h"
#include "post/post_glow.h"
#include "scenes/scene.h"
#include "vec3.h"

class cSceneScrub : public cScene {
public:
    // Builds the slider table; makes no GL object.
    explicit cSceneScrub(cDemoClock* clock_);

    std::string get_name() override { return "growing scrub"; }
    // The first call makes the buffer pool, sets the growth defaults and
    // grows the scrub to z = 24.5 so the first frame is already full; later
    // calls change nothing.
    void load() override;
    // Reseeds the C library's generator with 1335.
    void begin() override;
    // Moves the front by speed x frame time, keeps the scrub grown 14 units
    // ahead of it and draws it; the result is blurred and given its glow.
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr uint32_t POOL_BUFFER_VERTICES = 8192;  // vertices per pooled buffer
    static constexpr int POOL_BUFFERS = 64;                 // buffers made at load
    static constexpr float GROW_AHEAD = 14.0f;              // scrub kept this far ahead of the front

    Vec3<float> clear_color{0.0f, 0.0f, 0.0f};      // "clearcolor-r": background and fog colour, 0-1
    Vec3<float> diffuse{0.32f, 0.39f, 0.48f};       // "diff-col": tube material, 0-1
    float speed = 3.5f;                             // "speed": front movement, units per second (-6..30)
    Vec3<float> radius_range{1.0f, 2.0f, 0.1f};     // "radius(min,max,dist)": inner radius range, z between changes
    float use_spline = 1.0f;                        // "useSpline": > 0 bends tubes into curves (-1..1)
    float fog_density = 0.2f;                       // "fog density": GL_EXP fog, 0-1
    cCutParams glow{RTT_QUATER, 65.0f, 120.0f};     // what part of the picture glows, and how strongly

    float front = 10.0f;              // z of the camera's reference point; starts where load's scrub starts
    float radius_changed_at = 10.0f;  // front at the last change of the inner radius
    float offset_x = 0.0f;            // camera eye sideways offset (ox), world units
    float offset_z = 0.0f;            // camera look-ahead offset (oz), world units
    float drift = 0.0f;               // time since the first render / 20000, drives the camera sway
    int32_t first_render_ms = -1;     // demo time of the first render, -1 before it

    cScrubMultiVBO blocks{POOL_BUFFER_VERTICES, 0};  // GL buffer pool (filled by load) with the render blocks
    cScrub scrub{blocks};                             // the generator; writes into blocks

private:
    void set_growth_defaults();
    void advance_front(int32_t time_ms);
    void set_render_state();
    void set_lights();
    void set_camera();
    void pick_radius();
    void draw_scrub();
};
