// Feeds arbitrary bytes to the controller as an attributes file and then as a
// connections file, once through the one-pass visitor road and once through the map road.
// Bad data must end in the controller's failed state, and both roads must give the same
// models and the same error; a difference, a crash, a sanitizer report or an escaping
// exception is a finding.
//
// Run with ZQ_FUZZ_WRITE_SEEDS=<directory> it writes its seeds instead: the sample game's
// model files coded with this target's own key table, so that the seeds reach the readers.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/ZqModelGeneralSettings.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

// Fixed codes for the fixed names; every other key the registered classes write, and the
// keys of curves, gradients, shapes and links, numbered in name order from 60.
const KeyCodeTable& keyTable()
{
    static const KeyCodeTable table = [] {
        KeyCodeTable codes = fixedKeyCodeTable();
        std::set<std::string> names = {"children", "connectedModelId", "attributeName", "variableValue", "isEmpty",
                                       "enum", "animations", "animationsX", "animationsY", "isXEmpty", "isYEmpty",
                                       "points", "preset", "state", "animation", "pos", "color", "gradients",
                                       "platformSpecificValues", "oneWayCollisionVector", "attributesCount"};
        for (const std::string& className : ZqModelController::shared()->registry().classNames()) {
            const std::shared_ptr<ZqModel> model = ZqModelController::shared()->registry().create(className);
            if (!model)
                continue;
            keyNameSet().clear();
            model->collectKeys();
            names.insert(keyNameSet().begin(), keyNameSet().end());
        }
        keyNameSet().clear();
        int32_t code = 60;
        for (const std::string& name : names)
            codes.emplace(name, code++);
        ZqModelController::shared()->reset();
        return codes;
    }();
    return table;
}

// What a road left: the error text, and every model's class and packed maps.
std::string outcome(ZqModelController& controller)
{
    std::string text = ZqModelLoader::shared()->errorText() + "\n";
    for (const auto& [type, models] : controller.modelsByType()) {
        for (const std::shared_ptr<ZqModel>& model : models) {
            msgpack::zone zone;
            MessagePackMap attributes(&zone);
            MessagePackMap connections(&zone);
            msgpack::sbuffer bytes;
            try {
                model->packAttributes(attributes);
                model->packConnections(connections);
                packObject(bytes, attributes.toObject());
                packObject(bytes, connections.toObject());
            } catch (const std::exception& error) {
                bytes.write(error.what(), std::strlen(error.what()));
            }
            text += std::to_string(model->id()) + " " + model->className() + " " +
                    std::string(bytes.data(), bytes.size()) + "\n";
        }
    }
    return text;
}

std::string readWith(ZqModelFileRoad road, const uint8_t* data, size_t size)
{
    ZqModelController* controller = ZqModelController::shared();
    ZqModelLoader& loader = *ZqModelLoader::shared();
    controller->reset();
    installKeyDictionary(keyTable());
    loader.setModelFileRoad(road);
    loader.parseModelFile(data, size, ZqModelLoader::kAttributesFile);
    loader.parseModelFile(data, size, ZqModelLoader::kConnectionsFile);
    return outcome(*controller);
}

// The sample game's model files, each model packed with this target's codes, and the
// whole game as one attributes file and one connections file: seeds of a size the
// sample's own files never reach, from which the fuzzer meets the 32-bit lengths.
void writeSeeds(const std::string& directory)
{
    ZqModelController& controller = *ZqModelController::shared();
    const KeyCodeTable& codes = keyTable();
    ZqSampleGame::build(controller);
    installKeyDictionary(codes);
    int written = 0;
    auto write = [&](const std::string& name, const msgpack::sbuffer& file) {
        std::ofstream out(directory + "/" + name, std::ios::binary);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        ++written;
    };
    for (ZqModelLoader::FileKind kind : {ZqModelLoader::kAttributesFile, ZqModelLoader::kConnectionsFile}) {
        const std::string suffix = kind == ZqModelLoader::kAttributesFile ? ".attributes" : ".connections";
        msgpack::sbuffer game;
        for (const auto& [type, models] : controller.modelsByType()) {
            msgpack::sbuffer file;
            for (const std::shared_ptr<ZqModel>& model : models) {
                msgpack::zone zone;
                MessagePackMap map(&zone);
                try {
                    kind == ZqModelLoader::kAttributesFile ? model->packAttributes(map) : model->packConnections(map);
                } catch (const std::exception&) {
                    continue; // a key this table lacks: the model is left out
                }
                packObject(file, map.toObject());
            }
            if (models.empty() || file.size() == 0)
                continue;
            write(models.front()->className() + suffix, file);
            game.write(file.data(), file.size());
        }
        write(std::string("Game") + suffix, game);
    }
    std::printf("%d seeds written\n", written);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zqSetLogSink([](const char*) {});
    if (const char* directory = std::getenv("ZQ_FUZZ_WRITE_SEEDS")) {
        writeSeeds(directory);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string visitor = readWith(ZqModelFileRoad::kVisitor, data, size);
    const std::string parse = readWith(ZqModelFileRoad::kParse, data, size);
    const std::string maps = readWith(ZqModelFileRoad::kMaps, data, size);
    if (visitor != maps || parse != maps) {
        std::fprintf(stderr, "the roads differ:\n--- visitor\n%s--- parse\n%s--- maps\n%s", visitor.c_str(),
                     parse.c_str(), maps.c_str());
        std::abort();
    }
    return 0;
}
