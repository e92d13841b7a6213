// The archive format against the standard command-line zip tools, both ways.
#include "archive_test_util.h"

#include "model/ZqArchiveReader.h"
#include "model/ZqGameSecrets.h"
#include "tools/ZqArchiveWriter.h"

#include <gtest/gtest.h>

#include <map>

using namespace archive_test;
using Method = ZqArchiveWriter::Method;

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
        ZqArchiveWriter writer(password);
        writer.addDirectory("sub/");
        bool stored = false;
        for (const auto& [name, data] : files) {
            writer.addFile(name, data, stored ? Method::Stored : Method::Deflated);
            stored = !stored;
        }
        writer.save(dir.file("data.pkg"));

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
        EXPECT_EQ(reader.modelFileCount(0), 2u);
        EXPECT_EQ(reader.modelFileCount(1), 1u);
        if (!c.password.empty()) {
            try {
                reader.readFile("Keys.pack", c.password + "x");
                ADD_FAILURE() << "wrong password accepted";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Unable to open a file: Error P17");
            }
        }
    }
}

}
