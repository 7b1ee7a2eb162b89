// The mushroom cave: the cave itself (a bumpy floor under a rough dome with
// hanging stalactites) and the mushrooms in two states that the scene blends
// in its morph program. Both mushroom states are built by the same loops
// from the same placement, so they have the same vertices in the same order;
// only the shape parameters differ (the "b" state has the opened caps and
// taller stems of a breath in, for about half of them, and the closed caps
// of a breath out for the rest). World units: the scene's camera orbits 360
// units from the cave's axis; the cave is 900 wide in radius and the floor
// lies near y = 0.
//
// Texture coordinates of the mushrooms point into mushroom_glow.png: its
// width holds four colour bands (teal, violet, amber, ice), each addressed by
// the angle round the stem; v runs from the stem's foot (0) over the gills
// and the rim to the top of the cap (1).
#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh_builder.h"
#include "models.h"
#include "noise.h"
#include "ornament.h"

namespace {

constexpr uint32_t SEED = 0x6d757368u;  // the cave's noise and placement
constexpr float CAVE_RADIUS = 900.0f;   // floor rim and dome foot
constexpr float DOME_HEIGHT = 620.0f;   // rise of the dome above the rim
constexpr float CLEAR_INNER = 290.0f;   // the camera's orbit runs between these radii,
constexpr float CLEAR_OUTER = 430.0f;   // where no mushroom may stand

// ---- the ground, shared by the cave and the mushrooms' feet -----------------------

float floor_height(float x, float z)
{
    const float r = std::sqrt(x * x + z * z) / CAVE_RADIUS;
    const float bumps = fbm(x / 260.0f + 10.0f, z / 260.0f + 10.0f, 4, SEED) - 0.5f;
    // The floor rises towards the walls, so the dome's foot meets it.
    return 70.0f * bumps + 140.0f * r * r * r;
}

V3 on_floor(float x, float z)
{
    return V3(x, floor_height(x, z), z);
}

// Normal of the height field by central differences.
V3 floor_normal(float x, float z)
{
    const float e = 4.0f;
    return V3(floor_height(x - e, z) - floor_height(x + e, z), 2.0f * e, floor_height(x, z - e) - floor_height(x, z + e));
}

// ---- the cave ------------------------------------------------------------------------

constexpr int FLOOR_RINGS = 36;
constexpr int CAVE_RAYS = 120;
constexpr int DOME_RINGS = 28;
constexpr float ROCK_TILE = 240.0f;  // world units per repeat of the rock texture

void cave_floor(cMeshBuilder& b)
{
    const uint32_t centre = b.vertex(on_floor(0, 0), floor_normal(0, 0), 0.0f, 0.0f);
    std::vector<uint32_t> previous(CAVE_RAYS, centre);
    for (int ring = 1; ring <= FLOOR_RINGS; ++ring) {
        const float r = CAVE_RADIUS * static_cast<float>(ring) / FLOOR_RINGS;
        std::vector<uint32_t> current(CAVE_RAYS + 1);
        for (int k = 0; k <= CAVE_RAYS; ++k) {
            const float a = 2.0f * PI * static_cast<float>(k) / CAVE_RAYS;
            const float x = r * std::cos(a), z = r * std::sin(a);
            current[k] = b.vertex(on_floor(x, z), floor_normal(x, z), x / ROCK_TILE, z / ROCK_TILE);
        }
        for (int k = 0; k < CAVE_RAYS; ++k) {
            // Counter-clockwise seen from above: the floor faces up into the cave.
            if (ring == 1) {
                b.triangle(centre, current[k + 1], current[k]);
                continue;
            }
            b.triangle(previous[k], current[k + 1], current[k]);
            b.triangle(previous[k], previous[k + 1], current[k + 1]);
        }
        previous = current;
    }
}

// The dome's inner surface at angle a round the axis and height fraction h:
// its radius wobbles with noise, its top closes over the middle.
V3 dome_point(float a, float h)
{
    const float wobble = fbm(std::cos(a) * 2.2f + 5.0f, std::sin(a) * 2.2f + h * 3.0f, 4, SEED + 1) - 0.5f;
    const float across = std::cos(h * PI * 0.5f) * (1.0f + 0.28f * wobble);
    const float rim_y = floor_height(CAVE_RADIUS * std::cos(a), CAVE_RADIUS * std::sin(a));
    return V3(CAVE_RADIUS * across * std::cos(a), rim_y + DOME_HEIGHT * std::sin(h * PI * 0.5f) + 90.0f * wobble * h,
              CAVE_RADIUS * across * std::sin(a));
}

void cave_dome(cMeshBuilder& b)
{
    std::vector<std::vector<uint32_t>> rows;
    for (int ring = 0; ring <= DOME_RINGS; ++ring) {
        const float h = 0.999f * static_cast<float>(ring) / DOME_RINGS;
        std::vector<uint32_t> row;
        for (int k = 0; k <= CAVE_RAYS; ++k) {
            const float a = 2.0f * PI * static_cast<float>(k) / CAVE_RAYS;
            const V3 p = dome_point(a, h);
            // Inward normal from the neighbouring points of the surface.
            const V3 along = dome_point(a + 0.01f, h) - dome_point(a - 0.01f, h);
            const V3 up = dome_point(a, std::min(h + 0.01f, 1.0f)) - dome_point(a, std::max(h - 0.01f, 0.0f));
            const float u = a * CAVE_RADIUS / ROCK_TILE / 2.0f, v = p.y / ROCK_TILE;
            row.push_back(b.vertex(p, along.cross(up), u, v));
        }
        rows.push_back(row);
    }
    for (int ring = 0; ring < DOME_RINGS; ++ring)
        for (int k = 0; k < CAVE_RAYS; ++k) {
            // Counter-clockwise seen from inside.
            b.triangle(rows[ring][k], rows[ring][k + 1], rows[ring + 1][k]);
            b.triangle(rows[ring][k + 1], rows[ring + 1][k + 1], rows[ring + 1][k]);
        }
}

// A rough cone hanging from `top` down to `tip`, facing outwards.
void stalactite(cMeshBuilder& b, const V3& top, const V3& tip, float radius)
{
    constexpr int SIDES = 7;
    for (int k = 0; k < SIDES; ++k) {
        const float a0 = 2.0f * PI * static_cast<float>(k) / SIDES;
        const float a1 = 2.0f * PI * static_cast<float>(k + 1) / SIDES;
        const V3 p0 = top + V3(std::cos(a0), 0, std::sin(a0)) * radius;
        const V3 p1 = top + V3(std::cos(a1), 0, std::sin(a1)) * radius;
        const V3 n = (p0 - tip).cross(p1 - tip);
        const float u0 = static_cast<float>(k) / SIDES, u1 = static_cast<float>(k + 1) / SIDES;
        b.triangle(b.vertex(tip, n, 0.5f * (u0 + u1), 0.0f), b.vertex(p0, n, u0, 1.0f), b.vertex(p1, n, u1, 1.0f));
    }
}

cMeshObj_data cave()
{
    cMeshBuilder b(true);
    cave_floor(b);
    cave_dome(b);
    cRandom rnd{SEED};
    for (int i = 0; i < 44; ++i) {
        const float a = rnd.range(0.0f, 2.0f * PI);
        const float h = rnd.range(0.35f, 0.85f);
        const V3 root = dome_point(a, h);
        const V3 top = V3(root.x * 0.97f, root.y + 30.0f, root.z * 0.97f);
        const float length = rnd.range(60.0f, 220.0f) * (1.2f - h * 0.5f);
        stalactite(b, top, top - V3(0, length + 30.0f, 0), rnd.range(18.0f, 42.0f));
    }
    return b.finish();
}

// ---- mushrooms -----------------------------------------------------------------------

// The shape of one mushroom in one state.
struct cShape {
    float height;      // stem, from the foot to the cap's underside
    float stem;        // stem radius at the top
    float cap;         // cap radius
    float dome;        // cap's rise above the stem top
    float droop;       // how far the rim hangs below the stem top
    float bend;        // sideways lean of the stem's top
};

struct cMushroom {
    V3 foot;        // on the floor
    float lean;     // direction of the bend, radians
    float turn;     // start angle of the segments
    int colour;     // band of mushroom_glow.png: 0 teal, 1 violet, 2 amber, 3 ice
    int sides;      // segments round the stem: more for the big ones, whose rims show
    cShape rest;    // state a
    cShape breath;  // state b
};

// One point of the profile, from the foot (0) to the top of the cap.
struct cProfilePoint {
    float r;  // distance from the stem's axis
    float y;  // height above the foot
    float v;  // texture row
};

constexpr int PROFILE = 19;

void profile(const cShape& s, cProfilePoint (&p)[PROFILE])
{
    int n = 0;
    for (int k = 0; k <= 6; ++k) {  // stem, flared at the foot
        const float f = static_cast<float>(k) / 6.0f;
        p[n++] = {s.stem * (1.0f + 0.5f * (1.0f - f) * (1.0f - f)), s.height * f, 0.45f * f};
    }
    for (int k = 1; k <= 4; ++k) {  // gills under the cap, out to the rim
        const float f = static_cast<float>(k) / 4.0f;
        p[n++] = {s.stem + (s.cap - s.stem) * f, s.height - s.droop * f * f, 0.45f + 0.17f * f};
    }
    for (int k = 0; k <= 7; ++k) {  // over the rim and the dome to the top
        const float phi = PI * 0.5f * static_cast<float>(k) / 7.0f;
        const float lip = k == 0 ? 0.06f * s.dome : 0.0f;
        p[n++] = {s.cap * std::cos(phi) * (k == 0 ? 1.03f : 1.0f), s.height - s.droop + lip +
                                                                     (s.dome + s.droop) * std::sin(phi),
                  0.66f + 0.34f * std::sin(phi)};
    }
}

// A point of the mushroom's surface: the profile point swept to angle a
// round an axis that leans as it rises.
V3 sweep(const cMushroom& m, const cShape& s, const cProfilePoint& p, float a)
{
    const float rise = std::min(p.y / std::max(s.height, 1.0f), 1.2f);
    const float lean = s.bend * rise * rise;
    const V3 axis = m.foot + V3(std::cos(m.lean) * lean, p.y, std::sin(m.lean) * lean);
    return axis + V3(std::cos(a), 0.0f, std::sin(a)) * p.r;
}

void mushroom(cMeshBuilder& b, const cMushroom& m, const cShape& s)
{
    cProfilePoint p[PROFILE];
    profile(s, p);
    const float band = static_cast<float>(m.colour);
    const uint32_t first = static_cast<uint32_t>(b.mesh.vertex_count());
    for (int i = 0; i < PROFILE; ++i)
        for (int k = 0; k <= m.sides; ++k) {
            const float a = m.turn + 2.0f * PI * static_cast<float>(k) / static_cast<float>(m.sides);
            const V3 here = sweep(m, s, p[i], a);
            // Normal from the neighbours along the profile and round the axis;
            // the top of the cap (a ring of radius 0) looks straight up.
            const V3 around = sweep(m, s, p[i], a + 0.05f) - sweep(m, s, p[i], a - 0.05f);
            const V3 along = sweep(m, s, p[std::min(i + 1, PROFILE - 1)], a) - sweep(m, s, p[std::max(i - 1, 0)], a);
            V3 n = i == PROFILE - 1 ? V3(0, 1, 0) : along.cross(around);
            if (n.length() < 1e-6f)
                n = V3(0, 1, 0);
            // Each band keeps clear of its neighbours' edges for the filter.
            const float u = (band + 0.03f + 0.94f * static_cast<float>(k) / static_cast<float>(m.sides)) / 4.0f;
            b.vertex(here, n, u, p[i].v);
        }
    const uint32_t row = m.sides + 1;
    for (int i = 0; i + 1 < PROFILE; ++i)
        for (int k = 0; k < m.sides; ++k) {
            const uint32_t a = first + i * row + k, c = a + row;
            // Counter-clockwise seen from outside (angle grows towards +z from +x).
            b.triangle(a, c, a + 1);
            b.triangle(a + 1, c, c + 1);
        }
}

// A mushroom of size `size` (about its stem's height) in its two states;
// `grows` picks whether the breath opens it or closes it.
cMushroom grow(cRandom& rnd, float x, float z, float size, int colour, bool grows)
{
    cMushroom m;
    m.foot = on_floor(x, z) - V3(0, 4.0f, 0);
    m.lean = rnd.range(0.0f, 2.0f * PI);
    m.turn = rnd.range(0.0f, 2.0f * PI);
    m.colour = colour;
    m.sides = size < 60.0f ? 8 : size < 150.0f ? 12 : 18;
    const float slender = rnd.range(0.75f, 1.25f);
    m.rest = {size, size * 0.09f * slender, size * rnd.range(0.42f, 0.62f), size * rnd.range(0.14f, 0.3f),
              size * 0.08f, size * rnd.range(0.05f, 0.3f)};
    cShape open = m.rest;
    open.height *= 1.12f;
    open.cap *= 1.28f;
    open.dome *= 0.8f;
    open.droop *= 0.4f;
    open.bend *= 0.7f;
    cShape closed = m.rest;
    closed.height *= 0.9f;
    closed.cap *= 0.78f;
    closed.dome *= 1.3f;
    closed.droop = closed.cap * 0.55f;
    closed.bend *= 1.3f;
    m.breath = grows ? open : closed;
    return m;
}

// Clusters round the middle and along the walls, with small ones between;
// none in the ring the camera flies through.
std::vector<cMushroom> mushrooms()
{
    cRandom rnd{SEED + 7};
    std::vector<cMushroom> all;
    auto allowed = [](float x, float z) {
        const float r = std::sqrt(x * x + z * z);
        return (r < CLEAR_INNER || r > CLEAR_OUTER) && r < CAVE_RADIUS - 120.0f;
    };
    struct cCluster {
        float r, a, size, spread;
        int count;
    };
    const cCluster clusters[] = {
        {0, 0, 190, 150, 16},      {170, 1.2f, 120, 90, 8}, {180, 3.6f, 130, 100, 9}, {560, 0.3f, 260, 140, 10},
        {600, 1.4f, 200, 150, 10}, {520, 2.3f, 300, 120, 9}, {620, 3.3f, 230, 160, 10}, {540, 4.3f, 280, 130, 9},
        {610, 5.3f, 220, 150, 10}, {700, 6.0f, 170, 120, 7},
    };
    int n = 0;
    for (const cCluster& c : clusters) {
        const float cx = c.r * std::cos(c.a), cz = c.r * std::sin(c.a);
        const int colour = n % 3;
        for (int i = 0; i < c.count; ++i) {
            // The first of a cluster is its tall one, in the middle.
            const float d = i == 0 ? 0.0f : c.spread * std::sqrt(rnd.unit());
            const float a = rnd.range(0.0f, 2.0f * PI);
            const float x = cx + d * std::cos(a), z = cz + d * std::sin(a);
            const float size = c.size * (i == 0 ? 1.0f : rnd.range(0.18f, 0.6f));
            const int tint = rnd.unit() < 0.7f ? colour : (colour + 1 + (i % 2)) % 3;
            if (allowed(x, z))
                all.push_back(grow(rnd, x, z, size, tint, (n + i) % 2 == 0));
        }
        ++n;
    }
    for (int i = 0; i < 90; ++i) {  // small ones scattered over the floor
        const float r = CAVE_RADIUS * 0.85f * std::sqrt(rnd.unit()), a = rnd.range(0.0f, 2.0f * PI);
        const float x = r * std::cos(a), z = r * std::sin(a);
        if (allowed(x, z))
            all.push_back(grow(rnd, x, z, rnd.range(18.0f, 45.0f), i % 4, i % 2 == 0));
    }
    return all;
}

cMeshObj_data mushroom_state(const std::vector<cMushroom>& all, bool breath)
{
    cMeshBuilder b(true);
    for (const cMushroom& m : all)
        mushroom(b, m, breath ? m.breath : m.rest);
    return b.finish();
}

}  // namespace

bool write_mushroom_models(const std::string& dir)
{
    const std::vector<cMushroom> all = mushrooms();
    return save_model(cave(), dir, "mushroom_cave.bzobj") &&
           save_model(mushroom_state(all, false), dir, "mushrooms_a.bzobj") &&
           save_model(mushroom_state(all, true), dir, "mushrooms_b.bzobj");
}
