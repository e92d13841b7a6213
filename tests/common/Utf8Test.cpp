#include <ZqUtf8.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8Test, EveryWellFormedLengthDecodesToItsCodePoint)
{
    const struct {
        std::string bytes;
        char32_t code;
    } cases[] = {
        {std::string(1, '\0'), 0x0},
        {"\x7F", 0x7F},
        {"\xC2\x80", 0x80},
        {"\xDF\xBF", 0x7FF},
        {"\xE0\xA0\x80", 0x800},
        {"\xED\x9F\xBF", 0xD7FF},
        {"\xEE\x80\x80", 0xE000},
        {"\xEF\xBF\xBF", 0xFFFF},
        {"\xF0\x90\x80\x80", 0x10000},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF},
    };
    for (const auto& [bytes, code] : cases) {
        char32_t read = 0xDEAD;
        EXPECT_EQ(zqUtf8Next(bytes + "z", 0, read), bytes.size()) << static_cast<unsigned>(code);
        EXPECT_EQ(static_cast<unsigned>(read), static_cast<unsigned>(code));
        EXPECT_TRUE(zqUtf8Valid("a" + bytes + "b"));
    }
}

TEST(Utf8Test, MalformedSequencesAreRefusedWhereverTheyStand)
{
    for (const std::string bad : {
             "\x80",             // a continuation byte alone
             "\xBF",             //
             "\xC0\xAF",         // overlong forms
             "\xC1\xBF",         //
             "\xE0\x9F\xBF",     //
             "\xF0\x8F\xBF\xBF", //
             "\xED\xA0\x80",     // surrogates
             "\xED\xBF\xBF",     //
             "\xF4\x90\x80\x80", // above U+10FFFF
             "\xF5\x80\x80\x80", //
             "\xFF",             //
             "\xC3",             // cut sequences
             "\xE2\x82",         //
             "\xF0\x9F\x98",     //
             "\xC3\x41",         // a lead byte before a byte that does not continue it
             "\xE2\x82\x41",     //
         }) {
        char32_t read = 0xDEAD;
        EXPECT_EQ(zqUtf8Next(bad, 0, read), 0u) << testing::PrintToString(bad);
        EXPECT_EQ(static_cast<unsigned>(read), 0xDEADu);
        EXPECT_FALSE(zqUtf8Valid(bad));
        EXPECT_FALSE(zqUtf8Valid("text " + bad));
        EXPECT_FALSE(zqUtf8Valid(bad + " text"));
    }
    EXPECT_TRUE(zqUtf8Valid(""));
    EXPECT_TRUE(zqUtf8Valid("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
}

} // namespace
