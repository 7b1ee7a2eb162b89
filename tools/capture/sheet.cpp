#include "sheet.h"

#include <algorithm>
#include <cstdio>

#include <FreeImage.h>

#include "canvas.h"
#include "options.h"
#include "png_file.h"
#include "pixel_font.h"

namespace {

const uint8_t BACKGROUND = 24;  // grey of the sheet behind the cells
const int32_t LINE_HEIGHT = 10;  // pixels per label line (7 of glyph, 3 of gap)
const cTextStyle LABEL_STYLE{1, 1};

std::string time_label(int32_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%03d", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

// The longest start of the text that fits the width, with ".." when cut.
std::string fit(const std::string& text, int32_t width)
{
    if (text_width(text, LABEL_STYLE) <= width)
        return text;
    std::string cut = text;
    while (!cut.empty() && text_width(cut + "..", LABEL_STYLE) > width)
        cut.pop_back();
    return cut + "..";
}

}  // namespace

cSheet::cSheet(const std::string& path, int32_t first_ms, int32_t end_ms, int32_t every_ms, int32_t frame_width,
               int32_t frame_height, std::function<std::string()> names_)
    : file(path), names(std::move(names_))
{
    for (int32_t t = first_ms; t < end_ms; t += every_ms)
        cell_times.push_back(t);
    cell_frames.assign(cell_times.size(), -1);
    thumb_height = std::max(1, THUMB_WIDTH * frame_height / frame_width);
    const int32_t columns = std::min(COLUMNS, cells());
    const int32_t rows = (cells() + COLUMNS - 1) / COLUMNS;
    width = PAD + columns * (THUMB_WIDTH + PAD);
    height = PAD + rows * (thumb_height + LABEL_HEIGHT + PAD);
    rgb.assign(static_cast<size_t>(width) * height * 3, BACKGROUND);
}

bool cSheet::drawn(int64_t index, int32_t time_ms)
{
    for (int32_t c = 0; c < cells(); ++c) {
        if (cell_frames[c] >= 0 || time_ms < cell_times[c])
            continue;
        cell_frames[c] = index;
        place_label(c, time_label(time_ms), 0);
        place_label(c, names(), 1);
        return true;
    }
    return false;
}

void cSheet::add(const cFramePixels& frame)
{
    for (int32_t c = 0; c < cells(); ++c)
        if (cell_frames[c] == frame.index)
            place_thumbnail(c, frame);
}

// Each thumbnail pixel is the mean of the frame pixels its box covers.
void cSheet::place_thumbnail(int32_t cell, const cFramePixels& frame)
{
    const int32_t x0 = PAD + cell % COLUMNS * (THUMB_WIDTH + PAD);
    const int32_t y0 = PAD + cell / COLUMNS * (thumb_height + LABEL_HEIGHT + PAD);
    for (int32_t ty = 0; ty < thumb_height; ++ty) {
        // Frame rows run bottom up, sheet rows top down.
        const int32_t sy1 = frame.height - ty * frame.height / thumb_height;
        const int32_t sy0 = std::min(sy1 - 1, frame.height - (ty + 1) * frame.height / thumb_height);
        for (int32_t tx = 0; tx < THUMB_WIDTH; ++tx) {
            const int32_t sx0 = tx * frame.width / THUMB_WIDTH;
            const int32_t sx1 = std::max(sx0 + 1, (tx + 1) * frame.width / THUMB_WIDTH);
            uint32_t sum[3] = {0, 0, 0};
            for (int32_t sy = sy0; sy < sy1; ++sy)
                for (int32_t sx = sx0; sx < sx1; ++sx) {
                    const uint8_t* p = frame.bgra + (static_cast<size_t>(sy) * frame.width + sx) * 4;
                    sum[0] += p[2], sum[1] += p[1], sum[2] += p[0];
                }
            const uint32_t n = static_cast<uint32_t>((sy1 - sy0) * (sx1 - sx0));
            uint8_t* out = &rgb[(static_cast<size_t>(y0 + ty) * width + x0 + tx) * 3];
            for (int i = 0; i < 3; ++i)
                out[i] = static_cast<uint8_t>(sum[i] / n);
        }
    }
}

void cSheet::place_label(int32_t cell, const std::string& line, int32_t row)
{
    cLayer text(THUMB_WIDTH, LINE_HEIGHT);
    draw_text(text, fit(line, THUMB_WIDTH - 4), 2, 1, LABEL_STYLE, 1.0f);
    const int32_t x0 = PAD + cell % COLUMNS * (THUMB_WIDTH + PAD);
    const int32_t y0 = PAD + cell / COLUMNS * (thumb_height + LABEL_HEIGHT + PAD) + thumb_height + 2 +
                       row * LINE_HEIGHT;
    for (int32_t y = 0; y < LINE_HEIGHT; ++y)
        for (int32_t x = 0; x < THUMB_WIDTH; ++x)
            if (text.at(x, y) > 0.5f)
                std::fill_n(&rgb[(static_cast<size_t>(y0 + y) * width + x0 + x) * 3], 3, uint8_t{230});
}

void cSheet::finish()
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap)
        throw cCaptureError("out of memory for the sheet");
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* dst = FreeImage_GetScanLine(bitmap, height - 1 - y);  // FreeImage rows run bottom up
        const uint8_t* src = &rgb[static_cast<size_t>(y) * width * 3];
        for (int32_t x = 0; x < width; ++x, src += 3, dst += 3)
            dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
    }
    save_png(bitmap, PNG_DEFAULT, file);
    file.commit();
}
