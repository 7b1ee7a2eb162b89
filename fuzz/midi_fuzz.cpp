// libFuzzer target for the MIDI reader. The input chooses the header fields,
// the number of tracks, each track's declared length (which may lie) and the
// track bytes; the magic words and the SMPTE frame code are kept valid so the
// reader's fatal exits (which end any process, fuzzer or demo) are not hit
// and the fuzzer spends its time in the event parser.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "events.h"
#include "midi_events.h"
#include "midi_file.h"
#include "quiet_streams.h"

namespace {

void put_be(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_streams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint16_t tracks = data[0] % 8;
    int16_t division = static_cast<int16_t>(data[1] << 8 | data[2]);
    if (division <= 0)
        division = static_cast<int16_t>(0xE700 | data[2]);  // SMPTE 25, fuzzed ticks per frame
    const bool truncate = data[3] & 1;
    data += 4;
    size -= 4;

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    put_be(file, 6, 4);
    put_be(file, 1, 2);
    put_be(file, tracks + (truncate ? 1 : 0), 2);  // possibly more than present
    put_be(file, static_cast<uint16_t>(division), 2);
    const size_t share = tracks ? size / tracks : size;
    for (uint16_t t = 0; t < tracks; ++t) {
        const uint8_t* body = data + t * share;
        // Only the last chunk may lie about its length: a lie in an earlier
        // one would put the next magic word inside data, which is fatal.
        const bool last = t + 1 == tracks;
        const uint32_t declared =
            last && share >= 1 && (body[0] & 0x80) ? body[0] * 977u : static_cast<uint32_t>(share);
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        put_be(file, declared, 4);
        file.insert(file.end(), body, body + share);
    }

    cMidiFile midi(std::move(file));
    midi.read_tracks();
    cEventQueue queue;
    add_midi_events(queue, midi);
    return 0;
}
