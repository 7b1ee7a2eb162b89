#pragma once
// Reader of MTL material libraries. Keeps no state beyond one call: each
// load fills the caller's list, which owns the materials. Problems are
// reported on the error stream; a library that cannot be used yields no
// materials, never a failed process.
#include <istream>
#include <string>
#include <vector>

#include "mesh_files/material.h"

class cMtlLoader {
public:
    // Empties `out`, then appends one material per "newmtl" of the library.
    void load(const std::string& path, std::vector<cMaterial>& out);
    // The same for library text already open; `path` only names it in messages.
    void read(std::istream& in, const std::string& path, std::vector<cMaterial>& out);
};
