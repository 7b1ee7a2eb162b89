#include "png_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <FreeImage.h>

#include "options.h"
#include "output_file.h"

void write_frame_png(const cFramePixels& frame, const std::string& path, ePngPacking packing)
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
    save_png(bitmap, packing == PNG_SMALL ? PNG_Z_BEST_COMPRESSION : PNG_Z_BEST_SPEED, out);
    out.commit();
}

void save_png(FIBITMAP* bitmap, int flags, cOutputFile& out)
{
    // Encoded in memory first: FreeImage does not report a short write to
    // a file, so a full disk would leave a truncated picture.
    FIMEMORY* memory = FreeImage_OpenMemory();
    BYTE* data = nullptr;
    DWORD size = 0;
    const bool encoded = memory && FreeImage_SaveToMemory(FIF_PNG, bitmap, memory, flags) &&
                         FreeImage_AcquireMemory(memory, &data, &size);
    FreeImage_Unload(bitmap);
    try {
        if (!encoded)
            throw cCaptureError("cannot encode " + out.path + " as PNG");
        out.write(data, size);
    } catch (...) {
        FreeImage_CloseMemory(memory);
        throw;
    }
    FreeImage_CloseMemory(memory);
}

namespace {

std::string frame_name(const char* format, long long n)
{
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

// Creates `dir` when missing and checks that it takes the file `first`.
void prepare_directory(const std::string& dir, const std::string& first)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        throw cCaptureError("cannot write " + dir + ": " + ec.message());
    cOutputFile(dir + first).check_writable();
}

}  // namespace

cPngSequence::cPngSequence(const std::string& dir_) : dir(dir_)
{
    prepare_directory(dir, frame_name("/%06lld.png", 0));
}

void cPngSequence::add(const cFramePixels& frame)
{
    write_frame_png(frame, dir + frame_name("/%06lld.png", frame.index));
}

cPngMoments::cPngMoments(const std::string& dir_, const std::vector<int32_t>& moments_) : dir(dir_), moments(moments_)
{
    prepare_directory(dir, frame_name("/%06lldms.png", moments.front()));
}

bool cPngMoments::drawn(int64_t, int32_t time_ms)
{
    return std::binary_search(moments.begin(), moments.end(), time_ms);
}

void cPngMoments::add(const cFramePixels& frame)
{
    write_frame_png(frame, dir + frame_name("/%06lldms.png", frame.time_ms), PNG_SMALL);
}
