#pragma once
// The scene interface. Every visual part of the show is a cScene: the scene
// manager constructs each one with the demo clock, the composition loads the
// ones it uses as layers, and all of them live until the demo ends. A scene
// owns its animators and the variables and sliders it publishes; the clock
// and the event queue belong to the scene manager.
//
// Writing a scene (docs/writing-a-scene.md): state the tweakable values as a
// table in the constructor (`sliders`, and `publish()` for the timeline),
// make every GL object in load() (which may run more than once), and keep
// render() a short list of steps over pooled targets.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "camera.h"
#include "render_target.h"
#include "values/var_table.h"

class cDemoClock;
class cEvent;
class cEventQueue;
class cGuiVarList;
class cInterpolator;

class cScene {
public:
    explicit cScene(cDemoClock* clock_);
    virtual ~cScene();

    virtual std::string get_name() = 0;
    // Makes the scene's GL objects and animators; a second call adds none.
    virtual void load() = 0;
    virtual void begin() {}
    virtual void end() {}
    virtual void draw();
    virtual void handle_event(cEvent*) {}
    // Runs the animators unless the clock is paused. True when the scene's
    // state changed in a way callers may react to.
    virtual bool update();
    // Adds the rows of `sliders`.
    virtual void register_gui(cGuiVarList* list);
    // Draws the scene for demo time time_ms into a pooled target; the caller
    // releases it.
    virtual cTmpRenderTarget render(int32_t time_ms) = 0;
    // The scene's published variables with their sliders; the pairs stay
    // owned by the scene and are the same on every call.
    virtual tVarList get_vars();

    // render(t) with the caller's GL state, shader binding, lights, material
    // and fog restored afterwards, so no scene leaks its set-up into the next.
    cTmpRenderTarget render_isolated(int32_t t);
    // Eye and centre sliders within [min, max], field of view and roll.
    tVarTable camera_rows(float min, float max);
    // Applies every animator active now; one that was applied on the
    // previous run but has just left its window is applied once more, so it
    // lands on its end value.
    void update_animators();
    // Current demo time in ms.
    int32_t now() const;

    cCamera camera;                // eye (1,1,1) looking at the origin, z up, 65 degrees
    cDemoClock* clock;             // the scene manager's demo clock, not owned
    // The manager's queue of markers, notes and beats, for scenes that look
    // at notes around now instead of waiting for them; not owned; null
    // until the manager hands it over.
    const cEventQueue* events = nullptr;
    std::vector<cInterpolator*> animators;  // owned, in the order added
    int32_t last_update_time = -1; // demo time (ms) of the previous update_animators
    tVarTable sliders;             // the rows register_gui adds, in order

protected:
    // True on the first call only: load() makes its GL objects behind it, so
    // that a second load() adds none.
    bool first_load() { return !std::exchange(loaded, true); }
    // Makes the (variable, slider) pairs that get_vars() returns, one per
    // row; a scene calls it once, from its constructor.
    void publish(const tVarTable& table);

private:
    tVarList published;            // owned pairs, in table order
    bool loaded = false;           // load() has run
};

// One step of a post chain: a fresh pooled target of `size_class` that
// effect(destination, source) fills from `source`, which goes back to the
// pool. A scene's render() becomes a short list of such steps.
template <typename tEffect>
cTmpRenderTarget post_step(cTmpRenderTarget& source, tEffect&& effect, int32_t size_class = RTT_FULL)
{
    cTmpRenderTarget result = get_tmp_render_target(size_class);
    effect(*result.target, *source.target);
    source.release();
    return result;
}
