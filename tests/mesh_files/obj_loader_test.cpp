#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "mesh_files/obj/obj_loader.h"
#include "support/files.h"

namespace {

class ObjLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = testing::TempDir() + "obj_" + testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) { return write_file(dir + name, text); }
    // Loads and triangulates; the error stream is kept in `err`.
    void load(cObjLoader& loader, const std::string& text)
    {
        const std::string path = write("model.obj", text);
        err = stderr_of([&] { out = stdout_of([&] { loader.load_file(path); loader.triangulate(); }); });
    }
    cMeshObj_data build(cObjLoader& loader)
    {
        cMeshObj_data mesh;
        err += stderr_of([&] { loader.build_mesh(mesh); });
        return mesh;
    }

    std::string dir, err, out;
};

const char* const QUAD_HEADER =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\n"
    "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n";

}  // namespace

TEST_F(ObjLoaderTest, VertexLinesAndLog)
{
    cObjLoader loader;
    load(loader, "v 1 2 3\nv 1 2 3 0.5\nvt 0.5 0.25 0\nvt 0.75\nvn 0 1 0\n# remark\n\n   \nv 1 2\nvn 1 0\n");
    EXPECT_EQ(loader.positions, (std::vector<float>{1, 2, 3, 1, 1, 2, 3, 0.5f, 1, 2, 0, 1}));
    EXPECT_EQ(loader.texcoords, (std::vector<float>{0.5f, 0.25f, 0.75f, 0}));
    EXPECT_EQ(loader.normals, (std::vector<float>{0, 1, 0, 1, 0, 0}));  // short records padded
    EXPECT_EQ(loader.flags, OBJ_TEXCOORDS | OBJ_NORMALS);
    EXPECT_EQ(err, "## error, 2 vertex-coordinates in line: 9\n## error, 2 normal-coordinates in line: 10\n");
    EXPECT_EQ(out, "-\ncObjLoader::load_file parsing " + dir + "model.obj ... done reading obj.\n-\n");
    EXPECT_EQ(loader.directory, dir);
}

TEST_F(ObjLoaderTest, FanTriangulation)
{
    cObjLoader loader;
    load(loader, std::string(QUAD_HEADER) + "f 1/1/1 2/2/2 3/3/3 4/4/4\nf 1/1/1 2/2/2 3/3/3 4/4/4 5/5/5\n");
    const std::vector<std::vector<uint32_t>> fan = {{0, 1, 2}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 2, 3}};
    ASSERT_EQ(loader.faces.size(), fan.size());
    for (size_t i = 0; i < fan.size(); ++i)
        EXPECT_EQ(loader.faces[i].v, fan[i]) << i;
    EXPECT_EQ(loader.faces[3].vt, (std::vector<uint32_t>{0, 3, 4}));
    EXPECT_EQ(loader.faces[3].vn, (std::vector<uint32_t>{0, 3, 4}));
    EXPECT_EQ(loader.flags & OBJ_POLYGONS, 0);
}

TEST_F(ObjLoaderTest, MalformedFacesAreDroppedAndAVaryingCornerFormStopsReading)
{
    cObjLoader loader;
    load(loader, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2\nf 1 2 3 4\nf a b c\n");
    EXPECT_EQ(err,
              "Malformed face. 2 vertices in face. Aborting triangulation\n"
              "Malformed face. 0 vertices in face. Aborting triangulation\n");
    ASSERT_EQ(loader.faces.size(), 2u);
    EXPECT_EQ(loader.faces[0].v, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(loader.faces[1].v, (std::vector<uint32_t>{0, 2, 3}));

    cObjLoader varying;
    load(varying, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2/2 3\nf 3 2 1\n");
    EXPECT_EQ(err, "## Error in line: 5 - varying number of elements in face-declaration. Skipping face...\n");
    ASSERT_EQ(varying.faces.size(), 1u);
    EXPECT_NE(out.find("done reading obj."), std::string::npos);
}

TEST_F(ObjLoaderTest, CornerFormsFollowWhatWasDeclared)
{
    cObjLoader loader;
    load(loader, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nvt 0.25 0.75\nvt 1 1\nvn 0 0 1\nf 1//1 2//1 3//1\n"
                 "f 1/2/1 2/2/1 3/2/1\nf -1/-1/-1 -2/1/1 -3/2/1\n");
    ASSERT_EQ(loader.faces.size(), 4u);
    EXPECT_TRUE(loader.faces[0].vt.empty());
    EXPECT_TRUE(loader.faces[1].vt.empty());  // empty texture parts
    EXPECT_EQ(loader.faces[1].vn, (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_EQ(loader.faces[2].vt, (std::vector<uint32_t>{1, 1, 1}));
    // Negative indices count back from the last element read.
    EXPECT_EQ(loader.faces[3].v, (std::vector<uint32_t>{2, 1, 0}));
    EXPECT_EQ(loader.faces[3].vt, (std::vector<uint32_t>{1, 0, 1}));

    const cMeshObj_data mesh = build(loader);
    // The first two faces have no texture index: their corners use the first.
    EXPECT_EQ(mesh.texcoords[2 * mesh.indices[0]], 0.25f);
    EXPECT_EQ(mesh.texcoords[2 * mesh.indices[3] + 1], 0.75f);
    EXPECT_EQ(mesh.texcoords[2 * mesh.indices[6] + 1], 1.0f);
    // The face read before any "vn" line gets smooth normals of its own.
    EXPECT_EQ(mesh.normals[3 * mesh.indices[0] + 2], 1.0f);
    EXPECT_EQ(mesh.check(), "");
}

TEST_F(ObjLoaderTest, VertexSplittingByNormalAndTexture)
{
    cObjLoader loader;
    load(loader, "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\nvn 0 0 -1\n"
                 "f 1/1/1 2/1/1 3/1/1\nf 2/1/1 4/1/1 3/1/1\nf 1/2/1 3/1/1 2/1/1\nf 1/1/2 3/1/1 2/1/1\n");
    const cMeshObj_data mesh = build(loader);
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 2, 4, 2, 1, 5, 2, 1}));
    EXPECT_EQ(mesh.vertex_count(), 6u);
    EXPECT_EQ(mesh.texcoords[2 * 4], 1.0f);
    EXPECT_EQ(mesh.normals[3 * 5 + 2], -1.0f);
    EXPECT_EQ(mesh.positions[3 * 5], 0.0f);
    EXPECT_EQ(mesh.flags, MESH_TEXCOORDS | MESH_NORMALS);
    EXPECT_EQ(mesh.groups, (std::vector<cMeshGroup>{{0, 0}, {12, -1}}));
    EXPECT_EQ(mesh.check(), "");
}

TEST_F(ObjLoaderTest, SmoothNormalsAreAreaWeightedPerPosition)
{
    cObjLoader loader;
    // A small triangle in the xy plane and a large one in the xz plane share
    // the edge from vertex 1 to vertex 2.
    load(loader, "v 0 0 0\nv 1 0 0\nv 0 0.1 0\nv 0 0 -10\nf 1 2 3\nf 1 2 4\n");
    const cMeshObj_data mesh = build(loader);
    EXPECT_EQ(err, "warning, created smooth normals...\n");
    EXPECT_EQ(mesh.flags, MESH_NORMALS);
    // Vertex 1 sees (0, 0, 0.1) and (0, 10, 0).
    const float len = std::sqrt(0.01f + 100.0f);
    EXPECT_NEAR(mesh.normals[1], 10 / len, 1e-6);
    EXPECT_NEAR(mesh.normals[2], 0.1f / len, 1e-6);
    EXPECT_NEAR(mesh.normals[3 * 2 + 2], 1.0f, 1e-6);  // vertex 3 only on the small one
    EXPECT_EQ(mesh.vertex_count(), 4u);
}

TEST_F(ObjLoaderTest, MaterialGroupsAreSortedByMaterial)
{
    write("lib.mtl", "newmtl red\nKd 1 0 0\nd 0.5\nnewmtl blue\nKd 0 0 1\n");
    cObjLoader loader;
    load(loader, "mtllib lib.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                 "f 1 2 3\nusemtl blue\nf 1 2 3\nf 2 3 1\nusemtl red\nf 3 1 2\nusemtl green\nf 1 3 2\n");
    EXPECT_EQ(err, "# WARNING: unknown material \"green\" in line 11\n");
    const cMeshObj_data mesh = build(loader);
    // Faces without a valid material join material 0's group.
    EXPECT_EQ(mesh.groups, (std::vector<cMeshGroup>{{0, 0}, {9, 1}, {15, -1}}));
    EXPECT_EQ(mesh.indices.size(), 15u);
    EXPECT_EQ(mesh.indices[3], 2u);  // second in group 0: the "red" face 3 1 2
    EXPECT_EQ(mesh.indices[6], 0u);  // third: the face of the unknown material
    EXPECT_EQ(mesh.indices[9], 0u);  // group 1 keeps file order: 1 2 3 first
    EXPECT_EQ(mesh.flags & MESH_GROUPS, MESH_GROUPS);
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].Kd, (tRGBA{1, 0, 0, 0.5f}));  // opacity in alpha
    EXPECT_EQ(mesh.materials[1].name, "blue");
    EXPECT_EQ(mesh.check(), "");
}

TEST_F(ObjLoaderTest, UnusableMaterialsAndUnsupportedTokensAreReportedAndSkipped)
{
    cObjLoader loader;
    load(loader, "usemtl red\nmtllib nothere.mtl other.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(err,
              "# warning: No materials defined! \"usemtl red\" illegal in line 1... skipped!\n"
              "## ERROR: Couldn't open " + dir + "nothere.mtl\n"
              "## ERROR: Couldn't open " + dir + "other.mtl\n");
    EXPECT_EQ(loader.faces[0].material, -1);
    const cMeshObj_data mesh = build(loader);
    EXPECT_EQ(mesh.flags & MESH_GROUPS, 0);
    EXPECT_EQ(mesh.groups, (std::vector<cMeshGroup>{{0, 0}, {3, -1}}));

    cObjLoader tokens;
    load(tokens, "vp 1\np 1\nl 1 2\ncurv 0 1\ncurv2 1\nsurf 0\ng group\ns 1\nfoo\n#x\n");
    EXPECT_EQ(err,
              "# warning, \"vp\" in line 1 not supported... skipped!\n"
              "TOK_P\nTOK_L\n"
              "# warning: \"curv\" in line 4 not supported... skipped!\n"
              "# warning: \"curv2\" in line 5 not supported... skipped!\n"
              "# warning: \"surf\" in line 6 not supported... skipped!\n"
              "# warning: \"g\" in line 7 not supported... skipped!\n"
              "# warning: \"s\" in line 8 not supported... skipped!\n"
              "# warning, unknown token: \"foo\" in line 9... skipped!\n"
              "# warning, unknown token: \"#x\" in line 10... skipped!\n");
}

TEST_F(ObjLoaderTest, FatalFileProblems)
{
    const std::string missing_slash_vt = write("a.obj", "v 0 0 0\nvt 0 0\nf 1 1 1\n");
    const std::string missing_slash_vn = write("b.obj", "v 0 0 0\nvn 0 0 1\nf 1 1 1\n");
    const std::string missing_second = write("c.obj", "v 0 0 0\nvn 0 0 1\nf 1/1 1/1 1/1\n");
    const std::string missing_second_vt = write("d.obj", "v 0 0 0\nvt 0 0\nvn 0 0 1\n\nf 1/1 1/1 1/1\n");
    cObjLoader loader;
    EXPECT_EXIT(loader.load_file(missing_slash_vt), testing::ExitedWithCode(255),
                "## ERROR in ../src/mesh_files/obj/cObjLoader, line #162, missing / in line: 3\n");
    EXPECT_EXIT(loader.load_file(missing_slash_vn), testing::ExitedWithCode(255), "line #172, missing / in line: 3\n");
    EXPECT_EXIT(loader.load_file(missing_second), testing::ExitedWithCode(255), "line #178, missing / in line: 3\n");
    EXPECT_EXIT(loader.load_file(missing_second_vt), testing::ExitedWithCode(255), "line #178, missing / in line: 5\n");
    EXPECT_EXIT(loader.load_file(dir + "absent.obj"), testing::ExitedWithCode(255),
                "^## ERROR in ../src/mesh_files/obj/cObjLoader line 56: file was not found in path: " + dir +
                    "absent.obj\n$");
    cMeshObj_data mesh;
    EXPECT_EXIT(obj_load_by_name("no_such_model.obj", mesh), testing::ExitedWithCode(255),
                "^# ERROR - couldn't find no_such_model.obj from ObjLoader::create\n"
                "## ERROR in ../src/mesh_files/obj/cObjLoader line 56: file was not found in path: \n$");
}

TEST_F(ObjLoaderTest, IndicesPastTheDataEndTheProcess)
{
    for (const char* text : {"v 0 0 0\nv 1 0 0\nf 1 2 3\n", "v 0 0 0\nv 1 0 0\nf 0 1 2\n",
                             "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//2 3//1\n",
                             "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/-2 3/1\n"}) {
        cObjLoader loader;
        load(loader, text);
        cMeshObj_data mesh;
        EXPECT_EXIT(loader.build_mesh(mesh), testing::ExitedWithCode(255), "refers to a missing") << text;
    }
}

// The exits of the file entry points are checked above; the polygon check of
// the normal smoothing reports before it ends the process.
TEST_F(ObjLoaderTest, MalformedPolygonIsReportedBeforeSmoothingEndsTheProcess)
{
    cObjLoader loader;
    std::istringstream two_vertices("v 0 0 0\nv 1 0 0\n");
    ASSERT_TRUE(loader.parse(two_vertices).ok());
    loader.faces = {cObjFace{{0, 1}, {}, {}, -1}};  // a face of two corners
    EXPECT_EQ(loader.make_smooth_normals().message, "Malformed polygon in cObjLoader::smooth_normals - exiting!");
    EXPECT_EXIT(loader.smooth_normals(), testing::ExitedWithCode(255), "^Malformed polygon in cObjLoader");
}
