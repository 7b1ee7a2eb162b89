#include "data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "log.h"

namespace {

// What is in the place of a file, for the message; empty for a regular one.
std::string not_a_file(mode_t mode)
{
    if (S_ISREG(mode))
        return "";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

std::string is_not_a_file(const std::string& path, const std::string& what)
{
    return path + " is " + what + ", not a file";
}

}  // namespace

cDataFile read_data_file(const std::string& path, size_t max_bytes)
{
    cDataFile file;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        file.missing = errno == ENOENT || errno == ENOTDIR;
        file.problem = path + ": " + posix_error_text(errno);
        return file;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        file.problem = path + ": " + posix_error_text(errno);
    } else if (const std::string what = not_a_file(st.st_mode); !what.empty()) {
        file.problem = is_not_a_file(path, what);
    } else if (static_cast<size_t>(st.st_size) > max_bytes) {
        file.problem = path + " is larger than " + std::to_string(max_bytes) + " bytes";
    } else {
        // To the end, which may lie before or after the size seen.
        file.bytes.reserve(static_cast<size_t>(st.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (n < 0)
                    file.problem = path + ": " + posix_error_text(errno);
                break;
            }
            file.bytes.insert(file.bytes.end(), chunk, chunk + n);
            if (file.bytes.size() > max_bytes) {
                file.problem = path + " is larger than " + std::to_string(max_bytes) + " bytes";
                break;
            }
        }
        file.read = file.problem.empty();
    }
    ::close(fd);
    if (!file.read)
        file.bytes.clear();
    return file;
}

std::string data_file_problem(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return path + ": " + posix_error_text(errno);
    const std::string what = not_a_file(st.st_mode);
    return what.empty() ? "" : is_not_a_file(path, what);
}
