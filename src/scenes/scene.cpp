#include "scenes/scene.h"

#include "demo_clock.h"
#include "values/interpolator.h"
#include "shader_manager.h"
#include "state_manager.h"
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

// Renders the scene with the state and shader it found restored afterwards,
// then shows the result over the whole picture.
void cScene::draw()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    state->push();
    cTmpRenderTarget result = render(now());
    state->pop();
    shaders->pop_shader();
    if (!result.target)
        return;
    state->set_blend(false);
    draw_render_target_fullscreen(*result.target);
}

void cScene::register_gui(cGuiVarList*) {}

std::vector<std::pair<iVar*, iGuiNode*>> cScene::get_vars()
{
    return {};
}

int32_t cScene::now() const
{
    return clock->elapsed();
}
