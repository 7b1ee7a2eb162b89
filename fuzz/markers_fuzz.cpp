// libFuzzer target for the marker script parser: every line of the input goes
// through parse_line the way the script reader hands it over.
#include <cstddef>
#include <cstdint>
#include <string>

#include "event_script.h"
#include "quiet_streams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_streams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.size() <= MARKER_LINE_MAX)
            parse_line(line.data());
        start = end + 1;
    }
    return 0;
}
