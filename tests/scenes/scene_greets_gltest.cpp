#include "support/scene_fixture.h"

#include "scenes/picture_stats.h"
#include "scenes/scene_greets.h"

namespace {

class SceneGreetsTest : public SceneTest {
protected:
    tPixels at_cur_t(float cur_t)
    {
        scene.cur_t = cur_t;
        scene.update();
        cTmpRenderTarget r = scene.render_isolated(1000);
        width = r->width;
        return pixels_of(*r.target);
    }
    // Mean brightness of a band of rows (fractions of the height from the bottom).
    double band(const tPixels& p, double from, double to) const
    {
        const size_t rows = p.size() / 4 / width;
        double sum = 0.0;
        const size_t first = static_cast<size_t>(from * rows), last = static_cast<size_t>(to * rows);
        for (size_t i = first * width * 4; i < last * width * 4; i += 4)
            sum += brightness_at(p, i);
        return sum / static_cast<double>((last - first) * width);
    }

    cSceneGreets scene{&clock};
    size_t width = 0;
};

TEST_F(SceneGreetsTest, CurTBacksTheCameraAwayFromTheCard)
{
    scene.load();
    const tPixels close = at_cur_t(0.0f);
    EXPECT_GT(lit_share(close), 0.1) << "the card faces the camera, upright";
    const tPixels halfway = at_cur_t(0.5f);
    EXPECT_EQ(scene.camera.eye.y, -750.0f);
    const tPixels far = at_cur_t(1.0f);
    EXPECT_EQ(scene.camera.eye.y, -1500.0f);
    EXPECT_GT(lit_share(far), 0.1);
    EXPECT_GT(mean_difference(close, halfway), 3.0);
    EXPECT_GT(mean_difference(halfway, far), 3.0);
    // From afar the whole card fits: its middle is brighter than the rim.
    EXPECT_GT(band(far, 0.4, 0.6), 2.0 * band(far, 0.0, 0.05));
    EXPECT_EQ(at_cur_t(4.0f), far) << "beyond 1 holds the end of the slide";
}

}  // namespace
