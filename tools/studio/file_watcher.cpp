#include "file_watcher.h"

#include <system_error>

cStudioFileWatcher::cStamp cStudioFileWatcher::stamp_of(const std::string& path)
{
    std::error_code ec;
    cStamp s;
    s.time = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {std::filesystem::file_time_type::min(), 0};
    s.size = std::filesystem::file_size(path, ec);
    return s;
}

void cStudioFileWatcher::watch(const std::string& path)
{
    for (const cWatched& w : files)
        if (w.path == path)
            return;
    files.push_back({path, stamp_of(path)});
}

const std::vector<std::string>& cStudioFileWatcher::poll(int64_t now_ms)
{
    changed.clear();
    if (now_ms - last_look_ms < interval_ms)
        return changed;
    last_look_ms = now_ms;
    for (cWatched& w : files) {
        const cStamp now = stamp_of(w.path);
        if (now == w.seen)
            continue;
        w.seen = now;
        // An editor that saves by replacing the file leaves a moment where
        // it is missing; the program is rebuilt once the file is back.
        if (now.time != std::filesystem::file_time_type::min())
            changed.push_back(w.path);
    }
    return changed;
}
