#include "scenes/scene_cubetunnel.h"

#include <algorithm>
#include <cmath>

#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "midi_events.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "scenes/picture_centre.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"
#include "values/interpolator.h"
#include "video.h"

// Sections: repeater, data, load, update, render.

// ---- repeater --------------------------------------------------------------------

float cTunnelRepeater::slide(int32_t i, float offset) const
{
    const float total = static_cast<float>(count) * length;
    float p = static_cast<float>(i) * length + offset;
    const float sign = p <= 0.0f ? -1.0f : 1.0f;
    if (p >= total)
        p -= std::floor(p / total) * total;
    return p * sign;
}

void cTunnelRepeater::draw(float offset) const
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    for (int32_t i = 0; i < count; ++i) {
        const Vec3<float> at = direction * (slide(i, offset) - ahead);
        glPushMatrix();
        glTranslatef(at.x, at.y, at.z);
        glRotatef(spin * static_cast<float>(i), direction.x, direction.y, direction.z);
        mesh->draw();
        glPopMatrix();
    }
    glPopMatrix();
}

// ---- data ------------------------------------------------------------------------

namespace {

// The two ends of the camera swing and of the streak set-up: "cur_t" 0 looks
// at the tunnel from the side with long, faint streaks left of centre, 1
// looks down its axis with shorter ones from the middle of the picture.
struct cTunnelView {
    Vec3<float> eye;    // camera position
    float center_x;     // x of the look-at point (y = z = 0)
    float distance;     // radial blur distance
    float num_samples;  // radial blur samples
    float multiplier;   // radial blur brightness
};
const cTunnelView SIDE_VIEW{{-317.15f, -2030.62f, -4.14f}, 656.25f, 260.667f, 65.5775f, 0.5f};
const cTunnelView AXIS_VIEW{{0.0f, -1600.0f, 0.0f}, 0.0f, 160.0f, 50.0f, 0.47f};
constexpr float SIDE_STREAK_CENTRE[2] = {180.0f, 64.0f};  // pixels of the blur's target in the show's window

constexpr uint8_t FIRST_COLOUR[4] = {239, 107, 216, 255};   // pink
constexpr uint8_t SECOND_COLOUR[4] = {153, 230, 252, 255};  // light blue

float mix(float a, float b, float u)
{
    return (1.0f - u) * a + u * b;
}

}  // namespace

cSceneCubeTunnel::cSceneCubeTunnel(cDemoClock* clock_) : cScene(clock_), streaks(centred_radial_blur())
{
    sliders = camera_rows(-10000, 1000);
    append_rows(sliders, {{"cur_t", &cur_t, 0, 1}});
    append_rows(sliders, slider_rows(streaks));
    publish({{"fov", &camera.fovy, 10, 160}, {"cur_t", &cur_t, 0, 1}});
}

// ---- load ------------------------------------------------------------------------

void cSceneCubeTunnel::load()
{
    if (!first_load())
        return;
    mesh = cMeshManager::get_instance()->get_mesh(cResourcePath::get_fullpath("hex_tunnel.bzobj"), true, true, false);
    repeater.mesh = mesh;
    cShaderManager_GLSL::get_instance()->register_shader<cShdVCol>("vcol_shader");
    cPostRadialBlur::get_instance();
    streaks.distance = 120.0f;
    streaks.num_samples = 30.0f;
    streaks.propagation = 0.75f;
    streaks.multiplier = 0.75f;
    camera.eye = AXIS_VIEW.eye;
    camera.center = {0.0f, 0.0f, 0.0f};
    camera.up = {0.0f, 0.0f, 1.0f};
    camera.fovy = 45.0f;
    camera.znear = 10.0f;
    camera.zfar = 10000.0f;
}

// ---- update ----------------------------------------------------------------------

void cSceneCubeTunnel::handle_event(cEvent* e)
{
    const iMidiEvent* note = midi_event(e, MIDI_NOTE_ON, FLARE_TRACK);
    if (!note)
        return;
    // One animator serves every note: the latest note decides the
    // propagation while its window is open, so an earlier one has nothing
    // left to do.
    if (!flare) {
        flare = new cEaseOut<float>(&streaks.propagation, 0, 0, 0.1f, 0.85f);
        animators.push_back(flare);
    }
    flare->start = note->time;
    flare->end = note->time + FLARE_MS;
}

bool cSceneCubeTunnel::update()
{
    if (clock->paused)
        return false;
    follow_cur_t();
    update_animators();
    return false;
}

void cSceneCubeTunnel::follow_cur_t()
{
    const float u = std::clamp(cur_t, 0.0f, 1.0f);
    camera.eye = SIDE_VIEW.eye * (1.0f - u) + AXIS_VIEW.eye * u;
    camera.center = {mix(SIDE_VIEW.center_x, AXIS_VIEW.center_x, u), 0.0f, 0.0f};
    const cPixelPos middle = picture_centre(streaks.size_class);
    const cPixelPos side = show_pixels(SIDE_STREAK_CENTRE[0], SIDE_STREAK_CENTRE[1]);
    streaks.center_x = mix(side.x, middle.x, u);
    streaks.center_y = mix(side.y, middle.y, u);
    streaks.distance = mix(SIDE_VIEW.distance, AXIS_VIEW.distance, u);
    streaks.num_samples = mix(SIDE_VIEW.num_samples, AXIS_VIEW.num_samples, u);
    streaks.multiplier = mix(SIDE_VIEW.multiplier, AXIS_VIEW.multiplier, u);
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneCubeTunnel::render(int32_t time_ms)
{
    cStateManager* state = cStateManager::get_instance();
    state->set_depth_test(true);
    state->set_depth_write(true);  // the clear must reach the depth buffer
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    cTmpRenderTarget tunnel = get_tmp_render_target(RTT_FULL);
    tunnel->bind(true);
    apply_camera(camera);
    draw_tunnel(time_ms);
    tunnel->unbind();
    return post_step(tunnel, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostRadialBlur::get_instance()->apply(dst, src, streaks);
    });
}

void cSceneCubeTunnel::draw_tunnel(int32_t time_ms)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    shaders->unbind();
    state->push();
    state->set_lighting(false);
    state->set_blend(false);
    state->set_cull(false);
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_color_material(false);
    glDisable(GL_TEXTURE_2D);
    // Linear fog over the second copy length hides where a copy wraps round.
    const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glFogfv(GL_FOG_COLOR, black);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, repeater.length);
    glFogf(GL_FOG_END, 2.0f * repeater.length);
    state->set_fog(true);
    const float offset = static_cast<float>(time_ms) / 1000.0f * SCROLL_SPEED;
    glColor4ubv(FIRST_COLOUR);
    repeater.draw(offset);
    glPushMatrix();
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glColor4ubv(SECOND_COLOUR);
    repeater.draw(offset);
    glPopMatrix();
    state->pop();
    shaders->pop_shader();
}
