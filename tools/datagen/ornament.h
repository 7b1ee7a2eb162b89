#pragma once
// Geometry of the glowing line art: distances to rings, curves and segments,
// the fold of an angle into one sector of an n-fold symmetry, and the glow
// profile that turns a distance into light. All lengths are in pixels.

// The show's neon tints.
struct cColor;
extern const cColor MAGENTA;
extern const cColor CYAN;
extern const cColor AMBER;

constexpr float PI = 3.14159265358979f;

// Light of a line at `distance` from it: a sharp core `width` wide plus a
// soft halo that falls off over a few widths.
float line_glow(float distance, float width);

// Angle folded into [0, pi/n]: 0 on each of the n axes k * 2pi/n, mirrored
// so every sector is symmetric.
float fold_angle(float angle, int n);

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
float segment_distance(float x, float y, float ax, float ay, float bx, float by);

// Distance to the polar curve r(a) = base + amp * cos(k * a), given the
// point's radius and folded angle; the slope term keeps lines even in width.
float petal_distance(float r, float a, float base, float amp, float k);
