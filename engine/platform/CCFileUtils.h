#pragma once

#include <string>

namespace cocos2d {

// File access for the engine and the game: paths relative to a resource root, whole
// file reads, and the per-user writable directory.
//
// Name resolution (fullPathForFilename):
// - A relative name is joined to the resource root.
// - A name with a leading '/' is tried first as relative to the root (game data names
//   its media "/images/x.png" relative to the data directory), then as the absolute
//   path it is. A name that already starts with the root is only taken as it is. So a
//   data-relative name never resolves outside the root unless the root has no such
//   file and the exact absolute path exists.
// - When no exact file exists, each path component is matched case-insensitively
//   (game data was written on a case-insensitive platform); among several matches in
//   one directory the first in byte order wins. Nothing is cached.
// - A miss answers the root-joined path (or the name itself when it starts with the root).
class CCFileUtils {
public:
    static CCFileUtils* sharedFileUtils();
    static void purgeFileUtils();

    virtual ~CCFileUtils() = default;

    // The directory that relative names are looked up in, absolute and ending in '/'.
    // The working directory at creation by default; a relative root is made absolute
    // against the working directory, and an empty one restores the default.
    void setResourceRoot(const std::string& root);
    const std::string& getResourceRoot() const { return m_resourceRoot; }

    // The path of an existing file for name, per the rules above; "" for an empty name.
    std::string fullPathForFilename(const std::string& name);
    // Whether name resolves to an existing regular file.
    virtual bool isFileExist(const std::string& name);

    // The whole file, in a buffer allocated with new[] that the caller deletes with
    // delete[]; *size (when not null) receives its length. One zero byte follows the
    // data, so a text file can be read as a C string. mode is the fopen mode ("rb",
    // "rt"; null means "rb"). A missing or unreadable file gives nullptr and size 0,
    // and logs a line.
    unsigned char* getFileData(const char* fileName, const char* mode, unsigned long* size);

    // $ZQ_DATA_HOME/<application name>/ when ZQ_DATA_HOME is set (tests use it), else
    // $XDG_DATA_HOME/<application name>/ when that is an absolute path, else
    // ~/.local/share/<application name>/. Ends in '/'; created when missing.
    std::string getWritablePath();
    // The directory name under the data home. Characters that would leave that
    // directory ('/', '\\') become '_'; an empty name, "." or ".." restore the default.
    void setApplicationName(const std::string& name);
    const std::string& getApplicationName() const { return m_applicationName; }

protected:
    CCFileUtils();

private:
    std::string m_resourceRoot;
    std::string m_applicationName;
};

} // namespace cocos2d
