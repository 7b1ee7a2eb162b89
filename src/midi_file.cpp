#include "midi_file.h"

#include "data_file.h"
#include "log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

const size_t HEADER_SIZE = 14;       // "MThd", length, format, tracks, division
const size_t CHUNK_HEADER_SIZE = 8;  // "MTrk", length

uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint16_t be16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

// Data bytes that follow a channel status, by its high nibble.
int channel_data_bytes(uint8_t status)
{
    switch (status >> 4) {
    case 0x8: case 0x9: case 0xA: case 0xB: case 0xE:
        return 2;
    case 0xC: case 0xD:
        return 1;
    default:
        return 0;
    }
}

bool is_stored_status(uint8_t status)
{
    return status >= 0x80 && status < 0xF0;
}

}  // namespace

void midi_fatal(const char* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    fprintf(stderr, "# mid FATAL ERROR: %s\n", message);
    fatal_exit(1);
}

std::optional<std::vector<uint8_t>> read_midi_bytes(const std::string& path)
{
    const cDataFile file = read_data_file(path, MAX_MIDI_BYTES);
    if (!file.read) {
        if (!file.missing)
            fprintf(stderr, "# midi: %s\n", file.problem.c_str());
        return std::nullopt;
    }
    return std::vector<uint8_t>(file.bytes.begin(), file.bytes.end());
}

// ---- file -------------------------------------------------------------------

cMidiFile::cMidiFile(std::vector<uint8_t> bytes) : data(std::move(bytes)), end(data.size()), size(data.size())
{
    read_header();
    locate_tracks();
}

void cMidiFile::read_header()
{
    if (size < HEADER_SIZE || memcmp(data.data(), "MThd", 4) != 0)
        midi_fatal("This is not a valid MIDI file!");
    header_length = be32(&data[4]);
    format = be16(&data[8]);
    num_tracks = be16(&data[10]);
    division = static_cast<int16_t>(be16(&data[12]));
    std::cout << "# midi: Num tracks: " << num_tracks << std::endl;

    if (division > 0) {
        seconds_per_tick = 0.5 / division;  // 120 bpm until a tempo event says otherwise
        return;
    }
    int frame_code = -static_cast<int8_t>(static_cast<uint16_t>(division) >> 8);
    double fps = 0.0;
    switch (frame_code) {
    case 24: fps = 24.0; break;
    case 25: fps = 25.0; break;
    case 29: fps = 29.97; break;
    case 30: fps = 30.0; break;
    default: midi_fatal("Illegal SMPTE frame code");
    }
    int ticks_per_frame = static_cast<uint16_t>(division) & 0xFF;
    // Zero ticks per frame has no duration; every event then lands at 0.
    seconds_per_tick = ticks_per_frame ? 1.0 / (ticks_per_frame * fps) : 0.0;
}

void cMidiFile::locate_tracks()
{
    size_t chunk = HEADER_SIZE;
    for (int i = 0; i < num_tracks; ++i) {
        size_t left = chunk < end ? end - chunk : 0;
        if (left >= 4 && memcmp(&data[chunk], "MTrk", 4) != 0)
            midi_fatal("Track %d/%d is invalid!", i + 1, num_tracks);
        if (left < CHUNK_HEADER_SIZE) {
            // Declared but not in the file: an empty track.
            std::cerr << "# warning: midi track " << i + 1 << "/" << num_tracks << " is missing from the file"
                      << std::endl;
            tracks.push_back(std::make_unique<cMidiTrack>(this, end, end));
            chunk = end;
            continue;
        }
        uint32_t length = be32(&data[chunk + 4]);
        size_t begin = chunk + CHUNK_HEADER_SIZE;
        size_t track_end = begin + std::min<size_t>(length, end - begin);
        // A cut file: the events that are there are kept.
        if (length > end - begin)
            std::cerr << "# warning: midi track " << i + 1 << "/" << num_tracks << " runs "
                      << length - (end - begin) << " bytes past the end of the file" << std::endl;
        tracks.push_back(std::make_unique<cMidiTrack>(this, begin, track_end));
        tracks.back()->length = length;
        chunk = begin + length;
    }
}

void cMidiFile::read_tracks()
{
    std::cout << "# midi: Reading tracks from MIDI file..." << std::endl;
    for (auto& track : tracks) {
        uint32_t tick = 0;
        sMidiTrackEvent e{};
        while (track->read_event(e)) {
            tick += e.tick;
            if (is_stored_status(e.status)) {
                e.tick = tick;
                track->events.push_back(e);
            }
        }
        length_ticks = std::max(length_ticks, tick);
    }
}

// ---- track ------------------------------------------------------------------

cMidiTrack::cMidiTrack(cMidiFile* file_, size_t begin, size_t end_)
    : file(file_), pos(begin), end(end_), length(static_cast<uint32_t>(end_ - begin))
{
}

bool cMidiTrack::read_byte(uint8_t& b)
{
    if (pos >= end)
        return false;
    b = file->data[pos++];
    return true;
}

bool cMidiTrack::read_vlq(uint32_t& value)
{
    value = 0;
    uint8_t b = 0;
    do {
        if (!read_byte(b))
            return false;
        value = value * 128 + (b & 0x7F);
    } while (b & 0x80);
    return true;
}

bool cMidiTrack::skip(size_t count)
{
    if (count > end - pos) {
        pos = end;
        return false;
    }
    pos += count;
    return true;
}

void cMidiTrack::read_tempo(uint32_t length)
{
    if (length < 3 || end - pos < 3)
        return;
    const uint8_t* p = &file->data[pos];
    uint32_t us = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    if (us == 0)
        return;  // a zero-length beat has no meaning; keep the previous tempo
    std::cout << "# midi: bpm: " << 60000000.0 / us << std::endl;
    // With SMPTE timing the ticks are fixed fractions of a second already.
    if (file->division > 0)
        file->seconds_per_tick = us / 1000000.0 / file->division;
}

bool cMidiTrack::read_meta()
{
    uint8_t type = 0, len = 0;
    if (!read_byte(type))
        return false;
    switch (type) {
    case 0x51:
        if (!read_byte(len))
            return false;
        read_tempo(len);
        return skip(len);
    case 0x58:
        return read_byte(len) && skip(len);
    case 0x03:
        if (!read_byte(len) || len > end - pos) {
            pos = end;
            return false;
        }
        if (len) {
            // Kept as a C string: an embedded zero ends the name.
            const char* text = reinterpret_cast<const char*>(&file->data[pos]);
            name.assign(text, strnlen(text, len));
        }
        return skip(len);
    default: {
        uint32_t vlen = 0;
        return read_vlq(vlen) && skip(vlen);
    }
    }
}

bool cMidiTrack::read_event(sMidiTrackEvent& e)
{
    e = {};
    uint8_t b = 0;
    if (!read_vlq(e.tick) || !read_byte(b))
        return false;
    if (b & 0x80)
        running_status = b;
    else if (running_status == 0)
        return true;  // a data byte with no status to run on: skipped
    else
        --pos;  // running status: the byte is the first data byte
    e.status = running_status;

    if (e.status == 0xFF)
        return read_meta();
    if (e.status == 0xF0 || e.status == 0xF7) {
        uint32_t len = 0;
        return read_vlq(len) && skip(len);
    }
    int count = channel_data_bytes(e.status);
    if (count >= 1 && !read_byte(e.first_byte))
        return false;
    if (count >= 2 && !read_byte(e.second_byte))
        return false;
    return true;
}
