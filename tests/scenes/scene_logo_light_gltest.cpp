#include "support/scene_fixture.h"

#include <vector>

#include "scenes/scene_logo_light.h"

namespace {

struct cRegion {
    float x0, y0, x1, y1;  // screen units
};

class SceneLogoLightTest : public SceneTest {
protected:
    std::vector<uint8_t> frame(cSceneLogoLight& scene)
    {
        cTmpRenderTarget t = scene.render_isolated(clock.elapsed());
        width = static_cast<int>(t->width);
        height = static_cast<int>(t->height);
        std::vector<uint8_t> rgba = pixels_of(*t.target);
        t.release();
        return rgba;
    }

    double mean(const std::vector<uint8_t>& rgba, cRegion r) const
    {
        double sum = 0;
        size_t n = 0;
        for (int y = static_cast<int>(r.y0 * height); y < static_cast<int>(r.y1 * height); ++y)
            for (int x = static_cast<int>(r.x0 * width); x < static_cast<int>(r.x1 * width); ++x, ++n)
                for (int k = 0; k < 3; ++k)
                    sum += rgba[(static_cast<size_t>(y) * width + x) * 4 + k];
        return sum / static_cast<double>(n);
    }

    int width = 0, height = 0;
};

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
        const std::vector<uint8_t> rays = frame(scene);
        EXPECT_GT(mean(rays, c.lit), 3 * mean(rays, c.dark) + 5) << "light at " << c.x << ", " << c.y;
        scene.ray_length = 0.0f;
        EXPECT_LT(mean(frame(scene), c.lit), mean(rays, c.lit) * 0.5) << "no rays without their length";
    }
    // On its path the light, and its rays, move with time.
    scene.path = 1.0f;
    scene.ray_length = 1.2f;
    const std::vector<uint8_t> early = frame(scene);
    at(3000);
    EXPECT_NE(frame(scene), early);
}

}  // namespace
