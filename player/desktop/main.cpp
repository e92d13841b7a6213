#include "model/ZqGameSecrets.h"
#include "model/ZqModel.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"

#include <ZqLog.h>

#include <cstdio>
#include <map>
#include <string>

// The program entry. For now it runs the loading of the game data headless, from
// data/data.pkg when that file is there and not empty, else from the data directory
// (both below the working directory), prints what was loaded and ends: 0 when every
// file was read, 1 with the loader's error text when loading failed.
int main()
{
    ZqModelController* controller = ZqModelController::shared();
    controller->reset();
    const std::string archivePath = "data/data.pkg";
    const bool archive = ZqModelController::archiveIsPresent(archivePath);
    controller->setArchiveMode(archive);
    std::string password(kZqArchivePasswordText);

    std::printf("Loading the game from %s\n", archive ? archivePath.c_str() : "the data directory");
    controller->preload(archivePath, password);
    int steps = 0;
    int shownProgress = -10;
    bool done = controller->loadingFailed();
    while (!done) {
        done = archive ? controller->loadNextArchiveFile(password) : controller->loadNextPlainFile();
        ++steps;
        // Whole tens only: a plain-mode load takes a step for every class and kind.
        const int progress = controller->loadingProgress();
        if (progress / 10 != shownProgress / 10) {
            std::printf("  step %d: %d%%\n", steps, progress);
            shownProgress = progress;
        }
    }
    password.clear();
    controller->closeArchive();

    if (controller->loadingFailed()) {
        std::fprintf(stderr, "Loading failed: %s\n", controller->errorText().c_str());
        return 1;
    }
    debugLog("End loading XML");

    std::map<std::string, std::size_t> counts;
    std::size_t total = 0;
    for (const auto& entry : controller->modelsByType()) {
        if (!entry.second.empty())
            counts[entry.second.front()->className()] += entry.second.size();
        total += entry.second.size();
    }
    std::printf("Loaded %zu models in %d steps:\n", total, steps);
    for (const auto& [className, count] : counts)
        std::printf("  %s: %zu\n", className.c_str(), count);
    std::printf("Application Name: %s\n", ZqModelGeneralSettings::shared()->applicationName().c_str());
    return 0;
}
