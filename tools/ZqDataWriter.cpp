#include "tools/ZqDataWriter.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAnimationCurve.h"
#include "attributes/ZqAttributeValue.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModel.h"
#include "model/ZqModelController.h"
#include "tools/ZqArchiveWriter.h"

#include <ZqLog.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kGeneralSettings = "ZqModelGeneralSettings";
constexpr const char* kKeyFile = "Keys.pack";
constexpr const char* kArchive = "data.pkg";
constexpr const char* kAttributesSuffix = ".attributes.pack";
constexpr const char* kConnectionsSuffix = ".connections.pack";

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Gathers packed maps into the numbered files of one class and one kind.
class FileSplitter {
public:
    FileSplitter(std::vector<ZqDataFile>& out, std::string className, const char* suffix,
                 const ZqDataWriter::Options& options)
        : m_out(out), m_className(std::move(className)), m_suffix(suffix), m_options(options)
    {
    }

    void add(const msgpack::sbuffer& map)
    {
        const bool full = m_options.modelsPerFile != 0 && m_count == m_options.modelsPerFile;
        if (m_count != 0 && (full || m_bytes.size() + map.size() > m_options.maxFileBytes))
            finish();
        m_bytes.insert(m_bytes.end(), map.data(), map.data() + map.size());
        ++m_count;
    }

    // Emits the pending file. Empty files are never written: the player takes a model
    // file without bytes for an unreadable one.
    void finish()
    {
        if (m_count == 0)
            return;
        m_out.push_back({m_className + "." + std::to_string(m_number++) + m_suffix, std::move(m_bytes)});
        m_bytes.clear();
        m_count = 0;
    }

private:
    std::vector<ZqDataFile>& m_out;
    std::string m_className;
    const char* m_suffix;
    const ZqDataWriter::Options& m_options;
    std::vector<unsigned char> m_bytes;
    std::size_t m_count = 0;
    int m_number = 0;
};

template <class Pack>
msgpack::sbuffer packModel(Pack pack, std::size_t* entries = nullptr)
{
    msgpack::zone zone;
    MessagePackMap map(&zone);
    pack(map);
    if (entries)
        *entries = map.size();
    msgpack::sbuffer buffer;
    packObject(buffer, map.toObject());
    return buffer;
}

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "Unable to write " + path.string());
}

// A media target must stay inside the data directory.
fs::path mediaTarget(const fs::path& directory, const std::string& target)
{
    const fs::path relative = fs::path(target).lexically_normal();
    if (target.empty() || relative.is_absolute() || relative.empty() || *relative.begin() == ".." ||
        relative.filename().empty())
        throw std::invalid_argument("ZqDataWriter: media target is not a relative file path: " + target);
    return directory / relative;
}

} // namespace

ZqDataWriter::ZqDataWriter(ZqModelController& controller, Options options)
    : m_controller(controller), m_options(std::move(options))
{
    if (m_options.password.empty())
        m_options.password = decodeArchivePassword(kZqArchivePasswordText);
}

std::vector<std::string> ZqDataWriter::keyLines(const std::set<std::string>& names)
{
    static const std::map<int, std::string> fixed = [] {
        std::map<int, std::string> codes;
        for (const FixedKeyCode& key : kFixedKeyCodes)
            codes.emplace(key.code, key.name);
        return codes;
    }();
    std::vector<std::string> others;
    for (const std::string& name : names) {
        if (name.empty() || name.find('\n') != std::string::npos)
            throw std::invalid_argument("ZqDataWriter: a key name cannot be empty or hold a line break");
        if (fixedKeyCode(name) < 0)
            others.push_back(name);
    }
    const std::size_t count = std::max<std::size_t>(kHighestFixedKeyCode + 1, others.size() + fixed.size());
    std::vector<std::string> lines;
    lines.reserve(count);
    auto next = others.begin();
    for (std::size_t code = 0; code < count; ++code) {
        auto place = fixed.find(static_cast<int>(code));
        if (place != fixed.end()) {
            lines.push_back(place->second);
        } else if (next != others.end()) {
            lines.push_back(*next++);
        } else {
            // Only codes below the highest fixed one can be left over; the name just holds the place.
            std::string filler = "~unused" + std::to_string(code);
            while (names.count(filler) != 0)
                filler.insert(filler.begin(), '~');
            lines.push_back(filler);
        }
    }
    return lines;
}

std::set<std::string> ZqDataWriter::collectKeyNames() const
{
    std::set<std::string>& names = keyNameSet();
    names.clear();
    // One fresh model of every class gives the keys of the class's attributes; the
    // registered models add the keys that depend on their contents (children, links).
    for (const std::string& className : m_controller.registry().classNames()) {
        if (std::shared_ptr<ZqModel> model = m_controller.registry().create(className))
            model->collectKeys();
    }
    for (const auto& entry : m_controller.modelsByType()) {
        for (const std::shared_ptr<ZqModel>& model : entry.second)
            model->collectKeys();
    }
    // Attributes list their curves' keys only while they hold curves, and a fresh model holds none.
    ZqAnimationCurve().collectKeys();
    for (const char* name : {"value", "Class Name", "id", "User ID", "children", "connectedModelId", "attributeName"})
        names.insert(name);
    std::set<std::string> result;
    result.swap(names);
    return result;
}

std::string ZqDataWriter::userId() const
{
    for (const auto& entry : m_controller.modelsByType()) {
        if (entry.second.empty() || std::string(entry.second.front()->className()) != kGeneralSettings)
            continue;
        const ZqBaseAttribute* attribute = entry.second.front()->findAttribute("User ID");
        if (attribute && attribute->typeId() == ZqAttributeString::staticTypeId())
            return static_cast<const ZqAttributeString*>(attribute)->value();
        return {};
    }
    throw std::invalid_argument("ZqDataWriter: the general settings are not registered");
}

std::vector<ZqDataFile> ZqDataWriter::buildFiles()
{
    // The classes in the order the player's first steps read them.
    std::map<std::string, const ZqModelController::ModelList*> byClass;
    for (const auto& entry : m_controller.modelsByType()) {
        if (!entry.second.empty())
            byClass[entry.second.front()->className()] = &entry.second;
    }
    const ZqModelRegistry& registry = m_controller.registry();
    for (const auto& entry : byClass) {
        if (!registry.find(entry.first))
            throw std::invalid_argument("ZqDataWriter: class " + entry.first + " is not in the registry");
    }
    std::vector<std::string> order = {kGeneralSettings};
    for (const std::string& className : registry.classNames()) {
        if (className != kGeneralSettings)
            order.push_back(className);
    }

    const std::string user = userId();
    m_keyNames = keyLines(collectKeyNames());
    KeyCodeTable table;
    std::string keyText;
    for (std::size_t code = 0; code < m_keyNames.size(); ++code) {
        table.emplace(m_keyNames[code], static_cast<int32_t>(code));
        keyText += m_keyNames[code] + "\n";
    }
    installKeyDictionary(table);

    std::vector<ZqDataFile> files;
    const std::string scrambled = scrambleKeyFile(keyText, user);
    files.push_back({kKeyFile, std::vector<unsigned char>(scrambled.begin(), scrambled.end())});
    for (const std::string& className : order) {
        auto models = byClass.find(className);
        if (models == byClass.end())
            continue;
        FileSplitter attributes(files, className, kAttributesSuffix, m_options);
        for (const std::shared_ptr<ZqModel>& model : *models->second)
            attributes.add(packModel([&](MessagePackMap& map) { model->packAttributes(map); }));
        attributes.finish();
        // A connections map holding only the id links nothing; it is left out.
        FileSplitter connections(files, className, kConnectionsSuffix, m_options);
        for (const std::shared_ptr<ZqModel>& model : *models->second) {
            std::size_t entries = 0;
            msgpack::sbuffer map = packModel([&](MessagePackMap& m) { model->packConnections(m); }, &entries);
            if (entries > 1)
                connections.add(map);
        }
        connections.finish();
    }
    return files;
}

std::vector<unsigned char> ZqDataWriter::archiveOf(const std::vector<ZqDataFile>& files, const std::string& password)
{
    ZqArchiveWriter writer(password.empty() ? decodeArchivePassword(kZqArchivePasswordText) : password);
    for (const ZqDataFile& file : files)
        writer.addFile(file.name, file.bytes);
    return writer.archive();
}

void ZqDataWriter::write(const std::string& dataDirectory)
{
    const fs::path directory(dataDirectory);
    std::vector<fs::path> mediaTargets;
    for (const ZqMediaFile& media : m_options.media)
        mediaTargets.push_back(mediaTarget(directory, media.target));
    const std::vector<ZqDataFile> files = buildFiles();

    fs::create_directories(directory);
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && (name == kKeyFile || name == kArchive || endsWith(name, kAttributesSuffix) ||
                                        endsWith(name, kConnectionsSuffix)))
            fs::remove(entry.path());
    }
    if (m_options.plainFiles) {
        for (const ZqDataFile& file : files)
            writeFile(directory / file.name, file.bytes);
    }
    if (m_options.archive)
        writeFile(directory / kArchive, archiveOf(files, m_options.password));
    for (std::size_t i = 0; i < mediaTargets.size(); ++i) {
        fs::create_directories(mediaTargets[i].parent_path());
        fs::copy_file(m_options.media[i].source, mediaTargets[i], fs::copy_options::overwrite_existing);
    }
    debugLog("[ZqDataWriter] wrote %zu files%s and %zu media files to %s", files.size(),
             m_options.archive ? " (archive)" : "", mediaTargets.size(), dataDirectory.c_str());
}
