#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "event_script.h"

namespace fs = std::filesystem;

namespace {

struct sParsed {
    int32_t type;  // event code, -1 when no marker
    int32_t time;  // ms, -1 when no marker
};

sParsed parse(std::string line)
{
    std::unique_ptr<cEvent> e = parse_line(line.data());
    return {e->type, e->time};
}

int32_t time_of(std::string text, int* numbers = nullptr)
{
    return parse_time(text.data(), numbers);
}

class EventScriptFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = fs::temp_directory_path() / ("qv_markers_" + std::to_string(::getpid()) + ".txt");
    }
    void TearDown() override { fs::remove(path); }

    std::unique_ptr<cEventQueue> load(const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
        return std::unique_ptr<cEventQueue>(cEventQueue_factory::loadFile(path.string()));
    }

    fs::path path;
};

}  // namespace

TEST(EventScript, TokenTableCoversEveryMarker)
{
    const char* named[] = {"beat",     "snare",  "rumble", "fadein", "bwab1",  "bwab2",   "technofx",
                           "technofx2", "melody", "lead",   "hihatc", "hihato", "sinus_in"};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(cEventQueue_factory::eventtoken_parse(named[i]), 25 + i) << named[i];
    for (int n = 0; n <= 21; ++n) {
        char token[8];
        snprintf(token, sizeof token, "s%02d", n);
        EXPECT_EQ(cEventQueue_factory::eventtoken_parse(token), n) << token;
    }
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("s100"), 22);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("quit"), 41);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("7up"), 24);
}

TEST(EventScript, UnknownTokensWarnButCommentsStaySilent)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("#"), -1);
    EXPECT_EQ(cEventQueue_factory::eventtoken_parse("#s05"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    for (const char* bad : {"S03", "s22", "s1", "s001", "beats", "quit,0:00:05:0"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(cEventQueue_factory::eventtoken_parse(bad), -1) << bad;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("# warning, unknown token ") + bad + " in cEventQueue_factory::eventtoken_parse\n");
    }
}

TEST(EventScript, TimesAreHoursMinutesSecondsAndMilliseconds)
{
    EXPECT_EQ(time_of("0:01:23:450"), 83450);
    EXPECT_EQ(time_of("0,1,2,5"), 62005);  // the last number counts ms, not a fraction
    EXPECT_EQ(time_of("1:0,,0::7"), 3600007);  // runs of separators count as one
    EXPECT_EQ(time_of(" -1:+2:3:4"), -3600000 + 120000 + 3004);
    EXPECT_EQ(time_of("0:0:1x:9"), 1009);  // a number stops at its first non-digit
    int numbers = 0;
    EXPECT_EQ(time_of("0:0:2:0:99", &numbers), 2000);
    EXPECT_EQ(numbers, 4);
}

TEST(EventScript, MalformedTimesStayDefined)
{
    int numbers = -1;
    EXPECT_EQ(time_of("a:b:c:d", &numbers), 0);
    EXPECT_EQ(numbers, 4);
    EXPECT_EQ(time_of("", &numbers), 0);
    EXPECT_EQ(numbers, 0);
    // Out-of-range numbers are clamped and the sum wraps like 32-bit
    // arithmetic instead of overflowing.
    int64_t expected = int64_t(INT32_MAX) * 3600000;
    EXPECT_EQ(time_of("99999999999999999999999:0:0:0"), static_cast<int32_t>(static_cast<uint32_t>(expected)));
}

TEST(EventScript, LinesBecomeEventsOrNothing)
{
    EXPECT_EQ(parse("s03 0:01:23:450").type, 3);
    EXPECT_EQ(parse("s03 0:01:23:450").time, 83450);
    EXPECT_EQ(parse("beat\t0,0,1,0 trailing words\r\n").time, 1000);
    EXPECT_EQ(parse("  quit 0:00:05:0").type, 41);
    for (const char* none : {"", " \t\r\n", "#s05 0:00:01:000", "10 0:00:01:000"}) {
        testing::internal::CaptureStderr();
        sParsed p = parse(none);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << none;
        EXPECT_EQ(p.type, -1);
        EXPECT_EQ(p.time, -1);
    }
}

TEST(EventScript, ShortMarkersCountMissingNumbersAsZeroWithWarning)
{
    testing::internal::CaptureStderr();
    sParsed p = parse("snare 0:0:3\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(p.type, 26);
    EXPECT_EQ(p.time, 3000);
    EXPECT_NE(err.find("# warning"), std::string::npos);
    EXPECT_NE(err.find("\"snare 0:0:3\""), std::string::npos) << err;

    testing::internal::CaptureStderr();
    p = parse("rumble");
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(p.type, 27);
    EXPECT_EQ(p.time, 0);
    EXPECT_NE(err.find("\"rumble\""), std::string::npos) << err;
}

TEST_F(EventScriptFile, ReadsMarkersSortedByTime)
{
    testing::internal::CaptureStderr();
    auto q = load("# show markers\n"
                  "s03 0:01:23:450\n"
                  "quit,0:00:05:0\n"
                  "beat 0,0,1,0\n"
                  "#s05 0:00:01:000\n"
                  "10 0:00:01:000\n"
                  "\n"
                  "S03 0:00:01:000\n"
                  "melody 0:00:00:500\r\n"
                  "quit 0:03:40:0");  // last line without a line feed
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(q);
    ASSERT_EQ(q->events.size(), 4u);
    EXPECT_EQ(q->cursor, 0u);
    int32_t types[] = {33, 25, 3, 41};
    int32_t times[] = {500, 1000, 83450, 220000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q->events[i]->type, types[i]) << i;
        EXPECT_EQ(q->events[i]->time, times[i]) << i;
    }
    EXPECT_EQ(err,
              "# warning, unknown token quit,0:00:05:0 in cEventQueue_factory::eventtoken_parse\n"
              "# warning, unknown token S03 in cEventQueue_factory::eventtoken_parse\n");
}

TEST_F(EventScriptFile, OverlongLineEndsTheScript)
{
    auto q = load("s01 0:0:1:0" + std::string(MARKER_LINE_MAX - 11, ' ') + "\n"  // exactly at the limit
                  "s02 0:0:2:0\n"
                  "s03 0:0:3:0" + std::string(MARKER_LINE_MAX - 10, ' ') + "\n"  // one over
                  "s04 0:0:4:0\n");
    ASSERT_TRUE(q);
    ASSERT_EQ(q->events.size(), 2u);
    EXPECT_EQ(q->events[0]->type, 1);
    EXPECT_EQ(q->events[1]->type, 2);
}

TEST_F(EventScriptFile, EqualTimesAreAllKept)
{
    auto q = load("snare 0:0:1:0\nbeat 0:0:1:0\ns00 0:0:0:0\n");
    ASSERT_TRUE(q);
    ASSERT_EQ(q->events.size(), 3u);
    EXPECT_EQ(q->events[0]->type, 0);
    EXPECT_EQ(q->events[1]->time, 1000);
    EXPECT_EQ(q->events[2]->time, 1000);
    EXPECT_EQ(q->events[1]->type + q->events[2]->type, 25 + 26);
}

TEST_F(EventScriptFile, MissingFileGivesNoQueue)
{
    testing::internal::CaptureStdout();
    cEventQueue* q = cEventQueue_factory::loadFile("/nonexistent/qv/markers.txt");
    EXPECT_EQ(q, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error reading file \"/nonexistent/qv/markers.txt in cEventQueue_factory::loadFile\n");
}
