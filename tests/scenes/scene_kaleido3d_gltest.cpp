#include "support/scene_fixture.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "midi_events.h"
#include "scenes/scene_kaleido3d.h"

namespace {

class SceneKaleido3dTest : public SceneTest {
protected:
    std::vector<uint8_t> frame(cSceneKaleido3d& scene)
    {
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        width = static_cast<int>(t->width);
        height = static_cast<int>(t->height);
        std::vector<uint8_t> rgba = pixels_of(*t.target);
        t.release();
        return rgba;
    }

    // Mean difference of a disc round the centre and its copy turned by
    // `degrees`, relative to the disc's mean brightness.
    double turn_error(const std::vector<uint8_t>& rgba, double degrees) const
    {
        const double a = degrees * std::numbers::pi / 180.0, c = std::cos(a), s = std::sin(a);
        const double cx = width / 2.0, cy = height / 2.0, r = 0.45 * height;
        double diff = 0, sum = 0;
        for (int y = 0; y < height; y += 2)
            for (int x = 0; x < width; x += 2) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (dx * dx + dy * dy > r * r)
                    continue;
                const int tx = static_cast<int>(cx + c * dx - s * dy), ty = static_cast<int>(cy + s * dx + c * dy);
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
                const uint8_t* q = &rgba[(static_cast<size_t>(ty) * width + tx) * 4];
                for (int k = 0; k < 4; ++k) {
                    diff += std::abs(p[k] - q[k]);
                    sum += p[k];
                }
            }
        return diff / sum;
    }

    int width = 0, height = 0;
};

// Seen down its axis, the crystal repeats with its arrangement's turn and
// with no other.
TEST_F(SceneKaleido3dTest, PictureHasTheSymmetryOfEachArrangement)
{
    struct cCase {
        int config;
        double symmetric;  // degrees that map the picture onto itself
        double broken;     // degrees that must not
    };
    const cCase cases[] = {{0, 180, 90}, {1, 120, 90}, {2, 90, 60}, {3, 60, 90}};
    cSceneKaleido3d scene(&clock);
    scene.load();
    at(4000);
    scene.cam_t = 0.0f;
    std::vector<std::vector<uint8_t>> pictures;
    for (const cCase& c : cases) {
        scene.cur_config = c.config;
        pictures.push_back(frame(scene));
        const double same = turn_error(pictures.back(), c.symmetric), other = turn_error(pictures.back(), c.broken);
        EXPECT_LT(same, 0.12) << "config " << c.config;
        EXPECT_GT(other, 3 * same) << "config " << c.config;
    }
    for (size_t i = 1; i < pictures.size(); ++i)
        EXPECT_NE(pictures[i], pictures[i - 1]) << "config " << i << " looks like the one before";
}

// Count of drawn (non-transparent) pixels and their mean distance from the
// centre, in pixels.
struct cExtent {
    size_t drawn = 0;
    double radius = 0;
};

cExtent extent_of(const std::vector<uint8_t>& rgba, int width, int height)
{
    cExtent e;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] > 0) {
                ++e.drawn;
                e.radius += std::hypot(x - width / 2.0, y - height / 2.0);
            }
    if (e.drawn)
        e.radius /= static_cast<double>(e.drawn);
    return e;
}

TEST_F(SceneKaleido3dTest, TransparentAroundACrystalThatUnfoldsAndBreathesWithClaps)
{
    cSceneKaleido3d scene(&clock);
    scene.load();
    scene.load();  // a second load fetches nothing new: the fixture finds no new target either
    at(4000);
    scene.cur_t = 0.0f;
    const std::vector<uint8_t> folded = frame(scene);
    const cExtent small = extent_of(folded, width, height);
    EXPECT_EQ(folded[3], 0) << "a corner shows the layer below";
    EXPECT_GT(small.drawn, 2000u);
    EXPECT_LT(small.drawn, static_cast<size_t>(width * height) / 2);

    scene.cur_t = 1.0f;
    const cExtent open = extent_of(frame(scene), width, height);
    EXPECT_GT(open.radius, small.radius * 1.5) << "cur_t unfolds the crystal";

    scene.cam_t = 1.0f;
    EXPECT_NE(frame(scene), folded);
    scene.cam_t = 0.0f;
    scene.cur_t = 0.4f;  // room to swell inside the frame
    const cExtent calm = extent_of(frame(scene), width, height);

    cMETrigger clap;
    clap.kind = MIDI_NOTE_ON;
    clap.track = cSceneKaleido3d::CLAP_TRACK;
    scene.handle_event(&clap);
    const cExtent kicked = extent_of(frame(scene), width, height);
    EXPECT_GT(kicked.radius, calm.radius * 1.08) << "a clap swells the crystal";
    at(6000);
    clap.track = 3;  // a kick is not a clap
    scene.handle_event(&clap);
    EXPECT_LT(extent_of(frame(scene), width, height).radius, kicked.radius * 0.96);
}

}  // namespace
