#include "support/shader_support.h"

#include "resource_path.h"
#include "shader_manager.h"
#include "support/files.h"
#include "shaders/shd_plain.h"
#include "shaders/shd_post.h"
#include "shaders/shd_surface.h"
#include "values/var.h"

void ShaderTest::SetUp()
{
    GlTest::SetUp();
    cResourcePath::get_instance()->add("../src/shaders");
    cResourcePath::get_instance()->add("../src/shaders/comp");
    stdout_of([] { cShaderManager_GLSL::get_instance()->init(); });
}

namespace {

template <typename T>
void reg(std::vector<std::string>& names, const char* name, bool do_register)
{
    names.push_back(name);
    if (do_register)
        cShaderManager_GLSL::get_instance()->register_shader<T>(name);
}

std::vector<std::string> walk(bool do_register)
{
    std::vector<std::string> n;
    reg<cShdDefault>(n, "default_shader", do_register);
    reg<cShdPostSpillAdd>(n, "spill_shader", do_register);
    reg<cShdPostColDodge>(n, "coldodge_shader", do_register);
    reg<cShdPostColDodgeMasked>(n, "coldodge_mask_shader", do_register);
    reg<cShdCorrection>(n, "color_correction_shader", do_register);
    reg<cShdCompOver>(n, "blend_comp", do_register);
    reg<cShdCompAdd>(n, "add_comp", do_register);
    reg<cShdCompDodge>(n, "dodge_comp", do_register);
    reg<cShdCompScreen>(n, "screen_comp", do_register);
    reg<cShdVCol>(n, "vcol_shader", do_register);
    reg<cShdSelfIllum>(n, "self_illum_shader", do_register);
    reg<cShdRGBAtex>(n, "rgbatex_shader", do_register);
    reg<cShdRGBAtex>(n, "rgba_shader", do_register);
    reg<cShdNotex>(n, "notex_shader", do_register);
    reg<cShdGanesh>(n, "ganesh_shader", do_register);
    reg<cShdRGBAtexFade>(n, "rgba_fade_shader", do_register);
    reg<cShdSrcCol>(n, "srccol_shader", do_register);
    reg<cShdSrcColAdd>(n, "srccoladd_shader", do_register);
    reg<cShdDtex>(n, "dtex_shader", do_register);
    reg<cShdMasked>(n, "masked_shader", do_register);
    reg<cShdRadialblur>(n, "radialblur_shader", do_register);
    reg<cShdLevels>(n, "levels_shader", do_register);
    reg<cShdPostHSB>(n, "hsb_shader", do_register);
    reg<cShdBlurTex>(n, "alpha_blur_shader", do_register);
    reg<cShdBlurTexNoAlpha>(n, "no_alpha_blur_shader", do_register);
    reg<cShdSinewaves>(n, "sinewave_shader", do_register);
    reg<cShdParticleExpansion>(n, "pexpshader", do_register);
    reg<cShdParticleLight>(n, "particle_light_shader", do_register);
    reg<cShdNormExt>(n, "normext_shader", do_register);
    reg<cShdMorphDtex>(n, "morph_shader", do_register);
    reg<cShdLightmapTriple>(n, "lmt_shader", do_register);
    reg<cShdXrayTex>(n, "xraytex_shader", do_register);
    reg<cShdFogFalloff>(n, "fog_shader", do_register);
    reg<cShdRose>(n, "rose_shader", do_register);
    return n;
}

}  // namespace

void register_every_shader()
{
    walk(true);
}

const std::vector<std::string>& every_shader_name()
{
    static const std::vector<std::string> names = walk(false);
    return names;
}

GLuint make_texture(GLenum target, int w, int h, std::array<uint8_t, 4> rgba)
{
    std::vector<uint8_t> data;
    for (int i = 0; i < w * h; ++i)
        data.insert(data.end(), rgba.begin(), rgba.end());
    return make_texture(target, w, h, data);
}

GLuint make_texture(GLenum target, int w, int h, const std::vector<uint8_t>& rgba)
{
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(target, tex);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (target == GL_TEXTURE_1D)
        glTexImage1D(target, 0, GL_RGBA8, w, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    else
        glTexImage2D(target, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(target, 0);
    return tex;
}

ScopedTarget::ScopedTarget(int w, int h) : width(w), height(h)
{
    colour = make_texture(GL_TEXTURE_2D, w, h, std::array<uint8_t, 4>{0, 0, 0, 0});
    glGenFramebuffersEXT(1, &fbo);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colour, 0);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

ScopedTarget::~ScopedTarget()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteTextures(1, &colour);
    glViewport(0, 0, 1280, 720);
}

std::vector<uint8_t> ScopedTarget::pixels() const
{
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

std::array<int, 4> ScopedTarget::pixel(int x, int y) const
{
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

void draw_quad(float w0, float h0, float w1, float h1)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
        glMultiTexCoord2f(GL_TEXTURE0, c[0] * w0, c[1] * h0);
        glMultiTexCoord2f(GL_TEXTURE1, c[0] * w1, c[1] * h1);
        glVertex3f(c[0], c[1], 0);
    }
    glEnd();
}

void bind_unit(int unit, GLenum target, GLuint tex)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, tex);
    glActiveTexture(GL_TEXTURE0);
}

void send(const char* shader, int id, std::vector<float> values)
{
    float* ptr = values.data();
    cVar<float*> var("", &ptr);
    mgr()->set_shader_parameter(shader, id, &var);
}

void send(const char* shader, int id, float value)
{
    cVar<float> var("", &value);
    mgr()->set_shader_parameter(shader, id, &var);
}

void expect_near(const std::array<int, 4>& got, const std::array<int, 4>& want, int tolerance, const std::string& what)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << what << ", channel " << i;
}

void draw_particle(float centre)
{
    const float junk = 50.0f;
    glBegin(GL_TRIANGLES);
    for (int corner : {0, 1, 2, 1, 3, 2}) {
        glMultiTexCoord1f(GL_TEXTURE3, static_cast<float>(corner));
        for (int set = 0; set < 3; ++set) {
            const float v = corner == set + 1 ? centre : junk;
            glMultiTexCoord3f(GL_TEXTURE0 + set, v, v, 0);
        }
        const float v = corner == 0 ? centre : junk;
        glVertex3f(v, v, 0);
    }
    glEnd();
}
