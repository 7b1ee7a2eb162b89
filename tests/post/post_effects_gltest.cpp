// Pixel tests of blur, radial blur, levels, cut, spill and the colour effects.
#include "support/image_file.h"
#include "support/files.h"

#include <cmath>

#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_fixture.h"
#include "post/post_glow.h"

namespace {

const cRgba CLEAR{0, 0, 0, 0};
const cRgba BLACK{0, 0, 0, 255};
const cRgba WHITE{255, 255, 255, 255};

// 255 * C(n, k) / 2^n: a white line after a binomial kernel of order n.
double binomial_level(int n, int k)
{
    double c = 255;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return c / std::pow(2.0, n);
}

}  // namespace

TEST_F(PostTest, BlurSpreadsOnePixelSymmetricallyKeepingOrLeavingAlpha)
{
    cTmpRenderTarget a = get_tmp_render_target(RTT_FULL);
    for (bool keep_alpha : {true, false}) {
        fill(*a.target, [](int x, int y) { return x == 640 && y == 360 ? WHITE : CLEAR; });
        cPostBlur::get_instance()->apply(*a.target, *a.target, keep_alpha);  // in place
        const cPicture p = read(*a.target);
        EXPECT_NEAR(p.at(640, 360)[0], 255.0 * 70 / 256 * 70 / 256, 1.5) << "nine-tap binomial per axis";
        EXPECT_EQ(p.at(640, 360)[3], keep_alpha ? p.at(640, 360)[0] : 255);
        for (int k = 1; k <= 3; ++k) {
            const cRgba right = p.at(640 + k, 360);
            EXPECT_GT(right[0], 0);
            EXPECT_EQ(right[3], keep_alpha ? right[0] : 0) << "alpha blurred, or each pixel's own";
            for (cRgba other : {p.at(640 - k, 360), p.at(640, 360 + k), p.at(640, 360 - k)})
                EXPECT_EQ(other, right) << k;
        }
    }
    // Several blurs in a row: one wide kernel, the same as blurring again.
    for (int times : {2, 4}) {
        fill(*a.target, [](int x, int y) { return x == 640 && y == 360 ? WHITE : CLEAR; });
        cPostBlur::get_instance()->apply(*a.target, *a.target, false, times);
        const cPicture p = read(*a.target);
        const int n = 8 * times;
        for (int k : {0, 3, 7})
            EXPECT_NEAR(p.at(640 + k, 360 + k)[0], binomial_level(n, n / 2 - k) * binomial_level(n, n / 2 - k) / 255,
                        1.5)
                << times << " times, " << k << " off";
    }
}

TEST_F(PostTest, RadialBlurStreaksAwayFromItsCentre)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL), dst = get_tmp_render_target(RTT_FULL);
    fill(*src.target, [](int x, int y) { return std::abs(x - 960) < 12 && std::abs(y - 360) < 12 ? WHITE : BLACK; });
    // Centre of the half-size intermediate picture.
    cPostRadialBlur::get_instance()->apply(*dst.target, *src.target, {320, 180, 100, 25, 1, 1, RTT_HALF});
    const cPicture p = read(*dst.target);
    EXPECT_GT(p.at(960 + 52, 360)[0], 25) << "beyond the square, away from the centre";
    EXPECT_LT(p.at(960 - 52, 360)[0], 3) << "between the square and the centre";
    EXPECT_LT(p.at(960, 360 + 72)[0], 3) << "beside the ray";
}

TEST_F(PostTest, LevelsMapInputRangeGammaAndOutputRange)
{
    const cRgba greys[6] = {{0, 0, 0, 77}, {50, 50, 50, 77}, {125, 125, 125, 77}, {200, 200, 200, 77}, {255, 255, 255, 77}, {28, 149, 177, 255}};
    cTmpRenderTarget src = get_tmp_render_target(RTT_QUATER), dst = get_tmp_render_target(RTT_QUATER);
    fill(*src.target, [&](int x, int) { return greys[x * 6 / 320]; });
    auto band = [&](const cLevelsParams& block, int i) {
        into(*dst.target, [&] { cPostLevels::get_instance()->apply(*src.target, block); });
        return read(*dst.target).at(i * 320 / 6 + 20, 40);
    };
    const int expected[5] = {10, 10, 130, 250, 250};
    for (int i = 0; i < 5; ++i)
        EXPECT_THAT(band({50, 200, 1, 10, 250}, i), RgbaNear(cRgba{expected[i], expected[i], expected[i], 77}, 1)) << i;
    const int bent = static_cast<int>(std::lround(10 + std::sqrt(0.5) * 240));
    EXPECT_THAT(band({50, 200, 2, 10, 250}, 2), RgbaNear(cRgba{bent, bent, bent, 77}, 1)) << "gamma 2 brightens";
    // The net sphere's mask: teal turns almost white, black stays black.
    const cLevelsParams mask{140.602f, 150.947f, 4, 2.68179f, 255};
    EXPECT_THAT(band(mask, 5), RgbaNear(cRgba{3, 242, 255, 255}, 1));
    EXPECT_THAT(band(mask, 0), RgbaNear(cRgba{3, 3, 3, 77}, 1));
    EXPECT_THAT(band({255, 255, 1, 0, 255}, 3), RgbaNear(cRgba{0, 0, 0, 77}, 1)) << "closed range at the top: black";
}

TEST_F(PostTest, CutKeepsTheSoftenedBrightPartsAndGlowAddsThem)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL), dst = get_tmp_render_target(RTT_FULL);
    fill(*src.target, [](int x, int) { return x == 640 ? WHITE : BLACK; });
    cPostCut* cut = cPostCut::get_instance();
    cut->apply(*src.target, *dst.target, {RTT_FULL, 255, 255});
    const cPicture black = read(*dst.target);
    for (int x : {0, 638, 640, 1279})
        EXPECT_EQ(black.at(x, 300), BLACK) << "pre-cut 255 leaves nothing";
    // Three nine-tap binomial blurs make one of order 24; six passes round to 8 bits.
    cut->apply(*src.target, *dst.target, {RTT_FULL, 0, 255});
    const cPicture soft = read(*dst.target);
    for (int k = 0; k <= 6; ++k) {
        EXPECT_NEAR(soft.at(640 + k, 300)[0], binomial_level(24, 12 - k), 3) << k;
        EXPECT_NEAR(soft.at(640 - k, 300)[0], binomial_level(24, 12 - k), 3) << k;
    }
    cut->apply_glow(*dst.target, *src.target, {RTT_FULL, 0, 255});
    const cPicture glow = read(*dst.target);
    EXPECT_EQ(glow.at(640, 300)[0], 255);
    EXPECT_NEAR(glow.at(642, 300)[0], binomial_level(24, 10), 3);
    EXPECT_EQ(glow.at(0, 300), BLACK);
}

TEST_F(PostTest, SpillAddsItsLayerAndMakesTheBaseOpaqueWhereItSpills)
{
    cTmpRenderTarget base = get_tmp_render_target(RTT_FULL), spill = get_tmp_render_target(RTT_QUATER),
                     dst = get_tmp_render_target(RTT_FULL);
    fill(*base.target, cRgba{100, 50, 0, 128});
    fill(*spill.target, [](int x, int) { return x < 160 ? cRgba{20, 30, 40, 255} : CLEAR; });
    into(*dst.target, [&] { cPostSpill::get_instance()->apply(*base.target, *spill.target); });
    EXPECT_THAT(read(*dst.target).at(100, 100), RgbaNear(cRgba{120, 80, 40, 168}, 1));
    EXPECT_THAT(read(*dst.target).at(1200, 100), RgbaNear(cRgba{100, 50, 0, 128}, 1)) << "spill spans the picture";
}

TEST_F(PostTest, HueHalfTurnMakesRedCyanEverywhereUnlessMasked)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF), dst = get_tmp_render_target(RTT_HALF);
    fill(*src.target, cRgba{255, 0, 0, 200});
    cPostHSB* hsb = cPostHSB::get_instance();
    into(*dst.target, [&] { hsb->apply(*src.target, {180, 0, 0, nullptr}); });
    const cPicture cyan = read(*dst.target);
    for (auto [x, y] : {std::pair{0, 0}, {639, 359}, {320, 180}, {10, 350}})
        EXPECT_THAT(cyan.at(x, y), RgbaNear(cRgba{0, 152, 153, 200}, 6)) << x << "," << y << ": no mask, no edge";
    into(*dst.target, [&] { hsb->apply(*src.target, {0, -100, 0, nullptr}); });
    EXPECT_THAT(read(*dst.target).at(320, 180), RgbaNear(cRgba{76, 76, 76, 200}, 2)) << "grey of red's luminance";
    // Left half white, right half black.
    cTexture mask{GL_TEXTURE_2D, 0, 2, 2, 0};
    mask.name = make_texture(GL_TEXTURE_2D, 2, 2, {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255});
    into(*dst.target, [&] { hsb->apply(*src.target, {0, 0, -50, &mask}); });
    EXPECT_THAT(read(*dst.target).at(100, 180), RgbaNear(cRgba{128, 0, 0, 200}, 2)) << "darker where white";
    EXPECT_EQ(read(*dst.target).at(540, 180), (cRgba{255, 0, 0, 200})) << "unchanged where black";
    glDeleteTextures(1, &mask.name);
}

TEST_F(PostTest, ColourCorrectionLooksEachPixelUpByItsLuminance)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_HALF), dst = get_tmp_render_target(RTT_HALF);
    cPostColorCorrection* correction = cPostColorCorrection::get_instance();
    EXPECT_THROW(correction->apply(*src.target), std::logic_error) << "before init";
    // A 256 x 1 gradient: luminance i reads (255 - i, i, 64).
    const cTempDir dir("post_lookup");
    ASSERT_TRUE(write_image(dir / "lookup_test.png", 256, 1, 24, [](int i, int) {
        return std::array<uint8_t, 4>{static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), 64, 255};
    }));
    cResourcePath::get_instance()->add(dir.path.string());
    correction->init("lookup_test.png");
    fill(*src.target, [](int x, int) { return x < 320 ? cRgba{128, 128, 128, 200} : BLACK; });
    into(*dst.target, [&] { correction->apply(*src.target); });
    EXPECT_THAT(read(*dst.target).at(100, 100), RgbaNear(cRgba{127, 128, 64, 200}, 2));
    EXPECT_THAT(read(*dst.target).at(500, 100), RgbaNear(cRgba{255, 0, 64, 255}, 2));
}
