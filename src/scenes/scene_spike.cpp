#include "scenes/scene_spike.h"

#include <algorithm>

#include "camera.h"
#include "events.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_compositing.h"
#include "post/post_sliders.h"
#include "scenes/picture_centre.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"
#include "values/interpolator.h"
#include "video.h"

// Sections: data, load, events and update, render.

// ---- data ------------------------------------------------------------------------

cSceneSpike::cSceneSpike(cDemoClock* clock_) : cScene(clock_), streaks(centred_radial_blur())
{
    rings.reserve(MAX_RINGS);
    pulse.attack_ms = 10.0f;
    pulse.release_ms = 150.0f;
    pulse.track = PULSE_TRACK;
    sliders = camera_rows(-1000, 1000);
    append_rows(sliders, {
        {"rot", &rot, -360, 360},
        {"dodgering", &dodgering, -360, 10},
        {"rotspeed", &rotspeed, -360, 45},
    });
    append_rows(sliders, slider_rows(streaks));
    publish({{"clearcol", &clear_colour, 0, 1}});
}

// ---- load ------------------------------------------------------------------------

void cSceneSpike::load()
{
    if (!first_load())
        return;
    mesh = cMeshManager::get_instance()->get_mesh("spikeball2.bzobj", true, false, false);
    cShaderManager_GLSL::get_instance()->register_shader<cShdSelfIllum>("self_illum_shader");
    cPostRadialBlur::get_instance();
    cPostCompositing::get_instance();
    streaks.distance = 125.0f;
    streaks.num_samples = 50.0f;
    streaks.propagation = 0.5f;
    streaks.multiplier = 0.15f;
    camera.fovy = 70.0f;
    camera.eye = {-77.82f, 67.06f, 128.12f};
    camera.znear = 1.0f;
    camera.zfar = 1000.0f;
    rotspeed = 30.0f;
    clear_colour = {0.06f, 0.0f, 0.09f};
    dodgering = 0.95f;
    ring_texture = cTextureManager::get_instance()->get_texture("dodgecircle.jpg", true, GL_CLAMP, 0);
}

// ---- events and update -----------------------------------------------------------

void cSceneSpike::handle_event(cEvent* e)
{
    if (const iMidiEvent* note = midi_event(e, MIDI_NOTE_ON, PULSE_TRACK))
        add_ring(note->time);
    if (midi_event(e, MIDI_NOTE_ON, KICK_TRACK))
        start_kick();
}

void cSceneSpike::add_ring(int32_t start)
{
    if (rings.size() == MAX_RINGS)
        rings.erase(rings.begin());
    rings.push_back({start, start + RING_MS});
}

// One animator serves every kick: a new kick restarts the turn, which the
// previous one would have been overruled by anyway.
void cSceneSpike::start_kick()
{
    if (!kick_turn) {
        kick_turn = new cLerp<float>(&kick, 0, 0, KICK_DEGREES, 0.0f);
        animators.push_back(kick_turn);
    }
    kick_turn->start = now();
    kick_turn->end = now() + KICK_MS;
}

bool cSceneSpike::update()
{
    const int32_t t = now();
    // The kick turn writes over the reset while it runs, and lands on 0.
    kick = 0.0f;
    if (!clock->paused)
        update_animators();
    std::erase_if(rings, [t](const cRingWindow& w) { return t < w.start || t > w.end; });
    const float p = events ? std::clamp(pulse.pulse(*clock, *events), 0.0f, 1.0f) : 0.0f;
    pulse_scale = 1.0f - 0.3f * (3.0f - 2.0f * p) * p * p;
    return false;
}

// ---- render ----------------------------------------------------------------------

// The sharp ball over its own streaks, with the rings dodged over both.
cTmpRenderTarget cSceneSpike::render(int32_t time_ms)
{
    cPostCompositing* compositing = cPostCompositing::get_instance();
    cTmpRenderTarget ball = get_tmp_render_target(RTT_HALF);
    draw_ball(time_ms, *ball.target);
    cTmpRenderTarget picture = get_tmp_render_target(RTT_HALF);
    cPostRadialBlur::get_instance()->apply(*picture.target, *ball.target, streaks);
    cTmpRenderTarget lit = get_tmp_render_target(RTT_HALF);
    // The background is almost transparent (its alpha is a third of its
    // brightness), so the streaks show round the opaque ball.
    compositing->apply(*lit.target, *picture.target, *ball.target, COMP_BLEND, 1.0f);
    // The ball's target, no longer needed, takes the rings.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    ball->bind(true);
    draw_rings();
    ball->unbind();
    compositing->apply(*picture.target, *lit.target, *ball.target, COMP_DODGE, 1.0f);
    return picture;
}

void cSceneSpike::draw_ball(int32_t time_ms, cRenderTarget_fbo& target)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL::get_instance()->bind("self_illum_shader");
    state->set_blend(false);
    state->set_depth_test(true);
    state->set_depth_write(true);
    const Vec3<float>& c = clear_colour;
    glClearColor(c.x, c.y, c.z, (c.x + c.y + c.z) * 0.33f);
    target.bind(true);
    // The program multiplies by the current colour, which the rings leave grey.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    apply_camera(camera);
    const float seconds = static_cast<float>(time_ms) / 1000.0f;
    glRotatef(seconds * rotspeed + kick + rot, 0.0f, 0.0f, 1.0f);
    glScalef(pulse_scale, pulse_scale, pulse_scale);
    mesh->draw();
    target.unbind();
}

// Each ring grows from 1 to 27 times its size and fades over its window;
// their light adds up.
void cSceneSpike::draw_rings()
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL::get_instance()->unbind();
    state->set_lighting(false);
    state->set_depth_test(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    push_unit_square_matrices();
    glActiveTexture(GL_TEXTURE0);
    glEnable(ring_texture.target);
    glBindTexture(ring_texture.target, ring_texture.name);
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const float aspect = static_cast<float>(video->viewport_width) / static_cast<float>(video->viewport_height);
    const int32_t t = now();
    for (const cRingWindow& w : rings) {
        const float f = std::clamp(static_cast<float>(t - w.start) / static_cast<float>(w.end - w.start), 0.0f, 1.0f);
        const float s = (1.0f + 2.0f * f) * (1.0f + 2.0f * f) * (1.0f + 2.0f * f);
        const float c = std::clamp((1.0f - f) * dodgering, 0.0f, 0.85f);
        glColor4f(c, c, c, 1.0f);
        glPushMatrix();
        glTranslatef(0.5f, 0.5f, 0.0f);
        glScalef(s / aspect, s, 1.0f);
        glTranslatef(-0.5f, -0.5f, 0.0f);
        draw_unit_quad(1.0f, 1.0f);
        glPopMatrix();
    }
    glBindTexture(ring_texture.target, 0);
    glDisable(ring_texture.target);
    pop_unit_square_matrices();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
