#include "particles/scrub_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct cRingTable {
    float c[SCRUB_TUBE_SIDES];  // cosine of each side's angle
    float s[SCRUB_TUBE_SIDES];  // sine of each side's angle
    cRingTable()
    {
        for (int j = 0; j < SCRUB_TUBE_SIDES; ++j) {
            const double a = 2.0 * std::numbers::pi * j / SCRUB_TUBE_SIDES;
            c[j] = static_cast<float>(std::cos(a));
            s[j] = static_cast<float>(std::sin(a));
        }
    }
};
const cRingTable ring;

}  // namespace

Vec3<float> any_perpendicular(const Vec3<float>& t)
{
    const Vec3<float> helper = std::fabs(t.y) < 0.9f ? Vec3<float>(0, 1, 0) : Vec3<float>(1, 0, 0);
    return (helper - t * dot(t, helper)).normalized();
}

void cScrubGeometry::reset()
{
    vertices.clear();
    indices.clear();
    z_min = 1e12f;
    z_max = -1e12f;
}

void cScrubGeometry::add_vertex(const Vec3<float>& p, const Vec3<float>& n)
{
    const float v[6] = {p.x, p.y, p.z, n.x, n.y, n.z};
    vertices.insert(vertices.end(), v, v + 6);
    z_min = std::min(z_min, p.z);
    z_max = std::max(z_max, p.z);
}

void cScrubGeometry::add_triangle(uint32_t a, uint32_t b, uint32_t c)
{
    const uint32_t t[3] = {a, b, c};
    indices.insert(indices.end(), t, t + 3);
}

void cScrubGeometry::add_tube(const Vec3<float>* centres, const Vec3<float>* tangents, int count, float radius)
{
    const uint32_t base = vertex_count();
    Vec3<float> u;
    for (int i = 0; i < count; ++i) {
        const Vec3<float> t = tangents[i].normalized();
        // Carry the previous ring's normal over (parallel transport) so the
        // tube does not twist between rings.
        u = i == 0 ? any_perpendicular(t) : (u - t * dot(t, u)).normalized();
        if (length_sq(u) < 0.5f)
            u = any_perpendicular(t);
        const Vec3<float> v = t.cross(u);
        for (int j = 0; j < SCRUB_TUBE_SIDES; ++j) {
            const Vec3<float> n = u * ring.c[j] + v * ring.s[j];
            add_vertex(centres[i] + n * radius, n);
        }
    }
    for (int i = 0; i + 1 < count; ++i) {
        for (int j = 0; j < SCRUB_TUBE_SIDES; ++j) {
            const uint32_t a = base + i * SCRUB_TUBE_SIDES + j;
            const uint32_t b = base + i * SCRUB_TUBE_SIDES + (j + 1) % SCRUB_TUBE_SIDES;
            add_triangle(a, b, a + SCRUB_TUBE_SIDES);
            add_triangle(b, b + SCRUB_TUBE_SIDES, a + SCRUB_TUBE_SIDES);
        }
    }
}

void cScrubGeometry::add_straight_tube(const Vec3<float>& a, const Vec3<float>& b, float radius)
{
    const Vec3<float> centres[2] = {a, b};
    const Vec3<float> d = b - a;
    const Vec3<float> tangents[2] = {d, d};
    add_tube(centres, tangents, 2, radius);
}

void cScrubGeometry::add_curved_tube(const Vec3<float>& a, const Vec3<float>& ta, const Vec3<float>& b,
                                     const Vec3<float>& tb, float radius)
{
    constexpr int rings = SCRUB_SPLINE_SEGMENTS + 1;
    Vec3<float> centres[rings], tangents[rings];
    for (int i = 0; i < rings; ++i) {
        const float t = static_cast<float>(i) / SCRUB_SPLINE_SEGMENTS;
        const float t2 = t * t, t3 = t2 * t;
        centres[i] = a * (2 * t3 - 3 * t2 + 1) + ta * (t3 - 2 * t2 + t) + b * (-2 * t3 + 3 * t2) + tb * (t3 - t2);
        tangents[i] = (a - b) * (6 * t2 - 6 * t) + ta * (3 * t2 - 4 * t + 1) + tb * (3 * t2 - 2 * t);
    }
    add_tube(centres, tangents, rings, radius);
}
