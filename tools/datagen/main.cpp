// quorvane-datagen <data dir>: writes the whole data tree the demo reads
// (textures, models, music, script), from code, identically on every run.
// Each file family has one writer that fills its own subdirectory; a new
// family is one more entry in FAMILIES.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "models.h"
#include "preview.h"
#include "textures.h"
#include "textures_show.h"

namespace fs = std::filesystem;

namespace {

struct cFamily {
    const char* dir;                          // subdirectory of the data tree
    bool (*write)(const std::string& dir);    // writes every file of the family; false on failure
};

const cFamily FAMILIES[] = {
    {"textures", write_textures},
    {"textures", write_show_textures},
    {"models", write_models},
};

// The program's search directories exist even while a family has no files yet.
const char* const SUBDIRS[] = {"textures", "models", "music", "script"};

// Writes the whole tree under `root`; the exit status of the program.
int generate(const fs::path& root)
{
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--preview") {
        // The tree goes beside the sheet, so the sheet shows exactly what was written.
        const fs::path dir(argv[2]);
        const int status = generate(dir / "data");
        if (status != 0)
            return status;
        return write_contact_sheet((dir / "data").string(), (dir / "contact_sheet.png").string()) ? 0 : 1;
    }
    if (argc != 2) {
        std::cerr << "usage: quorvane-datagen <data dir> | --preview <dir>" << std::endl;
        return 2;
    }
    return generate(argv[1]);
}
