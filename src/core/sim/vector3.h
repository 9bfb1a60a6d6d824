// A point or direction in space: three doubles, nothing else.
#pragma once

#include <type_traits>

namespace sorvel {

struct Vector3 {
    double x;
    double y;
    double z;

    // Leaves the components unset, so the big position arrays cost nothing to create.
    Vector3() = default;
    constexpr Vector3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    Vector3& operator+=(const Vector3& other)
    {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }

    // Scaled copy; the operand stays as it is.
    constexpr Vector3 operator*(double s) const { return Vector3(s * x, s * y, s * z); }

    constexpr double LengthSquared() const { return (x * x + y * y) + z * z; }
};

constexpr Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

constexpr Vector3 operator/(const Vector3& v, double s)
{
    return Vector3(v.x / s, v.y / s, v.z / s);
}

constexpr Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

static_assert(sizeof(Vector3) == 3 * sizeof(double), "arrays of Vector3 are packed triples");
static_assert(std::is_trivially_default_constructible_v<Vector3>, "creating arrays costs nothing");
static_assert(std::is_trivially_copyable_v<Vector3>, "copies are plain copies");

}  // namespace sorvel
