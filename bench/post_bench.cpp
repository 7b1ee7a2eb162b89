// Cost of each post-processing effect at 1280x720: milliseconds per apply,
// GPU work included (glFinish inside the timed loop). Runs on whatever GL the
// display offers; under Xvfb that is Mesa llvmpipe.
#include <benchmark/benchmark.h>

#include <FreeImage.h>
#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "bench_gl.h"
#include "gl.h"
#include "post/post_blur.h"
#include "post/post_color.h"
#include "post/post_compositing.h"
#include "post/post_glow.h"
#include "post/post_kaleido.h"
#include "render_target.h"
#include "resource_path.h"
#include "shader_manager.h"
#include "state_manager.h"

namespace {

// A 256 x 1 lookup gradient for the colour correction, written once.
std::string lookup_file()
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quorvane_post_bench";
    std::filesystem::create_directories(dir);
    FIBITMAP* image = FreeImage_Allocate(256, 1, 24);
    BYTE* line = FreeImage_GetScanLine(image, 0);
    for (int i = 0; i < 256; ++i)
        line[i * 3 + FI_RGBA_RED] = line[i * 3 + FI_RGBA_GREEN] = line[i * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(i);
    FreeImage_Save(FIF_PNG, image, (dir / "bench_lookup.png").string().c_str(), 0);
    FreeImage_Unload(image);
    cResourcePath::get_instance()->add(dir.string());
    return "bench_lookup.png";
}

// Times one effect between full-size source and destination targets.
void run(benchmark::State& state, const std::function<void(cRenderTarget_fbo& dst, cRenderTarget_fbo& src)>& effect)
{
    if (!open_bench_gl()) {
        state.SkipWithError("no GL context");
        return;
    }
    cTmpRenderTarget src = get_tmp_render_target(RTT_FULL);
    cTmpRenderTarget dst = get_tmp_render_target(RTT_FULL);
    effect(*dst.target, *src.target);  // first use creates the effect
    glFinish();
    for (auto _ : state) {
        effect(*dst.target, *src.target);
        glFinish();
    }
}

// Runs draw with dst bound.
void into(cRenderTarget_fbo& dst, const std::function<void()>& draw)
{
    dst.bind(false);
    draw();
    dst.unbind();
}

void BM_Blur(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { cPostBlur::get_instance()->apply(dst, src, true); });
}
void BM_RadialBlurQuarter(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { cPostRadialBlur::get_instance()->apply(dst, src, {160, 90, 100, 25, 1, 0.85f, RTT_QUATER}); });
}
void BM_Levels(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { into(dst, [&] { cPostLevels::get_instance()->apply(src, {50, 200, 1, 0, 255}); }); });
}
void BM_CutQuarter(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { cPostCut::get_instance()->apply(src, dst, {RTT_QUATER, 200, 128}); });
}
void BM_GlowHalf(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { cPostCut::get_instance()->apply_glow(dst, src, {RTT_HALF, 190, 255}); });
}
void BM_HSB(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) { into(dst, [&] { cPostHSB::get_instance()->apply(src, {90, 0, 0, nullptr}); }); });
}
void BM_ColorCorrection(benchmark::State& s)
{
    if (open_bench_gl() && cPostColorCorrection::get_instance()->lookup.target == 0)
        cPostColorCorrection::get_instance()->init(lookup_file());
    run(s, [](auto& dst, auto& src) { into(dst, [&] { cPostColorCorrection::get_instance()->apply(src); }); });
}
void BM_CompositingBlend(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) {
        cTmpRenderTarget top = get_tmp_render_target(RTT_FULL);
        cPostCompositing::get_instance()->apply(dst, src, *top.target, COMP_BLEND, 0.5f);
    });
}
void BM_Spill(benchmark::State& s)
{
    run(s, [](auto& dst, auto& src) {
        cTmpRenderTarget glow = get_tmp_render_target(RTT_HALF);
        into(dst, [&] { cPostSpill::get_instance()->apply(src, *glow.target); });
    });
}
void BM_Kaleido(benchmark::State& s)
{
    const int32_t plane = static_cast<int32_t>(s.range(0));
    if (open_bench_gl())
        cPostKaleido2d::get_instance()->init();
    run(s, [plane](auto& dst, auto& src) { into(dst, [&] { cPostKaleido2d::get_instance()->apply(src, plane); }); });
}
void BM_Feedback(benchmark::State& s)
{
    cTmpRenderTarget history;
    cFeedbackParams block;
    block.transform[0] = block.transform[5] = 1.02f;
    block.blur_iterations = 2;
    block.fade = 0.06f;
    run(s, [&](auto& dst, auto& src) { cPostFeedback::get_instance()->apply(history, src, dst, block); });
    history.release();
}

BENCHMARK(BM_Blur)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RadialBlurQuarter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Levels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CutQuarter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GlowHalf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HSB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ColorCorrection)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CompositingBlend)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Spill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Kaleido)->Arg(0)->Arg(1)->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Feedback)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
