#pragma once
// The studio's window may be resized; the show then renders at its size.
// Between frames, with no pooled target lent, the window size is handed to
// everything that was sized from it: the video record (viewport, mouse and
// glyph scaling read it), the render-target pool, whose targets are made
// again at the new size (the pool keeps owning them), and the scenes'
// cameras. Targets a scene or effect made for itself keep their size.
#include <cstdint>

class cRenderTargetManager;
class cSceneManager;

// Every free target of the pool made again at its class's size for a
// width x height picture; the pool's order and count stay as they were.
void resize_pool(cRenderTargetManager& pool, int32_t width, int32_t height);
// The video record, the viewport, the pool and the cameras at the new size.
void follow_window_size(cSceneManager& manager, int32_t width, int32_t height);
