#pragma once
// The one demo object. SDL's entry constructs it, calls init once and hands
// it to the frame loop; it is never destroyed (the process ends in exit()).
// A second demo object is a programming error and throws.
#include <cstdint>
#include <string>

class cDemo {
public:
    cDemo();
    virtual ~cDemo() = default;
    cDemo(const cDemo&) = delete;
    cDemo& operator=(const cDemo&) = delete;

    virtual void init() = 0;

    bool vsync_on = true;       // swap interval currently 1
    int32_t last_frame_ms = 0;  // frame duration (ms) measured in the previous frame

    static inline int instances = 0;  // demo objects constructed in this process
};

class cQuorvane : public cDemo {
public:
    cQuorvane();
    // Scene manager, music, marker script, scenes, loading phase, MIDI and
    // beat events, in that order.
    void init() override;

    static inline bool constructed = false;
};
