#include "scenes/scene_particles.h"

#include <algorithm>

#include "scenes/scene_pictures.h"

namespace {

class SceneParticlesTest : public SceneOfTest<cSceneParticles> {
protected:
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
        return static_cast<int>(std::count(ps.alive, ps.alive + ps.capacity, true));
    }
    // Mean brightness difference between the picture and its mirror image.
    double asymmetry(const tPixels& p) const
    {
        double sum = 0.0;
        for (size_t row = 0; row < p.size() / 4; row += width)
            for (size_t x = 0; x < width / 2; ++x)
                sum += std::abs(brightness_at(p, 4 * (row + x)) - brightness_at(p, 4 * (row + width - 1 - x)));
        return sum / static_cast<double>(p.size() / 8);
    }
};

TEST_F(SceneParticlesTest, TheFountainRunsDryWhenEmissionStops)
{
    EXPECT_GT(lit_share(run(60), 10.0), 0.02);
    EXPECT_EQ(alive(), 60 * 101) << "rate + 1 particles per update, none dead yet";
    const cParticleSystem* system = scene.effect.system;
    scene.load();
    EXPECT_EQ(scene.effect.system, system) << "a second load makes no second effect";
    scene.emits_pf = 20;
    run(2);
    EXPECT_EQ(alive(), 60 * 101 + 101 + 21) << "a new rate reaches the update after the change";
    scene.emits_pf = 0;
    run(1);
    const int left = alive();
    run(1);
    EXPECT_EQ(alive(), left) << "nothing is emitted at 0";
    // Particles live 20 s of 50 ms steps.
    EXPECT_EQ(lit_share(run(400), 2.0), 0.0);
    EXPECT_EQ(alive(), 0);
}

TEST_F(SceneParticlesTest, PublishedValuesFoldTurnAndWidenThePicture)
{
    const tPixels plain = run(80);
    find_var("kaleidotype", scene.get_vars())->set(&KALEIDO_PLANE_COUNT);
    const tPixels mandala = run(0);
    scene.fold.plane = 1;  // the left half mirrored about the vertical axis
    const tPixels mirrored = run(0);
    EXPECT_GT(asymmetry(plain), 4.0 * asymmetry(mirrored) + 0.5);
    EXPECT_GT(lit_share(mirrored), 0.02);
    EXPECT_GT(mean_difference(mandala, mirrored), 5.0);
    scene.fold.plane = 99;  // out of range: the last plane
    EXPECT_EQ(run(0), mandala);

    scene.fold.plane = 0;
    const double roll = 90.0;  // a double, as the timeline's double lerp writes it
    const float fov = 60.0f;
    find_var("camroll", scene.get_vars())->set(&roll);
    find_var("camfov", scene.get_vars())->set(&fov);
    EXPECT_EQ(scene.camera.roll + scene.camera.fovy, 150.0);
    EXPECT_GT(mean_difference(plain, run(0)), 1.0);
}

}  // namespace
