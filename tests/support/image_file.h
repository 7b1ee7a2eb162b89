#pragma once
// A picture file decoded with FreeImage, as the texture manager decodes it:
// rows are counted from the bottom (texel row 0).
#include <FreeImage.h>

#include <filesystem>
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

inline bool power_of_two(unsigned v)
{
    return v != 0 && (v & (v - 1)) == 0;
}
