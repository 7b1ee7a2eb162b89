#pragma once
// A drawing component: a piece of a scene's picture with its own load and
// per-frame draw, held by value by the scene that uses it and living as long
// as that scene. It draws into whatever target the scene has bound.
class cDemoClock;

class iComponent {
public:
    virtual ~iComponent() = default;
    // Fetches the component's meshes and sets its values; may run again.
    virtual void load() = 0;
    // Draws with the scene's camera already applied.
    virtual void render(const cDemoClock& clock) = 0;
};
