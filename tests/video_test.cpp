#include <gtest/gtest.h>

#include "video.h"

namespace {

struct Mode {
    float aspect;
    int width, height, vp_width, vp_height;
    bool stretch;
};

TEST(VideoTest, DisplayDecisionFollowsTheNearerAspect)
{
    const Mode cases[] = {
        {1920.0f / 1080.0f, 1280, 720, 1280, 720, true},   // 16:9
        {1920.0f / 1200.0f, 1280, 720, 1280, 720, true},   // 16:10 is nearer 16:9
        {1280.0f / 1024.0f, 1024, 768, 1024, 575, false},  // 5:4 is nearer 4:3
        {1024.0f / 768.0f, 1024, 768, 1024, 575, false},
    };
    for (const Mode& m : cases) {
        cVideo_SDL v;
        v.choose_mode(m.aspect);
        EXPECT_EQ(v.width, m.width) << m.aspect;
        EXPECT_EQ(v.height, m.height) << m.aspect;
        EXPECT_EQ(v.viewport_width, m.vp_width) << m.aspect;
        EXPECT_EQ(v.viewport_height, m.vp_height) << m.aspect;
        EXPECT_EQ(v.stretch, m.stretch) << m.aspect;
    }
}

TEST(VideoTest, ExactlyHalfwayBetweenFourThirdsAndSixteenNinthsIsWide)
{
    const float d43 = static_cast<float>(4.0 / 3.0);
    const float d169 = static_cast<float>(16.0 / 9.0);
    cVideo_SDL v;
    testing::internal::CaptureStdout();
    v.choose_mode((d43 + d169) / 2.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "# stretching\n# widescreen\n");
    EXPECT_TRUE(v.stretch);
}

TEST(VideoTest, FourThreeDecisionLogsBothLines)
{
    cVideo_SDL v;
    testing::internal::CaptureStdout();
    v.choose_mode(4.0f / 3.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "# non-stretched\n# non-widescreen\n");
}

TEST(VideoTest, AttributeLines)
{
    const int32_t request[10] = {8, 8, 8, 8, 24, 8, 1, 0, 0, 0};
    EXPECT_EQ(attribute_line(request), "8x8x8x8,d24s8  doublebuffered noaa");

    const int32_t no_stencil[10] = {8, 8, 8, 8, 24, 0, 1, 0, 0, 0};
    EXPECT_EQ(first_attribute_mismatch(request, no_stencil), 5);
    EXPECT_EQ(attribute_line(no_stencil), "8x8x8x8,d24s0  doublebuffered noaa");

    const int32_t fsaa[10] = {8, 8, 8, 0, 16, 0, 0, 1, 4, 0};
    EXPECT_EQ(attribute_line(fsaa), "8x8x8x0,d16s0  singlebuffered multisample 4");
    EXPECT_EQ(first_attribute_mismatch(request, request), -1);
    EXPECT_EQ(first_attribute_mismatch(request, fsaa), 3);
}

TEST(VideoTest, VersionNumber)
{
    EXPECT_EQ(sdl_version_number(1, 2, 15), 1215);
    EXPECT_EQ(sdl_version_number(1, 2, 11), 1211);
    EXPECT_EQ(sdl_version_number(2, 0, 10), 2010);
    EXPECT_LT(sdl_version_number(2, 0, 9), sdl_version_number(2, 0, 10));
    EXPECT_GT(sdl_version_number(2, 26, 5), sdl_version_number(2, 0, 10));
}

}  // namespace
