#pragma once
// One particle effect as a scene holds it: the system, its renderer, its
// emitters and updaters. The scene owns the record and everything it points
// to; it creates the effect in load(), advances it once per update() and
// draws it from render() through the renderer.
#include <vector>

class cDemoClock;
class cParticleSystem;
class iParticleEmitter;
class iParticleSystemRender;
class iParticleSystemUpdater;

struct cParticleEffect {
    cParticleSystem* system = nullptr;                 // the pool, owned by the scene
    iParticleSystemRender* renderer = nullptr;         // billboard renderer, owned by the scene
    std::vector<iParticleEmitter*> emitters;           // run in order every update
    std::vector<iParticleSystemUpdater*> updaters;     // run in order after the emitters
};

constexpr float PARTICLE_STEP_S = 0.05f;  // fixed step per update, seconds
constexpr int PARTICLE_STEP_MS = 50;      // the same step as passed to updaters

// Creates the system (capacity slots) and a cPSRenderBillboards with its GL
// buffers; needs a current GL context.
void create_particle_effect(cParticleEffect& fx, int capacity);
void add_emitter(cParticleEffect& fx, iParticleEmitter* emitter);
void add_updater(cParticleEffect& fx, iParticleSystemUpdater* updater);

// One frame: emit, update, integrate by the fixed step. The speed therefore
// follows the frame rate. Nothing happens while the demo clock is paused.
void update_particle_effect(cParticleEffect& fx, const cDemoClock& clock);

// Deletes everything the record points to and clears it.
void destroy_particle_effect(cParticleEffect& fx);
