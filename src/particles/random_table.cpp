#include "particles/random_table.h"

float rand_table[RAND_TABLE_SIZE];
uint32_t rand_index = 0;

void fill_rand_table(float* table, uint32_t count, int64_t seed)
{
    constexpr uint64_t multiplier = 0x5DEECE66DULL;
    constexpr int64_t modulus = int64_t(1) << 48;
    constexpr long double scale = 1.0L / static_cast<long double>(int64_t(1) << 49);
    int64_t x = seed;
    for (uint32_t i = 0; i < count; ++i) {
        // The product wraps at 64 bits and is then read as signed; the
        // remainder keeps the dividend's sign, so x stays in (-2^48, 2^48).
        x = static_cast<int64_t>(static_cast<uint64_t>(x) * multiplier + 11);
        x %= modulus;
        table[i] = static_cast<float>(static_cast<long double>(x) * scale + 0.5L);
    }
}

namespace {
struct RandTableInit {
    RandTableInit() { fill_rand_table(rand_table, RAND_TABLE_SIZE, 1337); }
} rand_table_init;
}  // namespace
