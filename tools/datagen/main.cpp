// quorvane-datagen <data dir>: writes the whole data tree the demo reads
// (textures, models, music, script), from code, identically on every run.
// Each file family has one writer that fills its own subdirectory; a new
// family is one more entry in FAMILIES.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "textures.h"

namespace fs = std::filesystem;

namespace {

struct cFamily {
    const char* dir;                          // subdirectory of the data tree
    bool (*write)(const std::string& dir);    // writes every file of the family; false on failure
};

const cFamily FAMILIES[] = {
    {"textures", write_textures},
};

// The program's search directories exist even while a family has no files yet.
const char* const SUBDIRS[] = {"textures", "models", "music", "script"};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quorvane-datagen <data dir>" << std::endl;
        return 2;
    }
    const fs::path root(argv[1]);
    for (const char* sub : SUBDIRS) {
        std::error_code ec;
        fs::create_directories(root / sub, ec);
        if (ec) {
            std::cerr << "quorvane-datagen: cannot create " << (root / sub).string() << ": " << ec.message() << std::endl;
            return 1;
        }
    }
    for (const cFamily& family : FAMILIES) {
        if (!family.write((root / family.dir).string())) {
            std::cerr << "quorvane-datagen: writing " << family.dir << " failed" << std::endl;
            return 1;
        }
    }
    return 0;
}
