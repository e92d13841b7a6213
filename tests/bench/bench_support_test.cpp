// The benchmarks' shared helpers: the median, the ratio line that waits for both times, and
// a timed program run's exit code, working directory and output.
#include "bench/bench_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

TEST(BenchSupport, TheMedianIsTheMiddleValueOrTheMeanOfTheTwoMiddleOnes)
{
    EXPECT_EQ(zqbench::median({}), 0.0);
    EXPECT_EQ(zqbench::median({3.0, 1.0, 2.0}), 2.0);
    EXPECT_EQ(zqbench::median({4.0, 1.0, 3.0, 2.0}), 2.5);
}

TEST(BenchSupport, TheRatioLineIsLeftOutWhileEitherTimeIsMissing)
{
    testing::internal::CaptureStdout();
    zqbench::printRatio("load", 0.003, "floor", 0.002);
    zqbench::printRatio("load", 0.0, "floor", 0.002);
    zqbench::printRatio("load", 0.003, "floor", 0.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "load: 3.000 ms; floor: 2.000 ms; ratio 1.50\n");
}

TEST(BenchSupport, TheMenuFloorCountsTheLoadingStepsTheLogSaysWereTaken)
{
    EXPECT_EQ(zqbench::loadingStepsTaken(
                  "x\n[ZqPAppDelegate] loaded 588 models of 70 classes from 110 model files in 254 loading steps\n"),
              254);
    EXPECT_EQ(
        zqbench::loadingStepsTaken("[ZqPAppDelegate] loaded 3 models\n... from 7 model files in 9 loading steps\n"),
        -1);
    EXPECT_EQ(zqbench::loadingStepsTaken("[ZqPAppDelegate] loaded 3 models of 2 classes from 7 model files\n"), -1);
    EXPECT_EQ(zqbench::loadingStepsTaken("End loading XML\n"), -1);
    EXPECT_DOUBLE_EQ(zqbench::menuFloorSeconds(110), 2.0);
}

TEST(BenchSupport, AProgramRunGivesItsExitCodeAnd127WhenItCannotStart)
{
    const std::filesystem::path here = std::filesystem::current_path();
    const zqbench::ProgramRun run = zqbench::runProgram("/bin/true", here, here);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_GT(run.seconds, 0.0);
    EXPECT_EQ(zqbench::runProgram("/bin/false", here, here).exitStatus, 1);
    EXPECT_EQ(zqbench::runProgram("/bin/true", here / "no such directory", here).exitStatus, 127);
    EXPECT_EQ(zqbench::runProgram("/no/such/program", here, here).exitStatus, 127);
}

TEST(BenchSupport, AChildNeverWritesWhatTheParentStillBuffers)
{
    testing::internal::CaptureStdout();
    std::printf("summary\n");
    zqbench::runProgram("/bin/true", std::filesystem::current_path(), std::filesystem::current_path());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "summary\n");
}

} // namespace
