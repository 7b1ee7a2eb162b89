#include <gtest/gtest.h>

#include <cstdlib>

#include "particles/random_table.h"

TEST(RandomTableTest, MatchesTheGeneratorBitForBitAndFrandWraps)
{
    // Reference values computed independently with exact integer arithmetic.
    EXPECT_EQ(rand_table[0], 0.5598851442337036f);
    EXPECT_EQ(rand_table[1], 0.6524552702903748f);
    EXPECT_EQ(rand_table[0x1FFFF], 0.9113316535949707f);
    // The state is drand48's read as signed, so each entry is either
    // u / 2^49 + 0.5 or u / 2^49 for drand48's u = X / 2^48.
    unsigned short state[3] = {1337, 0, 0};
    seed48(state);
    for (uint32_t i = 0; i < RAND_TABLE_SIZE; ++i) {
        const double u = drand48() * 0.5;
        ASSERT_TRUE(rand_table[i] == static_cast<float>(u + 0.5) || rand_table[i] == static_cast<float>(u)) << i;
        ASSERT_TRUE(rand_table[i] >= 0.0f && rand_table[i] < 1.0f) << i;
    }
    // frand advances first, then reads, and wraps at the end of the table.
    rand_index = 0;
    EXPECT_EQ(frand(), rand_table[1]);
    rand_index = 0x1FFFE;
    EXPECT_EQ(frand(), rand_table[0x1FFFF]);
    EXPECT_EQ(frand(), rand_table[0]);
    EXPECT_EQ(rand_index, 0u);
}
