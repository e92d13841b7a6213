#include "model/loading/ZqGameSecrets.h"

#include <gtest/gtest.h>

namespace {

TEST(ArchiveSecrets, PasswordDecodesToPrintableAscii)
{
    // Base64 of eight zero bytes decodes to the XOR table itself.
    const std::string table = decodeArchivePassword("AAAAAAAAAAA=");
    EXPECT_EQ(table, std::string(kZqArchivePasswordTable.begin(), kZqArchivePasswordTable.end()));

    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    EXPECT_GE(password.size(), 8u);
    for (const char c : password)
        EXPECT_TRUE(c > ' ' && c < 0x7F) << int(c);
}

TEST(ArchiveSecrets, KeyFileScramblingRoundTripsPerUserId)
{
    std::string keys;
    for (int i = 0; i < 60; ++i)
        keys += "Key Name " + std::to_string(i) + "\n";

    for (const std::string userId : {"", "u", "a-rather-long-user-identifier-of-more-than-64-characters-0123456789"}) {
        const std::string scrambled = scrambleKeyFile(keys, userId);
        ASSERT_EQ(scrambled.size(), keys.size());
        EXPECT_NE(scrambled, keys);
        EXPECT_EQ(unscrambleKeyFile(reinterpret_cast<const unsigned char*>(scrambled.data()), scrambled.size(),
                                    userId),
                  keys);
        EXPECT_NE(unscrambleKeyFile(reinterpret_cast<const unsigned char*>(scrambled.data()), scrambled.size(),
                                    "x" + userId),
                  keys);
    }
    EXPECT_EQ(unscrambleKeyFile(nullptr, 0, "u"), "");
}

}
