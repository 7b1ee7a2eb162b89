#include "options.h"

#include <algorithm>
#include <charconv>
#include <tuple>

const char* const CAPTURE_HELP = R"(usage: quorvane-capture [options]

Renders the show (or one scene) offline on a fixed-step clock: frame j is
drawn at demo time round(j * 1000 / fps) ms, whatever the machine's speed.

outputs (any combination):
  --mp4 FILE         H.264 video (yuv420p, constant frame rate) with the
                     soundtrack's matching range as AAC
  --png DIR          numbered PNG frames DIR/000000.png, ...
  --at MS --png FILE the one frame at MS ms
  --at MS,MS,... --png DIR
                     the frames at those moments, DIR/<MS>ms.png (six
                     digits); frames between them are drawn, not written
  --sheet FILE       PNG grid of thumbnails, one every --every seconds,
                     labelled with the time and the layers active then
  --profile FILE.csv per frame and per layer: CPU time of update and draw,
                     GPU time, pixels written, draw calls, primitives and
                     render-target passes; prints a summary
  --list             the scenes with their positions and published variables

what and how:
  --scene NAME       one scene alone over the checkerboard; NAME is a scene
                     name or a position from --list
  --set VAR=VALUE    sets a published variable of that scene (int, float,
                     double, or x,y,z for a vector); repeatable
  --size WxH         frame size in pixels (default 1280x720; up to what the
                     driver's render targets allow, 3840x2160 included)
  --fps N            frames per second (default 60)
  --from MS          start of the range (default 0), rounded up to the next
                     frame of the grid
  --to MS            end of the range, exclusive (default: the end of the show)
  --every S          seconds between sheet thumbnails (default 5)
  --help             this text
  --version          the tool's version

exit status: 0 done; 1 bad options or a failed output; 130 stopped by
Ctrl-C or SIGTERM (the files hold the frames done, none while loading);
255 the show itself could not start (a missing or damaged data file,
shader or extension).

Trails, particles and animators carry history, so the show is replayed
from the start of the first layer whose scene reaches the range (from 0
where a scene that reads the shared random sequence is on screen, or for a
scene shown alone); frames before that are updated but not drawn. Only
the attractor ring's trail keeps pixels between frames, so the other frames
before the range are drawn with rasterising off, and none of them is read
back or encoded. The pictures are exactly those of a capture from 0.
)";

namespace {

int32_t parse_int(const std::string& option, const std::string& text, int32_t min)
{
    int32_t v = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end || v < min)
        throw cCaptureError(option + ": '" + text + "' is not a whole number of at least " + std::to_string(min));
    return v;
}

std::pair<int32_t, int32_t> parse_size(const std::string& text)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        throw cCaptureError("--size: '" + text + "' is not WIDTHxHEIGHT");
    return {parse_int("--size", text.substr(0, x), 8), parse_int("--size", text.substr(x + 1), 8)};
}

// Moments in any order; each at most once.
std::vector<int32_t> parse_moments(const std::string& text)
{
    std::vector<int32_t> moments;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        moments.push_back(parse_int("--at", text.substr(start, comma - start), 0));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    std::sort(moments.begin(), moments.end());
    const auto twice = std::adjacent_find(moments.begin(), moments.end());
    if (twice != moments.end())
        throw cCaptureError("--at: " + std::to_string(*twice) + " is given twice");
    return moments;
}

std::pair<std::string, std::string> parse_set(const std::string& text)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        throw cCaptureError("--set: '" + text + "' is not VAR=VALUE");
    return {text.substr(0, eq), text.substr(eq + 1)};
}

void check_combination(const cCaptureOptions& o, bool range_given)
{
    if (o.help || o.version || o.list)
        return;
    if (o.mp4.empty() && o.png.empty() && o.sheet.empty() && o.profile.empty())
        throw cCaptureError("nothing to write: give --mp4, --png, --sheet or --profile (see --help)");
    if (!o.at.empty() && (range_given || !o.mp4.empty() || !o.sheet.empty()))
        throw cCaptureError("--at makes pictures: use it with --png, without --from, --to, --mp4, --sheet");
    if (o.at.empty() && o.png.size() > 4 && o.png.compare(o.png.size() - 4, 4, ".png") == 0)
        throw cCaptureError("--png " + o.png + ": one picture needs --at MS; without it --png takes a directory "
                            "for numbered frames");
    if (!o.at.empty() && o.png.empty())
        throw cCaptureError("--at needs --png FILE (or DIR for several moments)");
    if (o.fps > 1000)
        throw cCaptureError("--fps " + std::to_string(o.fps) + " is more than one frame per millisecond");
    for (size_t k = 1; k < o.at.size(); ++k)
        if (first_grid_frame_at(o.at[k - 1], o.fps) == first_grid_frame_at(o.at[k], o.fps))
            throw cCaptureError("--at " + std::to_string(o.at[k - 1]) + " and " + std::to_string(o.at[k]) +
                                " fall on the same frame at " + std::to_string(o.fps) + " fps");
    if (o.to_ms >= 0 && o.to_ms <= o.from_ms)
        throw cCaptureError("--to " + std::to_string(o.to_ms) + " must lie after --from " + std::to_string(o.from_ms));
    if (!o.mp4.empty() && (o.width % 2 || o.height % 2))
        throw cCaptureError("--mp4 needs an even width and height (yuv420p), not " + std::to_string(o.width) + "x" +
                            std::to_string(o.height));
    if (!o.sets.empty() && o.scene.empty())
        throw cCaptureError("--set needs --scene");
}

}  // namespace

int32_t grid_time(int64_t j, int32_t fps)
{
    return static_cast<int32_t>((j * 2000 + fps) / (2 * static_cast<int64_t>(fps)));
}

int64_t first_grid_frame_at(int32_t t, int32_t fps)
{
    int64_t j = static_cast<int64_t>(t) * fps / 1000;
    while (j > 0 && grid_time(j - 1, fps) >= t)
        --j;
    while (grid_time(j, fps) < t)
        ++j;
    return j;
}

cCaptureOptions parse_options(int argc, char** argv)
{
    cCaptureOptions o;
    bool range_given = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw cCaptureError(option + " needs a value");
            return argv[++i];
        };
        if (option == "--help" || option == "-h")
            o.help = true;
        else if (option == "--version")
            o.version = true;
        else if (option == "--list")
            o.list = true;
        else if (option == "--mp4")
            o.mp4 = value();
        else if (option == "--png")
            o.png = value();
        else if (option == "--sheet")
            o.sheet = value();
        else if (option == "--profile")
            o.profile = value();
        else if (option == "--every")
            o.every_ms = parse_int(option, value(), 1) * 1000;
        else if (option == "--size")
            std::tie(o.width, o.height) = parse_size(value());
        else if (option == "--fps")
            o.fps = parse_int(option, value(), 1);
        else if (option == "--from")
            o.from_ms = parse_int(option, value(), 0), range_given = true;
        else if (option == "--to")
            o.to_ms = parse_int(option, value(), 1), range_given = true;
        else if (option == "--at")
            o.at = parse_moments(value());
        else if (option == "--scene")
            o.scene = value();
        else if (option == "--set")
            o.sets.push_back(parse_set(value()));
        else
            throw cCaptureError("unknown option '" + option + "' (see --help)");
    }
    check_combination(o, range_given);
    return o;
}
