#include <gtest/gtest.h>

#include "mesh_files/obj/mtl_loader.h"
#include "support/files.h"

namespace {

// Loads `text` as a library; returns what the error stream got.
std::string load(const std::string& name, const std::string& text, std::vector<cMaterial>& out)
{
    const std::string path = write_file(testing::TempDir() + name, text);
    return stderr_of([&] { cMtlLoader().load(path, out); });
}

}  // namespace

TEST(MtlLoader, ReadsEveryTokenIntoTheLastMaterial)
{
    std::vector<cMaterial> out{cMaterial("stale")};
    EXPECT_EQ(load("full.mtl",
                   "# a library\nnewmtl first\nKd 1 1 1\nnewmtl shiny\r\nKa 0.1 0.2 0.3\n\tKd 0.5 0.25 0.125\n"
                   "Ks 1 0.5 0\nNs 96.5\nillum 2\nd 0.8\nTr 0.3\nNi 1.45\nmap_Ka amb.png\nmap_Kd my diffuse.png\n"
                   "map_Ks spec.png\nmap_d alpha.png\nbump bump.png\n\nnewmtl filtered\nTf 0.2 0.4 0.9\n",
                   out),
              "");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].Kd, (tRGBA{1, 1, 1, 0}));
    const cMaterial& m = out[1];
    EXPECT_EQ(m.name, "shiny");
    EXPECT_EQ(m.Ka, (tRGBA{0.1f, 0.2f, 0.3f, 0}));  // alpha untouched
    EXPECT_EQ(m.Kd, (tRGBA{0.5f, 0.25f, 0.125f, 0}));
    EXPECT_EQ(m.Ks, (tRGBA{1, 0.5f, 0, 0}));
    EXPECT_EQ(std::tie(m.Ns, m.illum, m.d, m.Ni), std::make_tuple(96.5f, 2, 0.8f, 1.45f));  // "Tr" ignored
    EXPECT_EQ(std::tie(m.map_Ka, m.map_Kd, m.map_Ks, m.map_d, m.bump),
              std::make_tuple("amb.png", "my", "spec.png", "alpha.png", "bump.png"));  // names are one token
    EXPECT_EQ(std::tie(out[2].d, out[2].Ni, out[2].illum), std::make_tuple(0.5f, 1.0f, 0));
}

// A value before the first "newmtl" fails the whole library; an unknown
// token is skipped; a missing file is reported.
TEST(MtlLoader, ValueBeforeNewmtlUnknownTokensAndMissingFiles)
{
    std::vector<cMaterial> out;
    const std::string path = testing::TempDir() + "early.mtl";
    EXPECT_EQ(load("early.mtl", "# remark first\nfoo bar\nKd 1 0 0\nnewmtl late\n", out),
              "# warning: unknown token \"foo\"\n"
              "# warning: unknown token encountered in \"" + path + "\" line 2. Skipping...\n"
              "## ERROR in ../src/mesh_files/obj/cMtlLoader line 28: no 'newmtl' entry was found previous to line 3. "
              "Failed to load .mtl-file!!\n");
    EXPECT_TRUE(out.empty());

    load("unknown.mtl", "newmtl a\nKe 1 1 1\nKd 0 1 0\n", out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kd, (tRGBA{0, 1, 0, 0}));

    EXPECT_EQ(stderr_of([&] { cMtlLoader().load(testing::TempDir() + "absent.mtl", out); }),
              "## ERROR: Couldn't open " + testing::TempDir() + "absent.mtl\n");
    EXPECT_TRUE(out.empty());
}
