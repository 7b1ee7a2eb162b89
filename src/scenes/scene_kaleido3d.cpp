#include "scenes/scene_kaleido3d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gl.h"
#include "midi_events.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float PI = std::numbers::pi_v<float>;
constexpr float SPIKEBALL_SCALE = 0.0042f;  // the model is 86 units to its tips
constexpr float CLAP_RELEASE_MS = 260.0f;    // how long a clap's breath lasts

// Lights are given in the frame of each mirror cell, so every reflected
// copy is lit as the mirror image of the first and the picture keeps the
// arrangement's symmetry in its shading too.
struct cCellLight {
    GLenum light;        // GL_LIGHT0..
    float position[4];   // direction towards the light, cell frame, w = 0
    float diffuse[4];    // colour times intensity
};

constexpr cCellLight CELL_LIGHTS[] = {
    {GL_LIGHT0, {0.4f, 0.6f, 1.0f, 0.0f}, {1.5f, 0.55f, 1.4f, 1.0f}},    // magenta key from above
    {GL_LIGHT1, {-0.8f, 0.3f, 0.2f, 0.0f}, {0.1f, 1.2f, 1.5f, 1.0f}},    // cyan side
    {GL_LIGHT2, {0.2f, -0.9f, -0.4f, 0.0f}, {1.3f, 0.75f, 0.1f, 1.0f}},  // amber from below
};

// Column-major rotation about z by angle a, or the mirror across the plane
// through z at angle a / 2 when `mirror` is set; z scaled by z_sign.
std::array<float, 16> axis_matrix(float a, bool mirror, float z_sign)
{
    const float c = std::cos(a), s = std::sin(a);
    if (mirror)
        return {c, s, 0, 0, s, -c, 0, 0, 0, 0, z_sign, 0, 0, 0, 0, 1};
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, z_sign, 0, 0, 0, 0, 1};
}

void set_material(float r, float g, float b)
{
    const float diffuse[4] = {r, g, b, 1.0f};
    const float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
}

}  // namespace

cSceneKaleido3d::cSceneKaleido3d(cDemoClock* clock_) : cScene(clock_)
{
    const tVarTable published = {
        {"cur_config", &cur_config, 0, static_cast<double>(ARRANGEMENTS.size() - 1)},
        {"cur_t", &cur_t, 0, 1},
        {"cam_t", &cam_t, 0, 1},
        {"rot", &rot, -360, 360},
    };
    publish(published);
    sliders = published;
    append_rows(sliders, slider_rows(glow));
    build_mirrors();
}

// Rotations by 2 pi k / n and mirrors across the planes at pi k / n: the
// dihedral group of n planes; the floor mirror doubles each element.
void cSceneKaleido3d::build_mirrors()
{
    for (size_t i = 0; i < ARRANGEMENTS.size(); ++i) {
        const cArrangement& a = ARRANGEMENTS[i];
        int count = 0;
        for (float z_sign : {1.0f, -1.0f}) {
            if (z_sign < 0.0f && !a.floor_mirror)
                break;
            for (int k = 0; k < a.folds; ++k) {
                const float angle = 2.0f * PI * static_cast<float>(k) / static_cast<float>(a.folds);
                mirrors[i][count++] = axis_matrix(angle, false, z_sign);
                mirrors[i][count++] = axis_matrix(angle, true, z_sign);
            }
        }
        mirror_count[i] = count;
    }
}

// ---- load ------------------------------------------------------------------------

void cSceneKaleido3d::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models");
    cMeshManager* meshes = cMeshManager::get_instance();
    octahedra = meshes->get_mesh("octahedra.bzobj", true, true, false);
    spikeball = meshes->get_mesh("spikeball2.bzobj", true, false, false);
    cPostCut::get_instance();
}

void cSceneKaleido3d::handle_event(cEvent* e)
{
    if (midi_event(e, MIDI_NOTE_ON, CLAP_TRACK))
        clap_ms = now();
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneKaleido3d::render(int32_t time_ms)
{
    cShaderManager_GLSL::get_instance()->unbind();
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    cStateManager::get_instance()->set_depth_write(true);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    picture->bind(true);
    set_state();
    set_camera();
    draw_crystal(time_ms);
    picture->unbind();
    return post_step(picture, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, glow);
    });
}

void cSceneKaleido3d::set_state()
{
    cStateManager* state = cStateManager::get_instance();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_fill_mode(gs::FILL_FILL);
    state->set_fog(false);
    state->set_blend(false);
    state->set_lighting(true);
    state->set_color_material(false);
    // Mirrored copies turn their faces' winding round: draw both sides.
    state->set_cull(false);
    for (const cCellLight& l : CELL_LIGHTS)
        state->enable_light(l.light);
    glEnable(GL_NORMALIZE);
    state->apply();
}

// From straight down the crystal's axis (cam_t = 0) to a low, close view.
void cSceneKaleido3d::set_camera()
{
    const float t = std::clamp(cam_t, 0.0f, 1.0f);
    const float elevation = t * 62.0f * PI / 180.0f;
    const float azimuth = PI / 6.0f;
    const float distance = 6.2f - 1.8f * t;
    camera.eye = {distance * std::sin(elevation) * std::cos(azimuth), distance * std::sin(elevation) * std::sin(azimuth),
                  distance * std::cos(elevation)};
    camera.center = {0.0f, 0.0f, 0.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    camera.fovy = 55.0f;
    camera.znear = 0.1f;
    camera.zfar = 50.0f;
    camera.roll = 0.0;
    apply_camera(camera);
}

void cSceneKaleido3d::draw_crystal(int32_t time_ms)
{
    const int config = std::clamp(cur_config, 0, static_cast<int>(ARRANGEMENTS.size()) - 1);
    const float seconds = static_cast<float>(time_ms) / 1000.0f;
    const float since_clap = static_cast<float>(now() - clap_ms);
    const float clap = since_clap >= 0.0f ? std::exp(-since_clap / CLAP_RELEASE_MS) : 0.0f;
    const float breath = 1.0f + 0.06f * std::sin(seconds * 2.1f) + 0.18f * clap;
    const float spin = rot + seconds * 9.0f;
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < mirror_count[config]; ++i) {
        glPushMatrix();
        glMultMatrixf(mirrors[config][i].data());
        for (const cCellLight& l : CELL_LIGHTS) {
            glLightfv(l.light, GL_POSITION, l.position);
            glLightfv(l.light, GL_DIFFUSE, l.diffuse);
            glLightfv(l.light, GL_SPECULAR, l.diffuse);
        }
        draw_cell(breath, spin);
        glPopMatrix();
    }
    glDisable(GL_NORMALIZE);
}

// The solids of one mirror cell, placed about the middle of the cell's
// wedge so that unfolding pushes them out of the centre.
void cSceneKaleido3d::draw_cell(float breath, float spin)
{
    const float spread = (0.2f + 1.5f * std::clamp(cur_t, 0.0f, 1.0f)) * breath;
    glPushMatrix();
    glTranslatef(spread * 0.8f, spread * 0.45f, 0.35f + 0.3f * spread);
    glRotatef(spin, 0.3f, 0.5f, 0.8f);
    glScalef(1.1f * breath, breath, breath);
    set_material(0.25f, 0.8f, 1.0f);
    octahedra->draw();
    glRotatef(90.0f + spin * 0.5f, 0.0f, 0.0f, 1.0f);
    set_material(1.0f, 0.55f, 0.15f);
    octahedra->draw();
    glPopMatrix();

    glPushMatrix();
    glTranslatef(spread * 1.35f, spread * 0.2f, 0.1f);
    glRotatef(-spin * 1.3f, 0.0f, 1.0f, 0.0f);
    glScalef(SPIKEBALL_SCALE * breath, SPIKEBALL_SCALE * breath, SPIKEBALL_SCALE * breath);
    spikeball->draw();
    glPopMatrix();
}
