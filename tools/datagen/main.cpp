// quorvane-datagen <data dir> [family ...]: writes the whole data tree the
// demo reads (textures, models, music, script), from code, identically on
// every run; naming families (subdirectories) writes only those. Each file
// family has one writer that fills its own subdirectory; a new family is one
// more entry in FAMILIES.
// quorvane-datagen --preview <dir>: the tree and a contact sheet of it.
// quorvane-datagen --render <file.wav> [--solo <track>] [--seconds <s>]:
// renders the soundtrack (or one MIDI track of it alone) to a WAV file.
// quorvane-datagen --icon <file.png>: the program's desktop icon.
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "composition.h"
#include "models.h"
#include "music.h"
#include "preview.h"
#include "textures.h"
#include "textures_show.h"
#include "version.h"

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
    {"music", write_music},
    {"script", write_script},
};

// The program's search directories exist even while a family has no files yet.
const char* const SUBDIRS[] = {"textures", "models", "models/morvik_intro", "music", "script"};

bool wanted(const char* dir, const std::vector<std::string>& only)
{
    if (only.empty())
        return true;
    for (const std::string& name : only)
        if (name == dir)
            return true;
    return false;
}

// Writes the tree (or the named families) under `root`; the exit status of the program.
int generate(const fs::path& root, const std::vector<std::string>& only)
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
        if (!wanted(family.dir, only))
            continue;
        if (!family.write((root / family.dir).string())) {
            std::cerr << "quorvane-datagen: writing " << family.dir << " failed" << std::endl;
            return 1;
        }
    }
    return 0;
}

const char* const USAGE =
    "usage: quorvane-datagen <data dir> [family ...] | --preview <dir> | --icon <file.png> | --help | --version\n"
    "       quorvane-datagen --render <file.wav> [--solo <track>] [--seconds <s>]\n";

const char* const HELP =
    "\n"
    "  <data dir> [family ...]  the whole data tree (or the named families:\n"
    "                           textures, models, music, script) under <data dir>\n"
    "  --preview <dir>          the tree and a contact sheet of it under <dir>\n"
    "  --icon <file.png>        the program's desktop icon\n"
    "  --render <file.wav>      the soundtrack, or with --solo one track alone,\n"
    "                           or with --seconds its first seconds (up to 600)\n"
    "\n"
    "exit status: 0 done; 1 a file could not be written (with the reason);\n"
    "2 bad options.\n";

int usage()
{
    std::cerr << USAGE << std::flush;
    return 2;
}

// The longest render: the piece runs about four minutes.
constexpr double MAX_RENDER_SECONDS = 600.0;

// The whole of `text` as a number; false for anything else, nan included.
template <typename T>
bool parse_whole(const char* text, T& out)
{
    const char* end = text + std::strlen(text);
    const auto [p, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && p == end && end != text;
}

int bad_argument(const std::string& option, const char* value, const std::string& wanted)
{
    std::cerr << "quorvane-datagen: " << option << ": '" << value << "' is not " << wanted << std::endl;
    return 2;
}

int render_command(int argc, char** argv)
{
    if (argc < 3 || argc % 2 == 0)
        return usage();
    int solo = -1;
    double seconds = 0.0;
    for (int i = 3; i + 1 < argc; i += 2) {
        const char* value = argv[i + 1];
        if (std::strcmp(argv[i], "--solo") == 0) {
            if (!parse_whole(value, solo) || solo < 1 || solo >= TRACK_COUNT)
                return bad_argument("--solo", value, "a track of the piece (1 to " + std::to_string(TRACK_COUNT - 1) + ")");
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            if (!parse_whole(value, seconds) || !(seconds > 0.0 && seconds <= MAX_RENDER_SECONDS))
                return bad_argument("--seconds", value, "a length of more than 0 and at most 600 seconds");
        } else {
            return usage();
        }
    }
    return render_wav(argv[2], solo, seconds) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << version_line("quorvane-datagen") << "\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << USAGE << HELP;
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--render") == 0)
        return render_command(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--preview") {
        // The tree goes beside the sheet, so the sheet shows exactly what was written.
        const fs::path dir(argv[2]);
        const int status = generate(dir / "data", {});
        if (status != 0)
            return status;
        return write_contact_sheet((dir / "data").string(), (dir / "contact_sheet.png").string()) ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--icon") {
        if (write_icon(argv[2]))
            return 0;
        std::cerr << "quorvane-datagen: cannot write " << argv[2] << std::endl;
        return 1;
    }
    if (argc < 2 || argv[1][0] == '-')
        return usage();
    return generate(argv[1], std::vector<std::string>(argv + 2, argv + argc));
}
