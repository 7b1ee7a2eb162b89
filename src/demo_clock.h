#pragma once
// Millisecond clock on the high-resolution performance counter. The scene
// manager owns the demo clock; the frame loop keeps a frame clock of its own.
// Values are counted from the first counter sample taken by the process, so
// they stay in 32 bits however long the machine has been up. A clock given a
// time source reads that instead (an offline renderer steps the demo time
// frame by frame); the source belongs to whoever set it.
#include <cstdint>

class iTimeSource {
public:
    virtual ~iTimeSource() = default;
    // The time (ms) a clock ticking now reads.
    virtual int32_t now_ms() = 0;
};

class cDemoClock {
public:
    int32_t start = 0;       // counter time (ms) that counts as demo time 0
    int32_t now = 0;         // counter time (ms) at the last tick
    int32_t prev = 0;        // counter time (ms) at the tick before
    bool paused = false;     // while true, tick() leaves the clock unchanged
    int32_t paused_ms = 0;   // subtracted from the demo time
    uint64_t counter = 0;    // last counter sample, relative to the first
    uint64_t frequency = 0;  // counter ticks per second
    iTimeSource* source = nullptr;  // read by tick() instead of the counter when set; not owned

    void tick();
    // tick() with a given sample; the arithmetic of tick(), testable.
    void tick_at(uint64_t counter_sample, uint64_t counter_frequency);
    int32_t elapsed() const { return now - paused_ms - start; }
    int32_t frame_delta() const { return paused ? 0 : now - prev; }
};
