// For every fuzz target's LLVMFuzzerInitialize: the readers print a warning
// line for most odd inputs, and writing (and flushing) those lines costs
// more than the parsing. With the standard C++ streams in a failed state
// they print nothing; libFuzzer and the sanitizers report through their own
// channels.
#pragma once

#include <iostream>

inline void quiet_streams()
{
    std::cout.setstate(std::ios::badbit);
    std::cerr.setstate(std::ios::badbit);
}
