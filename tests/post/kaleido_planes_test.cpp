#include "post/kaleido_planes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "post/post_blur.h"
#include "post/post_compositing.h"
#include "post/post_glow.h"

TEST(KaleidoPlanes, EachCoversTheUnitSquareOnceWithCoordinatesInsideThePicture)
{
    for (int32_t index = 1; index <= KALEIDO_PLANE_COUNT; ++index) {
        const std::vector<cPlaneVertex> plane = kaleido_plane(index);
        ASSERT_EQ(plane.size() % 3, 0u) << index;
        double area = 0;
        for (size_t i = 0; i < plane.size(); i += 3) {
            const cPlaneVertex &a = plane[i], &b = plane[i + 1], &c = plane[i + 2];
            const double signed_area = 0.5 * ((b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z));
            EXPECT_GT(signed_area, 0) << "plane " << index << " triangle " << i / 3 << " counter-clockwise";
            area += signed_area;
        }
        EXPECT_NEAR(area, 1.0, 1e-5) << index;
        for (const cPlaneVertex& v : plane) {
            EXPECT_EQ(v.y, 0.0f);
            EXPECT_TRUE(v.x >= 0 && v.x <= 1 && v.z >= 0 && v.z <= 1) << index;
            EXPECT_TRUE(v.s >= -1e-6f && v.s <= 1 + 1e-6f && v.t >= -1e-6f && v.t <= 1 + 1e-6f) << index;
        }
    }
    EXPECT_THROW(kaleido_plane(0), std::out_of_range);
    EXPECT_THROW(kaleido_plane(8), std::out_of_range);
    EXPECT_STREQ(KALEIDO_PLANE_FILES[6], "plane_mandala_circle2.bzobj");
}

TEST(KaleidoPlanes, MirrorPlanesFoldAtTheirSeams)
{
    // Where neighbouring cells meet, both give the seam the same coordinate.
    auto coordinate_at = [](int32_t index, float x, float z) {
        for (const cPlaneVertex& v : kaleido_plane(index))
            if (std::abs(v.x - x) < 1e-6f && std::abs(v.z - z) < 1e-6f)
                return std::pair{v.s, v.t};
        return std::pair{-1.0f, -1.0f};
    };
    EXPECT_NEAR(coordinate_at(2, 0.0f, 0.5f).second, 1.0f, 1e-6) << "hz mirror: the middle reads the top";
    EXPECT_NEAR(coordinate_at(2, 0.0f, 1.0f).second, 0.0f, 1e-6);
    EXPECT_NEAR(coordinate_at(4, 1.0f / 3, 0.0f).first, 1.0f, 1e-6);
    EXPECT_NEAR(coordinate_at(4, 2.0f / 3, 0.0f).first, 0.0f, 1e-6);
    EXPECT_NEAR(coordinate_at(1, 0.5f, 0.0f).first, 1.0f, 1e-6) << "cylinder: the picture's right edge in the middle";
}

// The GUI binds each slider at block address + offset: the offsets must
// land on the fields the labels name.
TEST(PostSliders, OffsetsAddressTheLabelledFields)
{
    cRadialBlurParams radial;
    const auto sliders = radial_blur_sliders(1280, 720);
    EXPECT_EQ(reinterpret_cast<char*>(&radial) + sliders[3].offset, reinterpret_cast<char*>(&radial.num_samples));
    EXPECT_EQ(sliders[0].max, 1280.0f);
    EXPECT_EQ(sliders[1].max, 720.0f);
    cLevelsParams levels;
    EXPECT_EQ(reinterpret_cast<char*>(&levels) + LEVELS_SLIDERS[2].offset, reinterpret_cast<char*>(&levels.gamma));
    cCutParams cut;
    EXPECT_EQ(reinterpret_cast<char*>(&cut) + CUT_SLIDERS[1].offset, reinterpret_cast<char*>(&cut.post_cut));
    cFeedbackParams feedback;
    EXPECT_EQ(reinterpret_cast<char*>(&feedback) + FEEDBACK_SLIDERS[1].offset,
              reinterpret_cast<char*>(&feedback.blur_iterations));
    EXPECT_TRUE(FEEDBACK_SLIDERS[1].integer);
}
