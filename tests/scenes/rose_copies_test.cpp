#include <gtest/gtest.h>

#include <vector>

#include "scenes/scene_rose.h"

namespace {

// The rose's program reads each vertex's copy number from the fourth float
// and expects every copy to repeat the model's triangles on its own vertices.
TEST(RoseCopiesTest, EachCopyRepeatsTheModelOnItsOwnNumberedVertices)
{
    const std::vector<float> positions = {0, 0, 0, 1, 2, 3, 4, 5, 6};
    const std::vector<uint32_t> indices = {2, 0, 1, 1, 0, 2};
    const cRoseCopies r = build_rose_copies(positions, indices, 3);
    ASSERT_EQ(r.vertices.size(), 3u * 3u * 4u);
    ASSERT_EQ(r.indices.size(), 3u * 6u);
    const std::vector<float> copy2_vertex1(r.vertices.begin() + (2 * 3 + 1) * 4, r.vertices.begin() + (2 * 3 + 2) * 4);
    EXPECT_EQ(copy2_vertex1, (std::vector<float>{1, 2, 3, 2}));
    EXPECT_EQ(std::vector<uint32_t>(r.indices.begin() + 6, r.indices.begin() + 12),
              (std::vector<uint32_t>{5, 3, 4, 4, 3, 5}));
    EXPECT_TRUE(build_rose_copies(positions, indices, 0).vertices.empty());
}

}  // namespace
