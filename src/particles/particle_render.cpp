#include "particles/particle_render.h"

#include <algorithm>
#include <vector>

#include "gl.h"
#include "particles/particle_system.h"
#include "shader_manager.h"
#include "shaders/shd_surface.h"
#include "state_manager.h"

namespace {

GLvoid* byte_offset(size_t bytes) { return reinterpret_cast<GLvoid*>(bytes); }

// Each attribute reads 12 bytes per vertex from its own start, so the last
// vertex's position ends 36 bytes past capacity records; the spare record
// keeps every read of a full pool inside the buffer.
GLsizeiptrARB centre_bytes(int capacity)
{
    return static_cast<GLsizeiptrARB>(capacity + 1) * cPSRenderBillboards::CENTRE_STRIDE;
}

void set_texcoord_pointer(int unit, GLint size, size_t offset)
{
    glClientActiveTexture(GL_TEXTURE0 + unit);
    glTexCoordPointer(size, GL_FLOAT, 0, byte_offset(offset));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void disable_texcoords(int unit)
{
    glClientActiveTexture(GL_TEXTURE0 + unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

cPSRenderBillboards::~cPSRenderBillboards()
{
    if (mapped) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, centre_buffer);
        glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
    const GLuint names[3] = {corner_buffer, centre_buffer, index_buffer};
    if (corner_buffer || centre_buffer || index_buffer)
        glDeleteBuffersARB(3, names);
}

void cPSRenderBillboards::init(int capacity_)
{
    capacity = capacity_;
    glGenBuffersARB(1, &centre_buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, centre_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, centre_bytes(capacity), nullptr, GL_DYNAMIC_DRAW_ARB);

    std::vector<float> corners(static_cast<size_t>(capacity) * 4);
    for (size_t v = 0; v < corners.size(); ++v)
        corners[v] = static_cast<float>(v & 3);
    glGenBuffersARB(1, &corner_buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, corner_buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, corners.size() * sizeof(float), corners.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    std::vector<uint32_t> indices(static_cast<size_t>(capacity) * 6);
    for (uint32_t k = 0; k < static_cast<uint32_t>(capacity); ++k) {
        const uint32_t v = 4 * k;
        const uint32_t quad[6] = {v, v + 1, v + 2, v + 1, v + 3, v + 2};
        std::copy(quad, quad + 6, indices.begin() + 6 * k);
    }
    glGenBuffersARB(1, &index_buffer);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, index_buffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indices.size() * sizeof(uint32_t), indices.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);

    cShaderManager_GLSL::get_instance()->register_shader<cShdParticleExpansion>("pexpshader");
}

void cPSRenderBillboards::render(cParticleSystem& ps, const std::string& shader)
{
    if (mapped) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, centre_buffer);
        glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        drawn_time = pending_time;
        draw_count = pending_count;
        pending_count = -1;
        mapped = false;
    }
    draw(shader);
    if (drawn_time != ps.last_time)
        fill(ps);
}

void cPSRenderBillboards::fill(const cParticleSystem& ps)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, centre_buffer);
    auto* base = static_cast<uint8_t*>(glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB));
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    if (!base)
        return;  // nothing mapped: the old data stays on screen and the next frame tries again
    int n = 0;
    for (int i = 0; i < ps.capacity; ++i) {
        if (!ps.alive[i])
            continue;
        auto* centre = reinterpret_cast<float*>(base + CENTRE_STRIDE * n + CENTRE_OFFSET);
        centre[0] = ps.positions[i].x;
        centre[1] = ps.positions[i].y;
        centre[2] = ps.positions[i].z;
        ++n;
    }
    pending_count = n;
    mapped = true;
    pending_time = ps.now;
}

void cPSRenderBillboards::draw(const std::string& shader)
{
    cShaderManager_GLSL* shaders = cShaderManager_GLSL::get_instance();
    shaders->push_shader();
    if (shader.empty()) {
        shaders->set_shader_parameter("pexpshader", 1, &size_var);
        shaders->set_shader_parameter("pexpshader", 2, &intensity_var);
        shaders->bind("pexpshader");
    } else {
        shaders->bind(shader);
    }
    cStateManager* state = cStateManager::get_instance();
    state->push();
    state->set_alpha_test(false);
    state->apply();
    if (draw_count > 0) {
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, centre_buffer);
        glVertexPointer(3, GL_FLOAT, 0, byte_offset(36));
        glEnableClientState(GL_VERTEX_ARRAY);
        set_texcoord_pointer(0, 3, 24);
        set_texcoord_pointer(1, 3, 12);
        set_texcoord_pointer(2, 3, 0);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, corner_buffer);
        set_texcoord_pointer(3, 1, 0);
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, index_buffer);
        glDrawElements(GL_TRIANGLES, draw_count * 6, GL_UNSIGNED_INT, byte_offset(0));
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        for (int unit = 3; unit >= 0; --unit)
            disable_texcoords(unit);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    state->pop();
    shaders->pop_shader();
}
