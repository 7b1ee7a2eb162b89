#include "midi_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

void put_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    put_u16(out, v >> 16);
    put_u16(out, v & 0xFFFF);
}

void put_vlq(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n > 1)
        out.push_back(groups[--n] | 0x80);
    out.push_back(groups[0]);
}

// Names are short; the reader takes the meta length as one byte.
void put_name(std::vector<uint8_t>& out, const std::string& name)
{
    const size_t len = std::min<size_t>(name.size(), 127);
    put_vlq(out, 0);
    out.insert(out.end(), {0xFF, 0x03, static_cast<uint8_t>(len)});
    out.insert(out.end(), name.begin(), name.begin() + static_cast<long>(len));
}

void put_chunk(std::vector<uint8_t>& out, const std::vector<uint8_t>& body)
{
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put_u32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

void put_end(std::vector<uint8_t>& body, uint32_t delta)
{
    put_vlq(body, delta);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
}

int order_at_tick(uint8_t status)
{
    switch (status & 0xF0) {
    case 0x80: return 0;
    case 0xB0: return 1;
    default: return 2;
    }
}

}  // namespace

void sort_events(cMidiSong& song)
{
    for (cMidiTrackData& track : song.tracks)
        std::stable_sort(track.events.begin(), track.events.end(), [](const cMidiEvent& a, const cMidiEvent& b) {
            if (a.tick != b.tick)
                return a.tick < b.tick;
            return order_at_tick(a.status) < order_at_tick(b.status);
        });
}

std::vector<uint8_t> encode_midi(const cMidiSong& song)
{
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    put_u32(out, 6);
    put_u16(out, 1);
    put_u16(out, static_cast<uint32_t>(song.tracks.size()));
    put_u16(out, song.division);

    std::vector<uint8_t> body;
    for (size_t i = 0; i < song.tracks.size(); ++i) {
        const cMidiTrackData& track = song.tracks[i];
        body.clear();
        put_name(body, track.name);
        if (i == 0) {
            put_vlq(body, 0);
            body.insert(body.end(), {0xFF, 0x51, 0x03, static_cast<uint8_t>(song.tempo_us >> 16),
                                     static_cast<uint8_t>(song.tempo_us >> 8), static_cast<uint8_t>(song.tempo_us)});
            put_vlq(body, 0);
            body.insert(body.end(), {0xFF, 0x58, 0x04, song.beats_per_bar, 2, 24, 8});
        }
        uint32_t tick = 0;
        for (const cMidiEvent& e : track.events) {
            put_vlq(body, e.tick - tick);
            tick = e.tick;
            body.insert(body.end(), {static_cast<uint8_t>((e.status & 0xF0) | (track.channel & 0x0F)), e.data1, e.data2});
        }
        put_end(body, 0);
        put_chunk(out, body);
    }
    return out;
}

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    // Under a temporary name until complete: a full disk leaves no
    // truncated file under the final one.
    const std::string temp = path + ".part";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return false;
    const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) == 0 && complete && std::rename(temp.c_str(), path.c_str()) == 0)
        return true;
    const int error = errno;  // the reason, for the caller's message
    std::remove(temp.c_str());
    errno = error;
    return false;
}
