// What the key programs draw, read back from an RGBA8 target on llvmpipe.
#include <cmath>

#include "shader_manager.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "shaders/shd_surface.h"
#include "support/shader_support.h"
#include "values/var.h"

namespace {

using RGBA = std::array<uint8_t, 4>;

cShaderManager_GLSL* mgr()
{
    return cShaderManager_GLSL::get_instance();
}

void bind_unit(int unit, GLenum target, GLuint tex)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, tex);
    glActiveTexture(GL_TEXTURE0);
}

void send(const char* shader, int id, float* values)
{
    float* ptr = values;
    cVar<float*> var("", &ptr);
    mgr()->set_shader_parameter(shader, id, &var);
}

// Draws `shader` over 4x4 rectangle sources of one colour each (unit 0 and 1)
// into a 4x4 target and returns the pixel in its middle.
std::array<int, 4> run(const char* shader, RGBA bottom, RGBA top, float alpha = 1.0f)
{
    GLuint t0 = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, bottom);
    GLuint t1 = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, top);
    ScopedTarget target(4, 4);
    bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, t0);
    bind_unit(1, GL_TEXTURE_RECTANGLE_ARB, t1);
    mgr()->bind(shader);
    glColor4f(1, 1, 1, alpha);
    draw_quad(4, 4, 4, 4);
    mgr()->unbind();
    std::array<int, 4> p = target.pixel(2, 2);
    glDeleteTextures(1, &t0);
    glDeleteTextures(1, &t1);
    return p;
}

void expect_near(const std::array<int, 4>& got, const std::array<int, 4>& want, int tolerance = 2)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << "channel " << i;
}

}  // namespace

class ShaderPixelTest : public ShaderTest {};

TEST_F(ShaderPixelTest, LevelsStretchesTheInputRangeAndAppliesGamma)
{
    mgr()->register_shader<cShdLevels>("levels_shader");
    float block[5] = {50, 250, 1, 0, 255};
    send("levels_shader", 1, block);
    // (100, 150, 200) -> (50, 100, 150) / 200 of full range
    expect_near(run("levels_shader", {100, 150, 200, 77}, {0, 0, 0, 0}), {64, 128, 191, 77});
    float gamma2[5] = {50, 250, 2, 0, 255};
    send("levels_shader", 1, gamma2);
    expect_near(run("levels_shader", {100, 150, 200, 255}, {0, 0, 0, 0}), {128, 180, 221, 255});
    // Everything below a pre-cut of 255 goes black.
    float cut[5] = {255, 255, 1, 0, 255};
    send("levels_shader", 1, cut);
    expect_near(run("levels_shader", {254, 200, 10, 255}, {0, 0, 0, 0}), {0, 0, 0, 255});
}

TEST_F(ShaderPixelTest, HsbDesaturatesBrightensAndTurnsHueWhereTheMaskIsWhite)
{
    mgr()->register_shader<cShdPostHSB>("hsb_shader");
    GLuint white = make_texture(GL_TEXTURE_2D, 1, 1, RGBA{255, 255, 255, 255});
    GLuint black = make_texture(GL_TEXTURE_2D, 1, 1, RGBA{0, 0, 0, 255});
    auto hsb = [&](float h, float s, float b, GLuint mask) {
        float v[3] = {h, s, b};
        send("hsb_shader", 1, v);
        GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, RGBA{153, 102, 51, 255});
        ScopedTarget target(4, 4);
        bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, src);
        bind_unit(1, GL_TEXTURE_2D, mask);
        mgr()->bind("hsb_shader");
        draw_quad(4, 4, 1, 1);
        mgr()->unbind();
        glDeleteTextures(1, &src);
        return target.pixel(1, 1);
    };
    const float luma = 0.299f * 153 + 0.587f * 102 + 0.114f * 51;  // about 111.4
    int grey = static_cast<int>(std::lround(luma + 25.5f));
    expect_near(hsb(0, -100, 10, white), {grey, grey, grey, 255});
    expect_near(hsb(0, 0, 0, white), {153, 102, 51, 255});
    // Half a turn of hue mirrors the colour through its grey: 2 * luma - c.
    expect_near(hsb(180, 0, 0, white),
                {static_cast<int>(2 * luma - 153), static_cast<int>(2 * luma - 102), static_cast<int>(2 * luma - 51), 255},
                4);
    expect_near(hsb(0, -100, 50, black), {153, 102, 51, 255});  // masked out: unchanged
}

TEST_F(ShaderPixelTest, CompositingModesOnTwoKnownLayers)
{
    mgr()->register_shader<cShdCompOver>("blend_comp");
    mgr()->register_shader<cShdCompAdd>("add_comp");
    mgr()->register_shader<cShdCompScreen>("screen_comp");
    mgr()->register_shader<cShdCompDodge>("dodge_comp");
    const RGBA bottom{51, 102, 153, 255};  // 0.2 0.4 0.6
    const RGBA top{128, 64, 26, 255};      // about 0.5 0.25 0.1
    expect_near(run("add_comp", bottom, top), {179, 166, 179, 255});
    expect_near(run("screen_comp", bottom, top), {153, 140, 163, 255});
    expect_near(run("blend_comp", bottom, top), {128, 64, 26, 255});
    expect_near(run("blend_comp", bottom, top, 0.5f), {90, 83, 90, 255});
    expect_near(run("dodge_comp", bottom, top), {102, 136, 170, 255}, 3);
    // A transparent top leaves the bottom, whatever the mode.
    expect_near(run("add_comp", bottom, {255, 255, 255, 0}), {51, 102, 153, 255});
    // Over a transparent bottom the result takes the top's coverage.
    expect_near(run("blend_comp", {0, 0, 0, 0}, {200, 100, 50, 128}), {100, 50, 25, 128});
}

TEST_F(ShaderPixelTest, SpillAddsTheGlowAndMaskedMultiplies)
{
    mgr()->register_shader<cShdPostSpillAdd>("spill_shader");
    mgr()->register_shader<cShdMasked>("masked_shader");
    expect_near(run("spill_shader", {100, 50, 0, 0}, {50, 100, 20, 255}), {150, 150, 20, 100});
    expect_near(run("masked_shader", {200, 100, 50, 255}, {128, 255, 0, 255}), {100, 100, 0, 255});
}

TEST_F(ShaderPixelTest, ColourDodgeBrightensByTheLayerWhereTheMaskIsWhite)
{
    mgr()->register_shader<cShdPostColDodge>("coldodge_shader");
    mgr()->register_shader<cShdPostColDodgeMasked>("coldodge_mask_shader");
    const RGBA base{100, 50, 0, 200};
    const RGBA layer{128, 0, 255, 255};  // about half, black, white
    const std::array<int, 4> dodged{201, 50, 0, 200};
    expect_near(run("coldodge_shader", base, layer), dodged);
    struct {
        RGBA mask;
        std::array<int, 4> expected;
    } const masks[] = {{{255, 255, 255, 255}, dodged}, {{0, 0, 0, 255}, {100, 50, 0, 200}}, {{128, 128, 128, 255}, {151, 50, 0, 200}}};
    for (const auto& m : masks) {
        GLuint mask = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, m.mask);
        bind_unit(2, GL_TEXTURE_RECTANGLE_ARB, mask);
        expect_near(run("coldodge_mask_shader", base, layer), m.expected);
        bind_unit(2, GL_TEXTURE_RECTANGLE_ARB, 0);
        glDeleteTextures(1, &mask);
    }
}

TEST_F(ShaderPixelTest, SeparableBlurSpreadsOneColumnAndKeepsOrBlursAlpha)
{
    mgr()->register_shader<cShdBlurTex>("alpha_blur_shader");
    mgr()->register_shader<cShdBlurTexNoAlpha>("no_alpha_blur_shader");
    std::vector<uint8_t> line(16 * 4 * 4, 0);
    for (int y = 0; y < 4; ++y) {
        uint8_t* p = &line[(y * 16 + 8) * 4];
        p[0] = p[1] = p[2] = p[3] = 255;
    }
    GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, 16, 4, line);
    for (const char* name : {"alpha_blur_shader", "no_alpha_blur_shader"}) {
        float step[2] = {1, 0};
        send(name, 1, step);
        ScopedTarget target(16, 4);
        bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, src);
        mgr()->bind(name);
        draw_quad(16, 4, 16, 4);
        mgr()->unbind();
        bool keeps_alpha = std::string(name) == "no_alpha_blur_shader";
        EXPECT_NEAR(target.pixel(8, 1)[0], 70, 1) << name;   // centre weight 70/256
        EXPECT_NEAR(target.pixel(9, 1)[0], 56, 1) << name;   // first neighbour 56/256
        EXPECT_NEAR(target.pixel(11, 1)[0], 8, 1) << name;   // third neighbour 8/256
        EXPECT_EQ(target.pixel(13, 1)[0], 0) << name;        // beyond the kernel
        EXPECT_EQ(target.pixel(8, 1)[3], keeps_alpha ? 255 : 70) << name;
        EXPECT_EQ(target.pixel(9, 1)[3], keeps_alpha ? 0 : 56) << name;
    }
    glDeleteTextures(1, &src);
}

TEST_F(ShaderPixelTest, RadialBlurAveragesAlongTheRayAndScalesByTheMultiplier)
{
    mgr()->register_shader<cShdRadialblur>("radialblur_shader");
    float block[6] = {2, 2, 100, 25, 1, 0.5f};
    send("radialblur_shader", 1, block);
    expect_near(run("radialblur_shader", {200, 100, 40, 255}, {0, 0, 0, 0}), {100, 50, 20, 128});

    // A bright spot at the centre streaks outward: a pixel away from it on
    // the ray picks up light it does not have itself.
    std::vector<uint8_t> spot(32 * 32 * 4, 0);
    for (int y = 14; y < 18; ++y)
        for (int x = 14; x < 18; ++x)
            for (int c = 0; c < 4; ++c)
                spot[(y * 32 + x) * 4 + c] = 255;
    GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, 32, 32, spot);
    auto streak_at = [&](float propagation, int x, int y) {
        float rays[6] = {16, 16, 100, 50, propagation, 1};
        send("radialblur_shader", 1, rays);
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

TEST_F(ShaderPixelTest, SrcColTurnsBrightnessIntoCoverage)
{
    mgr()->register_shader<cShdSrcCol>("srccol_shader");
    GLuint tex = make_texture(GL_TEXTURE_2D, 1, 1, RGBA{200, 100, 50, 255});
    ScopedTarget target(4, 4);
    bind_unit(0, GL_TEXTURE_2D, tex);
    mgr()->bind("srccol_shader");
    glColor4f(1, 1, 1, 0.5f);
    draw_quad(1, 1, 1, 1);
    mgr()->unbind();
    expect_near(target.pixel(1, 1), {200, 100, 50, 100});
    glDeleteTextures(1, &tex);
}

TEST_F(ShaderPixelTest, ParticleBillboardTakesItsCentreFromTheAttributeItsCornerSelects)
{
    mgr()->register_shader<cShdParticleExpansion>("pexpshader");
    float size = 0.5f;
    float intensity = 1.0f;
    cVar<float> vs("", &size);
    cVar<float> vi("", &intensity);
    mgr()->set_shader_parameter("pexpshader", 1, &vs);
    mgr()->set_shader_parameter("pexpshader", 2, &vi);

    ScopedTarget target(32, 32);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    mgr()->bind("pexpshader");
    glColor4f(1, 0.5f, 0.25f, 1);
    // One particle centred at (-0.5, -0.5); every attribute but the one the
    // corner selects holds junk far off screen.
    const float junk = 50.0f;
    glBegin(GL_TRIANGLES);
    for (int corner : {0, 1, 2, 1, 3, 2}) {
        glMultiTexCoord1f(GL_TEXTURE3, static_cast<float>(corner));
        for (int set = 0; set < 3; ++set) {
            float v = corner == set + 1 ? -0.5f : junk;
            glMultiTexCoord3f(GL_TEXTURE0 + set, v, v, 0);
        }
        float v = corner == 0 ? -0.5f : junk;
        glVertex3f(v, v, 0);
    }
    glEnd();
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

TEST_F(ShaderPixelTest, FailedShaderDrawsWithTheDefaultProgramsVertexColour)
{
    mgr()->register_shader<cShdVCol>("vcol_shader");
    ScopedTarget target(4, 4);
    mgr()->bind("default_shader");
    glColor4f(0.2f, 0.4f, 0.6f, 1.0f);
    draw_quad(1, 1, 1, 1);
    mgr()->unbind();
    expect_near(target.pixel(1, 1), {51, 102, 153, 255});
}

TEST_F(ShaderPixelTest, ColourCorrectionMapsLuminanceThroughTheLookupGradient)
{
    mgr()->register_shader<cShdCorrection>("color_correction_shader");
    std::vector<uint8_t> gradient;
    for (int i = 0; i < 256; ++i)
        gradient.insert(gradient.end(), {255, static_cast<uint8_t>(i), 0, 255});
    GLuint lut = make_texture(GL_TEXTURE_1D, 256, 1, gradient);
    GLuint src = make_texture(GL_TEXTURE_RECTANGLE_ARB, 4, 4, RGBA{128, 128, 128, 90});
    ScopedTarget target(4, 4);
    bind_unit(0, GL_TEXTURE_RECTANGLE_ARB, src);
    bind_unit(1, GL_TEXTURE_1D, lut);
    mgr()->bind("color_correction_shader");
    draw_quad(4, 4, 4, 4);
    mgr()->unbind();
    expect_near(target.pixel(2, 2), {255, 128, 0, 90});
    glDeleteTextures(1, &lut);
    glDeleteTextures(1, &src);
}

TEST_F(ShaderPixelTest, MorphMovesVerticesToTheTargetMeshInTextureSetThree)
{
    mgr()->register_shader<cShdMorphDtex>("morph_shader");
    auto covered = [&](float t) {
        cVar<float> var("", &t);
        mgr()->set_shader_parameter("morph_shader", 1, &var);
        ScopedTarget target(8, 8);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        mgr()->bind("morph_shader");
        // The drawn mesh lies off screen; its morph target covers the view.
        const float target_xy[3][2] = {{-1, -1}, {3, -1}, {-1, 3}};
        glBegin(GL_TRIANGLES);
        for (const auto& p : target_xy) {
            glMultiTexCoord3f(GL_TEXTURE3, p[0], p[1], 0);
            glMultiTexCoord3f(GL_TEXTURE4, 0, 0, 1);
            glNormal3f(0, 0, 1);
            glVertex3f(p[0] + 10, p[1] + 10, 0);
        }
        glEnd();
        mgr()->unbind();
        return target.pixel(4, 4)[3];
    };
    EXPECT_EQ(covered(0.0f), 0);
    EXPECT_EQ(covered(1.0f), 255);
}
