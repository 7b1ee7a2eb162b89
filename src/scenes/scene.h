#pragma once
// The scene interface. Every visual part of the show is a cScene: the scene
// manager constructs each one with the demo clock, the composition loads the
// ones it uses as layers, and all of them live until the demo ends. A scene
// owns its animators; the clock belongs to the scene manager.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "camera.h"
#include "render_target.h"

class cDemoClock;
class cEvent;
class cGuiVarList;
class cInterpolator;
class iGuiNode;
class iVar;

class cScene {
public:
    explicit cScene(cDemoClock* clock_);
    virtual ~cScene();

    virtual std::string get_name() = 0;
    virtual void load() = 0;
    virtual void begin() = 0;
    virtual void end() = 0;
    virtual void draw();
    virtual void handle_event(cEvent* e) = 0;
    // True when the scene's state changed in a way callers may react to.
    virtual bool update() = 0;
    virtual void register_gui(cGuiVarList* list);
    // Draws the scene for demo time time_ms into a pooled target; the caller
    // releases it.
    virtual cTmpRenderTarget render(const int& time_ms) = 0;
    // The scene's published variables with their sliders; the pairs stay
    // owned by the scene and are the same on every call.
    virtual std::vector<std::pair<iVar*, iGuiNode*>> get_vars();

    // render(t) with the caller's GL state and shader binding restored
    // afterwards.
    cTmpRenderTarget render_isolated(int32_t t);
    // Eye and centre sliders within [min, max], field of view and roll.
    void register_camera_gui(cGuiVarList* list, float min, float max);
    // Applies every animator active now; one that was applied on the
    // previous run but has just left its window is applied once more, so it
    // lands on its end value.
    void update_animators();
    // Current demo time in ms.
    int32_t now() const;

    cCamera camera;                // eye (1,1,1) looking at the origin, z up, 65 degrees
    cDemoClock* clock;             // the scene manager's demo clock, not owned
    std::vector<cInterpolator*> animators;  // owned, in the order added
    int32_t last_update_time = -1; // demo time (ms) of the previous update_animators
};
