#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ZqFileBytes;

namespace cocos2d {

// File access for the engine and the game: paths relative to a resource root, whole
// file reads, and the per-user writable directory.
//
// Name resolution (fullPathForFilename): every name resolves inside the resource root.
// - A relative name is joined to the resource root.
// - A name that starts with the root is taken as it is; any other name with a leading
//   '/' is relative to the root (game data names its media "/images/x.png"), never a
//   path from the filesystem root.
// - A name that climbs out of the root with ".." names no file.
// - When no exact file exists, each path component is matched case-insensitively
//   (game data was written on a case-insensitive platform); among several matches in
//   one directory the first in byte order wins. Nothing is cached.
// - A miss answers the root-joined path.
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

    // The path of an existing file for name, per the rules above; "" for an empty name
    // or one that leaves the root.
    std::string fullPathForFilename(const std::string& name);
    // The path of a file that a game file names (an atlas's texture, a font's page):
    // name relative to the directory of file. "" with one log line naming both when
    // name is absolute or leaves the folder that file lies in right below the root (for
    // the game's media, its data folder): such media count as missing.
    std::string pathNamedInFile(const std::string& file, const std::string& name);
    // Whether name resolves to an existing regular file.
    virtual bool isFileExist(const std::string& name);
    // For a log line on a name that isFileExist denies, name escaped: "missing file <name>"
    // when nothing is there, else what is there ("<name> is a directory, not a file").
    std::string missingFileText(const std::string& name);
    // What stands at name when something that is no regular file does ("a FIFO", "a
    // directory", zqNotAFile's words), else null: nothing there, or a file.
    const char* notAFile(const std::string& name);

    // The whole file, in a buffer allocated with new[] that the caller deletes with
    // delete[]; *size (when not null) receives its length. One zero byte follows the
    // data, so a text file can be read as a C string. mode is ignored (text and binary
    // reads are the same here). Only a regular file of at most kZqMaxDataFileSize bytes
    // whose real path lies inside the root (a symlink may lead only to a file of the root)
    // is read, without waiting on a FIFO or device; any other gives nullptr and size 0,
    // and logs one line naming the file and why.
    unsigned char* getFileData(const char* fileName, const char* mode, unsigned long* size);
    // The same read into bytes; false (logged the same way) when refused.
    bool readWhole(const std::string& name, ZqFileBytes& bytes);
    // The same read of a file of at most limit bytes.
    bool readWhole(const std::string& name, std::uint64_t limit, ZqFileBytes& bytes);

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
    // name as a normalised path below the root ("" for the root itself); nothing when
    // it climbs out.
    std::optional<std::string> belowRoot(const std::string& name) const;
    std::string m_resourceRoot;
    std::string m_applicationName;
};

} // namespace cocos2d
