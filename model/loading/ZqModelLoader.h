#pragma once

#include "attributes/KeyDictionary.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <msgpack/object_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class MessagePackMap;
class ZqArchiveReader;
class ZqBaseAttribute;
class ZqModel;
class ZqModelController;
struct ZqModelClass;
class ZqModelFileReader;

// How model files are read: in one pass with the visitor reader (the player's road: an
// attributes map of the usual shape straight from its bytes, any other by its parse), by
// that reader's parse alone, or unpacked map by map into MessagePackMaps first. All give
// the same models and errors; tests and fuzzers compare them.
enum class ZqModelFileRoad { kVisitor, kParse, kMaps };

// The loading of the game data into a model controller: the key file "Keys.pack" and the
// model files "<class>.<n>.attributes.pack" / ".connections.pack", from the zip archive
// (archive mode) or from the data directory, resolved through CCFileUtils.
//
// Every error of the data (a damaged or unopenable archive, a wrong password, a short or
// malformed model file, a bad key file) is caught in these operations: it is logged
// ("[ZqModelController] load data - fail: <file>: <reason>"), kept as errorText() and puts
// the loader in the failed state, in which nothing more is read and the steps answer
// true. Models read before the error stay registered, and a model that fails to read
// never replaces the one it would have replaced. Nothing is thrown out of them.
//
// A reset of its controller restarts the load: the loading state, the failed state and
// the error text go back to a fresh load's; the archive reader and the mode stay.
class ZqModelLoader {
public:
    // The two kinds of model file: attributes maps and connections maps. The value is the
    // number the loading log prints.
    enum FileKind { kAttributesFile = 0, kConnectionsFile = 1, kFileKindCount };
    // The phases of the step-by-step loading.
    enum LoadingPhase { kAttributesPhase = 0, kConnectionsPhase = 1, kLoadingDone = 2 };
    // What loading one model file gave: read, not there to read, or failed (the failed
    // state; also "No data archive" for a missing reader).
    enum FileResult { kFileLoaded = 0, kFileNotRead = 1, kFileFailed = 2 };

    // The file kind a loading phase reads (the connections files once past the first).
    static FileKind fileKindOf(LoadingPhase phase)
    {
        return phase == kAttributesPhase ? kAttributesFile : kConnectionsFile;
    }

    // The cursor of the step-by-step loading of the game data.
    struct LoadingState {
        std::string name = "ZqModelGeneralSettings";
        int index = 0;
        std::unordered_set<std::string> loaded;
        LoadingPhase phase = kAttributesPhase;
        bool firstStep = true;
        int progress = 0; // 0..100
        int filesRead = 0; // model files the steps have read
        int steps = 0;     // steps taken
        // The names of the models, taken when the connections phase first needs them.
        std::optional<std::unordered_set<std::string>> modelNames;
        // The connections maps the connections phase read, by class; the count of the
        // class of the last map read.
        std::unordered_map<std::size_t, std::size_t> linkedMaps;
        std::size_t lastLinkedClass = 0;
        std::size_t* lastLinkedMaps = nullptr;
    };

    // The loader of ZqModelController::shared(), made on first call and made again when
    // that instance is another controller.
    static ZqModelLoader* shared();
    // The loader of the current controller, or null; never creates one.
    static ZqModelLoader* existing();

    ZqModelLoader(const ZqModelLoader&) = delete;
    ZqModelLoader& operator=(const ZqModelLoader&) = delete;
    ~ZqModelLoader();

    ZqModelController& models() const { return m_models; }

    bool isArchiveMode() const { return m_archiveMode; }
    // The start-up files the last preload looked for and did not find, in reading order
    // (an archive's members are found by their exact name only).
    const std::vector<std::string>& missingPreloadFiles() const { return m_missingPreloadFiles; }
    void setArchiveMode(bool archive) { m_archiveMode = archive; }
    const std::string& errorText() const;
    int loadingProgress() const { return loadingState().progress; }

    // Whether path (relative to the resource root) is a non-empty file: archive mode. Anything
    // else standing there (a directory, a FIFO, a device) is logged, named as what it is.
    static bool archiveIsPresent(const std::string& path);
    // The start-up load, after the controller's reset: opens the archive (archive mode),
    // reads the key file and the models the loading screen shows. passwordText is the
    // application's password text, not the zip password; it is never logged.
    void preload(const std::string& archivePath, const std::string& passwordText);
    // One loading step, reading at most one model file; progress is updated first. True
    // when nothing is left to read: every file is in (progress 100) or loading failed.
    // A step after that (the phase done, or the load failed) answers true and does nothing,
    // instead of resetting the models and loading the game again under the live screens
    // (DECISIONS.md, with the delegate that builds the game once); the controller's reset
    // makes the next step start a new load (in archive mode reopening a closed archive).
    bool loadNextArchiveFile(const std::string& passwordText);
    bool loadNextPlainFile();
    bool loadingFailed() const;
    const LoadingState& loadingState() const;

    // A game of the editor holds some thousands of models; a tiny model costs about 1.2 KiB
    // once loaded, so that this many take about 300 MiB. A load that would register more
    // fails ("more than a game can have") before the memory is taken: a million tiny
    // models fit in 25 MB of files. Tests lower the limit.
    static constexpr std::size_t kMaxModels = std::size_t(1) << 18;
    void setModelLimit(std::size_t limit) { m_modelLimit = limit; }

    // One model file of that kind.
    FileResult loadArchiveFile(const std::string& name, FileKind kind, const std::string& passwordText);
    FileResult loadPlainFile(const std::string& path, FileKind kind);
    // The maps of one model file (size bytes; null or empty reads nothing). An attributes
    // map creates its model by "Class Name" through the registry and replaces a model of
    // the same id only once it is read completely; a connections map links the model of
    // its id. False when the file failed (failed state).
    bool parseModelFile(const unsigned char* bytes, std::size_t size, FileKind kind);
    ZqModelFileRoad modelFileRoad() const { return m_road; }
    void setModelFileRoad(ZqModelFileRoad road) { m_road = road; }
    // The children a connections map lists, by id. While a connections file is read they
    // are kept and added once the file is read (linkPendingChildren); otherwise at once.
    // An id no model has is logged with the file.
    // An element that is no id throws msgpack::type_error once the ids before it are linked.
    void linkChildren(ZqModel& parent, const msgpack::object_array& ids);
    // Unscrambles the key file with the general settings' "User ID" and installs it. A
    // file lacking "id", "Class Name" or "value" is "Failed to load keys" (failed state),
    // blamed on the general settings' file when settingsRead is false (it was missing).
    bool loadKeyFile(const unsigned char* bytes, std::size_t size, bool settingsRead = true);
    // The unscrambled key names, one a line, numbered 0, 1, 2... over the non-empty
    // lines; a name listed again keeps its first code.
    static KeyCodeTable readKeyFile(const unsigned char* bytes, std::size_t size, std::string_view userId);

    // The loading state's file name: "<name>.<index>.attributes.pack" (attributes phase),
    // ".connections.pack" (connections phase), "" when done.
    std::string modelFileName() const;
    // Ends a phase; the new phase. Done: progress 100, the id counter above every id.
    LoadingPhase nextPhase();
    // A reader on the archive at path (resolved through CCFileUtils), replacing any other;
    // false (failed state) when it cannot be opened.
    bool openArchive(const std::string& path);
    void closeArchive();
    bool hasArchive() const { return m_archive != nullptr; }
    // A member of the archive; nothing when absent, or when it failed (failed state).
    std::optional<std::vector<unsigned char>> readArchiveFile(const std::string& name, const std::string& passwordText);

private:
    friend class ZqModelFileReader;

    // Loads into models, which must outlive it. Only shared() makes one: the models a
    // connections map reads link their children through it.
    explicit ZqModelLoader(ZqModelController& models);

    // True while the controller has not been reset since this loader last looked.
    bool isCurrent() const;
    // Restarts the load when the controller was reset: every public step calls it first.
    void followReset();

    void failLoading(const std::string& errorText, const std::string& reason);
    void failFile(const std::string& file, const char* reason);
    FileResult loadDataFile(const std::string& name, FileKind kind, const std::string& passwordText);
    // The bytes of one model file, logged as its loading; the result as loadDataFile's.
    FileResult fetchDataFile(const std::string& name, FileKind kind, const std::string& passwordText,
                             std::optional<std::vector<unsigned char>>& data);
    FileResult fetchArchiveFile(const std::string& name, FileKind kind, const std::string& passwordText,
                                std::optional<std::vector<unsigned char>>& data);
    FileResult fetchPlainFile(const std::string& path, FileKind kind, std::optional<std::vector<unsigned char>>& data);
    // parseModelFile of the bytes of file (its name in error texts): loaded or failed.
    FileResult parseFileBytes(const std::string& file, const std::vector<unsigned char>& data, FileKind kind);
    // The name a data file is loaded and reported under: the member, or its path.
    std::string dataFilePath(const std::string& name) const;
    // True for the general settings' file in the attributes phase when the preload read it;
    // then logs the file's loading as a step's.
    bool readInPreload(const std::string& name);
    // The line that says a model file is being loaded.
    void logFileLoad(const std::string& file, FileKind kind) const;
    // The "User ID" of the general-settings maps in a settings file's bytes, read with the
    // fixed codes alone; false when the bytes are not such maps.
    static bool peekUserId(const std::vector<unsigned char>& bytes, std::string& userId);
    // loadKeyFile with the user id given; settingsLack says what is wrong with the general
    // settings' file ("is missing", "is empty"), null when it was read.
    bool installKeyFile(const unsigned char* bytes, std::size_t size, const char* settingsLack,
                        std::string_view userId);
    void readModelMap(const MessagePackMap& map, FileKind kind);
    // A connections map whose key codes are checked: links the model of its id.
    void readModelLinks(const MessagePackMap& map, FileKind kind);
    // A new model of a class the data names (the general settings read aside), else null.
    std::shared_ptr<ZqModel> createModelOfClass(std::string_view className);
    void replaceModel(const std::shared_ptr<ZqModel>& model);
    // Logs each entry of a model map of that kind that the model does not read: a key named
    // by no attribute or field of its class (a damaged key file, or data of another version).
    void logUnreadEntries(const ZqModel& model, const MessagePackMap& map, FileKind kind);
    // Logs once a model map that gives a key twice, in itself or in one of its attributes'
    // maps (malformed: the first value was read): the smallest such code.
    void logRepeatedKeys(const ZqModel& model, const MessagePackMap& map);
    // Logs a model map that gives no model: without an id (id null), without a class
    // (className null) or of a class the registry does not know.
    void logUnreadMap(const uint32_t* id, const char* className);
    // Logs, once a file, a key code of its maps that the key file does not hold, inside the
    // map of the attribute under attributeCode (-1: at the top of a model map): the entries
    // under such codes are read by nothing, but a platform named by such a code under the
    // general settings' "platformSpecificValues" fails the load, as the reverse lookup of
    // its name throws.
    void noteUnknownKeyCode(int64_t code, int64_t attributeCode = -1);
    // True when file is a model file of that class, or of no registered class.
    bool isFileOfClass(std::string_view file, std::string_view className) const;
    // Logs a connections map whose id no model has.
    void logLinksWithoutModel(uint32_t id);
    // Logs each port that the model's connections map made from the attribute at index
    // first on and that no model is named after: a button, observer or screen jump
    // follows the port of its own name, so nothing follows that one (its name damaged).
    void logUnfollowedPorts(const ZqModel& model, std::size_t first);
    // At the end of a load, logs once each file the models read show is missing: the
    // connections file of a class none of whose maps was read while its models would write
    // links (a node always writes its count), and the font a label names by id.
    void logMissingFiles();
    // Logs each entry of an attribute's map that the attribute does not read, and in the
    // connections phase each link to an id no model has.
    void logUnreadNested(const ZqModel& model, const ZqBaseAttribute& attribute, const MessagePackMap& nested,
                         FileKind kind);
    // Logs each entry of a gradient's stops that is neither its position nor its colour.
    void logUnreadGradientStops(const ZqModel& model, const ZqBaseAttribute& attribute, const MessagePackMap& nested);
    // Logs a gradient stop whose position is no fraction of the gradient: below 0, above 1
    // or not finite.
    void logStopOutsideGradient(const ZqModel& model, const ZqBaseAttribute& attribute, const msgpack::object& stop);
    // logUnreadNested for every attribute map of a model map.
    void logUnreadNestedEntries(const ZqModel& model, const MessagePackMap& map, FileKind kind);
    // True while a map of that kind is checked for links to models that are missing: in
    // the connections phase, when every model is in.
    bool linksAreChecked(FileKind kind) const
    {
        return kind != kAttributesFile && m_loadingState.phase == kConnectionsPhase;
    }
    // Adds the children kept while a connections file was read, in the order they came.
    void linkPendingChildren();
    // The plain data file at path: its full path when it exists (letter case ignored as
    // the file utility does), from one listing of the data directory per load.
    std::optional<std::string> findPlainFile(const std::string& path);
    // What the entry at path of the data directory is when it is there but no regular file
    // ("a directory", "a FIFO", ...), else null; from the listing findPlainFile made.
    const char* notAFile(const std::string& path) const;
    // Logs, once a load, a model file findPlainFile did not find because it is no file.
    void logNotAFile(const std::string& path);
    // The progress at the start of a step.
    void updateProgress();
    // Logs a missing model file of the directory when files of its class and kind with
    // higher numbers are there: the step reading stops at the gap.
    void logFilesAfterGap(const std::string& missing);
    // Moves the archive step's cursor to the next member of the phase's kind not read in it
    // (from the first member, or on from the walk's place); none left ends the phase, and
    // true when loading is done.
    bool walkArchive(bool fromFirst);

    ZqModelController& m_models;
    // The controller's reset stamp when this loader last looked (see followReset).
    std::uint64_t m_resetStamp = 0;
    std::unique_ptr<ZqArchiveReader> m_archive;
    std::string m_archivePath;
    // A member of the open archive was read with the password: a later failed check
    // byte is damage, not a wrong password.
    bool m_memberRead = false;
    std::string m_loadingFile; // the file being read, for error texts
    // The class of the last model whose links the file being read gave, else null: a run of
    // maps of a class the file does not name is noted once.
    const char* m_fileClass = nullptr;
    // The connections file being read was told to hold a "Class Name".
    bool m_classNameTold = false;
    // The file being read was told to hold a key code the key file lacks.
    bool m_unknownCodeTold = false;
    ZqModelFileRoad m_road = ZqModelFileRoad::kVisitor;
    std::unique_ptr<ZqModelFileReader> m_fileReader;
    // A parent's children kept while a connections file is read: ids [begin, end) of
    // m_pendingIds.
    struct PendingChildren {
        std::shared_ptr<ZqModel> parent;
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    const ZqModelClass* m_lastClass = nullptr;
    // Per class and key dictionary: the codes of the keys its models read at the top level.
    struct ReadKeys {
        uint32_t generation = 0;
        KeyCodeSet codes;
    };
    std::unordered_map<std::size_t, ReadKeys> m_readKeys;
    // The maps of a file are mostly of one class: its entry is at hand.
    std::pair<std::size_t, ReadKeys*> m_lastReadKeys{0, nullptr};
    // Per attribute class: the codes of the few keys it reads in its own map.
    struct NestedKeys {
        uint32_t generation = 0;
        std::vector<int32_t> codes;
    };
    std::unordered_map<std::size_t, NestedKeys> m_nestedKeys;
    // Type id -> its entry of m_nestedKeys, by the id's low bits (entries are never erased).
    std::array<std::pair<std::size_t, NestedKeys*>, 64> m_nestedKeysCache{};
    bool m_keepChildren = false;
    // The preload reads the first files of a few classes only: a child of a class it
    // does not read is not missing yet, and the full load links it.
    bool m_preloading = false;
    // The preload read the general settings of this load; the steps do not read them again.
    bool m_settingsRead = false;
    std::vector<PendingChildren> m_pendingChildren;
    std::vector<uint32_t> m_pendingIds;
    // The data directory's full path and its files: exact names, and lower-case names
    // mapped to the first exact name in order (the file utility's choice). Entries that are
    // no regular file (a directory, a FIFO, a device) are never opened: their lower-case
    // names map to what they are, and each is told once when a load asks for it.
    struct DirectoryListing {
        std::string directory;
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> folded;
        std::unordered_map<std::string, const char*> notFiles;
        std::unordered_set<std::string> toldNotFiles;
        std::error_code error; // why the directory could not be listed
    };
    std::optional<DirectoryListing> m_listing;
    bool m_loadingFailed = false;
    std::string m_errorText;
    std::size_t m_modelLimit = kMaxModels;
    bool m_archiveMode = false;
    std::vector<std::string> m_missingPreloadFiles;
    LoadingState m_loadingState;
};
