// Solid models of the rose, spike ball, cube tunnel and net sphere scenes.
// Sizes follow the scenes' cameras: the ribbon copies are a few units long
// for an eye 9 units away, the spike ball fills about three quarters of a
// 70-degree view from 164 units, the tunnel's walls stay outside the side
// camera 317 units off its axis, and the net sphere encloses the camera that
// sits 43 units from its centre.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "mesh_builder.h"
#include "models.h"
#include "ornament.h"

namespace {

// ---- icosphere: unit-sphere points and counter-clockwise faces ----------------

struct cIcosphere {
    std::vector<V3> points;                  // on the unit sphere
    std::vector<std::array<uint32_t, 3>> faces;  // counter-clockwise seen from outside
};

cIcosphere icosphere(int subdivisions)
{
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    cIcosphere s;
    for (const V3& p : {V3(-1, t, 0), V3(1, t, 0), V3(-1, -t, 0), V3(1, -t, 0), V3(0, -1, t), V3(0, 1, t),
                        V3(0, -1, -t), V3(0, 1, -t), V3(t, 0, -1), V3(t, 0, 1), V3(-t, 0, -1), V3(-t, 0, 1)})
        s.points.push_back(p.normalized());
    s.faces = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
               {11, 10, 2}, {10, 7, 6}, {7, 1, 8},   {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
               {3, 8, 9},  {4, 9, 5},  {2, 4, 11},  {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> middles;
        auto middle = [&](uint32_t a, uint32_t b) {
            const auto key = std::minmax(a, b);
            const auto found = middles.find(key);
            if (found != middles.end())
                return found->second;
            s.points.push_back((s.points[a] + s.points[b]).normalized());
            const uint32_t index = static_cast<uint32_t>(s.points.size() - 1);
            middles.emplace(key, index);
            return index;
        };
        std::vector<std::array<uint32_t, 3>> finer;
        for (const auto& f : s.faces) {
            const uint32_t ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        s.faces = std::move(finer);
    }
    return s;
}

// Every edge of the faces once.
std::vector<std::pair<uint32_t, uint32_t>> edges_of(const cIcosphere& s)
{
    std::vector<std::pair<uint32_t, uint32_t>> edges;
    for (const auto& f : s.faces)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = f[k], b = f[(k + 1) % 3];
            if (a < b)
                edges.emplace_back(a, b);
        }
    return edges;
}

// ---- rose: a string of octahedra along x ----------------------------------------

cMeshObj_data octahedra()
{
    cMeshBuilder b(false);
    // Seven beads, largest in the middle; the scene stretches x by 1.38 and
    // turns each of its thousand copies a little, so their edges and corners
    // sweep the ribbon.
    for (int k = -3; k <= 3; ++k) {
        const float x = 0.42f * static_cast<float>(k);
        const float radius = 0.26f - 0.05f * static_cast<float>(std::abs(k));
        b.octahedron(V3(x, 0.0f, 0.0f), radius);
    }
    return b.finish();
}

// ---- spike ball -------------------------------------------------------------------

constexpr float CORE_RADIUS = 38.0f;
constexpr float SPIKE_BASE = 34.0f;     // spikes start inside the core
constexpr float SPIKE_LENGTH = 86.0f;   // tip radius
constexpr float SPIKE_WIDTH = 7.5f;     // base radius of a spike
constexpr int SPIKE_SIDES = 6;

// A spike along `dir`: a frustum (ring 0 to ring 1) and a pointed tip.
void spike_ring(const V3& dir, float along, float radius, V3 (&ring)[SPIKE_SIDES])
{
    const V3 helper = std::fabs(dir.y) < 0.9f ? V3(0, 1, 0) : V3(1, 0, 0);
    const V3 s = dir.cross(helper).normalized();
    const V3 t = dir.cross(s);
    for (int k = 0; k < SPIKE_SIDES; ++k) {
        const float a = 2.0f * PI * static_cast<float>(k) / SPIKE_SIDES;
        ring[k] = dir * along + (s * std::cos(a) + t * std::sin(a)) * radius;
    }
}

cMeshObj_data spikeball()
{
    cMeshBuilder b(false);
    const cIcosphere core = icosphere(2);
    b.begin_group(colour_material("core", 0.32f, 0.04f, 0.55f));
    for (const auto& f : core.faces)
        b.flat_triangle(core.points[f[0]] * CORE_RADIUS, core.points[f[1]] * CORE_RADIUS,
                        core.points[f[2]] * CORE_RADIUS);

    const cIcosphere tips = icosphere(1);  // 42 evenly spread directions
    b.begin_group(colour_material("spikes", 1.0f, 0.12f, 0.72f));
    std::vector<std::array<V3, SPIKE_SIDES>> necks;
    for (const V3& dir : tips.points) {
        V3 base[SPIKE_SIDES], neck[SPIKE_SIDES];
        spike_ring(dir, SPIKE_BASE, SPIKE_WIDTH, base);
        spike_ring(dir, SPIKE_LENGTH - 22.0f, SPIKE_WIDTH * 0.32f, neck);
        for (int k = 0; k < SPIKE_SIDES; ++k) {
            const int n = (k + 1) % SPIKE_SIDES;
            b.flat_quad(base[k], base[n], neck[n], neck[k]);
        }
        std::array<V3, SPIKE_SIDES> keep;
        std::copy(std::begin(neck), std::end(neck), keep.begin());
        necks.push_back(keep);
    }
    b.begin_group(colour_material("tips", 0.1f, 0.85f, 1.0f));
    for (size_t i = 0; i < tips.points.size(); ++i) {
        const V3 tip = tips.points[i] * SPIKE_LENGTH;
        for (int k = 0; k < SPIKE_SIDES; ++k)
            b.flat_triangle(necks[i][k], necks[i][(k + 1) % SPIKE_SIDES], tip);
    }
    return b.finish();
}

// ---- hexagonal cube tunnel --------------------------------------------------------

// One copy length: the scene lays four copies end to end along -y.
constexpr float TUNNEL_LENGTH = 743.958f;
constexpr float TUNNEL_RADIUS = 210.0f;  // corner radius of the hexagon
constexpr int TUNNEL_RINGS = 16;         // rings of cubes per copy
constexpr int CUBES_PER_EDGE = 3;

V3 hex_corner(int k)
{
    const float a = PI / 2.0f + static_cast<float>(k) * PI / 3.0f;
    return V3(TUNNEL_RADIUS * std::cos(a), 0.0f, TUNNEL_RADIUS * std::sin(a));
}

// Only every other edge and corner: the scene draws the model a second time
// turned half-way round in another colour, which fills the other three.
cMeshObj_data hex_tunnel()
{
    cMeshBuilder b(false);
    const V3 along(0, 1, 0);
    for (int ring = 0; ring < TUNNEL_RINGS; ++ring) {
        const float y = -TUNNEL_LENGTH * (static_cast<float>(ring) + 0.5f) / TUNNEL_RINGS;
        const float size = (ring % 2 == 0) ? 15.0f : 10.0f;
        for (int edge = 0; edge < 6; edge += 2) {
            const V3 a = hex_corner(edge), c = hex_corner(edge + 1);
            const V3 dir = (c - a).normalized();
            const V3 across = dir.cross(along);  // completes the right-handed frame
            for (int k = 0; k < CUBES_PER_EDGE; ++k) {
                const float f = (static_cast<float>(k) + 0.5f) / CUBES_PER_EDGE;
                const V3 centre = a + (c - a) * f + V3(0, y, 0);
                b.box(centre, dir, along, across.normalized(), size, size, size);
            }
        }
    }
    // Rails along the three corners, exactly one copy long, so copies join.
    for (int corner = 0; corner < 6; corner += 2) {
        const V3 p = hex_corner(corner) * 1.04f;
        const V3 out = V3(p.x, 0, p.z).normalized();
        const V3 side = V3(0, 1, 0).cross(out);
        b.box(p + V3(0, -0.5f * TUNNEL_LENGTH, 0), out, V3(0, 1, 0), side.normalized() * -1.0f, 5.0f,
              0.5f * TUNNEL_LENGTH, 5.0f);
    }
    return b.finish();
}

// ---- net sphere -------------------------------------------------------------------

const V3 NET_CENTRE(330.0f, -30.0f, 0.0f);  // on the scene's turning axis x = 330
constexpr float NET_RADIUS = 180.0f;
constexpr float STRUT_RADIUS = 2.2f;

cMeshObj_data netsphere()
{
    cMeshBuilder b(false);
    const cIcosphere s = icosphere(2);
    for (const auto& [i, j] : edges_of(s))
        b.strut(NET_CENTRE + s.points[i] * NET_RADIUS, NET_CENTRE + s.points[j] * NET_RADIUS, STRUT_RADIUS, 4);
    for (const V3& p : s.points)
        b.octahedron(NET_CENTRE + p * NET_RADIUS, 4.5f);
    return b.finish();
}

}  // namespace

bool write_scene_models(const std::string& dir)
{
    return save_model(octahedra(), dir, "octahedra.bzobj") && save_model(spikeball(), dir, "spikeball2.bzobj") &&
           save_model(hex_tunnel(), dir, "hex_tunnel.bzobj") && save_model(netsphere(), dir, "netsphere.bzobj");
}
