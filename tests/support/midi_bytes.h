#pragma once
// Builds Standard MIDI File bytes in tests: header, track chunks, events.
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes vlq(uint32_t v)
{
    Bytes out{uint8_t(v & 0x7F)};
    while (v >>= 7)
        out.insert(out.begin(), uint8_t(0x80 | (v & 0x7F)));
    return out;
}

inline void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        append(out, p);
    return out;
}

inline Bytes be(uint32_t v, int bytes)
{
    Bytes out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

inline Bytes midi_header(uint16_t tracks, int16_t division, uint16_t format = 1)
{
    return cat({{'M', 'T', 'h', 'd'}, be(6, 4), be(format, 2), be(tracks, 2), be(uint16_t(division), 2)});
}

// A track chunk; `declared` overrides the stored length (for damaged files).
inline Bytes midi_track(const Bytes& events, int64_t declared = -1)
{
    return cat({{'M', 'T', 'r', 'k'}, be(declared < 0 ? uint32_t(events.size()) : uint32_t(declared), 4), events});
}

// One event: delta time, then the given bytes.
inline Bytes ev(uint32_t delta, std::initializer_list<uint8_t> bytes)
{
    return cat({vlq(delta), Bytes(bytes)});
}

inline Bytes tempo_event(uint32_t delta, uint32_t us)
{
    return ev(delta, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

inline Bytes end_of_track() { return ev(0, {0xFF, 0x2F, 0x00}); }
