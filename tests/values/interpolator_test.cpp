#include <gtest/gtest.h>

#include "values/interpolator.h"

namespace {

template <typename T>
T at(cInterpolator& interp, const T& target, int now)
{
    interp.update(now);
    return target;
}

}  // namespace

TEST(Interpolator, LerpClampsOutsideItsWindowAndTruncatesIntegersTowardZero)
{
    float x = -1;
    cLerp<float> lerp(&x, 1000, 2000, 2.0f, 4.0f);
    EXPECT_FLOAT_EQ(at(lerp, x, 500), 2.0f);
    EXPECT_FLOAT_EQ(at(lerp, x, 1500), 3.0f);
    EXPECT_FLOAT_EQ(at(lerp, x, 2500), 4.0f);
    EXPECT_TRUE(lerp.is_active(1000) && lerp.is_active(2000));
    EXPECT_FALSE(lerp.is_active(999) || lerp.is_active(2001));

    // A window without duration: 0/0 at its start counts as 0.
    cLerp<float> step(&x, 1000, 1000, 1.0f, 2.0f);
    EXPECT_FLOAT_EQ(at(step, x, 1000), 1.0f);
    EXPECT_FLOAT_EQ(at(step, x, 1001), 2.0f);

    double d = 0;
    cLerp<double> ld(&d, 0, 1000, 1.0, 3.0);
    EXPECT_DOUBLE_EQ(at(ld, d, 250), 1.5);
    Vec3<float> v;
    cLerp<Vec3<float>> lv(&v, 0, 100, Vec3<float>(0, 10, -2), Vec3<float>(4, 20, 2));
    EXPECT_EQ(at(lv, v, 25), Vec3<float>(1, 12.5f, -1));

    // Integers truncate toward zero, both ways.
    int i = 99;
    cLerp<int> up(&i, 0, 1000, 0, 10), down(&i, 0, 1000, 0, -10);
    for (int ms : {550, 999}) {
        EXPECT_EQ(at(up, i, ms), ms / 100);
        EXPECT_EQ(at(down, i, ms), -ms / 100);
    }
}

TEST(Interpolator, SmoothStepAndItsHalves)
{
    float x = 0;
    cSmoothStep<float> ss(&x, 0, 1000, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(at(ss, x, 500), 0.5f);
    EXPECT_FLOAT_EQ(at(ss, x, 250), 0.15625f);
    cEaseIn<float> in(&x, 0, 1000, 0.0f, 1.0f);
    for (const auto& [ms, want] : {std::pair{0, 0.0f}, {500, 0.6875f}, {1000, 1.0f}})
        EXPECT_FLOAT_EQ(at(in, x, ms), want) << ms;
    EXPECT_NEAR(at(in, x, 1) / 0.001f, 1.5f, 0.01f);  // leaves at 1.5x the linear slope
    cEaseOut<float> out(&x, 0, 1000, 10.0f, 20.0f);
    for (const auto& [ms, want] : {std::pair{0, 10.0f}, {500, 13.125f}, {1000, 20.0f}})
        EXPECT_FLOAT_EQ(at(out, x, ms), want) << ms;
}

TEST(Interpolator, LerpAddSetVarAndIntervalWindow)
{
    float x = 10;
    cLerpAdd<float> add(&x, 0, 100, 1.0f, 3.0f);
    for (const auto& [ms, want] : {std::pair{-1, 10.0f}, {0, 11.0f}, {50, 13.0f}, {101, 13.0f}})
        EXPECT_FLOAT_EQ(at(add, x, ms), want) << ms;

    int i = 0;
    cSetVar<int> set(&i, 100, 200, 7);
    EXPECT_EQ(at(set, i, 50), 7);  // unconditional

    cIntervalLerp window(100, 600);
    EXPECT_TRUE(window.is_active(100) && window.is_active(600));
    EXPECT_FALSE(window.is_active(99) || window.is_active(601));
}

TEST(Interpolator, BindsByVariableAndIgnoresNullOrWrongType)
{
    float x = 0;
    int i = 3;
    cVar<float> named("cur_t", &x);
    cLerp<float> lerp(&named, 0, 10, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(at(lerp, x, 5), 0.5f);

    cLerp<float> unbound(static_cast<iVar*>(nullptr), 0, 10, 0.0f, 1.0f);
    unbound.update(5);
    cLerpAdd<float> unbound_add(static_cast<iVar*>(nullptr), 0, 10, 0.0f, 1.0f);
    unbound_add.update(5);
    cVar<int> int_var("n", &i);
    cLerp<float> mismatched(&int_var, 0, 10, 0.0f, 1.0f);
    EXPECT_EQ(at(mismatched, i, 5), 3);
}

TEST(Interpolator, UpdateAnimatorsGivesOneExtraUpdateOnLeavingAndTheLaterWins)
{
    float x = 0, y = 0, z = 0;
    std::vector<cInterpolator*> list{new cLerp<float>(&x, 900, 1000, 0.0f, 1.0f),
                                     new cLerp<float>(&y, 1005, 1010, 5.0f, 6.0f),  // skipped entirely
                                     new cLerp<float>(&z, 1000, 2000, 1.0f, 2.0f),
                                     new cLerpAdd<float>(&y, 0, 1000, 1.0f, 1.0f)};
    int last = -1;
    update_animators(list, last, 990);
    EXPECT_FLOAT_EQ(x, 0.9f);
    EXPECT_EQ(list[0]->last_update, 990);
    EXPECT_EQ(last, 990);

    update_animators(list, last, 1016);
    EXPECT_FLOAT_EQ(x, 1.0f);
    EXPECT_EQ(list[0]->last_update, 990);
    EXPECT_FLOAT_EQ(y, 1.0f);  // neither the skipped lerp nor the leaving add wrote
    update_animators(list, last, 1500);

    x = -3;
    update_animators(list, last, 200);  // time jumps back
    EXPECT_FLOAT_EQ(x, -3.0f);
    EXPECT_FLOAT_EQ(z, 1.0f);  // settles on its start value
    delete_animators(list);
    EXPECT_TRUE(list.empty());

    update_animators(list, last, 4242);
    EXPECT_EQ(last, 4242);

    // On one variable the later interpolator wins.
    list = {new cSetVar<float>(&x, 0, 100, 1.0f), new cSetVar<float>(&x, 50, 150, 2.0f)};
    last = -1;
    update_animators(list, last, 75);
    EXPECT_FLOAT_EQ(x, 2.0f);
    update_animators(list, last, 25);
    EXPECT_FLOAT_EQ(x, 2.0f);  // the second just left its window: one more write
    update_animators(list, last, 30);
    EXPECT_FLOAT_EQ(x, 1.0f);
    delete_animators(list);
}
