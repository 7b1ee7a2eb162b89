// Well-known OBJ test models from outside the project (Debian's
// assimp-testmodels, installed by scripts/install-deps.sh): read through the
// mesh cache with their material libraries and textures, then drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "mesh_files/mesh_manager.h"
#include "resource_path.h"
#include "state_manager.h"
#include "support/shader_support.h"

namespace {

const char* const MODEL_DIR = "/usr/share/assimp/models/OBJ/";

using tBounds = std::array<float, 3>;

struct cRealModel {
    const char* file;  // in MODEL_DIR
    size_t triangles;  // after fan triangulation
    size_t groups;     // groups before the end entry
    uint8_t flags;     // MESH_* bits the mesh carries
    tBounds lo, hi;    // bounds of the vertices the faces use
};

// Exporters and features: MilkShape with textured materials named by
// Windows paths, "g" and "s" lines (spider) or without materials (Wuson);
// quads and a "usemtl" without any library (box); "v//vn" corners and a
// "usemtl" naming a material the library lacks (cube_usemtl); Blender with
// a material of empty name (empty_mat).
const cRealModel MODELS[] = {
    {"spider.obj", 1368, 4, MESH_TEXCOORDS | MESH_NORMALS | MESH_GROUPS,
     {-92.655235f, -42.233826f, -106.6912f}, {57.936218f, 37.503952f, 86.6912f}},
    {"WusonOBJ.obj", 3732, 1, MESH_TEXCOORDS | MESH_NORMALS,
     {-0.459976f, -0.000566f, -1.622242f}, {0.459976f, 1.515251f, 1.622242f}},
    {"box.obj", 12, 1, MESH_NORMALS, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
    {"cube_usemtl.obj", 12, 2, MESH_NORMALS | MESH_GROUPS, {0, 0, 0}, {1, 1, 1}},
    {"empty_mat.obj", 256, 1, MESH_NORMALS | MESH_GROUPS, {-1, -1, -1}, {1, 2.802455f, 1}},
};

void bounds(const std::vector<float>& positions, tBounds& lo, tBounds& hi)
{
    lo = {positions[0], positions[1], positions[2]};
    hi = lo;
    for (size_t i = 0; i < positions.size(); ++i) {
        lo[i % 3] = std::min(lo[i % 3], positions[i]);
        hi[i % 3] = std::max(hi[i % 3], positions[i]);
    }
}

}  // namespace

class RealModelTest : public ShaderTest {
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        ASSERT_TRUE(std::filesystem::exists(MODEL_DIR)) << "assimp-testmodels missing: run scripts/install-deps.sh";
        cResourcePath::get_instance()->add(MODEL_DIR);
        cResourcePath::get_instance()->add("../data/textures");  // the white stand-in map
        cStateManager* state = cStateManager::get_instance();
        state->set_defaults();
        state->set_lighting(false);  // coverage is the question, not shading
        state->set_depth_test(false);
        state->set_blend(false);
        state->set_cull(false);
    }

    // Pixels with any colour after drawing `mesh` orthographically, looking
    // down -z onto the box lo..hi, into a 64 x 64 target cleared to zero.
    static int covered_pixels(iMesh* mesh, const tBounds& lo, const tBounds& hi)
    {
        ScopedTarget target(64, 64);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const double depth = 2 * std::max(std::fabs(lo[2]), std::fabs(hi[2])) + 1;
        glOrtho(lo[0], hi[0], lo[1], hi[1], -depth, depth);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
        mesh->draw();
        const std::vector<uint8_t> px = target.pixels();
        int covered = 0;
        for (size_t i = 0; i < px.size(); i += 4)
            covered += (px[i] | px[i + 1] | px[i + 2] | px[i + 3]) != 0;
        return covered;
    }
};

TEST_F(RealModelTest, WellKnownModelsLoadTriangulateAndDraw)
{
    for (const cRealModel& model : MODELS) {
        SCOPED_TRACE(model.file);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        auto* mesh = dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get_mesh(model.file, false, false, false));
        testing::internal::GetCapturedStdout();
        const std::string log = testing::internal::GetCapturedStderr();
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->check(), "");
        EXPECT_EQ(mesh->indices.size(), 3 * model.triangles);
        EXPECT_EQ(mesh->groups.size(), model.groups + 1);
        EXPECT_EQ(mesh->flags, model.flags) << log;

        tBounds lo, hi;
        bounds(mesh->positions, lo, hi);
        for (int c = 0; c < 3; ++c) {
            EXPECT_FLOAT_EQ(lo[c], model.lo[c]) << c;
            EXPECT_FLOAT_EQ(hi[c], model.hi[c]) << c;
        }
        // Every normal, read or made, is a unit vector, or zero where the
        // file stores one so (spider.obj has a "vn 0 0 0").
        for (size_t i = 0; i < mesh->normals.size(); i += 3) {
            const double len = std::hypot(mesh->normals[i], mesh->normals[i + 1], mesh->normals[i + 2]);
            ASSERT_TRUE(len == 0 || std::fabs(len - 1) < 1e-3) << i << ": " << len;
        }

        while (glGetError() != GL_NO_ERROR) {
        }
        const int covered = covered_pixels(mesh, lo, hi);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_GT(covered, 64 * 64 / 8);
    }
}

TEST_F(RealModelTest, SpiderMaterialsFindTheirTexturesByWindowsPaths)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto* mesh = dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get_mesh("spider.obj", true, false, false));
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->gl_materials.size(), 5u);
    const char* const names[] = {"Skin", "Brusttex", "HLeibTex", "BeinTex", "Augentex"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(mesh->gl_materials[i].name, names[i]);
        EXPECT_NE(mesh->gl_materials[i].diffuse_map.target, 0u) << names[i];  // 2D or rectangle
        EXPECT_NE(mesh->gl_materials[i].diffuse_map.name, 0u) << names[i];
    }
    // The group order follows the material numbers: Skin, HLeibTex, BeinTex, Augentex.
    std::vector<int> used;
    for (const cMeshGroup& g : mesh->groups)
        used.push_back(g.material);
    EXPECT_EQ(used, (std::vector<int>{0, 2, 3, 4, -1}));
}
