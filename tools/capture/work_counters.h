#pragma once
// The work a stretch of drawing hands the GPU, counted alike on every
// driver: pixels written (samples that pass the depth test, through
// GL_SAMPLES_PASSED occlusion queries), primitives (GL_PRIMITIVES_GENERATED),
// the draw calls the program issues (its glBegin, glDrawArrays and
// glDrawElements, wrapped at link time by whatever links this library),
// render-target passes with their sizes (every bind of a target), and the
// GPU time where the driver has timer queries. cWorkCounters makes its query
// objects in the constructor and owns them until it is destroyed; only one
// counts at a time. Nothing is counted while no slot is open, and a program
// that does not link this library has no wrapper at all.
#include <array>
#include <cstdint>
#include <vector>

#include "gl.h"

struct cPassSize {
    uint32_t width;   // pixels
    uint32_t height;  // pixels
    int64_t count;    // passes of this size
};

struct cWork {
    static constexpr int SIZES = 8;  // distinct pass sizes kept; further sizes count in `passes` only

    int64_t pixels = 0;      // samples that passed
    int64_t primitives = 0;  // -1: the driver cannot count them
    int64_t draw_calls = 0;
    int64_t passes = 0;
    double gpu_ms = -1;      // -1: the driver has no timer queries
    std::array<cPassSize, SIZES> sizes{};
    int size_count = 0;

    void add_pass(uint32_t width, uint32_t height, int64_t count = 1);
    void add(const cWork& other);

private:
    void note_size(uint32_t width, uint32_t height, int64_t count);
};

class cWorkCounters {
public:
    explicit cWorkCounters(int slots);
    ~cWorkCounters();
    cWorkCounters(const cWorkCounters&) = delete;
    cWorkCounters& operator=(const cWorkCounters&) = delete;

    // Starts counting into a slot; one slot is open at a time.
    void begin(int slot);
    void end(int slot);
    // The slot's work, waiting for the GPU where its queries are not done.
    cWork read(int slot);

    bool has_primitives = false;  // the driver counts primitives
    bool has_timer = false;       // the driver has timer queries

private:
    struct cSlot {
        GLuint samples = 0;
        GLuint primitives = 0;
        GLuint time = 0;
        cWork work;  // the counts made on the CPU
    };
    std::vector<cSlot> slots;
};
