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

void cOutputFile::commit()
{
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        throw cCaptureError("cannot write " + path + ": " + std::strerror(errno));
    committed = true;
}
