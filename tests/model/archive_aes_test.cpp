// Damaged AES-encrypted members (WinZip AE-1 and AE-2): a damaged authentication code,
// damaged data, a short member or a bad extra field each end as damaged data with no
// byte handed out. (Round trips and wrong passwords: archive_reader_test.cpp.)
#include "archive_test_util.h"

#include "model/loading/ZqArchiveReader.h"
#include "tools/ZqArchiveWriter.h"


#include <gtest/gtest.h>


using namespace archive_test;
using Method = ZqArchiveWriter::Method;
using Cipher = ZqArchiveWriter::Cipher;
using AesVersion = ZqArchiveWriter::AesVersion;

namespace {

constexpr const char* kPassword = "aes-pass";
constexpr const char* kBadArchive = "Unable to read the file: Bad archive";
constexpr const char* kWrongPassword = "Unable to open a file: Error P17";

// Text that deflates well and spans several key-stream batches and read chunks.
Bytes modelText()
{
    std::string text;
    for (int i = 0; text.size() < 50000; ++i)
        text += "model " + std::to_string(i) + " speed " + std::to_string(i * 7 % 13) + "\n";
    return bytesOf(text);
}

class AesDamage : public testing::Test {
protected:
    Bytes sealed(Cipher cipher, AesVersion version, Method method, const Bytes& data)
    {
        ZqArchiveWriter writer(kPassword, cipher, version);
        writer.addFile("m.attributes.pack", data, method);
        writer.addFile("ok.attributes.pack", std::string("intact"));
        return writer.archive();
    }

    // The error of reading the damaged member; the other member must still read.
    std::string readError(const Bytes& archive)
    {
        const std::string path = dir_.file("damaged" + std::to_string(count_++) + ".pkg");
        writeBytes(path, archive);
        ZqArchiveReader reader(path);
        const std::string error = errorOf([&] { reader.readFile("m.attributes.pack", kPassword); });
        EXPECT_EQ(reader.readFile("ok.attributes.pack", kPassword), bytesOf("intact"));
        return error;
    }

    TempDir dir_;
    int count_ = 0;
};

// Salt (0..15), verifier (16, 17), data, then the 10-byte code: every byte of the
// stored data is covered. AE-2 has no CRC, so only the code can notice damaged data.
TEST_F(AesDamage, EveryFlippedStoredByteFailsTheMember)
{
    const Bytes data = modelText();
    for (const Method method : {Method::Stored, Method::Deflated}) {
        const Bytes good = sealed(Cipher::Aes256, AesVersion::Ae2, method, data);
        const auto [start, length] = payloadRange(good, 0);
        for (size_t at = start; at < start + length; at += (at - start < 40 || start + length - at < 40) ? 1 : 97) {
            Bytes damaged = good;
            damaged[at] ^= 0x04;
            const std::string error = readError(damaged);
            // Salt and verifier lead to other keys: seen as a wrong password.
            if (at < start + 18)
                EXPECT_TRUE(error == kWrongPassword || error == kBadArchive) << at - start << error;
            else
                EXPECT_EQ(error, kBadArchive) << at - start;
        }
    }
}

TEST_F(AesDamage, ShortMemberOrBadExtraFieldIsBadArchive)
{
    const Bytes good = sealed(Cipher::Aes128, AesVersion::Ae1, Method::Deflated, modelText());
    const uint32_t stored = get32(good, centralRecord(good, 0) + 20);
    // 8 salt + 2 verifier + 10 code: 19 stored bytes cannot be a member.
    for (const uint32_t size : {0u, 19u}) {
        Bytes damaged = good;
        patchEntry(damaged, 0, Field::CompressedSize, size);
        EXPECT_EQ(readError(damaged), kBadArchive) << size;
    }
    // A code that covers a shorter or longer stretch never matches.
    for (const uint32_t size : {20u, stored - 1, stored + 1}) {
        Bytes damaged = good;
        patchEntry(damaged, 0, Field::CompressedSize, size);
        EXPECT_EQ(readError(damaged), kBadArchive) << size;
    }

    const size_t field = centralAesField(good, 0);
    // Version (2 bytes), vendor "AE", strength, method (2 bytes).
    const std::vector<std::pair<size_t, unsigned char>> patches = {
        {0, 3}, {0, 0}, {2, 'X'}, {3, 'e'}, {4, 0}, {4, 4}, {4, 0xFF}, {5, 12}, {5, 9},
    };
    for (const auto& [at, value] : patches) {
        Bytes damaged = good;
        damaged.at(field + at) = value;
        const std::string error = readError(damaged);
        EXPECT_TRUE(error == kBadArchive || error == "Unable to open a file: Bad archive") << at << " " << error;
    }
    // Another valid strength reads the salt and verifier from the wrong bytes.
    Bytes otherStrength = good;
    otherStrength.at(field + 4) = 3;
    EXPECT_NE(readError(otherStrength), "");
    // Method 99 without the field, or without the encryption flag.
    Bytes noField = good;
    noField.at(field - 3) = 0x00;  // the id's high byte: 0x0001
    EXPECT_EQ(readError(noField), kBadArchive);
    Bytes notEncrypted = good;
    patchEntry(notEncrypted, 0, Field::Flags, 0);
    EXPECT_EQ(readError(notEncrypted), kBadArchive);
}

TEST_F(AesDamage, Ae1ChecksTheCrcAfterTheCode)
{
    Bytes damaged = sealed(Cipher::Aes192, AesVersion::Ae1, Method::Stored, bytesOf("sealed model"));
    patchEntry(damaged, 0, Field::Crc, get32(damaged, centralRecord(damaged, 0) + 16) ^ 1);
    EXPECT_EQ(readError(damaged), kBadArchive);
}

}
