// What the key programs draw, read back from an RGBA8 target on llvmpipe.
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

void expect_near(const std::array<int, 4>& got, const std::array<int, 4>& want, int tolerance = 2)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << "channel " << i;
}

}  // namespace

class ShaderPixelTest : public ShaderTest {};

// Levels, HSB, blur, spill, colour correction and the compositing programs
// are checked through their post effects.

TEST_F(ShaderPixelTest, MaskedMultipliesByTheMask)
{
    mgr()->register_shader<cShdMasked>("masked_shader");
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
