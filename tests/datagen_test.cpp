#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "resource_path.h"

namespace fs = std::filesystem;

namespace {

// Runs the generator as the build does; its exit status.
int run_datagen(const std::string& args)
{
    const std::string command = executable_dir() + "/quorvane-datagen " + args + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> read_tree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

}  // namespace

// A second run writes every file of the build's data tree byte for byte.
TEST(DatagenTest, WritesTheSameBytesEveryRun)
{
    const fs::path root = fs::temp_directory_path() / ("qv_datagen_" + std::to_string(::getpid()));
    fs::remove_all(root);
    ASSERT_EQ(run_datagen(root.string()), 0);
    const auto built = read_tree(fs::path(executable_dir()) / ".." / "data");
    const auto fresh = read_tree(root);
    fs::remove_all(root);
    ASSERT_FALSE(fresh.empty());
    for (const auto& [name, bytes] : fresh) {
        ASSERT_EQ(built.count(name), 1u) << name;
        EXPECT_TRUE(built.at(name) == bytes) << name << " differs between runs";
    }
    for (const char* name : {"music/goa3_3.mid", "music/goa3_4_master.mp3", "music/spectrogram.png", "script/markers.txt"})
        EXPECT_EQ(fresh.count(name), 1u) << name;
}
