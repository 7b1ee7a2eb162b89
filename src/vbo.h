#pragma once
// Streaming point buffer: one GL array buffer of `capacity` xyz points,
// refilled `batch` points at a time by its embedded attractor calculator and
// drawn as a point cloud. The owning scene creates it at load time (after
// the GL extensions are resolved), updates and draws it once per frame and
// destroys it with itself. The buffer is mapped only inside update().
#include <cstdint>

#include "particles/attractor.h"

class cVBO {
public:
    cVBO();
    ~cVBO();
    cVBO(const cVBO&) = delete;
    cVBO& operator=(const cVBO&) = delete;

    // Writes the next batch after the previous one; when it would not fit,
    // restarts the orbit and writes at the front. A failed unmap (contents
    // lost) is reported as "cVBO::unmap" and the update counts as done.
    void update();
    // Draws all `capacity` points, including any not yet written since the
    // last restart. The caller applies its pending GL state beforehand.
    void draw() const;

    uint32_t capacity = 100000;                 // points in the buffer
    uint32_t batch = 20000;                     // points written per update
    int32_t components = 3;                     // floats per point (xyz)
    uint32_t buffer = 0;                        // GL buffer name, 0 = none
    uint32_t usage;                             // GL usage hint (dynamic draw)
    cAttractorCalculator_pickover calculator;   // the point generator and its orbit
    uint32_t write_offset = 0;                  // point index of the next write
    float params[4] = {0, 0, 0, 0};             // a, b, c, d of the calculator
};
