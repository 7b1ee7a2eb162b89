#include <gtest/gtest.h>
#include <zlib.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <random>

#include "mesh_files/bzobj.h"
#include "resource_path.h"

namespace {

// Little-endian byte builder for hand-made blocks.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(uint8_t v)
    {
        b.push_back(v);
        return *this;
    }
    Bytes& u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Bytes& f32(float v) { return u32(std::bit_cast<uint32_t>(v)); }
    Bytes& text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

std::vector<uint8_t> pack(const std::vector<uint8_t>& block, uint32_t stored_size)
{
    uLongf len = compressBound(block.size());
    std::vector<uint8_t> z(len);
    compress(z.data(), &len, block.data(), block.size());
    Bytes file;
    file.u32(stored_size).u32(uint32_t(len));
    file.b.insert(file.b.end(), z.begin(), z.begin() + len);
    return file.b;
}

// flags 0, V vertices at (i, 0, 0), given planes and group starts.
Bytes block_header(uint8_t flags, uint32_t V, uint32_t T, int32_t M)
{
    Bytes b;
    b.u8(flags).u32(V).u32(T).u32(uint32_t(M));
    for (uint32_t i = 0; i < V; ++i)
        b.f32(float(i)).f32(0).f32(0);
    return b;
}

cMaterial material(const std::string& name, float d)
{
    cMaterial m(name);
    m.map_Kd = name + "_diffuse.png";
    m.bump = "bump.png";
    m.Ka = {0.1f, 0.2f, 0.3f, d};
    m.Kd = {1, 0, 0, d};
    m.Ks = {0.5f, 0.5f, 0.5f, d};
    m.emission = {0, 0, 0, d};
    m.Ns = 32;
    m.illum = 2;
    m.d = d;
    m.Ni = 1.5f;
    return m;
}

void expect_same_material(const cMaterial& a, const cMaterial& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.map_Ka, b.map_Ka);
    EXPECT_EQ(a.map_Kd, b.map_Kd);
    EXPECT_EQ(a.map_Ks, b.map_Ks);
    EXPECT_EQ(a.bump, b.bump);
    EXPECT_EQ(a.map_d, b.map_d);
    EXPECT_EQ(a.emission, b.emission);
    EXPECT_EQ(a.Ka, b.Ka);
    EXPECT_EQ(a.Kd, b.Kd);
    EXPECT_EQ(a.Ks, b.Ks);
    EXPECT_EQ(a.Ns, b.Ns);
    EXPECT_EQ(a.illum, b.illum);
    EXPECT_EQ(a.d, b.d);
    EXPECT_EQ(a.Ni, b.Ni);
}

cMeshObj_data sample_mesh()
{
    cMeshObj_data mesh;
    mesh.flags = MESH_TEXCOORDS | MESH_NORMALS | MESH_GROUPS;
    for (int v = 0; v < 12; ++v) {
        mesh.positions.insert(mesh.positions.end(), {float(v), float(v * v) * 0.5f, -float(v)});
        mesh.normals.insert(mesh.normals.end(), {0, 1, 0});
        mesh.texcoords.insert(mesh.texcoords.end(), {float(v) / 12, 1 - float(v) / 12});
    }
    mesh.indices = {0, 1, 2, 11, 10, 9, 3, 4, 5, 5, 4, 3, 6, 7, 8, 0, 11, 6};
    mesh.groups = {{0, 0}, {6, 1}, {15, 0}, {18, -1}};
    mesh.materials = {material("red", 0.75f), material("green", 1.0f)};
    return mesh;
}

cMeshObj_data decode(const std::vector<uint8_t>& file, cBzObjStatus* status = nullptr)
{
    cMeshObj_data mesh;
    const cBzObjStatus s = bobj_decode(file.data(), file.size(), mesh);
    if (status)
        *status = s;
    return mesh;
}

}  // namespace

TEST(BzObj, RoundTripKeepsEverything)
{
    const cMeshObj_data mesh = sample_mesh();
    std::string error;
    const std::vector<uint8_t> file = bobj_encode(mesh, error);
    ASSERT_EQ(error, "");
    cBzObjStatus status;
    const cMeshObj_data back = decode(file, &status);
    ASSERT_EQ(status.exit_code, 0) << status.message;
    EXPECT_EQ(back.flags, mesh.flags);
    EXPECT_EQ(back.positions, mesh.positions);
    EXPECT_EQ(back.normals, mesh.normals);
    EXPECT_EQ(back.texcoords, mesh.texcoords);
    EXPECT_EQ(back.indices, mesh.indices);
    // Records come back in group order: the third group reuses "red".
    EXPECT_EQ(back.groups, (std::vector<cMeshGroup>{{0, 0}, {6, 1}, {15, 2}, {18, -1}}));
    ASSERT_EQ(back.materials.size(), 3u);
    expect_same_material(back.materials[0], mesh.materials[0]);
    expect_same_material(back.materials[1], mesh.materials[1]);
    expect_same_material(back.materials[2], mesh.materials[0]);
}

TEST(BzObj, RoundTripThroughAFileWithoutOptionalArrays)
{
    cMeshObj_data mesh;
    mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    mesh.indices = {2, 1, 0};
    const std::string path = testing::TempDir() + "plain.bzobj";
    ASSERT_TRUE(bobj_save_compressed(path, mesh));
    cMeshObj_data back;
    bobj_load_compressed(path, back);
    EXPECT_EQ(back.flags, 0);
    EXPECT_EQ(back.positions, mesh.positions);
    EXPECT_TRUE(back.normals.empty());
    EXPECT_TRUE(back.texcoords.empty());
    EXPECT_EQ(back.indices, mesh.indices);
    EXPECT_EQ(back.groups, (std::vector<cMeshGroup>{{0, 0}, {3, -1}}));
    std::filesystem::remove(path);
}

TEST(BzObj, HandMadeBlockLayout)
{
    // Flags 0: the index planes follow the positions directly.
    Bytes b = block_header(MESH_GROUPS, 6, 4, 2);
    for (uint32_t v : {0u, 3u, 0u, 0u}) b.u32(v);      // P0
    for (uint32_t v : {1u, 3u, 0u, 0u}) b.u32(v);      // P1
    for (uint32_t v : {2u, 3u, 0u, 0u}) b.u32(v);      // P2
    for (uint32_t v : {77u, 0u, 1u, 0u}) b.u32(v);     // group starts
    b.u8(3).u8(0).u8(7).u8(0).u8(0).u8(0).text("abc").text(std::string("kd.png\0", 7));
    for (float f : {0.1f, 0.2f, 0.3f, 9.f, 1.f, 1.f, 1.f, 9.f, 0.f, 0.f, 0.f, 9.f}) b.f32(f);
    b.f32(16).u32(4).f32(0.5f).f32(1.2f);
    b.u8(1).u8(0).u8(0).u8(0).u8(0).u8(0).text("z");
    for (int i = 0; i < 16; ++i) b.f32(0);

    cBzObjStatus s;
    const cMeshObj_data mesh = decode(pack(b.b, uint32_t(b.b.size())), &s);
    ASSERT_EQ(s.exit_code, 0) << s.message;
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 3, 4, 5, 3, 4, 5}));
    EXPECT_EQ(mesh.groups, (std::vector<cMeshGroup>{{0, 0}, {6, 1}, {12, -1}}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    const cMaterial& m = mesh.materials[0];
    EXPECT_EQ(m.name, "abc");
    EXPECT_EQ(m.map_Kd, "kd.png");  // stops at the stored zero byte
    EXPECT_EQ(m.illum, 4);
    EXPECT_FLOAT_EQ(m.Ns, 16);
    EXPECT_FLOAT_EQ(m.Ni, 1.2f);
    // The opacity replaces every alpha; the emission is black.
    EXPECT_EQ(m.Ka, (tRGBA{0.1f, 0.2f, 0.3f, 0.5f}));
    EXPECT_EQ(m.Kd, (tRGBA{1, 1, 1, 0.5f}));
    EXPECT_EQ(m.emission, (tRGBA{0, 0, 0, 0.5f}));
    EXPECT_EQ(mesh.materials[1].name, "z");
}

TEST(BzObj, IndexPlanesWrapAround)
{
    Bytes b = block_header(0, 3, 2, 0);
    for (uint32_t v : {2u, 0xFFFFFFFEu}) b.u32(v);
    for (uint32_t v : {1u, 1u}) b.u32(v);
    for (uint32_t v : {0u, 0u}) b.u32(v);
    b.u32(0).u32(0);
    cMeshObj_data mesh;
    ASSERT_EQ(bobj_parse_block(b.b.data(), b.b.size(), mesh).exit_code, 0);
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{2, 1, 0, 0, 2, 0}));
}

TEST(BzObj, MalformedBlocksAreReportedNotTrusted)
{
    struct Case {
        const char* what;
        Bytes block;
    };
    auto planes = [](Bytes b, uint32_t index) {
        b.u32(0).u32(1).u32(index).u32(0);
        return b;
    };
    std::vector<Case> cases = {
        {"short header", Bytes().u8(0).u32(3)},
        {"no triangles", planes(block_header(0, 3, 0, 0), 2)},
        {"negative material count", planes(block_header(0, 3, 1, -1), 2)},
        {"vertex count beyond the block", planes(block_header(0, 3, 1, 0), 2).u32(0)},
        {"index past the vertices", planes(block_header(0, 3, 1, 0), 3)},
        {"more groups than materials", planes(block_header(MESH_GROUPS, 3, 1, 0), 2)},
    };
    cases[3].block.b[1] = 200;  // V = 200 with only 3 vertices stored
    Bytes negative = planes(block_header(0, 3, 1, 1), 2);
    negative.u8(0xFF).u8(0).u8(0).u8(0).u8(0).u8(0);
    for (int i = 0; i < 16; ++i) negative.f32(0);
    cases.push_back({"negative string length", negative});
    Bytes cut = planes(block_header(0, 3, 1, 1), 2);
    cut.u8(5).u8(0).u8(0).u8(0).u8(0).u8(0).text("abc");
    cases.push_back({"material record cut short", cut});

    for (Case& c : cases) {
        cMeshObj_data mesh;
        mesh.positions = {1, 2, 3};
        const cBzObjStatus s = bobj_parse_block(c.block.b.data(), c.block.b.size(), mesh);
        EXPECT_EQ(s.exit_code, -1) << c.what;
        EXPECT_FALSE(s.message.empty()) << c.what;
        EXPECT_TRUE(mesh.positions.empty()) << c.what;
    }
}

TEST(BzObj, FileHeaderProblems)
{
    std::string error;
    const std::vector<uint8_t> good = bobj_encode(sample_mesh(), error);
    cBzObjStatus s;

    for (size_t cut : {size_t(0), size_t(5), size_t(8), good.size() / 2, good.size() - 1}) {
        decode(std::vector<uint8_t>(good.begin(), good.begin() + cut), &s);
        EXPECT_EQ(s.exit_code, -1) << "cut at " << cut;
        EXPECT_EQ(s.message, "file is truncated");
    }

    std::vector<uint8_t> small = good;
    small[0] = 10, small[1] = small[2] = small[3] = 0;  // U below the inflated size
    decode(small, &s);
    EXPECT_EQ(s.exit_code, 1);
    EXPECT_EQ(s.zlib_code, Z_BUF_ERROR);

    std::vector<uint8_t> huge = good;
    huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;  // U far beyond what Z can hold
    EXPECT_EQ(decode(huge, &s).indices.size(), 18u);
    EXPECT_EQ(s.exit_code, 0);

    std::vector<uint8_t> garbage = good;
    garbage[8] ^= 0xFF;
    decode(garbage, &s);
    EXPECT_EQ(s.exit_code, 1);
    EXPECT_EQ(s.zlib_code, Z_DATA_ERROR);

    std::vector<uint8_t> trailing = good;
    trailing.insert(trailing.end(), {1, 2, 3});
    decode(trailing, &s);
    EXPECT_EQ(s.exit_code, 0);
}

TEST(BzObj, RandomCorruptionsNeverCrash)
{
    std::string error;
    const std::vector<uint8_t> file = bobj_encode(sample_mesh(), error);
    cMeshObj_data plain = sample_mesh();
    plain.flags = MESH_GROUPS;
    const std::vector<uint8_t> plain_file = bobj_encode(plain, error);
    std::vector<uint8_t> block(8192);
    uLongf block_len = block.size();
    ASSERT_EQ(uncompress(block.data(), &block_len, file.data() + 8, file.size() - 8), Z_OK);
    block.resize(block_len);

    std::mt19937 rng(4711);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = round % 3 == 0 ? file : (round % 3 == 1 ? block : plain_file);
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 3) {
            case 0: bytes[at] = uint8_t(rng()); break;
            case 1: bytes[at] ^= uint8_t(1u << (rng() % 8)); break;
            default: bytes.resize(at); break;
            }
            if (bytes.empty())
                break;
        }
        cMeshObj_data mesh;
        const cBzObjStatus s = round % 3 == 1 ? bobj_parse_block(bytes.data(), bytes.size(), mesh)
                                              : bobj_decode(bytes.data(), bytes.size(), mesh);
        if (s.exit_code == 0) {
            ++accepted;
            EXPECT_EQ(mesh.check(), "");
        } else {
            EXPECT_TRUE(mesh.positions.empty() && mesh.indices.empty());
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(BzObj, WriterRefusesWhatItCannotStore)
{
    std::string error;
    cMeshObj_data empty;
    EXPECT_TRUE(bobj_encode(empty, error).empty());
    EXPECT_EQ(error, "mesh has no triangles");

    cMeshObj_data mesh = sample_mesh();
    mesh.groups[1].first_index = 7;
    EXPECT_TRUE(bobj_encode(mesh, error).empty());
    EXPECT_NE(error, "");

    mesh = sample_mesh();
    mesh.materials[1].name = std::string(128, 'x');
    EXPECT_TRUE(bobj_encode(mesh, error).empty());

    mesh = sample_mesh();
    mesh.indices.push_back(40);
    mesh.indices.push_back(0);
    mesh.indices.push_back(0);
    mesh.groups.back().first_index = 21;
    EXPECT_TRUE(bobj_encode(mesh, error).empty());
    EXPECT_NE(error.find("missing vertex"), std::string::npos);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(bobj_save_compressed(testing::TempDir() + "never.bzobj", empty));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "# ERROR writing " + testing::TempDir() + "never.bzobj in bobj_save_compressed: mesh has no triangles\n");
    EXPECT_FALSE(std::filesystem::exists(testing::TempDir() + "never.bzobj"));
}

TEST(BzObjDeathTest, UnreadableFilesEndTheProcess)
{
    const std::string dir = testing::TempDir();
    cMeshObj_data mesh;
    EXPECT_EXIT(bobj_load_compressed(dir + "missing.bzobj", mesh), testing::ExitedWithCode(255),
                "^# ERROR opening file " + dir + "missing.bzobj in bobj_load_compressed\n$");
    EXPECT_EXIT(bobj_load_by_name("nowhere_to_be_found.bzobj", mesh), testing::ExitedWithCode(255),
                "^# ERROR - couldn't find nowhere_to_be_found.bzobj from BzObjLoader::create\n"
                "# ERROR opening file  in bobj_load_compressed\n$");

    std::string error;
    std::vector<uint8_t> file = bobj_encode(sample_mesh(), error);
    file[0] = 4, file[1] = file[2] = file[3] = 0;
    std::ofstream(dir + "small.bzobj", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    EXPECT_EXIT(bobj_load_compressed(dir + "small.bzobj", mesh), testing::ExitedWithCode(1),
                "^# warning: zlib caused an error: -5\n$");

    std::ofstream(dir + "cut.bzobj", std::ios::binary).write(reinterpret_cast<const char*>(file.data()), 20);
    EXPECT_EXIT(bobj_load_compressed(dir + "cut.bzobj", mesh), testing::ExitedWithCode(255),
                "^# ERROR invalid file " + dir + "cut.bzobj in bobj_load_compressed: file is truncated\n$");
}
