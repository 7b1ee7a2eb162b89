#pragma once
// Deterministic randomness for the data generator: integer hashes, a small
// seeded generator and smooth value noise. Nothing here reads the clock or
// the C library's generators, so every run writes the same bytes.
#include <cstdint>

uint32_t hash32(uint32_t x);
uint32_t hash2d(int32_t x, int32_t y, uint32_t seed);
// hash2d mapped to [0, 1).
float hash_unit(int32_t x, int32_t y, uint32_t seed);

// Smoothly interpolated lattice noise in [0, 1], lattice spacing 1.
float value_noise(float x, float y, uint32_t seed);
// Sum of `octaves` value-noise layers, each at double frequency and half
// amplitude; normalised to [0, 1].
float fbm(float x, float y, int octaves, uint32_t seed);

// splitmix64: a seeded sequence for placing things.
struct cRandom {
    uint64_t state = 0;  // advances by one step per draw

    uint32_t next();
    float unit();                     // [0, 1)
    float range(float lo, float hi);  // [lo, hi)
};
