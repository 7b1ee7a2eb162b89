// quorvane-studio: the show in a window for the people who make it: seek,
// pause, loop, solo a layer, tweak its values, print them for the timeline,
// and see shader edits at once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

#include "overlay.h"
#include "studio.h"

namespace {

const char* const USAGE =
    "usage: quorvane-studio [--at MS] [--loop A B] [--size WxH]\n"
    "  --at MS      start playing at MS milliseconds\n"
    "  --loop A B   play A to B ms again and again\n"
    "  --size WxH   window size in pixels (default 1280x720)\n";

int32_t ms_arg(const char* text)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > INT32_MAX)
        throw std::invalid_argument(std::string("not a time in ms: ") + text);
    return static_cast<int32_t>(v);
}

cStudioOptions parse(int argc, char** argv)
{
    cStudioOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* {
            if (i + 1 >= argc)
                throw std::invalid_argument(a + " needs a value");
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--at") {
            o.at_ms = ms_arg(next());
        } else if (a == "--loop") {
            o.loop_a = ms_arg(next());
            o.loop_b = ms_arg(next());
            if (o.loop_b <= o.loop_a)
                throw std::invalid_argument("--loop A B needs A < B");
        } else if (a == "--size") {
            const char* v = next();
            if (std::sscanf(v, "%dx%d", &o.width, &o.height) != 2 || o.width < 64 || o.height < 64)
                throw std::invalid_argument(std::string("--size WxH, at least 64x64: ") + v);
        } else {
            throw std::invalid_argument("unknown option " + a);
        }
    }
    return o;
}

}  // namespace

int main(int argc, char** argv)
{
    cStudioOptions options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "quorvane-studio: " << e.what() << "\n" << USAGE;
        return 2;
    }
    if (options.help) {
        std::cout << USAGE << "keys:\n";
        for (int i = 0; i < STUDIO_KEY_LINES; ++i)
            std::cout << "  " << STUDIO_KEYS[i] << "\n";
        return 0;
    }
    run_studio(options);
}
