// The whole loading of a generated game of 10,000 models, as the player runs it (preload
// and steps), and of one a model past the limit a load may register (refused at it), from the data directory and from the archive, each against its floor:
//   directory: reading the same model files from the page cache and a bare msgpack-c
//              unpack of their bytes into one reused zone;
//   archive:   the same unpack after reading, decrypting and inflating the same members
//              with the archive reader.
// Each iteration times the floor and then the load, one after the other, so that neither
// runs warm on the other's cache; both in thread CPU time, the models of the previous
// load dropped outside the timed region. The summary prints the medians over the
// repetitions of both loads and both floors, the ratios of the medians, models per second,
// and beside each load the heap its game holds and the time a reset takes to drop it
// (thread CPU time, median), then the peak memory. The loader's log lines are formatted
// and counted but not written: what writing them costs depends on where standard error
// goes (a terminal, a pipe, a file), not on the loader.
#include "model/loading/ZqArchiveReader.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"
#include "bench/bench_games.h"
#include "bench/bench_support.h"
#include "cocos2d.h"

#include <ZqLog.h>
#include <benchmark/benchmark.h>
#include <msgpack.hpp>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kModelCount = 10000;
constexpr int kRepetitions = 7;
constexpr int kIterations = 5;

using zqbench::threadSeconds;

// The generated game written twice below a temporary directory: plain/data and
// archive/data/data.pkg, with the names and total size of its model files.
struct Fixture {
    zqbench::ScratchDirectory scratch{"zq_bench_loading"};
    const std::filesystem::path& root = scratch.root;
    std::vector<std::string> modelFiles;
    std::size_t modelBytes = 0;

    Fixture()
    {
        zqbench::writeGeneratedGame(kModelCount, [&](ZqModelController& controller) {
            ZqDataWriter::Options options;
            options.modelsPerFile = 1000;
            ZqDataWriter writer(controller, options);
            for (const ZqDataFile& file : writer.buildFiles()) {
                if (file.name == "Keys.pack")
                    continue;
                modelFiles.push_back(file.name);
                modelBytes += file.bytes.size();
            }
            writer.write((root / "plain" / "data").string());
            options.plainFiles = false;
            options.archive = true;
            ZqDataWriter(controller, options).write((root / "archive" / "data").string());
        });
    }
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
    ZqModelLoader& loader = *ZqModelLoader::shared();
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(directory);
    const bool archive = ZqModelLoader::archiveIsPresent("data/data.pkg");
    loader.setArchiveMode(archive);
    const std::string password(kZqArchivePasswordText);
    loader.preload("data/data.pkg", password);
    bool done = loader.loadingFailed();
    while (!done)
        done = archive ? loader.loadNextArchiveFile(password) : loader.loadNextPlainFile();
    loader.closeArchive();
    if (loader.loadingFailed())
        throw std::runtime_error("loading failed: " + loader.errorText());
    std::size_t models = 0;
    for (const auto& entry : controller.modelsByType())
        models += entry.second.size();
    return models;
}

// Seconds per iteration of every repetition, by name ("directory", "directory floor"...).
std::map<std::string, std::vector<double>> repetitionSeconds;
// Bytes of heap the loaded game holds, by name of the load.
std::map<std::string, double> heldBytes;

// Drops the models of the previous load; returns the reset's seconds.
double dropModels()
{
    const double start = threadSeconds();
    ZqModelController::shared()->reset();
    const double seconds = threadSeconds() - start;
    ZqModelController::shared()->addModelClasses(ZqSampleGame::generatedModelClasses());
    return seconds;
}

// The floor of reading the model bytes: every map unpacked into one zone, cleared after each.
void unpackAll(const char* data, std::size_t size, msgpack::zone& zone)
{
    std::size_t offset = 0;
    while (offset < size) {
        const msgpack::object object = msgpack::unpack(zone, data, size, offset);
        benchmark::DoNotOptimize(object.type);
        zone.clear();
    }
}

// The directory floor: each model file read whole from the page cache, then unpacked.
void directoryFloor(msgpack::zone& zone)
{
    const std::filesystem::path directory = fixture().root / "plain" / "data";
    std::vector<char> bytes;
    for (const std::string& name : fixture().modelFiles) {
        // Sized first and read in one call: the least a read of the file costs.
        std::ifstream file(directory / name, std::ios::binary);
        bytes.resize(static_cast<std::size_t>(std::filesystem::file_size(directory / name)));
        if (bytes.empty() || !file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            throw std::runtime_error("cannot read " + name);
        unpackAll(bytes.data(), bytes.size(), zone);
    }
}

// The archive floor: each member read, decrypted and inflated, then unpacked.
void archiveFloor(msgpack::zone& zone)
{
    const std::string archivePath = (fixture().root / "archive" / "data" / "data.pkg").string();
    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    ZqArchiveReader reader(archivePath);
    for (const std::string& name : fixture().modelFiles) {
        const std::optional<std::vector<unsigned char>> bytes = reader.readFile(name, password);
        if (!bytes)
            throw std::runtime_error("the archive lacks " + name);
        unpackAll(reinterpret_cast<const char*>(bytes->data()), bytes->size(), zone);
    }
}

// Floor and load in turn each iteration; the load's time is the benchmark's, the floor's
// is kept beside it for the summary.
template <class Floor>
void loadBenchmark(benchmark::State& state, const std::string& mode, const std::string& name, Floor floor)
{
    const std::string directory = (fixture().root / mode).string();
    msgpack::zone zone;
    std::size_t models = 0;
    double floorTotal = 0;
    double loadTotal = 0;
    std::vector<double> resetSeconds;
    for (auto _ : state) {
        // The first iteration's reset drops another benchmark's game, or none.
        const double reset = dropModels();
        if (models != 0)
            resetSeconds.push_back(reset);
        double start = threadSeconds();
        floor(zone);
        const double floorSeconds = threadSeconds() - start;
        start = threadSeconds();
        models = load(directory);
        const double loadSeconds = threadSeconds() - start;
        state.SetIterationTime(loadSeconds);
        floorTotal += floorSeconds;
        loadTotal += loadSeconds;
    }
    const double iterations = static_cast<double>(state.iterations());
    repetitionSeconds[name].push_back(loadTotal / iterations);
    repetitionSeconds[name + " floor"].push_back(floorTotal / iterations);
    if (!resetSeconds.empty())
        repetitionSeconds[name + " reset"].push_back(zqbench::median(resetSeconds));
    state.counters["models/s"] = benchmark::Counter(static_cast<double>(kModelCount) * iterations / loadTotal);
    if (models != kModelCount + 1)
        state.SkipWithError("the load did not give every model");
    // The heap the loaded game holds: after a reset, and again with the game loaded.
    dropModels();
    const double before = static_cast<double>(mallinfo2().uordblks);
    load(directory);
    heldBytes[name] = static_cast<double>(mallinfo2().uordblks) - before;
}

void BM_LoadFromDirectory(benchmark::State& state) { loadBenchmark(state, "plain", "directory", directoryFloor); }
void BM_LoadFromArchive(benchmark::State& state) { loadBenchmark(state, "archive", "archive", archiveFloor); }

// A game of one model more than a load may register, as tiny as models come: its load
// must fail at the limit, having taken no more memory than the models up to it.
double limitHeldBytes = 0;
double limitSeconds = 0;
std::string limitError;

void BM_LoadPastTheModelLimit(benchmark::State& state)
{
    const std::filesystem::path root = fixture().root / "limit";
    ZqModelController& controller = *ZqModelController::shared();
    dropModels();
    ZqSampleGame::Generated game;
    game.modelCount = ZqModelLoader::kMaxModels + 1;
    ZqSampleGame::buildGenerated(controller, game);
    ZqDataWriter::Options options;
    options.modelsPerFile = 1000;
    ZqDataWriter(controller, options).write((root / "data").string());
    for (auto _ : state) {
        dropModels();
        const double before = static_cast<double>(mallinfo2().uordblks);
        const double start = threadSeconds();
        try {
            load(root.string());
        } catch (const std::runtime_error& error) {
            limitError = error.what();
        }
        limitSeconds = threadSeconds() - start;
        state.SetIterationTime(limitSeconds);
        limitHeldBytes = static_cast<double>(mallinfo2().uordblks) - before;
    }
    if (limitError.find("more than a game can have") == std::string::npos)
        state.SkipWithError("the load past the limit did not fail at it");
    dropModels();
    std::filesystem::remove_all(root);
}

#define ZQ_LOADING_BENCHMARK(function)                                                                   \
    BENCHMARK(function)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kIterations)           \
        ->Repetitions(kRepetitions)->ReportAggregatesOnly(true)
ZQ_LOADING_BENCHMARK(BM_LoadFromDirectory);
ZQ_LOADING_BENCHMARK(BM_LoadFromArchive);
BENCHMARK(BM_LoadPastTheModelLimit)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    std::size_t logLines = 0;
    zqSetLogSink([&logLines](const char*) { ++logLines; });
    benchmark::RunSpecifiedBenchmarks();
    zqSetLogSink({});
    benchmark::Shutdown();

    const double megabytes = static_cast<double>(fixture().modelBytes) / 1e6;
    std::printf("game: %zu models, %.2f MB of model files in %zu files\n", kModelCount + 1, megabytes,
                fixture().modelFiles.size());
    const struct {
        const char* name;
        const char* floorText;
    } loads[] = {{"directory", "read and unpack"}, {"archive", "read, decrypt, inflate and unpack"}};
    for (const auto& row : loads) {
        const double seconds = zqbench::median(repetitionSeconds[row.name]);
        if (seconds <= 0)
            continue;
        std::printf("load from %s: %.0f models/s, %.1f MB/s\n", row.name, static_cast<double>(kModelCount) / seconds,
                    megabytes / seconds);
        zqbench::printRatio(std::string("load from ") + row.name, seconds, row.floorText,
                            zqbench::median(repetitionSeconds[std::string(row.name) + " floor"]));
        std::printf("game loaded from %s: heap held %.1f MB, reset %.2f ms\n", row.name, heldBytes[row.name] / 1e6,
                    zqbench::median(repetitionSeconds[std::string(row.name) + " reset"]) * 1e3);
    }
    std::printf("(medians of %d repetitions of %d loads each, each load after its floor; ratio = median load / "
                "median floor; %zu log lines counted, not written)\n",
                kRepetitions, kIterations, logLines);
    if (limitSeconds > 0)
        std::printf("a game of %zu models (one past the limit): refused after %.2f s holding %.1f MB (%s)\n",
                    ZqModelLoader::kMaxModels + 2, limitSeconds, limitHeldBytes / 1e6, limitError.c_str());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (maxrss): %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    ZqModelController::shared()->reset();
    return 0;
}
