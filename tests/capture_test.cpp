// quorvane-capture run as a program on small frames and short ranges.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "frame_difference.h"
#include "resource_path.h"
#include "support/image_file.h"
#include "version_info.h"
#include "support/tool_run.h"

namespace fs = std::filesystem;

namespace {

const std::string SCRUB = "--scene 'growing scrub' --size 160x90 ";

class CaptureTest : public ToolTest {
protected:
    CaptureTest() : ToolTest("quorvane-capture", "2>&1 >/dev/null") {}  // standard error only
};

// A frame's pixels: a sequence and a single picture are packed differently.
std::vector<uint8_t> pixels(const fs::path& png)
{
    return read_png(png.string()).rgb;
}

// The time_ms column of a profile: the demo time each frame's scene saw.
std::vector<int> profile_times(const fs::path& csv)
{
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    std::vector<int> times;
    while (std::getline(in, line))
        times.push_back(std::stoi(line.substr(line.find(',') + 1)));
    return times;
}

TEST_F(CaptureTest, FramesAreReproducibleAndRangesMatchACaptureFromZero)
{
    run(SCRUB + "--fps 20 --to 500 --png " + path("a"));
    ASSERT_EQ(status, 0);
    run(SCRUB + "--fps 20 --to 500 --png " + path("b"));
    run(SCRUB + "--fps 20 --from 250 --to 500 --png " + path("c"));
    run(SCRUB + "--fps 20 --at 300 --png " + path("d.png"));
    run(SCRUB + "--fps 20 --at 400,150,300 --png " + path("e"));
    for (int k = 0; k < 10; ++k) {
        const std::string name = "00000" + std::to_string(k) + ".png";
        EXPECT_EQ(pixels(dir / "a" / name), pixels(dir / "b" / name)) << name;
    }
    EXPECT_NE(pixels(dir / "a/000000.png"), pixels(dir / "a/000005.png"));  // the scene moves
    // Frames of the range, the single picture and the listed moments are frames of the capture from zero.
    for (const auto& [from_zero, same] : {std::pair{"a/000005.png", "c/000000.png"}, {"a/000009.png", "c/000004.png"},
                                          {"a/000006.png", "d.png"}, {"a/000003.png", "e/000150ms.png"},
                                          {"a/000006.png", "e/000300ms.png"}, {"a/000008.png", "e/000400ms.png"}})
        EXPECT_EQ(pixels(dir / from_zero), pixels(dir / same)) << same;
    EXPECT_FALSE(fs::exists(dir / "c/000005.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "e"), fs::directory_iterator()), 3);
}

TEST_F(CaptureTest, ALateMomentOfTheShowReplaysFromItsLayersAndGivesTheFrameOfAReplayFromZero)
{
    run("--size 160x90 --fps 1 --to 175001 --png " + path("all"));
    ASSERT_EQ(status, 0);
    // The mandala, the statue over the sphere, the kaleidoscope tunnel under
    // the rose (drawn from 0 unrasterised: the rose reads the shared random
    // sequence), the breakdown's flower field.
    for (int s : {45, 120, 145, 175}) {
        const std::string log = run("--size 160x90 --fps 1 --at " + std::to_string(s * 1000) + " --png " +
                                    path(std::to_string(s) + ".png"));
        EXPECT_NE(log.find("replaying from "), std::string::npos) << log;
        char frame[16];
        std::snprintf(frame, sizeof frame, "%06d.png", s);
        EXPECT_TRUE(pixels(dir / (std::to_string(s) + ".png")) == pixels(dir / "all" / frame)) << s << " s";
    }
    // A scene alone is rasterised only in the range: the rose's grain still
    // moves with every frame drawn before it.
    run("--scene rose --size 160x90 --fps 10 --to 2001 --png " + path("rose"));
    run("--scene rose --size 160x90 --fps 10 --at 2000 --png " + path("rose.png"));
    EXPECT_TRUE(pixels(dir / "rose.png") == pixels(dir / "rose" / "000020.png"));
}

TEST_F(CaptureTest, SceneSeesEachFrameAtItsRoundedMillisecond)
{
    run(SCRUB + "--fps 30 --to 250 --profile " + path("p.csv"));
    EXPECT_EQ(profile_times(dir / "p.csv"), (std::vector<int>{0, 33, 67, 100, 133, 167, 200, 233}));
    // A range starts at the first frame of the same grid.
    run(SCRUB + "--fps 30 --from 120 --to 200 --profile " + path("q.csv"));
    EXPECT_EQ(profile_times(dir / "q.csv"), (std::vector<int>{133, 167}));
}

TEST_F(CaptureTest, SheetHasOneLabelledCellPerStep)
{
    run("--size 160x90 --fps 10 --to 3000 --every 1 --sheet " + path("s.png"));
    const cImageFile sheet(dir / "s.png");
    ASSERT_TRUE(sheet.bitmap);
    // Thumbnails are boxes on the grey sheet, with white text under each.
    const auto grey = [&sheet](unsigned x, unsigned y) { return std::abs(sheet.luminance(x, y) - 24 / 255.0f) < 0.002f; };
    const unsigned top = sheet.height() - 10;
    // A box starts after a stretch of the sheet's grey; a dark picture may
    // hold a grey pixel or two of its own.
    const auto after_gap = [&](unsigned x) {
        for (unsigned k = 1; k <= 6; ++k)
            if (x < k || !grey(x - k, top))
                return false;
        return true;
    };
    int boxes = 0, labelled = 0;
    for (unsigned x = 1; x < sheet.width(); ++x) {
        if (!grey(x, top) && after_gap(x)) {
            ++boxes;
            bool label = false;
            for (unsigned row = 0; row < top; ++row)
                for (unsigned dx = 0; dx < 60; ++dx)
                    label = label || sheet.luminance(x + dx, row) > 0.8f;
            labelled += label;
        }
    }
    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(labelled, 3);
}

// What libavformat reads back from a file.
struct cStreamReport {
    int video_frames = 0;
    int64_t audio_samples = 0;    // decoded sample frames
    double audio_energy = 0;      // mean square of the decoded samples
    double duration_s = 0;        // container duration
    bool h264 = false, aac = false;
};

cStreamReport read_mp4(const std::string& file)
{
    cStreamReport r;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) < 0)
        return r;
    avformat_find_stream_info(format, nullptr);
    r.duration_s = static_cast<double>(format->duration) / AV_TIME_BASE;
    const int audio_index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    AVStream* audio = format->streams[audio_index];
    const AVCodec* codec = avcodec_find_decoder(audio->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, audio->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        r.h264 = r.h264 || format->streams[i]->codecpar->codec_id == AV_CODEC_ID_H264;
        r.aac = r.aac || format->streams[i]->codecpar->codec_id == AV_CODEC_ID_AAC;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            r.audio_samples += frame->nb_samples;
            const float* left = reinterpret_cast<const float*>(frame->data[0]);
            for (int s = 0; s < frame->nb_samples; ++s)
                r.audio_energy += left[s] * left[s];
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == audio_index) {
            avcodec_send_packet(decoder, packet);
            drain();
        } else {
            ++r.video_frames;
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    r.audio_energy /= static_cast<double>(std::max<int64_t>(1, r.audio_samples));
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return r;
}

TEST_F(CaptureTest, Mp4HoldsTheRangeAsVideoAndMusic)
{
    // One second of the first drop, where the music is loud.
    run("--size 160x90 --fps 20 --from 36000 --to 37000 --mp4 " + path("v.mp4"));
    ASSERT_EQ(status, 0);
    const cStreamReport r = read_mp4(path("v.mp4"));
    EXPECT_TRUE(r.h264);
    EXPECT_TRUE(r.aac);
    EXPECT_EQ(r.video_frames, 20);
    EXPECT_NEAR(r.duration_s, 1.0, 0.03);
    EXPECT_NEAR(static_cast<double>(r.audio_samples), 44100.0, 1024.0);  // up to one AAC frame of padding
    EXPECT_GT(r.audio_energy, 1e-4);
}

// A picture that does not fit on the disk (a file size limit stands in for
// a full one) ends the run with the system's reason and leaves no file.
TEST_F(CaptureTest, APictureThatCannotBeWrittenWholeLeavesNoFile)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{4096, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const auto on_limit = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing
    const std::string picture = run("--scene 'growing scrub' --size 320x180 --at 300 --png " + path("one.png"));
    const int picture_status = status;
    const std::string sheet = run(SCRUB + "--fps 2 --to 1000 --every 1 --sheet " + path("sheet.png"));
    std::signal(SIGXFSZ, on_limit);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_NE(picture_status, 0);
    EXPECT_NE(status, 0);
    EXPECT_NE(picture.find("cannot write " + path("one.png") + ": File too large"), std::string::npos) << picture;
    EXPECT_NE(sheet.find("cannot write " + path("sheet.png")), std::string::npos) << sheet;
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(CaptureTest, BadInputEndsWithOneLineAndNoFile)
{
    const struct {
        std::string args;      // after the output option
        std::string message;   // part of the one error line
    } cases[] = {
        {SCRUB + "--at 0 --png OUT --set speed=fast", "'fast' is not a float"},
        {SCRUB + "--at 0 --png OUT --set diff-col=1,2", "'1,2' is not a vec3"},
        {SCRUB + "--at 0 --png OUT --set nosuch=1", "has no variable 'nosuch'"},
        {"--scene nosuch --at 0 --png OUT", "no scene 'nosuch'"},
        {"--scene 99 --at 0 --png OUT", "no scene '99'"},
        {"--size 160x90 --to 99999999 --mp4 OUT", "lies outside the show"},
        {"--size 160x91 --mp4 OUT", "even width and height"},
        {"--size 40000x90 --at 0 --png OUT", "render targets reach"},
        {"--size 160x90 --at 0 --png /nonexistent/x.png", "cannot write /nonexistent/x.png"},
        {"--size 160x90 --fps 0 --mp4 OUT", "--fps: '0' is not a whole number"},
        {"--fps 10 --at 200,150,190 --png OUT", "--at 150 and 190 fall on the same frame at 10 fps"},
        {"--at 200,x --png OUT", "--at: 'x' is not a whole number"},
        {"--png OUT.png", "one picture needs --at MS"},
        {"--size 160x90 --bogus --mp4 OUT", "unknown option '--bogus'"},
    };
    for (const auto& c : cases) {
        std::string args = c.args;
        if (const size_t at = args.find("OUT"); at != std::string::npos)
            args.replace(at, 3, path("out"));
        const std::string err = run(args);
        EXPECT_NE(status, 0) << args;
        // The last line, and a line of its own.
        const size_t line = err.rfind("quorvane-capture: ");
        ASSERT_NE(line, std::string::npos) << args << "\n" << err;
        EXPECT_TRUE(line == 0 || err[line - 1] == '\n') << err;
        EXPECT_EQ(err.find('\n', line), err.size() - 1) << args << "\n" << err;
        EXPECT_NE(err.find(c.message, line), std::string::npos) << args << "\n" << err;
        EXPECT_TRUE(fs::is_empty(dir)) << args;
    }
}

}  // namespace

// Every tool names itself and the project's version (and, built from a
// checkout, the revision) on --version, states its exit codes on --help,
// and ends with 0 for both.
TEST(ToolVersionTest, EveryToolAnswersVersionAndHelp)
{
    for (const std::string tool : {"quorvane-capture", "quorvane-studio", "quorvane-inspect", "quorvane-datagen"}) {
        for (const std::string option : {"--version", "--help"}) {
            FILE* p = popen((executable_dir() + "/" + tool + " " + option + " 2>&1").c_str(), "r");
            ASSERT_NE(p, nullptr);
            std::string text;
            char line[256];
            while (std::fgets(line, sizeof line, p))
                text += line;
            const int status = pclose(p);
            if (option == "--version")
                EXPECT_EQ(text.rfind(tool + " " + QV_VERSION, 0), 0u) << tool << ": " << text;
            else
                EXPECT_NE(text.find("\nexit status: 0 "), std::string::npos) << tool << ": " << text;
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << tool << " " << option;
        }
    }
}
