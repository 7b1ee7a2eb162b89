#pragma once
// Polls a fixed set of files for changes by their modification time and
// size, at most once per interval: no notification service is needed. The
// watcher owns only its list of (path, last seen stamp); it is filled once
// and lives as long as its owner.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class cStudioFileWatcher {
public:
    // Starts watching `path` from its current stamp; a path given twice is
    // watched once.
    void watch(const std::string& path);
    // With at least interval_ms passed since the last look (demo-independent
    // ms), the watched files whose stamp changed since; empty otherwise. A
    // file that disappears counts as changed when it comes back.
    const std::vector<std::string>& poll(int64_t now_ms);

    struct cStamp {
        std::filesystem::file_time_type time{};  // last write time; min() while missing
        uintmax_t size = 0;                      // bytes
        bool operator==(const cStamp&) const = default;
    };
    struct cWatched {
        std::string path;  // as given to watch()
        cStamp seen;       // stamp at the last look
    };

    std::vector<cWatched> files;
    int64_t interval_ms = 1000;  // time between looks
    int64_t last_look_ms = 0;    // time of the last look
    std::vector<std::string> changed;  // result of the last poll, reused

private:
    static cStamp stamp_of(const std::string& path);
};
