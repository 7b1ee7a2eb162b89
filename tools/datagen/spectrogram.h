#pragma once
// A picture of a rendered piece: time runs left to right, frequency bottom to
// top on a logarithmic scale, loudness as colour; a strip below marks the
// section starts, so a person can check the arrangement at a glance.
#include <string>
#include <vector>

#include "synth.h"

struct cSpectrogramMark {
    double seconds = 0.0;  // position in the piece
    std::string label;     // short upper-case text
};

// Writes a PNG; false when it cannot be saved.
bool write_spectrogram(const cStereo& audio, const std::vector<cSpectrogramMark>& marks, const std::string& path);
