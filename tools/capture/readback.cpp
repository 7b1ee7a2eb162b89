#include "readback.h"

#include <string>

#include "options.h"

cFrameReadback::cFrameReadback(int32_t width_, int32_t height_) : width(width_), height(height_)
{
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(width) * height * 4;
    glGenBuffers(2, buffers);
    for (GLuint b : buffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, b);
        glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

cFrameReadback::~cFrameReadback()
{
    glDeleteBuffers(2, buffers);
}

void cFrameReadback::push(int64_t index, int32_t time_ms, const tFrameSink& sink)
{
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[next]);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    index_of[next] = index;
    time_of[next] = time_ms;
    next = 1 - next;
    deliver(next, sink);  // the other buffer holds the frame before
}

void cFrameReadback::flush(const tFrameSink& sink)
{
    deliver(1 - next, sink);
}

void cFrameReadback::deliver(int slot, const tFrameSink& sink)
{
    if (index_of[slot] < 0)
        return;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[slot]);
    const auto* bgra = static_cast<const uint8_t*>(glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
    if (!bgra)
        throw cCaptureError("the driver did not hand over frame " + std::to_string(index_of[slot]));
    sink(cFramePixels{bgra, width, height, index_of[slot], time_of[slot]});
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    index_of[slot] = -1;
}
