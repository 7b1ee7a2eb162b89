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

// A bright bar eight pixels wide across a dark strip, the streak centre at
// the strip's left end: the bar's light runs rightwards, away from it.
TEST_F(ShaderPixelTest, RadialBlurLaysAStreakBehindABrightBarFadingAsPropagationSays)
{
    mgr()->register_shader<cShdRadialblur>("radialblur_shader");
    constexpr int W = 96, H = 4, BAR = 8, BAR_END = 16;  // the bar covers x = 8-15
    std::vector<uint8_t> strip(W * H * 4, 0);
    for (int y = 0; y < H; ++y)
        for (int x = BAR; x < BAR_END; ++x)
            for (int c = 0; c < 4; ++c)
                strip[(y * W + x) * 4 + c] = 255;
    GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, W, H, strip);
    // Red of the pixel `behind` pixels past the bar, or in front of it.
    auto red = [&](float propagation, float multiplier, int behind) {
        send("radialblur_shader", 1, {0, 2, 100, 100, propagation, multiplier});
        ScopedTarget target(W, H);
        bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, src);
        mgr()->bind("radialblur_shader");
        draw_quad(W, H, W, H);
        mgr()->unbind();
        return static_cast<float>(target.pixel(BAR_END + behind, 1)[0]);
    };
    // Light that has run s pixels keeps exp(-s / (propagation x distance)):
    // 20 pixels further on it has fallen by e at propagation 0.2 and by the
    // square root of e at 0.4.
    EXPECT_NEAR(red(0.2f, 5, 30) / red(0.2f, 5, 10), std::exp(-1.0f), 0.03f);
    EXPECT_NEAR(red(0.4f, 5, 30) / red(0.4f, 5, 10), std::exp(-0.5f), 0.03f);
    // Summed, not averaged, in units of 64 pixels: each of the bar's eight
    // pixels adds its light times the multiplier / 64.
    float sum = 0;
    for (int j = 1; j <= 8; ++j)
        sum += std::exp(-(10.0f + static_cast<float>(j)) / 40.0f);
    EXPECT_NEAR(red(0.4f, 5, 10), 255 * 5 / 64.0f * sum, 3);
    EXPECT_NEAR(red(0.4f, 2.5f, 10), red(0.4f, 5, 10) / 2, 2);
    // The picture itself stays; nothing reaches the centre's side of the bar;
    // no propagation adds no streak.
    EXPECT_EQ(red(0.4f, 5, -4), 255);
    EXPECT_EQ(red(0.4f, 5, -12), 0);
    EXPECT_EQ(red(0.0f, 5, 5), 0);
    glDeleteTextures(1, &src);
}

TEST_F(ShaderPixelTest, ParticleBillboardTakesItsCentreFromTheAttributeItsCornerSelects)
{
    mgr()->register_shader<cShdParticleExpansion>("pexpshader");
    send("pexpshader", 1, 0.5f);  // size
    send("pexpshader", 2, 1.0f);  // intensity
    // The sprite: a pink middle (half green) on black, 4 x 4 texels.
    std::vector<uint8_t> sprite(4 * 4 * 4, 0);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 3; ++x)
            for (int c = 0; c < 4; ++c)
                sprite[(y * 4 + x) * 4 + c] = c == 1 ? 128 : 255;
    GLuint tex = make_texture(GL_TEXTURE_2D, 4, 4, sprite);

    ScopedTarget target(32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    bind_unit(0, GL_TEXTURE_2D, tex);
    mgr()->bind("pexpshader");
    glColor4f(1, 0.5f, 0.25f, 1);
    draw_particle(-0.5f);
    mgr()->unbind();
    // The quad spans -1..0 in both axes: pixels 0..15, the sprite's middle
    // pixels 4..11. There the sprite's brightest channel is the coverage and
    // its hue tints the colour; its black rim and the outside stay empty.
    auto centre = target.pixel(8, 8);
    EXPECT_EQ(centre[0], 255);
    EXPECT_NEAR(centre[1], 64, 1);
    EXPECT_NEAR(centre[2], 64, 1);
    EXPECT_EQ(centre[3], 255);
    EXPECT_EQ(target.pixel(1, 1)[3], 0);
    EXPECT_EQ(target.pixel(24, 24)[3], 0);
    EXPECT_EQ(target.pixel(8, 20)[3], 0);
    bind_unit(0, GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &tex);
}
