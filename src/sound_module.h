#pragma once
// The music player: an SDL2 audio device at 44100 Hz stereo playing the demo's
// MP3, which is read whole into memory and decoded with libmpg123 during
// load, before anything plays, so the audio thread only copies samples.
// Held by value inside the scene manager: inert until init(), loaded once by
// load(), started by toggle_pause() when the show begins, faded out and
// released by shutdown() from the scene manager's destructor. All calls come
// from the main thread; the audio callback reads the shared playback state
// only while SDL holds the device lock, and the main thread takes that lock
// only for a few assignments.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* MUSIC_FILE = "../data/music/goa3_4_master.mp3";

inline constexpr int SOUND_RATE = 44100;      // device and stream rate (Hz)
inline constexpr int SOUND_CHANNELS = 2;      // stereo
inline constexpr int SOUND_BUFFER_FRAMES = 1024;  // device buffer (sample frames)

// Error codes reported by check_error and fatal (0: the last operation worked).
enum : int32_t {
    SOUND_OK = 0,
    SOUND_ERROR_FILEOPEN = 2,  // music file missing or empty
    SOUND_ERROR_DRIVER = 3,    // the audio subsystem did not start
    SOUND_ERROR_HANDLE = 5,    // no stream to act on
    SOUND_ERROR_POSITION = 7,  // position outside the stream
    SOUND_ERROR_INIT = 8,      // no device (init not run or failed)
    SOUND_ERROR_DEVICE = 23,   // the output device did not open
    SOUND_ERROR_FILEFORM = 41, // data that do not decode as MP3
};

// A linear slide of one playback attribute, advanced per output frame.
struct sSoundSlide {
    float value = 0.0f;      // current value
    float target = 0.0f;     // value at the end of the slide
    float step = 0.0f;       // change per output frame
    int64_t frames_left = 0; // output frames until the target is reached; 0: idle
};

// What the audio callback reads and writes; touched elsewhere only under
// the device lock.
struct sSoundPlayback {
    const int16_t* pcm = nullptr;  // decoded stream, interleaved stereo
    uint64_t frames = 0;           // stream length (sample frames)
    double pos = 0.0;              // read position (frames; fractional while the rate slides)
    bool active = false;           // playing: started and not yet at its end
    sSoundSlide freq;              // playback rate (Hz), SOUND_RATE = normal speed
    sSoundSlide volume;            // gain, 0..1
};

class cSoundModule_SDL {
public:
    cSoundModule_SDL();
    ~cSoundModule_SDL();
    cSoundModule_SDL(const cSoundModule_SDL&) = delete;
    cSoundModule_SDL& operator=(const cSoundModule_SDL&) = delete;

    // Opens the output device; a device that cannot open ends the process.
    void init();
    // Reads and decodes MUSIC_FILE (or the given file), prints the streaming
    // line and leaves the stream playing at 0 with the output paused. A file
    // that is missing or no MP3 leaves the demo silent.
    void load();
    void load(const std::string& name);
    // Pauses the whole output while the stream plays, resumes it otherwise.
    void toggle_pause();
    // Moves the stream to ms, sample-exact (floor of ms * 44.1 frames); a
    // stream that had played to its end plays on from there.
    void set_time(int32_t ms);
    // Output latency (device buffer + the buffer queued behind it) in ms;
    // computed once, then cached.
    int32_t latency();
    void check_error();
    // Reports, says how to play without a sound device, releases the device
    // and ends the process at once (code 255, no exit handlers).
    [[noreturn]] void fatal(const std::string& message);
    // Tape stop and fade: rate down to 100 Hz in 150 ms, 300 ms pause, volume
    // to silence in 200 ms; once the queued end of the fade has played, the
    // device is released. About 550 ms in all, never more than about 1.6 s.
    void shutdown();

    // The stream plays and the output runs (what toggle_pause tests).
    bool is_playing();
    // Current read position in sample frames.
    uint64_t position();

    uint32_t channel = 0;          // 1 while a decoded stream exists, else 0
    uint64_t length = 0;           // decoded stream length (bytes of 16-bit stereo)
    int32_t latency_ms = -1;       // output latency (ms); -1 until asked
    std::vector<uint8_t> data;     // the whole music file
    std::vector<int16_t> pcm;      // decoded stream, interleaved stereo at SOUND_RATE
    int32_t error_code = SOUND_OK; // result of the last operation
    SDL_AudioDeviceID device = 0;  // open output device; 0 without one
    SDL_AudioSpec obtained{};      // what the device accepted

private:
    static void SDLCALL audio_callback(void* self, Uint8* stream, int len);
    void mix(int16_t* out, int frames);
    bool output_running() const;
    void start_slide(sSoundSlide& slide, float target, int ms);
    bool volume_sliding();
    void read_file(const std::string& name);
    void close_device();

    sSoundPlayback play;  // shared with the audio callback
};

// Decodes a whole in-memory MP3 to interleaved 16-bit stereo at SOUND_RATE.
// False when the data do not decode (nothing usable is left in `pcm`).
bool decode_mp3(const std::vector<uint8_t>& data, std::vector<int16_t>& pcm);
