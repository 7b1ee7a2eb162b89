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

void cResourcePath::add(std::string dir)
{
    std::replace(dir.begin(), dir.end(), '\\', '/');
    fs::path p(dir);
    std::string entry = p.is_relative() ? (fs::path(executable_dir()) / p).lexically_normal().string()
                                        : p.lexically_normal().string();
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
