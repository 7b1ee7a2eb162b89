#include <cmath>

#include "mesh_files/mesh_manager.h"
#include "mesh_files/mesh_obj.h"
#include "scenes/scene_ganesh.h"
#include "scenes/scene_pictures.h"

namespace {

using Pose = cSceneGanesh::cPose;

float distance(const Vec3<float>& a, const Vec3<float>& b)
{
    return (a - b).length();
}

// Every path moves smoothly, keeps the camera outside the statue (which
// stands within 0.9 units of its axis and 2.1 units tall) and ends where it
// says; unknown path numbers get the default path instead of a stray read.
TEST(SceneGaneshCamera, PathsAreContinuousDistinctAndSafe)
{
    constexpr int STEPS = 200;
    for (int path = 0; path < cSceneGanesh::PATH_COUNT; ++path) {
        Pose previous = cSceneGanesh::camera_pose(path, 0.0f);
        float travel = 0.0f, largest_step = 0.0f, largest_look = 0.0f;
        for (int i = 1; i <= STEPS; ++i) {
            const Pose p = cSceneGanesh::camera_pose(path, static_cast<float>(i) / STEPS);
            const float step = distance(p.eye, previous.eye);
            travel += step;
            largest_step = std::max(largest_step, step);
            largest_look = std::max(largest_look, distance(p.centre, previous.centre));
            EXPECT_TRUE(std::hypot(p.eye.x, p.eye.y) > 1.2f || p.eye.z > 2.4f) << "path " << path << " enters the statue";
            previous = p;
        }
        EXPECT_LT(largest_step, 3.0f * travel / STEPS + 0.01f) << "path " << path << " jumps";
        EXPECT_LT(largest_look, 0.02f) << "path " << path;
        if (path != 0) {
            EXPECT_GT(travel, 1.0f) << "path " << path << " stands still";
        }
    }
    const Pose push_in = cSceneGanesh::camera_pose(4, 0.5f), orbit = cSceneGanesh::camera_pose(1, 0.5f);
    EXPECT_GT(distance(push_in.eye, orbit.eye), 1.0f);
    const Pose fallback = cSceneGanesh::camera_pose(cSceneGanesh::DEFAULT_PATH, 0.3f);
    for (int bad : {-1, cSceneGanesh::PATH_COUNT, 1 << 30}) {
        const Pose p = cSceneGanesh::camera_pose(bad, 0.3f);
        EXPECT_EQ(distance(p.eye, fallback.eye), 0.0f) << bad;
    }
    // Values beyond the ends hold the end poses.
    EXPECT_EQ(distance(cSceneGanesh::camera_pose(6, 7.0f).eye, cSceneGanesh::camera_pose(6, 1.0f).eye), 0.0f);
    EXPECT_EQ(distance(cSceneGanesh::camera_pose(6, -2.0f).eye, cSceneGanesh::camera_pose(6, 0.0f).eye), 0.0f);
}

using SceneGaneshTest = ScenePictureTest;

// Mean brightness of the opaque pixels in the columns [x0, x1) (fractions of
// the width), and how many there are.
struct cLit {
    double brightness = 0;
    size_t opaque = 0;
};

cLit lit_in(const cPicture& p, float x0, float x1)
{
    cLit l;
    for (int y = 0; y < p.height; ++y)
        for (int x = static_cast<int>(x0 * p.width); x < static_cast<int>(x1 * p.width); ++x)
            if (p.at(x, y)[3] == 255) {
                l.brightness += p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2];
                ++l.opaque;
            }
    if (l.opaque)
        l.brightness /= static_cast<double>(l.opaque);
    return l;
}

TEST_F(SceneGaneshTest, OpaqueStatueOnTransparencyLitByTheSweepAndClaps)
{
    cSceneGanesh scene(&clock);
    scene.load();
    expect_second_load_makes_nothing(scene);

    // The statue through the mesh cache, within the triangle budget.
    auto* statue = dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get_mesh("ganesh.bzobj", true, true, false));
    ASSERT_NE(statue, nullptr);
    EXPECT_EQ(statue, scene.statue);
    EXPECT_GT(statue->indices.size() / 3, 20000u);
    EXPECT_LT(statue->indices.size() / 3, 200000u);

    at(5000);
    scene.campath = 0;
    scene.campath_t = 0.0f;
    scene.scene_t = 0.0f;
    const cPicture from_right = picture(scene);
    const cLit whole = lit_in(from_right, 0.0f, 1.0f);
    const size_t pixels = static_cast<size_t>(from_right.width * from_right.height);
    EXPECT_GT(whole.opaque, pixels / 20);
    EXPECT_LT(whole.opaque, pixels / 2);
    const int w = from_right.width, h = from_right.height;
    for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, h - 1}, {w / 8, h / 2}})
        EXPECT_EQ(from_right.at(x, y)[3], 0) << x << "," << y << " hides the layer below";
    EXPECT_EQ(from_right.at(w / 2, h * 2 / 5)[3], 255) << "the belly is see-through";

    // Seen from the front the figure's right is the picture's left: the light
    // sweeps from there across to the other side.
    scene.scene_t = 1.0f;
    const cPicture from_left = picture(scene);
    const double before = lit_in(from_right, 0.0f, 0.5f).brightness - lit_in(from_right, 0.5f, 1.0f).brightness;
    const double after = lit_in(from_left, 0.0f, 0.5f).brightness - lit_in(from_left, 0.5f, 1.0f).brightness;
    EXPECT_GT(before, 20.0);
    EXPECT_LT(after, -20.0);

    scene.scene_t = 0.5f;
    const double calm = lit_in(picture(scene), 0.0f, 1.0f).brightness;
    note(scene, cSceneGanesh::CLAP_TRACK, 5000);
    EXPECT_GT(lit_in(picture(scene), 0.0f, 1.0f).brightness, calm + 15.0) << "a clap flares the statue";
    note(scene, cSceneGanesh::CLAP_TRACK + 1, 9000);  // a kick: the flare has long faded
    EXPECT_NEAR(lit_in(picture(scene), 0.0f, 1.0f).brightness, calm, 1.0);

    // Another path frames the statue differently; an unknown one draws the default's picture.
    scene.campath = 1;
    scene.campath_t = 0.2f;
    const cPicture orbit = picture(scene);
    EXPECT_NE(orbit.rgba, from_right.rgba);
    scene.campath = cSceneGanesh::DEFAULT_PATH;
    const cPicture fallback = picture(scene);
    scene.campath = 99;
    EXPECT_EQ(picture(scene).rgba, fallback.rgba);
}

}  // namespace
