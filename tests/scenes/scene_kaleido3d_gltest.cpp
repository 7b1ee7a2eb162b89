#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "scenes/scene_kaleido3d.h"
#include "scenes/scene_pictures.h"

namespace {

using SceneKaleido3dTest = ScenePictureTest;

// Mean difference of a disc round the centre and its copy turned by
// `degrees`, relative to the disc's mean brightness.
double turn_error(const cPicture& p, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0, c = std::cos(a), s = std::sin(a);
    const double cx = p.width / 2.0, cy = p.height / 2.0, r = 0.45 * p.height;
    double diff = 0, sum = 0;
    for (int y = 0; y < p.height; y += 2)
        for (int x = 0; x < p.width; x += 2) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > r * r)
                continue;
            const uint8_t* a0 = p.at(x, y);
            const uint8_t* b0 = p.at(static_cast<int>(cx + c * dx - s * dy), static_cast<int>(cy + s * dx + c * dy));
            for (int k = 0; k < 4; ++k) {
                diff += std::abs(a0[k] - b0[k]);
                sum += a0[k];
            }
        }
    return diff / sum;
}

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
    std::vector<cPicture> pictures;
    for (const cCase& c : cases) {
        scene.cur_config = c.config;
        pictures.push_back(picture(scene));
        const double same = turn_error(pictures.back(), c.symmetric), other = turn_error(pictures.back(), c.broken);
        EXPECT_LT(same, 0.12) << "config " << c.config;
        EXPECT_GT(other, 3 * same) << "config " << c.config;
    }
    for (size_t i = 1; i < pictures.size(); ++i)
        EXPECT_NE(pictures[i].rgba, pictures[i - 1].rgba) << "config " << i << " looks like the one before";
}

// Count of drawn (non-transparent) pixels and their mean distance from the
// centre, in pixels.
struct cExtent {
    size_t drawn = 0;
    double radius = 0;
};

cExtent extent_of(const cPicture& p)
{
    cExtent e;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y)[3] > 0) {
                ++e.drawn;
                e.radius += std::hypot(x - p.width / 2.0, y - p.height / 2.0);
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
    const cPicture folded = picture(scene);
    const cExtent small = extent_of(folded);
    EXPECT_EQ(folded.at(0, 0)[3], 0) << "a corner shows the layer below";
    EXPECT_GT(small.drawn, 2000u);
    EXPECT_LT(small.drawn, static_cast<size_t>(folded.width * folded.height) / 2);

    scene.cur_t = 1.0f;
    const cExtent open = extent_of(picture(scene));
    EXPECT_GT(open.radius, small.radius * 1.5) << "cur_t unfolds the crystal";

    scene.cam_t = 1.0f;
    const cPicture low = picture(scene);
    EXPECT_NE(low.rgba, folded.rgba) << "cam_t moves the camera";
    scene.rot = 45.0f;
    EXPECT_NE(picture(scene).rgba, low.rgba) << "rot turns the solids";
    scene.cam_t = 0.0f;
    scene.cur_t = 0.4f;  // room to swell inside the frame
    const cExtent calm = extent_of(picture(scene));

    cMETrigger clap = midi(MIDI_NOTE_ON, cSceneKaleido3d::CLAP_TRACK, 39, 100);
    scene.handle_event(&clap);
    const cExtent kicked = extent_of(picture(scene));
    EXPECT_GT(kicked.radius, calm.radius * 1.08) << "a clap swells the crystal";
    at(6000);
    clap.track = 3;  // a kick is not a clap
    scene.handle_event(&clap);
    EXPECT_LT(extent_of(picture(scene)).radius, kicked.radius * 0.96);
}

}  // namespace
