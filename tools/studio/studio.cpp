#include "studio.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include <SDL.h>

#include "demo.h"
#include "extensions.h"
#include "frame.h"
#include "layer_controls.h"
#include "midi_events.h"
#include "midi_file.h"
#include "overlay.h"
#include "resource_path.h"
#include "scene_manager.h"
#include "scenes/composition.h"
#include "shader_manager.h"
#include "shader_reload.h"
#include "timeline_text.h"
#include "transport.h"
#include "values/mouse.h"
#include "video.h"
#include "window_size.h"

namespace {

// ---- start-up -------------------------------------------------------------------

void open_window(const cStudioOptions& o)
{
    cVideo_SDL* video = cVideo_SDL::get_instance();
    video->flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    video->width = video->viewport_width = o.width;
    video->height = video->viewport_height = o.height;
    video->stretch = true;
    video->init_sdl();
    SDL_SetWindowTitle(video->screen, "quorvane studio");
}

// Run from a build tree, the studio loads shaders from the source tree
// that the build names in bin/../source-tree, so that an edit reaches it
// without a build. An installed studio has no such file.
void prefer_source_shaders()
{
    std::ifstream named(std::filesystem::path(executable_dir()) / ".." / "source-tree");
    std::string tree;
    if (!std::getline(named, tree))
        return;
    const std::filesystem::path source = std::filesystem::path(tree) / "src" / "shaders";
    if (!std::filesystem::is_directory(source))
        return;
    cResourcePath::get_instance()->add(source.string());
    cResourcePath::get_instance()->add((source / "comp").string());
}

double read_bar_ms()
{
    const std::string path = cResourcePath::get_fullpath(MIDI_FILE);
    auto bytes = path.empty() ? std::nullopt : read_midi_bytes(path);
    if (!bytes) {
        std::cerr << "# studio: no MIDI file, bar steps are off" << std::endl;
        return 0;
    }
    cMidiFile midi(std::move(*bytes));
    midi.read_tracks();
    return bar_ms_of(midi);
}

int32_t music_ms(const cSoundModule_SDL& sound)
{
    const size_t frames = sound.pcm.size() / SOUND_CHANNELS;
    return static_cast<int32_t>(static_cast<int64_t>(frames) * 1000 / SOUND_RATE);
}

// ---- the studio -----------------------------------------------------------------

class cStudio {
public:
    cStudio(cQuorvane& demo_, cSceneManager& manager_, const cStudioTiming& timing)
        : demo(demo_), manager(manager_), composition(dynamic_cast<cSceneComposition*>(manager_.current)),
          transport(manager_, timing), reload(*cShaderManager_GLSL::get_instance())
    {
        overlay.status.text.reserve(256);
        keys.reserve(32);
    }

    [[noreturn]] void run()
    {
        set_swap_interval(1);
        second_start = SDL_GetTicks64();
        for (;;) {
            pump();
            if (pending_width > 0) {
                follow_window_size(manager, pending_width, pending_height);
                pending_width = 0;
            }
            reload.poll(static_cast<int64_t>(SDL_GetTicks64()));
            if (!reload.last_message.empty()) {
                overlay.message.text = reload.last_message;
                reload.last_message.clear();
            }
            transport.frame();
            tweak();
            if (manager.update() || list_dirty)
                rebuild_list();
            draw();
            count_frame();
        }
    }

    cQuorvane& demo;
    cSceneManager& manager;
    cSceneComposition* composition;  // the show; null when a single scene plays
    cStudioTransport transport;
    cStudioShaderReload reload;
    cStudioSolo solo;
    cStudioHold hold;
    cStudioOverlay overlay;
    std::vector<int32_t> keys;       // active layer keys, reused
    bool show_list = false;
    bool show_help = false;
    bool list_dirty = true;
    int32_t pending_width = 0;       // a resize waiting for the frame's end; 0: none
    int32_t pending_height = 0;
    int fps = 0;                     // frames drawn in the last whole second
    int frames = 0;                  // frames drawn since second_start
    uint64_t second_start = 0;       // SDL ticks (ms) when the count began

private:
    void count_frame()
    {
        ++frames;
        const uint64_t now = SDL_GetTicks64();
        if (now - second_start < 1000)
            return;
        fps = static_cast<int>(frames * 1000 / (now - second_start));
        frames = 0;
        second_start = now;
    }

    void pump()
    {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (e.type == SDL_KEYDOWN && key(e.key.keysym, e.key.repeat != 0))
                continue;
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                pending_width = e.window.data1;
                pending_height = e.window.data2;
                continue;
            }
            handle_sdl_event(e);
        }
        check_quit_keys();
    }

    // True when the key is the studio's. A held key repeats the steps,
    // never the switches.
    bool key(const SDL_Keysym& k, bool repeat)
    {
        const bool step =
            k.sym == SDLK_LEFT || k.sym == SDLK_RIGHT || k.sym == SDLK_PAGEUP || k.sym == SDLK_PAGEDOWN;
        if (repeat && !step)
            return k.sym != SDLK_ESCAPE && k.sym != SDLK_q;
        const bool shift = (k.mod & KMOD_SHIFT) != 0;
        switch (k.sym) {
        case SDLK_SPACE: transport.toggle_pause(); return true;
        case SDLK_LEFT: shift ? transport.step_bar(-1) : transport.step_ms(-1000); return true;
        case SDLK_RIGHT: shift ? transport.step_bar(1) : transport.step_ms(1000); return true;
        case SDLK_PAGEUP: transport.step_section(-1); return true;
        case SDLK_PAGEDOWN: transport.step_section(1); return true;
        case SDLK_HOME: transport.seek(0); return true;
        case SDLK_TAB: show_list = !show_list; return true;
        case SDLK_F1: show_help = !show_help; return true;
        case SDLK_0:
        case SDLK_BACKQUOTE: solo.key = -1; return true;
        case SDLK_h: toggle_hold(); return true;
        case SDLK_p: print_values(); return true;
        default: break;
        }
        if (k.sym >= SDLK_1 && k.sym <= SDLK_9 && composition) {
            active_layer_keys(*composition, composition->now(), keys);
            const size_t n = static_cast<size_t>(k.sym - SDLK_1);
            if (n < keys.size())
                solo.key = keys[n];
            return true;
        }
        return false;
    }

    void toggle_hold()
    {
        if (!composition)
            return;
        if (!hold.held.empty()) {
            hold.release(*composition);
            overlay.message.text = "animators run again";
            return;
        }
        active_layer_keys(*composition, composition->now(), keys);
        for (int32_t k : keys)
            if (solo.key < 0 || k == solo.key)
                hold.hold(*composition, k);
        overlay.message.text = hold.held.empty() ? "no layer to hold" : "holding the hand-set values";
    }

    void print_values()
    {
        if (!composition)
            return;
        std::cout << timeline_printout(*composition, composition->now()) << std::flush;
        overlay.message.text = "values printed as timeline lines";
    }

    // The tweak list takes the mouse; the "curtime" row seeks.
    void tweak()
    {
        if (!show_list)
            return;
        const int32_t shown = composition ? composition->curtime : 0;
        const cMouse* mouse = cMouse::get_instance();
        demo.gui.var_list.handle_mouse(GUI_DRAG, mouse->pos.x, mouse->pos.y);
        if (composition && composition->curtime != shown)
            transport.seek(composition->curtime + transport.latency_ms);
    }

    void rebuild_list()
    {
        list_dirty = false;
        cGuiVarList& list = demo.gui.var_list;
        list.reset();
        if (manager.current)
            manager.current->register_gui(&list);
    }

    void draw()
    {
        if (composition) {
            solo.hide_others(*composition);
            draw_frame();
            solo.restore_windows(*composition);
        } else {
            draw_frame();
        }
        write_status();
        overlay.draw(show_list ? &demo.gui.var_list : nullptr, show_help);
        cVideo_SDL::get_instance()->swap_buffers();
    }

    void write_status()
    {
        const int32_t t = transport.position();
        char head[128];
        std::snprintf(head, sizeof head, "%d:%02d.%03d %s %3d fps%s%s  ", t / 60000, t / 1000 % 60, t % 1000,
                      section_name(t, transport.timing.sections).c_str(), fps, transport.paused() ? " paused" : "",
                      hold.held.empty() ? "" : " hold");
        std::string& s = overlay.status.text;
        s = head;
        if (!composition)
            return;
        const int32_t now = composition->now();
        for (const auto& [key, layer] : composition->layers) {
            if (!layer.active_at(now))
                continue;
            char alpha[32];
            std::snprintf(alpha, sizeof alpha, " %.2f%s  ", layer.alpha, key == solo.key ? " solo" : "");
            s += layer.scene->get_name();
            s += alpha;
        }
    }
};

}  // namespace

void run_studio(const cStudioOptions& o)
{
    open_window(o);
    prefer_source_shaders();
    start_program();

    static cQuorvane demo;  // like the show's: lives until the process ends
    demo.hold_loading_screen = false;
    demo.between_layers = pump_events;
    demo.init();
    cSceneManager& manager = *cSceneManager::get_instance();
    start_demo(manager);

    const cStudioTiming timing = timing_of(*manager.queue, read_bar_ms(), music_ms(manager.sound));
    static cStudio studio(demo, manager, timing);
    studio.transport.set_loop(o.loop_a, o.loop_b);
    studio.transport.seek(o.loop_b > o.loop_a ? o.loop_a : o.at_ms);
    studio.run();
}
