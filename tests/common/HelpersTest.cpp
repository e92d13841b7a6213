#include <ZqCachedCast.h>
#include <ZqClock.h>
#include <ZqLog.h>
#include <ZqRandom.h>
#include <ZqTypeId.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
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

// Text from data is escaped for a line and cut after its first bytes, never inside an escape.
TEST(LogTest, DataTextIsEscapedAndCut)
{
    EXPECT_EQ(zqPrintable("key\n\x1b[0m\xff"), "key\\x0A\\x1B[0m\\xFF");
    EXPECT_EQ(zqPrintable("abcdef", 6), "abcdef");
    EXPECT_EQ(zqPrintable("ab\ncdefg", 3), "ab\\x0A...");
    const std::string printed = zqPrintable(std::string(10 << 20, '\0'));
    EXPECT_EQ(printed.size(), 4 * kZqPrintableLimit + 3);
    EXPECT_EQ(printed.substr(printed.size() - 7), "\\x00...");
}

// Every line is escaped as zqPrintable escapes, whatever the caller passed: a control
// sequence or a newline cannot colour the terminal or forge a line, an escape at the cut
// goes whole, and what zqPrintable wrote passes unchanged.
TEST(LogTest, EveryLineIsEscapedAndCutBetweenEscapes)
{
    std::vector<std::string> lines;
    zqSetLogSink([&lines](const char* line) { lines.emplace_back(line); });
    const std::string forged = "\x1b[31m\n[ZqModelController] load data - fail\x7f\xc3\xa9";
    debugLog("[LogTest] name \"%s\"", forged.c_str());
    debugLog("[LogTest] %s", zqPrintable(forged).c_str());
    debugLog("[LogTest] back\\slash");
    // 253 characters, then a newline whose escape would end at 257: the line stops before it.
    debugLog("[LogTest] %s\n%s", std::string(243, 'x').c_str(), std::string(10 << 10, '\x1b').c_str());
    debugLog("[LogTest] %s", std::string(10 << 10, '\x1b').c_str());
    zqSetLogSink({});

    ASSERT_EQ(lines.size(), 5u);
    const std::string escaped = "\\x1B[31m\\x0A[ZqModelController] load data - fail\\x7F\\xC3\\xA9";
    EXPECT_EQ(lines[0], "[LogTest] name \"" + escaped + "\"");
    EXPECT_EQ(lines[1], "[LogTest] " + escaped);
    EXPECT_EQ(lines[2], "[LogTest] back\\slash");
    EXPECT_EQ(lines[3], "[LogTest] " + std::string(243, 'x'));
    // 10 characters, then 61 escapes of 4.
    EXPECT_EQ(lines[4].size(), 254u);
    EXPECT_EQ(lines[4].substr(lines[4].size() - 8), "\\x1B\\x1B");
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

// A hierarchy with what makes casts shift pointers: a second base, a virtual base, and a
// class holding two copies of one base.
struct Node {
    virtual ~Node() = default;
    int node = 0;
};
struct Colour {
    virtual ~Colour() = default;
    int colour = 0;
};
struct Shared {
    virtual ~Shared() = default;
    int shared = 0;
};
struct Object : Node, virtual Shared {
    int object = 0;
};
struct Sprite : Node, Colour {
    int sprite = 0;
};
struct Unit : Object, Colour, virtual Shared {
    int unit = 0;
};
struct Left : Node {};
struct Right : Node {};
struct Twice : Left, Right {};
template <int N>
struct Many : Node {};

template <class To, class From>
void expectSameCasts(const std::vector<From*>& from)
{
    // Twice over: the first pass fills the cache, the second reads it.
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < from.size(); ++i)
            EXPECT_EQ(zqCachedCast<To>(from[i]), dynamic_cast<To*>(from[i])) << "pass " << pass << ", object " << i;
    }
}

template <int... N>
std::vector<std::unique_ptr<Node>> manyKinds(std::integer_sequence<int, N...>)
{
    std::vector<std::unique_ptr<Node>> kinds;
    (kinds.push_back(std::make_unique<Many<N>>()), ...);
    return kinds;
}

TEST(CachedCastTest, AnswersAsDynamicCastDoes)
{
    Object object;
    Sprite sprite;
    Unit unit;
    Twice twice;
    Node node;
    std::vector<Node*> nodes{&object, &sprite, &unit, static_cast<Left*>(&twice), static_cast<Right*>(&twice),
                             &node, nullptr, &unit, &sprite};
    expectSameCasts<Object>(nodes);
    expectSameCasts<Colour>(nodes);
    expectSameCasts<Shared>(nodes);
    expectSameCasts<Unit>(nodes);
    expectSameCasts<Twice>(nodes);
    std::vector<const Colour*> colours{&sprite, &unit};
    expectSameCasts<const Node>(colours);
    expectSameCasts<const Sprite>(colours);

    // Past the cache's size every cast still answers rightly.
    std::vector<std::unique_ptr<Node>> kinds = manyKinds(std::make_integer_sequence<int, kZqCachedCastTypes + 4>());
    std::vector<Node*> all{&unit};
    for (const std::unique_ptr<Node>& kind : kinds)
        all.push_back(kind.get());
    all.push_back(&unit);
    all.push_back(&object);
    expectSameCasts<Object>(all);
    expectSameCasts<Many<3>>(all);
}

} // namespace
