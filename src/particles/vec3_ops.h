#pragma once
// Vector operations the particle and scrub maths need beyond the shared
// Vec3 type: dot product, squared length, negation and in-place updates.
#include "vec3.h"

template <typename T>
inline T dot(const Vec3<T>& a, const Vec3<T>& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

template <typename T>
inline T length_sq(const Vec3<T>& v) { return dot(v, v); }

template <typename T>
inline Vec3<T> operator-(const Vec3<T>& v) { return {-v.x, -v.y, -v.z}; }

template <typename T>
inline Vec3<T>& operator-=(Vec3<T>& v, const Vec3<T>& o) { return v = v - o; }

template <typename T>
inline Vec3<T>& operator*=(Vec3<T>& v, T s) { return v = v * s; }
