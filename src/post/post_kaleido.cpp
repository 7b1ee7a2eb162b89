#include "post/post_kaleido.h"

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "render_target.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"

const std::array<cSliderSpec, 1> KALEIDO_SLIDERS = {{
    {"kaleido2d", offsetof(cKaleidoParams, plane), 0.0f, static_cast<float>(KALEIDO_PLANE_COUNT), true},
}};

cPostKaleido2d::cPostKaleido2d()
{
    init();
}

cPostKaleido2d::~cPostKaleido2d()
{
    if (buffer)
        glDeleteBuffersARB(1, &buffer);
}

void cPostKaleido2d::init()
{
    if (buffer)
        return;
    std::vector<cPlaneVertex> all;
    for (int32_t i = 0; i < KALEIDO_PLANE_COUNT; ++i) {
        const std::vector<cPlaneVertex> plane = kaleido_plane(i + 1);
        first[i] = static_cast<GLint>(all.size());
        count[i] = static_cast<GLsizei>(plane.size());
        all.insert(all.end(), plane.begin(), plane.end());
    }
    glGenBuffersARB(1, &buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(all.size() * sizeof(cPlaneVertex)), all.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void cPostKaleido2d::draw_plane(int32_t index) const
{
    cStateManager::get_instance()->apply();
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glVertexPointer(3, GL_FLOAT, sizeof(cPlaneVertex), reinterpret_cast<const void*>(offsetof(cPlaneVertex, x)));
    glTexCoordPointer(2, GL_FLOAT, sizeof(cPlaneVertex), reinterpret_cast<const void*>(offsetof(cPlaneVertex, s)));
    glDrawArrays(GL_TRIANGLES, first[index - 1], count[index - 1]);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void cPostKaleido2d::apply(cRenderTarget_fbo& source, int32_t index)
{
    if (index < 0 || index > KALEIDO_PLANE_COUNT)
        throw std::out_of_range("cPostKaleido2d: no plane " + std::to_string(index));
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    shaders->unbind();
    state->push();
    state->set_blend(false);
    // The planes are flat: whichever way the caller culls, both sides show.
    state->set_cull(false);
    if (index == 0) {
        draw_render_target_fullscreen(source);
    } else {
        glActiveTexture(GL_TEXTURE0);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glScalef(static_cast<float>(source.width), static_cast<float>(source.height), 1);
        begin_screen_space();
        source.bind_texture(GL_TEXTURE0);
        // A 1% overscan about the centre hides the plane's edges and keeps
        // the fold lines where the plane has them.
        glTranslatef(0.5f, 0.5f, 0);
        glScalef(1.01f, 1.01f, 1.01f);
        glTranslatef(-0.5f, -0.5f, 0);
        glRotatef(-90, 1, 0, 0);
        draw_plane(index);
        source.unbind_texture();
        end_screen_space();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    state->pop();
    shaders->pop_shader();
}
