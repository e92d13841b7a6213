// The sample game in process under seeded random input for a million frames, as the soak
// test plays it (tests/support/random_input.h), without the sanitizers. The first 10,000
// frames warm up; the baseline is the same run right after them. Printed: the resident
// memory after the warm-up and at the end with their ratio (goal at most 1.05), and the
// median frame time of the last 10,000 frames against that of the first 10,000 after the
// warm-up (goal at most 1.1). The frames after the warm-up run as repetitions of 2,000
// frames, so each 10,000 compared is 5 repetitions. --frames=N plays N frames in all.
#include "screens/program/headless_player.h"
#include "support/random_input.h"

#include "bench/bench_support.h"
#include "tools/ZqSampleGame.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr long kWarmUp = 10000;
constexpr long kCompared = 10000;
constexpr long kRepetitionFrames = 2000;

long g_frames = 1000000;
std::unique_ptr<HeadlessPlayer> g_player;
std::unique_ptr<RandomInput> g_input;
// Every timed frame's seconds, in order; allocated before the warm-up ends, so that it
// adds nothing to the resident memory measured after it.
std::vector<float> g_frameSeconds;
long g_timed = 0;

// Resident memory in bytes, from /proc/self/statm; 0 when unreadable.
double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    if (!(statm >> size >> resident))
        return 0.0;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// A player that has ended (SIGTERM or SIGINT close its window, as they close the
// program's) is stepped no more: its screens and field are gone.
void BM_SampleFrames(benchmark::State& state)
{
    if (!g_player->running())
        state.SkipWithError("the program ended");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        g_input->step();
        const auto end = std::chrono::steady_clock::now();
        if (g_timed < static_cast<long>(g_frameSeconds.size()))
            g_frameSeconds[static_cast<std::size_t>(g_timed++)] = std::chrono::duration<float>(end - start).count();
        if (!g_player->running()) {
            state.SkipWithError("the program ended");
            break;
        }
    }
}

double medianOf(long first, long count)
{
    const auto begin = g_frameSeconds.begin() + first;
    return zqbench::median(std::vector<double>(begin, begin + count));
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0)
            g_frames = std::atol(argv[i] + 9);
    }
    const long timedFrames = (g_frames - kWarmUp) / kRepetitionFrames * kRepetitionFrames;
    if (timedFrames < 2 * kCompared) {
        std::fprintf(stderr, "bench_soak: --frames must reach %ld\n", kWarmUp + 2 * kCompared);
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::filesystem::path root
        = std::filesystem::temp_directory_path() / ("zq-bench-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "store");
    ZqSampleGame::write(*ZqModelController::shared(), (root / "data").string(), ZqDataWriter::Options());
    ZqModelController::shared()->reset();

    g_player = std::make_unique<HeadlessPlayer>();
    HeadlessPlayer::Options options;
    options.gameDirectory = root.string();
    options.storeDirectory = (root / "store").string();
    std::string error;
    if (!g_player->start(options, &error)) {
        std::fprintf(stderr, "bench_soak: %s\n", error.c_str());
        return 1;
    }
    g_input = std::make_unique<RandomInput>(*g_player, 2024);
    g_frameSeconds.assign(static_cast<std::size_t>(timedFrames), 0.0f);
    for (long frame = 0; frame < kWarmUp && g_player->running(); ++frame)
        g_input->step();
    const double residentAfterWarmUp = residentBytes();

    benchmark::RegisterBenchmark("sample frames after the warm-up", BM_SampleFrames)
        ->Iterations(kRepetitionFrames)
        ->Repetitions(static_cast<int>(timedFrames / kRepetitionFrames))
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double residentAtEnd = residentBytes();

    std::printf("frames: %ld (%ld of warm-up, %ld timed)\n", kWarmUp + g_timed, kWarmUp, g_timed);
    if (!g_player->running())
        std::printf("the program ended during the run: no figures\n");
    else if (g_timed == timedFrames) {
        std::printf(
            "resident memory after the warm-up: %.1f MiB; at the end: %.1f MiB; ratio %.3f (goal at most 1.05)\n",
            residentAfterWarmUp / 1048576.0, residentAtEnd / 1048576.0, residentAtEnd / residentAfterWarmUp);
        zqbench::printRatio("median frame, last 10,000 frames", medianOf(g_timed - kCompared, kCompared),
                            "first 10,000 after the warm-up", medianOf(0, kCompared));
        std::printf("(goal at most 1.1)\n");
    }
    g_input.reset();
    g_player.reset();
    std::filesystem::remove_all(root);
    return 0;
}
