#include "vbo.h"

#include "gl.h"
#include "gl_error.h"

cVBO::cVBO() : usage(GL_DYNAMIC_DRAW_ARB)
{
    glGenBuffersARB(1, &buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(components) * capacity * sizeof(float),
                    nullptr, usage);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

cVBO::~cVBO()
{
    if (buffer)
        glDeleteBuffersARB(1, &buffer);
    buffer = 0;
}

void cVBO::update()
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    auto* points = static_cast<float*>(glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB));
    if (!points) {
        // Nothing to write into; the ring stays where it is and the next
        // frame tries again.
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        return;
    }
    // Strict test: a batch that ends exactly at the capacity is still written in place.
    if (write_offset + batch > capacity) {
        write_offset = 0;
        calculator.calculate(points, static_cast<int>(batch), params);
    } else {
        calculator.calculate_more(points + static_cast<size_t>(write_offset) * components,
                                  static_cast<int>(batch), params);
    }
    write_offset += batch;
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    if (!glUnmapBufferARB(GL_ARRAY_BUFFER_ARB))
        check_gl_error(nullptr, "cVBO::unmap");
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void cVBO::draw() const
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glVertexPointer(components, GL_FLOAT, 0, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(capacity));
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}
