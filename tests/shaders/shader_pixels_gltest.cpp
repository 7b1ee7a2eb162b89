// What the key programs draw, read back from an RGBA8 target on llvmpipe.
#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "shaders/shd_surface.h"
#include "support/shader_support.h"

namespace {

using RGBA = std::array<uint8_t, 4>;

// Draws `shader` over 4x4 rectangle sources of one colour each (unit 0 and 1)
// into a 4x4 target and returns the pixel in its middle.
std::array<int, 4> run(const char* shader, RGBA bottom, RGBA top)
{
    GLuint t0 = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, bottom);
    GLuint t1 = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, top);
    ScopedTarget target(4, 4);
    bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, t0);
    bind_unit(1, GL_TEXTURE_RECTANGLE_ARB, t1);
    mgr()->bind(shader);
    glColor4f(1, 1, 1, 1);
    draw_quad(4, 4, 4, 4);
    mgr()->unbind();
    std::array<int, 4> p = target.pixel(2, 2);
    glDeleteTextures(1, &t0);
    glDeleteTextures(1, &t1);
    return p;
}

}  // namespace

class ShaderPixelTest : public ShaderTest {};

// Levels, HSB, blur, spill, colour correction and the compositing programs
// are checked through their post effects; the surface programs and the
// default one in shader_surface_pixels_gltest.cpp.

TEST_F(ShaderPixelTest, MaskedMultipliesByTheMaskAndColourDodgeBrightensWhereTheMaskIsWhite)
{
    mgr()->register_shader<cShdMasked>("masked_shader");
    mgr()->register_shader<cShdPostColDodge>("coldodge_shader");
    mgr()->register_shader<cShdPostColDodgeMasked>("coldodge_mask_shader");
    expect_near(run("masked_shader", {200, 100, 50, 255}, {128, 255, 0, 255}), {100, 100, 0, 255}, 2);
    const RGBA base{100, 50, 0, 200};
    const RGBA layer{128, 0, 255, 255};  // about half, black, white
    const std::array<int, 4> dodged{201, 50, 0, 200};
    expect_near(run("coldodge_shader", base, layer), dodged, 2);
    struct {
        RGBA mask;
        std::array<int, 4> expected;
    } const masks[] = {{{255, 255, 255, 255}, dodged}, {{0, 0, 0, 255}, {100, 50, 0, 200}}, {{128, 128, 128, 255}, {151, 50, 0, 200}}};
    for (const auto& m : masks) {
        GLuint mask = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, m.mask);
        bind_unit(2, GL_TEXTURE_RECTANGLE_ARB, mask);
        expect_near(run("coldodge_mask_shader", base, layer), m.expected, 2);
        bind_unit(2, GL_TEXTURE_RECTANGLE_ARB, 0);
        glDeleteTextures(1, &mask);
    }
}

TEST_F(ShaderPixelTest, RadialBlurAveragesAlongTheRayAndScalesByTheMultiplier)
{
    mgr()->register_shader<cShdRadialblur>("radialblur_shader");
    send("radialblur_shader", 1, {2, 2, 100, 25, 1, 0.5f});
    expect_near(run("radialblur_shader", {200, 100, 40, 255}, {0, 0, 0, 0}), {100, 50, 20, 128}, 2);

    // A bright spot at the centre streaks outward: a pixel away from it on
    // the ray picks up light it does not have itself.
    std::vector<uint8_t> spot(32 * 32 * 4, 0);
    for (int y = 14; y < 18; ++y)
        for (int x = 14; x < 18; ++x)
            for (int c = 0; c < 4; ++c)
                spot[(y * 32 + x) * 4 + c] = 255;
    GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, 32, 32, spot);
    auto streak_at = [&](float propagation, int x, int y) {
        send("radialblur_shader", 1, {16, 16, 100, 50, propagation, 1});
        ScopedTarget target(32, 32);
        bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, src);
        mgr()->bind("radialblur_shader");
        draw_quad(32, 32, 32, 32);
        mgr()->unbind();
        return target.pixel(x, y)[0];
    };
    EXPECT_GT(streak_at(1.0f, 24, 16), 5);
    EXPECT_GT(streak_at(1.0f, 28, 28), 5);
    // A short propagation ends the ray before it reaches the spot.
    EXPECT_EQ(streak_at(0.25f, 24, 16), 0);
    glDeleteTextures(1, &src);
}

TEST_F(ShaderPixelTest, ParticleBillboardTakesItsCentreFromTheAttributeItsCornerSelects)
{
    mgr()->register_shader<cShdParticleExpansion>("pexpshader");
    send("pexpshader", 1, 0.5f);  // size
    send("pexpshader", 2, 1.0f);  // intensity

    ScopedTarget target(32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    mgr()->bind("pexpshader");
    glColor4f(1, 0.5f, 0.25f, 1);
    draw_particle(-0.5f);
    mgr()->unbind();
    // The quad spans -1..0 in both axes: pixels 0..15. Full glow at its
    // centre, none at its corner or outside.
    auto centre = target.pixel(8, 8);
    EXPECT_EQ(centre[0], 255);
    EXPECT_NEAR(centre[1], 128, 1);
    EXPECT_GT(centre[3], 240);
    EXPECT_EQ(target.pixel(0, 0)[3], 0);
    EXPECT_EQ(target.pixel(24, 24)[3], 0);
    EXPECT_EQ(target.pixel(8, 20)[3], 0);
}
