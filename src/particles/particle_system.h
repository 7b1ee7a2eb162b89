#pragma once
// CPU particle pool with pluggable emitters and velocity updaters.
//
// A cParticleSystem owns four parallel arrays of `capacity` slots for its
// whole life; slots are never removed, only marked dead and reused by the
// next emission that reaches them (lowest index first). Emitters and updaters
// are owned by the scene's cParticleEffect (particle_effect.h), not by the
// system. Every emission, update and integration walks the whole pool. No GL.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "particles/random_table.h"
#include "particles/vec3_ops.h"
#include "vec3.h"

class cParticleSystem {
public:
    explicit cParticleSystem(int32_t capacity);
    virtual ~cParticleSystem();
    cParticleSystem(const cParticleSystem&) = delete;
    cParticleSystem& operator=(const cParticleSystem&) = delete;

    // Moves every live particle by one step of `dt` seconds and ages it.
    void integrate(float dt);

    Vec3<float>* positions;   // capacity entries, world units
    Vec3<float>* velocities;  // capacity entries, world units per second
    bool* alive;              // capacity entries; a dead slot is free
    float* life;              // capacity entries, remaining life in seconds
    int32_t last_time = -1;   // demo time (ms) of the last emission/update/integration, -1 = never
    float drag = 0.0f;        // velocity damping per step, 0..1
    int32_t capacity;         // pool size in slots
    int32_t now = -1;         // demo time (ms) of the frame being processed, set by the frame's update
};

// Index of the first dead slot at or after `from`, or capacity when none is
// left. A full pool is the steady state, so the search runs as a byte scan.
inline int first_free_slot(const cParticleSystem& ps, int from)
{
    if (from >= ps.capacity)
        return ps.capacity;
    const void* hit = std::memchr(ps.alive + from, 0, static_cast<size_t>(ps.capacity - from));
    return hit ? static_cast<int>(static_cast<const bool*>(hit) - ps.alive) : ps.capacity;
}

// ---- controllers: compile-time defaults for an emitter's rate and life ----

template <int N>
struct ControllerConstant {
    int32_t value = N;  // returned unchanged on every read
    int get() { return value; }
    void set(int v) { value = v; }
};

// Reads value - trunc((1 - 2r) * 0.5 * V) for a fresh r, never below 0.
template <int N, int V>
struct ControllerVaryingLinear {
    int32_t value = N;  // centre of the spread
    int get()
    {
        const double r = frand();
        const int v = value - static_cast<int>(std::trunc((1.0 - 2.0 * r) * 0.5 * V));
        return v < 0 ? 0 : v;
    }
    void set(int v) { value = v; }
};

// ---- emitters -------------------------------------------------------------

class iParticleEmitter {
public:
    virtual ~iParticleEmitter() = default;
    virtual void emit(cParticleSystem& ps, float dt) = 0;
    virtual void set_position(const Vec3<float>& p) = 0;
    virtual int get_rate() = 0;
    virtual int get_life() = 0;
    virtual void set_rate(const int& r) = 0;
    virtual void set_life(const int& l) = 0;
};

// C1 gives the particles emitted per call (minus one, see emit), C2 the life
// in whole seconds of each new particle.
template <typename C1, typename C2>
class cParticleEmitter : public iParticleEmitter {
public:
    void set_position(const Vec3<float>& p) override { position = p; }
    int get_rate() override { return rate.get(); }
    int get_life() override { return life.get(); }
    void set_rate(const int& r) override { rate.set(r); }
    void set_life(const int& l) override { life.set(l); }

    Vec3<float> position;  // world position of the emitting shape
    C1 rate;               // particles per call
    C2 life;               // initial life, seconds

protected:
    // Life of a new particle in slot i; the slot lives while its life is positive.
    void start_life(cParticleSystem& ps, int i)
    {
        ps.life[i] = static_cast<float>(get_life());
        ps.alive[i] = ps.life[i] > 0.0f;
    }
};

// Fills free slots, lowest first, with particles at rest spread uniformly
// through an axis-aligned box centred on `position`. The stop test lets
// rate + 1 particles through per call, so a rate of 0 still emits one.
template <typename C1, typename C2>
class cParticleEmitterCubeVolume : public cParticleEmitter<C1, C2> {
public:
    void emit(cParticleSystem& ps, float /*dt*/) override
    {
        const Vec3<float> corner = this->position - size * 0.5f;
        int emitted = 0;
        for (int i = 0; i < ps.capacity; ++i) {
            if (this->get_rate() < emitted)
                break;
            if (ps.alive[i])
                continue;
            const float r1 = frand(), r2 = frand(), r3 = frand();
            ps.positions[i] = {corner.x + r3 * size.x, corner.y + r2 * size.y, corner.z + r1 * size.z};
            const float v1 = frand(), v2 = frand(), v3 = frand();
            // The draws keep the shared sequence in step; the velocity starts at rest.
            ps.velocities[i] = {v3 * 0.0f, v2 * 0.0f, v1 * 0.0f};
            this->start_life(ps, i);
            ++emitted;
        }
        if (emitted > 0)
            ps.last_time = ps.now;
    }

    Vec3<float> size;  // edge lengths of the box, world units
};

// Fills free slots with particles on the parallelogram spanned by axis1 and
// axis2 from `position`, moving with x, z in [0, 1) and y in [0, 10).
template <typename C1, typename C2>
class cParticleEmitterPlane : public cParticleEmitter<C1, C2> {
public:
    void emit(cParticleSystem& ps, float /*dt*/) override
    {
        const int rate = this->get_rate();
        int emitted = 0;
        for (int i = first_free_slot(ps, 0); i < ps.capacity && emitted <= rate; i = first_free_slot(ps, i + 1)) {
            const float r1 = frand(), r2 = frand(), r3 = frand();
            ps.velocities[i] = {r3, 10.0f * r2, r1};
            const float r4 = frand(), r5 = frand();
            ps.positions[i] = this->position + axis1 * r5 + axis2 * r4;
            this->start_life(ps, i);
            ++emitted;
        }
        if (emitted > 0)
            ps.last_time = ps.now;
    }

    Vec3<float> axis1;  // first edge vector from position
    Vec3<float> axis2;  // second edge vector from position
    Vec3<float> dir1;   // axis1 normalised (set by the scene, not used here)
    Vec3<float> dir2;   // axis2 normalised (set by the scene, not used here)
    float len1 = 0.0f;  // length of axis1 (set by the scene)
    float len2 = 0.0f;  // length of axis2 (set by the scene)
};

// ---- updaters ---------------------------------------------------------------

class iParticleSystemUpdater {
public:
    virtual ~iParticleSystemUpdater() = default;
    virtual void update(cParticleSystem& ps, int dt_ms) = 0;
};

// Gives every live particle the same velocity.
class cVelocityDir : public iParticleSystemUpdater {
public:
    void update(cParticleSystem& ps, int dt_ms) override;

    Vec3<float> dir;        // direction of motion (not normalised here)
    float strength = 0.0f;  // speed factor, world units per second per unit of dir
};

// Pulls every live particle towards `sink`, falling off as 1/distance and
// capped as if no particle were closer than 0.5.
class cGravitySink : public iParticleSystemUpdater {
public:
    void update(cParticleSystem& ps, int dt_ms) override;

    Vec3<float> sink;       // world position of the attractor
    float strength = 0.0f;  // velocity gained per step at unit distance
};
