#pragma once
// What the capture writes its frames to. Each output sees, in order, every
// frame of the range: drawn() right after the frame is drawn (the scene
// state still shows that frame), and, when some output wants its pixels,
// add() once they are back, which is one frame later. finish() completes the file and moves it into place; an
// output destroyed unfinished leaves nothing behind.
#include <cstdint>

#include "readback.h"

class iFrameOutput {
public:
    virtual ~iFrameOutput() = default;
    // True when the output needs the frame's pixels.
    virtual bool drawn(int64_t index, int32_t time_ms) { return (void)index, (void)time_ms, true; }
    virtual void add(const cFramePixels& frame) = 0;
    virtual void finish() = 0;
};
