#include <gtest/gtest.h>

#include <stdexcept>

#include "post/post_pass.h"
#include "render_target.h"

TEST(PostSizeClass, FollowsTheScreenWidth)
{
    EXPECT_EQ(size_class_of(1280u), RTT_FULL);
    EXPECT_EQ(size_class_of(320u), RTT_QUATER);
    EXPECT_EQ(size_class_of(2560u), RTT_DOUBLE);
    EXPECT_THROW(size_class_of(333u), std::invalid_argument);
}
