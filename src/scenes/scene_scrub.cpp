#include "scenes/scene_scrub.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "demo_clock.h"
#include "gl.h"
#include "particles/random_table.h"
#include "post/post_blur.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

// Three coloured directional lights give the tubes the show's neon palette:
// each face takes the colour of the lights it turns towards. Intensities
// above 1 make up for the dim default diffuse material.
struct cNeonLight {
    GLenum light;         // GL_LIGHT0..GL_LIGHT2
    float direction[4];   // towards the light, world space, w = 0
    float diffuse[4];     // colour times intensity
    float specular[4];    // highlight colour
};

constexpr cNeonLight NEON_LIGHTS[] = {
    {GL_LIGHT0, {1.0f, 1.0f, -1.0f, 0.0f}, {2.6f, 0.35f, 2.1f, 1.0f}, {1.0f, 0.8f, 1.0f, 1.0f}},    // magenta key
    {GL_LIGHT1, {-1.0f, 0.3f, -0.6f, 0.0f}, {0.15f, 2.0f, 2.2f, 1.0f}, {0.6f, 1.0f, 1.0f, 1.0f}},  // cyan
    {GL_LIGHT2, {0.2f, -1.0f, -0.3f, 0.0f}, {2.7f, 1.45f, 0.1f, 1.0f}, {1.0f, 0.8f, 0.4f, 1.0f}},  // amber
};

constexpr float CAMERA_SWAY_X = 0.3f;   // largest sideways eye offset, world units
constexpr float CAMERA_SWAY_Z = 0.6f;   // largest change of the look-ahead, world units

void set_light(const cNeonLight& l)
{
    glLightfv(l.light, GL_POSITION, l.direction);
    glLightfv(l.light, GL_DIFFUSE, l.diffuse);
    glLightfv(l.light, GL_SPECULAR, l.specular);
    cStateManager::get_instance()->enable_light(l.light);
}

}  // namespace

cSceneScrub::cSceneScrub(cDemoClock* clock_) : cScene(clock_)
{
    cScrub::cParams& p = scrub.params;
    sliders = {
        {"clearcolor-r", &clear_color, 0, 1},
        {"diff-col", &diffuse, 0, 1},
        {"speed", &speed, -6, 30},
        {"density", &p.density, 2, 20},
        {"radius(min,max,dist)", &radius_range, 0.1, 4},
        {"radialDepth", &p.radial_depth, 0.5, 15},
        {"minNborNodeDist", &p.min_dist, 0, 1.6},
        {"numNbors", &p.num_nbors, 2, 10},
        {"cylinderRadius", &p.cylinder_radius, 0.01, 0.1},
        {"useSpline", &use_spline, -1, 1},
        {"fog density", &fog_density, 0, 1},
    };
    append_rows(sliders, slider_rows(glow));
}

// ---- load ------------------------------------------------------------------------

void cSceneScrub::set_growth_defaults()
{
    cScrub::cParams& p = scrub.params;
    p.density = 20.0f;
    p.radial_depth = 0.5f;
    p.min_dist = 0.5f;
    p.num_nbors = 2.0f;
    p.defer_geometry = 0;
    p.use_spline = use_spline > 0.0f;
}

void cSceneScrub::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models/scrub");
    blocks.add_buffers(POOL_BUFFERS);
    cPostBlur::get_instance();
    cPostCut::get_instance();
    set_growth_defaults();
    // Growth starts at the tail rather than at 0: whatever grew before it
    // would be thrown away by the same call.
    scrub.params.front = front;
    scrub.update(front, front + GROW_AHEAD);
    scrub.update(front, front + GROW_AHEAD);
}

void cSceneScrub::begin()
{
    std::srand(1335);
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneScrub::render(int32_t time_ms)
{
    cShaderManager_GLSL::get_instance()->unbind();
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    // The clear must reach the depth buffer whatever the caller left pending.
    cStateManager::get_instance()->set_depth_write(true);
    glClearColor(clear_color.x, clear_color.y, clear_color.z, 1.0f);
    picture->bind(true);
    advance_front(time_ms);
    set_render_state();
    set_camera();
    set_lights();
    pick_radius();
    scrub.params.use_spline = use_spline > 0.0f;
    scrub.update(front, front + GROW_AHEAD);
    draw_scrub();
    picture->unbind();
    cTmpRenderTarget blurred = post_step(picture, [](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostBlur::get_instance()->apply(dst, src, false);
    });
    // The bright tubes' glow spilled over the softened picture.
    return post_step(blurred, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, glow);
    });
}

void cSceneScrub::advance_front(int32_t time_ms)
{
    front += speed * static_cast<float>(clock->frame_delta()) / 1000.0f;
    if (first_render_ms < 0)
        first_render_ms = time_ms;
    drift = static_cast<float>(time_ms - first_render_ms) / 20000.0f;
    // A slow sway, so that a steady flight does not look like a treadmill.
    const float phase = drift * 2.0f * std::numbers::pi_v<float>;
    offset_x = CAMERA_SWAY_X * std::sin(phase * 1.7f);
    offset_z = CAMERA_SWAY_Z * std::sin(phase);
}

void cSceneScrub::set_render_state()
{
    cStateManager* state = cStateManager::get_instance();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_fill_mode(gs::FILL_FILL);
    state->set_fog(true);
    const float fog_color[4] = {clear_color.x, clear_color.y, clear_color.z, 1.0f};
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogfv(GL_FOG_COLOR, fog_color);
    glFogf(GL_FOG_DENSITY, fog_density);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    state->set_lighting(true);
    state->set_color_material(false);
    state->set_cull(false);
    const float specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const float material[4] = {diffuse.x, diffuse.y, diffuse.z, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 50.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material);
}

void cSceneScrub::set_camera()
{
    camera.fovy = 90.0f;
    camera.znear = 0.1f;
    camera.zfar = 100.0f;
    camera.eye = {10.0f + offset_x, 9.9f, front + 1.0f};
    camera.center = {10.0f, 10.0f, front + 2.0f + offset_z};
    camera.up = {0.0f, 1.0f, 0.0f};
    apply_camera(camera);
}

// After the camera, so the directions stay fixed in the world.
void cSceneScrub::set_lights()
{
    for (const cNeonLight& l : NEON_LIGHTS)
        set_light(l);
}

void cSceneScrub::pick_radius()
{
    if (front - radius_changed_at <= radius_range.z)
        return;
    radius_changed_at = front;
    scrub.params.radius = radius_range.x + (radius_range.y - radius_range.x) * frand();
}

void cSceneScrub::draw_scrub()
{
    cStateManager::get_instance()->apply();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    blocks.draw();
    glPopMatrix();
}
