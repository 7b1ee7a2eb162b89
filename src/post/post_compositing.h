#pragma once
// Layer compositing and the feedback trail built on it. One process-wide
// object each, created on first use (at load time) with the shaders they
// register, living until the process ends. Compositing draws into the target
// it is given after clearing it; feedback keeps its history in a pooled
// target that the caller holds between frames, and borrows one more target
// per apply, returned before apply returns.
#include <array>
#include <cstdint>

#include "post/post_pass.h"
#include "render_target.h"
#include "singleton.h"

// Compositing modes: the top layer over the bottom, faded by its alpha
// times the layer opacity.
enum : int32_t {
    COMP_BLEND = 0,   // "blend_comp": top replaces bottom
    COMP_ADD = 1,     // "add_comp": colours add
    COMP_PLAIN = 2,   // no program: the top layer copied as it is
    COMP_SCREEN = 3,  // "screen_comp"
    COMP_DODGE = 4,   // "dodge_comp"
};

class cPostCompositing : public cSingleton<cPostCompositing> {
public:
    cPostCompositing();
    void init();  // registers the four compositing shaders
    // destination := mode(bottom, top) at opacity alpha (0-1), over
    // transparent black. Mode 2 copies the top layer unchanged and ignores
    // bottom and alpha. Other modes are programming errors and throw.
    void apply(cRenderTarget_fbo& destination, cRenderTarget_fbo& bottom, cRenderTarget_fbo& top, int32_t mode,
               float alpha);
    // The same picture into whatever is bound, over every pixel of the
    // viewport, without clearing: how the last layer reaches the screen.
    void draw(cRenderTarget_fbo& bottom, cRenderTarget_fbo& top, int32_t mode, float alpha);
};

struct cFeedbackParams {
    float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // texture transform about the centre, column-major
    int32_t blur_iterations = 0;  // 0-20 blur passes on the history per frame
    float fade = 0.0f;            // 0-0.5: the history is multiplied by (1 - fade) each frame
};
// "feedback fade", "blur iterations" (integer).
extern const std::array<cSliderSpec, 2> FEEDBACK_SLIDERS;

class cPostFeedback : public cSingleton<cPostFeedback> {
public:
    cPostFeedback();
    void init();  // creates the compositing and blur effects
    // Folds new_frame into history (transformed, faded, blurred) and draws
    // the history into output. history is (re)requested, cleared, whenever
    // it does not hold a target of the output's size class; the caller keeps
    // it between frames and releases it when the trail ends.
    void apply(cTmpRenderTarget& history, cRenderTarget_fbo& new_frame, cRenderTarget_fbo& output,
               cFeedbackParams params);

private:
    // Draws the frame into the bound history through the transform,
    // multiplied by (1 - fade).
    void transform_into(cRenderTarget_fbo& history, cRenderTarget_fbo& frame, const float transform[16], float fade);
};
