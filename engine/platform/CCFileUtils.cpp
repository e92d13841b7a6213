#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cocos2d {

namespace {

constexpr const char* kDefaultApplicationName = "zqplayer";

CCFileUtils* sharedInstance = nullptr;

bool equalsIgnoreCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca != cb && std::tolower(ca) != std::tolower(cb))
            return false;
    }
    return true;
}

std::string withTrailingSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

// Walks relative below base (a directory ending in '/'), taking each component as it
// is when it exists and otherwise the first entry of the directory whose name matches
// it ignoring ASCII case.
std::optional<std::string> resolveIgnoringCase(const std::string& base, const std::string& relative)
{
    std::string current = base;
    size_t start = 0;
    bool first = true;
    while (start <= relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos)
            slash = relative.size();
        const std::string component = relative.substr(start, slash - start);
        start = slash + 1;
        if (component.empty() || component == ".")
            continue;

        std::string next = current + (first ? "" : "/") + component;
        if (!exists(next)) {
            std::optional<std::string> match;
            std::error_code error;
            for (fs::directory_iterator it(current, error), end; !error && it != end; it.increment(error)) {
                const std::string name = it->path().filename().string();
                if (equalsIgnoreCase(name, component) && (!match || name < *match))
                    match = name;
            }
            if (!match)
                return std::nullopt;
            next = current + (first ? "" : "/") + *match;
        }
        current = next;
        first = false;
    }
    return current;
}

std::string homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    std::error_code error;
    return fs::current_path(error).string();
}

}

CCFileUtils::CCFileUtils() : m_applicationName(kDefaultApplicationName)
{
    setResourceRoot(std::string());
}

CCFileUtils* CCFileUtils::sharedFileUtils()
{
    if (!sharedInstance)
        sharedInstance = new CCFileUtils();
    return sharedInstance;
}

void CCFileUtils::purgeFileUtils()
{
    delete sharedInstance;
    sharedInstance = nullptr;
}

void CCFileUtils::setResourceRoot(const std::string& root)
{
    std::error_code error;
    fs::path path = root.empty() ? fs::current_path(error) : fs::absolute(root, error);
    if (error) {
        // Without a working directory keep the name relative: an empty result would
        // otherwise turn into the filesystem root.
        debugLog("[CCFileUtils] cannot make the resource root absolute: %s", error.message().c_str());
        path = root.empty() ? fs::path(".") : fs::path(root);
    }
    m_resourceRoot = withTrailingSlash(path.lexically_normal().string());
}

std::optional<std::string> CCFileUtils::belowRoot(const std::string& name) const
{
    std::string relative;
    if (name.compare(0, m_resourceRoot.size(), m_resourceRoot) == 0) {
        relative = name.substr(m_resourceRoot.size());
    } else {
        // Every leading slash goes, so the join never yields "//" or the filesystem root.
        const size_t start = name.find_first_not_of('/');
        relative = start == std::string::npos ? std::string() : name.substr(start);
    }
    const fs::path normal = fs::path(relative).lexically_normal();
    if (!normal.empty() && *normal.begin() == "..")
        return std::nullopt;
    return normal == "." ? std::string() : normal.string();
}

std::string CCFileUtils::fullPathForFilename(const std::string& name)
{
    if (name.empty())
        return std::string();
    const std::optional<std::string> relative = belowRoot(name);
    if (!relative)
        return std::string();
    if (exists(m_resourceRoot + *relative))
        return m_resourceRoot + *relative;
    if (std::optional<std::string> found = resolveIgnoringCase(m_resourceRoot, *relative))
        return *found;
    return m_resourceRoot + *relative;
}

std::string CCFileUtils::pathNamedInFile(const std::string& file, const std::string& name)
{
    // Names written on another platform may use either slash or a drive letter; a zero
    // byte would cut the name short where the system reads it.
    const bool refused = name.empty() || name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':') ||
                         name.find('\0') != std::string::npos;
    // The folder the naming file lies in right below the root (the game's data folder
    // for its media), or the root itself; name is taken from the file's own directory.
    std::string folder;
    std::optional<std::string> joined;
    if (const std::optional<std::string> below = belowRoot(file); below && !refused) {
        folder = below->substr(0, below->find('/') + 1);
        joined = belowRoot(below->substr(0, below->rfind('/') + 1) + name);
    }
    if (!joined || joined->size() <= folder.size() || joined->compare(0, folder.size(), folder) != 0) {
        debugLog("[CCFileUtils] %s names \"%s\", which lies outside its folder: taken as missing",
                 zqPrintable(file, kZqLogLineLength).c_str(), zqPrintable(name).c_str());
        return std::string();
    }
    return fullPathForFilename(*joined);
}

bool CCFileUtils::isFileExist(const std::string& name)
{
    const std::string path = fullPathForFilename(name);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

const char* CCFileUtils::notAFile(const std::string& name)
{
    const std::string path = fullPathForFilename(name);
    std::error_code error;
    const bool there = !path.empty() && fs::exists(fs::symlink_status(path, error));
    return there ? zqNotAFile(fs::status(path, error).type()) : nullptr;
}

std::string CCFileUtils::missingFileText(const std::string& name)
{
    const std::string shown = zqPrintable(name, kZqLogLineLength);
    const char* kind = notAFile(name);
    return kind ? shown + " is " + kind + ", not a file" : "missing file " + shown;
}

bool CCFileUtils::readWhole(const std::string& name, ZqFileBytes& bytes)
{
    return readWhole(name, kZqMaxDataFileSize, bytes);
}

bool CCFileUtils::readWhole(const std::string& name, std::uint64_t limit, ZqFileBytes& bytes)
{
    const std::string path = fullPathForFilename(name);
    const std::string refused =
        path.empty() ? "outside the game folder" : zqReadRegularFile(path, m_resourceRoot, limit, bytes);
    if (!refused.empty())
        debugLog("[CCFileUtils] %s: %s", zqPrintable(path.empty() ? name : path, kZqLogLineLength).c_str(),
                 refused.c_str());
    return refused.empty();
}

unsigned char* CCFileUtils::getFileData(const char* fileName, const char*, unsigned long* size)
{
    if (size)
        *size = 0;
    if (!fileName || !*fileName) {
        debugLog("[CCFileUtils] getFileData: no file name");
        return nullptr;
    }
    ZqFileBytes bytes;
    if (!readWhole(fileName, bytes))
        return nullptr;
    if (size)
        *size = static_cast<unsigned long>(bytes.size);
    return bytes.data.release();
}

std::string CCFileUtils::getWritablePath()
{
    std::string home;
    const char* override = std::getenv("ZQ_DATA_HOME");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (override && *override)
        home = override;
    else if (xdg && xdg[0] == '/')
        home = xdg;
    else
        home = withTrailingSlash(homeDirectory()) + ".local/share";

    const std::string path = withTrailingSlash(withTrailingSlash(home) + m_applicationName);
    std::error_code error;
    fs::create_directories(path, error);
    if (error)
        debugLog("[CCFileUtils] cannot create %s: %s", path.c_str(), error.message().c_str());
    return path;
}

void CCFileUtils::setApplicationName(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe) {
        if (c == '/' || c == '\\')
            c = '_';
    }
    m_applicationName = (safe.empty() || safe == "." || safe == "..") ? kDefaultApplicationName : safe;
}

} // namespace cocos2d
