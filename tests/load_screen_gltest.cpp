#include "support/gl_context.h"

#include <chrono>

#include "gl.h"
#include "load_screen.h"
#include "resource_path.h"
#include "state_manager.h"
#include "support/image_file.h"
#include "support/files.h"
#include "texture_manager.h"
#include "video.h"

namespace {

constexpr int ROW_IN_BAR = 368;  // a screen row through the middle of the bar

int red(const std::vector<uint8_t>& rgba, int i)
{
    return rgba[static_cast<size_t>(i) * 4];
}

// First and one-past-last column of the row whose red exceeds `level`;
// {-1, -1} when none does.
std::pair<int, int> lit_span(const std::vector<uint8_t>& row, int width, int level)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < width; ++x)
        if (red(row, x) > level) {
            if (first < 0)
                first = x;
            last = x + 1;
        }
    return {first, last};
}

GLint stack_depth(GLenum which)
{
    GLint depth = 0;
    glGetIntegerv(which, &depth);
    return depth;
}

class LoadScreenTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cResourcePath::get_instance()->add("../data/textures");
        cStateManager::get_instance()->set_defaults();
    }
    void TearDown() override
    {
        cTextureManager::destroy_instance();
        cResourcePath::destroy_instance();
        GlTest::TearDown();
    }

    // A screen whose picture is black and whose bar is white, so that the
    // bar's geometry can be read straight from the pixels. Nearest filtering:
    // with GL_CLAMP a 4-texel picture would fade into the border colour over
    // the first half texel.
    static void use_plain_pictures(cLoadScreen_Img& screen)
    {
        screen.background = cTextureManager::get_instance()->get_default_black();
        use_bar(screen, cTextureManager::get_instance()->get_default_white());
    }
    static void use_bar(cLoadScreen_Img& screen, const cTexture& bar)
    {
        screen.bar = bar;
        glBindTexture(bar.target, bar.name);
        glTexParameteri(bar.target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(bar.target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(bar.target, 0);
    }
};

TEST_F(LoadScreenTest, ConstructionLoadsThePicturesAndPreparesGl)
{
    const GLint depth_before = stack_depth(GL_PROJECTION_STACK_DEPTH);
    {
        cLoadScreen_Img screen;
        EXPECT_EQ(std::make_pair(screen.background.width, screen.background.height), std::make_pair(1280u, 720u));
        EXPECT_EQ(screen.bar.target, static_cast<GLenum>(GL_TEXTURE_2D));  // drawn with 0-1 coordinates
        const cGLState& applied = cStateManager::get_instance()->applied;
        EXPECT_EQ(applied.get(gs::BLEND) + applied.get(gs::LIGHTING), 0u);
        EXPECT_EQ(stack_depth(GL_PROJECTION_STACK_DEPTH), depth_before + 1);
    }
    EXPECT_EQ(stack_depth(GL_PROJECTION_STACK_DEPTH), depth_before);
    EXPECT_EQ(stack_depth(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(LoadScreenTest, BarGrowsFromTheLeftEdgeToItsFullLength)
{
    cLoadScreen_Img screen;
    use_plain_pictures(screen);
    struct cCase {
        float p;    // bar value
        int first;  // expected first lit column, -1 for none
        int last;   // expected one-past-last lit column: x_end = p * 1024 + 120
    };
    for (const cCase c : {cCase{0.0f, -1, -1}, cCase{0.5f, 120, 632}, cCase{1.0f, 120, 1144}}) {
        screen.draw_frame(c.p);
        const auto row = read_pixels(0, ROW_IN_BAR, 1280, 1);
        const auto span = lit_span(row, 1280, 60);
        EXPECT_EQ(span.first, c.first) << "p = " << c.p;
        EXPECT_NEAR(span.second, c.last, 1) << "p = " << c.p;
        if (c.first >= 0) {
            EXPECT_NEAR(red(row, (c.first + c.last) / 2), 102, 3);  // 0.4 of white added onto black
        }
    }
    // Rows 340 to 396 (56.9 design pixels from 340) hold the bar.
    const auto column = read_pixels(300, 330, 1, 80);
    const auto rows = lit_span(column, 80, 60);
    EXPECT_EQ(rows.first + 330, 340);
    EXPECT_EQ(rows.second + 330, 397);
}

TEST_F(LoadScreenTest, FrameLinesAlwaysAndALeadingEdgeOnlyOnceTheBarHasLength)
{
    cLoadScreen_Img screen;
    use_plain_pictures(screen);
    screen.draw_frame(0.0f);
    // The faint frame spans the whole track even at zero progress...
    const auto bottom_line = read_pixels(0, 340, 1280, 1);
    EXPECT_GT(red(bottom_line, 1000), 4);
    EXPECT_LT(red(bottom_line, 1000), 40);
    EXPECT_EQ(red(bottom_line, 100), 0);
    // ...but nothing stands between its ends.
    const auto middle = read_pixels(0, ROW_IN_BAR, 1280, 1);
    for (int x = 100; x < 1160; ++x)
        ASSERT_EQ(red(middle, x), 0) << x;

    screen.draw_frame(0.5f);
    const auto row = read_pixels(0, ROW_IN_BAR, 1280, 1);
    int edge = 0;
    for (int x = 632; x < 636; ++x)
        edge = std::max(edge, red(row, x));
    EXPECT_GT(edge, 4);   // the leading edge just right of the fill
    EXPECT_LT(edge, 40);
    EXPECT_EQ(red(row, 700), 0);
}

TEST_F(LoadScreenTest, BarPictureIsRevealedNotStretched)
{
    // Left half red, right half green: half the bar shows only red.
    const cTempDir dir("loadscreen_halves");
    ASSERT_TRUE(write_image(dir / "halves.png", 8, 4, 24, [](int x, int) {
        return x < 4 ? std::array<uint8_t, 4>{255, 0, 0, 255} : std::array<uint8_t, 4>{0, 255, 0, 255};
    }));
    cResourcePath::get_instance()->add(dir.path.string());

    cLoadScreen_Img screen;
    use_plain_pictures(screen);
    use_bar(screen, cTextureManager::get_instance()->get_texture("halves.png", false, GL_CLAMP, 0));
    screen.draw_frame(0.5f);
    const auto row = read_pixels(0, ROW_IN_BAR, 1280, 1);
    for (int x = 380; x < 625; x += 10) {  // the right half of the fill: green if stretched
        EXPECT_NEAR(red(row, x), 102, 3) << x;
        EXPECT_EQ(row[static_cast<size_t>(x) * 4 + 1], 0) << x;
    }
}

TEST_F(LoadScreenTest, UpdateAnimatesForTwoHundredMillisecondsAndEndsOnTheValue)
{
    cLoadScreen_Img screen;
    use_plain_pictures(screen);
    cVideo_SDL::get_instance()->screen = window;  // let the swaps reach the test window
    for (const float target : {0.5f, 0.5f}) {  // the same value animates as long
        const auto start = std::chrono::steady_clock::now();
        screen.update(target, false);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(ms, 199);
        EXPECT_LT(ms, 1500);
        EXPECT_EQ(screen.progress, target);
        const auto span = lit_span(read_pixels(0, ROW_IN_BAR, 1280, 1), 1280, 60);
        EXPECT_EQ(span.first, 120);
        EXPECT_NEAR(span.second, 632, 1);
    }
    const auto start = std::chrono::steady_clock::now();
    screen.update(1.0f, true);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(199));
    EXPECT_EQ(screen.progress, 1.0f);
    cVideo_SDL::get_instance()->screen = nullptr;
}

TEST(LoadBarEaseTest, SmoothstepOverTwoHundredMilliseconds)
{
    for (const auto& [ms, want] : {std::pair{-5, 0.0f}, {0, 0.0f}, {50, 0.15625f}, {100, 0.5f}, {150, 0.84375f},
                                   {200, 1.0f}, {5000, 1.0f}})
        EXPECT_FLOAT_EQ(load_bar_ease(ms), want) << ms;
}

}  // namespace
