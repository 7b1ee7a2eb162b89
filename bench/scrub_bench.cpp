// Cost of one scrub frame at the scene's defaults (speed 3.5 at 60 frames
// per second, 14 units ahead, curved tubes), without the GL upload.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "particles/scrub.h"

namespace {

class cCountingStore : public iScrubBlockStore {
public:
    void endRenderBlock() override
    {
        vertices += fill.vertex_count();
        fill.reset();
    }
    void drop(float) override {}
    uint64_t vertices = 0;
};

}  // namespace

static void BM_ScrubFrame(benchmark::State& state)
{
    cCountingStore store;
    cScrub scrub(store);
    scrub.params.use_spline = state.range(0) != 0;
    float front = 10.0f;
    scrub.update(10.0f, 24.0f);
    scrub.update(10.0f, 24.0f);
    for (int i = 0; i < 600; ++i) {  // ten seconds to reach the steady state
        front += 3.5f / 60.0f;
        scrub.update(front, front + 14.0f);
    }
    store.vertices = 0;
    // The average hides the frames that grow a new slab; the worst one is
    // what a viewer would see as a hitch.
    double worst_ms = 0.0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        front += 3.5f / 60.0f;
        scrub.update(front, front + 14.0f);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
        worst_ms = std::max(worst_ms, took.count());
    }
    state.counters["worst_frame_ms"] = worst_ms;
    state.counters["nodes"] = static_cast<double>(scrub.nodes.size());
    state.counters["verts/frame"] = static_cast<double>(store.vertices) / state.iterations();
}
BENCHMARK(BM_ScrubFrame)->Arg(1)->Arg(0);

// One slab of the default length-2.5 growth from an empty scrub.
static void BM_ScrubGrowSlab(benchmark::State& state)
{
    for (auto _ : state) {
        cCountingStore store;
        cScrub scrub(store);
        scrub.grow(0.0f, 2.5f);
        benchmark::DoNotOptimize(scrub.nodes.size());
    }
}
BENCHMARK(BM_ScrubGrowSlab);
