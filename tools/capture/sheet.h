#pragma once
// The contact sheet: one thumbnail every `every` ms of the range in a grid,
// each labelled with its time and the names of the layers active then. The
// sheet keeps its picture in memory until finish() writes it as PNG.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame_output.h"
#include "output_file.h"

class cSheet : public iFrameOutput {
public:
    static constexpr int32_t THUMB_WIDTH = 256;  // pixels
    static constexpr int32_t COLUMNS = 6;
    static constexpr int32_t PAD = 6;            // pixels around and between cells
    static constexpr int32_t LABEL_HEIGHT = 22;  // pixels under each thumbnail: two lines of text

    // Cells at first_ms, first_ms + every_ms, ... before end_ms, for frames
    // of width x height; `names` tells the layers active at the frame just
    // drawn.
    cSheet(const std::string& path, int32_t first_ms, int32_t end_ms, int32_t every_ms, int32_t frame_width,
           int32_t frame_height, std::function<std::string()> names);

    // The first frame at or after a cell's time becomes that cell; only
    // those frames are wanted.
    bool drawn(int64_t index, int32_t time_ms) override;
    void add(const cFramePixels& frame) override;
    void finish() override;

    int32_t cells() const { return static_cast<int32_t>(cell_times.size()); }

private:
    void place_thumbnail(int32_t cell, const cFramePixels& frame);
    void place_label(int32_t cell, const std::string& line, int32_t row);

    cOutputFile file;                    // the sheet's PNG
    std::vector<int32_t> cell_times;     // ms of each cell
    std::vector<int64_t> cell_frames;    // frame index shown in each cell, -1 until drawn
    std::function<std::string()> names;  // layers active now
    int32_t thumb_height = 0;            // pixels, keeps the frame's aspect
    int32_t width = 0;                   // sheet size in pixels
    int32_t height = 0;
    std::vector<uint8_t> rgb;            // the sheet, top row first, 3 bytes per pixel
};
