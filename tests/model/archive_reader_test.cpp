#include "archive_test_util.h"

#include "model/loading/ZqArchiveReader.h"
#include "tools/ZqArchiveWriter.h"

#include <ZqRandom.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <system_error>
#include <utility>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;

namespace {

// Run once, when the file at swapAtOpen is opened by name through the C library.
std::string swapAtOpen;
std::function<void()> swapBeforeOpen;

} // namespace

// Stands in for the C library's fopen64 (minizip's own file functions open by it) so that a
// test can swap a link between the reader's open beneath the game folder and an open by name.
extern "C" FILE* fopen64(const char* path, const char* mode)
{
    using Real = FILE* (*)(const char*, const char*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "fopen64"));
    if (swapBeforeOpen && path && swapAtOpen == path)
        std::exchange(swapBeforeOpen, nullptr)();
    return real(path, mode);
}

namespace {

Bytes randomBytes(size_t size)
{
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(zqRand());
    return bytes;
}

// Compressible text larger than several read chunks.
Bytes longText()
{
    std::string text;
    for (int i = 0; text.size() < 70000; ++i)
        text += "line " + std::to_string(i) + " of a model file\n";
    return bytesOf(text);
}

using Cipher = ZqArchiveWriter::Cipher;
using AesVersion = ZqArchiveWriter::AesVersion;

struct RoundTripCase {
    const char* password;
    Method method;
    Cipher cipher = Cipher::Traditional;
    AesVersion aesVersion = AesVersion::Ae2;
};

class ArchiveRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ArchiveRoundTrip, EveryMemberReadsBackExactly)
{
    zqSrand(7);
    const RoundTripCase& c = GetParam();
    const std::map<std::string, Bytes> members = {
        {"Keys.pack", bytesOf("id\nClass Name\nvalue\n")},
        {"ZqModelScreen.0.attributes.pack", randomBytes(5000)},
        {"ZqModelScreen.0.connections.pack", longText()},
        {"empty.attributes.pack", {}},
    };
    ZqArchiveWriter writer(c.password, c.cipher, c.aesVersion);
    for (const auto& [name, data] : members)
        writer.addFile(name, data, c.method);
    TempDir dir;
    writer.save(dir.file("data.pkg"));

    ZqArchiveReader reader(dir.file("data.pkg"));
    for (const auto& [name, data] : members) {
        const auto read = reader.readFile(name, c.password);
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(*read, data) << name;
    }
    EXPECT_FALSE(reader.readFile("Missing.pack", c.password));
    EXPECT_FALSE(reader.readFile("keys.pack", c.password));  // names are case-sensitive
    if (*c.password == '\0')
        return;
    for (const std::string& wrong : {std::string(c.password) + "x", std::string(), std::string(c.password).substr(1)})
        EXPECT_EQ(errorOf([&] { reader.readFile("Keys.pack", wrong); }), "Unable to open a file: Error P17") << wrong;
    EXPECT_EQ(reader.readFile("Keys.pack", c.password), members.at("Keys.pack"));  // nothing stayed open
}

std::string roundTripName(const testing::TestParamInfo<RoundTripCase>& info)
{
    static const char* const ciphers[] = {"Traditional", "Aes128", "Aes192", "Aes256"};
    const RoundTripCase& c = info.param;
    std::string name = !*c.password ? "Plain" : ciphers[static_cast<int>(c.cipher)];
    if (*c.password && c.cipher != Cipher::Traditional)
        name += c.aesVersion == AesVersion::Ae1 ? "Ae1" : "Ae2";
    return name + (c.method == Method::Stored ? "Stored" : "Deflated");
}

INSTANTIATE_TEST_SUITE_P(
    PlainAndEncrypted, ArchiveRoundTrip,
    testing::Values(RoundTripCase{"", Method::Stored}, RoundTripCase{"", Method::Deflated},
                    RoundTripCase{"s3cret", Method::Stored}, RoundTripCase{"s3cret", Method::Deflated},
                    RoundTripCase{"s3cret", Method::Stored, Cipher::Aes128, AesVersion::Ae1},
                    RoundTripCase{"s3cret", Method::Deflated, Cipher::Aes128, AesVersion::Ae2},
                    RoundTripCase{"s3cret", Method::Deflated, Cipher::Aes192, AesVersion::Ae2},
                    RoundTripCase{"s3cret", Method::Deflated, Cipher::Aes256, AesVersion::Ae1},
                    RoundTripCase{"s3cret", Method::Stored, Cipher::Aes256, AesVersion::Ae2}),
    roundTripName);

class ArchiveReader : public testing::Test {
protected:
    std::string save(const ZqArchiveWriter& writer)
    {
        const std::string path = dir_.file("archive" + std::to_string(count_++) + ".pkg");
        writer.save(path);
        return path;
    }
    std::string save(const Bytes& bytes)
    {
        const std::string path = dir_.file("archive" + std::to_string(count_++) + ".pkg");
        writeBytes(path, bytes);
        return path;
    }

    TempDir dir_;
    int count_ = 0;
};

TEST_F(ArchiveReader, WalkSkipsDirectoriesAndEndsWithEmptyNames)
{
    ZqArchiveWriter writer("pw");
    writer.addDirectory("data/");
    writer.addFile("ZqModelFont.0.attributes.pack", std::string("font"));
    writer.addDirectory("data/sub/");
    writer.addDirectory("more/");
    writer.addFile("Keys.pack", std::string("keys"));
    writer.addFile("data/sub/ZqModelScreen.0.connections.pack", std::string("links"));
    writer.addDirectory("last/");
    ZqArchiveReader reader(save(writer));

    std::vector<std::string> names;
    for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"ZqModelFont.0.attributes.pack", "Keys.pack",
                                               "data/sub/ZqModelScreen.0.connections.pack"}));
    EXPECT_EQ(reader.nextFile(), "");
    EXPECT_EQ(reader.nextFile(), "");
    EXPECT_EQ(reader.firstFile(), "ZqModelFont.0.attributes.pack");  // the walk starts over

    ZqArchiveWriter onlyDirectories;
    onlyDirectories.addDirectory("a/");
    onlyDirectories.addDirectory("b/");
    ZqArchiveReader empty(save(onlyDirectories));
    EXPECT_EQ(empty.firstFile(), "");
}

TEST_F(ArchiveReader, ReadFileAtTheWalkPositionDoesNotRelocate)
{
    // Two members share a name: locating it by name would find the first one.
    ZqArchiveWriter writer("pw");
    writer.addFile("a.attributes.pack", std::string("first a"));
    writer.addFile("b.attributes.pack", std::string("b"));
    writer.addFile("a.attributes.pack", std::string("second a"));
    writer.addFile("c.attributes.pack", std::string("c"));
    ZqArchiveReader reader(save(writer));

    EXPECT_EQ(reader.firstFile(), "a.attributes.pack");
    EXPECT_EQ(reader.nextFile(), "b.attributes.pack");
    EXPECT_EQ(reader.nextFile(), "a.attributes.pack");
    EXPECT_EQ(reader.readFile("a.attributes.pack", "pw"), bytesOf("second a"));
    EXPECT_EQ(reader.nextFile(), "c.attributes.pack");
    EXPECT_EQ(reader.readFile("b.attributes.pack", "pw"), bytesOf("b"));  // elsewhere: located
    EXPECT_EQ(reader.readFile("a.attributes.pack", "pw"), bytesOf("first a"));
}

TEST_F(ArchiveReader, OpeningLeavesTheWalkAtTheStart)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("Keys.pack", std::string("k"));
    writer.addFile("ZqModelScreen.0.attributes.pack", std::string("s0"));
    writer.addFile("ZqModelScreen.2.attributes.pack", std::string("s2"));
    writer.addFile("ZqModelScreen.0.connections.pack", std::string("c0"));
    writer.addFile("ZqModelLabel.0.attributes.old", std::string("x"));
    writer.addDirectory("folder.attributes.d/");
    ZqArchiveReader reader(save(writer));
    EXPECT_EQ(reader.firstFile(), "Keys.pack");  // checking every header leaves the walk at the start
    EXPECT_EQ(reader.nextFile(), "ZqModelScreen.0.attributes.pack");
}

TEST_F(ArchiveReader, WrongOrMissingPasswordIsErrorP17AndLeavesNothingOpen)
{
    zqSrand(11);
    ZqArchiveWriter writer("right");
    writer.addFile("Keys.pack", std::string("keys"));
    writer.addFile("ZqModelScreen.0.attributes.pack", longText(), Method::Stored);
    ZqArchiveReader reader(save(writer));

    for (const char* password : {"wrong", "", "righ", "right "}) {
        EXPECT_EQ(errorOf([&] { reader.readFile("Keys.pack", password); }), "Unable to open a file: Error P17")
            << password;
        EXPECT_EQ(errorOf([&] { reader.locateFile("ZqModelScreen.0.attributes.pack", password); }),
                  "Unable to open a file: Error P17")
            << password;
    }
    EXPECT_EQ(reader.readFile("Keys.pack", "right"), bytesOf("keys"));
    EXPECT_EQ(reader.readFile("ZqModelScreen.0.attributes.pack", "right"), longText());
}

TEST_F(ArchiveReader, PlainMembersReadWithOrWithoutPassword)
{
    ZqArchiveWriter writer;
    writer.addFile("Keys.pack", std::string("keys"));
    ZqArchiveReader reader(save(writer));
    EXPECT_EQ(reader.readFile("Keys.pack", ""), bytesOf("keys"));
    EXPECT_EQ(reader.readFile("Keys.pack", "any"), bytesOf("keys"));
}

TEST_F(ArchiveReader, StrongEncryptionHasItsOwnErrorAndTheWalkPassesIt)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("strong.attributes.pack", std::string("sealed"), Method::Stored);
    writer.addFile("ok.attributes.pack", std::string("ok"));
    Bytes archive = writer.archive();
    patchEntry(archive, 0, Field::Flags, 0x41);
    ZqArchiveReader reader(save(archive));

    EXPECT_EQ(reader.firstFile(), "strong.attributes.pack");
    EXPECT_EQ(reader.nextFile(), "ok.attributes.pack");
    EXPECT_EQ(errorOf([&] { reader.readFile("strong.attributes.pack", "pw"); }),
              "Unable to open a file: Unsupported encryption");
    EXPECT_EQ(reader.readFile("ok.attributes.pack", "pw"), bytesOf("ok"));
}

// A name damaged in either copy would let a member pass for another one, or for one
// the loader does not know: the archive is refused as a whole when it is opened.
TEST_F(ArchiveReader, LocalNameDifferentFromTheDirectoryIsBadArchive)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("Keys.pack", std::string("keys"));
    writer.addDirectory("dir/");
    writer.addFile("ZqModelScreen.0.attributes.pack", std::string("screen"));
    const Bytes good = writer.archive();
    for (size_t entry = 0; entry < 3; ++entry) {
        for (const bool central : {false, true}) {
            Bytes damaged = good;
            const size_t name = central ? centralRecord(good, entry) + 46 : localRecord(good, entry) + 30;
            damaged.at(name + 1) ^= 0x20;
            const std::string path = save(damaged);
            const std::string error = errorOf([&] { ZqArchiveReader reader(path); });
            EXPECT_EQ(error.substr(error.size() - 12), " Bad archive") << entry << central << error;
        }
    }
}

// The local headers are found through the directory's offsets, which must then count
// from the start of the file: bytes in front of the zip data are refused, not guessed at.
TEST_F(ArchiveReader, BytesInFrontOfTheArchiveAreRefused)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("Keys.pack", std::string("keys"));
    Bytes prefixed = bytesOf("#!/bin/sh\n");
    const Bytes archive = writer.archive();
    prefixed.insert(prefixed.end(), archive.begin(), archive.end());
    const std::string path = save(prefixed);
    EXPECT_EQ(errorOf([&] { ZqArchiveReader reader(path); }), "Unable to locate the first file: Bad archive");
}

// A member declaring more than 64 MiB, or more than 100 times its stored size once it
// is over 1 MiB, is refused before anything is inflated.
TEST_F(ArchiveReader, MemberInflatingTooFarIsBadArchive)
{
    const Bytes text = longText();
    ZqArchiveWriter writer("pw");
    writer.addFile("m.attributes.pack", text, Method::Deflated);
    const Bytes good = writer.archive();
    const uint32_t stored = get32(good, centralRecord(good, 0) + 20);
    for (const uint32_t size : {(64u << 20) + 1, std::max(stored * 100 + 100, (1u << 20) + 1)}) {
        Bytes bomb = good;
        patchEntry(bomb, 0, Field::Size, size);
        ZqArchiveReader reader(save(bomb));
        EXPECT_EQ(errorOf([&] { reader.readFile("m.attributes.pack", "pw"); }), "Unable to read the file: Bad archive");
    }
    // The caller's own limit, as for the key file.
    ZqArchiveReader reader(save(good));
    EXPECT_EQ(errorOf([&] { reader.readFile("m.attributes.pack", "pw", text.size() - 1); }),
              "Unable to read the file: Bad archive");
    EXPECT_EQ(reader.readFile("m.attributes.pack", "pw", text.size()), text);
}

TEST_F(ArchiveReader, WriterStoresWhatWouldInflateTooFar)
{
    const Bytes zeros((2u << 20), 0);
    ZqArchiveWriter writer("pw", Cipher::Aes256);
    writer.addFile("zeros.attributes.pack", zeros, Method::Deflated);
    writer.addFile("text.attributes.pack", longText(), Method::Deflated);
    const Bytes archive = writer.archive();
    EXPECT_EQ(archive.at(centralAesField(archive, 0) + 5), 0);  // stored
    EXPECT_EQ(archive.at(centralAesField(archive, 1) + 5), 8);  // deflated
    ZqArchiveReader reader(save(archive));
    EXPECT_EQ(reader.readFile("zeros.attributes.pack", "pw"), zeros);

    EXPECT_THROW(writer.addFile("huge.attributes.pack", Bytes((64u << 20) + 1)), std::length_error);
}

// minizip reads the archive through the descriptor opened beneath the game folder: a link
// swapped after that open, to a file outside the folder, is never read.
TEST_F(ArchiveReader, ALinkSwappedAfterTheCheckedOpenIsNotRead)
{
    namespace fs = std::filesystem;
    ZqArchiveWriter game(""), other("");
    game.addFile("Keys.pack", std::string("the game's keys"));
    other.addFile("Keys.pack", std::string("the keys of a file outside the game"));
    const std::string root = dir_.file("game") + "/";
    fs::create_directories(root);
    game.save(root + "game.pkg");
    other.save(dir_.file("other.pkg"));
    fs::create_symlink("game.pkg", root + "data.pkg");
    swapAtOpen = root + "data.pkg";
    swapBeforeOpen = [&] {
        fs::remove(root + "data.pkg");
        fs::create_symlink(dir_.file("other.pkg"), root + "data.pkg");
    };
    std::optional<Bytes> keys;
    EXPECT_NO_THROW({
        ZqArchiveReader reader(root + "data.pkg", root);
        keys = reader.readFile("Keys.pack", "");
    });
    swapBeforeOpen = nullptr;
    EXPECT_EQ(keys, bytesOf("the game's keys"));
}

TEST_F(ArchiveReader, MissingEmptyOrNonZipFileCannotBeOpened)
{
    // The system's reason where it has one; a file of another kind says so.
    const std::vector<std::string> paths = {dir_.file("absent.pkg"), save(Bytes{}),
                                            save(bytesOf("not a zip archive at all")), dir_.path().string()};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const bool notZip = i == 1 || i == 2;
        try {
            ZqArchiveReader reader(paths[i]);
            ADD_FAILURE() << paths[i] << " opened";
        } catch (const std::system_error& e) {
            EXPECT_FALSE(notZip) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Unable to open the archive", 0), 0u) << e.what();
            EXPECT_NE(e.code().value(), 0);
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(notZip) << e.what();
            EXPECT_STREQ(e.what(), "Unable to open the archive: the file is not a zip archive");
        }
    }
}

// Declared sizes and CRCs that do not match the data are refused, whatever the method.
TEST_F(ArchiveReader, SizeOrCrcMismatchIsBadArchive)
{
    const Bytes text = longText();
    for (const Method method : {Method::Stored, Method::Deflated}) {
        for (const char* password : {"", "pw"}) {
            ZqArchiveWriter writer(password);
            writer.addFile("m.attributes.pack", text, method);
            writer.addFile("ok.attributes.pack", std::string("ok"));
            const Bytes good = writer.archive();
            const uint32_t crc = get32(good, centralRecord(good, 0) + 16);
            const uint32_t size = static_cast<uint32_t>(text.size());
            const std::vector<std::pair<Field, uint32_t>> patches = {
                {Field::Size, size - 1}, {Field::Size, size + 1}, {Field::Size, 300u << 20},
                {Field::Size, 0},        {Field::Crc, crc ^ 1},
            };
            for (const auto& [field, value] : patches) {
                Bytes bad = good;
                patchEntry(bad, 0, field, value);
                ZqArchiveReader reader(save(bad));
                const std::string error = errorOf([&] { reader.readFile("m.attributes.pack", password); });
                EXPECT_EQ(error, "Unable to read the file: Bad archive") << int(method) << password << value;
                // The failed member was closed: a second try reads it from the start again.
                EXPECT_EQ(errorOf([&] { reader.readFile("m.attributes.pack", password); }), error);
                EXPECT_EQ(reader.readFile("ok.attributes.pack", password), bytesOf("ok"));
            }
        }
    }
}

}
