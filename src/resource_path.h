#pragma once
// Search list for data files. Code names its files by short relative names
// ("loader.jpg", "../data/textures"); get_fullpath turns such a name into the
// path of an existing file. Directories are anchored at the executable's
// directory, so the demo finds its data wherever it is started from: beside
// it in the build tree (bin/../data, bin/../src/shaders) or in the installed
// layout (bin/../share/quorvane/data, bin/../share/quorvane/shaders).
// Created on first use, filled during start-up and scene construction, then
// only read; the exit handler destroys it.
#include <cstdint>
#include <string>
#include <vector>

#include "singleton.h"

class cResourcePath : public cSingleton<cResourcePath> {
public:
    // Registers a directory; a relative one is taken from the executable's
    // directory. Duplicates are kept; nothing is ever removed.
    void add(std::string dir);

    // A name that exists as given (from the working directory) is returned as
    // an absolute path. Otherwise the bare file name is looked up in each
    // search directory in registration order. Empty when nothing is found.
    static std::string get_fullpath(std::string name);

    std::vector<std::string> dirs;  // absolute, each ending in '/'
};

// Directory that holds the running executable, without a trailing '/'.
std::string executable_dir();

// Where a name relative to the executable ("../data/models") lies for an
// executable in `exe_dir`: beside it when that exists, else in the installed
// layout when that exists, else beside it (so that what is missing is
// reported under the build tree's name).
std::string anchored_path(const std::string& exe_dir, const std::string& relative);

// Empty when the data directory is found beside the running executable or
// installed; otherwise one line naming both places looked in.
std::string data_location_problem();

// Last modification time (seconds since 1970), or 0 with "Problem getting
// file info" on the error stream when the file cannot be examined.
int64_t file_modified_time(const std::string& path);
