#pragma once
// What the capture writes its frames to. Each output sees, in order, every
// frame of the range: drawn() right after the frame is drawn (the scene
// state still shows that frame), add() once its pixels are back, which is
// one frame later. finish() completes the file and moves it into place; an
// output destroyed unfinished leaves nothing behind.
#include <cstdint>

#include "readback.h"

class iFrameOutput {
public:
    virtual ~iFrameOutput() = default;
    virtual void drawn(int64_t index, int32_t time_ms) { (void)index, (void)time_ms; }
    virtual void add(const cFramePixels& frame) = 0;
    virtual void finish() = 0;
};
