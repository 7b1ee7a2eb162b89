#pragma once
// The line every tool answers --version with: its name, the project's
// version and, when built from a git checkout, the revision.
#include <string>

#include "version_info.h"

inline std::string version_line(const std::string& program)
{
    const std::string revision = QV_REVISION;
    return program + " " + QV_VERSION + (revision.empty() ? "" : " (git " + revision + ")");
}
