#pragma once
// Builds Standard MIDI File bytes in tests: a header, track chunks and the
// variable-length numbers inside them.
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

inline void append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

inline void append_be(Bytes& to, uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        to.push_back(uint8_t(v >> (8 * i)));
}

inline Bytes midi_header(uint16_t tracks, int16_t division, uint16_t format = 1)
{
    Bytes b{'M', 'T', 'h', 'd'};
    append_be(b, 6, 4);
    append_be(b, format, 2);
    append_be(b, tracks, 2);
    append_be(b, uint16_t(division), 2);
    return b;
}

// A track chunk; `declared` overrides the stored length (for damaged files).
inline Bytes midi_track(const Bytes& events, int64_t declared = -1)
{
    Bytes b{'M', 'T', 'r', 'k'};
    append_be(b, declared < 0 ? uint32_t(events.size()) : uint32_t(declared), 4);
    append(b, events);
    return b;
}

// One event: delta time then the given bytes.
inline Bytes ev(uint32_t delta, std::initializer_list<uint8_t> bytes)
{
    Bytes b = vlq(delta);
    b.insert(b.end(), bytes.begin(), bytes.end());
    return b;
}

inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        append(out, p);
    return out;
}

inline Bytes tempo_event(uint32_t delta, uint32_t us_per_quarter)
{
    return ev(delta, {0xFF, 0x51, 0x03, uint8_t(us_per_quarter >> 16), uint8_t(us_per_quarter >> 8),
                      uint8_t(us_per_quarter)});
}

inline Bytes end_of_track()
{
    return ev(0, {0xFF, 0x2F, 0x00});
}
