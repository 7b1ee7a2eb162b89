#pragma once
// Colour grading effects: hue/saturation/brightness under an optional mask,
// and colour correction through a lookup gradient. One process-wide object
// each, created on first use (at load time) with its shader; the correction's
// lookup texture is loaded by init(file) and, like every texture, kept to the
// end. Both draw into whatever destination is bound.
#include <array>
#include <string>

#include "post/post_pass.h"
#include "singleton.h"
#include "texture_manager.h"

class cRenderTarget_fbo;

struct cHSBParams {
    float hue = 0.0f;                // degrees, -180 to 180
    float saturation = 0.0f;         // percent, -100 to 100 (0 = unchanged)
    float brightness = 0.0f;         // percent, -100 to 100 (0 = unchanged)
    const cTexture* mask = nullptr;  // 2D texture, white where the change applies; null = everywhere
};
// "hue", "saturation", "brightness".
extern const std::array<cSliderSpec, 3> HSB_SLIDERS;

class cPostHSB : public cSingleton<cPostHSB> {
public:
    cPostHSB();
    // Registers "hsb_shader" and fetches the default white mask.
    void init();
    // One pass of "hsb_shader" from source into the bound destination; the
    // mask covers the destination once.
    void apply(cRenderTarget_fbo& source, cHSBParams params);

    cTexture white_mask;  // used when a block has no mask
};

class cPostColorCorrection : public cSingleton<cPostColorCorrection> {
public:
    cPostColorCorrection();
    // Registers "color_correction_shader" and loads the lookup, an N x 1
    // image (a 1D texture): dark input reads its left end.
    void init(const std::string& lookup_file);
    // source re-coloured by the lookup, into the bound destination. Calling
    // it before init() is a programming error and throws.
    void apply(cRenderTarget_fbo& source);

    cTexture lookup;  // empty until init()
};
