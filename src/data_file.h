#pragma once
// Reading a whole data file without being held or swamped by what lies in
// its place: only a regular file is read. A directory, pipe, device or
// socket is refused without blocking (the file is opened non-blocking and
// examined before any read), and each kind of file has a size limit, so a
// huge file is an error instead of a read.
#include <cstddef>
#include <string>
#include <vector>

// The largest file of each kind that is read.
constexpr size_t MAX_SCRIPT_BYTES = size_t(1) << 20;   // marker script
constexpr size_t MAX_SHADER_BYTES = size_t(1) << 20;   // one GLSL source
constexpr size_t MAX_MIDI_BYTES = size_t(16) << 20;
constexpr size_t MAX_MODEL_BYTES = size_t(512) << 20;  // OBJ, MTL or .bzobj
constexpr size_t MAX_MUSIC_BYTES = size_t(256) << 20;  // the MP3

struct cDataFile {
    std::vector<char> bytes;  // the whole file when read
    bool read = false;        // true when `bytes` holds the file
    bool missing = false;     // there is no such file (or no permission to open it)
    std::string problem;      // why it was not read, naming the path; empty when read
};

cDataFile read_data_file(const std::string& path, size_t max_bytes);

// Why `path` cannot be read as a data file by a library that opens it
// itself (pictures): not there, or not a regular file. Empty when it is one.
std::string data_file_problem(const std::string& path);
