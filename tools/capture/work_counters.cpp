#include "work_counters.h"

#include "render_target.h"

namespace {

cWork* open_work = nullptr;  // the open slot's CPU counts; null: not counting

void count_draw()
{
    if (open_work)
        ++open_work->draw_calls;
}

void count_pass(uint32_t width, uint32_t height)
{
    if (open_work)
        open_work->add_pass(width, height);
}

}  // namespace

// The program's draw calls reach GL through these: the linker sends every
// call of the wrapped names here (-Wl,--wrap), and __real_ is GL's own.
extern "C" {
void __real_glBegin(GLenum mode);
void __real_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void __real_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

void __wrap_glBegin(GLenum mode)
{
    count_draw();
    __real_glBegin(mode);
}

void __wrap_glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    count_draw();
    __real_glDrawArrays(mode, first, count);
}

void __wrap_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    count_draw();
    __real_glDrawElements(mode, count, type, indices);
}
}

void cWork::add_pass(uint32_t width, uint32_t height, int64_t count)
{
    passes += count;
    note_size(width, height, count);
}

void cWork::note_size(uint32_t width, uint32_t height, int64_t count)
{
    for (int i = 0; i < size_count; ++i)
        if (sizes[i].width == width && sizes[i].height == height) {
            sizes[i].count += count;
            return;
        }
    if (size_count < SIZES)
        sizes[size_count++] = {width, height, count};
}

void cWork::add(const cWork& o)
{
    pixels += o.pixels;
    primitives = primitives < 0 || o.primitives < 0 ? -1 : primitives + o.primitives;
    draw_calls += o.draw_calls;
    passes += o.passes;
    gpu_ms = gpu_ms < 0 || o.gpu_ms < 0 ? -1 : gpu_ms + o.gpu_ms;
    for (int i = 0; i < o.size_count; ++i)
        note_size(o.sizes[i].width, o.sizes[i].height, o.sizes[i].count);
}

cWorkCounters::cWorkCounters(int count) : slots(static_cast<size_t>(count))
{
    has_primitives = GLEW_VERSION_3_0 || GLEW_EXT_transform_feedback;
    has_timer = (GLEW_VERSION_3_3 || GLEW_ARB_timer_query) && glGetQueryObjectui64v;
    for (cSlot& s : slots) {
        glGenQueries(1, &s.samples);
        if (has_primitives)
            glGenQueries(1, &s.primitives);
        if (has_timer)
            glGenQueries(1, &s.time);
    }
    cRenderTarget_fbo::bind_hook = count_pass;
}

cWorkCounters::~cWorkCounters()
{
    cRenderTarget_fbo::bind_hook = nullptr;
    open_work = nullptr;
    for (cSlot& s : slots)
        for (GLuint q : {s.samples, s.primitives, s.time})
            if (q)
                glDeleteQueries(1, &q);
}

void cWorkCounters::begin(int slot)
{
    cSlot& s = slots[static_cast<size_t>(slot)];
    s.work = cWork{};
    open_work = &s.work;
    glBeginQuery(GL_SAMPLES_PASSED, s.samples);
    if (has_primitives)
        glBeginQuery(GL_PRIMITIVES_GENERATED, s.primitives);
    if (has_timer)
        glBeginQuery(GL_TIME_ELAPSED, s.time);
}

void cWorkCounters::end(int)
{
    open_work = nullptr;
    glEndQuery(GL_SAMPLES_PASSED);
    if (has_primitives)
        glEndQuery(GL_PRIMITIVES_GENERATED);
    if (has_timer)
        glEndQuery(GL_TIME_ELAPSED);
}

cWork cWorkCounters::read(int slot)
{
    cSlot& s = slots[static_cast<size_t>(slot)];
    cWork w = s.work;
    GLuint samples = 0, primitives = 0;
    glGetQueryObjectuiv(s.samples, GL_QUERY_RESULT, &samples);
    w.pixels = samples;
    w.primitives = -1;
    if (has_primitives) {
        glGetQueryObjectuiv(s.primitives, GL_QUERY_RESULT, &primitives);
        w.primitives = primitives;
    }
    if (has_timer) {
        GLuint64 ns = 0;
        glGetQueryObjectui64v(s.time, GL_QUERY_RESULT, &ns);
        w.gpu_ms = static_cast<double>(ns) / 1e6;
    }
    return w;
}
