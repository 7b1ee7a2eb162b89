#include "values/interpolator.h"

#include <cstdint>

float cInterpolator::progress(int now) const
{
    // 64-bit differences: a window far from now must not overflow.
    const float t = static_cast<float>(int64_t(now) - start) / static_cast<float>(int64_t(end) - start);
    if (!(t > 0))
        return 0;
    return t > 1 ? 1 : t;
}

static float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float ease_in_weight(float t)
{
    const float u = 0.5f + 0.5f * t;
    return clamp01(2 * (smoothstep_weight(u) - 0.5f));
}

float ease_out_weight(float t)
{
    return clamp01(2 * smoothstep_weight(0.5f * t));
}

void update_animators(std::vector<cInterpolator*>& animators, int& last_update_time, int now)
{
    for (cInterpolator* a : animators) {
        if (a->is_active(now)) {
            a->update(now);
            a->last_update = now;
        } else if (a->last_update == last_update_time) {
            a->update(now);
        }
    }
    last_update_time = now;
}

void delete_animators(std::vector<cInterpolator*>& animators)
{
    for (cInterpolator* a : animators)
        delete a;
    animators.clear();
}
