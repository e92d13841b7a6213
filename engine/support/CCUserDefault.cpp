#include "support/CCUserDefault.h"

#include "platform/CCFileUtils.h"

#include <ZqLog.h>

#include <pugixml.hpp>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fcntl.h>
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

// Keeps a store entry element's value; false for one without a key.
bool keepEntry(std::map<std::string, std::string>& values, const pugi::xml_node& entry)
{
    const pugi::xml_attribute key = entry.attribute(kKeyName);
    if (!key || !*key.value())
        return false;
    values[key.value()] = entry.text().get();
    return true;
}

bool readWhole(const std::string& path, std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(file);
    const int error = errno;
    std::fclose(file);
    errno = error;
    return ok;
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
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(m_path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        debugLog("[CCUserDefault] no store at %s, starting empty", m_path.c_str());
        return;
    }
    // Whatever stands at the path and cannot be read is left alone: progress stays in
    // memory for the run rather than replacing it.
    if (status.type() != std::filesystem::file_type::regular) {
        debugLog("[CCUserDefault] store %s is not a file; progress is kept in memory only", m_path.c_str());
        m_readOnly = true;
        return;
    }
    std::string bytes;
    if (!readWhole(m_path, bytes)) {
        debugLog("[CCUserDefault] store %s cannot be read (%s); progress is kept in memory only", m_path.c_str(),
                 std::strerror(errno));
        m_readOnly = true;
        return;
    }
    if (bytes.empty()) {
        debugLog("[CCUserDefault] store %s is empty, starting empty", m_path.c_str());
        return;
    }

    pugi::xml_document doc;
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), kParseFlags, pugi::encoding_utf8);
    const pugi::xml_node root = doc.child(kRootName);
    if (result && root) {
        for (pugi::xml_node entry : root.children(kEntryName))
            keepEntry(m_values, entry);
        return;
    }
    // Damaged: the file is kept aside and every entry that was read whole is salvaged.
    // An entry is whole when its end tag lies before the point where parsing failed.
    const std::size_t failedAt = result ? bytes.size() : static_cast<std::size_t>(std::max<ptrdiff_t>(result.offset, 0));
    int salvaged = 0;
    for (pugi::xml_node entry : root.children(kEntryName)) {
        const std::size_t end = bytes.find("</entry>", static_cast<std::size_t>(std::max<ptrdiff_t>(entry.offset_debug(), 0)));
        if (end != std::string::npos && end + 8 <= failedAt && keepEntry(m_values, entry))
            ++salvaged;
    }
    const std::string aside = freeAsideName(m_path);
    std::error_code asideError;
    if (!keepAside(m_path, aside, asideError)) {
        debugLog("[CCUserDefault] store %s is damaged (%s) and cannot be kept aside (%s); progress is kept in memory only",
                 m_path.c_str(), result ? "no root element" : result.description(), asideError.message().c_str());
        m_readOnly = true;
        return;
    }
    debugLog("[CCUserDefault] store %s is damaged (%s): kept as %s, %d whole entries salvaged", m_path.c_str(),
             result ? "no root element" : result.description(), aside.c_str(), salvaged);
    // Written at once, so that a run ending before its first save leaves the salvage to the
    // next. The damaged file stays in place until the salvaged one is whole on disk and
    // renamed over it: a failed write or a run dying meanwhile leaves it to be salvaged again.
    m_dirty = !flush();
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
    const std::string tempPath = tempPathFor(m_path);
    FILE* file = std::fopen(tempPath.c_str(), "wb");
    if (!file) {
        debugLog("[CCUserDefault] progress not saved to %s: %s cannot be made (%s)", m_path.c_str(), tempPath.c_str(),
                 std::strerror(errno));
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
