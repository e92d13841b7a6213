// bench_soak stopped by SIGTERM, as a person or a CI time limit stops it: the player's
// window closes as the program's does, the run steps it no more and ends with its exit
// status 0 and a line that says the program ended.
#include "bench/bench_support.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

TEST(BenchSoak, SigtermEndsTheRunCleanly)
{
#ifndef ZQ_BENCH_SOAK_PROGRAM
    GTEST_SKIP() << "the benchmarks are not built";
#else
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = zqbench::startProgram(ZQ_BENCH_SOAK_PROGRAM, std::filesystem::current_path(),
                                              {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"}, ends[1],
                                              {"--frames=30000"});
    close(ends[1]);
    ASSERT_GT(child, 0);
    // The signal comes once the player shows its menu: it is up and being stepped.
    std::string output;
    bool signalled = false;
    char block[4096];
    for (ssize_t count; (count = read(ends[0], block, sizeof block)) > 0;) {
        output.append(block, static_cast<std::size_t>(count));
        if (!signalled && output.find("[ZqServices] Screen On Enter: Menu") != std::string::npos) {
            signalled = true;
            kill(child, SIGTERM);
        }
    }
    close(ends[0]);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(signalled) << output;
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n" << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("the program ended during the run: no figures"), std::string::npos) << output;
#endif
}

} // namespace
