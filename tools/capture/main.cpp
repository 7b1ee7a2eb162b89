// quorvane-capture: renders the show, or one scene, offline into video,
// PNG frames, a contact sheet or a timing profile.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "capture.h"
#include "version.h"

int main(int argc, char** argv)
{
    int code = 1;
    try {
        const cCaptureOptions options = parse_options(argc, argv);
        if (options.help || options.version) {
            std::cout << (options.help ? CAPTURE_HELP : version_line("quorvane-capture") + "\n");
            return 0;
        }
        code = run_capture(options);
    } catch (const std::exception& e) {
        std::cerr << "quorvane-capture: " << e.what() << std::endl;
        code = 1;
    }
    // The show's exit handler would fade out a sound device that never
    // played; everything written is already closed.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(code);
}
