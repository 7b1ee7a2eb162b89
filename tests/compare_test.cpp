#include "frame_difference.h"

#include <gtest/gtest.h>

namespace {

cRgbPicture grey(int32_t width, int32_t height, uint8_t level)
{
    return {width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3, level)};
}

}  // namespace

TEST(CompareTest, RoundingKeepsTheLookAndAChangedAreaDoesNot)
{
    const cRgbPicture reference = grey(100, 100, 100);
    cFrameDifference d = measure(reference, reference);
    EXPECT_EQ(d.worst_levels, 0);

    // Every channel two levels off, and a few edge pixels far off.
    cRgbPicture rounded = grey(100, 100, 102);
    for (int i = 0; i < 10; ++i)
        rounded.rgb[i * 300] = 200;
    d = measure(reference, rounded);
    EXPECT_NEAR(d.mean_levels, 2.0 + 10 * 98.0 / 30000, 1e-9);
    EXPECT_NEAR(d.mean_beyond, 10 * 98.0 / 30000, 1e-9);
    EXPECT_DOUBLE_EQ(d.share_off, 10 / 10000.0);
    EXPECT_EQ(d.worst_levels, 100);
    EXPECT_TRUE(same_look(d));
    // One level more everywhere is no longer rounding.
    EXPECT_FALSE(same_look(measure(reference, grey(100, 100, 103))));

    // One channel of a 12x12 patch pushed past the off threshold.
    cRgbPicture patch = reference;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            patch.rgb[(y * 100 + x) * 3 + 1] = 100 + OFF_LEVELS + 1;
    d = measure(reference, patch);
    EXPECT_DOUBLE_EQ(d.share_off, 144 / 10000.0);
    EXPECT_FALSE(same_look(d));

    EXPECT_THROW(measure(reference, grey(100, 99, 100)), cCompareError);
}

TEST(CompareTest, TheStripShowsReferenceCaptureAndTheDifferenceAmplified)
{
    const cRgbPicture strip = difference_strip(grey(4, 2, 10), grey(4, 2, 13));
    ASSERT_EQ(strip.width, 12);
    EXPECT_EQ(strip.rgb[0], 10);
    EXPECT_EQ(strip.rgb[4 * 3], 13);
    EXPECT_EQ(strip.rgb[(12 + 8) * 3], 24);  // second row, difference third
}
