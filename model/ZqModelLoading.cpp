// The loading of the game data by the model controller: the key file and the models of
// the loading screen at start-up, then every model file, one per step.
#include "model/ZqModelController.h"

#include "attributes/MessagePackMap.h"
#include "model/ZqArchiveReader.h"
#include "model/ZqGameSecrets.h"
#include "model/ZqModel.h"
#include "model/ZqModelGeneralSettings.h"
#include "cocos2d.h"

#include <ZqLog.h>

#include <algorithm>
#include <filesystem>

using namespace cocos2d;

namespace {

constexpr const char* kKeyFileName = "Keys.pack";
constexpr const char* kFailedKeys = "Failed to load keys";
constexpr const char* kNoArchive = "No data archive";
constinit CachedKeyName kIdKey("id");
constinit CachedKeyName kClassNameKey("Class Name");
// The key file lists a few hundred short names; megabytes of it are damage, and
// splitting them would take hundreds of megabytes.
constexpr std::size_t kMaxKeyFileSize = 8u << 20;

// The first-numbered files of what the loading screen shows (general settings, fonts,
// screens with their children, labels, loading bars), in reading order.
struct PreloadFile {
    const char* name;
    int kind;
};
constexpr PreloadFile kPreloadFiles[] = {
    {"ZqModelGeneralSettings.0.attributes.pack", 0}, {"ZqModelFont.0.attributes.pack", 0},
    {"ZqModelScreen.0.attributes.pack", 0},          {"ZqModelObjectLabel.0.attributes.pack", 0},
    {"ZqModelObjectLoadingBar.0.attributes.pack", 0}, {"ZqModelScreen.0.connections.pack", 1}};

// The part of an archive member's name that marks the files of a phase.
const char* kindMarker(int phase)
{
    return phase == 0 ? ".attributes." : ".connections.";
}

// Logs an archive member the loading cannot place: neither the key file nor a model
// file of a registered class (a damaged or foreign name).
void noteUnknownMember(const ZqModelRegistry& registry, const std::string& name)
{
    const bool modelFile = name.find(".attributes.") != std::string::npos ||
                           name.find(".connections.") != std::string::npos;
    if (name == kKeyFileName || (modelFile && registry.find(name.substr(0, name.find('.')))))
        return;
    debugLog("[ZqModelController] archive member not recognised, passed over: %s", name.c_str());
}

// A whole plain file through the engine; nothing when it is missing or unreadable.
std::optional<std::vector<unsigned char>> readPlain(const std::string& path)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!files->isFileExist(path))
        return std::nullopt;
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(files->getFileData(path.c_str(), "rb", &size));
    if (!data)
        return std::nullopt;
    return std::vector<unsigned char>(data.get(), data.get() + size);
}

} // namespace

bool ZqModelController::archiveIsPresent(const std::string& path)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!files->isFileExist(path))
        return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(files->fullPathForFilename(path), error);
    return !error && size > 0;
}

void ZqModelController::preload(const std::string& archivePath, const std::string& passwordText)
{
    // The first reading of the general settings must see the fixed codes only, not a
    // dictionary left by an earlier game.
    installKeyDictionary({});
    std::optional<std::vector<unsigned char>> keys;
    if (m_archiveMode) {
        if (!openArchive(archivePath))
            return;
        keys = readArchiveFile(kKeyFileName, passwordText);
        if (m_loadingFailed)
            return;
    } else {
        keys = readPlain(m_dataDirectory + "/" + kKeyFileName);
    }
    if (!keys || keys->empty()) {
        failLoading(std::string(kFailedKeys) + ": no key file",
                    std::string(kFailedKeys) + ": \"Keys.pack\" is missing or empty");
        return;
    }
    if (keys->size() > kMaxKeyFileSize) {
        const std::string reason = std::string(kFailedKeys) + ": \"Keys.pack\" is damaged (larger than 8 MiB)";
        failLoading(reason, reason);
        return;
    }
    // The "User ID" of the general settings unscrambles the key file.
    if (loadDataFile(kPreloadFiles[0].name, kPreloadFiles[0].kind, passwordText) == 2)
        return;
    if (!loadKeyFile(keys->data(), keys->size()))
        return;
    for (const PreloadFile& file : kPreloadFiles) {
        if (loadDataFile(file.name, file.kind, passwordText) == 2)
            return;
    }
}

bool ZqModelController::loadNextPlainFile()
{
    LoadingState& state = m_loadingState;
    if (m_loadingFailed || state.phase >= 2)
        return true;
    updateProgress(m_registry.size());
    const int result = loadPlainFile(m_dataDirectory + "/" + modelFileName(), state.phase != 0);
    if (m_loadingFailed)
        return true;
    if (result == 0) {
        ++state.index;
        return false;
    }
    // The first missing number ends the class.
    state.loaded.insert(state.name);
    for (const std::string& name : m_registry.classNames()) {
        if (state.loaded.count(name) == 0) {
            state.name = name;
            state.index = 0;
            return false;
        }
    }
    return nextPhase() == 2;
}

bool ZqModelController::loadNextArchiveFile(const std::string& passwordText)
{
    LoadingState& state = m_loadingState;
    if (m_loadingFailed || state.phase >= 2)
        return true;
    // A load started again after closeArchive: the member to read is found by name, so
    // only the reader is needed again.
    if (!m_archive) {
        if (m_archivePath.empty()) {
            failLoading(kNoArchive, std::string("[ZqModelController] load data - fail: ") + kNoArchive);
            return true;
        }
        if (!openArchive(m_archivePath))
            return true;
    }
    updateProgress(m_archive->modelFileCount(state.phase));
    const bool firstStep = state.firstStep;
    const std::string file = firstStep ? modelFileName() : state.name;
    const int result = loadArchiveFile(file, state.phase != 0, passwordText);
    if (m_loadingFailed)
        return true;
    // Only members present count, so that progress reaches 100 with the last one.
    if (result == 0)
        state.loaded.insert(file);
    state.firstStep = false;
    return walkArchive(firstStep);
}

bool ZqModelController::walkArchive(bool fromFirst)
{
    LoadingState& state = m_loadingState;
    try {
        const char* marker = kindMarker(state.phase);
        // Phase 0 passes every member once: the one walk that reports strange names.
        auto walk = [&](bool first) {
            std::string member = first ? m_archive->firstFile() : m_archive->nextFile();
            if (state.phase == 0 && !member.empty())
                noteUnknownMember(m_registry, member);
            return member;
        };
        std::string name = walk(fromFirst);
        while (!name.empty() && (name.find(marker) == std::string::npos || state.loaded.count(name) != 0))
            name = walk(false);
        if (name.empty())
            return nextPhase() == 2;
        state.name = name;
        return false;
    } catch (const std::exception& error) {
        failFile(m_archivePath, error.what());
        return true;
    }
}

int ZqModelController::loadArchiveFile(const std::string& name, int kind, const std::string& passwordText)
{
    if (!m_archive) {
        failLoading(kNoArchive, std::string("[ZqModelController] load data - fail: ") + kNoArchive);
        return 2;
    }
    debugLog("[ZqModelController] load data(%d) for class from archive file: %s", kind, name.c_str());
    const std::optional<std::vector<unsigned char>> data = readArchiveFile(name, passwordText);
    if (m_loadingFailed)
        return 2;
    if (!data)
        return 1;
    m_loadingFile = name;
    const bool parsed = parseModelFile(data->data(), data->size(), kind);
    m_loadingFile.clear();
    return parsed ? 0 : 2;
}

int ZqModelController::loadPlainFile(const std::string& path, int kind)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!files->isFileExist(path))
        return 1;
    debugLog("[ZqModelController] load data(%d) for class from file: %s", kind, path.c_str());
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(files->getFileData(path.c_str(), "rb", &size));
    if (!data) {
        failFile(path, "the file cannot be read");
        return 2;
    }
    m_loadingFile = path;
    const bool parsed = parseModelFile(data.get(), size, kind);
    m_loadingFile.clear();
    return parsed ? 0 : 2;
}

int ZqModelController::loadDataFile(const std::string& name, int kind, const std::string& passwordText)
{
    if (m_archiveMode)
        return loadArchiveFile(name, kind, passwordText);
    return loadPlainFile(m_dataDirectory + "/" + name, kind);
}

std::optional<std::vector<unsigned char>> ZqModelController::readArchiveFile(const std::string& name,
                                                                             const std::string& passwordText)
{
    if (!m_archive) {
        debugLog("[ZqModelController] readFileArchive error - dataArchive is empty");
        return std::nullopt;
    }
    try {
        return m_archive->readFile(name, decodeArchivePassword(passwordText));
    } catch (const std::exception& error) {
        failFile(name, error.what());
        return std::nullopt;
    }
}

bool ZqModelController::parseModelFile(const unsigned char* bytes, std::size_t size, int kind)
{
    if (!bytes || size == 0)
        return true;
    const char* data = reinterpret_cast<const char*>(bytes);
    std::size_t offset = 0;
    // One zone for the file, cleared after each map: nothing read keeps the objects.
    msgpack::zone zone;
    try {
        while (offset < size) {
            const msgpack::object object = unpackBounded(zone, data, size, offset);
            // A nil object ends the file.
            if (object.type == msgpack::type::NIL)
                break;
            readModelMap(MessagePackMap::fromObject(object), kind);
            zone.clear();
        }
    } catch (const std::exception& error) {
        raiseIdCounter();
        failFile(m_loadingFile.empty() ? std::string("model data") : m_loadingFile,
                 (std::string(error.what()) + " (map at byte " + std::to_string(offset) + ")").c_str());
        return false;
    }
    raiseIdCounter();
    return true;
}

void ZqModelController::readModelMap(const MessagePackMap& map, int kind)
{
    uint32_t id = 0;
    if (!map.getUInt(kIdKey, id))
        return;
    if (kind != 0) {
        if (std::shared_ptr<ZqModel> model = modelById(id))
            model->unpackConnections(map);
        return;
    }
    std::string className;
    if (!map.getString(kClassNameKey, className))
        return;
    std::shared_ptr<ZqModel> model;
    // The registry hands out the one general-settings instance; a new one is read aside.
    if (className == ZqModelGeneralSettings::staticClassName())
        model = ZqModelGeneralSettings::createDetached();
    else if (const ZqModelClass* row = m_registry.find(className))
        model = row->create();
    if (!model)
        return;
    // A map that throws leaves the model it would replace in place.
    model->unpackAttributes(map);
    replaceModel(model);
}

void ZqModelController::replaceModel(const std::shared_ptr<ZqModel>& model)
{
    constexpr std::size_t kGeneralSettings = ZqModelGeneralSettings::staticTypeId();
    if (const std::shared_ptr<ZqModel> old = modelById(model->id())) {
        removeModel(old);
        if (old->typeId() == kGeneralSettings)
            ZqModelGeneralSettings::reset();
    }
    if (model->typeId() == kGeneralSettings)
        ZqModelGeneralSettings::replaceShared(std::static_pointer_cast<ZqModelGeneralSettings>(model));
    else
        addModel(model, -1);
}

void ZqModelController::raiseIdCounter()
{
    // "Last ID" of the general settings may lie below ids of the data; new models must
    // still get ids of their own.
    for (const auto& entry : m_modelsById)
        m_idCounter = std::max(m_idCounter, entry.first);
}

bool ZqModelController::loadKeyFile(const unsigned char* bytes, std::size_t size)
{
    const KeyCodeTable table = readKeyFile(bytes, size, ZqModelGeneralSettings::shared()->userId());
    // Without these every model would read as defaults: a missing or wrongly
    // unscrambled file must not pass for an empty game.
    for (const char* name : {"id", "Class Name", "value"}) {
        if (table.count(name) == 0) {
            failLoading(std::string(kFailedKeys) + ": the key file lacks \"" + name + "\"",
                        std::string(kFailedKeys) + ": \"Keys.pack\" lacks \"" + name + "\"");
            return false;
        }
    }
    installKeyDictionary(table);
    return true;
}

KeyCodeTable ZqModelController::readKeyFile(const unsigned char* bytes, std::size_t size, std::string_view userId)
{
    const std::string text = unscrambleKeyFile(bytes, size, userId);
    KeyCodeTable table;
    int32_t code = 0;
    std::size_t repeated = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            if (!table.emplace(text.substr(start, end - start), code).second)
                ++repeated;
            ++code;
        }
        start = end + 1;
    }
    if (repeated != 0)
        debugLog("[ZqModelController] %zu key names listed again - their first codes kept", repeated);
    return table;
}

std::string ZqModelController::modelFileName() const
{
    const LoadingState& state = m_loadingState;
    if (state.phase >= 2)
        return std::string();
    return state.name + "." + std::to_string(state.index) +
           (state.phase == 0 ? ".attributes.pack" : ".connections.pack");
}

int ZqModelController::nextPhase()
{
    LoadingState& state = m_loadingState;
    state.name = "ZqModelGeneralSettings";
    state.index = 0;
    state.loaded = std::unordered_set<std::string>(8);
    state.phase = std::min(state.phase + 1, 2);
    state.firstStep = true;
    if (state.phase == 2) {
        state.progress = 100;
        raiseIdCounter();
    }
    return state.phase;
}

void ZqModelController::updateProgress(std::size_t fileCount)
{
    LoadingState& state = m_loadingState;
    // Each phase is one half; the files read count against the files there are, and
    // the bar never moves back.
    const double part = fileCount == 0 ? 0.0 : std::min(1.0, double(state.loaded.size()) / double(fileCount));
    const int value = std::clamp(static_cast<int>(part * 50.0 + state.phase * 50.0), 0, 100);
    state.progress = std::max(state.progress, value);
}

bool ZqModelController::openArchive(const std::string& path)
{
    m_archive.reset();
    m_archivePath = path;
    try {
        m_archive = std::make_unique<ZqArchiveReader>(CCFileUtils::sharedFileUtils()->fullPathForFilename(path));
        return true;
    } catch (const std::exception& error) {
        failFile(path, error.what());
        return false;
    }
}

void ZqModelController::closeArchive()
{
    m_archive.reset();
}

void ZqModelController::failLoading(const std::string& errorText, const std::string& logLine)
{
    m_loadingFailed = true;
    m_errorText = errorText;
    debugLog("%s", logLine.c_str());
}

void ZqModelController::failFile(const std::string& file, const char* reason)
{
    failLoading("Unable to load data: " + file + ": " + reason,
                "[ZqModelController] load data - fail: " + file + ": " + reason);
}
