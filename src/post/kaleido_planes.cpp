#include "post/kaleido_planes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>

const char* const KALEIDO_PLANE_FILES[KALEIDO_PLANE_COUNT] = {
    "plane_cylinder_mirror.bzobj", "plane_hz_mirror.bzobj",       "plane_dual_mirror.bzobj",
    "plane_triple_mirror.bzobj",   "plane_matrix_mirror.bzobj",   "plane_circular_repeat.bzobj",
    "plane_mandala_circle2.bzobj",
};

namespace {

constexpr double PI = 3.141592653589793;

struct cUV {
    float s, t;  // texture coordinates
};
// Texture coordinates of a point (x, z) of the unit square.
using tFold = std::function<cUV(double x, double z)>;

// Mirror tiling of [0, 1] into n segments: 0 -> 1, 1 -> 0, ... so that
// neighbours meet at their mirror line.
double mirror_wave(double u, int n)
{
    const double scaled = u * n;
    const int segment = std::min(static_cast<int>(scaled), n - 1);
    const double local = scaled - segment;
    return segment % 2 == 0 ? local : 1.0 - local;
}

cPlaneVertex vertex(double x, double z, cUV uv)
{
    return {static_cast<float>(x), 0.0f, static_cast<float>(z), uv.s, uv.t};
}

// An nx x nz grid of quads with the fold evaluated at the corners. Mirror
// folds are exact because their fold lines fall on grid lines; a smooth
// fold (the cylinder) is followed piecewise.
std::vector<cPlaneVertex> grid(int nx, int nz, const tFold& fold)
{
    std::vector<cPlaneVertex> out;
    out.reserve(static_cast<size_t>(nx) * nz * 6);
    for (int j = 0; j < nz; ++j) {
        for (int i = 0; i < nx; ++i) {
            const double x0 = double(i) / nx, x1 = double(i + 1) / nx;
            const double z0 = double(j) / nz, z1 = double(j + 1) / nz;
            // The folds are continuous, so a corner shared by two cells
            // gets the same coordinates from both.
            auto at = [&](double x, double z) { return vertex(x, z, fold(x, z)); };
            const cPlaneVertex a = at(x0, z0), b = at(x1, z0), c = at(x1, z1), d = at(x0, z1);
            out.insert(out.end(), {a, b, c, a, c, d});
        }
    }
    return out;
}

// Point of the unit square's border in direction angle from the centre.
void border_point(double angle, double& x, double& z)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double r = 0.5 / std::max(std::abs(c), std::abs(s));
    x = 0.5 + r * c;
    z = 0.5 + r * s;
}

// `count` sectors around the centre, each showing the wedge of the picture
// between 0 and 360/count degrees; with `mirrored`, every second sector
// shows it reflected. The wedge's texture coordinates are scaled by
// 1/sqrt(2) so that the square's corners still read inside the picture.
std::vector<cPlaneVertex> sectors(int count, bool mirrored)
{
    const double width = 2 * PI / count;
    const double scale = 1.0 / std::sqrt(2.0);
    const cPlaneVertex centre = vertex(0.5, 0.5, {0.5f, 0.5f});
    std::vector<cPlaneVertex> out;
    for (int k = 0; k < count; ++k) {
        const double a0 = k * width, a1 = (k + 1) * width;
        const bool reflect = mirrored && k % 2 == 1;
        // Border point of the sector at an angle in [a0, a1], with the
        // coordinates of the wedge it shows.
        auto border = [&](double angle) {
            double x, z;
            border_point(angle, x, z);
            const double local = reflect ? a1 - angle : angle - a0;
            const double r = std::hypot(x - 0.5, z - 0.5) * scale;
            return vertex(x, z, {static_cast<float>(0.5 + r * std::cos(local)),
                                 static_cast<float>(0.5 + r * std::sin(local))});
        };
        // The sector's edges and the square's corners between them.
        std::vector<double> angles{a0};
        for (int corner = 0; corner < 4; ++corner) {
            const double a = PI / 4 + corner * PI / 2;
            if (a > a0 + 1e-9 && a < a1 - 1e-9)
                angles.push_back(a);
        }
        angles.push_back(a1);
        for (size_t i = 0; i + 1 < angles.size(); ++i)
            out.insert(out.end(), {centre, border(angles[i]), border(angles[i + 1])});
    }
    return out;
}

}  // namespace

std::vector<cPlaneVertex> kaleido_plane(int32_t index)
{
    switch (index) {
    case 1:
        return grid(64, 1, [](double x, double z) {
            return cUV{static_cast<float>(0.5 - 0.5 * std::cos(2 * PI * x)), static_cast<float>(z)};
        });
    case 2: return grid(1, 2, [](double x, double z) { return cUV{float(x), float(mirror_wave(z, 2))}; });
    case 3:
        return grid(2, 2, [](double x, double z) { return cUV{float(mirror_wave(x, 2)), float(mirror_wave(z, 2))}; });
    case 4: return grid(3, 1, [](double x, double z) { return cUV{float(mirror_wave(x, 3)), float(z)}; });
    case 5:
        return grid(4, 4, [](double x, double z) { return cUV{float(mirror_wave(x, 4)), float(mirror_wave(z, 4))}; });
    case 6: return sectors(6, false);
    case 7: return sectors(8, true);
    default: throw std::out_of_range("kaleidoscope: no plane " + std::to_string(index));
    }
}
