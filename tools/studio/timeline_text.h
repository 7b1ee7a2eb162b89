#pragma once
// The studio's printout of tuned values as lines of the show's timeline
// table, and the reader that takes such lines back. Plain text in, plain
// records out: nothing here touches GL or keeps state between calls.
//
// A line reads
//     {60, "campath_t", LERP_FLOAT, 111500, 119000, 0.0, 1.0},
// layer key, variable, kind, window start and end (ms), from, to.
#include <cstdint>
#include <string>
#include <vector>

class cSceneComposition;

struct cTimelineLine {
    int32_t key = 0;       // layer key in the composition
    std::string var;       // published variable of the layer's scene
    std::string kind;      // SET_INT, SET_FLOAT, LERP_INT, LERP_FLOAT, LERP_DOUBLE, SMOOTH_FLOAT, EASE_OUT_FLOAT
    int32_t start = 0;     // window start, demo time (ms)
    int32_t end = 0;       // window end, demo time (ms)
    double from = 0;       // value at the start (a SET holds it)
    double to = 0;         // value at the end (0 for a SET)
};

// One table line, with its trailing comma.
std::string format_timeline_line(const cTimelineLine& line);
// Reads one line as format_timeline_line writes it (any spacing); false for
// anything else, comments and blank lines included.
bool parse_timeline_line(const std::string& text, cTimelineLine& line);
// Every line of `text` that parses, in order.
std::vector<cTimelineLine> parse_timeline_text(const std::string& text);

// The current values of the published variables of every layer active at
// time t, as lines over each layer's window: an int as SET_INT, a float as
// SET_FLOAT, a double as LERP_DOUBLE from the value to itself. A Vec3 has no
// kind in the table and comes out as a comment naming its value.
std::string timeline_printout(cSceneComposition& composition, int32_t t);
