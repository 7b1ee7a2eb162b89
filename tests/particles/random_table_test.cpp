#include <gtest/gtest.h>

#include <cstdlib>

#include "particles/random_table.h"

TEST(RandomTableTest, FirstEntriesMatchTheGenerator)
{
    // Reference values computed independently with exact integer arithmetic.
    EXPECT_FLOAT_EQ(rand_table[0], 0.5598851442337036f);
    EXPECT_FLOAT_EQ(rand_table[1], 0.6524552702903748f);
    EXPECT_FLOAT_EQ(rand_table[2], 0.18038658797740936f);
    EXPECT_FLOAT_EQ(rand_table[3], 0.5565937161445618f);
    EXPECT_FLOAT_EQ(rand_table[65536], 0.4899183213710785f);
    EXPECT_FLOAT_EQ(rand_table[0x1FFFF], 0.9113316535949707f);
}

TEST(RandomTableTest, FollowsTheDrand48StateSequence)
{
    // The table's state is the drand48 state read as signed, so each entry
    // is either u / 2^49 + 0.5 or u / 2^49 for drand48's u = X / 2^48.
    unsigned short state[3] = {1337, 0, 0};
    seed48(state);
    for (uint32_t i = 0; i < 4096; ++i) {
        const double u = drand48() * 0.5;
        const float hi = static_cast<float>(u + 0.5), lo = static_cast<float>(u);
        ASSERT_TRUE(rand_table[i] == hi || rand_table[i] == lo) << "entry " << i;
    }
}

TEST(RandomTableTest, AllEntriesInUnitInterval)
{
    for (uint32_t i = 0; i < RAND_TABLE_SIZE; ++i)
        ASSERT_TRUE(rand_table[i] >= 0.0f && rand_table[i] < 1.0f) << "entry " << i;
}

TEST(RandomTableTest, FrandAdvancesFirstAndWraps)
{
    rand_index = 0;
    EXPECT_EQ(frand(), rand_table[1]);
    EXPECT_EQ(rand_index, 1u);
    rand_index = 0x1FFFE;
    EXPECT_EQ(frand(), rand_table[0x1FFFF]);
    EXPECT_EQ(frand(), rand_table[0]);
    EXPECT_EQ(rand_index, 0u);
    EXPECT_EQ(frand(), rand_table[1]);
}

TEST(RandomTableTest, FillIsDeterministic)
{
    static float again[RAND_TABLE_SIZE];
    fill_rand_table(again, RAND_TABLE_SIZE, 1337);
    for (uint32_t i = 0; i < RAND_TABLE_SIZE; ++i)
        ASSERT_EQ(again[i], rand_table[i]);
}
