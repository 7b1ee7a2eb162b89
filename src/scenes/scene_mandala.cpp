#include "scenes/scene_mandala.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "camera.h"
#include "demo_clock.h"
#include "events.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"

// Sections: data, load, update, render.

// ---- data ------------------------------------------------------------------------

namespace {

const char* const PLANE_FILES[cSceneMandala::PLANE_COUNT] = {
    "mandala_plane01.bzobj", "mandala_plane02.bzobj", "mandala_plane03.bzobj",
    "mandala_plane04.bzobj", "mandala_plane05.bzobj",
};

// A look maps the flight progress u onto the stack and the grading; pairs
// are the values at u = 0 and u = 1.
struct cLook {
    float rot[2];                                   // turn of the stack, degrees
    float alpha;                                    // slice opacity
    float hue[2];                                   // degrees
    float hue_rate;                                 // the hue reaches its end at u = 1 / rate
    float saturation[2];                            // percent
    std::optional<std::array<float, 2>> brightness; // percent; empty keeps it
    float pre_cut;                                  // glow threshold, 0-255
    float post_cut[2];                              // glow brightness, 0-255
    bool resets_stack;                              // back to 21 slices 493 apart
};

const cLook LOOKS[] = {
    {{17.0f, 70.0f}, 0.4f, {-39.375f, 26.06f}, 1.0f, {-10.0f, -10.0f}, std::nullopt, 250.0f, {255.0f, 255.0f},
     false},
    {{-42.0f, 120.0f}, 0.5f, {55.0f, -60.0f}, 2.0f, {-45.0f, -45.3125f}, std::nullopt, 160.907f,
     {255.0f, 255.0f}, false},
    {{11.0589f, -180.0f}, 0.482272f, {-53.4375f, -31.262f}, 1.0f, {-17.0673f, 23.4976f},
     std::array{-18.5697f, 0.360584f}, 145.583f, {151.33f, 255.0f}, true},
};
constexpr int32_t LOOK_COUNT = static_cast<int32_t>(std::size(LOOKS));

constexpr float FLIGHT_START_Z = 5000.0f;
constexpr float FLIGHT_END_Z = -10000.0f;
// The camera looks straight down -z from wherever it is; a fixed look-at
// point would coincide with the eye at the end of the flight.
constexpr float LOOK_AHEAD = 10350.0f;
constexpr float ANGLE_STEP_DEG = 1337.0f;  // turn of each circle against the previous one
constexpr float PULSE_ALPHA = 0.04f;       // slice opacity a full pulse adds
constexpr float PULSE_LOGO = 0.75f;        // logo brightening of a full pulse
constexpr float LOGO_SLICE = 7.0f;         // the logo sits at this slice

float lerp(const float (&pair)[2], float u)
{
    return (1.0f - u) * pair[0] + u * pair[1];
}

float lerp(const std::array<float, 2>& pair, float u)
{
    return (1.0f - u) * pair[0] + u * pair[1];
}

}  // namespace

cSceneMandala::cSceneMandala(cDemoClock* clock_) : cScene(clock_)
{
    sliders = {
        {"cur_config", &config, 0, 3},
        {"cur_t", &cur_t, 0, 1},
        {"render_circles", &render_circles, 0, 1},
        {"render_logo", &render_logo, 0, 1},
        {"logoscale", &logo_scale, 0, 2000},
        {"num_layers", &num_layers, 1, MAX_LAYERS},
        {"layerdist", &layer_dist, 10, 2000},
        {"alpha", &alpha, 0, 1},
        {"rot", &rot, -360, 360},
    };
    publish({
        {"cur_config", &config, 0, 1},
        {"cur_t", &cur_t, 0, 1},
        {"render_circles", &render_circles, 0, 1},
        {"render_logo", &render_logo, 0, 1},
    });
    camera.eye = {0.0f, 0.0f, 350.0f};
    camera.center = {0.0f, 0.0f, -10000.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.fovy = 65.0f;
    camera.znear = 10.0f;
    camera.zfar = 15000.0f;
}

// ---- load ------------------------------------------------------------------------

void cSceneMandala::load()
{
    if (!first_load())
        return;
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int i = 0; i < PLANE_COUNT; ++i)
        planes[i] = meshes->get_mesh(PLANE_FILES[i], true, true, false);
    circle = meshes->get_mesh("mandala_circle_wide.bzobj", true, true, false);
    cTextureManager* textures = cTextureManager::get_instance();
    string_texture = textures->get_texture("mandala_string.jpg", true, GL_REPEAT, 0);
    slices_texture = textures->get_texture("Mandala_slices.png", true, GL_REPEAT, GL_TEXTURE_2D);
    logo_texture = textures->get_texture("mandalogo.jpg", true, GL_CLAMP_TO_EDGE, 0);
    cPostColorCorrection::get_instance()->init("Mandala_slices_color_correction_redyellow.png");
    cPostHSB::get_instance();
    cPostCut::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdRGBAtex>("rgba_shader");
    shaders->register_shader<cShdRGBAtexFade>("rgba_fade_shader");
    shaders->register_shader<cShdSrcCol>("srccol_shader");
    shaders->register_shader<cShdSrcColAdd>("srccoladd_shader");
}

// ---- update ----------------------------------------------------------------------

bool cSceneMandala::update()
{
    if (!clock->paused)
        apply_look(config, std::clamp(cur_t, 0.0f, 1.0f));
    const float p = read_pulse();
    pulse = (3.0f - 2.0f * p) * p * p;
    return false;
}

// Every look flies the camera; the other values only where a look is defined.
void cSceneMandala::apply_look(int32_t look, float u)
{
    camera.eye.z = (1.0f - u) * FLIGHT_START_Z + u * FLIGHT_END_Z;
    camera.center.z = camera.eye.z - LOOK_AHEAD;
    if (look < 0 || look >= LOOK_COUNT)
        return;
    const cLook& l = LOOKS[look];
    rot = lerp(l.rot, u);
    alpha = l.alpha;
    hsb.hue = lerp(l.hue, std::clamp(u * l.hue_rate, 0.0f, 1.0f));
    hsb.saturation = lerp(l.saturation, u);
    if (l.brightness)
        hsb.brightness = lerp(*l.brightness, u);
    cut.pre_cut = l.pre_cut;
    cut.post_cut = lerp(l.post_cut, u);
    if (l.resets_stack) {
        layer_dist = 493.0f;
        num_layers = 21;
    }
}

// The pulse of the notes around now, 0-1; none while no queue exists.
float cSceneMandala::read_pulse() const
{
    if (!events)
        return 0.0f;
    const float p = beat.pulse(*clock, *events);
    return p > 0.0f ? std::min(p, 1.0f) : 0.0f;  // also maps NaN to 0
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneMandala::render(int32_t)
{
    glEnable(GL_NORMALIZE);
    cTmpRenderTarget stack = get_tmp_render_target(RTT_FULL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    stack->bind(true);
    glMatrixMode(GL_MODELVIEW);
    draw_stack();
    stack->unbind();
    glDisable(GL_NORMALIZE);

    cTmpRenderTarget result = get_tmp_render_target(RTT_FULL);
    result->bind(true);
    cPostColorCorrection::get_instance()->apply(*stack.target);
    result->unbind();
    stack->bind(false);
    cPostHSB::get_instance()->apply(*result.target, hsb);
    stack->unbind();
    cPostCut::get_instance()->apply_glow(*result.target, *stack.target, cut);
    return result;
}

void cSceneMandala::draw_stack()
{
    cStateManager* state = cStateManager::get_instance();
    const int32_t layers = std::clamp(num_layers, 0, MAX_LAYERS);
    state->push();
    state->set_blend(true);
    state->set_depth_test(true);
    state->set_lighting(false);
    state->set_cull(false);
    const float fog_color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogfv(GL_FOG_COLOR, fog_color);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 1.0f);
    // A stack of one slice still fades out, rather than dividing by an empty range.
    glFogf(GL_FOG_END, std::max(static_cast<float>(layers - 1) * layer_dist, 2.0f));
    state->set_fog(true);
    apply_camera(camera);

    glTranslatef(0.0f, 0.0f, -static_cast<float>(layers) * layer_dist);
    glRotatef(rot, 0.0f, 0.0f, 1.0f);
    state->set_depth_test(false);
    int plane = 0;
    float angle = 0.0f;
    for (int i = 0; i < layers; ++i, angle += ANGLE_STEP_DEG)
        draw_slice(i, plane, angle);
    if (render_logo != 0)
        draw_logo();
    state->pop();
}

void cSceneMandala::draw_slice(int i, int& plane, float angle)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    const int32_t layers = std::clamp(num_layers, 0, MAX_LAYERS);
    glPushMatrix();
    const float wave = 0.5f * wave_amplitude * std::sin((static_cast<float>(i) + wave_phase) * 0.1f);
    glColor4f(1.0f, 1.0f, 1.0f, alpha + PULSE_ALPHA * pulse + wave);
    glTranslatef(0.0f, 0.0f, static_cast<float>(i) * layer_dist);
    // The near two thirds of the stack are slices.
    if (i > layers / 3) {
        state->set_blend_func(gs::BLEND_ALPHA_ACCUMULATE);
        shaders->bind("rgba_shader");
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, slices_texture.name);
        plane = (plane + 1) % PLANE_COUNT;
        planes[plane]->draw();
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    if (render_circles != 0 && i - 5 > 0 && i - 5 < layers / 2 && i % 2 == 0) {
        state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
        shaders->bind("srccol_shader");
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, string_texture.name);
        glTranslatef(0.0f, 0.0f, 0.5f * layer_dist);
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glScalef(10.0f, 10.0f, 10.0f);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        circle->draw();
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPopMatrix();
}

// The emblem on a quad facing the camera, brightened by the pulse.
void cSceneMandala::draw_logo()
{
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, LOGO_SLICE * layer_dist);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, logo_texture.name);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f + PULSE_LOGO * pulse);
    glScalef(logo_scale, logo_scale, logo_scale);
    cShaderManager_GLSL::get_instance()->bind("rgba_fade_shader");
    cStateManager::get_instance()->apply();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}
