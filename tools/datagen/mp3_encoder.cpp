#include "mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace {

struct cLameCloser {
    void operator()(lame_global_flags* gf) const { lame_close(gf); }
};

}  // namespace

bool encode_mp3(const cStereo& audio, const cMp3Settings& settings, std::vector<uint8_t>& out)
{
    std::unique_ptr<lame_global_flags, cLameCloser> gf(lame_init());
    if (!gf)
        return false;
    lame_set_in_samplerate(gf.get(), SAMPLE_RATE);
    lame_set_out_samplerate(gf.get(), SAMPLE_RATE);
    lame_set_num_channels(gf.get(), 2);
    lame_set_mode(gf.get(), JOINT_STEREO);
    lame_set_brate(gf.get(), settings.bitrate_kbps);
    lame_set_quality(gf.get(), settings.quality);
    lame_set_bWriteVbrTag(gf.get(), 1);
    if (lame_init_params(gf.get()) < 0)
        return false;

    out.clear();
    const size_t total = audio.left.size();
    const int chunk = 1 << 16;
    std::vector<unsigned char> buffer(static_cast<size_t>(1.25 * chunk + 7200));
    for (size_t pos = 0; pos < total; pos += chunk) {
        const int n = static_cast<int>(std::min<size_t>(chunk, total - pos));
        const int written = lame_encode_buffer_ieee_float(gf.get(), audio.left.data() + pos, audio.right.data() + pos, n,
                                                          buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0)
            return false;
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(gf.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0)
        return false;
    out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);

    // The first frame was reserved for the info frame; fill it in now that
    // the totals are known.
    const size_t tag = lame_get_lametag_frame(gf.get(), buffer.data(), buffer.size());
    if (tag == 0 || tag > out.size())
        return false;
    std::copy(buffer.begin(), buffer.begin() + static_cast<long>(tag), out.begin());
    return true;
}
