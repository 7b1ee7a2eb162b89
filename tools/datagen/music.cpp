#include "music.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

#include "composition.h"
#include "markers.h"
#include "mp3_encoder.h"
#include "spectrogram.h"
#include "synth.h"

namespace {

bool save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (write_bytes(path, bytes))
        return true;
    std::cerr << "quorvane-datagen: cannot write " << path << ": " << std::strerror(errno) << std::endl;
    return false;
}

void put_le(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> wav_bytes(const cStereo& audio)
{
    const uint32_t frames = static_cast<uint32_t>(audio.left.size());
    const uint32_t data = frames * 8;
    std::vector<uint8_t> out;
    out.reserve(44 + data);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put_le(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put_le(out, 16, 4);
    put_le(out, 3, 2);  // IEEE float
    put_le(out, 2, 2);
    put_le(out, SAMPLE_RATE, 4);
    put_le(out, SAMPLE_RATE * 8, 4);
    put_le(out, 8, 2);
    put_le(out, 32, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put_le(out, data, 4);
    for (uint32_t i = 0; i < frames; ++i)
        for (float v : {audio.left[i], audio.right[i]}) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            put_le(out, bits, 4);
        }
    return out;
}

double seconds_since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

bool write_music(const std::string& dir)
{
    const cPiece piece = compose_piece();
    if (!save(dir + "/goa3_3.mid", encode_midi(piece.song)))
        return false;

    const auto t0 = std::chrono::steady_clock::now();
    const cStereo master = render_song(piece.song, piece.setup, {});
    const double rendered = seconds_since(t0);
    std::vector<uint8_t> mp3;
    if (!encode_mp3(master, {}, mp3)) {
        std::cerr << "quorvane-datagen: MP3 encoding failed" << std::endl;
        return false;
    }
    std::cout << "quorvane-datagen: soundtrack rendered in " << rendered << " s, encoded in "
              << seconds_since(t0) - rendered << " s" << std::endl;
    if (!save(dir + "/goa3_4_master.mp3", mp3))
        return false;

    std::vector<cSpectrogramMark> marks;
    const auto& sections = piece_sections();
    for (size_t i = 0; i < sections.size(); ++i) {
        const double s = tick_ms(piece.song, sections[i].bar * piece.song.ticks_per_bar()) / 1000.0;
        marks.push_back({s, (i < 10 ? "S0" : "S") + std::to_string(i)});
    }
    if (!write_spectrogram(master, marks, dir + "/spectrogram.png")) {
        std::cerr << "quorvane-datagen: cannot write " << dir << "/spectrogram.png" << std::endl;
        return false;
    }
    return true;
}

bool write_script(const std::string& dir)
{
    const std::string text = marker_script(compose_piece().markers);
    return save(dir + "/markers.txt", std::vector<uint8_t>(text.begin(), text.end()));
}

bool render_wav(const std::string& path, int solo, double seconds)
{
    const cPiece piece = compose_piece();
    cRenderOptions options;
    options.solo = solo;
    options.seconds = seconds;
    return save(path, wav_bytes(render_song(piece.song, piece.setup, options)));
}
