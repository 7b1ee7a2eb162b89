#include "post/post_compositing.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "post/post_blur.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "state_manager.h"

namespace {

// Program of each mode; null where the mode has none.
const char* const MODE_SHADERS[] = {"blend_comp", "add_comp", nullptr, "screen_comp", "dodge_comp"};

void clear_to_transparent(cRenderTarget_fbo& target)
{
    glClearColor(0, 0, 0, 0);
    target.bind(true);
    target.unbind();
}

}  // namespace

// ---- compositing ------------------------------------------------------------------

cPostCompositing::cPostCompositing()
{
    init();
}

void cPostCompositing::init()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdCompOver>("blend_comp");
    shaders->register_shader<cShdCompAdd>("add_comp");
    shaders->register_shader<cShdCompScreen>("screen_comp");
    shaders->register_shader<cShdCompDodge>("dodge_comp");
}

void cPostCompositing::apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& bottom, cRenderTarget_fbo& top,
                             int32_t mode, float alpha)
{
    glClearColor(0, 0, 0, 0);
    destination.bind(true);
    draw(bottom, top, mode, alpha);
    destination.unbind();
}

void cPostCompositing::draw(cRenderTarget_fbo& bottom, cRenderTarget_fbo& top, int32_t mode, float alpha)
{
    if (mode < COMP_BLEND || mode > COMP_DODGE)
        throw std::invalid_argument("cPostCompositing: unknown blend mode " + std::to_string(mode));
    const char* shader = MODE_SHADERS[mode];
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    state->push();
    state->set_alpha_test(false);
    state->set_blend(false);
    begin_screen_space_keep_alpha_test();
    // Mode 2 has no program, and the fixed-function pipeline would modulate
    // two units: it draws the layer's picture alone, unchanged.
    cRenderTarget_fbo& unit0 = shader ? bottom : top;
    if (shader)
        top.bind_texture(GL_TEXTURE1);
    unit0.bind_texture(GL_TEXTURE0);
    if (shader)
        shaders->bind(shader);
    else
        shaders->unbind();
    glColor4f(1, 1, 1, shader ? alpha : 1.0f);
    draw_two_unit_quad(static_cast<float>(unit0.width), static_cast<float>(unit0.height),
                       static_cast<float>(top.width), static_cast<float>(top.height));
    unit0.unbind_texture();
    if (shader)
        top.unbind_texture();
    end_screen_space();
    state->pop();
    shaders->pop_shader();
}

// ---- feedback -----------------------------------------------------------------------

const std::array<cSliderSpec, 2> FEEDBACK_SLIDERS = {{
    {"feedback fade", offsetof(cFeedbackParams, fade), 0.0f, 0.5f, false},
    {"blur iterations", offsetof(cFeedbackParams, blur_iterations), 0.0f, 20.0f, true},
}};

cPostFeedback::cPostFeedback()
{
    init();
}

void cPostFeedback::init()
{
    cPostCompositing::get_instance();
    cPostBlur::get_instance();
}

void cPostFeedback::transform_into(cRenderTarget_fbo& history, cRenderTarget_fbo& frame, const float transform[16],
                                   float fade)
{
    const float w = static_cast<float>(history.width);
    const float h = static_cast<float>(history.height);
    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(w / 2, h / 2, 0);
    glMultMatrixf(transform);
    glTranslatef(-w / 2, -h / 2, 0);
    glMatrixMode(GL_MODELVIEW);
    cStateManager::get_instance()->set_blend(false);
    // The fade multiplies colour and alpha by (1 - fade) as the picture is
    // drawn: the same as darkening it afterwards with a black quad of alpha
    // fade (blend word 0x5050), one full-size pass less.
    begin_screen_space();
    const float keep = 1.0f - fade;
    glColor4f(keep, keep, keep, keep);
    frame.bind_texture(GL_TEXTURE0);
    draw_unit_quad(static_cast<float>(frame.width), static_cast<float>(frame.height));
    frame.unbind_texture();
    end_screen_space();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void cPostFeedback::apply(cTmpRenderTarget& history, cRenderTarget_fbo& new_frame, cRenderTarget_fbo& output,
                          cFeedbackParams params)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    shaders->unbind();  // the transform and fade passes are fixed-function
    state->push();
    const int32_t size_class = size_class_of(output);
    if (!history.target || history.size_class != size_class) {
        history.release();
        history = get_tmp_render_target(size_class);
        // A pooled target still holds whatever its last user drew.
        clear_to_transparent(*history.target);
    }
    cTmpRenderTarget mixed = get_tmp_render_target(size_class);
    cPostCompositing* compositing = cPostCompositing::get_instance();
    compositing->apply(*mixed.target, new_frame, *history.target, COMP_BLEND, 1.0f);
    history->bind(true);
    transform_into(*history.target, *mixed.target, params.transform, params.fade);
    history->unbind();
    // The mixed picture is spent: it serves again as the transparent bottom.
    clear_to_transparent(*mixed.target);
    compositing->apply(output, *mixed.target, *history.target, COMP_BLEND, 1.0f);
    mixed.release();
    cPostBlur::get_instance()->apply(*history.target, *history.target, false, params.blur_iterations);
    state->pop();
    shaders->pop_shader();
}
