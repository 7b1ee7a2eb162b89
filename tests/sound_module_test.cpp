#include <gtest/gtest.h>

#include <SDL.h>

#include "sound_module.h"
#include "support/files.h"
#include "support/mp3_encode.h"

namespace {

class SoundModule : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    std::string write_mp3(double seconds, int rate = 44100, int channels = 2)
    {
        return dir.write("music.mp3", encode_mp3(test_signal(rate, channels, seconds), rate, channels));
    }
    // Everything the device plays goes into a raw file of 16-bit stereo.
    std::string use_disk_output()
    {
        const std::string out = dir / "played.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        return out;
    }
    static std::vector<int16_t> read_samples(const std::string& path)
    {
        const std::string raw = read_file(path);
        std::vector<int16_t> s(raw.size() / 2);
        memcpy(s.data(), raw.data(), s.size() * 2);
        return s;
    }
    static std::string load(cSoundModule_SDL& s, const std::string& path)
    {
        return stdout_of([&] { s.load(path); });
    }

    cTempDir dir{"sound"};
};

const std::string WHOOPS = "# ERROR: whoops, audio failed something. Errorcode: ";

}  // namespace

TEST_F(SoundModule, LoadDecodesWholeFileAndWaitsPausedAtZero)
{
    std::string path = write_mp3(2.5);
    cSoundModule_SDL s;
    s.init();
    std::string out = load(s, path);
    ASSERT_EQ(s.channel, 1u);
    uint64_t frames = s.pcm.size() / 2;
    EXPECT_GE(frames, 110250u);
    EXPECT_LE(frames, 110250u + 3 * 1152);  // encoder delay and padding
    EXPECT_EQ(s.length, frames * 4);
    EXPECT_EQ(out, "# audio streaming file \"" + path + "\" [size: " + std::to_string(s.length) +
                       " bytes] [length: 0:2]\n");

    SDL_Delay(120);
    EXPECT_FALSE(s.is_playing());
    EXPECT_EQ(s.position(), 0u);
    s.toggle_pause();
    EXPECT_TRUE(s.is_playing());
    SDL_Delay(200);
    EXPECT_GT(s.position(), 0u);
    s.toggle_pause();
    uint64_t stopped = s.position();
    SDL_Delay(120);
    EXPECT_FALSE(s.is_playing());
    EXPECT_EQ(s.position(), stopped);

    int32_t latency = s.latency();
    EXPECT_EQ(latency, int32_t(std::lround(2000.0 * s.obtained.samples / s.obtained.freq)));
    s.obtained.samples *= 2;  // asked once: a later change is not seen
    EXPECT_EQ(s.latency(), latency);
}

TEST_F(SoundModule, LongStreamLengthAndMillisecondPositions)
{
    // Mono 11025 Hz is converted to the device format while decoding.
    std::string path = write_mp3(125.6, 11025, 1);
    cSoundModule_SDL s;
    s.init();
    std::string out = load(s, path);
    EXPECT_NE(out.find("[length: 2:5]\n"), std::string::npos) << out;
    s.set_time(125000);
    EXPECT_EQ(s.position(), 5512500u);
    s.set_time(1);
    EXPECT_EQ(s.position(), 44u);  // 44.1 frames: the frame the millisecond starts in

    EXPECT_EQ(stderr_of([&] { s.set_time(200000); s.set_time(-5); }),
              "# ERROR: audio failed setting time 200000\n" + WHOOPS + "7\n# ERROR: audio failed setting time -5\n" +
                  WHOOPS + "7\n");
    EXPECT_EQ(s.position(), 44u);
}

TEST_F(SoundModule, FilesThatAreNoMp3LeaveTheDemoSilent)
{
    cSoundModule_SDL idle;  // never initialised: inert, but says why
    EXPECT_NE(stderr_of([&] { idle.load(write_mp3(0.5)); }).find(WHOOPS + "8\n# audio didn't"), std::string::npos);
    idle.toggle_pause();
    idle.shutdown();
    EXPECT_EQ(idle.latency(), 0);

    cSoundModule_SDL s;
    s.init();
    const std::string text = dir.write("notes.mp3", std::string(3000, 'a'));
    for (const std::string& path : {text, dir.write("zeros.mp3", std::string(20000, '\0'))}) {
        std::string out;
        EXPECT_EQ(stderr_of([&] { out = load(s, path); }),
                  WHOOPS + "41\n# audio didn't recognize the filetype: \"" + path + "\"\n");
        EXPECT_EQ(out, "");
        EXPECT_EQ(s.channel, 0u);
    }
    const std::string err = stderr_of([&] { s.load(dir / "missing.mp3"); s.set_time(0); });
    EXPECT_NE(err.find(WHOOPS + "2\n"), std::string::npos) << err;
    EXPECT_NE(err.find("# ERROR: audio failed setting time 0\n" + WHOOPS + "5\n"), std::string::npos) << err;
    EXPECT_FALSE(s.is_playing());
}

TEST_F(SoundModule, SetTimePlaysFromTheExactSample)
{
    std::string raw = use_disk_output();
    cSoundModule_SDL s;
    s.init();
    load(s, write_mp3(3.0));
    s.set_time(1234);
    s.toggle_pause();
    SDL_Delay(300);
    s.toggle_pause();
    s.shutdown();

    const int16_t* expect = s.pcm.data() + size_t(1234 * 44100 / 1000) * 2;
    std::vector<int16_t> out = read_samples(raw);
    const size_t probe = 256 * 2, checked = 4096 * 2;
    auto at = std::search(out.begin(), out.end(), expect, expect + probe);
    ASSERT_NE(at, out.end()) << "the samples at 1234 ms were never played";
    EXPECT_TRUE(std::all_of(out.begin(), at, [](int16_t v) { return v == 0; })) << "played before the position";
    ASSERT_GE(size_t(out.end() - at), checked);
    EXPECT_TRUE(std::equal(at, at + checked, expect));
}

TEST_F(SoundModule, ASeekAfterTheEndPlaysAgain)
{
    cSoundModule_SDL s;
    s.init();
    load(s, write_mp3(0.3));
    s.toggle_pause();
    for (int i = 0; i < 100 && s.is_playing(); ++i)
        SDL_Delay(20);
    ASSERT_FALSE(s.is_playing()) << "the stream never reached its end";
    s.set_time(100);
    EXPECT_TRUE(s.is_playing());
    SDL_Delay(100);
    EXPECT_GT(s.position(), uint64_t(100 * 441 / 10));
    s.shutdown();
}

TEST_F(SoundModule, ShutdownStopsLikeTapeThenFadesButSkipsTheFadeWhenPaused)
{
    std::string raw = use_disk_output();
    cSoundModule_SDL s;
    s.init();
    load(s, write_mp3(3.0));
    s.toggle_pause();
    SDL_Delay(250);
    uint64_t before = s.position();
    Uint64 t0 = SDL_GetTicks64();
    s.shutdown();
    Uint64 took = SDL_GetTicks64() - t0;
    EXPECT_GE(took, 490u);  // 300 ms pause + 200 ms fade
    EXPECT_LT(took, 1200u);
    EXPECT_EQ(s.device, 0u);
    // Full speed would play 22050 frames in that time; winding down to
    // 100 Hz within 150 ms plays well under a third of it.
    EXPECT_LT(s.position() - before, 6000u);

    std::vector<int16_t> out = read_samples(raw);
    ASSERT_GT(out.size(), 44100u);
    EXPECT_TRUE(std::any_of(out.begin(), out.end() - 44100, [](int16_t v) { return std::abs(v) > 10000; }));
    EXPECT_TRUE(std::all_of(out.end() - 1024, out.end(), [](int16_t v) { return v == 0; })) << "no silent end";

    cSoundModule_SDL paused;  // nothing playing: the pause, but no fade to wait for
    paused.init();
    load(paused, write_mp3(0.5));
    t0 = SDL_GetTicks64();
    paused.shutdown();
    took = SDL_GetTicks64() - t0;
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 700u);
    EXPECT_EQ(paused.device, 0u);
}

TEST_F(SoundModule, DeviceThatCannotOpenEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
            atexit([] { fprintf(stderr, "exit handler ran\n"); });
            cSoundModule_SDL s;
            s.init();
            fprintf(stderr, "init returned\n");
        },
        testing::ExitedWithCode(255),
        "^## ERROR: audio: Error\\(3\\): Can't initialize device\n# SDL: [^\n]*\n# hint: [^\n]*SDL_AUDIODRIVER=dummy[^\n]*\n$");
}
