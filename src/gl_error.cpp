#include "gl_error.h"

#include <iostream>
#include <sstream>

#include "demo_clock.h"
#include "gl.h"

std::string gl_error_line(const cDemoClock* clock, const std::string& context, const std::string& error_text)
{
    std::ostringstream line;
    line << "## ERROR: OpenGL ";
    if (clock)
        line << "(" << static_cast<float>(clock->elapsed()) / 1000.0f << ") ";
    if (!context.empty())
        line << " " << context;
    line << ": " << error_text;
    return line.str();
}

bool check_gl_error(const cDemoClock* clock, const std::string& context)
{
    const GLenum code = glGetError();
    if (code == GL_NO_ERROR)
        return false;
    const GLubyte* text = gluErrorString(code);
    std::cerr << gl_error_line(clock, context, text ? reinterpret_cast<const char*>(text) : "") << std::endl;
    return true;
}
