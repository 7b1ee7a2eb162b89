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

#include <SDL.h>

#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "demo_clock.h"
#include "gl.h"
#include "render_target.h"
#include "resource_path.h"
#include "scenes/scene.h"
#include "scenes/scene_attractor.h"
#include "scenes/scene_mandala.h"
#include "scenes/scene_rose.h"
#include "scenes/scene_title.h"
#include "shader_manager.h"
#include "state_manager.h"

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
    {"mandala", make<cSceneMandala>, {{"cur_t", 0.5f}}},
    {"rose", make<cSceneRose>, {}},
    {"rose/half_res", make<cSceneRose>, {{"half_res", 1}, {"kaleido2d", 5}}},
};

// The window, context and managers, made once for the whole program.
bool open_gl()
{
    static bool open = false;
    if (open)
        return true;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return false;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("scene bench", 0, 0, 1280, 720, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window))
        return false;
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        return false;
    glGetError();
    cResourcePath* paths = cResourcePath::get_instance();
    for (const char* dir : {"../src/shaders", "../src/shaders/comp", "../data", "../data/models", "../data/music",
                            "../data/textures"})
        paths->add(dir);
    cShaderManager_GLSL::get_instance()->init();
    create_render_target_manager();
    cStateManager::get_instance()->set_defaults();
    open = true;
    return true;
}

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
    if (!open_gl()) {
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
