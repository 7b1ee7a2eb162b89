#pragma once
// Three-component vector shared by cameras, colours, variables and mesh maths.
// Plain value type; no ownership.
#include <cmath>

template <typename T>
struct Vec3 {
    T x = 0;  // first component
    T y = 0;  // second component
    T z = 0;  // third component

    Vec3() = default;
    Vec3(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(T s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(const Vec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }

    Vec3 cross(const Vec3& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    T length() const { return std::sqrt(x * x + y * y + z * z); }
    // A zero vector stays zero instead of turning into NaNs.
    Vec3 normalized() const
    {
        const T len = length();
        return len > 0 ? Vec3(x / len, y / len, z / len) : Vec3();
    }
};
