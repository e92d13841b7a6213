// The environment's test hooks and the input script.
#include "ZqTestHooks.h"
#include "ZqWindowMessages.h"

#include "app/ZqServices.h"
#include "player_test_support.h"
#include "support/CCUserDefault.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sets the variables for the test, and unsets them after it.
class Environment {
public:
    explicit Environment(std::initializer_list<std::pair<const char*, const char*>> variables)
    {
        for (const char* name : kNames)
            unsetenv(name);
        for (const auto& [name, value] : variables)
            setenv(name, value, 1);
    }
    ~Environment()
    {
        for (const char* name : kNames)
            unsetenv(name);
    }

private:
    static constexpr const char* kNames[] = {"ZQ_FIXED_STEP", "ZQ_SEED",      "ZQ_INPUT_SCRIPT",
                                             "ZQ_SCREENSHOTS", "ZQ_EXIT_FRAME", "ZQ_DEBUG_DRAW"};
};

TEST(TestHooks, ReadFromTheEnvironment)
{
    const std::string scriptPath = testing::TempDir() + "zq_hooks_script.txt";
    std::ofstream(scriptPath) << "1 key down Return\n";
    ZqTestHooks hooks;
    std::string error;
    {
        Environment none({});
        ASSERT_TRUE(ZqTestHooks::fromEnvironment(hooks, error)) << error;
        EXPECT_FALSE(hooks.fixedStep);
        EXPECT_FALSE(hooks.seed);
        EXPECT_EQ(hooks.exitFrame, 0u);
        EXPECT_TRUE(hooks.screenshots.empty());
    }
    Environment all({{"ZQ_FIXED_STEP", "1"},
                     {"ZQ_SEED", "42"},
                     {"ZQ_INPUT_SCRIPT", scriptPath.c_str()},
                     {"ZQ_SCREENSHOTS", "600:menu.png,2:/tmp/a b.png"},
                     {"ZQ_EXIT_FRAME", "600"},
                     {"ZQ_DEBUG_DRAW", "1"}});
    ASSERT_TRUE(ZqTestHooks::fromEnvironment(hooks, error)) << error;
    EXPECT_TRUE(hooks.fixedStep);
    EXPECT_EQ(hooks.seed, 42u);
    EXPECT_EQ(hooks.inputScript, scriptPath);
    EXPECT_EQ(hooks.screenshots,
              (std::vector<std::pair<unsigned, std::string>>{{600, "menu.png"}, {2, "/tmp/a b.png"}}));
    EXPECT_EQ(hooks.exitFrame, 600u);
    EXPECT_TRUE(hooks.debugDraw);
}

TEST(TestHooks, MalformedValuesNameTheirVariable)
{
    const std::pair<const char*, const char*> bad[] = {
        {"ZQ_FIXED_STEP", "yes"}, {"ZQ_SEED", "-1"},        {"ZQ_SEED", "12x"},          {"ZQ_EXIT_FRAME", "0"},
        {"ZQ_EXIT_FRAME", "ten"}, {"ZQ_SCREENSHOTS", "a.png"}, {"ZQ_SCREENSHOTS", "0:a.png"}, {"ZQ_SCREENSHOTS", "5:"},
    };
    for (const auto& [name, value] : bad) {
        Environment environment({{name, value}});
        ZqTestHooks hooks;
        std::string error;
        EXPECT_FALSE(ZqTestHooks::fromEnvironment(hooks, error)) << name << "=" << value;
        EXPECT_EQ(error.rfind(name, 0), 0u) << error;
    }
}

TEST(TestHooks, PathsThatCannotServeAreErrorsAtStart)
{
    const std::string folder = testing::TempDir() + "zq_hooks_paths";
    std::filesystem::create_directories(folder);
    const std::string notAFolder = folder + "/file";
    std::ofstream(notAFolder) << "x";
    const std::string shotInFile = "3:" + notAFolder + "/shot.png";
    const std::string shotInNothing = "3:" + folder + "/missing/shot.png";
    const std::pair<std::vector<std::pair<const char*, const char*>>, std::string> bad[] = {
        {{{"ZQ_SCREENSHOTS", shotInFile.c_str()}}, "ZQ_SCREENSHOTS: the folder of '" + notAFolder + "/shot.png'"},
        {{{"ZQ_SCREENSHOTS", shotInNothing.c_str()}}, "ZQ_SCREENSHOTS: the folder of '" + folder + "/missing/shot.png'"},
        {{{"ZQ_SCREENSHOTS", "5:a.png,7:b.png"}, {"ZQ_EXIT_FRAME", "6"}},
         "ZQ_SCREENSHOTS: frame 7 of '7:b.png' comes after ZQ_EXIT_FRAME 6"},
        {{{"ZQ_INPUT_SCRIPT", folder.c_str()}}, "ZQ_INPUT_SCRIPT: '" + folder + "' is not a readable regular file"},
        {{{"ZQ_INPUT_SCRIPT", "/nonexistent/script.txt"}},
         "ZQ_INPUT_SCRIPT: '/nonexistent/script.txt' is not a readable regular file"},
    };
    for (const auto& [variables, message] : bad) {
        ZqTestHooks hooks;
        std::string error;
        {
            Environment environment({});
            for (const auto& [name, value] : variables)
                setenv(name, value, 1);
            EXPECT_FALSE(ZqTestHooks::fromEnvironment(hooks, error)) << message;
        }
        EXPECT_EQ(error.rfind(message, 0), 0u) << error;
    }
    // A shot at the exit frame itself is taken.
    Environment atTheEnd({{"ZQ_SCREENSHOTS", "6:a.png"}, {"ZQ_EXIT_FRAME", "6"}});
    ZqTestHooks hooks;
    std::string error;
    EXPECT_TRUE(ZqTestHooks::fromEnvironment(hooks, error)) << error;
    std::filesystem::remove_all(folder);
}

// Opening a FIFO for writing waits for a reader for ever, and a device swallows the picture:
// such a target is malformed at start.
TEST(TestHooks, AScreenshotToAFifoOrADeviceIsRefusedAtStart)
{
    const std::string fifo = testing::TempDir() + "zq_hooks_fifo";
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> bad[] = {
        {"3:" + fifo, "ZQ_SCREENSHOTS: '" + fifo + "' is a FIFO, not a file for the picture"},
        {"3:/dev/full", "ZQ_SCREENSHOTS: '/dev/full' is a device, not a file for the picture"},
    };
    for (const auto& [value, message] : bad) {
        Environment environment({{"ZQ_SCREENSHOTS", value.c_str()}});
        ZqTestHooks hooks;
        std::string error;
        EXPECT_FALSE(ZqTestHooks::fromEnvironment(hooks, error)) << value;
        EXPECT_EQ(error, message);
    }
    std::filesystem::remove(fifo);
}

class InputScript : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sdl.ok()) << SDL_GetError(); }

    // The events of frames 1 to last, each frame's prefixed "N:"; mouse events as SDL
    // queued them.
    std::vector<std::string> play(unsigned last)
    {
        std::vector<std::string> seen;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        for (unsigned frame = 1; frame <= last; ++frame) {
            sink.log.clear();
            script.play(frame, sink, nullptr);
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
                if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
                    sink.log.push_back(std::string(event.type == SDL_MOUSEBUTTONDOWN ? "mouse+ " : "mouse- ") +
                                       std::to_string(event.button.x) + "," + std::to_string(event.button.y));
                else if (event.type == SDL_MOUSEMOTION)
                    sink.log.push_back("move " + std::to_string(event.motion.x) + "," + std::to_string(event.motion.y));
            }
            for (const std::string& line : sink.log)
                seen.push_back(std::to_string(frame) + ":" + line);
        }
        return seen;
    }

    SdlSubsystems sdl{SDL_INIT_VIDEO};
    ZqInputScript script;
    RecordingSink sink;
};

TEST_F(InputScript, EventsReachTheirFrames)
{
    std::string error;
    ASSERT_TRUE(script.parse("# menu, then play\n"
                             "3 key down Return   # Play\n"
                             "\n"
                             "3 key up Return\n"
                             "1 key down Left Shift\n"
                             "2 pad button down 0\n"
                             "2 pad axis 1 -0.5\n"
                             "2 pad hat 0 down-right\n"
                             "4 mouse down 10 20\n"
                             "4 mouse move 11 21\n"
                             "5 mouse up 12 22\n"
                             "5 key down F13\n",
                             error))
        << error;
    EXPECT_EQ(script.size(), 10u);
    EXPECT_EQ(play(6), (std::vector<std::string>{"1:key+ 16777248", "2:button -2 0 +", "2:axis -2 1 -0.50",
                                                 "2:hat -2 0 6", "3:key+ 16777220", "3:key- 16777220",
                                                 "4:mouse+ 10,20", "4:move 11,21", "5:mouse- 12,22"}));
}

TEST_F(InputScript, AMalformedLineIsAnErrorNamingIt)
{
    const std::pair<const char*, const char*> bad[] = {
        {"1 key down Return\n\n# fine so far\n5 pad trigger 1\n", "ZQ_INPUT_SCRIPT line 4: unknown event 'pad trigger'"},
        {"x key down Return\n", "ZQ_INPUT_SCRIPT line 1: bad frame 'x' (frames count from 1)"},
        {"0 key down Return\n", "ZQ_INPUT_SCRIPT line 1: bad frame '0' (frames count from 1)"},
        {"1 key press Return\n", "ZQ_INPUT_SCRIPT line 1: 'key' expects down|up NAME"},
        {"1 key down NoSuchKey\n", "ZQ_INPUT_SCRIPT line 1: unknown key 'NoSuchKey'"},
        {"1 pad axis 0 1.5\n", "ZQ_INPUT_SCRIPT line 1: 'pad axis' expects N VALUE, N from 0 to 255, VALUE from -1 to 1"},
        {"1 pad hat 0 north\n", "ZQ_INPUT_SCRIPT line 1: 'pad hat' expects N from 0 to 255 and a direction (up, down-left, centre, ...)"},
        {"1 mouse click 1 2\n", "ZQ_INPUT_SCRIPT line 1: 'mouse' expects down|move|up X Y"},
        {"1\n", "ZQ_INPUT_SCRIPT line 1: unknown event ''"},
    };
    for (const auto& [text, message] : bad) {
        std::string error;
        EXPECT_FALSE(script.parse(text, error)) << text;
        EXPECT_EQ(error, message);
        EXPECT_EQ(script.size(), 0u);
    }
    std::string error;
    EXPECT_FALSE(script.load("/nonexistent/script.txt", error));
    EXPECT_EQ(error, "ZQ_INPUT_SCRIPT: cannot read /nonexistent/script.txt");
}

TEST_F(InputScript, EveryByteAloneOnALineIsBlankOrAnErrorOfThatLine)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        std::string error;
        const bool parsed = script.parse("1 key down Return\n" + std::string(1, c) + "\n", error);
        // Blanks and the comment sign leave an empty line; anything else is no event.
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#';
        EXPECT_EQ(parsed, blank) << byte << ": " << error;
        if (!blank) {
            EXPECT_EQ(error.rfind("ZQ_INPUT_SCRIPT line 2: ", 0), 0u) << byte << ": " << error;
        }
    }
}

// A NUL byte ends SDL's reading of a key name but not the line's; what the script holds
// reaches the error escaped and cut, however long or raw it is.
TEST_F(InputScript, ErrorsShowTheScriptsBytesEscapedAndCut)
{
    const std::string longName = "1 key down " + std::string(10 << 20, 'A') + "\n";
    const std::pair<std::string, std::string> bad[] = {
        {std::string("300 key down Return") + '\0' + "garbage\n", "ZQ_INPUT_SCRIPT line 1: unknown key 'Return\\x00garbage'"},
        {"\x1B[2J key down Return\n", "ZQ_INPUT_SCRIPT line 1: bad frame '\\x1B[2J' (frames count from 1)"},
        {"1 \x1B]0;x\x07\n", "ZQ_INPUT_SCRIPT line 1: unknown event '\\x1B]0;x\\x07'"},
        {longName, "ZQ_INPUT_SCRIPT line 1: unknown key '" + std::string(kZqPrintableLimit, 'A') + "...'"},
    };
    for (const auto& [text, message] : bad) {
        std::string error;
        EXPECT_FALSE(script.parse(text, error)) << message;
        EXPECT_EQ(error, message);
    }
}

TEST_F(InputScript, NumbersAtTheLimitsOfTheirTypes)
{
    const std::pair<const char*, bool> lines[] = {
        {"4294967295 key down Return", true},  {"4294967296 key down Return", false},
        {"-1 key down Return", false},         {"1 pad button down 255", true},
        {"1 pad button down 256", false},      {"1 pad button down 2147483647", false},
        {"1 pad button down 2147483648", false}, {"1 pad button down -2147483649", false},
        {"1 pad hat 255 up", true},            {"1 pad hat 134217728 up", false},
        {"1 pad hat 2147483648 up", false},    {"1 pad axis 255 -1", true},
        {"1 pad axis 256 1", false},           {"1 pad axis 0 nan", false},
        {"1 pad axis 0 inf", false},           {"1 pad axis 0 -0", true},
        {"1 pad axis 0 1e39", false},          {"1 mouse down 2147483647 -2147483648", true},
        {"1 mouse down 2147483648 0", false},  {"1 mouse move 0 -2147483649", false},
    };
    for (const auto& [line, valid] : lines) {
        std::string error;
        EXPECT_EQ(script.parse(std::string("\n") + line + "\n", error), valid) << line << ": " << error;
        if (!valid) {
            EXPECT_EQ(error.rfind("ZQ_INPUT_SCRIPT line 2: ", 0), 0u) << line << ": " << error;
        }
    }
}

TEST(WindowMessages, PostedMessagesComeBackAtThePollAndSignalsPostClose)
{
    SdlSubsystems sdl(SDL_INIT_EVENTS);
    ASSERT_TRUE(sdl.ok());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    ASSERT_TRUE(ZqWindowMessages::post(ZqServices::kMessageFullscreen, 1));
    EXPECT_FALSE(ZqWindowMessages::closeIfSignalled());
    ZqWindowMessages::closeOnSignals();
    std::raise(SIGTERM);
    EXPECT_TRUE(ZqWindowMessages::closeIfSignalled());
    EXPECT_FALSE(ZqWindowMessages::closeIfSignalled());
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);

    std::vector<std::pair<int, std::intptr_t>> messages;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        int message = 0;
        std::intptr_t parameter = 0;
        if (ZqWindowMessages::read(event, message, parameter))
            messages.emplace_back(message, parameter);
    }
    EXPECT_EQ(messages, (std::vector<std::pair<int, std::intptr_t>>{{ZqServices::kMessageFullscreen, 1},
                                                                    {ZqServices::kMessageClose, 0}}));
}

// A hang-up closes the window as a request to terminate does, and a save past the file-size
// limit fails as on a full disk, leaving no temporary file, instead of killing the program.
TEST(WindowMessages, AHangUpClosesAndAWritePastTheFileSizeLimitFails)
{
    SdlSubsystems sdl(SDL_INIT_EVENTS);
    ASSERT_TRUE(sdl.ok());
    ZqWindowMessages::closeOnSignals();
    std::raise(SIGHUP);
    EXPECT_TRUE(ZqWindowMessages::closeIfSignalled());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    char home[] = "/tmp/zq-hooks-store-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setenv("ZQ_DATA_HOME", home, 1);
        rlimit size{};
        getrlimit(RLIMIT_FSIZE, &size);
        size.rlim_cur = 40;
        setrlimit(RLIMIT_FSIZE, &size);
        cocos2d::CCUserDefault* store = cocos2d::CCUserDefault::sharedUserDefault();
        store->setStringForKey("run", std::string(100, 'x'));
        const bool failed = !store->flush();
        _exit(failed && !std::filesystem::exists(cocos2d::CCUserDefault::getXMLFilePath() + ".tmp") ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ})
        std::signal(signal, SIG_DFL);
    std::filesystem::remove_all(home);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
