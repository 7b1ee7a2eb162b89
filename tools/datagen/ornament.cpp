#include "ornament.h"

#include <algorithm>
#include <cmath>

#include "canvas.h"

const cColor MAGENTA{1.0f, 0.10f, 0.72f, 1.0f};
const cColor CYAN{0.08f, 0.85f, 1.0f, 1.0f};
const cColor AMBER{1.0f, 0.58f, 0.10f, 1.0f};

float line_glow(float distance, float width)
{
    const float d = std::fabs(distance);
    const float core = std::exp(-(d * d) / (width * width));
    const float halo = 0.22f * std::exp(-d / (5.0f * width));
    return core + halo;
}

float fold_angle(float angle, int n)
{
    const float sector = 2.0f * PI / static_cast<float>(n);
    float a = std::fmod(angle + 0.5f * sector, sector);
    if (a < 0.0f)
        a += sector;
    a -= 0.5f * sector;
    return std::fabs(a);
}

float segment_distance(float x, float y, float ax, float ay, float bx, float by)
{
    const float vx = bx - ax;
    const float vy = by - ay;
    const float len2 = vx * vx + vy * vy;
    float t = len2 > 0.0f ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float dx = x - (ax + t * vx);
    const float dy = y - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

float petal_distance(float r, float a, float base, float amp, float k)
{
    const float curve = base + amp * std::cos(k * a);
    const float slope = -amp * k * std::sin(k * a) / std::max(r, 1.0f);
    return std::fabs(r - curve) / std::sqrt(1.0f + slope * slope);
}
