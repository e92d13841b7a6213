#pragma once

// What the media readers' fuzz targets share: the player's size limit, an empty game
// folder as the resource root, and the check that a name read from a file never leads
// out of the data folder.
#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

// Inputs the player would refuse to read are not worth a run.
inline bool fuzzMediaSizeAccepted(std::size_t size)
{
    return size <= kZqMaxDataFileSize;
}

// The path the engine gives name, read in file (a path below the root); aborts when it
// lies outside the root's data folder.
inline void checkNamedInDataFolder(const char* file, const std::string& name)
{
    static const std::string root = [] {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zq-fuzz-media";
        std::filesystem::create_directories(folder / "data");
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(folder.string());
        // Refused names log a line each; thousands a second would drown the fuzzer's own.
        zqSetLogSink([](const char*) {});
        return cocos2d::CCFileUtils::sharedFileUtils()->getResourceRoot();
    }();
    cocos2d::CCFileUtils* files = cocos2d::CCFileUtils::sharedFileUtils();
    const std::string path = files->pathNamedInFile(files->fullPathForFilename(file), name);
    if (!path.empty() && path.compare(0, root.size() + 5, root + "data/") != 0)
        std::abort();
}
