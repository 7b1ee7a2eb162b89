#include "event_script.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string_view>

#include "data_file.h"
#include "resource_path.h"

namespace {

const char* const SEPARATORS = " \t\n\r";
const std::string_view UTF8_BOM = "\xEF\xBB\xBF";

struct sNamedMarker {
    const char* token;  // marker name as written in the script
    int32_t code;       // event code it stands for
};

// Compared before the digit test and the scene markers.
const sNamedMarker NAMED_MARKERS[] = {
    {"beat", 25},   {"snare", 26},     {"rumble", 27},    {"fadein", 28}, {"bwab1", 29},
    {"bwab2", 30},  {"technofx", 31},  {"technofx2", 32}, {"melody", 33}, {"lead", 34},
    {"hihatc", 35}, {"hihato", 36},    {"sinus_in", 37},
};

const int32_t CODE_NONE = -1;
const int32_t CODE_DIGIT_LINE = 24;
const int32_t CODE_S100 = 22;

// "s00" ... "s21" give their number; anything else -1.
int32_t scene_marker_code(const char* token)
{
    if (token[0] != 's' || !isdigit(static_cast<unsigned char>(token[1])) ||
        !isdigit(static_cast<unsigned char>(token[2])) || token[3] != '\0')
        return CODE_NONE;
    int32_t n = (token[1] - '0') * 10 + (token[2] - '0');
    return n <= 21 ? n : CODE_NONE;
}

// The script lives below the data directory but not in a search directory,
// so a name that the search list cannot resolve is tried once more against
// the executable's directory (or the installed data beside it).
std::string resolve_script(const std::string& name)
{
    std::string full = cResourcePath::get_fullpath(name);
    if (!full.empty())
        return full;
    const std::string anchored = anchored_path(executable_dir(), name);
    std::error_code ec;
    return std::filesystem::exists(anchored, ec) ? anchored : name;
}

// strtol clamped to 32 bits, so that absurd numbers cannot overflow the sum.
int64_t read_number(const char* piece)
{
    long v = strtol(piece, nullptr, 10);
    return std::clamp<long>(v, INT32_MIN, INT32_MAX);
}

}  // namespace

int32_t cEventQueue_factory::eventtoken_parse(const char* token)
{
    for (const sNamedMarker& m : NAMED_MARKERS)
        if (strcmp(token, m.token) == 0)
            return m.code;
    if (isdigit(static_cast<unsigned char>(token[0])))
        return CODE_DIGIT_LINE;
    int32_t scene = scene_marker_code(token);
    if (scene != CODE_NONE)
        return scene;
    if (strcmp(token, "s100") == 0)
        return CODE_S100;
    if (strcmp(token, "quit") == 0)
        return EVENT_QUIT;
    if (token[0] != '#')
        std::cerr << "# warning, unknown token " << token << " in cEventQueue_factory::eventtoken_parse"
                  << std::endl;
    return CODE_NONE;
}

int32_t parse_time(char* text, int* numbers)
{
    int64_t parts[4] = {0, 0, 0, 0};
    int count = 0;
    char* save = nullptr;
    for (char* piece = strtok_r(text, ":,", &save); piece && count < 4; piece = strtok_r(nullptr, ":,", &save))
        parts[count++] = read_number(piece);
    if (numbers)
        *numbers = count;
    int64_t ms = parts[0] * 3600000 + parts[1] * 60000 + parts[2] * 1000 + parts[3];
    // The sum is defined modulo 2^32 like the 32-bit arithmetic it stands for.
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

std::unique_ptr<cEvent> parse_line(char* line)
{
    auto none = std::make_unique<cEvent>(CODE_NONE, CODE_NONE);
    std::string original(line);
    char* save = nullptr;
    char* token = strtok_r(line, SEPARATORS, &save);
    if (!token)
        return none;
    int32_t code = cEventQueue_factory::eventtoken_parse(token);
    if (code == CODE_NONE || code == CODE_DIGIT_LINE)
        return none;
    char* time_text = strtok_r(nullptr, SEPARATORS, &save);
    char empty[1] = {'\0'};
    int numbers = 0;
    int32_t time = parse_time(time_text ? time_text : empty, &numbers);
    if (numbers < 4) {
        original.erase(original.find_last_not_of(SEPARATORS) + 1);
        std::cerr << "# warning, marker time with fewer than four numbers (missing ones count as 0) in line \""
                  << original << "\" in cEventQueue_factory::parse_line" << std::endl;
    }
    return std::make_unique<cEvent>(code, time);
}

cEventQueue* cEventQueue_factory::loadFile()
{
    return loadFile(MARKER_SCRIPT_FILE);
}

cEventQueue* cEventQueue_factory::loadFile(const std::string& name)
{
    const cDataFile file = read_data_file(resolve_script(name), MAX_SCRIPT_BYTES);
    if (!file.read) {
        if (!file.missing)
            std::cerr << "# warning: " << file.problem << std::endl;
        std::cout << "Error reading file \"" << name << " in cEventQueue_factory::loadFile" << std::endl;
        return nullptr;
    }
    std::istringstream in(std::string(file.bytes.begin(), file.bytes.end()));
    auto* queue = new cEventQueue();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        // Editors that save UTF-8 with a byte-order mark put it before the
        // first token, which would hide the first marker.
        if (number == 1 && line.starts_with(UTF8_BOM))
            line.erase(0, UTF8_BOM.size());
        // An over-long line is no marker the script writes: skipping it
        // keeps every marker after it, the end of the show included.
        if (line.size() > MARKER_LINE_MAX) {
            std::cerr << "# warning, line " << number << " of \"" << name << "\" is longer than " << MARKER_LINE_MAX
                      << " characters - skipped" << std::endl;
            continue;
        }
        std::unique_ptr<cEvent> e = parse_line(line.data());
        if (e->type != CODE_NONE)
            queue->events.push_back(e.release());
    }
    queue->sort();
    queue->cursor = 0;
    return queue;
}
