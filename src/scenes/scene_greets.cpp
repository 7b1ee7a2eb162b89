#include "scenes/scene_greets.h"

#include <algorithm>

#include "camera.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_sliders.h"
#include "scenes/picture_centre.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"

// Sections: data, load, update, render.

// ---- data ------------------------------------------------------------------------

cSceneGreets::cSceneGreets(cDemoClock* clock_) : cScene(clock_), streaks(centred_radial_blur())
{
    sliders = camera_rows(-10000, 5000);
    append_rows(sliders, {{"bg_t", &bg_t, 0, 1}, {"cur_t", &cur_t, 0, 1}});
    append_rows(sliders, slider_rows(streaks));
    publish({{"cur_t", &cur_t, 0, 1}});
}

// ---- load ------------------------------------------------------------------------

void cSceneGreets::load()
{
    if (!first_load())
        return;
    mesh = cMeshManager::get_instance()->get_mesh("greetings_bg_03.bzobj", true, false, false);
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdRGBAtex>("rgbatex_shader");
    cPostRadialBlur::get_instance();
    // The card stands upright in the x-z plane across the view: z is up.
    camera.znear = 10.0f;
    camera.zfar = 50000.0f;
    camera.fovy = 45.0f;
    camera.center = {0.0f, 5000.0f, 0.0f};
    camera.up = {0.0f, 0.0f, 1.0f};
    streaks.num_samples = 40.0f;
}

// ---- update ----------------------------------------------------------------------

bool cSceneGreets::update()
{
    bg_t = TRAVEL_SHARE * std::clamp(cur_t, 0.0f, 1.0f);
    eye_bg = {0.0f, -FULL_TRAVEL * std::clamp(bg_t, 0.0f, 1.0f), 0.0f};
    return false;
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneGreets::render(int32_t)
{
    cStateManager* state = cStateManager::get_instance();
    state->set_depth_test(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    state->set_lighting(false);
    state->set_cull(false);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    camera.eye = eye_bg;

    cTmpRenderTarget card = get_tmp_render_target(RTT_FULL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    card->bind(true);
    draw_card();
    card->unbind();
    cTmpRenderTarget picture = post_step(card, [this](cRenderTarget_fbo& dst, cRenderTarget_fbo& src) {
        cPostRadialBlur::get_instance()->apply(dst, src, streaks);
    });
    // The sharp card over its own streaks.
    picture->bind(false);
    draw_card();
    picture->unbind();
    return picture;
}

void cSceneGreets::draw_card()
{
    cStateManager::get_instance()->set_blend(true);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    apply_camera(camera);
    cShaderManager_GLSL::get_instance()->bind("rgbatex_shader");
    mesh->draw();
}
