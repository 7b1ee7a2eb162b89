#pragma once
// Frames and pictures as PNG files (24-bit RGB through FreeImage), each
// written under a temporary name and renamed into place.
#include <cstdint>
#include <string>
#include <vector>

#include "frame_output.h"
#include "output_file.h"

struct FIBITMAP;

// The frame's colour (alpha dropped); throws cCaptureError when it cannot
// be written. A sequence is written fast; a picture of a moment is small.
enum ePngPacking { PNG_FAST, PNG_SMALL };
void write_frame_png(const cFramePixels& frame, const std::string& path, ePngPacking packing = PNG_FAST);

// Encodes the picture as PNG (FreeImage flags), frees it, and writes it as
// the whole content of `out`'s temporary file; throws cCaptureError on any
// failure.
void save_png(FIBITMAP* bitmap, int flags, cOutputFile& out);

// Numbered frames in a directory: DIR/000000.png for the range's first frame.
class cPngSequence : public iFrameOutput {
public:
    // Creates the directory when missing; throws when it cannot hold files.
    explicit cPngSequence(const std::string& dir_);
    void add(const cFramePixels& frame) override;
    void finish() override {}

    std::string dir;  // where the frames go
};

// The frames of several --at moments: DIR/012500ms.png for the one at 12.5 s.
class cPngMoments : public iFrameOutput {
public:
    // Creates the directory when missing; throws when it cannot hold files.
    cPngMoments(const std::string& dir_, const std::vector<int32_t>& moments_);
    bool drawn(int64_t index, int32_t time_ms) override;
    void add(const cFramePixels& frame) override;
    void finish() override {}

    std::string dir;               // where the frames go
    std::vector<int32_t> moments;  // ms, ascending
};

// The one frame of --at.
class cSinglePng : public iFrameOutput {
public:
    explicit cSinglePng(const std::string& path_) : path(path_) {}
    void add(const cFramePixels& frame) override { write_frame_png(frame, path, PNG_SMALL); }
    void finish() override {}

    std::string path;  // where the picture goes
};
