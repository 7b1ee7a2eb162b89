#pragma once
// Fixture for scene tests: a GL context with the shader and texture search
// paths, every shader program, the render-target pool and the state cache's
// defaults. After each test it checks what every scene owes the ones drawn
// after it: no pooled target still lent, the pool still at its warm-up size
// (nothing was made during the test's frames), no GL error pending.
#include <cstdint>
#include <vector>

#include "demo_clock.h"
#include "render_target.h"
#include "support/gl_context.h"

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
