// zqexport: writes the bundled sample game, or a generated one, as the player reads it.
//   zqexport <output dir> [--archive | --both] [--models N]
// The game goes to <output dir>/data/: plain files, data.pkg alone with --archive, or both
// with --both (the player then reads the archive);
// the sample's media files (atlas, font, music) go there in both cases, and its window's
// icon "icon.ico" and splash "Default.png" into <output dir>.
// --models N writes a generated game instead: the sample's general settings and N models
// of the generated games' class "ZqGeneratedModel", which the tests and benchmarks read
// (they register it) and the player passes over as a class it does not know.
#include "model/ZqModelController.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: zqexport <output dir> [--archive | --both] [--models N]\n");
    return 2;
}

// A whole decimal number of models, at most a million; false otherwise.
bool parseCount(const char* text, std::size_t& count)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || value > 1'000'000ull)
        return false;
    count = static_cast<std::size_t>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string output;
    bool archive = false;
    bool plainFiles = true;
    bool generated = false;
    std::size_t models = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--archive") {
            archive = true;
            plainFiles = false;
        } else if (argument == "--both") {
            archive = true;
        } else if (argument == "--models") {
            if (++i == argc || !parseCount(argv[i], models))
                return usage();
            generated = true;
        } else if (!argument.empty() && argument[0] != '-' && output.empty()) {
            output = argument;
        } else {
            return usage();
        }
    }
    if (output.empty())
        return usage();

    try {
        ZqModelController controller;
        ZqDataWriter::Options options;
        options.plainFiles = plainFiles;
        options.archive = archive;
        const std::string directory = output + "/data";
        if (generated) {
            ZqSampleGame::Generated game;
            game.modelCount = models;
            ZqSampleGame::buildGenerated(controller, game);
            ZqDataWriter(controller, options).write(directory);
        } else {
            ZqSampleGame::write(controller, directory, options);
            ZqSampleGame::writeWindowMedia(output);
        }
        std::size_t total = 0;
        for (const auto& entry : controller.modelsByType())
            total += entry.second.size();
        std::printf("zqexport: wrote %s game (%zu models) to %s%s\n", generated ? "a generated" : "the sample",
                    total, directory.c_str(), archive && !plainFiles ? "/data.pkg" : "");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zqexport: %s\n", e.what());
        return 1;
    }
    return 0;
}
