#include "particles/scrub_vbo.h"

#include <algorithm>
#include <iostream>

#include "gl.h"
#include "gl_error.h"
#include "log.h"

namespace {

constexpr uint32_t INDICES_PER_VERTEX = 6;  // tubes need fewer than six indices per vertex
constexpr GLsizei VERTEX_BYTES = 6 * sizeof(float);

GLvoid* byte_offset(size_t bytes) { return reinterpret_cast<GLvoid*>(bytes); }

void allocate(GLenum target, GLuint name, size_t bytes)
{
    glBindBufferARB(target, name);
    glBufferDataARB(target, static_cast<GLsizeiptrARB>(bytes), nullptr, GL_STATIC_DRAW_ARB);
    glBindBufferARB(target, 0);
}

}  // namespace

cScrubMultiVBO::cRenderBlock::cRenderBlock(cScrubMultiVBO* owner) : pool(owner), buffer(owner->take_buffer()) {}

cScrubMultiVBO::cScrubMultiVBO(uint32_t buffer_vertices_, int initial_buffers) : buffer_vertices(buffer_vertices_)
{
    add_buffers(initial_buffers);
}

void cScrubMultiVBO::add_buffers(int count)
{
    for (int i = 0; i < count; ++i)
        free_buffers.push_back(create_buffer());
}

cScrubMultiVBO::~cScrubMultiVBO()
{
    for (cBuffer& b : buffers) {
        glDeleteBuffersARB(1, &b.vertex_buffer);
        glDeleteBuffersARB(1, &b.index_buffer);
    }
}

int32_t cScrubMultiVBO::create_buffer()
{
    cBuffer b{0, 0, buffer_vertices, buffer_vertices * INDICES_PER_VERTEX};
    glGenBuffersARB(1, &b.vertex_buffer);
    glGenBuffersARB(1, &b.index_buffer);
    allocate(GL_ARRAY_BUFFER_ARB, b.vertex_buffer, size_t(b.vertex_capacity) * VERTEX_BYTES);
    allocate(GL_ELEMENT_ARRAY_BUFFER_ARB, b.index_buffer, size_t(b.index_capacity) * sizeof(uint32_t));
    buffers.push_back(b);
    return static_cast<int32_t>(buffers.size() - 1);
}

int32_t cScrubMultiVBO::take_buffer()
{
    if (free_buffers.empty()) {
        std::cout << "cScrubMultiVBO::cRenderBlock::cRenderBlock: Warning insufficient memory - reallocation occured"
                  << std::endl;
        return create_buffer();
    }
    const int32_t b = free_buffers.back();
    free_buffers.pop_back();
    return b;
}

void cScrubMultiVBO::endRenderBlock()
{
    const bool whole = fill.indices.empty() ? fill.vertex_count() % 3 == 0 : fill.indices.size() % 3 == 0;
    if (!whole) {
        log_error_at("## ERROR in ", __FILE__, " ", ": half finsished triangle");
    } else if (!fill.empty()) {
        blocks.emplace_back(this);
        upload(blocks.back());
    }
    fill.reset();
}

void cScrubMultiVBO::upload(cRenderBlock& block)
{
    cBuffer& b = buffers[block.buffer];
    block.z_min = fill.z_min;
    block.z_max = fill.z_max;
    block.vertex_count = fill.vertex_count();
    block.index_count = static_cast<uint32_t>(fill.indices.size());
    if (block.vertex_count > b.vertex_capacity || block.index_count > b.index_capacity) {
        std::cerr << "cScrubMultiVBO::endRenderBlock: Warning insufficient memory - reallocation occured" << std::endl;
        b.vertex_capacity = std::max(b.vertex_capacity, block.vertex_count);
        b.index_capacity = std::max(b.index_capacity, block.index_count);
        allocate(GL_ARRAY_BUFFER_ARB, b.vertex_buffer, size_t(b.vertex_capacity) * VERTEX_BYTES);
        allocate(GL_ELEMENT_ARRAY_BUFFER_ARB, b.index_buffer, size_t(b.index_capacity) * sizeof(uint32_t));
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, b.vertex_buffer);
    glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, fill.vertices.size() * sizeof(float), fill.vertices.data());
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    if (block.index_count > 0) {
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, b.index_buffer);
        glBufferSubDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0, fill.indices.size() * sizeof(uint32_t),
                           fill.indices.data());
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }
}

void cScrubMultiVBO::drop(float tail)
{
    while (!blocks.empty() && blocks.front().z_max < tail) {
        free_buffers.push_back(blocks.front().buffer);
        blocks.pop_front();
    }
}

void cScrubMultiVBO::draw() const
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (const cRenderBlock& block : blocks) {
        const cBuffer& b = buffers[block.buffer];
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, b.vertex_buffer);
        glVertexPointer(3, GL_FLOAT, VERTEX_BYTES, byte_offset(0));
        glNormalPointer(GL_FLOAT, VERTEX_BYTES, byte_offset(3 * sizeof(float)));
        if (block.index_count > 0) {
            glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, b.index_buffer);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(block.index_count), GL_UNSIGNED_INT, byte_offset(0));
        } else {
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(block.vertex_count));
        }
    }
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
