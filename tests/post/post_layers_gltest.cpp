// Pixel tests of compositing, the kaleidoscope and the feedback trail.
#include <algorithm>
#include <cmath>

#include "post/post_compositing.h"
#include "post/post_fixture.h"
#include "post/post_kaleido.h"

namespace {

// What a mode makes of bottom and top at opacity alpha, channels 0-255.
cRgba composite(int mode, cRgba b, cRgba t, float alpha)
{
    const double a = t[3] / 255.0 * alpha;
    cRgba out{0, 0, 0, static_cast<int>(std::lround(255 * a + b[3] * (1 - a)))};
    for (int k = 0; k < 3; ++k) {
        const double bc = b[k] / 255.0, tc = t[k] / 255.0;
        const double f = mode == COMP_ADD      ? bc + tc
                         : mode == COMP_SCREEN ? 1 - (1 - bc) * (1 - tc)
                         : mode == COMP_DODGE  ? std::min(bc / std::max(1 - tc, 0.0001), 1.0)
                                               : tc;
        out[k] = static_cast<int>(std::lround(255 * std::clamp(bc + (f - bc) * a, 0.0, 1.0)));
    }
    return out;
}

}  // namespace

TEST_F(PostTest, CompositingGivesEachModesFormulaOverAClearedDestination)
{
    const cRgba bottom_colour{200, 100, 50, 255}, left{100, 200, 0, 128}, right{255, 0, 255, 255};
    cTmpRenderTarget bottom = get_tmp_render_target(RTT_FULL), top = get_tmp_render_target(RTT_HALF),
                     dst = get_tmp_render_target(RTT_FULL);
    fill(*bottom.target, bottom_colour);
    fill(*top.target, [&](int x, int) { return x < 320 ? left : right; });
    // Old contents and a caller that left additive blending on must not leak.
    cStateManager::get_instance()->set_blend(true);
    cStateManager::get_instance()->set_blend_func(gs::BLEND_ADD);
    cPostCompositing* compositing = cPostCompositing::get_instance();
    for (int mode : {COMP_BLEND, COMP_ADD, COMP_SCREEN, COMP_DODGE})
        for (float alpha : {1.0f, 0.5f, 0.0f}) {
            fill(*dst.target, cRgba{9, 99, 199, 77});
            compositing->apply(*dst.target, *bottom.target, *top.target, mode, alpha);
            const cPicture p = read(*dst.target);
            EXPECT_THAT(p.at(100, 300), RgbaNear(composite(mode, bottom_colour, left, alpha), 2)) << mode << " " << alpha;
            EXPECT_THAT(p.at(1200, 300), RgbaNear(composite(mode, bottom_colour, right, alpha), 2))
                << mode << " " << alpha << ": the half-size top spans the whole destination";
        }
    // Mode 2 has no program: the layer's own picture, unchanged, over
    // transparent black; the accumulated bottom plays no part.
    fill(*dst.target, cRgba{9, 99, 199, 77});
    compositing->apply(*dst.target, *bottom.target, *top.target, COMP_PLAIN, 0.3f);
    const cPicture plain = read(*dst.target);
    EXPECT_THAT(plain.at(100, 300), RgbaNear(left, 1));
    EXPECT_THAT(plain.at(1200, 300), RgbaNear(right, 1));
    EXPECT_THROW(compositing->apply(*dst.target, *bottom.target, *top.target, 5, 1), std::invalid_argument);
}

namespace {

constexpr int W = 1280, H = 720;

// Red grows to the right, green upwards: no symmetry of its own.
cRgba gradient(int x, int y)
{
    return {x * 255 / (W - 1), y * 255 / (H - 1), 40, 255};
}

int distance(cRgba a, cRgba b)
{
    int d = 0;
    for (int k = 0; k < 4; ++k)
        d = std::max(d, std::abs(a[k] - b[k]));
    return d;
}

// Pixel partner of x across the fold at plane coordinate u (the plane is
// drawn 1% larger about the centre).
int across(double u, int size, int x)
{
    return static_cast<int>(std::lround(2 * (0.5 + 1.01 * (u - 0.5)) * size - x - 1));
}

}  // namespace

TEST_F(PostTest, KaleidoscopePlanesFoldAsTheirNamesSay)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL), dst = get_tmp_render_target(RTT_FULL);
    fill(*src.target, gradient);
    auto fold = [&](int32_t index) {
        into(*dst.target, [&] { cPostKaleido2d::get_instance()->apply(*src.target, index); });
        return read(*dst.target);
    };
    const cPicture copy = fold(0);
    for (auto [x, y] : {std::pair{0, 0}, {640, 360}, {1279, 719}, {17, 700}})
        EXPECT_EQ(copy.at(x, y), gradient(x, y)) << "index 0 copies";
    // Each pixel left of x_end must equal its partner, mirrored across the
    // fold left-right and/or top-bottom (both: a half turn).
    const struct {
        int32_t plane;
        double fold_u;  // fold line, plane coordinate
        bool mirror_x, mirror_y;
        int x_end;
    } symmetries[] = {
        {1, 0.5, true, false, W / 2},           // cylinder: halves mirrored
        {2, 0.5, false, true, W},               // hz: top mirrors bottom
        {3, 0.5, true, false, W / 2},           // dual: left-right
        {3, 0.5, false, true, W},               // dual: and top-bottom
        {4, 1.0 / 3, true, false, W / 3 - 6},   // triple: middle strip mirrors the first
        {5, 0.25, true, false, W / 4 - 6},      // matrix: neighbour tiles mirrored
        {5, 0.5, true, true, W / 2},            // matrix: the whole picture too
        {6, 0.5, true, true, W / 2},            // circular repeat: a half turn (six sectors)
        {7, 0.5, true, false, W / 2},           // mandala: left-right
        {7, 0.5, false, true, W},               // mandala: top-bottom
    };
    for (const auto& s : symmetries) {
        const cPicture p = fold(s.plane);
        int mismatch = 0, unfolded = 0;
        for (int y = 3; y < H - 3; y += 29)
            for (int x = 3; x < W; x += 31) {
                const int px = s.mirror_x ? across(s.fold_u, W, x) : x, py = s.mirror_y ? H - 1 - y : y;
                if (x < s.x_end)
                    mismatch = std::max(mismatch, distance(p.at(x, y), p.at(px, py)));
                unfolded = std::max(unfolded, distance(p.at(x, y), gradient(x, y)));
            }
        EXPECT_LE(mismatch, 3) << "plane " << s.plane << " across " << s.fold_u;
        EXPECT_GT(unfolded, 60) << "plane " << s.plane << " is folded";
    }
    EXPECT_THROW(cPostKaleido2d::get_instance()->apply(*src.target, 8), std::out_of_range);
}

class PostFeedbackTest : public PostTest {
protected:
    void SetUp() override
    {
        PostTest::SetUp();
        // Every free full-size target holds an old picture, the history's too.
        std::vector<cTmpRenderTarget> dirty;
        while (std::any_of(pool->free_list.begin(), pool->free_list.end(), [](auto& e) { return e.first == RTT_FULL; }))
            fill(*dirty.emplace_back(get_tmp_render_target(RTT_FULL)).target, cRgba{90, 90, 90, 255});
    }
    void TearDown() override
    {
        history.release();
        PostTest::TearDown();
    }
    // One frame with an 8 x 8 white square at (cx, cy) on transparent black.
    cPicture step(int cx, int cy, const cFeedbackParams& block, int32_t output_class = RTT_FULL)
    {
        cTmpRenderTarget frame = get_tmp_render_target(RTT_FULL), output = get_tmp_render_target(output_class);
        fill(*frame.target, [&](int x, int y) {
            return std::abs(x - cx) < 4 && std::abs(y - cy) < 4 ? cRgba{255, 255, 255, 255} : cRgba{0, 0, 0, 0};
        });
        cPostFeedback::get_instance()->apply(history, *frame.target, *output.target, block);
        EXPECT_EQ(pool->lent, 3u) << "only the history stays lent";
        return read(*output.target);
    }
    cTmpRenderTarget history;
};

TEST_F(PostFeedbackTest, TrailAccumulatesAndFadesByItsFactorEachFrame)
{
    cFeedbackParams block;
    block.fade = 0.25f;
    step(200, 200, block);
    EXPECT_EQ(read(*history.target).at(600, 400), (cRgba{0, 0, 0, 0})) << "a new history starts transparent";
    EXPECT_THAT(read(*history.target).at(200, 200), RgbaNear(cRgba{191, 191, 191, 191}, 2));
    const cPicture out = step(600, 400, block);
    const cPicture h = read(*history.target);
    EXPECT_NEAR(h.at(200, 200)[3], 255 * 0.75 * 0.75, 2) << "faded by 1 - fade again";
    EXPECT_NEAR(h.at(600, 400)[3], 255 * 0.75, 2);
    EXPECT_GT(out.at(200, 200)[0], 30) << "the first frame's trail is still shown";
    EXPECT_NEAR(out.at(600, 400)[0], 255 * 0.75 * 0.75, 2);
    EXPECT_EQ(out.at(900, 100), (cRgba{0, 0, 0, 0}));
}

TEST_F(PostFeedbackTest, TransformZoomsAboutTheCentreBlurSoftensAndSizeFollowsTheOutput)
{
    cFeedbackParams zoom;
    zoom.transform[0] = zoom.transform[5] = 2;  // coordinates doubled: the picture halves
    step(200, 200, zoom);
    EXPECT_EQ(read(*history.target).at(200, 200)[3], 0);
    EXPECT_GT(read(*history.target).at(420, 280)[3], 200) << "halfway to the centre (640, 360)";
    cFeedbackParams blurred;
    blurred.blur_iterations = 2;
    step(900, 500, blurred);
    EXPECT_GT(read(*history.target).at(906, 500)[0], 0) << "light spreads past the square";
    EXPECT_EQ(read(*history.target).at(906, 500)[3], 0) << "the blur leaves alpha alone";
    step(200, 200, {}, RTT_HALF);
    EXPECT_EQ(history.size_class, RTT_HALF);
    EXPECT_EQ(history->width, 640u);
}
