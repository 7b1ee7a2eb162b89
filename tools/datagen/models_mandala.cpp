// The mandala tunnel's slices and string circle. The slices lie in the x-y
// plane facing +z (the camera flies down -z through the stack) and are wide
// enough that the nearest ones overflow the 65-degree view while the far
// ones close the tunnel. Their texture coordinates point into one quadrant
// each of "Mandala_slices.png", a 2 x 2 atlas of ornamental discs; the shapes
// cut those discs differently so that five slices never look alike.
#include <cmath>
#include <functional>

#include "mesh_builder.h"
#include "models.h"
#include "ornament.h"

namespace {

constexpr float SLICE_RADIUS = 1400.0f;  // world units, the disc's full radius
constexpr float ATLAS_DISC = 0.24f;      // radius of one atlas disc, texture units

struct cSliceShape {
    int quadrant;                          // atlas disc 0-3 (bottom-left, bottom-right, top-left, top-right)
    float turn;                            // rotation of the disc under the shape, radians
    std::function<float(float)> inner;     // inner radius by angle, 0-1 of SLICE_RADIUS
    std::function<float(float)> outer;     // outer radius by angle, 0-1 of SLICE_RADIUS
};

// Ring of `rays` sectors between the inner and outer outline, two rings
// deep; texture coordinates follow the position linearly, so the disc is
// cut, never distorted.
cMeshObj_data slice(const cSliceShape& shape, int rays)
{
    cMeshBuilder b(true);
    const float cu = 0.25f + 0.5f * static_cast<float>(shape.quadrant % 2);
    const float cv = 0.25f + 0.5f * static_cast<float>(shape.quadrant / 2);
    auto add = [&](float a, float r) {
        const float x = r * std::cos(a), y = r * std::sin(a);
        const float ta = a + shape.turn;
        return b.vertex(V3(x * SLICE_RADIUS, y * SLICE_RADIUS, 0.0f), V3(0, 0, 1), cu + ATLAS_DISC * r * std::cos(ta),
                        cv + ATLAS_DISC * r * std::sin(ta));
    };
    constexpr int DEPTH = 2;
    for (int j = 0; j < rays; ++j) {
        const float a0 = 2.0f * PI * static_cast<float>(j) / static_cast<float>(rays);
        const float a1 = 2.0f * PI * static_cast<float>(j + 1) / static_cast<float>(rays);
        for (int k = 0; k < DEPTH; ++k) {
            const float t0 = static_cast<float>(k) / DEPTH, t1 = static_cast<float>(k + 1) / DEPTH;
            const float r00 = shape.inner(a0) + t0 * (shape.outer(a0) - shape.inner(a0));
            const float r01 = shape.inner(a0) + t1 * (shape.outer(a0) - shape.inner(a0));
            const float r10 = shape.inner(a1) + t0 * (shape.outer(a1) - shape.inner(a1));
            const float r11 = shape.inner(a1) + t1 * (shape.outer(a1) - shape.inner(a1));
            const uint32_t p00 = add(a0, r00), p01 = add(a0, r01), p10 = add(a1, r10), p11 = add(a1, r11);
            if (r01 > 0.0f || r11 > 0.0f)
                b.triangle(p00, p01, p11);  // counter-clockwise seen from +z
            if (r00 > 0.0f || r10 > 0.0f)
                b.triangle(p00, p11, p10);
        }
    }
    return b.finish();
}

// Outline of a regular star with `points` tips between radii lo and hi.
float star(float a, int points, float lo, float hi)
{
    const float sector = 2.0f * PI / static_cast<float>(points);
    const float f = std::fabs(std::remainder(a, sector)) / (0.5f * sector);
    return hi + (lo - hi) * f;
}

// Polygon with `sides` corners on the unit circle scaled by r.
float polygon(float a, int sides, float r)
{
    const float sector = 2.0f * PI / static_cast<float>(sides);
    return r * std::cos(0.5f * sector) / std::cos(std::remainder(a, sector));
}

// Ring of ornamental string circles, drawn at scale 10 after a -90 degree
// turn about x: it lies in the x-z plane facing -y, which the turn points
// at the camera. The string texture repeats 24 times around.
cMeshObj_data circle_wide()
{
    constexpr int SEGMENTS = 96;
    constexpr float INNER = 62.0f, OUTER = 80.0f;  // model units (x10 in the scene)
    constexpr float REPEATS = 24.0f;
    cMeshBuilder b(true);
    for (int j = 0; j <= SEGMENTS; ++j) {
        const float t = static_cast<float>(j) / SEGMENTS;
        const float a = 2.0f * PI * t;
        // Angle runs clockwise in (x, z) so that the ring faces -y.
        const float c = std::cos(a), s = -std::sin(a);
        b.vertex(V3(INNER * c, 0.0f, INNER * s), V3(0, -1, 0), REPEATS * t, 0.0f);
        b.vertex(V3(OUTER * c, 0.0f, OUTER * s), V3(0, -1, 0), REPEATS * t, 1.0f);
    }
    for (uint32_t j = 0; j < SEGMENTS; ++j) {
        const uint32_t i0 = 2 * j, o0 = 2 * j + 1, i1 = 2 * j + 2, o1 = 2 * j + 3;
        b.triangle(i0, o1, o0);
        b.triangle(i0, i1, o1);
    }
    return b.finish();
}

}  // namespace

bool write_mandala_models(const std::string& dir)
{
    const cSliceShape shapes[5] = {
        {0, 0.0f, [](float) { return 0.0f; }, [](float) { return 1.0f; }},
        {1, 0.3f, [](float) { return 0.38f; }, [](float) { return 1.0f; }},
        {2, 0.0f, [](float) { return 0.22f; }, [](float a) { return star(a, 8, 0.72f, 1.0f); }},
        {3, 0.2f, [](float a) { return polygon(a, 12, 0.3f); }, [](float a) { return 0.84f + 0.16f * std::fabs(std::cos(6.0f * a)); }},
        {1, 1.1f, [](float a) { return polygon(a, 6, 0.55f); }, [](float a) { return polygon(a, 6, 1.0f); }},
    };
    const char* names[5] = {"mandala_plane01.bzobj", "mandala_plane02.bzobj", "mandala_plane03.bzobj",
                            "mandala_plane04.bzobj", "mandala_plane05.bzobj"};
    for (int k = 0; k < 5; ++k)
        if (!save_model(slice(shapes[k], 96), dir, names[k]))
            return false;
    return save_model(circle_wide(), dir, "mandala_circle_wide.bzobj");
}
