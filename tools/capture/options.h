#pragma once
// The capture tool's command line: what to render, at which size and frame
// rate, over which range, and where to write it. parse_options checks
// everything that can be checked without GL or the show's data; what needs
// them (the range against the end of the show, scene and variable names, the
// size against the driver) is checked once the show has started.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Bad input or a failed step: one line, printed as it is before the tool
// ends with exit code 1.
class cCaptureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct cCaptureOptions {
    std::string mp4;                // --mp4 FILE: H.264 + AAC video; empty: none
    std::string png;                // --png: a file (one --at moment) or a directory of frames
    std::string sheet;              // --sheet FILE: grid of thumbnails
    std::string profile;            // --profile FILE.csv: per-frame timings
    int32_t every_ms = 5000;        // --every S: sheet step (ms)
    int32_t width = 1280;           // --size WxH (pixels)
    int32_t height = 720;
    int32_t fps = 60;               // --fps N
    int32_t from_ms = 0;            // --from MS
    int32_t to_ms = -1;             // --to MS (exclusive); -1: the end-of-show marker
    std::vector<int32_t> at;        // --at MS[,MS...]: these moments (ms, ascending); empty: a range
    std::string scene;              // --scene NAME or position; empty: the whole show
    std::vector<std::pair<std::string, std::string>> sets;  // --set VAR=VALUE, in order
    bool list = false;              // --list
    bool help = false;              // --help
    bool version = false;           // --version
};

// Throws cCaptureError on anything malformed or contradictory.
cCaptureOptions parse_options(int argc, char** argv);

// Frame j of the show's frame grid lies at round(j * 1000 / fps) ms.
int32_t grid_time(int64_t j, int32_t fps);
// The first grid frame at or after t ms.
int64_t first_grid_frame_at(int32_t t, int32_t fps);

extern const char* const CAPTURE_HELP;
