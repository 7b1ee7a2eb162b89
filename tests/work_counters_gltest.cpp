// The profile's work counters on drawing of known size.
#include "support/gl_context.h"

#include "gl.h"
#include "render_target.h"
#include "work_counters.h"

namespace {

// A triangle over the lower right half of the viewport, at depth z.
void half_triangle(float z)
{
    const float corners[] = {-1, -1, z, 1, -1, z, 1, 1, z};
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void whole_quad(float z)
{
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
    glEnd();
}

}  // namespace

class WorkCountersGlTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        target.init();
    }

    cRenderTarget_fbo target{64, 32};
};

TEST_F(WorkCountersGlTest, CountsPixelsThatPassDrawsPrimitivesAndPasses)
{
    cWorkCounters counters(2);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    counters.begin(0);
    target.bind(false);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    whole_quad(0.0f);     // 64 x 32
    half_triangle(0.5f);  // behind the quad: nothing passes
    half_triangle(-0.5f); // in front: half the target
    target.unbind();
    counters.end(0);
    whole_quad(-0.9f);    // between slots: not counted

    counters.begin(1);
    target.bind(false);
    target.unbind();
    target.bind(false);
    target.unbind();
    counters.end(1);
    glDisable(GL_DEPTH_TEST);

    const cWork w = counters.read(0);
    EXPECT_EQ(w.pixels, 64 * 32 + 64 * 32 / 2);
    EXPECT_EQ(w.draw_calls, 3);
    if (counters.has_primitives) {
        EXPECT_GE(w.primitives, 3);  // a quad counts as one or two
    }
    EXPECT_EQ(w.passes, 1);
    ASSERT_EQ(w.size_count, 1);
    EXPECT_EQ(w.sizes[0].width, 64u);
    EXPECT_EQ(w.sizes[0].height, 32u);

    cWork both = counters.read(1);
    EXPECT_EQ(both.pixels, 0);
    EXPECT_EQ(both.draw_calls, 0);
    EXPECT_EQ(both.passes, 2);
    both.add(w);
    EXPECT_EQ(both.passes, 3);
    ASSERT_EQ(both.size_count, 1);
    EXPECT_EQ(both.sizes[0].count, 3);
    EXPECT_EQ(both.pixels, w.pixels);
}
