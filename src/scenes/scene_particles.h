#pragma once
// The particle fountain: particles rise from a thin plane and are pulled
// towards a gravity sink above it, drawn as glowing sprites at quarter
// resolution, folded by the 2D kaleidoscope and given a glow. The timeline
// animates the fold ("kaleidotype"), the camera's roll and field of view and
// the emission per frame ("emits_pf"). The scene owns the particle effect
// (system, emitter, sink, renderer with its GL buffers), made by the first
// load() and kept until the scene goes; render borrows quarter-size targets
// and returns one.
#include <cstdint>
#include <string>

#include "particles/particle_effect.h"
#include "particles/particle_system.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"
#include "scenes/scene.h"
#include "texture_manager.h"

// The fountain's plane emitter. It emits nothing at a rate of 0 or below:
// the plain plane emitter lets rate + 1 particles through per call, so a
// fountain turned down to 0 would keep trickling instead of running dry.
class cFountainEmitter : public cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 2>> {
public:
    void emit(cParticleSystem& ps, float dt) override;
};

class cSceneParticles : public cScene {
public:
    // Builds the slider and published tables; makes no GL object.
    explicit cSceneParticles(cDemoClock* clock_);
    ~cSceneParticles() override;

    std::string get_name() override { return "particlescene"; }
    // Makes the effect with its buffers and loads the sprite, the fold's
    // planes and the glow; a second call changes nothing.
    void load() override;
    // Advances the fountain one step; a changed "emits_pf" reaches the
    // emitter for the next step.
    bool update() override;
    cTmpRenderTarget render(int32_t time_ms) override;

    static constexpr int32_t CAPACITY = 35000;  // particle slots

    cParticleEffect effect;              // system, emitter, sink, renderer; owned, empty until load()
    cFountainEmitter* emitter = nullptr;  // the fountain's emitter, owned through effect
    cTexture sprite;                     // "particleglow.jpg", one per particle; empty until load()
    int32_t applied_rate = 100;          // the emission rate last handed to the emitter
    int32_t emits_pf = 100;              // "emits_pf": wanted particles per frame (0-150)
    cKaleidoParams fold;                 // "kaleidotype": plane of the 2D kaleidoscope, 0 = none
    cCutParams glow{RTT_QUATER, 200.0f, 128.0f};  // bright parts that glow

private:
    void create_fountain();
    void draw_particles();
};
