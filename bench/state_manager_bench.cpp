// Cost of the state cache on the CPU side: an apply with nothing to send, and
// a typical pass (push, a few setters, apply, pop) against a backend that
// does nothing, so only the cache's own work is measured.
#include <benchmark/benchmark.h>

#include "state_manager.h"

namespace {

const cGLStateBackend NULL_BACKEND = {
    [](GLenum) {}, [](GLenum) {}, [](GLboolean) {}, [](GLenum) {}, [](GLenum, GLenum) {},
    [](GLenum) {}, [](GLenum) {}, [](GLenum, GLenum, GLenum, GLenum) {},
};

void BM_ApplyUnchanged(benchmark::State& state)
{
    cStateManager* sm = cStateManager::get_instance();
    sm->backend = &NULL_BACKEND;
    sm->apply();
    for (auto _ : state) {
        sm->apply();
        benchmark::DoNotOptimize(sm->applied);
    }
}
BENCHMARK(BM_ApplyUnchanged);

void BM_Pass(benchmark::State& state)
{
    cStateManager* sm = cStateManager::get_instance();
    sm->backend = &NULL_BACKEND;
    sm->apply();
    for (auto _ : state) {
        sm->push();
        sm->set_blend(true);
        sm->set_blend_func(gs::BLEND_ADD);
        sm->set_depth_write(false);
        sm->apply();
        sm->pop();
        sm->apply();
        benchmark::DoNotOptimize(sm->applied);
    }
}
BENCHMARK(BM_Pass);

}  // namespace
