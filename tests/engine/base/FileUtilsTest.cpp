#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

using namespace cocos2d;
namespace fs = std::filesystem;

namespace {

class FileUtilsTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zq-fileutils-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        root = dir + "/Game/";
        write(root + "Data/Images/Hero.PNG", "hero");
        write(root + "Data/Keys.pack", std::string("k\0y", 3));
        write(dir + "/outside.txt", "outside");
        utils()->setResourceRoot(root);
        zqSetLogSink([this](const char* line) { logLines.emplace_back(line); });
    }

    void TearDown() override
    {
        zqSetLogSink({});
        CCFileUtils::purgeFileUtils();
        std::error_code error;
        fs::remove_all(dir, error);
    }

    static CCFileUtils* utils() { return CCFileUtils::sharedFileUtils(); }

    static void write(const std::string& path, const std::string& content)
    {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    std::string dir;
    std::string root;
    std::vector<std::string> logLines;
};

TEST_F(FileUtilsTest, LookupFallsBackToCaseInsensitiveComponents)
{
    EXPECT_EQ(utils()->getResourceRoot(), root);
    EXPECT_EQ(utils()->fullPathForFilename("Data/Images/Hero.PNG"), root + "Data/Images/Hero.PNG");
    EXPECT_EQ(utils()->fullPathForFilename("data/images/hero.png"), root + "Data/Images/Hero.PNG");
    EXPECT_EQ(utils()->fullPathForFilename("DATA//./IMAGES/hero.Png"), root + "Data/Images/Hero.PNG");
    // Already a full path under the root, in the wrong case.
    EXPECT_EQ(utils()->fullPathForFilename(root + "data/keys.PACK"), root + "Data/Keys.pack");

    // An exact name wins over a case variant next to it.
    write(root + "Data/images/hero.png", "lower");
    EXPECT_EQ(utils()->fullPathForFilename("Data/images/hero.png"), root + "Data/images/hero.png");

    EXPECT_TRUE(utils()->isFileExist("data/keys.pack"));
    EXPECT_FALSE(utils()->isFileExist("data/images"));
    EXPECT_FALSE(utils()->isFileExist("data/missing.png"));
    EXPECT_FALSE(utils()->isFileExist(""));
    EXPECT_EQ(utils()->fullPathForFilename(""), "");
}

TEST_F(FileUtilsTest, LeadingSlashNamesStayUnderTheRoot)
{
    EXPECT_EQ(utils()->fullPathForFilename("/data/images/hero.png"), root + "Data/Images/Hero.PNG");
    EXPECT_EQ(utils()->fullPathForFilename("//Data/Keys.pack"), root + "Data/Keys.pack");
    // A miss is joined to the root without "//" rather than left at the filesystem root.
    EXPECT_EQ(utils()->fullPathForFilename("/images/none.png"), root + "images/none.png");
    // An absolute path outside the root is a name below the root, never the file it names.
    EXPECT_EQ(utils()->fullPathForFilename(dir + "/outside.txt"), root + dir.substr(1) + "/outside.txt");
    EXPECT_FALSE(utils()->isFileExist(dir + "/OUTSIDE.txt"));
    EXPECT_FALSE(utils()->isFileExist("/etc/passwd"));
    // Climbing out names no file at all, however it is spelled.
    EXPECT_EQ(utils()->fullPathForFilename("../outside.txt"), "");
    EXPECT_EQ(utils()->fullPathForFilename("data/../../outside.txt"), "");
    EXPECT_EQ(utils()->fullPathForFilename(root + "../outside.txt"), "");
    EXPECT_EQ(utils()->fullPathForFilename("data/images/../keys.pack"), root + "Data/Keys.pack");

    utils()->setResourceRoot(dir + "/Game/Data/../Data");
    EXPECT_EQ(utils()->getResourceRoot(), root + "Data/");
    EXPECT_TRUE(utils()->isFileExist("/images/hero.png"));
}

TEST_F(FileUtilsTest, GetFileDataReadsWholeFilesAndFailsCleanly)
{
    unsigned long size = 99;
    std::unique_ptr<unsigned char[]> data(utils()->getFileData("data/keys.pack", "rb", &size));
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), size), std::string("k\0y", 3));
    EXPECT_EQ(data[3], 0);

    write(root + "empty.txt", "");
    std::unique_ptr<unsigned char[]> empty(utils()->getFileData("empty.txt", "rt", &size));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(size, 0u);

    size = 99;
    EXPECT_EQ(utils()->getFileData("data/missing.bin", "rb", &size), nullptr);
    EXPECT_EQ(size, 0u);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("[CCFileUtils]"), std::string::npos);
    EXPECT_NE(logLines[0].find("missing.bin"), std::string::npos);

    size = 99;
    EXPECT_EQ(utils()->getFileData("data/images", "rb", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(utils()->getFileData(nullptr, "rb", &size), nullptr);
    EXPECT_EQ(utils()->getFileData("data/missing.bin", "rb", nullptr), nullptr);
}

TEST_F(FileUtilsTest, ReadsOnlyRegularFilesWithinTheCapAndNeverWaits)
{
    // A FIFO with no writer, a link to an endless device (out of the game folder), a
    // sparse file past the cap and a directory: each refused with one line naming it, at
    // once.
    ASSERT_EQ(mkfifo((root + "Data/fifo.plist").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", root + "Data/zero.plist");
    {
        std::ofstream sparse(root + "Data/huge.plist", std::ios::binary);
    }
    fs::resize_file(root + "Data/huge.plist", 2ull << 30);
    const std::pair<const char*, const char*> cases[] = {{"data/fifo.plist", "not a regular file"},
                                                         {"data/zero.plist", "leads outside the game folder"},
                                                         {"data/huge.plist", "larger than 64 MiB"},
                                                         {"Data/Images", "not a regular file"},
                                                         {"data/../../outside.txt", "outside the game folder"}};
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        logLines.clear();
        unsigned long size = 99;
        EXPECT_EQ(utils()->getFileData(name, "rb", &size), nullptr);
        EXPECT_EQ(size, 0u);
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_NE(logLines[0].find(fs::path(name).filename().string()), std::string::npos) << logLines[0];
        EXPECT_NE(logLines[0].find(reason), std::string::npos) << logLines[0];
    }

    // At the cap a file is read whole.
    fs::resize_file(root + "Data/huge.plist", kZqMaxDataFileSize);
    ZqFileBytes bytes;
    EXPECT_TRUE(utils()->readWhole("data/huge.plist", bytes));
    EXPECT_EQ(bytes.size, kZqMaxDataFileSize);
}

TEST_F(FileUtilsTest, SymlinksAreFollowedOnlyWhileTheyStayInTheGameFolder)
{
    // Out: to a file, by its absolute path or by climbing; to a folder; a link inside that
    // leads to one going out.
    write(dir + "/elsewhere/secret.plist", "secret");
    fs::create_symlink(dir + "/outside.txt", root + "Data/file.plist");
    fs::create_symlink("../../outside.txt", root + "Data/climb.plist");
    fs::create_symlink(dir + "/elsewhere", root + "Data/Folder");
    fs::create_symlink("file.plist", root + "Data/chain.plist");
    for (const char* name : {"data/file.plist", "data/climb.plist", "data/folder/secret.plist", "data/chain.plist"}) {
        SCOPED_TRACE(name);
        logLines.clear();
        EXPECT_EQ(utils()->getFileData(name, "rb", nullptr), nullptr);
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_NE(logLines[0].find(fs::path(name).filename().string()), std::string::npos) << logLines[0];
        EXPECT_NE(logLines[0].find("leads outside the game folder"), std::string::npos) << logLines[0];
    }

    // Links that stay inside, to a file and to a folder, are followed.
    fs::create_symlink("Images/Hero.PNG", root + "Data/hero.plist");
    fs::create_symlink("Images", root + "Data/Pictures");
    logLines.clear();
    for (const char* name : {"data/hero.plist", "data/pictures/hero.png"}) {
        ZqFileBytes bytes;
        ASSERT_TRUE(utils()->readWhole(name, bytes)) << name;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.data.get()), bytes.size), "hero");
    }
    EXPECT_TRUE(logLines.empty());
}

TEST_F(FileUtilsTest, NamesInsideGameFilesStayInTheirFolder)
{
    write(root + "Data/Atlases/a.plist", "");
    write(root + "Data/Images/Sheet.png", "sheet");
    write(root + "icon.ico", "icon");
    const std::string plist = utils()->fullPathForFilename("data/atlases/a.plist");
    EXPECT_EQ(utils()->pathNamedInFile(plist, "../images/sheet.png"), root + "Data/Images/Sheet.png");
    EXPECT_EQ(utils()->pathNamedInFile(plist, "b.png"), root + "Data/Atlases/b.png");
    EXPECT_TRUE(logLines.empty());

    // Out of the data folder (even to a file of the game beside it), out of the root,
    // absolute in either platform's spelling, or nothing at all.
    for (const char* name : {"../../icon.ico", "../../../outside.txt", "/etc/passwd", "\\server\\x.png",
                             "C:\\x.png", "..", ""}) {
        SCOPED_TRACE(name);
        logLines.clear();
        EXPECT_EQ(utils()->pathNamedInFile(plist, name), "");
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_NE(logLines[0].find("a.plist"), std::string::npos) << logLines[0];
        EXPECT_NE(logLines[0].find(std::string("\"") + name + "\""), std::string::npos) << logLines[0];
    }
}

TEST_F(FileUtilsTest, WritablePathUsesTheOverrideAndStaysInsideIt)
{
    const char* previous = std::getenv("ZQ_DATA_HOME");
    const std::string saved = previous ? previous : "";
    const std::string home = dir + "/home";
    setenv("ZQ_DATA_HOME", home.c_str(), 1);

    utils()->setApplicationName("My Game");
    const std::string path = utils()->getWritablePath();
    EXPECT_EQ(path, home + "/My Game/");
    EXPECT_TRUE(fs::is_directory(path));

    utils()->setApplicationName("../../escape");
    EXPECT_EQ(utils()->getWritablePath(), home + "/.._.._escape/");
    utils()->setApplicationName("..");
    EXPECT_EQ(utils()->getWritablePath(), home + "/zqplayer/");

    if (previous)
        setenv("ZQ_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("ZQ_DATA_HOME");
}

} // namespace
