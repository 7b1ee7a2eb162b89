#include "profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "options.h"

cProfiler::cProfiler(const std::string& path, int64_t frame_count, int32_t width, int32_t height)
    : file(path), screen_pixels(int64_t(width) * height), counters(2 * STRETCHES)
{
    frames.reserve(static_cast<size_t>(frame_count));
    layers.reserve(static_cast<size_t>(frame_count) * 4);
}

void cProfiler::open(int layer)
{
    if (used[set] == STRETCHES)
        return;  // the rest of the frame is not counted
    stretch_layer[set][used[set]] = layer;
    counters.begin(set * STRETCHES + used[set]);
    is_open = true;
}

void cProfiler::close()
{
    if (!is_open)
        return;
    counters.end(set * STRETCHES + used[set]);
    ++used[set];
    is_open = false;
}

void cProfiler::frame_begin()
{
    open(-1);
}

void cProfiler::layer_begin(const cSceneLayer& layer)
{
    auto [it, added] = scene_index.try_emplace(layer.scene, static_cast<int>(names.size()));
    if (added)
        names.push_back(layer.scene->get_name());
    close();
    // The layer's stretch and the one after it must fit; past MAX_LAYERS a
    // layer's work counts with the compositing.
    const bool counted = used[set] + 2 <= STRETCHES;
    layers.push_back({it->second, layer.start, layer.end, cWork{}});
    open(counted ? static_cast<int>(layers.size() - 1) : -1);
}

void cProfiler::layer_end(const cSceneLayer&)
{
    close();
    open(-1);
}

void cProfiler::frame_done(int64_t index, int32_t time_ms, double update_ms, double draw_ms)
{
    close();
    const size_t first = frames.empty() ? 0 : frames.back().first_layer + frames.back().layer_count;
    frames.push_back({index, time_ms, update_ms, draw_ms, first, layers.size() - first, cWork{}});
    pending[set] = frames.size() - 1;
    set = 1 - set;
    collect(set);  // the frame before, drawn with the other set
}

void cProfiler::collect(int s)
{
    if (pending[s] != NONE) {
        cFrameWork& f = frames[pending[s]];
        f.work.gpu_ms = 0;
        for (int i = 0; i < used[s]; ++i) {
            const cWork w = counters.read(s * STRETCHES + i);
            f.work.add(w);
            if (stretch_layer[s][i] >= 0)
                layers[static_cast<size_t>(stretch_layer[s][i])].work = w;
        }
    }
    pending[s] = NONE;
    used[s] = 0;
}

void cProfiler::finish()
{
    collect(1 - set);
    write_csv();
    print_summary();
}

namespace {

void print_sizes(FILE* f, const cWork& w)
{
    for (int i = 0; i < w.size_count; ++i)
        std::fprintf(f, "%s%ux%u*%lld", i ? " " : "", w.sizes[i].width, w.sizes[i].height,
                     static_cast<long long>(w.sizes[i].count));
}

}  // namespace

void cProfiler::write_csv()
{
    FILE* f = std::fopen(file.temp.c_str(), "w");
    if (!f)
        throw cCaptureError("cannot write " + file.path + ": " + std::strerror(errno));
    std::fprintf(f, "frame,time_ms,update_ms,draw_ms,gpu_ms,pixels,draw_calls,primitives,passes,pass_sizes,layers\n");
    for (const cFrameWork& frame : frames) {
        const cWork& w = frame.work;
        std::fprintf(f, "%lld,%d,%.3f,%.3f,%.3f,%lld,%lld,%lld,%lld,", static_cast<long long>(frame.index),
                     frame.time_ms, frame.update_ms, frame.draw_ms, w.gpu_ms, static_cast<long long>(w.pixels),
                     static_cast<long long>(w.draw_calls), static_cast<long long>(w.primitives),
                     static_cast<long long>(w.passes));
        print_sizes(f, w);
        std::fprintf(f, ",\"");
        for (size_t i = 0; i < frame.layer_count; ++i) {
            const cLayerWork& l = layers[frame.first_layer + i];
            std::fprintf(f, "%s%s=%.3f/%lld/%lld", i ? ";" : "", names[l.scene].c_str(), l.work.gpu_ms,
                         static_cast<long long>(l.work.pixels), static_cast<long long>(l.work.draw_calls));
        }
        std::fprintf(f, "\"\n");
    }
    if (std::fclose(f) != 0)
        throw cCaptureError("cannot write " + file.path + ": " + std::strerror(errno));
    file.commit();
}

void cProfiler::print_summary()
{
    if (frames.empty())
        return;
    std::vector<double> cpu, fill;
    for (const cFrameWork& f : frames) {
        cpu.push_back(f.update_ms + f.draw_ms);
        fill.push_back(double(f.work.pixels) / double(screen_pixels));
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const auto percentile99 = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[(v.size() - 1) * 99 / 100];
    };
    const size_t worst = size_t(std::max_element(cpu.begin(), cpu.end()) - cpu.begin());
    std::printf("profile: %zu frames, update + draw (CPU) per frame: median %.2f ms, "
                "99th percentile %.2f ms, worst %.2f ms (frame %lld at %d ms)\n",
                frames.size(), median(cpu), percentile99(cpu), cpu[worst],
                static_cast<long long>(frames[worst].index), frames[worst].time_ms);
    double mean = 0;
    for (double x : fill)
        mean += x / double(fill.size());
    const size_t peak = size_t(std::max_element(fill.begin(), fill.end()) - fill.begin());
    std::printf("profile: pixels written per frame: mean %.1f, median %.1f, peak %.1f times the screen "
                "(frame %lld at %d ms)\n",
                mean, median(fill), fill[peak], static_cast<long long>(frames[peak].index), frames[peak].time_ms);
    if (!counters.has_timer) {
        std::printf("profile: the driver has no timer queries: no GPU times\n");
        return;
    }
    const auto slowest = std::max_element(layers.begin(), layers.end(), [](const cLayerWork& a, const cLayerWork& b) {
        return a.work.gpu_ms < b.work.gpu_ms;
    });
    if (slowest == layers.end())
        return;
    const size_t at = size_t(slowest - layers.begin());
    const auto frame = std::find_if(frames.begin(), frames.end(), [at](const cFrameWork& f) {
        return at >= f.first_layer && at < f.first_layer + f.layer_count;
    });
    std::printf("profile: worst layer: %s, %.2f ms GPU at %d ms (layer active %d to %d ms)\n",
                names[slowest->scene].c_str(), slowest->work.gpu_ms, frame->time_ms, slowest->start, slowest->end);
}
