#pragma once
// The frame shared by every post-processing effect: the bracket of one
// effect pass, the by-value upload of a parameter block, full-screen quads
// over one or two render targets, and the slider descriptions of the
// parameter blocks. Nothing here owns GL objects or keeps state between
// calls; every function runs on the render thread with a GL context, except
// the size-class and slider helpers, which do no GL work.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gl.h"

class cRenderTarget_fbo;

// One effect pass, open while the object lives: push_shader, the current
// colour and the pending state pushed, blending off, the screen-space
// matrices (unit square, white, lighting, depth, alpha test and fog off).
// The destructor restores everything in reverse order. Effects add their own
// pending-state changes after construction.
class cEffectPass {
public:
    cEffectPass();
    ~cEffectPass();
    cEffectPass(const cEffectPass&) = delete;
    cEffectPass& operator=(const cEffectPass&) = delete;
};

// Copies n floats into a variable on the stack and hands it to the named
// shader with id 1, so that the next bind uploads exactly these values.
void send_block(std::string_view shader, const float* values, size_t n);

// The size class whose divisor is screen width / target width (RTT_DOUBLE
// for a target twice the screen width). Throws std::invalid_argument for a
// width that is no size class of the current screen.
int32_t size_class_of(uint32_t target_width);
int32_t size_class_of(const cRenderTarget_fbo& target);

// apply(), then the unit square with unit-0 coordinates spanning (0,0)-(s0,t0)
// and unit-1 coordinates spanning (0,0)-(s1,t1).
void draw_two_unit_quad(float s0, float t0, float s1, float t1);

// One tweak-GUI slider over a field of a parameter block: the GUI binds a
// float (or, for integer sliders, a 32-bit signed) variable at
// block address + offset.
struct cSliderSpec {
    const char* label;  // slider label as the GUI shows it
    size_t offset;      // byte offset of the bound field in its block
    float min;          // lower end of the range
    float max;          // upper end of the range
    bool integer;       // true: integer slider on an int32_t field
};
