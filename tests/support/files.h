#pragma once
// Scratch files for tests: a temporary directory removed with its owner,
// files written whole, and what a call prints on standard output or error.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// Writes text or bytes to `path`; returns the path.
inline std::string write_file(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}
inline std::string write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    return write_file(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The whole of a file's bytes; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A directory of its own under the system's temporary directory, named after
// `what` and the process, removed with everything in it at the end.
struct cTempDir {
    explicit cTempDir(const std::string& what)
        : path(std::filesystem::temp_directory_path() / ("qv_" + what + "_" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path);
    }
    ~cTempDir() { std::filesystem::remove_all(path); }
    cTempDir(const cTempDir&) = delete;
    cTempDir& operator=(const cTempDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    template <typename Bytes>
    std::string write(const std::string& name, const Bytes& bytes) const
    {
        return write_file(path / name, bytes);
    }

    std::filesystem::path path;
};

// What `call` prints on standard output, or on standard error.
template <typename F>
std::string stdout_of(F&& call)
{
    testing::internal::CaptureStdout();
    call();
    return testing::internal::GetCapturedStdout();
}
template <typename F>
std::string stderr_of(F&& call)
{
    testing::internal::CaptureStderr();
    call();
    return testing::internal::GetCapturedStderr();
}
