#pragma once
// The progress line on standard error: frames done of the total, frames per
// second so far and the time left, redrawn in place a few times a second.
#include <cstdint>

class cProgress {
public:
    explicit cProgress(int64_t total_);
    // `done` frames are drawn.
    void update(int64_t done);
    // The final line and its newline.
    void done();

private:
    void print(int64_t done);

    int64_t total;             // frames to draw
    int64_t printed = -1;      // frames shown by the last print
    uint64_t start_ticks;      // SDL performance counter at construction
    uint64_t last_print = 0;   // counter at the last print
};
