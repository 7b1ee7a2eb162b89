// quorvane-compare: checks captured frames against reference pictures and
// says which frames changed their look and by how much.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>

#include "frame_difference.h"

namespace fs = std::filesystem;

namespace {

const char* const HELP = R"(usage: quorvane-compare REFERENCES CAPTURED [DIFFERENCES]

Compares every PNG under the directory REFERENCES with the file of the same
relative path under CAPTURED. Differences of up to two levels count as
rounding; a frame keeps its look while its mean difference beyond that and
its share of pixels off by more than a few levels stay under the limits
printed at the end. Each frame that differs at all gets a line;
with DIFFERENCES, each frame that changed its look is written there as
reference | capture | difference x8. A capture with no reference, or a
reference with no capture, counts as changed.

exit status: 0 every frame kept its look, 1 some changed, 2 bad input
)";

std::set<fs::path> pngs_under(const fs::path& dir)
{
    if (!fs::is_directory(dir))
        throw cCompareError(dir.string() + " is not a directory");
    std::set<fs::path> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().extension() == ".png")
            names.insert(fs::relative(entry.path(), dir));
    return names;
}

void write_strip(const cRgbPicture& reference, const cRgbPicture& captured, const fs::path& path)
{
    fs::create_directories(path.parent_path());
    write_png(difference_strip(reference, captured), path.string());
    std::cout << "    difference: " << path.string() << "\n";
}

// Compares one frame, prints its line when it differs; true when its look is kept.
bool compare_frame(const fs::path& name, const fs::path& refs, const fs::path& caps, const fs::path& diffs,
                   double& worst_beyond, double& worst_share)
{
    const cRgbPicture reference = read_png((refs / name).string());
    const cRgbPicture captured = read_png((caps / name).string());
    const cFrameDifference d = measure(reference, captured);
    worst_beyond = std::max(worst_beyond, d.mean_beyond);
    worst_share = std::max(worst_share, d.share_off);
    const bool kept = same_look(d);
    if (d.worst_levels > 0) {
        char line[200];
        std::snprintf(line, sizeof line, "%-28s mean %.3f levels (%.3f beyond rounding), %.3f%% of pixels off, worst %d: %s",
                      name.string().c_str(), d.mean_levels, d.mean_beyond, 100 * d.share_off, d.worst_levels,
                      kept ? "same look" : "CHANGED");
        std::cout << line << "\n";
    }
    if (!kept && !diffs.empty())
        write_strip(reference, captured, diffs / name);
    return kept;
}

int compare(const fs::path& refs, const fs::path& caps, const fs::path& diffs)
{
    const std::set<fs::path> references = pngs_under(refs), captures = pngs_under(caps);
    int changed = 0;
    double worst_beyond = 0, worst_share = 0;
    for (const fs::path& name : references) {
        if (!captures.count(name)) {
            std::cout << name.string() << ": no capture\n";
            ++changed;
        } else if (!compare_frame(name, refs, caps, diffs, worst_beyond, worst_share)) {
            ++changed;
        }
    }
    for (const fs::path& name : captures)
        if (!references.count(name)) {
            std::cout << name.string() << ": no reference\n";
            ++changed;
        }
    char summary[200];
    std::snprintf(summary, sizeof summary,
                  "quorvane-compare: %zu frames, %d changed; largest mean beyond rounding %.3f levels "
                  "(limit %.2f), largest share off by more than %d levels %.3f%% (limit %.1f%%)",
                  references.size(), changed, worst_beyond, MAX_MEAN_BEYOND, OFF_LEVELS, 100 * worst_share,
                  100 * MAX_SHARE_OFF);
    std::cout << summary << std::endl;
    return changed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << HELP;
        return 0;
    }
    if (argc < 3 || argc > 4) {
        std::cerr << HELP;
        return 2;
    }
    try {
        return compare(argv[1], argv[2], argc == 4 ? argv[3] : "");
    } catch (const std::exception& e) {
        std::cerr << "quorvane-compare: " << e.what() << std::endl;
        return 2;
    }
}
