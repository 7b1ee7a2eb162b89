#include "markers.h"

#include <cstdio>

std::string marker_script(const std::vector<cMarker>& markers)
{
    std::string text =
        "# Markers of the show, in demo time (hours:minutes:seconds:milliseconds).\n"
        "# Written by quorvane-datagen from the soundtrack's own notes.\n";
    for (const cMarker& m : markers) {
        char line[64];
        const int ms = m.ms;
        std::snprintf(line, sizeof line, "%s %d:%02d:%02d:%03d\n", m.token.c_str(), ms / 3600000, ms / 60000 % 60,
                      ms / 1000 % 60, ms % 1000);
        text += line;
    }
    return text;
}
