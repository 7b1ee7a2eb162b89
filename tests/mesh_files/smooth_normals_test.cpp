#include <gtest/gtest.h>

#include <random>

#include "mesh_files/mesh_data.h"
#include "support/files.h"
#include "vec3.h"

namespace {

// The all-pairs definition, written out literally.
void smooth_naive(cMeshObj_data& mesh)
{
    const std::vector<uint32_t>& idx = mesh.indices;
    uint32_t n = 0;
    for (uint32_t i : idx)
        n = std::max(n, i + 1);
    std::vector<std::vector<uint32_t>> lists(n);
    for (size_t i = 0; i < idx.size(); ++i)
        for (size_t j = 0; j < idx.size(); ++j) {
            const uint32_t v = idx[i], w = idx[j];
            if (w >= v && positions_coincide(&mesh.positions[3 * v], &mesh.positions[3 * w])) {
                lists[v].push_back(w);
                lists[w].push_back(v);
            }
        }
    for (auto& l : lists) {
        std::sort(l.begin(), l.end());
        l.erase(std::unique(l.begin(), l.end()), l.end());
    }
    std::vector<Vec3<float>> normals(mesh.vertex_count());
    auto p = [&](uint32_t v) { return Vec3<float>(mesh.positions[3 * v], mesh.positions[3 * v + 1], mesh.positions[3 * v + 2]); };
    for (size_t t = 0; t < idx.size(); t += 3) {
        const Vec3<float> e1 = (p(idx[t]) - p(idx[t + 1])).normalized();
        const Vec3<float> e2 = (p(idx[t + 2]) - p(idx[t + 1])).normalized();
        const Vec3<float> f = e2.cross(e1).normalized();
        for (int c = 0; c < 3; ++c)
            for (uint32_t u : lists[idx[t + c]])
                normals[u] += f;
    }
    mesh.normals.clear();
    for (const Vec3<float>& nv : normals) {
        const Vec3<float> u = nv.normalized();
        mesh.normals.insert(mesh.normals.end(), {u.x, u.y, u.z});
    }
}

// Random triangles over points that often coincide: exact copies, copies
// moved by less or a little more than the 0.0001 threshold, and chains where
// a~b and b~c but not a~c.
cMeshObj_data random_mesh(uint32_t seed, int base_points, int triangles)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-2, 2);
    std::uniform_int_distribution<int> kind(0, 5);
    cMeshObj_data mesh;
    std::vector<Vec3<float>> base;
    for (int i = 0; i < base_points; ++i)
        base.emplace_back(std::round(coord(rng) * 2) / 2, coord(rng), coord(rng));
    for (int v = 0; v < 3 * triangles; ++v) {
        Vec3<float> q = base[rng() % base.size()];
        switch (kind(rng)) {
        case 0: q.x += 0.00004f; break;
        case 1: q.y -= 0.00007f; break;
        case 2: q.z += 0.000101f; break;
        case 3: q.x += 0.00009f; q.y += 0.00009f; break;
        case 4: q.x += 0.00008f; break;  // near the base point, not near case 1
        default: break;
        }
        mesh.positions.insert(mesh.positions.end(), {q.x, q.y, q.z});
    }
    mesh.positions.insert(mesh.positions.end(), {9, 9, 9});  // vertex no triangle uses
    for (int v = 0; v < 3 * triangles; ++v)
        mesh.indices.push_back(rng() % (3 * triangles));
    return mesh;
}

}  // namespace

TEST(MeshData, SmoothCoincidentNormalsMatchesAllPairsDefinition)
{
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        cMeshObj_data fast = random_mesh(seed, 20 + int(seed) * 5, 150);
        cMeshObj_data slow = fast;
        fast.smooth_coincident_normals();
        smooth_naive(slow);
        ASSERT_EQ(fast.normals.size(), slow.normals.size());
        for (size_t i = 0; i < fast.normals.size(); ++i)
            ASSERT_EQ(fast.normals[i], slow.normals[i]) << "seed " << seed << " component " << i;
        EXPECT_TRUE(fast.flags & MESH_NORMALS);
    }
}

TEST(MeshData, SplitCubeCornerGetsOneSharedNormal)
{
    // Two triangles meeting at a right angle, split at their shared edge.
    cMeshObj_data mesh;
    mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0,  // floor, normal +z
                      0, 0, 0, 0, 1, 0, 0, 0, 1};  // wall, normal +x
    mesh.indices = {0, 1, 2, 3, 4, 5};
    mesh.flags = MESH_TEXCOORDS;
    mesh.texcoords.assign(12, 0);
    mesh.smooth_coincident_normals();
    const float s = 1 / std::sqrt(2.0f);
    for (int v : {0, 2, 3, 4}) {
        EXPECT_NEAR(mesh.normals[3 * v + 0], s, 1e-6) << v;
        EXPECT_NEAR(mesh.normals[3 * v + 2], s, 1e-6) << v;
    }
    EXPECT_FLOAT_EQ(mesh.normals[3 * 1 + 2], 1.0f);  // only on the floor
    EXPECT_FLOAT_EQ(mesh.normals[3 * 5 + 0], 1.0f);  // only on the wall
}

TEST(MeshData, DegenerateTrianglesAddNothingAndBadMeshesAreLeftAlone)
{
    cMeshObj_data mesh;
    mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 2, 2};
    mesh.indices = {0, 1, 2, 3, 3, 3};
    mesh.smooth_coincident_normals();
    for (float f : mesh.normals)
        EXPECT_FALSE(std::isnan(f));
    EXPECT_FLOAT_EQ(mesh.normals[2], 1.0f);
    EXPECT_FLOAT_EQ(mesh.normals[11], 0.0f);

    cMeshObj_data broken;
    broken.positions = {0, 0, 0};
    broken.indices = {0, 0, 7};
    EXPECT_NE(stderr_of([&] { broken.smooth_coincident_normals(); }).find("# ERROR in smooth_coincident_normals"),
              std::string::npos);
    EXPECT_TRUE(broken.normals.empty());
}
