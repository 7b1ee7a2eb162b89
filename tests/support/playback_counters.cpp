#include "support/playback_counters.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <new>

std::atomic<bool> counting{false};
std::atomic<long> heap_blocks{0}, gl_objects{0};

namespace {

// Whether a frame lies in standard-library code: libstdc++ itself, or a
// copy of one of its templates that this program exports to the libraries
// it loads. The program's own functions are not in its dynamic symbol
// table, so a frame is taken as a symbol's only when it lies inside it.
bool in_standard_library(const void* frame, const Dl_info& info, const ElfW(Sym) * symbol)
{
    if (std::strstr(info.dli_fname, "libstdc++"))
        return true;
    const auto* start = static_cast<const char*>(info.dli_saddr);
    if (!symbol || !start || static_cast<const char*>(frame) >= start + symbol->st_size)
        return false;
    for (const char* prefix : {"_ZNSt", "_ZNKSt", "_Znw", "_Zna"})
        if (std::strncmp(info.dli_sname, prefix, std::strlen(prefix)) == 0)
            return true;
    return false;
}

// Whether a block was asked for by the program rather than a library it
// calls: the GL driver's shader compiler allocates too, the first time a
// state combination is drawn. Frames 0 and 1 are this function and
// operator new; standard-library frames and code the driver compiled at
// run time are passed over.
__attribute__((noinline)) bool asked_by_program()
{
    static Dl_info self{};
    if (!self.dli_fbase)
        dladdr(reinterpret_cast<void*>(&asked_by_program), &self);
    void* frames[16];
    const int n = backtrace(frames, 16);
    for (int i = 2; i < n; ++i) {
        Dl_info info{};
        void* symbol = nullptr;
        if (!dladdr1(frames[i], &info, &symbol, RTLD_DL_SYMENT) ||
            in_standard_library(frames[i], info, static_cast<const ElfW(Sym)*>(symbol)))
            continue;
        return info.dli_fbase == self.dli_fbase;
    }
    return true;
}

}  // namespace

// Every form of new and delete is replaced, so that no block crosses from
// one allocator to another (the sanitizers keep their own otherwise).
void* operator new(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed) && asked_by_program())
        ++heap_blocks;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

extern "C" void __real_glGenTextures(GLsizei n, GLuint* names);
extern "C" void __wrap_glGenTextures(GLsizei n, GLuint* names)
{
    if (counting)
        gl_objects += n;
    __real_glGenTextures(n, names);
}
