#include "support/gl_context.h"

#include <vector>

#include "gl.h"
#include "particles/scrub.h"
#include "particles/scrub_vbo.h"
#include "support/files.h"

namespace {

void add_tube_at(cScrubGeometry& fill, float z0, float z1)
{
    fill.add_straight_tube({0, 0, z0}, {0, 0, z1}, 0.1f);
}

class ScrubVboTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glColor3f(1, 1, 1);
    }
    static int lit_pixels()
    {
        const std::vector<uint8_t> pixels = read_pixels(0, 0, 1280, 720);
        int lit = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            lit += pixels[i] > 64 ? 1 : 0;
        return lit;
    }
};

}  // namespace

TEST_F(ScrubVboTest, BlocksRetireInOrderAndBrokenFillsAreRefused)
{
    cScrubMultiVBO pool(64, 2);
    add_tube_at(pool.fill, 0, 5);
    pool.endRenderBlock();
    add_tube_at(pool.fill, 0, 1);
    pool.endRenderBlock();
    pool.endRenderBlock();  // empty: no block
    ASSERT_EQ(pool.blocks.size(), 2u);
    EXPECT_TRUE(pool.fill.empty());
    EXPECT_EQ(std::make_pair(pool.blocks[0].vertex_count, pool.blocks[0].index_count), std::make_pair(12u, 36u));
    EXPECT_EQ(std::make_pair(pool.blocks[0].z_min, pool.blocks[0].z_max), std::make_pair(0.0f, 5.0f));

    // Only the front of the list retires: the second block waits behind the first.
    pool.drop(2.0f);
    EXPECT_EQ(pool.blocks.size(), 2u);
    pool.drop(6.0f);
    EXPECT_TRUE(pool.blocks.empty());
    EXPECT_EQ(pool.free_buffers.size(), 2u);
    EXPECT_EQ(pool.buffers.size(), 2u);

    add_tube_at(pool.fill, 0, 1);
    pool.fill.indices.pop_back();
    EXPECT_NE(stderr_of([&] { pool.endRenderBlock(); }).find(": half finsished triangle\n"), std::string::npos);
    EXPECT_TRUE(pool.blocks.empty());
    EXPECT_TRUE(pool.fill.empty());
}

TEST_F(ScrubVboTest, EmptyPoolAndOversizedBlockWarn)
{
    cScrubMultiVBO pool(12, 1);
    add_tube_at(pool.fill, 0, 1);
    pool.endRenderBlock();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    add_tube_at(pool.fill, 1, 2);
    add_tube_at(pool.fill, 2, 3);
    pool.endRenderBlock();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "cScrubMultiVBO::cRenderBlock::cRenderBlock: Warning insufficient memory - reallocation occured\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cScrubMultiVBO::endRenderBlock: Warning insufficient memory - reallocation occured\n");
    ASSERT_EQ(pool.buffers.size(), 2u);
    EXPECT_EQ(pool.buffers[1].vertex_capacity, 24u);
    std::vector<uint32_t> indices(72);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, pool.buffers[1].index_buffer);
    glGetBufferSubDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0, 72 * sizeof(uint32_t), indices.data());
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    // The second tube indexes its own vertices 12 .. 23.
    EXPECT_EQ(std::vector<uint32_t>(indices.begin() + 69, indices.end()), (std::vector<uint32_t>{12, 18, 23}));
}

TEST_F(ScrubVboTest, DrawsTheGrownScrub)
{
    cScrubMultiVBO pool;
    cScrub scrub(pool);
    scrub.update(10.0f, 24.0f);
    scrub.update(10.0f, 24.0f);
    ASSERT_FALSE(pool.blocks.empty());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1280.0 / 720.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(10, 9.9, 11, 10, 10, 12, 0, 1, 0);
    EXPECT_EQ(lit_pixels(), 0);
    pool.draw();
    EXPECT_GT(lit_pixels(), 2000);
    pool.drop(1000.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pool.draw();
    EXPECT_EQ(lit_pixels(), 0);
}
