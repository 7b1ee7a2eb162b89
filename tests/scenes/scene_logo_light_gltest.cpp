#include "scenes/scene_logo_light.h"

#include "scenes/scene_pictures.h"

namespace {

struct cRegion {
    float x0, y0, x1, y1;  // screen units
};

double mean(const cPicture& p, cRegion r)
{
    return p.mean(r.x0, r.y0, r.x1, r.y1);
}

using SceneLogoLightTest = ScenePictureTest;

// The rays stream from the letters away from the light: into the dark below
// the logo when the light is above it, to the right when it is on the left.
TEST_F(SceneLogoLightTest, RaysStreamAwayFromWhereverTheLightIs)
{
    const cRegion below = {0.3f, 0.05f, 0.7f, 0.18f}, right = {0.84f, 0.45f, 0.97f, 0.55f};
    struct cCase {
        float x, y;    // the light
        cRegion lit;   // where its rays fall
        cRegion dark;  // where they do not
    };
    const cCase cases[] = {{0.5f, 0.95f, below, right}, {0.04f, 0.5f, right, below}};
    cSceneLogoLight scene(&clock);
    scene.load();
    scene.load();
    scene.path = 0.0f;
    at(1000);
    for (const cCase& c : cases) {
        scene.light_x = c.x;
        scene.light_y = c.y;
        scene.ray_length = 1.2f;
        const cPicture rays = picture(scene);
        EXPECT_GT(mean(rays, c.lit), 3 * mean(rays, c.dark) + 5) << "light at " << c.x << ", " << c.y;
        scene.ray_length = 0.0f;
        EXPECT_LT(mean(picture(scene), c.lit), mean(rays, c.lit) * 0.5) << "no rays without their length";
    }
    // On its path the light, and its rays, move with time.
    scene.path = 1.0f;
    scene.ray_length = 1.2f;
    const cPicture early = picture(scene);
    at(3000);
    EXPECT_NE(picture(scene).rgba, early.rgba);
}

}  // namespace
