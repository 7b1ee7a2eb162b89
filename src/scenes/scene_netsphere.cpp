#include "scenes/scene_netsphere.h"

#include "camera.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "scenes/picture_centre.h"
#include "shader_manager.h"
#include "state_manager.h"

// Sections: data, load, render.

// ---- data ------------------------------------------------------------------------

namespace {

constexpr float TEAL[4] = {28.0f / 255.0f, 149.0f / 255.0f, 177.0f / 255.0f, 1.0f};  // the silhouette's background

}  // namespace

cSceneNetSphere::cSceneNetSphere(cDemoClock* clock_) : cScene(clock_), rays(centred_radial_blur())
{
    sliders = camera_rows(-500, 500);
    append_rows(sliders, slider_rows(mask));
    append_rows(sliders, slider_rows(rays));
}

// ---- load ------------------------------------------------------------------------

void cSceneNetSphere::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models");
    mesh = cMeshManager::get_instance()->get_mesh("netsphere.bzobj", true, true, false);
    cPostLevels::get_instance();
    cPostRadialBlur::get_instance();
    // The camera sits inside the net, near its rim, looking out across it.
    camera.znear = 10.0f;
    camera.zfar = 1500.0f;
    camera.fovy = 118.0f;
    camera.eye = {371.0f, -28.0f, -13.0f};
    camera.center = {0.0f, -54.0f, 0.0f};
    camera.up = {0.0f, 1.0f, 0.0f};
    // Everything darker than the teal's green goes black, the teal white:
    // only the gaps of the net are left to shine.
    mask = {140.602f, 150.947f, 4.0f, 2.68179f, 255.0f};
    // The rays stream from a point right of and above the middle of the
    // picture (pixels of the half-size target in the show's window).
    const cPixelPos centre = show_pixels(492.308f, 234.615f);
    rays = {centre.x, centre.y, 500.0f, 100.0f, 0.285457f, 0.157752f, RTT_HALF};
}

// ---- render ----------------------------------------------------------------------

void cSceneNetSphere::begin()
{
    cStateManager* state = cStateManager::get_instance();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    state->set_lighting(true);
    state->set_fog(false);
    state->set_cull(true);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    cShaderManager_GLSL::get_instance()->unbind();
}

void cSceneNetSphere::end()
{
    cStateManager* state = cStateManager::get_instance();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    state->set_depth_test(true);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
}

cTmpRenderTarget cSceneNetSphere::render(int32_t time_ms)
{
    begin();
    GLfloat saved_clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved_clear);
    cTmpRenderTarget picture = draw_silhouette(time_ms);
    cTmpRenderTarget gaps = get_tmp_render_target(RTT_HALF);
    gaps->bind(false);
    cPostLevels::get_instance()->apply(*picture.target, mask);
    gaps->unbind();
    // The rays replace the silhouette in the returned picture.
    cPostRadialBlur::get_instance()->apply(*picture.target, *gaps.target, rays);
    glClearColor(saved_clear[0], saved_clear[1], saved_clear[2], saved_clear[3]);
    gaps.release();
    end();
    return picture;
}

cTmpRenderTarget cSceneNetSphere::draw_silhouette(int32_t time_ms)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL::get_instance()->unbind();
    state->set_depth_test(true);
    state->set_depth_write(true);
    state->set_blend(false);
    state->set_lighting(false);
    cTmpRenderTarget picture = get_tmp_render_target(RTT_HALF);
    glClearColor(TEAL[0], TEAL[1], TEAL[2], TEAL[3]);
    picture->bind(true);
    apply_camera(camera);
    glTranslatef(TURN_AXIS_X, 0.0f, 0.0f);
    glRotatef(static_cast<float>(time_ms) * DEGREES_PER_MS, 0.0f, 1.0f, 0.0f);
    glTranslatef(-TURN_AXIS_X, 0.0f, 0.0f);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    mesh->draw();
    picture->unbind();
    return picture;
}
