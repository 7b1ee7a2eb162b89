#include <gtest/gtest.h>

#include "event_script.h"
#include "support/files.h"

namespace {

int32_t token(const char* t) { return cEventQueue_factory::eventtoken_parse(t); }
int32_t time_of(std::string text, int* numbers = nullptr) { return parse_time(text.data(), numbers); }

// The markers file `text` loaded; what it warned of goes to `err`.
std::unique_ptr<cEventQueue> load(const std::string& text, std::string& err)
{
    const cTempDir dir("markers");
    std::unique_ptr<cEventQueue> q;
    err = stderr_of([&] { q.reset(cEventQueue_factory::loadFile(dir.write("markers.txt", text))); });
    return q;
}

}  // namespace

TEST(EventScript, TokenTable)
{
    // Ends of the named range and of the scene range, and the odd ones out.
    for (const auto& [t, code] : {std::pair{"beat", 25}, {"sinus_in", 37}, {"s00", 0}, {"s21", 21}, {"s100", 22},
                                  {"quit", 41}, {"7up", 24}, {"#", -1}, {"#s05", -1}})
        EXPECT_EQ(token(t), code) << t;
    for (const char* bad : {"S03", "s22", "s1", "beats"}) {
        EXPECT_EQ(stderr_of([&] { EXPECT_EQ(token(bad), -1); }),
                  std::string("# warning, unknown token ") + bad + " in cEventQueue_factory::eventtoken_parse\n");
    }
}

TEST(EventScript, Times)
{
    EXPECT_EQ(time_of("0:01:23:450"), 83450);
    EXPECT_EQ(time_of("0,1,2,5"), 62005);        // the last number counts ms, not a fraction
    EXPECT_EQ(time_of("1:0,,0::7"), 3600007);    // runs of separators count as one
    EXPECT_EQ(time_of(" -1:+2:3:4"), -3600000 + 123004);
    EXPECT_EQ(time_of("0:0:1x:9"), 1009);        // a number stops at its first non-digit
    int numbers = -1;
    EXPECT_EQ(time_of("a:b:c:d", &numbers), 0);
    EXPECT_EQ(numbers, 4);
    EXPECT_EQ(time_of("", &numbers), 0);
    EXPECT_EQ(numbers, 0);
    // Huge numbers are clamped and the sum wraps like 32-bit arithmetic.
    EXPECT_EQ(time_of("99999999999999999999999:0:0:0"), int32_t(uint32_t(int64_t(INT32_MAX) * 3600000)));
}

TEST(EventScript, FileGivesSortedMarkersAndWarnings)
{
    std::string err;
    auto q = load("# show markers\n"
                  "s03 0:01:23:450\n"
                  "quit,0:00:05:0\n"
                  "beat 0,0,1,0 trailing words\n"
                  "#s05 0:00:01:000\n"
                  "10 0:00:01:000\n"
                  " \t\n"
                  "S03 0:00:01:000\n"
                  "melody\t0:00:00:500\r\n"
                  "snare 0:0:3\n"
                  "quit 0:03:40:0",  // last line without a line feed
                  err);
    ASSERT_TRUE(q);
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (const cEvent* e : q->events)
        seen.emplace_back(e->type, e->time);
    std::vector<std::pair<int32_t, int32_t>> expected = {{33, 500}, {25, 1000}, {26, 3000}, {3, 83450}, {41, 220000}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(q->cursor, 0u);
    EXPECT_EQ(err,
              "# warning, unknown token quit,0:00:05:0 in cEventQueue_factory::eventtoken_parse\n"
              "# warning, unknown token S03 in cEventQueue_factory::eventtoken_parse\n"
              "# warning, marker time with fewer than four numbers (missing ones count as 0) in line "
              "\"snare 0:0:3\" in cEventQueue_factory::parse_line\n");
}

// An overlong line is skipped with a warning; a byte-order mark hides
// nothing, one later in the file is no mark; a missing file gives no queue.
TEST(EventScript, OverlongLinesByteOrderMarksAndMissingFiles)
{
    std::string err, bom_err;
    auto q = load("s01 0:0:1:0" + std::string(MARKER_LINE_MAX - 11, ' ') + "\n"  // exactly at the limit
                  "s02 0:0:2:0\n"
                  "s03 0:0:3:0" + std::string(MARKER_LINE_MAX - 10, ' ') + "\n"  // one over
                  "s04 0:0:4:0\n",
                  err);
    ASSERT_TRUE(q);
    ASSERT_EQ(q->events.size(), 3u);
    EXPECT_EQ(q->events[1]->type, 2);
    EXPECT_EQ(q->events[2]->type, 4);
    EXPECT_NE(err.find("# warning, line 3 of "), std::string::npos) << err;

    auto marked = load("\xEF\xBB\xBFquit 0:0:1:0\r\n\xEF\xBB\xBFs02 0:0:2:0\r\n", bom_err);
    ASSERT_TRUE(marked);
    ASSERT_EQ(marked->events.size(), 1u);
    EXPECT_EQ(marked->events[0]->type, EVENT_QUIT);
    EXPECT_EQ(marked->events[0]->time, 1000);
    EXPECT_NE(bom_err.find("unknown token"), std::string::npos) << bom_err;

    EXPECT_EQ(stdout_of([] { EXPECT_EQ(cEventQueue_factory::loadFile("/nonexistent/qv/markers.txt"), nullptr); }),
              "Error reading file \"/nonexistent/qv/markers.txt in cEventQueue_factory::loadFile\n");
}
