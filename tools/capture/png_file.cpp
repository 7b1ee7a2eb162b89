#include "png_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include <FreeImage.h>

#include "options.h"
#include "output_file.h"

void write_frame_png(const cFramePixels& frame, const std::string& path)
{
    cOutputFile out(path);
    FIBITMAP* bitmap = FreeImage_Allocate(frame.width, frame.height, 24);
    if (!bitmap)
        throw cCaptureError("out of memory for a " + std::to_string(frame.width) + "x" +
                            std::to_string(frame.height) + " picture");
    // Both are bottom row first with blue in the lowest byte.
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint8_t* src = frame.bgra + static_cast<size_t>(y) * frame.width * 4;
        uint8_t* dst = FreeImage_GetScanLine(bitmap, y);
        for (int32_t x = 0; x < frame.width; ++x, src += 4, dst += 3)
            std::memcpy(dst, src, 3);
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, out.temp.c_str(), PNG_Z_BEST_SPEED) != 0;
    FreeImage_Unload(bitmap);
    if (!saved)
        throw cCaptureError("cannot write " + path);
    out.commit();
}

cPngSequence::cPngSequence(const std::string& dir_) : dir(dir_)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw cCaptureError("cannot write " + dir + ": " + ec.message());
    cOutputFile(dir + "/000000.png").check_writable();
}

void cPngSequence::add(const cFramePixels& frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%06lld.png", static_cast<long long>(frame.index));
    write_frame_png(frame, dir + name);
}
