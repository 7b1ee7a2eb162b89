#include "profile.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "extensions.h"
#include "options.h"

cProfiler::cProfiler(const std::string& path, int64_t frame_count) : file(path)
{
    have_timer = has_extension("GL_ARB_timer_query") && glGenQueries && glBeginQuery && glGetQueryObjectui64v;
    if (have_timer)
        glGenQueries(2 * MAX_LAYERS, &queries[0][0]);
    frames.reserve(static_cast<size_t>(frame_count));
    layer_times.reserve(static_cast<size_t>(frame_count) * 4);
}

cProfiler::~cProfiler()
{
    if (have_timer)
        glDeleteQueries(2 * MAX_LAYERS, &queries[0][0]);
}

void cProfiler::layer_begin(const cSceneLayer& layer)
{
    auto [it, added] = scene_index.try_emplace(layer.scene, static_cast<int>(names.size()));
    if (added)
        names.push_back(layer.scene->get_name());
    layer_times.push_back({it->second, layer.start, layer.end, -1.0});
    if (have_timer && used[set] < MAX_LAYERS)
        glBeginQuery(GL_TIME_ELAPSED, queries[set][used[set]]);
}

void cProfiler::layer_end(const cSceneLayer&)
{
    if (have_timer && used[set] < MAX_LAYERS)
        glEndQuery(GL_TIME_ELAPSED);
    ++used[set];
}

void cProfiler::frame_done(int64_t index, int32_t time_ms, double update_ms, double draw_ms)
{
    const size_t count = static_cast<size_t>(used[set]);
    frames.push_back({index, time_ms, update_ms, draw_ms, layer_times.size() - count, count});
    pending[set] = frames.size() - 1;
    set = 1 - set;
    collect(set);  // the frame before, drawn with the other set
}

void cProfiler::collect(int s)
{
    if (pending[s] == NONE)
        return;
    const cFrameTimes& f = frames[pending[s]];
    for (size_t i = 0; have_timer && i < f.layer_count && i < MAX_LAYERS; ++i) {
        GLuint64 ns = 0;
        glGetQueryObjectui64v(queries[s][i], GL_QUERY_RESULT, &ns);
        layer_times[f.first_layer + i].gpu_ms = static_cast<double>(ns) / 1e6;
    }
    pending[s] = NONE;
    used[s] = 0;
}

double cProfiler::gpu_ms(const cFrameTimes& f) const
{
    double sum = 0;
    for (size_t i = 0; i < f.layer_count; ++i)
        sum += std::max(0.0, layer_times[f.first_layer + i].gpu_ms);
    return sum;
}

void cProfiler::finish()
{
    collect(1 - set);
    write_csv();
    print_summary();
}

void cProfiler::write_csv()
{
    FILE* f = std::fopen(file.temp.c_str(), "w");
    if (!f)
        throw cCaptureError("cannot write " + file.path);
    std::fprintf(f, "frame,time_ms,update_ms,draw_ms,gpu_ms,layers\n");
    for (const cFrameTimes& frame : frames) {
        std::fprintf(f, "%lld,%d,%.3f,%.3f,%.3f,\"", static_cast<long long>(frame.index), frame.time_ms,
                     frame.update_ms, frame.draw_ms, gpu_ms(frame));
        for (size_t i = 0; i < frame.layer_count; ++i) {
            const cLayerTime& l = layer_times[frame.first_layer + i];
            std::fprintf(f, "%s%s=%.3f", i ? ";" : "", names[l.scene].c_str(), l.gpu_ms);
        }
        std::fprintf(f, "\"\n");
    }
    const bool written = std::fclose(f) == 0;
    if (!written)
        throw cCaptureError("cannot write " + file.path);
    file.commit();
}

void cProfiler::print_summary()
{
    if (frames.empty())
        return;
    std::vector<double> totals;
    totals.reserve(frames.size());
    for (const cFrameTimes& f : frames)
        totals.push_back(f.update_ms + f.draw_ms);
    std::vector<double> sorted = totals;
    std::sort(sorted.begin(), sorted.end());
    const size_t worst = static_cast<size_t>(std::max_element(totals.begin(), totals.end()) - totals.begin());
    std::printf("profile: %zu frames, update + draw (CPU) per frame: median %.2f ms, "
                "99th percentile %.2f ms, worst %.2f ms (frame %lld at %d ms)\n",
                frames.size(), sorted[sorted.size() / 2], sorted[(sorted.size() - 1) * 99 / 100], totals[worst],
                static_cast<long long>(frames[worst].index), frames[worst].time_ms);
    if (!have_timer) {
        std::printf("profile: the driver has no timer queries: no GPU times\n");
        return;
    }
    const auto slowest = std::max_element(layer_times.begin(), layer_times.end(),
                                          [](const cLayerTime& a, const cLayerTime& b) { return a.gpu_ms < b.gpu_ms; });
    if (slowest == layer_times.end())
        return;
    const size_t at = static_cast<size_t>(slowest - layer_times.begin());
    const auto frame = std::find_if(frames.begin(), frames.end(), [at](const cFrameTimes& f) {
        return at >= f.first_layer && at < f.first_layer + f.layer_count;
    });
    std::printf("profile: worst layer: %s, %.2f ms GPU at %d ms (layer active %d to %d ms)\n",
                names[slowest->scene].c_str(), slowest->gpu_ms, frame->time_ms, slowest->start, slowest->end);
}
