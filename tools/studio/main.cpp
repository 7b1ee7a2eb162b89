// quorvane-studio: the show in a window for the people who make it: seek,
// pause, loop, solo a layer, tweak its values, print them for the timeline,
// and see shader edits at once.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

#include "overlay.h"
#include "studio.h"
#include "version.h"

namespace {

const char* const USAGE =
    "usage: quorvane-studio [--at MS] [--loop A B] [--size WxH]\n"
    "  --at MS      start playing at MS milliseconds\n"
    "  --loop A B   play A to B ms again and again\n"
    "  --size WxH   window size in pixels (default 1280x720)\n"
    "  --help       this text\n"
    "  --version    the studio's version\n";

// The whole of `text` as a number from min to max; throws `what` otherwise.
int32_t whole_number(const std::string& text, long min, long max, const std::string& what)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || *end != '\0' || errno != 0 || v < min ||
        v > max)
        throw std::invalid_argument(what + text);
    return static_cast<int32_t>(v);
}

int32_t ms_arg(const char* text)
{
    return whole_number(text, 0, INT32_MAX, "not a time in ms: ");
}

// WxH, each side from 64 to 16384 pixels.
void size_arg(const std::string& text, int32_t& width, int32_t& height)
{
    const size_t x = text.find('x');
    try {
        if (x == std::string::npos)
            throw std::invalid_argument(text);
        width = whole_number(text.substr(0, x), 64, 16384, "");
        height = whole_number(text.substr(x + 1), 64, 16384, "");
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("--size WxH, from 64x64 to 16384x16384: " + text);
    }
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
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--at") {
            o.at_ms = ms_arg(next());
        } else if (a == "--loop") {
            o.loop_a = ms_arg(next());
            o.loop_b = ms_arg(next());
            if (o.loop_b <= o.loop_a)
                throw std::invalid_argument("--loop A B needs A < B");
        } else if (a == "--size") {
            size_arg(next(), o.width, o.height);
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
    if (options.version) {
        std::cout << version_line("quorvane-studio") << "\n";
        return 0;
    }
    if (options.help) {
        std::cout << USAGE << "keys:\n";
        for (int i = 0; i < STUDIO_KEY_LINES; ++i)
            std::cout << "  " << STUDIO_KEYS[i] << "\n";
        std::cout << "exit status: 0 quit (keys, window, Ctrl-C); 1 an invalid MIDI file; 2 bad options;\n"
                     "255 the show could not start (a missing or damaged data file, shader or extension).\n";
        return 0;
    }
    run_studio(options);
}
