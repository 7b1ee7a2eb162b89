#pragma once
// Three-component vector used for positions, directions and colours.
#include <cmath>

template <typename T>
struct Vec3 {
    T x = 0, y = 0, z = 0;

    constexpr Vec3() = default;
    constexpr Vec3(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

    constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3& operator-=(const Vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Vec3& operator*=(T s) { x *= s; y *= s; z *= s; return *this; }
    constexpr bool operator==(const Vec3&) const = default;

    constexpr T dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    constexpr Vec3 cross(const Vec3& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    T length() const { return static_cast<T>(std::sqrt(x * x + y * y + z * z)); }
    // A zero vector stays zero instead of turning into NaNs.
    Vec3 normalized() const
    {
        const T l = length();
        return l > T(0) ? *this * (T(1) / l) : *this;
    }
};

using Vec3f = Vec3<float>;
