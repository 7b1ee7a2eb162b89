#include "support/gl_context.h"

#include <array>

#include "demo_clock.h"
#include "post/post_compositing.h"
#include "render_target.h"
#include "resource_path.h"
#include "scenes/composition.h"
#include "shader_manager.h"
#include "state_manager.h"
#include "support/probe_scene.h"

namespace {

// Renders a flat colour; with `half`, only the left half (the rest stays
// transparent black).
class cFlatScene : public cProbeScene {
public:
    cFlatScene(cDemoClock* c, float r, float g, float b, bool half_ = false)
        : cProbeScene(c), colour{r, g, b}, half(half_)
    {
    }
    cTmpRenderTarget render(const int&) override
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

class SceneDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cResourcePath::get_instance()->add("../data/textures");
        cResourcePath::get_instance()->add("../src/shaders");
        cResourcePath::get_instance()->add("../src/shaders/comp");
        cShaderManager_GLSL::get_instance()->init();
        create_render_target_manager();
        cStateManager::get_instance()->set_defaults();
    }
    void TearDown() override { EXPECT_EQ(cRenderTargetManager::get_instance()->lent, 0u); }

    void at(int32_t t)
    {
        clock.start = 0;
        clock.now = t;
    }
    static std::array<int, 3> pixel(int x, int y)
    {
        const auto p = read_pixels(x, y, 1, 1);
        return {p[0], p[1], p[2]};
    }

    cDemoClock clock;
};

TEST_F(SceneDrawTest, TransparentAreasShowTheCheckerboard)
{
    cFlatScene scene(&clock, 1, 0, 0, true);
    scene.draw();
    EXPECT_EQ(pixel(100, 100), (std::array<int, 3>{255, 0, 0}));
    // Checker cells of 16 pixels in two greys, at one texel per pixel.
    const auto a = pixel(1000, 100), b = pixel(1016, 100), c = pixel(1032, 100);
    EXPECT_EQ(a[0], a[1]);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, c);
    EXPECT_GT(a[0], 40);
    EXPECT_LT(a[0], 160);
}

TEST_F(SceneDrawTest, LayersStackInKeyOrderWithModesAndFades)
{
    cSceneComposition comp(&clock);
    cFlatScene blue(&clock, 0, 0, 1), green(&clock, 0, 128.0f / 255.0f, 0), red(&clock, 1, 0, 0);
    comp.add_layer(20, {500, 1500, &green, 1.0f, COMP_ADD}, 0, 0);
    comp.add_layer(10, {0, 1000, &blue, 1.0f, COMP_BLEND}, 0, 0);
    comp.add_layer(30, {600, 2000, &red, 1.0f, COMP_BLEND}, 1000, 0);

    auto frame = [&](int32_t t) {
        at(t);
        comp.update();
        glClearColor(0.2f, 0.2f, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        comp.draw();
        return pixel(640, 360);
    };
    EXPECT_EQ(frame(250), (std::array<int, 3>{0, 0, 255}));    // blue alone
    EXPECT_EQ(frame(580), (std::array<int, 3>{0, 128, 255}));  // green added onto blue
    EXPECT_EQ(frame(600), (std::array<int, 3>{0, 128, 255}));  // red at alpha 0 ...
    EXPECT_EQ(red.renders, 1);                                   // ... is rendered all the same
    const auto half_red = frame(1100);                         // red at alpha 0.5 over green
    EXPECT_NEAR(half_red[0], 127, 3);
    EXPECT_NEAR(half_red[1], 64, 3);
    EXPECT_EQ(half_red[2], 0);
    EXPECT_EQ(frame(1800), (std::array<int, 3>{255, 0, 0}));  // the fade has landed on 1
    EXPECT_EQ(comp.curtime, 1800);
    EXPECT_EQ(frame(2001), (std::array<int, 3>{51, 51, 51}));  // nothing active: frame untouched
    EXPECT_EQ(comp.curtime, 1800);
}

TEST_F(SceneDrawTest, ALoneLayerDrawsItselfEvenOutsideItsWindow)
{
    cSceneComposition comp(&clock);
    cFlatScene red(&clock, 1, 0, 0);
    comp.add_layer(10, {0, 100, &red, 1.0f, COMP_BLEND}, 0, 0);
    at(5000);
    comp.draw();
    EXPECT_EQ(pixel(640, 360), (std::array<int, 3>{255, 0, 0}));
}

}  // namespace
