#pragma once
// The progress line on standard error: frames done of the total, frames per
// second so far and the time left, redrawn in place a few times a second
// when standard error is a terminal; a closing line with the rate either way.
#include <cstdint>

class cProgress {
public:
    explicit cProgress(int64_t total_);
    // `done` frames are drawn.
    void update(int64_t done);
    // Ends the line; says how many frames were drawn, how fast.
    void done(int64_t done);

private:
    void print(int64_t done);
    double elapsed_s() const;

    int64_t total;             // frames to draw
    bool live;                 // standard error is a terminal
    int64_t printed = -1;      // frames shown by the last print
    uint64_t start_ticks;      // SDL performance counter at construction
    uint64_t last_print = 0;   // counter at the last print
};
