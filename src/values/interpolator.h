#pragma once
// Interpolators: timed animators that write one named variable over a closed
// window [start, end] of demo time (ms). A scene owns its list of them
// (`animators`) and advances it with update_animators once per update; the
// list owns the interpolators and frees them with delete_animators when the
// scene goes. An interpolator built from a raw address owns the variable it
// creates around it; one built from an iVar* (found by name in a sub-scene)
// does not own that variable.
#include <climits>
#include <memory>
#include <vector>

#include "values/var.h"

class cInterpolator {
public:
    virtual ~cInterpolator() = default;
    virtual void update(const int& now) = 0;
    virtual bool is_active(const int& now) { return start <= now && now <= end; }

    iVar* var = nullptr;              // variable written; null writes nothing
    int last_update = INT_MIN;        // demo time (ms) of the last active update
    int start = 0;                    // window start, demo time in ms
    int end = 0;                      // window end, demo time in ms (inclusive)
    std::unique_ptr<iVar> owned_var;  // set when built around a raw address

protected:
    cInterpolator(iVar* var_, int start_, int end_) : var(var_), start(start_), end(end_) {}
    template <typename T>
    cInterpolator(T* target, int start_, int end_)
        : var(new cVar<T>("", target)), start(start_), end(end_), owned_var(var) {}

    // (now - start) / (end - start) clamped to [0, 1]; NaN gives 0.
    float progress(int now) const;
    template <typename T>
    void write(const T& value)
    {
        if (auto* typed = dynamic_cast<cVar<T>*>(var))
            typed->set(&value);
    }
};

// ---- blend formulas, shared by the classes below ---------------------------
inline float lerp_value(const float& from, const float& to, float t) { return (1 - t) * from + t * to; }
inline double lerp_value(const double& from, const double& to, float t) { return (1 - t) * from + t * to; }
// Integer ends blend in floating point and truncate toward zero.
inline int lerp_value(const int& from, const int& to, float t)
{
    return static_cast<int>((1.0 - t) * from + static_cast<double>(t) * to);
}
inline Vec3<float> lerp_value(const Vec3<float>& from, const Vec3<float>& to, float t)
{
    return from * (1 - t) + to * t;
}
// Smoothstep weight (3 - 2t)t^2.
inline float smoothstep_weight(float t) { return (3 - 2 * t) * t * t; }
// Upper half of smoothstep: steepest at t = 0, flat at t = 1.
float ease_in_weight(float t);
// Lower half of smoothstep: flat at t = 0, steepest at t = 1.
float ease_out_weight(float t);

inline float linear_weight(float t) { return t; }

// Blends from `from` to `to` across the window along a weight curve of its
// progress (0 at the start, 1 at the end).
template <typename T, float (*weight)(float)>
class cTween : public cInterpolator {
public:
    cTween(iVar* v, int s, int e, const T& f, const T& t) : cInterpolator(v, s, e), from(f), to(t) {}
    cTween(T* p, int s, int e, const T& f, const T& t) : cInterpolator(p, s, e), from(f), to(t) {}
    void update(const int& now) override { write(lerp_value(from, to, weight(progress(now)))); }

    T from;  // value at and before start
    T to;    // value at and after end
};

template <typename T>
using cLerp = cTween<T, linear_weight>;
template <typename T>
using cSmoothStep = cTween<T, smoothstep_weight>;
template <typename T>
using cEaseIn = cTween<T, ease_in_weight>;
template <typename T>
using cEaseOut = cTween<T, ease_out_weight>;

// Adds the blend to the current value on every active update, so the value
// drifts by a per-update step that moves from `from` to `to`.
template <typename T>
class cLerpAdd : public cInterpolator {
public:
    cLerpAdd(iVar* v, int s, int e, const T& f, const T& t) : cInterpolator(v, s, e), from(f), to(t) {}
    cLerpAdd(T* p, int s, int e, const T& f, const T& t) : cInterpolator(p, s, e), from(f), to(t) {}
    void update(const int& now) override
    {
        if (!var || !is_active(now))
            return;
        const T current = *static_cast<const T*>(var->get_ptr());
        write(T(current + lerp_value(from, to, progress(now))));
    }

    T from;  // value at and before start
    T to;    // value at and after end
};

template <typename T>
class cSetVar : public cInterpolator {
public:
    cSetVar(iVar* v, int s, int e, const T& value_) : cInterpolator(v, s, e), value(value_) {}
    cSetVar(T* p, int s, int e, const T& value_) : cInterpolator(p, s, e), value(value_) {}
    void update(const int&) override { write(value); }

    T value;  // written on every update
};

// A bare time window that its owner inspects; writes nothing.
class cIntervalLerp : public cInterpolator {
public:
    cIntervalLerp(int s, int e) : cInterpolator(static_cast<iVar*>(nullptr), s, e) {}
    void update(const int&) override {}
    bool is_active(const int& now) override { return now <= end && now >= start; }
};

// Advances a scene's list at demo time `now`: active interpolators update and
// record the time; one that was active on the previous call (its last_update
// equals last_update_time) gets one more update after leaving its window, so
// it settles on its end value. last_update_time becomes now.
void update_animators(std::vector<cInterpolator*>& animators, int& last_update_time, int now);

// Deletes every interpolator of the list (and the variables they own) and
// empties it.
void delete_animators(std::vector<cInterpolator*>& animators);
