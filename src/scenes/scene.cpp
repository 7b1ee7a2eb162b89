#include "scenes/scene.h"

#include "demo_clock.h"
#include "values/gui_node.h"
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
    for (auto& [var, node] : published) {
        delete var;
        delete node;
    }
}

void cScene::publish(const tVarTable& table)
{
    for (const cVarRow& row : table)
        published.push_back(make_row(row));
}

bool cScene::update()
{
    if (!clock->paused)
        update_animators();
    return false;
}

void cScene::update_animators()
{
    ::update_animators(animators, last_update_time, now());
}

namespace {

// Light and fog parameters are not in the state cache; GL's attribute stack
// brings them back. It also restores the switches of fog, lighting, colour
// material and the lights, so the cache's record of what GL has must go
// back to what it was before the scene ran. Material colours set outside
// glBegin/glEnd count as current vertex attributes on Mesa and survive the
// stack, so they are put back to GL's defaults, which every scene starts from.
void restore_lighting_and_fog(cStateManager& state, const cGLState& applied_before)
{
    glPopAttrib();
    const cStateField restored[] = {gs::FOG, gs::COLOR_MATERIAL, gs::LIGHTING,
                                    gs::light(0), gs::light(1), gs::light(2), gs::light(3)};
    for (const cStateField& f : restored)
        state.applied.set(f, applied_before.get(f));
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
}

}  // namespace

cTmpRenderTarget cScene::render_isolated(int32_t t)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    state->push();
    const cGLState applied_before = state->applied;
    glPushAttrib(GL_LIGHTING_BIT | GL_FOG_BIT);
    cTmpRenderTarget result = render(t);
    restore_lighting_and_fog(*state, applied_before);
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

void cScene::register_gui(cGuiVarList* list)
{
    add_rows(list, sliders);
}

tVarTable cScene::camera_rows(float min, float max)
{
    return {
        {"set_eye", &camera.eye, min, max},
        {"set_ctr", &camera.center, min, max},
        {"set_fov", &camera.fovy, 10.0, 160.0},
        {"set_roll", &camera.roll, -360.0, 360.0},
    };
}

tVarList cScene::get_vars()
{
    return published;
}

int32_t cScene::now() const
{
    return clock->elapsed();
}
