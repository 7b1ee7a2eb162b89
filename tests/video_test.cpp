#include <gtest/gtest.h>

#include <tuple>

#include "video.h"
#include "support/files.h"

namespace {

struct Mode {
    float aspect;
    int width, height, vp_width, vp_height;
    bool stretch;
    const char* log;  // the decision's two lines
};

TEST(VideoTest, DisplayDecisionFollowsTheNearerAspect)
{
    const char* wide = "# stretching\n# widescreen\n";
    const Mode cases[] = {
        {1920.0f / 1080.0f, 1280, 720, 1280, 720, true, wide},   // 16:9
        {1920.0f / 1200.0f, 1280, 720, 1280, 720, true, wide},   // 16:10 is nearer 16:9
        {1280.0f / 1024.0f, 1024, 768, 1024, 575, false, "# non-stretched\n# non-widescreen\n"},  // 5:4
        // Exactly halfway between 4:3 and 16:9 is wide.
        {(static_cast<float>(4.0 / 3.0) + static_cast<float>(16.0 / 9.0)) / 2.0f, 1280, 720, 1280, 720, true, wide},
    };
    for (const Mode& m : cases) {
        cVideo_SDL v;
        EXPECT_EQ(stdout_of([&] { v.choose_mode(m.aspect); }), m.log) << m.aspect;
        EXPECT_EQ(std::tie(v.width, v.height, v.viewport_width, v.viewport_height, v.stretch),
                  std::tie(m.width, m.height, m.vp_width, m.vp_height, m.stretch))
            << m.aspect;
    }
}

TEST(VideoTest, AttributeLinesAndVersionNumbers)
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

    EXPECT_EQ(sdl_version_number(1, 2, 15), 1215);
    EXPECT_LT(sdl_version_number(2, 0, 9), sdl_version_number(2, 0, 10));
    EXPECT_GT(sdl_version_number(2, 26, 5), sdl_version_number(2, 0, 10));
}

}  // namespace
