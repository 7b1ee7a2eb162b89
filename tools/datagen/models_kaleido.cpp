// The seven planes of the 2D kaleidoscope. Each covers the unit square x, z
// in [0, 1] at y = 0; the effect turns it by -90 degrees about x, so (x, z)
// becomes the screen's (x, y) and the front faces, normal -y, face the
// viewer. Texture coordinates in [0, 1] (scaled to the source's pixels by
// the texture matrix) say where each point of the screen samples the
// picture. Every fold is a mirror or rotation per triangle, and triangles
// never straddle a fold line, so the affine interpolation is exact; only the
// polar repeat bends the picture and is tessellated finely instead.
#include <algorithm>
#include <cmath>
#include <functional>

#include "mesh_builder.h"
#include "models.h"
#include "ornament.h"

namespace {

struct cUV {
    float u;  // 0-1
    float v;  // 0-1
};

// Texture coordinates of a point of the square; `angle` is the reference
// angle of the triangle it belongs to (for folds that depend on the sector).
using tFold = std::function<cUV(float x, float z, float angle)>;

const V3 FRONT(0.0f, -1.0f, 0.0f);

void plane_triangle(cMeshBuilder& b, const float (&p)[3][2], const tFold& fold, float angle)
{
    uint32_t idx[3];
    for (int k = 0; k < 3; ++k) {
        // Rounding of cos and sin must not push the rim outside the square.
        const float x = std::clamp(p[k][0], 0.0f, 1.0f), z = std::clamp(p[k][1], 0.0f, 1.0f);
        const cUV t = fold(x, z, angle);
        idx[k] = b.vertex(V3(x, 0.0f, z), FRONT, std::clamp(t.u, 0.0f, 1.0f), std::clamp(t.v, 0.0f, 1.0f));
    }
    // Counter-clockwise in (x, z) is counter-clockwise on screen after the turn.
    b.triangle(idx[0], idx[1], idx[2]);
}

// A cells x cells grid; fold lines must lie on grid lines.
cMeshObj_data grid_plane(int cells, const tFold& fold)
{
    cMeshBuilder b(true);
    const float step = 1.0f / static_cast<float>(cells);
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const float x0 = step * static_cast<float>(i), x1 = step * static_cast<float>(i + 1);
            const float z0 = step * static_cast<float>(j), z1 = step * static_cast<float>(j + 1);
            const float a[3][2] = {{x0, z0}, {x1, z0}, {x1, z1}};
            const float c[3][2] = {{x0, z0}, {x1, z1}, {x0, z1}};
            plane_triangle(b, a, fold, 0.0f);
            plane_triangle(b, c, fold, 0.0f);
        }
    return b.finish();
}

// Distance from the centre to the square's edge in direction `angle`.
float edge_radius(float angle)
{
    return 0.5f / std::max(std::fabs(std::cos(angle)), std::fabs(std::sin(angle)));
}

// Rays from the centre to the edge (`rays` a multiple of 8, so the corners
// lie on rays) and `rings` steps along each; each cell is cut into
// triangles that carry the cell's middle angle as reference.
cMeshObj_data polar_plane(int rays, int rings, const tFold& fold)
{
    cMeshBuilder b(true);
    auto point = [&](int ray, int ring, float (&out)[2]) {
        const float a = 2.0f * PI * static_cast<float>(ray) / static_cast<float>(rays);
        const float r = edge_radius(a) * static_cast<float>(ring) / static_cast<float>(rings);
        out[0] = 0.5f + r * std::cos(a);
        out[1] = 0.5f + r * std::sin(a);
    };
    for (int j = 0; j < rays; ++j) {
        const float mid = 2.0f * PI * (static_cast<float>(j) + 0.5f) / static_cast<float>(rays);
        for (int i = 0; i < rings; ++i) {
            float p00[2], p01[2], p10[2], p11[2];
            point(j, i, p00);
            point(j + 1, i, p01);
            point(j, i + 1, p10);
            point(j + 1, i + 1, p11);
            const float outer[3][2] = {{p00[0], p00[1]}, {p10[0], p10[1]}, {p11[0], p11[1]}};
            plane_triangle(b, outer, fold, mid);
            if (i > 0) {
                const float inner[3][2] = {{p00[0], p00[1]}, {p11[0], p11[1]}, {p01[0], p01[1]}};
                plane_triangle(b, inner, fold, mid);
            }
        }
    }
    return b.finish();
}

// Picture mirrored about its own middle: 0.5 - |t - 0.5| keeps the centre.
float mirror_half(float t)
{
    return 0.5f - std::fabs(t - 0.5f);
}

// Triangle wave with period 2: 0 -> 0, 1 -> 1, 2 -> 0.
float triangle_wave(float t)
{
    const float m = std::fmod(std::fabs(t), 2.0f);
    return m <= 1.0f ? m : 2.0f - m;
}

// A true kaleidoscope of n mirrored sector pairs: every point is rotated or
// reflected into the base half-sector, which points up from the picture's
// centre; `zoom` scales the sampled radius (0.7 keeps corners inside [0, 1]).
tFold sector_fold(int n, float zoom)
{
    return [n, zoom](float x, float z, float ref) {
        const float dx = x - 0.5f, dz = z - 0.5f;
        const float r = std::sqrt(dx * dx + dz * dz);
        const float half = PI / static_cast<float>(n);
        // The triangle's sector decides the isometry, so corners on a fold
        // line map the same way from both sides.
        const float sector = std::floor(ref / half);
        float local = std::atan2(dz, dx) - sector * half;
        local = std::remainder(local, 2.0f * PI);
        if (static_cast<int>(sector) % 2 != 0)
            local = half - local;
        const float a = 0.5f * PI - 0.5f * half + local;
        return cUV{0.5f + zoom * r * std::cos(a), 0.5f + zoom * r * std::sin(a)};
    };
}

// The picture wrapped around the centre: angle along u (four mirrored
// repeats), distance from the centre along v.
cUV polar_repeat(float x, float z, float ref)
{
    const float dx = x - 0.5f, dz = z - 0.5f;
    const float r = std::sqrt(dx * dx + dz * dz);
    // Eight mirrored half-periods per turn: the wave meets itself at angle
    // 0, so no seam needs split vertices. The centre takes its triangle's angle.
    const float a = r > 1e-6f ? std::atan2(dz, dx) : ref;
    return cUV{triangle_wave(a / (0.25f * PI)), std::min(1.0f, r / 0.7072f)};
}

}  // namespace

bool write_kaleido_planes(const std::string& dir)
{
    const cMeshObj_data cylinder = grid_plane(4, [](float x, float z, float) { return cUV{mirror_half(x), z}; });
    const cMeshObj_data hz = grid_plane(4, [](float x, float z, float) { return cUV{x, mirror_half(z)}; });
    const cMeshObj_data dual = grid_plane(4, [](float x, float z, float) { return cUV{mirror_half(x), mirror_half(z)}; });
    // Four by four tiles, each the picture's middle half, mirrored so that
    // neighbouring tiles meet edge to edge.
    const cMeshObj_data matrix = grid_plane(8, [](float x, float z, float) {
        return cUV{0.25f + 0.5f * triangle_wave(4.0f * x), 0.25f + 0.5f * triangle_wave(4.0f * z)};
    });
    const cMeshObj_data triple = polar_plane(24, 6, sector_fold(3, 0.7f));
    const cMeshObj_data circular = polar_plane(64, 16, polar_repeat);
    const cMeshObj_data mandala = polar_plane(32, 6, sector_fold(4, 0.35f));
    return save_model(cylinder, dir, "plane_cylinder_mirror.bzobj") && save_model(hz, dir, "plane_hz_mirror.bzobj") &&
           save_model(dual, dir, "plane_dual_mirror.bzobj") && save_model(triple, dir, "plane_triple_mirror.bzobj") &&
           save_model(matrix, dir, "plane_matrix_mirror.bzobj") &&
           save_model(circular, dir, "plane_circular_repeat.bzobj") &&
           save_model(mandala, dir, "plane_mandala_circle2.bzobj");
}
