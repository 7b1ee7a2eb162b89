#include "scenes/scene.h"

#include "demo_clock.h"
#include "values/gui_var_list.h"
#include "values/interpolator.h"
#include "shader_manager.h"
#include "post/post_compositing.h"
#include "screen_space.h"
#include "state_manager.h"
#include "texture_manager.h"
#include "video.h"

cScene::cScene(cDemoClock* clock_) : clock(clock_)
{
    camera = cCamera{
        .eye = {1.0f, 1.0f, 1.0f},
        .center = {0.0f, 0.0f, 0.0f},
        .up = {0.0f, 0.0f, 1.0f},
        .fovy = 65.0f,
        .znear = 0.1f,
        .zfar = 500.0f,
        .aspect = static_cast<float>(cVideo_SDL::get_instance()->width) /
                  static_cast<float>(cVideo_SDL::get_instance()->height),
        .roll = 0.0,
    };
}

cScene::~cScene()
{
    delete_animators(animators);
}

void cScene::update_animators()
{
    ::update_animators(animators, last_update_time, now());
}

cTmpRenderTarget cScene::render_isolated(int32_t t)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    state->push();
    cTmpRenderTarget result = render(t);
    state->pop();
    shaders->pop_shader();
    return result;
}

namespace {

// A grey checkerboard at one texel per pixel fills the bound target.
void draw_checkerboard(const cRenderTarget_fbo& target)
{
    begin_screen_space();
    const cTexture checker = cTextureManager::get_instance()->get_texture("checker.jpg", false, GL_REPEAT, 0);
    glActiveTexture(GL_TEXTURE0);
    glEnable(checker.target);
    glBindTexture(checker.target, checker.name);
    draw_unit_quad(static_cast<float>(target.width) / static_cast<float>(checker.width),
                   static_cast<float>(target.height) / static_cast<float>(checker.height));
    end_screen_space();
    glBindTexture(checker.target, 0);
    glDisable(checker.target);
}

}  // namespace

// The scene's picture over a grey checkerboard, so that whatever it leaves
// transparent shows as such.
void cScene::draw()
{
    cTmpRenderTarget result = render_isolated(now());
    cTmpRenderTarget picture = get_tmp_render_target(RTT_FULL);
    cTmpRenderTarget background = get_tmp_render_target(RTT_FULL);
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    background->bind(true);
    draw_checkerboard(*background.target);
    background->unbind();
    if (result.target)
        cPostCompositing::get_instance()->apply(*picture.target, *background.target, *result.target, COMP_BLEND, 1.0f);
    cStateManager::get_instance()->set_blend(false);
    draw_render_target_fullscreen(result.target ? *picture.target : *background.target);
}

void cScene::register_gui(cGuiVarList*) {}

void cScene::register_camera_gui(cGuiVarList* list, float min, float max)
{
    add_vec3_var(list, "set_eye", &camera.eye, min, max);
    add_vec3_var(list, "set_ctr", &camera.center, min, max);
    add_float_var(list, "set_fov", &camera.fovy, 10.0f, 160.0f);
    add_double_var(list, "set_roll", &camera.roll, -360.0, 360.0);
}

std::vector<std::pair<iVar*, iGuiNode*>> cScene::get_vars()
{
    return {};
}

int32_t cScene::now() const
{
    return clock->elapsed();
}
