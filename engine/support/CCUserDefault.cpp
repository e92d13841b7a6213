#include "support/CCUserDefault.h"

#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>
#include <ZqUtf8.h>

#include <pugixml.hpp>

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace cocos2d {

namespace {

CCUserDefault* sharedStore = nullptr;

const char* const kStoreFileName = "UserDefault.xml";
const char* const kRootName = "userDefaultRoot";
const char* const kEntryName = "entry";
const char* const kKeyName = "key";

// Whitespace-only values must survive, and so must carriage returns: no end-of-line
// normalisation on reading.
const unsigned int kParseFlags = (pugi::parse_default | pugi::parse_ws_pcdata_single) & ~pugi::parse_eol;

std::string tempPathFor(const std::string& path)
{
    return path + ".tmp";
}

// "<path>.damaged-<n>" with the lowest n that names nothing yet.
std::string freeAsideName(const std::string& path)
{
    for (int n = 1;; ++n) {
        std::string aside = path + ".damaged-" + std::to_string(n);
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(aside, error)))
            return aside;
    }
}

// Whether text can stand in the store file as it is: well-formed UTF-8 of characters
// that XML allows. Anything else pugixml would write out unchanged (or as a character
// reference to a control character), and a strict reader would refuse the file.
bool isStorable(std::string_view text)
{
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = zqUtf8Next(text, pos, code);
        if (length == 0 || (code < 0x20 && code != '\t' && code != '\n' && code != '\r') || code == 0xFFFE ||
            code == 0xFFFF)
            return false;
        pos += length;
    }
    return true;
}

// Why a store entry element cannot be kept; null for a sound one.
const char* entryDamage(const pugi::xml_node& entry)
{
    const pugi::xml_attribute key = entry.attribute(kKeyName);
    if (!key || !*key.value())
        return "it has no key";
    if (!isStorable(key.value()))
        return "its key is not UTF-8 text";
    if (!isStorable(entry.text().get()))
        return "its value is not UTF-8 text";
    return nullptr;
}

// The entries of a store file that does not parse, each read on its own, under one root
// element in doc: so damage to one entry costs that entry only. An entry runs from "<entry"
// to the "/>" of its tag or to the first "</entry>" after it, with no other "<entry" in
// between; such pieces never overlap, so a damaged file of any size is read in one pass.
pugi::xml_node salvageEntries(std::string_view bytes, pugi::xml_document& doc)
{
    constexpr std::string_view kOpen = "<entry";
    constexpr std::string_view kClose = "</entry>";
    pugi::xml_node root = doc.append_child(kRootName);
    for (std::size_t start = bytes.find(kOpen); start != std::string_view::npos;) {
        const std::size_t next = bytes.find(kOpen, start + kOpen.size());
        std::string_view piece = bytes.substr(start, next == std::string_view::npos ? next : next - start);
        start = next;
        const std::size_t tagEnd = piece.find('>');
        std::size_t end = piece.find(kClose);
        if (tagEnd != std::string_view::npos && piece[tagEnd - 1] == '/')
            end = tagEnd + 1;
        else if (end != std::string_view::npos)
            end += kClose.size();
        if (end == std::string_view::npos)
            continue;
        pugi::xml_document alone;
        if (alone.load_buffer(piece.data(), end, kParseFlags, pugi::encoding_utf8) &&
            alone.first_child() == alone.last_child() && std::string_view(alone.first_child().name()) == kEntryName)
            root.append_copy(alone.first_child());
    }
    return root;
}

template <typename T>
bool parseNumber(const std::string& text, T& out)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

template <typename T>
std::string formatNumber(T value)
{
    // Shortest text that reads back to the same value, independent of the C locale.
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

bool keyIsUsable(const char* key)
{
    if (key && *key)
        return true;
    debugLog("[CCUserDefault] empty key ignored");
    return false;
}

// Flushes a file's bytes to the disk.
bool syncFile(const std::string& path, std::error_code& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (!synced)
        error.assign(errno, std::generic_category());
    if (fd >= 0)
        ::close(fd);
    return synced;
}

// Makes a finished rename durable: the new directory entry reaches the disk too.
void syncDirectory(const std::string& path)
{
    std::string dir = std::filesystem::path(path).parent_path().string();
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Keeps the bytes of path as aside, durably, leaving path in place: a second name for the
// file, or a copy where the file system has no hard links.
bool keepAside(const std::string& path, const std::string& aside, std::error_code& error)
{
    std::filesystem::create_hard_link(path, aside, error);
    if (error) {
        error.clear();
        if (!std::filesystem::copy_file(path, aside, error) || !syncFile(aside, error)) {
            std::error_code ignored;
            std::filesystem::remove(aside, ignored);
            return false;
        }
    }
    syncDirectory(path);
    return true;
}

// Why a save could not make the store file at path: its folder cannot be made or written
// to, or its disk has no room for the store's storeSize bytes and a block more. Empty when
// it can.
std::string folderProblem(const std::string& path, std::uint64_t storeSize)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        return {};
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) && !std::filesystem::create_directories(folder, error) && error)
        return "the folder " + folder.string() + " cannot be made (" + error.message() + ")";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "the folder " + folder.string() + " cannot be written to (" + std::strerror(errno) + ")";
    // A save writes the whole store anew beside the old one before the rename.
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) == 0 && disk.f_blocks != 0) {
        const std::uint64_t room = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
        if (room < storeSize + disk.f_frsize)
            return "the disk of the folder " + folder.string() + " is full (" + std::to_string(room) + " bytes free)";
    }
    return {};
}

} // namespace

CCUserDefault::CCUserDefault(std::string path) : m_path(std::move(path)) {}

CCUserDefault* CCUserDefault::sharedUserDefault()
{
    if (!sharedStore) {
        sharedStore = new CCUserDefault(getXMLFilePath());
        sharedStore->load();
    }
    return sharedStore;
}

void CCUserDefault::purgeSharedUserDefault()
{
    if (!sharedStore)
        return;
    if (sharedStore->m_dirty)
        sharedStore->flush();
    delete sharedStore;
    sharedStore = nullptr;
}

std::string CCUserDefault::getXMLFilePath()
{
    std::string path = CCFileUtils::sharedFileUtils()->getWritablePath();
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + kStoreFileName;
}

bool CCUserDefault::isXMLFileExist()
{
    std::error_code error;
    return std::filesystem::is_regular_file(getXMLFilePath(), error);
}

void CCUserDefault::load()
{
    m_values.clear();
    m_readOnly = false;
    m_aside.clear();
    m_unsaveable.clear();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(m_path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        debugLog("[CCUserDefault] no store at %s, starting empty", m_path.c_str());
        m_unsaveable = folderProblem(m_path, 0);
        return;
    }
    // Whatever stands at the path and cannot be read is left alone: progress stays in
    // memory for the run rather than replacing it.
    if (status.type() != std::filesystem::file_type::regular) {
        debugLog("[CCUserDefault] store %s is not a file; progress is kept in memory only", m_path.c_str());
        m_readOnly = true;
        m_unsaveable = "the store " + m_path + " is not a file";
        return;
    }
    // The player's own file: no game folder holds it.
    ZqDescriptor opened;
    std::uint64_t size = 0;
    std::string refused =
        zqOpenRegularFile(m_path, std::string(), std::numeric_limits<std::uint64_t>::max(), opened, size);
    // A store past the data files' cap is damage: only its first part is read, for the
    // entries it holds, and the file is kept aside whole.
    const bool tooLarge = refused.empty() && size > kZqMaxDataFileSize;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, kZqMaxDataFileSize));
    std::unique_ptr<char[]> file(refused.empty() ? new char[wanted] : nullptr);
    const std::ptrdiff_t got =
        refused.empty() ? zqReadUpTo(opened, reinterpret_cast<unsigned char*>(file.get()), wanted) : 0;
    if (got < 0)
        refused = std::string("cannot be read: ") + std::strerror(errno);
    if (!refused.empty()) {
        debugLog("[CCUserDefault] store %s %s; progress is kept in memory only", m_path.c_str(), refused.c_str());
        m_readOnly = true;
        m_unsaveable = "the store " + m_path + " " + refused;
        return;
    }
    if (got == 0) {
        debugLog("[CCUserDefault] store %s is empty, starting empty", m_path.c_str());
        m_unsaveable = folderProblem(m_path, 0);
        return;
    }

    const std::string_view bytes(file.get(), static_cast<std::size_t>(got));
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        tooLarge ? pugi::xml_parse_result() : doc.load_buffer(bytes.data(), bytes.size(), kParseFlags, pugi::encoding_utf8);
    pugi::xml_node root = doc.child(kRootName);
    const bool whole = result && root;
    pugi::xml_document salvage;
    if (!result)
        root = salvageEntries(bytes, salvage);
    int salvaged = 0;
    std::vector<std::pair<std::string, const char*>> dropped;
    for (pugi::xml_node entry : root.children(kEntryName)) {
        if (const char* damage = entryDamage(entry)) {
            dropped.emplace_back(zqPrintable(entry.attribute(kKeyName).value()), damage);
            continue;
        }
        m_values[entry.attribute(kKeyName).value()] = entry.text().get();
        ++salvaged;
    }
    if (whole && dropped.empty()) {
        m_unsaveable = folderProblem(m_path, bytes.size());
        return;
    }
    // Damaged: the file is kept aside, and everything that was read whole and sound is
    // written over it.
    const char* const damage = tooLarge ? "larger than 64 MiB, its first 64 MiB read"
                               : whole  ? "damaged entries"
                               : result ? "no root element"
                                        : result.description();
    const std::string aside = freeAsideName(m_path);
    std::error_code asideError;
    if (!keepAside(m_path, aside, asideError)) {
        debugLog("[CCUserDefault] store %s is damaged (%s) and cannot be kept aside (%s); progress is kept in memory only",
                 m_path.c_str(), damage, asideError.message().c_str());
        m_readOnly = true;
        m_unsaveable = "the damaged store " + m_path + " cannot be kept aside (" + asideError.message() + ")";
    } else {
        m_aside = aside;
        if (!whole)
            debugLog("[CCUserDefault] store %s is damaged (%s): kept as %s, %d whole entries salvaged", m_path.c_str(),
                     damage, aside.c_str(), salvaged);
    }
    for (const auto& [key, why] : dropped)
        logDropped(key, why);
    if (m_readOnly)
        return;
    m_unsaveable = folderProblem(m_path, bytes.size());
    // Written at once, so that a run ending before its first save leaves the salvage to the
    // next. The damaged file stays in place until the salvaged one is whole on disk and
    // renamed over it: a failed write or a run dying meanwhile leaves it to be salvaged again.
    m_dirty = !flush();
}

void CCUserDefault::logDropped(const std::string& key, const std::string& why) const
{
    debugLog("[CCUserDefault] entry \"%s\" dropped, %s; %s", key.c_str(), why.c_str(),
             m_aside.empty() ? "the store is not kept aside" : ("the store as read is kept as " + m_aside).c_str());
}

bool CCUserDefault::dropDamaged(const char* key, const std::string& why)
{
    auto found = key ? m_values.find(key) : m_values.end();
    if (found == m_values.end())
        return false;
    // The entry was read from the file: a copy of the file is kept before it goes, once a
    // run. Where no copy can be made the entry stays stored as it is.
    std::error_code missing;
    if (m_aside.empty() && !m_readOnly && std::filesystem::is_regular_file(m_path, missing)) {
        const std::string aside = freeAsideName(m_path);
        std::error_code error;
        if (!keepAside(m_path, aside, error)) {
            debugLog("[CCUserDefault] entry \"%s\" is damaged (%s) and stays stored: %s cannot be kept aside (%s)",
                     zqPrintable(key).c_str(), why.c_str(), m_path.c_str(), error.message().c_str());
            return false;
        }
        m_aside = aside;
    }
    logDropped(zqPrintable(key), why);
    m_values.erase(found);
    m_dirty = true;
    return true;
}

const std::string* CCUserDefault::find(const char* key) const
{
    if (!key)
        return nullptr;
    auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : &it->second;
}

void CCUserDefault::set(const char* key, std::string text)
{
    if (!keyIsUsable(key))
        return;
    // Written as it is, such text would make the whole file one that strict readers refuse.
    if (!isStorable(key) || !isStorable(text)) {
        debugLog("[CCUserDefault] \"%s\" not stored: %s is not UTF-8 text", zqPrintable(key).c_str(),
                 isStorable(key) ? "its value" : "the key");
        return;
    }
    m_values[key] = std::move(text);
    m_dirty = true;
}

bool CCUserDefault::getBoolForKey(const char* key)
{
    return getBoolForKey(key, false);
}

bool CCUserDefault::getBoolForKey(const char* key, bool defaultValue)
{
    const std::string* text = find(key);
    if (!text)
        return defaultValue;
    if (*text == "true" || *text == "1")
        return true;
    if (*text == "false" || *text == "0")
        return false;
    return defaultValue;
}

int CCUserDefault::getIntegerForKey(const char* key)
{
    return getIntegerForKey(key, 0);
}

int CCUserDefault::getIntegerForKey(const char* key, int defaultValue)
{
    const std::string* text = find(key);
    int value = 0;
    return text && parseNumber(*text, value) ? value : defaultValue;
}

float CCUserDefault::getFloatForKey(const char* key)
{
    return getFloatForKey(key, 0.0f);
}

float CCUserDefault::getFloatForKey(const char* key, float defaultValue)
{
    const std::string* text = find(key);
    float value = 0.0f;
    return text && parseNumber(*text, value) ? value : defaultValue;
}

double CCUserDefault::getDoubleForKey(const char* key)
{
    return getDoubleForKey(key, 0.0);
}

double CCUserDefault::getDoubleForKey(const char* key, double defaultValue)
{
    const std::string* text = find(key);
    double value = 0.0;
    return text && parseNumber(*text, value) ? value : defaultValue;
}

std::string CCUserDefault::getStringForKey(const char* key)
{
    return getStringForKey(key, std::string());
}

std::string CCUserDefault::getStringForKey(const char* key, const std::string& defaultValue)
{
    const std::string* text = find(key);
    return text ? *text : defaultValue;
}

void CCUserDefault::setBoolForKey(const char* key, bool value)
{
    set(key, value ? "true" : "false");
}

void CCUserDefault::setIntegerForKey(const char* key, int value)
{
    set(key, formatNumber(value));
}

void CCUserDefault::setFloatForKey(const char* key, float value)
{
    set(key, formatNumber(value));
}

void CCUserDefault::setDoubleForKey(const char* key, double value)
{
    set(key, formatNumber(value));
}

void CCUserDefault::setStringForKey(const char* key, const std::string& value)
{
    set(key, value);
}

bool CCUserDefault::flush()
{
    if (m_readOnly) {
        debugLog("[CCUserDefault] %s was not readable at start: not overwritten in this run", m_path.c_str());
        return false;
    }
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    pugi::xml_node root = doc.append_child(kRootName);
    for (const auto& [key, value] : m_values) {
        pugi::xml_node entry = root.append_child(kEntryName);
        entry.append_attribute(kKeyName) = key.c_str();
        entry.text() = value.c_str();
    }

    std::error_code folderError;
    const std::filesystem::path directory = std::filesystem::path(m_path).parent_path();
    if (!directory.empty())
        std::filesystem::create_directories(directory, folderError);
    if (folderError) {
        debugLog("[CCUserDefault] progress not saved to %s: its folder cannot be made (%s)", m_path.c_str(),
                 folderError.message().c_str());
        return false;
    }

    // Write everything to a temporary file beside the store and only then rename it
    // over the old one: a crash at any point leaves either the old or the new file.
    // A stale temporary file goes first, and the new one is made afresh: a link left at its
    // name is never written through (that would truncate the file it names).
    const std::string tempPath = tempPathFor(m_path);
    const int fd = ::unlink(tempPath.c_str()) == 0 || errno == ENOENT
                       ? ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666)
                       : -1;
    FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
            std::remove(tempPath.c_str());
        }
        debugLog("[CCUserDefault] progress not saved to %s: %s cannot be made (%s)", m_path.c_str(), tempPath.c_str(),
                 std::strerror(error));
        return false;
    }
    pugi::xml_writer_file writer(file);
    doc.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    bool written = !std::ferror(file) && std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
    int error = written ? 0 : errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        debugLog("[CCUserDefault] progress not saved to %s: %s cannot be written (%s)", m_path.c_str(),
                 tempPath.c_str(), std::strerror(error));
        std::remove(tempPath.c_str());
        return false;
    }
    if (std::rename(tempPath.c_str(), m_path.c_str()) != 0) {
        debugLog("[CCUserDefault] progress not saved to %s: %s", m_path.c_str(), std::strerror(errno));
        std::remove(tempPath.c_str());
        return false;
    }
    syncDirectory(m_path);
    m_dirty = false;
    return true;
}

bool CCUserDefault::deleteStore()
{
    m_values.clear();
    m_aside.clear();
    std::remove(tempPathFor(m_path).c_str());
    if (std::remove(m_path.c_str()) != 0 && errno != ENOENT) {
        // The old progress is still on disk: the next flush must overwrite it.
        debugLog("[CCUserDefault] delete of %s failed: %s", m_path.c_str(), std::strerror(errno));
        m_dirty = true;
        return false;
    }
    m_dirty = false;
    return true;
}

} // namespace cocos2d
