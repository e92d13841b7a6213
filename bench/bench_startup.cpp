// Start to the menu of the sample game, from the data directory and from the archive, at
// the real 60 frames a second and with ZQ_FIXED_STEP=1: the real player run in a fresh
// process each time (SDL's offscreen driver), timed from its start to the log line of the
// menu's entry, the frame the menu is first drawn in. The baseline, in the same run: a
// bare SDL window with a GL context, one clear and one swap, from its start to its exit,
// in a fresh process too (SDL's video stays up for a process). Prints the median of each
// over the repetitions and each ratio of medians to the baseline. At 60 frames a second
// it prints the floor beside: the menu shows at frame 10 + the loading steps the run's log
// says were taken, and frames come 1/60 s apart, so no run can reach the menu sooner; a
// run that did would show a clock or a pace gone wrong, and its case prints no figure.
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRepetitions = 5;
constexpr const char* kMenuLine = "[ZqServices] Screen On Enter: Menu";

// The sample game exported below a temporary directory: plain/data and archive/data.
struct Fixture {
    zqbench::ScratchDirectory scratch{"zq_bench_startup"};
    const fs::path& root = scratch.root;

    Fixture()
    {
        for (const char* arguments : {" plain", " archive --archive"}) {
            const std::string command = "cd '" + root.string() + "' && '" ZQ_EXPORT_PROGRAM "'" + arguments +
                                        " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "exporting the sample game failed: %s\n", command.c_str());
        }
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// Starts program in directory with the headless drivers, the benchmark's store and the
// extra variables, its standard output and error into the pipe's write end (or dropped
// when it is -1).
pid_t start(const char* program, const fs::path& directory, const std::vector<std::string>& extra, int output)
{
    std::vector<std::string> environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ZQ_SEED=1",
                                            "ZQ_DATA_HOME=" + (fixture().root / "store").string()};
    environment.insert(environment.end(), extra.begin(), extra.end());
    return zqbench::startProgram(program, directory, environment, output);
}

// Seconds from the bare window's start to its exit; negative on failure.
double bareWindowOnce()
{
    const Clock::time_point begin = Clock::now();
    const pid_t child = start(ZQ_BARE_WINDOW_PROGRAM, fixture().root, {}, -1);
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

// Seconds from the player's start to its menu; negative when the menu never came. The
// player is then ended by SIGTERM (after the clock stops); a guard frame ends it anyway.
// loadingSteps: the steps the log says the load took, -1 when it does not say.
double playerToMenuOnce(const fs::path& directory, bool fixedStep, int& loadingSteps)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1.0;
    std::vector<std::string> extra = {"ZQ_EXIT_FRAME=1200"};
    if (fixedStep)
        extra.push_back("ZQ_FIXED_STEP=1");
    const Clock::time_point begin = Clock::now();
    const pid_t child = start(ZQ_PLAYER_PROGRAM, directory, extra, pipeEnds[1]);
    close(pipeEnds[1]);
    double seconds = -1.0;
    std::string pending;
    char block[4096];
    for (ssize_t count; (count = read(pipeEnds[0], block, sizeof block)) > 0;) {
        if (seconds >= 0)
            continue;  // drained, so that the player never blocks on a full pipe
        pending.append(block, static_cast<std::size_t>(count));
        if (pending.find(kMenuLine) != std::string::npos) {
            seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            kill(child, SIGTERM);
        }
    }
    close(pipeEnds[0]);
    loadingSteps = zqbench::loadingStepsTaken(pending);
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1.0;
    return seconds;
}

std::map<std::string, std::vector<double>> times;
// Per case, the floor of each run (paced runs only) and the runs that came in below it.
std::map<std::string, std::vector<double>> floors;
std::map<std::string, int> belowFloor;

void measure(benchmark::State& state, const std::string& name, const fs::path& directory, bool fixedStep)
{
    for (auto _ : state) {
        int loadingSteps = -1;
        const double seconds = playerToMenuOnce(directory, fixedStep, loadingSteps);
        if (seconds < 0 || loadingSteps < 0) {
            state.SkipWithError("the program failed or never showed its menu");
            return;
        }
        state.SetIterationTime(seconds);
        times[name].push_back(seconds);
        if (fixedStep)
            continue;
        const double floor = zqbench::menuFloorSeconds(loadingSteps);
        floors[name].push_back(floor);
        belowFloor[name] += seconds < floor ? 1 : 0;
    }
}

struct Case {
    const char* name;
    const char* folder;
    bool fixedStep;
};
constexpr Case kCases[] = {
    {"menu from the directory, 60 fps", "plain", false},
    {"menu from the archive, 60 fps", "archive", false},
    {"menu from the directory, fixed step", "plain", true},
    {"menu from the archive, fixed step", "archive", true},
};
constexpr const char* kBaseline = "bare window";

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RegisterBenchmark(kBaseline, [](benchmark::State& state) {
        for (auto _ : state) {
            const double seconds = bareWindowOnce();
            if (seconds < 0) {
                state.SkipWithError("the bare window failed");
                return;
            }
            state.SetIterationTime(seconds);
            times[kBaseline].push_back(seconds);
        }
    })->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(kRepetitions);
    for (const Case& row : kCases) {
        benchmark::RegisterBenchmark(row.name, [row](benchmark::State& state) {
            measure(state, row.name, fixture().root / row.folder, row.fixedStep);
        })->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(kRepetitions);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double bare = zqbench::median(times[kBaseline]);
    std::printf("%s (start to exit): median %.1f ms over %zu runs\n", kBaseline, bare * 1e3, times[kBaseline].size());
    for (const Case& row : kCases) {
        const double player = zqbench::median(times[row.name]);
        if (player <= 0 || bare <= 0)
            continue;
        if (belowFloor[row.name] > 0) {
            std::printf("%s: %d of %zu runs reached the menu sooner than its floor: the clock or the pace is "
                        "wrong, no figure\n",
                        row.name, belowFloor[row.name], times[row.name].size());
            continue;
        }
        std::printf("%s: median %.1f ms over %zu runs; ratio of medians to the %s %.2f%s\n", row.name,
                    player * 1e3, times[row.name].size(), kBaseline, player / bare, player <= 1.0 ? "" : " (over 1 s)");
        if (!floors[row.name].empty()) {
            const double floor = zqbench::median(floors[row.name]);
            std::printf("  floor: %.0f frames at 60 fps (10 + the loading steps), %.1f ms; the median is %.1f ms "
                        "above it, ratio %.2f\n",
                        floor * 60.0, floor * 1e3, (player - floor) * 1e3, player / floor);
        }
    }
    return 0;
}
