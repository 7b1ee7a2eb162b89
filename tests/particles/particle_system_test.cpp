#include <gtest/gtest.h>

#include "demo_clock.h"
#include "particles/particle_effect.h"
#include "particles/particle_system.h"

namespace {

using CubeEmitter = cParticleEmitterCubeVolume<ControllerConstant<100>, ControllerConstant<5>>;
using PlaneEmitter = cParticleEmitterPlane<ControllerConstant<100>, ControllerVaryingLinear<20, 2>>;

int count_alive(const cParticleSystem& ps)
{
    int n = 0;
    for (int i = 0; i < ps.capacity; ++i)
        n += ps.alive[i] ? 1 : 0;
    return n;
}

// Number of the integration step on which a particle with this life dies.
int death_step(int life_s)
{
    cParticleSystem ps(1);
    ps.alive[0] = true;
    ps.life[0] = static_cast<float>(life_s);
    for (int step = 1; step < 10000; ++step) {
        ps.integrate(PARTICLE_STEP_S);
        if (!ps.alive[0])
            return step;
    }
    return -1;
}

}  // namespace

TEST(ParticleSystemTest, StartsEmptyAndAtRest)
{
    cParticleSystem ps(64);
    EXPECT_EQ(ps.last_time, -1);
    EXPECT_EQ(ps.drag, 0.0f);
    for (int i = 0; i < 64; ++i) {
        EXPECT_FALSE(ps.alive[i]);
        EXPECT_EQ(ps.life[i], 0.0f);
        EXPECT_EQ(ps.positions[i], Vec3<float>());
        EXPECT_EQ(ps.velocities[i], Vec3<float>());
    }
}

TEST(ParticleEmitterTest, EmitsRatePlusOneIntoLowestFreeSlots)
{
    cParticleSystem ps(300);
    ps.alive[0] = true;
    ps.life[0] = 3.0f;
    ps.now = 1234;
    CubeEmitter cube;
    cube.size = {2, 4, 6};
    cube.position = {10, 20, 30};
    cube.emit(ps, 0.05f);
    EXPECT_EQ(count_alive(ps), 102);  // slot 0 was already taken
    EXPECT_TRUE(ps.alive[101]);
    EXPECT_FALSE(ps.alive[102]);
    EXPECT_EQ(ps.life[0], 3.0f);  // a live slot is left alone
    EXPECT_EQ(ps.life[1], 5.0f);
    EXPECT_EQ(ps.last_time, 1234);
    for (int i = 1; i <= 101; ++i) {
        EXPECT_EQ(ps.velocities[i], Vec3<float>());
        EXPECT_GE(ps.positions[i].x, 9.0f);
        EXPECT_LT(ps.positions[i].x, 11.0f);
        EXPECT_GE(ps.positions[i].y, 18.0f);
        EXPECT_LT(ps.positions[i].y, 22.0f);
        EXPECT_GE(ps.positions[i].z, 27.0f);
        EXPECT_LT(ps.positions[i].z, 33.0f);
    }
}

TEST(ParticleEmitterTest, CubeDrawOrderAndSixDrawsPerParticle)
{
    cParticleSystem ps(1);
    CubeEmitter cube;
    cube.size = {1, 1, 1};
    cube.position = {0.5f, 0.5f, 0.5f};
    rand_index = 0;
    cube.emit(ps, 0.05f);
    // r1 goes to z, r3 to x; three more draws for the (zeroed) velocity.
    EXPECT_EQ(ps.positions[0].x, rand_table[3]);
    EXPECT_EQ(ps.positions[0].y, rand_table[2]);
    EXPECT_EQ(ps.positions[0].z, rand_table[1]);
    EXPECT_EQ(rand_index, 6u);
}

TEST(ParticleEmitterTest, RateZeroStillEmitsOne)
{
    cParticleSystem ps(10);
    CubeEmitter cube;
    cube.set_rate(0);
    cube.emit(ps, 0.05f);
    EXPECT_EQ(count_alive(ps), 1);
}

TEST(ParticleEmitterTest, FullPoolEmitsNothingAndKeepsLastTime)
{
    cParticleSystem ps(4);
    for (int i = 0; i < 4; ++i) {
        ps.alive[i] = true;
        ps.life[i] = 1.0f;
    }
    ps.now = 500;
    PlaneEmitter plane;
    const uint32_t before = rand_index;
    plane.emit(ps, 0.05f);
    EXPECT_EQ(ps.last_time, -1);
    EXPECT_EQ(rand_index, before);
}

TEST(ParticleEmitterTest, PlaneVelocityAndPositionRanges)
{
    cParticleSystem ps(5000);
    PlaneEmitter plane;
    plane.position = {1, 2, 3};
    plane.axis1 = {0.2f, 0, 0};
    plane.axis2 = {0, 0, 20};
    for (int call = 0; call < 40; ++call)
        plane.emit(ps, 0.05f);
    ASSERT_EQ(count_alive(ps), 40 * 101);
    float max_y = 0.0f;
    for (int i = 0; i < ps.capacity; ++i) {
        if (!ps.alive[i])
            continue;
        const Vec3<float>& v = ps.velocities[i];
        ASSERT_TRUE(v.x >= 0 && v.x < 1 && v.z >= 0 && v.z < 1 && v.y >= 0 && v.y < 10);
        max_y = std::max(max_y, v.y);
        const Vec3<float>& p = ps.positions[i];
        ASSERT_TRUE(p.x >= 1 && p.x < 1.2f && p.y == 2 && p.z >= 3 && p.z < 23);
        // V = 2 gives the held value except for a draw of exactly 0.
        ASSERT_TRUE(ps.life[i] == 20.0f || ps.life[i] == 19.0f);
    }
    EXPECT_GT(max_y, 9.0f);  // the y range really is scaled by ten
}

TEST(ParticleControllerTest, VaryingLinearSpreadAndFloor)
{
    ControllerVaryingLinear<3, 10> c;
    int lo = 100, hi = -100;
    for (int i = 0; i < 2000; ++i) {
        const int v = c.get();
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, 0);  // 3 - 4 would be negative: floored
    EXPECT_EQ(hi, 7);  // 3 + trunc(4.99..)
    c.set(40);
    rand_index = 0;
    const float r = rand_table[1];
    EXPECT_EQ(c.get(), 40 - static_cast<int>(std::trunc((1.0 - 2.0 * r) * 5.0)));
}

TEST(ParticleIntegrationTest, DeathStepsInSinglePrecision)
{
    EXPECT_EQ(death_step(1), 20);
    EXPECT_EQ(death_step(5), 100);
    EXPECT_EQ(death_step(20), 401);
}

TEST(ParticleIntegrationTest, DyingParticleMovesOnceMoreAndDragDamps)
{
    cParticleSystem ps(2);
    ps.drag = 0.5f;
    ps.alive[0] = true;
    ps.life[0] = 0.01f;
    ps.velocities[0] = {20, 0, 0};
    ps.velocities[1] = {20, 0, 0};  // dead: must not move
    ps.integrate(0.05f);
    EXPECT_FALSE(ps.alive[0]);
    EXPECT_FLOAT_EQ(ps.positions[0].x, 1.0f);
    EXPECT_FLOAT_EQ(ps.velocities[0].x, 10.0f);
    EXPECT_EQ(ps.positions[1], Vec3<float>());
    ps.integrate(0.05f);
    EXPECT_FLOAT_EQ(ps.positions[0].x, 1.0f);
}

TEST(ParticleUpdaterTest, GravitySinkPullIsCappedAndZeroAtTheSink)
{
    cParticleSystem ps(4);
    for (int i = 0; i < 3; ++i)
        ps.alive[i] = true;
    cGravitySink g;
    g.sink = {0, 55, 0};
    g.strength = 6;
    ps.positions[0] = {0, 55, 0};
    ps.positions[1] = {0, 54.75f, 0};  // 0.25 below: treated as 0.5
    ps.positions[2] = {0, 53, 0};      // 2 below
    ps.positions[3] = {0, 54.75f, 0};  // dead
    ps.now = 77;
    g.update(ps, 50);
    EXPECT_EQ(ps.velocities[0], Vec3<float>());
    EXPECT_FLOAT_EQ(ps.velocities[1].y, 6.0f * 0.25f / 0.25f);
    EXPECT_FLOAT_EQ(ps.velocities[2].y, 6.0f * 2.0f / 4.0f);
    EXPECT_EQ(ps.velocities[3], Vec3<float>());
    EXPECT_EQ(ps.last_time, 77);
}

TEST(ParticleUpdaterTest, VelocityDirReplacesLiveVelocities)
{
    cParticleSystem ps(2);
    ps.alive[0] = true;
    ps.velocities[0] = {5, 5, 5};
    cVelocityDir vd;
    vd.dir = {0, 1, 0};
    vd.strength = 40;
    vd.update(ps, 50);
    EXPECT_EQ(ps.velocities[0], Vec3<float>(0, 40, 0));
    EXPECT_EQ(ps.velocities[1], Vec3<float>());
}

TEST(ParticleEffectTest, UpdateRunsEmitUpdateIntegrateAndStopsWhilePaused)
{
    cParticleEffect fx;
    fx.system = new cParticleSystem(1000);
    auto* cube = new CubeEmitter();
    cube->size = {1, 1, 1};
    add_emitter(fx, cube);
    auto* dir = new cVelocityDir();
    dir->dir = {1, 0, 0};
    dir->strength = 2;
    add_updater(fx, dir);
    cDemoClock clock;
    clock.now = 3000;
    update_particle_effect(fx, clock);
    EXPECT_EQ(count_alive(*fx.system), 101);
    EXPECT_EQ(fx.system->last_time, 3000);
    // Emitted at rest, given (2, 0, 0) by the updater, moved one step.
    const float x0 = fx.system->positions[0].x;
    EXPECT_FLOAT_EQ(fx.system->velocities[0].x, 2.0f);
    EXPECT_FLOAT_EQ(fx.system->life[0], 5.0f - 0.05f);

    clock.paused = true;
    clock.now = 3050;
    update_particle_effect(fx, clock);
    EXPECT_EQ(count_alive(*fx.system), 101);
    EXPECT_EQ(fx.system->positions[0].x, x0);
    EXPECT_EQ(fx.system->last_time, 3000);
    destroy_particle_effect(fx);
    EXPECT_EQ(fx.system, nullptr);
}
