#pragma once
// Counts what the program asks for while `counting` is set: heap blocks
// through operator new (replaced for the whole test program; blocks the GL
// driver asks for are not counted), and GL objects through the entry points
// the program makes them with (GL 1.1's glGenTextures is wrapped at link
// time; GLEW's entry points are swapped while a cGlObjectCount lives).
#include <atomic>
#include <type_traits>

#include "gl.h"

extern std::atomic<bool> counting;
extern std::atomic<long> heap_blocks, gl_objects;

// Swaps one GLEW entry point for one that counts its calls.
template <auto& entry, typename F = std::remove_reference_t<decltype(entry)>>
struct cCountedEntry;
template <auto& entry, typename R, typename... A>
struct cCountedEntry<entry, R (*)(A...)> {
    static inline R (*real)(A...) = nullptr;
    static R call(A... a)
    {
        if (counting)
            ++gl_objects;
        return real(a...);
    }
    cCountedEntry() { real = entry, entry = call; }
    ~cCountedEntry() { entry = real; }
};

struct cGlObjectCount {
    cCountedEntry<__glewGenBuffers> buffers;
    cCountedEntry<__glewGenBuffersARB> buffers_arb;
    cCountedEntry<__glewGenFramebuffersEXT> framebuffers;
    cCountedEntry<__glewGenRenderbuffersEXT> renderbuffers;
    cCountedEntry<__glewGenQueries> queries;
    cCountedEntry<__glewCreateProgram> programs;
    cCountedEntry<__glewCreateShader> shaders;
};
