// Pixel tests of compositing, the kaleidoscope and the feedback trail.
#include <algorithm>
#include <cmath>
#include <functional>

#include "post/post_compositing.h"
#include "post/post_fixture.h"
#include "post/post_kaleido.h"

namespace {

// What a mode makes of bottom and top at opacity alpha, channels 0-255.
// Blend and dodge fade their result in by the top's coverage; the light
// modes take the top's colour times the opacity, whatever its alpha.
cRgba composite(int mode, cRgba b, cRgba t, float alpha)
{
    const double a = t[3] / 255.0 * alpha;
    cRgba out{0, 0, 0, static_cast<int>(std::lround(255 * a + b[3] * (1 - a)))};
    for (int k = 0; k < 3; ++k) {
        const double bc = b[k] / 255.0, tc = t[k] / 255.0, lit = tc * alpha;
        const double f = mode == COMP_ADD      ? bc + lit
                         : mode == COMP_SCREEN ? 1 - (1 - bc) * (1 - lit)
                         : mode == COMP_DODGE  ? bc + (std::min(bc / std::max(1 - tc, 0.0001), 1.0) - bc) * a
                                               : bc + (tc - bc) * a;
        out[k] = static_cast<int>(std::lround(255 * std::clamp(f, 0.0, 1.0)));
    }
    return out;
}

}  // namespace

TEST_F(PostTest, CompositingGivesEachModesFormulaOverAClearedDestination)
{
    const cRgba bottom_colour{200, 100, 50, 160}, left{100, 200, 0, 128}, right{255, 0, 255, 255};
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
constexpr double PI = 3.141592653589793;

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

struct cPoint {
    double x, z;  // plane coordinates, 0-1 (z is the screen's up)
};

// Pixel column or row that shows plane coordinate p: the plane is drawn 1%
// larger about the picture's centre.
int pixel(double p, int size)
{
    return static_cast<int>(std::floor((0.5 + 1.01 * (p - 0.5)) * size));
}

cRgba shown(const cPicture& picture, cPoint p)
{
    return picture.at(pixel(p.x, W), pixel(p.z, H));
}

cPoint turned(cPoint p, double degrees)
{
    const double a = degrees * PI / 180, dx = p.x - 0.5, dz = p.z - 0.5;
    return {0.5 + dx * std::cos(a) - dz * std::sin(a), 0.5 + dx * std::sin(a) + dz * std::cos(a)};
}

// A map of the plane that the fold of `plane` should (or should not) leave
// unchanged: p and map(p) show the same colour.
struct cSymmetry {
    int32_t plane;
    const char* what;
    std::function<cPoint(cPoint)> map;
    bool holds;         // false: some point must differ clearly from its image
    double min_radius;  // points nearer the centre are skipped (polar folds turn fast there)
};

// Largest colour difference between a plane point and its image, over a
// grid of points whose image stays on the plane.
int worst_mismatch(const cPicture& picture, const cSymmetry& s)
{
    int worst = 0;
    for (double z = 0.01; z < 0.995; z += 0.0193)
        for (double x = 0.01; x < 0.995; x += 0.0193) {
            const cPoint p{x, z}, q = s.map(p);
            if (std::hypot(x - 0.5, z - 0.5) < s.min_radius || q.x < 0.01 || q.x > 0.99 || q.z < 0.01 || q.z > 0.99)
                continue;
            worst = std::max(worst, distance(shown(picture, p), shown(picture, q)));
        }
    return worst;
}

}  // namespace

TEST_F(PostTest, KaleidoscopePlanesFoldAsTheirFilesSay)
{
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL), dst = get_tmp_render_target(RTT_FULL);
    fill(*src.target, gradient);
    cPostKaleido2d* kaleido = cPostKaleido2d::get_instance();
    EXPECT_THROW(kaleido->apply(*src.target, 1), std::logic_error) << "the planes load at init, not in apply";
    kaleido->init();
    // A caller that culls front faces must still see the planes.
    cStateManager::get_instance()->set_cull(true);
    cStateManager::get_instance()->set_cull_side(false);
    auto fold = [&](int32_t index) {
        fill(*dst.target, cRgba{0, 0, 0, 0});
        into(*dst.target, [&] { kaleido->apply(*src.target, index); });
        return read(*dst.target);
    };
    const cPicture copy = fold(0);
    for (auto [x, y] : {std::pair{0, 0}, {640, 360}, {1279, 719}, {17, 700}})
        EXPECT_EQ(copy.at(x, y), gradient(x, y)) << "index 0 copies";

    const auto mirror_x = [](double axis) { return [axis](cPoint p) { return cPoint{2 * axis - p.x, p.z}; }; };
    const auto mirror_z = [](double axis) { return [axis](cPoint p) { return cPoint{p.x, 2 * axis - p.z}; }; };
    const auto turn = [](double degrees) { return [degrees](cPoint p) { return turned(p, degrees); }; };
    const cSymmetry symmetries[] = {
        {1, "halves mirrored left-right", mirror_x(0.5), true, 0},
        {2, "halves mirrored top-bottom", mirror_z(0.5), true, 0},
        {3, "mirrored left-right", mirror_x(0.5), true, 0},
        {3, "mirrored top-bottom", mirror_z(0.5), true, 0},
        {4, "three-way: a third of a turn", turn(120), true, 0},
        {4, "three-way: mirrored across a fold line", mirror_z(0.5), true, 0},
        {4, "three-way, not four-way", turn(90), false, 0},
        {5, "tiles repeat every other column", [](cPoint p) { return cPoint{p.x + 0.5, p.z}; }, true, 0},
        {5, "tiles repeat every other row", [](cPoint p) { return cPoint{p.x, p.z + 0.5}; }, true, 0},
        {5, "neighbour tiles mirrored left-right", mirror_x(0.25), true, 0},
        {5, "neighbour tiles mirrored top-bottom", mirror_z(0.25), true, 0},
        {6, "polar repeat: a quarter turn", turn(90), true, 0.15},
        {6, "polar repeat: mirrored across the horizontal", mirror_z(0.5), true, 0.15},
        {6, "polar repeat: four repeats, not eight", turn(45), false, 0.15},
        {7, "mandala: a quarter turn", turn(90), true, 0},
        {7, "mandala: mirrored across the horizontal", mirror_z(0.5), true, 0},
        {7, "mandala: eight segments, not sixteen", turn(45), false, 0},
    };
    // The first three planes keep part of the picture as it is.
    const struct {
        int32_t plane;
        double x_end, z_end;  // kept region, plane coordinates from 0
    } kept[] = {{1, 0.5, 1.0}, {2, 1.0, 0.5}, {3, 0.5, 0.5}};

    for (int32_t index = 1; index <= KALEIDO_PLANE_COUNT; ++index) {
        const cPicture p = fold(index);
        int uncovered = 0, unfolded = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uncovered += p.at(x, y)[3] != 255;
                unfolded = std::max(unfolded, distance(p.at(x, y), gradient(x, y)));
            }
        EXPECT_EQ(uncovered, 0) << "plane " << index << " covers the whole destination";
        EXPECT_GT(unfolded, 60) << "plane " << index << " is folded";
        for (const cSymmetry& s : symmetries) {
            if (s.plane != index)
                continue;
            const int mismatch = worst_mismatch(p, s);
            if (s.holds)
                EXPECT_LE(mismatch, 4) << "plane " << index << ": " << s.what;
            else
                EXPECT_GT(mismatch, 12) << "plane " << index << ": " << s.what;
        }
        for (const auto& k : kept) {
            if (k.plane != index)
                continue;
            int worst = 0;
            for (double z = 0.01; z < k.z_end - 0.01; z += 0.0193)
                for (double x = 0.01; x < k.x_end - 0.01; x += 0.0193)
                    worst = std::max(worst, distance(shown(p, {x, z}), gradient(static_cast<int>(x * W),
                                                                                  static_cast<int>(z * H))));
            EXPECT_LE(worst, 3) << "plane " << index << " keeps its part of the picture unchanged";
        }
    }
    EXPECT_THROW(kaleido->apply(*src.target, 8), std::out_of_range);
    EXPECT_THROW(kaleido->apply(*src.target, -1), std::out_of_range);
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
