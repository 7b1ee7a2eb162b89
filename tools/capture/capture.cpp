#include "capture.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>
#include <vector>

#include "demo.h"
#include "extensions.h"
#include "frame.h"
#include "frame_output.h"
#include "mp4_file.h"
#include "output_file.h"
#include "png_file.h"
#include "profile.h"
#include "progress.h"
#include "readback.h"
#include "render_target.h"
#include "scene_manager.h"
#include "scene_vars.h"
#include "scenes/composition.h"
#include "scenes/registry.h"
#include "sheet.h"
#include "state_manager.h"
#include "video.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t started = 0;  // the show has loaded: outputs may be open

// Once the show runs, a stop request ends the frame loop, which finishes
// the files. While it loads nothing is written yet, and a read or wait of
// the loading must not hold the request: the tool ends at once.
void on_interrupt(int)
{
    if (started) {
        interrupted = 1;
        return;
    }
    static const char line[] = "quorvane-capture: interrupted while loading; nothing written\n";
    (void)!write(STDERR_FILENO, line, sizeof line - 1);
    _exit(130);
}

// The demo time of the frame being drawn.
class cFixedStep : public iTimeSource {
public:
    int32_t now_ms() override { return t; }

    int32_t t = 0;  // ms
};

// A moment of --at takes the place of the first grid frame at or after it.
struct cMomentFrame {
    int64_t frame = 0;
    int32_t time_ms = 0;
};

// Which frames are drawn and which are read back.
struct cFramePlan {
    int64_t count = 0;       // frames drawn, from demo time 0
    int64_t first_out = 0;   // first frame read back
    int64_t first_drawn = 0; // first frame drawn; those before are only updated
    // First frame rasterised: the frames drawn before it run every line of
    // the scenes' code, with the GPU told to discard what they draw.
    int64_t first_rasterised = 0;
    int32_t fps = 60;        // grid rate
    std::vector<cMomentFrame> moments;  // --at, by frame; empty: every frame on the grid

    int32_t time(int64_t j) const
    {
        const auto m = std::lower_bound(moments.begin(), moments.end(), j,
                                        [](const cMomentFrame& a, int64_t f) { return a.frame < f; });
        return m != moments.end() && m->frame == j ? m->time_ms : grid_time(j, fps);
    }
};

// No sound is played; with no display, SDL renders through EGL off-screen.
void choose_drivers()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!getenv("SDL_VIDEODRIVER") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

void check_size(int32_t width, int32_t height)
{
    GLint renderbuffer = 0, rectangle = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &rectangle);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const GLint limit = std::min({renderbuffer, rectangle, viewport[0], viewport[1]});
    if (width > limit || height > limit)
        throw cCaptureError("--size " + std::to_string(width) + "x" + std::to_string(height) +
                            ": the driver's render targets reach " + std::to_string(limit) + " pixels a side");
}

// The off-screen target the frame draws to in place of the window.
std::unique_ptr<cRenderTarget_fbo> make_screen(int32_t width, int32_t height)
{
    auto screen = std::make_unique<cRenderTarget_fbo>(width, height);
    screen->init();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen->fbo);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        throw cCaptureError("--size " + std::to_string(width) + "x" + std::to_string(height) +
                            ": the driver refuses a render target of that size");
    cVideo_SDL::get_instance()->screen_framebuffer = screen->fbo;
    return screen;
}

// Nobody would click the message box the show opens for a missing
// extension: the capture prints its text and ends.
void print_missing_extension(const char* caption, const char* text)
{
    std::cerr << "quorvane-capture: " << caption << ": " << text << std::endl;
}

// GL context, sizes, the show's GL start-up, and the frame's target.
std::unique_ptr<cRenderTarget_fbo> start_gl(int32_t width, int32_t height)
{
    choose_drivers();
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        throw cCaptureError(std::string("no GL context: ") + SDL_GetError());
    cVideo_SDL* video = cVideo_SDL::get_instance();
    // The window only carries the context; the frame never goes to it.
    video->flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    video->requested[6] = 0;  // single-buffered: nothing is ever swapped to it
    video->width = video->height = video->viewport_width = video->viewport_height = 64;
    video->init_sdl();
    check_size(width, height);
    video->width = video->viewport_width = width;
    video->height = video->viewport_height = height;
    video->stretch = true;
    missing_extension_message = print_missing_extension;
    start_program();
    return make_screen(width, height);
}

int32_t show_end(const cSceneManager& manager)
{
    for (const cEvent* e : manager.queue->events)
        if (e->type == EVENT_QUIT)
            return e->time;
    throw cCaptureError("the marker script has no end-of-show marker: give --to");
}

cFramePlan plan_frames(const cCaptureOptions& o, int32_t end)
{
    const std::string show = " lies outside the show (0 to " + std::to_string(end) + " ms)";
    if (!o.at.empty() && o.at.back() > end)
        throw cCaptureError("--at " + std::to_string(o.at.back()) + show);
    if (o.from_ms >= end)
        throw cCaptureError("--from " + std::to_string(o.from_ms) + show);
    if (o.to_ms > end)
        throw cCaptureError("--to " + std::to_string(o.to_ms) + show);
    cFramePlan plan;
    plan.fps = o.fps;
    if (!o.at.empty()) {
        for (int32_t t : o.at)
            plan.moments.push_back({first_grid_frame_at(t, o.fps), t});
        plan.first_out = plan.moments.front().frame;
        plan.count = plan.moments.back().frame + 1;
        return plan;
    }
    plan.count = first_grid_frame_at(o.to_ms >= 0 ? o.to_ms : end, o.fps);
    plan.first_out = first_grid_frame_at(o.from_ms, o.fps);
    if (plan.first_out >= plan.count)
        throw cCaptureError("the range holds no frame at " + std::to_string(o.fps) + " fps");
    return plan;
}

// Rasterising can be switched off from GL 3.0, or with transform feedback.
bool have_rasterizer_discard()
{
    return GLEW_VERSION_3_0 || GLEW_EXT_transform_feedback;
}

// Which frames the range needs drawn and rasterised. A layer's scene
// carries history (particles, its own animation) from every frame it drew,
// and a scene that reads the shared random sequence also depends on every
// read of the others; drawing starts with the first layer of any scene that
// reaches the range that way. Frames before it are still updated, so events,
// the timeline, animators and the clock run as in a replay from 0. Only a
// scene that keeps its pictures needs the pixels of frames before the
// range: the others are drawn with rasterising off until it begins. Either
// way the range's frames come out as in a replay from 0. A scene shown
// alone has drawn from 0.
void plan_replay(const cSceneManager& manager, cFramePlan& plan)
{
    const auto* composition = dynamic_cast<const cSceneComposition*>(manager.current);
    const auto to_frame = [&plan](int32_t t) { return std::min(first_grid_frame_at(t, plan.fps), plan.first_out); };
    if (!composition) {
        const bool pictures = keeps_pictures(manager.current->get_name());
        plan.first_rasterised = pictures || !have_rasterizer_discard() ? 0 : plan.first_out;
        return;
    }
    const int32_t from = plan.time(plan.first_out), to = plan.time(plan.count - 1);
    std::set<const cScene*> needed;
    bool random = false;
    for (const auto& [key, layer] : composition->layers)
        if (layer.start <= to && layer.end >= from) {
            needed.insert(layer.scene);
            random = random || reads_shared_random(layer.scene->get_name());
        }
    int32_t start = from, pictures_start = from;
    for (const auto& [key, layer] : composition->layers) {
        if (layer.start >= from)
            continue;
        const bool in_range = needed.count(layer.scene) > 0;
        if (in_range || (random && reads_shared_random(layer.scene->get_name())))
            start = std::min(start, layer.start);
        if (in_range && keeps_pictures(layer.scene->get_name()))
            pictures_start = std::min(pictures_start, layer.start);
    }
    plan.first_drawn = to_frame(start);
    plan.first_rasterised = have_rasterizer_discard() ? std::max(plan.first_drawn, to_frame(pictures_start))
                                                      : plan.first_drawn;
}

// Every output is checked before the long start-up.
void check_outputs(const cCaptureOptions& o)
{
    for (const std::string* path : {&o.mp4, &o.sheet, &o.profile})
        if (!path->empty())
            cOutputFile(*path).check_writable();
    if (!o.mp4.empty())
        check_mp4_encoders();
    if (o.png.empty())
        return;
    if (o.at.size() == 1)
        cOutputFile(o.png).check_writable();
    else if (o.at.empty())
        cPngSequence{o.png};
    else
        cPngMoments(o.png, o.at);
}

// Names of the layers active now: the composition's, or the one scene shown.
std::string active_layer_names(const cSceneManager& manager)
{
    const auto* composition = dynamic_cast<const cSceneComposition*>(manager.current);
    if (!composition)
        return manager.current->get_name();
    std::string names;
    const int32_t t = manager.clock.elapsed();
    for (const auto& [key, layer] : composition->layers)
        if (layer.active_at(t))
            names += (names.empty() ? "" : ", ") + layer.scene->get_name();
    return names.empty() ? "(no layer)" : names;
}

std::vector<std::unique_ptr<iFrameOutput>> open_outputs(const cCaptureOptions& o, const cFramePlan& plan,
                                                        const cSceneManager& manager)
{
    std::vector<std::unique_ptr<iFrameOutput>> outputs;
    if (!o.png.empty() && o.at.size() == 1)
        outputs.push_back(std::make_unique<cSinglePng>(o.png));
    else if (!o.png.empty() && !o.at.empty())
        outputs.push_back(std::make_unique<cPngMoments>(o.png, o.at));
    else if (!o.png.empty())
        outputs.push_back(std::make_unique<cPngSequence>(o.png));
    const int32_t first_ms = plan.time(plan.first_out);
    if (!o.mp4.empty()) {
        // The soundtrack sample that plays at the first frame's demo time.
        const int64_t first_sample = static_cast<int64_t>(first_ms) * SOUND_RATE / 1000;
        outputs.push_back(std::make_unique<cMp4Writer>(o.mp4, o.width, o.height, o.fps, manager.sound.pcm, first_sample));
    }
    if (!o.sheet.empty())
        outputs.push_back(std::make_unique<cSheet>(o.sheet, first_ms, plan.time(plan.count - 1) + 1,
                                                   o.every_ms, o.width, o.height,
                                                   [&manager] { return active_layer_names(manager); }));
    return outputs;
}

cSceneManager& start_show(const cCaptureOptions& o)
{
    static cQuorvane demo;  // like the show's: lives until the process ends
    demo.hold_loading_screen = false;
    if (!o.scene.empty())
        demo.pick_scene = [&o](cSceneManager& manager) { return find_scene(manager, o.scene); };
    demo.init();
    cSceneManager& manager = *cSceneManager::get_instance();
    for (const auto& [name, value] : o.sets)
        set_scene_var(*manager.current, name, value);
    return manager;
}

double ms_since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Steps the demo clock through the plan, drawing each frame and handing the
// range's frames to the outputs and the profiler.
class cFrameDriver {
public:
    cFrameDriver(cSceneManager& manager_, const cFramePlan& plan_, cRenderTarget_fbo& screen_,
                 std::vector<std::unique_ptr<iFrameOutput>>& outputs_, cProfiler* profiler_)
        : manager(manager_), plan(plan_), screen(screen_), outputs(outputs_), profiler(profiler_),
          readback(screen_.width, screen_.height), composition(dynamic_cast<cSceneComposition*>(manager_.current))
    {
        manager.clock.source = &step;
        manager.clock.start = manager.clock.now = manager.clock.paused_ms = 0;
        alone.scene = manager.current;
        alone.end = plan.time(plan.count - 1);
    }

    ~cFrameDriver()
    {
        manager.clock.source = nullptr;
        if (composition)
            composition->layer_observer = nullptr;
    }

    // Draws the frames of the plan until the end or an interruption; the
    // number drawn.
    int64_t run()
    {
        const tFrameSink sink = [this](const cFramePixels& frame) {
            for (auto& out : outputs)
                out->add(frame);
        };
        cProgress progress(plan.count);
        int64_t j = 0;
        for (; j < plan.count && !interrupted; ++j) {
            if (j < plan.first_drawn)
                update_only(j);
            else
                draw(j, sink);
            progress.update(j + 1);
        }
        readback.flush(sink);
        progress.done(j);
        return j;
    }

private:
    void update_only(int64_t j)
    {
        step.t = plan.time(j);
        manager.update();
    }

    void draw(int64_t j, const tFrameSink& sink)
    {
        const bool out = j >= plan.first_out;
        cProfiler* timing = out ? profiler : nullptr;
        if (composition)
            composition->layer_observer = timing;
        step.t = plan.time(j);
        const auto t0 = std::chrono::steady_clock::now();
        manager.update();
        const double update_ms = ms_since(t0);

        const auto t1 = std::chrono::steady_clock::now();
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.fbo);
        cVideo_SDL::get_instance()->apply_viewport();
        if (timing)
            timing->frame_begin();
        if (timing && !composition)
            timing->layer_begin(alone);
        const bool discard = j < plan.first_rasterised;
        if (discard)
            cStateManager::get_instance()->discard_primitives(true);
        draw_frame();
        if (discard)
            cStateManager::get_instance()->discard_primitives(false);
        if (timing && !composition)
            timing->layer_end(alone);
        const double draw_ms = ms_since(t1);
        if (!out)
            return;
        const int64_t index = j - plan.first_out;
        bool wanted = false;
        for (auto& output : outputs)
            wanted = output->drawn(index, step.t) || wanted;
        if (wanted)
            readback.push(index, step.t, sink);
        // The profile records the time the scene itself saw.
        if (timing)
            timing->frame_done(index, manager.current->now(), update_ms, draw_ms);
    }

    cSceneManager& manager;
    const cFramePlan& plan;
    cRenderTarget_fbo& screen;                              // the frame's target
    std::vector<std::unique_ptr<iFrameOutput>>& outputs;
    cProfiler* profiler;                                    // null without --profile
    cFixedStep step;                                        // the demo clock's time
    cFrameReadback readback;
    cSceneComposition* composition;                         // the show; null for a scene alone
    cSceneLayer alone;                                      // a scene alone, timed as one layer
};

}  // namespace

int run_capture(const cCaptureOptions& o)
{
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    check_outputs(o);
    std::unique_ptr<cRenderTarget_fbo> screen = start_gl(o.width, o.height);
    if (o.list) {
        cSceneManager& manager = *cSceneManager::get_instance();
        register_show_scenes(manager);
        print_scene_list(manager, std::cout);
        return 0;
    }
    cSceneManager& manager = start_show(o);
    started = 1;
    cFramePlan plan = plan_frames(o, show_end(manager));
    plan_replay(manager, plan);
    if (plan.first_rasterised > 0)
        std::cerr << "quorvane-capture: replaying from " << plan.time(plan.first_drawn)
                  << " ms, the first layer the range needs; pictures from " << plan.time(plan.first_rasterised)
                  << " ms" << std::endl;
    auto outputs = open_outputs(o, plan, manager);
    std::unique_ptr<cProfiler> profiler;
    if (!o.profile.empty())
        profiler = std::make_unique<cProfiler>(o.profile, plan.count - plan.first_out, o.width, o.height);
    const int64_t drawn = cFrameDriver(manager, plan, *screen, outputs, profiler.get()).run();
    const bool some = drawn > plan.first_out;
    if (some) {
        for (auto& out : outputs)
            out->finish();
        if (profiler)
            profiler->finish();
    }
    // The pool report the show prints at exit: a run that made targets while
    // drawing shows more than the warm-up pool.
    cRenderTargetManager::get_instance()->report();
    if (drawn == plan.count)
        return 0;
    std::cerr << "quorvane-capture: interrupted; " << (some ? "the files hold the frames done so far" : "nothing written")
              << std::endl;
    return 130;
}
