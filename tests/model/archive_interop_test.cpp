// The archive format against the standard command-line zip tools, both ways: Info-ZIP's
// zip and unzip for traditional encryption, 7-Zip for AES as well.
#include "archive_test_util.h"
#include "tools/tools_test_support.h"

#include "model/loading/ZqArchiveReader.h"
#include "model/loading/ZqGameSecrets.h"
#include "tools/ZqArchiveWriter.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <gtest/gtest.h>

#include <map>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;
using Cipher = ZqArchiveWriter::Cipher;
using AesVersion = ZqArchiveWriter::AesVersion;

namespace {

// The game's own password and a plain test one; neither holds a shell quote.
std::vector<std::string> passwords()
{
    return {decodeArchivePassword(kZqArchivePasswordText), "tools-pw"};
}

std::map<std::string, Bytes> sampleFiles()
{
    std::string model;
    for (int i = 0; i < 3000; ++i)
        model += static_cast<char>(i * 7 % 251);
    return {
        {"Keys.pack", bytesOf("value\nClass Name\nid\nUser ID\n")},
        {"ZqModelScreen.0.attributes.pack", bytesOf(model)},
        {"sub/ZqModelScreen.0.connections.pack", bytesOf("children")},
        {"ZqModelFont.0.attributes.pack", {}},
    };
}

// The sample files in our archive, with the directory "sub/", stored and deflated in turn.
void writeSample(const std::string& path, const std::string& password, Cipher cipher = Cipher::Traditional,
                 AesVersion version = AesVersion::Ae2)
{
    ZqArchiveWriter writer(password, cipher, version);
    writer.addDirectory("sub/");
    bool stored = false;
    for (const auto& [name, data] : sampleFiles()) {
        writer.addFile(name, data, stored ? Method::Stored : Method::Deflated);
        stored = !stored;
    }
    writer.save(path);
}

int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

TEST(ArchiveInterop, OurArchiveOpensWithUnzip)
{
    if (!toolAvailable("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    const auto files = sampleFiles();
    for (const std::string& password : passwords()) {
        ASSERT_EQ(password.find('\''), std::string::npos);
        TempDir dir;
        writeSample(dir.file("data.pkg"), password);

        const std::string archive = " '" + dir.file("data.pkg") + "'";
        EXPECT_EQ(run("unzip -tqq -P '" + password + "'" + archive), 0);
        EXPECT_NE(run("unzip -tqq -P 'not-it'" + archive), 0);
        ASSERT_EQ(run("unzip -qq -P '" + password + "' -d '" + dir.file("out") + "'" + archive), 0);
        for (const auto& [name, data] : files)
            EXPECT_EQ(readBytes(dir.file("out/" + name)), data) << name;
    }
}

TEST(ArchiveInterop, ZipToolArchivesLoadInTheReader)
{
    if (!toolAvailable("zip"))
        GTEST_SKIP() << "zip is not installed";
    const auto files = sampleFiles();
    TempDir dir;
    for (const auto& [name, data] : files)
        writeBytes(dir.file("data/" + name), data);
    const std::string names = " Keys.pack ZqModelScreen.0.attributes.pack ZqModelFont.0.attributes.pack sub";

    struct Case {
        std::string password;
        const char* options;
    };
    std::vector<Case> cases = {{"", "-r"}, {"", "-r -0"}};
    for (const std::string& password : passwords()) {
        cases.push_back({password, "-r"});
        cases.push_back({password, "-r -0"});
    }
    int index = 0;
    for (const Case& c : cases) {
        const std::string archive = dir.file("tool" + std::to_string(index++) + ".zip");
        const std::string passwordOption = c.password.empty() ? "" : " -P '" + c.password + "'";
        ASSERT_EQ(run("cd '" + dir.file("data") + "' && zip -q " + c.options + passwordOption + " '" + archive +
                      "'" + names),
                  0);

        ZqArchiveReader reader(archive);
        std::vector<std::string> walked;
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile()) {
            walked.push_back(name);
            EXPECT_EQ(reader.readFile(name, c.password), files.at(name)) << name << " " << c.options;
        }
        EXPECT_EQ(walked.size(), files.size());  // the "sub/" entry is passed over
        if (!c.password.empty()) {
            try {
                reader.readFile("Keys.pack", c.password + "x");
                ADD_FAILURE() << "wrong password accepted";
            } catch (const std::runtime_error& e) {
                // The traditional cipher checks one header byte: about one wrong password in
                // 256 passes it, and the read then fails on its checksum or its data.
                const std::string what = e.what();
                EXPECT_TRUE(what == "Unable to open a file: Error P17" || what.ends_with(" Bad archive")) << what;
            }
        }
    }
}

// 7-Zip is part of the set-up (p7zip-full): these tests fail rather than skip without it.
void require7z()
{
    ASSERT_TRUE(toolAvailable("7z")) << "7z is not installed (scripts/setup.sh installs p7zip-full)";
}

TEST(ArchiveInterop, OurArchivesOpenWith7z)
{
    require7z();
    const auto files = sampleFiles();
    struct Case {
        Cipher cipher;
        AesVersion version;
    };
    const Case cases[] = {{Cipher::Traditional, AesVersion::Ae2},
                          {Cipher::Aes128, AesVersion::Ae1},
                          {Cipher::Aes192, AesVersion::Ae2},
                          {Cipher::Aes256, AesVersion::Ae2}};
    for (const Case& c : cases) {
        const std::string password = passwords().front();
        TempDir dir;
        writeSample(dir.file("data.pkg"), password, c.cipher, c.version);

        const std::string archive = " '" + dir.file("data.pkg") + "'";
        const int cipher = static_cast<int>(c.cipher);
        EXPECT_EQ(run("7z t -p'" + password + "'" + archive), 0) << cipher;
        EXPECT_NE(run("7z t -p'not-it'" + archive), 0) << cipher;
        ASSERT_EQ(run("7z x -y -p'" + password + "' -o'" + dir.file("out") + "'" + archive), 0) << cipher;
        for (const auto& [name, data] : files)
            EXPECT_EQ(readBytes(dir.file("out/" + name)), data) << name << " " << cipher;
    }
}

TEST(ArchiveInterop, SevenZipAesArchivesLoadInTheReader)
{
    require7z();
    const auto files = sampleFiles();
    TempDir dir;
    for (const auto& [name, data] : files)
        writeBytes(dir.file("data/" + name), data);
    const std::string names = " Keys.pack ZqModelScreen.0.attributes.pack ZqModelFont.0.attributes.pack sub";
    const std::string password = passwords().back();
    int index = 0;
    for (const char* options : {"-mem=AES256", "-mem=AES256 -mx0", "-mem=AES128", "-mem=AES192 -mx0"}) {
        const std::string archive = dir.file("7z" + std::to_string(index++) + ".zip");
        ASSERT_EQ(run("cd '" + dir.file("data") + "' && 7z a -tzip " + options + " -p'" + password + "' '" + archive +
                      "'" + names),
                  0);
        ZqArchiveReader reader(archive);
        size_t walked = 0;
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile()) {
            ++walked;
            EXPECT_EQ(reader.readFile(name, password), files.at(name)) << name << " " << options;
        }
        EXPECT_EQ(walked, files.size()) << options;
        try {
            reader.readFile("Keys.pack", password + "x");
            ADD_FAILURE() << "wrong password accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Unable to open a file: Error P17");
        }
    }
}

// The whole road: a game our writer exported, packed by 7z with AES-256 under the
// game's password, loads with every model as written.
TEST(ArchiveInterop, SevenZipAesGameLoads)
{
    require7z();
    ZqModelController& controller = *ZqModelController::shared();
    ZqSampleGame::Generated game;
    game.modelCount = 120;
    ZqSampleGame::buildGenerated(controller, game);
    TempDir dir;
    ZqDataWriter(controller, {}).write(dir.file("data"));
    const auto written = tools_test::describeModels(controller);
    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    ASSERT_EQ(run("cd '" + dir.file("data") + "' && 7z a -tzip -mem=AES256 -p'" + password + "' ../data.pkg *.pack"),
              0);
    std::filesystem::remove_all(dir.file("data"));
    std::filesystem::create_directories(dir.file("data"));
    std::filesystem::rename(dir.file("data.pkg"), dir.file("data/data.pkg"));

    const tools_test::LoadRun loaded = tools_test::loadGame(controller, dir.path().string());
    EXPECT_TRUE(loaded.archive);
    EXPECT_FALSE(loaded.failed) << loaded.error;
    EXPECT_EQ(tools_test::describeModels(controller), written);
    controller.reset();
}

}
