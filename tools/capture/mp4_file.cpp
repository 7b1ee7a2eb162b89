#include "mp4_file.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "options.h"
#include "sound_module.h"

namespace {

const char* const VIDEO_ENCODER = "libx264";
const char* const AUDIO_ENCODER = "aac";
const int64_t AUDIO_BIT_RATE = 192000;

// FFmpeg's result codes as a cCaptureError.
int check(int result, const std::string& step)
{
    if (result >= 0)
        return result;
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, text, sizeof text);
    throw cCaptureError("mp4: " + step + ": " + text);
}

template <typename T>
T* check_alloc(T* object, const std::string& what)
{
    if (!object)
        throw cCaptureError("mp4: cannot allocate " + what);
    return object;
}

}  // namespace

void check_mp4_encoders()
{
    if (!avcodec_find_encoder_by_name(VIDEO_ENCODER))
        throw cCaptureError(std::string("--mp4: this FFmpeg has no H.264 encoder (") + VIDEO_ENCODER + ")");
    if (!avcodec_find_encoder_by_name(AUDIO_ENCODER))
        throw cCaptureError(std::string("--mp4: this FFmpeg has no AAC encoder (") + AUDIO_ENCODER + ")");
}

cMp4Writer::cMp4Writer(const std::string& path, int32_t width_, int32_t height_, int32_t fps_,
                       const std::vector<int16_t>& pcm_, int64_t first_sample_)
    : file(path), width(width_), height(height_), fps(fps_), pcm(pcm_), first_sample(first_sample_)
{
    check_mp4_encoders();
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are not ours to print
    check(avformat_alloc_output_context2(&format, nullptr, "mp4", file.temp.c_str()), "output");
    open_video();
    open_audio();
    packet = check_alloc(av_packet_alloc(), "a packet");
    check(avio_open(&format->pb, file.temp.c_str(), AVIO_FLAG_WRITE), "open " + file.temp);
    check(avformat_write_header(format, nullptr), "header");
    for (std::vector<uint8_t>& frame : queued)
        frame.resize(static_cast<size_t>(width) * height * 4);
    encoder = std::thread([this] { encode_queued(); });
}

cMp4Writer::~cMp4Writer()
{
    try {
        stop_encoding();
    } catch (const cCaptureError&) {
        // the run is already ending on another error; the file is dropped
    }
    if (format && format->pb)
        avio_closep(&format->pb);
    avformat_free_context(format);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    av_frame_free(&picture);
    av_frame_free(&sound);
    av_packet_free(&packet);
    sws_freeContext(scaler);
    swr_free(&resampler);
}

void cMp4Writer::open_video()
{
    const AVCodec* codec = avcodec_find_encoder_by_name(VIDEO_ENCODER);
    video = check_alloc(avcodec_alloc_context3(codec), "the video encoder");
    video->width = width;
    video->height = height;
    video->time_base = AVRational{1, fps};
    video->framerate = AVRational{fps, 1};
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->gop_size = fps * 2;
    // swscale converts with the BT.601 matrix into limited range.
    video->colorspace = AVCOL_SPC_SMPTE170M;
    video->color_range = AVCOL_RANGE_MPEG;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(video->priv_data, "preset", "veryfast", 0);
    av_opt_set(video->priv_data, "crf", "18", 0);
    check(avcodec_open2(video, codec, nullptr), "open " + std::string(VIDEO_ENCODER));
    video_stream = check_alloc(avformat_new_stream(format, nullptr), "the video stream");
    video_stream->time_base = video->time_base;
    video_stream->avg_frame_rate = video->framerate;
    check(avcodec_parameters_from_context(video_stream->codecpar, video), "video parameters");

    picture = check_alloc(av_frame_alloc(), "a picture");
    picture->format = video->pix_fmt;
    picture->width = width;
    picture->height = height;
    check(av_frame_get_buffer(picture, 0), "picture buffer");
    scaler = check_alloc(sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                                        SWS_BILINEAR, nullptr, nullptr, nullptr),
                         "the colour converter");
}

void cMp4Writer::open_audio()
{
    const AVCodec* codec = avcodec_find_encoder_by_name(AUDIO_ENCODER);
    audio = check_alloc(avcodec_alloc_context3(codec), "the audio encoder");
    audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audio->sample_rate = SOUND_RATE;
    audio->bit_rate = AUDIO_BIT_RATE;
    audio->time_base = AVRational{1, SOUND_RATE};
    av_channel_layout_default(&audio->ch_layout, SOUND_CHANNELS);
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(audio, codec, nullptr), "open " + std::string(AUDIO_ENCODER));
    audio_stream = check_alloc(avformat_new_stream(format, nullptr), "the audio stream");
    audio_stream->time_base = audio->time_base;
    check(avcodec_parameters_from_context(audio_stream->codecpar, audio), "audio parameters");

    sound = check_alloc(av_frame_alloc(), "a sound frame");
    sound->format = audio->sample_fmt;
    sound->sample_rate = SOUND_RATE;
    sound->nb_samples = audio->frame_size;
    check(av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout), "channel layout");
    check(av_frame_get_buffer(sound, 0), "sound buffer");
    check(swr_alloc_set_opts2(&resampler, &audio->ch_layout, AV_SAMPLE_FMT_FLTP, SOUND_RATE, &audio->ch_layout,
                              AV_SAMPLE_FMT_S16, SOUND_RATE, 0, nullptr),
          "sample converter");
    check(swr_init(resampler), "sample converter");
    staging.resize(static_cast<size_t>(audio->frame_size) * SOUND_CHANNELS);
}

void cMp4Writer::add(const cFramePixels& frame)
{
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this] { return waiting < QUEUE || failure; });
    if (failure)
        std::rethrow_exception(failure);
    std::copy_n(frame.bgra, queued[0].size(), queued[(first + waiting) % QUEUE].begin());
    ++waiting;
    changed.notify_all();
}

void cMp4Writer::finish()
{
    stop_encoding();
    encode_audio_until(frames * SOUND_RATE / fps, true);
    encode(video, video_stream, nullptr);
    encode(audio, audio_stream, nullptr);
    check(av_write_trailer(format), "trailer");
    avio_closep(&format->pb);
    file.commit();
}

void cMp4Writer::stop_encoding()
{
    if (!encoder.joinable())
        return;
    {
        std::lock_guard<std::mutex> held(lock);
        closing = true;
    }
    changed.notify_all();
    encoder.join();
    if (failure)
        std::rethrow_exception(failure);
}

void cMp4Writer::encode_queued()
{
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [this] { return waiting > 0 || closing; });
        if (waiting == 0)
            return;
        // The slot stays taken while it is encoded; add() fills the others.
        held.unlock();
        try {
            encode_picture(queued[first].data());
        } catch (...) {
            held.lock();
            failure = std::current_exception();
            changed.notify_all();
            return;
        }
        held.lock();
        first = (first + 1) % QUEUE;
        --waiting;
        changed.notify_all();
    }
}

void cMp4Writer::encode_picture(const uint8_t* bgra)
{
    check(av_frame_make_writable(picture), "picture");
    // The frame's rows run bottom up: start at the last row, step backwards.
    const uint8_t* rows[1] = {bgra + static_cast<size_t>(height - 1) * width * 4};
    const int strides[1] = {-width * 4};
    sws_scale(scaler, rows, strides, 0, height, picture->data, picture->linesize);
    picture->pts = frames++;
    encode(video, video_stream, picture);
    encode_audio_until(frames * SOUND_RATE / fps, false);
}

void cMp4Writer::encode_audio_until(int64_t end, bool last)
{
    const int64_t total = static_cast<int64_t>(pcm.size() / SOUND_CHANNELS);
    while (samples < end && (last || end - samples >= audio->frame_size)) {
        const int n = static_cast<int>(std::min<int64_t>(audio->frame_size, end - samples));
        std::fill(staging.begin(), staging.end(), int16_t{0});
        const int64_t from = std::clamp<int64_t>(first_sample + samples, 0, total);
        const int64_t to = std::clamp<int64_t>(first_sample + samples + n, 0, total);
        std::copy(pcm.begin() + from * SOUND_CHANNELS, pcm.begin() + to * SOUND_CHANNELS, staging.begin());
        check(av_frame_make_writable(sound), "sound frame");
        sound->nb_samples = n;
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(staging.data())};
        check(swr_convert(resampler, sound->data, n, in, n), "sample conversion");
        sound->pts = samples;
        samples += n;
        encode(audio, audio_stream, sound);
    }
}

void cMp4Writer::encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame)
{
    check(avcodec_send_frame(codec, frame), "encode");
    for (;;) {
        const int result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        check(result, "encode");
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        check(av_interleaved_write_frame(format, packet), "write");
    }
}
