#include "post/post_glow.h"

#include <cstddef>

#include "post/post_blur.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "state_manager.h"

// ---- levels ---------------------------------------------------------------------

const std::array<cSliderSpec, 5> LEVELS_SLIDERS = {{
    {"in black", offsetof(cLevelsParams, in_black), 0.0f, 255.0f, false},
    {"in white", offsetof(cLevelsParams, in_white), 0.0f, 255.0f, false},
    {"gamma", offsetof(cLevelsParams, gamma), 0.0f, 4.0f, false},
    {"out black", offsetof(cLevelsParams, out_black), 0.0f, 255.0f, false},
    {"out white", offsetof(cLevelsParams, out_white), 0.0f, 255.0f, false},
}};

cPostLevels::cPostLevels()
{
    init();
}

void cPostLevels::init()
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdLevels>("levels_shader");
}

void cPostLevels::apply(cRenderTarget_fbo& source, cLevelsParams params)
{
    cEffectPass frame;
    cStateManager::get_instance()->set_cull(false);
    const float values[5] = {params.in_black, params.in_white, params.gamma, params.out_black, params.out_white};
    send_block("levels_shader", values, 5);
    cShaderManager_GLSL::get_instance()->bind("levels_shader");
    source.bind_texture(GL_TEXTURE0);
    draw_unit_quad(static_cast<float>(source.width), static_cast<float>(source.height));
    source.unbind_texture();
}

// ---- cut ----------------------------------------------------------------------------

const std::array<cSliderSpec, 2> CUT_SLIDERS = {{
    {"pre-cut", offsetof(cCutParams, pre_cut), 0.0f, 255.0f, false},
    {"post-cut", offsetof(cCutParams, post_cut), 0.0f, 255.0f, false},
}};

cPostCut::cPostCut()
{
    init();
}

void cPostCut::init()
{
    cPostLevels::get_instance();
    cPostBlur::get_instance();
    cPostSpill::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdPostColDodge>("coldodge_shader");
    shaders->register_shader<cShdPostColDodgeMasked>("coldodge_mask_shader");
}

void cPostCut::apply(cRenderTarget_fbo& source, cRenderTarget_fbo& destination, cCutParams params)
{
    cTmpRenderTarget tmp = get_tmp_render_target(params.size_class);
    cRenderTarget_fbo& bright = *tmp.target;
    bright.bind(false);
    cPostLevels::get_instance()->apply(source, {params.pre_cut, 255.0f, 1.0f, 0.0f, 255.0f});
    bright.unbind();
    cPostBlur::get_instance()->apply(bright, bright, false, 3);
    destination.bind(false);
    cPostLevels::get_instance()->apply(bright, {0.0f, params.post_cut, 1.0f, 0.0f, 255.0f});
    destination.unbind();
    tmp.release();
}

void cPostCut::apply_glow(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, cCutParams params)
{
    cTmpRenderTarget glow = get_tmp_render_target(params.size_class);
    apply(source, *glow.target, params);
    destination.bind(false);
    cPostSpill::get_instance()->apply(source, *glow.target);
    destination.unbind();
    glow.release();
}

// ---- spill ----------------------------------------------------------------------------

cPostSpill::cPostSpill()
{
    init();
}

void cPostSpill::init()
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdPostSpillAdd>("spill_shader");
}

void cPostSpill::apply(cRenderTarget_fbo& base, cRenderTarget_fbo& spill)
{
    cStateManager* state = cStateManager::get_instance();
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    state->push();
    state->set_blend(false);
    state->set_cull(false);
    base.bind_texture(GL_TEXTURE0);
    spill.bind_texture(GL_TEXTURE1);
    shaders->push_shader();
    shaders->bind("spill_shader");
    begin_screen_space();
    draw_two_unit_quad(static_cast<float>(base.width), static_cast<float>(base.height),
                       static_cast<float>(spill.width), static_cast<float>(spill.height));
    end_screen_space();
    spill.unbind_texture();
    base.unbind_texture();
    shaders->pop_shader();
    state->pop();
}
