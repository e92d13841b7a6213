// The loading of the game data into the model controller: the key file and the models of
// the loading screen at start-up, then every model file, one per step.
#include "model/loading/ZqModelLoader.h"

#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeColor.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqNonEmptyText.h"
#include "model/loading/ZqArchiveReader.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeSprite.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModel.h"
#include "model/ZqModelBlock.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelFileReader.h"
#include "model/ZqModelGeneralSettings.h"
#include "cocos2d.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <algorithm>
#include <unordered_map>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <set>
#include <span>

using namespace cocos2d;

namespace {

constexpr const char* kKeyFileName = "Keys.pack";
constexpr const char* kFailedKeys = "Failed to load keys";
constexpr const char* kNoArchive = "No data archive";
constinit CachedKeyName kClassNameKey("Class Name");
constinit CachedKeyName kUserIdKey("User ID");
constinit CachedKeyName kGradientsKey("gradients");
constinit CachedKeyName kPosKey("pos");
constinit CachedKeyName kColorKey("color");
// The key file lists a few hundred short names; megabytes of it are damage, and
// splitting them would take hundreds of megabytes.
constexpr std::size_t kMaxKeyFileSize = 8u << 20;

// Thrown by the loading when a model would pass the controller's model limit.
class TooManyModels : public std::runtime_error {
public:
    explicit TooManyModels(std::size_t limit)
        : std::runtime_error("the game holds more than " + std::to_string(limit) + " models, more than a game can have")
    {
    }
};

// The first-numbered files of what the loading screen shows (general settings, fonts,
// screens with their children, labels, loading bars), in reading order.
struct PreloadFile {
    const char* name;
    ZqModelLoader::FileKind kind;
};
constexpr ZqModelLoader::FileKind kAttributes = ZqModelLoader::kAttributesFile;
constexpr ZqModelLoader::FileKind kConnections = ZqModelLoader::kConnectionsFile;
constexpr PreloadFile kPreloadFiles[] = {
    {"ZqModelGeneralSettings.0.attributes.pack", kAttributes}, {"ZqModelFont.0.attributes.pack", kAttributes},
    {"ZqModelScreen.0.attributes.pack", kAttributes},          {"ZqModelObjectLabel.0.attributes.pack", kAttributes},
    {"ZqModelObjectLoadingBar.0.attributes.pack", kAttributes}, {"ZqModelScreen.0.connections.pack", kConnections}};

// Per file kind: the end of its file names, and the part of an archive member's name
// that marks it.
constexpr const char* kFileSuffixes[] = {".attributes.pack", ".connections.pack"};
constexpr const char* kFileMarkers[] = {".attributes.", ".connections."};
static_assert(std::size(kFileSuffixes) == ZqModelLoader::kFileKindCount);
static_assert(std::size(kFileMarkers) == ZqModelLoader::kFileKindCount);

// True for an archive member no phase reads: neither the key file nor a model file of
// either kind.
bool isForeignMember(const std::string& name)
{
    return name != kKeyFileName &&
           std::none_of(std::begin(kFileMarkers), std::end(kFileMarkers),
                        [&](const char* marker) { return name.find(marker) != std::string::npos; });
}

// The size of the file at its full path; 0 when it cannot be found.
std::uintmax_t plainFileSize(const std::string& fullPath)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fullPath, error);
    return error ? 0 : size;
}

std::string foldCase(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// A whole file at its full path, read straight into its buffer, when it is a regular file
// of at most limit bytes inside the game folder (zqOpenRegularFile); nothing, with why in
// refused, when it is not or cannot be read.
std::optional<std::vector<unsigned char>> readPlain(const std::string& fullPath, std::uintmax_t limit,
                                                    std::string& refused)
{
    ZqDescriptor file;
    std::uint64_t size = 0;
    refused = zqOpenRegularFile(fullPath, CCFileUtils::sharedFileUtils()->getResourceRoot(), limit, file, size);
    if (!refused.empty())
        return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    const std::ptrdiff_t got = zqReadUpTo(file, bytes.data(), bytes.size());
    if (got < 0) {
        refused = std::string("cannot be read: ") + std::strerror(errno);
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

// What is wrong with a model file, in words a player can pass on.
std::string describeDataError(const std::exception& error)
{
    if (dynamic_cast<const msgpack::insufficient_bytes*>(&error))
        return "the file ends inside a model (insufficient bytes)";
    if (dynamic_cast<const msgpack::parse_error*>(&error))
        return "it holds bytes that are not MessagePack data";
    if (dynamic_cast<const msgpack::depth_size_overflow*>(&error))
        return "its maps are nested too deeply";
    if (dynamic_cast<const msgpack::size_overflow*>(&error))
        return "a map or list claims more entries than the file's size allows";
    if (dynamic_cast<const msgpack::type_error*>(&error))
        return "a value has the wrong type";
    if (dynamic_cast<const std::out_of_range*>(&error))
        return "a key code is not in the key file";
    return error.what();
}

// The key names collectKeys gives for a model or an attribute; the writer's own set is
// kept aside meanwhile.
template <class Object>
std::set<std::string> collectedKeyNames(const Object& object)
{
    std::set<std::string> names;
    names.swap(keyNameSet());
    object.collectKeys();
    names.swap(keyNameSet());
    return names;
}

// A map from models to small values for one walk over a file's links, in one open-addressed
// table: a node-based map would allocate for every model the walk meets.
template <class Value>
class ModelMap {
public:
    explicit ModelMap(std::size_t expected)
    {
        std::size_t size = 16;
        while (size < 2 * expected)
            size *= 2;
        m_slots.assign(size, {nullptr, Value{}});
    }
    Value* find(const ZqModel* key)
    {
        std::pair<const ZqModel*, Value>& slot = m_slots[slotOf(key)];
        return slot.first ? &slot.second : nullptr;
    }
    // The value under key, a new Value{} when absent.
    Value& operator[](const ZqModel* key)
    {
        std::pair<const ZqModel*, Value>* slot = &m_slots[slotOf(key)];
        if (!slot->first) {
            if (2 * (m_count + 1) > m_slots.size()) {
                grow();
                slot = &m_slots[slotOf(key)];
            }
            slot->first = key;
            ++m_count;
        }
        return slot->second;
    }

private:
    // The slot holding key, else the free slot where it would go.
    std::size_t slotOf(const ZqModel* key) const
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = (reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull >> 20 & mask;
        while (m_slots[slot].first && m_slots[slot].first != key)
            slot = (slot + 1) & mask;
        return slot;
    }
    void grow()
    {
        std::vector<std::pair<const ZqModel*, Value>> old(2 * m_slots.size(), {nullptr, Value{}});
        old.swap(m_slots);
        for (const auto& [key, value] : old) {
            if (key)
                m_slots[slotOf(key)] = {key, value};
        }
    }

    std::vector<std::pair<const ZqModel*, Value>> m_slots;
    std::size_t m_count = 0;
};

// True when the parent -> children links to add (children [begin, end) of the pending
// entries), with the children the models have, hold a cycle: a depth-first walk from every
// parent that gains children.
template <class Pending>
bool formsCycle(const std::vector<Pending>& pending, const std::vector<std::shared_ptr<ZqModel>>& children)
{
    // A parent may have several entries: its first in groups (plus one), the next in chain.
    constexpr std::size_t kEnd = SIZE_MAX;
    std::vector<std::size_t> chain(pending.size(), kEnd);
    ModelMap<std::size_t> groups(pending.size());
    for (std::size_t i = 0; i < pending.size(); ++i) {
        std::size_t& first = groups[pending[i].parent.get()];
        chain[i] = first == 0 ? kEnd : first - 1;
        first = i + 1;
    }
    // The walk goes from model to model, each step waiting for the last: every model's
    // children are fetched first, all at once.
    for (const Pending& entry : pending)
        __builtin_prefetch(&entry.parent->children());
    for (const std::shared_ptr<ZqModel>& child : children)
        __builtin_prefetch(&child->children());

    // A model on the walk: its own children up to own, then its entries' from at.
    struct Step {
        const ZqModel* model;
        std::size_t own;
        std::size_t entry;
        std::size_t at;
    };
    const auto step = [&](const ZqModel* model) {
        const std::size_t* first = groups.find(model);
        const std::size_t entry = first && *first != 0 ? *first - 1 : kEnd;
        return Step{model, 0, entry, entry == kEnd ? 0 : pending[entry].begin};
    };
    // The step's next child, else null.
    const auto nextChild = [&](Step& at) -> const ZqModel* {
        const std::vector<std::shared_ptr<ZqModel>>& own = at.model->children();
        if (at.own < own.size())
            return own[at.own++].get();
        while (at.entry != kEnd) {
            if (at.at < pending[at.entry].end)
                return children[at.at++].get();
            at.entry = chain[at.entry];
            if (at.entry != kEnd)
                at.at = pending[at.entry].begin;
        }
        return nullptr;
    };
    enum : uint8_t { kNew, kOnPath, kDone };
    ModelMap<uint8_t> state(pending.size() + children.size());
    std::vector<Step> path;
    for (const Pending& entry : pending) {
        const ZqModel* root = entry.parent.get();
        uint8_t& rootState = state[root];
        if (rootState != kNew)
            continue;
        rootState = kOnPath;
        path.push_back(step(root));
        while (!path.empty()) {
            const ZqModel* next = nextChild(path.back());
            if (!next) {
                state[path.back().model] = kDone;
                path.pop_back();
                continue;
            }
            uint8_t& seen = state[next];
            if (seen == kOnPath)
                return true;
            if (seen == kNew) {
                seen = kOnPath;
                path.push_back(step(next));
            }
        }
    }
    return false;
}

// An id the list holds twice (the smallest of a long list), else nothing.
std::optional<uint32_t> repeatedId(std::span<const uint32_t> ids)
{
    constexpr std::size_t kScanned = 32;
    if (ids.size() <= kScanned) {
        for (std::size_t i = 1; i < ids.size(); ++i) {
            if (std::find(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(i), ids[i]) !=
                ids.begin() + static_cast<std::ptrdiff_t>(i))
                return ids[i];
        }
        return std::nullopt;
    }
    std::vector<uint32_t> sorted(ids.begin(), ids.end());
    std::sort(sorted.begin(), sorted.end());
    const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
    return twice == sorted.end() ? std::nullopt : std::optional<uint32_t>(*twice);
}

std::unique_ptr<ZqModelLoader> s_loader;

} // namespace

ZqModelLoader* ZqModelLoader::shared()
{
    ZqModelController* models = ZqModelController::shared();
    if (!s_loader || &s_loader->m_models != models)
        s_loader.reset(new ZqModelLoader(*models));
    return s_loader.get();
}

ZqModelLoader* ZqModelLoader::existing()
{
    ZqModelController* models = ZqModelController::existing();
    return s_loader && &s_loader->m_models == models ? s_loader.get() : nullptr;
}

ZqModelLoader::ZqModelLoader(ZqModelController& models) : m_models(models), m_resetStamp(models.resetStamp()) {}

ZqModelLoader::~ZqModelLoader() = default;

bool ZqModelLoader::isCurrent() const
{
    return m_resetStamp == m_models.resetStamp();
}

void ZqModelLoader::followReset()
{
    if (isCurrent())
        return;
    m_resetStamp = m_models.resetStamp();
    m_errorText.clear();
    m_loadingFailed = false;
    m_loadingState = LoadingState();
    m_pendingChildren.clear();
    m_keepChildren = false;
    m_listing.reset();
    m_settingsRead = false;
    // A new controller made where the last one lay has a registry of its own.
    m_lastClass = nullptr;
}

const std::string& ZqModelLoader::errorText() const
{
    static const std::string kNone;
    return isCurrent() ? m_errorText : kNone;
}

bool ZqModelLoader::loadingFailed() const
{
    return isCurrent() && m_loadingFailed;
}

const ZqModelLoader::LoadingState& ZqModelLoader::loadingState() const
{
    static const LoadingState kFresh;
    return isCurrent() ? m_loadingState : kFresh;
}

bool ZqModelLoader::archiveIsPresent(const std::string& path)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!files->isFileExist(path)) {
        // Something else at the archive's name is passed over for the plain files, and said.
        if (const char* kind = files->notAFile(path))
            debugLog("[ZqModelController] %s is %s, not a file - not read; the data folder's files are read",
                     zqPrintable(path, kZqLogLineLength).c_str(), kind);
        return false;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(files->fullPathForFilename(path), error);
    return !error && size > 0;
}

void ZqModelLoader::preload(const std::string& archivePath, const std::string& passwordText)
{
    followReset();
    // The first reading of the general settings must see the fixed codes only, not a
    // dictionary left by an earlier game.
    installKeyDictionary({});
    m_settingsRead = false;
    m_missingPreloadFiles.clear();
    std::optional<std::vector<unsigned char>> keys;
    const std::string failedKeys = std::string(kFailedKeys) + ": ";
    bool oversized = false;
    if (m_archiveMode) {
        if (!openArchive(archivePath))
            return;
        keys = readArchiveFile(kKeyFileName, passwordText);
        if (m_loadingFailed)
            return;
    } else {
        m_listing.reset();
        if (std::optional<std::string> path = findPlainFile(m_models.dataDirectory() + "/" + kKeyFileName)) {
            // A damaged key file of any size is refused before a byte of it is read.
            const std::uintmax_t size = plainFileSize(*path);
            oversized = size > kMaxKeyFileSize;
            std::string refused;
            if (!oversized)
                keys = readPlain(*path, kMaxKeyFileSize, refused);
            if (!oversized && !keys) {
                const std::string reason = failedKeys + "\"Keys.pack\": " + refused;
                failLoading(reason, reason);
                return;
            }
        } else if (const char* kind = notAFile(m_models.dataDirectory() + "/" + kKeyFileName)) {
            const std::string reason = failedKeys + "\"Keys.pack\" is " + kind + ", not a file";
            failLoading(reason, reason);
            return;
        } else if (m_listing && m_listing->error) {
            // The directory itself is at fault, not the file.
            const std::string reason =
                m_listing->error == std::errc::not_a_directory
                    ? failedKeys + "the data path is a file, not a directory (" + m_listing->directory + ")"
                    : failedKeys + "the data directory cannot be read (" + m_listing->directory + ": " +
                          m_listing->error.message() + ")";
            failLoading(reason, reason);
            return;
        }
    }
    if (!oversized && !keys) {
        failLoading(failedKeys + "no key file", failedKeys + "\"Keys.pack\" is missing");
        return;
    }
    if (!oversized && keys->empty()) {
        const std::string reason = failedKeys + "\"Keys.pack\" is empty";
        failLoading(reason, reason);
        return;
    }
    if (oversized || keys->size() > kMaxKeyFileSize) {
        const std::string reason = failedKeys + "\"Keys.pack\" is damaged (larger than 8 MiB)";
        failLoading(reason, reason);
        return;
    }
    // The "User ID" of the general settings unscrambles the key file. It is taken from the
    // file's bytes, and its models are read once the key file is in, so that every key of
    // theirs has its name: the one reading of the general settings in a load.
    const PreloadFile& settingsFile = kPreloadFiles[0];
    std::optional<std::vector<unsigned char>> settings;
    const FileResult fetched = fetchDataFile(settingsFile.name, settingsFile.kind, passwordText, settings);
    if (fetched == kFileFailed)
        return;
    if (fetched == kFileNotRead)
        m_missingPreloadFiles.push_back(settingsFile.name);
    std::string userId;
    if (settings && !settings->empty() && !peekUserId(*settings, userId)) {
        // Bytes the quick look cannot place: read as models before the key file, which
        // reports their damage as every model file's.
        if (parseFileBytes(dataFilePath(settingsFile.name), *settings, settingsFile.kind) == kFileFailed)
            return;
        userId = ZqModelGeneralSettings::shared()->userId();
    }
    const char* settingsLack = fetched != kFileLoaded ? "is missing" : settings->empty() ? "is empty" : nullptr;
    if (!installKeyFile(keys->data(), keys->size(), settingsLack, userId))
        return;
    m_preloading = true;
    if (settings) {
        m_settingsRead = parseFileBytes(dataFilePath(settingsFile.name), *settings, settingsFile.kind) == kFileLoaded;
        if (!m_settingsRead) {
            m_preloading = false;
            return;
        }
    }
    // A file that gave no settings model (logged) leaves the defaults, as a missing one.
    ZqModelGeneralSettings::shared();
    for (const PreloadFile& file : std::span(kPreloadFiles).subspan(1)) {
        const FileResult result = loadDataFile(file.name, file.kind, passwordText);
        if (result == kFileFailed)
            break;
        if (result == kFileNotRead)
            m_missingPreloadFiles.push_back(file.name);
    }
    m_preloading = false;
}

bool ZqModelLoader::peekUserId(const std::vector<unsigned char>& bytes, std::string& userId)
{
    const char* data = reinterpret_cast<const char*>(bytes.data());
    std::size_t offset = 0;
    msgpack::zone zone;
    try {
        while (offset < bytes.size()) {
            const msgpack::object object = unpackBounded(zone, data, bytes.size(), offset);
            if (object.type == msgpack::type::NIL)
                break;
            if (object.type != msgpack::type::MAP)
                return false;
            const MessagePackMap map = MessagePackMap::fromObject(object);
            std::string className;
            uint32_t id = 0;
            if (!map.getUInt(kIdKey, id) || !map.getString(kClassNameKey, className) ||
                className != ZqModelGeneralSettings::staticClassName())
                return false;
            // The last settings map of the file is the one the reading keeps.
            userId.clear();
            const msgpack::object* entry = map.find(kUserIdKey);
            if (!entry)
                continue;
            if (entry->type != msgpack::type::MAP)
                return false;
            MessagePackMap::fromObject(*entry).getString(kValueKey, userId);
            zone.clear();
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool ZqModelLoader::loadNextPlainFile()
{
    followReset();
    LoadingState& state = m_loadingState;
    // Done or failed: true again, never a new load under the live screens.
    if (m_loadingFailed || state.phase >= kLoadingDone)
        return true;
    ++state.steps;
    updateProgress();
    const std::string name = modelFileName();
    const FileResult result =
        readInPreload(name) ? kFileLoaded : loadPlainFile(dataFilePath(name), fileKindOf(state.phase));
    if (m_loadingFailed)
        return true;
    if (result == kFileLoaded) {
        ++state.index;
        ++state.filesRead;
        return false;
    }
    // The first missing number ends the class: the next class not yet read follows, and
    // when none is left the phase ends in this same step.
    logFilesAfterGap(name);
    state.loaded.insert(state.name);
    const std::vector<std::string>& names = m_models.registry().classNames();
    const auto next = std::find_if(names.begin(), names.end(),
                                   [&](const std::string& name) { return state.loaded.count(name) == 0; });
    if (next == names.end())
        return nextPhase() == kLoadingDone;
    state.name = *next;
    state.index = 0;
    return false;
}

void ZqModelLoader::logFilesAfterGap(const std::string& missing)
{
    if (!m_listing || m_listing->error)
        return;
    // "<class>.<n><suffix>": a later number of the same class and kind is a file the
    // numbering says cannot be read without this one.
    const std::size_t dot = missing.find('.');
    const std::string_view suffix = kFileSuffixes[fileKindOf(m_loadingState.phase)];
    unsigned long highest = 0;
    bool found = false;
    for (const std::string& name : m_listing->names) {
        if (name.size() <= dot + 1 + suffix.size() || name.compare(0, dot + 1, missing, 0, dot + 1) != 0 ||
            !std::string_view(name).ends_with(suffix))
            continue;
        const std::string number = name.substr(dot + 1, name.size() - dot - 1 - suffix.size());
        if (number.empty() || number.size() > 9 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        highest = std::max(highest, std::stoul(number));
        found = true;
    }
    if (found && highest > static_cast<unsigned long>(m_loadingState.index))
        debugLog("[ZqModelController] %s is missing: the files of its class after it, up to number %lu, are not read",
                 dataFilePath(missing).c_str(), highest);
}

bool ZqModelLoader::loadNextArchiveFile(const std::string& passwordText)
{
    followReset();
    LoadingState& state = m_loadingState;
    // Done or failed: true again, never a new load under the live screens.
    if (m_loadingFailed || state.phase >= kLoadingDone)
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
    ++state.steps;
    updateProgress();
    // A phase's first step reads the general settings' file of its kind, there or not; every
    // later step the member the step before found.
    const bool firstStep = state.firstStep;
    const std::string file = firstStep ? modelFileName() : state.name;
    // Its maps name their classes: a member named after none is read all the same.
    if (!m_models.registry().find(file.substr(0, file.find('.'))))
        debugLog("[ZqModelController] archive member not named after a registered class, read as %s file: %s",
                 state.phase == kAttributesPhase ? "an attributes" : "a connections", file.c_str());
    const FileResult result =
        readInPreload(file) ? kFileLoaded : loadArchiveFile(file, fileKindOf(state.phase), passwordText);
    if (m_loadingFailed)
        return true;
    if (result == kFileLoaded)
        ++state.filesRead;
    state.loaded.insert(file);
    state.firstStep = false;
    return walkArchive(firstStep);
}

bool ZqModelLoader::walkArchive(bool fromFirst)
{
    LoadingState& state = m_loadingState;
    try {
        const char* marker = kFileMarkers[fileKindOf(state.phase)];
        std::string name = fromFirst ? m_archive->firstFile() : m_archive->nextFile();
        while (!name.empty() && (name.find(marker) == std::string::npos || state.loaded.count(name) != 0)) {
            // The attributes phase walks every member: it tells once each one no phase reads.
            if (state.phase == kAttributesPhase && isForeignMember(name))
                debugLog("[ZqModelController] archive member not recognised, passed over: %s", name.c_str());
            name = m_archive->nextFile();
        }
        if (name.empty())
            return nextPhase() == kLoadingDone;
        state.name = name;
        return false;
    } catch (const std::exception& error) {
        failFile(m_archivePath, error.what());
        return true;
    }
}

ZqModelLoader::FileResult ZqModelLoader::loadArchiveFile(const std::string& name, FileKind kind,
                                                                 const std::string& passwordText)
{
    followReset();
    std::optional<std::vector<unsigned char>> data;
    const FileResult result = fetchArchiveFile(name, kind, passwordText, data);
    return result == kFileLoaded ? parseFileBytes(name, *data, kind) : result;
}

ZqModelLoader::FileResult ZqModelLoader::fetchArchiveFile(const std::string& name, FileKind kind,
                                                                  const std::string& passwordText,
                                                                  std::optional<std::vector<unsigned char>>& data)
{
    if (!m_archive) {
        failLoading(kNoArchive, std::string("[ZqModelController] load data - fail: ") + kNoArchive);
        return kFileFailed;
    }
    logFileLoad(name, kind);
    data = readArchiveFile(name, passwordText);
    if (m_loadingFailed)
        return kFileFailed;
    return data ? kFileLoaded : kFileNotRead;
}

ZqModelLoader::FileResult ZqModelLoader::loadPlainFile(const std::string& path, FileKind kind)
{
    followReset();
    std::optional<std::vector<unsigned char>> data;
    const FileResult result = fetchPlainFile(path, kind, data);
    return result == kFileLoaded ? parseFileBytes(path, *data, kind) : result;
}

ZqModelLoader::FileResult ZqModelLoader::fetchPlainFile(const std::string& path, FileKind kind,
                                                                std::optional<std::vector<unsigned char>>& data)
{
    const std::optional<std::string> fullPath = findPlainFile(path);
    if (!fullPath) {
        logNotAFile(path);
        return kFileNotRead;
    }
    logFileLoad(path, kind);
    // The archive's limit for its members holds for the directory's files too, checked
    // before a byte is read.
    const std::uintmax_t size = plainFileSize(*fullPath);
    if (size <= ZqArchiveReader::kMaxMemberSize) {
        std::string refused;
        data = readPlain(*fullPath, ZqArchiveReader::kMaxMemberSize, refused);
        if (!data) {
            failFile(path, refused.c_str());
            return kFileFailed;
        }
    }
    if (!data || data->size() > ZqArchiveReader::kMaxMemberSize) {
        data.reset();
        failFile(path, "the file is larger than 64 MiB");
        return kFileFailed;
    }
    return kFileLoaded;
}

ZqModelLoader::FileResult ZqModelLoader::parseFileBytes(const std::string& file,
                                                                const std::vector<unsigned char>& data, FileKind kind)
{
    m_loadingFile = file;
    const bool parsed = parseModelFile(data.data(), data.size(), kind);
    m_loadingFile.clear();
    return parsed ? kFileLoaded : kFileFailed;
}

std::optional<std::string> ZqModelLoader::findPlainFile(const std::string& path)
{
    const std::string prefix = m_models.dataDirectory() + "/";
    const bool inDirectory = path.compare(0, prefix.size(), prefix) == 0 && path.find('/', prefix.size()) == std::string::npos;
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!inDirectory)
        return files->isFileExist(path) ? std::optional<std::string>(files->fullPathForFilename(path)) : std::nullopt;
    // One listing per load: probing the directory for every class and kind would scan it
    // again for each missing file.
    if (!m_listing) {
        m_listing.emplace();
        m_listing->directory = files->fullPathForFilename(m_models.dataDirectory());
        std::error_code& error = m_listing->error;
        for (std::filesystem::directory_iterator it(m_listing->directory, error), end; !error && it != end;
             it.increment(error)) {
            std::string name = it->path().filename().string();
            const std::string folded = foldCase(name);
            std::error_code kindError;
            if (const char* kind = zqNotAFile(it->status(kindError).type())) {
                m_listing->notFiles.emplace(folded, kind);
                continue;
            }
            auto [at, inserted] = m_listing->folded.emplace(folded, name);
            if (!inserted && name < at->second)
                at->second = name;
            m_listing->names.insert(std::move(name));
        }
    }
    std::string name = path.substr(prefix.size());
    if (m_listing->names.count(name) == 0) {
        auto found = m_listing->folded.find(foldCase(name));
        if (found == m_listing->folded.end())
            return std::nullopt;
        name = found->second;
    }
    return m_listing->directory + "/" + name;
}

const char* ZqModelLoader::notAFile(const std::string& path) const
{
    const std::string prefix = m_models.dataDirectory() + "/";
    if (!m_listing || path.compare(0, prefix.size(), prefix) != 0)
        return nullptr;
    const auto found = m_listing->notFiles.find(foldCase(path.substr(prefix.size())));
    return found == m_listing->notFiles.end() ? nullptr : found->second;
}

void ZqModelLoader::logNotAFile(const std::string& path)
{
    const char* kind = notAFile(path);
    if (kind && m_listing->toldNotFiles.insert(path).second)
        debugLog("[ZqModelController] %s is %s, not a file - not read", path.c_str(), kind);
}

ZqModelLoader::FileResult ZqModelLoader::loadDataFile(const std::string& name, FileKind kind,
                                                              const std::string& passwordText)
{
    if (m_archiveMode)
        return loadArchiveFile(name, kind, passwordText);
    return loadPlainFile(dataFilePath(name), kind);
}

ZqModelLoader::FileResult ZqModelLoader::fetchDataFile(const std::string& name, FileKind kind,
                                                               const std::string& passwordText,
                                                               std::optional<std::vector<unsigned char>>& data)
{
    if (m_archiveMode)
        return fetchArchiveFile(name, kind, passwordText, data);
    return fetchPlainFile(dataFilePath(name), kind, data);
}

std::string ZqModelLoader::dataFilePath(const std::string& name) const
{
    return m_archiveMode ? name : m_models.dataDirectory() + "/" + name;
}

bool ZqModelLoader::readInPreload(const std::string& name)
{
    if (!m_settingsRead || m_loadingState.phase != kAttributesPhase || name != kPreloadFiles[0].name)
        return false;
    // The step takes the file as read: its models came in with the preload.
    logFileLoad(dataFilePath(name), kAttributesFile);
    return true;
}

void ZqModelLoader::logFileLoad(const std::string& file, FileKind kind) const
{
    if (m_archiveMode)
        debugLog("[ZqModelController] load data(%d) for class from archive file: %s", kind, file.c_str());
    else
        debugLog("[ZqModelController] load data(%d) for class from file: %s", kind, file.c_str());
}

std::optional<std::vector<unsigned char>> ZqModelLoader::readArchiveFile(const std::string& name,
                                                                             const std::string& passwordText)
{
    followReset();
    if (!m_archive) {
        debugLog("[ZqModelController] readFileArchive error - dataArchive is empty");
        return std::nullopt;
    }
    try {
        std::optional<std::vector<unsigned char>> bytes = m_archive->readFile(name, decodeArchivePassword(passwordText));
        m_memberRead = m_memberRead || bytes.has_value();
        return bytes;
    } catch (const std::exception& error) {
        const std::string_view text = error.what();
        constexpr std::string_view kWrongPassword = " Error P17";
        if (m_memberRead && text.ends_with(kWrongPassword)) {
            const std::string reason = std::string(text.substr(0, text.size() - kWrongPassword.size())) +
                                       " the archive is damaged (a check byte fails where other members open)";
            failFile(name, reason.c_str());
        } else {
            failFile(name, error.what());
        }
        return std::nullopt;
    }
}

bool ZqModelLoader::parseModelFile(const unsigned char* bytes, std::size_t size, FileKind kind)
{
    followReset();
    m_fileClass = nullptr;
    m_classNameTold = false;
    m_unknownCodeTold = false;
    if (!bytes || size == 0) {
        // The writer never writes an empty model file: one is damaged data, which holds no
        // model and is told.
        if (!m_loadingFile.empty())
            debugLog("[ZqModelController] %s: the file is empty - no model read", m_loadingFile.c_str());
        return true;
    }
    const char* data = reinterpret_cast<const char*>(bytes);
    std::size_t offset = 0;
    std::size_t start = 0;
    std::size_t models = 0;
    // The models read live as long as the game: their blocks are cut from slabs.
    const zqblock::SlabScope slabs;
    // Children of a connections file are added once it is read.
    m_keepChildren = kind == kConnectionsFile;
    // One zone for the file, cleared after each map: nothing read keeps the objects.
    msgpack::zone zone;
    try {
        if (m_road != ZqModelFileRoad::kMaps && !m_fileReader)
            m_fileReader = std::make_unique<ZqModelFileReader>(*this);
        while (offset < size) {
            start = offset;
            if (m_road != ZqModelFileRoad::kMaps) {
                if (!m_fileReader->readMap(data, size, offset, kind))
                    break;
            } else {
                const msgpack::object object = unpackBounded(zone, data, size, offset);
                // A nil object ends the file.
                if (object.type == msgpack::type::NIL)
                    break;
                readModelMap(MessagePackMap::fromObject(object), kind);
                zone.clear();
            }
            ++models;
        }
    } catch (const std::exception& error) {
        linkPendingChildren();
        m_models.raiseIdCounter();
        failFile(m_loadingFile.empty() ? std::string("model data") : m_loadingFile,
                 (describeDataError(error) + " in model " + std::to_string(models + 1) + " of the file (from byte " +
                  std::to_string(start) + ")")
                     .c_str());
        return false;
    }
    linkPendingChildren();
    m_models.raiseIdCounter();
    return true;
}

void ZqModelLoader::readModelMap(const MessagePackMap& map, FileKind kind)
{
    // A key, or a key of a nested map, that is no code of the key file is read by nothing;
    // it is told, since a damaged or foreign key file would otherwise read as defaults.
    for (const auto& [code, value] : map.entries()) {
        if (m_unknownCodeTold)
            break;
        if (!keyCodeIsKnown(static_cast<uint32_t>(code))) {
            noteUnknownKeyCode(static_cast<uint32_t>(code));
        } else if (value.type == msgpack::type::MAP) {
            for (uint32_t i = 0; i < value.via.map.size && !m_unknownCodeTold; ++i) {
                const msgpack::object& key = value.via.map.ptr[i].key;
                if (key.type == msgpack::type::POSITIVE_INTEGER && key.via.u64 <= UINT32_MAX &&
                    !keyCodeIsKnown(static_cast<int64_t>(key.via.u64)))
                    noteUnknownKeyCode(static_cast<int64_t>(key.via.u64), static_cast<uint32_t>(code));
            }
        }
    }
    if (kind == kConnectionsFile) {
        readModelLinks(map, kind);
        return;
    }
    uint32_t id = 0;
    if (!map.getUInt(kIdKey, id)) {
        logUnreadMap(nullptr, nullptr);
        return;
    }
    std::string className;
    if (!map.getString(kClassNameKey, className)) {
        logUnreadMap(&id, nullptr);
        return;
    }
    std::shared_ptr<ZqModel> model = createModelOfClass(className);
    if (!model) {
        logUnreadMap(&id, className.c_str());
        return;
    }
    // A map that throws leaves the model it would replace in place.
    model->unpackAttributes(map);
    logUnreadNestedEntries(*model, map, kind);
    logUnreadEntries(*model, map, kind);
    logRepeatedKeys(*model, map);
    replaceModel(model);
}

void ZqModelLoader::readModelLinks(const MessagePackMap& map, FileKind kind)
{
    uint32_t id = 0;
    if (!map.getUInt(kIdKey, id)) {
        logUnreadMap(nullptr, nullptr);
        return;
    }
    // Only an attributes map names its class: here it is an attributes map, whose values
    // would be read as links, or a link's key damaged into that name. Told once a file.
    if (!m_classNameTold && map.find(kClassNameKey)) {
        m_classNameTold = true;
        debugLog("[ZqModelController] %s: model %u has a \"Class Name\", which no connections map holds - an "
                 "attributes map, or a link's key damaged",
                 m_loadingFile.c_str(), id);
    }
    ZqModel* model = m_models.modelAt(id);
    // A map is read by its id whatever file holds it; one of a model of another class than
    // the file names is noted, since a damaged id puts links on the wrong model.
    if (model && model->className() != m_fileClass && !isFileOfClass(m_loadingFile, model->className()))
        debugLog("[ZqModelController] %s: links of model %u, which is of class %s - read all the same",
                 m_loadingFile.c_str(), id, model->className());
    if (model) {
        m_fileClass = model->className();
        // Connections maps mostly come in the order of their ids, and the models of a load
        // lie far apart in memory: the next one, with its shared pointer's counts just
        // before it, is fetched while this one is read.
        if (const ZqModel* next = m_models.modelAt(id + 1))
            zqPrefetchModel(next, -1, 7);
        LoadingState& state = m_loadingState;
        if (linksAreChecked(kind)) {
            if (model->typeId() != state.lastLinkedClass || !state.lastLinkedMaps) {
                state.lastLinkedClass = model->typeId();
                state.lastLinkedMaps = &state.linkedMaps[model->typeId()];
            }
            ++*state.lastLinkedMaps;
        }
        const std::size_t declared = model->attributes().size();
        model->unpackConnections(map);
        if (model->attributes().size() > declared && linksAreChecked(kind))
            logUnfollowedPorts(*model, declared);
        logUnreadNestedEntries(*model, map, kind);
        logUnreadEntries(*model, map, kind);
        logRepeatedKeys(*model, map);
    } else {
        logLinksWithoutModel(id);
    }
}

bool ZqModelLoader::isFileOfClass(std::string_view file, std::string_view className) const
{
    const std::string_view base = file.substr(file.rfind('/') + 1);
    if (base.size() > className.size() && base.starts_with(className) && base[className.size()] == '.')
        return true;
    // A file named for no class (a test's own bytes) says nothing.
    return !m_models.registry().find(std::string(base.substr(0, base.find('.'))));
}

void ZqModelLoader::logLinksWithoutModel(uint32_t id)
{
    debugLog("[ZqModelController] %s: links of model %u, which no model has - skipped", m_loadingFile.c_str(), id);
}

void ZqModelLoader::logUnfollowedPorts(const ZqModel& model, std::size_t first)
{
    std::optional<std::unordered_set<std::string>>& names = m_loadingState.modelNames;
    if (!names) {
        names.emplace();
        for (const auto& [type, models] : m_models.modelsByType()) {
            for (const std::shared_ptr<ZqModel>& each : models)
                names->insert(each->name());
        }
    }
    for (std::size_t i = first; i < model.attributes().size(); ++i) {
        const std::string port(model.attributes()[i]->name());
        if (names->count(port) == 0 && port != ZqBaseNode::kPausePortName)
            debugLog("[ZqModelController] %s: model %u (%s) has a port \"%s\" that no model is named after - nothing "
                     "follows it",
                     m_loadingFile.c_str(), model.id(), model.className(), port.c_str());
    }
}

void ZqModelLoader::logMissingFiles()
{
    // The writer leaves out a connections map that would hold the id alone, and a file of
    // such maps only: a class some of whose models would write more had its file.
    for (const auto& [typeId, models] : m_models.modelsByType()) {
        if (models.empty())
            continue;
        const ZqModel& first = *models.front();
        const auto linked = m_loadingState.linkedMaps.find(typeId);
        if (linked != m_loadingState.linkedMaps.end()) {
            // A node writes its map whatever it links: one map fewer than nodes is a file
            // cut short or a map lost.
            if (linked->second < models.size() && dynamic_cast<const ZqBaseNode*>(&first))
                debugLog("[ZqModelController] %s: links of %zu of the %zu models of class %s are not in the file - it "
                         "is cut short or a map is damaged",
                         dataFilePath(std::string(first.className()) + ".0" + kFileSuffixes[kConnectionsFile]).c_str(),
                         models.size() - linked->second, models.size(), first.className());
            continue;
        }
        std::size_t entries = 0;
        try {
            msgpack::zone zone;
            MessagePackMap map(&zone);
            first.packConnections(map);
            entries = map.size();
        } catch (const std::exception&) {
            // A name the key file lacks: the files say nothing of it.
            continue;
        }
        if (entries > 1)
            debugLog("[ZqModelController] %s is missing: the links of the %zu models of class %s are not read",
                     dataFilePath(std::string(first.className()) + ".0" + kFileSuffixes[kConnectionsFile]).c_str(),
                     models.size(), first.className());
    }
    // A label names its font by the font model's id.
    std::map<int, std::pair<unsigned, std::size_t>> missingFonts; // id -> first label, labels
    for (const std::shared_ptr<ZqModelObjectLabel>& label : m_models.modelsOfClass<ZqModelObjectLabel>()) {
        const int font = label->fontId();
        if (font <= 0 || m_models.getModel<ZqModelFont>(static_cast<unsigned>(font)))
            continue;
        auto& [firstLabel, labels] = missingFonts.try_emplace(font, label->id(), 0).first->second;
        ++labels;
    }
    for (const auto& [font, labels] : missingFonts)
        debugLog("[ZqModelController] font %d is missing: no font model has its id, which %zu labels (the first model "
                 "%u) name - their text is not shown",
                 font, labels.second, labels.first);
}

void ZqModelLoader::noteUnknownKeyCode(int64_t code, int64_t attributeCode)
{
    if (m_unknownCodeTold)
        return;
    m_unknownCodeTold = true;
    const std::string* attribute =
        attributeCode >= 0 && attributeCode <= INT32_MAX ? tryKeyName(static_cast<int32_t>(attributeCode)) : nullptr;
    const bool platform = attribute && *attribute == "platformSpecificValues";
    debugLog("[ZqModelController] %s: key code %lld is not in the key file - %s",
             m_loadingFile.empty() ? "model data" : m_loadingFile.c_str(), static_cast<long long>(code),
             platform ? "under the general settings' \"platformSpecificValues\" every name must be in it: the "
                        "load fails"
                      : "its entries in this file are not read");
}

void ZqModelLoader::logUnreadMap(const uint32_t* id, const char* className)
{
    if (!id)
        debugLog("[ZqModelController] %s: a model map without an \"id\" - not read", m_loadingFile.c_str());
    else if (!className)
        debugLog("[ZqModelController] %s: model %u has no \"Class Name\" - not read", m_loadingFile.c_str(), *id);
    else
        debugLog("[ZqModelController] %s: model %u is of class \"%s\", which no class registered has - not read",
                 m_loadingFile.c_str(), *id, className);
}

namespace {

// True for a link map of the usual form, {"connectedModelId": id, "attributeName": name},
// which has nothing to tell: both keys are read by every attribute, and (while links are
// checked) the attribute is linked to a source of that model.
bool isMadeLink(const ZqBaseAttribute& attribute, const msgpack::object& map, bool linksChecked)
{
    const int32_t idCode = kConnectedModelIdKey.codeOrDefault();
    const int32_t nameCode = kAttributeNameKey.codeOrDefault();
    const int32_t valueCode = kValueKey.codeOrDefault();
    if (map.via.map.size != 2 || idCode == nameCode || valueCode == idCode || valueCode == nameCode)
        return false;
    const msgpack::object* id = nullptr;
    bool named = false;
    for (uint32_t i = 0; i < 2; ++i) {
        const msgpack::object_kv& entry = map.via.map.ptr[i];
        if (entry.key.type != msgpack::type::POSITIVE_INTEGER)
            return false;
        if (entry.key.via.u64 == static_cast<uint64_t>(idCode))
            id = &entry.val;
        else if (entry.key.via.u64 == static_cast<uint64_t>(nameCode))
            named = true;
        else
            return false;
    }
    if (!id || !named)
        return false;
    if (!linksChecked || id->type != msgpack::type::POSITIVE_INTEGER || id->via.u64 == 0 || id->via.u64 > UINT32_MAX)
        return true;
    const ZqBaseAttribute* source = attribute.connectedSource();
    return source && source->owner() && source->owner()->id() == id->via.u64;
}

// The model a reference attribute holds, else null (an attribute of no reference class).
const ZqModel* referencedModel(const ZqBaseAttribute& attribute)
{
    if (const auto* reference = dynamic_cast<const ZqAttributeModelReference*>(&attribute))
        return reference->model().get();
    if (const auto* sprite = dynamic_cast<const ZqAttributeSprite*>(&attribute))
        return sprite->value().get();
    return nullptr;
}

} // namespace

void ZqModelLoader::logUnreadNestedEntries(const ZqModel& model, const MessagePackMap& map, FileKind kind)
{
    const bool linksChecked = linksAreChecked(kind);
    // A model of only its class's attributes finds them by code.
    const ZqAttributeList& attributes = model.attributes();
    const ZqModelKeyCodes::Class* codes =
        model.attributesAreClassLayout() ? &m_models.keyCodes().ofClass(model) : nullptr;
    for (const auto& [code, value] : map.entries()) {
        if (value.type != msgpack::type::MAP)
            continue;
        const ZqBaseAttribute* attribute = nullptr;
        if (codes) {
            const int32_t slot = codes->find(code);
            if (slot >= 0 && static_cast<std::size_t>(slot) < attributes.size())
                attribute = attributes[static_cast<std::size_t>(slot)];
        } else if (const std::string* name = tryKeyName(code)) {
            attribute = model.findAttribute(*name);
        }
        if (attribute && !isMadeLink(*attribute, value, linksChecked))
            logUnreadNested(model, *attribute, MessagePackMap::fromObject(value), kind);
    }
}

void ZqModelLoader::logUnreadNested(const ZqModel& model, const ZqBaseAttribute& attribute,
                                        const MessagePackMap& nested, FileKind kind)
{
    // A few attribute classes serve every model: the last table of each is at hand.
    const std::size_t typeId = attribute.typeId();
    std::pair<std::size_t, NestedKeys*>& cached = m_nestedKeysCache[typeId % m_nestedKeysCache.size()];
    if (!cached.second || cached.first != typeId)
        cached = {typeId, &m_nestedKeys[typeId]};
    NestedKeys& known = *cached.second;
    const uint32_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    if (known.generation != generation) {
        known.generation = generation;
        known.codes.clear();
        std::set<std::string> names = collectedKeyNames(attribute);
        // Links and references list their keys only while they are set.
        for (const char* name : {"connectedModelId", "attributeName", "value"})
            names.insert(name);
        for (const std::string& name : names)
            known.codes.push_back(keyCodeOrDefault(name));
    }
    for (const auto& [code, value] : nested.entries()) {
        // A code the key file lacks was told with the file.
        if (std::find(known.codes.begin(), known.codes.end(), code) != known.codes.end() || !keyCodeIsKnown(code))
            continue;
        const std::string* name = tryKeyName(code);
        debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" has no \"%s\" - not read",
                 m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                 name ? name->c_str() : "?");
    }
    if (attribute.typeId() == ZqAttributeGradient::staticTypeId())
        logUnreadGradientStops(model, attribute, nested);
    // In the connections phase every model is in: a link to an id none has is dropped.
    if (!linksAreChecked(kind))
        return;
    for (const CachedKeyName* key : {&kConnectedModelIdKey, &kValueKey}) {
        const msgpack::object* id = nested.find(*key);
        if (!id || id->type != msgpack::type::POSITIVE_INTEGER || id->via.u64 == 0 || id->via.u64 > UINT32_MAX)
            continue;
        // A link made to that model is no loss.
        const ZqBaseAttribute* source = key == &kConnectedModelIdKey ? attribute.connectedSource() : nullptr;
        if (source && source->owner() && source->owner()->id() == id->via.u64)
            continue;
        const ZqAttributeOwner* owner = m_models.ownerById(static_cast<unsigned>(id->via.u64));
        if (!owner) {
            debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" links to model %llu, which no model "
                     "has - not linked",
                     m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                     static_cast<unsigned long long>(id->via.u64));
            continue;
        }
        // A reference takes only models of its class: one it did not take is a link lost.
        if (key == &kValueKey) {
            const ZqModel* held = referencedModel(attribute);
            if (!held || held->id() != id->via.u64) {
                const auto* target = static_cast<const ZqModel*>(owner);
                debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" refers to model %u (%s), which it "
                         "does not take - not linked",
                         m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                         target->id(), target->className());
            }
            continue;
        }
        // A link names its source attribute too, which the source model must have.
        std::string sourceName;
        if (!zqNonEmptyText(nested, kAttributeNameKey, sourceName))
            continue;
        const auto isSource = [&](const ZqBaseAttribute* candidate) {
            return candidate->connectionType() == ZqBaseAttribute::kSource && candidate->name() == sourceName;
        };
        if (std::none_of(owner->attributes().begin(), owner->attributes().end(), isSource))
            debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" links to \"%s\" of model %u, which "
                     "it does not have - not linked",
                     m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                     sourceName.c_str(), owner->id());
    }
}

void ZqModelLoader::logUnreadGradientStops(const ZqModel& model, const ZqBaseAttribute& attribute,
                                               const MessagePackMap& nested)
{
    const msgpack::object* stops = nested.find(kGradientsKey);
    if (!stops || stops->type != msgpack::type::ARRAY)
        return;
    const int32_t known[] = {kPosKey.codeOrDefault(), kColorKey.codeOrDefault()};
    for (uint32_t i = 0; i < stops->via.array.size; ++i) {
        const msgpack::object& stop = stops->via.array.ptr[i];
        if (stop.type != msgpack::type::MAP)
            continue;
        if (const int32_t repeated = MessagePackMap::repeatedCodeOf(stop); repeated >= 0) {
            const std::string* name = tryKeyName(repeated);
            debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" has a gradient stop with \"%s\" twice - "
                     "its first value read",
                     m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                     name ? name->c_str() : "?");
        }
        logStopOutsideGradient(model, attribute, stop);
        for (uint32_t k = 0; k < stop.via.map.size; ++k) {
            const msgpack::object& key = stop.via.map.ptr[k].key;
            if (key.type != msgpack::type::POSITIVE_INTEGER || key.via.u64 > INT32_MAX ||
                std::find(std::begin(known), std::end(known), static_cast<int32_t>(key.via.u64)) != std::end(known))
                continue;
            const std::string* name = tryKeyName(static_cast<int32_t>(key.via.u64));
            debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" has a gradient stop with \"%s\" - not "
                     "read",
                     m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
                     name ? name->c_str() : "?");
        }
    }
}

void ZqModelLoader::logStopOutsideGradient(const ZqModel& model, const ZqBaseAttribute& attribute,
                                           const msgpack::object& stop)
{
    const MessagePackMap entries = MessagePackMap::fromObject(stop);
    const msgpack::object* position = entries.find(kPosKey);
    if (!position)
        return;
    switch (position->type) {
    case msgpack::type::FLOAT32:
    case msgpack::type::FLOAT64:
    case msgpack::type::POSITIVE_INTEGER:
    case msgpack::type::NEGATIVE_INTEGER:
        break;
    default:
        return;
    }
    // The particles take their colours at exactly 0 and 1: a stop elsewhere in the range may
    // be the author's, one outside it (or not finite) is no point of the gradient. One outside
    // is kept as read: moved onto 0 or 1 it would overwrite the colour there. One not finite
    // is skipped by the gradient's own reader.
    const float value = position->as<float>();
    if (value >= 0.0f && value <= 1.0f)
        return;
    debugLog("[ZqModelController] %s: model %u (%s), attribute \"%s\" has a gradient stop at %g, outside 0 to 1 - "
             "never drawn",
             m_loadingFile.c_str(), model.id(), model.className(), attribute.storedName().c_str(),
             static_cast<double>(value));
}

void ZqModelLoader::logUnreadEntries(const ZqModel& model, const MessagePackMap& map, FileKind kind)
{
    const std::size_t typeId = model.typeId();
    if (!m_lastReadKeys.second || m_lastReadKeys.first != typeId)
        m_lastReadKeys = {typeId, &m_readKeys[typeId]};
    ReadKeys& known = *m_lastReadKeys.second;
    const uint32_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    if (known.generation != generation) {
        known.generation = generation;
        known.codes.clear();
        // The names the class writes at the top of its maps are the names it reads there:
        // its own, less those only its attributes' maps hold ("value" at the top of a map
        // is a damaged attribute name, not a value).
        std::set<std::string> names = collectedKeyNames(model);
        for (const ZqBaseAttribute* attribute : model.attributes()) {
            for (const std::string& name : collectedKeyNames(*attribute))
                names.erase(name);
        }
        names.insert({"id", "Class Name", "children"});
        try {
            msgpack::zone zone;
            MessagePackMap top(&zone);
            model.packAttributes(top);
            model.packConnections(top);
            for (const auto& [code, value] : top.entries())
                known.codes.insert(code);
        } catch (const std::exception&) {
            // A key file without some name the model writes: its entries are told as unread.
        }
        for (const std::string& name : names)
            known.codes.insert(keyCodeOrDefault(name));
        for (const ZqBaseAttribute* attribute : model.attributes())
            known.codes.insert(keyCodeOrDefault(attribute->name()));
    }
    for (const auto& [code, value] : map.entries()) {
        // A code the key file lacks was told with the file.
        if (known.codes.contains(code) || !keyCodeIsKnown(code))
            continue;
        const std::string* name = tryKeyName(code);
        // A node's ports are attributes named by its data; its links may store a port without
        // a link, which is read as none.
        if (name && (model.findAttribute(*name) || (kind == kConnectionsFile && ZqBaseNode::isUnlinkedPort(value) &&
                                                    dynamic_cast<const ZqBaseNode*>(&model))))
            continue;
        debugLog("[ZqModelController] %s: model %u (%s) has no \"%s\" - not read", m_loadingFile.c_str(), model.id(),
                 model.className(), name ? name->c_str() : "?");
    }
}

void ZqModelLoader::logRepeatedKeys(const ZqModel& model, const MessagePackMap& map)
{
    int32_t repeated = map.repeatedCode();
    for (const auto& [code, value] : map.entries()) {
        const int32_t nested = MessagePackMap::repeatedCodeOf(value);
        if (nested >= 0 && (repeated < 0 || nested < repeated))
            repeated = nested;
    }
    if (repeated < 0)
        return;
    const std::string* name = tryKeyName(repeated);
    debugLog("[ZqModelController] %s: model %u (%s) gives \"%s\" twice in one map - a damaged map, its first value read",
             m_loadingFile.c_str(), model.id(), model.className(), name ? name->c_str() : "?");
}

std::shared_ptr<ZqModel> ZqModelLoader::createModelOfClass(std::string_view className)
{
    std::shared_ptr<ZqModel> model;
    // The registry hands out the one general-settings instance; a new one is read aside.
    if (className == ZqModelGeneralSettings::staticClassName()) {
        model = ZqModelGeneralSettings::createDetached();
    } else {
        // The maps of a file are mostly of one class: the last row found serves the next.
        if (!m_lastClass || className != m_lastClass->className) {
            m_lastClass = m_models.registry().find(std::string(className));
            if (!m_lastClass)
                return nullptr;
        }
        model = m_lastClass->create();
    }
    // Fresh from its constructor: the class's key codes hold for its attributes.
    if (model)
        model->markClassLayout();
    return model;
}

void ZqModelLoader::linkChildren(ZqModel& parent, const msgpack::object_array& ids)
{
    followReset();
    const std::size_t begin = m_pendingIds.size();
    std::exception_ptr badId;
    try {
        for (uint32_t i = 0; i < ids.size; ++i)
            m_pendingIds.push_back(ids.ptr[i].as<uint32_t>());
    } catch (const msgpack::type_error&) {
        // The ids before the bad one are linked, as one by one they would have been.
        badId = std::current_exception();
    }
    if (m_keepChildren) {
        if (std::shared_ptr<ZqModel> self = parent.sharedFromThis())
            m_pendingChildren.push_back({std::move(self), begin, m_pendingIds.size()});
        else
            m_pendingIds.resize(begin);
    } else {
        for (std::size_t i = begin; i < m_pendingIds.size(); ++i) {
            if (std::shared_ptr<ZqModel> child = m_models.modelById(m_pendingIds[i]))
                parent.addChild(child, true);
        }
        m_pendingIds.resize(begin);
        parent.childrenLinked();
    }
    if (badId)
        std::rethrow_exception(badId);
}

void ZqModelLoader::linkPendingChildren()
{
    m_keepChildren = false;
    std::vector<PendingChildren> pending = std::move(m_pendingChildren);
    m_pendingChildren.clear();
    const std::vector<uint32_t> ids = std::move(m_pendingIds);
    m_pendingIds.clear();
    // Each entry's range moves from its ids to its children found.
    std::vector<std::shared_ptr<ZqModel>> children;
    children.reserve(ids.size());
    for (PendingChildren& entry : pending) {
        // A model is a child of a parent once: the writer never lists one twice.
        if (const std::optional<uint32_t> twice = repeatedId({ids.data() + entry.begin, entry.end - entry.begin});
            twice && !m_preloading)
            debugLog("[ZqModelController] %s: model %u lists child %u twice - a damaged list", m_loadingFile.c_str(),
                     entry.parent->id(), *twice);
        const std::size_t begin = children.size();
        for (std::size_t i = entry.begin; i < entry.end; ++i) {
            if (std::shared_ptr<ZqModel> child = m_models.modelById(ids[i]))
                children.push_back(std::move(child));
            else if (!m_preloading)
                debugLog("[ZqModelController] %s: model %u lists child %u, which no model has", m_loadingFile.c_str(),
                         entry.parent->id(), ids[i]);
        }
        entry.begin = begin;
        entry.end = children.size();
    }
    // One check over the whole graph; only when the file's links would close a cycle are
    // they added one by one, each refused link with its log line.
    const bool cycle = formsCycle(pending, children);
    for (const PendingChildren& entry : pending) {
        ZqModel& parent = *entry.parent;
        const std::span<std::shared_ptr<ZqModel>> own(children.data() + entry.begin, entry.end - entry.begin);
        if (!cycle) {
            parent.addLoadedChildren(own);
            continue;
        }
        for (const std::shared_ptr<ZqModel>& child : own)
            parent.insertChild(child, -1, true);
        parent.childrenLinked();
    }
}

void ZqModelLoader::replaceModel(const std::shared_ptr<ZqModel>& model)
{
    constexpr std::size_t kGeneralSettings = ZqModelGeneralSettings::staticTypeId();
    if (const std::shared_ptr<ZqModel> old = m_models.modelById(model->id())) {
        // A map read again replaces its model; one of another class took its id by damage.
        if (old->typeId() != model->typeId())
            debugLog("[ZqModelController] %s: model %u (%s) replaces model %u of class %s read before",
                     m_loadingFile.c_str(), model->id(), model->className(), old->id(), old->className());
        m_models.removeModel(old);
        if (old->typeId() == kGeneralSettings)
            ZqModelGeneralSettings::reset();
    }
    if (model->typeId() == kGeneralSettings) {
        ZqModelGeneralSettings::replaceShared(std::static_pointer_cast<ZqModelGeneralSettings>(model));
        return;
    }
    if (m_models.modelCount() >= m_modelLimit)
        throw TooManyModels(m_modelLimit);
    m_models.addModel(model, -1);
}

bool ZqModelLoader::loadKeyFile(const unsigned char* bytes, std::size_t size, bool settingsRead)
{
    followReset();
    return installKeyFile(bytes, size, settingsRead ? nullptr : "is missing", ZqModelGeneralSettings::shared()->userId());
}

bool ZqModelLoader::installKeyFile(const unsigned char* bytes, std::size_t size, const char* settingsLack,
                                       std::string_view userId)
{
    const KeyCodeTable table = readKeyFile(bytes, size, userId);
    // Without these every model would read as defaults: a missing or wrongly
    // unscrambled file must not pass for an empty game.
    for (const char* name : {"id", "Class Name", "value"}) {
        if (table.count(name) != 0)
            continue;
        if (settingsLack) {
            const std::string reason = std::string(kFailedKeys) + ": the general settings file \"" +
                                       kPreloadFiles[0].name + "\" " + settingsLack +
                                       " (its \"User ID\" unscrambles the key file)";
            failLoading(reason, reason);
            return false;
        }
        failLoading(std::string(kFailedKeys) + ": the key file lacks \"" + name + "\"",
                    std::string(kFailedKeys) + ": \"Keys.pack\" lacks \"" + name + "\"");
        return false;
    }
    installKeyDictionary(table);
    return true;
}

KeyCodeTable ZqModelLoader::readKeyFile(const unsigned char* bytes, std::size_t size, std::string_view userId)
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

std::string ZqModelLoader::modelFileName() const
{
    const LoadingState& state = loadingState();
    if (state.phase >= kLoadingDone)
        return std::string();
    return state.name + "." + std::to_string(state.index) + kFileSuffixes[fileKindOf(state.phase)];
}

ZqModelLoader::LoadingPhase ZqModelLoader::nextPhase()
{
    followReset();
    LoadingState& state = m_loadingState;
    state.name = "ZqModelGeneralSettings";
    state.index = 0;
    state.loaded = std::unordered_set<std::string>(8);
    state.modelNames.reset();
    state.phase = state.phase == kAttributesPhase ? kConnectionsPhase : kLoadingDone;
    state.firstStep = true;
    if (state.phase == kConnectionsPhase) {
        state.linkedMaps.clear();
        state.lastLinkedClass = 0;
        state.lastLinkedMaps = nullptr;
    } else {
        state.progress = 100;
        m_models.raiseIdCounter();
        logMissingFiles();
    }
    return state.phase;
}

void ZqModelLoader::updateProgress()
{
    LoadingState& state = m_loadingState;
    // Half of the bar a phase: the classes done (from the archive, the members read) against
    // the registered classes. An archive with more members of a kind than there are classes
    // passes 100 in its connections pass; the end of the last phase sets 100.
    const std::size_t classes = m_models.registry().size();
    const double done = classes == 0 ? 0.0 : double(state.loaded.size()) / double(classes);
    state.progress = static_cast<int>(done * 50.0 + static_cast<int>(state.phase) * 50.0);
}

bool ZqModelLoader::openArchive(const std::string& path)
{
    followReset();
    m_archive.reset();
    m_archivePath = path;
    m_memberRead = false;
    try {
        CCFileUtils* files = CCFileUtils::sharedFileUtils();
        m_archive = std::make_unique<ZqArchiveReader>(files->fullPathForFilename(path), files->getResourceRoot());
        return true;
    } catch (const std::exception& error) {
        failFile(path, error.what());
        return false;
    }
}

void ZqModelLoader::closeArchive()
{
    m_archive.reset();
}

void ZqModelLoader::failLoading(const std::string& errorText, const std::string& logLine)
{
    m_loadingFailed = true;
    m_errorText = errorText;
    debugLog("%s", logLine.c_str());
}

void ZqModelLoader::failFile(const std::string& file, const char* reason)
{
    failLoading("Unable to load data: " + file + ": " + reason,
                "[ZqModelController] load data - fail: " + file + ": " + reason);
}
