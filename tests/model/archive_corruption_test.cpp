// Damaged archives: whatever the damage, the reader raises its documented errors or
// returns the exact original bytes; it never crashes (run under ASan/UBSan) and never
// hands out wrong bytes.
#include "archive_test_util.h"

#include "model/ZqArchiveReader.h"
#include "tools/ZqArchiveWriter.h"

#include <ZqRandom.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;

namespace {

constexpr const char* kPassword = "pw-2.104";

struct Outcome {
    int membersRead = 0;
};

std::map<std::string, Bytes> sampleMembers()
{
    std::string model;
    for (int i = 0; i < 40; ++i)
        model += "attribute " + std::to_string(i) + ";";
    return {
        {"Keys.pack", bytesOf("value\nClass Name\nid\n")},
        {"ZqModelScreen.0.attributes.pack", bytesOf(model)},
        {"ZqModelScreen.0.connections.pack", bytesOf("children 1 2 3")},
        {"ZqModelFont.0.attributes.pack", {}},
    };
}

Bytes sampleArchive(const std::map<std::string, Bytes>& members)
{
    zqSrand(3);
    ZqArchiveWriter writer(kPassword);
    writer.addDirectory("dir/");
    bool stored = false;
    for (const auto& [name, data] : members) {
        writer.addFile(name, data, stored ? Method::Stored : Method::Deflated);
        stored = !stored;
    }
    return writer.archive();
}

// Opens, walks and reads everything; every member read must be one of the originals
// (a damaged name may make it reachable under another name).
Outcome exercise(const std::string& path, const std::map<std::string, Bytes>& members)
{
    std::set<Bytes> contents;
    for (const auto& [name, data] : members)
        contents.insert(data);
    Outcome outcome;
    try {
        ZqArchiveReader reader(path);
        auto check = [&](const std::string& name, const std::optional<Bytes>& read) {
            if (!read)
                return;
            ++outcome.membersRead;
            const auto known = members.find(name);
            if (known != members.end())
                EXPECT_EQ(*read, known->second) << name;
            else
                EXPECT_TRUE(contents.count(*read)) << name;
        };
        try {
            check("Keys.pack", reader.readFile("Keys.pack", kPassword));
        } catch (const std::runtime_error&) {
        }
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile()) {
            try {
                check(name, reader.readFile(name, kPassword));
            } catch (const std::runtime_error&) {
            }
        }
    } catch (const std::runtime_error&) {
    }
    return outcome;
}

TEST(ArchiveCorruption, TruncationsAndFlipsNeverYieldWrongBytes)
{
    const auto members = sampleMembers();
    const Bytes archive = sampleArchive(members);
    TempDir dir;
    const std::string path = dir.file("damaged.pkg");

    writeBytes(path, archive);
    const Outcome intact = exercise(path, members);
    ASSERT_EQ(intact.membersRead, 5);  // Keys.pack by name, then the four in the walk

    // minizip reads missing bytes at the very end as zeros, so an archive cut inside the
    // zero-valued last fields of its end record still opens; exercise checks its bytes.
    for (size_t length = 0; length < archive.size(); ++length) {
        writeBytes(path, Bytes(archive.begin(), archive.begin() + static_cast<long>(length)));
        exercise(path, members);
    }

    int flippedReads = 0;
    for (size_t at = 0; at < archive.size(); ++at) {
        for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
            Bytes damaged = archive;
            damaged[at] ^= mask;
            writeBytes(path, damaged);
            flippedReads += exercise(path, members).membersRead;
        }
    }
    EXPECT_GT(flippedReads, 0);  // damage elsewhere leaves other members readable
}

// A change to an encrypted member's stored bytes, the encryption header included,
// fails that member, stored or deflated.
TEST(ArchiveCorruption, FlippedByteInEncryptedMemberFailsIt)
{
    const Bytes model = bytesOf(std::string(1200, 'm') + "end of model");
    for (const Method method : {Method::Stored, Method::Deflated}) {
        zqSrand(5);
        ZqArchiveWriter writer(kPassword);
        writer.addFile("m.attributes.pack", model, method);
        const Bytes archive = writer.archive();
        const auto [start, length] = payloadRange(archive, 0);
        TempDir dir;
        size_t unnoticed = 0;
        for (size_t at = start; at < start + length; ++at) {
            Bytes damaged = archive;
            damaged[at] ^= 0x20;
            writeBytes(dir.file("m.pkg"), damaged);
            ZqArchiveReader reader(dir.file("m.pkg"));
            try {
                // Only padding bits after the end of a deflate stream may change unnoticed.
                EXPECT_EQ(reader.readFile("m.attributes.pack", kPassword), model) << at - start;
                ++unnoticed;
            } catch (const std::runtime_error& e) {
                const std::string error = e.what();
                EXPECT_TRUE(error == "Unable to read the file: Bad archive" ||
                            error == "Unable to open a file: Error P17")
                    << error;
            }
        }
        EXPECT_LE(unnoticed, method == Method::Stored ? 0u : 1u);
    }
}

}
