#pragma once
// Fixture for scene tests: a GL context with the shader and texture search
// paths, every shader program, the render-target pool and the state cache's
// defaults. After each test it checks what every scene owes the ones drawn
// after it: no pooled target still lent, the pool still at its warm-up size
// (nothing was made during the test's frames), and GlTest's: no GL error pending.
#include <cstdint>
#include <vector>

#include "demo_clock.h"
#include "gl.h"
#include "render_target.h"
#include "support/gl_context.h"
#include "support/probe_scene.h"

class SceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets the demo clock to t ms, as the frame loop's tick would.
    void at(int32_t t);
    // RGBA8 pixels of a target, bottom row first.
    static std::vector<uint8_t> pixels_of(cRenderTarget_fbo& target);

    static constexpr size_t WARM_UP_TARGETS = 17;  // the pool's size after create_render_target_manager

    cRenderTargetManager* pool = nullptr;
    cDemoClock clock;
};

// Renders a flat opaque colour; with `half`, only the left half (the rest
// stays transparent black).
class cFlatScene : public cProbeScene {
public:
    cFlatScene(cDemoClock* c, float r, float g, float b, bool half_ = false)
        : cProbeScene(c), colour{r, g, b}, half(half_)
    {
    }
    cTmpRenderTarget render(int32_t) override
    {
        ++renders;
        cTmpRenderTarget t = get_tmp_render_target(RTT_FULL);
        glClearColor(0, 0, 0, 0);
        t->bind(true);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, half ? t->width / 2 : t->width, t->height);
        glClearColor(colour[0], colour[1], colour[2], 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        t->unbind();
        return t;
    }
    float colour[3];
    bool half;
    int renders = 0;
};
