#pragma once
// Live reload of the GLSL programs: watches the source files of every
// program the shader manager holds and rebuilds, in place, each program
// whose vertex or fragment file changed. A program that no longer compiles
// keeps running as it was; the driver's log goes to the error stream. Made
// once after the show's programs are registered; owns only its watcher.
#include <cstdint>
#include <string>

#include "file_watcher.h"

class cShaderManager_GLSL;

struct cReloadResult {
    int rebuilt = 0;  // programs rebuilt by the last poll
    int failed = 0;   // programs that kept their old build
};

class cStudioShaderReload {
public:
    // Watches the files of every program registered now.
    explicit cStudioShaderReload(cShaderManager_GLSL& shaders_);
    // Between frames, with nothing bound: rebuilds what changed on disk
    // (looking at most once per watcher interval) and says so on the output.
    cReloadResult poll(int64_t now_ms);

    cShaderManager_GLSL& shaders;  // the process's shader manager, not owned
    cStudioFileWatcher watcher;
    std::string last_message;      // one line about the last reload, for the status line
};
