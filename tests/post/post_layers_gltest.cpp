// Pixel tests of compositing, the kaleidoscope and the feedback trail.
#include <algorithm>
#include <cmath>

#include "post/post_compositing.h"
#include "post/post_fixture.h"
#include "post/post_kaleido.h"

namespace {

// ---- compositing ----------------------------------------------------------------

const cRgba BOTTOM{200, 100, 50, 255};
const cRgba TOP_LEFT{100, 200, 0, 128};
const cRgba TOP_RIGHT{255, 0, 255, 255};

// What a mode makes of bottom and top at opacity alpha, channels 0-255.
cRgba composite(int mode, cRgba b, cRgba t, float alpha)
{
    const double a = t[3] / 255.0 * alpha;
    cRgba out{};
    for (int k = 0; k < 3; ++k) {
        const double bc = b[k] / 255.0, tc = t[k] / 255.0;
        double f = tc;
        if (mode == COMP_ADD)
            f = bc + tc;
        else if (mode == COMP_SCREEN)
            f = 1 - (1 - bc) * (1 - tc);
        else if (mode == COMP_DODGE)
            f = std::min(bc / std::max(1 - tc, 0.0001), 1.0);
        out[k] = static_cast<int>(std::lround(255 * std::clamp(bc + (f - bc) * a, 0.0, 1.0)));
    }
    out[3] = static_cast<int>(std::lround(255 * (a + b[3] / 255.0 * (1 - a))));
    return out;
}

class PostLayerTest : public PostTest {
protected:
    void SetUp() override
    {
        PostTest::SetUp();
        bottom = get_tmp_render_target(RTT_FULL);
        top = get_tmp_render_target(RTT_HALF);
        dst = get_tmp_render_target(RTT_FULL);
        fill(*bottom.target, BOTTOM);
        fill(*top.target, [](int x, int) { return x < 320 ? TOP_LEFT : TOP_RIGHT; });
    }
    void TearDown() override
    {
        bottom.release();
        top.release();
        dst.release();
        PostTest::TearDown();
    }
    cTmpRenderTarget bottom;
    cTmpRenderTarget top;
    cTmpRenderTarget dst;
};

}  // namespace

TEST_F(PostLayerTest, EachModeGivesItsFormulaAtTheLayerOpacity)
{
    for (int mode : {COMP_BLEND, COMP_ADD, COMP_SCREEN, COMP_DODGE}) {
        for (float alpha : {1.0f, 0.5f, 0.0f}) {
            cPostCompositing::get_instance()->apply(*dst.target, *bottom.target, *top.target, mode, alpha);
            const cPicture p = read(*dst.target);
            EXPECT_THAT(p.at(100, 300), RgbaNear(composite(mode, BOTTOM, TOP_LEFT, alpha), 2)) << mode << " " << alpha;
            EXPECT_THAT(p.at(1200, 300), RgbaNear(composite(mode, BOTTOM, TOP_RIGHT, alpha), 2))
                << mode << " " << alpha << ": the half-size top spans the whole destination";
        }
    }
}

TEST_F(PostLayerTest, DestinationIsClearedSoNothingOfItsOldContentsLeaks)
{
    // Old contents and a caller that left additive blending on.
    fill(*dst.target, cRgba{9, 99, 199, 77});
    cStateManager* state = cStateManager::get_instance();
    state->set_blend(true);
    state->set_blend_func(gs::BLEND_ADD);
    state->apply();
    cPostCompositing::get_instance()->apply(*dst.target, *bottom.target, *top.target, COMP_BLEND, 0.5f);
    EXPECT_THAT(read(*dst.target).at(100, 300), RgbaNear(composite(COMP_BLEND, BOTTOM, TOP_LEFT, 0.5f), 2));
    EXPECT_EQ(state->pending.get(gs::BLEND), 1u) << "the caller's pending state comes back";
}

TEST_F(PostLayerTest, ModeWithoutProgramCopiesTheBottomLayerUnchanged)
{
    fill(*bottom.target, [](int x, int y) { return cRgba{x % 256, y % 256, 17, 128}; });
    fill(*dst.target, cRgba{9, 99, 199, 77});
    cPostCompositing::get_instance()->apply(*dst.target, *bottom.target, *top.target, COMP_PLAIN, 0.3f);
    const cPicture p = read(*dst.target);
    for (auto [x, y] : {std::pair{0, 0}, {300, 200}, {1279, 719}})
        EXPECT_EQ(p.at(x, y), (cRgba{x % 256, y % 256, 17, 128}));
    EXPECT_THROW(cPostCompositing::get_instance()->apply(*dst.target, *bottom.target, *top.target, 5, 1),
                 std::invalid_argument);
}

// ---- kaleidoscope -------------------------------------------------------------------

namespace {

// Red grows to the right, green upwards: no symmetry of its own.
cRgba gradient(int x, int y)
{
    return {x * 255 / 1279, y * 255 / 719, 40, 255};
}

int distance(cRgba a, cRgba b)
{
    int d = 0;
    for (int k = 0; k < 4; ++k)
        d = std::max(d, std::abs(a[k] - b[k]));
    return d;
}

// Largest difference between a pixel and its partner over a grid of samples.
template <typename tPartner>
int worst_mismatch(const cPicture& p, tPartner partner, int x_end)
{
    int worst = 0;
    for (int y = 3; y < p.height - 3; y += 29)
        for (int x = 3; x < x_end; x += 31) {
            const auto [px, py] = partner(x, y);
            worst = std::max(worst, distance(p.at(x, y), p.at(px, py)));
        }
    return worst;
}

}  // namespace

class PostKaleidoTest : public PostTest {
protected:
    cPicture fold(int32_t index)
    {
        cTmpRenderTarget src = get_tmp_render_target(RTT_FULL);
        cTmpRenderTarget dst = get_tmp_render_target(RTT_FULL);
        fill(*src.target, gradient);
        fill(*dst.target, cRgba{0, 0, 0, 0});
        into(*dst.target, [&] { cPostKaleido2d::get_instance()->apply(*src.target, index); });
        return read(*dst.target);
    }
    static constexpr int W = 1280;
    static constexpr int H = 720;
    static std::pair<int, int> left_right(int x, int y) { return {W - 1 - x, y}; }
    static std::pair<int, int> up_down(int x, int y) { return {x, H - 1 - y}; }
    static std::pair<int, int> half_turn(int x, int y) { return {W - 1 - x, H - 1 - y}; }
    // Differs from the unfolded picture somewhere by a clear margin.
    static bool folded(const cPicture& p)
    {
        int worst = 0;
        for (int y = 3; y < H; y += 29)
            for (int x = 3; x < W; x += 31)
                worst = std::max(worst, distance(p.at(x, y), gradient(x, y)));
        return worst > 60;
    }
    // Pixel partner of x across the fold at plane coordinate u (the plane
    // is drawn 1% larger about the centre).
    static int across(double u, int size, int x)
    {
        const double line = (0.5 + 1.01 * (u - 0.5)) * size;
        return static_cast<int>(std::lround(2 * line - x - 1));
    }
};

TEST_F(PostKaleidoTest, IndexZeroCopiesTheSourceUnchanged)
{
    const cPicture p = fold(0);
    for (auto [x, y] : {std::pair{0, 0}, {640, 360}, {1279, 719}, {17, 700}})
        EXPECT_EQ(p.at(x, y), gradient(x, y));
}

TEST_F(PostKaleidoTest, MirrorPlanesMatchTheirMirroredHalves)
{
    const int tolerance = 3;
    const cPicture cylinder = fold(1);
    EXPECT_LE(worst_mismatch(cylinder, left_right, W / 2), tolerance);
    EXPECT_TRUE(folded(cylinder));
    const cPicture hz = fold(2);
    EXPECT_LE(worst_mismatch(hz, up_down, W), tolerance);
    EXPECT_LE(distance(hz.at(640, 3), hz.at(640, 716)), tolerance) << "top row mirrors the bottom row";
    const cPicture dual = fold(3);
    EXPECT_LE(worst_mismatch(dual, left_right, W / 2), tolerance);
    EXPECT_LE(worst_mismatch(dual, up_down, W), tolerance);
    // Three strips: the middle one mirrors the first.
    const cPicture triple = fold(4);
    EXPECT_LE(worst_mismatch(triple, [](int x, int y) { return std::pair{across(1.0 / 3, W, x), y}; }, W / 3 - 6),
              tolerance);
    EXPECT_TRUE(folded(triple));
    // 4 x 4 tiles: neighbours mirror each other, and so does the whole.
    const cPicture matrix = fold(5);
    EXPECT_LE(worst_mismatch(matrix, [](int x, int y) { return std::pair{across(0.25, W, x), y}; }, W / 4 - 6),
              tolerance);
    EXPECT_LE(worst_mismatch(matrix, [](int x, int y) { return std::pair{x, y < H / 4 - 6 ? across(0.25, H, y) : y}; }, W),
              tolerance);
    EXPECT_LE(worst_mismatch(matrix, half_turn, W), tolerance);
}

TEST_F(PostKaleidoTest, CircularPlanesRepeatOrMirrorTheirSectors)
{
    const int tolerance = 3;
    // Six equal sectors: a half turn maps the picture onto itself.
    const cPicture repeat = fold(6);
    EXPECT_LE(worst_mismatch(repeat, half_turn, W), tolerance);
    EXPECT_GT(worst_mismatch(repeat, left_right, W / 2), 20) << "repeated, not mirrored";
    EXPECT_TRUE(folded(repeat));
    // Eight mirrored sectors: symmetric about both axes.
    const cPicture mandala = fold(7);
    EXPECT_LE(worst_mismatch(mandala, left_right, W / 2), tolerance);
    EXPECT_LE(worst_mismatch(mandala, up_down, W), tolerance);
    EXPECT_TRUE(folded(mandala));
}

TEST_F(PostKaleidoTest, IndicesOutsideThePlanesAreRejected)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_QUATER);
    EXPECT_THROW(cPostKaleido2d::get_instance()->apply(*src.target, 8), std::out_of_range);
    EXPECT_THROW(cPostKaleido2d::get_instance()->apply(*src.target, -1), std::out_of_range);
}

// ---- feedback ------------------------------------------------------------------------

namespace {

cRgba square_at(int x, int y, int cx, int cy)
{
    return std::abs(x - cx) < 4 && std::abs(y - cy) < 4 ? cRgba{255, 255, 255, 255} : cRgba{0, 0, 0, 0};
}

}  // namespace

class PostFeedbackTest : public PostTest {
protected:
    void SetUp() override
    {
        PostTest::SetUp();
        frame = get_tmp_render_target(RTT_FULL);
        output = get_tmp_render_target(RTT_FULL);
        // Whichever pooled target becomes the history, it holds an old picture.
        std::vector<cTmpRenderTarget> dirty;
        while (std::count_if(pool->free_list.begin(), pool->free_list.end(),
                             [](const auto& entry) { return entry.first == RTT_FULL; }) > 0)
            dirty.push_back(get_tmp_render_target(RTT_FULL));
        for (cTmpRenderTarget& t : dirty)
            fill(*t.target, cRgba{90, 90, 90, 255});
    }
    void TearDown() override
    {
        history.release();
        frame.release();
        output.release();
        PostTest::TearDown();
    }
    void step(int cx, int cy, const cFeedbackParams& block)
    {
        fill(*frame.target, [&](int x, int y) { return square_at(x, y, cx, cy); });
        cPostFeedback::get_instance()->apply(history, *frame.target, *output.target, block);
        EXPECT_EQ(pool->lent, 3u) << "only the history stays lent";
    }
    cTmpRenderTarget history;
    cTmpRenderTarget frame;
    cTmpRenderTarget output;
};

TEST_F(PostFeedbackTest, TrailAccumulatesAndFadesByItsFactorEachFrame)
{
    cFeedbackParams block;
    block.fade = 0.25f;
    step(200, 200, block);
    EXPECT_EQ(read(*history.target).at(600, 400), (cRgba{0, 0, 0, 0})) << "a new history starts transparent";
    EXPECT_THAT(read(*history.target).at(200, 200), RgbaNear(cRgba{191, 191, 191, 191}, 2));
    step(600, 400, block);
    const cPicture h = read(*history.target);
    EXPECT_NEAR(h.at(200, 200)[3], 255 * 0.75 * 0.75, 2) << "the old square fades by 1 - fade again";
    EXPECT_NEAR(h.at(600, 400)[3], 255 * 0.75, 2);
    const cPicture out = read(*output.target);
    EXPECT_GT(out.at(200, 200)[0], 30) << "the trail of the first frame is still shown";
    EXPECT_NEAR(out.at(600, 400)[0], 255 * 0.75 * 0.75, 2);
    EXPECT_EQ(out.at(600, 400)[3], h.at(600, 400)[3]);
    EXPECT_EQ(out.at(900, 100), (cRgba{0, 0, 0, 0}));
}

TEST_F(PostFeedbackTest, TransformZoomsAboutTheCentreAndBlurSoftensTheHistory)
{
    cFeedbackParams block;
    block.transform[0] = 2;  // texture coordinates doubled: the picture halves
    block.transform[5] = 2;
    step(200, 200, block);
    const cPicture h = read(*history.target);
    EXPECT_EQ(h.at(200, 200)[3], 0);
    EXPECT_GT(h.at(420, 280)[3], 200) << "(200, 200) moves halfway to the centre (640, 360)";

    cFeedbackParams blurred;
    blurred.blur_iterations = 2;
    step(900, 500, blurred);
    const cPicture b = read(*history.target);
    EXPECT_GT(b.at(906, 500)[0], 0) << "light spreads past the square's edge";
    EXPECT_EQ(b.at(906, 500)[3], 0) << "the blur leaves alpha alone";
}

TEST_F(PostFeedbackTest, HistoryFollowsTheOutputSizeClass)
{
    step(200, 200, {});
    cTmpRenderTarget half = get_tmp_render_target(RTT_HALF);
    cPostFeedback::get_instance()->apply(history, *frame.target, *half.target, {});
    EXPECT_EQ(history.size_class, RTT_HALF);
    EXPECT_EQ(history->width, 640u);
    EXPECT_EQ(pool->lent, 4u);
}
