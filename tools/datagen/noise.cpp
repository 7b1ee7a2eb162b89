#include "noise.h"

#include <cmath>

uint32_t hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

uint32_t hash2d(int32_t x, int32_t y, uint32_t seed)
{
    return hash32(static_cast<uint32_t>(x) * 0x9e3779b1U ^ hash32(static_cast<uint32_t>(y) + seed * 0x85ebca6bU));
}

float hash_unit(int32_t x, int32_t y, uint32_t seed)
{
    return static_cast<float>(hash2d(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float value_noise(float x, float y, uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx);
    const int32_t iy = static_cast<int32_t>(fy);
    float tx = x - fx;
    float ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = hash_unit(ix, iy, seed);
    const float b = hash_unit(ix + 1, iy, seed);
    const float c = hash_unit(ix, iy + 1, seed);
    const float d = hash_unit(ix + 1, iy + 1, seed);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * value_noise(x, y, seed + static_cast<uint32_t>(i) * 101U);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        amplitude *= 0.5f;
    }
    return total > 0.0f ? sum / total : 0.0f;
}

uint32_t cRandom::next()
{
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float cRandom::unit()
{
    return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
}

float cRandom::range(float lo, float hi)
{
    return lo + (hi - lo) * unit();
}
