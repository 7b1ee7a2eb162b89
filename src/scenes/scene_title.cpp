#include "scenes/scene_title.h"

#include <algorithm>

#include "camera.h"
#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "post/post_sliders.h"
#include "resource_path.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"
#include "video.h"

// Sections: data, load, update, render.

// ---- data ------------------------------------------------------------------------

namespace {

const Vec3<float> EYE_FAR{6.0f, -350.57f, -2.28f};   // eye at cur_t 0
const Vec3<float> EYE_NEAR{6.0f, 0.0f, -7.28f};      // eye at cur_t 1
constexpr float FINAL_ROLL_DEG = -30.0f;

// Glide weight: a smoothstep over the first half of the progress range,
// stretched so that it reaches 1 at progress 1.
float glide(float progress)
{
    const float s = std::clamp(progress * 0.5f, 0.0f, 1.0f);
    return std::clamp(2.0f * (3.0f - 2.0f * s) * s * s, 0.0f, 1.0f);
}

}  // namespace

cSceneTitle::cSceneTitle(cDemoClock* clock_) : cScene(clock_)
{
    const cVideo_SDL* video = cVideo_SDL::get_instance();
    const int32_t picture_height = video->stretch ? video->height : video->viewport_height;
    rays.center_x = static_cast<float>(video->viewport_width / 4 / 2);
    rays.center_y = static_cast<float>(picture_height / 4 / 2);
    sliders = camera_rows(-500, 500);
    append_rows(sliders, {{"cur_t", &cur_t, 0, 1}});
    append_rows(sliders, slider_rows(levels));
    append_rows(sliders, slider_rows(rays));
    publish({{"cur_t", &cur_t, 0, 1}});
    eye = eye_at(cur_t);
}

// ---- load ------------------------------------------------------------------------

void cSceneTitle::load()
{
    if (!first_load())
        return;
    cResourcePath::get_instance()->add("../data/models/title");
    cPostRadialBlur::get_instance();
    cPostLevels::get_instance();
    cMeshManager* meshes = cMeshManager::get_instance();
    background = meshes->get_mesh("intro_bg.bzobj", true, false, false);
    logo = meshes->get_mesh("intro_logo.bzobj", true, false, false);
    camera.znear = 1.0f;
    camera.zfar = 1000.0f;
    camera.eye = {6.0f, -184.43f, -2.28f};
    camera.fovy = 20.4f;
    camera.center = {0.0f, 500.0f, 0.0f};
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdSelfIllum>("self_illum_shader");
    shaders->register_shader<cShdRGBAtex>("rgbatex_shader");
    shaders->register_shader<cShdSrcCol>("srccol_shader");
    shaders->register_shader<cShdMasked>("masked_shader");
    levels.in_black = 165.0f;
    levels.in_white = 215.0f;
    rays.distance = 100.0f;
    rays.num_samples = 70.0f;
    rays.propagation = 1.25f;
    rays.multiplier = 1.7503f;
}

// ---- update ----------------------------------------------------------------------

Vec3<float> cSceneTitle::eye_at(float progress)
{
    const float e = glide(progress);
    return EYE_FAR * (1.0f - e) + EYE_NEAR * e;
}

float cSceneTitle::roll_at(float progress)
{
    return FINAL_ROLL_DEG * glide(progress);
}

bool cSceneTitle::update()
{
    roll_deg = roll_at(cur_t);
    eye = eye_at(cur_t);
    return false;
}

// ---- render ----------------------------------------------------------------------

cTmpRenderTarget cSceneTitle::render(int32_t)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    state->push();
    shaders->push_shader();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    cTmpRenderTarget card = get_tmp_render_target(RTT_FULL);
    card->bind(true);
    draw_card();
    card->unbind();

    cTmpRenderTarget mask = glow_mask(*card.target);
    cTmpRenderTarget masked = get_tmp_render_target(RTT_FULL);
    draw_masked(*masked.target, *card.target, *mask.target);
    mask.release();
    // The card's picture is done with: the rays of its bright parts replace it.
    cPostRadialBlur::get_instance()->apply(*card.target, *masked.target, rays);
    masked.release();

    card->bind(false);
    draw_logo();
    card->unbind();

    state->set_blend_func(gs::BLEND_ALPHA);
    shaders->pop_shader();
    state->pop();
    return card;
}

// The background, then the logo darkening it by its own alpha: the logo is
// cut out of the card.
void cSceneTitle::draw_card()
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    state->set_depth_test(false);
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD_BY_ALPHA);
    state->set_lighting(false);
    state->set_cull(false);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    camera.eye = eye;
    camera.roll = roll_deg;
    apply_camera(camera);
    shaders->bind("srccol_shader");
    background->draw();
    shaders->bind("rgbatex_shader");
    state->set_blend_func(gs::BF_ZERO, gs::BF_ONE_MINUS_SRC_ALPHA, gs::BF_ONE, gs::BF_ONE);
    logo->draw();
}

// The blurred card with only its brightest parts left, stretched to full range.
cTmpRenderTarget cSceneTitle::glow_mask(cRenderTarget_fbo& card)
{
    cPostBlur* blur = cPostBlur::get_instance();
    cTmpRenderTarget soft = get_tmp_render_target(RTT_HALF);
    blur->apply(*soft.target, card, true);  // the first pass halves the size
    blur->apply(*soft.target, *soft.target, true, 2);
    cTmpRenderTarget mask = get_tmp_render_target(RTT_HALF);
    mask->bind(false);
    cPostLevels::get_instance()->apply(*soft.target, levels);
    mask->unbind();
    return mask;
}

// The card kept only where the mask is bright.
void cSceneTitle::draw_masked(cRenderTarget_fbo& into, cRenderTarget_fbo& card, cRenderTarget_fbo& mask)
{
    cStateManager* state = cStateManager::get_instance();
    into.bind(true);
    state->set_blend(false);
    cShaderManager_GLSL::get_instance()->bind("masked_shader");
    card.bind_texture(GL_TEXTURE0);
    mask.bind_texture(GL_TEXTURE1);
    begin_screen_space();
    draw_two_unit_quad(static_cast<float>(card.width), static_cast<float>(card.height),
                       static_cast<float>(mask.width), static_cast<float>(mask.height));
    end_screen_space();
    mask.unbind_texture();
    card.unbind_texture();
    into.unbind();
}

// The sharp logo over the rays, with the card's camera.
void cSceneTitle::draw_logo()
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL::get_instance()->bind("rgbatex_shader");
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ALPHA);
    apply_camera(camera);
    logo->draw();
}
