#include <gtest/gtest.h>
#include <zlib.h>

#include <bit>
#include <filesystem>
#include <random>

#include "mesh_files/bzobj.h"
#include "support/files.h"

namespace {

// Little-endian byte builder for hand-made blocks.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(std::initializer_list<uint8_t> v)
    {
        b.insert(b.end(), v);
        return *this;
    }
    Bytes& u32(std::initializer_list<uint32_t> values)
    {
        for (uint32_t v : values)
            for (int i = 0; i < 4; ++i)
                b.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Bytes& f32(std::initializer_list<float> values)
    {
        for (float v : values)
            u32({std::bit_cast<uint32_t>(v)});
        return *this;
    }
    Bytes& text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

std::vector<uint8_t> pack(const std::vector<uint8_t>& block)
{
    uLongf len = compressBound(block.size());
    std::vector<uint8_t> z(len);
    compress(z.data(), &len, block.data(), block.size());
    Bytes file;
    file.u32({uint32_t(block.size()), uint32_t(len)});
    file.b.insert(file.b.end(), z.begin(), z.begin() + len);
    return file.b;
}

// Header and V positions at (i, 0, 0).
Bytes block_header(uint8_t flags, uint32_t V, uint32_t T, int32_t M)
{
    Bytes b;
    b.u8({flags}).u32({V, T, uint32_t(M)});
    for (uint32_t i = 0; i < V; ++i)
        b.f32({float(i), 0, 0});
    return b;
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
    for (const char* name : {"red", "green"}) {
        cMaterial m(name);
        m.map_Kd = std::string(name) + ".png";
        m.bump = "bump.png";
        m.Ka = {0.1f, 0.2f, 0.3f, 0.75f};
        m.Kd = {1, 0, 0, 0.75f};
        m.Ks = {0.5f, 0.5f, 0.5f, 0.75f};
        m.emission = {0, 0, 0, 0.75f};
        m.Ns = 32;
        m.illum = 2;
        m.d = 0.75f;
        m.Ni = 1.5f;
        mesh.materials.push_back(m);
    }
    return mesh;
}

std::vector<uint8_t> sample_file()
{
    std::string error;
    return bobj_encode(sample_mesh(), error);
}

cBzObjStatus decode(const std::vector<uint8_t>& file, cMeshObj_data& mesh)
{
    return bobj_decode(file.data(), file.size(), mesh);
}

}  // namespace

TEST(BzObj, RoundTripKeepsEverything)
{
    const cMeshObj_data mesh = sample_mesh();
    cMeshObj_data back;
    const cBzObjStatus s = decode(sample_file(), back);
    ASSERT_EQ(s.exit_code, 0) << s.message;
    EXPECT_EQ(back.flags, mesh.flags);
    EXPECT_EQ(back.positions, mesh.positions);
    EXPECT_EQ(back.normals, mesh.normals);
    EXPECT_EQ(back.texcoords, mesh.texcoords);
    EXPECT_EQ(back.indices, mesh.indices);
    // Records come back in group order: the third group reuses "red".
    EXPECT_EQ(back.groups, (std::vector<cMeshGroup>{{0, 0}, {6, 1}, {15, 2}, {18, -1}}));
    ASSERT_EQ(back.materials.size(), 3u);
    for (int i : {0, 1, 2}) {
        const cMaterial &a = back.materials[i], &b = mesh.materials[i % 2];
        EXPECT_EQ(std::tie(a.name, a.map_Ka, a.map_Kd, a.map_Ks, a.bump, a.map_d),
                  std::tie(b.name, b.map_Ka, b.map_Kd, b.map_Ks, b.bump, b.map_d));
        EXPECT_EQ(std::tie(a.emission, a.Ka, a.Kd, a.Ks, a.Ns, a.illum, a.d, a.Ni),
                  std::tie(b.emission, b.Ka, b.Kd, b.Ks, b.Ns, b.illum, b.d, b.Ni));
    }
}

TEST(BzObj, HandMadeBlockLayout)
{
    // Flags without arrays: the index planes follow the positions directly.
    Bytes b = block_header(MESH_GROUPS, 6, 4, 2);
    b.u32({0, 3, 0, 0xFFFFFFFD}).u32({1, 3, 0, 0}).u32({2, 3, 0, 0});  // planes P0, P1, P2 (wrapping)
    b.u32({77, 0, 1, 0});                                              // group starts
    b.u8({3, 0, 7, 0, 0, 0}).text("abc").text(std::string("kd.png\0", 7));
    b.f32({0.1f, 0.2f, 0.3f, 9, 1, 1, 1, 9, 0, 0, 0, 9, 16}).u32({4}).f32({0.5f, 1.2f});
    b.u8({1, 0, 0, 0, 0, 0}).text("z").f32({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

    cMeshObj_data mesh;
    const cBzObjStatus s = decode(pack(b.b), mesh);
    ASSERT_EQ(s.exit_code, 0) << s.message;
    EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 3, 4, 5, 0, 4, 5}));
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
    EXPECT_EQ(m.emission, (tRGBA{0, 0, 0, 0.5f}));
    EXPECT_EQ(mesh.materials[1].name, "z");
}

TEST(BzObj, MalformedBlocksAreReportedNotTrusted)
{
    auto one_triangle = [](uint8_t flags, uint32_t V, int32_t M, uint32_t index) {
        Bytes b = block_header(flags, V, 1, M);
        return b.u32({0, 1, index, 0});
    };
    std::vector<std::pair<const char*, Bytes>> cases = {
        {"short header", Bytes().u8({0}).u32({3})},
        {"no triangles", block_header(0, 3, 0, 0).u32({0, 1, 2, 0})},
        {"negative material count", one_triangle(0, 3, -1, 2)},
        {"vertex count beyond the block", one_triangle(MESH_NORMALS, 3, 0, 2)},
        {"index past the vertices", one_triangle(0, 3, 0, 3)},
        {"more groups than materials", one_triangle(MESH_GROUPS, 3, 0, 2)},
        {"negative string length", one_triangle(0, 3, 1, 2).u8({0xFF, 0, 0, 0, 0, 0})},
        {"material record cut short", one_triangle(0, 3, 1, 2).u8({5, 0, 0, 0, 0, 0}).text("abc")},
    };
    cases.back().second.f32({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // one byte short of 64 + 5
    for (auto& [what, block] : cases) {
        cMeshObj_data mesh;
        mesh.positions = {1, 2, 3};
        const cBzObjStatus s = bobj_parse_block(block.b.data(), block.b.size(), mesh);
        EXPECT_EQ(s.exit_code, -1) << what;
        EXPECT_FALSE(s.message.empty()) << what;
        EXPECT_TRUE(mesh.positions.empty()) << what;
    }
}

// A block whose float arrays are empty (found by fuzzing): copying zero
// floats into an empty vector passed a null pointer to memcpy, which the
// sanitized test run reports.
TEST(BzObj, EmptyFloatArraysAreNotCopied)
{
    const uint8_t block[] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0x00, 0x00, 0x4e, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02};
    cMeshObj_data mesh;
    bobj_parse_block(block, sizeof block, mesh);
    EXPECT_TRUE(mesh.positions.empty());
}

TEST(BzObj, FileHeaderProblems)
{
    const std::vector<uint8_t> good = sample_file();
    cMeshObj_data mesh;
    for (size_t cut : {size_t(0), size_t(5), size_t(8), good.size() - 1}) {
        const cBzObjStatus s = decode(std::vector<uint8_t>(good.begin(), good.begin() + cut), mesh);
        EXPECT_EQ(s.message, "file is truncated") << "cut at " << cut;
    }
    auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + at);
        return decode(f, mesh);
    };
    const cBzObjStatus small = with(0, {10, 0, 0, 0});  // U below the inflated size
    EXPECT_EQ(std::tie(small.exit_code, small.zlib_code), std::make_tuple(1, Z_BUF_ERROR));
    const cBzObjStatus huge = with(0, {0xFF, 0xFF, 0xFF, 0xFF});  // U beyond what Z can inflate to
    EXPECT_EQ(huge.exit_code, 0);
    EXPECT_EQ(mesh.indices.size(), 18u);
    const cBzObjStatus garbage = with(8, {0x00, 0x00});
    EXPECT_EQ(std::tie(garbage.exit_code, garbage.zlib_code), std::make_tuple(1, Z_DATA_ERROR));
}

TEST(BzObj, RandomCorruptionsNeverCrash)
{
    const std::vector<uint8_t> file = sample_file();
    std::vector<uint8_t> block(8192);
    uLongf block_len = block.size();
    ASSERT_EQ(uncompress(block.data(), &block_len, file.data() + 8, file.size() - 8), Z_OK);
    block.resize(block_len);

    std::mt19937 rng(4711);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        const bool whole_file = round % 4 == 0;
        std::vector<uint8_t> bytes = whole_file ? file : block;
        for (int e = 1 + int(rng() % 4); e > 0 && !bytes.empty(); --e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 3) {
            case 0: bytes[at] = uint8_t(rng()); break;
            case 1: bytes[at] ^= uint8_t(1u << (rng() % 8)); break;
            default: bytes.resize(at); break;
            }
        }
        cMeshObj_data mesh;
        const cBzObjStatus s = whole_file ? bobj_decode(bytes.data(), bytes.size(), mesh)
                                          : bobj_parse_block(bytes.data(), bytes.size(), mesh);
        accepted += s.exit_code == 0;
        EXPECT_EQ(mesh.check(), "");
        EXPECT_TRUE(s.exit_code == 0 || mesh.indices.empty());
    }
    EXPECT_GT(accepted, 0);
}

TEST(BzObj, WriterRefusesWhatItCannotStore)
{
    std::string error;
    cMeshObj_data mesh = sample_mesh();
    mesh.groups[1].first_index = 7;
    EXPECT_TRUE(bobj_encode(mesh, error).empty());
    EXPECT_NE(error, "");
    mesh = sample_mesh();
    mesh.materials[1].name = std::string(128, 'x');
    EXPECT_TRUE(bobj_encode(mesh, error).empty());

    const std::string path = testing::TempDir() + "never.bzobj";
    EXPECT_EQ(stderr_of([&] { EXPECT_FALSE(bobj_save_compressed(path, cMeshObj_data())); }),
              "# ERROR writing " + path + " in bobj_save_compressed: mesh has no triangles\n");
    EXPECT_FALSE(std::filesystem::exists(path));
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

    std::vector<uint8_t> file = sample_file();
    file[0] = 4, file[1] = file[2] = file[3] = 0;
    EXPECT_EXIT(bobj_load_compressed(write_file(dir + "small.bzobj", file), mesh), testing::ExitedWithCode(1),
                "^# warning: zlib caused an error: -5\n$");
    file.resize(20);
    EXPECT_EXIT(bobj_load_compressed(write_file(dir + "cut.bzobj", file), mesh), testing::ExitedWithCode(255),
                "^# ERROR invalid file " + dir + "cut.bzobj in bobj_load_compressed: file is truncated\n$");
}
