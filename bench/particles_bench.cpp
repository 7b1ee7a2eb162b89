// Cost of one particle frame (emit, pull, integrate) for the particle
// scene's configuration: 35000 slots, plane emitter, gravity sink.
#include <benchmark/benchmark.h>

#include "demo_clock.h"
#include "particles/particle_effect.h"
#include "particles/particle_system.h"

static void BM_ParticleSceneStep(benchmark::State& state)
{
    cParticleEffect fx;
    fx.system = new cParticleSystem(static_cast<int32_t>(state.range(0)));
    auto* plane = new cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 2>>();
    plane->axis1 = {0.2f, 0, 0};
    plane->axis2 = {0, 0, 20};
    add_emitter(fx, plane);
    auto* sink = new cGravitySink();
    sink->sink = {0, 55, 0};
    sink->strength = 6;
    add_updater(fx, sink);
    cDemoClock clock;
    // Warm up to the steady state: 101 births per step, 20 s lives.
    for (int i = 0; i < 420; ++i)
        update_particle_effect(fx, clock);
    for (auto _ : state) {
        clock.now += 16;
        update_particle_effect(fx, clock);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    destroy_particle_effect(fx);
}
BENCHMARK(BM_ParticleSceneStep)->Arg(35000)->Arg(100000);

static void BM_IntegrateOnly(benchmark::State& state)
{
    cParticleSystem ps(35000);
    for (int i = 0; i < ps.capacity; ++i) {
        ps.alive[i] = true;
        ps.life[i] = 1e9f;
        ps.velocities[i] = {1, 2, 3};
    }
    for (auto _ : state) {
        ps.integrate(0.05f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ps.capacity);
}
BENCHMARK(BM_IntegrateOnly);
