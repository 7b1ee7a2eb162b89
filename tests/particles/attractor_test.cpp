#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "particles/attractor.h"
#include "particles/random_table.h"

constexpr double PI = std::numbers::pi;

TEST(TrigTableTest, IndexRoundingAndExactValues)
{
    const double unit = 2.0 * PI / 1048576.0;
    EXPECT_EQ(trig_index(2.5 * unit), 2u);  // ties go to even
    EXPECT_EQ(trig_index(3.5 * unit), 4u);
    EXPECT_EQ(trig_index(-1.0 * unit), 0xFFFFFFFFu);
    EXPECT_EQ(table_sin(0.0), 0.0);
    EXPECT_EQ(table_cos(0.0), 1.0);
    EXPECT_EQ(trig_index(PI), 524288u);
    EXPECT_EQ(table_sin(PI), static_cast<double>(static_cast<float>(std::sin(PI))));
    EXPECT_EQ(table_cos(PI), -1.0);
    for (double theta : {0.1, 1.3, 2.9, 6.0}) {
        EXPECT_EQ(table_sin(-theta), table_sin(2.0 * PI - theta)) << theta;
        EXPECT_EQ(table_cos(-theta), table_cos(2.0 * PI - theta)) << theta;
    }
    for (double a = -40.0; a < 40.0; a += 0.01237) {
        ASSERT_NEAR(table_sin(a), std::sin(a), 5e-6) << a;
        ASSERT_NEAR(table_cos(a), std::cos(a), 5e-6) << a;
    }
}

TEST(PickoverTest, ZeroParametersGiveMinusZMinusOneSinX)
{
    const float params[4] = {0, 0, 0, 0};
    cAttractorCalculator_pickover calc;
    calc.noise = 0.5;
    rand_index = 100;
    std::vector<float> out(3 * 50);
    calc.calculate(out.data(), 50, params);
    double x = 0, z = 0;
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(out[3 * i], static_cast<float>(-z)) << i;
        EXPECT_EQ(out[3 * i + 1], -1.0f) << i;
        EXPECT_EQ(out[3 * i + 2], static_cast<float>(table_sin(x))) << i;
        // The next input is the written point plus the jitter.
        const double r1 = rand_table[101 + 3 * i], r3 = rand_table[103 + 3 * i];
        const double nz = table_sin(x);
        x = -z + (r1 - 0.5) * 0.5;
        z = nz + (r3 - 0.5) * 0.5;
    }
    EXPECT_EQ(rand_index, 250u);
}

TEST(PickoverTest, ContinuedOrbitIsUnbrokenAndRestartReturnsToOrigin)
{
    const float params[4] = {2.24f, 0.43f, -0.65f, -2.43f};
    cAttractorCalculator_pickover a, b;
    std::vector<float> one(3 * 200), two(3 * 200);
    rand_index = 0;
    a.calculate(one.data(), 100, params);
    a.calculate_more(one.data() + 300, 100, params);
    rand_index = 0;
    b.calculate(two.data(), 200, params);
    EXPECT_EQ(one, two);
    rand_index = 0;
    a.calculate(one.data(), 200, params);
    EXPECT_EQ(one, two);
    for (float v : one)
        ASSERT_LE(std::fabs(v), 2.01f);  // stays on a bounded attractor
}
