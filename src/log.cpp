#include "log.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

void log_error_at(std::string_view lead, std::string_view file, std::string_view separator, std::string_view text,
                  int line)
{
    std::cerr << lead << file << separator << "line " << line << text << std::endl;
}

std::string posix_error_text(int code)
{
    if (code == 0)
        return "";
    const char* text = strerror(code);
    return text ? text : "";
}

void fatal_exit(int code, eExitHandlers handlers)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    if (handlers == SKIP_EXIT_HANDLERS)
        _exit(code);
    std::exit(code);
}
