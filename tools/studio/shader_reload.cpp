#include "shader_reload.h"

#include <iostream>

#include "shader_manager.h"

cStudioShaderReload::cStudioShaderReload(cShaderManager_GLSL& shaders_) : shaders(shaders_)
{
    for (const auto& [name, shader] : shaders.registry) {
        if (!shader->vertex_path.empty())
            watcher.watch(shader->vertex_path);
        if (!shader->fragment_path.empty())
            watcher.watch(shader->fragment_path);
    }
}

cReloadResult cStudioShaderReload::poll(int64_t now_ms)
{
    cReloadResult result;
    for (const std::string& path : watcher.poll(now_ms)) {
        for (const auto& [name, shader] : shaders.registry) {
            if (shader->vertex_path != path && shader->fragment_path != path)
                continue;
            if (shader->rebuild()) {
                ++result.rebuilt;
                last_message = "reloaded " + name;
                std::cout << "# studio: reloaded " << name << " from " << path << std::endl;
            } else {
                ++result.failed;
                last_message = name + " does not build: kept the running program";
                std::cerr << "# studio: " << last_message << " (" << path << ")" << std::endl;
            }
        }
    }
    return result;
}
