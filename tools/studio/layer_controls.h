#pragma once
// What the studio does to the composition's layers: show one alone, hold a
// layer's hand-set values against its animators, and apply the animators at
// a new time while the clock stands. The composition and its scenes are the
// scene manager's; these controls only borrow them and must be undone
// (restore_windows, release) before the composition is used by anyone else.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class cInterpolator;
class cScene;
class cSceneComposition;

// Keys of the layers active at t, in compositing order.
void active_layer_keys(const cSceneComposition& composition, int32_t t, std::vector<int32_t>& keys);

class cStudioSolo {
public:
    // Before the composition draws: every layer but `key` gets an empty
    // window, so only that one renders. key < 0 (no solo) changes nothing.
    void hide_others(cSceneComposition& composition);
    // After the draw: the windows as they were.
    void restore_windows(cSceneComposition& composition);

    int32_t key = -1;  // layer shown alone; -1: all

private:
    struct cSavedWindow {
        int32_t key;    // layer key
        int32_t start;  // its window (ms)
        int32_t end;
    };
    std::vector<cSavedWindow> saved;  // keeps its capacity from frame to frame
};

// Holds layers: their scenes' animators, and the composition's animators that
// write the scenes' published variables, are taken out of the lists that run
// them until released. The layer's fades keep running.
class cStudioHold {
public:
    // Takes the animators of the layer out; a held layer is not taken twice.
    void hold(cSceneComposition& composition, int32_t key);
    // Puts every held animator back where it was.
    void release(cSceneComposition& composition);
    bool holds(int32_t key) const;

    struct cHeldLayer {
        int32_t key;                                   // layer key
        cScene* scene;                                 // the layer's scene
        std::vector<cInterpolator*> scene_animators;   // the scene's whole list
        std::vector<std::pair<size_t, cInterpolator*>> timeline;  // (index, animator) taken from the composition
    };
    std::vector<cHeldLayer> held;
};

// The animators of the composition and of its layers active now, applied
// at the clock's current time whether or not it runs (a seek while paused
// shows the new time's values).
void apply_animators_now(cSceneComposition& composition);
