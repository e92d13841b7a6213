// A long headless run of the real program keeps flat memory: nothing throttles the
// offscreen driver's frames, so the view must not let the software rasteriser queue them.
#include "tools_test_support.h"
#include "player_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace archive_test;
using namespace tools_test;

namespace {

// The resident memory of a live process in kB; 0 once it has ended (a zombie has none).
long residentKilobytes(pid_t process)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

TEST(LongRun, ResidentMemoryStaysFlatOverTenMinutesOfFrames)
{
    TempDir dir;
    ASSERT_EQ(std::system(("cd '" + dir.path().string() + "' && " + ZQ_EXPORT_PROGRAM + " game >/dev/null").c_str()), 0);
    constexpr unsigned kFrames = 36000;
    const std::string settled = dir.file("game/settled.png");
    player_test::PlayerOptions options;
    options.directory = dir.file("game");
    // Settled: 480 frames into the menu.
    const unsigned settledFrame = menuFrame(options.directory, false) + 480;
    options.exitFrame = kFrames;
    options.timeoutSeconds = 1800;
    // The screenshot's file appearing marks the settled frame.
    options.screenshots = {{settledFrame, settled}};
    // The sanitizer holds freed blocks back up to its quarantine's size: that growth is
    // not the program's.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    options.environment = {std::string("ASAN_OPTIONS=") + (sanitizer ? sanitizer : "") + ":quarantine_size_mb=1"};
    long atSettled = 0;
    long highest = 0;
    options.whileRunning = [&](pid_t child) {
        for (long resident = residentKilobytes(child); resident > 0; resident = residentKilobytes(child)) {
            if (atSettled == 0 && std::filesystem::exists(settled))
                atSettled = resident;
            else if (atSettled > 0)
                highest = std::max(highest, resident);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    };
    const player_test::PlayerRun run = player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_GT(atSettled, 0);
    std::printf("resident memory: %ld kB at frame %u, at most %ld kB up to frame %u\n", atSettled, settledFrame,
                highest, kFrames);
    EXPECT_LE(highest, atSettled + atSettled / 10);
}

} // namespace
