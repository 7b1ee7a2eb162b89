#include "post/post_color.h"

#include <cstddef>
#include <stdexcept>

#include "render_target.h"
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"

namespace {

void bind_on_unit1(const cTexture& t)
{
    glActiveTexture(GL_TEXTURE1);
    glEnable(t.target);
    glBindTexture(t.target, t.name);
    glActiveTexture(GL_TEXTURE0);
}

// The unit-1 texture matrix that maps 0-1 onto the mask's outer texel
// centres: the mask still covers the picture once, but its edges never read
// the wrap or border colour (the default white texture clamps to a black
// border, which would grey out a band along every edge).
void push_mask_matrix(const cTexture& t)
{
    const float w = static_cast<float>(t.width ? t.width : 1);
    const float h = static_cast<float>(t.height ? t.height : 1);
    glActiveTexture(GL_TEXTURE1);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.5f / w, 0.5f / h, 0);
    glScalef((w - 1) / w, (h - 1) / h, 1);
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}

void pop_mask_matrix()
{
    glActiveTexture(GL_TEXTURE1);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);
}

void unbind_from_unit1(const cTexture& t)
{
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(t.target, 0);
    glDisable(t.target);
    glActiveTexture(GL_TEXTURE0);
}

}  // namespace

// ---- hue / saturation / brightness ------------------------------------------------

const std::array<cSliderSpec, 3> HSB_SLIDERS = {{
    {"hue", offsetof(cHSBParams, hue), -180.0f, 180.0f, false},
    {"saturation", offsetof(cHSBParams, saturation), -100.0f, 100.0f, false},
    {"brightness", offsetof(cHSBParams, brightness), -100.0f, 100.0f, false},
}};

cPostHSB::cPostHSB()
{
    init();
}

void cPostHSB::init()
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdPostHSB>("hsb_shader");
    white_mask = cTextureManager::get_instance()->get_default_white();
}

void cPostHSB::apply(cRenderTarget_fbo& source, cHSBParams params)
{
    const cTexture& mask = params.mask ? *params.mask : white_mask;
    cEffectPass frame;
    const float values[3] = {params.hue, params.saturation, params.brightness};
    send_block("hsb_shader", values, 3);
    cShaderManager_GLSL::get_instance()->bind("hsb_shader");
    source.bind_texture(GL_TEXTURE0);
    bind_on_unit1(mask);
    push_mask_matrix(mask);
    draw_two_unit_quad(static_cast<float>(source.width), static_cast<float>(source.height), 1.0f, 1.0f);
    pop_mask_matrix();
    unbind_from_unit1(mask);
    source.unbind_texture();
}

// ---- colour correction ----------------------------------------------------------------

cPostColorCorrection::cPostColorCorrection() = default;

void cPostColorCorrection::init(const std::string& lookup_file)
{
    cShaderManager_GLSL::get_instance()->register_shader<cShdCorrection>("color_correction_shader");
    lookup = cTextureManager::get_instance()->get_texture(lookup_file, false, GL_CLAMP_TO_EDGE, 0);
}

void cPostColorCorrection::apply(cRenderTarget_fbo& source)
{
    if (lookup.target == 0)
        throw std::logic_error("cPostColorCorrection::apply called before init");
    cEffectPass frame;
    cShaderManager_GLSL::get_instance()->bind("color_correction_shader");
    bind_on_unit1(lookup);
    draw_render_target_fullscreen(source);
    unbind_from_unit1(lookup);
}
