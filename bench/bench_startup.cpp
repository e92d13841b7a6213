// Start to the first drawn frame of the sample game, from the data directory and from the
// archive: the real player run in a fresh process each time (ZQ_FIXED_STEP=1,
// ZQ_EXIT_FRAME=1, SDL's offscreen driver), against the baseline of a bare SDL window
// with a GL context, one clear and one swap, in a fresh process too (SDL's video stays up
// for a process). Each time covers the process from its start to its exit. Prints the
// median milliseconds of each over 5 repetitions and each player's ratio to the baseline.
#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The sample game exported below a temporary directory: plain/data and archive/data.
struct Fixture {
    fs::path root;

    Fixture()
    {
        root = fs::temp_directory_path() / ("zq_bench_startup_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        for (const char* arguments : {" plain", " archive --archive"}) {
            const std::string command = "cd '" + root.string() + "' && '" ZQ_EXPORT_PROGRAM "'" + arguments +
                                        " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "exporting the sample game failed: %s\n", command.c_str());
        }
    }
    ~Fixture() { fs::remove_all(root); }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

std::vector<double> bareTimes;
std::vector<double> directoryTimes;
std::vector<double> archiveTimes;

void measure(benchmark::State& state, const char* program, const fs::path& directory, std::vector<double>& times)
{
    for (auto _ : state) {
        const zqbench::ProgramRun run = zqbench::runProgram(program, directory, fixture().root / "store");
        if (run.exitStatus != 0) {
            state.SkipWithError("the program failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        times.push_back(run.seconds);
    }
}

void BM_BareWindow(benchmark::State& state) { measure(state, ZQ_BARE_WINDOW_PROGRAM, fixture().root, bareTimes); }
void BM_PlayerFromDirectory(benchmark::State& state)
{
    measure(state, ZQ_PLAYER_PROGRAM, fixture().root / "plain", directoryTimes);
}
void BM_PlayerFromArchive(benchmark::State& state)
{
    measure(state, ZQ_PLAYER_PROGRAM, fixture().root / "archive", archiveTimes);
}

BENCHMARK(BM_BareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(BM_PlayerFromDirectory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(BM_PlayerFromArchive)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("(medians over %zu runs each)\n", bareTimes.size());
    for (const auto& [name, times] : {std::pair{"directory", &directoryTimes}, std::pair{"archive", &archiveTimes}}) {
        zqbench::printRatio(std::string("player from the ") + name + " to its first frame", zqbench::median(*times),
                            "bare SDL window, clear and swap", zqbench::median(bareTimes));
    }
    return 0;
}
