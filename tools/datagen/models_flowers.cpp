// The flower field's patch: one square of meadow, 96 units on a side with
// z up, holding about three hundred flowers of three kinds (cups, lilies,
// daisies), written as three models that share the flowers' placement:
//
// - flowerpatch_stems: the ground, stems and leaves, opaque, textured with
//   "flower_stems.png";
// - flowerpatch_petals / flowerpatch_closed: the heads, open and closed, in
//   the same vertex order, textured with the petal atlas "flower_petals.png"
//   (one column per colour, a last one for the glowing cores).
//
// The field's program draws these unlit and uses the normal of a vertex as
// its sway: the direction and length it moves at a wave crest. Ground
// vertices do not move, a stem bends more the higher it goes, and a head
// moves with the top of its stem. The scene repeats the patch to fill the
// field, so the placement wraps at the patch's edges.
#include <cmath>
#include <vector>

#include "mesh_builder.h"
#include "models.h"
#include "noise.h"
#include "ornament.h"

namespace {

constexpr float PATCH = 96.0f;      // side of the square patch, from 0 to PATCH on x and y
constexpr int GRID = 18;            // flowers placed on a jittered GRID x GRID lattice
constexpr int GROUND_CELLS = 8;     // ground quads per side
constexpr int PETAL_COLUMNS = 5;    // atlas columns: four petal colours and the cores
constexpr uint64_t PATCH_SEED = 0x5eedf10e;

// One kind of head: petal count, size, and how far the petals lean out
// from the head's axis at their base and how much more at their tip.
struct cHeadKind {
    int petals;
    float length;     // petal length, units
    float width;      // widest, units
    float lean_open;  // radians from the axis at the base, open
    float curl_open;  // extra lean at the tip, open
    float lean_shut;  // the same, closed
    float curl_shut;
};

constexpr cHeadKind KINDS[] = {
    {5, 2.2f, 1.25f, 0.45f, 0.05f, 0.10f, -0.05f},  // cup
    {6, 2.9f, 0.75f, 0.85f, 0.75f, 0.14f, 0.0f},    // lily, tips turned back
    {11, 2.0f, 0.45f, 1.30f, 0.15f, 0.22f, 0.0f},   // daisy, a flat star
};

struct cFlower {
    V3 base;       // on the ground
    V3 top;        // where the head sits
    V3 wind;       // unit sway direction, horizontal
    float height;  // stem length, units
    float turn;    // azimuth of the first petal, radians
    float size;    // head scale
    int kind;      // into KINDS
    int colour;    // petal atlas column 0-3
};

std::vector<cFlower> place_flowers()
{
    cRandom rng{PATCH_SEED};
    std::vector<cFlower> flowers;
    const float cell = PATCH / GRID;
    for (int gy = 0; gy < GRID; ++gy)
        for (int gx = 0; gx < GRID; ++gx) {
            cFlower f;
            // Jitter stays inside the cell, so no flower crosses the patch edge.
            f.base = V3((static_cast<float>(gx) + rng.range(0.15f, 0.85f)) * cell,
                        (static_cast<float>(gy) + rng.range(0.15f, 0.85f)) * cell, 0.0f);
            f.height = rng.range(3.5f, 8.5f);
            const float lean = rng.range(0.0f, 0.6f), lean_dir = rng.range(0.0f, 2.0f * PI);
            f.top = f.base + V3(std::cos(lean_dir) * lean, std::sin(lean_dir) * lean, f.height);
            const float wind = 0.33f + rng.range(-0.3f, 0.3f);
            f.wind = V3(std::cos(wind), std::sin(wind), 0.0f);
            f.turn = rng.range(0.0f, 2.0f * PI);
            f.size = rng.range(0.75f, 1.25f);
            f.kind = static_cast<int>(rng.next() % 3);
            f.colour = static_cast<int>(rng.next() % 4);
            flowers.push_back(f);
        }
    return flowers;
}

// A mesh builder that also records each vertex's sway, written over the
// normals when the model is finished.
struct cSwayBuilder {
    cMeshBuilder b{true};
    std::vector<V3> sway;

    uint32_t vertex(const V3& p, const V3& s, float u, float v)
    {
        sway.push_back(s);
        return b.vertex(p, V3(0, 0, 1), u, v);
    }
    cMeshObj_data finish()
    {
        cMeshObj_data mesh = b.finish();
        for (size_t i = 0; i < sway.size(); ++i) {
            mesh.normals[3 * i] = sway[i].x;
            mesh.normals[3 * i + 1] = sway[i].y;
            mesh.normals[3 * i + 2] = sway[i].z;
        }
        return mesh;
    }
};

// Sway of a point `along` (0 base, 1 top) a stem: tall stems bend further.
V3 stem_sway(const cFlower& f, float along)
{
    return f.wind * (std::pow(along, 1.6f) * f.height / 8.0f);
}

// ---- stems, leaves, ground ---------------------------------------------------------
// flower_stems.png, v from the bottom: ground 0-0.1, stem 0.1-0.55, leaf 0.55-1.

void ground(cSwayBuilder& s)
{
    const float step = PATCH / GROUND_CELLS;
    std::vector<uint32_t> grid;
    for (int y = 0; y <= GROUND_CELLS; ++y)
        for (int x = 0; x <= GROUND_CELLS; ++x) {
            // Brighter and darker moss; the noise wraps with the patch.
            const int wx = x % GROUND_CELLS, wy = y % GROUND_CELLS;
            const float shade = hash_unit(wx, wy, 7u);
            grid.push_back(s.vertex(V3(static_cast<float>(x) * step, static_cast<float>(y) * step, 0.0f), V3(0, 0, 0),
                                    0.5f, 0.01f + 0.08f * shade));
        }
    const int row = GROUND_CELLS + 1;
    for (int y = 0; y < GROUND_CELLS; ++y)
        for (int x = 0; x < GROUND_CELLS; ++x) {
            const uint32_t a = grid[y * row + x], b = grid[y * row + x + 1];
            const uint32_t c = grid[(y + 1) * row + x + 1], d = grid[(y + 1) * row + x];
            s.b.triangle(a, b, c);
            s.b.triangle(a, c, d);
        }
}

V3 stem_point(const cFlower& f, float along)
{
    // A gentle bow: the lean grows with the square of the height.
    const V3 lean = f.top - f.base - V3(0, 0, f.height);
    return f.base + V3(0, 0, f.height * along) + lean * (along * along);
}

void stem(cSwayBuilder& s, const cFlower& f)
{
    constexpr int SEGMENTS = 3, SIDES = 3;
    constexpr float RADIUS = 0.11f;
    uint32_t first = 0;
    for (int k = 0; k <= SEGMENTS; ++k) {
        const float along = static_cast<float>(k) / SEGMENTS;
        const V3 c = stem_point(f, along);
        for (int j = 0; j < SIDES; ++j) {
            const float a = 2.0f * PI * static_cast<float>(j) / SIDES;
            const uint32_t i = s.vertex(c + V3(std::cos(a), std::sin(a), 0) * RADIUS, stem_sway(f, along),
                                        static_cast<float>(j) / SIDES, 0.1f + 0.45f * along);
            if (k == 0 && j == 0)
                first = i;
        }
    }
    for (int k = 0; k < SEGMENTS; ++k)
        for (int j = 0; j < SIDES; ++j) {
            const uint32_t a = first + k * SIDES + j, b = first + k * SIDES + (j + 1) % SIDES;
            s.b.triangle(a, b, b + SIDES);
            s.b.triangle(a, b + SIDES, a + SIDES);
        }
}

// A drooping leaf from the stem at `along`, pointing at azimuth `a`.
void leaf(cSwayBuilder& s, const cFlower& f, float along, float a, float length)
{
    const V3 root = stem_point(f, along);
    const V3 out(std::cos(a), std::sin(a), 0.0f);
    const V3 side(-out.y, out.x, 0.0f);
    const V3 mid = root + out * (0.5f * length) + V3(0, 0, 0.35f * length);
    const V3 tip = root + out * length + V3(0, 0, 0.1f * length);
    const V3 sway = stem_sway(f, along);
    const uint32_t r = s.vertex(root, sway, 0.5f, 0.56f);
    const uint32_t l = s.vertex(mid + side * (0.22f * length), sway * 1.3f, 0.0f, 0.78f);
    const uint32_t m = s.vertex(mid, sway * 1.3f, 0.5f, 0.78f);
    const uint32_t q = s.vertex(mid - side * (0.22f * length), sway * 1.3f, 1.0f, 0.78f);
    const uint32_t t = s.vertex(tip, sway * 1.6f, 0.5f, 0.99f);
    s.b.triangle(r, m, l);
    s.b.triangle(r, q, m);
    s.b.triangle(l, m, t);
    s.b.triangle(m, q, t);
}

cMeshObj_data stems(const std::vector<cFlower>& flowers)
{
    cSwayBuilder s;
    ground(s);
    for (const cFlower& f : flowers) {
        stem(s, f);
        leaf(s, f, 0.18f, f.turn, 1.4f + 0.12f * f.height);
        leaf(s, f, 0.34f, f.turn + 2.6f, 1.1f + 0.1f * f.height);
    }
    return s.finish();
}

// ---- heads -----------------------------------------------------------------------------

float column_u(int column, float across)
{
    return (static_cast<float>(column) + 0.08f + 0.84f * across) / PETAL_COLUMNS;
}

// One petal as a creased strip, two rows long and three vertices wide;
// the tip row closes to a point.
void petal(cSwayBuilder& s, const cFlower& f, float azimuth, bool open)
{
    const cHeadKind& k = KINDS[f.kind];
    const float lean = open ? k.lean_open : k.lean_shut;
    const float curl = open ? k.curl_open : k.curl_shut;
    const float width = k.width * f.size * (open ? 1.0f : 0.8f);
    const float length = k.length * f.size;
    const V3 out(std::cos(azimuth), std::sin(azimuth), 0.0f);
    const V3 side(-out.y, out.x, 0.0f);
    const V3 up(0, 0, 1);
    const V3 sway = stem_sway(f, 1.0f);
    constexpr int ROWS = 3;
    V3 spine = f.top + out * (0.12f * f.size);
    uint32_t first = 0;
    for (int r = 0; r < ROWS; ++r) {
        const float t = static_cast<float>(r) / (ROWS - 1);
        if (r > 0) {
            const float a = lean + curl * t * t;
            spine = spine + (out * std::sin(a) + up * std::cos(a)) * (length / (ROWS - 1));
        }
        const float w = 0.5f * width * std::sin(PI * (0.12f + 0.88f * t)) * (r == ROWS - 1 ? 0.0f : 1.0f);
        // The crease: the petal's edges rise towards the head's axis, a cup.
        const V3 edge_lift = (up - out * 0.4f) * (0.35f * w);
        for (int j = 0; j < 3; ++j) {
            const float across = static_cast<float>(j) - 1.0f;
            const V3 p = spine + side * (across * w) + edge_lift * std::fabs(across);
            const uint32_t i = s.vertex(p, sway, column_u(f.colour, 0.5f + 0.5f * across), 0.02f + 0.96f * t);
            if (r == 0 && j == 0)
                first = i;
        }
    }
    for (int r = 0; r < ROWS - 1; ++r)
        for (int j = 0; j < 2; ++j) {
            const uint32_t a = first + r * 3 + j;
            s.b.triangle(a, a + 1, a + 4);
            s.b.triangle(a, a + 4, a + 3);
        }
}

// The glowing core: a low cone over the top of the stem.
void core(cSwayBuilder& s, const cFlower& f)
{
    constexpr int SIDES = 5;
    const float radius = 0.28f * f.size;
    const V3 sway = stem_sway(f, 1.0f);
    const uint32_t tip = s.vertex(f.top + V3(0, 0, 0.45f * f.size), sway, column_u(PETAL_COLUMNS - 1, 0.5f), 0.95f);
    for (int j = 0; j < SIDES; ++j) {
        const float a = f.turn + 2.0f * PI * static_cast<float>(j) / SIDES;
        s.vertex(f.top + V3(std::cos(a), std::sin(a), 0.05f) * radius, sway,
                 column_u(PETAL_COLUMNS - 1, static_cast<float>(j % 2)), 0.3f);
    }
    for (int j = 0; j < SIDES; ++j)
        s.b.triangle(tip + 1 + j, tip + 1 + (j + 1) % SIDES, tip);
}

cMeshObj_data heads(const std::vector<cFlower>& flowers, bool open)
{
    cSwayBuilder s;
    for (const cFlower& f : flowers) {
        const int n = KINDS[f.kind].petals;
        for (int p = 0; p < n; ++p)
            petal(s, f, f.turn + 2.0f * PI * static_cast<float>(p) / static_cast<float>(n), open);
        core(s, f);
    }
    return s.finish();
}

}  // namespace

bool write_flower_models(const std::string& dir)
{
    const std::vector<cFlower> flowers = place_flowers();
    return save_model(stems(flowers), dir, "flowerpatch_stems.bzobj") &&
           save_model(heads(flowers, true), dir, "flowerpatch_petals.bzobj") &&
           save_model(heads(flowers, false), dir, "flowerpatch_closed.bzobj");
}
