#pragma once
// GL errors after work that may fail, one line each; never fatal.
#include <string>

class cDemoClock;

// Reads one GL error code. GL_NO_ERROR: false, nothing printed. Otherwise one
// "## ERROR: OpenGL [(seconds) ][ context]: text" line on the error stream
// and true. Callers pass the name of the calling step as context.
bool check_gl_error(const cDemoClock* clock, const std::string& context);

// The line check_gl_error prints for an error text (without the newline).
std::string gl_error_line(const cDemoClock* clock, const std::string& context, const std::string& error_text);
