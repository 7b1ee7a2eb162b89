#include "scenes/scene_ganesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gl.h"
#include "midi_events.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_blur.h"
#include "post/post_compositing.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"

// Sections: camera paths, load, render.

namespace {

using V3 = Vec3<float>;

constexpr float PI = std::numbers::pi_v<float>;
constexpr float CLAP_RELEASE_MS = 220.0f;  // how long a clap's flare lasts

// ---- camera paths ------------------------------------------------------------------

// Four key poses per path; the camera runs a Catmull-Rom spline through
// them, so it passes every pose and never jumps between two.
struct cPath {
    V3 eye[4];
    V3 centre[4];
};

V3 on_circle(float degrees, float radius, float height)
{
    const float a = degrees * PI / 180.0f;
    return {radius * std::sin(a), -radius * std::cos(a), height};
}

const std::array<cPath, cSceneGanesh::PATH_COUNT> PATHS = {{
    // 0: a still, frontal view of the whole figure.
    {{V3(0, -3.9f, 1.2f), V3(0, -3.9f, 1.2f), V3(0, -3.9f, 1.2f), V3(0, -3.9f, 1.2f)},
     {V3(0, 0, 1.05f), V3(0, 0, 1.05f), V3(0, 0, 1.05f), V3(0, 0, 1.05f)}},
    // 1: an orbit across the front, from the figure's right to its left.
    {{on_circle(-65, 3.9f, 1.3f), on_circle(-22, 3.7f, 1.2f), on_circle(22, 3.7f, 1.2f), on_circle(65, 3.9f, 1.3f)},
     {V3(0, 0, 1.05f), V3(0, 0, 1.08f), V3(0, 0, 1.08f), V3(0, 0, 1.05f)}},
    // 2: a descent from high above the crown to eye level.
    {{V3(-1.2f, -2.2f, 4.2f), V3(-0.8f, -2.8f, 3.0f), V3(-0.4f, -3.3f, 2.0f), V3(0, -3.6f, 1.4f)},
     {V3(0, 0, 1.4f), V3(0, 0, 1.3f), V3(0, 0, 1.2f), V3(0, 0, 1.1f)}},
    // 3: a sweep past the arms, close, from the axe to the noose.
    {{V3(-1.7f, -1.5f, 1.45f), V3(-0.6f, -1.9f, 1.35f), V3(0.6f, -1.9f, 1.35f), V3(1.7f, -1.5f, 1.45f)},
     {V3(-0.6f, 0, 1.35f), V3(-0.2f, 0, 1.25f), V3(0.2f, 0, 1.25f), V3(0.6f, 0, 1.35f)}},
    // 4: the opening push-in from afar, settling on the figure.
    {{V3(0.5f, -7.0f, 1.6f), V3(0.3f, -5.8f, 1.45f), V3(0.1f, -4.7f, 1.3f), V3(0, -3.9f, 1.2f)},
     {V3(0, 0, 1.1f), V3(0, 0, 1.08f), V3(0, 0, 1.06f), V3(0, 0, 1.05f)}},
    // 5: low at the lotus, looking up at the face and crown.
    {{V3(1.0f, -2.5f, 0.45f), V3(0.45f, -2.4f, 0.55f), V3(-0.2f, -2.35f, 0.65f), V3(-0.8f, -2.4f, 0.7f)},
     {V3(0.05f, -0.1f, 1.4f), V3(0, -0.1f, 1.48f), V3(0, -0.1f, 1.52f), V3(-0.05f, -0.1f, 1.52f)}},
    // 6: the pull-back from the face to the whole figure, rising a little.
    {{V3(0.3f, -1.5f, 1.55f), V3(0.2f, -2.6f, 1.5f), V3(0.1f, -3.9f, 1.4f), V3(0, -5.2f, 1.5f)},
     {V3(0, -0.1f, 1.5f), V3(0, -0.05f, 1.35f), V3(0, 0, 1.15f), V3(0, 0, 1.05f)}},
}};

// Catmull-Rom through k[0..3] at u in [0, 1]; the ends repeat their pose.
V3 spline(const V3 (&k)[4], float u)
{
    const float s = std::clamp(u, 0.0f, 1.0f) * 3.0f;
    const int i = std::min(static_cast<int>(s), 2);
    const float f = s - static_cast<float>(i);
    const V3& p0 = k[std::max(i - 1, 0)];
    const V3& p1 = k[i];
    const V3& p2 = k[i + 1];
    const V3& p3 = k[std::min(i + 2, 3)];
    const float f2 = f * f, f3 = f2 * f;
    return (p1 * 2.0f + (p2 - p0) * f + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * f2 +
            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * f3) *
           0.5f;
}

// ---- light -------------------------------------------------------------------------

// Stone and gold under one warm key light: dim ambient, strong diffuse,
// a gold-tinted highlight; the emission lifts the whole statue a little
// and the gold most, because the palette's gold is the brightest colour.
void set_lighting(float sweep, float flare)
{
    const float a = (-70.0f + 140.0f * std::clamp(sweep, 0.0f, 1.0f)) * PI / 180.0f;
    // Statue frame: from the front, swinging from the figure's right (-x) to its left.
    const GLfloat position[4] = {std::sin(a) * 0.8f, -std::cos(a) * 0.8f, 0.6f, 0.0f};
    const GLfloat ambient[4] = {0.12f, 0.11f, 0.13f, 1.0f};
    const GLfloat diffuse[4] = {1.05f, 0.95f, 0.82f, 1.0f};
    const GLfloat specular[4] = {1.0f, 0.85f, 0.55f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    const float e = 0.04f + 0.35f * flare;
    const GLfloat emission[4] = {e, e * 0.8f, e * 0.45f, 1.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 28.0f);
}

constexpr float HALO_COLOUR[3] = {1.0f, 0.55f, 0.12f};  // saffron

}  // namespace

cSceneGanesh::cPose cSceneGanesh::camera_pose(int path, float t)
{
    const cPath& p = PATHS[path >= 0 && path < PATH_COUNT ? path : DEFAULT_PATH];
    // Ease in and out so that each cut lands on a camera at rest.
    const float u = std::clamp(t, 0.0f, 1.0f);
    const float eased = u * u * (3.0f - 2.0f * u);
    return {spline(p.eye, eased), spline(p.centre, eased)};
}

cSceneGanesh::cSceneGanesh(cDemoClock* clock_) : cScene(clock_)
{
    const tVarTable published = {
        {"scene_t", &scene_t, 0, 1},
        {"campath", &campath, 0, PATH_COUNT - 1},
        {"campath_t", &campath_t, 0, 1},
    };
    publish(published);
    sliders = published;
    sliders.push_back({"halo", &halo, 0, 1});
    append_rows(sliders, slider_rows(glow));
}

// ---- load --------------------------------------------------------------------------

void cSceneGanesh::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models");
    statue = cMeshManager::get_instance()->get_mesh("ganesh.bzobj", true, true, false);
    cTextureManager* textures = cTextureManager::get_instance();
    stone = textures->get_texture("ganesh_stone.png", true, GL_CLAMP_TO_EDGE, 0);
    shine = textures->get_texture("ganesh_shine.png", true, GL_CLAMP_TO_EDGE, 0);
    cShaderManager_GLSL::get_instance()->register_shader<cShdGanesh>("ganesh_shader");
    cPostCut::get_instance();
    cPostBlur::get_instance();
    cPostCompositing::get_instance();
}

void cSceneGanesh::handle_event(cEvent* e)
{
    if (midi_event(e, MIDI_NOTE_ON, CLAP_TRACK))
        clap_ms = now();
}

// ---- render ------------------------------------------------------------------------

cTmpRenderTarget cSceneGanesh::render(int32_t time_ms)
{
    cShaderManager_GLSL::get_instance()->unbind();
    set_camera();
    cTmpRenderTarget aura = get_tmp_render_target(RTT_QUATER);
    draw_halo(*aura.target);
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    draw_statue(*picture.target, time_ms);
    cTmpRenderTarget glowing = post_step(picture, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCut::get_instance()->apply_glow(dst, src, glow);
    });
    cTmpRenderTarget result = post_step(glowing, [&aura](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostCompositing::get_instance()->apply(dst, *aura.target, src, COMP_BLEND, 1.0f);
    });
    aura.release();
    return result;
}

void cSceneGanesh::set_camera()
{
    const cPose pose = camera_pose(campath, campath_t);
    camera.eye = pose.eye;
    camera.center = pose.centre;
    camera.up = {0.0f, 0.0f, 1.0f};
    camera.fovy = 42.0f;
    camera.znear = 0.1f;
    camera.zfar = 40.0f;
    camera.roll = 0.0;
}

// The silhouette in saffron, blurred into a soft aura. The target is cleared
// to the halo's colour with zero alpha, so that blurring spreads only the
// coverage and the aura's rim does not darken.
void cSceneGanesh::draw_halo(cRenderTarget_fbo& target)
{
    cStateManager* state = cStateManager::get_instance();
    glClearColor(HALO_COLOUR[0], HALO_COLOUR[1], HALO_COLOUR[2], 0.0f);
    target.bind(true);
    apply_camera(camera);
    glDisable(GL_TEXTURE_2D);
    state->set_depth_test(false);
    state->set_depth_write(false);
    state->set_lighting(false);
    state->set_blend(false);
    state->set_fog(false);
    state->set_cull(false);
    state->set_fill_mode(gs::FILL_FILL);
    state->apply();
    glColor4f(HALO_COLOUR[0], HALO_COLOUR[1], HALO_COLOUR[2], std::clamp(halo, 0.0f, 1.0f));
    statue->draw();
    target.unbind();
    cPostBlur::get_instance()->apply(target, target, true, 2);
}

void cSceneGanesh::draw_statue(cRenderTarget_fbo& target, int32_t time_ms)
{
    cStateManager* state = cStateManager::get_instance();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    state->set_depth_write(true);
    state->apply();
    target.bind(true);
    apply_camera(camera);
    state->set_depth_test(true);
    state->set_lighting(true);
    state->set_blend(false);
    state->set_fog(false);
    state->set_color_material(false);
    state->set_cull(true);
    state->set_cull_side(true);
    state->set_front_face(true);
    state->enable_light(GL_LIGHT0);
    state->apply();
    const float since_clap = static_cast<float>(time_ms - clap_ms);
    set_lighting(scene_t, since_clap >= 0.0f ? std::exp(-since_clap / CLAP_RELEASE_MS) : 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shine.name);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, stone.name);
    cShaderManager_GLSL::get_instance()->bind("ganesh_shader");
    statue->draw();
    cShaderManager_GLSL::get_instance()->unbind();
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    target.unbind();
}
