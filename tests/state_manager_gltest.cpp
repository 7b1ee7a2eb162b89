#include "support/gl_context.h"

#include <vector>

#include "camera.h"
#include "gl.h"
#include "screen_space.h"
#include "state_manager.h"
#include "support/shader_support.h"

namespace {

// Everything the cache controls, as GL reports it.
std::vector<GLint> gl_snapshot()
{
    std::vector<GLint> s;
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_MULTISAMPLE, GL_ALPHA_TEST, GL_BLEND, GL_FOG,
                       GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
        s.push_back(glIsEnabled(cap));
    for (GLenum q : {GL_DEPTH_WRITEMASK, GL_DEPTH_FUNC, GL_CULL_FACE_MODE, GL_FRONT_FACE, GL_BLEND_SRC_RGB,
                     GL_BLEND_DST_RGB, GL_BLEND_SRC_ALPHA, GL_BLEND_DST_ALPHA, GL_POLYGON_MODE}) {
        GLint v[2] = {-1, -1};
        glGetIntegerv(q, v);
        s.push_back(v[0]);
    }
    return s;
}

std::vector<float> matrix(GLenum which)
{
    std::vector<float> m(16);
    glGetFloatv(which, m.data());
    return m;
}

}  // namespace

class StateManagerGlTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        sm = cStateManager::get_instance();
        sm->set_defaults();
    }
    cStateManager* sm = nullptr;
};

TEST_F(StateManagerGlTest, DefaultsReachGLAndDeltaAndFullApplyLeaveGLInTheSameState)
{
    EXPECT_EQ(gl_snapshot(), (std::vector<GLint>{1, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, GL_TRUE, GL_LESS, GL_BACK,
                                                 GL_CCW, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO,
                                                 GL_FILL}));
    GLfloat clear[4];
    GLint alpha_func = 0, color_control = 0;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alpha_func);
    glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &color_control);
    EXPECT_FLOAT_EQ(clear[1], 0.6f);
    EXPECT_EQ(alpha_func, GL_ALWAYS);
    EXPECT_EQ(color_control, GL_SEPARATE_SPECULAR_COLOR);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_SUM));

    std::vector<cGLState> walk;
    uint32_t r = 12345;
    auto next = [&r] { return r = r * 1664525u + 1013904223u, r >> 8; };
    for (int i = 0; i < 60; ++i) {
        cGLState s;
        s.word[0] = (next() & 0x1F83u) | (next() % 5) << 2 | (next() % 3) << 5 | (next() & 0x7777u) << 16;
        s.word[1] = (next() & 0x7Fu) << 8;
        walk.push_back(s);
    }
    std::vector<std::vector<GLint>> delta, full;
    for (bool force : {false, true}) {
        sm->force_full_apply = force;
        for (const cGLState& s : walk) {
            sm->pending = s;
            sm->apply();
            (force ? full : delta).push_back(gl_snapshot());
        }
    }
    EXPECT_EQ(delta, full);
    EXPECT_NE(full.front(), full.back());  // the walk really moves GL
}

TEST_F(StateManagerGlTest, CameraMatricesMatchPerspectiveAndRolledLookAt)
{
    apply_camera(cCamera{.eye = {0, 0, 5}, .fovy = 90, .znear = 1, .zfar = 3, .aspect = 2, .roll = 90});
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // cot(45 deg) = 1: x scale 1 / aspect, y scale 1, depth terms from near and far.
    const std::vector<float> expected = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    const std::vector<float> p = matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(p[i], expected[i], 1e-6f) << i;
    // Seen from (0, 0, 5), look-at maps world (1, 0, 0) to (1, 0, -5); a 90
    // degree roll then turns it to (0, -1, -5).
    const std::vector<float> m = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(m[0] + m[12], 0, 1e-5f);
    EXPECT_NEAR(m[1] + m[13], -1, 1e-5f);
    EXPECT_NEAR(m[2] + m[14], -5, 1e-5f);
}

TEST_F(StateManagerGlTest, ScreenSpaceDrawsFullscreenAndRestores)
{
    apply_camera(cCamera{});
    const std::vector<float> projection = matrix(GL_PROJECTION_MATRIX);
    const std::vector<float> modelview = matrix(GL_MODELVIEW_MATRIX);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    sm->set_fog(true);
    const cGLState before = sm->pending;

    // A 2x2 texture with nearest filtering: each texel covers a quarter of the screen.
    const GLuint tex = make_texture(GL_TEXTURE_2D, 2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    // Depth test is on by default: screen space must switch it off, or the
    // quad would fail against the cleared depth of 0.
    glClearDepth(0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1);
    draw_texture_fullscreen_2d(GL_TEXTURE_2D, tex, 2, 2);
    EXPECT_EQ(read_pixels(0, 0, 1, 1), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(read_pixels(1279, 0, 1, 1), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(read_pixels(0, 719, 1, 1), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glDeleteTextures(1, &tex);

    EXPECT_EQ(sm->pending, before);
    EXPECT_TRUE(sm->stack.empty());
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[1], 0.5f);

    begin_screen_space_keep_alpha_test();
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[1], 0.5f);
    EXPECT_EQ(sm->pending.get(gs::FOG), 0u);
    end_screen_space();
}
