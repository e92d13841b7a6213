#include "platform/CCFileUtils.h"

#include <ZqLog.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

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

std::string CCFileUtils::fullPathForFilename(const std::string& name)
{
    if (name.empty())
        return std::string();

    // Candidates as (base directory, path below it), in order of preference.
    std::vector<std::pair<std::string, std::string>> candidates;
    if (name.compare(0, m_resourceRoot.size(), m_resourceRoot) == 0) {
        candidates.emplace_back(m_resourceRoot, name.substr(m_resourceRoot.size()));
    } else if (name[0] == '/') {
        // Strip every leading slash so the join never yields "//" or the filesystem root.
        const size_t start = name.find_first_not_of('/');
        const std::string relative = start == std::string::npos ? std::string() : name.substr(start);
        candidates.emplace_back(m_resourceRoot, relative);
        candidates.emplace_back("/", relative);
    } else {
        candidates.emplace_back(m_resourceRoot, name);
    }

    for (const auto& [base, relative] : candidates) {
        if (exists(base + relative))
            return base + relative;
    }
    for (const auto& [base, relative] : candidates) {
        if (std::optional<std::string> found = resolveIgnoringCase(base, relative))
            return *found;
    }
    return candidates.front().first + candidates.front().second;
}

bool CCFileUtils::isFileExist(const std::string& name)
{
    const std::string path = fullPathForFilename(name);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

unsigned char* CCFileUtils::getFileData(const char* fileName, const char* mode, unsigned long* size)
{
    if (size)
        *size = 0;
    if (!fileName || !*fileName) {
        debugLog("[CCFileUtils] getFileData: no file name");
        return nullptr;
    }

    const std::string path = fullPathForFilename(fileName);
    FILE* file = std::fopen(path.c_str(), mode ? mode : "rb");
    if (!file) {
        debugLog("[CCFileUtils] getFileData: cannot open %s", path.c_str());
        return nullptr;
    }
    // Read in blocks rather than trusting a size taken beforehand: the file may be a
    // pipe or change while it is read.
    std::vector<unsigned char> bytes;
    unsigned char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        debugLog("[CCFileUtils] getFileData: cannot read %s", path.c_str());
        return nullptr;
    }

    unsigned char* buffer = new unsigned char[bytes.size() + 1];
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = 0;
    if (size)
        *size = static_cast<unsigned long>(bytes.size());
    return buffer;
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
