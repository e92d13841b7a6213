// Saving and loading a large saved progress (1,000 score records, 1,000 purchase flags,
// 100 refill timers, 100 checkpoints) through the real store and its atomic write, against
// the baseline of the bare store setting and flushing the same keys and values, and
// reading them back. Prints milliseconds per save and per load (medians over every timed
// iteration of 5 repetitions) and the ratio of each to its baseline.
#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelAssets.h"
#include "bench/bench_support.h"
#include "cocos2d.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using cocos2d::CCUserDefault;

// Every key the progress writes and its stored text, as one save left them.
std::vector<std::pair<std::string, std::string>> storedValues;
std::map<std::string, std::vector<double>> timings; // seconds per timed iteration

void fillProgress()
{
    ZqModelController& controller = *ZqModelController::shared();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    for (int i = 0; i < 1000; ++i) {
        ScoreRecord& record = ScoreRegistry::recordFor("Scene " + std::to_string(i));
        record.distance.add(1234.5f + static_cast<float>(i));
        record.points.add(i * 7);
        record.coins.add(i * 3);
        purchasedItemFlag("Purchase " + std::to_string(i)) = i % 2 == 0;
    }
    for (int i = 0; i < 100; ++i) {
        std::shared_ptr<ZqModelAssetPowerup> powerup = controller.createModel<ZqModelAssetPowerup>();
        settings->setInventoryCount(powerup, i % 3);
        settings->startRefill(powerup->id(), 5 + i, 3);
        ZqPSettingsController::Checkpoint checkpoint{i, 100.0f * static_cast<float>(i), 1136.0f,
                                                     cocos2d::CCPoint(20.0f * static_cast<float>(i), 64.0f),
                                                     ZqPSettingsController::Checkpoint::Snapshot{50.5f, i, i / 2}};
        settings->setCheckpoint("Scene " + std::to_string(i), checkpoint);
    }
    while (ZqModelLoader::shared()->nextPhase() < ZqModelLoader::kLoadingDone) { }
    if (!settings->save())
        std::abort();
    const char* keys[] = {"Kw_Version", "ZqP_Scores", "ZqP_LockStates", "PZq_Checkpoints", "ZqP_RefillPowerup_count",
                          "ZqP_Inventory_count", "ZqP_Characters_count", "ZqP_selectedCharacter", "ZqP_removeAds",
                          "ZqP_fullscreen", "ZqP_muteEffectsSound", "ZqP_muteBackgroundSound"};
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    for (const char* key : keys)
        storedValues.emplace_back(key, store->getStringForKey(key));
    for (int i = 0; i < 100; ++i) {
        for (const char* format : {"ZqP_RefillPowerup_", "ZqP_Inventory_"}) {
            const std::string key = format + std::to_string(i);
            storedValues.emplace_back(key, store->getStringForKey(key.c_str()));
        }
    }
    for (int i = 0; i < store->getIntegerForKey("ZqP_Characters_count"); ++i) {
        const std::string key = "ZqP_Character_" + std::to_string(i);
        storedValues.emplace_back(key, store->getStringForKey(key.c_str()));
    }
}

template <class Body>
void timed(benchmark::State& state, const char* name, Body body)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        timings[name].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void BM_BareStoreSave(benchmark::State& state)
{
    CCUserDefault* store = CCUserDefault::sharedUserDefault();
    timed(state, "bare save", [&] {
        for (const auto& [key, value] : storedValues)
            store->setStringForKey(key.c_str(), value);
        store->flush();
    });
}

void BM_ProgressSave(benchmark::State& state)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    timed(state, "progress save", [&] { benchmark::DoNotOptimize(settings->save()); });
}

void BM_BareStoreLoad(benchmark::State& state)
{
    timed(state, "bare load", [&] {
        CCUserDefault::purgeSharedUserDefault();
        CCUserDefault* store = CCUserDefault::sharedUserDefault();
        for (const auto& [key, value] : storedValues)
            benchmark::DoNotOptimize(store->getStringForKey(key.c_str()));
    });
}

void BM_ProgressLoad(benchmark::State& state)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    timed(state, "progress load", [&] {
        CCUserDefault::purgeSharedUserDefault();
        settings->load();
    });
}

BENCHMARK(BM_BareStoreSave)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5);
BENCHMARK(BM_ProgressSave)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5);
BENCHMARK(BM_BareStoreLoad)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5);
BENCHMARK(BM_ProgressLoad)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("zq_bench_progress_" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    setenv("ZQ_DATA_HOME", home.c_str(), 1);
    fillProgress();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("progress: %zu store keys, %zu bytes of values\n", storedValues.size(),
                [] {
                    std::size_t bytes = 0;
                    for (const auto& entry : storedValues)
                        bytes += entry.first.size() + entry.second.size();
                    return bytes;
                }());
    for (const auto& [what, bare] : {std::pair{"save", "bare save"}, std::pair{"load", "bare load"}}) {
        zqbench::printRatio(std::string("progress ") + what, zqbench::median(timings[std::string("progress ") + what]),
                            std::string(bare) + " of the store", zqbench::median(timings[bare]));
    }
    ZqPSettingsController::purgeShared();
    CCUserDefault::purgeSharedUserDefault();
    ZqModelController::shared()->reset();
    std::filesystem::remove_all(home);
    return 0;
}
