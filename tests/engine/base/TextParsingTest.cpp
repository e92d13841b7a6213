#include "base/CCAutoreleasePool.h"
#include "base/CCGeometry.h"
#include "base/CCString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>

using namespace cocos2d;

namespace {

class TextParsingTest : public testing::Test {
protected:
    void SetUp() override { CCPoolManager::sharedPoolManager()->push(); }
    void TearDown() override { CCPoolManager::sharedPoolManager()->pop(); }

    static const CCString* text(const std::string& s) { return CCString::create(s); }
};

TEST_F(TextParsingTest, IntegersFollowTheCReadersAndClamp)
{
    EXPECT_EQ(text("42")->intValue(), 42);
    EXPECT_EQ(text("  -17xyz")->intValue(), -17);
    EXPECT_EQ(text("")->intValue(), 0);
    EXPECT_EQ(text("abc")->intValue(), 0);
    EXPECT_EQ(text("0x1F")->intValue(), 0);
    EXPECT_EQ(text("99999999999")->intValue(), INT_MAX);
    EXPECT_EQ(text("-99999999999999999999999")->intValue(), INT_MIN);

    EXPECT_EQ(text("4294967295")->uintValue(), 4294967295u);
    EXPECT_EQ(text("3000000000")->uintValue(), 3000000000u);
    EXPECT_EQ(text("4294967296")->uintValue(), UINT_MAX);
    EXPECT_EQ(text("99999999999999999999999")->uintValue(), UINT_MAX);
    EXPECT_EQ(text("-1")->uintValue(), 0u);
    EXPECT_EQ(text("  -5")->uintValue(), 0u);
    EXPECT_EQ(text("+7")->uintValue(), 7u);
    EXPECT_EQ(text("garbage")->uintValue(), 0u);
}

TEST_F(TextParsingTest, FloatsAndBooleans)
{
    EXPECT_FLOAT_EQ(text("2.500000")->floatValue(), 2.5f);
    EXPECT_FLOAT_EQ(text("-0.25e1")->floatValue(), -2.5f);
    EXPECT_DOUBLE_EQ(text("0.1")->doubleValue(), 0.1);
    EXPECT_EQ(text("x1.5")->floatValue(), 0.0f);
    EXPECT_EQ(text("nan")->floatValue(), 0.0f);
    EXPECT_EQ(text("-inf")->doubleValue(), 0.0);
    EXPECT_EQ(text("1e39")->floatValue(), FLT_MAX);
    EXPECT_EQ(text("-1e999")->floatValue(), -FLT_MAX);
    EXPECT_EQ(text("1e999")->doubleValue(), DBL_MAX);

    EXPECT_FALSE(text("")->boolValue());
    EXPECT_FALSE(text("0")->boolValue());
    EXPECT_FALSE(text("false")->boolValue());
    EXPECT_TRUE(text("1")->boolValue());
    EXPECT_TRUE(text("true")->boolValue());
    EXPECT_TRUE(text("00")->boolValue());
}

TEST_F(TextParsingTest, FormattingHasNoLengthLimit)
{
    const std::string longText(5000, 'x');
    const CCString* s = CCString::createWithFormat("%s-%u-%d", longText.c_str(), 4000000000u, -3);
    EXPECT_EQ(s->length(), 5000u + 14u);
    EXPECT_EQ(std::string(s->getCString()).substr(5000), "-4000000000--3");
    EXPECT_EQ(CCString::createWithFormat("%s", "")->length(), 0u);

    const unsigned char bytes[] = {'a', 'b', 0, 'c'};
    EXPECT_EQ(CCString::createWithData(bytes, 2)->compare("ab"), 0);
    EXPECT_EQ(CCString::createWithData(nullptr, 5)->length(), 0u);
    EXPECT_GT(text("a")->compare(nullptr), 0);
    EXPECT_TRUE(text("same")->isEqual(text("same")));
    EXPECT_FALSE(text("same")->isEqual(text("other")));
    EXPECT_FALSE(text("same")->isEqual(nullptr));
}

TEST_F(TextParsingTest, GeometryTextsRoundTripTheirFormats)
{
    const CCString* point = CCString::createWithFormat("{%.2f,%.2f}", 12.5, -3.25);
    EXPECT_EQ(CCPointFromString(point->getCString()), ccp(12.5f, -3.25f));
    EXPECT_EQ(point->pointValue(), ccp(12.5f, -3.25f));
    EXPECT_EQ(CCPointFromString(" { 1 , 2 } "), ccp(1, 2));
    EXPECT_EQ(CCSizeFromString("{640.00,1136.00}"), CCSizeMake(640, 1136));
    const CCString* rect = CCString::createWithFormat("{{%.2f,%.2f},{%.2f,%.2f}}", 1.0, 2.0, 30.0, 40.0);
    EXPECT_EQ(CCRectFromString(rect->getCString()), CCRectMake(1, 2, 30, 40));
}

TEST_F(TextParsingTest, MalformedGeometryTextsGiveZero)
{
    for (const char* bad : {"", "{}", "{1}", "{1,2,3}", "1,2", "{1,2", "1,2}", "{a,b}", "{1,2}x", "{nan,1}",
                            "{1e39,1}", "{inf,2}", "{{1,2},{3,4}}", "{1,,2}", "{,}"}) {
        EXPECT_EQ(CCPointFromString(bad), CCPointZero) << bad;
        EXPECT_EQ(CCSizeFromString(bad), CCSizeZero) << bad;
        EXPECT_EQ(text(bad)->pointValue(), CCPointZero) << bad;
    }
    EXPECT_EQ(CCPointFromString(nullptr), CCPointZero);
    EXPECT_EQ(CCSizeFromString(nullptr), CCSizeZero);
    EXPECT_EQ(CCRectFromString(nullptr), CCRectZero);
    for (const char* bad : {"", "{1,2,3,4}", "{{1,2},{3}}", "{{1,2},{3,4}", "{{1,2}{3,4}}", "{1,2},{3,4}",
                            "{{1,2},{3,4}}}", "{{1,2},{3,x}}"}) {
        EXPECT_EQ(CCRectFromString(bad), CCRectZero) << bad;
    }
}

} // namespace
