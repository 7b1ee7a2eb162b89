#pragma once
// The video file: H.264 (libx264, yuv420p, constant frame rate) and the
// soundtrack's matching range as AAC, muxed into MP4 with FFmpeg's
// libraries. The writer owns every FFmpeg object from construction to
// destruction; the file is written under a temporary name and moved into
// place by finish(), which also flushes both encoders, so a run stopped
// early still leaves a complete, playable file of the frames done.
// Colour conversion, encoding and muxing run on the writer's own thread:
// add() copies the frame into a small ring of buffers made up front and
// returns, waiting only while the ring is full; frames are encoded in the
// order they were added, and an encoder's error reaches the drawing thread
// at its next add() or at finish().
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame_output.h"
#include "output_file.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;
struct SwsContext;

// Throws cCaptureError when this FFmpeg build lacks an encoder we need.
void check_mp4_encoders();

class cMp4Writer : public iFrameOutput {
public:
    // `pcm` is the decoded soundtrack (interleaved 16-bit stereo at 44100 Hz,
    // kept alive by the caller); the video starts at its sample first_sample.
    cMp4Writer(const std::string& path, int32_t width_, int32_t height_, int32_t fps_,
               const std::vector<int16_t>& pcm_, int64_t first_sample_);
    ~cMp4Writer() override;
    cMp4Writer(const cMp4Writer&) = delete;
    cMp4Writer& operator=(const cMp4Writer&) = delete;

    // Queues the frame for encoding with the audio up to its end.
    void add(const cFramePixels& frame) override;
    // Encodes what is queued, flushes the encoders, moves the file into place.
    void finish() override;

private:
    static constexpr int QUEUE = 4;  // frames waiting for the encoder at most

    void encode_queued();  // the encoding thread
    void encode_picture(const uint8_t* bgra);
    // Ends the encoding thread once the queue is empty; rethrows its error.
    void stop_encoding();
    void open_video();
    void open_audio();
    // Audio of the range up to sample `end` (relative to the range's start),
    // in whole encoder frames unless `last` allows a short final one.
    void encode_audio_until(int64_t end, bool last);
    // Sends one frame (null: flush) and writes every packet that comes out.
    void encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame);

    cOutputFile file;                    // the MP4
    int32_t width;                       // pixels
    int32_t height;
    int32_t fps;                         // frames per second
    const std::vector<int16_t>& pcm;     // soundtrack, interleaved stereo
    int64_t first_sample;                // soundtrack sample at video time 0
    int64_t frames = 0;                  // video frames encoded
    int64_t samples = 0;                 // audio sample frames encoded
    std::vector<int16_t> staging;        // one encoder frame of audio, silence past the end

    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    AVFrame* picture = nullptr;          // yuv420p frame for the video encoder
    AVFrame* sound = nullptr;            // planar float frame for the audio encoder
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;        // BGRA bottom-up -> yuv420p
    SwrContext* resampler = nullptr;     // s16 interleaved -> float planar

    // Shared with the encoding thread, under `lock`.
    std::vector<uint8_t> queued[QUEUE];  // BGRA frames, bottom row first
    int first = 0;                       // oldest queued frame
    int waiting = 0;                     // frames queued
    bool closing = false;                // no more frames will come
    std::exception_ptr failure;          // the encoding thread's error
    std::mutex lock;
    std::condition_variable changed;
    std::thread encoder;                 // last: starts once everything above exists
};
