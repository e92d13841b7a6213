#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The game data's two secrets, shared by the player and the data writer so that
// they cannot drift apart: the archive password and the Keys.pack scrambling.
// Both are obfuscation that keeps casual readers out of the data, not security.
// Never log the password or anything derived from it.

// The password text the application holds. It is not the zip password itself:
// decodeArchivePassword turns it into that (Base64, then each byte XORed with
// kZqArchivePasswordTable[i % 8]). The zip password is printable ASCII without NUL.
inline constexpr std::string_view kZqArchivePasswordText = "IJIgo2eFCfg07UflTK9QrDE=";
inline constexpr std::array<unsigned char, 8> kZqArchivePasswordTable = {
    0x5A, 0xC3, 0x17, 0x8E, 0x2B, 0xF0, 0x64, 0x9D};

// The 64-byte table from which makeKeyFileMask derives the Keys.pack mask.
inline constexpr std::array<unsigned char, 64> kZqKeyFileTable = {
    0xAC, 0x84, 0x4C, 0xBB, 0xBC, 0xAB, 0x08, 0x76, 0x9B, 0x3F, 0x19, 0xD0, 0xB7, 0x99, 0x2B, 0x5D,
    0x3F, 0x0F, 0x67, 0xA7, 0x01, 0x78, 0x99, 0x9A, 0xD4, 0xCD, 0x6B, 0xEC, 0xBF, 0xD3, 0x7E, 0x1C,
    0x84, 0xBD, 0x8E, 0xC1, 0x74, 0x6F, 0x4D, 0xDB, 0x1C, 0xC0, 0x0F, 0xA8, 0xCF, 0xB9, 0x30, 0xD4,
    0xE1, 0xA9, 0x1E, 0x3B, 0x5C, 0x1F, 0x94, 0xA6, 0x6A, 0x05, 0xAB, 0x08, 0x79, 0x7F, 0xB8, 0xBE};

// Standard Base64 decoding of text, then byte i XORed with kZqArchivePasswordTable[i % 8].
// Decoding stops at the first '=' or character outside the Base64 alphabet.
inline std::string decodeArchivePassword(std::string_view text)
{
    std::string decoded;
    unsigned int bits = 0;
    int bitCount = 0;
    for (const char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        else
            break;
        bits = (bits << 6) | static_cast<unsigned int>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            const auto byte = static_cast<unsigned char>((bits >> bitCount) & 0xFF);
            const auto mask = kZqArchivePasswordTable[decoded.size() % kZqArchivePasswordTable.size()];
            decoded.push_back(static_cast<char>(byte ^ mask));
        }
    }
    return decoded;
}

// The Keys.pack mask for a game: mask[i] = kZqKeyFileTable[i] ^ userId[i % userId.size()],
// or the table alone when the "User ID" text of the general settings is empty.
inline std::array<unsigned char, 64> makeKeyFileMask(std::string_view userId)
{
    std::array<unsigned char, 64> mask = kZqKeyFileTable;
    if (!userId.empty()) {
        for (size_t i = 0; i < mask.size(); ++i)
            mask[i] ^= static_cast<unsigned char>(userId[i % userId.size()]);
    }
    return mask;
}

// Keys.pack is the key names, one per line ("\n"), each byte i XORed with mask[i % 64].
// The XOR is its own inverse; the two names say which way the data goes.
inline std::string scrambleKeyFile(std::string_view keyText, std::string_view userId)
{
    const auto mask = makeKeyFileMask(userId);
    std::string scrambled(keyText);
    for (size_t i = 0; i < scrambled.size(); ++i)
        scrambled[i] = static_cast<char>(static_cast<unsigned char>(scrambled[i]) ^ mask[i % mask.size()]);
    return scrambled;
}

// data: the Keys.pack bytes (size bytes, may be null when size is 0). Returns the key text.
inline std::string unscrambleKeyFile(const unsigned char* data, size_t size, std::string_view userId)
{
    return scrambleKeyFile(std::string_view(reinterpret_cast<const char*>(data), data ? size : 0), userId);
}
