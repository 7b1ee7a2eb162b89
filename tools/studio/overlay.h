#pragma once
// What the studio draws over the show's picture: the tweak list (when
// shown), a status line and the key help. Text is drawn with the GUI's
// labels from the show's pixel font. The overlay lives as long as the
// studio; its label texts keep their capacity, so a frame allocates nothing
// once the texts have reached their longest.
#include <string>

#include "values/gui_label.h"

class cGuiVarList;

class cStudioOverlay {
public:
    // In screen space over the whole window, after the show's frame.
    void draw(cGuiVarList* list, bool show_help);

    cGuiTxtLabel status;   // time, section, layers, frames per second
    cGuiTxtLabel message;  // the latest reload or printout note
    cGuiTxtLabel help;     // one line of key help, drawn once per line
};

// The key help, one line per entry.
extern const char* const STUDIO_KEYS[];
extern const int STUDIO_KEY_LINES;
