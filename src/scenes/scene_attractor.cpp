#include "scenes/scene_attractor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "camera.h"
#include "demo_clock.h"
#include "gl.h"
#include "midi_events.h"
#include "particles/random_table.h"
#include "post/post_kaleido.h"
#include "resource_path.h"
#include "scenes/note_animator.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "values/interpolator.h"
#include "video.h"

// Sections: data, construction and load, update and events, render.

// ---- data ------------------------------------------------------------------------

namespace {

// One parameter set of the attractor; an empty field keeps the current value.
struct cPreset {
    float p[4];                        // a, b, c, d
    float noise_scale;                 // orbit jitter, units of 0.0001
    std::optional<float> alpha;        // opacity of one point
    float point_size;                  // pixels
    float camera_distance;             // eye distance before "distscale"
    float cloud_offset[3];             // centre of each cloud
    std::optional<float> ring_offset;  // z distance of each ring cloud
};

const cPreset PRESETS[cSceneAttractor::PRESET_COUNT] = {
    {{2.75f, 0.806471f, 1.1f, 1.33f}, 0.33f, 0.015f, 1.65625f, 1.5f, {0.44f, 0.5f, 0.44f}, std::nullopt},
    {{-0.887019f, 0.519231f, 0.735577f, 1.55289f}, 0.33f, 0.03f, 1.65625f, 4.4f, {-0.11f, 0.2f, -0.17f}, 1.4f},
    {{1.0f, 0.284401f, 0.71f, 1.51f}, 0.33f, std::nullopt, 1.65625f, 2.6f, {0.49f, 0.4f, 0.14f}, 0.65f},
    {{-1.45853f, -2.28769f, -2.49519f, 0.822116f}, 0.33f, 0.053786f, 1.65625f, 3.2f, {-0.71f, 0.6f, -0.13f}, 1.4f},
    {{1.77394f, 1.8f, 0.71f, 1.51f}, 0.33f, 0.053786f, 1.65625f, 1.5f, {0.5f, 0.4f, 0.5f}, 0.42f},
    {{-1.99f, -1.63f, 0.44f, 1.49f}, 0.33f, 0.053786f, 1.65625f, 1.4f, {-0.49f, 0.56f, -0.41f}, 0.75f},
    {{-1.63882f, -2.22476f, -2.80168f, 0.155048f}, 0.33f, 0.053786f, 1.65625f, 2.5f, {-0.84f, 0.59f, -0.63f}, 1.5f},
    {{1.0f, 1.8f, 0.71f, 1.49017f}, 0.33f, 0.053786f, 1.65625f, 1.55f, {0.3f, 0.45f, 0.3f}, 0.55f},
    {{1.0f, 1.8f, 1.04485f, 1.54f}, 0.6f, 0.03f, 1.65625f, 3.5f, {0.14f, 0.5f, 0.27f}, 0.87f},
};

// A parameter that creeps at `speed` per second and starts again at
// `restart` once it passes `bound` (above it when rising, below when falling).
struct cDrift {
    int param;      // index into p0..p3
    float speed;    // per second of demo time
    float bound;
    float restart;
};

// Preset 6 drifts two parameters; the others one (the second entry has speed 0).
const cDrift DRIFTS[cSceneAttractor::PRESET_COUNT][2] = {
    {{1, 0.015f, 0.9f, 0.7f}, {}},
    {{0, -0.3f, -3.03846f, -0.887019f}, {}},
    {{1, 0.045f, 1.9f, 0.25f}, {}},
    {{3, 0.045f, 1.13f, 0.822f}, {}},
    {{0, 0.1f, 2.0f, 1.773f}, {}},
    {{1, 0.2f, -1.19f, -1.63f}, {}},
    {{2, -0.05f, -2.85577f, -2.22476f}, {3, 0.05f, 1.09255f, 0.155048f}},
    {{3, 0.006f, 1.54f, 1.485f}, {}},
    {{2, 0.09f, 1.85f, 0.6f}, {}},
};

// A larger change of look chosen by "ifsconfig"; empty fields stay.
struct cConfig {
    std::optional<std::array<float, 4>> p;  // a, b, c, d
    float alpha;                            // opacity of one point
    std::optional<float> point_size;        // pixels
    float pre_cut;                          // glow threshold, 0-255
    float post_cut;                         // glow brightness, 0-255
    int32_t preset;                         // applied by the next refill
    int32_t kaleido_plane;                  // 1-7
    float camera_distance;
    std::optional<float> saturation;        // percent
};

const cConfig CONFIGS[] = {
    {std::array{-1.25962f, 0.519231f, 0.735577f, 1.55289f}, 0.1f, 1.65625f, 250.0f, 70.8f, 1, 7, 2.16992f,
     std::nullopt},
    {std::array{-1.47596f, -3.3149f, -3.23077f, 0.155048f}, 0.053786f, std::nullopt, 121.064f, 192.706f, 6, 4,
     3.103591f, std::nullopt},
    {std::nullopt, 0.1f, std::nullopt, 0.0f, 255.0f, 8, 5, 3.5f, 66.7668f},
};
constexpr int32_t CONFIG_COUNT = static_cast<int32_t>(std::size(CONFIGS));

constexpr int32_t PULSE_MS = 650;          // fall of a note's pulse
constexpr float PULSE_HEIGHT = 0.06f;      // alpha added at a note
constexpr int32_t SWING_MS = 1000;         // field of view and light of a preset step
constexpr int32_t ROTATION_SWING_MS = 3300;
constexpr float RING_ZOOM_IN = 1.02f;      // trail texture scale per frame
constexpr float RING_ZOOM_OUT = 0.98f;     // ... while paused
const cCutParams RING_GLOW{RTT_HALF, 250.0f, 255.0f};

// Any preset number a slider or animator can write lands in the table.
int32_t wrap_preset(int32_t index)
{
    const int32_t n = cSceneAttractor::PRESET_COUNT;
    return ((index % n) + n) % n;
}

}  // namespace

// ---- construction and load -------------------------------------------------------

cSceneAttractor::cSceneAttractor(cDemoClock* clock_) : cScene(clock_)
{
    sliders = {
        {"cur_config", &mode, 0, 1},   {"ifsconfig", &config, 0, 3},  {"offset", &ring_offset, 0, 2},
        {"logo_its", &logo_opacity, 0, 1}, {"p0", &params[0], -4, 4},  {"p1", &params[1], -4, 4},
        {"p2", &params[2], -4, 4},     {"p3", &params[3], -4, 4},     {"col1", &color1, 0, 1},
        {"a1", &alpha, 0, 0.2},        {"pts-size1", &point_size, 1, 8}, {"preset", &preset, 0, PRESET_COUNT - 1},
        {"rot", &rotation, -360, 360}, {"distscale", &distance_scale, 0.25, 5},
    };
    publish({
        {"ifsconfig", &config, 0, 3},
        {"cur_config", &mode, 0, 1},
        {"rot", &rotation, 0, 360},
        {"distscale", &distance_scale, 0.25, 5},
        {"cur_anim", &preset, 0, PRESET_COUNT - 1},
        {"lightscale", &light_scale, 0, 2},
        {"pause_anim", &pause, 0, 1},
        {"logo_its", &logo_opacity, 0, 1},
    });
    // Windows that never open until a note moves them.
    pulse_animator = new cSmoothStep<float>(&pulse, NEVER_MS, NEVER_MS, 0.0f, 0.0f);
    fov_animator = new cEaseIn<float>(&ring_fov, NEVER_MS, NEVER_MS, 160.0f, 60.0f);
    light_animator = new cEaseIn<float>(&light_scale, NEVER_MS, NEVER_MS, 0.0f, 2.0f);
    rotation_animator = new cEaseIn<float>(&rotation, NEVER_MS, NEVER_MS, 0.0f, 180.0f);
    animators = {pulse_animator, fov_animator, light_animator, rotation_animator};
    trail_params.blur_iterations = 2;
    trail_params.fade = 0.06f;
}

void cSceneAttractor::reset_values()
{
    cut = {RTT_HALF, 190.0f, 255.0f};
    color0 = {1.0f, 0.196078f, 0.564706f};
    color1 = {0.215686f, 0.807843f, 1.0f};
    draw_color = color0;
    alpha = 0.015475f;
    point_size = 3.98535f;
    ring_offset = 0.35f;
    preset = 3;
    applied_preset = -1;
}

void cSceneAttractor::load()
{
    if (first_load()) {
        cResourcePath::get_instance()->add("../data/models/morvik_intro");
        points = std::make_unique<cVBO>();
        cPostKaleido2d::get_instance()->init();
        cPostHSB::get_instance();
        cPostFeedback::get_instance();
        cPostCut::get_instance();
        logo = cTextureManager::get_instance()->get_texture("morvik_fz2009.jpg", false, GL_CLAMP_TO_EDGE, 0);
    }
    reset_values();
    refill();
    // Twice round the whole ring: unwritten points would sit at the origin
    // as one bright dot, and the points of the very first pass through a
    // new buffer draw dimmer than later ones, so the first frames would
    // brighten one by one instead of starting settled.
    for (uint32_t written = points->batch; written < 2 * points->capacity; written += points->batch)
        points->update();
}

// ---- update and events -----------------------------------------------------------

bool cSceneAttractor::update()
{
    update_animators();
    if (config != last_config) {
        last_config = config;
        apply_config(config);
    }
    if (pause != 0)
        draw_color = color1;
    return false;
}

void cSceneAttractor::apply_config(int32_t index)
{
    if (index < 0 || index >= CONFIG_COUNT)
        return;
    const cConfig& c = CONFIGS[index];
    if (c.p)
        std::copy(c.p->begin(), c.p->end(), params);
    alpha = c.alpha;
    point_size = c.point_size.value_or(point_size);
    cut.pre_cut = c.pre_cut;
    cut.post_cut = c.post_cut;
    preset = c.preset;
    kaleido_plane = c.kaleido_plane;
    camera_distance = c.camera_distance;
    hsb.saturation = c.saturation.value_or(hsb.saturation);
}

void cSceneAttractor::handle_event(cEvent* e)
{
    if (mode == 0) {
        if (const iMidiEvent* note = midi_event(e, MIDI_NOTE_ON, PULSE_TRACK))
            restart(*pulse_animator, note->time, PULSE_MS, PULSE_HEIGHT, 0.0f);
        return;
    }
    if (mode != 1)
        return;
    if (const iMidiEvent* note = midi_event(e, MIDI_NOTE_ON, PRESET_TRACK); note && note->number == PRESET_NOTE)
        step_preset(note->time);
    if (midi_event(e, MIDI_NOTE_ON, TINT_TRACK)) {
        tint_toggled = !tint_toggled;
        draw_color = tint_toggled ? color1 : color0;
    }
}

void cSceneAttractor::step_preset(int32_t at_ms)
{
    preset = wrap_preset(preset + 1);
    if (preset == SKIPPED_PRESET)
        preset = SKIPPED_PRESET + 1;
    restart(*fov_animator, at_ms, SWING_MS, 160.0f, 60.0f);
    restart(*light_animator, at_ms, SWING_MS, 0.0f, 2.0f);
    restart(*rotation_animator, at_ms, ROTATION_SWING_MS, frand() * 45.0f - 120.0f, 180.0f);
}

// ---- render ----------------------------------------------------------------------

void cSceneAttractor::begin()
{
    cStateManager* state = cStateManager::get_instance();
    state->set_lighting(false);
    state->set_color_material(false);
    state->set_cull(false);
    state->set_depth_test(false);
    state->set_depth_write(false);
    state->set_alpha_test(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    cShaderManager_GLSL::get_instance()->unbind();
}

void cSceneAttractor::end()
{
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glPointSize(1.0f);
}

void cSceneAttractor::apply_preset(int32_t index)
{
    const cPreset& p = PRESETS[index];
    std::copy(std::begin(p.p), std::end(p.p), params);
    noise_scale = p.noise_scale;
    alpha = p.alpha.value_or(alpha);
    point_size = p.point_size;
    camera_distance = p.camera_distance;
    cloud_offset = {p.cloud_offset[0], p.cloud_offset[1], p.cloud_offset[2]};
    ring_offset = p.ring_offset.value_or(ring_offset);
}

void cSceneAttractor::drift()
{
    const float seconds = static_cast<float>(clock->frame_delta()) / 1000.0f;
    for (const cDrift& d : DRIFTS[applied_preset]) {
        if (d.speed == 0.0f)
            continue;
        float& p = params[d.param];
        p += d.speed * seconds;
        if (d.speed > 0.0f ? p > d.bound : p < d.bound)
            p = d.restart;
    }
    if (applied_preset == 0)
        ring_offset = 0.5f;
}

void cSceneAttractor::refill()
{
    preset = wrap_preset(preset);
    if (preset != applied_preset) {
        applied_preset = preset;
        apply_preset(preset);
    }
    if (mode == 1 && pause != 1)
        drift();
    std::copy(std::begin(params), std::end(params), points->params);
    points->calculator.noise = noise_scale * 0.0001;
    points->update();
}

cTmpRenderTarget cSceneAttractor::render(int32_t time_ms)
{
    begin();
    refill();
    cTmpRenderTarget result;
    if (mode == 0) {
        result = render_cloud(time_ms);
    } else if (mode == 1) {
        result = render_ring(time_ms);
    }
    // The trail belongs to one uninterrupted run of the ring.
    if (mode != 1)
        trail.release();
    end();
    if (result.target && logo_opacity > 0.0f) {
        result->bind(false);
        draw_logo();
        result->unbind();
    }
    return result;
}

cTmpRenderTarget cSceneAttractor::render_cloud(int32_t time_ms)
{
    const float seconds = static_cast<float>(time_ms) / 1000.0f;
    cTmpRenderTarget cloud = get_tmp_render_target(RTT_FULL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    cloud->bind(true);
    camera.eye = {0.0f, 0.0f, camera_distance * distance_scale};
    camera.center = {0.0f, 0.0f, 0.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.fovy = 30.0f;
    camera.roll = 0.0;
    apply_camera(camera);
    glRotatef(seconds * 10.0f + rotation, 0.0f, 1.0f, 0.0f);
    glTranslatef(cloud_offset.x, cloud_offset.y, cloud_offset.z);
    glColor4f(draw_color.x, draw_color.y, draw_color.z, alpha + pulse);
    glPointSize(point_size);
    cStateManager::get_instance()->apply();
    points->draw();
    cloud->unbind();

    // The hue turns a quarter round per second; wrapped, so it keeps its
    // precision through the show.
    hsb.hue = std::fmod(seconds * 90.0f, 360.0f);
    cTmpRenderTarget result = get_tmp_render_target(RTT_FULL);
    result->bind(false);
    cPostHSB::get_instance()->apply(*cloud.target, hsb);
    result->unbind();
    cloud->bind(false);
    cPostKaleido2d::get_instance()->apply(*result.target, kaleido_plane);
    cloud->unbind();
    cPostCut::get_instance()->apply_glow(*result.target, *cloud.target, cut);
    return result;
}

void cSceneAttractor::draw_ring()
{
    const Vec3<float>& c = draw_color;
    glColor4f(c.x, c.y, c.z, (alpha + pulse) * light_scale);
    glPointSize(point_size);
    cStateManager::get_instance()->apply();
    for (int i = 0; i < 6; ++i) {
        glPushMatrix();
        glRotatef(static_cast<float>(i) * 60.0f, 1.0f, 0.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, ring_offset);
        glScalef(0.4f, 1.0f, 1.0f);
        glTranslatef(cloud_offset.x, cloud_offset.y, cloud_offset.z);
        points->draw();
        glPopMatrix();
    }
}

cTmpRenderTarget cSceneAttractor::render_ring(int32_t time_ms)
{
    cTmpRenderTarget ring = get_tmp_render_target(RTT_FULL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    ring->bind(true);
    camera.znear = 0.1f;
    camera.zfar = 100.0f;
    camera.fovy = ring_fov;
    camera.eye = {0.0f, 0.0f, camera_distance * distance_scale};
    camera.center = {0.0f, 0.0f, 0.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.roll = static_cast<double>(time_ms) / 1000.0 * 10.0;
    apply_camera(camera);
    glRotatef(rotation + 90.0f, 0.0f, 1.0f, 0.0f);
    draw_ring();
    ring->unbind();

    cTmpRenderTarget glow = post_step(ring, [](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, RING_GLOW);
    });
    // Zooming in draws the trail outwards; paused, it is pulled inwards.
    const float k = pause != 0 ? RING_ZOOM_OUT : RING_ZOOM_IN;
    trail_params.transform[0] = k;
    trail_params.transform[5] = k;
    return post_step(glow, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostFeedback::get_instance()->apply(trail, src, dst, trail_params);
    });
}

// The logo strip across the full width at its own aspect, from the bottom edge.
void cSceneAttractor::draw_logo()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    shaders->unbind();
    begin_screen_space();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
    glActiveTexture(GL_TEXTURE0);
    glEnable(logo.target);
    glBindTexture(logo.target, logo.name);
    glColor4f(1.0f, 1.0f, 1.0f, logo_opacity);
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const float height = static_cast<float>(video->width) / static_cast<float>(video->height) *
                         static_cast<float>(logo.height) / static_cast<float>(logo.width);
    glScalef(1.0f, height, 1.0f);
    draw_unit_quad(1.0f, 1.0f);
    glBindTexture(logo.target, 0);
    glDisable(logo.target);
    end_screen_space();
    shaders->pop_shader();
}
