// Every model of the generated data tree through the program's mesh cache:
// read, uploaded with its materials' textures, drawn once without a GL
// error and with fragments on screen.
#include "support/gl_context.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "gl.h"
#include "mesh_files/mesh_manager.h"
#include "resource_path.h"
#include "support/shader_support.h"

namespace fs = std::filesystem;

namespace {

fs::path models_dir()
{
    return fs::path(executable_dir()) / ".." / "data" / "models";
}

class DatagenMeshTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        cResourcePath* paths = cResourcePath::get_instance();
        paths->add(models_dir().string());
        paths->add((models_dir() / "title").string());
        paths->add((models_dir() / ".." / "textures").string());
    }
};

// Model-view and projection that put the mesh's bounding sphere in view,
// seen along a skew axis so that no flat model lies edge-on.
void frame_mesh(const cMeshObj& mesh)
{
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        lo[i % 3] = std::min(lo[i % 3], mesh.positions[i]);
        hi[i % 3] = std::max(hi[i % 3], mesh.positions[i]);
    }
    float r2 = 0;
    for (int a = 0; a < 3; ++a)
        r2 += (hi[a] - lo[a]) * (hi[a] - lo[a]) / 4;
    const double r = std::max(std::sqrt(r2), 1e-3f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-r, r, -r, r, -r, r);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(37, 1, 0, 0);
    glRotatef(23, 0, 1, 0);
    glTranslatef(-(lo[0] + hi[0]) / 2, -(lo[1] + hi[1]) / 2, -(lo[2] + hi[2]) / 2);
}

}  // namespace

TEST_F(DatagenMeshTest, EveryGeneratedModelLoadsUploadsAndDraws)
{
    std::set<std::string> names;  // base names, sorted for a stable order
    for (const auto& entry : fs::recursive_directory_iterator(models_dir()))
        if (entry.path().extension() == ".bzobj")
            names.insert(entry.path().filename().string());
    // The scenes' meshes, the title card in its own directory and the folds.
    for (const char* needed : {"spikeball2.bzobj", "greetings_bg_03.bzobj", "intro_logo.bzobj", "plane_dual_mirror.bzobj"})
        EXPECT_EQ(names.count(needed), 1u) << needed;
    EXPECT_GE(names.size(), 20u);

    GLuint query = 0;
    glGenQueries(1, &query);
    for (const std::string& name : names) {
        // CPU copies kept: the bounds frame the view.
        auto* mesh = dynamic_cast<cMeshObj*>(cMeshManager::get_instance()->get_mesh(name, false, false, false));
        ASSERT_NE(mesh, nullptr) << name;
        EXPECT_GT(mesh->indices.size(), 0u) << name;
        EXPECT_LT(mesh->indices.size() / 3, 200000u) << name << ": over the triangle budget";
        ScopedTarget target(64, 64);
        frame_mesh(*mesh);
        glBeginQuery(GL_SAMPLES_PASSED, query);
        mesh->draw();
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        EXPECT_GT(samples, 0u) << name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    }
    glDeleteQueries(1, &query);
}
