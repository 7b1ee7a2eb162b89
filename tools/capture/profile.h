#pragma once
// Per-frame timings and work of a capture: CPU time of the update and of the
// draw, and for the frame and each active layer the GPU time, pixels
// written, primitives, draw calls and render-target passes (the composition
// tells the profiler where each layer's render starts and ends; a scene
// shown alone is one layer). A frame is counted in stretches: each layer's
// render, and the compositing between them. Every query object is made by
// the constructor; a frame's results are read once the next frame has been
// drawn, so the wait overlaps work already queued. finish() writes the CSV
// and prints a summary.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "output_file.h"
#include "scenes/composition.h"
#include "work_counters.h"

class cProfiler : public iLayerObserver {
public:
    static constexpr int MAX_LAYERS = 64;  // layers counted per frame; more count with the compositing
    static constexpr int STRETCHES = 2 * MAX_LAYERS + 1;  // per frame: the layers and what lies between

    cProfiler(const std::string& path, int64_t frames, int32_t width, int32_t height);
    cProfiler(const cProfiler&) = delete;
    cProfiler& operator=(const cProfiler&) = delete;

    void layer_begin(const cSceneLayer& layer) override;
    void layer_end(const cSceneLayer& layer) override;
    // Starts a frame's record, right before it is drawn.
    void frame_begin();
    // Ends a frame's record; the GPU results of the frame before are read now.
    void frame_done(int64_t index, int32_t time_ms, double update_ms, double draw_ms);
    // Reads the last results, writes the file, prints the summary.
    void finish();

private:
    struct cLayerWork {
        int scene;          // index into `names`
        int32_t start;      // the layer's window (ms)
        int32_t end;
        cWork work;
    };
    struct cFrameWork {
        int64_t index;      // frame within the range
        int32_t time_ms;    // demo time
        double update_ms;   // CPU
        double draw_ms;     // CPU
        size_t first_layer; // into `layers`
        size_t layer_count;
        cWork work;         // the whole frame
    };

    void open(int layer);  // layer: into `layers`, or -1 for compositing
    void close();
    void collect(int set);
    void write_csv();
    void print_summary();

    cOutputFile file;                     // the CSV
    int64_t screen_pixels;                // of the frame
    cWorkCounters counters;               // two sets of STRETCHES slots
    static constexpr size_t NONE = SIZE_MAX;
    int used[2] = {0, 0};                 // stretches opened with each set
    int stretch_layer[2][STRETCHES] = {}; // what each stretch counted (into `layers`, or -1)
    size_t pending[2] = {NONE, NONE};     // frame (into `frames`) whose results a set holds
    int set = 0;                          // set the frame being drawn uses
    bool is_open = false;                 // a stretch is being counted
    std::vector<cLayerWork> layers;       // every frame's layers, in frame order
    std::vector<cFrameWork> frames;       // one per frame done
    std::vector<std::string> names;       // scene names, by first appearance
    std::map<const cScene*, int> scene_index;  // scene -> index into names
};
