#pragma once
// GL side of the growing scrub: a pool of vertex/index buffer pairs of one
// capacity, created up front at load time, and the ordered list of render
// blocks that use them. A block is closed from the scrub's fill, lives until
// its largest z falls behind the tail, and then hands its buffers back to
// the pool for the next block. Buffers are deleted with the pool.
//
// Vertex layout: position xyz then normal xyz, 24 bytes per vertex; 32-bit
// triangle indices.
#include <cstdint>
#include <deque>
#include <vector>

#include "particles/scrub.h"

class cScrubMultiVBO : public iScrubBlockStore {
public:
    struct cBuffer {
        uint32_t vertex_buffer;    // GL array buffer
        uint32_t index_buffer;     // GL element array buffer
        uint32_t vertex_capacity;  // vertices the array buffer holds
        uint32_t index_capacity;   // indices the element buffer holds
    };

    struct cRenderBlock {
        // Takes a free buffer from the pool, or creates one when none is left.
        explicit cRenderBlock(cScrubMultiVBO* owner);

        float z_min = 1e12f;        // smallest z of the block's geometry
        float z_max = -1e12f;       // largest z of the block's geometry
        uint32_t vertex_count = 0;  // vertices uploaded
        cScrubMultiVBO* pool;       // pool the buffer belongs to
        int32_t buffer;             // index into pool->buffers
        uint32_t index_count = 0;   // indices uploaded, 0 = draw the vertices as triangles
    };

    // `buffer_vertices` per buffer, `initial_buffers` created now.
    cScrubMultiVBO(uint32_t buffer_vertices = 4096, int initial_buffers = 48);
    // Adds `count` free buffers to the pool (an owner that is built before
    // GL is ready creates none at first and adds them when it loads).
    void add_buffers(int count);
    ~cScrubMultiVBO() override;
    cScrubMultiVBO(const cScrubMultiVBO&) = delete;
    cScrubMultiVBO& operator=(const cScrubMultiVBO&) = delete;

    // Uploads the fill into a pooled buffer and appends it as a block; an
    // empty fill makes no block. Clears the fill either way.
    void endRenderBlock() override;
    void drop(float tail) override;
    // Draws every block in list order with vertex and normal arrays; the
    // caller sets matrices, material and state.
    void draw() const;

    uint32_t buffer_vertices;          // capacity of a new buffer, vertices
    std::vector<cBuffer> buffers;      // every buffer of the pool
    std::vector<int32_t> free_buffers; // indices of buffers no block uses
    std::deque<cRenderBlock> blocks;   // in z order of creation

private:
    int32_t create_buffer();
    int32_t take_buffer();
    void upload(cRenderBlock& block);
};
