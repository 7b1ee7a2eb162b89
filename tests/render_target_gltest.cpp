#include "support/gl_context.h"

#include <memory>
#include <string>
#include <vector>

#include "demo_clock.h"
#include "gl.h"
#include "support/files.h"
#include "render_target.h"
#include "screen_space.h"
#include "state_manager.h"
#include "video.h"

namespace {

// Counts frame buffer and renderbuffer creation by wrapping GLEW's pointers.
int fbos_created = 0;
int renderbuffers_created = 0;
PFNGLGENFRAMEBUFFERSEXTPROC real_gen_framebuffers = nullptr;
PFNGLGENRENDERBUFFERSEXTPROC real_gen_renderbuffers = nullptr;

void GLAPIENTRY counting_gen_framebuffers(GLsizei n, GLuint* names)
{
    fbos_created += n;
    real_gen_framebuffers(n, names);
}

void GLAPIENTRY counting_gen_renderbuffers(GLsizei n, GLuint* names)
{
    renderbuffers_created += n;
    real_gen_renderbuffers(n, names);
}

using cPixel = std::vector<uint8_t>;
const cPixel RED{255, 0, 0, 255}, GREEN{0, 255, 0, 255}, YELLOW{255, 255, 0, 255};

cPixel texel(const cRenderTarget_fbo& t, uint32_t x, uint32_t y)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(t.width) * t.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(t.target, t.texture);
    glGetTexImage(t.target, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(t.target, 0);
    auto at = pixels.begin() + (y * t.width + x) * 4;
    return {at, at + 4};
}

float depth_at(int x, int y)
{
    float d = -1;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

void letterbox()
{
    cVideo_SDL* video = cVideo_SDL::get_instance();
    video->height = 768;
    video->width = video->viewport_width = 1024;
    video->viewport_height = 575;
}

}  // namespace

class RenderTargetGlTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cStateManager::get_instance()->set_defaults();
        real_gen_framebuffers = std::exchange(__glewGenFramebuffersEXT, counting_gen_framebuffers);
        real_gen_renderbuffers = std::exchange(__glewGenRenderbuffersEXT, counting_gen_renderbuffers);
    }
    void TearDown() override
    {
        __glewGenFramebuffersEXT = real_gen_framebuffers;
        __glewGenRenderbuffersEXT = real_gen_renderbuffers;
        GlTest::TearDown();
        stdout_of(cRenderTargetManager::destroy_instance);
        cVideo_SDL::destroy_instance();  // back to the default sizes
    }
    // The manager with its warm-up pool; checks the warm-up printed nothing.
    cRenderTargetManager* create()
    {
        cRenderTargetManager* m = nullptr;
        EXPECT_EQ(stdout_of([&] { m = create_render_target_manager(); }), "");
        return m;
    }
};

TEST_F(RenderTargetGlTest, WarmUpPoolAndReportAtExit)
{
    cRenderTargetManager* m = create();
    EXPECT_EQ(fbos_created, 17);
    EXPECT_EQ(renderbuffers_created, 3);  // one per size
    ASSERT_EQ(m->free_list.size(), 17u);
    EXPECT_EQ(m->free_list.front().first, RTT_QUATER);  // released in reverse order of request
    EXPECT_EQ(m->free_list.front().second->width, 320u);
    EXPECT_EQ(m->free_list.back().second->height, 720u);
    cTmpRenderTarget kept = m->request(RTT_HALF);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    cRenderTargetManager::destroy_instance();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "## ERROR, rendertargetmanager: rendertarget still bound while exiting...\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "# rrt-manager: number of tmp-rt allocated: 16\n"
              "# rtt-manager: maximum concurrently allocated RTs: 17\n");
    kept.manager = nullptr;  // its lender is gone
    delete std::exchange(kept.target, nullptr);
}

TEST_F(RenderTargetGlTest, PoolLendsOldestReturnedFirstAndWarnsBeyondIt)
{
    letterbox();
    cRenderTargetManager* m = create();
    cDemoClock clock;
    clock.now = 61234;
    m->playback_clock = &clock;
    fbos_created = renderbuffers_created = 0;
    std::vector<cTmpRenderTarget> full;
    for (int i = 0; i < 7; ++i)
        full.push_back(get_tmp_render_target(RTT_FULL));
    EXPECT_EQ(full[0]->height, 575u);
    cRenderTarget_fbo* first = full[3].target;
    full[3].release();
    full[3].release();  // an empty handle gives nothing back twice
    full[5] = cTmpRenderTarget();  // assignment gives the old target back
    EXPECT_EQ(m->lent, 5u);
    EXPECT_EQ(m->request(RTT_FULL).target, first);  // lent, and back again at once
    full[3] = m->request(RTT_FULL);
    EXPECT_NE(full[3].target, first);
    EXPECT_EQ(fbos_created + renderbuffers_created, 0);

    EXPECT_EQ(stdout_of([&] {
                  full.push_back(m->request(RTT_FULL));
                  full.push_back(m->request(RTT_FULL));
                  full.push_back(m->request(RTT_EIGHTH));
              }),
              "# performance-warning at 61234ms: allocated rendertarget runtime: RTT_FULL\n"
              "# performance-warning at 61234ms: allocated rendertarget runtime: RTT_EIGHTH\n");
    EXPECT_EQ(fbos_created, 2);
    EXPECT_EQ(renderbuffers_created, 1);  // the full-size depth buffer is shared
    EXPECT_EQ(full.back()->width, 128u);
    EXPECT_EQ(m->max_lent, 17u);
    full.clear();
    EXPECT_EQ(m->lent, 0u);
    EXPECT_EQ(m->free_list.size(), 19u);
}

TEST_F(RenderTargetGlTest, DepthBuffersAreSharedBySizeAndOutliveEachUser)
{
    auto a = std::make_unique<cRenderTarget_fbo>(64, 32);
    auto b = std::make_unique<cRenderTarget_fbo>(64, 32);
    cRenderTarget_fbo tall(32, 64);  // same pixel count, other shape
    for (cRenderTarget_fbo* t : {a.get(), b.get(), &tall})
        t->init();
    EXPECT_EQ(a->depth_renderbuffer, b->depth_renderbuffer);
    EXPECT_NE(tall.depth_renderbuffer, a->depth_renderbuffer);
    const GLuint shared = a->depth_renderbuffer;
    a.reset();
    EXPECT_TRUE(glIsRenderbufferEXT(shared));
    b.reset();
    EXPECT_FALSE(glIsRenderbufferEXT(shared));
    cRenderTarget_fbo again(64, 32);
    again.init();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, again.fbo);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    tall.bind(true);  // depth covers the whole of the tall target
    EXPECT_EQ(depth_at(31, 63), 1.0f);
    tall.unbind();
}

TEST_F(RenderTargetGlTest, DrawIntoTargetClearOrKeepAndShowIt)
{
    cRenderTarget_fbo t(40, 20);
    t.init();
    glViewport(5, 6, 70, 80);
    glClearColor(1, 0, 0, 1);
    t.bind(true);
    begin_screen_space();  // a green quad half-way into the depth range over the left half
    cStateManager::get_instance()->set_depth_test(true);
    cStateManager::get_instance()->set_depth_write(true);
    glColor4f(0, 1, 0, 1);
    glScalef(0.5f, 1, 1);
    draw_unit_quad(1, 1);
    end_screen_space();
    t.unbind();
    GLint viewport[4], draw_buffer = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{5, 6, 70, 80}));
    EXPECT_EQ(draw_buffer, GL_BACK);
    EXPECT_EQ(texel(t, 0, 0), GREEN);
    EXPECT_EQ(texel(t, 39, 19), RED);

    t.bind(false);
    EXPECT_NEAR(depth_at(3, 3), 0.5f, 1e-6f);
    t.unbind();
    EXPECT_EQ(texel(t, 0, 0), GREEN);
    glClearColor(1, 1, 0, 1);
    t.bind(true);
    EXPECT_EQ(depth_at(3, 3), 1.0f);
    t.unbind();

    glViewport(0, 0, 1280, 720);
    draw_render_target_fullscreen(t);
    EXPECT_EQ(read_pixels(0, 0, 1, 1), YELLOW);
    EXPECT_EQ(read_pixels(1279, 719, 1, 1), YELLOW);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
}

TEST_F(RenderTargetGlTest, CopiesTheLetterboxedPictureFromTheBackBuffer)
{
    letterbox();
    cRenderTarget_fbo t(1024, 575);
    t.init();
    glClearColor(1, 0, 0, 1);  // picture red, black bar below row 96
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1024, 96);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    t.copy_from_framebuffer();
    EXPECT_EQ(texel(t, 0, 0), RED);
    EXPECT_EQ(texel(t, 1023, 574), RED);
}
