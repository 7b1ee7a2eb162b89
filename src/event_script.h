#pragma once
// The marker script: a hand-written text file of named, timed markers
// ("s03 0:01:23:450") read once during start-up into a new event queue.
// The queue (and every event in it) belongs to the caller; the reader keeps
// nothing. Bad lines are skipped with a warning on the error stream; a line
// longer than the line limit ends the reading.
#include <cstdint>
#include <memory>
#include <string>

#include "events.h"

// Where the demo keeps its marker script, relative to the executable's
// directory.
inline constexpr const char* MARKER_SCRIPT_FILE = "../data/script/markers.txt";

// Longest line (without its line feed) the reader accepts.
inline constexpr size_t MARKER_LINE_MAX = 511;

class cEventQueue_factory {
public:
    // Reads MARKER_SCRIPT_FILE; null (with a message on the output stream)
    // when it cannot be opened.
    static cEventQueue* loadFile();
    // Reads the named file, resolved like every data file (working directory
    // first, then the executable's directory and the search list).
    static cEventQueue* loadFile(const std::string& name);

    // Event code of a marker token; -1 for comments and unknown tokens (the
    // latter with a warning), 24 for tokens that begin with a digit.
    static int32_t eventtoken_parse(const char* token);
};

// One script line as an event; type and time are -1 when the line carries no
// marker. The line is split in place.
std::unique_ptr<cEvent> parse_line(char* line);

// "h:m:s:ms" (":" and "," in any mix) in milliseconds. Missing numbers count
// as 0; `numbers`, when given, receives how many were present.
int32_t parse_time(char* text, int* numbers = nullptr);
