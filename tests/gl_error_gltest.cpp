#include "support/gl_context.h"

#include "demo_clock.h"
#include "gl.h"
#include "gl_error.h"
#include "support/files.h"

class GlErrorTest : public GlTest {};

TEST_F(GlErrorTest, FormatsTheLineAndReportsOneErrorPerCall)
{
    EXPECT_EQ(gl_error_line(nullptr, "", "invalid enumerant"), "## ERROR: OpenGL : invalid enumerant");
    cDemoClock clock;
    clock.now = 1500;
    EXPECT_EQ(gl_error_line(&clock, "SDL_main", "x"), "## ERROR: OpenGL (1.5)  SDL_main: x");

    EXPECT_FALSE(check_gl_error(nullptr, "clean"));
    glEnable(0xFFFF);  // GL_INVALID_ENUM
    EXPECT_EQ(stderr_of([] { EXPECT_TRUE(check_gl_error(nullptr, "init_gl")); }),
              "## ERROR: OpenGL  init_gl: invalid enumerant\n");
    EXPECT_FALSE(check_gl_error(nullptr, "init_gl"));
}
