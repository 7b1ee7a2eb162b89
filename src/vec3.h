#pragma once
// Three-component vector used by every subsystem that does geometry: plain
// value type, no ownership, no GL.
#include <cmath>

template <typename T>
struct Vec3 {
    T x = 0;  // first component
    T y = 0;  // second component
    T z = 0;  // third component

    Vec3() = default;
    Vec3(T ax, T ay, T az) : x(ax), y(ay), z(az) {}

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3& operator-=(const Vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Vec3& operator*=(T s) { x *= s; y *= s; z *= s; return *this; }
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }

    T dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    T length() const { return std::sqrt(x * x + y * y + z * z); }
    T length_sq() const { return x * x + y * y + z * z; }

    // A zero vector stays zero instead of turning into NaNs.
    Vec3 normalized() const
    {
        const T len = length();
        return len > T(0) ? *this * (T(1) / len) : *this;
    }
};

template <typename T>
inline Vec3<T> operator*(T s, const Vec3<T>& v) { return v * s; }
