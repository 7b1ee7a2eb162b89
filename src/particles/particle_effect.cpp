#include "particles/particle_effect.h"

#include "demo_clock.h"
#include "particles/particle_render.h"
#include "particles/particle_system.h"

void create_particle_effect(cParticleEffect& fx, int capacity)
{
    fx.system = new cParticleSystem(capacity);
    fx.renderer = new cPSRenderBillboards();
    fx.renderer->init(capacity);
}

void add_emitter(cParticleEffect& fx, iParticleEmitter* emitter) { fx.emitters.push_back(emitter); }

void add_updater(cParticleEffect& fx, iParticleSystemUpdater* updater) { fx.updaters.push_back(updater); }

void update_particle_effect(cParticleEffect& fx, const cDemoClock& clock)
{
    if (clock.paused)
        return;
    cParticleSystem& ps = *fx.system;
    ps.now = clock.elapsed();
    for (iParticleEmitter* e : fx.emitters)
        e->emit(ps, PARTICLE_STEP_S);
    for (iParticleSystemUpdater* u : fx.updaters)
        u->update(ps, PARTICLE_STEP_MS);
    ps.integrate(PARTICLE_STEP_S);
}

void destroy_particle_effect(cParticleEffect& fx)
{
    for (iParticleEmitter* e : fx.emitters)
        delete e;
    for (iParticleSystemUpdater* u : fx.updaters)
        delete u;
    delete fx.renderer;
    delete fx.system;
    fx = cParticleEffect{};
}
