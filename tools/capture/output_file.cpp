#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "options.h"

cOutputFile::cOutputFile(const std::string& path_) : path(path_), temp(path_ + ".part") {}

cOutputFile::~cOutputFile()
{
    if (!committed)
        std::remove(temp.c_str());
}

void cOutputFile::check_writable() const
{
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        throw cCaptureError("cannot write " + path + ": " + std::strerror(errno));
    std::fclose(f);
    std::remove(temp.c_str());
}

void cOutputFile::write(const void* data, size_t size)
{
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        throw cCaptureError("cannot write " + path + ": " + std::strerror(errno));
    const bool complete = std::fwrite(data, 1, size, f) == size && std::fflush(f) == 0;
    const int error = errno;
    if (std::fclose(f) != 0 || !complete)
        throw cCaptureError("cannot write " + path + ": " + std::strerror(complete ? errno : error));
}

void cOutputFile::commit()
{
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        throw cCaptureError("cannot write " + path + ": " + std::strerror(errno));
    committed = true;
}
