// The data writer's own output: the key file, the directory it writes, the archive
// against the standard unzip tool.
#include "tools_test_support.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/loading/ZqGameSecrets.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>

using namespace archive_test;
using namespace tools_test;

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

void expectFixedCodes(const std::vector<std::string>& lines)
{
    ASSERT_GE(lines.size(), 51u);
    EXPECT_EQ(lines[10], "value");
    EXPECT_EQ(lines[33], "Class Name");
    EXPECT_EQ(lines[42], "id");
    EXPECT_EQ(lines[50], "User ID");
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a name is listed twice";
}

TEST(DataWriterKeys, FixedCodesWithFewOrManyNames)
{
    const std::vector<std::string> few = ZqDataWriter::keyLines({"Name", "id", "value", "~unused0"});
    expectFixedCodes(few);
    EXPECT_EQ(few.size(), 51u);
    EXPECT_EQ(few[0], "Name");
    EXPECT_EQ(few[1], "~unused0");

    std::set<std::string> names = {"value", "Class Name", "id", "User ID"};
    for (int i = 0; i < 100; ++i)
        names.insert("Key " + std::to_string(1000 + i));
    const std::vector<std::string> many = ZqDataWriter::keyLines(names);
    expectFixedCodes(many);
    ASSERT_EQ(many.size(), 104u);
    // The other names keep their set order around the fixed four.
    std::vector<std::string> others;
    for (const std::string& line : many) {
        if (line.rfind("Key ", 0) == 0)
            others.push_back(line);
    }
    EXPECT_EQ(others.size(), 100u);
    EXPECT_TRUE(std::is_sorted(others.begin(), others.end()));
}

TEST(DataWriterKeys, NamesThatCannotBeLinesAreRefused)
{
    EXPECT_THROW(ZqDataWriter::keyLines({"two\nlines"}), std::invalid_argument);
    EXPECT_THROW(ZqDataWriter::keyLines({""}), std::invalid_argument);
}

TEST_F(ToolsTest, KeyFileUnscramblesWithTheGamesUserId)
{
    ZqSampleGame::build(controller());
    ZqDataWriter writer(controller(), {});
    const std::vector<ZqDataFile> files = writer.buildFiles();
    ASSERT_FALSE(files.empty());
    ASSERT_EQ(files.front().name, "Keys.pack");
    const ZqDataFile& keys = files.front();

    const std::vector<std::string> lines =
        linesOf(unscrambleKeyFile(keys.bytes.data(), keys.bytes.size(), ZqSampleGame::kUserId));
    EXPECT_EQ(lines, writer.keyNames());
    expectFixedCodes(lines);
    for (const char* name : {"Application Name", "Last ID", "platformSpecificValues", "children", "Name"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), name), lines.end()) << name;
    EXPECT_NE(linesOf(unscrambleKeyFile(keys.bytes.data(), keys.bytes.size(), "someone else")), lines);
    EXPECT_EQ(std::string(keys.bytes.begin(), keys.bytes.end()).find("Application Name"), std::string::npos);

    // The codes the files were packed with are the key file's.
    for (std::size_t code = 0; code < lines.size(); ++code)
        EXPECT_EQ(keyCode(lines[code]), static_cast<int32_t>(code)) << lines[code];
}

TEST_F(ToolsTest, WritingRemovesAnEarlierExportsFilesOnly)
{
    TempDir dir;
    const std::string data = dir.file("data");
    for (const char* stale : {"ZqModelScreen.7.attributes.pack", "ZqModelSprite.0.connections.pack", "data.pkg"})
        writeBytes(data + "/" + stale, bytesOf("old"));
    writeBytes(data + "/notes.txt", bytesOf("mine"));

    ZqSampleGame::write(controller(), data, {});
    EXPECT_TRUE(std::filesystem::exists(data + "/Keys.pack"));
    EXPECT_TRUE(std::filesystem::exists(data + "/ZqModelGeneralSettings.0.attributes.pack"));
    EXPECT_FALSE(std::filesystem::exists(data + "/ZqModelScreen.7.attributes.pack"));
    EXPECT_FALSE(std::filesystem::exists(data + "/ZqModelSprite.0.connections.pack"));
    EXPECT_FALSE(std::filesystem::exists(data + "/data.pkg"));  // it would hide the new files
    EXPECT_EQ(readBytes(data + "/notes.txt"), bytesOf("mine"));
}

TEST_F(ToolsTest, MediaAreCopiedAndMustStayInsideTheDataDirectory)
{
    TempDir dir;
    writeBytes(dir.file("source.png"), bytesOf("png bytes"));
    ZqDataWriter::Options options;
    options.media = {{dir.file("source.png"), "images/ZqModelSprite_5.png"}};
    ZqSampleGame::write(controller(), dir.file("data"), options);
    EXPECT_EQ(readBytes(dir.file("data/images/ZqModelSprite_5.png")), bytesOf("png bytes"));

    for (const char* target : {"../escape.png", "/tmp/escape.png", "images/../../escape.png", "", "images/"}) {
        TempDir other;
        options.media = {{dir.file("source.png"), target}};
        EXPECT_THROW(ZqSampleGame::write(controller(), other.file("data"), options), std::invalid_argument)
            << target;
        EXPECT_FALSE(std::filesystem::exists(other.file("data"))) << target;
    }
}

TEST_F(ToolsTest, OurArchiveOpensWithUnzip)
{
    if (!toolAvailable("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    TempDir dir;
    ZqDataWriter::Options options;
    options.archive = true;  // beside the plain files, which the archive must hold
    ZqSampleGame::write(controller(), dir.file("data"), options);

    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    ASSERT_EQ(password.find('\''), std::string::npos);
    const std::string archive = " '" + dir.file("data/data.pkg") + "'";
    EXPECT_NE(runQuiet("unzip -tqq -P 'not-the-password'" + archive), 0);
    ASSERT_EQ(runQuiet("unzip -qq -P '" + password + "' -d '" + dir.file("out") + "'" + archive), 0);
    std::size_t plainFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("data"))) {
        const std::string name = entry.path().filename().string();
        // The media stay files beside the archive.
        if (name == "data.pkg" || !entry.is_regular_file())
            continue;
        EXPECT_EQ(readBytes(dir.file("out/" + name)), readBytes(entry.path().string())) << name;
        ++plainFiles;
    }
    EXPECT_GE(plainFiles, 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("out")), {}),
              static_cast<std::ptrdiff_t>(plainFiles));
}

// Maps per file of one class and kind, in file-number order.
std::vector<std::size_t> mapsPerFile(const std::vector<ZqDataFile>& files, const std::string& className,
                                     const std::string& suffix, std::size_t maxBytes)
{
    std::vector<std::size_t> counts;
    for (const ZqDataFile& file : files) {
        if (file.name.rfind(className + ".", 0) != 0 || !file.name.ends_with(suffix))
            continue;
        EXPECT_EQ(file.name, className + "." + std::to_string(counts.size()) + suffix) << "numbered in order";
        std::size_t offset = 0;
        std::size_t maps = 0;
        const char* data = reinterpret_cast<const char*>(file.bytes.data());
        while (offset < file.bytes.size()) {
            const std::size_t before = offset;
            unpackBounded(data, file.bytes.size(), offset);
            // A file goes past the limit only when it holds a single larger map.
            EXPECT_TRUE(maps == 0 || offset <= maxBytes) << file.name << " at " << before;
            ++maps;
        }
        counts.push_back(maps);
    }
    return counts;
}

TEST_F(ToolsTest, ClassesAreSplitIntoNumberedFilesByCountAndSize)
{
    ZqSampleGame::Generated game;
    game.modelCount = 100;
    ZqSampleGame::buildGenerated(controller(), game);

    ZqDataWriter::Options byCount;
    byCount.modelsPerFile = 30;
    const std::vector<ZqDataFile> counted = ZqDataWriter(controller(), byCount).buildFiles();
    EXPECT_EQ(mapsPerFile(counted, "ZqGeneratedModel", ".attributes.pack", SIZE_MAX),
              (std::vector<std::size_t>{30, 30, 30, 10}));
    EXPECT_EQ(mapsPerFile(counted, "ZqGeneratedModel", ".connections.pack", SIZE_MAX),
              (std::vector<std::size_t>{30, 30, 30, 10}));
    // The general settings link nothing: no connections file, never an empty one.
    EXPECT_EQ(mapsPerFile(counted, "ZqModelGeneralSettings", ".attributes.pack", SIZE_MAX),
              (std::vector<std::size_t>{1}));
    EXPECT_TRUE(mapsPerFile(counted, "ZqModelGeneralSettings", ".connections.pack", SIZE_MAX).empty());
    for (const ZqDataFile& file : counted)
        EXPECT_FALSE(file.bytes.empty()) << file.name;

    ZqDataWriter::Options bySize;
    bySize.maxFileBytes = 700;
    const std::vector<ZqDataFile> sized = ZqDataWriter(controller(), bySize).buildFiles();
    const std::vector<std::size_t> attributes = mapsPerFile(sized, "ZqGeneratedModel", ".attributes.pack", 700);
    EXPECT_GT(attributes.size(), 4u);
    std::size_t total = 0;
    for (std::size_t maps : attributes)
        total += maps;
    EXPECT_EQ(total, 100u);
    // A limit below one map's size still writes every map, one a file.
    bySize.maxFileBytes = 1;
    EXPECT_EQ(mapsPerFile(ZqDataWriter(controller(), bySize).buildFiles(), "ZqModelGeneralSettings",
                          ".attributes.pack", 1),
              (std::vector<std::size_t>{1}));
}

} // namespace
