#pragma once
// Reading frames back from the GL without stalling: two pixel-buffer objects
// take turns, so the transfer of frame k runs while frame k+1 is drawn and
// frame k is mapped only after that. Both buffers are made by the
// constructor (the capture's start-up) and live to the end of the capture.
#include <cstdint>
#include <functional>

#include "gl.h"

// One frame as read back.
struct cFramePixels {
    const uint8_t* bgra = nullptr;  // width * height * 4 bytes, B G R A, bottom row first
    int32_t width = 0;              // pixels
    int32_t height = 0;             // pixels
    int64_t index = 0;              // frame number within the output range, from 0
    int32_t time_ms = 0;            // demo time the frame shows
};

using tFrameSink = std::function<void(const cFramePixels&)>;

class cFrameReadback {
public:
    cFrameReadback(int32_t width_, int32_t height_);
    ~cFrameReadback();
    cFrameReadback(const cFrameReadback&) = delete;
    cFrameReadback& operator=(const cFrameReadback&) = delete;

    // Starts reading the bound read framebuffer's colour attachment 0; the
    // frame started before this one, if any, goes to `sink`.
    void push(int64_t index, int32_t time_ms, const tFrameSink& sink);
    // Hands the frame still in flight to `sink`.
    void flush(const tFrameSink& sink);

private:
    void deliver(int slot, const tFrameSink& sink);

    int32_t width;
    int32_t height;
    GLuint buffers[2] = {0, 0};     // pixel-pack buffers, used in turn
    int64_t index_of[2] = {-1, -1}; // frame index each buffer holds; -1: none
    int32_t time_of[2] = {0, 0};    // demo time of that frame
    int next = 0;                   // buffer the next push reads into
};
