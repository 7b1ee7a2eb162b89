#include "data_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/files.h"

namespace fs = std::filesystem;

TEST(DataFileTest, AFileIsReadUpToItsLimitAndAnythingElseIsRefusedWithoutWaiting)
{
    const cTempDir dir("data_file");
    dir.write("ten", "0123456789");
    ::mkfifo((dir / "pipe").c_str(), 0600);  // no writer: a blocking open would wait for ever

    cDataFile f = read_data_file((dir / "ten").string(), 10);
    EXPECT_TRUE(f.read);
    EXPECT_EQ(std::string(f.bytes.begin(), f.bytes.end()), "0123456789");
    f = read_data_file((dir / "ten").string(), 9);
    EXPECT_FALSE(f.read);
    EXPECT_TRUE(f.bytes.empty());
    EXPECT_EQ(f.problem, (dir / "ten").string() + " is larger than 9 bytes");

    f = read_data_file((dir / "none").string(), 10);
    EXPECT_TRUE(f.missing);
    const struct {
        fs::path path;
        const char* what;
    } others[] = {{dir.path, " is a directory, not a file"},
                  {dir / "pipe", " is a named pipe, not a file"},
                  {"/dev/zero", " is a device, not a file"}};
    for (const auto& o : others) {
        f = read_data_file(o.path.string(), 10);
        EXPECT_FALSE(f.read || f.missing) << o.path;
        EXPECT_EQ(f.problem, o.path.string() + o.what);
        EXPECT_EQ(data_file_problem(o.path.string()), o.path.string() + o.what);
    }
    EXPECT_EQ(data_file_problem((dir / "ten").string()), "");
}
