#include "particles/particle_system.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

// The pool loops work on four slots at a time with SSE2, the x86-64
// baseline: every lane is computed and dead slots get their old values back,
// so the loops carry no branch per slot. Each lane performs the scalar
// operations in the scalar order, so the results are the same bit for bit
// as the one-slot loops that finish the pool's last slots.
namespace {

static_assert(sizeof(Vec3<float>) == 3 * sizeof(float), "the pool loops read xyz triples as packed floats");

// Four consecutive xyz triples as stored: twelve floats in slot order.
struct Packed3 {
    __m128 a;  // x0 y0 z0 x1
    __m128 b;  // y1 z1 x2 y2
    __m128 c;  // z2 x3 y3 z3
};

// The same four triples split by component.
struct Lanes3 {
    __m128 x;  // x of the four slots
    __m128 y;  // y of the four slots
    __m128 z;  // z of the four slots
};

Packed3 load_packed(const Vec3<float>* v)
{
    const float* f = &v->x;
    return {_mm_loadu_ps(f), _mm_loadu_ps(f + 4), _mm_loadu_ps(f + 8)};
}

void store_packed(Vec3<float>* v, const Packed3& p)
{
    float* f = &v->x;
    _mm_storeu_ps(f, p.a);
    _mm_storeu_ps(f + 4, p.b);
    _mm_storeu_ps(f + 8, p.c);
}

Lanes3 unpack(const Packed3& p)
{
    const __m128 x2x3 = _mm_shuffle_ps(p.b, p.c, _MM_SHUFFLE(1, 1, 2, 2));
    const __m128 y0y1 = _mm_shuffle_ps(p.a, p.b, _MM_SHUFFLE(0, 0, 1, 1));
    const __m128 y2y3 = _mm_shuffle_ps(p.b, p.c, _MM_SHUFFLE(2, 2, 3, 3));
    const __m128 z0z1 = _mm_shuffle_ps(p.a, p.b, _MM_SHUFFLE(1, 1, 2, 2));
    const __m128 z2z3 = _mm_shuffle_ps(p.c, p.c, _MM_SHUFFLE(3, 3, 0, 0));
    return {_mm_shuffle_ps(p.a, x2x3, _MM_SHUFFLE(2, 0, 3, 0)), _mm_shuffle_ps(y0y1, y2y3, _MM_SHUFFLE(2, 0, 2, 0)),
            _mm_shuffle_ps(z0z1, z2z3, _MM_SHUFFLE(2, 0, 2, 0))};
}

// Four per-slot values repeated to line up with the packed triples:
// v0 v0 v0 v1 | v1 v1 v2 v2 | v2 v3 v3 v3.
Packed3 spread(__m128 v)
{
    return {_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 0, 0)), _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 1, 1)),
            _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 2))};
}

// All-ones lanes for the live slots among alive[0..3].
__m128 alive_mask(const bool* alive)
{
    int32_t bytes;
    std::memcpy(&bytes, alive, sizeof bytes);
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero);
    return _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_unpacklo_epi16(words, zero), zero));
}

void store_alive(bool* alive, __m128 mask)
{
    __m128i m = _mm_castps_si128(mask);
    m = _mm_packs_epi16(_mm_packs_epi32(m, m), m);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_and_si128(m, _mm_set1_epi8(1)));
    std::memcpy(alive, &bytes, sizeof bytes);
}

__m128 select(__m128 mask, __m128 if_set, __m128 if_clear)
{
    return _mm_or_ps(_mm_and_ps(mask, if_set), _mm_andnot_ps(mask, if_clear));
}

Packed3 select(const Packed3& mask, const Packed3& if_set, const Packed3& if_clear)
{
    return {select(mask.a, if_set.a, if_clear.a), select(mask.b, if_set.b, if_clear.b),
            select(mask.c, if_set.c, if_clear.c)};
}

constexpr int LANES = 4;

}  // namespace

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
    // Local copies: the byte stores to `alive` could otherwise alias the
    // pointers and force a reload of each on every group.
    Vec3<float>* const pos = positions;
    Vec3<float>* const vel = velocities;
    bool* const live_flags = alive;
    float* const left = life;
    const int32_t n = capacity;
    const __m128 step = _mm_set1_ps(dt), damping = _mm_set1_ps(k), zero = _mm_setzero_ps();
    int i = 0;
    for (; i + LANES <= n; i += LANES) {
        const __m128 live = alive_mask(live_flags + i);
        if (_mm_movemask_ps(live) == 0)
            continue;
        const __m128 old_life = _mm_loadu_ps(left + i);
        const __m128 new_life = _mm_sub_ps(old_life, step);
        _mm_storeu_ps(left + i, select(live, new_life, old_life));
        store_alive(live_flags + i, _mm_and_ps(live, _mm_cmpgt_ps(new_life, zero)));
        // A particle that dies on this step still moves once. Position and
        // velocity get the same operation on every component, so they stay packed.
        const Packed3 m = spread(live), p = load_packed(pos + i), v = load_packed(vel + i);
        const Packed3 moved = {_mm_add_ps(p.a, _mm_mul_ps(v.a, step)), _mm_add_ps(p.b, _mm_mul_ps(v.b, step)),
                               _mm_add_ps(p.c, _mm_mul_ps(v.c, step))};
        const Packed3 damped = {_mm_mul_ps(v.a, damping), _mm_mul_ps(v.b, damping), _mm_mul_ps(v.c, damping)};
        store_packed(pos + i, select(m, moved, p));
        store_packed(vel + i, select(m, damped, v));
    }
    for (; i < n; ++i) {
        if (!live_flags[i])
            continue;
        left[i] -= dt;
        live_flags[i] = left[i] > 0.0f;
        pos[i] += vel[i] * dt;
        vel[i] *= k;
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
    const Vec3<float> to = sink;
    const float pull = strength;
    const Packed3 to_packed = {_mm_setr_ps(to.x, to.y, to.z, to.x), _mm_setr_ps(to.y, to.z, to.x, to.y),
                               _mm_setr_ps(to.z, to.x, to.y, to.z)};
    const __m128 vpull = _mm_set1_ps(pull), closest = _mm_set1_ps(0.5f);
    const Vec3<float>* const pos = ps.positions;
    Vec3<float>* const vel = ps.velocities;
    const bool* const live_flags = ps.alive;
    const int32_t n = ps.capacity;
    int i = 0;
    for (; i + LANES <= n; i += LANES) {
        const __m128 live = alive_mask(live_flags + i);
        if (_mm_movemask_ps(live) == 0)
            continue;
        // The offset is formed packed, split only to measure its length, and
        // the pull is spread back to the packed layout of the velocities.
        const Packed3 p = load_packed(pos + i), v = load_packed(vel + i);
        const Packed3 d = {_mm_sub_ps(to_packed.a, p.a), _mm_sub_ps(to_packed.b, p.b), _mm_sub_ps(to_packed.c, p.c)};
        const Lanes3 dl = unpack(d);
        const __m128 len_sq =
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(dl.x, dl.x), _mm_mul_ps(dl.y, dl.y)), _mm_mul_ps(dl.z, dl.z));
        // Operand order keeps std::max's answer for a NaN length: the length itself.
        const __m128 dist = _mm_max_ps(closest, _mm_sqrt_ps(len_sq));
        const Packed3 f = spread(_mm_div_ps(vpull, _mm_mul_ps(dist, dist)));
        const Packed3 pulled = {_mm_add_ps(v.a, _mm_mul_ps(d.a, f.a)), _mm_add_ps(v.b, _mm_mul_ps(d.b, f.b)),
                                _mm_add_ps(v.c, _mm_mul_ps(d.c, f.c))};
        store_packed(vel + i, select(spread(live), pulled, v));
    }
    for (; i < n; ++i) {
        if (!live_flags[i])
            continue;
        const Vec3<float> d = to - pos[i];
        const float dist = std::max(d.length(), 0.5f);
        vel[i] += d * (pull / (dist * dist));
    }
    ps.last_time = ps.now;
}
