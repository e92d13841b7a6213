// Start to the first drawn frame of the sample game, from the data directory and from the
// archive: the real player run in a fresh process each time (ZQ_FIXED_STEP=1,
// ZQ_EXIT_FRAME=1, SDL's offscreen driver), against the baseline of a bare SDL window
// with a GL context, one clear and one swap, in a fresh process too (SDL's video stays up
// for a process). Each time covers the process from its start to its exit. Prints the
// median milliseconds of each over 5 repetitions and each player's ratio to the baseline.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

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

// Seconds from the start of the program in directory to its exit; negative on failure.
double runOnce(const char* program, const fs::path& directory)
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    for (const char* variable : {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ZQ_FIXED_STEP=1",
                                 "ZQ_EXIT_FRAME=1", "ZQ_SEED=1"})
        environment.emplace_back(variable);
    environment.push_back("ZQ_DATA_HOME=" + (fixture().root / "store").string());
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string path(program);
    char* argv[] = {path.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<double> bareTimes;
std::vector<double> directoryTimes;
std::vector<double> archiveTimes;

void measure(benchmark::State& state, const char* program, const fs::path& directory, std::vector<double>& times)
{
    for (auto _ : state) {
        const double seconds = runOnce(program, directory);
        if (seconds < 0) {
            state.SkipWithError("the program failed");
            return;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds);
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double bare = median(bareTimes);
    std::printf("bare SDL window, clear and swap: median %.1f ms over %zu runs\n", bare * 1e3, bareTimes.size());
    for (const auto& [name, times] : {std::pair{"directory", &directoryTimes}, std::pair{"archive", &archiveTimes}}) {
        const double player = median(*times);
        if (player > 0 && bare > 0)
            std::printf("player from the %s to its first frame: median %.1f ms over %zu runs; ratio %.2f\n", name,
                        player * 1e3, times->size(), player / bare);
    }
    return 0;
}
