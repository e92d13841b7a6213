// Opening an archive of many members and walking their names, against the bare minizip
// open and walk that the archive reader wraps. The reader checks every member's local
// header against the central directory as it opens, and minizip reads its headers a few
// bytes at a time through the reader's file functions, so what those functions cost a read
// shows here. Both sides walk the same archive and must count the same members; each
// iteration times the bare walk and then the reader's, in thread CPU time (system calls
// included). The summary prints the medians over the repetitions and their ratio.
#include "model/loading/ZqArchiveReader.h"
#include "tools/ZqDataWriter.h"
#include "bench/bench_games.h"
#include "bench/bench_support.h"

#include <benchmark/benchmark.h>
#include <minizip/unzip.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kModelCount = 4000;
constexpr std::size_t kModelsPerFile = 4;
constexpr int kRepetitions = 7;
constexpr int kIterations = 20;

using zqbench::threadSeconds;

// A generated game's archive with about a thousand members, below a temporary directory.
struct Fixture {
    zqbench::ScratchDirectory scratch{"zq_bench_archive_open"};
    const std::filesystem::path& root = scratch.root;
    std::string archive;

    Fixture()
    {
        zqbench::writeGeneratedGame(kModelCount, [&](ZqModelController& controller) {
            ZqDataWriter::Options options;
            options.modelsPerFile = kModelsPerFile;
            options.plainFiles = false;
            options.archive = true;
            ZqDataWriter(controller, options).write((root / "data").string());
        });
        archive = (root / "data" / "data.pkg").string();
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// The bare library: open by name, walk every entry's directory record.
std::size_t bareWalk(const std::string& path)
{
    unzFile file = unzOpen64(path.c_str());
    if (!file)
        throw std::runtime_error("minizip cannot open " + path);
    std::size_t members = 0;
    for (int at = unzGoToFirstFile(file); at == UNZ_OK; at = unzGoToNextFile(file)) {
        unz_file_info64 info{};
        char name[512];
        if (unzGetCurrentFileInfo64(file, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        members += name[0] != '\0' && name[std::strlen(name) - 1] != '/';
    }
    unzClose(file);
    return members;
}

// The archive reader: its checked open, then its walk of member names.
std::size_t readerWalk(const std::string& path)
{
    ZqArchiveReader reader(path);
    std::size_t members = 0;
    for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile())
        ++members;
    return members;
}

std::vector<double> readerSeconds, bareSeconds;

void BM_OpenAndWalk(benchmark::State& state)
{
    const std::string& path = fixture().archive;
    double bareTotal = 0, readerTotal = 0;
    std::size_t bareMembers = 0, readerMembers = 0;
    for (auto _ : state) {
        double start = threadSeconds();
        bareMembers = bareWalk(path);
        bareTotal += threadSeconds() - start;
        start = threadSeconds();
        readerMembers = readerWalk(path);
        const double seconds = threadSeconds() - start;
        readerTotal += seconds;
        state.SetIterationTime(seconds);
    }
    if (bareMembers == 0 || bareMembers != readerMembers) {
        state.SkipWithError("the reader and minizip walked different members");
        return;
    }
    state.counters["members"] = static_cast<double>(readerMembers);
    // Each repetition's mean time per iteration, for the medians of the summary.
    bareSeconds.push_back(bareTotal / static_cast<double>(state.iterations()));
    readerSeconds.push_back(readerTotal / static_cast<double>(state.iterations()));
}

} // namespace

BENCHMARK(BM_OpenAndWalk)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zqbench::printRatio("archive reader open and walk", zqbench::median(readerSeconds), "bare minizip open and walk",
                        zqbench::median(bareSeconds));
    std::printf("(medians of %zu repetitions of %d walks each, thread CPU time; ratio = reader / bare)\n",
                readerSeconds.size(), kIterations);
    return 0;
}
