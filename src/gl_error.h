#pragma once
// Error reports shared by the whole program: GL errors after work that may
// fail, error lines that name the place in the source they were raised at,
// and the text of the last system error. None is ever fatal.
#include <string>
#include <string_view>

class cDemoClock;

// Reads one GL error code. GL_NO_ERROR: false, nothing printed. Otherwise one
// "## ERROR: OpenGL [(seconds) ][ context]: text" line on the error stream
// and true. Callers pass the name of the calling step as context.
bool check_gl_error(const cDemoClock* clock, const std::string& context);

// The line check_gl_error prints for an error text (without the newline).
std::string gl_error_line(const cDemoClock* clock, const std::string& context, const std::string& error_text);

// One line on the error stream naming a source file and the caller's line:
// lead + file + separator + "line " + n + text. Callers pass the file name
// their log shows; the line number comes from where they call (or from the
// line they forward). __builtin_LINE rather than std::source_location,
// which clang before 16 cannot give with libstdc++ (the fuzz build).
void log_error_at(std::string_view lead, std::string_view file, std::string_view separator, std::string_view text,
                  int line = __builtin_LINE());

// System message for an errno value; empty when the system has none.
std::string posix_error_text(int code);
