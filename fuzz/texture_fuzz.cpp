// libFuzzer target for picture decoding as the texture manager does it, from
// memory instead of a file: the header's size is checked before any pixel
// is decoded, the image is decoded through the loader's FILE* descriptor and
// a picture the upload takes has its every row read, as the upload does.
// The side limit is lower than the program's so that one input cannot spend
// a second decoding a legal but huge picture.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "texture_manager.h"
#include "quiet_streams.h"

namespace {

const uint32_t FUZZ_MAX_SIDE = 512;

void read_rows(FIBITMAP* image)
{
    const unsigned height = FreeImage_GetHeight(image), row_bytes = FreeImage_GetLine(image);
    volatile uint8_t sum = 0;
    for (unsigned y = 0; y < height; ++y) {
        const uint8_t* row = FreeImage_GetScanLine(image, static_cast<int>(y));
        sum = sum + row[0] + row[row_bytes - 1];
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_streams();
    // Camera-RAW detection builds a LibRaw object of several hundred kB for
    // every input no other format claims: nine tenths of the run time for a
    // format no texture comes in. The other readers stay enabled.
    FreeImage_SetPluginEnabled(FIF_RAW, FALSE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FILE* handle = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!handle)
        return 0;
    cImageLoader* loader = cImageLoader::get_instance();
    const auto [width, height] = loader->header_size(handle);
    std::rewind(handle);
    if (width <= FUZZ_MAX_SIDE && height <= FUZZ_MAX_SIDE && width * uint64_t(height) <= 1u << 16) {
        FIBITMAP* image = loader->load(handle);
        if (image && FreeImage_GetWidth(image) <= FUZZ_MAX_SIDE && FreeImage_GetHeight(image) <= FUZZ_MAX_SIDE &&
            is_uploadable(image))
            read_rows(image);
        if (image)
            FreeImage_Unload(image);
    }
    std::fclose(handle);
    return 0;
}
