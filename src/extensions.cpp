#include "extensions.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include <SDL.h>

#include "gl.h"
#include "log.h"
#include "video.h"

namespace {

struct cEntryPoint {
    const char* name;
    const void* address;  // GLEW's pointer after glewInit, null when missing
};

#define QV_ENTRY(f) cEntryPoint{#f, reinterpret_cast<const void*>(f)}

void report_missing(std::initializer_list<cEntryPoint> entries)
{
    for (const cEntryPoint& e : entries)
        if (!e.address)
            std::cerr << e.name << " not initialized" << std::endl;
}

bool all_present(std::initializer_list<cEntryPoint> entries)
{
    for (const cEntryPoint& e : entries)
        if (!e.address)
            return false;
    return true;
}

void show_sdl_message_box(const char* caption, const char* text)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
}

// The full-screen window would hide the message box, so SDL goes first.
[[noreturn]] void missing_extension_box(const char* text, const char* caption)
{
    cVideo_SDL::get_instance();
    SDL_Quit();
    missing_extension_message(caption, text);
    // A failure: the same code as every other fatal path.
    fatal_exit(-1);
}

void warn_unless(const char* extensions, const char* name, const char* warning)
{
    if (!extension_in_list(extensions, name))
        std::cerr << warning << std::endl;
}

}  // namespace

void (*missing_extension_message)(const char* caption, const char* text) = show_sdl_message_box;

bool extension_in_list(const char* extensions, const char* name)
{
    if (!extensions || !name)
        return false;
    const size_t len = std::strlen(name);
    const char* p = extensions;
    while (*p) {
        while (*p == ' ')
            ++p;
        const char* end = p;
        while (*end && *end != ' ')
            ++end;
        if (static_cast<size_t>(end - p) == len && std::strncmp(p, name, len) == 0)
            return true;
        p = end;
    }
    return false;
}

bool has_extension(const char* name)
{
    return extension_in_list(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

void load_vbo_extensions(const char* extensions)
{
    if (!extension_in_list(extensions, "GL_ARB_vertex_buffer_object")) {
        std::cerr << "# WARNING: GL_ARB_vertex_buffer_object not supported" << std::endl;
        missing_extension_box("GL_ARB_vertex_buffer_object is missing\n(you probably need newer hardware)",
                              "missing gl-extension");
    }
    report_missing({QV_ENTRY(glBindBufferARB), QV_ENTRY(glBufferDataARB), QV_ENTRY(glGenBuffersARB),
                    QV_ENTRY(glDeleteBuffersARB), QV_ENTRY(glMapBufferARB), QV_ENTRY(glUnmapBufferARB),
                    QV_ENTRY(glVertexAttribPointerARB), QV_ENTRY(glGetVertexAttribPointervARB)});
}

void load_multitexture_extensions(const char* extensions)
{
    if (!extension_in_list(extensions, "GL_ARB_multitexture")) {
        std::cerr << "# WARNING: GL_ARB_multitexture not supported" << std::endl;
        fatal_exit(-1);
    }
    report_missing({QV_ENTRY(glActiveTexture), QV_ENTRY(glClientActiveTexture), QV_ENTRY(glActiveTextureARB),
                    QV_ENTRY(glClientActiveTextureARB)});
    report_missing({
        QV_ENTRY(glMultiTexCoord1dARB), QV_ENTRY(glMultiTexCoord1dvARB), QV_ENTRY(glMultiTexCoord1fARB),
        QV_ENTRY(glMultiTexCoord1fvARB), QV_ENTRY(glMultiTexCoord1iARB), QV_ENTRY(glMultiTexCoord1ivARB),
        QV_ENTRY(glMultiTexCoord1sARB), QV_ENTRY(glMultiTexCoord1svARB),
        QV_ENTRY(glMultiTexCoord2dARB), QV_ENTRY(glMultiTexCoord2dvARB), QV_ENTRY(glMultiTexCoord2fARB),
        QV_ENTRY(glMultiTexCoord2fvARB), QV_ENTRY(glMultiTexCoord2iARB), QV_ENTRY(glMultiTexCoord2ivARB),
        QV_ENTRY(glMultiTexCoord2sARB), QV_ENTRY(glMultiTexCoord2svARB),
        QV_ENTRY(glMultiTexCoord3dARB), QV_ENTRY(glMultiTexCoord3dvARB), QV_ENTRY(glMultiTexCoord3fARB),
        QV_ENTRY(glMultiTexCoord3fvARB), QV_ENTRY(glMultiTexCoord3iARB), QV_ENTRY(glMultiTexCoord3ivARB),
        QV_ENTRY(glMultiTexCoord3sARB), QV_ENTRY(glMultiTexCoord3svARB),
        QV_ENTRY(glMultiTexCoord4dARB), QV_ENTRY(glMultiTexCoord4dvARB), QV_ENTRY(glMultiTexCoord4fARB),
        QV_ENTRY(glMultiTexCoord4fvARB), QV_ENTRY(glMultiTexCoord4iARB), QV_ENTRY(glMultiTexCoord4ivARB),
        QV_ENTRY(glMultiTexCoord4sARB), QV_ENTRY(glMultiTexCoord4svARB),
    });
}

void load_blend_extensions()
{
    report_missing({QV_ENTRY(glBlendEquation), QV_ENTRY(glBlendFuncSeparate)});
}

void load_fbo_extensions(const char* extensions)
{
    if (!extension_in_list(extensions, "GL_EXT_framebuffer_object")) {
        std::cerr << "# WARNING: GL_EXT_framebuffer_object not supported" << std::endl;
        missing_extension_box("GL_EXT_framebuffer_object is missing\n(you probably just need a driver-update...)",
                              "mvk::slw - missing gl-extension");
    }
    warn_unless(extensions, "GL_ARB_draw_buffers", "# WARNING: GL_ARB_draw_buffers not supported");
    report_missing({
        QV_ENTRY(glIsRenderbufferEXT), QV_ENTRY(glBindRenderbufferEXT), QV_ENTRY(glDeleteRenderbuffersEXT),
        QV_ENTRY(glGenRenderbuffersEXT), QV_ENTRY(glRenderbufferStorageEXT),
        QV_ENTRY(glGetRenderbufferParameterivEXT), QV_ENTRY(glIsFramebufferEXT), QV_ENTRY(glBindFramebufferEXT),
        QV_ENTRY(glDeleteFramebuffersEXT), QV_ENTRY(glGenFramebuffersEXT), QV_ENTRY(glCheckFramebufferStatusEXT),
        QV_ENTRY(glFramebufferTexture1DEXT), QV_ENTRY(glFramebufferTexture2DEXT),
        QV_ENTRY(glFramebufferTexture3DEXT), QV_ENTRY(glFramebufferRenderbufferEXT),
        QV_ENTRY(glGetFramebufferAttachmentParameterivEXT), QV_ENTRY(glGenerateMipmapEXT),
        QV_ENTRY(glDrawBuffersARB),
    });
}

void load_texture_extensions(const char* extensions)
{
    warn_unless(extensions, "GL_SGIS_texture_lod", "# WARNING: GL_SGIS_texture_lod not supported");
    warn_unless(extensions, "GL_SGIS_generate_mipmap", "# WARNING: GL_SGIS_generate_mipmap not supported");
    warn_unless(extensions, "GL_ARB_texture_env_add", "# WARNING: GL_ARB_texture_env_add not supported");
    warn_unless(extensions, "GL_EXT_texture_lod_bias", "# WARNING: EXT_texture_lod_bias not supported");
    warn_unless(extensions, "GL_ARB_texture_float", "# WARNING: GL_ARB_texture_float not supported");
    if (!extension_in_list(extensions, "GL_ARB_texture_rectangle")) {
        std::cerr << "# WARNING: GL_ARB_texture_rectangle not supported" << std::endl;
        if (extension_in_list(extensions, "GL_EXT_texture_rectangle"))
            std::cerr << "           GL_EXT_texture_rectangle supported though" << std::endl;
        else
            std::cerr << "# WARNING: GL_EXT_texture_rectangle not supported" << std::endl;
    }
    warn_unless(extensions, "GL_ARB_multisample", "# WARNING: GL_ARB_multisample not supported");
    warn_unless(extensions, "GL_ARB_texture_non_power_of_two",
                "# WARNING: GL_ARB_texture_non_power_of_two not supported!");
    warn_unless(extensions, "GL_ARB_pixel_buffer_object",
                "# WARNING: \tGL_ARB_pixel_buffer_object not supported! (go bug your hardware-vendor)");
    warn_unless(extensions, "GL_ARB_point_sprite",
                "# WARNING: \tGL_ARB_point_sprite not supported! (go bug your hardware-vendor)");
    report_missing({QV_ENTRY(glDrawRangeElements)});
}

void load_sync_extensions()
{
    const std::initializer_list<cEntryPoint> sync = {
        QV_ENTRY(glFenceSync),      QV_ENTRY(glIsSync),         QV_ENTRY(glDeleteSync), QV_ENTRY(glClientWaitSync),
        QV_ENTRY(glWaitSync),       QV_ENTRY(glGetInteger64v),  QV_ENTRY(glGetSynciv),
    };
    report_missing(sync);
    if (!all_present(sync))
        std::cerr << "# WARNING: sync-objects not supported..." << std::endl;
}

void load_gl_extensions()
{
    glewExperimental = GL_TRUE;
    glewInit();
    glGetError();  // GLEW's probing may leave an error behind; it is not ours
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    load_vbo_extensions(extensions);
    load_multitexture_extensions(extensions);
    load_blend_extensions();
    load_fbo_extensions(extensions);
    load_texture_extensions(extensions);
    load_sync_extensions();
}

void set_swap_interval(int interval)
{
    SDL_GL_SetSwapInterval(interval);
}
