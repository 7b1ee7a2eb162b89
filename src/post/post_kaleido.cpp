#include "post/post_kaleido.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "render_target.h"
#include "screen_space.h"
#include "shader_manager.h"
#include "state_manager.h"

const char* const KALEIDO_PLANE_FILES[KALEIDO_PLANE_COUNT] = {
    "plane_cylinder_mirror.bzobj", "plane_hz_mirror.bzobj",       "plane_dual_mirror.bzobj",
    "plane_triple_mirror.bzobj",   "plane_matrix_mirror.bzobj",   "plane_circular_repeat.bzobj",
    "plane_mandala_circle2.bzobj",
};

const std::array<cSliderSpec, 1> KALEIDO_SLIDERS = {{
    {"kaleido2d", offsetof(cKaleidoParams, plane), 0.0f, static_cast<float>(KALEIDO_PLANE_COUNT), true},
}};

void cPostKaleido2d::init()
{
    cMeshManager* meshes = cMeshManager::get_instance();
    for (int32_t i = 0; i < KALEIDO_PLANE_COUNT; ++i) {
        if (planes[i])
            continue;
        // Drawn with whatever texture the effect binds; the vertex arrays
        // are not needed once uploaded.
        planes[i] = meshes->get_mesh(KALEIDO_PLANE_FILES[i], true, true, false);
        if (!planes[i])
            throw std::runtime_error(std::string("cPostKaleido2d: no mesh for ") + KALEIDO_PLANE_FILES[i]);
    }
}

void cPostKaleido2d::apply(cRenderTarget_fbo& source, int32_t index)
{
    if (index < 0 || index > KALEIDO_PLANE_COUNT)
        throw std::out_of_range("cPostKaleido2d: no plane " + std::to_string(index));
    if (!planes[KALEIDO_PLANE_COUNT - 1])
        throw std::logic_error("cPostKaleido2d::apply called before init");
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    cStateManager* state = cStateManager::get_instance();
    shaders->push_shader();
    shaders->unbind();
    state->push();
    state->set_blend(false);
    // The planes are flat: whichever way the caller culls, the fold shows.
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
        // the fold lines through the centre where the plane has them.
        glTranslatef(0.5f, 0.5f, 0);
        glScalef(1.01f, 1.01f, 1.01f);
        glTranslatef(-0.5f, -0.5f, 0);
        // The plane lies in x-z; turned, its z is the screen's up.
        glRotatef(-90, 1, 0, 0);
        planes[index - 1]->draw();
        source.unbind_texture();
        end_screen_space();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    state->pop();
    shaders->pop_shader();
}
