// The seated Ganesha of the statue scene, and the two small pictures its
// surface reads. The figure is one implicit surface: rounded primitives
// (ellipsoids, tapered capsules, tori) blended smoothly where flesh meets
// flesh and joined hard where gold trim, jewels and the tusk sit on it,
// polygonised on a regular grid by surface nets. Every vertex carries the
// gradient as its normal and, in its texture coordinates, the material of
// the nearest primitive (u picks a column of the palette) and its height
// (v runs the stone's grain along the palette's column).
//
// Model frame: z up, the figure faces -y, the pedestal stands on z = 0 and
// the crown's tip reaches z = 2.1; one unit is about a forearm's length.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "mesh_builder.h"
#include "models.h"
#include "noise.h"
#include "ornament.h"
#include "textures_show.h"

namespace {

// ---- materials: columns of the palette ------------------------------------------

// DARK sits beside BODY so that the eyes may shade smoothly into the skin.
enum eStone : int { DARK, BODY, GOLD, JEWEL, IVORY, LOTUS, STONE_COUNT };

float palette_u(int stone)
{
    return (static_cast<float>(stone) + 0.5f) / static_cast<float>(STONE_COUNT);
}

// ---- primitives ------------------------------------------------------------------

enum class eShape { ELLIPSOID, CAPSULE, TORUS };

// One rounded solid. Ellipsoids use centre, frame and radii; capsules run
// from a (radius ra) to b (radius rb); tori lie around `centre` in the plane
// normal to `axis_z` with ring radius ra and tube radius rb.
struct cPrim {
    eShape shape;
    int stone;
    bool blended;  // smooth-joined with the other blended parts (flesh)
    V3 a, b;       // capsule ends; a is the centre of the other shapes
    V3 ax, ay, az; // orthonormal frame of ellipsoids and tori
    V3 radii;      // ellipsoid radii along ax, ay, az
    float ra = 0, rb = 0;
    V3 bound_centre;
    float bound_radius = 0;
};

float length(const V3& v)
{
    return std::sqrt(dot(v, v));
}

V3 unit(const V3& v)
{
    return v * (1.0f / length(v));
}

// A frame whose z is `z` and whose x leans towards world x, rolled by `roll`.
void frame_from(const V3& z, float roll, V3& ax, V3& ay, V3& az)
{
    az = unit(z);
    const V3 helper = std::fabs(az.x) < 0.9f ? V3(1, 0, 0) : V3(0, 1, 0);
    const V3 x0 = unit(helper - az * dot(helper, az)), y0 = az.cross(x0);
    ax = x0 * std::cos(roll) + y0 * std::sin(roll);
    ay = az.cross(ax);
}

struct cFigure {
    std::vector<cPrim> prims;

    void ellipsoid(int stone, bool blended, const V3& c, const V3& r, const V3& axis_z = V3(0, 0, 1), float roll = 0)
    {
        cPrim p{eShape::ELLIPSOID, stone, blended, c, c, {}, {}, {}, r, 0, 0, c, 0};
        frame_from(axis_z, roll, p.ax, p.ay, p.az);
        p.bound_centre = c;
        p.bound_radius = std::max({r.x, r.y, r.z});
        prims.push_back(p);
    }
    void capsule(int stone, bool blended, const V3& a, const V3& b, float ra, float rb)
    {
        cPrim p{eShape::CAPSULE, stone, blended, a, b, {}, {}, {}, {}, ra, rb, a, 0};
        p.bound_centre = (a + b) * 0.5f;
        p.bound_radius = length(b - a) * 0.5f + std::max(ra, rb);
        prims.push_back(p);
    }
    void torus(int stone, const V3& c, const V3& axis, float ring, float tube)
    {
        cPrim p{eShape::TORUS, stone, false, c, c, {}, {}, {}, {}, ring, tube, c, 0};
        frame_from(axis, 0, p.ax, p.ay, p.az);
        p.bound_centre = c;
        p.bound_radius = ring + tube;
        prims.push_back(p);
    }
    // A chain of tapering capsules through `points`, radius r0 to r1.
    void sweep(int stone, bool blended, const std::vector<V3>& points, float r0, float r1)
    {
        const float n = static_cast<float>(points.size() - 1);
        for (size_t i = 0; i + 1 < points.size(); ++i)
            capsule(stone, blended, points[i], points[i + 1], r0 + (r1 - r0) * static_cast<float>(i) / n,
                    r0 + (r1 - r0) * static_cast<float>(i + 1) / n);
    }
    // Upper arm, forearm and hand, with a gold armlet and bracelet.
    void arm(const V3& shoulder, const V3& elbow, const V3& hand, float hand_radius)
    {
        capsule(BODY, true, shoulder, elbow, 0.085f, 0.065f);
        capsule(BODY, true, elbow, hand, 0.065f, 0.05f);
        ellipsoid(BODY, true, hand, V3(hand_radius, hand_radius * 0.6f, hand_radius * 1.2f), hand - elbow);
        torus(GOLD, shoulder + (elbow - shoulder) * 0.45f, elbow - shoulder, 0.078f, 0.018f);
        torus(GOLD, elbow + (hand - elbow) * 0.8f, hand - elbow, 0.052f, 0.016f);
    }
};

float ellipsoid_distance(const cPrim& p, const V3& q)
{
    const V3 d = q - p.a;
    const V3 l(dot(d, p.ax), dot(d, p.ay), dot(d, p.az));
    const V3 s(l.x / p.radii.x, l.y / p.radii.y, l.z / p.radii.z);
    const V3 s2(s.x / p.radii.x, s.y / p.radii.y, s.z / p.radii.z);
    const float k0 = length(s), k1 = length(s2);
    return k1 > 1e-6f ? k0 * (k0 - 1.0f) / k1 : -std::min({p.radii.x, p.radii.y, p.radii.z});
}

// Distance to a cone-capped capsule whose radius runs from ra at a to rb at b
// (a good bound for the gentle tapers used here).
float capsule_distance(const cPrim& p, const V3& q)
{
    const V3 ab = p.b - p.a;
    const float t = std::clamp(dot(q - p.a, ab) / dot(ab, ab), 0.0f, 1.0f);
    return length(q - (p.a + ab * t)) - (p.ra + (p.rb - p.ra) * t);
}

float torus_distance(const cPrim& p, const V3& q)
{
    const V3 d = q - p.a;
    const float x = dot(d, p.ax), y = dot(d, p.ay), z = dot(d, p.az);
    const float ring = std::sqrt(x * x + y * y) - p.ra;
    return std::sqrt(ring * ring + z * z) - p.rb;
}

float prim_distance(const cPrim& p, const V3& q)
{
    switch (p.shape) {
    case eShape::ELLIPSOID:
        return ellipsoid_distance(p, q);
    case eShape::CAPSULE:
        return capsule_distance(p, q);
    case eShape::TORUS:
        return torus_distance(p, q);
    }
    return 1e9f;
}

constexpr float FLESH_BLEND = 0.07f;  // width of the smooth joins between body parts

float smooth_min(float a, float b, float k)
{
    const float h = std::max(k - std::fabs(a - b), 0.0f) / k;
    return std::min(a, b) - h * h * k * 0.25f;
}

struct cSample {
    float distance;
    int stone;
};

// The figure's signed distance (negative inside) and the material of the
// primitive nearest to q. Primitives whose bounding sphere lies well beyond
// the best distance so far cannot change it and are skipped.
cSample figure_distance(const cFigure& f, const V3& q)
{
    float flesh = 1e9f, hard = 1e9f, nearest = 1e9f;
    int stone = BODY;
    for (const cPrim& p : f.prims) {
        const float lower = length(q - p.bound_centre) - p.bound_radius;
        if (lower > std::min(flesh, hard) + FLESH_BLEND)
            continue;
        const float d = prim_distance(p, q);
        if (p.blended)
            flesh = smooth_min(flesh, d, FLESH_BLEND);
        else
            hard = std::min(hard, d);
        // Trim wins ties so that bands stay crisp where they sink into flesh.
        if (d < nearest || (!p.blended && d < nearest + 0.004f)) {
            nearest = d;
            stone = p.stone;
        }
    }
    return {std::min(flesh, hard), stone};
}

// ---- the figure ------------------------------------------------------------------

void add_pedestal(cFigure& f)
{
    f.ellipsoid(LOTUS, true, V3(0, 0, 0.08f), V3(0.82f, 0.7f, 0.09f));      // base slab
    f.ellipsoid(LOTUS, true, V3(0, 0, 0.3f), V3(0.72f, 0.6f, 0.07f));       // seat cushion
    f.torus(GOLD, V3(0, 0, 0.17f), V3(0, 0, 1), 0.76f, 0.025f);
    for (int ring = 0; ring < 2; ++ring) {
        const int petals = ring == 0 ? 18 : 14;
        for (int i = 0; i < petals; ++i) {
            const float a = 2.0f * PI * (static_cast<float>(i) + 0.5f * static_cast<float>(ring)) / petals;
            const V3 out(std::cos(a) * 0.85f, std::sin(a) * 0.72f, 0);
            const float reach = ring == 0 ? 0.7f : 0.56f;
            const V3 c(out.x * reach / 0.85f, out.y * reach / 0.85f, ring == 0 ? 0.2f : 0.27f);
            // Petals lean outwards and up from the seat's rim.
            const V3 axis = unit(V3(out.x, out.y, ring == 0 ? 0.9f : 1.4f));
            f.ellipsoid(LOTUS, false, c, V3(0.1f, 0.035f, 0.16f), axis, 0);
            // Re-aim the petal's flat side along the rim.
            cPrim& p = f.prims.back();
            p.ay = unit(V3(out.x, out.y, 0) - axis * dot(V3(out.x, out.y, 0), axis));
            p.ax = p.ay.cross(p.az);
        }
    }
}

void add_body(cFigure& f)
{
    f.ellipsoid(BODY, true, V3(0, -0.1f, 0.74f), V3(0.4f, 0.37f, 0.36f));   // the pot belly
    f.ellipsoid(BODY, true, V3(0, 0.04f, 0.98f), V3(0.34f, 0.27f, 0.4f));   // torso
    f.ellipsoid(BODY, true, V3(0, -0.02f, 1.2f), V3(0.36f, 0.24f, 0.16f));  // chest and shoulders
    f.ellipsoid(BODY, true, V3(0, -0.22f, 0.78f), V3(0.03f, 0.02f, 0.03f)); // navel knot
    // Crossed legs: thighs out to the knees, shins folded across the seat.
    for (float side : {-1.0f, 1.0f}) {
        f.capsule(BODY, true, V3(0.2f * side, -0.02f, 0.5f), V3(0.6f * side, -0.3f, 0.43f), 0.16f, 0.12f);
        f.capsule(BODY, true, V3(0.6f * side, -0.3f, 0.43f), V3(-0.12f * side, -0.42f, 0.42f + 0.04f * side), 0.11f,
                  0.07f);
        f.ellipsoid(BODY, true, V3(-0.2f * side, -0.44f, 0.44f + 0.04f * side), V3(0.12f, 0.06f, 0.05f));  // foot
        f.torus(GOLD, V3(-0.08f * side, -0.42f, 0.42f + 0.04f * side), V3(1, 0, 0), 0.075f, 0.015f);     // anklet
    }
    f.torus(GOLD, V3(0, -0.05f, 0.5f), V3(0, 0.25f, 1), 0.36f, 0.03f);  // girdle under the belly
    // Sacred thread across the belly, from the left shoulder down to the right hip.
    f.sweep(GOLD, false, {V3(0.28f, -0.08f, 1.22f), V3(0.18f, -0.3f, 1.02f), V3(-0.05f, -0.43f, 0.8f),
                   V3(-0.3f, -0.33f, 0.6f)},
            0.018f, 0.018f);
    f.torus(GOLD, V3(0, -0.08f, 1.2f), V3(0, -0.45f, 1), 0.25f, 0.028f);   // necklace
    f.ellipsoid(JEWEL, false, V3(0, -0.32f, 1.14f), V3(0.045f, 0.03f, 0.055f));  // its pendant
}

void add_head(cFigure& f)
{
    f.ellipsoid(BODY, true, V3(0, -0.04f, 1.38f), V3(0.17f, 0.16f, 0.1f));  // neck
    f.ellipsoid(BODY, true, V3(0, -0.06f, 1.55f), V3(0.24f, 0.23f, 0.25f)); // head
    f.ellipsoid(BODY, true, V3(0, -0.18f, 1.62f), V3(0.2f, 0.12f, 0.13f));  // brow
    for (float side : {-1.0f, 1.0f}) {
        f.ellipsoid(BODY, true, V3(0.1f * side, -0.22f, 1.43f), V3(0.09f, 0.09f, 0.09f));  // cheeks
        // The great ears spread sideways, their flat faces turned to the viewer.
        const V3 ear_facing(0.35f * side, -1.0f, 0.0f);
        f.ellipsoid(BODY, true, V3(0.36f * side, 0.04f, 1.5f), V3(0.27f, 0.3f, 0.04f), ear_facing);
        f.torus(GOLD, V3(0.36f * side, 0.02f, 1.5f), ear_facing, 0.25f, 0.014f);  // ear rim
        f.ellipsoid(DARK, false, V3(0.12f * side, -0.255f, 1.575f), V3(0.04f, 0.025f, 0.026f), V3(0.4f * side, -1, 0));  // eyes
    }
    // The trunk falls over the chest and curls to the figure's left, towards
    // the sweet in the lower left hand.
    f.sweep(BODY, true, {V3(0, -0.24f, 1.5f), V3(0, -0.32f, 1.36f), V3(0.01f, -0.36f, 1.2f), V3(0.04f, -0.38f, 1.06f),
                   V3(0.12f, -0.4f, 0.97f), V3(0.21f, -0.4f, 0.98f), V3(0.25f, -0.39f, 1.05f),
                   V3(0.22f, -0.38f, 1.1f)},
            0.085f, 0.03f);
    // One whole tusk on the figure's left, the broken one on its right.
    f.sweep(IVORY, false, {V3(0.11f, -0.24f, 1.43f), V3(0.15f, -0.36f, 1.35f), V3(0.16f, -0.47f, 1.27f)}, 0.032f,
            0.01f);
    f.capsule(IVORY, false, V3(-0.11f, -0.24f, 1.43f), V3(-0.13f, -0.32f, 1.4f), 0.032f, 0.028f);
    // The crown: a jewelled band and tiers narrowing to a finial.
    f.torus(GOLD, V3(0, -0.04f, 1.73f), V3(0, -0.1f, 1), 0.17f, 0.04f);
    f.ellipsoid(JEWEL, false, V3(0, -0.22f, 1.75f), V3(0.04f, 0.025f, 0.05f));
    f.capsule(GOLD, false, V3(0, -0.03f, 1.72f), V3(0, -0.02f, 2.0f), 0.17f, 0.05f);
    for (int tier = 0; tier < 3; ++tier)
        f.torus(GOLD, V3(0, -0.03f, 1.8f + 0.07f * static_cast<float>(tier)), V3(0, 0, 1),
                0.14f - 0.03f * static_cast<float>(tier), 0.025f);
    f.ellipsoid(GOLD, false, V3(0, -0.02f, 2.04f), V3(0.05f, 0.05f, 0.07f));
}

void add_arms(cFigure& f)
{
    // Lower right hand raised, palm out (blessing).
    f.arm(V3(-0.3f, -0.02f, 1.2f), V3(-0.52f, -0.1f, 0.96f), V3(-0.5f, -0.34f, 1.14f), 0.075f);
    // Lower left hand on the lap with the round sweet.
    f.arm(V3(0.3f, -0.02f, 1.2f), V3(0.52f, -0.1f, 0.94f), V3(0.34f, -0.4f, 0.86f), 0.07f);
    f.ellipsoid(GOLD, false, V3(0.3f, -0.47f, 0.93f), V3(0.07f, 0.07f, 0.07f));
    // Upper right hand with the axe.
    const V3 axe_hand(-0.78f, 0.16f, 1.5f);
    f.arm(V3(-0.28f, 0.08f, 1.24f), V3(-0.7f, 0.18f, 1.18f), axe_hand, 0.065f);
    f.capsule(GOLD, false, axe_hand + V3(0, 0, -0.22f), axe_hand + V3(0, 0, 0.36f), 0.018f, 0.018f);
    f.ellipsoid(GOLD, false, axe_hand + V3(-0.11f, 0, 0.3f), V3(0.11f, 0.015f, 0.09f));
    // Upper left hand with the noose.
    const V3 noose_hand(0.78f, 0.16f, 1.5f);
    f.arm(V3(0.28f, 0.08f, 1.24f), V3(0.7f, 0.18f, 1.18f), noose_hand, 0.065f);
    f.torus(GOLD, noose_hand + V3(0, -0.02f, 0.17f), V3(0, 1, 0), 0.11f, 0.016f);
}

cFigure ganesha()
{
    cFigure f;
    add_pedestal(f);
    add_body(f);
    add_head(f);
    add_arms(f);
    return f;
}

// ---- surface nets ------------------------------------------------------------------

constexpr float CELL = 0.0165f;      // grid spacing, model units
constexpr int COARSE = 4;            // fine cells per coarse cell along each axis
const V3 LOW(-1.06f, -0.82f, -0.02f);  // grid corner; the figure stays inside
const V3 HIGH(1.06f, 0.82f, 2.14f);

struct cGrid {
    int nx, ny, nz;            // sample points per axis
    std::vector<float> value;  // signed distance per point

    size_t index(int i, int j, int k) const
    {
        return (static_cast<size_t>(k) * ny + j) * nx + i;
    }
    V3 point(int i, int j, int k) const { return LOW + V3(i * CELL, j * CELL, k * CELL); }
};

// Samples the figure on the fine grid, but evaluates it only inside coarse
// cells that the surface may cross; the others take a coarse corner's value,
// which has the right sign and is far from zero.
cGrid sample(const cFigure& f)
{
    cGrid g;
    auto points = [](float span) { return (static_cast<int>(std::ceil(span / CELL)) / COARSE + 1) * COARSE + 1; };
    g.nx = points(HIGH.x - LOW.x);
    g.ny = points(HIGH.y - LOW.y);
    g.nz = points(HIGH.z - LOW.z);
    g.value.assign(static_cast<size_t>(g.nx) * g.ny * g.nz, 0.0f);
    const float reach = CELL * COARSE * 0.9f + 0.01f;  // half the coarse diagonal plus a margin
    for (int ck = 0; ck + 1 < g.nz; ck += COARSE)
        for (int cj = 0; cj + 1 < g.ny; cj += COARSE)
            for (int ci = 0; ci + 1 < g.nx; ci += COARSE) {
                const V3 centre = g.point(ci, cj, ck) + V3(1, 1, 1) * (CELL * COARSE * 0.5f);
                const float d = figure_distance(f, centre).distance;
                const bool near = std::fabs(d) < reach * 1.25f;
                for (int k = ck; k <= ck + COARSE; ++k)
                    for (int j = cj; j <= cj + COARSE; ++j)
                        for (int i = ci; i <= ci + COARSE; ++i)
                            g.value[g.index(i, j, k)] = near ? figure_distance(f, g.point(i, j, k)).distance : d;
            }
    return g;
}

V3 gradient(const cFigure& f, const V3& p)
{
    const float e = CELL * 0.25f;
    auto d = [&](const V3& q) { return figure_distance(f, q).distance; };
    return V3(d(p + V3(e, 0, 0)) - d(p - V3(e, 0, 0)), d(p + V3(0, e, 0)) - d(p - V3(0, e, 0)),
              d(p + V3(0, 0, e)) - d(p - V3(0, 0, e)));
}

// Cell vertex: the mean of the zero crossings on the cell's twelve edges.
bool cell_vertex(const cGrid& g, int i, int j, int k, V3& out)
{
    static constexpr int CORNER[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                         {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    static constexpr int EDGE[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                        {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    float v[8];
    for (int c = 0; c < 8; ++c)
        v[c] = g.value[g.index(i + CORNER[c][0], j + CORNER[c][1], k + CORNER[c][2])];
    V3 sum(0, 0, 0);
    int crossings = 0;
    for (const auto& e : EDGE) {
        const float a = v[e[0]], b = v[e[1]];
        if ((a < 0) == (b < 0))
            continue;
        const float t = a / (a - b);
        const V3 pa = g.point(i + CORNER[e[0]][0], j + CORNER[e[0]][1], k + CORNER[e[0]][2]);
        const V3 pb = g.point(i + CORNER[e[1]][0], j + CORNER[e[1]][1], k + CORNER[e[1]][2]);
        sum = sum + pa + (pb - pa) * t;
        ++crossings;
    }
    if (crossings == 0)
        return false;
    out = sum * (1.0f / static_cast<float>(crossings));
    return true;
}

// Triangles are drawn in one stone each: where the stones of its corners
// differ, the triangle takes the majority's and the odd corners are copied
// with that stone's texture coordinate, so that no triangle blends through
// the palette's other columns and the inlays keep crisp edges. Only the
// eyes fade into the skin: their columns are neighbours.
struct cStoneSplit {
    cMeshBuilder& b;
    std::vector<int> stone;                   // per vertex of b
    std::map<std::pair<uint32_t, int>, uint32_t> copies;  // (vertex, stone) -> its copy

    uint32_t in_stone(uint32_t v, int s)
    {
        if (stone[v] == s)
            return v;
        const auto found = copies.find({v, s});
        if (found != copies.end())
            return found->second;
        const float* p = &b.mesh.positions[3 * v];
        const float* n = &b.mesh.normals[3 * v];
        const uint32_t copy = b.vertex(V3(p[0], p[1], p[2]), V3(n[0], n[1], n[2]), palette_u(s), b.mesh.texcoords[2 * v + 1]);
        stone.push_back(s);
        copies.emplace(std::make_pair(v, s), copy);
        return copy;
    }
    void triangle(uint32_t v0, uint32_t v1, uint32_t v2)
    {
        auto skin = [&](uint32_t v) { return stone[v] == BODY || stone[v] == DARK; };
        if (skin(v0) && skin(v1) && skin(v2)) {
            b.triangle(v0, v1, v2);
            return;
        }
        const int s = stone[v1] == stone[v2] ? stone[v1] : stone[v0];
        b.triangle(in_stone(v0, s), in_stone(v1, s), in_stone(v2, s));
    }
};

cMeshObj_data ganesha_mesh()
{
    const cFigure f = ganesha();
    const cGrid g = sample(f);
    cMeshBuilder b(true);
    cStoneSplit split{b, {}, {}};
    const size_t cells = g.value.size();
    std::vector<int32_t> vertex_of(cells, -1);  // per cell, indexed like its low corner
    for (int k = 0; k + 1 < g.nz; ++k)
        for (int j = 0; j + 1 < g.ny; ++j)
            for (int i = 0; i + 1 < g.nx; ++i) {
                V3 p;
                if (!cell_vertex(g, i, j, k, p))
                    continue;
                const int stone = figure_distance(f, p).stone;
                const float height = std::clamp(p.z / HIGH.z, 0.0f, 1.0f);
                vertex_of[g.index(i, j, k)] =
                    static_cast<int32_t>(b.vertex(p, gradient(f, p), palette_u(stone), height));
                split.stone.push_back(stone);
            }
    // Each grid edge that the surface crosses joins the four cells around it.
    auto quad = [&](size_t c0, size_t c1, size_t c2, size_t c3) {
        const int32_t q[4] = {vertex_of[c0], vertex_of[c1], vertex_of[c2], vertex_of[c3]};
        if (q[0] < 0 || q[1] < 0 || q[2] < 0 || q[3] < 0)
            return;
        auto pos = [&](int32_t v) {
            return V3(b.mesh.positions[3 * v], b.mesh.positions[3 * v + 1], b.mesh.positions[3 * v + 2]);
        };
        auto nrm = [&](int32_t v) {
            return V3(b.mesh.normals[3 * v], b.mesh.normals[3 * v + 1], b.mesh.normals[3 * v + 2]);
        };
        // Wind both triangles so that they face along the surface normal.
        for (const auto& t : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
            const V3 a = pos(q[t[0]]), bb = pos(q[t[1]]), c = pos(q[t[2]]);
            const V3 facing = (bb - a).cross(c - a);
            const V3 outward = nrm(q[t[0]]) + nrm(q[t[1]]) + nrm(q[t[2]]);
            if (dot(facing, outward) >= 0)
                split.triangle(q[t[0]], q[t[1]], q[t[2]]);
            else
                split.triangle(q[t[0]], q[t[2]], q[t[1]]);
        }
    };
    for (int k = 1; k + 1 < g.nz; ++k)
        for (int j = 1; j + 1 < g.ny; ++j)
            for (int i = 1; i + 1 < g.nx; ++i) {
                const bool inside = g.value[g.index(i, j, k)] < 0;
                if (inside != (g.value[g.index(i + 1, j, k)] < 0))
                    quad(g.index(i, j - 1, k - 1), g.index(i, j, k - 1), g.index(i, j, k), g.index(i, j - 1, k));
                if (inside != (g.value[g.index(i, j + 1, k)] < 0))
                    quad(g.index(i - 1, j, k - 1), g.index(i, j, k - 1), g.index(i, j, k), g.index(i - 1, j, k));
                if (inside != (g.value[g.index(i, j, k + 1)] < 0))
                    quad(g.index(i - 1, j - 1, k), g.index(i, j - 1, k), g.index(i, j, k), g.index(i - 1, j, k));
            }
    return b.finish();
}

// ---- palette ------------------------------------------------------------------------

constexpr int PALETTE = 256;

struct cStoneLook {
    cColor colour;    // albedo
    float shine;      // specular strength 0-1
    float grain;      // how strongly the grain darkens it
};

constexpr std::array<cStoneLook, STONE_COUNT> LOOKS = {{
    {{0.18f, 0.1f, 0.08f, 1.0f}, 0.2f, 0.2f},     // DARK
    {{0.52f, 0.33f, 0.19f, 1.0f}, 0.6f, 0.35f},    // BODY: warm bronze
    {{1.0f, 0.78f, 0.3f, 1.0f}, 1.0f, 0.1f},      // GOLD
    {{1.0f, 0.16f, 0.22f, 1.0f}, 0.9f, 0.05f},    // JEWEL: ruby
    {{0.96f, 0.92f, 0.8f, 1.0f}, 0.6f, 0.1f},     // IVORY
    {{0.86f, 0.5f, 0.58f, 1.0f}, 0.35f, 0.3f},    // LOTUS: rose sandstone
}};

int stone_of_column(float x)
{
    return std::clamp(static_cast<int>(x / PALETTE * static_cast<float>(STONE_COUNT)), 0, STONE_COUNT - 1);
}

}  // namespace

bool write_ganesh_model(const std::string& dir)
{
    return save_model(ganesha_mesh(), dir, "ganesh.bzobj");
}

bool write_ganesh_textures(const std::string& dir)
{
    cCanvas albedo(PALETTE, PALETTE, 24), shine(PALETTE, PALETTE, 24);
    paint(albedo, [](float x, float y) {
        const cStoneLook& look = LOOKS[stone_of_column(x)];
        // Strata run across the height (v); a finer mottle breaks them up.
        const float strata = fbm(x * 0.02f, y * 0.09f, 4, 71);
        const float mottle = fbm(x * 0.15f, y * 0.15f, 3, 72);
        return look.colour * (1.0f - look.grain * (0.7f * strata + 0.3f * mottle) + 0.12f * look.grain);
    });
    paint(shine, [](float x, float y) {
        const cStoneLook& look = LOOKS[stone_of_column(x)];
        const float s = look.shine * (0.8f + 0.2f * fbm(x * 0.1f, y * 0.1f, 2, 73));
        return cColor{s, s, s, 1.0f};
    });
    return save_texture(albedo, dir, "ganesh_stone.png", {}) && save_texture(shine, dir, "ganesh_shine.png", {});
}
