#include "support/gl_context.h"

#include <vector>

#include "gl.h"
#include "particles/random_table.h"
#include "vbo.h"

namespace {

std::vector<float> read_points(const cVBO& vbo, uint32_t first, uint32_t count)
{
    std::vector<float> points(3 * count);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vbo.buffer);
    glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 12 * first, 12 * count, points.data());
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    return points;
}

}  // namespace

class VboTest : public GlTest {};

TEST_F(VboTest, RingOfFiveBatchesDrawsThenRestarts)
{
    cVBO vbo;
    const float params[4] = {2.24f, 0.43f, -0.65f, -2.43f};
    std::copy(params, params + 4, vbo.params);
    // What one unbroken orbit of five batches looks like.
    rand_index = 7;
    cAttractorCalculator_pickover reference;
    std::vector<float> orbit(3 * 100000);
    reference.calculate(orbit.data(), 100000, params);

    rand_index = 7;
    for (uint32_t i = 0; i < 5; ++i) {
        vbo.update();
        EXPECT_EQ(vbo.write_offset, 20000 * (i + 1));
    }
    EXPECT_EQ(read_points(vbo, 0, 100000), orbit);
    // Drawn, the full cloud lights the middle of the view.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.5, 2.5, -2.5, 2.5, -5, 5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    vbo.draw();
    const std::vector<uint8_t> pixels = read_pixels(0, 0, 1280, 720);
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        lit += pixels[i] > 128 ? 1 : 0;
    EXPECT_GT(lit, 5000);
    // The attractor stays within |2|: the outer border of the view is empty.
    EXPECT_EQ(read_pixels(0, 0, 1, 1)[0], 0);
    EXPECT_EQ(read_pixels(1279, 719, 1, 1)[0], 0);

    // The sixth update restarts from the origin at the front and leaves the
    // other four fifths alone.
    const uint32_t index_before = rand_index;
    vbo.update();
    EXPECT_EQ(vbo.write_offset, 20000u);
    rand_index = index_before;
    std::vector<float> restarted(3 * 20000);
    reference.calculate(restarted.data(), 20000, params);
    EXPECT_EQ(read_points(vbo, 0, 20000), restarted);
    EXPECT_EQ(read_points(vbo, 20000, 80000), std::vector<float>(orbit.begin() + 60000, orbit.end()));
    EXPECT_EQ(rand_index, (index_before + 60000) & RAND_TABLE_MASK);
}
