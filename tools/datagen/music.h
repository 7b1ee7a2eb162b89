#pragma once
// The music and script families of the data tree: the soundtrack's MIDI
// twin, its rendered MP3 and spectrogram picture (data/music) and the marker
// script (data/script), all from compose_piece(). Also the generator's
// render command, which writes a WAV file of the whole mix or one track.
#include <string>

// goa3_3.mid, goa3_4_master.mp3 and spectrogram.png into `dir`.
bool write_music(const std::string& dir);

// markers.txt into `dir`.
bool write_script(const std::string& dir);

// 32-bit float stereo WAV of the master (solo < 0) or of one track alone,
// `seconds` long (0: the whole piece).
bool render_wav(const std::string& path, int solo, double seconds);
