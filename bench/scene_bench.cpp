// Cost of one scene frame at 1280x720: update() and render() of each scene
// constructed by name, with the managers set up as the show sets them up.
// Two figures per scene: the benchmark's time waits for GL to finish the
// frame; "cpu_ms" is the calling thread's CPU time in update() and render()
// (the scene's own work and the driver's command building; llvmpipe
// rasterises in threads of its own).
//
// Needs an X server (run under Xvfb like the GL tests, e.g.
//   xvfb-run -a -s "-screen 0 1280x720x24" build/bin/scene_bench).
// To measure another scene, add a row to SCENES below; a row may set the
// scene's published variables to pick a mode.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_gl.h"
#include "demo_clock.h"
#include "gl.h"
#include "render_target.h"
#include "scenes/scene.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_cubetunnel.h"
#include "scenes/scene_flowerfield.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_greets.h"
#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_kaleido_tunnel.h"
#include "scenes/scene_logo_light.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_midi_test.h"
#include "scenes/scene_mushrooms.h"
#include "scenes/scene_netsphere.h"
#include "scenes/scene_particles.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_spike.h"
#include "scenes/scene_title.h"

namespace {

// One published variable of a scene set before the frames are measured.
struct cSetting {
    const char* var;  // name in the scene's get_vars()
    float value;      // converted to the variable's type
};

struct cBenchScene {
    const char* label;                                // benchmark name
    std::unique_ptr<cScene> (*make)(cDemoClock*);     // constructs the scene
    std::vector<cSetting> settings;                   // applied after load()
};

template <typename tScene>
std::unique_ptr<cScene> make(cDemoClock* clock)
{
    return std::make_unique<tScene>(clock);
}

// ---- the scenes measured ------------------------------------------------------
const std::vector<cBenchScene> SCENES = {
    {"attractors/cloud", make<cSceneAttractor>, {{"cur_config", 0}, {"logo_its", 1}}},
    {"attractors/ring", make<cSceneAttractor>, {{"cur_config", 1}, {"lightscale", 2}, {"logo_its", 1}}},
    {"title", make<cSceneTitle>, {{"cur_t", 0.5f}}},
    {"flowerfield", make<cSceneFlowerField>, {{"cur_config", 1}, {"cur_t", 0.5f}, {"fov", 80}}},
    {"mandala", make<cSceneMandala>, {{"cur_t", 0.5f}}},
    {"rose", make<cSceneRose>, {}},
    {"rose/half_res", make<cSceneRose>, {{"half_res", 1}, {"kaleido2d", 5}}},
    {"cubetunnel", make<cSceneCubeTunnel>, {{"cur_t", 0.5f}}},
    {"particlescene", make<cSceneParticles>, {{"kaleidotype", 4}}},
    {"netsphere", make<cSceneNetSphere>, {}},
    {"ganesh", make<cSceneGanesh>, {{"campath", 1}, {"campath_t", 0.5f}, {"scene_t", 0.5f}}},
    {"mushrooms", make<cSceneMushroomsJ>, {{"rotation", 40.0f}}},
    {"greets", make<cSceneGreets>, {{"cur_t", 0.5f}}},
    {"spikeball", make<cSceneSpike>, {}},
    {"kaleido3d", make<cSceneKaleido3d>, {{"cur_config", 2}, {"cur_t", 0.6f}}},
    {"kaleidotunnel", make<cSceneKaleidoTunnel>, {}},
    {"miditest", make<cSceneMidiTest>, {}},
    {"logolight", make<cSceneLogoLight>, {}},
};

void apply_setting(cScene& scene, const cSetting& s)
{
    for (auto& [var, node] : scene.get_vars()) {
        if (var->get_name() != s.var)
            continue;
        if (auto* i = dynamic_cast<cVar<int>*>(var)) {
            const int v = static_cast<int>(s.value);
            i->set(&v);
        } else if (auto* f = dynamic_cast<cVar<float>*>(var)) {
            f->set(&s.value);
        } else if (auto* d = dynamic_cast<cVar<double>*>(var)) {
            const double v = s.value;
            d->set(&v);
        }
        return;
    }
    std::fprintf(stderr, "scene_bench: no variable \"%s\"\n", s.var);
}

double thread_cpu_ms()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

void BM_SceneFrame(benchmark::State& state, const cBenchScene& entry)
{
    if (!open_bench_gl()) {
        state.SkipWithError("no GL context (run under Xvfb)");
        return;
    }
    cDemoClock clock;
    std::unique_ptr<cScene> scene = entry.make(&clock);
    scene->load();
    for (const cSetting& s : entry.settings)
        apply_setting(*scene, s);
    int32_t t = 10000;
    const auto step = [&] {
        clock.prev = clock.now;
        clock.now = t += 16;
        scene->update();
        return scene->render_isolated(t);
    };
    for (int i = 0; i < 5; ++i)  // first frames fill caches and trails
        step().release();
    glFinish();
    double cpu_ms = 0.0;
    for (auto _ : state) {
        const double t0 = thread_cpu_ms();
        cTmpRenderTarget result = step();
        cpu_ms += thread_cpu_ms() - t0;
        glFinish();
        result.release();
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu_ms, benchmark::Counter::kAvgIterations);
}

// Registers one benchmark per row before main runs.
const bool registered = [] {
    for (const cBenchScene& entry : SCENES)
        benchmark::RegisterBenchmark(entry.label, BM_SceneFrame, entry)->Unit(benchmark::kMillisecond)->UseRealTime();
    return true;
}();

}  // namespace
