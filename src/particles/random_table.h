#pragma once
// The shared table of pseudo-random numbers. It is filled once, before main,
// and lives to the end of the process. Particles, the attractor generator,
// the scrub and the grain overlay all draw from it through one global index,
// so every draw shifts the sequence every later consumer sees.
#include <cstdint>

constexpr uint32_t RAND_TABLE_SIZE = 131072;          // 2^17 entries
constexpr uint32_t RAND_TABLE_MASK = RAND_TABLE_SIZE - 1;  // 0x1FFFF

extern float rand_table[RAND_TABLE_SIZE];  // values in [0, 1)
extern uint32_t rand_index;                // index of the last entry read; starts at 0

// Fills `table` with the drand48-style sequence for `seed` (1337 for the
// shared table). Exposed so the numbers can be checked against the generator.
void fill_rand_table(float* table, uint32_t count, int64_t seed);

// Next number of the shared sequence: the index advances first, then reads.
inline float frand()
{
    rand_index = (rand_index + 1) & RAND_TABLE_MASK;
    return rand_table[rand_index];
}
