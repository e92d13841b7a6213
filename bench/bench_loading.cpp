// The whole loading of a generated game of 10,000 models, as the player runs it (preload
// and steps), from the data directory and from the archive, against the baseline of a
// bare msgpack-c unpack of the same model bytes. Prints models and MB per second, the
// ratio of each load to the baseline, and the process's peak memory after the runs.
#include "model/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"
#include "cocos2d.h"

#include <benchmark/benchmark.h>
#include <msgpack.hpp>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kModelCount = 10000;

// The generated game written twice below a temporary directory: plain/data and
// archive/data/data.pkg; and the model files' bytes back to back for the baseline.
struct Fixture {
    std::filesystem::path root;
    std::vector<char> modelBytes;
    std::size_t models = 0;

    Fixture()
    {
        root = std::filesystem::temp_directory_path() / ("zq_bench_loading_" + std::to_string(getpid()));
        std::filesystem::remove_all(root);
        ZqModelController& controller = *ZqModelController::shared();
        ZqSampleGame::Generated game;
        game.modelCount = kModelCount;
        ZqSampleGame::buildGenerated(controller, game);
        ZqDataWriter::Options options;
        options.modelsPerFile = 1000;
        ZqDataWriter writer(controller, options);
        for (const ZqDataFile& file : writer.buildFiles()) {
            if (file.name != "Keys.pack")
                modelBytes.insert(modelBytes.end(), file.bytes.begin(), file.bytes.end());
        }
        writer.write((root / "plain" / "data").string());
        options.plainFiles = false;
        options.archive = true;
        ZqDataWriter(controller, options).write((root / "archive" / "data").string());
        controller.reset();
    }
    ~Fixture() { std::filesystem::remove_all(root); }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// The player's load of the game below directory; returns the models registered.
std::size_t load(const std::string& directory)
{
    ZqModelController& controller = *ZqModelController::shared();
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(directory);
    const bool archive = ZqModelController::archiveIsPresent("data/data.pkg");
    controller.setArchiveMode(archive);
    const std::string password(kZqArchivePasswordText);
    controller.preload("data/data.pkg", password);
    bool done = controller.loadingFailed();
    while (!done)
        done = archive ? controller.loadNextArchiveFile(password) : controller.loadNextPlainFile();
    controller.closeArchive();
    if (controller.loadingFailed())
        throw std::runtime_error("loading failed: " + controller.errorText());
    std::size_t models = 0;
    for (const auto& entry : controller.modelsByType())
        models += entry.second.size();
    return models;
}

// Mean seconds per iteration of each benchmark, for the summary.
double bareSeconds = 0;
double directorySeconds = 0;
double archiveSeconds = 0;

// Times body() alone; the models of the previous iteration are dropped outside the timing.
template <class Body>
void timed(benchmark::State& state, double& mean, Body body)
{
    double total = 0;
    for (auto _ : state) {
        ZqModelController::shared()->reset();
        ZqModelController::shared()->addModelClasses(ZqSampleGame::generatedModelClasses());
        const auto start = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    mean = total / static_cast<double>(state.iterations());
    const double bytes = static_cast<double>(fixture().modelBytes.size());
    state.counters["models/s"] = benchmark::Counter(static_cast<double>(kModelCount) / mean);
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6 / mean);
}

void BM_BareMsgpackUnpack(benchmark::State& state)
{
    const std::vector<char>& bytes = fixture().modelBytes;
    timed(state, bareSeconds, [&] {
        std::size_t offset = 0;
        while (offset < bytes.size()) {
            msgpack::object_handle handle = msgpack::unpack(bytes.data(), bytes.size(), offset);
            benchmark::DoNotOptimize(handle.get().type);
        }
    });
}

void loadBenchmark(benchmark::State& state, const char* mode, double& mean)
{
    const std::string directory = (fixture().root / mode).string();
    std::size_t models = 0;
    timed(state, mean, [&] { models = load(directory); });
    if (models != kModelCount + 1)
        state.SkipWithError("the load did not give every model");
}

void BM_LoadFromDirectory(benchmark::State& state) { loadBenchmark(state, "plain", directorySeconds); }
void BM_LoadFromArchive(benchmark::State& state) { loadBenchmark(state, "archive", archiveSeconds); }

BENCHMARK(BM_BareMsgpackUnpack)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadFromDirectory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadFromArchive)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double megabytes = static_cast<double>(fixture().modelBytes.size()) / 1e6;
    std::printf("game: %zu models, %.2f MB of model files\n", kModelCount + 1, megabytes);
    for (const auto& [name, seconds] : {std::pair{"directory", directorySeconds}, std::pair{"archive", archiveSeconds}}) {
        if (seconds <= 0 || bareSeconds <= 0)
            continue;
        std::printf("load from %s: %.1f ms, %.0f models/s, %.1f MB/s; bare unpack %.1f ms; ratio %.2f\n", name,
                    seconds * 1e3, static_cast<double>(kModelCount) / seconds, megabytes / seconds,
                    bareSeconds * 1e3, seconds / bareSeconds);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (maxrss): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    ZqModelController::shared()->reset();
    return 0;
}
