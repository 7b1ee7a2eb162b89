#include "post/post_pass.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "render_target.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "values/var.h"
#include "video.h"

cEffectPass::cEffectPass()
{
    cShaderManager_GLSL::get_instance()->push_shader();
    begin_screen_space();
    cStateManager::get_instance()->set_blend(false);
}

cEffectPass::~cEffectPass()
{
    end_screen_space();
    cShaderManager_GLSL::get_instance()->pop_shader();
}

void send_block(std::string_view shader, const float* values, size_t n)
{
    // The shader copies at once, so the copy only has to live for this call.
    float copy[16];
    if (n > std::size(copy))
        throw std::invalid_argument("send_block: parameter block too large");
    std::copy_n(values, n, copy);
    float* address = copy;
    cVar<float*> var("", &address);
    cShaderManager_GLSL::get_instance()->set_shader_parameter(shader, 1, &var);
}

int32_t size_class_of(uint32_t target_width)
{
    const uint32_t screen = static_cast<uint32_t>(cVideo_SDL::get_instance()->viewport_width);
    if (target_width == 2 * screen)
        return RTT_DOUBLE;
    for (int32_t c : {RTT_FULL, RTT_HALF, RTT_QUATER, RTT_EIGHTH})
        if (target_width == screen / static_cast<uint32_t>(c))
            return c;
    throw std::invalid_argument("post-processing: no size class for a target " + std::to_string(target_width) +
                                " pixels wide");
}

int32_t size_class_of(const cRenderTarget_fbo& target)
{
    return size_class_of(target.width);
}

void draw_two_unit_quad(float s0, float t0, float s1, float t1)
{
    cStateManager::get_instance()->apply();
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        glMultiTexCoord2f(GL_TEXTURE0, c[0] * s0, c[1] * t0);
        glMultiTexCoord2f(GL_TEXTURE1, c[0] * s1, c[1] * t1);
        glVertex3f(c[0], c[1], 0);
    }
    glEnd();
}
