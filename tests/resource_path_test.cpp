#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "resource_path.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

class ResourcePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("qv_paths_" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "a");
        fs::create_directories(root / "b");
        fs::create_directories(root / "cwd");
        old_cwd = fs::current_path();
        fs::current_path(root / "cwd");
        cResourcePath::destroy_instance();
    }
    void TearDown() override
    {
        fs::current_path(old_cwd);
        fs::remove_all(root);
        cResourcePath::destroy_instance();
    }
    static void touch(const fs::path& p) { std::ofstream(p) << "x"; }

    fs::path root, old_cwd;
};

TEST_F(ResourcePathTest, ExistingNameWinsThenDirectoriesInRegistrationOrder)
{
    touch(root / "a" / "tex.png");
    touch(root / "b" / "tex.png");
    touch(root / "b" / "only_b.png");
    cResourcePath* paths = cResourcePath::get_instance();
    paths->add((root / "a").string());
    paths->add((root / "b").string());
    EXPECT_EQ(cResourcePath::get_fullpath("tex.png"), (root / "a" / "tex.png").string());
    // The directory part of a name plays no role in the search.
    EXPECT_EQ(cResourcePath::get_fullpath("../nowhere/only_b.png"), (root / "b" / "only_b.png").string());
    EXPECT_EQ(cResourcePath::get_fullpath("missing.png"), "");
    EXPECT_EQ(cResourcePath::get_fullpath(""), "");

    // A name that exists from the working directory wins, as an absolute path.
    touch(root / "cwd" / "tex.png");
    EXPECT_EQ(cResourcePath::get_fullpath("tex.png"), (root / "cwd" / "tex.png").string());
    EXPECT_EQ(cResourcePath::get_fullpath("./tex.png"), (root / "cwd" / "tex.png").string());
}

TEST_F(ResourcePathTest, RelativeDirectoriesHangOffTheExecutable)
{
    cResourcePath* paths = cResourcePath::get_instance();
    paths->add("../data/textures");
    paths->add("..\\data\\textures");
    const std::string expected = (fs::path(executable_dir()).parent_path() / "data" / "textures").string() + "/";
    ASSERT_EQ(paths->dirs.size(), 2u);
    EXPECT_EQ(paths->dirs[0], expected);
    EXPECT_EQ(paths->dirs[1], expected);  // duplicates are kept
}

// An executable in bin/ finds "../data/..." beside it in a build tree, else
// in share/quorvane/ of an installed tree, where the source tree's src/
// level is gone; with neither, the build tree's name is kept for the message.
TEST_F(ResourcePathTest, RelativeNamesFindTheBuildTreeThenTheInstalledTree)
{
    const std::string bin = (root / "a" / "bin").string();
    fs::create_directories(root / "a" / "share" / "quorvane" / "data" / "models");
    fs::create_directories(root / "a" / "share" / "quorvane" / "shaders" / "comp");
    EXPECT_EQ(anchored_path(bin, "../data/models"), (root / "a" / "share" / "quorvane" / "data" / "models").string());
    EXPECT_EQ(anchored_path(bin, "../src/shaders/comp"), (root / "a" / "share" / "quorvane" / "shaders" / "comp").string());
    EXPECT_EQ(anchored_path(bin, "../data/music"), (root / "a" / "data" / "music").string());

    fs::create_directories(root / "a" / "data" / "models");
    EXPECT_EQ(anchored_path(bin, "../data/models"), (root / "a" / "data" / "models").string());
}

TEST_F(ResourcePathTest, ModifiedTime)
{
    touch(root / "a" / "f.txt");
    fs::last_write_time(root / "a" / "f.txt", fs::file_time_type::clock::now());
    EXPECT_GT(file_modified_time((root / "a" / "f.txt").string()), 1500000000);
    EXPECT_EQ(stderr_of([&] { EXPECT_EQ(file_modified_time((root / "nope").string()), 0); }),
              "Problem getting file info\n");
}

}  // namespace
