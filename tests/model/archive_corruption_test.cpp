// Damaged archives: whatever the damage, the reader raises its documented errors or
// returns the exact original bytes; it never crashes (run under ASan/UBSan) and never
// hands out wrong bytes; and a damaged game archive never loads as another game.
#include "archive_test_util.h"
#include "tools/tools_test_support.h"

#include "model/loading/ZqArchiveReader.h"
#include "model/loading/ZqGameSecrets.h"
#include "tools/ZqArchiveWriter.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqRandom.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;
using Cipher = ZqArchiveWriter::Cipher;

namespace {

constexpr const char* kPassword = "damage-test";

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
// Damage is said in the reader's plain words, never as a doubled "::" or an I/O error.
void expectPlainMessage(const std::runtime_error& e)
{
    const std::string text = e.what();
    EXPECT_EQ(text.find("::"), std::string::npos) << text;
    EXPECT_EQ(text.find("Input/output"), std::string::npos) << text;
}

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
        } catch (const std::runtime_error& e) {
            expectPlainMessage(e);
        }
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile()) {
            try {
                check(name, reader.readFile(name, kPassword));
            } catch (const std::runtime_error& e) {
                expectPlainMessage(e);
            }
        }
    } catch (const std::runtime_error& e) {
        expectPlainMessage(e);
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

// A game exported by the data writer, its archive damaged at every byte in turn (one
// bit, a different one from byte to byte). Loading either fails with a message naming
// the file, or gives the game that was written: written back by the data writer, every
// file comes out byte for byte as before.
//
// The loader reads every member of these archives and fails on any error of the
// reader, so a flip after which the reader hands out every member unchanged loads the
// same game, and one the reader refuses fails the load; a full load checks the latter
// at every 64th such flip, and any flip after which the reader hands out something
// else. The sample game goes under traditional encryption; a small generated game
// under AES-128 (AE-2: the authentication code is the only check), since deriving
// every member's keys again for each flip would take minutes with the sample.
struct DamageCase {
    Cipher cipher;
    bool sample;  // the sample game, else a small generated one
};

class DamagedGameArchive : public testing::TestWithParam<DamageCase> {
protected:
    using Members = std::vector<std::pair<std::string, Bytes>>;

    void TearDown() override { controller().reset(); }

    static ZqModelController& controller() { return *ZqModelController::shared(); }

    std::string path() const { return root_.file("data/data.pkg"); }

    // Every member in walk order as the reader hands it out, or nothing when it
    // refuses the archive or a member.
    std::optional<Members> readAll(const std::string& password) const
    {
        try {
            ZqArchiveReader reader(path());
            Members members;
            for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile())
                members.emplace_back(name, reader.readFile(name, password).value());
            return members;
        } catch (const std::runtime_error& e) {
            expectPlainMessage(e);
            return std::nullopt;
        }
    }

    // The game as the data writer writes it, or nothing when loading failed.
    std::optional<std::vector<ZqDataFile>> load(std::string& error)
    {
        const tools_test::LoadRun run = tools_test::loadGame(controller(), root_.path().string());
        error = run.error;
        if (run.failed)
            return std::nullopt;
        return ZqDataWriter(controller(), {}).buildFiles();
    }

    TempDir root_;
};

// The first file in which two exports differ, or "" when they are the same.
std::string firstDifference(const std::vector<ZqDataFile>& a, const std::vector<ZqDataFile>& b)
{
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i].name != b[i].name || a[i].bytes != b[i].bytes)
            return i < a.size() ? a[i].name : b[i].name;
    }
    return "";
}

TEST_P(DamagedGameArchive, NeverLoadsAsAnotherGame)
{
    // The loader registers the generated class; the export must know it from the start.
    controller().addModelClasses(ZqSampleGame::generatedModelClasses());
    if (GetParam().sample) {
        ZqSampleGame::build(controller());
    } else {
        ZqSampleGame::Generated game;
        game.modelCount = 10;
        ZqSampleGame::buildGenerated(controller(), game);
    }
    const std::vector<ZqDataFile> files = ZqDataWriter(controller(), {}).buildFiles();
    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    ZqArchiveWriter writer(password, GetParam().cipher);
    for (const ZqDataFile& file : files) {
        ASSERT_TRUE(file.name == "Keys.pack" || file.name.find(".attributes.") != std::string::npos ||
                    file.name.find(".connections.") != std::string::npos)
            << file.name << " would not be read by the loader";
        writer.addFile(file.name, file.bytes);
    }
    const Bytes good = writer.archive();

    writeBytes(path(), good);
    const std::optional<Members> original = readAll(password);
    ASSERT_TRUE(original);
    std::string error;
    const auto intact = load(error);
    ASSERT_TRUE(intact) << error;
    ASSERT_EQ(firstDifference(*intact, files), "");

    int refused = 0;
    for (size_t at = 0; at < good.size(); ++at) {
        Bytes damaged = good;
        damaged[at] ^= static_cast<unsigned char>(1u << (at % 8));
        writeBytes(path(), damaged);
        const std::optional<Members> members = readAll(password);
        if (members == original)
            continue;
        if (!members && refused++ % 64 != 0)
            continue;
        const auto loaded = load(error);
        if (loaded) {
            EXPECT_TRUE(members) << "damage at byte " << at << " refused by the reader but loaded";
            EXPECT_EQ(firstDifference(*loaded, files), "") << "damage at byte " << at << " loaded another game";
            continue;
        }
        EXPECT_TRUE(error.rfind("Unable to load data: ", 0) == 0 || error.rfind("Failed to load keys", 0) == 0)
            << error;
        EXPECT_EQ(error.find("::"), std::string::npos) << error;
        EXPECT_EQ(error.find("Input/output"), std::string::npos) << error;
    }
    EXPECT_GT(refused, static_cast<int>(good.size() / 2));
}

INSTANTIATE_TEST_SUITE_P(Ciphers, DamagedGameArchive,
                         testing::Values(DamageCase{Cipher::Traditional, true}, DamageCase{Cipher::Aes128, false}),
                         [](const testing::TestParamInfo<DamageCase>& info) {
                             return info.param.sample ? "TraditionalSample" : "Aes128Generated";
                         });

}
