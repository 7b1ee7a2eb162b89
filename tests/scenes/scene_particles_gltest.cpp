#include "support/scene_fixture.h"

#include <cstdlib>

#include "particles/particle_system.h"
#include "scenes/picture_stats.h"
#include "scenes/scene_particles.h"

namespace {

class SceneParticlesTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        scene.load();
    }
    // `count` updates 20 ms apart, then the picture; the renderer shows the
    // particles of its previous call, so it renders twice.
    tPixels run(int count)
    {
        for (int i = 0; i < count; ++i) {
            at(clock.now + 20);
            scene.update();
        }
        scene.render_isolated(clock.now).release();
        cTmpRenderTarget r = scene.render_isolated(clock.now);
        width = r->width;
        return pixels_of(*r.target);
    }
    int alive() const
    {
        const cParticleSystem& ps = *scene.effect.system;
        int n = 0;
        for (int i = 0; i < ps.capacity; ++i)
            n += ps.alive[i];
        return n;
    }
    // Mean difference between the picture and its mirror image left to right.
    double asymmetry(const tPixels& p) const
    {
        double sum = 0.0;
        const size_t rows = p.size() / 4 / width;
        for (size_t y = 0; y < rows; ++y)
            for (size_t x = 0; x < width / 2; ++x)
                sum += std::abs(brightness_at(p, 4 * (y * width + x)) -
                                brightness_at(p, 4 * (y * width + width - 1 - x)));
        return sum / static_cast<double>(rows * width / 2);
    }

    cSceneParticles scene{&clock};
    size_t width = 0;
};

TEST_F(SceneParticlesTest, TheFountainRunsDryWhenEmissionStops)
{
    const tPixels flowing = run(60);
    EXPECT_EQ(alive(), 60 * 101) << "rate + 1 particles per update, none dead yet";
    EXPECT_GT(lit_share(flowing), 0.02);

    scene.emits_pf = 20;
    run(2);
    EXPECT_EQ(alive(), 60 * 101 + 101 + 21) << "a new rate reaches the update after the change";

    scene.emits_pf = 0;
    run(1);
    const int left = alive();
    run(1);
    EXPECT_EQ(alive(), left) << "nothing is emitted at 0";
    // Particles live 20 s of 50 ms steps.
    const tPixels dry = run(400);
    EXPECT_EQ(alive(), 0);
    EXPECT_EQ(lit_share(dry, 2.0), 0.0);
}

TEST_F(SceneParticlesTest, KaleidotypeFoldsThePictureIntoMirrorImages)
{
    const tPixels plain = run(80);
    scene.fold.plane = 1;  // the left half mirrored about the vertical axis
    const tPixels mirrored = run(0);
    EXPECT_GT(asymmetry(plain), 4.0 * asymmetry(mirrored) + 0.5);
    EXPECT_GT(lit_share(mirrored), 0.02);
    scene.fold.plane = 99;  // out of range: the last plane
    const tPixels clamped = run(0);
    scene.fold.plane = KALEIDO_PLANE_COUNT;
    EXPECT_EQ(run(0), clamped);
}

TEST_F(SceneParticlesTest, PublishedCameraValuesReachTheCamera)
{
    const tPixels upright = run(80);
    const double roll = 90.0;
    const float fov = 60.0f;
    find_var("camroll", scene.get_vars())->set(&roll);
    find_var("camfov", scene.get_vars())->set(&fov);
    EXPECT_EQ(scene.camera.roll, 90.0);
    EXPECT_EQ(scene.camera.fovy, 60.0f);
    EXPECT_GT(mean_difference(upright, run(0)), 1.0);
}

}  // namespace
