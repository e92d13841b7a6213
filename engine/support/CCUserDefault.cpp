#include "support/CCUserDefault.h"

#include "platform/CCFileUtils.h"

#include <ZqLog.h>

#include <pugixml.hpp>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
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
    pugi::xml_document doc;
    pugi::xml_parse_result result = doc.load_file(m_path.c_str(), kParseFlags, pugi::encoding_utf8);
    if (result.status == pugi::status_file_not_found) {
        debugLog("[CCUserDefault] no store at %s, starting empty", m_path.c_str());
        return;
    }
    pugi::xml_node root = doc.child(kRootName);
    if (!result || !root) {
        // A damaged store must not stop the game: its progress is lost, the next
        // flush writes a sound file in its place.
        debugLog("[CCUserDefault] store %s unreadable (%s), starting empty", m_path.c_str(),
                 result ? "no root element" : result.description());
        return;
    }
    for (pugi::xml_node entry : root.children(kEntryName)) {
        pugi::xml_attribute key = entry.attribute(kKeyName);
        if (key && *key.value())
            m_values[key.value()] = entry.text().get();
    }
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

    // A failure here shows as the failure to open the temporary file below.
    std::error_code ignored;
    std::filesystem::path directory = std::filesystem::path(m_path).parent_path();
    if (!directory.empty())
        std::filesystem::create_directories(directory, ignored);

    // Write everything to a temporary file beside the store and only then rename it
    // over the old one: a crash at any point leaves either the old or the new file.
    const std::string tempPath = tempPathFor(m_path);
    FILE* file = std::fopen(tempPath.c_str(), "wb");
    if (!file) {
        debugLog("[CCUserDefault] save to %s failed: %s", tempPath.c_str(), std::strerror(errno));
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
        debugLog("[CCUserDefault] save to %s failed: %s", tempPath.c_str(), std::strerror(error));
        std::remove(tempPath.c_str());
        return false;
    }
    if (std::rename(tempPath.c_str(), m_path.c_str()) != 0) {
        debugLog("[CCUserDefault] save to %s failed: %s", m_path.c_str(), std::strerror(errno));
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
