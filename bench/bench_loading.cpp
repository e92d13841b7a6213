// The whole loading of a generated game of 10,000 models, as the player runs it (preload
// and steps), from the data directory and from the archive, each against its floor:
//   directory: a bare msgpack-c unpack of the same model bytes, already in memory, into
//              one reused zone;
//   archive:   the same unpack after reading, decrypting and inflating the same members
//              with the archive reader.
// Only the load (or the baseline) is timed, in thread CPU time; the models of the previous
// load are dropped outside the timed region. Each benchmark runs kRepetitions repetitions; the summary
// prints the medians of the repetitions and the ratio of the medians, models per second,
// the heap held by the loaded game and the peak memory. Last, the player program's start
// on the sample game is timed against its start on an empty data directory.
#include "model/ZqArchiveReader.h"
#include "model/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"
#include "bench/bench_support.h"
#include "cocos2d.h"

#include <benchmark/benchmark.h>
#include <msgpack.hpp>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kModelCount = 10000;
constexpr int kRepetitions = 7;
constexpr int kIterations = 5;

// The calling thread's CPU time in seconds (user and system): the machine may be shared
// with other work, which would stretch wall time unevenly between the benchmarks.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The generated game written twice below a temporary directory: plain/data and
// archive/data/data.pkg; the names and bytes of its model files for the baselines; and the
// sample game in sample/data beside an empty data directory for the player's start.
struct Fixture {
    std::filesystem::path root;
    std::vector<std::string> modelFiles;
    std::vector<char> modelBytes;

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
            if (file.name == "Keys.pack")
                continue;
            modelFiles.push_back(file.name);
            modelBytes.insert(modelBytes.end(), file.bytes.begin(), file.bytes.end());
        }
        writer.write((root / "plain" / "data").string());
        options.plainFiles = false;
        options.archive = true;
        ZqDataWriter(controller, options).write((root / "archive" / "data").string());

        ZqSampleGame::build(controller);
        ZqDataWriter(controller, ZqDataWriter::Options()).write((root / "sample" / "data").string());
        std::filesystem::create_directories(root / "empty" / "data");
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

// Seconds per iteration of every repetition of each benchmark, for the summary.
std::map<std::string, std::vector<double>> repetitionSeconds;
// Bytes of heap the loaded game holds.
double heldBytes = 0;

void dropModels()
{
    ZqModelController::shared()->reset();
    ZqModelController::shared()->addModelClasses(ZqSampleGame::generatedModelClasses());
}

// Times body() alone, in thread CPU time: what is dropped between iterations is dropped
// before the clock starts.
template <class Body>
void timed(benchmark::State& state, const char* name, Body body)
{
    double total = 0;
    for (auto _ : state) {
        dropModels();
        const double start = threadSeconds();
        body();
        const double seconds = threadSeconds() - start;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double mean = total / static_cast<double>(state.iterations());
    repetitionSeconds[name].push_back(mean);
    state.counters["models/s"] = benchmark::Counter(static_cast<double>(kModelCount) / mean);
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

void BM_BareUnpack(benchmark::State& state)
{
    const std::vector<char>& bytes = fixture().modelBytes;
    msgpack::zone zone;
    timed(state, "bare", [&] { unpackAll(bytes.data(), bytes.size(), zone); });
}

void BM_ArchiveReadAndUnpack(benchmark::State& state)
{
    const std::string archivePath = (fixture().root / "archive" / "data" / "data.pkg").string();
    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    msgpack::zone zone;
    timed(state, "archive floor", [&] {
        ZqArchiveReader reader(archivePath);
        for (const std::string& name : fixture().modelFiles) {
            const std::optional<std::vector<unsigned char>> bytes = reader.readFile(name, password);
            if (!bytes)
                throw std::runtime_error("the archive lacks " + name);
            unpackAll(reinterpret_cast<const char*>(bytes->data()), bytes->size(), zone);
        }
    });
}

void loadBenchmark(benchmark::State& state, const char* mode, const char* name)
{
    const std::string directory = (fixture().root / mode).string();
    std::size_t models = 0;
    timed(state, name, [&] { models = load(directory); });
    if (models != kModelCount + 1)
        state.SkipWithError("the load did not give every model");
    // The heap the loaded game holds: after a reset, and again with the game loaded.
    dropModels();
    const double before = static_cast<double>(mallinfo2().uordblks);
    load(directory);
    heldBytes = static_cast<double>(mallinfo2().uordblks) - before;
}

void BM_LoadFromDirectory(benchmark::State& state) { loadBenchmark(state, "plain", "directory"); }
void BM_LoadFromArchive(benchmark::State& state) { loadBenchmark(state, "archive", "archive"); }

#define ZQ_LOADING_BENCHMARK(function)                                                                   \
    BENCHMARK(function)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kIterations)           \
        ->Repetitions(kRepetitions)->ReportAggregatesOnly(true)
ZQ_LOADING_BENCHMARK(BM_BareUnpack);
ZQ_LOADING_BENCHMARK(BM_LoadFromDirectory);
ZQ_LOADING_BENCHMARK(BM_ArchiveReadAndUnpack);
ZQ_LOADING_BENCHMARK(BM_LoadFromArchive);

// The player's start, from process start to the exit after its first frame, on the
// sample game against its start on an empty data directory (which it refuses after
// looking): medians of kRepetitions runs.
void printPlayerStart()
{
    std::vector<double> sample;
    std::vector<double> empty;
    for (int k = 0; k < kRepetitions; ++k) {
        sample.push_back(
            zqbench::runProgram(ZQ_PLAYER_PATH, fixture().root / "sample", fixture().root / "store").seconds);
        empty.push_back(
            zqbench::runProgram(ZQ_PLAYER_PATH, fixture().root / "empty", fixture().root / "store").seconds);
    }
    std::printf("(player start: medians of %d runs)\n", kRepetitions);
    zqbench::printRatio("player start on the sample game", zqbench::median(sample), "on an empty data directory",
                        zqbench::median(empty));
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

    const double megabytes = static_cast<double>(fixture().modelBytes.size()) / 1e6;
    std::printf("game: %zu models, %.2f MB of model files in %zu files\n", kModelCount + 1, megabytes,
                fixture().modelFiles.size());
    const struct {
        const char* name;
        const char* floor;
        const char* floorText;
    } loads[] = {{"directory", "bare", "bare unpack"}, {"archive", "archive floor", "read, decrypt, inflate and unpack"}};
    for (const auto& row : loads) {
        const double seconds = zqbench::median(repetitionSeconds[row.name]);
        if (seconds <= 0)
            continue;
        std::printf("load from %s: %.0f models/s, %.1f MB/s\n", row.name, static_cast<double>(kModelCount) / seconds,
                    megabytes / seconds);
        zqbench::printRatio(std::string("load from ") + row.name, seconds, row.floorText,
                            zqbench::median(repetitionSeconds[row.floor]));
    }
    std::printf("(medians of %d repetitions of %d loads each; ratio = median load / median floor)\n", kRepetitions,
                kIterations);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("heap held by the loaded game: %.1f MB; peak memory (maxrss): %.1f MB\n", heldBytes / 1e6,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    ZqModelController::shared()->reset();
    printPlayerStart();
    return 0;
}
