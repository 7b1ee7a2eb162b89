// Fixture for tests that run one of the project's tools, built beside the
// test program, in a scratch directory of their own.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "resource_path.h"

class ToolTest : public ::testing::Test {
protected:
    // `redirect` ends the command line: it picks what run() returns.
    ToolTest(std::string tool, std::string redirect) : tool_(std::move(tool)), redirect_(std::move(redirect)) {}

    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("qv_" + tool_ + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs the tool with `args`; what it wrote through the redirection. The
    // wait status is left in `status`.
    std::string run(const std::string& args)
    {
        const std::string cmd = executable_dir() + "/" + tool_ + " " + args + " " + redirect_;
        std::string out;
        FILE* p = popen(cmd.c_str(), "r");
        char buf[512];
        while (p && fgets(buf, sizeof buf, p))
            out += buf;
        status = p ? pclose(p) : -1;
        return out;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
    int status = 0;

private:
    std::string tool_, redirect_;
};
