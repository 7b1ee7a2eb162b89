#pragma once
// MP3 encoding of a rendered master through libmp3lame. The whole file is
// built in memory; the LAME info frame at its start records the encoder
// delay and padding, so gapless decoders (libmpg123) return the samples at
// their original times and the audio stays in step with the MIDI twin.
#include <cstdint>
#include <vector>

#include "synth.h"

struct cMp3Settings {
    int bitrate_kbps = 192;  // constant bitrate
    int quality = 5;         // LAME algorithm quality, 0 best/slowest to 9 worst/fastest
};

// False when LAME refuses the settings or the data.
bool encode_mp3(const cStereo& audio, const cMp3Settings& settings, std::vector<uint8_t>& out);
