#include "window_size.h"

#include "render_target.h"
#include "scene_manager.h"
#include "video.h"

void resize_pool(cRenderTargetManager& pool, int32_t width, int32_t height)
{
    for (auto& [size_class, target] : pool.free_list) {
        const cRenderTargetSize size =
            rtt_size(size_class, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        delete target;
        target = new cRenderTarget_fbo(size.width, size.height);
        target->init();
    }
}

void follow_window_size(cSceneManager& manager, int32_t width, int32_t height)
{
    cVideo_SDL* video = cVideo_SDL::get_instance();
    video->width = video->viewport_width = width;
    video->height = video->viewport_height = height;
    video->apply_viewport();
    resize_pool(*cRenderTargetManager::get_instance(), width, height);
    for (cScene* scene : manager.scenes)
        scene->camera.aspect = static_cast<float>(width) / static_cast<float>(height);
}
