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
constexpr int TUNNEL_RINGS = 8;          // rings of cubes per copy
// Where the cubes sit along each edge of the hexagon (0-1). The middle
// stays open: the camera's swing from the side view into the axis passes
// through the wall there.
constexpr int CUBES_PER_EDGE = 2;
constexpr float CUBES_ALONG_EDGE[CUBES_PER_EDGE] = {0.22f, 0.78f};
constexpr float CUBE_HALF = 13.0f;       // half the edge of a cube
constexpr float BAR_HALF = 1.5f;         // half the thickness of its edge bars

V3 hex_corner(int k)
{
    const float a = PI / 2.0f + static_cast<float>(k) * PI / 3.0f;
    return V3(TUNNEL_RADIUS * std::cos(a), 0.0f, TUNNEL_RADIUS * std::sin(a));
}

// v turned by `angle` about the unit axis k (Rodrigues).
V3 turned(const V3& v, const V3& k, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return v * c + k.cross(v) * s + k * (dot(k, v) * (1.0f - c));
}

// A cube drawn as its twelve edges, thick bars with open faces between
// them. The tunnel is drawn in one flat colour without lighting, so a solid
// cube would show as a flat hexagon; its edges show the cube in
// perspective, and the gaps let the cubes behind and the streaks through.
void wire_cube(cMeshBuilder& b, const V3& centre, const V3 (&axis)[3])
{
    for (int along = 0; along < 3; ++along) {
        const V3& u = axis[(along + 1) % 3];
        const V3& v = axis[(along + 2) % 3];
        for (int corner = 0; corner < 4; ++corner) {
            const float su = (corner & 1) ? 1.0f : -1.0f, sv = (corner & 2) ? 1.0f : -1.0f;
            const V3 at = centre + u * (su * (CUBE_HALF - BAR_HALF)) + v * (sv * (CUBE_HALF - BAR_HALF));
            b.box(at, axis[along], u, v, CUBE_HALF, BAR_HALF, BAR_HALF);
        }
    }
}

// Only every other edge and corner: the scene draws the model a second time
// turned half-way round in another colour, which fills the other three.
// Each cube is tumbled a little differently, so that from inside the tunnel
// three of its faces show and it reads as a cube, not as a square.
cMeshObj_data hex_tunnel()
{
    cMeshBuilder b(false);
    const V3 along(0, 1, 0);
    for (int ring = 0; ring < TUNNEL_RINGS; ++ring) {
        const float y = -TUNNEL_LENGTH * (static_cast<float>(ring) + 0.5f) / TUNNEL_RINGS;
        for (int edge = 0; edge < 6; edge += 2) {
            const V3 a = hex_corner(edge), c = hex_corner(edge + 1);
            const V3 dir = (c - a).normalized();
            const V3 across = dir.cross(along).normalized();  // completes the right-handed frame
            for (int k = 0; k < CUBES_PER_EDGE; ++k) {
                const float f = CUBES_ALONG_EDGE[k];
                const V3 centre = a + (c - a) * f + V3(0, y, 0);
                const float tumble = 0.45f + 0.3f * static_cast<float>((ring * 3 + k + edge) % 4);
                const V3 tilt = (dir + across * 0.6f).normalized();
                const V3 axis[3] = {turned(dir, tilt, tumble), turned(along, tilt, tumble), turned(across, tilt, tumble)};
                wire_cube(b, centre, axis);
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

// One shell of the net: the edges of an icosphere as struts, knots at its
// points.
void net_shell(cMeshBuilder& b, int subdivisions, float radius, float strut, float knot)
{
    const cIcosphere s = icosphere(subdivisions);
    for (const auto& [i, j] : edges_of(s))
        b.strut(NET_CENTRE + s.points[i] * radius, NET_CENTRE + s.points[j] * radius, strut, 4);
    for (const V3& p : s.points)
        b.octahedron(NET_CENTRE + p * radius, knot);
}

// Two nested shells round the camera: the scene draws the net black on
// teal and pours light through its gaps, so the net is heavy enough to hide
// most of the view, and the coarse inner shell in front of the fine outer
// one makes the gaps differ in size and shift against each other as the
// sphere turns.
cMeshObj_data netsphere()
{
    cMeshBuilder b(false);
    net_shell(b, 2, 180.0f, 7.0f, 11.0f);
    net_shell(b, 1, 110.0f, 3.5f, 6.0f);
    return b.finish();
}

}  // namespace

bool write_scene_models(const std::string& dir)
{
    return save_model(octahedra(), dir, "octahedra.bzobj") && save_model(spikeball(), dir, "spikeball2.bzobj") &&
           save_model(hex_tunnel(), dir, "hex_tunnel.bzobj") && save_model(netsphere(), dir, "netsphere.bzobj");
}
