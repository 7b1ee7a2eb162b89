// quorvane-datagen <data dir>: writes the whole data tree the demo reads
// (textures, models, music, script), from code, identically on every run.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "textures.h"

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quorvane-datagen <data dir>" << std::endl;
        return 2;
    }
    const fs::path root(argv[1]);
    for (const char* sub : {"textures", "models", "music", "script"}) {
        std::error_code ec;
        fs::create_directories(root / sub, ec);
        if (ec) {
            std::cerr << "quorvane-datagen: cannot create " << (root / sub).string() << ": " << ec.message() << std::endl;
            return 1;
        }
    }
    if (!write_textures((root / "textures").string())) {
        std::cerr << "quorvane-datagen: writing textures failed" << std::endl;
        return 1;
    }
    return 0;
}
