#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "resource_path.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

// Runs the generator as the build does; its exit status. Its error stream
// goes to `errors` when given.
int run_datagen(const std::string& args, const std::string& errors = "/dev/null")
{
    const std::string command = executable_dir() + "/quorvane-datagen " + args + " > /dev/null 2>" + errors;
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> read_tree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = read_file(entry.path());
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

// A render's numbers are read whole and in range; anything else ends with
// one line naming the option, and no file.
TEST(DatagenTest, RenderArgumentsOutOfRangeOrNotNumbersAreRefused)
{
    const cTempDir dir("datagen_args");
    const std::string wav = (dir / "o.wav").string(), log = (dir / "err").string();
    for (const char* args : {"--seconds 1e9", "--seconds -5", "--seconds abc", "--seconds nan", "--seconds 0",
                             "--solo 9999", "--solo x", "--solo 0", "--solo 2x"}) {
        EXPECT_EQ(run_datagen("--render " + wav + " " + args, log), 2) << args;
        const std::string line = read_file(log);
        EXPECT_EQ(line.rfind("quorvane-datagen: " + std::string(args).substr(0, std::string(args).find(' ')), 0), 0u)
            << args << ": " << line;
        EXPECT_FALSE(fs::exists(wav)) << args;
    }
}

// A render that does not fit on the disk (a file size limit stands in for a
// full one) says why and leaves no file, not even a partial one.
TEST(DatagenTest, ARenderThatCannotBeWrittenWholeLeavesNoFile)
{
    const cTempDir dir("datagen_full");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{65536, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const auto on_limit = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing
    const int status = run_datagen("--render " + (dir / "o.wav").string() + " --seconds 2", (dir / "err").string());
    std::signal(SIGXFSZ, on_limit);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(status, 1);
    const std::string line = read_file(dir / "err");
    EXPECT_NE(line.find("cannot write " + (dir / "o.wav").string() + ": File too large"), std::string::npos) << line;
    EXPECT_FALSE(fs::exists(dir / "o.wav"));
    EXPECT_FALSE(fs::exists(dir / "o.wav.part"));
}
