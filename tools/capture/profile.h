#pragma once
// Per-frame timings of a capture: CPU time of the update and of the draw,
// and the GPU time of each active layer through GL timer queries (the
// composition tells the profiler where each layer's render starts and ends;
// a scene shown alone is timed as one layer). Every query object is made by
// the constructor; a frame's results are read once the next frame has been
// drawn, so the wait overlaps work already queued. finish() writes the CSV
// and prints a summary.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gl.h"
#include "output_file.h"
#include "scenes/composition.h"

class cProfiler : public iLayerObserver {
public:
    static constexpr int MAX_LAYERS = 64;  // layers timed per frame; more are left untimed

    explicit cProfiler(const std::string& path, int64_t frames);
    ~cProfiler() override;
    cProfiler(const cProfiler&) = delete;
    cProfiler& operator=(const cProfiler&) = delete;

    void layer_begin(const cSceneLayer& layer) override;
    void layer_end(const cSceneLayer& layer) override;
    // Ends a frame's record; the GPU times of the frame before are read now.
    void frame_done(int64_t index, int32_t time_ms, double update_ms, double draw_ms);
    // Reads the last GPU times, writes the file, prints the summary.
    void finish();

private:
    struct cLayerTime {
        int scene;          // index into `names`
        int32_t start;      // the layer's window (ms)
        int32_t end;
        double gpu_ms;      // GPU time of its render; -1 without timer queries
    };
    struct cFrameTimes {
        int64_t index;      // frame within the range
        int32_t time_ms;    // demo time
        double update_ms;   // CPU
        double draw_ms;     // CPU
        size_t first_layer; // into `layer_times`
        size_t layer_count;
    };

    void collect(int set);
    double gpu_ms(const cFrameTimes& frame) const;
    void write_csv();
    void print_summary();

    cOutputFile file;                     // the CSV
    bool have_timer = false;              // the driver has timer queries
    GLuint queries[2][MAX_LAYERS] = {};   // per frame set, one per layer
    static constexpr size_t NONE = SIZE_MAX;
    int used[2] = {0, 0};                 // layers begun with each set
    size_t pending[2] = {NONE, NONE};     // frame (into `frames`) whose results a set holds
    int set = 0;                          // set the frame being drawn uses
    std::vector<cLayerTime> layer_times;  // every frame's layers, in frame order
    std::vector<cFrameTimes> frames;      // one per frame done
    std::vector<std::string> names;       // scene names, by first appearance
    std::map<const cScene*, int> scene_index;  // scene -> index into names
};
