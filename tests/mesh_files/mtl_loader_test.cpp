#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mesh_files/obj/mtl_loader.h"

namespace {

std::string write_file(const std::string& name, const std::string& text)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

}  // namespace

TEST(MtlLoader, ReadsEveryTokenIntoTheLastMaterial)
{
    const std::string path = write_file("full.mtl",
                                        "# a library\n"
                                        "newmtl first\n"
                                        "Kd 1 1 1\n"
                                        "newmtl shiny\r\n"
                                        "Ka 0.1 0.2 0.3\n"
                                        "\tKd 0.5 0.25 0.125\n"
                                        "Ks 1 0.5 0\n"
                                        "Ns 96.5\n"
                                        "illum 2\n"
                                        "d 0.8\n"
                                        "Tr 0.3\n"
                                        "Ni 1.45\n"
                                        "map_Ka amb.png\n"
                                        "map_Kd my diffuse.png\n"
                                        "map_Ks spec.png\n"
                                        "map_d alpha.png\n"
                                        "bump bump.png\n"
                                        "\n");
    std::vector<cMaterial> out{cMaterial("stale")};
    testing::internal::CaptureStderr();
    cMtlLoader().load(path, out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].name, "first");
    EXPECT_EQ(out[0].Kd, (tRGBA{1, 1, 1, 0}));
    const cMaterial& m = out[1];
    EXPECT_EQ(m.name, "shiny");
    EXPECT_EQ(m.Ka, (tRGBA{0.1f, 0.2f, 0.3f, 0}));  // alpha untouched
    EXPECT_EQ(m.Kd, (tRGBA{0.5f, 0.25f, 0.125f, 0}));
    EXPECT_EQ(m.Ks, (tRGBA{1, 0.5f, 0, 0}));
    EXPECT_EQ(m.emission, (tRGBA{0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(m.Ns, 96.5f);
    EXPECT_EQ(m.illum, 2);
    EXPECT_FLOAT_EQ(m.d, 0.8f);  // "Tr" is ignored
    EXPECT_FLOAT_EQ(m.Ni, 1.45f);
    EXPECT_EQ(m.map_Ka, "amb.png");
    EXPECT_EQ(m.map_Kd, "my");  // names are single tokens
    EXPECT_EQ(m.map_Ks, "spec.png");
    EXPECT_EQ(m.map_d, "alpha.png");
    EXPECT_EQ(m.bump, "bump.png");
}

TEST(MtlLoader, DefaultsAndTransmissionFilter)
{
    const std::string path = write_file("tf.mtl", "newmtl a\nnewmtl b\nTf 0.2 0.4 0.9\n");
    std::vector<cMaterial> out;
    cMtlLoader().load(path, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FLOAT_EQ(out[0].d, 1.0f);
    EXPECT_FLOAT_EQ(out[0].Ni, 1.0f);
    EXPECT_EQ(out[0].illum, 0);
    EXPECT_EQ(out[0].Ns, 0);
    EXPECT_TRUE(out[0].map_Kd.empty());
    EXPECT_FLOAT_EQ(out[1].d, 0.5f);
}

TEST(MtlLoader, ValueBeforeNewmtlYieldsNothing)
{
    const std::string path = write_file("early.mtl", "# remark first\nfoo bar\nKd 1 0 0\nnewmtl late\n");
    std::vector<cMaterial> out;
    testing::internal::CaptureStderr();
    cMtlLoader().load(path, out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "# warning: unknown token \"foo\"\n"
              "# warning: unknown token encountered in \"" + path + "\" line 2. Skipping...\n"
              "## ERROR in ../src/mesh_files/obj/cMtlLoader line 28: no 'newmtl' entry was found previous to line 3. "
              "Failed to load .mtl-file!!\n");
    EXPECT_TRUE(out.empty());
}

TEST(MtlLoader, UnknownTokenIsSkippedAndMissingFileReported)
{
    const std::string path = write_file("unknown.mtl", "newmtl a\nKe 1 1 1\nKd 0 1 0\n");
    std::vector<cMaterial> out;
    testing::internal::CaptureStderr();
    cMtlLoader().load(path, out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "# warning: unknown token \"Ke\"\n"
              "# warning: unknown token encountered in \"" + path + "\" line 2. Skipping...\n");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kd, (tRGBA{0, 1, 0, 0}));

    out.emplace_back("kept?");
    testing::internal::CaptureStderr();
    cMtlLoader().load(testing::TempDir() + "absent.mtl", out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "## ERROR: Couldn't open " + testing::TempDir() + "absent.mtl\n");
    EXPECT_TRUE(out.empty());
}
