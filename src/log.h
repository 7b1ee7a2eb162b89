#pragma once
// The program's error lines and its one way to end on a fatal error. No GL,
// SDL or clock: the file readers and their fuzz targets use it alone.
#include <string>
#include <string_view>

// One line on the error stream naming a source file and the caller's line:
// lead + file + separator + "line " + n + text. Callers pass the file name
// their log shows; the line number comes from where they call, or from the
// line their message has always named. __builtin_LINE rather than
// std::source_location, which clang before 16 cannot give with libstdc++
// (the fuzz build).
void log_error_at(std::string_view lead, std::string_view file, std::string_view separator, std::string_view text,
                  int line = __builtin_LINE());

// System message for an errno value; empty when the system has none.
std::string posix_error_text(int code);

// Whether a fatal exit runs the exit handlers (the show's fades the sound
// out and closes the window) or ends at once, where they cannot run: the
// sound device itself failed.
enum eExitHandlers { RUN_EXIT_HANDLERS, SKIP_EXIT_HANDLERS };

// Ends the program after a fatal error whose message is printed: flushes
// both log streams and exits with `code` (-1 reads as 255). Every fatal path
// ends here; the quit paths (Escape, the window, the end marker) do not.
[[noreturn]] void fatal_exit(int code, eExitHandlers handlers = RUN_EXIT_HANDLERS);
