#include "archive_test_util.h"

#include "model/ZqArchiveReader.h"
#include "tools/ZqArchiveWriter.h"

#include <ZqRandom.h>

#include <gtest/gtest.h>

#include <map>
#include <system_error>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;

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

// The message of the runtime error that f raises, or "" when it raises none.
template <typename F>
std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

struct RoundTripCase {
    const char* password;
    Method method;
};

class ArchiveRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ArchiveRoundTrip, EveryMemberReadsBackExactly)
{
    zqSrand(7);
    const std::map<std::string, Bytes> members = {
        {"Keys.pack", bytesOf("id\nClass Name\nvalue\n")},
        {"ZqModelScreen.0.attributes.pack", randomBytes(5000)},
        {"ZqModelScreen.0.connections.pack", longText()},
        {"empty.attributes.pack", {}},
    };
    ZqArchiveWriter writer(GetParam().password);
    for (const auto& [name, data] : members)
        writer.addFile(name, data, GetParam().method);
    TempDir dir;
    writer.save(dir.file("data.pkg"));

    ZqArchiveReader reader(dir.file("data.pkg"));
    for (const auto& [name, data] : members) {
        const auto read = reader.readFile(name, GetParam().password);
        ASSERT_TRUE(read) << name;
        EXPECT_EQ(*read, data) << name;
    }
    EXPECT_FALSE(reader.readFile("Missing.pack", GetParam().password));
    EXPECT_FALSE(reader.readFile("keys.pack", GetParam().password));  // names are case-sensitive
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, ArchiveRoundTrip,
                         testing::Values(RoundTripCase{"", Method::Stored}, RoundTripCase{"", Method::Deflated},
                                         RoundTripCase{"s3cret", Method::Stored},
                                         RoundTripCase{"s3cret", Method::Deflated}),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(*info.param.password ? "Encrypted" : "Plain") +
                                    (info.param.method == Method::Stored ? "Stored" : "Deflated");
                         });

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
    EXPECT_EQ(empty.modelFileCount(0), 0u);
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

TEST_F(ArchiveReader, CountsModelFilesFromTheDirectory)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("Keys.pack", std::string("k"));
    writer.addFile("ZqModelScreen.0.attributes.pack", std::string("s0"));
    writer.addFile("ZqModelScreen.2.attributes.pack", std::string("s2"));
    writer.addFile("ZqModelScreen.0.connections.pack", std::string("c0"));
    writer.addFile("ZqModelLabel.0.attributes.old", std::string("x"));
    writer.addDirectory("folder.attributes.d/");
    ZqArchiveReader reader(save(writer));
    EXPECT_EQ(reader.modelFileCount(0), 3u);
    EXPECT_EQ(reader.modelFileCount(1), 1u);
    EXPECT_EQ(reader.modelFileCount(2), 0u);
    EXPECT_EQ(reader.firstFile(), "Keys.pack");  // counting leaves the walk at the start
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

TEST_F(ArchiveReader, AesMemberHasItsOwnErrorAndTheWalkPassesIt)
{
    ZqArchiveWriter writer("pw");
    writer.addFile("aes.attributes.pack", std::string("sealed"), Method::Stored);
    writer.addFile("ok.attributes.pack", std::string("ok"));
    Bytes archive = writer.archive();
    patchEntry(archive, 0, Field::Method, 99);
    ZqArchiveReader reader(save(archive));

    EXPECT_EQ(reader.firstFile(), "aes.attributes.pack");
    EXPECT_EQ(reader.nextFile(), "ok.attributes.pack");
    EXPECT_EQ(errorOf([&] { reader.readFile("aes.attributes.pack", "pw"); }),
              "Unable to open a file: Unsupported encryption");
    EXPECT_EQ(reader.readFile("ok.attributes.pack", "pw"), bytesOf("ok"));
}

TEST_F(ArchiveReader, MissingEmptyOrNonZipFileCannotBeOpened)
{
    const std::vector<std::string> paths = {dir_.file("absent.pkg"), save(Bytes{}),
                                            save(bytesOf("not a zip archive at all")), dir_.path().string()};
    for (const auto& path : paths) {
        try {
            ZqArchiveReader reader(path);
            ADD_FAILURE() << path << " opened";
        } catch (const std::system_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Unable to open the archive", 0), 0u) << e.what();
            EXPECT_NE(e.code().value(), 0);
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
