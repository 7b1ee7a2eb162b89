#include "support/scene_fixture.h"

#include <array>

#include "post/post_compositing.h"
#include "scenes/composition.h"
#include "state_manager.h"

namespace {

// Leaves lighting, a red light, a material and fog behind, as a careless
// scene would.
class cLeakyScene : public cProbeScene {
public:
    using cProbeScene::cProbeScene;
    cTmpRenderTarget render(int32_t) override
    {
        const float red[4] = {1, 0, 0, 1};
        glLightfv(GL_LIGHT0, GL_DIFFUSE, red);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, red);
        glFogf(GL_FOG_DENSITY, 0.7f);
        cStateManager* state = cStateManager::get_instance();
        state->set_lighting(true);
        state->set_fog(true);
        state->apply();
        return {};
    }
};

class SceneDrawTest : public SceneTest {
protected:
    static std::array<int, 3> pixel(int x, int y)
    {
        const auto p = read_pixels(x, y, 1, 1);
        return {p[0], p[1], p[2]};
    }
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

TEST_F(SceneDrawTest, ASceneLeaksNoLightMaterialOrFogIntoTheNext)
{
    struct cLightingState {
        float light[4], material[4], density;
        bool lighting;
        bool operator==(const cLightingState&) const = default;
    };
    auto read = [] {
        cLightingState s{};
        glGetLightfv(GL_LIGHT0, GL_DIFFUSE, s.light);
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, s.material);
        glGetFloatv(GL_FOG_DENSITY, &s.density);
        s.lighting = glIsEnabled(GL_LIGHTING);
        return s;
    };
    cLeakyScene scene(&clock);
    cStateManager* state = cStateManager::get_instance();
    state->set_lighting(false);
    state->apply();
    const cLightingState before = read();
    scene.render_isolated(0);
    EXPECT_TRUE(read() == before);
    // The cache knows GL's switches went back: the next scene's wish reaches GL.
    state->set_lighting(true);
    state->apply();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
