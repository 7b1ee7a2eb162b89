#include "texture_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "data_file.h"
#include "gl_error.h"
#include "log.h"
#include "resource_path.h"

namespace {

const char* const SOURCE_NAME = "../src/cTextureManager";
const uint32_t MAX_TEXTURE_SIDE = 16384;  // pixels per side, whatever the driver allows

[[noreturn]] void fail_at(const std::string& text, int line = __builtin_LINE())
{
    log_error_at("## ERROR: in ", SOURCE_NAME, " ", ": " + text, line);
    fatal_exit(-1);
}

bool is_power_of_two(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

// ---- FreeImageIO over the C runtime's FILE* -------------------------------

// A read that finds nothing at all leaves a zero in the buffer's first byte.
// Some of FreeImage's readers ignore the count a short read returns and loop
// on a length byte they expected to read (a GIF cut inside its block list
// looped forever on its last length); a zero ends those loops. Nothing more
// is written than that byte: other readers ask for more than their buffer
// holds (an icon's claimed size) and rely on the file being shorter.
unsigned DLL_CALLCONV io_read(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    const size_t read = std::fread(buffer, size, count, static_cast<FILE*>(handle));
    if (read == 0 && size != 0 && count != 0)
        *static_cast<char*>(buffer) = 0;
    return static_cast<unsigned>(read);
}

unsigned DLL_CALLCONV io_write(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<FILE*>(handle)));
}

int DLL_CALLCONV io_seek(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}

long DLL_CALLCONV io_tell(fi_handle handle)
{
    return std::ftell(static_cast<FILE*>(handle));
}

// Two bytes as a number; 0 past the end of the file.
uint32_t read_u16(FILE* handle, bool big_endian)
{
    const int first = std::fgetc(handle), second = std::fgetc(handle);
    if (first < 0 || second < 0)
        return 0;
    return big_endian ? uint32_t(first << 8 | second) : uint32_t(second << 8 | first);
}

// The GIF reader has no header-only mode: it allocates and decodes the first
// frame at the size the frame's descriptor claims, which may differ from the
// screen size. Reads both, skipping the colour table and the extension
// blocks before the first frame, and gives the larger of each side.
std::pair<uint32_t, uint32_t> gif_size(FILE* handle)
{
    auto byte = [handle] { return std::fgetc(handle); };
    auto word = [handle] { return read_u16(handle, false); };
    std::fseek(handle, 6, SEEK_CUR);  // "GIF89a"
    uint32_t width = word(), height = word();
    const int flags = byte();
    std::fseek(handle, 2, SEEK_CUR);
    if (flags > 0 && (flags & 0x80))
        std::fseek(handle, 3L << ((flags & 7) + 1), SEEK_CUR);
    int block = byte();
    for (; block == 0x21; block = byte()) {
        byte();  // the extension's label
        for (int length = byte(); length > 0; length = byte())
            std::fseek(handle, length, SEEK_CUR);
    }
    if (block == 0x2C) {
        std::fseek(handle, 4, SEEK_CUR);  // the frame's position
        width = std::max(width, word());
        height = std::max(height, word());
    }
    return {width, height};
}

// FreeImage's header-only JPEG read still starts the decompressor, which
// allocates coefficient buffers for the whole picture of a progressive JPEG
// (gigabytes for a damaged size) and gives up on damaged scan parameters
// before it reports any size. The frame header gives the size directly.
std::pair<uint32_t, uint32_t> jpeg_size(FILE* handle)
{
    auto byte = [handle] { return std::fgetc(handle); };
    auto word = [handle] { return read_u16(handle, true); };
    std::fseek(handle, 2, SEEK_CUR);  // start of image
    for (int c = byte(); c >= 0; c = byte()) {
        if (c != 0xFF)
            continue;  // the decoder, too, skips stray bytes between segments
        int marker = byte();
        while (marker == 0xFF)
            marker = byte();
        if (marker == 0 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9))
            continue;  // no length follows these
        const uint32_t length = word();
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            byte();  // sample precision
            const uint32_t height = word();
            return {word(), height};
        }
        if (length < 2)
            break;
        std::fseek(handle, length - 2, SEEK_CUR);
    }
    return {0, 0};
}

struct cPixelFormat {
    GLenum source;    // layout of FreeImage's pixels
    GLint internal;   // GL internal format without mipmaps
};

// Only 8-bit-per-channel colour bitmaps are accepted; a 32-bit float or
// integer image has the right size per pixel but not the right meaning.
cPixelFormat pixel_format(FIBITMAP* image, const std::string& path)
{
    const unsigned bpp = image ? FreeImage_GetBPP(image) : 0;
    if (is_uploadable(image))
        return bpp == 32 ? cPixelFormat{GL_BGRA, GL_RGBA} : cPixelFormat{GL_BGR, GL_RGB};
    std::cerr << "images must be 24 or 32 bpp... \"" << path << "\" is " << bpp << std::endl;
    fatal_exit(-1);
}

}  // namespace

bool is_uploadable(FIBITMAP* image)
{
    if (!image || FreeImage_GetImageType(image) != FIT_BITMAP)
        return false;
    const unsigned bpp = FreeImage_GetBPP(image);
    return bpp == 24 || bpp == 32;
}

// ---- message hook and loader ------------------------------------------------

void freeimage_message(FREE_IMAGE_FORMAT format, const char* message)
{
    std::printf("\n*** ");
    if (format != FIF_UNKNOWN)
        std::printf("%s Format\n", FreeImage_GetFormatFromFIF(format));
    std::printf("%s", message ? message : "");
    std::printf(" ***\n");
    std::fflush(stdout);
}

cImageLoader::cImageLoader()
{
    FreeImage_SetOutputMessage(freeimage_message);
    io.read_proc = io_read;
    io.write_proc = io_write;
    io.seek_proc = io_seek;
    io.tell_proc = io_tell;
}

std::pair<uint32_t, uint32_t> cImageLoader::header_size(const std::string& path)
{
    FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle)
        return {0, 0};
    const std::pair<uint32_t, uint32_t> size = header_size(handle);
    std::fclose(handle);
    return size;
}

std::pair<uint32_t, uint32_t> cImageLoader::header_size(FILE* handle)
{
    std::pair<uint32_t, uint32_t> size{0, 0};
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileTypeFromHandle(&io, handle, 0);
    if (type == FIF_GIF)
        return gif_size(handle);
    if (type == FIF_JPEG)
        return jpeg_size(handle);
    if (type != FIF_UNKNOWN && FreeImage_FIFSupportsNoPixels(type)) {
        if (FIBITMAP* header = FreeImage_LoadFromHandle(type, &io, handle, FIF_LOAD_NOPIXELS)) {
            size = {FreeImage_GetWidth(header), FreeImage_GetHeight(header)};
            FreeImage_Unload(header);
        }
    }
    return size;
}

FIBITMAP* cImageLoader::load(const std::string& path)
{
    FILE* handle = std::fopen(path.c_str(), "rb");
    if (!handle)
        return nullptr;
    FIBITMAP* image = load(handle);
    std::fclose(handle);
    return image;
}

FIBITMAP* cImageLoader::load(FILE* handle)
{
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileTypeFromHandle(&io, handle, 0);
    return type != FIF_UNKNOWN ? FreeImage_LoadFromHandle(type, &io, handle, 0) : nullptr;
}

GLenum automatic_texture_target(uint32_t width, uint32_t height)
{
    if (height == 1)
        return GL_TEXTURE_1D;
    if (is_power_of_two(width) && is_power_of_two(height))
        return GL_TEXTURE_2D;
    return GL_TEXTURE_RECTANGLE_ARB;
}

// ---- manager ------------------------------------------------------------------

cTextureManager::cTextureManager()
{
    get_default_white();
    get_default_black();
}

cTextureManager::~cTextureManager()
{
    shutdown();
}

cTexture cTextureManager::get_default_white()
{
    return get_texture("default_white.png", false, GL_CLAMP, 0);
}

cTexture cTextureManager::get_default_black()
{
    return get_texture("default_black.png", false, GL_CLAMP, 0);
}

void cTextureManager::shutdown()
{
    for (auto& entry : textures)
        glDeleteTextures(1, &entry.second.name);
    textures.clear();
}

std::string cTextureManager::resolve_path(const std::string& name)
{
    const std::string path = cResourcePath::get_fullpath(name);
    if (path.empty())
        fail_at("file was not found in path: \"" + name + "\"");
    // Opening a pipe or device in the picture's place would block for ever.
    if (const std::string problem = data_file_problem(path); !problem.empty()) {
        std::cerr << "## ERROR: " << problem << std::endl;
        fail_at("unable to open file " + path);
    }
    FILE* probe = std::fopen(path.c_str(), "r");
    if (!probe)
        fail_at("unable to open file " + path);
    std::fclose(probe);
    return path;
}

// A picture larger than the driver takes would be decoded in full (gigabytes
// for a damaged header) only to be refused by GL.
void cTextureManager::check_size(const std::string& path)
{
    GLint driver_max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &driver_max);
    const uint32_t limit = std::min<uint32_t>(MAX_TEXTURE_SIDE, driver_max > 0 ? driver_max : MAX_TEXTURE_SIDE);
    const auto [width, height] = cImageLoader::get_instance()->header_size(path);
    if (width > limit || height > limit)
        fail_at("picture too large: " + path + " is " + std::to_string(width) + "x" + std::to_string(height) +
                " pixels, at most " + std::to_string(limit) + " per side");
}

cTexture cTextureManager::get_texture(const std::string& name, bool mipmaps, GLint wrap, GLenum target)
{
    const std::string path = resolve_path(name);
    const auto cached = textures.find(path);
    if (cached != textures.end())
        return cached->second;

    check_size(path);
    FIBITMAP* image = cImageLoader::get_instance()->load(path);
    cTexture texture = upload(path, image, mipmaps, wrap, target);
    check_gl_error(nullptr, "cTextureManager::get_texture " + name);
    textures[path] = texture;
    FreeImage_Unload(image);
    return texture;
}

cTexture cTextureManager::upload(const std::string& path, FIBITMAP* image, bool mipmaps, GLint wrap, GLenum target)
{
    const uint32_t width = image ? FreeImage_GetWidth(image) : 0;
    const uint32_t height = image ? FreeImage_GetHeight(image) : 0;
    const cPixelFormat format = pixel_format(image, path);
    if (target == 0)
        target = automatic_texture_target(width, height);
    // Rectangle textures have no mip levels, whoever chose the target.
    if (target == GL_TEXTURE_RECTANGLE_ARB)
        mipmaps = false;

    cTexture texture{target, 0, width, height, 0};
    glGenTextures(1, &texture.name);
    glEnable(target);
    glBindTexture(target, texture.name);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);

    // FreeImage rows start on 4-byte boundaries and run bottom-up, so texel
    // row 0 is the picture's bottom row; whatever unpack state the caller
    // left must not reinterpret them.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    const void* bits = FreeImage_GetBits(image);
    if (mipmaps && target == GL_TEXTURE_1D)
        gluBuild1DMipmaps(target, GL_RGBA, width, format.source, GL_UNSIGNED_BYTE, bits);
    else if (mipmaps)
        gluBuild2DMipmaps(target, GL_RGBA, width, height, format.source, GL_UNSIGNED_BYTE, bits);
    else if (target == GL_TEXTURE_1D)
        glTexImage1D(target, 0, format.internal, width, 0, format.source, GL_UNSIGNED_BYTE, bits);
    else
        glTexImage2D(target, 0, format.internal, width, height, 0, format.source, GL_UNSIGNED_BYTE, bits);
    glPopClientAttrib();

    glDisable(target);
    glBindTexture(target, 0);
    return texture;
}
