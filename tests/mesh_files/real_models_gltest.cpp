// A well-known OBJ test model from outside the project (Debian's
// assimp-testmodels, installed by scripts/install-deps.sh): MilkShape's
// spider, with "g" and "s" lines, a "vn 0 0 0" and textured materials named
// by Windows paths, read through the mesh cache and then drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "mesh_files/mesh_manager.h"
#include "resource_path.h"
#include "state_manager.h"
#include "support/shader_support.h"

TEST_F(ShaderTest, SpiderModelLoadsWithItsTexturesAndDraws)
{
    const char* const dir = "/usr/share/assimp/models/OBJ/";
    ASSERT_TRUE(std::filesystem::exists(dir)) << "assimp-testmodels missing: run scripts/install-deps.sh";
    cResourcePath::get_instance()->add(dir);
    cResourcePath::get_instance()->add("../data/textures");  // the white stand-in map
    cStateManager* state = cStateManager::get_instance();
    state->set_defaults();
    state->set_lighting(false);
    state->set_depth_test(false);
    state->set_blend(false);
    state->set_cull(false);

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto* mesh = dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get_mesh("spider.obj", false, false, false));
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->check(), "");
    EXPECT_EQ(mesh->indices.size(), 3u * 1368);
    EXPECT_EQ(mesh->flags, MESH_TEXCOORDS | MESH_NORMALS | MESH_GROUPS);
    for (size_t i = 0; i < mesh->normals.size(); i += 3) {
        const double len = std::hypot(mesh->normals[i], mesh->normals[i + 1], mesh->normals[i + 2]);
        ASSERT_TRUE(len == 0 || std::fabs(len - 1) < 1e-3) << i << ": " << len;
    }

    ASSERT_EQ(mesh->gl_materials.size(), 5u);
    const char* const names[] = {"Skin", "Brusttex", "HLeibTex", "BeinTex", "Augentex"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(mesh->gl_materials[i].name, names[i]);
        EXPECT_NE(mesh->gl_materials[i].diffuse_map.name, 0u) << names[i];
    }
    // The group order follows the material numbers: Skin, HLeibTex, BeinTex, Augentex.
    std::vector<int> used;
    for (const cMeshGroup& g : mesh->groups)
        used.push_back(g.material);
    EXPECT_EQ(used, (std::vector<int>{0, 2, 3, 4, -1}));

    // Drawn orthographically over its bounds, it covers a good part of the target.
    ScopedTarget target(64, 64);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-92.66, 57.94, -42.24, 37.51, -250, 250);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
    mesh->draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const std::vector<uint8_t> px = target.pixels();
    int covered = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        covered += (px[i] | px[i + 1] | px[i + 2] | px[i + 3]) != 0;
    EXPECT_GT(covered, 64 * 64 / 8);
}
