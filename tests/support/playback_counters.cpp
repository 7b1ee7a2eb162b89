#include "support/playback_counters.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <cstring>
#include <new>

std::atomic<bool> counting{false};
std::atomic<long> heap_blocks{0}, gl_objects{0};

namespace {

// Whether a block was asked for by the program rather than a library it
// calls: the GL driver's shader compiler allocates too, the first time a
// state combination is drawn. Frames 0 and 1 are this function and
// operator new. Standard-library code is passed over, both libstdc++'s and
// the copies this program exports to the libraries (their names are in the
// dynamic symbol table, the program's own functions are not), and so is
// code the driver compiled at run time.
bool in_standard_library(const Dl_info& info)
{
    if (info.dli_sname)
        return std::strncmp(info.dli_sname, "_ZNSt", 5) == 0 || std::strncmp(info.dli_sname, "_ZNKSt", 6) == 0 ||
               std::strncmp(info.dli_sname, "_Zn", 3) == 0;
    return std::strstr(info.dli_fname, "libstdc++") != nullptr;
}

__attribute__((noinline)) bool asked_by_program()
{
    static Dl_info self{};
    if (!self.dli_fbase)
        dladdr(reinterpret_cast<void*>(&asked_by_program), &self);
    void* frames[16];
    const int n = backtrace(frames, 16);
    for (int i = 2; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || in_standard_library(info))
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
