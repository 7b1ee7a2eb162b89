// Pixel tests of the blur, radial blur, levels, cut, spill and colour effects.
#include <FreeImage.h>

#include <cmath>
#include <filesystem>

#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_glow.h"
#include "post/post_fixture.h"
#include "texture_manager.h"

namespace {

const cRgba OPAQUE_BLACK{0, 0, 0, 255};
const cRgba WHITE{255, 255, 255, 255};

// 255 * C(n, k) / 2^n: a white line after a binomial kernel of order n.
double binomial_level(int n, int k)
{
    double c = 1;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return 255.0 * c / std::pow(2.0, n);
}

}  // namespace

// ---- blur ------------------------------------------------------------------------

TEST_F(PostTest, BlurSpreadsOnePixelSymmetricallyAndBlursAlphaWhenKept)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL);
    fill(*src.target, [](int x, int y) { return x == 640 && y == 360 ? WHITE : cRgba{0, 0, 0, 0}; });
    cPostBlur::get_instance()->apply(*src.target, *src.target, true);  // in place
    const cPicture p = read(*src.target);
    // Nine-tap binomial per axis: the centre keeps (70/256)^2 of the light.
    EXPECT_NEAR(p.at(640, 360)[0], 255.0 * 70 / 256 * 70 / 256, 1.5);
    for (int k = 1; k <= 4; ++k) {
        const cRgba right = p.at(640 + k, 360);
        EXPECT_EQ(p.at(640 - k, 360), right) << k;
        EXPECT_EQ(p.at(640, 360 + k), right) << k;
        EXPECT_EQ(p.at(640, 360 - k), right) << k;
        if (k < 4) {
            EXPECT_GT(right[0], 0) << k;
        }
        EXPECT_EQ(right[3], right[0]) << "alpha spreads with the colour";
    }
    EXPECT_EQ(p.at(645, 360), (cRgba{0, 0, 0, 0}));
}

TEST_F(PostTest, BlurWithoutAlphaLeavesEveryPixelItsOwnAlpha)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_HALF);
    fill(*src.target, [](int x, int y) { return x == 100 && y == 100 ? WHITE : cRgba{0, 0, 0, 0}; });
    cPostBlur::get_instance()->apply(*dst.target, *src.target, false);
    const cPicture p = read(*dst.target);
    EXPECT_EQ(p.at(100, 100)[3], 255);
    EXPECT_GT(p.at(102, 100)[0], 0);
    EXPECT_EQ(p.at(102, 100), p.at(98, 100));
    EXPECT_EQ(p.at(102, 100)[3], 0);
}

// ---- radial blur ------------------------------------------------------------------

TEST_F(PostTest, RadialBlurStreaksAwayFromItsCentre)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_FULL);
    // A white square right of the picture's centre.
    fill(*src.target, [](int x, int y) { return std::abs(x - 960) < 12 && std::abs(y - 360) < 12 ? WHITE : OPAQUE_BLACK; });
    fill(*dst.target, OPAQUE_BLACK);
    cRadialBlurParams block;
    block.size_class = RTT_HALF;
    block.center_x = 320;  // centre of the half-size intermediate picture
    block.center_y = 180;
    block.multiplier = 1;
    cPostRadialBlur::get_instance()->apply(*dst.target, *src.target, block);
    const cPicture p = read(*dst.target);
    EXPECT_GT(p.at(960 + 52, 360)[0], 25) << "streak beyond the square, away from the centre";
    EXPECT_LT(p.at(960 - 52, 360)[0], 3) << "nothing between the square and the centre";
    EXPECT_LT(p.at(960, 360 + 72)[0], 3) << "nothing beside the ray";
}

// ---- levels ---------------------------------------------------------------------------

TEST_F(PostTest, LevelsMapInputRangeGammaAndOutputRange)
{
    const int greys[5] = {0, 50, 125, 200, 255};
    cTmpRenderTarget src = get_tmp_render_target(RTT_QUATER);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_QUATER);
    fill(*src.target, [&](int x, int) { const int g = greys[x / 64]; return cRgba{g, g, g, 77}; });
    auto band = [&](const cLevelsParams& block, int i) {
        into(*dst.target, [&] { cPostLevels::get_instance()->apply(*src.target, block); });
        return read(*dst.target).at(i * 64 + 32, 40);
    };
    const cLevelsParams linear{50, 200, 1, 10, 250};
    EXPECT_THAT(band(linear, 0), RgbaNear(cRgba{10, 10, 10, 77}, 1)) << "alpha passes unchanged";
    EXPECT_THAT(band(linear, 1), RgbaNear(cRgba{10, 10, 10, 77}, 1));
    EXPECT_THAT(band(linear, 2), RgbaNear(cRgba{130, 130, 130, 77}, 1));
    EXPECT_THAT(band(linear, 3), RgbaNear(cRgba{250, 250, 250, 77}, 1));
    EXPECT_THAT(band(linear, 4), RgbaNear(cRgba{250, 250, 250, 77}, 1));
    const int bent = static_cast<int>(std::lround(10 + std::sqrt(0.5) * 240));
    EXPECT_THAT(band({50, 200, 2, 10, 250}, 2), RgbaNear(cRgba{bent, bent, bent, 77}, 1)) << "gamma 2 brightens";
}

TEST_F(PostTest, LevelsOfTheNetSphereTurnTealAlmostWhiteAndKeepBlack)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_QUATER);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_QUATER);
    fill(*src.target, [](int x, int) { return x < 160 ? cRgba{28, 149, 177, 255} : OPAQUE_BLACK; });
    into(*dst.target, [&] { cPostLevels::get_instance()->apply(*src.target, {140.602f, 150.947f, 4, 2.68179f, 255}); });
    const cPicture p = read(*dst.target);
    EXPECT_THAT(p.at(10, 10), RgbaNear(cRgba{3, 242, 255, 255}, 1));
    EXPECT_THAT(p.at(300, 10), RgbaNear(cRgba{3, 3, 3, 255}, 1));
}

// ---- cut, glow and spill ------------------------------------------------------------------

class PostCutTest : public PostTest {
protected:
    void SetUp() override
    {
        PostTest::SetUp();
        src = get_tmp_render_target(RTT_FULL);
        dst = get_tmp_render_target(RTT_FULL);
        // One white column on opaque black.
        fill(*src.target, [](int x, int) { return x == 640 ? WHITE : OPAQUE_BLACK; });
        fill(*dst.target, cRgba{7, 7, 7, 255});
    }
    void TearDown() override
    {
        src.release();
        dst.release();
        PostTest::TearDown();
    }
    cTmpRenderTarget src;
    cTmpRenderTarget dst;
};

TEST_F(PostCutTest, PreCut255LeavesOnlyBlack)
{
    cPostCut::get_instance()->apply(*src.target, *dst.target, {RTT_FULL, 255, 255});
    const cPicture p = read(*dst.target);
    for (int x : {0, 636, 640, 644, 1279})
        EXPECT_THAT(p.at(x, 300), RgbaNear(OPAQUE_BLACK, 0)) << x;
}

TEST_F(PostCutTest, NoCutGivesTheThriceBlurredSource)
{
    cPostCut::get_instance()->apply(*src.target, *dst.target, {RTT_FULL, 0, 255});
    const cPicture p = read(*dst.target);
    // Three nine-tap binomial passes make one binomial kernel of order 24;
    // each of the six passes rounds to 8 bits.
    for (int k = 0; k <= 6; ++k) {
        const double expected = binomial_level(24, 12 - k);
        EXPECT_NEAR(p.at(640 + k, 300)[0], expected, 3) << k;
        EXPECT_NEAR(p.at(640 - k, 300)[0], expected, 3) << k;
    }
    EXPECT_EQ(p.at(640, 300)[3], 255);
}

TEST_F(PostCutTest, GlowAddsTheCutOverTheSource)
{
    cPostCut::get_instance()->apply_glow(*dst.target, *src.target, {RTT_FULL, 0, 255});
    const cPicture p = read(*dst.target);
    EXPECT_EQ(p.at(640, 300)[0], 255);
    EXPECT_NEAR(p.at(642, 300)[0], binomial_level(24, 10), 3);
    EXPECT_EQ(p.at(0, 300)[0], 0);
}

TEST_F(PostTest, SpillAddsItsLayerAndMakesTheBaseOpaqueWhereItSpills)
{
    cTmpRenderTarget base = get_tmp_render_target(RTT_FULL);
    cTmpRenderTarget spill = get_tmp_render_target(RTT_QUATER);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_FULL);
    fill(*base.target, cRgba{100, 50, 0, 128});
    fill(*spill.target, [](int x, int) { return x < 160 ? cRgba{20, 30, 40, 255} : cRgba{0, 0, 0, 0}; });
    into(*dst.target, [&] { cPostSpill::get_instance()->apply(*base.target, *spill.target); });
    const cPicture p = read(*dst.target);
    EXPECT_THAT(p.at(100, 100), RgbaNear(cRgba{120, 80, 40, 168}, 1)) << "spill spans the whole destination";
    EXPECT_THAT(p.at(1200, 100), RgbaNear(cRgba{100, 50, 0, 128}, 1));
}

// ---- hue / saturation / brightness -----------------------------------------------------

TEST_F(PostTest, HueTurnedHalfwayMakesRedCyanEverywhereWithoutAMask)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_HALF);
    fill(*src.target, cRgba{255, 0, 0, 200});
    into(*dst.target, [&] { cPostHSB::get_instance()->apply(*src.target, {180, 0, 0, nullptr}); });
    const cPicture p = read(*dst.target);
    for (auto [x, y] : {std::pair{0, 0}, {639, 359}, {320, 180}, {10, 350}}) {
        const cRgba c = p.at(x, y);
        EXPECT_LT(c[0], 10);
        EXPECT_NEAR(c[1], 152, 6);
        EXPECT_NEAR(c[2], 153, 6);
        EXPECT_EQ(c[3], 200);
    }
}

TEST_F(PostTest, HsbMaskLimitsTheChangeToItsWhitePart)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_HALF);
    fill(*src.target, cRgba{255, 0, 0, 255});
    // Left half white, right half black; covers the destination once.
    cTexture mask{GL_TEXTURE_2D, 0, 2, 2, 0};
    mask.name = make_texture(GL_TEXTURE_2D, 2, 2, std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 255,  //
                                                                       255, 255, 255, 255, 0, 0, 0, 255});
    into(*dst.target, [&] { cPostHSB::get_instance()->apply(*src.target, {0, 0, -50, &mask}); });
    const cPicture p = read(*dst.target);
    EXPECT_THAT(p.at(100, 180), RgbaNear(cRgba{128, 0, 0, 255}, 2)) << "brightness -50% where white";
    EXPECT_THAT(p.at(540, 180), RgbaNear(cRgba{255, 0, 0, 255}, 0)) << "unchanged where black";
    glDeleteTextures(1, &mask.name);
}

// ---- colour correction -------------------------------------------------------------------

TEST_F(PostTest, ColourCorrectionLooksEachPixelUpByItsLuminance)
{
    // A 256 x 1 gradient: luminance i reads (255 - i, i, 64).
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quorvane_post_lookup";
    std::filesystem::create_directories(dir);
    FIBITMAP* image = FreeImage_Allocate(256, 1, 24);
    BYTE* line = FreeImage_GetScanLine(image, 0);
    for (int i = 0; i < 256; ++i) {
        line[i * 3 + FI_RGBA_RED] = static_cast<BYTE>(255 - i);
        line[i * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(i);
        line[i * 3 + FI_RGBA_BLUE] = 64;
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, (dir / "lookup_test.png").string().c_str(), 0));
    FreeImage_Unload(image);
    cResourcePath::get_instance()->add(dir.string());

    cPostColorCorrection* correction = cPostColorCorrection::get_instance();
    correction->init("lookup_test.png");
    ASSERT_EQ(correction->lookup.target, static_cast<GLenum>(GL_TEXTURE_1D));
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_HALF);
    fill(*src.target, [](int x, int) { return x < 320 ? cRgba{128, 128, 128, 200} : cRgba{0, 0, 0, 255}; });
    into(*dst.target, [&] { correction->apply(*src.target); });
    const cPicture p = read(*dst.target);
    EXPECT_THAT(p.at(100, 100), RgbaNear(cRgba{127, 128, 64, 200}, 2));
    EXPECT_THAT(p.at(500, 100), RgbaNear(cRgba{255, 0, 64, 255}, 2));
}

TEST_F(PostTest, ColourCorrectionBeforeInitIsAProgrammingError)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF);
    EXPECT_THROW(cPostColorCorrection::get_instance()->apply(*src.target), std::logic_error);
}
