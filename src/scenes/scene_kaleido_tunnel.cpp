#include "scenes/scene_kaleido_tunnel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gl.h"
#include "midi_events.h"
#include "post/post_color.h"
#include "post/post_kaleido.h"
#include "resource_path.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float PI = std::numbers::pi_v<float>;
// The mirror planes the walls cycle through: six wedges, polar repeat,
// sixteen-fold mandala, both axes.
constexpr int32_t WALL_PLANES[] = {4, 6, 7, 3};
constexpr float WALL_REPEATS_ROUND = 2.0f;   // mirrored picture pairs round the tube
constexpr float WALL_REPEAT_LENGTH = 5.0f;   // world units along the tube per picture
constexpr float PLUCK_HUE_STEP = 23.0f;      // degrees of hue per pluck
constexpr float PLUCK_TURN_STEP = 7.5f;      // degrees the source turns per pluck
constexpr float CLAP_RELEASE_MS = 180.0f;
constexpr float RING_STEP = cSceneKaleidoTunnel::DEPTH / (cSceneKaleidoTunnel::RINGS - 1);

// 0 -> 1 -> 0 over each unit: mirrored repeats meet without a seam.
float triangle(float x)
{
    return 1.0f - std::fabs(1.0f - 2.0f * (x - std::floor(x)));
}

}  // namespace

cSceneKaleidoTunnel::cSceneKaleidoTunnel(cDemoClock* clock_) : cScene(clock_)
{
    sliders = {
        {"speed", &speed, 0, 20},
        {"turn", &turn_speed, -90, 90},
        {"hue speed", &hue_speed, -90, 90},
        {"fold time", &fold_seconds, 0.5, 30},
        {"bend", &bend, 0, 2},
    };
    positions.resize(static_cast<size_t>(SIDES) * RINGS * 3);
    texcoords.resize(static_cast<size_t>(SIDES) * RINGS * 2);
    for (int r = 0; r + 1 < RINGS; ++r)
        for (int s = 0; s + 1 < SIDES; ++s) {
            const auto at = [](int ring, int side) { return static_cast<uint16_t>(ring * SIDES + side); };
            indices.insert(indices.end(), {at(r, s), at(r, s + 1), at(r + 1, s + 1), at(r, s), at(r + 1, s + 1),
                                           at(r + 1, s)});
        }
}

// ---- load ------------------------------------------------------------------------

void cSceneKaleidoTunnel::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/textures");
    cResourcePath::get_instance()->add("../data/models");
    cTextureManager* textures = cTextureManager::get_instance();
    slices = textures->get_texture("Mandala_slices.png", true, GL_CLAMP_TO_EDGE, 0);
    emblem = textures->get_texture("mandalogo.jpg", true, GL_CLAMP_TO_EDGE, 0);
    cPostKaleido2d::get_instance()->init();
    cPostHSB::get_instance();
}

void cSceneKaleidoTunnel::handle_event(cEvent* e)
{
    if (midi_event(e, MIDI_NOTE_ON, PLUCK_TRACK))
        ++plucks;
    if (midi_event(e, MIDI_NOTE_ON, CLAP_TRACK))
        clap_ms = now();
    if (const iMidiEvent* cc = midi_event(e, MIDI_CONTROL_CHANGE, ACID_TRACK); cc && cc->number == ACID_CUTOFF)
        cutoff = static_cast<float>(cc->value) / 127.0f;
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneKaleidoTunnel::render(int32_t time_ms)
{
    const float seconds = static_cast<float>(time_ms) / 1000.0f;
    cShaderManager_GLSL::get_instance()->unbind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    cTmpRenderTarget source = get_tmp_render_target(RTT_HALF);
    source->bind(true);
    draw_source(seconds);
    source->unbind();
    const int32_t plane = plane_at(time_ms);
    cTmpRenderTarget walls = post_step(
        source,
        [plane](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
            dst.bind(true);
            cPostKaleido2d::get_instance()->apply(src, plane);
            dst.unbind();
        },
        RTT_HALF);
    shape_tube(seconds);
    cTmpRenderTarget tunnel = post_step(walls, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cStateManager::get_instance()->set_depth_write(true);
        dst.bind(true);
        draw_tube(src);
        dst.unbind();
    });
    const float since_clap = static_cast<float>(now() - clap_ms);
    cHSBParams colour;
    colour.hue = std::remainder(hue_speed * seconds + PLUCK_HUE_STEP * static_cast<float>(plucks), 360.0f);
    colour.saturation = -30.0f + 60.0f * cutoff;
    colour.brightness = since_clap >= 0.0f ? 45.0f * std::exp(-since_clap / CLAP_RELEASE_MS) : 0.0f;
    return post_step(tunnel, [&colour](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        dst.bind(true);
        cPostHSB::get_instance()->apply(src, colour);
        dst.unbind();
    });
}

int32_t cSceneKaleidoTunnel::plane_at(int32_t time_ms) const
{
    const int32_t span = std::max(1, static_cast<int32_t>(fold_seconds * 1000.0f));
    const int32_t n = static_cast<int32_t>(std::size(WALL_PLANES));
    return WALL_PLANES[((time_ms / span) % n + n) % n];
}

// The atlas turning one way and the emblem, fainter, the other: the folds
// make the two into ever new patterns.
void cSceneKaleidoTunnel::draw_source(float seconds)
{
    begin_screen_space();
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA_KEEP);
    state->set_cull(false);
    const float turn = turn_speed * seconds + PLUCK_TURN_STEP * static_cast<float>(plucks);
    draw_picture(slices, turn, 1.25f, 1.0f);
    draw_picture(emblem, -0.6f * turn, 0.8f, 0.55f);
    end_screen_space();
}

// A square picture `size` screen heights wide, turned about the centre.
void cSceneKaleidoTunnel::draw_picture(const cTexture& picture, float degrees, float size, float alpha)
{
    glActiveTexture(GL_TEXTURE0);
    glEnable(picture.target);
    glBindTexture(picture.target, picture.name);
    cStateManager::get_instance()->apply();
    glPushMatrix();
    glTranslatef(0.5f, 0.5f, 0.0f);
    glScalef(9.0f / 16.0f, 1.0f, 1.0f);
    glRotatef(degrees, 0.0f, 0.0f, 1.0f);
    glScalef(size, size, 1.0f);
    glColor4f(alpha, alpha, alpha, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(-0.5f, -0.5f);
    glTexCoord2f(1, 0); glVertex2f(0.5f, -0.5f);
    glTexCoord2f(1, 1); glVertex2f(0.5f, 0.5f);
    glTexCoord2f(0, 1); glVertex2f(-0.5f, 0.5f);
    glEnd();
    glPopMatrix();
    glBindTexture(picture.target, 0);
    glDisable(picture.target);
}

// Rings from the eye into the distance, each pushed sideways by a slow wave
// that travels with the flight, so the tube bends ahead. The walls' picture
// repeats mirrored round the tube and along it, scrolling with the flight.
void cSceneKaleidoTunnel::shape_tube(float seconds)
{
    const float travelled = speed * seconds;
    const float twist = turn_speed * seconds / 360.0f;
    for (int r = 0; r < RINGS; ++r) {
        const float z = -RING_STEP * static_cast<float>(r);
        const float phase = 0.11f * (travelled - z);
        // Relative to the ring at the eye, so the eye stays on the axis.
        const float cx = bend * (std::sin(phase) - std::sin(0.11f * travelled)) * (-z / DEPTH) * 3.0f;
        const float cy = bend * (std::cos(phase * 0.7f) - std::cos(0.077f * travelled)) * (-z / DEPTH) * 3.0f;
        const float along = triangle((travelled - z) / WALL_REPEAT_LENGTH);
        for (int s = 0; s < SIDES; ++s) {
            const float round = static_cast<float>(s) / (SIDES - 1);
            const float a = 2.0f * PI * round;
            const size_t v = static_cast<size_t>(r) * SIDES + s;
            positions[v * 3 + 0] = cx + std::cos(a);
            positions[v * 3 + 1] = cy + std::sin(a);
            positions[v * 3 + 2] = z;
            texcoords[v * 2 + 0] = triangle(round * WALL_REPEATS_ROUND + twist);
            texcoords[v * 2 + 1] = along;
        }
    }
}

void cSceneKaleidoTunnel::draw_tube(cRenderTarget_fbo& walls)
{
    cStateManager* state = cStateManager::get_instance();
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_blend(false);
    state->set_lighting(false);
    state->set_cull(false);
    state->set_fog(true);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_START, 2.0f);
    glFogf(GL_FOG_END, DEPTH * 0.65f);
    state->apply();
    camera.eye = {0.0f, 0.0f, 0.0f};
    camera.center = {0.0f, 0.0f, -1.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.fovy = 80.0f;
    camera.znear = 0.05f;
    camera.zfar = DEPTH + 1.0f;
    apply_camera(camera);

    // Texture coordinates 0-1 reach the rectangle texture's pixels.
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glScalef(static_cast<float>(walls.width), static_cast<float>(walls.height), 1.0f);
    glMatrixMode(GL_MODELVIEW);
    walls.bind_texture(GL_TEXTURE0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // The arrays are plain memory: no buffer object may stay bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    walls.unbind_texture();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
