#include "support/gl_context.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "camera.h"
#include "gl.h"
#include "screen_space.h"
#include "state_manager.h"

namespace {

// Everything the cache controls, as GL reports it.
std::vector<GLint> gl_snapshot()
{
    std::vector<GLint> s;
    for (GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_MULTISAMPLE, GL_ALPHA_TEST, GL_BLEND, GL_FOG,
                       GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
        s.push_back(glIsEnabled(cap));
    for (GLenum q : {GL_DEPTH_WRITEMASK, GL_DEPTH_FUNC, GL_CULL_FACE_MODE, GL_FRONT_FACE, GL_BLEND_SRC_RGB,
                     GL_BLEND_DST_RGB, GL_BLEND_SRC_ALPHA, GL_BLEND_DST_ALPHA}) {
        GLint v = -1;
        glGetIntegerv(q, &v);
        s.push_back(v);
    }
    GLint modes[2] = {-1, -1};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    s.insert(s.end(), modes, modes + 2);
    return s;
}

// A deterministic walk through valid states.
std::vector<cGLState> state_walk(int count)
{
    std::vector<cGLState> states;
    uint32_t r = 12345;
    auto next = [&r] { return r = r * 1664525u + 1013904223u, r >> 8; };
    for (int i = 0; i < count; ++i) {
        cGLState s;
        s.word[0] = next() & 0x1FFFu;
        s.word[1] = (next() & 0x7Fu) << 8;
        s.set(gs::DEPTH_FUNC, next() % 5);
        s.set(gs::FILL_MODE, next() % 3);
        s.set(gs::BLEND_WORD, next() & 0x7777u);
        states.push_back(s);
    }
    return states;
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

TEST_F(StateManagerGlTest, DefaultsReachGL)
{
    const std::vector<GLint> expected = {
        1, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0,  // enables, in gl_snapshot order
        GL_TRUE, GL_LESS, GL_BACK, GL_CCW, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO, GL_FILL, GL_FILL,
    };
    EXPECT_EQ(gl_snapshot(), expected);
    GLfloat clear[4], ambient[4], alpha_ref = -1;
    GLint alpha_func = 0, color_control = 0, local_viewer = 0;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glGetFloatv(GL_ALPHA_TEST_REF, &alpha_ref);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alpha_func);
    glGetIntegerv(GL_LIGHT_MODEL_COLOR_CONTROL, &color_control);
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &local_viewer);
    EXPECT_FLOAT_EQ(clear[1], 0.6f);
    EXPECT_FLOAT_EQ(ambient[3], 0.1f);
    EXPECT_EQ(alpha_func, GL_ALWAYS);
    EXPECT_EQ(alpha_ref, 0.0f);
    EXPECT_EQ(color_control, GL_SEPARATE_SPECULAR_COLOR);
    EXPECT_EQ(local_viewer, 1);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_SUM));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StateManagerGlTest, DeltaAndFullApplyLeaveGLInTheSameState)
{
    const std::vector<cGLState> walk = state_walk(60);
    std::vector<std::vector<GLint>> delta, full;
    for (const cGLState& s : walk) {
        sm->pending = s;
        sm->apply();
        delta.push_back(gl_snapshot());
    }
    sm->force_full_apply = true;
    for (const cGLState& s : walk) {
        sm->pending = s;
        sm->apply();
        full.push_back(gl_snapshot());
    }
    EXPECT_EQ(delta, full);
    // The walk must actually move GL, or the comparison proves nothing.
    EXPECT_NE(full.front(), full.back());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StateManagerGlTest, CameraMatricesMatchPerspectiveAndRolledLookAt)
{
    cCamera cam;
    cam.eye[2] = 5;
    cam.fovy = 90;
    cam.aspect = 2;
    cam.znear = 1;
    cam.zfar = 3;
    cam.roll = 90;
    apply_camera(cam);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // f = cot(45 deg) = 1: x scale f / aspect, y scale f, depth from near and far.
    const std::vector<float> p = matrix(GL_PROJECTION_MATRIX);
    const float expected_p[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(p[i], expected_p[i], 1e-6f) << i;
    // The world x axis seen from (0, 0, 5): look-at maps (1, 0, 0) to (1, 0, -5);
    // a 90 degree roll then turns it to (0, -1, -5).
    const std::vector<float> m = matrix(GL_MODELVIEW_MATRIX);
    const float x = m[0] + m[12], y = m[1] + m[13], z = m[2] + m[14];
    EXPECT_NEAR(x, 0, 1e-5f);
    EXPECT_NEAR(y, -1, 1e-5f);
    EXPECT_NEAR(z, -5, 1e-5f);
}

TEST_F(StateManagerGlTest, ScreenSpaceSetsUpAndRestores)
{
    cCamera cam;
    apply_camera(cam);
    const std::vector<float> projection = matrix(GL_PROJECTION_MATRIX);
    const std::vector<float> modelview = matrix(GL_MODELVIEW_MATRIX);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    sm->set_fog(true);
    sm->set_alpha_test(true);
    const cGLState before = sm->pending;

    begin_screen_space();
    EXPECT_EQ(sm->pending.get(gs::LIGHTING) | sm->pending.get(gs::DEPTH_TEST) | sm->pending.get(gs::ALPHA_TEST) |
                  sm->pending.get(gs::FOG) | sm->pending.get(gs::DEPTH_WRITE),
              0u);
    const std::vector<float> ortho = matrix(GL_MODELVIEW_MATRIX);
    EXPECT_EQ(ortho, (std::vector<float>{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1}));
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX)[0], 1.0f);
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[0], 1.0f);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    sm->set_blend(false);
    glColor4f(0, 1, 0, 1);
    draw_unit_quad(1, 1);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{1279, 719}, std::pair{640, 360}})
        EXPECT_EQ(read_pixels(x, y, 1, 1), (std::vector<uint8_t>{0, 255, 0, 255})) << x << "," << y;
    end_screen_space();

    EXPECT_EQ(sm->pending, before);
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[1], 0.5f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    begin_screen_space_keep_alpha_test();
    EXPECT_EQ(sm->pending.get(gs::ALPHA_TEST), 1u);
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_EQ(color[1], 0.5f);
    end_screen_space();
    EXPECT_TRUE(sm->stack.empty());
}

TEST_F(StateManagerGlTest, FullscreenTexturesCoverTheScreen)
{
    // 2x2 2D texture and 4x2 rectangle texture, nearest filtering: each texel
    // covers its share of the screen.
    const uint8_t texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255,
                              255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    GLuint tex[2];
    glGenTextures(2, tex);
    const GLenum targets[2] = {GL_TEXTURE_2D, GL_TEXTURE_RECTANGLE_ARB};
    const GLuint widths[2] = {2, 4};
    for (int i = 0; i < 2; ++i) {
        glBindTexture(targets[i], tex[i]);
        glTexParameteri(targets[i], GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(targets[i], GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(targets[i], 0, GL_RGBA8, widths[i], 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glBindTexture(targets[i], 0);
    }
    draw_texture_fullscreen_2d(GL_TEXTURE_2D, tex[0], 2, 2);
    EXPECT_EQ(read_pixels(100, 100, 1, 1), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(read_pixels(1200, 100, 1, 1), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(read_pixels(100, 600, 1, 1), (std::vector<uint8_t>{0, 0, 255, 255}));
    draw_texture_fullscreen_2d(GL_TEXTURE_RECTANGLE_ARB, tex[1], 4, 2);
    EXPECT_EQ(read_pixels(100, 100, 1, 1), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(read_pixels(1200, 100, 1, 1), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE_ARB, &bound);
    EXPECT_EQ(bound, 0);

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    draw_texture_fullscreen_2d(GL_TEXTURE_3D, tex[0], 2, 2);  // not drawable: nothing happens
    EXPECT_EQ(read_pixels(640, 360, 1, 1), (std::vector<uint8_t>{0, 0, 0, 255}));
    glDeleteTextures(2, tex);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
