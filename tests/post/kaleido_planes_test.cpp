#include "post/kaleido_planes.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "post/post_pass.h"
#include "render_target.h"

TEST(KaleidoPlanes, EachCoversTheUnitSquareOnceWithCoordinatesInsideThePicture)
{
    for (int32_t index = 1; index <= KALEIDO_PLANE_COUNT; ++index) {
        const std::vector<cPlaneVertex> plane = kaleido_plane(index);
        ASSERT_EQ(plane.size() % 3, 0u);
        double area = 0;
        for (size_t i = 0; i < plane.size(); i += 3) {
            const cPlaneVertex &a = plane[i], &b = plane[i + 1], &c = plane[i + 2];
            const double signed_area = 0.5 * ((b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z));
            EXPECT_GT(signed_area, 0) << "plane " << index << ": counter-clockwise on screen";
            area += signed_area;
        }
        EXPECT_NEAR(area, 1.0, 1e-5) << index;
        for (const cPlaneVertex& v : plane) {
            EXPECT_TRUE(v.y == 0 && v.x >= 0 && v.x <= 1 && v.z >= 0 && v.z <= 1) << index;
            EXPECT_TRUE(v.s > -1e-6f && v.s < 1 + 1e-6f && v.t > -1e-6f && v.t < 1 + 1e-6f) << index;
        }
    }
    EXPECT_THROW(kaleido_plane(0), std::out_of_range);
    EXPECT_THROW(kaleido_plane(8), std::out_of_range);
}

TEST(PostSizeClass, FollowsTheScreenWidth)
{
    EXPECT_EQ(size_class_of(1280u), RTT_FULL);
    EXPECT_EQ(size_class_of(320u), RTT_QUATER);
    EXPECT_EQ(size_class_of(2560u), RTT_DOUBLE);
    EXPECT_THROW(size_class_of(333u), std::invalid_argument);
}
