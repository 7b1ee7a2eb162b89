#include "scenes/scene_netsphere.h"

#include "scenes/scene_pictures.h"

namespace {

class SceneNetSphereTest : public SceneOfTest<cSceneNetSphere> {
protected:
    tPixels silhouette(int32_t t)
    {
        cTmpRenderTarget r = scene.draw_silhouette(t);
        return pixels_of(*r.target);
    }
};

TEST_F(SceneNetSphereTest, RaysShineThroughTheGapsOfTheTurningNet)
{
    const tPixels net = silhouette(3600);
    const tPixels rays = frame(3600);
    double wire_light = 0.0, gap_light = 0.0;
    size_t wires = 0, gaps = 0;
    for (size_t i = 0; i < net.size(); i += 4) {
        const bool wire = brightness_at(net, i) < 10.0;
        const bool teal = net[i] == 28 && net[i + 1] == 149 && net[i + 2] == 177;
        (wire ? wire_light : gap_light) += (wire || teal) ? brightness_at(rays, i) : 0.0;
        wires += wire;
        gaps += teal;
    }
    ASSERT_GT(wires, net.size() / 4 / 50) << "the net shows black";
    ASSERT_GT(gaps, net.size() / 4 / 5) << "the teal shows between the struts";
    EXPECT_GT(gap_light / gaps, 1.3 * (wire_light / wires));
    EXPECT_GT(gap_light / gaps, 12.0);
    // Ten degrees a second about the vertical axis: a full turn in 36 s.
    EXPECT_GT(mean_difference(net, silhouette(0)), 3.0);
    EXPECT_LT(mean_difference(silhouette(0), silhouette(36000)), 0.5);
}

}  // namespace
