#pragma once
// The studio: the show in a resizable window, with transport, solo, hold,
// the tweak list, the timeline printout and shader reload. It runs the
// show's own start-up and frame (start_program, cQuorvane, draw_frame) and
// adds its keys and overlay around them. Everything it makes lives until
// the program ends through exit(), as the show does.
#include <cstdint>

struct cStudioOptions {
    int32_t at_ms = 0;       // --at: where playing starts (ms)
    int32_t loop_a = 0;      // --loop A B: range played again and again (ms)
    int32_t loop_b = 0;      // loop_b <= loop_a: no loop
    int32_t width = 1280;    // --size: window size in pixels
    int32_t height = 720;
    bool help = false;       // --help: print the usage and stop
    bool version = false;    // --version: print the version and stop
};

// Opens the window and plays; never returns.
[[noreturn]] void run_studio(const cStudioOptions& options);
