#include <gtest/gtest.h>

#include "demo_clock.h"

TEST(DemoClockTest, TicksConvertCounterToTruncatedMilliseconds)
{
    cDemoClock c;
    c.tick_at(1500, 1000);  // 1.5 s
    EXPECT_EQ(c.now, 1500);
    c.tick_at(2500, 1000);
    EXPECT_EQ(c.prev, 1500);
    EXPECT_EQ(c.now, 2500);
    EXPECT_EQ(c.frame_delta(), 1000);
    c.start = 1000;
    EXPECT_EQ(c.elapsed(), 1500);
    c.paused_ms = 200;
    EXPECT_EQ(c.elapsed(), 1300);

    cDemoClock fine;
    fine.tick_at(1999999, 1000000000);  // 1.999999 ms is truncated
    EXPECT_EQ(fine.now, 1);
}

TEST(DemoClockTest, PausedClockStandsStill)
{
    cDemoClock c;
    c.tick_at(1000, 1000);
    c.tick_at(1100, 1000);
    c.paused = true;
    c.tick_at(9000, 1000);
    EXPECT_EQ(c.now, 1100);
    EXPECT_EQ(c.prev, 1000);
    EXPECT_EQ(c.frame_delta(), 0);
}

TEST(DemoClockTest, RealTicksStartNearZeroAndAdvance)
{
    cDemoClock c;
    c.tick();
    const int32_t first = c.now;
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 60000);  // counted from the process's first sample
    c.tick();
    EXPECT_GE(c.now, first);
}

TEST(DemoClockTest, TimeSourceTakesThePlaceOfTheCounter)
{
    struct cStep : iTimeSource {
        int32_t now_ms() override { return t; }
        int32_t t = 0;
    } step;
    cDemoClock c;
    c.source = &step;
    step.t = 17;
    c.tick();
    step.t = 33;
    c.tick();
    EXPECT_EQ(c.prev, 17);
    EXPECT_EQ(c.elapsed(), 33);
    c.paused = true;
    step.t = 50;
    c.tick();
    EXPECT_EQ(c.now, 33);
}
