#pragma once
// The scene manager owns the scenes, the time-sorted event queue, the sound
// module and the demo clock. It is created by the demo object's init, lives
// until the exit handler destroys it, and is never recreated. Once per frame
// it ticks the clock, fires the events that are due and lets the current
// scene (the composition) update and draw itself.
#include <map>
#include <string>
#include <vector>

#include "demo_clock.h"
#include "events.h"
#include "scenes/scene.h"
#include "singleton.h"
#include "sound_module.h"

class iLoadScreen;

class cSceneManager : public cSingleton<cSceneManager> {
public:
    ~cSceneManager() override;

    // Reads the marker script (the queue every scene gets), opens the audio
    // device and loads the music, then starts the demo clock so that demo
    // time 0 is the end of setup.
    void setup();

    // Constructs a scene on the demo clock and registers it, with the event
    // queue; the first scene registered under a name keeps the name.
    template <typename T>
    T* add()
    {
        T* scene = new T(&clock);
        scene->events = queue;
        scenes.push_back(scene);
        by_name.emplace(scene->get_name(), scene);
        return scene;
    }

    // The first registered scene whose dynamic type is T, or null.
    template <typename T>
    T* find() const
    {
        for (cScene* s : scenes)
            if (T* t = dynamic_cast<T*>(s))
                return t;
        return nullptr;
    }

    // load_scene with the first registered scene (ends the process when there
    // is none), then hold_and_fade.
    void load_and_fade_in(iLoadScreen& screen);
    // Makes the scene current and loads it.
    void load_scene(iLoadScreen& screen, cScene* scene);
    // Holds the loading screen until 5 s after setup, then fades to black
    // over 1.5 s.
    void hold_and_fade(iLoadScreen& screen);
    // Ticks the clock, fires due events, updates the current scene; true when
    // anything changed (always on the very first call).
    bool update();
    bool dispatch_events();
    void draw_current();
    // Positions clock, event cursor and music at demo time t (ms); events at
    // or before t are skipped without firing.
    void seek(int32_t t);
    // Sets the clock so that elapsed() = t - audio latency.
    void sync_clock(int32_t t);

    cEventQueue* queue = nullptr;               // owned
    std::vector<cScene*> scenes;                // owned, in registration order
    std::map<std::string, cScene*> by_name;     // registration name -> scene
    cScene* current = nullptr;                  // drawn and receives events
    cSoundModule_SDL sound;                     // the music
    cDemoClock clock;                           // the demo clock
    // The very first update reports a change, so whoever listens starts in sync.
    bool first_dispatch = true;

private:
    void fire(cEvent* e);
};

// Black over the whole viewport with opacity 1 - visibility.
void draw_fade_quad(float visibility);
