#pragma once
// A picture file decoded with FreeImage, as the texture manager decodes it:
// rows are counted from the bottom (texel row 0).
#include <FreeImage.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

struct cImageFile {
    FIBITMAP* bitmap = nullptr;  // owned

    explicit cImageFile(const std::filesystem::path& path)
    {
        const std::string p = path.string();
        bitmap = FreeImage_Load(FreeImage_GetFileType(p.c_str()), p.c_str());
    }
    ~cImageFile() { FreeImage_Unload(bitmap); }
    cImageFile(const cImageFile&) = delete;
    cImageFile& operator=(const cImageFile&) = delete;

    unsigned width() const { return FreeImage_GetWidth(bitmap); }
    unsigned height() const { return FreeImage_GetHeight(bitmap); }
    unsigned bpp() const { return FreeImage_GetBPP(bitmap); }
    RGBQUAD at(unsigned x, unsigned row) const
    {
        RGBQUAD c{};
        FreeImage_GetPixelColor(bitmap, x, row, &c);
        return c;
    }
    // Rec. 601 luma, 0-1.
    float luminance(unsigned x, unsigned row) const
    {
        const RGBQUAD c = at(x, row);
        return (0.299f * c.rgbRed + 0.587f * c.rgbGreen + 0.114f * c.rgbBlue) / 255.0f;
    }
};

// Writes a w x h picture of `bpp` bits a pixel (8: one grey byte, taken from
// the red channel; 24; 32) with pixel(x, row) at x in row `row`, rows counted
// from the bottom. Returns whether FreeImage saved it.
inline bool write_image(const std::filesystem::path& path, int w, int h, int bpp,
                        const std::function<std::array<uint8_t, 4>(int x, int row)>& pixel,
                        FREE_IMAGE_FORMAT format = FIF_PNG)
{
    FIBITMAP* image = FreeImage_Allocate(w, h, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!image)
        return false;
    for (int row = 0; row < h; ++row) {
        BYTE* line = FreeImage_GetScanLine(image, row);  // FreeImage's scan line 0 is the bottom
        for (int x = 0; x < w; ++x) {
            const std::array<uint8_t, 4> c = pixel(x, row);
            BYTE* px = line + x * (bpp / 8);
            if (bpp == 8) {
                px[0] = c[0];
                continue;
            }
            px[FI_RGBA_RED] = c[0];
            px[FI_RGBA_GREEN] = c[1];
            px[FI_RGBA_BLUE] = c[2];
            if (bpp == 32)
                px[FI_RGBA_ALPHA] = c[3];
        }
    }
    const bool saved = FreeImage_Save(format, image, path.string().c_str(), 0);
    FreeImage_Unload(image);
    return saved;
}
