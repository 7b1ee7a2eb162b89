#include "sound_module.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>

#include "data_file.h"
#include "log.h"
#include "resource_path.h"

namespace {

// The tape stop at exit.
const float STOP_FREQ = 100.0f;   // Hz
const int STOP_FREQ_MS = 150;
const int STOP_PAUSE_MS = 300;
const int FADE_MS = 200;
// Upper bound for waiting on the fade: it ends after FADE_MS of output, so
// only a stalled device could keep it going longer.
const int FADE_WAIT_LIMIT_MS = 1000;

int16_t to_sample(float v)
{
    return static_cast<int16_t>(lrintf(std::clamp(v, -32768.0f, 32767.0f)));
}

void advance(sSoundSlide& s)
{
    if (s.frames_left <= 0)
        return;
    if (--s.frames_left == 0)
        s.value = s.target;
    else
        s.value += s.step;
}

// Normal playback (no slide, full volume, on a whole frame) is a straight
// copy of the decoded samples. Returns the frames written.
int copy_frames(sSoundPlayback& p, int16_t* out, int frames)
{
    bool plain = p.active && p.freq.frames_left == 0 && p.freq.value == float(SOUND_RATE) &&
                 p.volume.frames_left == 0 && p.volume.value == 1.0f && p.pos == std::floor(p.pos);
    if (!plain)
        return 0;
    uint64_t start = static_cast<uint64_t>(p.pos);
    uint64_t n = std::min<uint64_t>(frames, p.frames - std::min(start, p.frames));
    memcpy(out, p.pcm + start * SOUND_CHANNELS, n * SOUND_CHANNELS * sizeof(int16_t));
    p.pos += double(n);
    p.active = p.pos < double(p.frames);
    return static_cast<int>(n);
}

// One output frame at a fractional position (rate slide) and gain.
void mix_frame(sSoundPlayback& p, int16_t* out)
{
    if (!p.active) {
        out[0] = out[1] = 0;
        return;
    }
    uint64_t k = static_cast<uint64_t>(p.pos);
    uint64_t k1 = std::min(k + 1, p.frames - 1);
    float frac = float(p.pos - double(k));
    for (int c = 0; c < SOUND_CHANNELS; ++c) {
        float a = p.pcm[k * SOUND_CHANNELS + c];
        float b = p.pcm[k1 * SOUND_CHANNELS + c];
        out[c] = to_sample((a + (b - a) * frac) * p.volume.value);
    }
    p.pos += double(p.freq.value) / SOUND_RATE;
    advance(p.freq);
    advance(p.volume);
    p.active = p.pos < double(p.frames);
}

}  // namespace

// ---- decoding ------------------------------------------------------------------

namespace {

// A feed-mode decoder holding the whole file, producing only the device
// format (mpg123 converts mono and resamples other rates); null on failure.
mpg123_handle* open_decoder(const std::vector<uint8_t>& data)
{
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return nullptr;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    mpg123_format(mh, SOUND_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(mh) != MPG123_OK || mpg123_feed(mh, data.data(), data.size()) != MPG123_OK) {
        mpg123_delete(mh);
        return nullptr;
    }
    return mh;
}

// Decodes until the data are used up; true when the stream announced the
// device format.
bool decode_all(mpg123_handle* mh, std::vector<int16_t>& pcm)
{
    const size_t chunk = 65536;  // samples per read
    bool format_ok = false;
    for (;;) {
        size_t old = pcm.size(), done = 0;
        pcm.resize(old + chunk);
        int r = mpg123_read(mh, reinterpret_cast<unsigned char*>(pcm.data() + old), chunk * sizeof(int16_t), &done);
        pcm.resize(old + done / sizeof(int16_t));
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(mh, &rate, &channels, &encoding);
            format_ok = rate == SOUND_RATE && channels == SOUND_CHANNELS && encoding == MPG123_ENC_SIGNED_16;
            if (!format_ok)
                return false;
        } else if (r != MPG123_OK) {
            return format_ok;  // end of the data (NEED_MORE / DONE) or damage after the good part
        }
    }
}

}  // namespace

bool decode_mp3(const std::vector<uint8_t>& data, std::vector<int16_t>& pcm)
{
    pcm.clear();
    mpg123_handle* mh = data.empty() ? nullptr : open_decoder(data);
    if (!mh)
        return false;
    pcm.reserve(data.size() * 6);  // about 11:1 for common bit rates, in 16-bit units
    bool ok = decode_all(mh, pcm);
    mpg123_delete(mh);
    pcm.resize(ok ? pcm.size() - pcm.size() % SOUND_CHANNELS : 0);
    pcm.shrink_to_fit();
    return ok && !pcm.empty();
}

// ---- audio thread ------------------------------------------------------------

void SDLCALL cSoundModule_SDL::audio_callback(void* self, Uint8* stream, int len)
{
    static_cast<cSoundModule_SDL*>(self)->mix(reinterpret_cast<int16_t*>(stream),
                                              len / int(SOUND_CHANNELS * sizeof(int16_t)));
}

void cSoundModule_SDL::mix(int16_t* out, int frames)
{
    int done = copy_frames(play, out, frames);
    for (int i = done; i < frames; ++i)
        mix_frame(play, out + SOUND_CHANNELS * i);
}

// ---- main thread -------------------------------------------------------------

cSoundModule_SDL::cSoundModule_SDL()
{
    play.freq.value = float(SOUND_RATE);
    play.volume.value = 1.0f;
}

cSoundModule_SDL::~cSoundModule_SDL()
{
    close_device();
}

void cSoundModule_SDL::close_device()
{
    if (!device)
        return;
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
}

void cSoundModule_SDL::init()
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    if (linked.major != SDL_MAJOR_VERSION) {
        std::cerr << "## ERROR: SDL version " << SDL_MAJOR_VERSION << "." << SDL_MINOR_VERSION << " was not loaded"
                  << std::endl;
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_code = SOUND_ERROR_DRIVER;
        fatal("Can't initialize device");
    }
    SDL_AudioSpec want{};
    want.freq = SOUND_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = SOUND_CHANNELS;
    want.samples = SOUND_BUFFER_FRAMES;
    want.callback = audio_callback;
    want.userdata = this;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &obtained, 0);
    if (!device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        error_code = SOUND_ERROR_DEVICE;
        fatal("Can't initialize device");
    }
    // Like a freshly initialised output: running, silent until a stream plays.
    SDL_PauseAudioDevice(device, 0);
    error_code = SOUND_OK;
}

void cSoundModule_SDL::read_file(const std::string& name)
{
    data.clear();
    std::string path = cResourcePath::get_fullpath(name);
    const cDataFile file = read_data_file(path.empty() ? name : path, MAX_MUSIC_BYTES);
    if (!file.read && !file.missing)
        std::cerr << "## ERROR: " << file.problem << std::endl;
    data.assign(file.bytes.begin(), file.bytes.end());
}

void cSoundModule_SDL::load()
{
    load(MUSIC_FILE);
}

void cSoundModule_SDL::load(const std::string& name)
{
    read_file(name);
    std::vector<int16_t> decoded;
    if (!device)
        error_code = SOUND_ERROR_INIT;
    else if (data.empty())
        error_code = SOUND_ERROR_FILEOPEN;
    else
        error_code = decode_mp3(data, decoded) ? SOUND_OK : SOUND_ERROR_FILEFORM;
    channel = error_code == SOUND_OK ? 1 : 0;
    check_error();
    // The callback may still read an earlier stream: swap under the lock.
    if (device)
        SDL_LockAudioDevice(device);
    pcm.swap(decoded);
    play.pcm = pcm.data();
    play.frames = pcm.size() / SOUND_CHANNELS;
    play.pos = 0.0;
    play.active = channel && play.frames > 0;
    // The stream plays, so this pauses the output: silent at 0 until the
    // show starts. Under the lock, so the callback never plays the new
    // stream's first samples before the show positions it.
    toggle_pause();
    if (device)
        SDL_UnlockAudioDevice(device);

    if (!channel) {
        length = 0;
        std::cerr << "# audio didn't recognize the filetype: \"" << name << "\"" << std::endl;
    } else {
        length = play.frames * SOUND_CHANNELS * sizeof(int16_t);
        std::cout << "# audio streaming file \"" << name << "\" [size: " << length << " bytes]";
        if (length) {
            uint64_t t = play.frames / SOUND_RATE;
            std::cout << " [length: " << t / 60 << ":" << t % 60 << "]";
        }
        std::cout << std::endl;
    }
}

bool cSoundModule_SDL::output_running() const
{
    return device && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_PLAYING;
}

bool cSoundModule_SDL::is_playing()
{
    if (!channel || !output_running())
        return false;
    SDL_LockAudioDevice(device);
    bool active = play.active;
    SDL_UnlockAudioDevice(device);
    return active;
}

uint64_t cSoundModule_SDL::position()
{
    if (!device)
        return static_cast<uint64_t>(play.pos);
    SDL_LockAudioDevice(device);
    double pos = play.pos;
    SDL_UnlockAudioDevice(device);
    return static_cast<uint64_t>(pos);
}

void cSoundModule_SDL::toggle_pause()
{
    if (!device) {
        error_code = SOUND_ERROR_INIT;
        return;
    }
    SDL_PauseAudioDevice(device, is_playing() ? 1 : 0);
}

void cSoundModule_SDL::set_time(int32_t ms)
{
    int64_t frame = int64_t(ms) * SOUND_RATE / 1000;
    if (!channel)
        error_code = SOUND_ERROR_HANDLE;
    else if (ms < 0 || uint64_t(frame) >= play.frames)
        error_code = SOUND_ERROR_POSITION;
    else
        error_code = SOUND_OK;
    if (error_code != SOUND_OK) {
        std::cerr << "# ERROR: audio failed setting time " << ms << std::endl;
        check_error();
        return;
    }
    // A stream that has played to its end plays again from the new place.
    SDL_LockAudioDevice(device);
    play.pos = double(frame);
    play.active = true;
    SDL_UnlockAudioDevice(device);
}

int32_t cSoundModule_SDL::latency()
{
    if (latency_ms == -1) {
        // SDL hands one buffer to the driver while the callback fills the next.
        latency_ms = device ? static_cast<int32_t>(std::lround(2.0 * obtained.samples * 1000.0 / obtained.freq)) : 0;
    }
    return latency_ms;
}

void cSoundModule_SDL::check_error()
{
    if (error_code != SOUND_OK)
        std::cerr << "# ERROR: whoops, audio failed something. Errorcode: " << error_code << std::endl;
}

void cSoundModule_SDL::fatal(const std::string& message)
{
    std::cerr << "## ERROR: audio: Error(" << error_code << "): " << message << std::endl;
    std::cerr << "# SDL: " << SDL_GetError() << std::endl;
    std::cerr << "# hint: no sound device could be opened; SDL_AUDIODRIVER=dummy plays the show without sound"
              << std::endl;
    close_device();
    // The exit handler would fade out through the device that failed.
    fatal_exit(255, SKIP_EXIT_HANDLERS);
}

// A paused output plays no frames, so its slides take effect at once.
void cSoundModule_SDL::start_slide(sSoundSlide& slide, float target, int ms)
{
    int64_t frames = output_running() ? int64_t(ms) * SOUND_RATE / 1000 : 0;
    SDL_LockAudioDevice(device);
    slide.target = target;
    if (frames > 0) {
        slide.step = (target - slide.value) / float(frames);
        slide.frames_left = frames;
    } else {
        slide.value = target;
        slide.frames_left = 0;
    }
    SDL_UnlockAudioDevice(device);
}

bool cSoundModule_SDL::volume_sliding()
{
    SDL_LockAudioDevice(device);
    bool sliding = play.volume.frames_left > 0;
    SDL_UnlockAudioDevice(device);
    return sliding && output_running();
}

void cSoundModule_SDL::shutdown()
{
    if (!device)
        return;
    start_slide(play.freq, STOP_FREQ, STOP_FREQ_MS);
    SDL_Delay(STOP_PAUSE_MS);
    start_slide(play.volume, 0.0f, FADE_MS);
    Uint64 give_up = SDL_GetTicks64() + FADE_WAIT_LIMIT_MS;
    while (volume_sliding() && SDL_GetTicks64() < give_up)
        SDL_Delay(1);
    // The end of the fade is still queued in the device; closing now would
    // cut it off with a click.
    if (output_running())
        SDL_Delay(static_cast<Uint32>(latency()));
    close_device();
    channel = 0;
}
