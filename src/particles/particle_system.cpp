#include "particles/particle_system.h"

#include <algorithm>

cParticleSystem::cParticleSystem(int32_t capacity_)
    : positions(new Vec3<float>[capacity_]),
      velocities(new Vec3<float>[capacity_]),
      alive(new bool[capacity_]()),
      life(new float[capacity_]()),
      capacity(capacity_)
{
}

cParticleSystem::~cParticleSystem()
{
    delete[] positions;
    delete[] velocities;
    delete[] alive;
    delete[] life;
}

void cParticleSystem::integrate(float dt)
{
    last_time = now;
    const float k = 1.0f - drag;
    for (int i = 0; i < capacity; ++i) {
        if (!alive[i])
            continue;
        life[i] -= dt;
        alive[i] = life[i] > 0.0f;
        // A particle that dies on this step still moves once.
        positions[i] += velocities[i] * dt;
        velocities[i] *= k;
    }
}

void cVelocityDir::update(cParticleSystem& ps, int /*dt_ms*/)
{
    const Vec3<float> v = dir * strength;
    for (int i = 0; i < ps.capacity; ++i)
        if (ps.alive[i])
            ps.velocities[i] = v;
    ps.last_time = ps.now;
}

void cGravitySink::update(cParticleSystem& ps, int /*dt_ms*/)
{
    for (int i = 0; i < ps.capacity; ++i) {
        if (!ps.alive[i])
            continue;
        const Vec3<float> d = sink - ps.positions[i];
        const float dist = std::max(d.length(), 0.5f);
        ps.velocities[i] += d * (strength / (dist * dist));
    }
    ps.last_time = ps.now;
}
