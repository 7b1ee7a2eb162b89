#include "post/post_blur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "screen_space.h"
#include "shader_manager.h"
#include "shaders/shd_post.h"
#include "state_manager.h"
#include "video.h"

// ---- separable blur -------------------------------------------------------------

cPostBlur::cPostBlur()
{
    init();
}

void cPostBlur::init()
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->register_shader<cShdBlurTex>("alpha_blur_shader");
    shaders->register_shader<cShdBlurTexNoAlpha>("no_alpha_blur_shader");
}

void cPostBlur::pass(cRenderTarget_fbo& into, cRenderTarget_fbo& from, const char* shader, const float* block)
{
    into.bind(true);
    from.bind_texture(GL_TEXTURE0);
    send_block(shader, block, cShdBlurTex::BLOCK);
    cShaderManager_GLSL::get_instance()->bind(shader);
    draw_unit_quad(static_cast<float>(from.width), static_cast<float>(from.height));
    from.unbind_texture();
    into.unbind();
}

void cPostBlur::apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, bool keep_alpha, int32_t times)
{
    const char* shader = keep_alpha ? "alpha_blur_shader" : "no_alpha_blur_shader";
    for (int32_t done = 0; done < times; done += TIMES_PER_PASS) {
        apply_kernel(destination, done == 0 ? source : destination, shader,
                     std::min(TIMES_PER_PASS, times - done));
    }
}

void cPostBlur::apply_kernel(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, const char* shader,
                             int32_t times)
{
    // The nine-tap kernel is binomial of order 8; `times` of them in a row
    // make order 8 x times, with weights C(n, n/2 + k) / 2^n.
    const int n = 8 * times;
    float block[cShdBlurTex::BLOCK] = {0.0f, 1.0f, static_cast<float>(n / 2)};
    double c = 1.0;  // C(n, n/2 + k), from k = n/2 down
    for (int k = n / 2; k >= 0; --k) {
        block[3 + k] = static_cast<float>(c / std::ldexp(1.0, n));
        c = c * (n / 2 + k) / (n / 2 - k + 1);
    }
    cTmpRenderTarget tmp = get_tmp_render_target(size_class_of(source));
    {
        cEffectPass frame;
        pass(*tmp.target, source, shader, block);
        block[0] = 1.0f;
        block[1] = 0.0f;
        pass(destination, *tmp.target, shader, block);
    }
    tmp.release();
}

// ---- radial blur ------------------------------------------------------------------

std::array<cSliderSpec, 6> radial_blur_sliders(uint32_t screen_width, uint32_t picture_height)
{
    return {{
        {"center_x", offsetof(cRadialBlurParams, center_x), 0.0f, static_cast<float>(screen_width), false},
        {"center_y", offsetof(cRadialBlurParams, center_y), 0.0f, static_cast<float>(picture_height), false},
        {"distance", offsetof(cRadialBlurParams, distance), 0.0f, 500.0f, false},
        {"num_samples", offsetof(cRadialBlurParams, num_samples), 1.0f, 100.0f, false},
        {"propagation", offsetof(cRadialBlurParams, propagation), 0.0f, 2.0f, false},
        {"multiplier", offsetof(cRadialBlurParams, multiplier), 0.0f, 5.0f, false},
    }};
}

cPostRadialBlur::cPostRadialBlur()
{
    init();
}

void cPostRadialBlur::init()
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdRadialblur>("radialblur_shader");
    cPostBlur::get_instance();
}

void cPostRadialBlur::draw(cRenderTarget_fbo& source, cRadialBlurParams params)
{
    cEffectPass frame;
    cStateManager::get_instance()->set_cull(false);
    // The reach is in pixels of the show's window: a smaller picture gets
    // shorter streaks, summed over fewer pixels, so they keep their look.
    const float scale = show_scale();
    const float values[6] = {params.center_x,    params.center_y,    params.distance * scale,
                             params.num_samples, params.propagation, params.multiplier / scale};
    send_block("radialblur_shader", values, 6);
    cShaderManager_GLSL::get_instance()->bind("radialblur_shader");
    source.bind_texture(GL_TEXTURE0);
    draw_unit_quad(static_cast<float>(source.width), static_cast<float>(source.height));
    source.unbind_texture();
}

void cPostRadialBlur::apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, cRadialBlurParams params)
{
    cTmpRenderTarget tmp = get_tmp_render_target(params.size_class);
    cPostBlur::get_instance()->apply(*tmp.target, source, true);
    destination.bind(false);
    draw(*tmp.target, params);
    destination.unbind();
    tmp.release();
}
