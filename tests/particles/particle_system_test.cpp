#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "demo_clock.h"
#include "particles/particle_effect.h"
#include "particles/particle_system.h"

namespace {

using CubeEmitter = cParticleEmitterCubeVolume<ControllerConstant<100>, ControllerConstant<5>>;

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
    int step = 0;
    while (ps.alive[0] && step < 10000) {
        ps.integrate(PARTICLE_STEP_S);
        ++step;
    }
    return step;
}

}  // namespace

TEST(ParticleEmitterTest, CubeEmitsRatePlusOneAtRestIntoFreeSlots)
{
    cParticleSystem ps(300);
    ps.alive[0] = true;
    ps.life[0] = 3.0f;
    ps.now = 1234;
    CubeEmitter cube;
    cube.size = {2, 4, 6};
    cube.position = {10, 20, 30};
    rand_index = 0;
    cube.emit(ps, 0.05f);
    EXPECT_EQ(count_alive(ps), 102);  // slot 0 was taken and kept its life
    EXPECT_EQ(ps.life[0], 3.0f);
    EXPECT_FALSE(ps.alive[102]);
    EXPECT_EQ(ps.last_time, 1234);
    // r1 goes to z, r3 to x; three more draws for the zeroed velocity.
    EXPECT_EQ(ps.positions[1].x, 9.0f + 2.0f * rand_table[3]);
    EXPECT_EQ(ps.positions[1].z, 27.0f + 6.0f * rand_table[1]);
    EXPECT_EQ(rand_index, 6u * 101);
    for (int i = 1; i <= 101; ++i) {
        EXPECT_EQ(ps.velocities[i], Vec3<float>());
        EXPECT_EQ(ps.life[i], 5.0f);
    }
    cube.set_rate(0);  // still one per call
    cube.emit(ps, 0.05f);
    EXPECT_EQ(count_alive(ps), 103);
}

TEST(ParticleUpdaterTest, GravitySinkPullIsCappedAndZeroAtTheSink)
{
    cParticleSystem ps(3);
    ps.alive[0] = ps.alive[1] = ps.alive[2] = true;
    cGravitySink g;
    g.sink = {0, 55, 0};
    g.strength = 6;
    ps.positions[0] = {0, 55, 0};
    ps.positions[1] = {0, 54.75f, 0};  // 0.25 below: pulled as if at 0.5
    ps.positions[2] = {0, 53, 0};
    ps.now = 77;
    g.update(ps, 50);
    EXPECT_EQ(ps.velocities[0], Vec3<float>());
    EXPECT_FLOAT_EQ(ps.velocities[1].y, 6.0f * 0.25f / 0.25f);
    EXPECT_FLOAT_EQ(ps.velocities[2].y, 6.0f * 2.0f / 4.0f);
    EXPECT_EQ(ps.last_time, 77);
}

// Pools are walked four slots at a time, the last capacity % 4 slots one by
// one: a slot must come out the same bit for bit on either path, and a dead
// slot inside a group of four must stay untouched.
TEST(ParticlePoolTest, GroupedSlotsMatchTheOneByOneTail)
{
    cParticleSystem ps(7);  // slots 0..3 grouped, 4..6 one by one
    ps.drag = 0.1f;
    for (int i : {1, 5}) {
        ps.alive[i] = true;
        ps.life[i] = 1.0f;
        ps.positions[i] = {0.3f, 54.9f, -0.2f};  // inside the 0.5 cap at first
        ps.velocities[i] = {-1.5f, 0.25f, 3.0f};
    }
    for (int i : {2, 6}) {
        ps.life[i] = 4.0f;  // dead despite the life left
        ps.positions[i] = {1, 2, 3};
        ps.velocities[i] = {4, 5, 6};
    }
    ps.alive[0] = ps.alive[3] = ps.alive[4] = true;
    ps.life[0] = ps.life[3] = ps.life[4] = 9.0f;
    cGravitySink sink;
    sink.sink = {0, 55, 0};
    sink.strength = 6;
    for (int step = 1; step <= 25; ++step) {
        sink.update(ps, 50);
        ps.integrate(0.05f);
        EXPECT_EQ(ps.alive[1], step < 20) << step;
        ASSERT_EQ(ps.alive[1], ps.alive[5]) << step;
        ASSERT_EQ(std::memcmp(&ps.life[1], &ps.life[5], sizeof(float)), 0) << step;
        ASSERT_EQ(std::memcmp(&ps.positions[1], &ps.positions[5], sizeof(Vec3<float>)), 0) << step;
        ASSERT_EQ(std::memcmp(&ps.velocities[1], &ps.velocities[5], sizeof(Vec3<float>)), 0) << step;
    }
    for (int i : {2, 6}) {
        EXPECT_FALSE(ps.alive[i]);
        EXPECT_EQ(ps.life[i], 4.0f);
        EXPECT_EQ(ps.positions[i], Vec3<float>(1, 2, 3));
        EXPECT_EQ(ps.velocities[i], Vec3<float>(4, 5, 6));
    }
    // Lives count down in single precision: 20 s of 50 ms steps take one more.
    EXPECT_EQ(std::vector<int>({death_step(1), death_step(5), death_step(20)}), std::vector<int>({20, 100, 401}));
}

TEST(ParticleEffectTest, UpdateRunsEmitUpdateIntegrateAndStopsWhilePaused)
{
    cParticleEffect fx;
    fx.system = new cParticleSystem(1000);
    add_emitter(fx, new CubeEmitter());
    auto* dir = new cVelocityDir();
    dir->dir = {1, 0, 0};
    dir->strength = 2;
    add_updater(fx, dir);
    cDemoClock clock;
    clock.now = 3000;
    update_particle_effect(fx, clock);
    EXPECT_EQ(count_alive(*fx.system), 101);
    EXPECT_EQ(fx.system->last_time, 3000);
    // Born at rest, given (2, 0, 0) by the updater, moved one step.
    const Vec3<float> p = fx.system->positions[0];
    EXPECT_FLOAT_EQ(p.x, 0.1f);
    EXPECT_FLOAT_EQ(fx.system->life[0], 5.0f - 0.05f);

    clock.paused = true;
    clock.now = 3050;
    update_particle_effect(fx, clock);
    EXPECT_EQ(count_alive(*fx.system), 101);
    EXPECT_EQ(fx.system->positions[0], p);
    EXPECT_EQ(fx.system->last_time, 3000);
    destroy_particle_effect(fx);
}
