#include "resource_path.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "log.h"

namespace fs = std::filesystem;

std::string executable_dir()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec).string();
    return exe.parent_path().string();
}

namespace {

// The installed tree keeps the build tree's data/ and drops the source
// tree's src/ level: "../data/models" -> share/quorvane/data/models,
// "../src/shaders/comp" -> share/quorvane/shaders/comp.
fs::path installed_path(const std::string& exe_dir, const fs::path& relative)
{
    fs::path rest;
    bool leading = true;
    for (const fs::path& part : relative) {
        if (leading && (part == ".." || part == "." || part == "src"))
            continue;
        leading = false;
        rest /= part;
    }
    return (fs::path(exe_dir) / ".." / "share" / "quorvane" / rest).lexically_normal();
}

}  // namespace

std::string anchored_path(const std::string& exe_dir, const std::string& relative)
{
    const fs::path beside = (fs::path(exe_dir) / relative).lexically_normal();
    std::error_code ec;
    if (fs::exists(beside, ec))
        return beside.string();
    const fs::path installed = installed_path(exe_dir, relative);
    return fs::exists(installed, ec) ? installed.string() : beside.string();
}

std::string data_location_problem()
{
    const std::string exe_dir = executable_dir();
    const fs::path beside = (fs::path(exe_dir) / ".." / "data").lexically_normal();
    const fs::path installed = installed_path(exe_dir, "../data");
    std::error_code ec;
    if (fs::is_directory(beside, ec) || fs::is_directory(installed, ec))
        return "";
    return "no data directory: looked in " + beside.string() + " and " + installed.string();
}

void cResourcePath::add(std::string dir)
{
    std::replace(dir.begin(), dir.end(), '\\', '/');
    fs::path p(dir);
    std::string entry = p.is_relative() ? anchored_path(executable_dir(), dir) : p.lexically_normal().string();
    if (entry.empty() || entry.back() != '/')
        entry += '/';
    dirs.push_back(entry);
}

std::string cResourcePath::get_fullpath(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    std::error_code ec;
    if (!name.empty() && fs::exists(name, ec)) {
        fs::path full = fs::absolute(name, ec);
        if (ec) {
            std::cerr << "fatal - oops in cResourcePath::get_fullpath on file \"" << name
                      << "\": " << posix_error_text(ec.value()) << std::endl;
            return name;
        }
        return full.lexically_normal().string();
    }
    std::string file = fs::path(name).filename().string();
    if (file.empty())
        return "";
    for (const std::string& d : get_instance()->dirs) {
        std::string candidate = d + file;
        if (fs::exists(candidate, ec))
            return candidate;
    }
    return "";
}

int64_t file_modified_time(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        std::cerr << "Problem getting file info" << std::endl;
        return 0;
    }
    return static_cast<int64_t>(st.st_mtime);
}
