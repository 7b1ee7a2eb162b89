#pragma once
// Separable blur and radial blur. Each effect is one process-wide object,
// created on first use (at load time), which registers its shaders then and
// holds nothing else; it lives until the process ends. Every apply borrows
// its intermediate targets from the render-target pool and returns them
// before it returns.
#include <array>
#include <cstdint>

#include "post/post_pass.h"
#include "render_target.h"
#include "singleton.h"

class cPostBlur : public cSingleton<cPostBlur> {
public:
    cPostBlur();
    // Registers "alpha_blur_shader" and "no_alpha_blur_shader" (again harmless).
    void init();
    // Vertical then horizontal pass through a pooled target of the source's
    // size class; the destination is cleared and may be the source itself.
    // keep_alpha blurs alpha with the colour; otherwise every pixel keeps its
    // own alpha. `times` blurs in a row cost one pair of passes for every
    // three: the kernel of three nine-tap binomial blurs is the binomial
    // kernel of order 24, which one pass samples directly.
    void apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, bool keep_alpha, int32_t times = 1);

private:
    static constexpr int32_t TIMES_PER_PASS = 3;  // 25 taps: the shader's widest kernel

    void apply_kernel(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, const char* shader, int32_t times);
    void pass(cRenderTarget_fbo& into, cRenderTarget_fbo& from, const char* shader, const float* block);
};

// Radial blur parameters, in the order the shader takes them (first six).
struct cRadialBlurParams {
    float center_x = 128.0f;           // streak centre, pixels of the intermediate target
    float center_y = 64.0f;            // pixels of the intermediate target
    float distance = 100.0f;           // longest streak, pixels of the show's window (0-500)
    float num_samples = 25.0f;         // samples per pixel (1-100)
    float propagation = 1.0f;          // streak fall-off length / distance (0-2)
    float multiplier = 0.85f;          // streak brightness (0-5)
    int32_t size_class = RTT_QUATER;   // class of the intermediate target (RTT_*)
};

// "center_x", "center_y", "distance", "num_samples", "propagation",
// "multiplier"; the centre ranges follow the screen width and picture height.
std::array<cSliderSpec, 6> radial_blur_sliders(uint32_t screen_width, uint32_t picture_height);

class cPostRadialBlur : public cSingleton<cPostRadialBlur> {
public:
    cPostRadialBlur();
    // Registers "radialblur_shader" and creates the blur effect.
    void init();
    // One pass of "radialblur_shader" from source into the bound destination.
    void draw(cRenderTarget_fbo& source, cRadialBlurParams params);
    // Blurs source into a pooled target of the block's class, then streaks
    // that into the destination (bound without clearing).
    void apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& source, cRadialBlurParams params);
};
