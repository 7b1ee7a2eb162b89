#pragma once
// Levels, the glow "cut" and the spill layer that lays a glow over its
// picture. Each effect is one process-wide object, created on first use (at
// load time) together with the shaders it registers, living until the
// process ends. They draw into whatever destination is bound unless an
// operation names one; cut borrows its intermediate target from the pool and
// returns it before it returns.
#include <array>
#include <cstdint>

#include "post/post_pass.h"
#include "render_target.h"
#include "singleton.h"

// Levels on the 0-255 scale: [in black, in white] is stretched to the full
// range, bent by gamma, and mapped into [out black, out white].
struct cLevelsParams {
    float in_black = 0.0f;     // 0-255; darker input clips to out black
    float in_white = 255.0f;   // 0-255; brighter input clips to out white
    float gamma = 1.0f;        // 0-4; above 1 brightens the midtones
    float out_black = 0.0f;    // 0-255
    float out_white = 255.0f;  // 0-255
};
// "in black", "in white", "gamma", "out black", "out white".
extern const std::array<cSliderSpec, 5> LEVELS_SLIDERS;

class cPostLevels : public cSingleton<cPostLevels> {
public:
    cPostLevels();
    void init();  // registers "levels_shader"
    // One pass of "levels_shader" from source into the bound destination.
    void apply(cRenderTarget_fbo& source, cLevelsParams params);
};

// Glow extraction: what is brighter than pre-cut, softened, then stretched so
// that post-cut becomes white.
struct cCutParams {
    int32_t size_class = RTT_QUATER;  // class of the intermediate target (RTT_*)
    float pre_cut = 200.0f;           // 0-255; darker parts are dropped
    float post_cut = 128.0f;          // 0-255; this brightness ends up white
};
// "pre-cut", "post-cut".
extern const std::array<cSliderSpec, 2> CUT_SLIDERS;

class cPostCut : public cSingleton<cPostCut> {
public:
    cPostCut();
    // Creates the levels and blur effects, registers "spill_shader",
    // "coldodge_shader" and "coldodge_mask_shader".
    void init();
    // The glow of source, drawn into destination (bound without clearing).
    void apply(cRenderTarget_fbo& source, cRenderTarget_fbo& destination, cCutParams params);
    // Source with its own glow spilled over it, into destination.
    void apply_glow(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, cCutParams params);
};

class cPostSpill : public cSingleton<cPostSpill> {
public:
    cPostSpill();
    void init();  // registers "spill_shader"
    // base + spill (and base made opaque where it spills) into the bound
    // destination.
    void apply(cRenderTarget_fbo& base, cRenderTarget_fbo& spill);
};
