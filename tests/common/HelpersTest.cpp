#include <ZqClock.h>
#include <ZqLog.h>
#include <ZqRandom.h>
#include <ZqTypeId.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(RandomTest, StaysInRangeAndRepeatsUnderASeed)
{
    zqSrand(12345);
    std::vector<int> first;
    int low = kZqRandMax;
    int high = 0;
    for (int i = 0; i < 100000; ++i) {
        const int r = zqRand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, kZqRandMax);
        low = std::min(low, r);
        high = std::max(high, r);
        if (i < 50)
            first.push_back(r);
    }
    // The whole range is reached, not only a part of it.
    EXPECT_LT(low, 100);
    EXPECT_GT(high, kZqRandMax - 100);

    zqSrand(12345);
    for (int expected : first)
        EXPECT_EQ(zqRand(), expected);

    zqSrand(54321);
    bool differs = false;
    for (int expected : first)
        differs = differs || zqRand() != expected;
    EXPECT_TRUE(differs);

    for (int i = 0; i < 1000; ++i) {
        const float unit = zqRandUnit();
        ASSERT_GE(unit, 0.0f);
        ASSERT_LE(unit, 1.0f);
    }
}

TEST(LogTest, LinesAreCutAt255CharactersAndTerminated)
{
    std::vector<std::string> lines;
    zqSetLogSink([&lines](const char* line) { lines.emplace_back(line); });
    const std::string longText(1000, 'x');
    debugLog("[LogTest] %s", longText.c_str());
    debugLog("[LogTest] value %d of %s", 7, "ten");
    debugLog("%s", "");
    zqSetLogSink({});

    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 255u);
    EXPECT_EQ(lines[0].substr(0, 10), "[LogTest] ");
    EXPECT_EQ(lines[1], "[LogTest] value 7 of ten");
    EXPECT_EQ(lines[2], "");
}

TEST(TypeIdTest, IsTheFnv1aHashOfTheName)
{
    static_assert(zqTypeIdOf("a") == 0xe40c292cu);
    static_assert(zqTypeIdOf("") == 2166136261u);
    struct Named {
        ZQ_STATIC_IDENTITY(ZqModelSprite)
    };
    EXPECT_STREQ(Named::staticClassName(), "ZqModelSprite");
    EXPECT_EQ(Named::staticTypeId(), zqTypeIdOf("ZqModelSprite"));
    EXPECT_NE(zqTypeIdOf("ZqModelSprite"), zqTypeIdOf("ZqModelSound"));
    // Bytes above 0x7f are hashed unsigned, as on every platform.
    EXPECT_EQ(zqTypeIdOf("\xe9"), (2166136261u ^ 0xe9u) * 16777619u);
}

TEST(ClockTest, OverrideFixesTheTimeUntilCleared)
{
    zqSetClockTicks(123456789);
    EXPECT_EQ(zqClockTicks(), 123456789);
    EXPECT_EQ(zqClockTicks(), 123456789);
    zqSetClockTicks(std::nullopt);
    // Real time: after 2020-01-01 in 100 ns ticks since 1970.
    EXPECT_GT(zqClockTicks(), 15778368000000000LL);
}

} // namespace
