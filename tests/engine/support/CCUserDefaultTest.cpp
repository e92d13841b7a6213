#include "support/CCUserDefault.h"
#include "support/strict_xml.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdio.h>
#include <string>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using cocos2d::CCUserDefault;

namespace {

bool failNextRename = false;
bool failNextLink = false;
bool diskFull = false;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

// Stands in for the C library's rename so a test can make the last step of a save
// fail, as a crash between writing the temporary file and renaming it would.
extern "C" int rename(const char* from, const char* to) noexcept
{
    if (failNextRename) {
        failNextRename = false;
        errno = EIO;
        return -1;
    }
    return renameat(AT_FDCWD, from, AT_FDCWD, to);
}

// Stands in for the C library's link so a test can take the road of a file system
// without hard links.
extern "C" int link(const char* from, const char* to) noexcept
{
    if (failNextLink) {
        failNextLink = false;
        errno = EPERM;
        return -1;
    }
    return linkat(AT_FDCWD, from, AT_FDCWD, to, 0);
}

// Stands in for the C library's statvfs so a test can see the store's disk full.
extern "C" int statvfs(const char* path, struct statvfs* out) noexcept
{
    using Real = int (*)(const char*, struct statvfs*);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "statvfs"));
    const int result = real(path, out);
    if (result == 0 && diskFull)
        out->f_bavail = 0;
    return result;
}

class UserDefaultTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/zq-store-test-XXXXXX";
        home = mkdtemp(pattern);
        setenv("ZQ_DATA_HOME", home.c_str(), 1);
    }

    static void TearDownTestSuite()
    {
        std::filesystem::remove_all(home);
        unsetenv("ZQ_DATA_HOME");
    }

    void SetUp() override
    {
        CCUserDefault::purgeSharedUserDefault();
        path = CCUserDefault::getXMLFilePath();
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".tmp");
        zqSetLogSink([this](const char* line) { logLines.emplace_back(line); });
    }

    void TearDown() override
    {
        zqSetLogSink({});
        CCUserDefault::purgeSharedUserDefault();
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".tmp");
    }

    // Saves, drops the store and reads the file again, as a new run would.
    static CCUserDefault* reopen()
    {
        CCUserDefault::sharedUserDefault()->flush();
        CCUserDefault::purgeSharedUserDefault();
        return CCUserDefault::sharedUserDefault();
    }

    static inline std::string home;
    std::string path;
    std::vector<std::string> logLines;
};

TEST_F(UserDefaultTest, EveryTypeSurvivesASaveAndALoad)
{
    const std::string awkward = "  <a href=\"x\">&amp; 'q' </a>\ttab\nline\r\nend \xC3\xA9  ";
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    EXPECT_EQ(store->getXMLFilePath(), path);
    store->setBoolForKey("ZqP_removeAds", true);
    store->setBoolForKey("ZqP_fullscreen", false);
    store->setIntegerForKey("ZqP_Inventory_count", -42);
    store->setIntegerForKey("big", INT_MAX);
    store->setIntegerForKey("small", INT_MIN);
    store->setFloatForKey("float", 0.1f);
    store->setDoubleForKey("double", 1.0 / 3.0);
    store->setDoubleForKey("huge", -1.5e300);
    store->setStringForKey("ZqP_Scores", awkward);
    store->setStringForKey("blank", "   ");
    store->setStringForKey("empty", "");
    store->setStringForKey("ScreenPlayed-Level 1 <&\"'>", "1");
    ASSERT_TRUE(store->flush());
    EXPECT_TRUE(CCUserDefault::isXMLFileExist());

    store = reopen();
    EXPECT_TRUE(store->getBoolForKey("ZqP_removeAds", false));
    EXPECT_FALSE(store->getBoolForKey("ZqP_fullscreen", true));
    EXPECT_EQ(store->getIntegerForKey("ZqP_Inventory_count"), -42);
    EXPECT_EQ(store->getIntegerForKey("big"), INT_MAX);
    EXPECT_EQ(store->getIntegerForKey("small"), INT_MIN);
    EXPECT_EQ(store->getFloatForKey("float"), 0.1f);
    EXPECT_EQ(store->getDoubleForKey("double"), 1.0 / 3.0);
    EXPECT_EQ(store->getDoubleForKey("huge"), -1.5e300);
    EXPECT_EQ(store->getStringForKey("ZqP_Scores"), awkward);
    EXPECT_EQ(store->getStringForKey("blank", "x"), "   ");
    EXPECT_EQ(store->getStringForKey("empty", "x"), "");
    EXPECT_EQ(store->getIntegerForKey("ScreenPlayed-Level 1 <&\"'>"), 1);
}

TEST_F(UserDefaultTest, AbsentOrMistypedValuesAnswerTheDefault)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    EXPECT_FALSE(store->getBoolForKey("missing"));
    EXPECT_TRUE(store->getBoolForKey("missing", true));
    EXPECT_EQ(store->getIntegerForKey("missing"), 0);
    EXPECT_EQ(store->getIntegerForKey("missing", 7), 7);
    EXPECT_EQ(store->getFloatForKey("missing", 2.5f), 2.5f);
    EXPECT_EQ(store->getDoubleForKey("missing", -1.25), -1.25);
    EXPECT_EQ(store->getStringForKey("missing"), "");
    EXPECT_EQ(store->getStringForKey("missing", "none"), "none");

    store->setStringForKey("text", "12abc");
    EXPECT_EQ(store->getIntegerForKey("text", 5), 5);
    EXPECT_TRUE(store->getBoolForKey("text", true));
    store->setStringForKey("tooBig", "99999999999");
    EXPECT_EQ(store->getIntegerForKey("tooBig", -1), -1);
    store->setIntegerForKey("one", 1);
    EXPECT_TRUE(store->getBoolForKey("one"));
    EXPECT_EQ(store->getStringForKey("one"), "1");

    store->setStringForKey("", "lost");
    store->setStringForKey(nullptr, "lost");
    EXPECT_EQ(store->getStringForKey(nullptr, "d"), "d");
}

TEST_F(UserDefaultTest, ValuesReachTheDiskOnFlushOrPurgeOnly)
{
    CCUserDefault::sharedUserDefault()->setIntegerForKey("Kw_Version", 3);
    EXPECT_FALSE(CCUserDefault::isXMLFileExist());
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getIntegerForKey("Kw_Version"), 3);
}

TEST_F(UserDefaultTest, DamagedFileIsKeptAsideWithItsWholeEntriesSalvaged)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setIntegerForKey("a", 1);
    store->setStringForKey("b", "two");
    store->setStringForKey("c", "three & more");
    ASSERT_TRUE(store->flush());
    CCUserDefault::purgeSharedUserDefault();

    // The last 2 bytes cut: every entry is still whole.
    const std::string whole = readFile(path);
    const std::string cut = whole.substr(0, whole.size() - 2);
    writeFile(path, cut);
    // Kept aside by a copy where the file system has no hard links.
    logLines.clear();
    failNextLink = true;
    store = CCUserDefault::sharedUserDefault();
    EXPECT_FALSE(failNextLink) << "the link was tried";
    EXPECT_EQ(store->getIntegerForKey("a", -1), 1);
    EXPECT_EQ(store->getStringForKey("b"), "two");
    EXPECT_EQ(store->getStringForKey("c"), "three & more");
    EXPECT_EQ(readFile(path + ".damaged-1"), cut);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find(path + " is damaged"), std::string::npos) << logLines[0];
    EXPECT_NE(logLines[0].find(path + ".damaged-1"), std::string::npos) << logLines[0];
    // The salvaged values are on disk at once: a run ended before any save of its own (a
    // crash, a kill) leaves them to the next.
    EXPECT_NE(readFile(path).find("three &amp; more"), std::string::npos) << readFile(path);
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getStringForKey("c"), "three & more");

    // Cut inside the last entry: that one is not whole, the ones before it are.
    const std::size_t lastEntry = whole.find("<entry key=\"c\"");
    ASSERT_NE(lastEntry, std::string::npos);
    for (const std::string& damaged :
         {whole.substr(0, lastEntry + 20), std::string("not xml at all \x01\xff"),
          std::string("<?xml version=\"1.0\"?><userDefaultRoot><entry key=\"c\">1</en"),
          std::string("<other><entry key=\"c\">1</entry></other>")}) {
        CCUserDefault::purgeSharedUserDefault();
        writeFile(path, damaged);
        store = CCUserDefault::sharedUserDefault();
        EXPECT_EQ(store->getStringForKey("c", "none"), "none") << damaged;
    }
    EXPECT_EQ(readFile(path + ".damaged-2"), whole.substr(0, lastEntry + 20));
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getIntegerForKey("a", -1), -1);
    CCUserDefault::purgeSharedUserDefault();
    store = CCUserDefault::sharedUserDefault();
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(std::filesystem::exists(path + ".damaged-" + std::to_string(n))) << n;
    for (int n = 1; n <= 5; ++n)
        std::filesystem::remove(path + ".damaged-" + std::to_string(n));

    // An empty file holds nothing to keep.
    CCUserDefault::purgeSharedUserDefault();
    writeFile(path, "");
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getIntegerForKey("a", -1), -1);
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-1"));
}

// A file that does not parse is read an entry at a time: damage to one entry's tags costs
// that entry only, and every later one (a key the game does not know among them) is kept.
TEST_F(UserDefaultTest, DamageToOneEntryCostsThatEntryOnly)
{
    std::string stored = "<?xml version=\"1.0\"?>\n<userDefaultRoot>\n  <entry key=\"first\">1</entry>\n";
    for (int n = 0; n < 12; ++n)
        stored += "  <entry key=\"ZqP_Record_" + std::to_string(n) + "\">" + std::to_string(100 + n) + "</entry>\n";
    stored += "  <entry key=\"empty\" />\n  <entry key=\"unknown &amp; new\">a &lt; b</entry>\n</userDefaultRoot>\n";
    const std::size_t first = stored.find("<entry key=\"first\">1</entry>");
    for (const auto& [from, to] : {std::pair<const char*, const char*>{"<entry key", "<entrz key"},
                                   {"key=\"first\"", "key=\"first"},
                                   {"</entry>", "</entr\x01>"},
                                   {"1</entry>", "1<entry>"}}) {
        std::string damaged = stored;
        damaged.replace(damaged.find(from, first), std::strlen(from), to);
        CCUserDefault::purgeSharedUserDefault();
        writeFile(path, damaged);
        logLines.clear();
        CCUserDefault* store = CCUserDefault::sharedUserDefault();
        EXPECT_EQ(store->getStringForKey("first", "none"), "none") << to;
        for (int n = 0; n < 12; ++n)
            EXPECT_EQ(store->getIntegerForKey(("ZqP_Record_" + std::to_string(n)).c_str()), 100 + n) << to;
        EXPECT_EQ(store->getStringForKey("empty", "none"), "") << to;
        EXPECT_EQ(store->getStringForKey("unknown & new"), "a < b") << to;
        ASSERT_FALSE(logLines.empty());
        EXPECT_NE(logLines[0].find("14 whole entries salvaged"), std::string::npos) << logLines[0];
        EXPECT_EQ(readFile(path + ".damaged-1"), damaged);
        std::filesystem::remove(path + ".damaged-1");
    }
}

// Text that the file cannot hold as it is would make pugixml write a file that strict
// readers refuse: such an entry is dropped with a line of its own, the file kept aside.
TEST_F(UserDefaultTest, EntriesThatAreNotUtf8TextAreDroppedALineEachAndKeptAside)
{
    const std::string stored = std::string("<?xml version=\"1.0\"?>\n<userDefaultRoot>\n") +
                               "  <entry key=\"good\">caf\xC3\xA9 \xF0\x9F\x98\x80</entry>\n" +
                               "  <entry key=\"tab\">a\tz\r\n</entry>\n" +
                               "  <entry key=\"bad\xFFkey\">1</entry>\n" +
                               "  <entry key=\"value\">1\xE9"
                               "2</entry>\n" +
                               "  <entry key=\"overlong\">\xC0\xAF</entry>\n" +
                               "  <entry key=\"surrogate\">\xED\xA0\x80</entry>\n" +
                               "  <entry key=\"control\">a\x01z</entry>\n" +
                               "  <entry key=\"reference\">a&#1;z</entry>\n" +
                               "  <entry>no key</entry>\n" + "</userDefaultRoot>\n";
    writeFile(path, stored);
    logLines.clear();
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    EXPECT_EQ(store->getStringForKey("good"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(store->getStringForKey("tab"), "a\tz\r\n");
    for (const char* key : {"value", "overlong", "surrogate", "control", "reference"})
        EXPECT_EQ(store->getStringForKey(key, "none"), "none") << key;
    ASSERT_EQ(logLines.size(), 7u);
    for (const std::string& line : logLines) {
        EXPECT_NE(line.find("dropped"), std::string::npos) << line;
        EXPECT_NE(line.find("kept as " + path + ".damaged-1"), std::string::npos) << line;
    }
    EXPECT_NE(logLines[0].find("entry \"bad\\xFFkey\" dropped, its key is not UTF-8 text"), std::string::npos)
        << logLines[0];
    EXPECT_NE(logLines[1].find("entry \"value\" dropped, its value is not UTF-8 text"), std::string::npos)
        << logLines[1];
    EXPECT_NE(logLines[6].find("entry \"\" dropped, it has no key"), std::string::npos) << logLines[6];
    EXPECT_EQ(readFile(path + ".damaged-1"), stored);

    // Written back at once, whole and strict; the next start finds nothing to drop.
    const std::string written = readFile(path);
    EXPECT_EQ(strict_xml::problem(written), "") << written;
    EXPECT_EQ(written.find("overlong"), std::string::npos) << written;
    logLines.clear();
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getStringForKey("tab"), "a\tz\r\n");
    EXPECT_TRUE(logLines.empty()) << logLines[0];
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-2"));
    std::filesystem::remove(path + ".damaged-1");
}

TEST_F(UserDefaultTest, SettersStoreOnlyTextTheFileCanHold)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setStringForKey("k", "old");
    logLines.clear();
    store->setStringForKey("k", "new\xFF");
    store->setStringForKey("k", std::string("a\x02z"));
    store->setStringForKey("key\xC3", "v");
    EXPECT_EQ(store->getStringForKey("k"), "old");
    EXPECT_EQ(store->getStringForKey("key\xC3", "none"), "none");
    ASSERT_EQ(logLines.size(), 3u);
    EXPECT_NE(logLines[0].find("\"k\" not stored: its value is not UTF-8 text"), std::string::npos) << logLines[0];
    EXPECT_NE(logLines[2].find("\"key\\xC3\" not stored: the key is not UTF-8 text"), std::string::npos)
        << logLines[2];
    ASSERT_TRUE(store->flush());
    EXPECT_EQ(strict_xml::problem(readFile(path)), "");
}

// A reader that finds a value not of its kind drops it: the file as it stands is kept
// aside once a run (all later drops name the same copy), and the next flush leaves the
// entry out.
TEST_F(UserDefaultTest, ADamagedValueIsDroppedWithTheStoreKeptAsideOnce)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setStringForKey("a", "1x");
    store->setStringForKey("b", "maybe");
    store->setStringForKey("c", "kept");
    store = reopen();
    const std::string before = readFile(path);
    logLines.clear();
    EXPECT_FALSE(store->dropDamaged("absent", "why"));
    EXPECT_FALSE(store->dropDamaged(nullptr, "why"));
    EXPECT_TRUE(logLines.empty());
    EXPECT_TRUE(store->dropDamaged("a", "not a whole number"));
    EXPECT_TRUE(store->dropDamaged("b", "not true or false"));
    ASSERT_EQ(logLines.size(), 2u);
    EXPECT_NE(logLines[0].find("entry \"a\" dropped, not a whole number; the store as read is kept as " + path +
                               ".damaged-1"),
              std::string::npos)
        << logLines[0];
    EXPECT_NE(logLines[1].find("entry \"b\" dropped, not true or false; the store as read is kept as " + path +
                               ".damaged-1"),
              std::string::npos)
        << logLines[1];
    EXPECT_EQ(readFile(path + ".damaged-1"), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-2"));
    EXPECT_EQ(store->getIntegerForKey("a", -1), -1);

    // The purge flushes what is pending: the next run reads the store without them.
    CCUserDefault::purgeSharedUserDefault();
    store = CCUserDefault::sharedUserDefault();
    EXPECT_EQ(store->getStringForKey("a", "none"), "none");
    EXPECT_EQ(store->getStringForKey("b", "none"), "none");
    EXPECT_EQ(store->getStringForKey("c"), "kept");
    std::filesystem::remove(path + ".damaged-1");

    // No file holds a value never flushed: nothing is kept aside, the value goes all the same.
    ASSERT_TRUE(store->deleteStore());
    store->setStringForKey("d", "?");
    logLines.clear();
    EXPECT_TRUE(store->dropDamaged("d", "damaged"));
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-1"));
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("the store is not kept aside"), std::string::npos) << logLines[0];
}

// Said at load, so that the player can be told before the first save fails.
TEST_F(UserDefaultTest, AStoreNoSaveCanReachSaysWhyWhenItIsRead)
{
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->unsaveableReason(), "");

    const std::string blocker = home + "/blocker";
    writeFile(blocker, "a file in the way");
    setenv("ZQ_DATA_HOME", (blocker + "/home").c_str(), 1);
    CCUserDefault::purgeSharedUserDefault();
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    const std::string reason = store->unsaveableReason();
    setenv("ZQ_DATA_HOME", home.c_str(), 1);
    EXPECT_NE(reason.find("the folder " + blocker + "/home"), std::string::npos) << reason;
    EXPECT_NE(reason.find("cannot be made (Not a directory)"), std::string::npos) << reason;
    store->setIntegerForKey("a", 1);
    EXPECT_FALSE(store->flush());
    CCUserDefault::purgeSharedUserDefault();
    std::filesystem::remove(blocker);

    std::filesystem::create_directories(path);
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->unsaveableReason(), "the store " + path + " is not a file");
    CCUserDefault::purgeSharedUserDefault();
    std::filesystem::remove(path);
}

namespace {

// Loads the store in a child process whose files may grow to at most limit bytes, as on
// a full disk: with SIGXFSZ ignored a write past the limit fails, with its default action
// the child dies in the middle of the write. The child's wait status.
int loadWithFileSizeLimit(rlim_t limit, bool dieAtTheLimit)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, dieAtTheLimit ? SIG_DFL : SIG_IGN);
        rlimit size{};
        getrlimit(RLIMIT_FSIZE, &size);
        size.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &size);
        CCUserDefault* store = CCUserDefault::sharedUserDefault();
        _exit(store->getStringForKey("c") == "three & more" ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

} // namespace

// The salvage of a damaged store never loses its entries: when the salvaged store cannot
// be written, or the run dies while writing it, the damaged file is still the store and
// the next start salvages it again.
TEST_F(UserDefaultTest, ASalvageThatCannotBeWrittenLeavesTheDamagedStoreToTheNextStart)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setIntegerForKey("a", 1);
    store->setStringForKey("c", "three & more");
    ASSERT_TRUE(store->flush());
    CCUserDefault::purgeSharedUserDefault();
    const std::string whole = readFile(path);
    const std::string cut = whole.substr(0, whole.size() - 2);

    // Each failing start keeps the damaged bytes aside once more.
    for (const bool dies : {false, true}) {
        SCOPED_TRACE(dies ? "killed during the write" : "disk full");
        writeFile(path, cut);
        const int status = loadWithFileSizeLimit(40, dies);
        if (dies) {
            ASSERT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << status;
            EXPECT_EQ(WEXITSTATUS(status), 0) << "the salvaged values live on in memory";
        }
        EXPECT_EQ(readFile(path), cut) << "the damaged store is still the store";
        EXPECT_EQ(readFile(path + ".damaged-" + std::string(dies ? "2" : "1")), cut);
    }
    // Kept aside by a copy where the file system has no hard links.
    logLines.clear();
    failNextLink = true;
    store = CCUserDefault::sharedUserDefault();
    EXPECT_FALSE(failNextLink) << "the link was tried";
    EXPECT_EQ(store->getIntegerForKey("a", -1), 1);
    EXPECT_EQ(store->getStringForKey("c"), "three & more");
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("kept as " + path + ".damaged-3"), std::string::npos) << logLines[0];
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getStringForKey("c"), "three & more");
    EXPECT_EQ(readFile(path + ".damaged-3"), cut);
    for (int n = 1; n <= 3; ++n)
        std::filesystem::remove(path + ".damaged-" + std::to_string(n));
}

// A store larger than any data file is damage: kept aside whole, and the entries of its
// first 64 MiB salvaged as a damaged store's are (one cut by the cap, and any after it, lost).
TEST_F(UserDefaultTest, AStorePastTheSizeCapIsKeptAsideAndItsFirstPartSalvaged)
{
    const std::string head = "<?xml version=\"1.0\"?><userDefaultRoot><entry key=\"a\">1</entry>";
    const std::string cut = "<entry key=\"b\">22</entry>";
    writeFile(path, head);
    std::filesystem::resize_file(path, kZqMaxDataFileSize - cut.size() / 2);
    std::ofstream(path, std::ios::binary | std::ios::app) << cut << "<entry key=\"c\">3</entry></userDefaultRoot>";
    logLines.clear();
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    EXPECT_EQ(store->getIntegerForKey("a", -1), 1);
    EXPECT_EQ(store->getIntegerForKey("b", -1), -1);
    EXPECT_EQ(store->getIntegerForKey("c", -1), -1);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("is damaged (larger than 64 MiB, its first 64 MiB read): kept as " + path +
                               ".damaged-1, 1 whole entries"),
              std::string::npos)
        << logLines[0];
    EXPECT_GT(std::filesystem::file_size(path + ".damaged-1"), kZqMaxDataFileSize);
    EXPECT_LT(std::filesystem::file_size(path), 200u);
    EXPECT_EQ(store->unsaveableReason(), "");
    std::filesystem::remove(path + ".damaged-1");
}

// A full disk is said at start, as an unwritable folder is, so that the player is told
// before the first save fails.
TEST_F(UserDefaultTest, AFullDiskIsSaidWhenTheStoreIsRead)
{
    diskFull = true;
    const std::string reason = CCUserDefault::sharedUserDefault()->unsaveableReason();
    diskFull = false;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    EXPECT_EQ(reason.rfind("the disk of the folder " + folder + " is full (0 bytes free)", 0), 0u) << reason;
}

// A link left at the temporary file's name (by a crash, or planted) is removed, never
// written through: the file it names keeps its bytes and the store stays a file.
TEST_F(UserDefaultTest, ALinkAtTheTemporaryNameIsNotWrittenThrough)
{
    const std::string victim = home + "/victim";
    writeFile(victim, "someone else's file");
    std::filesystem::create_symlink(victim, path + ".tmp");
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setIntegerForKey("k", 7);
    EXPECT_TRUE(store->flush());
    EXPECT_EQ(readFile(victim), "someone else's file");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path + ".tmp")));
    EXPECT_EQ(reopen()->getIntegerForKey("k"), 7);
    std::filesystem::remove(victim);
}

TEST_F(UserDefaultTest, WhatCannotBeReadIsLeftAloneAndProgressStaysInMemory)
{
    std::filesystem::create_directories(path);
    logLines.clear();
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("is not a file"), std::string::npos) << logLines[0];
    store->setIntegerForKey("a", 5);
    EXPECT_EQ(store->getIntegerForKey("a"), 5);
    EXPECT_FALSE(store->flush());
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_TRUE(std::filesystem::is_directory(path));
    std::filesystem::remove(path);
}

TEST_F(UserDefaultTest, InterruptedSaveLeavesTheOldFileWhole)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setIntegerForKey("ZqP_selectedCharacter", 4);
    ASSERT_TRUE(store->flush());
    const std::string saved = readFile(path);

    // A crash after the temporary file was (partly) written.
    writeFile(path + ".tmp", "<?xml version=\"1.0\"?><userDefaultRoot><entry key=\"ZqP_sel");
    store = reopen();
    EXPECT_EQ(store->getIntegerForKey("ZqP_selectedCharacter"), 4);

    // The rename fails: the save reports it, the old file is untouched and the new
    // value is still written by the next save.
    store->setIntegerForKey("ZqP_selectedCharacter", 5);
    failNextRename = true;
    EXPECT_FALSE(store->flush());
    EXPECT_EQ(readFile(path), saved);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(store->getIntegerForKey("ZqP_selectedCharacter"), 5);
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getIntegerForKey("ZqP_selectedCharacter"), 5);
}

TEST_F(UserDefaultTest, UnwritableLocationFailsWithoutTouchingTheOldFile)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setIntegerForKey("k", 1);
    ASSERT_TRUE(store->flush());
    const std::string saved = readFile(path);
    std::filesystem::create_directory(path + ".tmp");
    store->setIntegerForKey("k", 2);
    logLines.clear();
    EXPECT_FALSE(store->flush());
    std::filesystem::remove(path + ".tmp");
    EXPECT_EQ(readFile(path), saved);
    // The line names the store and the reason.
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("progress not saved to " + path), std::string::npos) << logLines[0];
    EXPECT_NE(logLines[0].find("Is a directory"), std::string::npos) << logLines[0];

    // The store's folder gone and a file in its place: it cannot be made.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    std::filesystem::remove_all(folder);
    writeFile(folder, "in the way");
    logLines.clear();
    EXPECT_FALSE(store->flush());
    std::filesystem::remove(folder);
    std::filesystem::create_directories(folder);
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_NE(logLines[0].find("progress not saved to " + path + ": its folder cannot be made"), std::string::npos)
        << logLines[0];
}

TEST_F(UserDefaultTest, DeletingTheStoreForgetsEverything)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    store->setStringForKey("PZq_Checkpoints", "3,4");
    ASSERT_TRUE(store->flush());
    store->setIntegerForKey("pending", 1);

    EXPECT_TRUE(store->deleteStore());
    EXPECT_FALSE(CCUserDefault::isXMLFileExist());
    EXPECT_EQ(store->getStringForKey("PZq_Checkpoints", "none"), "none");
    CCUserDefault::purgeSharedUserDefault();
    EXPECT_FALSE(CCUserDefault::isXMLFileExist());
    EXPECT_EQ(CCUserDefault::sharedUserDefault()->getIntegerForKey("pending", -1), -1);
    EXPECT_TRUE(CCUserDefault::sharedUserDefault()->deleteStore());
}
