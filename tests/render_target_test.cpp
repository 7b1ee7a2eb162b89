#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "post/post_pass.h"
#include "render_target.h"

TEST(RenderTargetSize, ClassesOfWideAndLetterboxedPicturesAndTheClassOfAScreenWidth)
{
    auto text = [](int32_t c, uint32_t w, uint32_t h) {
        const cRenderTargetSize s = rtt_size(c, w, h);
        return std::to_string(s.width) + "x" + std::to_string(s.height);
    };
    const int32_t classes[] = {RTT_FULL, RTT_HALF, RTT_QUATER, RTT_EIGHTH, RTT_DOUBLE};
    const char* wide[] = {"1280x720", "640x360", "320x180", "160x90", "2560x1440"};
    const char* letterboxed[] = {"1024x575", "512x287", "256x143", "128x71", "2048x1150"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(text(classes[i], 1280, 720), wide[i]);
        EXPECT_EQ(text(classes[i], 1024, 575), letterboxed[i]);
    }
    EXPECT_STREQ(rtt_name(RTT_QUATER), "RTT_QUATER");
    EXPECT_STREQ(rtt_name(3), "OOOPS");
    // No class means no size: the division by zero must not be reached.
    EXPECT_THROW(rtt_size(RTT_NONE, 1280, 720), std::invalid_argument);
    EXPECT_THROW(rtt_size(3, 1280, 720), std::invalid_argument);

    EXPECT_EQ(size_class_of(1280u), RTT_FULL);
    EXPECT_EQ(size_class_of(320u), RTT_QUATER);
    EXPECT_EQ(size_class_of(2560u), RTT_DOUBLE);
    EXPECT_THROW(size_class_of(333u), std::invalid_argument);
}
