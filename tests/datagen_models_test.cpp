// Models of the generated data tree, read back through the .bzobj reader the
// program uses: flags, bounds and windings. How they sit in their scenes'
// cameras is seen in the scene pictures (tests/scenes), what the kaleidoscope
// planes' folds look like through the effect that draws them (tests/post).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

#include "mesh_files/bzobj.h"
#include "post/post_kaleido.h"
#include "resource_path.h"
#include "vec3.h"

namespace fs = std::filesystem;
using V3 = Vec3<float>;

namespace {

// The build writes the tree beside bin/ before the tests are built.
fs::path data_dir()
{
    return fs::path(executable_dir()) / ".." / "data";
}

cMeshObj_data load(const std::string& name)
{
    cMeshObj_data mesh;
    bobj_load_compressed((data_dir() / "models" / name).string(), mesh);
    return mesh;
}

V3 position(const cMeshObj_data& m, uint32_t i)
{
    return {m.positions[3 * i], m.positions[3 * i + 1], m.positions[3 * i + 2]};
}

float dot(const V3& a, const V3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Unnormalised normal that the winding gives triangle t.
V3 winding_normal(const cMeshObj_data& m, size_t t)
{
    const V3 a = position(m, m.indices[3 * t]), b = position(m, m.indices[3 * t + 1]), c = position(m, m.indices[3 * t + 2]);
    return (b - a).cross(c - a);
}

struct cBounds {
    V3 lo{1e30f, 1e30f, 1e30f};     // smallest coordinates
    V3 hi{-1e30f, -1e30f, -1e30f};  // largest coordinates
};

cBounds bounds(const cMeshObj_data& m)
{
    cBounds b;
    for (size_t i = 0; i < m.vertex_count(); ++i) {
        const V3 p = position(m, static_cast<uint32_t>(i));
        b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
        b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
    }
    return b;
}

// Every stored normal lies on the side its triangle's winding faces.
void expect_normals_follow_winding(const cMeshObj_data& m, const std::string& name)
{
    ASSERT_TRUE(m.flags & MESH_NORMALS) << name;
    size_t wrong = 0;
    for (size_t t = 0; t < m.indices.size() / 3; ++t) {
        const V3 n = winding_normal(m, t);
        if (n.length() < 1e-9f)
            continue;
        for (int k = 0; k < 3; ++k) {
            const uint32_t i = m.indices[3 * t + k];
            wrong += dot(n, V3(m.normals[3 * i], m.normals[3 * i + 1], m.normals[3 * i + 2])) <= 0.0f;
        }
    }
    EXPECT_EQ(wrong, 0u) << name;
}

// Six times the enclosed volume: positive when a closed surface faces out.
float signed_volume(const cMeshObj_data& m)
{
    double sum = 0.0;
    for (size_t t = 0; t < m.indices.size() / 3; ++t) {
        const V3 a = position(m, m.indices[3 * t]), b = position(m, m.indices[3 * t + 1]), c = position(m, m.indices[3 * t + 2]);
        sum += dot(a, b.cross(c));
    }
    return static_cast<float>(sum);
}

TEST(DatagenModels, KaleidoscopePlanesTileTheUnitSquareFacingTheViewer)
{
    for (const char* name : KALEIDO_PLANE_FILES) {  // the files the effect loads
        const cMeshObj_data m = load(name);
        EXPECT_EQ(m.flags, MESH_TEXCOORDS | MESH_NORMALS) << name;
        EXPECT_TRUE(m.materials.empty()) << name;
        const cBounds b = bounds(m);
        EXPECT_EQ(std::make_tuple(b.lo.x, b.lo.y, b.lo.z, b.hi.y), std::make_tuple(0.0f, 0.0f, 0.0f, 0.0f)) << name;
        EXPECT_NEAR(b.hi.x, 1.0f, 1e-6f) << name;
        EXPECT_NEAR(b.hi.z, 1.0f, 1e-6f) << name;
        for (float t : m.texcoords) {
            ASSERT_GE(t, 0.0f) << name;
            ASSERT_LE(t, 1.0f) << name;
        }
        // Turned by -90 degrees about x, (x, z) becomes the screen's (x, y):
        // every triangle counter-clockwise there, their areas summing to the
        // square, so the plane covers the screen exactly once.
        double area = 0.0;
        for (size_t t = 0; t < m.indices.size() / 3; ++t) {
            const V3 n = winding_normal(m, t);
            ASSERT_LE(n.y, 0.0f) << name << " triangle " << t << " faces away from the viewer";
            area += -0.5 * n.y;
        }
        EXPECT_NEAR(area, 1.0, 1e-4) << name;
        expect_normals_follow_winding(m, name);
    }
}

TEST(DatagenModels, MandalaSlicesFaceTheTunnelAndUseOneAtlasDiscEach)
{
    for (int k = 1; k <= 5; ++k) {
        const std::string name = "mandala_plane0" + std::to_string(k) + ".bzobj";
        const cMeshObj_data m = load(name);
        EXPECT_EQ(m.flags, MESH_TEXCOORDS | MESH_NORMALS) << name;
        const cBounds b = bounds(m);
        EXPECT_EQ(b.lo.z, 0.0f) << name;
        EXPECT_EQ(b.hi.z, 0.0f) << name;
        // Wider than the 65-degree view one layer distance (493) away.
        EXPECT_GT(b.hi.x, 2.0f * 493.0f * std::tan(32.5f * 3.14159265f / 180.0f)) << name;
        for (size_t t = 0; t < m.indices.size() / 3; ++t)
            ASSERT_GE(winding_normal(m, t).z, 0.0f) << name;
        expect_normals_follow_winding(m, name);
        const bool right = m.texcoords[0] >= 0.5f, top = m.texcoords[1] >= 0.5f;
        for (size_t i = 0; i < m.vertex_count(); ++i) {
            ASSERT_EQ(m.texcoords[2 * i] >= 0.5f, right) << name << " leaves its atlas disc";
            ASSERT_EQ(m.texcoords[2 * i + 1] >= 0.5f, top) << name << " leaves its atlas disc";
        }
    }
    // Drawn at scale 10 after a -90 degree turn about x: flat in x-z, facing -y.
    const cMeshObj_data ring = load("mandala_circle_wide.bzobj");
    const cBounds b = bounds(ring);
    EXPECT_EQ(b.hi.y, 0.0f);
    EXPECT_EQ(b.lo.y, 0.0f);
    EXPECT_GT(10.0f * b.hi.x, 500.0f);
    EXPECT_LT(10.0f * b.hi.x, 1000.0f);
    for (size_t t = 0; t < ring.indices.size() / 3; ++t)
        ASSERT_LT(winding_normal(ring, t).y, 0.0f);
    expect_normals_follow_winding(ring, "mandala_circle_wide");
}

TEST(DatagenModels, SolidsAreClosedAndFaceOutward)
{
    for (const char* name : {"octahedra.bzobj", "hex_tunnel.bzobj", "netsphere.bzobj", "spikeball2.bzobj"}) {
        const cMeshObj_data m = load(name);
        EXPECT_EQ(m.flags & MESH_TEXCOORDS, 0) << name << " carries no texture";
        EXPECT_GT(signed_volume(m), 0.0f) << name;
        expect_normals_follow_winding(m, name);
    }
}

TEST(DatagenModels, HexTunnelIsOneCopyLengthAndLeavesRoomForItsTurnedTwin)
{
    const cMeshObj_data m = load("hex_tunnel.bzobj");
    EXPECT_EQ(m.flags, MESH_NORMALS);
    const cBounds b = bounds(m);
    EXPECT_FLOAT_EQ(b.hi.y, 0.0f);
    EXPECT_NEAR(b.hi.y - b.lo.y, 743.958f, 1e-3f);
    // Outside the side camera's reach from the axis, inside the fog distance.
    EXPECT_LT(b.hi.x, 317.0f);
    EXPECT_GT(b.hi.x, 100.0f);
    // The scene draws it again turned half-way about y in another colour:
    // no vertex of the model may land on one of the turned copy.
    size_t shared = 0;
    for (size_t i = 0; i < m.vertex_count(); i += 7) {
        const V3 p = position(m, static_cast<uint32_t>(i));
        const V3 q(-p.x, p.y, -p.z);
        for (size_t j = 0; j < m.vertex_count(); ++j)
            if ((position(m, static_cast<uint32_t>(j)) - q).length() < 1e-3f) {
                ++shared;
                break;
            }
    }
    EXPECT_EQ(shared, 0u);
}

}  // namespace
