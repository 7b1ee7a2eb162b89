#pragma once
// Frames and pictures as PNG files (24-bit RGB through FreeImage), each
// written under a temporary name and renamed into place.
#include <string>

#include "frame_output.h"

// The frame's colour (alpha dropped); throws cCaptureError when it cannot
// be written.
void write_frame_png(const cFramePixels& frame, const std::string& path);

// Numbered frames in a directory: DIR/000000.png for the range's first frame.
class cPngSequence : public iFrameOutput {
public:
    // Creates the directory when missing; throws when it cannot hold files.
    explicit cPngSequence(const std::string& dir_);
    void add(const cFramePixels& frame) override;
    void finish() override {}

    std::string dir;  // where the frames go
};

// The one frame of --at.
class cSinglePng : public iFrameOutput {
public:
    explicit cSinglePng(const std::string& path_) : path(path_) {}
    void add(const cFramePixels& frame) override { write_frame_png(frame, path); }
    void finish() override {}

    std::string path;  // where the picture goes
};
