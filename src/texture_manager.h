#pragma once
// Textures of the whole program. cTextureManager decodes each image file once
// (FreeImage, from a FILE* handle), uploads it as a 24- or 32-bit GL texture
// and hands out copies of the same record for every later request of that
// file. It owns every GL texture it created; they live until shutdown(), which
// the exit handler reaches by destroying the manager. Creation (first use)
// loads the two neutral textures "default_white.png" and "default_black.png".
// Loading happens at load time only, on the render thread. Any load failure
// (file not found, not openable, not a 24/32-bit image) ends the process with
// status -1 after its message: there is no fallback texture.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include <FreeImage.h>

#include "gl.h"
#include "singleton.h"

// A texture as handed out by the manager; copied freely, never owns anything.
struct cTexture {
    GLenum target = 0;    // GL_TEXTURE_1D, GL_TEXTURE_2D or GL_TEXTURE_RECTANGLE_ARB; 0 = empty
    GLuint name = 0;      // GL texture name
    uint32_t width = 0;   // pixels
    uint32_t height = 0;  // pixels
    GLuint unit = 0;      // unit the screen-space drawing bound it to, 0 when not bound
};

class cTextureManager : public cSingleton<cTextureManager> {
public:
    cTextureManager();
    ~cTextureManager() override;

    // The texture of an image file found through the resource paths. The
    // cache key is the full path alone: a later request with other mipmap,
    // wrap or target settings gets the first record unchanged. target 0
    // chooses from the size: height 1 -> 1D, both sides powers of two -> 2D,
    // otherwise a rectangle texture (never mipmapped).
    cTexture get_texture(const std::string& name, bool mipmaps, GLint wrap, GLenum target);
    cTexture get_default_white();
    cTexture get_default_black();

    // Deletes every cached texture and empties the cache.
    void shutdown();

    std::map<std::string, cTexture> textures;  // full path -> record

private:
    static std::string resolve_path(const std::string& name);
    static void check_size(const std::string& path);
    cTexture upload(const std::string& path, FIBITMAP* image, bool mipmaps, GLint wrap, GLenum target);
};

// Decoding side: installs FreeImage's message hook and an input/output
// descriptor over the C runtime's FILE* calls. Created on the first decode,
// holds no resources, never destroyed.
class cImageLoader : public cSingleton<cImageLoader> {
public:
    cImageLoader();

    // The decoded image, or null when FreeImage does not recognise or cannot
    // decode the file. The caller unloads it.
    FIBITMAP* load(const std::string& path);
    FIBITMAP* load(FILE* handle);  // from the handle's current position
    // The width and height the file's header claims, read without decoding
    // the pixels (GIF and JPEG headers are read here, the others by
    // FreeImage; for a GIF, the larger of its screen and first frame);
    // {0, 0} when the format cannot tell them apart from its pixels (the
    // full decode then shows the size).
    std::pair<uint32_t, uint32_t> header_size(const std::string& path);
    std::pair<uint32_t, uint32_t> header_size(FILE* handle);

    FreeImageIO io{};  // read, write, seek, tell on a FILE*
};

// Whether a decoded image has a layout the upload takes: an 8-bit-per-channel
// colour bitmap of 24 or 32 bits per pixel.
bool is_uploadable(FIBITMAP* image);

// Chooses the target for an image of the given size when the caller leaves it
// to the manager.
GLenum automatic_texture_target(uint32_t width, uint32_t height);

// FreeImage's message hook: "\n*** [FORMAT Format\n]message ***\n" on stdout.
void freeimage_message(FREE_IMAGE_FORMAT format, const char* message);
